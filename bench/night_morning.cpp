// The morning's work on a night of 50 events (frames of the catalog's sky
// with a marked meteor each, 640 x 480, the default scan of the whole sky):
// every event processed, the summary and the R90 export written, with one
// event at a time and with one per core. And process --night's work on the
// first events of such a night, one and two at a time, interleaved, with the
// process's CPU time and the threads of the process found runnable on
// average (sampled from /proc: on a loaded machine a runnable thread may
// still wait for a core, so CPU / wall time can be lower).

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "SkyEventFrames.h"
#include "TempDir.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "station/uMorningProcessing.h"
#include "station/uNightProcessing.h"

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

NightFixture& nightFixture() {
    static NightFixture fixture;
    return fixture;
}

void morning(benchmark::State& state) {
    const NightFixture& fixture = nightFixture();
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

// Samples, every few milliseconds, how many threads of this process are
// runnable (state R), the sampler itself left out.
class RunnableThreads {
public:
    RunnableThreads()
        : sampler_([this](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  int runnable = 0;
                  for (const auto& task : fs::directory_iterator("/proc/self/task")) {
                      std::ifstream in(task.path() / "stat");
                      std::string stat;
                      std::getline(in, stat);
                      const std::size_t close = stat.rfind(')');
                      if (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'R') ++runnable;
                  }
                  total_ += runnable - 1;
                  ++samples_;
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
          }) {}
    double average() const { return samples_ == 0 ? 0.0 : static_cast<double>(total_) / static_cast<double>(samples_); }

private:
    std::atomic<long> total_{0}, samples_{0};
    std::jthread sampler_;
};

constexpr int kNightEvents = 16;

void processNight(benchmark::State& state) {
    const NightFixture& fixture = nightFixture();
    const auto threads = static_cast<unsigned>(state.range(0));
    double runnable = 0;
    for (auto _ : state) {
        state.PauseTiming();
        test::TempDir station;
        const std::vector<std::string> all = eventDirectoriesOfNight(fixture.night.string());
        fs::create_directories(station / "20240812");
        for (int i = 0; i < kNightEvents; ++i) {
            const fs::path name = fs::path(all[static_cast<std::size_t>(i)]).filename();
            fs::copy(fixture.night / name, station / "20240812" / name, fs::copy_options::recursive);
        }
        SilentNotifier quiet;
        state.ResumeTiming();
        RunnableThreads sampled;
        const std::vector<TEventRun> runs = processEvents(eventDirectoriesOfNight((station / "20240812").string()),
                                                          fixture.config, station.str(), quiet, {}, threads);
        runnable = sampled.average();
        for (const TEventRun& r : runs)
            if (r.error || !r.result.reportWritten) state.SkipWithError("an event gave no report");
    }
    state.counters["threads"] = threads;
    state.counters["events"] = kNightEvents;
    state.counters["runnable"] = runnable;
}
BENCHMARK(processNight)
    ->Arg(1)->Arg(2)->Arg(1)->Arg(2)->Arg(1)->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

}  // namespace
