#include "capture/media/uLatestFrame.h"

#include <utility>

namespace orbis {

void TLatestFrame::offer(std::span<const uint8_t> bytes, const TCaptureFormat& format) {
    // The copy happens outside the lock; only the swap is shared.
    filling_.bytes.assign(bytes.begin(), bytes.end());
    filling_.format = format;
    filling_.sequence = ++count_;
    std::lock_guard lock(mutex_);
    std::swap(filling_, newest_);
    fresh_ = true;
}

bool TLatestFrame::take(Frame& frame) {
    std::lock_guard lock(mutex_);
    if (!fresh_) return false;
    std::swap(frame, newest_);
    fresh_ = false;
    return true;
}

FrameCallback TLatestFrame::callback() {
    return [this](std::span<const uint8_t> bytes, const TCaptureFormat& format) { offer(bytes, format); };
}

}  // namespace orbis
