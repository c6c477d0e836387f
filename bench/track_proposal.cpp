// The automatic track proposal over the simulator's sample (tests/support/
// MeteorSample.h): the time of the proposals and how they compare with the
// truth, kind by kind, for the tuning part of the sample and, apart, for the
// holdout part nobody tunes on. For each kind with a meteor: the share found,
// the share whose START and FINISH lie on the right frames and within 1.5 px
// of the true heads, the largest miss, and the proposal's brightness as a
// magnitude (against the event's stars) less the true peak magnitude, mean
// and spread. For each kind without one: the share where no meteor was found.
// Then the events that went worst. Each event is written and removed around
// its proposal, outside the clock.
//
//   bench_track_proposal --benchmark_filter=Sample/480/240
//   bench_track_proposal --benchmark_filter=Sample/48/24    (a quick look)
//
// Then the cost against the length of the event (Frames/n/plain): one event
// of n 640 x 480 frames with a meteor, an aeroplane and a satellite crossing
// the whole clip, hot pixels and twinkling stars, by the indexed search
// (plain 0) and, next to it, the all-pairs one it is checked against
// (plain 1); the time per frame of the indexed search should not grow with n.
//
//   bench_track_proposal --benchmark_filter=Frames

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "MeteorSample.h"
#include "TempDir.h"
#include "astro/uDateTime.h"
#include "config/uConfiguration.h"
#include "measurement/uTrackProposal.h"
#include "sim/uSkySimulator.h"

namespace {

using namespace orbis;

struct Outcome {
    int index;
    test::SampleKind kind;
    bool meteor;
    int frames;
    test::SampleResult result;
    std::optional<double> magnitudeError;  // proposal - true peak
};

struct Tally {
    int events = 0, found = 0, endsRight = 0;
    double largestMiss = 0;  // px, over the events found on the right frames
    int wrongFrames = 0;     // found, but START or FINISH on another frame
    std::vector<double> magnitudeErrors;

