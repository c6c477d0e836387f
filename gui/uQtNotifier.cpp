#include "gui/uQtNotifier.h"

#include <QMessageBox>
#include <QProgressBar>
#include <QThread>

#include "astro/uExceptions.h"

namespace orbis {

TDiagnostic failureDiagnostic(const std::exception& failure) {
    if (const auto* own = dynamic_cast<const Exception*>(&failure)) return own->diagnostic();
    return TDiagnostic(Code::Unworded).with("text", failure.what());
}

MessageIcon iconOf(Severity severity) {
    return severity == Severity::Error     ? MessageIcon::Error
           : severity == Severity::Warning ? MessageIcon::Warning
                                           : MessageIcon::Information;
}

std::string failureText(const UserNotifier& notifier, const std::exception& failure) {
    if (const auto* window = dynamic_cast<const TQtNotifier*>(&notifier))
        return window->catalogue().text(failureDiagnostic(failure));
    return failure.what();
}

TQtNotifier::TQtNotifier(QWidget* window, std::function<void(const QString&)> status, QProgressBar* progress,
                         Language language)
    : window_(window), status_(std::move(status)), progress_(progress), catalogue_(language) {}

void TQtNotifier::remember(const TDiagnostic& diagnostic) {
    shown_.push_back(diagnostic);
    if (shown_.size() > kShownKept) shown_.pop_front();
}

// The catalogue is read on the window's thread only, as every widget is.
void TQtNotifier::report(const TDiagnostic& diagnostic) {
    onWindowThread([this, diagnostic] {
        show(diagnostic, catalogue_.caption(diagnostic), iconOf(diagnostic.severity()));
    });
}

void TQtNotifier::show(const TDiagnostic& diagnostic, const std::string& caption, MessageIcon icon) {
    onWindowThread([this, diagnostic, caption, icon] {
        remember(diagnostic);
        message(caption, catalogue_.text(diagnostic), icon);
    });
}

bool TQtNotifier::question(const TDiagnostic& diagnostic) {
    bool answer = false;
    const auto asked = [&] {
        remember(diagnostic);
        answer = ask(catalogue_.caption(diagnostic), catalogue_.text(diagnostic));
    };
    if (QThread::currentThread() == thread()) asked();
    else QMetaObject::invokeMethod(this, asked, Qt::BlockingQueuedConnection);
    return answer;
}

void TQtNotifier::stage(const TDiagnostic& diagnostic) {
    onWindowThread([this, diagnostic] { status(catalogue_.text(diagnostic)); });
}

void TQtNotifier::stageEnd() { status(""); }

// The window keeps no log: a fact is the status line's until the next.
void TQtNotifier::record(const TDiagnostic& diagnostic) {
    onWindowThread([this, diagnostic] { note(catalogue_.text(diagnostic)); });
}

void TQtNotifier::onWindowThread(std::function<void()> call) {
    if (QThread::currentThread() == thread()) call();
    else QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void TQtNotifier::message(const std::string& caption, const std::string& text, MessageIcon icon) {
    onWindowThread([this, caption, text, icon] {
        if (messageHandler_) return messageHandler_(caption, text, icon);
        const QMessageBox::Icon boxIcon = icon == MessageIcon::Error     ? QMessageBox::Critical
                                          : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                                         : QMessageBox::Information;
        QMessageBox box(boxIcon, QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                        window_);
        box.exec();
    });
}

bool TQtNotifier::ask(const std::string& caption, const std::string& text) {
    bool answer = false;
    const auto question = [&] {
        if (questionHandler_) {
            answer = questionHandler_(caption, text);
            return;
        }
        answer = QMessageBox::question(window_, QString::fromStdString(caption), QString::fromStdString(text),
                                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    if (QThread::currentThread() == thread()) question();
    else QMetaObject::invokeMethod(this, question, Qt::BlockingQueuedConnection);
    return answer;
}

void TQtNotifier::status(const std::string& text) {
    onWindowThread([this, text] {
        if (status_) status_(QString::fromStdString(text));
    });
}

void TQtNotifier::progressShow(int maximum) {
    onWindowThread([this, maximum] {
        if (!progress_) return;
        progress_->setRange(0, maximum);
        progress_->setValue(0);
        progress_->show();
    });
}

void TQtNotifier::progressPosition(int position) {
    onWindowThread([this, position] {
        if (progress_) progress_->setValue(position);
    });
}

void TQtNotifier::progressHide() {
    onWindowThread([this] {
        if (progress_) progress_->hide();
    });
}

}  // namespace orbis
