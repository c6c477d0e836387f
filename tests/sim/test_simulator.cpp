// The sky simulator: its camera against the binding's gnomonic model and the
// horizontal transformation of the astronomy routines, and a small rendered
// clip read back as the station reads clips.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "DiagnosticTesting.h"
#include "TempDir.h"
#include "astro/matlib.h"
#include "astro/sphlib.h"
#include "astro/timlib.h"
#include "astro/uExceptions.h"
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
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { simulateClip(s, station.str()); }).code(),
              Code::SimPointingAmbiguous);  // no pointing
    s.pointingSky = TSkyPoint{10, 20};
    TSimMeteor m;
    m.startSky = TSkyPoint{10, 20};
    m.endSky = TSkyPoint{11, 21};
    m.firstFrame = 2;
    m.frames = 3;  // frames 2..4 of a clip of 4
    s.meteors.push_back(m);
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { simulateClip(s, station.str()); }),
              TDiagnostic(Code::SimMeteorFramesOutside).with("meteor", 1));
    s.meteors[0].frames = 2;
    EXPECT_NO_THROW(simulateClip(s, station.str()));
}

// The ways cameras show meteors and skies. A dark, noiseless 160 x 120 clip
// without stars unless a test adds them, so every grey level above the sky
// is the light of what the test put there.
struct PlainClip {
    test::TempDir station;
    TSimSettings settings;

    PlainClip() {
        settings.width = 160, settings.height = 120, settings.frameCount = 8;
        settings.localStart = encodeDateTime({2024, 8, 12, 22, 0, 0, 0});
        settings.pointingSky = TSkyPoint{200, 40};
        settings.noiseSigma = 0;
        settings.skyLevel = 20;
    }
    // A meteor from (20, 60) to (140, 60) on frames 2.. of the clip.
    TSimMeteor& addMeteor(int frames, double peakMagnitude = 1) {
        TSimMeteor m;
        m.startPixel = std::pair{20.0, 60.0};
        m.endPixel = std::pair{140.0, 60.0};
        m.firstFrame = 2;
        m.frames = frames;
        m.peakMagnitude = peakMagnitude;
        settings.meteors.push_back(m);
        return settings.meteors.back();
    }
    // Every frame read back, rows from the top.
    std::vector<std::vector<double>> render(TSimTruth* truth = nullptr) {
        const TSimTruth t = simulateClip(settings, station.str());
        if (truth) *truth = t;
        const TAviReader clip(t.clipPath);
        const int w = clip.info().width, h = clip.info().height;
        std::vector<std::vector<double>> frames;
        for (int f = 0; f < clip.info().frameCount; ++f) {
            const auto bytes = clip.readFrame(f);
            std::vector<double> top(bytes.size());
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    top[static_cast<std::size_t>(y * w + x)] = bytes[static_cast<std::size_t>((h - 1 - y) * w + x)];
            frames.push_back(std::move(top));
        }
        return frames;
    }
};

// Light above the sky and its centroid, over the rows a predicate picks.
struct Light {
    double sum = 0, x = 0, y = 0;
};
Light lightOf(const std::vector<double>& frame, double sky, const std::function<bool(int)>& row = [](int) { return true; }) {
    Light l;
    for (int y = 0; y < 120; ++y) {
        if (!row(y)) continue;
        for (int x = 0; x < 160; ++x) {
            const double v = frame[static_cast<std::size_t>(y * 160 + x)] - sky;
            l.sum += v, l.x += v * x, l.y += v * y;
        }
    }
    if (l.sum > 0) l.x /= l.sum, l.y /= l.sum;
    return l;
}

double fluxOfMagnitude(const TSimSettings& s, double m) { return s.zeroPointFlux * std::pow(10, -0.4 * m); }

