// The automatic track proposal: the heads it finds on simulated events
// against the simulator's truth, the moving lights it must not take for a
// meteor, and the observer's track file it must not replace.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "astro/uDateTime.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "config/uConfiguration.h"
#include "measurement/uTrack.h"
#include "measurement/uTrackProposal.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"
#include "sim/uSkySimulator.h"
#include "support/MeteorSample.h"
#include "support/TempDir.h"

namespace orbis {
namespace {

using test::TempDir;

TEST(TrackProposal, HeadsOfSimulatedMeteorsWithinAPixel) {
    TempDir station;
    const TConfiguration config;
    int beyondOnePixel = 0;
    for (int i = 0; i < 16; ++i) {
        const test::SampleEvent e =
            test::writeSampleEvent(station.str(), i, ORBIS_CATALOG_DIR "/c50.dat", {.width = 256, .height = 192, .maxFrames = 8});
        const auto p = proposeTrack(e.directory, config);
        ASSERT_TRUE(p) << "event " << i;
        const test::SampleResult r = test::compareWithTruth(e, p);
        EXPECT_TRUE(r.framesMatch) << "event " << i << ": frames " << p->start.frame << ".." << p->finish.frame;
        EXPECT_LE(r.startError, 3) << "event " << i;
        EXPECT_LE(r.finishError, 3) << "event " << i;
        beyondOnePixel += r.startError > 1 || r.finishError > 1;
        // Measured on a frame of the meteor, where the fill finds it.
        EXPECT_GE(p->brightestFrame, p->start.frame);
        EXPECT_LE(p->brightestFrame, p->finish.frame);
        EXPECT_GT(p->brightness.pixelCount, 0) << "event " << i;
    }
    EXPECT_LE(beyondOnePixel, 1);
}

// Frames of a dark sky with noise and stars, and whatever a test adds to
// frame k through `extra` (spots at sub-pixel positions).
constexpr int kW = 320, kH = 240, kFrames = 16;

struct Sky {
    std::vector<double> pixels = std::vector<double>(kW * kH);
    void spot(double x, double y, double flux, double sigma = 1.0) {
        for (int py = static_cast<int>(y) - 5; py <= static_cast<int>(y) + 5; ++py)
            for (int px = static_cast<int>(x) - 5; px <= static_cast<int>(x) + 5; ++px) {
                if (px < 0 || py < 0 || px >= kW || py >= kH) continue;
                const double r2 = (px - x) * (px - x) + (py - y) * (py - y);
                pixels[static_cast<std::size_t>(py * kW + px)] += flux / (2 * M_PI * sigma * sigma) * std::exp(-r2 / (2 * sigma * sigma));
            }
    }
    // An evenly lit stretch, as one exposure of a moving light leaves it.
    void streak(double x0, double y0, double x1, double y1, double flux) {
        for (int i = 0; i < 40; ++i) {
            const double t = (i + 0.5) / 40;
            spot(x0 + t * (x1 - x0), y0 + t * (y1 - y0), flux / 40);
        }
    }
};

// The sky of frame k (noise drawn from rng) with what `extra` adds.
Sky skyOf(int k, std::mt19937& rng, const std::function<void(int, Sky&)>& extra) {
    std::normal_distribution<double> noise(0, 2);
    Sky sky;
    for (auto& p : sky.pixels) p = 30 + noise(rng);
    for (int s = 0; s < 25; ++s) sky.spot(13.7 * s + 5, 9.1 * ((s * 7) % 25) + 7, 300.0 + 400 * s);  // the last ones clip
    sky.pixels[100 * kW + 50] = 255;                                                  // a hot pixel
    if (std::uniform_int_distribution<int>(0, 2)(rng) == 0) sky.pixels[60 * kW + 200] += 120;  // one that flickers
    if (k == 7) sky.pixels[180 * kW + 90] = 250;                                      // a cosmic ray
    extra(k, sky);
    return sky;
}

// Frames of a sky; with `interlaced` frame k is woven from two exposures,
// field 2k on the upper rows (0, 2, ...) and 2k + 1 on the lower.
void writeEvent(const std::string& dir, const std::function<void(int, Sky&)>& extra, bool interlaced = false) {
    std::filesystem::create_directories(dir);
    std::mt19937 rng(5);
    for (int k = 0; k < kFrames; ++k) {
        const Sky upper = skyOf(interlaced ? 2 * k : k, rng, extra);
        const Sky lower = interlaced ? skyOf(2 * k + 1, rng, extra) : upper;
        std::vector<uint8_t> bytes(upper.pixels.size());
        for (int y = 0; y < kH; ++y)  // bottom row first
            for (int x = 0; x < kW; ++x) {
                const double v = (y % 2 == 0 ? upper : lower).pixels[static_cast<std::size_t>(y * kW + x)];
                bytes[static_cast<std::size_t>((kH - 1 - y) * kW + x)] = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
            }
        saveGreyBitmap(bytes, kW, kH, frameFileName(dir, k + 1));
    }
}

// A meteor from (60, 50) moving (12, 7) pixels a frame on frames 5 to 10.
void meteor(int k, Sky& sky) {
    if (k < 4 || k > 9) return;
    const double t = k - 4;
    sky.streak(60 + 12 * t, 50 + 7 * t, 72 + 12 * t, 57 + 7 * t, 3000);
}

TEST(TrackProposal, NothingButAStraightTransientIsAMeteor) {
    TempDir dir;
    const TConfiguration config;
    const auto proposal = [&](const std::string& name, const std::function<void(int, Sky&)>& extra) {
        writeEvent((dir / name).string(), extra);
        return proposeTrack((dir / name).string(), config);
    };

    // The sky alone: stars, hot pixels and noise.
    EXPECT_FALSE(proposal("sky", [](int, Sky&) {}));

    // The same sky with a meteor: found, head on its first and last frame.
    const auto found = proposal("meteor", meteor);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->start.frame, 5);
    EXPECT_EQ(found->finish.frame, 10);
    EXPECT_LE(std::hypot(found->start.x - 72, found->start.y - 57), 1.0);
    EXPECT_LE(std::hypot(found->finish.x - 132, found->finish.y - 92), 1.0);

