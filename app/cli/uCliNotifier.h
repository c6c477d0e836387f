#pragma once
// The command line's notifier: messages and status on stderr, questions
// answered "no" (nobody is there to answer). On a terminal the progress is
// one line that rewrites itself; into a file or the journal of an unattended
// station it is plain lines, a new status caption each and a progress line
// every quarter, with no control characters. Safe to call from the clip
// writer threads.

#include <iosfwd>
#include <mutex>
#include <string>

#include "astro/uNotifier.h"

namespace orbis {

class CliNotifier final : public UserNotifier {
public:
    // The progress line rewrites itself when err is std::cerr on a terminal,
    // or when told so.
    explicit CliNotifier(std::ostream& err);
    CliNotifier(std::ostream& err, bool terminal);

    void message(const std::string& caption, const std::string& text, MessageIcon icon) override;
    bool ask(const std::string& caption, const std::string& text) override;
    void status(const std::string& text) override;
    void note(const std::string& text) override;
    void progressShow(int maximum) override;
    void progressPosition(int position) override;
    void progressHide() override;
    void pump() override {}

    int messagesShown() const;
    // Warnings and errors shown: a stage that reported a problem.
    int problemsShown() const;

private:
    void endProgressLine();

    std::ostream& err_;
    bool terminal_ = false;
    mutable std::mutex mutex_;
    std::string status_;
    int maximum_ = 0;
    int lastPercent_ = -1;
    bool lineOpen_ = false;
    int messages_ = 0;
    int problems_ = 0;
};

}  // namespace orbis