    void add(const Outcome& o) {
        ++events;
        found += o.result.found;
        if (!o.meteor || !o.result.found) return;
        endsRight += o.result.endsRight();
        if (o.result.framesMatch)
            largestMiss = std::max({largestMiss, o.result.startError, o.result.finishError});
        else
            ++wrongFrames;
        if (o.magnitudeError) magnitudeErrors.push_back(*o.magnitudeError);
    }
};

double percent(int part, int whole) { return whole > 0 ? 100.0 * part / whole : NAN; }

void printTable(const char* title, const std::vector<Outcome>& outcomes) {
    std::printf("\n%s: %zu events\n", title, outcomes.size());
    std::printf("  %-11s %5s %8s %10s %8s %7s %11s %17s\n", "kind", "n", "found%", "endsRight%", "miss px",
                "frames", "noMeteor%", "mag-true (n)");
    Tally meteors, free;
    for (const test::SampleKind kind : test::kSampleKinds) {
        Tally t;
        for (const Outcome& o : outcomes)
            if (o.kind == kind) t.add(o);
        if (t.events == 0) continue;
        for (const Outcome& o : outcomes)
            if (o.kind == kind) (o.meteor ? meteors : free).add(o);
        const std::string name(test::kindName(kind));
        if (!test::hasMeteor(kind)) {
            std::printf("  %-11s %5d %8s %10s %8s %7s %11.1f\n", name.c_str(), t.events, "", "", "", "",
                        percent(t.events - t.found, t.events));
            continue;
        }
        double mean = NAN, spread = NAN;
        if (!t.magnitudeErrors.empty()) {
            double sum = 0, squares = 0;
            for (const double e : t.magnitudeErrors) sum += e, squares += e * e;
            const double n = static_cast<double>(t.magnitudeErrors.size());
            mean = sum / n;
            spread = std::sqrt(std::max(squares / n - mean * mean, 0.0));
        }
        std::printf("  %-11s %5d %8.1f %10.1f %8.2f %7d %+6.2f ±%4.2f (%zu)\n", name.c_str(), t.events,
                    percent(t.found, t.events), percent(t.endsRight, t.events), t.largestMiss, t.wrongFrames,
                    mean, spread, t.magnitudeErrors.size());
    }
    std::printf("  meteor events: found %.1f%%, START and FINISH right %.1f%% (targets 95%%, 95%%); "
                "meteor-free events: no meteor found %.1f%% (target 99%%)\n",
                percent(meteors.found, meteors.events), percent(meteors.endsRight, meteors.events),
                percent(free.events - free.found, free.events));
    std::printf("  columns: miss px = largest START/FINISH error on the right frames; frames = found on other "
                "frames; mag-true = proposal magnitude less the true peak, mean ± spread\n");

    // The worst: meteors missed or on the wrong frames first, then by miss;
    // meteor-free events taken for a meteor.
    std::vector<const Outcome*> worst;
    for (const Outcome& o : outcomes)
        if (o.meteor ? !o.result.endsRight() : o.result.found) worst.push_back(&o);
    const auto badness = [](const Outcome* o) {
        if (!o->meteor) return 2000.0;
        if (!o->result.found) return 3000.0;
        return std::max(o->result.startError, o->result.finishError) + (o->result.framesMatch ? 0 : 1000);
    };
    std::stable_sort(worst.begin(), worst.end(), [&](const Outcome* a, const Outcome* b) { return badness(a) > badness(b); });
    std::printf("  worst events (index, kind, meteor frames, START px, FINISH px, frames right):\n");
    for (std::size_t i = 0; i < std::min<std::size_t>(12, worst.size()); ++i) {
        const Outcome& o = *worst[i];
        const std::string name(test::kindName(o.kind));
        if (!o.meteor)
            std::printf("    %7d  %-11s  taken for a meteor\n", o.index, name.c_str());
        else if (!o.result.found)
            std::printf("    %7d  %-11s  %2d  not found\n", o.index, name.c_str(), o.frames);
        else
            std::printf("    %7d  %-11s  %2d  %7.2f  %7.2f  %s\n", o.index, name.c_str(), o.frames, o.result.startError,
                        o.result.finishError, o.result.framesMatch ? "yes" : "no");
    }
}

void Sample(benchmark::State& state) {
    const int tuning = static_cast<int>(state.range(0)), holdout = static_cast<int>(state.range(1));
    const TConfiguration config;
    std::vector<int> indices;
    for (int i = 0; i < tuning; ++i) indices.push_back(i);
    for (int i = 0; i < holdout; ++i) indices.push_back(test::kHoldoutFirstIndex + i);
    const test::TempDir station;
    std::vector<Outcome> outcomes;
    for (auto _ : state) {
        outcomes.clear();
        for (const int index : indices) {
            state.PauseTiming();
            const test::SampleEvent e = test::writeSampleEvent(station.str(), index, ORBIS_CATALOG_DIR "/c50.dat", {},
                                                               test::kindOfEvent(index));
            state.ResumeTiming();
            const auto proposal = proposeTrack(e.directory, config);
            state.PauseTiming();
            Outcome o{index, e.kind, e.meteor, e.frames, test::compareWithTruth(e, proposal), std::nullopt};
            if (e.meteor && proposal)
                if (const auto m = test::proposalMagnitude(e, *proposal, config))
                    o.magnitudeError = *m - test::truePeakMagnitude(e);
            outcomes.push_back(o);
            std::filesystem::remove_all(e.directory);
            state.ResumeTiming();
        }
    }
    const auto part = [&](bool held) {
        std::vector<Outcome> p;
        for (const Outcome& o : outcomes)
            if ((o.index >= test::kHoldoutFirstIndex) == held) p.push_back(o);
        return p;
    };
    const std::vector<Outcome> tuned = part(false), held = part(true);
    printTable("tuning sample", tuned);
    printTable("holdout sample (not for tuning)", held);
    printTable("whole sample", outcomes);

    int meteors = 0, found = 0, right = 0;
    for (const Outcome& o : outcomes)
        if (o.meteor) ++meteors, found += o.result.found, right += o.result.endsRight();
    state.counters["events"] = static_cast<double>(outcomes.size());
    state.counters["found"] = meteors > 0 ? static_cast<double>(found) / meteors : 0;
    state.counters["ends_right"] = meteors > 0 ? static_cast<double>(right) / meteors : 0;
}

// The event of n frames, written once for the run.
const std::string& longEvent(int frames) {
    static const test::TempDir station;
    static std::map<int, std::string> events;
    if (const auto found = events.find(frames); found != events.end()) return found->second;
    TSimSettings s;
    s.localStart = encodeDateTime({2024, 8, 12, 23, 0, 0, 0}) + frames / 86400.0;
    s.pointingSky = TSkyPoint{300, 40};
    s.catalogPath = ORBIS_CATALOG_DIR "/c50.dat";
    s.frameCount = frames;
    s.hotPixels = 20;
    s.twinkle = 0.2;
    s.seed = static_cast<uint32_t>(frames);
    TSimMeteor m;
    m.startPixel = std::pair{150.0, 320.0}, m.endPixel = std::pair{330.0, 230.0};
    m.firstFrame = frames / 2, m.frames = 12;
    m.peakMagnitude = 0.5;
    s.meteors = {m};
    TSimMovingLight plane;
    // Along the top of the picture, far from the meteor at every frame.
    plane.startPixel = std::pair{20.0, 60.0}, plane.endPixel = std::pair{620.0, 120.0};
    plane.frames = frames, plane.magnitude = 1;
    TSimMovingLight satellite;
    satellite.startPixel = std::pair{600.0, 40.0}, satellite.endPixel = std::pair{600.0 - 0.5 * frames, 40.0 + 0.3 * frames};
    satellite.frames = frames, satellite.magnitude = 3;
    s.lights = {plane, satellite};
    const TSimTruth truth = simulateClip(s, station.str());
    return events[frames] = test::sample_detail::takeIntoWork(truth);
}

void Frames(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    const TBlobSearch search = state.range(1) != 0 ? TBlobSearch::AllPairs : TBlobSearch::Indexed;
    const std::string& event = longEvent(frames);
    const TConfiguration config;
    bool found = false;
    for (auto _ : state) found = proposeTrack(event, config, search).has_value();
    state.counters["found"] = found;
    state.counters["per_frame"] = benchmark::Counter(frames, benchmark::Counter::kIsIterationInvariantRate |
                                                                 benchmark::Counter::kInvert);
}

}  // namespace

// 20 events of each kind to tune on, 10 of each held out; and a quick look
// at 2 and 1.
BENCHMARK(Sample)->Args({480, 240})->Args({48, 24})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(Frames)
    ->ArgNames({"n", "plain"})
    ->Args({35, 0})->Args({35, 1})->Args({140, 0})->Args({140, 1})
    ->Args({280, 0})->Args({280, 1})->Args({560, 0})->Args({560, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
