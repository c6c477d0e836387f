#pragma once
// The video window of the recording page: paints the newest display frame
// (BGRx, top row first) that the capture graph handed to TLatestFrame. A
// timer at the display rate takes the frame; the window's thread never waits
// for the streaming thread, and frames it did not get to are dropped there,
// never on the detector's path.

#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "capture/media/uLatestFrame.h"

namespace orbis {

class TVideoWidget final : public QWidget {
    Q_OBJECT
public:
    explicit TVideoWidget(QWidget* parent = nullptr);

    // What the graph's display branch offers frames to.
    TLatestFrame& latest() { return latest_; }
    // Takes frames `rate` times a second; stop() ends it and keeps the last picture.
    void start(int rate);
    void stop();
    // Forgets the picture shown (a new clip starts black).
    void clear();
    uint64_t framesShown() const { return shown_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void takeFrame();

    TLatestFrame latest_;
    TLatestFrame::Frame frame_;
    QTimer timer_;
    uint64_t shown_ = 0;
};

}  // namespace orbis
