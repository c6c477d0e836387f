// Star detection: the fill and the sort against the plain algorithms on random
// input, and the star list files of composed frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>
#include <tuple>

#include "DiagnosticTesting.h"
#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/uUniUtils.h"
#include "astrometry/uStarDetection.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"

namespace orbis {
namespace {

using Bytes = std::vector<uint8_t>;
using Star = TStarPhotoDescription;

// The recursive fill, straight from the rules.
void recursiveFill(int t, int seed, int w, int n, Star& d, const Bytes& v, Bytes& visited) {
    auto col = [w](int i) { return i - w * (i / w); };
    int l = seed, r = seed;
    while (col(l) != 0 && v[l] >= t) --l;
    if (v[l] < t) ++l;
    while (col(r) != w - 1 && v[r] >= t) ++r;
    if (v[r] < t) --r;
    for (int i = l; i <= r; ++i) {
        visited[i] = 1, ++d.pixelCount, d.brightnessSum += v[i];
        if (i < d.minIndex) d.minIndex = i;
        if (i > d.maxIndex) d.maxIndex = i;
        if (col(i) < col(d.leftIndex)) d.leftIndex = i;
        if (col(i) > col(d.rightIndex)) d.rightIndex = i;
        if (v[i] > v[d.brightestIndex]) d.brightestIndex = i;
    }
    for (int i = l - w - 1; i <= r - w + 1; ++i)
        if (i >= 0 && v[i] >= t && !visited[i]) recursiveFill(t, i, w, n, d, v, visited);
    for (int i = l + w - 1; i <= r + w + 1; ++i)
        if (i < n && v[i] >= t && !visited[i]) recursiveFill(t, i, w, n, d, v, visited);
}

auto fields(const Star& d) {
    return std::tuple(d.startIndex, d.minIndex, d.leftIndex, d.rightIndex, d.maxIndex, d.brightestIndex, d.pixelCount,
                      d.brightnessSum);
}

TEST(StarDetection, FillMatchesRecursiveFillOnRandomBlobs) {
    std::mt19937 rng(7);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int trial = 0; trial < 400; ++trial) {
        const int w = trial < 90 ? 1 + trial % 3 : uniform(1, 48), h = uniform(1, 48), n = w * h;
        // Dark sky, specks and ragged blobs (bounds drawn again at every step) of few levels, so that
        // many pixels tie for the brightest.
        Bytes v(static_cast<std::size_t>(n));
        for (auto& p : v) p = static_cast<uint8_t>(uniform(0, 9) == 0 ? 40 * uniform(1, 6) : uniform(0, 30));
        for (int k = uniform(0, 8); k > 0; --k) {
            const int x0 = uniform(0, w - 1), y0 = uniform(0, h - 1), level = 40 * uniform(1, 5);
            for (int y = y0; y < std::min(h, y0 + uniform(1, 12)); ++y)
                for (int x = std::max(0, x0 - uniform(0, 3)); x < std::min(w, x0 + uniform(1, 12)); ++x)
                    v[static_cast<std::size_t>(y * w + x)] = static_cast<uint8_t>(level + 40 * uniform(0, 1));
        }
        const int t = trial % 9 == 0 ? 0 : uniform(1, 256);
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", " << w << " x " << h << ", t " << t);

        // Every star as detection seeds them, then any seed (below t too) with fresh masks.
        Bytes expectedMask(v.size(), 0), mask(v.size(), 0);
        for (int c = 0; c <= n; ++c) {
            const bool fresh = c == n;
            const int seed = fresh ? uniform(0, n - 1) : c;
            if (fresh) std::ranges::fill(expectedMask, 0), std::ranges::fill(mask, 0);
            else if (v[c] < t || expectedMask[c]) continue;
            Star expected(seed), actual(seed);
            recursiveFill(t, seed, w, n, expected, v, expectedMask);
            fillStar(t, seed, w, n, actual, v, mask);
            ASSERT_EQ(fields(actual), fields(expected)) << "seed " << seed;
            ASSERT_EQ(mask, expectedMask) << "seed " << seed;
        }
    }
}

TEST(StarDetection, SortMatchesSelectionSort) {
    std::mt19937 rng(3);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto mean = [](const Star& d) { return static_cast<double>(d.brightnessSum) / d.pixelCount; };
    for (int trial = 0; trial < 200; ++trial) {
        // Many equal means; some equal only in integers (7/2 against 3/1).
        std::vector<Star> list;
        for (int i = uniform(0, 60); i > 0; --i) {
            list.emplace_back(static_cast<int>(list.size()));
            list.back().pixelCount = uniform(1, 4), list.back().brightnessSum = uniform(0, 12);
        }
        auto expected = list;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            std::size_t best = i;
            for (std::size_t j = i + 1; j < expected.size(); ++j)
                if (mean(expected[j]) > mean(expected[best])) best = j;
            std::swap(expected[i], expected[best]);
        }
        sortByMeanBrightness(list);
        for (std::size_t i = 0; i < list.size(); ++i) ASSERT_EQ(list[i].startIndex, expected[i].startIndex) << trial;
    }
}

// A black w x h bitmap with blocks set by column and buffer row (bottom up).
struct Frame {
    int w, h;
    Bytes pixels = Bytes(static_cast<std::size_t>(w) * h, 0);
    void block(int col, int row, int cols, int rows, int value) {
        for (int r = row; r < row + rows; ++r)
            std::fill_n(pixels.begin() + r * w + col, cols, static_cast<uint8_t>(value));
    }
    std::string save(const test::TempDir& dir, const std::string& name) const {
        saveGreyBitmap(pixels, w, h, (dir / name).string());
        return (dir / name).string();
    }
};

