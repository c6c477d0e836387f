#include "gui/uQtNotifier.h"

#include <QMessageBox>
#include <QProgressBar>
#include <QThread>

namespace orbis {

TQtNotifier::TQtNotifier(QWidget* window, std::function<void(const QString&)> status, QProgressBar* progress)
    : window_(window), status_(std::move(status)), progress_(progress) {}

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
