// Frame operations: the fast box mean and point search against plain
// versions, and the rules the pipeline relies on.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "PlainFrameOps.h"
#include "config/uConfiguration.h"
#include "processing/uFrameOps.h"

namespace orbis {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(FrameOps, BoxMeanEqualsTheDirectWindowSum) {
    std::mt19937 rng(31);
    std::uniform_int_distribution<int> side(1, 50), radius(0, 12), byte(0, 255);
    for (int trial = 0; trial < 300; ++trial) {
        const int w = side(rng), h = side(rng), r = radius(rng);
        Bytes b(static_cast<std::size_t>(w * h));
        for (auto& p : b) p = static_cast<uint8_t>(trial % 3 == 0 ? 100 + byte(rng) % 2 : byte(rng));  // ties too
        const Bytes expected = plain::directBoxMean(w, h, r, b);
        boxMean(w, h, r, b);
        ASSERT_EQ(b, expected) << w << "x" << h << " r " << r;
    }
    // At a corner the window is (r+1) x (r+1).
    Bytes corner(10 * 10, 0);
    corner[0] = 16;
    boxMean(10, 10, 3, corner);
    EXPECT_EQ(corner[0], 1);  // 16 / 16
}

// r' = r (1 + k r^2), r in units of 100 px: the radial model of the lens.
TDistortion radial(double k) {
    TDistortion d;
    d.coefX[7] = d.coefX[8] = k;
    d.coefY[6] = d.coefY[9] = k;
    return d;
}

long squaredSourceDistance(const TDistortion& d, int W, int H, int xs, int ys, int x, int y) {
    long u, v;
    distortionSource(d, W, H, xs, ys, u, v);
    return (u - x) * (u - x) + (v - y) * (v - y);
}

TEST(FrameOps, FastPointSearchFindsWhatTheFullScanFinds) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> small(-0.05, 0.05), strength(-5.0, 30.0);
    std::uniform_int_distribution<int> side(8, 40), margin(0, 4);
    int inexact = 0;
    for (int set = 0; set < 80; ++set) {
        TDistortion d;
        int W = side(rng), H = side(rng);
        if (set % 4 == 1) {
            d = radial(strength(rng));  // strong enough to skip and repeat source pixels within 60 px
            W += 20;
            H += 20;
        }
        for (int i = 0; i < 10; ++i) {
            d.coefX[static_cast<std::size_t>(i)] += small(rng) * (i == 1 ? 4 : 1);
            d.coefY[static_cast<std::size_t>(i)] += small(rng) * (i == 2 ? 4 : 1);
        }
        if (set % 5 == 0) d.coefX[8] = 3.0;      // strong barrel: sources far from their pixels
        if (set % 20 == 3) d.coefX[8] = 1e15;   // sources beyond any exact distance
        if (set % 20 == 7) d.coefX[8] = 1e308;  // infinite sources beside them
        d.addResultWidth = margin(rng);
        d.addResultHeight = margin(rng);
        const TCorrectedPointFinder finder(W, H, d);
        for (int p = 0; p < 40; ++p) {
            const int reach = p % 8 == 0 ? 5 * std::max(W, H) : 3;  // far out: nothing in the first window
            const int x0 = std::uniform_int_distribution<int>(-reach, W - 1 + reach)(rng);
            const int y0 = std::uniform_int_distribution<int>(-reach, H - 1 + reach)(rng);
            int x = x0, y = y0, fx = x0, fy = y0;
            mapPointToCorrected(W, H, x, y, d);
            finder.map(fx, fy);
            ASSERT_EQ(fx, x) << "set " << set << " point " << x0 << "," << y0;
            ASSERT_EQ(fy, y) << "set " << set << " point " << x0 << "," << y0;
            if (d.coefX[8] < 1e6) inexact += squaredSourceDistance(d, W, H, x, y, x0, y0) > 0;
        }
    }
    EXPECT_GT(inexact, 500);  // most points have no pixel of their own
}

