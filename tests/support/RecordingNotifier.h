#pragma once
// A notifier that keeps everything it is told, so tests can assert the
// diagnostics (codes and values) the user would be told. The diagnostics
// also reach the plain channels below (messages, statuses, notes), as
// they do in a front end that words nothing.

#include <deque>
#include <string>
#include <vector>

#include "astro/uNotifier.h"

namespace orbis::test {

struct RecordedMessage {
    std::string caption;
    std::string text;
    MessageIcon icon;
};

class RecordingNotifier final : public UserNotifier {
public:
    std::vector<TDiagnostic> reports;  // report()
    std::vector<TDiagnostic> stages;   // stage(), and so every StageStep
    std::vector<TDiagnostic> records;  // record()
    std::vector<TDiagnostic> asked;    // question()
    std::vector<RecordedMessage> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;  // answers to hand out, in order; no when empty
    std::vector<std::string> statuses;
    std::vector<std::string> notes;
    std::vector<int> progress;  // every position set
    int progressMaximum = -1;
    bool progressVisible = false;
    int pumps = 0;

    void report(const TDiagnostic& diagnostic) override {
        reports.push_back(diagnostic);
        UserNotifier::report(diagnostic);
    }
    bool question(const TDiagnostic& diagnostic) override {
        asked.push_back(diagnostic);
        return UserNotifier::question(diagnostic);
    }
    void stage(const TDiagnostic& diagnostic) override {
        stages.push_back(diagnostic);
        UserNotifier::stage(diagnostic);
    }
    void record(const TDiagnostic& diagnostic) override {
        records.push_back(diagnostic);
        UserNotifier::record(diagnostic);
    }
    // The codes reported, in order.
    std::vector<Code> reportedCodes() const {
        std::vector<Code> codes;
        for (const TDiagnostic& d : reports) codes.push_back(d.code());
        return codes;
    }
    // The codes of the stages, in order.
    std::vector<Code> stageCodes() const {
        std::vector<Code> codes;
        for (const TDiagnostic& d : stages) codes.push_back(d.code());
        return codes;
    }

    void message(const std::string& caption, const std::string& text, MessageIcon icon) override {
        messages.push_back({caption, text, icon});
    }
    bool ask(const std::string&, const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void status(const std::string& text) override { statuses.push_back(text); }
    void note(const std::string& text) override { notes.push_back(text); }
    void progressShow(int maximum) override {
        progressMaximum = maximum;
        progressVisible = true;
    }
    void progressPosition(int position) override { progress.push_back(position); }
    void progressHide() override { progressVisible = false; }
    void pump() override { ++pumps; }
};

}  // namespace orbis::test
