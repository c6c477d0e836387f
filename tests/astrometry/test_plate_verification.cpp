// Verification of a plate: whether it explains the detected stars more
// often than chance would.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "astro/matlib.h"
#include "astrometry/uPlateVerification.h"

namespace orbis {
namespace {

double directTail(int n, int k, double p) {
    double sum = 0;
    for (int i = std::max(k, 0); i <= n; ++i) sum += std::tgamma(n + 1.0) / (std::tgamma(i + 1.0) * std::tgamma(n - i + 1.0)) *
                                                      std::pow(p, i) * std::pow(1 - p, n - i);
    return std::log10(sum);
}

TEST(PlateVerification, BinomialTailAgreesWithTheDirectSum) {
    for (int n : {1, 5, 15, 30})
        for (int k = 1; k <= n; k += 2)
            for (double p : {0.001, 0.02, 0.3, 0.9}) EXPECT_NEAR(log10BinomialTail(n, k, p), directTail(n, k, p), 1e-9);
    EXPECT_EQ(log10BinomialTail(10, 0, 0.1), 0);
    EXPECT_EQ(log10BinomialTail(10, -2, 0.1), 0);
    EXPECT_TRUE(std::isinf(log10BinomialTail(10, 11, 0.1)));
    EXPECT_TRUE(std::isinf(log10BinomialTail(10, 3, 0)));
}

// A camera of 800 px per radian turned by 30 degrees about (300, 40); its
// catalog: 60 stars scattered over the field and beyond.
struct Sky {
    TPlate plate;
    std::vector<TStarInfo> stars;
    TFrameArea frame{640, 480};

    Sky() {
        const double k = 1.0 / 800, c = CS(30), s = SN(30);
        plate = {{300, 40}, k * c, -k * s, -k * (c * 320 - s * 240), -k * s, -k * c, k * (s * 320 + c * 240)};
        std::mt19937 rng(5);
        std::uniform_real_distribution<double> ra(270, 330), dec(20, 60);
        for (int i = 0; i < 60; ++i) stars.push_back({i, ra(rng), dec(rng), 3.0, "s", "A0"});
    }

    // Where the plate puts the catalog stars that fall into the frame,
    // jittered by up to a pixel.
    std::vector<TStarPoint> placed(const TPlate& p, std::size_t count, uint32_t seed) const {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> jitter(-0.7, 0.7);
        std::vector<TStarPoint> out;
        for (const TStarInfo& s : stars) {
            const auto xy = p.pixelOf({s.RA, s.Dec});
            if (!xy || xy->first < 0 || xy->second < 0 || xy->first > 640 || xy->second > 480) continue;
            if (out.size() < count) out.emplace_back(std::round(xy->first + jitter(rng)), std::round(xy->second + jitter(rng)));
        }
        return out;
    }
};

std::vector<TStarPoint> scattered(std::size_t count, uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> x(0, 640), y(0, 480);
    std::vector<TStarPoint> out;
    for (std::size_t i = 0; i < count; ++i) out.emplace_back(std::round(x(rng)), std::round(y(rng)));
    return out;
}

TEST(PlateVerification, PixelOfInvertsThePlate) {
    const Sky sky;
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {320.0, 240.0}, {611.5, 17.25}}) {
        const TPlate& p = sky.plate;
        double ra = 0, dec = 0;
        STDEQU(p.centre.ra, p.centre.dec, p.a * x + p.b * y + p.c, p.d * x + p.e * y + p.f, ra, dec);
        const auto back = p.pixelOf({ra, dec});
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(back->first, x, 1e-6);
        EXPECT_NEAR(back->second, y, 1e-6);
    }
    EXPECT_NEAR(sky.plate.pixelsPerRadian(), 800, 1e-9);
    EXPECT_FALSE(sky.plate.pixelOf({120, -40}).has_value());  // behind the camera
}

TEST(PlateVerification, ThePlateMustExplainMoreStarsThanAnAffineFitAndChanceCould) {
    const Sky sky;
    const std::vector<TStarPoint> onPlate = sky.placed(sky.plate, 12, 1);
    ASSERT_GE(onPlate.size(), 10u);

    // The camera's plate: twelve catalog stars and six spots of its own.
    std::vector<TStarPoint> detected = onPlate;
    for (const TStarPoint& s : scattered(6, 2)) detected.push_back(s);
    const TPlateCheck good = verifyPlate(sky.plate, detected, sky.stars, sky.frame);
    EXPECT_TRUE(good.passed);
    EXPECT_GE(good.matched, 12);
    EXPECT_LT(good.residualPixels, 1.0);
    EXPECT_LT(good.expectedByChance, 1.0);

    // Five stars that a wrong plate was fitted to, the rest unexplained: as
    // many as an affine fit and chance give.
    std::vector<TStarPoint> five(onPlate.begin(), onPlate.begin() + 5);
    for (const TStarPoint& s : scattered(13, 3)) five.push_back(s);
    const TPlateCheck forced = verifyPlate(sky.plate, five, sky.stars, sky.frame);
    EXPECT_FALSE(forced.passed) << forced.matched << " " << forced.log10Chance;
    EXPECT_GE(forced.matched, 5);

    // A plate turned 40 degrees further explains nothing.
    TPlate turned = sky.plate;
    const double c = CS(40), s = SN(40);
    turned.a = c * sky.plate.a - s * sky.plate.d, turned.b = c * sky.plate.b - s * sky.plate.e;
    turned.d = s * sky.plate.a + c * sky.plate.d, turned.e = s * sky.plate.b + c * sky.plate.e;
    EXPECT_FALSE(verifyPlate(turned, detected, sky.stars, sky.frame).passed);

    // Nothing to compare: not passed.
    EXPECT_FALSE(verifyPlate(sky.plate, {}, sky.stars, sky.frame).passed);
    EXPECT_FALSE(verifyPlate(sky.plate, detected, {}, sky.frame).passed);
}

TEST(PlateVerification, ACatalogStarNamesOnlyTheNearestDetectedStar) {
    const Sky sky;
    std::vector<TStarPoint> detected = sky.placed(sky.plate, 3, 4);
    ASSERT_EQ(detected.size(), 3u);
    const TStarPoint first = detected[0];
    detected.insert(detected.begin(), TStarPoint(first.X + 2, first.Y + 1));  // a neighbour, farther
    detected.emplace_back(first.X - 30, first.Y);                            // nothing there
    const std::vector<int> id = identifyThroughPlate(sky.plate, detected, sky.stars, sky.frame);
    ASSERT_EQ(id.size(), 5u);
    EXPECT_EQ(id[0], -1);
    EXPECT_GE(id[1], 0);
    EXPECT_GE(id[2], 0);
    EXPECT_NE(id[1], id[2]);
    EXPECT_EQ(id[4], -1);
}

}  // namespace
}  // namespace orbis