    // A bright light turning on a circle, frame after frame.
    EXPECT_FALSE(proposal("circle", [](int k, Sky& sky) {
        if (k < 2 || k > 13) return;
        const double a0 = 0.25 * k, a1 = 0.25 * (k + 1);
        sky.streak(160 + 60 * std::cos(a0), 120 + 60 * std::sin(a0), 160 + 60 * std::cos(a1), 120 + 60 * std::sin(a1), 4000);
    }));
    // A light flying straight that blinks: seen on three frames out of four.
    EXPECT_FALSE(proposal("blinking", [](int k, Sky& sky) {
        if (k % 4 != 3) sky.streak(20 + 15 * k, 200 - 6 * k, 35 + 15 * k, 194 - 6 * k, 3000);
    }));
    // A light flashing for three frames every eleven as it flies straight on.
    EXPECT_FALSE(proposal("flashing", [](int k, Sky& sky) {
        if (k % 11 < 3) sky.streak(40 + 3 * k, 200 - 2 * k, 43 + 3 * k, 198 - 2 * k, 4000);
    }));
    // A plane: straight and steady, there from the first frame to the last.
    EXPECT_FALSE(proposal("plane", [](int k, Sky& sky) { sky.streak(30 + 4 * k, 150, 34 + 4 * k, 150, 5000); }));
    // A meteor that zigzags: straight stretches of a few frames.
    EXPECT_FALSE(proposal("zigzag", [](int k, Sky& sky) {
        if (k < 3 || k > 12) return;
        const auto y = [](int j) { return 100.0 + ((j / 3) % 2 == 0 ? 1 : -1) * 8.0 * (j % 3); };
        sky.streak(50 + 14 * k, y(k), 64 + 14 * k, y(k + 1), 3000);
    }));
}

TEST(TrackProposal, InterlacedFramesGiveTheHeadOfTheirLaterField) {
    TempDir dir;
    // Fields 8 to 19 (frames 5 to 10), 8 and 5 pixels a field from (60, 50).
    writeEvent(dir.str(), [](int j, Sky& sky) {
        if (j >= 8 && j <= 19) sky.streak(60 + 8 * (j - 8), 50 + 5 * (j - 8), 68 + 8 * (j - 8), 55 + 5 * (j - 8), 2500);
    }, true);
    const auto p = proposeTrack(dir.str(), TConfiguration());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->start.frame, 5);
    EXPECT_EQ(p->finish.frame, 10);
    // The start frame shows two stretches: its head is the lower field's.
    EXPECT_LE(std::hypot(p->start.x - 76, p->start.y - 60), 1.0) << p->start.x << " " << p->start.y;
    EXPECT_LE(std::hypot(p->finish.x - 156, p->finish.y - 110), 1.0) << p->finish.x << " " << p->finish.y;
}

