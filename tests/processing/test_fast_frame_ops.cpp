// The image operations of the stages against their plain versions
// (PlainFrameOps.h), byte for byte, and the integer means against the
// double division they replace.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "PlainFrameOps.h"
#include "processing/uFrameOps.h"
#include "processing/uRoundedMean.h"

namespace orbis {
namespace {

using Bytes = std::vector<uint8_t>;

uint8_t doubleMean(uint64_t sum, uint64_t count) {
    return static_cast<uint8_t>(std::nearbyint(static_cast<double>(sum) / static_cast<double>(count)));
}

TEST(RoundedMean, EqualsTheDoubleDivisionForEverySumOfEveryCountUpTo400) {
    // Every window of the stages (radius 3: 1 to 7 rows by 1 to 7 columns),
    // every count a 16-bit (1 to 92) or 32-bit (1 to 137) multiplier serves
    // densely, then counts that divide one sum at a time; sums of 16 bits up
    // to 257.
    int multiplied = 0, narrow = 0;
    for (uint32_t count = 1; count <= 400; ++count) {
        std::vector<uint32_t> sums(255 * count + 1);
        for (uint32_t s = 0; s < sums.size(); ++s) sums[s] = s;
        Bytes out(sums.size()), outNarrow(sums.size());
        const TRoundedMean mean(count);
        multiplied += mean.multiplies() ? 1 : 0;
        narrow += mean.multipliesNarrow() ? 1 : 0;
        mean.divide(sums, out);
        if (sums.size() <= 0x10000) {
            const std::vector<uint16_t> narrowSums(sums.begin(), sums.end());
            mean.divide(narrowSums, outNarrow);
        }
        for (uint32_t s = 0; s < sums.size(); ++s) {
            const uint8_t expected = doubleMean(s, count);
            ASSERT_EQ(out[s], expected) << s << " / " << count;
            ASSERT_EQ(roundedMean(s, count), expected) << s << " / " << count;
            if (sums.size() <= 0x10000) {
                ASSERT_EQ(outNarrow[s], expected) << s << " / " << count << " in 16 bits";
            }
        }
    }
    EXPECT_GE(multiplied, 137);
    EXPECT_GE(narrow, 92);
    for (const uint32_t count : {16u, 20u, 24u, 28u, 25u, 30u, 35u, 36u, 42u, 49u}) EXPECT_TRUE(TRoundedMean(count).multipliesNarrow()) << count;
}

TEST(RoundedMean, EqualsTheDoubleDivisionAtHalvesAndEndsOfLargeCounts) {
    std::mt19937_64 rng(5);
    std::vector<uint64_t> counts{1u << 20, 1u << 23, (1u << 23) + 1, 8404992, 0xFFFFFFFFu / 511, 0xFFFFFFFFu};
    for (int i = 0; i < 400; ++i) counts.push_back(401 + rng() % (uint64_t{1} << (10 + i % 33)));
    for (const uint64_t count : counts) {
        std::vector<uint64_t> sums{0, 1, count - 1, count, 255 * count, 255 * count - 1, 255 * count - count / 2};
        for (int k = 0; k < 40; ++k) {
            const uint64_t base = count * (rng() % 255);
            const uint64_t half = base + count / 2;  // an exact half when count is even
            for (const uint64_t s : {half - 1, half, half + 1, base + rng() % count}) sums.push_back(s);
        }
        const bool fits = count <= 0xFFFFFFFFu;
        std::vector<uint32_t> narrow;
        for (const uint64_t s : sums) {
            ASSERT_EQ(roundedMean(s, count), doubleMean(s, count)) << s << " / " << count;
            if (fits && s <= 0xFFFFFFFFu) narrow.push_back(static_cast<uint32_t>(s));
        }
        if (!fits) continue;
        Bytes out(narrow.size());
        TRoundedMean(static_cast<uint32_t>(count)).divide(narrow, out);
        for (std::size_t i = 0; i < narrow.size(); ++i) ASSERT_EQ(out[i], doubleMean(narrow[i], count)) << narrow[i] << " / " << count;
    }
}

// Contents that reach the ends of the sums and their exact halves.
Bytes contents(std::mt19937& rng, std::size_t n, int kind) {
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes b(n);
    for (auto& p : b) {
        switch (kind % 5) {
            case 0: p = 0; break;
            case 1: p = 255; break;
            case 2: p = static_cast<uint8_t>(byte(rng)); break;
            case 3: p = static_cast<uint8_t>(100 + byte(rng) % 2); break;  // means of x.5
            default: p = byte(rng) % 3 == 0 ? 255 : 0; break;
        }
    }
    return b;
}

TEST(FastFrameOps, BoxMeanMatchesThePlainOneForAnySizeAndRadius) {
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> side(1, 45), small(1, 3), coin(0, 3);
    for (int trial = 0; trial < 2000; ++trial) {
        int w = coin(rng) == 0 ? small(rng) : side(rng);
        const int h = coin(rng) == 0 ? small(rng) : side(rng);
        // Radii of the stages, and up to three times the frame.
        int r = coin(rng) < 2 ? trial % 5 : static_cast<int>(rng() % static_cast<unsigned>(3 * std::max(w, h) + 2));
        if (trial % 10 == 9) {
            // Windows of 61 to 81 columns whole across wider frames.
            r = 30 + trial % 11;
            w = 2 * r + 1 + static_cast<int>(rng() % 60);
        }
        Bytes fast = contents(rng, static_cast<std::size_t>(w * h), trial);
        Bytes expected = fast;
        plain::boxMean(w, h, r, expected);
        boxMean(w, h, r, fast);
        ASSERT_EQ(fast, expected) << w << "x" << h << " r " << r << " kind " << trial % 5;
    }
}

TEST(FastFrameOps, BoxMeanKeepsTheBytesBeyondThePicture) {
    Bytes longer{10, 20, 30, 40, 7, 9};  // a 2 x 2 picture and two more bytes
    boxMean(2, 2, 1, longer);
    EXPECT_EQ(longer, (Bytes{25, 25, 25, 25, 7, 9}));
    Bytes shorter{10, 20, 30};  // no 2 x 2 picture: left as it is
    boxMean(2, 2, 1, shorter);
    EXPECT_EQ(shorter, (Bytes{10, 20, 30}));
}

TEST(FastFrameOps, BoxMeanOfWhiteFramesWhoseSumsPass32Bits) {
    struct Case {
        int w, h, r;
    };
    // Running sums along 2.5 million white columns of 7 rows wrap round 2^32
    // (their differences must not); white windows of 4104^2 pixels sum to
    // just below 2^32, of 4105^2 above it.
    for (const Case c : {Case{2500000, 7, 3}, Case{4104, 4104, 2052}, Case{4105, 4105, 2052}}) {
        Bytes fast(static_cast<std::size_t>(c.w) * static_cast<std::size_t>(c.h), 255);
        fast[12345] = 0;
        Bytes expected = fast;
        plain::boxMean(c.w, c.h, c.r, expected);
        boxMean(c.w, c.h, c.r, fast);
        ASSERT_EQ(fast, expected) << c.w << "x" << c.h;
    }
}

TEST(FastFrameOps, LevellingMatchesThePlainOneOnAFullFrame) {
    // The stages' frame size, a bright star field on a gradient.
    constexpr int w = 720, h = 576;
    std::mt19937 rng(3);
    Bytes frame(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = 20 + x / 30 + y / 40 + static_cast<int>(rng() % 12) + (rng() % 500 == 0 ? 200 : 0);
            frame[static_cast<std::size_t>(y * w + x)] = static_cast<uint8_t>(std::min(v, 255));
        }
    frame[0] = 0;  // a dead pixel stays 0
    Bytes expected = frame;
    plain::levelBackground(w, h, expected);
    levelBackground(w, h, frame);
    EXPECT_EQ(frame, expected);
}

TEST(FastFrameOps, ClipSubtractAndSumMatchThePlainOnes) {
    std::mt19937 rng(11);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int trial = 0; trial < 400; ++trial) {
        const std::size_t n = 1 + rng() % 300;
        const Bytes a = contents(rng, n, trial), b = contents(rng, n, trial / 5);
        // Factors that put hi on a byte (m 5k x 1.2), between bytes, below
        // every byte, above every byte, and nowhere.
        const double factors[] = {1.2, 1.0, 0.0, -1.0, 3.0, 1.0 / 3.0, nan};
        const double factor = factors[trial % 7];
        ASSERT_EQ(clipToMean(a, factor), plain::clipToMean(a, factor)) << "factor " << factor;

        Bytes fast = a, expected = a;
        const std::size_t shorter = n - rng() % n;  // backgrounds shorter than the frame too
        subtractBackground(std::span(b).first(shorter), fast);
        plain::subtractBackground(std::span(b).first(shorter), expected);
        ASSERT_EQ(fast, expected);

        // Frames of the event's size, and a shorter and a longer one; events
        // of more pixels than one block.
        const std::size_t pixels = trial % 3 == 0 ? 5000 + n : n;
        std::vector<TFrameBuffer> frames;
        for (std::size_t f = 0, count = rng() % 6; f < count; ++f)
            frames.push_back(contents(rng, f == 1 ? pixels / 2 : f == 2 ? pixels + 7 : pixels, trial + static_cast<int>(f)));
        const TFrameAccumulators fastSum = sumFrames(frames, pixels), plainSum = plain::sumFrames(frames, pixels);
        ASSERT_EQ(fastSum.sum, plainSum.sum);
        ASSERT_EQ(fastSum.maximum, plainSum.maximum);
        ASSERT_EQ(fastSum.frameCount, plainSum.frameCount);
    }
}

TEST(FastFrameOps, DistortionCorrectionMatchesThePlainOne) {
    std::mt19937 rng(19);
    std::uniform_real_distribution<double> small(-0.05, 0.05), strong(-30.0, 30.0);
    std::uniform_int_distribution<int> side(1, 40), margin(0, 4);
    for (int trial = 0; trial < 300; ++trial) {
        TDistortion d;
        d.addResultWidth = margin(rng);
        d.addResultHeight = margin(rng);
        for (std::size_t i = 0; i < d.coefX.size(); ++i) {
            // Gentle, strong enough to take sources outside the frame, and
            // without a finite source at all.
            d.coefX[i] += trial % 3 == 1 ? strong(rng) : small(rng);
            d.coefY[i] += trial % 3 == 1 ? strong(rng) : small(rng);
        }
        if (trial % 25 == 0) d.coefX[0] = std::numeric_limits<double>::infinity();
        const int W = side(rng) + 2 * d.addResultWidth, H = side(rng) + 2 * d.addResultHeight;
        std::size_t inputs = static_cast<std::size_t>(W - 2 * d.addResultWidth) * static_cast<std::size_t>(H - 2 * d.addResultHeight);
        if (trial % 4 == 3) inputs = rng() % (2 * inputs + 2);  // a picture cut short, or trailing bytes
        Bytes background = contents(rng, inputs, 2), result = contents(rng, inputs, 2);
        Bytes plainBackground = background, plainResult = result, single = background;
        plain::correctDistortion(W, H, plainBackground, d);
        plain::correctDistortion(W, H, plainResult, d);
        correctDistortion(W, H, single, d);
        ASSERT_EQ(single, plainBackground) << W << "x" << H;
        std::vector<uint8_t>* both[] = {&background, &result};
        correctDistortion(W, H, both, d);
        ASSERT_EQ(background, plainBackground) << W << "x" << H;
        ASSERT_EQ(result, plainResult) << W << "x" << H;
    }
}

}  // namespace
}  // namespace orbis
