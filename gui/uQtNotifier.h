#pragma once
// The station's notifier in the window: message boxes, questions, the status
// line and the progress bar of the status bar. Safe from any thread: a call
// from another thread is queued to the window's thread (a question waits
// there for the answer); on the window's thread it acts at once.

#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "astro/uNotifier.h"

class QProgressBar;
class QWidget;

namespace orbis {

class TQtNotifier final : public QObject, public UserNotifier {
    Q_OBJECT
public:
    using MessageHandler = std::function<void(const std::string& caption, const std::string& text, MessageIcon icon)>;
    using QuestionHandler = std::function<bool(const std::string& caption, const std::string& text)>;

    // Messages and questions are boxes over `window`; status text goes to
    // `status`, the progress to `progress` (both may be null).
    TQtNotifier(QWidget* window, std::function<void(const QString&)> status, QProgressBar* progress);

    // What shows a message or asks a question instead of a modal box (tests
    // keep what they are told).
    void setMessageHandler(MessageHandler handler) { messageHandler_ = std::move(handler); }
    void setQuestionHandler(QuestionHandler handler) { questionHandler_ = std::move(handler); }

    void message(const std::string& caption, const std::string& text, MessageIcon icon) override;
    bool ask(const std::string& caption, const std::string& text) override;
    void status(const std::string& text) override;
    void progressShow(int maximum) override;
    void progressPosition(int position) override;
    void progressHide() override;

private:
    // Runs `call` on the window's thread: at once when already there.
    void onWindowThread(std::function<void()> call);

    QWidget* window_;
    std::function<void(const QString&)> status_;
    QProgressBar* progress_;
    MessageHandler messageHandler_;
    QuestionHandler questionHandler_;
};

}  // namespace orbis