TEST(FrameOps, APointOnASkippedSourcePixelMovesToTheNearestSource) {
    // k = 0.003: away from the centre sources spread apart and some source
    // pixels are no pixel's source. 250 to 300 px out a pixel's source lies
    // 5 to 8 px farther out, so a point left where it was would be far off.
    const TDistortion d = radial(0.003);
    const int W = 640, H = 640;
    std::vector<bool> hit(static_cast<std::size_t>(W * H), false);
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) {
            long u, v;
            distortionSource(d, W, H, x, y, u, v);
            if (u >= 0 && u < W && v >= 0 && v < H) hit[static_cast<std::size_t>(v * W + u)] = true;
        }
    const TCorrectedPointFinder finder(W, H, d);  // the full scan's answers, as tested above
    int skipped = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double r = std::hypot(x - (W - 1) / 2.0, y - (H - 1) / 2.0);
            if (r < 250 || r > 300 || hit[static_cast<std::size_t>(y * W + x)] || ++skipped % 8 != 0) continue;
            int cx = x, cy = y;
            finder.map(cx, cy);
            // A neighbour's source, diagonal ones included.
            ASSERT_LE(squaredSourceDistance(d, W, H, cx, cy, x, y), 2) << x << "," << y;
        }
    EXPECT_GT(skipped, 3000);  // about 5 % of the ring
}

TEST(FrameOps, IdentityDistortionOnlyAddsMargins) {
    TDistortion d;
    d.addResultWidth = 2;
    d.addResultHeight = 1;
    const int w = 5, h = 3, W = w + 4, H = h + 2;
    std::vector<uint8_t> buf(static_cast<std::size_t>(w * h));
    for (std::size_t i = 0; i < buf.size(); ++i) buf[i] = static_cast<uint8_t>(i + 1);
    const Bytes input = buf;
    buf.resize(static_cast<std::size_t>(W * H), 0);
    correctDistortion(W, H, buf, d);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool inside = x >= 2 && x < 2 + w && y >= 1 && y < 1 + h;
            EXPECT_EQ(buf[static_cast<std::size_t>(y * W + x)], inside ? input[static_cast<std::size_t>((y - 1) * w + x - 2)] : 0);
        }
    int x = 3, y = 2;
    mapPointToCorrected(W, H, x, y, d);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 2);
}

TEST(FrameOps, TrackPointsFollowDoublingMarginsAndCorrection) {
    TDistortion d;
    d.addResultWidth = 10;
    d.addResultHeight = 4;
    const TCorrectedPointFinder finder(100 + 20, 2 * 50 + 8, d);
    int x = 30, y = 20;
    mapTrackPoint(x, y, true, true, d, &finder);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 45);  // field row 20 is doubled row 41
    x = 30, y = 20;
    mapTrackPoint(x, y, true, false, d, nullptr);  // no correction: no margins either
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 41);
    // Far outside any frame a position is held at the end of int, not wrapped.
    x = std::numeric_limits<int>::min() + 5, y = 1500000000;
    mapTrackPoint(x, y, true, false, d, nullptr);
    EXPECT_EQ(y, std::numeric_limits<int>::max());
    x = std::numeric_limits<int>::max() - 5, y = -1500000000;
    mapTrackPoint(x, y, true, true, d, nullptr);
    EXPECT_EQ(x, std::numeric_limits<int>::max());
    EXPECT_EQ(y, std::numeric_limits<int>::min() + 4);
}

TEST(FrameOps, DefaultDistortionIsTheConfigurationsIdentity) {
    const TDistortion d;
    EXPECT_TRUE(d == TDistortion::fromConfiguration(TConfiguration()));
    EXPECT_EQ(distortionPolynomial(d, DistortionAxis::X, 3.5, -2.0), 3.5);
    EXPECT_EQ(distortionPolynomial(d, DistortionAxis::Y, 3.5, -2.0), -2.0);
    EXPECT_EQ(d.addResultWidth + d.addResultHeight, 0);
}