TEST(SimMeteorLight, EveryLightCurveRendersTheFluxItsTruthGivesEachFrame) {
    const std::vector<TSimLightCurve> curves{TSimLightCurve::Symmetric, TSimLightCurve::Rising,
                                             TSimLightCurve::Falling, TSimLightCurve::EarlyFlare};
    for (const TSimLightCurve curve : curves) {
        PlainClip c;
        c.addMeteor(5, 1.5).lightCurve = curve;
        TSimTruth t;
        const auto frames = c.render(&t);
        const TSimMeteorTruth& m = t.meteors[0];
        ASSERT_EQ(m.frameMagnitudes.size(), 5u);
        for (int j = 0; j < 5; ++j) {
            const double flux = fluxOfMagnitude(c.settings, m.frameMagnitudes[static_cast<std::size_t>(j)]);
            EXPECT_NEAR(lightOf(frames[static_cast<std::size_t>(2 + j)], 20).sum, flux, 0.03 * flux)
                << static_cast<int>(curve) << " frame " << j;
        }
        const auto brightest = std::min_element(m.frameMagnitudes.begin(), m.frameMagnitudes.end()) -
                               m.frameMagnitudes.begin();
        // Brightest where the curve peaks: the middle, the end, the start, a
        // quarter of the way (frame 1 of 5).
        const std::vector<long> peak{2, 4, 0, 1};
        EXPECT_EQ(brightest, peak[static_cast<std::size_t>(curve)]) << static_cast<int>(curve);
        EXPECT_GE(*std::min_element(m.frameMagnitudes.begin(), m.frameMagnitudes.end()), m.peakMagnitude - 1e-9);
    }
}

TEST(SimMeteorLight, PartialFirstAndLastExposuresAndTheHeadAtEachFramesEnd) {
    PlainClip c;
    TSimMeteor& meteor = c.addMeteor(4);
    meteor.startPhase = 0.5;
    meteor.endPhase = 0.25;
    TSimTruth t;
    const auto frames = c.render(&t);
    const TSimMeteorTruth& m = t.meteors[0];
    // It shines for 0.5 + 1 + 1 + 0.25 frames over its 120 px: 480/11 px a frame.
    const double pace = 120 / 2.75;
    ASSERT_EQ(m.frameHeads.size(), 4u);
    const std::vector<double> headX{20 + 0.5 * pace, 20 + 1.5 * pace, 20 + 2.5 * pace, 140};
    for (std::size_t j = 0; j < 4; ++j) {
        // Even angular speed is not quite even on the picture: 0.1 px here.
        EXPECT_NEAR(m.frameHeads[j].first, headX[j], 0.2) << j;
        EXPECT_NEAR(m.frameHeads[j].second, 60, 1e-6) << j;
    }
    EXPECT_NEAR(m.startX, 20, 1e-6);
    EXPECT_NEAR(m.endX, 140, 1e-6);
    // The symmetric curve's frames, less the part of the exposure missed.
    EXPECT_NEAR(m.frameMagnitudes[0], 1 + 1.5 / 2.5 + 2.5 * std::log10(2.0), 1e-9);
    EXPECT_NEAR(m.frameMagnitudes[3], 1 + 1.5 / 2.5 + 2.5 * std::log10(4.0), 1e-9);
    for (std::size_t j = 0; j < 4; ++j) {
        const Light l = lightOf(frames[2 + j], 20);
        const double flux = fluxOfMagnitude(c.settings, m.frameMagnitudes[j]);
        EXPECT_NEAR(l.sum, flux, 0.03 * flux) << j;
        // The streak of frame j runs from the previous head to this one.
        const double from = j == 0 ? 20 : headX[j - 1];
        EXPECT_NEAR(l.x, (from + headX[j]) / 2, 0.5) << j;
    }
    EXPECT_LT(lightOf(frames[1], 20).sum, 1);
    EXPECT_LT(lightOf(frames[6], 20).sum, 1);
}

