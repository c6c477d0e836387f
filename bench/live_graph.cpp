// Frames per second through the live detection graph: a GStreamer test
// source standing in for the camera, the appsink's callback on the streaming
// thread, and the detector behind it — against the same graph with an empty
// callback (the cost of GStreamer's hand-over alone).

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "DetectorFakes.h"
#include "TempDir.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/uDetector.h"

namespace {

using namespace orbis;

class NoClips final : public ClipSink {
public:
    void writeClip(const TClipJob&) override {}
};

constexpr int kFrames = 500;

std::string source(int w, int h) {
    // A still black sky: the source's own drawing costs next to nothing.
    return "videotestsrc pattern=black num-buffers=" + std::to_string(kFrames) + " ! video/x-raw,format=YUY2,width=" +
           std::to_string(w) + ",height=" + std::to_string(h) + ",framerate=25/1";
}

void runGraph(benchmark::State& state, int w, int h, bool detect) {
    bench::FrameClock clock;
    bench::NoIndicators indicators;
    NoClips clips;
    test::TempDir station;
    TDetector detector({clock, indicators, clips, [] {}});
    detector.startSession(geometryForFormat(16, "YUY2", w, h, 25), {}, {}, station.str());
    uint64_t frames = 0;
    for (auto _ : state) {
        TCaptureGraph graph;
        graph.setFrameCallback([&](std::span<const uint8_t> bytes, const TCaptureFormat&) {
            if (detect) detector.GrabRecord(bytes);
        });
        graph.build(CaptureMode::Detect, TCaptureSource::pipeline(source(w, h)));
        graph.run();
        if (graph.waitForEnd(std::chrono::minutes(1)) != GraphEnd::EndOfStream) state.SkipWithError("graph failed");
        graph.stop();
        frames += graph.framesDelivered();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

void BM_LiveDetect_720x576_YUY2(benchmark::State& s) { runGraph(s, 720, 576, true); }
void BM_LiveHandOver_720x576_YUY2(benchmark::State& s) { runGraph(s, 720, 576, false); }
void BM_LiveDetect_1920x1080_YUY2(benchmark::State& s) { runGraph(s, 1920, 1080, true); }
BENCHMARK(BM_LiveDetect_720x576_YUY2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LiveHandOver_720x576_YUY2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LiveDetect_1920x1080_YUY2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
