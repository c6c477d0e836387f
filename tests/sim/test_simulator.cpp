// The sky simulator: its camera against the binding's gnomonic model and the
// horizontal transformation of the astronomy routines, and a small rendered
// clip read back as the station reads clips.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "TempDir.h"
#include "astro/matlib.h"
#include "astro/sphlib.h"
#include "astro/timlib.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "sim/uSkySimulator.h"

namespace orbis {
namespace {

// Difference of two angles in degrees, -180..180.
double angleDiff(double a, double b) { return std::remainder(a - b, 360.0); }

double separation(TSkyPoint a, TSkyPoint b) {
    return ACS(SN(a.dec) * SN(b.dec) + CS(a.dec) * CS(b.dec) * CS(a.ra - b.ra));
}

TEST(SimCamera, AgreesWithTheBindingModelWithoutRollOrDistortion) {
    // Odd sizes: the centre is at the integer halves 320, 240.
    const int width = 641, height = 481;
    const double k = 800;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> ra(0, 360), z(-1, 1), decNearPole(85, 89.99);
    std::vector<TSkyPoint> pointings{{359.8, 10}, {0.2, -35}, {123, 89.7}, {250, -89.5}};
    for (int i = 0; i < 40; ++i) pointings.push_back({ra(rng), std::asin(z(rng)) / RAD});
    for (int i = 0; i < 10; ++i) pointings.push_back({ra(rng), decNearPole(rng)});

    int compared = 0;
    for (const TSkyPoint p : pointings) {
        const TSimCamera camera(p, 0, width, height, k, 0);
        for (int n = 0; n < 200; ++n) {
            const TSkyPoint star{ra(rng), std::asin(z(rng)) / RAD};
            const double c = CS(p.dec) * CS(star.dec) * CS(star.ra - p.ra) + SN(p.dec) * SN(star.dec);
            if (c < 0.3) continue;
            double X, Y;
            EQUSTD(p.ra, p.dec, star.ra, star.dec, X, Y);
            const auto xy = camera.project(star);
            ASSERT_TRUE(xy) << p.ra << " " << p.dec;
            EXPECT_NEAR(xy->first, 320 + k * X, 1e-6) << p.ra << " " << p.dec << " / " << star.ra << " " << star.dec;
            EXPECT_NEAR(xy->second, 240 - k * Y, 1e-6) << p.ra << " " << p.dec << " / " << star.ra << " " << star.dec;
            ++compared;
        }
    }
    EXPECT_GT(compared, 3000);
    // Behind the camera there is no picture.
    EXPECT_FALSE(TSimCamera({10, 20}, 0, width, height, k, 0).project({190, -20}));
}

TEST(SimCamera, UnprojectInvertsProjectWithRollAndDistortion) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> ra(0, 360), dec(-89.9, 89.9), roll(-180, 180), px(0, 640), py(0, 480);
    for (const double k1 : {0.0, 0.01, -0.01}) {
        for (int i = 0; i < 50; ++i) {
            const TSkyPoint p{ra(rng), dec(rng)};
            const TSimCamera camera(p, roll(rng), 640, 480, 800, k1);
            const double x = px(rng), y = py(rng);
            const TSkyPoint sky = camera.unproject(x, y);
            EXPECT_GE(sky.ra, 0);
            EXPECT_LT(sky.ra, 360);
            const auto back = camera.project(sky);
            ASSERT_TRUE(back);
            EXPECT_NEAR(back->first, x, 1e-6) << k1;
            EXPECT_NEAR(back->second, y, 1e-6) << k1;
        }
    }
    // The frame centre is the pointing whatever the roll and distortion.
    const TSimCamera camera({359.95, 60}, 33, 640, 480, 800, 0.02);
    EXPECT_LT(separation(camera.unproject(320, 240), {359.95, 60}) * 3600, 1e-6);
}

TEST(SimCamera, RollTurnsTheSkyCounterClockwiseAndDistortionIsRadial) {
    const TSkyPoint pointing{200, 30};
    const TSimCamera straight(pointing, 0, 640, 480, 800, 0);
    const TSkyPoint north{200, 35}, star{203, 27};

    // North is up; turned by 90 degrees it is on the left.
    const auto up = straight.project(north);
    ASSERT_TRUE(up);
    EXPECT_NEAR(up->first, 320, 1e-9);
    EXPECT_LT(up->second, 240 - 60);
    const auto left = TSimCamera(pointing, 90, 640, 480, 800, 0).project(north);
    ASSERT_TRUE(left);
    EXPECT_NEAR(left->first, 320 - (240 - up->second), 1e-9);
    EXPECT_NEAR(left->second, 240, 1e-9);

    // Any star: its offset from the centre turns (y down on the picture).
    const auto a = straight.project(star);
    const auto b = TSimCamera(pointing, 30, 640, 480, 800, 0).project(star);
    ASSERT_TRUE(a && b);
    const double dx = a->first - 320, dy = a->second - 240, c = CS(30), s = SN(30);
    EXPECT_NEAR(b->first - 320, dx * c + dy * s, 1e-9);
    EXPECT_NEAR(b->second - 240, -dx * s + dy * c, 1e-9);

    // r' = r (1 + k1 r^2) with r in hundreds of pixels.
    const auto d = TSimCamera(pointing, 0, 640, 480, 800, 0.05).project(star);
    ASSERT_TRUE(d);
    const double f = 1 + 0.05 * (dx * dx + dy * dy) / 1e4;
    EXPECT_NEAR(d->first - 320, dx * f, 1e-9);
    EXPECT_NEAR(d->second - 240, dy * f, 1e-9);
}

TEST(SimPointing, AgreesWithEquhor) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> az(0, 360), alt(-80, 88), lat(-89, 89), lmst(0, 360);
    for (int i = 0; i < 500; ++i) {
        const double a = az(rng), h = alt(rng), phi = lat(rng), theta = lmst(rng);
        const TSkyPoint p = pointingFromAzAlt(a, h, phi, theta);
        double h2, a2;
        EQUHOR(p.dec, theta - p.ra, phi, h2, a2);
        EXPECT_NEAR(h2, h, 1e-9) << a << " " << h << " " << phi << " " << theta;
        EXPECT_NEAR(angleDiff(a2, a), 0, 1e-9) << a << " " << h << " " << phi << " " << theta;
    }
}

