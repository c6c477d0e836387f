#include "app/cli/uCliSignals.h"

namespace orbis {

namespace {

// A signal handler can only reach a static flag.
volatile std::sig_atomic_t stopRequested = 0;
extern "C" void onStopSignal(int signal) { stopRequested = signal; }

}  // namespace

int stopSignal() { return stopRequested; }

StopSignals::StopSignals() {
    stopRequested = 0;
    struct sigaction stop {};
    stop.sa_handler = onStopSignal;
    sigemptyset(&stop.sa_mask);
    for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &stop, &old_[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &oldPipe_);
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &old_[i], nullptr);
    sigaction(SIGPIPE, &oldPipe_, nullptr);
}

}  // namespace orbis
