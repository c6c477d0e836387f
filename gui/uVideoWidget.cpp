#include "gui/uVideoWidget.h"

#include <QImage>
#include <QPainter>

namespace orbis {

TVideoWidget::TVideoWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("DSVWind");
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&timer_, &QTimer::timeout, this, &TVideoWidget::takeFrame);
}

void TVideoWidget::start(int rate) {
    timer_.start(1000 / std::max(rate, 1));
}

void TVideoWidget::stop() { timer_.stop(); }

void TVideoWidget::clear() {
    frame_ = {};
    update();
}

void TVideoWidget::takeFrame() {
    if (!latest_.take(frame_)) return;
    const TCaptureFormat& f = frame_.format;
    if (f.hasGeometry() && size() != QSize(f.width, f.height)) setFixedSize(f.width, f.height);
    ++shown_;
    update();
}

void TVideoWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TCaptureFormat& f = frame_.format;
    const std::size_t bytes = static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height) * 4;
    if (!f.hasGeometry() || f.bitsPerPixel != 32 || frame_.bytes.size() < bytes) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // BGRx in memory is Qt's RGB32 on a little-endian machine; the image
    // only borrows the frame's bytes.
    const QImage image(frame_.bytes.data(), f.width, f.height, f.width * 4, QImage::Format_RGB32);
    painter.drawImage(rect(), image);
}

}  // namespace orbis