TConfiguration detectionConfig(int levelNoiseMax = 25) {
    TConfiguration config;
    config.setLevelNoiseMax(levelNoiseMax);
    config.setAutoDetectNStar(18);
    return config;
}

TEST(StarDetection, StarListsOfComposedFrame) {
    test::TempDir dir;
    Frame f{40, 30};
    f.block(5, 5, 1, 1, 200);      // one pixel: too small for either list
    f.block(20, 10, 15, 10, 250);  // 150 pixels: too large, however bright
    f.block(2, 0, 3, 1, 90);       // on the bottom row, brightest (3, 0)
    f.block(3, 0, 1, 1, 180);
    f.block(2, 1, 3, 1, 80);
    f.block(36, 25, 4, 1, 150);    // at the right edge, not joined by the
    f.block(0, 26, 1, 1, 150);     // first pixel of the next row
    f.block(8, 12, 4, 3, 100);     // brightest pixel off the centre
    f.block(11, 14, 1, 1, 220);
    f.block(15, 5, 1, 1, 120);     // two pixels: only for M
    f.block(16, 5, 1, 1, 130);
    test::RecordingNotifier notifier;

    ASSERT_TRUE(generateListBrightPixels(f.save(dir, "xM.bmp"), 1, StarPosition::BrightestPixel, detectionConfig(),
                                         notifier));
    EXPECT_EQ(readTextLines(dir / "xM.txt"),
              (std::vector<std::string>{"0|0|36|4|600|4", "0|0|16|24|250|2", "0|0|11|15|1320|12", "0|0|3|29|600|6"}));
    ASSERT_TRUE(generateListBrightPixels(f.save(dir, "xP.bmp"), 3, StarPosition::BoundingBoxCentre,
                                         detectionConfig(), notifier));
    EXPECT_EQ(readTextLines(dir / "xP.txt"),
              (std::vector<std::string>{"0|0|37|4|600|4", "0|0|9|16|1320|12", "0|0|3|29|600|6"}));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_FALSE(notifier.progressVisible);

    const std::string missing = (dir / "nP.bmp").string();
    EXPECT_FALSE(generateListBrightPixels(missing, 3, StarPosition::BoundingBoxCentre, detectionConfig(), notifier));
    ASSERT_EQ(notifier.reports.size(), 1u);
    EXPECT_EQ(notifier.reports[0], TDiagnostic(Code::StarBitmapMissing).with("file", missing));
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(std::filesystem::exists(dir / "nP.txt"));
}

TEST(StarDetection, WritesAtMostAutoDetectNStarBrightestFirst) {
    test::TempDir dir;
    Frame f{100, 80};
    std::vector<int> slots(40);
    std::iota(slots.begin(), slots.end(), 0);
    std::shuffle(slots.begin(), slots.end(), std::mt19937(5));
    for (int i = 0; i < 40; ++i) f.block(slots[i] % 10 * 10 + 3, slots[i] / 10 * 10 + 3, 2, 2, 100 + 3 * i);
    test::RecordingNotifier notifier;
    ASSERT_TRUE(generateListBrightPixels(f.save(dir, "sP.bmp"), 3, StarPosition::BoundingBoxCentre, detectionConfig(),
                                         notifier));
    const auto lines = readTextLines(dir / "sP.txt");
    ASSERT_EQ(lines.size(), 18u);
    for (int k = 0; k < 18; ++k) EXPECT_EQ(splitFields(lines[k], "|").at(4), std::to_string(4 * (100 + 3 * (39 - k))));
}

// One star of 12 million pixels: no stack overflow, a sum beyond 32 bits, an
// empty list, and the user interface pumped per row rather than per pixel.
TEST(StarDetection, WhiteFrameIsOneHugeStar) {
    test::TempDir dir;
    Frame f{4000, 3000};
    f.block(0, 0, 4000, 3000, 255);
    test::RecordingNotifier notifier;
    ASSERT_TRUE(generateListBrightPixels(f.save(dir, "wP.bmp"), 3, StarPosition::BoundingBoxCentre,
                                         detectionConfig(0), notifier));
    EXPECT_EQ(std::filesystem::file_size(dir / "wP.txt"), 0u);
    EXPECT_EQ(notifier.pumps, 3000);

    Bytes visited(f.pixels.size(), 0);
    Star d(6'000'000);
    fillStar(255, 6'000'000, 4000, 4000 * 3000, d, f.pixels, visited);
    EXPECT_EQ(std::pair(d.pixelCount, d.brightnessSum), std::pair(12'000'000, int64_t{12'000'000} * 255));
}

TEST(StarDetection, MeasureBrightness) {
    test::TempDir dir;
    Frame f{20, 10};
    f.block(4, 6, 3, 1, 200);  // a plus centred on column 5, buffer row 6 (y 3)
    f.block(5, 5, 1, 3, 200);
    f.block(14, 5, 1, 1, 100);  // above and below the dark pixel (14, y 5)
    f.block(14, 3, 1, 1, 120);
    f.block(16, 4, 1, 1, 200);  // same row, not adjacent
    const std::string path = f.save(dir, "m.bmp");
    auto measure = [&](int x, int y) {
        const auto b = measureBrightness(path, x, y, detectionConfig());
        return std::pair(b.pixelCount, b.brightnessSum);
    };
    EXPECT_EQ(measure(5, 3), std::pair(5, int64_t{1000}));
    EXPECT_EQ(measure(14, 5), std::pair(2, int64_t{220}));
    for (auto [x, y] : {std::pair(20, 0), std::pair(-1, 3), std::pair(5, 10), std::pair(5, -1)})
        EXPECT_EQ(measure(x, y), std::pair(0, int64_t{0})) << x << ", " << y;
}

}  // namespace
}  // namespace orbis
