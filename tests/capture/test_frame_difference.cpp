// The detector's single pass against the plain steps it replaces (luma,
// flip, dark, mask, MarkBright's reference, DiffHistogram) on random frames:
// noise levels inside and far beyond the counting window and at the cap of
// 50, every limit from 0 up, bright pixels on the frame's edges, rows wider
// than a byte counter's 255 blocks, saturated rows, and every step.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "capture/uFrameDifference.h"
#include "capture/uPixelOps.h"

namespace orbis {
namespace {

using Bytes = std::vector<uint8_t>;

struct Case {
    std::size_t w = 0, h = 0;
    int step = 1, offset = 0;
    bool reverse = false;
    Bytes delivered, dark, mask, previous;
    int threshold = 255;
    uint32_t limit = 0;
};

// A sky level with noise of the given spread, and bright pixels placed on
// the frame's edges as often as inside it.
Bytes noisyLuma(std::mt19937& rng, std::size_t w, std::size_t h, int spread) {
    Bytes f(w * h);
    std::uniform_int_distribution<int> noise(-spread, spread);
    for (auto& p : f) p = static_cast<uint8_t>(std::clamp(40 + noise(rng), 0, 255));
    const std::size_t edges[] = {0, w - 1, w, 2 * w - 1, w + 1, (h - 1) * w - 1, (h - 2) * w, (h - 1) * w};
    for (int k = static_cast<int>(rng() % 12); k > 0; --k) {
        const std::size_t at = rng() % 2 ? edges[rng() % 8] : rng() % f.size();
        if (at < f.size()) f[at] = static_cast<uint8_t>(150 + rng() % 106);
    }
    return f;
}

void checkAgainstPlain(const Case& c) {
    const std::size_t n = c.w * c.h;
    // The plain steps.
    Bytes cur(n), ref = c.previous;
    const uint64_t sum = ExtractLuma(c.delivered.data(), cur.data(), n, c.step, c.offset);
    if (c.reverse) FlipRows(cur.data(), c.w, c.h);
    if (!c.dark.empty()) SubtractClamped(cur.data(), c.dark.data(), n);
    if (!c.mask.empty()) AndMask(cur.data(), c.mask.data(), n);
    MarkBright(c.previous.data(), ref.data(), n, c.w, c.threshold);
    Bytes diff = cur;
    std::vector<uint32_t> histogram(256, 0);
    const int noise = DiffHistogram(diff.data(), ref.data(), histogram.data(), n, c.limit);

    Bytes previousRowMax(c.h);
    for (std::size_t r = 0; r < c.h; ++r)
        previousRowMax[r] = *std::max_element(c.previous.begin() + static_cast<long>(r * c.w),
                                              c.previous.begin() + static_cast<long>((r + 1) * c.w));
    Bytes luma(n), difference(n), lumaRowMax(c.h), differenceRowMax(c.h);
    const TLumaSource source{c.delivered.data(), c.step, c.offset, c.reverse,
                             c.dark.empty() ? nullptr : c.dark.data(), c.mask.empty() ? nullptr : c.mask.data()};
    const TDifferenceSummary got =
        DifferenceFrame(source, c.w, c.h, {c.previous.data(), previousRowMax.data(), c.threshold}, c.limit,
                        {luma.data(), lumaRowMax.data(), difference.data(), differenceRowMax.data()});

    ASSERT_EQ(got.lumaSum, sum);
    ASSERT_EQ(luma, cur);
    ASSERT_EQ(difference, diff);
    ASSERT_EQ(got.noise, noise);
    ASSERT_EQ(got.noisePixels, histogram[static_cast<std::size_t>(noise)]);
    for (std::size_t r = 0; r < c.h; ++r) {
        const auto row = [&](const Bytes& b) {
            return *std::max_element(b.begin() + static_cast<long>(r * c.w), b.begin() + static_cast<long>((r + 1) * c.w));
        };
        ASSERT_EQ(lumaRowMax[r], row(cur)) << "row " << r;
        ASSERT_GE(differenceRowMax[r], row(diff)) << "row " << r;
    }

    std::vector<uint32_t> full(256);
    ByteHistogram(difference.data(), n, full.data());
    ASSERT_EQ(full, histogram);
    for (const int t : {0, 1, noise, noise + 3, 255, 256}) {
        ASSERT_EQ(CountSignalInRows(difference.data(), c.w, c.h, differenceRowMax.data(), 3, t),
                  CountSignal(difference.data(), n, c.w, 3, t))
            << "threshold " << t;
    }
}

TEST(FrameDifference, MatchesThePlainStepsOnRandomFrames) {
    std::mt19937 rng(77);
    std::vector<int> noiseSeen(51, 0);
    for (int trial = 0; trial < 300; ++trial) {
        Case c;
        const bool tiny = trial % 10 == 9;
        // Some rows wider than 255 blocks of 16 pixels.
        c.w = tiny ? 1 + rng() % 4 : trial % 25 == 0 ? 4100 + rng() % 40 : 3 + rng() % 120;
        c.h = tiny ? 1 + rng() % 4 : trial % 25 == 0 ? 3 + rng() % 4 : 3 + rng() % 60;
        const std::size_t n = c.w * c.h;
        c.step = 1 + static_cast<int>(rng() % 5);
        c.offset = static_cast<int>(rng() % static_cast<unsigned>(c.step));
        c.reverse = rng() % 2 == 0;
        // Spreads from none to the whole byte: noise levels from 0 to the cap.
        const int spread = std::array{0, 2, 6, 15, 40, 120, 255}[rng() % 7];
        const Bytes current = noisyLuma(rng, c.w, c.h, spread);
        c.previous = noisyLuma(rng, c.w, c.h, spread);
        c.delivered.assign(n * static_cast<std::size_t>(c.step), 0);
        for (std::size_t i = 0; i < n; ++i) c.delivered[i * static_cast<std::size_t>(c.step) + static_cast<std::size_t>(c.offset)] = current[i];
        if (rng() % 4 == 0) {
            c.dark.resize(n);
            for (auto& v : c.dark) v = static_cast<uint8_t>(rng() % 12);
        }
        if (rng() % 4 == 0) {
            c.mask.resize(n);
            for (auto& v : c.mask) v = rng() % 8 == 0 ? 0 : 0xFF;
        }
        c.threshold = std::array{-1, 0, 60, 100, 149, 200, 254, 255, 400}[rng() % 9];
        c.limit = std::array<uint32_t, 6>{0, 1, 3, static_cast<uint32_t>(n / 200), static_cast<uint32_t>(n / 20),
                                          static_cast<uint32_t>(n + 1)}[rng() % 6];
        SCOPED_TRACE(::testing::Message() << "trial " << trial << ": " << c.w << "x" << c.h << " step " << c.step
                                          << " spread " << spread << " threshold " << c.threshold << " limit "
                                          << c.limit);
        checkAgainstPlain(c);
        if (HasFatalFailure()) return;

        std::vector<uint32_t> h(256);
        Bytes d(n);
        for (std::size_t i = 0; i < n; ++i) d[i] = static_cast<uint8_t>(std::max(0, current[i] - c.previous[i]));
        ByteHistogram(d.data(), n, h.data());
        int k = 0;
        while (k < 50 && h[static_cast<std::size_t>(k)] >= c.limit) ++k;
        ++noiseSeen[static_cast<std::size_t>(k)];
    }
    // The cases did reach beyond the window, and the cap.
    EXPECT_GT(std::count_if(noiseSeen.begin() + 3, noiseSeen.begin() + 50, [](int s) { return s > 0; }), 8);
    EXPECT_GT(noiseSeen[50], 10);
}

// One-byte pixels are summed in 16-bit vector lanes that must be emptied
// before they overflow: a frame near saturation, with rows of thousands of
// pixels that end part-way through a vector, and bright spots everywhere
// to blot.
TEST(FrameDifference, SaturatedWideGreyRowsAreSummedAndBlottedExactly) {
    std::mt19937 rng(5);
    for (const std::size_t w : {4096, 4097, 8191, 8192 + 45, 33 * 129}) {
        Case c;
        c.w = w, c.h = 5;
        const std::size_t n = c.w * c.h;
        c.delivered.resize(n), c.previous.resize(n);
        for (auto& v : c.delivered) v = static_cast<uint8_t>(255 - rng() % 3);
        for (auto& v : c.previous) v = static_cast<uint8_t>(rng() % 4 == 0 ? 255 : 240 + rng() % 10);
        if (w % 2 == 1) {
            c.dark.assign(n, 1);
            c.mask.assign(n, 0xFF);
            c.mask[n / 2] = 0;
        }
        c.threshold = w % 2 == 1 ? 250 : 0;
        c.limit = static_cast<uint32_t>(n / 50);
        SCOPED_TRACE(::testing::Message() << "width " << w);
        checkAgainstPlain(c);
    }
}

TEST(FrameDifference, ABrightPixelAtARowsEndBlotsTheRowsBeyondItsNeighbours) {
    // 4 x 5 frames: a pixel at the end of row 1 reaches the start of row 3
    // (its 3 x 3 block runs over the row's end), one at the start of row 3
    // reaches the end of row 1.
    const std::size_t w = 4, h = 5, n = w * h;
    for (const auto& [bright, reached] : {std::pair{2 * w - 1, 3 * w}, std::pair{3 * w, 2 * w - 1}}) {
        Bytes previous(n, 0), delivered(n, 90), rowMax(h, 0);
        previous[bright] = 200;
        rowMax[bright / w] = 200;
        Bytes luma(n), difference(n), lumaRowMax(h), differenceRowMax(h);
        const TDifferenceSummary got =
            DifferenceFrame({delivered.data()}, w, h, {previous.data(), rowMax.data(), 100}, 1,
                            {luma.data(), lumaRowMax.data(), difference.data(), differenceRowMax.data()});
        Bytes want(n, 90);
        for (const std::size_t q : {bright - w - 1, bright - w, bright - w + 1, bright - 1, bright, bright + 1,
                                    bright + w - 1, bright + w, bright + w + 1})
            want[q] = 0;
        EXPECT_EQ(difference, want) << "bright " << bright;
        EXPECT_EQ(difference[reached], 0) << "bright " << bright;
        EXPECT_EQ(got.noise, 1);  // bin 0 holds the nine blotted pixels, bin 1 none
        EXPECT_EQ(got.noisePixels, 0u);
    }
}

}  // namespace
}  // namespace orbis
