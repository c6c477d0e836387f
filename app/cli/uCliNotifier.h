#pragma once
// The command line's notifier: messages and status on stderr, a progress
// line that rewrites itself, questions answered "no" (nobody is there to
// answer). Safe to call from the clip writer threads.

#include <iosfwd>
#include <mutex>
#include <string>

#include "astro/uNotifier.h"

namespace orbis {

class CliNotifier final : public UserNotifier {
public:
    explicit CliNotifier(std::ostream& err);

    void message(const std::string& caption, const std::string& text, MessageIcon icon) override;
    bool ask(const std::string& caption, const std::string& text) override;
    void status(const std::string& text) override;
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
    mutable std::mutex mutex_;
    std::string status_;
    int maximum_ = 0;
    int lastPercent_ = -1;
    bool lineOpen_ = false;
    int messages_ = 0;
    int problems_ = 0;
};

}  // namespace orbis
