// The voted sky scan against the scan that matches at every trial centre:
// wherever the full scan binds, the voted one must write the same stars and
// find the same centre and plate.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/matlib.h"
#include "astro/timlib.h"
#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"
#include "astrometry/uSkyTriangleIndex.h"
#include "astrometry/uStarCatalog.h"
#include "config/uConfiguration.h"

namespace orbis {
namespace {

struct Sky {
    test::TempDir station;
    std::string eventDir = (station / "20240812" / "231001_280").string();
    std::string pTxt = eventDir + "/M231001_280P.txt";
    std::string sTxt = eventDir + "/M231001_280S.txt";
    std::string aTxt = eventDir + "/M231001_280A.txt";
    TConfiguration config;
    double theta = LMST(MJD(12, 8, 2024, 23 + 10 / 60.0), TConfiguration().signedLongitude()) * 15.0;

    Sky() {
        config.setPathToCatalogs(ORBIS_CATALOG_DIR);
        std::filesystem::create_directories(eventDir);
    }
    TVisibleSky visible() const {
        test::RecordingNotifier quiet;
        return TVisibleSky(listStarsByTime(starCatalogPath(config, ""), theta, config.signedLatitude(), quiet));
    }
};

// A detection list of the field at the pointing: the camera rolled and
// perhaps mirrored, positions rounded after a jitter, some stars lost and
// some spots that are no star. Nothing when the field holds too few stars.
bool writeDetections(const Sky& sky, const TVisibleSky& visible, TSkyPoint pointing, std::mt19937& rng) {
    TCameraModel camera = TCameraModel::fromConfiguration(sky.config);
    camera.maxStars = 16 + static_cast<int>(rng() % 10);
    std::vector<TStarPoint> seen;
    visible.listStarsInFrame(camera, pointing.ra, pointing.dec, sky.theta, seen);
    if (seen.size() < 10) return false;
    std::uniform_real_distribution<double> jitter(-0.6, 0.6), roll(-40, 40), unit(0, 1);
    const double r = roll(rng), c = CS(r), s = SN(r);
    const bool mirrored = unit(rng) < 0.15;
    const double lost = unit(rng) * 0.2;
    std::vector<std::string> lines;
    for (const TStarPoint& star : seen) {
        if (unit(rng) < lost) continue;
        const double dx = (mirrored ? -1 : 1) * (star.X - camera.halfWidth), dy = star.Y - camera.halfHeight;
        const double x = camera.halfWidth + c * dx - s * dy + jitter(rng);
        const double y = camera.halfHeight + s * dx + c * dy + jitter(rng);
        if (x < 0 || y < 0 || x > camera.widthCCD || y > camera.heightCCD) continue;
        lines.push_back("0|0|" + std::to_string(std::lround(x)) + "|" + std::to_string(std::lround(y)) + "|900|12");
    }
    for (int spurious = static_cast<int>(rng() % 4); spurious > 0; --spurious)
        lines.push_back("0|0|" + std::to_string(10 + rng() % 620) + "|" + std::to_string(10 + rng() % 460) + "|700|9");
    std::shuffle(lines.begin(), lines.end(), rng);
    writeTextLines(sky.pTxt, lines);
    return true;
}

struct Outcome {
    std::optional<TSkyPoint> best, refined;
    std::string sTxt, aTxt;
};

Outcome bind(const Sky& sky, bool everyCentre) {
    test::RecordingNotifier n;
    std::filesystem::remove(sky.sTxt);
    std::filesystem::remove(sky.aTxt);
    Outcome o;
    o.best = alignStarMap(sky.pTxt, sky.config, "", n, {.threads = 1, .everyCentre = everyCentre});
    if (o.best) o.refined = findCenterFrame(sky.sTxt, o.best, sky.config, n, std::string());
    o.sTxt = std::filesystem::exists(sky.sTxt) ? readFileBytes(sky.sTxt) : "";
    o.aTxt = std::filesystem::exists(sky.aTxt) ? readFileBytes(sky.aTxt) : "";
    return o;
}

// ORBIS_SKY_SEED=n draws other skies.
TEST(VotedSkyScan, BindsWhereverTheFullScanBindsWithTheSameStarsCentreAndPlate) {
    std::mt19937 rng(std::getenv("ORBIS_SKY_SEED") ? static_cast<unsigned>(std::atoi(std::getenv("ORBIS_SKY_SEED"))) : 29u);
    int compared = 0, skies = 0, sameCell = 0;
    for (int trial = 0; trial < 45 && skies < 30; ++trial) {
        Sky sky;
        const TVisibleSky visible = sky.visible();
        // Anywhere well above the horizon, on grids of several steps and
        // spans (the default grid now and then).
        std::uniform_real_distribution<double> ra(sky.theta - 80, sky.theta + 80), dec(-15, 88);
        const TSkyPoint pointing{ra(rng), dec(rng)};
        double h = 0, az = 0;
        EQUHOR(pointing.dec, sky.theta - pointing.ra, sky.config.signedLatitude(), h, az);
        if (h < 25 || !writeDetections(sky, visible, pointing, rng)) continue;
        ++skies;
        if (trial % 8 != 0) {
            const double span = 8 + static_cast<double>(rng() % 20), step = 1 + 0.5 * static_cast<double>(rng() % 4);
            const double offRa = static_cast<double>(rng() % 7) - 3, offDec = static_cast<double>(rng() % 7) - 3;
            sky.config.setAutoDetectScanDelta(step);
            sky.config.setAutoDetectMinDEC(std::max(-90.0, pointing.dec + offDec - span));
            sky.config.setAutoDetectMaxDEC(std::min(90.0, pointing.dec + offDec + span));
            sky.config.setAutoDetectMinRA(pointing.ra + offRa - span);
            sky.config.setAutoDetectMaxRA(pointing.ra + offRa + span);
        }
        const Outcome full = bind(sky, true);
        const Outcome voted = bind(sky, false);
        if (!full.refined) continue;  // the full scan did not bind: nothing to hold the voting to
        ++compared;
        SCOPED_TRACE(testing::Message() << "pointing " << pointing.ra << " " << pointing.dec << ", trial " << trial);
        ASSERT_TRUE(voted.best && voted.refined);
        EXPECT_EQ(voted.sTxt, full.sTxt);
        EXPECT_EQ(voted.aTxt, full.aTxt);
        // The refinement converges on the same plate from either start;
        // a start at another cell changes only the last bits.
        EXPECT_NEAR(voted.refined->ra, full.refined->ra, 1e-9);
        EXPECT_NEAR(voted.refined->dec, full.refined->dec, 1e-9);
        sameCell += voted.best->ra == full.best->ra && voted.best->dec == full.best->dec;
    }
    EXPECT_GE(sameCell, compared * 3 / 4);
    // The comparison must have had bindings to compare.
    EXPECT_GE(compared, skies * 3 / 4) << "of " << skies << " skies";
}

TEST(VotedSkyScan, TheTruePointingGetsTheMostVotesAtAnyRollAndMirrored) {
    Sky sky;
    const TVisibleSky visible = sky.visible();
    const TCameraModel camera = TCameraModel::fromConfiguration(sky.config);
    TScanGrid grid;
    grid.delta = 2;
    for (double d = -90; d < 90; d += 2) grid.decs.push_back(d);
    for (double r = 0; r < 360; r += 2) grid.ras.push_back(r);
    const TSkyTriangleIndex index(visible, camera, sky.theta, grid);
    ASSERT_GT(index.triangleCount(), 1000u);

    // A pointing on the grid, so the cell to expect is plain.
    const TSkyPoint pointing{2 * std::round((sky.theta - 20) / 2), 36};
    std::vector<TStarPoint> seen;
    visible.listStarsInFrame(camera, pointing.ra, pointing.dec, sky.theta, seen);
    ASSERT_GE(seen.size(), 12u);
    const std::size_t expected =
        static_cast<std::size_t>((pointing.dec + 90) / 2) * grid.ras.size() +
        static_cast<std::size_t>(std::fmod(pointing.ra + 360, 360) / 2);
    for (const double roll : {0.0, 37.0, 90.0, 180.0, 251.0})
        for (const bool mirrored : {false, true}) {
            std::vector<TStarPoint> photo;
            for (const TStarPoint& s : seen) {
                const double dx = (mirrored ? -1 : 1) * (s.X - camera.halfWidth), dy = s.Y - camera.halfHeight;
                photo.emplace_back(std::round(camera.halfWidth + CS(roll) * dx - SN(roll) * dy),
                                   std::round(camera.halfHeight + SN(roll) * dx + CS(roll) * dy));
            }
            const std::vector<int> votes = index.votes(photo);
            const auto top = std::max_element(votes.begin(), votes.end());
            EXPECT_EQ(static_cast<std::size_t>(top - votes.begin()), expected) << roll << (mirrored ? " mirrored" : "");
            EXPECT_GE(*top, 50) << roll;
            // One step around the peak: three rows, and at 36 degrees two
            // columns either side to span the same angle.
            const std::vector<TScanCell> cells = index.proposedCells(photo, 1, 1);
            EXPECT_EQ(cells.size(), 15u);
        }

    // Stars that are no pattern of the sky vote for no pointing in earnest.
    std::mt19937 rng(5);
    std::vector<TStarPoint> noise;
    for (int i = 0; i < 18; ++i) noise.emplace_back(rng() % 640, rng() % 480);
    const std::vector<int> votes = index.votes(noise);
    EXPECT_LT(*std::max_element(votes.begin(), votes.end()), 15);
}

}  // namespace
}  // namespace orbis
