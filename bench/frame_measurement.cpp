// What M<event>.json adds to an event's processing: the event's frames
// measured (each frame's sky and horizontal position and brightness) and
// the file written, against the whole processing of the same event (its
// sky scan near the pointing), which includes it, and against proposing the
// track, which the measurement no longer repeats (the proposal leaves its
// heads beside the track). Twelve 640 x 480 frames, the meteor on five.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "SkyEventFrames.h"
#include "TempDir.h"
#include "measurement/uTrackProposal.h"
#include "processing/uPipeline.h"
#include "reports/uEventMeasurement.h"
#include "reports/uFrameMeasurement.h"
#include "station/uEventProcessing.h"

namespace {

using namespace orbis;

struct ProcessedEvent {
    test::TempDir station;
    TConfiguration config;
    std::string event = (station / "20240812" / "231001_280").string();

    ProcessedEvent() {
        config.setDeleteTemp(false);
        const test::SkyEventAim aim = test::aimAtSkyEvents(config, ORBIS_CATALOG_DIR);
        test::writeSkyEventFrames(event, config, aim.theta, aim.pointing);
    }
    void process() {
        SilentNotifier quiet;
        processEvent(event, config, station.str(), quiet, {1});
    }
};

void WholeProcessing(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ProcessedEvent e;
        state.ResumeTiming();
        e.process();
    }
}

void FramesMeasuredAndWritten(benchmark::State& state) {
    ProcessedEvent e;
    e.process();
    const TEventFiles files = eventFiles(e.event);
    for (auto _ : state) {
        const auto m = measureEventFrames(e.event, e.config, {640, 480});
        if (!m) state.SkipWithError("no measurement");
        else writeEventMeasurement(files.stem + ".json", *m);
    }
}

void ProposalAlone(benchmark::State& state) {
    ProcessedEvent e;
    for (auto _ : state) benchmark::DoNotOptimize(proposeTrack(e.event, e.config));
}

}  // namespace

BENCHMARK(WholeProcessing)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FramesMeasuredAndWritten)->Unit(benchmark::kMillisecond);
BENCHMARK(ProposalAlone)->Unit(benchmark::kMillisecond);
