#pragma once
// The command line's notifier: messages and status on stderr, diagnostics
// worded by the catalogue of its language, questions answered "no" (nobody
// is there to answer). On a terminal the progress is one line that rewrites
// itself; into a file or the journal of an unattended station it is plain
// lines, a new status caption each and a progress line every quarter, with
// no control characters. Safe to call from the clip writer threads.

#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <utility>

#include "app/cli/uCliWords.h"
#include "astro/uNotifier.h"

namespace orbis {

class CliNotifier final : public UserNotifier {
public:
    // The progress line rewrites itself when err is std::cerr on a terminal,
    // or when told so.
    explicit CliNotifier(std::ostream& err, Language language = Language::English);
    CliNotifier(std::ostream& err, bool terminal, Language language = Language::English);

    void report(const TDiagnostic& diagnostic) override;
    bool question(const TDiagnostic& diagnostic) override;
    void stage(const TDiagnostic& diagnostic) override;
    void stageEnd() override;
    void record(const TDiagnostic& diagnostic) override;

    void message(const std::string& caption, const std::string& text, MessageIcon icon) override;
    bool ask(const std::string& caption, const std::string& text) override;
    void status(const std::string& text) override;
    void note(const std::string& text) override;
    void progressShow(int maximum) override;
    void progressPosition(int position) override;
    void progressHide() override;
    void pump() override {}
    // The user's wish to stop comes from elsewhere (a signal): set before
    // the work starts.
    void stopWhen(std::function<bool()> stop) { stop_ = std::move(stop); }
    bool cancelRequested() override { return stop_ && stop_(); }

    int messagesShown() const;
    // Warnings and errors shown: a stage that reported a problem.
    int problemsShown() const;

private:
    void endProgressLine();
    void show(const std::string& caption, const std::string& text, MessageIcon icon);
    bool answer(const std::string& caption, const std::string& text);
    std::pair<std::string, std::string> worded(const TDiagnostic& diagnostic) const;

    std::ostream& err_;
    CliWords words_;
    bool terminal_ = false;
    mutable std::mutex mutex_;
    std::string status_;
    int maximum_ = 0;
    int lastPercent_ = -1;
    bool lineOpen_ = false;
    int messages_ = 0;
    int problems_ = 0;
    std::function<bool()> stop_;
};

}  // namespace orbis
