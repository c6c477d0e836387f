#pragma once
// The station's notifier in the window: message boxes, questions, the status
// line and the progress bar of the status bar. Safe from any thread: a call
// from another thread is queued to the window's thread (a question waits
// there for the answer); on the window's thread it acts at once.
//
// Diagnostics are worded by the window's catalogue, in the window's
// language, with the caption the catalogue gives their code.

#include <QObject>
#include <QString>
#include <deque>
#include <exception>
#include <functional>
#include <string>

#include "astro/uNotifier.h"
#include "app/i18n/uCatalogue.h"

class QProgressBar;
class QWidget;

namespace orbis {

// The diagnostic of a failure the window caught: an orbis::Exception's own;
// the text of any other as an unworded one.
TDiagnostic failureDiagnostic(const std::exception& failure);
// The icon of a message box for a diagnostic of that severity.
MessageIcon iconOf(Severity severity);

class UserNotifier;
// A failure as a sentence for a message of the window's own that tells it
// within its words: worded by the catalogue of the window's notifier, in
// its plain form under any other notifier.
std::string failureText(const UserNotifier& notifier, const std::exception& failure);

class TQtNotifier final : public QObject, public UserNotifier {
    Q_OBJECT
public:
    using MessageHandler = std::function<void(const std::string& caption, const std::string& text, MessageIcon icon)>;
    using QuestionHandler = std::function<bool(const std::string& caption, const std::string& text)>;

    // How many of the diagnostics shown the notifier keeps (shown()).
    static constexpr std::size_t kShownKept = 64;

    // Messages and questions are boxes over `window`; status text goes to
    // `status`, the progress to `progress` (both may be null).
    TQtNotifier(QWidget* window, std::function<void(const QString&)> status, QProgressBar* progress,
                Language language = Language::Russian);

    // What shows a message or asks a question instead of a modal box (tests
    // keep what they are told).
    void setMessageHandler(MessageHandler handler) { messageHandler_ = std::move(handler); }
    void setQuestionHandler(QuestionHandler handler) { questionHandler_ = std::move(handler); }

    const TCatalogue& catalogue() const { return catalogue_; }
    // The diagnostics shown in boxes and asked as questions, the latest
    // last (at most kShownKept); read on the window's thread.
    const std::deque<TDiagnostic>& shown() const { return shown_; }

    void report(const TDiagnostic& diagnostic) override;
    bool question(const TDiagnostic& diagnostic) override;
    void stage(const TDiagnostic& diagnostic) override;
    void stageEnd() override;
    void record(const TDiagnostic& diagnostic) override;
    // A diagnostic under a caption the window chooses itself.
    void show(const TDiagnostic& diagnostic, const std::string& caption, MessageIcon icon);
    // A failure the window caught, worded as its diagnostic.
    void showFailure(const std::exception& failure) { report(failureDiagnostic(failure)); }

    void message(const std::string& caption, const std::string& text, MessageIcon icon) override;
    bool ask(const std::string& caption, const std::string& text) override;
    void status(const std::string& text) override;
    void progressShow(int maximum) override;
    void progressPosition(int position) override;
    void progressHide() override;

private:
    // Runs `call` on the window's thread: at once when already there.
    void onWindowThread(std::function<void()> call);
    void remember(const TDiagnostic& diagnostic);

    QWidget* window_;
    std::function<void(const QString&)> status_;
    QProgressBar* progress_;
    TCatalogue catalogue_;
    MessageHandler messageHandler_;
    QuestionHandler questionHandler_;
    std::deque<TDiagnostic> shown_;
};

}  // namespace orbis
