// Astrometric accuracy over every camera roll: the default path (640x240
// fields, doubled) with the camera rolled every 15 degrees, upright and
// mirrored, for several ways of drawing the stars (PSF width, noise, sky,
// sensitivity, photon noise, hot pixels, Motion-JPEG), at 45 degrees of
// altitude in the west and in the east (the Pleiades in the field). Prints
// the start/end error of each event and the mean and worst by rendering;
// the benchmark's time is the whole run.
//
//   bench_sky_accuracy [--benchmark_filter=RollSweep/270]

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "SkyAccuracy.h"

namespace {

using namespace orbis;

struct Rendering {
    const char* name;
    test::StarRendering stars;
};

// The argument: the azimuth of the pointing, from the south towards the west.
void RollSweep(benchmark::State& state) {
    const double azimuth = static_cast<double>(state.range(0));
    const std::vector<Rendering> renderings = {
        {"sharp", {0.8, 2.0, 30, 20000}},
        {"soft, noisy", {1.6, 3.5, 45, 30000}},
        {"photon noise, hot pixels, Motion-JPEG", {1.2, 1.5, 25, 15000, 2.0, 40, 80}},
    };
    for (auto _ : state) {
        for (const Rendering& r : renderings) {
            double sum = 0, worst = 0, seconds = 0;
            int count = 0, failed = 0, index = 0;
            std::printf("\n%s, azimuth %.0f: roll  mirrored  bound  start'  end'  centre'  stars  s\n", r.name, azimuth);
            for (const bool mirrored : {false, true}) {
                for (int roll = 0; roll < 360; roll += mirrored ? 45 : 15) {
                    test::Scenario sc;
                    sc.name = "roll";
                    sc.roll = roll;
                    sc.mirrored = mirrored;
                    sc.azAlt = std::pair{azimuth, 45.0};
                    sc.local = DateTimeParts{2024, 8, 13, 1, 30, 0, 0};
                    sc.rendering = r.stars;
                    sc.seed = static_cast<uint32_t>(100 + index);
                    const test::Outcome o = test::runScenario(sc, index++);
                    std::printf("  %3d  %-8s  %-5s  %6.2f %6.2f %7.2f  %5d  %4.2f\n", roll, mirrored ? "yes" : "no",
                                o.bound ? "yes" : "NO", o.start, o.end, o.centre, o.referenceStars, o.bindingSeconds);
                    seconds += o.bindingSeconds;
                    if (!o.bound) {
                        ++failed;
                        continue;
                    }
                    sum += o.start + o.end;
                    count += 2;
                    worst = std::max({worst, o.start, o.end});
                }
            }
            std::printf("%s, azimuth %.0f: mean %.2f', worst %.2f', %d not bound, %.1f s processing\n", r.name, azimuth,
                        count ? sum / count : NAN, worst, failed, seconds);
        }
    }
}

}  // namespace

BENCHMARK(RollSweep)->Arg(90)->Arg(270)->Iterations(1)->Unit(benchmark::kSecond);
