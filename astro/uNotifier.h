#pragma once
// The channel through which core operations talk to the user: message boxes,
// yes/no questions, the status caption and the progress bar, and the user's
// wish to stop long work. The desktop program implements it with Qt, the
// command line with stderr, the tests with a recorder. Long work may run on a
// worker thread: a front end then hands it a notifier that carries every call
// to the window's thread (station/uBackgroundWork). Core code never includes
// a user-interface header.

#include <string>

#include "astro/uDiagnostic.h"

namespace orbis {

enum class MessageIcon { Information, Warning, Error };

class UserNotifier {
public:
    virtual ~UserNotifier() = default;

    // A problem or notice for the user, worded by the front end; an error or
    // warning is a modal message in the window.
    virtual void report(const TDiagnostic& diagnostic) {
        const MessageIcon icon = diagnostic.severity() == Severity::Error     ? MessageIcon::Error
                                 : diagnostic.severity() == Severity::Warning ? MessageIcon::Warning
                                                                              : MessageIcon::Information;
        message("Orbisight", diagnostic.plain(), icon);
    }
    // A yes/no question; true means yes.
    virtual bool question(const TDiagnostic& diagnostic) { return ask("Orbisight", diagnostic.plain()); }
    // The running stage (a code such as a processing stage), shown for as
    // long as it runs; stageEnd() clears it.
    virtual void stage(const TDiagnostic& diagnostic) { status(diagnostic.plain()); }
    virtual void stageEnd() { status(""); }
    // A fact for the log that needs no answer.
    virtual void record(const TDiagnostic& diagnostic) { note(diagnostic.plain()); }

    // A modal message with its window caption ("Orbisight", ...).
    virtual void message(const std::string& caption, const std::string& text, MessageIcon icon) = 0;
    // A yes/no question; true means yes.
    virtual bool ask(const std::string& caption, const std::string& text) = 0;
    virtual void status(const std::string& text) = 0;
    // A line for the log: a fact worth keeping that needs no answer (the
    // figures of a binding's verification). Without a log it is the status.
    virtual void note(const std::string& text) { status(text); }
    virtual void progressShow(int maximum) = 0;
    virtual void progressPosition(int position) = 0;
    virtual void progressHide() = 0;
    // Lets queued user-interface events run once, for a front end that runs
    // long work on its own thread; the core never depends on it.
    virtual void pump() {}
    // The user asked to stop the running work. Long loops look at it where
    // stopping leaves nothing half done (between events, between frames).
    virtual bool cancelRequested() { return false; }
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

// Shows a stage (a code) for as long as the step runs.
class StageStep {
public:
    StageStep(UserNotifier& notifier, const TDiagnostic& stage) : notifier_(notifier) { notifier_.stage(stage); }
    explicit StageStep(UserNotifier& notifier, Code stage) : StageStep(notifier, TDiagnostic(stage, Severity::Notice)) {}
    ~StageStep() { notifier_.stageEnd(); }
    StageStep(const StageStep&) = delete;
    StageStep& operator=(const StageStep&) = delete;

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
