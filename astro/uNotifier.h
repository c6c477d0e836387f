#pragma once
// The channel through which core operations talk to the user: message boxes,
// yes/no questions, the status caption and the progress bar, and letting the
// user interface breathe inside long loops. The desktop program implements it
// with Qt, the command line with stderr, the tests with a recorder. Core code
// never includes a user-interface header.

#include <string>

namespace orbis {

enum class MessageIcon { Information, Warning, Error };

class UserNotifier {
public:
    virtual ~UserNotifier() = default;

    // A modal message with its window caption ("Orbisight", ...).
    virtual void message(const std::string& caption, const std::string& text, MessageIcon icon) = 0;
    // A yes/no question; true means yes.
    virtual bool ask(const std::string& caption, const std::string& text) = 0;
    virtual void status(const std::string& text) = 0;
    virtual void progressShow(int maximum) = 0;
    virtual void progressPosition(int position) = 0;
    virtual void progressHide() = 0;
    // Lets queued user-interface events run once; a no-op without a window.
    virtual void pump() = 0;
};

// Shows a step's caption in the status line for as long as the step runs.
class StatusStep {
public:
    StatusStep(UserNotifier& notifier, const std::string& caption) : notifier_(notifier) { notifier_.status(caption); }
    ~StatusStep() { notifier_.status(""); }
    StatusStep(const StatusStep&) = delete;
    StatusStep& operator=(const StatusStep&) = delete;

private:
    UserNotifier& notifier_;
};

// A notifier that drops everything and answers every question with no.
class SilentNotifier final : public UserNotifier {
public:
    void message(const std::string&, const std::string&, MessageIcon) override {}
    bool ask(const std::string&, const std::string&) override { return false; }
    void status(const std::string&) override {}
    void progressShow(int) override {}
    void progressPosition(int) override {}
    void progressHide() override {}
    void pump() override {}
};

}  // namespace orbis
