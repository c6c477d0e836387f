// The detector driven with synthetic frames and test-driven time.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "DetectorHarness.h"
#include "SyntheticSky.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"

namespace orbis {
namespace {

using test::DetectorHarness;
using test::Frame;

TEST(CaptureFormat, LumaByteOfEveryDepthAndRefusals) {
    const auto g8 = geometryForFormat(8, "GREY", 720, 576, 25);
    EXPECT_EQ(g8.sourceStep, 1);
    EXPECT_EQ(g8.lumaOffset, 0);
    for (const char* y : {"YUY2", "YUYV", "YVYU"}) {
        const auto g = geometryForFormat(16, y, 720, 576, 25);
        EXPECT_EQ(g.sourceStep, 2);
        EXPECT_EQ(g.lumaOffset, 0) << y;
    }
    EXPECT_EQ(geometryForFormat(16, "UYVY", 720, 576, 25).lumaOffset, 1);
    EXPECT_EQ(geometryForFormat(24, "RGB24", 720, 576, 25).sourceStep, 3);
    EXPECT_EQ(geometryForFormat(32, "RGB32", 720, 576, 25).lumaOffset, 1);
    for (auto [bits, name] : {std::pair{16, "RGB565"}, {16, "RGB555"}, {12, "I420"}, {0, "UnKnow"}}) {
        try {
            geometryForFormat(bits, name, 720, 576, 25);
            ADD_FAILURE() << name << " accepted";
        } catch (const EInvalidVideo& e) {
            EXPECT_EQ(e.diagnostic().code(), Code::CaptureFormatUnsupported);
            EXPECT_EQ(e.diagnostic().value("format"), name);
        }
    }
    EXPECT_THROW(geometryForFormat(8, "GREY", 0, 576, 25), EInvalidVideo);
}

TEST(Detector, DefaultSettingsAreTheConfigurations) {
    EXPECT_TRUE(TDetectorSettings{} == TDetectorSettings::fromConfiguration(TConfiguration()));
    TConfiguration changed;
    changed.setNFramesAfterEvent(7);
    EXPECT_FALSE(TDetectorSettings{} == TDetectorSettings::fromConfiguration(changed));
}

TEST(Detector, IdenticalFramesHaveNoiseOneAndNoNoisePixels) {
    DetectorHarness h;
    h.start();
    h.feed(h.flat(50));
    h.feed(h.flat(50));
    ASSERT_EQ(h.indicators.all.size(), 2u);
    const auto& i = h.indicators.all.back();
    EXPECT_EQ(i.level, 50);
    EXPECT_EQ(i.noise, 1);
    EXPECT_EQ(i.noisePixels, 0u);
    EXPECT_EQ(h.detector.histogram()[0], 32u * 24u);
    EXPECT_EQ(h.detector.markThreshold(), 52);
}

TEST(Detector, MarkThresholdAbove255BlotsNothing) {
    // Level 200 and noise 30 on the first frame (its reference is black).
    DetectorHarness h;
    TDetectorSettings s;
    s.nNoisePixels = 10;
    h.start(s, {}, 100, 100);
    Frame f(10000, 205);
    std::size_t i = 0;
    for (int v = 0; v < 30; ++v)
        for (int k = 0; k < 10; ++k) f[i++] = static_cast<uint8_t>(v);
    for (int k = 0; k < 7150; ++k) f[i++] = 206;
    h.feed(f);
    EXPECT_EQ(h.indicators.all.back().level, 200);
    EXPECT_EQ(h.indicators.all.back().noise, 30);
    EXPECT_EQ(h.detector.markThreshold(), 260);
    h.feed(f);
    const auto ref = h.detector.referenceLuma();
    EXPECT_TRUE(std::equal(ref.begin(), ref.end(), f.begin()));  // the previous frame, nothing blotted
}

TEST(Detector, PreviousBrightSpotsAreBlottedNewOnesCount) {
    DetectorHarness h;
    TDetectorSettings s;
    s.nSignalFrames = 100;  // only watch the run count
    h.start(s);
    h.feed(h.flat());                  // stored, never tested
    h.feed(h.blob(10, 10));            // new: signal
    EXPECT_EQ(h.detector.runCount(), 1);
    h.feed(h.blob(11, 10));            // within one pixel of the blotted spot
    EXPECT_EQ(h.detector.runCount(), 0);
    h.feed(h.blob(17, 12));            // moved away: new again
    EXPECT_EQ(h.detector.runCount(), 1);
    const auto ref = h.detector.referenceLuma();
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) EXPECT_EQ(ref[static_cast<std::size_t>(10 + dy) * 32 + 11 + dx], 255);
}

TEST(Detector, EventNeedsExactlyNSignalFramesAndAGapRestartsTheCount) {
    DetectorHarness h;
    h.start();  // B = 10, A = 24, three signal frames
    std::vector<Frame> fed;
    auto feed = [&](const Frame& f) {
        fed.push_back(f);
        h.feed(f);
    };
    for (int i = 0; i < 12; ++i) feed(h.flat());
    feed(h.blob(4, 4));
    feed(h.blob(10, 6));
    feed(h.flat());  // the gap
    EXPECT_EQ(h.detector.runCount(), 0);
    feed(h.blob(4, 10));
    feed(h.blob(10, 12));
    EXPECT_TRUE(h.detector.waiting());
    const TDateTime declaring = h.clock.now;
    feed(h.blob(16, 14));
    EXPECT_FALSE(h.detector.waiting());
    EXPECT_EQ(h.indicators.all.back().colour, StateColour::Red);
    const int declaringIndex = static_cast<int>(fed.size()) - 1;
    for (int i = 0; i < 23; ++i) feed(h.flat());
    EXPECT_TRUE(h.clips.clips.empty());
    feed(h.flat());
    ASSERT_EQ(h.clips.clips.size(), 1u);
    EXPECT_EQ(h.indicators.all.back().colour, StateColour::White);

    const auto& clip = h.clips.clips[0];
    EXPECT_FALSE(clip.job.ringNotWrapped);
    ASSERT_EQ(clip.frames.size(), 35u);
    EXPECT_EQ(clip.job.frameRate, 25);
    EXPECT_EQ(clip.job.width, 32);
    for (int i = 0; i < 35; ++i) {
        EXPECT_EQ(clip.frames[static_cast<std::size_t>(i)], fed[static_cast<std::size_t>(declaringIndex - 10 + i)]) << i;
    }
    const std::string night = h.station.str() + "/20240812";
    EXPECT_EQ(clip.job.path, night + "/" + formatDateTime("hhnnss_zzz", declaring));
    EXPECT_TRUE(std::filesystem::is_directory(night));
}

TEST(Detector, PartialRingGivesOnlyTheFramesStoredSinceStart) {
    DetectorHarness h;
    h.start();
    // Frames told apart by one marker pixel, too small to be a signal.
    auto marked = [&](int i) {
        Frame f = h.flat();
        f[5] = static_cast<uint8_t>(21 + i);
        return f;
    };
    std::vector<Frame> fed = {marked(0), marked(1), h.blob(4, 4), h.blob(10, 8), h.blob(16, 12)};
    for (int i = 0; i < 24; ++i) fed.push_back(marked(2 + i));
    for (const auto& f : fed) h.feed(f);
    ASSERT_EQ(h.clips.clips.size(), 1u);
    const auto& clip = h.clips.clips[0];
    EXPECT_TRUE(clip.job.ringNotWrapped);
    EXPECT_EQ(clip.job.firstValidFrame, 6);  // 4 pre-event frames of 10 slots
    for (std::size_t i = 0; i < 29; ++i) EXPECT_EQ(clip.frames[6 + i], fed[i]) << i;

    // The first frame after an event is never tested.
    h.feed(h.blob(20, 10));
    EXPECT_EQ(h.detector.runCount(), 0);
    h.feed(h.blob(26, 16));
    EXPECT_EQ(h.detector.runCount(), 1);
}

TEST(Detector, BurstsOfEventsRaiseTheThresholdAndTenQuietMinutesLowerIt) {
    DetectorHarness h;
    TDetectorSettings s;
    s.nFramesBeforeEvent = 1;
    s.nFramesAfterEvent = 0;
    s.nSignalFrames = 1;
    s.nNoisePixels = 1000000;  // noise level 0: the raise alone is the threshold
    h.start(s, {}, 16, 16);
    auto event = [&] {
        h.feed(h.flat(0), 500);
        h.feed(h.blob(8, 8, 255, 0), 500);
    };
    event();  // not quick: the first event of the session
    for (int k = 1; k <= 3; ++k) event();
    EXPECT_EQ(h.detector.thresholdRaise(), 0);
    EXPECT_EQ(h.detector.quickEventCount(), 3);
    event();  // the fourth quick event
    EXPECT_EQ(h.detector.thresholdRaise(), 1);
    for (int k = 0; k < 3; ++k) event();
    EXPECT_EQ(h.detector.thresholdRaise(), 1);
    event();
    EXPECT_EQ(h.detector.thresholdRaise(), 2);
    for (int k = 0; k < 4 * 260; ++k) event();
    EXPECT_EQ(h.detector.thresholdRaise(), 255);  // saturates, never wraps to 0
    EXPECT_EQ(h.clips.clips.size(), 9u + 4 * 260);

    h.clock.advance(600000 - 500);  // the last event was 500 ms ago
    h.feed(h.flat(0), 0);
    EXPECT_EQ(h.detector.thresholdRaise(), 255);  // exactly ten minutes: not yet
    h.clock.advance(1);
    h.feed(h.flat(0));
    EXPECT_EQ(h.detector.thresholdRaise(), 0);
    EXPECT_EQ(h.detector.quickEventCount(), 0);
}

TEST(Detector, PreviewShowsIndicatorsButNeverRecordsOrShutsDown) {
    DetectorHarness h;
    TDetectorSettings s;
    s.useAutoShutDown = true;
    s.autoShutDownLevel = 100;
    h.start(s, {.detect = true, .preview = true});
    for (int i = 0; i < 60; ++i) h.feed(i % 2 ? h.blob(4 + i % 20, 10, 250, 200) : h.flat(200));
    EXPECT_EQ(h.indicators.all.size(), 60u);
    EXPECT_EQ(h.indicators.all.back().level, 200);
    EXPECT_TRUE(h.clips.clips.empty());
    EXPECT_EQ(h.shutdowns, 0);

    DetectorHarness off;
    off.start({}, {.detect = false, .preview = false});
    off.feed(off.flat());
    EXPECT_TRUE(off.indicators.all.empty());
}

TEST(Detector, ShutdownIsRequestedFromTheLevelOnEveryBrightFrame) {
    DetectorHarness h;
    TDetectorSettings s;
    s.useAutoShutDown = true;
    s.autoShutDownLevel = 180;
    h.start(s);
    h.feed(h.flat(179));
    EXPECT_EQ(h.shutdowns, 0);
    h.feed(h.flat(180));
    h.feed(h.flat(181));
    EXPECT_EQ(h.shutdowns, 2);
}

TEST(Detector, LumaOfEveryCaptureFormatEndsUpBottomRowFirst) {
    test::SyntheticSky sky(24, 10, 9);
    const Frame luma = sky.frame(0);
    struct Case {
        int bits;
        const char* name;
        std::vector<uint8_t> delivered;
    };
    const std::vector<Case> cases = {{16, "YUY2", test::packYuv16(luma, 24, 10, 0)},
                                     {16, "UYVY", test::packYuv16(luma, 24, 10, 1)},
                                     {24, "RGB24", test::packRgb(luma, 3)},
                                     {32, "RGB32", test::packRgb(luma, 4)},
                                     {8, "GREY", luma}};
    for (const auto& c : cases) {
        DetectorHarness h;
        h.detector.startSession(geometryForFormat(c.bits, c.name, 24, 10, 25), {}, {}, h.station.str());
        h.feed(c.delivered);
        const auto cur = h.detector.currentLuma();
        EXPECT_TRUE(std::equal(cur.begin(), cur.end(), luma.begin())) << c.name;
        // A frame shorter than the format needs is ignored.
        h.detector.GrabRecord(std::span(c.delivered).first(c.delivered.size() - 1));
        EXPECT_EQ(h.indicators.all.size(), 1u) << c.name;
    }
}

TEST(Detector, DarkAndMaskFramesApplyAndMismatchesAreRefused) {
    DetectorHarness h;
    Frame dark(32 * 24, 5);
    Frame mask(32 * 24, 255);
    mask[0] = 0;
    mask[1] = 0x0F;
    saveGreyBitmap(dark, 32, 24, (h.station / "darkFrame.bmp").string());
    saveGreyBitmap(mask, 32, 24, (h.station / "mask.bmp").string());
    TDetectorSettings s;
    s.useDarkFile = true;
    s.useMaskFile = true;
    s.maskFrame = "mask.bmp";
    h.start(s);
    EXPECT_TRUE(h.detector.hasDarkFrame());
    EXPECT_TRUE(h.detector.hasMaskFrame());
    h.feed(h.flat(0x37));
    EXPECT_EQ(h.indicators.all.back().level, 0x37);  // the level is the raw luma
    const auto cur = h.detector.currentLuma();
    EXPECT_EQ(cur[0], 0);
    EXPECT_EQ(cur[1], 0x32 & 0x0F);
    EXPECT_EQ(cur[2], 0x32);

    saveGreyBitmap(Frame(30 * 24, 0), 30, 24, (h.station / "darkFrame.bmp").string());
    try {
        h.start(s);
        ADD_FAILURE() << "a dark frame of another size was accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::DarkFrameSizeMismatch);
        EXPECT_EQ(e.diagnostic().value("size"), "30x24");
        EXPECT_EQ(e.diagnostic().value("frameSize"), "32x24");
    }
    TBitmap colour;
    colour.width = 32;
    colour.height = 24;
    colour.bitsPerPixel = 24;
    colour.pixels.assign(32 * 24 * 3, 0);
    saveBitmap(colour, (h.station / "darkFrame.bmp").string());
    EXPECT_THROW(h.start(s), EInvalidGraphic);

    std::filesystem::remove(h.station / "darkFrame.bmp");
    h.start(s);  // a missing dark frame is simply not used
    EXPECT_FALSE(h.detector.hasDarkFrame());
    s.darkFrame = "";  // nor is the program directory an empty setting names
    h.start(s);
    EXPECT_FALSE(h.detector.hasDarkFrame());
}

TEST(Detector, StopDropsAnEventStillCollectingAndBadSettingsAreRefused) {
    DetectorHarness h;
    h.start();
    for (int i = 0; i < 12; ++i) h.feed(h.flat());
    h.feed(h.blob(4, 4));
    h.feed(h.blob(10, 8));
    h.feed(h.blob(16, 12));
    EXPECT_FALSE(h.detector.waiting());
    h.detector.stopSession();
    h.feed(h.flat());
    EXPECT_TRUE(h.clips.clips.empty());
    EXPECT_TRUE(h.detector.waiting());

    const auto refusal = [&](const TDetectorSettings& settings) {
        try {
            h.start(settings);
        } catch (const Exception& e) {
            return e.diagnostic().code();
        }
        return Code::Unworded;
    };
    TDetectorSettings s;
    s.nFramesBeforeEvent = 0;
    EXPECT_EQ(refusal(s), Code::FramesBeforeEventTooFew);
    s = {};
    s.nSignalFrames = 0;
    EXPECT_EQ(refusal(s), Code::SignalFramesTooFew);
    s = {};
    s.nFramesAfterEvent = -1;
    EXPECT_EQ(refusal(s), Code::FramesAfterEventNegative);
}

TEST(Detector, LatestIndicatorsKeepsTheLastFrameInOneWord) {
    LatestIndicators latest;
    EXPECT_FALSE(latest.latest().has_value());
    latest.publish({200, 50, 255, 414720, StateColour::Red});
    const auto got = latest.latest();
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->level, 200);
    EXPECT_EQ(got->noise, 50);
    EXPECT_EQ(got->raise, 255);
    EXPECT_EQ(got->noisePixels, 414720u);
    EXPECT_EQ(got->colour, StateColour::Red);
}

