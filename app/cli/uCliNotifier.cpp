#include "app/cli/uCliNotifier.h"

#include <unistd.h>

#include <iostream>
#include <ostream>

namespace orbis {

CliNotifier::CliNotifier(std::ostream& err, Language language)
    : CliNotifier(err, &err == &std::cerr && ::isatty(STDERR_FILENO), language) {}

CliNotifier::CliNotifier(std::ostream& err, bool terminal, Language language)
    : err_(err), words_(language), terminal_(terminal) {}

void CliNotifier::endProgressLine() {
    if (lineOpen_) err_ << '\n';
    lineOpen_ = false;
}

void CliNotifier::report(const TDiagnostic& diagnostic) {
    const MessageIcon icon = diagnostic.severity() == Severity::Error     ? MessageIcon::Error
                             : diagnostic.severity() == Severity::Warning ? MessageIcon::Warning
                                                                          : MessageIcon::Information;
    const auto [caption, text] = worded(diagnostic);
    show(caption, text, icon);
}

bool CliNotifier::question(const TDiagnostic& diagnostic) {
    const auto [caption, text] = worded(diagnostic);
    return answer(caption, text);
}

void CliNotifier::stage(const TDiagnostic& diagnostic) { status(worded(diagnostic).second); }

void CliNotifier::stageEnd() { status(""); }

void CliNotifier::record(const TDiagnostic& diagnostic) { note(worded(diagnostic).second); }

std::pair<std::string, std::string> CliNotifier::worded(const TDiagnostic& diagnostic) const {
    // The clip writers' threads report too; one catalogue lookup at a time.
    std::lock_guard lock(mutex_);
    return {words_.caption(diagnostic), words_.text(diagnostic)};
}

void CliNotifier::message(const std::string& caption, const std::string& text, MessageIcon icon) {
    show(caption, text, icon);
}

bool CliNotifier::ask(const std::string& caption, const std::string& text) { return answer(caption, text); }

void CliNotifier::show(const std::string& caption, const std::string& text, MessageIcon icon) {
    std::lock_guard lock(mutex_);
    const std::string kind = words_.say(icon == MessageIcon::Error     ? cli::kError
                                        : icon == MessageIcon::Warning ? cli::kWarning
                                                                       : cli::kInfo);
    endProgressLine();
    err_ << caption << " (" << kind << "): " << text << std::endl;
    ++messages_;
    if (icon != MessageIcon::Information) ++problems_;
}

bool CliNotifier::answer(const std::string& caption, const std::string& text) {
    std::lock_guard lock(mutex_);
    const std::string no = words_.say(cli::kAnswerNo);
    endProgressLine();
    err_ << caption << ": " << text << " -> " << no << std::endl;
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
