// The detector against its plain reference on random sessions: every
// format, frame sizes down to a pixel, dark and mask frames, preview, rings
// of every length and bursts of events, and noisy skies whose noise level
// lies far above the few bins a row counts, or at the cap of 50; in half the
// sessions the clips' buffers are taken from the detector, as the clip
// writers take them. Indicators, luma, reference, histogram and every clip's
// frames must be identical.

#include <gtest/gtest.h>

#include <random>

#include "DetectorHarness.h"
#include "PlainDetector.h"
#include "SyntheticSky.h"
#include "processing/uBitmap.h"

namespace orbis {
namespace {

struct Format {
    int bits;
    const char* name;
};

std::vector<uint8_t> deliver(const std::vector<uint8_t>& luma, int w, int h, const Format& f) {
    switch (f.bits) {
        case 16: return test::packYuv16(luma, w, h, std::string_view(f.name).starts_with("Y") ? 0 : 1);
        case 24: return test::packRgb(luma, 3);
        case 32: return test::packRgb(luma, 4);
        default: return luma;
    }
}

TEST(DetectorAgainstPlain, RandomSessionsGiveIdenticalIndicatorsFramesAndClips) {
    const Format formats[] = {{8, "GREY"}, {16, "YUY2"}, {16, "UYVY"}, {24, "RGB24"}, {32, "RGB32"}};
    std::mt19937 rng(2029);
    int clipsCompared = 0;
    int noisySessionsAtTheCap = 0;
    for (int session = 0; session < 48; ++session) {
        SCOPED_TRACE(session);
        const Format& format = formats[rng() % 5];
        const bool tiny = session % 8 == 7;
        const bool noisy = session >= 40;
        const int w = tiny ? 1 + static_cast<int>(rng() % 4) : 6 + static_cast<int>(rng() % 70);
        const int h = tiny ? 1 + static_cast<int>(rng() % 4) : 6 + static_cast<int>(rng() % 50);
        const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);

        TDetectorSettings s;
        s.nFramesBeforeEvent = 1 + static_cast<int>(rng() % 6);
        s.nFramesAfterEvent = static_cast<int>(rng() % 6);
        s.nSignalFrames = 1 + static_cast<int>(rng() % 3);
        s.nNoisePixels = static_cast<int>(rng() % (n / 4 + 2));
        s.nSignalPixels = 1 + static_cast<int>(rng() % 5);
        // Noisy skies: levels past the counting window, or every bin full.
        if (noisy) s.nNoisePixels = session % 2 == 0 ? 0 : 1 + static_cast<int>(rng() % 4);
        const bool preview = rng() % 10 == 0;

        test::DetectorHarness harness;
        harness.clips.take = session % 2 == 1;
        std::vector<uint8_t> dark, mask;
        if (rng() % 3 == 0) {
            dark.resize(n);
            for (auto& v : dark) v = static_cast<uint8_t>(rng() % 12);
            saveGreyBitmap(dark, w, h, (harness.station / "darkFrame.bmp").string());
            s.useDarkFile = true;
        }
        if (rng() % 3 == 0) {
            mask.resize(n);
            for (auto& v : mask) v = rng() % 10 == 0 ? 0 : rng() % 10 == 0 ? 0x0F : 0xFF;
            saveGreyBitmap(mask, w, h, (harness.station / "mask.bmp").string());
            s.useMaskFile = true;
            s.maskFrame = "mask.bmp";
        }
        const TCaptureGeometry g = geometryForFormat(format.bits, format.name, w, h, 25);
        harness.detector.startSession(g, s, {true, preview}, harness.station.str());
        test::PlainDetector plain(g, s, preview, dark, mask, harness.station.str());

        std::vector<std::vector<uint8_t>> lumas;
        if (tiny) {
            for (int i = 0; i < 60; ++i) {
                std::vector<uint8_t> f(n);
                for (auto& v : f) v = static_cast<uint8_t>(rng());
                lumas.push_back(std::move(f));
            }
        } else {
            const double sigma = noisy ? 10.0 + static_cast<double>(rng() % 30) : 0.5 + (rng() % 60) / 10.0;
            test::SyntheticSky sky(w, h, static_cast<uint32_t>(rng()), 10 + static_cast<int>(rng() % 180), sigma,
                                   static_cast<int>(rng() % 12));
            for (int m = static_cast<int>(rng() % 8); m > 0; --m) {
                const int first = static_cast<int>(rng() % 100);
                sky.addMeteor({first, first + 1 + static_cast<int>(rng() % 8), static_cast<double>(rng() % w),
                               static_cast<double>(rng() % h), static_cast<double>(rng() % 9) - 4,
                               static_cast<double>(rng() % 9) - 4, 60 + static_cast<int>(rng() % 196)});
            }
            for (int i = 0; i < 110; ++i) lumas.push_back(sky.frame(i));
        }
        for (std::size_t i = 0; i < lumas.size(); ++i) {
            SCOPED_TRACE(i);
            const std::vector<uint8_t> delivered = deliver(lumas[i], w, h, format);
            plain.grab(delivered, harness.clock.tick, harness.clock.now);
            // Events now and then in bursts (a frame period apart).
            harness.feed(delivered, rng() % 4 == 0 ? 40 : 1500);
            const auto& got = harness.indicators.all.back();
            const auto& want = plain.indicators.back();
            ASSERT_EQ(got.level, want.level);
            ASSERT_EQ(got.noise, want.noise);
            if (noisy && got.noise == 50) ++noisySessionsAtTheCap;
            ASSERT_EQ(got.raise, want.raise);
            ASSERT_EQ(got.noisePixels, want.noisePixels);
            ASSERT_EQ(got.colour, want.colour);
            const auto cur = harness.detector.currentLuma();
            ASSERT_TRUE(std::equal(cur.begin(), cur.end(), plain.cur.begin(), plain.cur.end()));
            const auto ref = harness.detector.referenceLuma();
            ASSERT_TRUE(std::equal(ref.begin(), ref.end(), plain.ref.begin(), plain.ref.end()));
            const auto histogram = harness.detector.histogram();
            ASSERT_TRUE(std::equal(histogram.begin(), histogram.end(), plain.histogram.begin()));
        }
        ASSERT_EQ(harness.clips.clips.size(), plain.clips.size());
        for (std::size_t c = 0; c < plain.clips.size(); ++c) {
            const auto& got = harness.clips.clips[c];
            const auto& want = plain.clips[c];
            EXPECT_EQ(got.job.path, want.path);
            EXPECT_EQ(got.job.firstValidFrame, want.firstValidFrame);
            EXPECT_EQ(got.job.ringNotWrapped, want.ringNotWrapped);
            EXPECT_TRUE(got.frames == want.frames) << "clip " << c;
            ++clipsCompared;
        }
    }
    EXPECT_GT(clipsCompared, 30);  // the sessions did declare events
    EXPECT_GT(noisySessionsAtTheCap, 0);
}

}  // namespace
}  // namespace orbis
