#include "app/cli/uCliNotifier.h"

#include <unistd.h>

#include <iostream>
#include <ostream>

namespace orbis {

CliNotifier::CliNotifier(std::ostream& err) : CliNotifier(err, &err == &std::cerr && ::isatty(STDERR_FILENO)) {}

CliNotifier::CliNotifier(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

void CliNotifier::endProgressLine() {
    if (lineOpen_) err_ << '\n';
    lineOpen_ = false;
}

void CliNotifier::message(const std::string& caption, const std::string& text, MessageIcon icon) {
    std::lock_guard lock(mutex_);
    endProgressLine();
    const char* kind = icon == MessageIcon::Error ? "error" : icon == MessageIcon::Warning ? "warning" : "info";
    err_ << caption << " (" << kind << "): " << text << std::endl;
    ++messages_;
    if (icon != MessageIcon::Information) ++problems_;
}

bool CliNotifier::ask(const std::string& caption, const std::string& text) {
    std::lock_guard lock(mutex_);
    endProgressLine();
    err_ << caption << ": " << text << " -> no" << std::endl;
    return false;
}

void CliNotifier::status(const std::string& text) {
    std::lock_guard lock(mutex_);
    const bool changed = text != status_;
    status_ = text;
    if (text.empty()) return;
    if (!terminal_) {
        if (changed) err_ << text << '\n' << std::flush;
        return;
    }
    // The running step's caption, on the progress line.
    err_ << '\r' << text << "\x1b[K" << std::flush;
    lineOpen_ = true;
}

void CliNotifier::note(const std::string& text) {
    std::lock_guard lock(mutex_);
    endProgressLine();
    err_ << text << std::endl;
}

void CliNotifier::progressShow(int maximum) {
    std::lock_guard lock(mutex_);
    maximum_ = maximum;
    lastPercent_ = -1;
}

void CliNotifier::progressPosition(int position) {
    std::lock_guard lock(mutex_);
    if (maximum_ <= 0) return;
    const int percent = static_cast<int>(100LL * position / maximum_);
    // On a terminal one update per 5 %, enough to see it move; in a log one
    // per quarter.
    const int step = terminal_ ? 5 : 25;
    if (percent / step == lastPercent_ / step && lastPercent_ >= 0) return;
    lastPercent_ = percent;
    if (!terminal_) {
        err_ << status_ << ' ' << position << '/' << maximum_ << " (" << percent << "%)\n" << std::flush;
        return;
    }
    err_ << '\r' << status_ << ' ' << position << '/' << maximum_ << " (" << percent << "%)\x1b[K" << std::flush;
    lineOpen_ = true;
}

void CliNotifier::progressHide() {
    std::lock_guard lock(mutex_);
    endProgressLine();
    maximum_ = 0;
}

int CliNotifier::problemsShown() const {
    std::lock_guard lock(mutex_);
    return problems_;
}

int CliNotifier::messagesShown() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

}  // namespace orbis