TEST(TrackProposal, WovenFieldsEachExposedAWholeFrame) {
    // A camera integrating each field over a whole frame time, the fields
    // half a frame apart: the stretches of neighbouring fields overlap by
    // half. Field j's exposure ends when the meteor, lit from u = 0 to 12
    // (8 and 5 pixels a field from (60, 50)), is at u = j - 7.
    TempDir dir;
    const auto at = [](double u) { return std::pair{60 + 8 * u, 50 + 5 * u}; };
    writeEvent(dir.str(), [&](int j, Sky& sky) {
        const double from = std::max(j - 9.0, 0.0), to = std::min(j - 7.0, 12.0);
        if (to <= from) return;
        const auto [x0, y0] = at(from);
        const auto [x1, y1] = at(to);
        sky.streak(x0, y0, x1, y1, 1250 * (to - from));
    }, true);
    const auto p = proposeTrack(dir.str(), TConfiguration());
    ASSERT_TRUE(p);
    // Fields 8 and 9 (frame 5) first show it, 20 (frame 11) last: its upper
    // field's exposure began before the meteor went out.
    EXPECT_EQ(p->start.frame, 5);
    EXPECT_EQ(p->finish.frame, 11);
    EXPECT_LE(std::hypot(p->start.x - 76, p->start.y - 60), 1.5) << p->start.x << " " << p->start.y;
    EXPECT_LE(std::hypot(p->finish.x - 156, p->finish.y - 110), 1.5) << p->finish.x << " " << p->finish.y;
}

// The meteor of `meteor` lit only from `lit` to `out`, in frames of its path
// from the beginning of frame file 5's exposure: its first and last streaks
// are part of a frame's stretch.
std::function<void(int, Sky&)> meteorLit(double lit, double out) {
    return [=](int k, Sky& sky) {
        const double from = std::max<double>(k - 4, lit), to = std::min<double>(k - 3, out);
        if (to > from) sky.streak(60 + 12 * from, 50 + 7 * from, 60 + 12 * to, 50 + 7 * to, 3000 * (to - from));
    };
}

TEST(TrackProposal, AMeteorLightingUpAndGoingOutWithinItsExposures) {
    TempDir dir;
    const TConfiguration config;
    struct Case {
        double lit, out;
        int startFrame, finishFrame;
    };
    // The last one lasts three frames, a quarter of the first and half of
    // the last exposed.
    for (const Case c : {Case{0.7, 5.4, 5, 10}, Case{0.3, 5.2, 5, 10}, Case{0.9, 3.15, 5, 8}, Case{2.75, 4.5, 7, 9}}) {
        const std::string event = (dir / std::to_string(c.lit)).string();
        writeEvent(event, meteorLit(c.lit, c.out));
        const auto p = proposeTrack(event, config);
        ASSERT_TRUE(p) << c.lit;
        EXPECT_EQ(p->start.frame, c.startFrame) << c.lit;
        EXPECT_EQ(p->finish.frame, c.finishFrame) << c.lit;
        // START: the head when the first exposure ended; FINISH: where it went out.
        const double first = std::floor(c.lit) + 1;
        EXPECT_LE(std::hypot(p->start.x - (60 + 12 * first), p->start.y - (50 + 7 * first)), 1.0) << c.lit;
        EXPECT_LE(std::hypot(p->finish.x - (60 + 12 * c.out), p->finish.y - (50 + 7 * c.out)), 1.0) << c.lit;
    }
}