TEST(FrameOps, DarkFrameRemovalKeepsZerosAndFillsDarkPixelsFromNeighbours) {
    // 3 x 3, mean of the frame 41 -> dark pixels are those <= 20 after subtraction.
    Bytes frame = {0, 50, 50, 50, 25, 50, 50, 50, 45};
    const Bytes dark = {9, 10, 10, 10, 10, 10, 10, 10, 10};
    removeDarkFrame(dark, 3, 9, frame);
    EXPECT_EQ(frame[0], 0);   // a zero pixel stays zero whatever the dark frame
    EXPECT_EQ(frame[1], 40);
    EXPECT_EQ(frame[4], 45);  // 15 <= 20: mean of 40 below (final) and 50 above (input)
    EXPECT_EQ(frame[8], 35);
}

TEST(FrameOps, BackgroundLevellingRules) {
    Bytes frame(12, 90);
    frame[3] = 0;
    const Bytes background(12, 90);
    subtractBackground(background, frame);
    for (std::size_t i = 0; i < frame.size(); ++i) EXPECT_EQ(frame[i], i == 3 ? 0 : 60);  // off = round(90 / 1.5)

    const Bytes src = {100, 100, 100, 130, 40, 100};  // mean 95: > 114 and < 47 are outliers
    EXPECT_EQ(clipToMean(src, 1.2), (Bytes{100, 100, 100, 95, 95, 100}));
}

TEST(FrameOps, SummationAndTheMeanWithoutTheMaximum) {
    const std::vector<TFrameBuffer> frames = {{10, 20}, {12, 250}, {14, 22}};
    const TFrameAccumulators acc = sumFrames(frames, 2);
    EXPECT_EQ(acc.sum, (std::vector<int32_t>{36, 292}));
    EXPECT_EQ(acc.maximum, (Bytes{14, 250}));
    EXPECT_EQ(meanWithoutMaximum(acc), (Bytes{11, 21}));  // the meteor's 250 leaves no trace
    const std::vector<TFrameBuffer> one = {{7, 9}};
    EXPECT_EQ(meanWithoutMaximum(sumFrames(one, 2)), (Bytes{7, 9}));
    EXPECT_EQ(overlayMeteor(Bytes{5, 200}, Bytes{100, 10}), (Bytes{100, 200}));
}

TEST(FrameOps, AutoContrastAboutTheGeometricMean) {
    Bytes b = {0, 10, 40, 160, 255};
    Bytes same = b;
    autoContrast(same, 1.0);
    EXPECT_EQ(same, b);
    autoContrast(b, 3.0);  // geometric mean of 10, 40, 160, 255 is 63.5
    EXPECT_EQ(b[0], 0);
    EXPECT_LT(b[1], 10);
    EXPECT_EQ(b[3], 255);
    Bytes atMean = {10, 40, 160, 40};  // geometric mean 40 exactly
    autoContrast(atMean, 3.0);
    EXPECT_EQ(atMean[1], 40);
    Bytes black(16, 0);
    autoContrast(black, 3.0);
    EXPECT_EQ(black, Bytes(16, 0));
}

TEST(FrameOps, HeightDoublingAndInterpolation) {
    const Bytes src = {1, 2, 11, 12, 21, 22};  // 2 wide, 3 rows
    Bytes d = doubleHeight(src, 2);
    EXPECT_EQ(d, (Bytes{1, 2, 1, 2, 11, 12, 11, 12, 21, 22, 21, 22}));
    interpolateOddRows(d, 2, 6);
    EXPECT_EQ(d, (Bytes{1, 2, 6, 7, 11, 12, 16, 17, 21, 22, 21, 22}));
    Bytes two = {5, 9};
    interpolateOddRows(two, 1, 2);
    EXPECT_EQ(two, (Bytes{5, 9}));
}

}  // namespace
}  // namespace orbis
