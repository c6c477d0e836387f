// The detector's pixel operations against plain per-pixel versions on random
// frames of random sizes (rows of 1, 2 and 3 pixels and frames of fewer than
// three rows included), and the rules the detector depends on.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "capture/uPixelOps.h"

namespace orbis {
namespace {

using Bytes = std::vector<uint8_t>;

// Plain versions, written straight from the rules.
void plainMarkBright(const Bytes& src, Bytes& dst, std::size_t w, int threshold) {
    const std::size_t n = src.size();
    for (std::size_t p = w + 1; p + w + 1 < n; ++p) {
        if (src[p] <= threshold) continue;
        for (long dy : {-1L, 0L, 1L})
            for (long dx : {-1L, 0L, 1L}) dst[static_cast<std::size_t>(static_cast<long>(p) + dy * static_cast<long>(w) + dx)] = 255;
    }
}

uint32_t plainCountSignal(const Bytes& b, std::size_t w, int minimum, int threshold) {
    uint32_t signal = 0;
    const std::size_t n = b.size();
    for (std::size_t p = w + 1; p + w + 1 < n; ++p) {
        if (b[p] < threshold) continue;
        int count = 0;
        for (long dy : {-1L, 0L, 1L})
            for (long dx : {-1L, 0L, 1L})
                count += b[static_cast<std::size_t>(static_cast<long>(p) + dy * static_cast<long>(w) + dx)] >= threshold;
        if (count >= minimum) ++signal;
    }
    return signal;
}

int plainDiffHistogram(Bytes& cur, const Bytes& ref, std::vector<uint32_t>& hist, uint32_t limit) {
    for (std::size_t i = 0; i < cur.size(); ++i) {
        cur[i] = static_cast<uint8_t>(std::max(cur[i] - ref[i], 0));
        ++hist[cur[i]];
    }
    for (int k = 0; k < 50; ++k)
        if (hist[static_cast<std::size_t>(k)] < limit) return k;
    return 50;
}

// Frames that look like night sky: mostly dark, some bright, some saturated.
Bytes randomFrame(std::mt19937& rng, std::size_t n) {
    Bytes f(n);
    std::uniform_int_distribution<int> kind(0, 99), dark(0, 40), any(0, 255);
    for (auto& p : f) {
        const int k = kind(rng);
        p = static_cast<uint8_t>(k < 90 ? dark(rng) : k < 98 ? any(rng) : 255);
    }
    return f;
}

TEST(PixelOps, FastVersionsMatchPlainOnRandomFrames) {
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> side(1, 90), thr(-3, 300), minimum(0, 10), limit(0, 400);
    for (int trial = 0; trial < 400; ++trial) {
        const std::size_t w = static_cast<std::size_t>(side(rng)), h = static_cast<std::size_t>(side(rng));
        const Bytes src = randomFrame(rng, w * h);
        const Bytes ref = randomFrame(rng, w * h);
        const int t = thr(rng);

        Bytes fast = ref, plain = ref;
        MarkBright(src.data(), fast.data(), src.size(), w, t);
        plainMarkBright(src, plain, w, t);
        ASSERT_EQ(fast, plain) << w << "x" << h << " threshold " << t;

        const int m = minimum(rng);
        ASSERT_EQ(CountSignal(src.data(), src.size(), w, m, t), plainCountSignal(src, w, m, t))
            << w << "x" << h << " minimum " << m << " threshold " << t;

        Bytes curFast = src, curPlain = src;
        std::vector<uint32_t> histFast(256, 3), histPlain(256, 3);  // added to, not cleared
        const auto lim = static_cast<uint32_t>(limit(rng));
        ASSERT_EQ(DiffHistogram(curFast.data(), ref.data(), histFast.data(), src.size(), lim),
                  plainDiffHistogram(curPlain, ref, histPlain, lim));
        ASSERT_EQ(curFast, curPlain);
        ASSERT_EQ(histFast, histPlain);
    }
}

TEST(PixelOps, ExtractLumaTakesTheLumaByteOfEveryStep) {
    std::mt19937 rng(5);
    for (int step = 1; step <= 4; ++step) {
        for (int offset = 0; offset < step; ++offset) {
            const std::size_t n = 70001;  // spans more than one partial-sum block
            Bytes src(n * static_cast<std::size_t>(step));
            for (auto& b : src) b = static_cast<uint8_t>(rng());
            Bytes dst(n);
            uint64_t expected = 0;
            for (std::size_t i = 0; i < n; ++i) expected += src[offset + i * static_cast<std::size_t>(step)];
            ASSERT_EQ(ExtractLuma(src.data(), dst.data(), n, step, offset), expected);
            for (std::size_t i = 0; i < n; i += 997) ASSERT_EQ(dst[i], src[offset + i * static_cast<std::size_t>(step)]);
        }
    }
}

TEST(PixelOps, FlipSubtractAndMask) {
    Bytes b = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    FlipRows(b.data(), 3, 3);
    EXPECT_EQ(b, (Bytes{7, 8, 9, 4, 5, 6, 1, 2, 3}));
    Bytes even = {1, 2, 3, 4};
    FlipRows(even.data(), 1, 4);
    EXPECT_EQ(even, (Bytes{4, 3, 2, 1}));

    Bytes v = {10, 5, 255, 0};
    SubtractClamped(v.data(), Bytes{3, 9, 255, 1}.data(), 4);
    EXPECT_EQ(v, (Bytes{7, 0, 0, 0}));
    Bytes m = {0xFF, 0xAB, 0x0F, 0x80};
    AndMask(m.data(), Bytes{0xFF, 0x00, 0x3C, 0x80}.data(), 4);
    EXPECT_EQ(m, (Bytes{0xFF, 0x00, 0x0C, 0x80}));
}

TEST(PixelOps, SignalNeedsEnoughBrightNeighboursInOneBlock) {
    const std::size_t w = 8, h = 8;
    Bytes b(w * h, 0);
    b[3 * w + 3] = 100;  // a lone bright pixel
    EXPECT_EQ(CountSignal(b.data(), b.size(), w, 1, 50), 1u);
    EXPECT_EQ(CountSignal(b.data(), b.size(), w, 3, 50), 0u);
    b[3 * w + 4] = 100;
    b[3 * w + 5] = 100;  // three in a row: the middle one sees 3, the ends see 2
    EXPECT_EQ(CountSignal(b.data(), b.size(), w, 3, 50), 1u);
    b[4 * w + 4] = 100;  // now every pixel of the group sees at least 3
    EXPECT_EQ(CountSignal(b.data(), b.size(), w, 3, 50), 4u);
    EXPECT_EQ(CountSignal(b.data(), b.size(), w, 3, 101), 0u);  // threshold above every value
    EXPECT_EQ(CountSignal(b.data(), b.size(), w, 3, 256), 0u);
}

TEST(PixelOps, NoiseLevelIsTheFirstThinBinCappedAtFifty) {
    const std::size_t n = 64 * 64;
    Bytes zero(n, 0);
    Bytes same(n, 0);
    std::vector<uint32_t> hist(256, 0);
    EXPECT_EQ(DiffHistogram(same.data(), zero.data(), hist.data(), n, 100), 1);  // everything in bin 0
    EXPECT_EQ(hist[0], n);

    Bytes spread(n);
    for (std::size_t i = 0; i < n; ++i) spread[i] = static_cast<uint8_t>(i % 60);  // ~68 pixels in each of 60 bins
    std::fill(hist.begin(), hist.end(), 0);
    EXPECT_EQ(DiffHistogram(spread.data(), zero.data(), hist.data(), n, 50), 50);
}

TEST(PixelOps, MarkBrightBlotsTheNeighbourhoodAndNothingAtFullThreshold) {
    const std::size_t w = 6;
    Bytes src(w * 5, 10);
    src[2 * w + 0] = 200;  // first pixel of a row: its block runs into the row above's end
    Bytes dst(src.size(), 0);
    MarkBright(src.data(), dst.data(), src.size(), w, 255);
    EXPECT_EQ(dst, Bytes(src.size(), 0));
    MarkBright(src.data(), dst.data(), src.size(), w, 199);
    const std::size_t p = 2 * w;
    for (std::size_t q : {p - w - 1, p - w, p - w + 1, p - 1, p, p + 1, p + w - 1, p + w, p + w + 1}) EXPECT_EQ(dst[q], 255);
    EXPECT_EQ(std::count(dst.begin(), dst.end(), 255), 9);
}

}  // namespace
}  // namespace orbis
