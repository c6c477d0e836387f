#pragma once
// A detector with test-driven time, a clip sink that keeps copies of every
// event, and an indicator sink that keeps every frame's values.

#include <algorithm>
#include <string>
#include <vector>

#include "TempDir.h"
#include "capture/uDetector.h"

namespace orbis::test {

class FakeClock final : public DetectorClock {
public:
    uint32_t tick = 1000000;
    TDateTime now = encodeDateTime({2024, 8, 12, 23, 10, 0, 0});
    uint32_t tickCount() override { return tick; }
    TDateTime localNow() override { return now; }
    void advance(uint32_t ms) {
        tick += ms;
        now += ms / 86400000.0;
    }
};

struct RecordedClip {
    TClipJob job;  // frames span not kept
    std::vector<std::vector<uint8_t>> frames;
};

class RecordingClips final : public ClipSink {
public:
    std::vector<RecordedClip> clips;
    // Take the detector's buffers as the clip writers do, then spoil them
    // and hand back spoiled ones: the detector must keep nothing of its own
    // in them.
    bool take = false;
    std::vector<std::vector<std::vector<uint8_t>>> taken;
    void writeClip(const TClipJob& job) override {
        RecordedClip c{job, {job.frames.begin(), job.frames.end()}};
        c.job.frames = {};
        c.job.handOver = nullptr;
        clips.push_back(std::move(c));
        if (!take || job.handOver == nullptr) return;
        taken.push_back(std::move(*job.handOver));
        for (auto& b : taken.back()) std::fill(b.begin(), b.end(), uint8_t{0xCD});
        job.handOver->assign(taken.back().size(), std::vector<uint8_t>(job.frameSize, 0xAB));
    }
};

class RecordingIndicators final : public IndicatorSink {
public:
    std::vector<TDetectorIndicators> all;
    void publish(const TDetectorIndicators& i) noexcept override { all.push_back(i); }
};

using Frame = std::vector<uint8_t>;

struct DetectorHarness {
    TempDir station;
    FakeClock clock;
    RecordingIndicators indicators;
    RecordingClips clips;
    int shutdowns = 0;
    TDetector detector{{clock, indicators, clips, [this] { ++shutdowns; }}};
    int width = 32;
    int height = 24;

    void start(TDetectorSettings settings = {}, TSessionOptions options = {}, int w = 32, int h = 24) {
        width = w;
        height = h;
        detector.startSession(geometryForFormat(8, "GREY", w, h, 25), settings, options, station.str());
    }
    // Feeds one frame and lets one frame period pass.
    void feed(const Frame& f, uint32_t ms = 40) {
        detector.GrabRecord(f);
        clock.advance(ms);
    }
    Frame flat(uint8_t v = 20) const { return Frame(static_cast<std::size_t>(width) * height, v); }
    // A flat frame with a 3 x 3 blob centred at (x, y), y counted from the bottom row.
    Frame blob(int x, int y, uint8_t v = 200, uint8_t background = 20) const {
        Frame f = flat(background);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) f[static_cast<std::size_t>(y + dy) * width + x + dx] = v;
        return f;
    }
};

}  // namespace orbis::test
