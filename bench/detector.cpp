// The detector's per-frame cost on a realistic night sky (noise, stars, a
// meteor now and then), one core, against the bound a plain copy of the
// frame's bytes sets.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "DetectorFakes.h"
#include "SyntheticSky.h"
#include "TempDir.h"
#include "capture/uDetector.h"

namespace {

using namespace orbis;

class CountClips final : public ClipSink {
public:
    int clips = 0;
    void writeClip(const TClipJob&) override { ++clips; }
};

enum class Format { Yuy2, Grey };

// 50 frames with a meteor in frames 10-16 and 35-41 (or none: a quiet
// night's usual frame).
std::vector<std::vector<uint8_t>> skyFrames(int w, int h, Format format, bool meteors = true) {
    test::SyntheticSky sky(w, h, 42, 30, 2.0, 150);
    if (meteors) {
        sky.addMeteor({10, 16, w * 0.2, h * 0.3, 9, 4, 220});
        sky.addMeteor({35, 41, w * 0.6, h * 0.7, -8, -5, 180});
    }
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < 50; ++i) {
        const auto luma = sky.frame(i);
        frames.push_back(format == Format::Yuy2 ? test::packYuv16(luma, w, h, 0) : luma);
    }
    return frames;
}

void runDetector(benchmark::State& state, int w, int h, Format format, bool meteors = true) {
    const auto frames = skyFrames(w, h, format, meteors);
    bench::FrameClock clock;
    bench::NoIndicators indicators;
    CountClips clips;
    test::TempDir station;
    TDetector detector({clock, indicators, clips, [] {}});
    detector.startSession(format == Format::Yuy2 ? geometryForFormat(16, "YUY2", w, h, 25)
                                                 : geometryForFormat(8, "GREY", w, h, 25),
                          {}, {}, station.str());
    std::size_t i = 0;
    for (auto _ : state) {
        detector.GrabRecord(frames[i]);
        if (++i == frames.size()) i = 0;
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["events"] = clips.clips;
}

void BM_GrabRecord_720x576_YUY2(benchmark::State& s) { runDetector(s, 720, 576, Format::Yuy2); }
void BM_GrabRecord_720x576_Grey(benchmark::State& s) { runDetector(s, 720, 576, Format::Grey); }
void BM_GrabRecord_1920x1080_YUY2(benchmark::State& s) { runDetector(s, 1920, 1080, Format::Yuy2); }
BENCHMARK(BM_GrabRecord_720x576_YUY2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GrabRecord_720x576_Grey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GrabRecord_1920x1080_YUY2)->Unit(benchmark::kMicrosecond);
void BM_GrabRecord_720x576_YUY2_NoEvents(benchmark::State& s) { runDetector(s, 720, 576, Format::Yuy2, false); }
void BM_GrabRecord_720x576_Grey_NoEvents(benchmark::State& s) { runDetector(s, 720, 576, Format::Grey, false); }
BENCHMARK(BM_GrabRecord_720x576_YUY2_NoEvents)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GrabRecord_720x576_Grey_NoEvents)->Unit(benchmark::kMicrosecond);

// The honest bound: each delivered frame copied once as it arrives, cycling
// through the bench's 50 frames (tens of megabytes: the source is not in
// the cache, as a frame fresh from the camera is not).
void coldMemcpy(benchmark::State& state, int w, int h, Format format) {
    const auto frames = skyFrames(w, h, format);
    std::vector<uint8_t> dst(frames[0].size());
    std::size_t i = 0;
    for (auto _ : state) {
        std::memcpy(dst.data(), frames[i].data(), dst.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
        if (++i == frames.size()) i = 0;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(dst.size()));
}
void BM_ColdMemcpy_720x576_YUY2(benchmark::State& s) { coldMemcpy(s, 720, 576, Format::Yuy2); }
void BM_ColdMemcpy_720x576_Grey(benchmark::State& s) { coldMemcpy(s, 720, 576, Format::Grey); }
void BM_ColdMemcpy_1920x1080_YUY2(benchmark::State& s) { coldMemcpy(s, 1920, 1080, Format::Yuy2); }
BENCHMARK(BM_ColdMemcpy_720x576_YUY2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColdMemcpy_720x576_Grey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColdMemcpy_1920x1080_YUY2)->Unit(benchmark::kMicrosecond);

// The bound: copying the delivered frame's bytes once.
void memcpyBound(benchmark::State& state, std::size_t bytes) {
    std::vector<uint8_t> src(bytes, 1), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
void BM_Memcpy_720x576_YUY2(benchmark::State& s) { memcpyBound(s, 720 * 576 * 2); }
void BM_Memcpy_1920x1080_YUY2(benchmark::State& s) { memcpyBound(s, 1920 * 1080 * 2); }
BENCHMARK(BM_Memcpy_720x576_YUY2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy_1920x1080_YUY2)->Unit(benchmark::kMicrosecond);

}  // namespace