// A 160 x 120 clip of 10 frames, local time 01:30:05.120 at UT+3, looking
// north at 60 degrees altitude, with a catalog made for it: three stars in
// the frame, one fainter than the limit, one just outside (its wings reach
// in); and a meteor given in
// pixels on frames 3..6, well away from the stars.
struct SmallClip {
    test::TempDir station;
    TSimSettings settings;
    TSkyPoint pointing{};
    struct Placed {
        double x, y, magnitude;
    };
    std::vector<Placed> placed{{40, 30, 3.0}, {121.3, 84.6, 3.5}, {30.5, 95.2, 4.0}, {70, 20, 6.0}, {161.5, 60, 2.0}};
    TSimTruth truth;

    SmallClip() {
        settings.width = 160, settings.height = 120, settings.frameCount = 10;
        settings.timeZone = 3;
        settings.localStart = encodeDateTime({2024, 8, 13, 1, 30, 5, 120});
        settings.pointingAzAlt = std::pair{180.0, 60.0};
        const double lmst = LMST(MJD(12, 8, 2024, 22 + 30 / 60.0 + 5.12 / 3600), settings.longitude) * 15;
        pointing = pointingFromAzAlt(180, 60, settings.latitude, lmst);

        const TSimCamera camera(pointing, 0, 160, 120, 800, 0);
        std::string catalog = "# test field\n";
        for (const Placed& s : placed) {
            const TSkyPoint p = camera.unproject(s.x, s.y);
            catalog += floatToText(p.ra) + "|" + floatToText(p.dec) + "|" + floatToText(s.magnitude) + "|Star|A0\n";
        }
        settings.catalogPath = (station / "field.dat").string();
        writeFileAtomically(settings.catalogPath, catalog);

        TSimMeteor m;
        m.startPixel = std::pair{60.0, 100.0};
        m.endPixel = std::pair{140.0, 20.0};
        m.firstFrame = 3;
        m.frames = 4;
        m.peakMagnitude = 1;
        settings.meteors.push_back(m);
        truth = simulateClip(settings, station.str());
    }
};