TEST(Detector, ANightDirectoryThatCannotBeMadeStillHandsTheEventOverAndCountsTheFailure) {
    DetectorHarness h;
    // A plain file where the night's directory should go.
    writeFileAtomically(h.station / "20240812", "not a folder");
    h.start();
    for (int i = 0; i < 12; ++i) h.feed(h.flat());
    h.feed(h.blob(4, 4));
    h.feed(h.blob(10, 8));
    h.feed(h.blob(16, 12));
    EXPECT_FALSE(h.detector.waiting());  // declared though the folder could not be made
    for (int i = 0; i < 40; ++i) h.feed(h.flat());
    ASSERT_EQ(h.clips.clips.size(), 1u);  // handed over: the writer reports the file it cannot create
    EXPECT_EQ(h.detector.failedFrames(), 3);
    EXPECT_EQ(h.indicators.all.size(), 55u);  // every frame still shows its indicators
    h.start();
    EXPECT_EQ(h.detector.failedFrames(), 0);  // counted per session
}

TEST(Detector, SessionsWithoutPixelsOrWithAnEndlessRingAreRefused) {
    DetectorHarness h;
    TDetectorSettings s;
    s.nFramesBeforeEvent = 2147483647;
    try {
        h.start(s);
        ADD_FAILURE() << "an endless ring was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::EventRingTooLong);
        EXPECT_EQ(e.diagnostic().value("limit"), std::to_string(kMaxRingFrames - 1));
    }
    s.nFramesBeforeEvent = 10;
    TCaptureGeometry none = geometryForFormat(8, "GREY", 32, 24, 25);
    none.width = 0;
    EXPECT_THROW(h.detector.startSession(none, s, {}, h.station.str()), Exception);
    EXPECT_FALSE(h.detector.sessionRunning());
}

}  // namespace
}  // namespace orbis
