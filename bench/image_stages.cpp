// The image stages of one event (35 frames of 720 x 576): the whole stages
// from and to the files, and their image work in memory, each beside the
// plain pixel-by-pixel versions (tests/processing/PlainFrameOps.h) they
// replace. Run with --benchmark_enable_random_interleaving=true
// --benchmark_repetitions=N to compare in one run on a loaded machine.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "PlainFrameOps.h"
#include "SyntheticSky.h"
#include "TempDir.h"
#include "astro/uNotifier.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"

namespace {

using namespace orbis;

constexpr int kWidth = 720, kHeight = 576, kFrames = 35;

// Pages the process touched for the first time: on a virtual machine each
// costs microseconds of system time, which the CPU times include.
long pageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

// Reports the faults per iteration since `since` as a counter.
void countFaults(benchmark::State& state, long since) {
    state.counters["faults"] = benchmark::Counter(static_cast<double>(pageFaults() - since), benchmark::Counter::kAvgIterations);
}

std::vector<TFrameBuffer> eventFrames() {
    test::SyntheticSky sky(kWidth, kHeight, 3, 30, 2.0, 300);
    sky.addMeteor({12, 18, 100, 100, 20, 8, 230});
    std::vector<TFrameBuffer> frames;
    for (int i = 0; i < kFrames; ++i) frames.push_back(sky.frame(i));
    return frames;
}

struct EventFixture {
    test::TempDir station;
    std::string dir = (station / "20240812" / "231001_280").string();
    EventFixture() {
        std::filesystem::create_directories(dir);
        const std::vector<TFrameBuffer> frames = eventFrames();
        for (int i = 0; i < kFrames; ++i) saveGreyBitmap(frames[static_cast<std::size_t>(i)], kWidth, kHeight, frameFileName(dir, i + 1));
    }
};

TDistortion barrel() {
    TDistortion d;
    d.addResultWidth = 20;
    d.addResultHeight = 20;
    d.coefX[8] = 0.004;
    d.coefY[9] = 0.004;
    d.coefX[7] = -0.002;
    return d;
}

// The correction of the background and the result of a doubled frame, the
// plain way (one after the other) or together.
template <bool Plain>
void correctBoth(std::vector<uint8_t>& background, std::vector<uint8_t>& result) {
    const TDistortion d = barrel();
    const int W = kWidth + 2 * d.addResultWidth, H = 2 * kHeight + 2 * d.addResultHeight;
    if constexpr (Plain) {
        plain::correctDistortion(W, H, background, d);
        plain::correctDistortion(W, H, result, d);
    } else {
        std::vector<uint8_t>* both[] = {&background, &result};
        correctDistortion(W, H, both, d);
    }
}

void runStages(benchmark::State& state, bool doubled, bool distortion) {
    EventFixture e;
    TConfiguration config;
    config.setDoubleFrameHeight(doubled);
    config.setCorrectDistortion(distortion);
    if (distortion) {
        const TDistortion d = barrel();
        config.setAddResultWidth(d.addResultWidth);
        config.setAddResultHeight(d.addResultHeight);
        config.setCoefX(8, d.coefX[8]);
        config.setCoefY(9, d.coefY[9]);
        config.setCoefX(7, d.coefX[7]);
    }
    SilentNotifier quiet;
    const std::string stem = e.dir + "/M231001_280";
    const long faults = pageFaults();
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* s : {"P.bmp", "M.bmp", "R.bmp"}) std::filesystem::remove(stem + s);
        state.ResumeTiming();
        benchmark::DoNotOptimize(runImageStages(e.dir, config, e.station.str(), quiet));
    }
    countFaults(state, faults);
}
void BM_ImageStages_Plain(benchmark::State& s) { runStages(s, false, false); }
void BM_ImageStages_DoubledAndDistortion(benchmark::State& s) { runStages(s, true, true); }
BENCHMARK(BM_ImageStages_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageStages_DoubledAndDistortion)->Unit(benchmark::kMillisecond);