TEST(TrackProposal, FaintSpecksBesideABrightMeteorsEndsDoNotHideIt) {
    TempDir dir;
    // Within a couple of steps of its ends, two frames before and after,
    // off its line: noise, a faint star's flicker.
    writeEvent(dir.str(), [](int k, Sky& sky) {
        meteor(k, sky);
        if (k == 2) sky.spot(45, 80, 150);
        if (k == 11) sky.spot(150, 70, 150);
    });
    const auto p = proposeTrack(dir.str(), TConfiguration());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->start.frame, 5);
    EXPECT_EQ(p->finish.frame, 10);
    EXPECT_EQ(p->startEstimate, TTrackEstimate::StreakFit);
    EXPECT_EQ(p->finishEstimate, TTrackEstimate::StreakFit);
}

// A clip of the simulator with woven frames (two fields half a frame
// apart), taken into work as frame files; its meteor's truth.
struct WovenMeteor {
    TSimWeave weave;
    std::pair<double, double> start, end;
    int frames;
};

TSimMeteorTruth writeWovenEvent(const std::string& station, int index, const WovenMeteor& w, std::string& event) {
    TSimSettings s;
    s.localStart = encodeDateTime({2024, 8, 12, 23, 0, 10 * index, 0});
    s.pointingSky = TSkyPoint{300, 40};
    s.width = 640, s.height = 480;
    s.weave = w.weave;
    s.catalogPath = ORBIS_CATALOG_DIR "/c50.dat";
    s.frameCount = w.frames + 12;
    s.photonGain = 2;
    s.seed = 4;
    TSimMeteor m;
    m.startPixel = w.start, m.endPixel = w.end;
    m.firstFrame = 5, m.frames = w.frames;
    m.startPhase = 0.6, m.endPhase = 0.3;  // the first frame's later field, the last's earlier one
    m.peakMagnitude = 0.5;
    s.meteors = {m};
    const TSimTruth truth = simulateClip(s, station);
    event = eventDirectoryForClip(std::filesystem::path(truth.clipPath).parent_path().string(),
                                  std::filesystem::path(truth.clipPath).filename().string());
    std::filesystem::create_directories(event);
    const TAviReader clip(truth.clipPath);
    for (int i = 0; i < clip.info().frameCount; ++i)
        saveGreyBitmap(clip.readFrame(i), clip.info().width, clip.info().height, frameFileName(event, i + 1));
    return truth.meteors[0];
}

