// Benchmarks of the foundation's hot paths: reading pipe records and numbers
// (every work file and catalog goes through them), the bitmap files every
// stage of processing reads and writes, and the astronomy routines the sky
// scan calls per trial centre.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "astro/matlib.h"
#include "astro/sphlib.h"
#include "astro/sunlib.h"
#include "astro/timlib.h"
#include "astro/uUniUtils.h"
#include "processing/uBitmap.h"

namespace {

std::vector<std::string> catalogLines(int n) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) {
        lines.push_back(orbis::floatToText(i * 0.7) + "|" + orbis::floatToText(-45.0 + i * 0.01) + "|" +
                        orbis::floatToText(1.0 + i % 50 * 0.1) + "|Star " + std::to_string(i) + "|A0V");
    }
    return lines;
}

void BM_ParseCatalogRecords(benchmark::State& state) {
    const auto lines = catalogLines(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        double sum = 0;
        for (const auto& line : lines) {
            const auto f = orbis::splitFields(line, "|");
            sum += orbis::parseFloat(f[0]) + orbis::parseFloat(f[1]) + orbis::parseFloat(f[2]);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseCatalogRecords)->Arg(1628);

void BM_FormatFloat(benchmark::State& state) {
    double v = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orbis::formatFloat("0.0000", v, '.'));
        v += 0.37;
    }
}
BENCHMARK(BM_FormatFloat);

// A processed frame (720 x 1152, doubled height) saved and loaded again.
void BM_GreyBitmapSaveLoad(benchmark::State& state) {
    const int w = 720, h = 1152;
    std::vector<uint8_t> frame(static_cast<std::size_t>(w) * h);
    std::mt19937 rng(1);
    for (auto& p : frame) p = static_cast<uint8_t>(rng());
    const std::string path = (std::filesystem::temp_directory_path() / "orbis-bench-frame.bmp").string();
    for (auto _ : state) {
        orbis::saveGreyBitmap(frame, w, h, path);
        benchmark::DoNotOptimize(orbis::loadGreyFrame(path));
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(frame.size()) * 2);
}
BENCHMARK(BM_GreyBitmapSaveLoad)->Unit(benchmark::kMillisecond);

// The plate fit: two fits of three unknowns over the reference stars.
void BM_Lsqfit(benchmark::State& state) {
    std::mt19937_64 rng(2);
    std::uniform_real_distribution<double> u(-0.2, 0.2);
    std::vector<std::vector<double>> rows;
    for (int i = 0; i < state.range(0); ++i) {
        const double x = u(rng), y = u(rng);
        rows.push_back({x, y, 1.0, 0.99 * x + 0.01 * y + 0.001});
    }
    for (auto _ : state) benchmark::DoNotOptimize(orbis::LSQFIT(rows, static_cast<int>(rows.size()), 3));
}
BENCHMARK(BM_Lsqfit)->Arg(18)->Arg(200);

void BM_ProjectStar(benchmark::State& state) {
    double ra = 0.0, h = 0, az = 0, x = 0, y = 0;
    for (auto _ : state) {
        orbis::EQUHOR(20.0, orbis::LMST(60000.3, -30.98) * 15.0 - ra, 52.43, h, az);
        orbis::EQUSTD(ra + 1.0, 20.0, ra, 21.0, x, y);
        benchmark::DoNotOptimize(h + az + x + y);
        ra += 0.1;
    }
}
BENCHMARK(BM_ProjectStar);

void BM_Sun200(benchmark::State& state) {
    double t = -0.5, l = 0, b = 0, r = 0;
    for (auto _ : state) {
        orbis::SUN200(t, l, b, r);
        benchmark::DoNotOptimize(l);
        t += 1e-5;
    }
}
BENCHMARK(BM_Sun200);

}  // namespace