// Pixel (x, y) of a frame read from a clip (rows bottom-up).
int pixel(const std::vector<uint8_t>& frame, int x, int y) { return frame[static_cast<std::size_t>(119 - y) * 160 + x]; }

TEST(SimClip, IsNamedByLocalTimeAndPointedAtTheUtSiderealTime) {
    SmallClip c;
    EXPECT_EQ(c.truth.clipPath, (c.station / "20240813" / "013005_120.avi").string());
    EXPECT_TRUE(std::filesystem::is_regular_file(c.station / "20240813" / "013005_120.truth.json"));
    EXPECT_NEAR((c.truth.ut - encodeDateTime({2024, 8, 12, 22, 30, 5, 120})) * 86400, 0, 1e-3);

    double h, az;
    EQUHOR(c.truth.pointing.dec, c.truth.lmstDegrees - c.truth.pointing.ra, c.settings.latitude, h, az);
    EXPECT_NEAR(h, 60, 1e-9);
    EXPECT_NEAR(angleDiff(az, 180), 0, 1e-9);
    EXPECT_NEAR(separation(c.truth.pointing, c.pointing) * 3600, 0, 1e-3);
}

TEST(SimClip, RendersTheStarsOfTheTruthWithTheirFlux) {
    SmallClip c;
    const TAviReader clip(c.truth.clipPath);
    EXPECT_EQ(clip.info().width, 160);
    EXPECT_EQ(clip.info().height, 120);
    EXPECT_EQ(clip.info().bitsPerPixel, 8);
    EXPECT_EQ(clip.info().frameCount, 10);
    EXPECT_EQ(clip.info().rate, 25u);

    // Only the three stars inside the frame and above the limit.
    ASSERT_EQ(c.truth.stars.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(c.truth.stars[i].magnitude, c.placed[i].magnitude);
        EXPECT_NEAR(c.truth.stars[i].x, c.placed[i].x, 1e-6);
        EXPECT_NEAR(c.truth.stars[i].y, c.placed[i].y, 1e-6);
    }

    std::vector<std::vector<uint8_t>> frames;
    for (int f = 0; f < 10; ++f) frames.push_back(clip.readFrame(f));
    for (const TSimStar& s : c.truth.stars) {
        const int cx = static_cast<int>(std::lround(s.x)), cy = static_cast<int>(std::lround(s.y));
        // The brightest pixel near the star is at its position, in every frame.
        for (const auto& frame : frames) {
            int bx = cx, by = cy;
            for (int y = cy - 4; y <= cy + 4; ++y)
                for (int x = cx - 4; x <= cx + 4; ++x)
                    if (pixel(frame, x, y) > pixel(frame, bx, by)) bx = x, by = y;
            EXPECT_LE(std::fabs(bx - s.x), 1.0) << s.magnitude;
            EXPECT_LE(std::fabs(by - s.y), 1.0) << s.magnitude;
        }
        // Its light above the sky, averaged over the frames, is its flux.
        double sum = 0;
        for (const auto& frame : frames)
            for (int y = cy - 5; y <= cy + 5; ++y)
                for (int x = cx - 5; x <= cx + 5; ++x) sum += pixel(frame, x, y) - c.settings.skyLevel;
        const double flux = c.settings.zeroPointFlux * std::pow(10, -0.4 * s.magnitude);
        EXPECT_NEAR(sum / 10, flux, 0.04 * flux) << s.magnitude;
    }
}

