#pragma once
// Clean stops of the commands that write clips or recordings: while a
// StopSignals lives, Ctrl+C, SIGTERM and SIGHUP (a closed terminal) only
// ask for a stop, which the command takes at its next frame, and SIGPIPE (a
// closed output pipe) is ignored. None of them may end the process before a
// clip's index is written.

#include <array>
#include <csignal>

namespace orbis {

// The signal that asked for a stop since the last StopSignals was made; 0
// while none did.
int stopSignal();

// Installs the handlers; the earlier ones come back at the end.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    static constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, 3> old_{};
    struct sigaction oldPipe_ {};
};

}  // namespace orbis
