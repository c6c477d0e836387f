// The sky scan of binding with the default settings (16200 trial centres,
// 18 detected stars, c40.dat): on one core and on every core, and for
// cameras rolled about the optical axis (the unturned scan fails from about
// a quarter turn on and the turned scans bind).

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <random>

#include "AllPairsMatching.h"
#include "TempDir.h"
#include "astro/timlib.h"
#include "astro/uNotifier.h"
#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"
#include "astrometry/uStarCatalog.h"
#include "config/uConfiguration.h"

namespace {

using namespace orbis;

struct ScanFixture {
    test::TempDir station;
    std::string pTxt = (station / "20240812" / "231001_280" / "M231001_280P.txt").string();
    TConfiguration config;

    // imperfect: as a real detection list is, four of the brightest stars
    // lost (clipped, merged) and four spots that are no catalog star.
    explicit ScanFixture(double rollDegrees = 0, bool imperfect = false) {
        config.setPathToCatalogs(ORBIS_CATALOG_DIR);
        std::filesystem::create_directories(station / "20240812" / "231001_280");
        const double theta = LMST(MJD(12, 8, 2024, 23 + 10 / 60.0), config.signedLongitude()) * 15.0;
        SilentNotifier quiet;
        const TVisibleSky sky(listStarsByTime(starCatalogPath(config, ""), theta, config.signedLatitude(), quiet));
        std::vector<TStarPoint> seen;
        sky.listStarsInFrame(TCameraModel::fromConfiguration(config), theta - 25, 40, theta, seen);
        std::mt19937 rng(4);
        std::vector<std::string> lines;
        const double c = std::cos(rollDegrees * M_PI / 180), sn = std::sin(rollDegrees * M_PI / 180);
        for (std::size_t i = 0; i < seen.size(); ++i) {
            if (imperfect && i % 4 == 1) continue;
            const double x = seen[i].X + (rng() % 3) - 1.0 - 320, y = seen[i].Y - 240 + (imperfect ? (rng() % 3) - 1.0 : 0);
            lines.push_back("0|0|" + std::to_string(std::lround(320 + c * x - sn * y)) + "|" +
                            std::to_string(std::lround(240 + sn * x + c * y)) + "|900|12");
        }
        for (int i = 0; imperfect && i < 4; ++i)
            lines.push_back("0|0|" + std::to_string(40 + rng() % 560) + "|" + std::to_string(40 + rng() % 400) + "|700|9");
        writeTextLines(pTxt, lines);
    }
};

void scan(benchmark::State& state, int threads, double roll = 0, bool imperfect = false, bool everyCentre = false) {
    ScanFixture f(roll, imperfect);
    SilentNotifier quiet;
    std::optional<TSkyPoint> best;
    for (auto _ : state)
        best = alignStarMap(f.pTxt, f.config, "", quiet, {.threads = threads, .everyCentre = everyCentre});
    // The field was made at (theta - 25, 40): a binding that lands elsewhere
    // measured the wrong thing.
    const double theta = LMST(MJD(12, 8, 2024, 23 + 10 / 60.0), f.config.signedLongitude()) * 15.0;
    const std::string sTxt = f.pTxt.substr(0, f.pTxt.size() - 5) + "S.txt";
    const auto refined = best ? findCenterFrame(sTxt, best, f.config, quiet, std::string()) : std::nullopt;
    if (!refined || std::fabs(raDifference(refined->ra, theta - 25)) > 0.2 || std::fabs(refined->dec - 40) > 0.2)
        state.SkipWithError("the binding did not find the field's pointing");
}
void BM_SkyScan_OneCore(benchmark::State& s) { scan(s, 1); }
void BM_SkyScan_AllCores(benchmark::State& s) { scan(s, 0); }
BENCHMARK(BM_SkyScan_OneCore)->Unit(benchmark::kMillisecond)->Iterations(2);
// The reference in the same run: the upright scan matching at all 16200 centres.
void BM_SkyScan_OneCore_EveryCentre(benchmark::State& s) { scan(s, 1, 0, false, true); }
BENCHMARK(BM_SkyScan_OneCore_EveryCentre)->Unit(benchmark::kMillisecond)->Iterations(2);
void BM_SkyScan_Imperfect_OneCore(benchmark::State& s) { scan(s, 1, 0, true); }
void BM_SkyScan_Imperfect_OneCore_EveryCentre(benchmark::State& s) { scan(s, 1, 0, true, true); }
BENCHMARK(BM_SkyScan_Imperfect_OneCore)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SkyScan_Imperfect_OneCore_EveryCentre)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SkyScan_AllCores)->Unit(benchmark::kMillisecond)->Iterations(2);
void BM_SkyScan_UpsideDown_AllCores(benchmark::State& s) { scan(s, 0, 180); }
BENCHMARK(BM_SkyScan_UpsideDown_AllCores)->Unit(benchmark::kMillisecond)->Iterations(2);
// Rolled cameras with an imperfect detection list on one core (roll 0 is
// the upright reference).
void BM_SkyScan_Rolled_OneCore(benchmark::State& s) { scan(s, 1, static_cast<double>(s.range(0)), true); }
BENCHMARK(BM_SkyScan_Rolled_OneCore)->DenseRange(0, 345, 15)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

namespace {

// One trial centre's matching, 18 detected against 18 projected stars of
// the same (turned, shifted) field: the windowed matching and the loop over
// all pairs it replaces.
struct MatchFixture {
    std::vector<orbis::TStarPoint> catalog, photo;
    std::vector<orbis::TTriangle> tc, tp;
    MatchFixture() {
        std::mt19937 rng(9);
        std::uniform_real_distribution<double> x(0, 640), y(0, 480);
        for (int i = 0; i < 18; ++i) {
            const double cx = x(rng), cy = y(rng);
            catalog.emplace_back(cx, cy, 10.0 + i, 20.0 + i);
            photo.emplace_back(std::round(0.98 * cx - 0.1 * cy + 12), std::round(0.1 * cx + 0.98 * cy - 7));
        }
        orbis::sortStarsByX(catalog);
        orbis::sortStarsByX(photo);
        tc = orbis::buildTriangles(10, catalog, 0.74);
        tp = orbis::buildTriangles(10, photo, 0.74);
    }
};

void BM_Matching_Windowed(benchmark::State& state) {
    MatchFixture f;
    for (auto _ : state) {
        for (auto& s : f.photo) s.proposals.clear();
        orbis::matchTriangles(f.tc, f.catalog, f.tp, f.photo, 0.74);
    }
}
void BM_Matching_AllPairs(benchmark::State& state) {
    MatchFixture f;
    for (auto _ : state) {
        for (auto& s : f.photo) s.proposals.clear();
        orbis::test::allPairsMatch(f.tc, f.catalog, f.tp, f.photo, 0.74);
    }
}
BENCHMARK(BM_Matching_Windowed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Matching_AllPairs)->Unit(benchmark::kMicrosecond);

}  // namespace