TEST(SimClip, FieldsAreEveryOtherPictureRowAndAMirrorFlipsLeftAndRight) {
    SmallClip c;
    test::TempDir other;
    TSimSettings s = c.settings;
    s.fields = true;
    s.mirrored = true;
    s.noiseSigma = 0;
    const TSimTruth t = simulateClip(s, other.str());
    const TAviReader clip(t.clipPath);
    ASSERT_EQ(clip.info().height, 60);
    const std::vector<uint8_t> frame = clip.readFrame(0);
    ASSERT_EQ(t.stars.size(), c.truth.stars.size());
    for (std::size_t i = 0; i < t.stars.size(); ++i) {
        // Mirrored about the centre column; picture row y is field row (y - 1) / 2.
        EXPECT_NEAR(t.stars[i].x, 160 - c.truth.stars[i].x, 1e-6);
        EXPECT_NEAR(t.stars[i].y, (c.truth.stars[i].y - 1) / 2, 1e-6);
        const int x = static_cast<int>(std::lround(t.stars[i].x)), y = static_cast<int>(std::lround(t.stars[i].y));
        EXPECT_GT(frame[static_cast<std::size_t>(59 - y) * 160 + x], s.skyLevel + 20) << i;
        const TSkyPoint sky = skyAtClipPixel(t, t.stars[i].x, t.stars[i].y);
        EXPECT_LT(separation(sky, {t.stars[i].ra, t.stars[i].dec}) * 3600, 1e-3);
    }
    // A meteor given in pixels is placed in the clip's own rows.
    EXPECT_NEAR(t.meteors[0].startY, 100, 1e-6);
    EXPECT_NEAR(t.meteors[0].startX, 60, 1e-6);
}

TEST(SimClip, TheMeteorMovesAlongItsPathOnItsFramesOnly) {
    SmallClip c;
    ASSERT_EQ(c.truth.meteors.size(), 1u);
    const TSimMeteorTruth& m = c.truth.meteors[0];
    EXPECT_NEAR(m.startX, 60, 1e-6);
    EXPECT_NEAR(m.startY, 100, 1e-6);
    EXPECT_NEAR(m.endX, 140, 1e-6);
    EXPECT_NEAR(m.endY, 20, 1e-6);
    EXPECT_EQ(m.firstFrame, 3);
    EXPECT_EQ(m.lastFrame, 6);
    ASSERT_EQ(m.frameMagnitudes.size(), 4u);

    // The light within 4 px of the path, and where it is: the exposure of
    // meteor frame j covers the stretch j/4 .. (j+1)/4 of the path (the
    // gnomonic picture of a great circle is a straight line).
    const TAviReader clip(c.truth.clipPath);
    for (int f = 0; f < 10; ++f) {
        const auto frame = clip.readFrame(f);
        double sum = 0, sx = 0, sy = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                const double along = ((x - 60) * 80.0 - (y - 100) * 80.0) / (2 * 80.0 * 80.0);
                const double dx = x - (60 + 80 * along), dy = y - (100 - 80 * along);
                if (along < -0.05 || along > 1.05 || dx * dx + dy * dy > 16) continue;
                const double v = pixel(frame, x, y) - c.settings.skyLevel;
                sum += v, sx += v * x, sy += v * y;
            }
        if (f < 3 || f > 6) {
            EXPECT_LT(std::fabs(sum), 300) << "frame " << f;
            continue;
        }
        const double mag = m.frameMagnitudes[static_cast<std::size_t>(f - 3)];
        const double flux = c.settings.zeroPointFlux * std::pow(10, -0.4 * mag);
        EXPECT_NEAR(sum, flux, 0.1 * flux) << "frame " << f;
        const double mid = (f - 3 + 0.5) / 4;
        EXPECT_NEAR(sx / sum, 60 + 80 * mid, 1.5) << "frame " << f;
        EXPECT_NEAR(sy / sum, 100 - 80 * mid, 1.5) << "frame " << f;
    }
    // Brightest in the middle frames.
    EXPECT_LT(m.frameMagnitudes[1], m.frameMagnitudes[0]);
    EXPECT_LT(m.frameMagnitudes[2], m.frameMagnitudes[3]);
    EXPECT_LE(m.frameMagnitudes[0], m.peakMagnitude + 1);
}