// The image work of the stages in memory, doubled and corrected, without
// the files: levelling, summing, the mean without the maximum, contrast,
// overlay, doubling, correction.
template <bool Plain>
void eventImageWork(benchmark::State& state) {
    const std::vector<TFrameBuffer> source = eventFrames();
    const long faults = pageFaults();
    for (auto _ : state) {
        std::vector<TFrameBuffer> frames = source;
        for (TFrameBuffer& f : frames) {
            if constexpr (Plain) plain::levelBackground(kWidth, kHeight, f);
            else levelBackground(kWidth, kHeight, f);
        }
        TFrameAccumulators acc = Plain ? plain::sumFrames(frames, source[0].size()) : sumFrames(frames, source[0].size());
        TFrameBuffer background = meanWithoutMaximum(acc);
        autoContrast(background, 0.7);
        TFrameBuffer result = overlayMeteor(background, acc.maximum);
        background = doubleHeight(background, kWidth);
        interpolateOddRows(background, kWidth, 2 * kHeight);
        result = doubleHeight(result, kWidth);
        interpolateOddRows(result, kWidth, 2 * kHeight);
        correctBoth<Plain>(background, result);
        benchmark::DoNotOptimize(result.data());
    }
    countFaults(state, faults);
}
BENCHMARK(eventImageWork<true>)->Name("BM_EventImageWork_PlainOps")->Unit(benchmark::kMillisecond);
BENCHMARK(eventImageWork<false>)->Name("BM_EventImageWork")->Unit(benchmark::kMillisecond);

std::vector<uint8_t> noise(std::size_t n) {
    std::mt19937 rng(1);
    std::vector<uint8_t> b(n);
    for (auto& p : b) p = static_cast<uint8_t>(20 + rng() % 30);
    return b;
}

// One box mean of the levelling (radius 3).
void BM_BoxMean(benchmark::State& state) {
    auto b = noise(kWidth * kHeight);
    for (auto _ : state) boxMean(kWidth, kHeight, 3, b);
}
void BM_BoxMean_PlainRunningSums(benchmark::State& state) {
    auto b = noise(kWidth * kHeight);
    for (auto _ : state) plain::boxMean(kWidth, kHeight, 3, b);
}
void BM_BoxMean_PlainDirectWindowSum(benchmark::State& state) {
    auto b = noise(kWidth * kHeight);
    for (auto _ : state) b = plain::directBoxMean(kWidth, kHeight, 3, b);
}
BENCHMARK(BM_BoxMean)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxMean_PlainRunningSums)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxMean_PlainDirectWindowSum)->Unit(benchmark::kMillisecond);

template <bool Plain>
void distortionCorrection(benchmark::State& state) {
    const auto source = noise(static_cast<std::size_t>(kWidth) * 2 * kHeight);
    for (auto _ : state) {
        auto background = source, result = source;
        correctBoth<Plain>(background, result);
        benchmark::DoNotOptimize(result.data());
    }
}
BENCHMARK(distortionCorrection<false>)->Name("BM_DistortionCorrection")->Unit(benchmark::kMillisecond);
BENCHMARK(distortionCorrection<true>)->Name("BM_DistortionCorrection_Plain")->Unit(benchmark::kMillisecond);

// Twenty star and track points into a corrected 760 x 1192 frame.
void BM_PointMapping_FullScan(benchmark::State& state) {
    const TDistortion d = barrel();
    for (auto _ : state)
        for (int p = 0; p < 20; ++p) {
            int x = 30 + 35 * p, y = 40 + 55 * p;
            mapPointToCorrected(760, 1192, x, y, d);
            benchmark::DoNotOptimize(x + y);
        }
}
void BM_PointMapping_Finder(benchmark::State& state) {
    const TDistortion d = barrel();
    for (auto _ : state) {
        const TCorrectedPointFinder finder(760, 1192, d);
        for (int p = 0; p < 20; ++p) {
            int x = 30 + 35 * p, y = 40 + 55 * p;
            finder.map(x, y);
            benchmark::DoNotOptimize(x + y);
        }
    }
}
BENCHMARK(BM_PointMapping_FullScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointMapping_Finder)->Unit(benchmark::kMillisecond);

}  // namespace
