// Star detection on a processed frame (720 x 1152, doubled height): the whole
// detection with bitmap load and star list write, and the fill alone on a
// bright extended area such as a lit cloud.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "astro/uNotifier.h"
#include "astrometry/uStarDetection.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uFrameOps.h"

namespace {

constexpr int kWidth = 720, kHeight = 1152;
constexpr int kBlobColumn = 500, kBlobRow = 800;  // centre of the ~200 x 150 blob

// Sky about 30 with noise, 300 Gaussian stars and one bright elliptical blob.
std::vector<uint8_t> processedFrame() {
    std::vector<double> sky(static_cast<std::size_t>(kWidth) * kHeight);
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(30.0, 3.0);
    for (auto& p : sky) p = noise(rng);
    std::uniform_real_distribution<double> x(5, kWidth - 5), y(5, kHeight - 5), peak(40, 220), sigma(0.7, 1.8);
    for (int s = 0; s < 300; ++s) {
        const double cx = x(rng), cy = y(rng), a = peak(rng), sg = sigma(rng);
        for (int r = static_cast<int>(cy) - 6; r <= static_cast<int>(cy) + 6; ++r)
            for (int c = static_cast<int>(cx) - 6; c <= static_cast<int>(cx) + 6; ++c) {
                const double d2 = (c - cx) * (c - cx) + (r - cy) * (r - cy);
                sky[static_cast<std::size_t>(r) * kWidth + c] += a * std::exp(-d2 / (2 * sg * sg));
            }
    }
    for (int r = kBlobRow - 75; r < kBlobRow + 75; ++r)
        for (int c = kBlobColumn - 100; c < kBlobColumn + 100; ++c) {
            const double u = (c - kBlobColumn) / 100.0, v = (r - kBlobRow) / 75.0;
            if (u * u + v * v <= 1.0) sky[static_cast<std::size_t>(r) * kWidth + c] += 160 - 60 * (u * u + v * v);
        }
    std::vector<uint8_t> frame(sky.size());
    std::transform(sky.begin(), sky.end(), frame.begin(),
                   [](double p) { return static_cast<uint8_t>(std::clamp(std::lround(p), 0L, 255L)); });
    return frame;
}

orbis::TConfiguration config() {
    orbis::TConfiguration c;
    c.setLevelNoiseMax(25);
    c.setAutoDetectNStar(18);
    return c;
}

void BM_GenerateListBrightPixels(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() / "orbis-bench-starsP.bmp").string();
    orbis::saveGreyBitmap(processedFrame(), kWidth, kHeight, path);
    const auto cfg = config();
    orbis::SilentNotifier notifier;
    for (auto _ : state)
        benchmark::DoNotOptimize(orbis::generateListBrightPixels(path, 3, orbis::StarPosition::BoundingBoxCentre, cfg,
                                                                 notifier));
    std::filesystem::remove(path);
    std::filesystem::remove(path.substr(0, path.size() - 3) + "txt");
}
BENCHMARK(BM_GenerateListBrightPixels)->Unit(benchmark::kMillisecond);

// The fill alone from the blob's centre; the loop clears only the span the
// blob marked, so the figure is the fill's own.
void BM_FillBlob(benchmark::State& state) {
    const auto frame = processedFrame();
    const int n = kWidth * kHeight;
    const int threshold = orbis::meanLevel(frame) + config().levelNoiseMax();
    const int seed = kBlobRow * kWidth + kBlobColumn;
    std::vector<uint8_t> visited(static_cast<std::size_t>(n), 0);
    int pixels = 0;
    for (auto _ : state) {
        orbis::TStarPhotoDescription d(seed);
        orbis::fillStar(threshold, seed, kWidth, n, d, frame, visited);
        pixels = d.pixelCount;
        std::fill(visited.begin() + d.minIndex, visited.begin() + d.maxIndex + 1, 0);
        benchmark::DoNotOptimize(d.brightnessSum);
    }
    state.counters["pixels"] = pixels;
    state.SetItemsProcessed(state.iterations() * pixels);
}
BENCHMARK(BM_FillBlob)->Unit(benchmark::kMicrosecond);

}  // namespace