// The number that follows "key": at or after position from.
double numberAfter(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::size_t at = json.find("\"" + key + "\":", from);
    if (at == std::string::npos) ADD_FAILURE() << "no " << key;
    return at == std::string::npos ? NAN : std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

TEST(SimClip, TruthFileHoldsTheTruth) {
    SmallClip c;
    const std::string json = readFileBytes(c.station / "20240813" / "013005_120.truth.json");
    EXPECT_NE(json.find("\"ut\": \"2024-08-12T22:30:05.120\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"localStart\": \"2024-08-13T01:30:05.120\""), std::string::npos) << json;
    EXPECT_EQ(numberAfter(json, "ra", json.find("\"pointing\"")), c.truth.pointing.ra);
    EXPECT_EQ(numberAfter(json, "dec", json.find("\"pointing\"")), c.truth.pointing.dec);
    EXPECT_EQ(numberAfter(json, "frameCount"), 10);

    std::size_t at = json.find("\"stars\"");
    for (const TSimStar& s : c.truth.stars) {
        at = json.find("\"x\":", at + 1);
        EXPECT_EQ(numberAfter(json, "x", at), s.x);
        EXPECT_EQ(numberAfter(json, "y", at), s.y);
    }
    const std::size_t meteor = json.find("\"meteors\"");
    ASSERT_NE(meteor, std::string::npos);
    EXPECT_EQ(numberAfter(json, "x", json.find("\"start\"", meteor)), c.truth.meteors[0].startX);
    EXPECT_EQ(numberAfter(json, "y", json.find("\"end\"", meteor)), c.truth.meteors[0].endY);
    EXPECT_EQ(numberAfter(json, "dec", json.find("\"end\"", meteor)), c.truth.meteors[0].endSky.dec);
    EXPECT_EQ(numberAfter(json, "firstFrame", meteor), 3);
    EXPECT_EQ(numberAfter(json, "lastFrame", meteor), 6);
}

TEST(SimClip, LeavesOutStarsBelowTheHorizon) {
    // Looking south 2 degrees up: the lower part of the picture is ground.
    test::TempDir station;
    TSimSettings s;
    s.width = 160, s.height = 120, s.frameCount = 1;
    s.localStart = encodeDateTime({2024, 8, 12, 22, 0, 0, 0});
    s.pointingAzAlt = std::pair{0.0, 2.0};
    const double lmst = LMST(MJD(12, 8, 2024, 22), s.longitude) * 15;
    const TSimCamera camera(pointingFromAzAlt(0, 2, s.latitude, lmst), 0, 160, 120, 800, 0);
    std::string catalog;
    for (const double y : {20.0, 110.0}) {
        const TSkyPoint p = camera.unproject(80, y);
        catalog += floatToText(p.ra) + "|" + floatToText(p.dec) + "|2|Star|A0\n";
    }
    s.catalogPath = (station / "field.dat").string();
    writeFileAtomically(s.catalogPath, catalog);
    const TSimTruth truth = simulateClip(s, station.str());
    ASSERT_EQ(truth.stars.size(), 1u);
    EXPECT_NEAR(truth.stars[0].y, 20, 1e-6);
}

TEST(SimClip, RejectsSettingsItCannotRender) {
    test::TempDir station;
    TSimSettings s;
    s.width = 32, s.height = 24, s.frameCount = 4;
    EXPECT_THROW(simulateClip(s, station.str()), std::invalid_argument);  // no pointing
    s.pointingSky = TSkyPoint{10, 20};
    TSimMeteor m;
    m.startSky = TSkyPoint{10, 20};
    m.endSky = TSkyPoint{11, 21};
    m.firstFrame = 2;
    m.frames = 3;  // frames 2..4 of a clip of 4
    s.meteors.push_back(m);
    EXPECT_THROW(simulateClip(s, station.str()), std::invalid_argument);
    s.meteors[0].frames = 2;
    EXPECT_NO_THROW(simulateClip(s, station.str()));
}

}  // namespace
}  // namespace orbis
