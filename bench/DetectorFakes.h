#pragma once
// A detector clock that advances one frame period per call and an indicator
// sink that drops everything: what a benchmark of the detector needs around it.

#include "capture/uDetector.h"

namespace orbis::bench {

class FrameClock final : public DetectorClock {
public:
    uint32_t tick = 1000000;
    uint32_t tickCount() override { return tick += 40; }
    TDateTime localNow() override { return encodeDateTime({2024, 8, 12, 23, 0, 0, 0}) + tick / 86400000.0; }
};

class NoIndicators final : public IndicatorSink {
public:
    void publish(const TDetectorIndicators&) noexcept override {}
};

}  // namespace orbis::bench
