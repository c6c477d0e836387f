// A meteor moved along a sky path, and the network simulator's stations:
// each station's clip shows the meteor where the true geometry puts it, at
// the station's own frame times.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "DiagnosticTesting.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "config/uConfiguration.h"
#include "sim/uNetworkSimulator.h"

namespace orbis {
namespace {

constexpr double kDeg = 3.14159265358979323846 / 180;

TSimSettings smallCamera() {
    TSimSettings s;
    s.width = 320, s.height = 240;
    s.frameCount = 30;
    s.pointingSky = TSkyPoint{30, 50};
    s.localStart = encodeDateTime({2024, 8, 13, 1, 30, 5, 120});
    return s;
}

std::string clipBytes(const std::string& path) { return readFileBytes(path); }

TEST(SimSkyPath, TwoPointsAreTheGreatCircleAndMorePointsBendItAtEvenTimes) {
    test::TempDir a, b, c;
    TSimSettings s = smallCamera();
    TSimMeteor m;
    m.startSky = TSkyPoint{25, 48};
    m.endSky = TSkyPoint{35, 53};
    m.firstFrame = 5, m.frames = 6, m.startPhase = 0.3, m.endPhase = 0.6;
    s.meteors = {m};
    const TSimTruth circle = simulateClip(s, a.str());
    // The same ends as a path of two points: the same clip, byte for byte.
    s.meteors[0].startSky.reset(), s.meteors[0].endSky.reset();
    s.meteors[0].skyPath = {{25, 48}, {35, 53}};
    const TSimTruth path = simulateClip(s, b.str());
    EXPECT_EQ(clipBytes(circle.clipPath), clipBytes(path.clipPath));
    EXPECT_EQ(path.meteors[0].frameHeads, circle.meteors[0].frameHeads);

    // A bent path of three points: the head is at the middle point half way
    // through the meteor's time, and the other heads on either leg.
    s.meteors[0].skyPath = {{25, 48}, {32, 48}, {35, 53}};
    const TSimTruth bent = simulateClip(s, c.str());
    const TSimMeteorTruth& t = bent.meteors[0];
    const double lit = 0.3, out = 5.6;  // in frames from the first frame's start
    // Frame j's head is at the end of its exposure: along (j + 1 - lit) / (out - lit).
    const auto middle = meteorPixelAt(bent, t, 0.5);
    const TSimCamera camera(bent.pointing, 0, 320, 240, bent.pixelsPerRadian, 0);
    const auto expected = camera.project({32, 48});
    ASSERT_TRUE(expected);
    EXPECT_NEAR(middle.first, expected->first, 1e-6);
    EXPECT_NEAR(middle.second, expected->second, 1e-6);
    ASSERT_EQ(t.frameHeads.size(), 6u);
    for (int j = 0; j < 5; ++j) {
        const auto at = meteorPixelAt(bent, t, (j + 1 - lit) / (out - lit));
        EXPECT_NEAR(t.frameHeads[static_cast<std::size_t>(j)].first, at.first, 1e-9) << j;
        EXPECT_NEAR(t.frameHeads[static_cast<std::size_t>(j)].second, at.second, 1e-9) << j;
    }
    EXPECT_NE(readFileBytes(c / "20240813" / "013005_120.truth.json").find("\"skyPath\""), std::string::npos);
    EXPECT_EQ(readFileBytes(a / "20240813" / "013005_120.truth.json").find("\"skyPath\""), std::string::npos);

    s.meteors[0].skyPath = {{25, 48}};
    test::TempDir d;
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { simulateClip(s, d.str()); }).code(), Code::SimMeteorEndsMissing);
}

TSimNetwork smallNetwork() {
    TSimNetwork n;
    n.flight.begin = {45.0, 10.0, 100e3};
    n.flight.endHeight = 75e3;
    n.flight.speed = 35e3;
    n.flight.radiantAzAlt = std::pair{120.0, 40.0};
    n.flight.utBegin = encodeDateTime({2024, 8, 12, 23, 0, 0, 0}) + 0.5 / 86400;
    TSimStation a;
    a.name = "a";
    a.place = {44.6, 9.7, 200};
    a.framePhase = 0.017;
    a.timeZone = 2;
    a.framesBefore = 3;
    a.frameCount = 40;
    TSimStation b = a;
    b.name = "b";
    b.place = {45.4, 9.5, 400};
    b.framePhase = 0.001;
    b.fps = 30;
    b.clockOffset = 0.25;
    b.fields = true;
    n.stations = {a, b};
    n.camera = smallCamera();
    return n;
}