TEST(TrackProposal, WovenFramesOfEitherFieldOrder) {
    TempDir station;
    const TConfiguration config;
    const std::vector<WovenMeteor> meteors{
        // Steep: the two fields' stretches of a frame lie on different rows.
        {TSimWeave::UpperFieldFirst, {300, 100}, {340, 330}, 6},
        {TSimWeave::LowerFieldFirst, {300, 100}, {340, 330}, 6},
        // Slow (4 px a frame): each field's spot comes back within a pixel or
        // two on the fields around it, and the field order tried first is
        // the wrong one.
        {TSimWeave::LowerFieldFirst, {420, 300}, {360, 270}, 16},
    };
    for (std::size_t i = 0; i < meteors.size(); ++i) {
        std::string event;
        const TSimMeteorTruth t = writeWovenEvent(station.str(), static_cast<int>(i), meteors[i], event);
        const auto p = proposeTrack(event, config);
        ASSERT_TRUE(p) << i;
        EXPECT_EQ(p->start.frame, t.firstFrame + 1) << i;
        EXPECT_EQ(p->finish.frame, t.lastFrame + 1) << i;
        // The head when the first frame's later field ended, and where it went out.
        EXPECT_LE(std::hypot(p->start.x - t.frameHeads.front().first, p->start.y - t.frameHeads.front().second), 1.5)
            << i << ": " << p->start.x << " " << p->start.y;
        EXPECT_LE(std::hypot(p->finish.x - t.frameHeads.back().first, p->finish.y - t.frameHeads.back().second), 1.5)
            << i << ": " << p->finish.x << " " << p->finish.y;
        // Both fields' stretches measured, not the few pixels of one row that
        // a single fill from the brightest pixel reaches on a woven frame.
        EXPECT_GE(p->brightestFrame, p->start.frame) << i;
        EXPECT_LE(p->brightestFrame, p->finish.frame) << i;
        EXPECT_GE(p->brightness.pixelCount, 30) << i;
        // A head on every frame, each when its later field ended but the
        // last, where the meteor went out in the earlier field.
        EXPECT_EQ(p->upperFieldFirst, meteors[i].weave == TSimWeave::UpperFieldFirst) << i;
        ASSERT_EQ(p->heads.size(), static_cast<std::size_t>(t.lastFrame - t.firstFrame + 1)) << i;
        for (std::size_t k = 0; k < p->heads.size(); ++k) {
            const TTrackHead& h = p->heads[k];
            EXPECT_EQ(h.point.frame, t.firstFrame + 1 + static_cast<int>(k)) << i;
            EXPECT_EQ(h.exposureEnd, k + 1 == p->heads.size() ? 0.5 : 1.0) << i << " " << k;
            EXPECT_LE(std::hypot(h.point.x - t.frameHeads[k].first, h.point.y - t.frameHeads[k].second), 2.0)
                << i << " " << k;
        }
        EXPECT_EQ(p->heads.front().point.x, p->start.x);
        EXPECT_EQ(p->heads.back().point.y, p->finish.y);
    }
}

TEST(TrackProposal, BrightnessHoldsWhatTheCameraClipped) {
    // The meteor of `meteor` with twenty times its light: clipped along its
    // whole stretch. What the brightness measures above the sky grows with
    // the light all the same.
    TempDir dir;
    const TConfiguration config;
    const auto lightAboveSky = [&](double flux) {
        const std::string event = (dir / std::to_string(flux)).string();
        writeEvent(event, [flux](int k, Sky& sky) {
            if (k >= 4 && k <= 9) sky.streak(60 + 12 * (k - 4), 50 + 7 * (k - 4), 72 + 12 * (k - 4), 57 + 7 * (k - 4), flux);
        });
        const auto p = proposeTrack(event, config);
        EXPECT_TRUE(p) << flux;
        return p ? static_cast<double>(p->brightness.brightnessSum) - 30.0 * p->brightness.pixelCount : 0.0;
    };
    const double faint = lightAboveSky(3000), bright = lightAboveSky(60000);
    ASSERT_GT(faint, 0);
    EXPECT_NEAR(bright / faint, 20, 5);
}

// Frames through Motion-JPEG: flat blocks where the noise was quantised
// away, ringing and block edges elsewhere; with a meteor or without one.
std::optional<TTrackProposal> proposeOnJpegFrames(const std::string& station, int index, bool withMeteor) {
    TSimSettings s;
    s.localStart = encodeDateTime({2024, 8, 12, 23, 30, 10 * index, 0});
    s.pointingSky = TSkyPoint{20, 60};
    s.width = 640, s.height = 480;
    s.catalogPath = ORBIS_CATALOG_DIR "/c50.dat";
    s.frameCount = 20;
    s.jpegQuality = 60;
    s.seed = static_cast<uint32_t>(7 + index);
    if (withMeteor) {
        TSimMeteor m;
        m.startPixel = std::pair{150.0, 320.0}, m.endPixel = std::pair{330.0, 230.0};
        m.firstFrame = 6, m.frames = 8;
        m.peakMagnitude = 0.5;
        s.meteors = {m};
    }
    const TSimTruth truth = simulateClip(s, station);
    const std::string event = eventDirectoryForClip(std::filesystem::path(truth.clipPath).parent_path().string(),
                                                    std::filesystem::path(truth.clipPath).filename().string());
    std::filesystem::create_directories(event);
    const TAviReader clip(truth.clipPath);
    for (int i = 0; i < clip.info().frameCount; ++i)
        saveGreyBitmap(clip.readFrame(i), clip.info().width, clip.info().height, frameFileName(event, i + 1));
    return proposeTrack(event, TConfiguration());
}