TEST(SimWovenFrames, EachFieldShowsItsHalfOfTheFrameTimeInEitherOrder) {
    for (const TSimWeave weave : {TSimWeave::UpperFieldFirst, TSimWeave::LowerFieldFirst}) {
        PlainClip c;
        c.settings.weave = weave;
        c.addMeteor(3);
        TSimTruth t;
        const auto frames = c.render(&t);
        const bool upperFirst = weave == TSimWeave::UpperFieldFirst;
        for (int j = 0; j < 3; ++j) {
            const auto& frame = frames[static_cast<std::size_t>(2 + j)];
            const Light first = lightOf(frame, 20, [&](int y) { return (y % 2 == 0) == upperFirst; });
            const Light later = lightOf(frame, 20, [&](int y) { return (y % 2 == 0) != upperFirst; });
            // 40 px a frame: the first field's stretch centred 10 px after the
            // frame's start, the later one's 30 px.
            EXPECT_NEAR(first.x, 20 + 40 * j + 10, 0.5) << j;
            EXPECT_NEAR(later.x, 20 + 40 * j + 30, 0.5) << j;
            // Half the rows of each field's exposure of half the frame time,
            // shown as bright as a whole frame: the frame's light as without
            // weaving.
            const double flux = fluxOfMagnitude(c.settings, t.meteors[0].frameMagnitudes[static_cast<std::size_t>(j)]);
            EXPECT_NEAR(first.sum + later.sum, flux, 0.05 * flux) << j;
        }
        EXPECT_NEAR(t.meteors[0].frameHeads[0].first, 60, 0.1);
    }
    PlainClip c;
    c.settings.weave = TSimWeave::UpperFieldFirst;
    c.settings.fields = true;
    EXPECT_THROW(c.render(), std::invalid_argument);
}

TEST(SimCameraFaults, PhotonNoiseGrowsWithTheLevelAndHotPixelsStay) {
    PlainClip c;
    c.settings.skyLevel = 100;
    c.settings.photonGain = 1;
    c.settings.noiseSigma = 2;
    c.settings.hotPixels = 5;
    TSimTruth t;
    const auto frames = c.render(&t);
    ASSERT_EQ(t.hotPixels.size(), 5u);
    std::vector<bool> isHot(160 * 120);
    for (const auto& [x, y] : t.hotPixels) isHot[static_cast<std::size_t>(y * 160 + x)] = true;
    double sum = 0, squares = 0, n = 0;
    for (const auto& frame : frames)
        for (std::size_t i = 0; i < frame.size(); ++i)
            if (!isHot[i]) sum += frame[i], squares += frame[i] * frame[i], ++n;
    const double variance = squares / n - (sum / n) * (sum / n);
    // 100 electrons: a variance of 100, and 4 of the read noise.
    EXPECT_NEAR(variance, 104, 6);
    for (const auto& [x, y] : t.hotPixels) {
        const double level = frames[0][static_cast<std::size_t>(y * 160 + x)];
        EXPECT_GE(level, 120);
        for (const auto& frame : frames) EXPECT_EQ(frame[static_cast<std::size_t>(y * 160 + x)], level);
    }
}

TEST(SimCameraFaults, MotionJpegFramesAreCloseToTheRenderedOnesButNotTheSame) {
    PlainClip plain, jpeg;
    for (PlainClip* c : {&plain, &jpeg}) {
        c->settings.noiseSigma = 3;
        c->addMeteor(4, 0.5);
    }
    jpeg.settings.jpegQuality = 75;
    const auto a = plain.render(), b = jpeg.render();
    double differences = 0, sum = 0;
    for (std::size_t f = 0; f < a.size(); ++f)
        for (std::size_t i = 0; i < a[f].size(); ++i) {
            differences += a[f][i] != b[f][i];
            sum += std::fabs(a[f][i] - b[f][i]);
        }
    const double n = static_cast<double>(a.size() * a[0].size());
    EXPECT_GT(differences / n, 0.3);  // the noise is what JPEG smooths away
    EXPECT_LT(sum / n, 4);
    // The meteor stays where it was, as bright.
    const auto nearTrack = [](int y) { return y >= 50 && y <= 70; };
    const Light la = lightOf(a[3], 20, nearTrack), lb = lightOf(b[3], 20, nearTrack);
    EXPECT_NEAR(la.x, lb.x, 0.5);
    EXPECT_NEAR(la.sum, lb.sum, 0.05 * la.sum);
}

