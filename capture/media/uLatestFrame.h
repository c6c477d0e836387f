#pragma once
// The newest frame for the display. The streaming thread offers every frame
// it has; the window takes the newest when it paints. Neither side waits for
// the other longer than a swap of two buffers, and frames the window never
// took are simply replaced. Three buffers circulate (the one being filled,
// the newest, the one the window holds), so a steady stream allocates
// nothing.

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "capture/media/uCaptureGraph.h"

namespace orbis {

class TLatestFrame {
public:
    struct Frame {
        std::vector<uint8_t> bytes;
        TCaptureFormat format;
        uint64_t sequence = 0;  // 1 for the first frame offered, then counting
    };

    // From one thread at a time (the streaming thread of the display sink).
    void offer(std::span<const uint8_t> bytes, const TCaptureFormat& format);
    // Swaps the newest frame into `frame` (taking `frame`'s buffer in
    // exchange) when one has come since the last take; false otherwise.
    bool take(Frame& frame);
    // A display callback for TCaptureGraph that offers each frame here.
    FrameCallback callback();

private:
    Frame filling_;  // only the offering thread touches it
    std::mutex mutex_;
    Frame newest_;
    bool fresh_ = false;
    uint64_t count_ = 0;
};

}  // namespace orbis