TEST(TrackProposal, MotionJpegFrames) {
    TempDir station;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(proposeOnJpegFrames(station.str(), i, false)) << i;
    const auto p = proposeOnJpegFrames(station.str(), 3, true);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->start.frame, 7);
    EXPECT_EQ(p->finish.frame, 14);
}

TEST(TrackProposal, TheObserversTrackFileIsKeptUnlessForced) {
    TempDir dir;
    const TConfiguration config;
    const std::string event = (dir / "event").string();
    writeEvent(event, meteor);
    const std::vector<std::string> observer{"0|0|70|55|5|1000|START", "0|0|130|90|10|20|FINISH"};
    writeTextLines(trackFileName(event), observer);

    EXPECT_EQ(writeProposedTrack(event, config, false), TrackProposalOutcome::KeptExisting);
    EXPECT_EQ(readTextLines(trackFileName(event)), observer);
    EXPECT_EQ(writeProposedTrack(event, config, true), TrackProposalOutcome::Written);
    const auto p = proposeTrack(event, config);
    ASSERT_TRUE(p);
    EXPECT_EQ(readTextLines(trackFileName(event)), trackFileLines(p->start, p->finish, p->brightness));

    // Without a meteor nothing is written, forced or not.
    const std::string empty = (dir / "empty").string();
    writeEvent(empty, [](int, Sky&) {});
    EXPECT_EQ(writeProposedTrack(empty, config, true), TrackProposalOutcome::NoMeteor);
    EXPECT_FALSE(std::filesystem::exists(trackFileName(empty)));
}

TEST(TrackProposal, HeadsFileReadsBackAndRefusesDamage) {
    TempDir dir;
    TTrackProposal p;
    p.upperFieldFirst = true;
    p.heads = {{{120, 80, 4}, 1.0, TTrackEstimate::StreakFit}, {{131, 85, 5}, 1.0, TTrackEstimate::Predicted},
               {{140, 91, 6}, 0.5, TTrackEstimate::SpotCentroid}};
    EXPECT_FALSE(readTrackHeads(dir.str()).has_value());
    saveTrackHeads(dir.str(), p);
    const auto read = readTrackHeads(dir.str());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->upperFieldFirst, std::optional<bool>(true));
    ASSERT_EQ(read->heads.size(), 3u);
    EXPECT_EQ(read->heads[1].point.x, 131);
    EXPECT_EQ(read->heads[1].estimate, TTrackEstimate::Predicted);
    EXPECT_EQ(read->heads[2].exposureEnd, 0.5);
    const std::string file = joinPath(dir.str(), kTrackHeadsFileName);
    const std::vector<std::string> good = readTextLines(file);
    for (const auto& [line, text] : std::vector<std::pair<std::size_t, std::string>>{
             {0, "FIELDS|both"}, {2, "5|131|85|1"}, {2, "5|131|85|0.7|3"}, {2, "5|1e3|85|1|3"},
             {2, "4|131|85|1|3"}, {2, "5|131|85|1|4"}, {3, "1000|140|91|0.5|2"}, {2, "5|-131|85|1|3"}}) {
        std::vector<std::string> damaged = good;
        damaged[line] = text;
        writeTextLines(file, damaged);
        try {
            readTrackHeads(dir.str());
            ADD_FAILURE() << "accepted: " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.diagnostic().code(), Code::TrackHeadsDamaged) << text;
            EXPECT_EQ(e.diagnostic().value("line"), std::to_string(line + 1)) << text;
        }
    }
}

}  // namespace
}  // namespace orbis
