// The morning's work on a night of 50 events (frames of the catalog's sky
// with a marked meteor each, 640 x 480, the default scan of the whole sky):
// every event processed, the summary and the R90 export written, with one
// event at a time and with one per core.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <thread>

#include "SkyEventFrames.h"
#include "TempDir.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "station/uMorningProcessing.h"

namespace {

using namespace orbis;
namespace fs = std::filesystem;

constexpr int kEvents = 50;

// One event's frames, copied under 50 names, each beside its clip as a run
// that had taken them into work leaves them.
struct NightFixture {
    test::TempDir templ;
    TConfiguration config;
    fs::path night = templ / "20240812";

    NightFixture() {
        const test::SkyEventAim aim = test::aimAtSkyEvents(config, ORBIS_CATALOG_DIR);
        const TConfiguration defaults;
        // The whole sky, as a station scans it.
        config.setAutoDetectMinDEC(defaults.autoDetectMinDEC());
        config.setAutoDetectMaxDEC(defaults.autoDetectMaxDEC());
        config.setAutoDetectMinRA(defaults.autoDetectMinRA());
        config.setAutoDetectMaxRA(defaults.autoDetectMaxRA());
        const fs::path first = night / "221000_000";
        test::writeSkyEventFrames(first.string(), config, aim.theta, aim.pointing);
        for (int i = 0; i < kEvents; ++i) {
            // 221000_000, 221001_000, ...
            const std::string name = "22" + std::to_string(10 + i / 60) + (i % 60 < 10 ? "0" : "") +
                                     std::to_string(i % 60) + "_000";
            if (i > 0) fs::copy(first, night / name, fs::copy_options::recursive);
            writeFileAtomically(night / (name + ".avi"), "clip");
        }
    }
};

void morning(benchmark::State& state) {
    static NightFixture fixture;
    const unsigned threads = state.range(0) == 0 ? std::max(1u, std::thread::hardware_concurrency())
                                                 : static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        test::TempDir station;
        fs::copy(fixture.templ.path(), station.path(), fs::copy_options::recursive);
        state.ResumeTiming();
        const TMorningResult r =
            processNightMorning((station / "20240812").string(), fixture.config, station.str(), threads);
        if (!r.finished || r.events.size() != kEvents) state.SkipWithError("the night was not done");
        for (const TMorningEvent& e : r.events)
            if (e.outcome != MorningOutcome::Report) state.SkipWithError(morningEventLine(e).c_str());
    }
    state.counters["threads"] = threads;
    state.counters["events"] = kEvents;
}
// 1: one event at a time; 0: one per core.
BENCHMARK(morning)->Arg(1)->Arg(0)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