TEST(SimSkyLights, TwinklingStarsAndABlinkingAeroplane) {
    PlainClip c;
    c.settings.frameCount = 24;
    // One star in the upper half, the aeroplane in the lower.
    const TSimCamera camera(*c.settings.pointingSky, 0, 160, 120, 800, 0);
    const TSkyPoint star = camera.unproject(40, 30);
    c.settings.catalogPath = (c.station / "star.dat").string();
    writeFileAtomically(c.settings.catalogPath, floatToText(star.ra) + "|" + floatToText(star.dec) + "|4|Star|A0\n");
    c.settings.twinkle = 0.2;
    TSimMovingLight plane;
    plane.startPixel = {10, 90};
    plane.endPixel = {130, 90};
    plane.frames = 24;
    plane.magnitude = 5;
    plane.blinkPeriod = 6;
    plane.blinkOnFrames = 2;
    plane.blinkMagnitude = 3;
    c.settings.lights = {plane};
    const auto frames = c.render();

    double sum = 0, squares = 0;
    for (int f = 0; f < 24; ++f) {
        const auto& frame = frames[static_cast<std::size_t>(f)];
        const double s = lightOf(frame, 20, [](int y) { return y < 60; }).sum;
        sum += s, squares += s * s;
        const Light p = lightOf(frame, 20, [](int y) { return y >= 60; });
        EXPECT_NEAR(p.x, 10 + 5 * (f + 0.5), 0.5) << f;
        EXPECT_NEAR(p.y, 90, 0.2) << f;
        const double flux = fluxOfMagnitude(c.settings, f % 6 < 2 ? 3 : 5);
        EXPECT_NEAR(p.sum, flux, 0.03 * flux) << f;
    }
    const double mean = sum / 24, spread = std::sqrt(squares / 24 - mean * mean);
    EXPECT_NEAR(mean, fluxOfMagnitude(c.settings, 4), 0.15 * mean);
    EXPECT_GT(spread / mean, 0.1);
    EXPECT_LT(spread / mean, 0.35);
}

TEST(SimClip, TruthFileHoldsTheHeadsPhasesAndCameraFaults) {
    PlainClip c;
    TSimMeteor& m = c.addMeteor(3);
    m.startPhase = 0.25;
    m.lightCurve = TSimLightCurve::EarlyFlare;
    c.settings.weave = TSimWeave::LowerFieldFirst;
    c.settings.jpegQuality = 80;
    c.settings.hotPixels = 1;
    TSimTruth t;
    c.render(&t);
    const std::string json = truthToJson(t);
    EXPECT_EQ(numberAfter(json, "startPhase"), 0.25);
    EXPECT_NE(json.find("\"lightCurve\": \"early flare\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"weave\": \"lower field first\""), std::string::npos) << json;
    EXPECT_EQ(numberAfter(json, "jpegQuality"), 80);
    EXPECT_EQ(numberAfter(json, "x", json.find("\"frameHeads\"")), t.meteors[0].frameHeads[0].first);
    EXPECT_EQ(numberAfter(json, "x", json.find("\"hotPixels\"")), t.hotPixels[0].first);
}

TEST(SimClip, RejectsPhasesAndLightsOutsideTheirFrames) {
    PlainClip c;
    TSimMeteor& m = c.addMeteor(1);
    m.startPhase = 0.6;
    m.endPhase = 0.5;  // out before it lights up
    EXPECT_THROW(c.render(), std::invalid_argument);
    c.settings.meteors[0].endPhase = 0.7;
    EXPECT_NO_THROW(c.render());
    TSimMovingLight l;
    l.firstFrame = 4;
    l.frames = 5;  // frames 4..8 of a clip of 8
    c.settings.lights = {l};
    EXPECT_THROW(c.render(), std::invalid_argument);
}

}  // namespace
}  // namespace orbis