TEST(SimNetwork, EachStationSeesTheTrueGeometryAtItsOwnFrameTimes) {
    test::TempDir directory;
    const TSimNetwork n = smallNetwork();
    const TSimNetworkTruth t = simulateNetwork(n, directory.str());
    const TSimFlightPath path(n.flight);

    EXPECT_NEAR(t.end.height, 75e3, 0.01);
    EXPECT_NEAR(t.length, (100e3 - 75e3) / std::sin(40 * kDeg), 0.02 * t.length);  // the Earth curves a little
    EXPECT_NEAR(t.radiantAzimuth, 120, 1e-6);
    EXPECT_NEAR(t.radiantAltitude, 40, 1e-6);
    ASSERT_EQ(t.stations.size(), 2u);
    ASSERT_EQ(t.convergence.size(), 1u);
    EXPECT_GT(t.convergence[0], 10);

    for (std::size_t i = 0; i < 2; ++i) {
        const TSimStation& st = n.stations[i];
        const TSimStationTruth& s = t.stations[i];
        SCOPED_TRACE(st.name);
        // Named by the station's local time of frame 0, in its own directory.
        EXPECT_EQ(std::filesystem::path(s.clip.clipPath).parent_path().parent_path(), std::filesystem::path(s.directory));
        const TDateTime frame0 = n.flight.utBegin + (st.clockOffset - st.framesBefore / double(st.fps) - st.framePhase) / 86400 +
                                 st.timeZone / 24.0;
        EXPECT_NEAR((s.clip.localStart - frame0) * 86400, 0, 0.0005);
        EXPECT_TRUE(std::filesystem::exists(s.clip.clipPath.substr(0, s.clip.clipPath.size() - 4) + ".network.json"));
        EXPECT_EQ(s.clip.fields, st.fields);

        // It lights up in its frame framesBefore, framePhase into it (to the
        // millisecond of the clip's name).
        const TSimMeteorTruth& m = s.clip.meteors[0];
        EXPECT_EQ(m.firstFrame, st.framesBefore);
        EXPECT_NEAR(m.startPhase / st.fps, st.framePhase, 0.0006);
        // Each frame's head is where the meteor is, from the station, when
        // the frame's exposure ends (by UT: the station's clock less its offset).
        const TVector3 at = geodeticToEarthFixed(st.place);
        const double utFrame0 = (s.clip.localStart - st.timeZone / 24.0 - n.flight.utBegin) * 86400 - st.clockOffset;
        for (std::size_t j = 0; j + 1 < m.frameHeads.size(); ++j) {
            const double seconds = utFrame0 + (m.firstFrame + static_cast<int>(j) + 1) / double(st.fps);
            TSkyPoint sky{};
            raDecOf(path.skyDirectionFrom(at, seconds), sky.ra, sky.dec);
            const auto expected = TSimCamera(s.clip.pointing, 0, 320, 240, s.clip.pixelsPerRadian, 0).project(sky);
            ASSERT_TRUE(expected);
            const double row = st.fields ? (expected->second - 1) / 2 : expected->second;
            EXPECT_NEAR(m.frameHeads[j].first, expected->first, 0.01) << j;
            EXPECT_NEAR(m.frameHeads[j].second, row, 0.01) << j;
        }
        // The last head is where it goes out.
        TSkyPoint end{};
        raDecOf(path.skyDirectionFrom(at, path.duration()), end.ra, end.dec);
        const auto last = TSimCamera(s.clip.pointing, 0, 320, 240, s.clip.pixelsPerRadian, 0).project(end);
        EXPECT_NEAR(m.frameHeads.back().first, last->first, 0.01);
        // Pointed at the meteor's middle: the path crosses the picture.
        EXPECT_NEAR(meteorPixelAt(s.clip, m, 0.5).first, 160, 1e-3);
    }

    // The station's settings: its place, clock and camera.
    const TConfiguration c = stationConfiguration(n.stations[1], n.camera, TConfiguration());
    EXPECT_NEAR(c.signedLatitude(), 45.4, 1e-12);
    EXPECT_NEAR(c.signedLongitude(), -9.5, 1e-12);  // west positive
    EXPECT_EQ(c.altitude(), 400);
    EXPECT_TRUE(c.doubleFrameHeight());
    EXPECT_EQ(c.widthCCD(), 320);
    EXPECT_EQ(c.name(), "b");
}

TEST(SimNetwork, RefusesARadiantGivenTwiceAMeteorThatNeverComesDownOrFallsOutsideTheRecording) {
    test::TempDir directory;
    TSimNetwork n = smallNetwork();
    n.flight.radiantSky = TSkyPoint{10, 20};
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { simulateNetwork(n, directory.str()); }).code(), Code::SimRadiantAmbiguous);
    n.flight.radiantAzAlt.reset();
    n.flight.radiantSky.reset();
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { simulateNetwork(n, directory.str()); }).code(), Code::SimRadiantAmbiguous);

    n = smallNetwork();
    n.flight.radiantAzAlt = std::pair{120.0, -10.0};  // from below the horizon: climbing
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { TSimFlightPath{n.flight}; }).code(), Code::SimFlightEndUnreached);
    n = smallNetwork();
    n.flight.deceleration = 200e3;  // stops within 3 km
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { TSimFlightPath{n.flight}; }).code(), Code::SimFlightEndUnreached);

    n = smallNetwork();
    n.stations[0].frameCount = 10;  // the meteor lasts some 25 frames
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { simulateNetwork(n, directory.str()); }).code(), Code::SimMeteorFramesOutside);
    EXPECT_FALSE(std::filesystem::exists(directory / "a"));
}

}  // namespace
}  // namespace orbis
