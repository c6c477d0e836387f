// The image stages of one event (35 frames of 720 x 576) and their two
// costliest pieces beside the plain algorithms they replace.

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>

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

struct EventFixture {
    test::TempDir station;
    std::string dir = (station / "20240812" / "231001_280").string();
    EventFixture() {
        std::filesystem::create_directories(dir);
        test::SyntheticSky sky(720, 576, 3, 30, 2.0, 300);
        sky.addMeteor({12, 18, 100, 100, 20, 8, 230});
        for (int i = 0; i < 35; ++i) saveGreyBitmap(sky.frame(i), 720, 576, frameFileName(dir, i + 1));
    }
};

void runStages(benchmark::State& state, bool doubled, bool distortion) {
    EventFixture e;
    TConfiguration config;
    config.setDoubleFrameHeight(doubled);
    config.setCorrectDistortion(distortion);
    if (distortion) {
        config.setAddResultWidth(20);
        config.setAddResultHeight(20);
        config.setCoefX(8, 0.004);
        config.setCoefY(9, 0.004);
        config.setCoefX(7, -0.002);
    }
    SilentNotifier quiet;
    const std::string stem = e.dir + "/M231001_280";
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* s : {"P.bmp", "M.bmp", "R.bmp"}) std::filesystem::remove(stem + s);
        state.ResumeTiming();
        benchmark::DoNotOptimize(runImageStages(e.dir, config, e.station.str(), quiet));
    }
}
void BM_ImageStages_Plain(benchmark::State& s) { runStages(s, false, false); }
void BM_ImageStages_DoubledAndDistortion(benchmark::State& s) { runStages(s, true, true); }
BENCHMARK(BM_ImageStages_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageStages_DoubledAndDistortion)->Unit(benchmark::kMillisecond);

std::vector<uint8_t> noise(std::size_t n) {
    std::mt19937 rng(1);
    std::vector<uint8_t> b(n);
    for (auto& p : b) p = static_cast<uint8_t>(20 + rng() % 30);
    return b;
}

// The direct window sum the running sums replace: 49 additions per pixel.
void plainBoxMean(int w, int h, int r, std::vector<uint8_t>& buf) {
    std::vector<uint8_t> out(buf.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            long sum = 0, area = 0;
            for (int yy = std::max(0, y - r); yy < std::min(h, y + r + 1); ++yy)
                for (int xx = std::max(0, x - r); xx < std::min(w, x + r + 1); ++xx, ++area) sum += buf[static_cast<std::size_t>(yy * w + xx)];
            out[static_cast<std::size_t>(y * w + x)] = static_cast<uint8_t>(std::nearbyint(static_cast<double>(sum) / static_cast<double>(area)));
        }
    buf.swap(out);
}

void BM_BoxMean_Running(benchmark::State& state) {
    auto b = noise(720 * 576);
    for (auto _ : state) boxMean(720, 576, 3, b);
}
void BM_BoxMean_DirectWindowSum(benchmark::State& state) {
    auto b = noise(720 * 576);
    for (auto _ : state) plainBoxMean(720, 576, 3, b);
}
BENCHMARK(BM_BoxMean_Running)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxMean_DirectWindowSum)->Unit(benchmark::kMillisecond);

// Twenty star and track points into a corrected 760 x 1192 frame.
TDistortion barrel() {
    TDistortion d;
    d.addResultWidth = 20;
    d.addResultHeight = 20;
    d.coefX[8] = 0.004;
    d.coefY[9] = 0.004;
    return d;
}
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
