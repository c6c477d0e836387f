// Networks of simulated stations end to end: every station's recording
// through detection, the track proposal and processing to M<event>.json,
// then the trajectory of their events against the meteor's true path.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "TempDir.h"
#include "app/cli/uCliNetworkDemo.h"
#include "app/cli/uCliTrajectory.h"
#include "reports/uEventMeasurement.h"

namespace orbis {
namespace {

void expectOrbitsAgree(const TNetworkErrors& e, double speedError) {
    ASSERT_TRUE(e.orbit && e.trueOrbit);
    const TOrbitElements& o = *e.orbit;
    const TOrbitElements& t = *e.trueOrbit;
    // The elements move with the radiant (0.5°) and the speed (2 %); the
    // node is the Earth's place, fixed by the time alone.
    EXPECT_NEAR(o.node, t.node, 1e-3);
    EXPECT_NEAR(o.i, t.i, 1.5);
    EXPECT_NEAR(o.e, t.e, 0.05);
    EXPECT_NEAR(o.q, t.q, 0.01);
    EXPECT_NEAR(std::remainder(o.omega - t.omega, 360.0), 0, 2.0);
    EXPECT_NEAR(o.heliocentricSpeed, t.heliocentricSpeed, std::fabs(speedError) / 100 * 40e3 + 300);
}

void runAndCheck(const TDemoNetwork& n, const std::string& directory) {
    TConfiguration base;
    base.setPathToCatalogs(ORBIS_CATALOG_DIR);
    SilentNotifier notifier;
    const TNetworkRun run = runNetwork(n.network, directory, base, notifier);
    ASSERT_TRUE(run.problems.empty()) << run.problems.front();
    ASSERT_TRUE(run.trajectory) << codeName(run.refusal->code());
    ASSERT_EQ(run.events.size(), n.network.stations.size());
    const TNetworkErrors e = networkErrors(run, n.network);
    const std::string row = networkTableHeader() + networkTableRow(n.name, run, e);
    std::cout << row;
    for (double c : run.truth.convergence) EXPECT_GE(c, 20) << row;
    EXPECT_LE(std::fabs(e.beginHeight), 0.5) << row;
    EXPECT_LE(std::fabs(e.endHeight), 0.5) << row;
    EXPECT_LE(e.radiant, 0.5) << row;
    EXPECT_LE(std::fabs(e.speed), 2.0) << row;
    EXPECT_TRUE(withinNetworkBounds(e));
    expectOrbitsAgree(e, e.speed);

    // The command line solves the same events to the same path.
    std::vector<std::string> args(run.events.begin(), run.events.end());
    args.insert(args.end(), {"--output", directory});
    std::ostringstream out, err;
    EXPECT_EQ(trajectoryCommand(args, out, err, Language::English, readEventMeasurement), 0) << err.str();
}

TEST(NetworkDemo, TwoStationsOnEitherSideOfASteadyMeteorGiveItsPathRadiantSpeedAndOrbit) {
    test::TempDir directory;
    runAndCheck(demoNetworks(ORBIS_CATALOG_DIR)[0], directory.str());
}

TEST(NetworkDemo, ThreeDifferentCamerasGiveADeceleratingMeteorsPathAndItsInitialSpeed) {
    test::TempDir directory;
    runAndCheck(demoNetworks(ORBIS_CATALOG_DIR)[1], directory.str());
}

// A network the demo does not run: south of the equator and west of
// Greenwich, a fast meteor given by its J2000 radiant, Motion-JPEG frames
// and a camera with fields.
TEST(NetworkDemo, AFastMeteorFromAJ2000RadiantSeenFromTheSouthWest) {
    TDemoNetwork n{"southwest", {}};
    TSimFlight& f = n.network.flight;
    f.begin = {-33.40, -70.60, 110e3};
    f.endHeight = 88e3;
    f.speed = 60e3;
    f.utBegin = encodeDateTime({2024, 12, 14, 4, 20, 0, 0}) + 0.55 / 86400;
    f.radiantSky = TSkyPoint{112.5, 32.5};  // the Geminids, low in the north
    f.peakMagnitude = -1.5;
    f.lightCurve = TSimLightCurve::EarlyFlare;
    n.network.camera.catalogPath = std::string(ORBIS_CATALOG_DIR) + "/c50.dat";
    n.network.camera.limitingMagnitude = 5.0;
    TSimStation a;
    a.name = "west";
    a.place = {-33.20, -71.15, 300};
    a.timeZone = -3;
    a.framePhase = 0.024;
    a.jpegQuality = 85;
    a.rollDegrees = 95;
    TSimStation b;
    b.name = "east";
    b.place = {-33.60, -70.05, 1200};
    b.timeZone = -3;
    b.framePhase = 0.008;
    b.fields = true;
    b.mirrored = true;
    b.seed = 5;
    n.network.stations = {a, b};
    test::TempDir directory;
    runAndCheck(n, directory.str());
}

}  // namespace
}  // namespace orbis
