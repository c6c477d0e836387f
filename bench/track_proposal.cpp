// The automatic track proposal over the simulator's events (tests/support/
// MeteorSample.h): the time of the proposals and how close they come to the
// true heads. Besides the benchmark's counters it prints the distribution:
// the share of track ends within 0.5, 1, 2 and 3 px, the largest miss, the
// share of events whose START and FINISH frames are right, and the events
// that went worst. Events are written before the clock starts.
//
//   bench_track_proposal --benchmark_filter=Sample/400

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "MeteorSample.h"
#include "TempDir.h"
#include "config/uConfiguration.h"
#include "measurement/uTrackProposal.h"

namespace {

using namespace orbis;

void report(const std::vector<test::SampleEvent>& events, const std::vector<test::SampleResult>& results,
            benchmark::State& state) {
    const double n = static_cast<double>(results.size());
    std::vector<double> ends;
    int framesRight = 0, found = 0, brightestRight = 0;
    for (const auto& r : results) {
        ends.push_back(r.startError);
        ends.push_back(r.finishError);
        framesRight += r.framesMatch;
        found += std::isfinite(r.startError);
        brightestRight += r.brightestShortfall <= 0.1;
    }
    const auto within = [&](double px) {
        return static_cast<double>(std::count_if(ends.begin(), ends.end(), [px](double e) { return e <= px; })) /
               static_cast<double>(ends.size());
    };
    const double worst = *std::max_element(ends.begin(), ends.end());
    state.counters["events"] = n;
    state.counters["within_1px"] = within(1);
    state.counters["within_3px"] = within(3);
    state.counters["frames_right"] = framesRight / n;
    std::printf("\n%d events, %d with a proposal\n", static_cast<int>(n), found);
    std::printf("track ends within 0.5 px %.1f%%, 1 px %.1f%%, 2 px %.1f%%, 3 px %.1f%%; largest miss %.2f px\n",
                100 * within(0.5), 100 * within(1), 100 * within(2), 100 * within(3), worst);
    std::printf("START and FINISH frame numbers right: %.1f%%; brightness on a frame within 0.1 mag of the peak: %.1f%%\n",
                100 * framesRight / n, 100 * brightestRight / n);
    std::vector<std::size_t> order(results.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto miss = [&](std::size_t i) {
        return std::max(results[i].startError, results[i].finishError) + (results[i].framesMatch ? 0 : 1000);
    };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return miss(a) > miss(b); });
    std::printf("worst events (index, fields, frames, start px, finish px, frames right):\n");
    for (std::size_t i = 0; i < std::min<std::size_t>(8, order.size()); ++i) {
        const std::size_t k = order[i];
        std::printf("  %4zu  %d  %2d  %6.2f  %6.2f  %s\n", k, events[k].fields, events[k].frames, results[k].startError,
                    results[k].finishError, results[k].framesMatch ? "yes" : "no");
    }
}

void Sample(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    test::TempDir station;
    TConfiguration config;
    std::vector<test::SampleEvent> events;
    for (int i = 0; i < count; ++i)
        events.push_back(test::writeSampleEvent(station.str(), i, ORBIS_CATALOG_DIR "/c50.dat"));
    std::vector<test::SampleResult> results;
    for (auto _ : state) {
        results.clear();
        for (const auto& e : events) results.push_back(test::compareWithTruth(e, proposeTrack(e.directory, config)));
    }
    report(events, results, state);
}

}  // namespace

BENCHMARK(Sample)->Arg(400)->Iterations(1)->Unit(benchmark::kSecond);
