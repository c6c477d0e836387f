#include "astro/sphlib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>

#include "astro/matlib.h"

namespace orbis {
namespace {

using Vec = std::array<double, 3>;

Vec unitVector(double ra, double dec) { return {CS(dec) * CS(ra), CS(dec) * SN(ra), SN(dec)}; }

// Angle between two directions in degrees.
double separation(const Vec& a, const Vec& b) {
    const Vec c = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    return ATN2(std::hypot(c[0], c[1], c[2]), a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
}

struct Uniform {
    std::mt19937_64 rng;
    double operator()(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(rng() >> 11) * 0x1p-53; }
};

TEST(Sphlib, PolarRangesOfTheAngles) {
    double r, theta, phi;
    POLAR(1.0, 1.0, 0.0, r, theta, phi);
    EXPECT_DOUBLE_EQ(r, std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(theta, 0.0);
    EXPECT_DOUBLE_EQ(phi, 45.0);
    POLAR(0.0, -2.0, -2.0, r, theta, phi);
    EXPECT_DOUBLE_EQ(phi, 270.0);  // brought into 0..360
    EXPECT_DOUBLE_EQ(theta, -45.0);
}

TEST(Sphlib, EquhorOnTheMeridianAndOnTheHorizon) {
    double h, az;
    // South of the zenith: azimuth 0 (south), altitude 90 - phi + dec.
    EQUHOR(20.0, 0.0, 50.0, h, az);
    EXPECT_NEAR(h, 60.0, 1e-12);
    EXPECT_NEAR(az, 0.0, 1e-12);
    EQUHOR(-60.0, 0.0, -30.0, h, az);  // southern station
    EXPECT_NEAR(h, 60.0, 1e-12);
    EXPECT_NEAR(az, 0.0, 1e-12);
    // North of the zenith: azimuth 180.
    EQUHOR(70.0, 0.0, 50.0, h, az);
    EXPECT_NEAR(h, 70.0, 1e-12);
    EXPECT_NEAR(az, 180.0, 1e-12);
    // On the equator at hour angle +-6h: setting in the west, rising in the east.
    EQUHOR(0.0, 90.0, 45.0, h, az);
    EXPECT_NEAR(h, 0.0, 1e-12);
    EXPECT_NEAR(az, 90.0, 1e-12);
    EQUHOR(0.0, -90.0, 45.0, h, az);
    EXPECT_NEAR(h, 0.0, 1e-12);
    EXPECT_NEAR(az, 270.0, 1e-12);
}

TEST(Sphlib, StandardCoordinatesOfSimplePoints) {
    double x, y;
    EQUSTD(123.4, -56.7, 123.4, -56.7, x, y);
    EXPECT_NEAR(x, 0.0, 1e-15);
    EXPECT_NEAR(y, 0.0, 1e-15);
    // East of the tangent point is negative X; north is positive Y.
    EQUSTD(10.0, 0.0, 11.0, 0.0, x, y);
    EXPECT_NEAR(x, -std::tan(1.0 * RAD), 1e-15);
    EXPECT_NEAR(y, 0.0, 1e-15);
    EQUSTD(10.0, 0.0, 10.0, 1.0, x, y);
    EXPECT_NEAR(x, 0.0, 1e-15);
    EXPECT_NEAR(y, std::tan(1.0 * RAD), 1e-15);

    double ra, dec;
    STDEQU(123.4, -56.7, 0.0, 0.0, ra, dec);
    EXPECT_NEAR(ra, 123.4, 1e-12);
    EXPECT_NEAR(dec, -56.7, 1e-12);
}

TEST(Sphlib, StdequInvertsEqustdNearTheFieldCentre) {
    Uniform uniform{std::mt19937_64(4711)};
    for (int i = 0; i < 2000; ++i) {
        const double ra0 = uniform(0, 360), dec0 = uniform(-80, 80);
        const double ra = ra0 + uniform(-10, 10), dec = dec0 + uniform(-8, 8);
        double x, y, ra1, dec1;
        EQUSTD(ra0, dec0, ra, dec, x, y);
        STDEQU(ra0, dec0, x, y, ra1, dec1);
        ASSERT_NEAR(std::remainder(ra1 - ra, 360.0), 0.0, 1e-9) << ra0 << ' ' << dec0;
        ASSERT_NEAR(dec1, dec, 1e-9) << ra0 << ' ' << dec0;
    }
}

TEST(Sphlib, StdequFindsPointsBeyondThePoleOnTheirSide) {
    // A field around the north (or south) pole: points on the far side of
    // the pole have cos dec0 - Y sin dec0 < 0.
    Uniform uniform{std::mt19937_64(815)};
    for (int i = 0; i < 2000; ++i) {
        const double sign = i % 2 == 0 ? 1.0 : -1.0;
        const double ra0 = uniform(0, 360), dec0 = sign * uniform(80, 89.9);
        const double ra = uniform(0, 360), dec = sign * uniform(75, 89.9);
        double x, y, ra1, dec1;
        EQUSTD(ra0, dec0, ra, dec, x, y);
        STDEQU(ra0, dec0, x, y, ra1, dec1);
        ASSERT_NEAR(std::remainder(ra1 - ra, 360.0), 0.0, 1e-7) << ra0 << ' ' << dec0 << ' ' << ra << ' ' << dec;
        ASSERT_NEAR(dec1, dec, 1e-9);
    }
}

TEST(Sphlib, IntersectGreatCirclesKeepsTheComputedCrossingAwayFromTheAntipodeOfP2) {
    TSkyPoint r{};
    ASSERT_TRUE(intersectGreatCircles({0, 10}, {20, -10}, {5, 30}, {15, -30}, r));
    EXPECT_NEAR(r.ra, 190.0, 1e-9);
    EXPECT_NEAR(r.dec, 0.0, 1e-9);
}

TEST(Sphlib, IntersectGreatCirclesFlipsACrossingNearTheAntipodeOfP2) {
    TSkyPoint r{};
    ASSERT_TRUE(intersectGreatCircles({0, 10}, {10.5, -0.5}, {5, 30}, {15, -30}, r));
    EXPECT_NEAR(r.ra, 10.0, 0.01);
    EXPECT_NEAR(r.dec, 0.0, 0.01);
}

TEST(Sphlib, IntersectGreatCirclesFindsACommonPointOfRandomCircles) {
    // Each circle passes through the directions P + q and P - q, hence
    // through P; the crossing must be P or its antipode.
    Uniform uniform{std::mt19937_64(31337)};
    for (int i = 0; i < 2000; ++i) {
        const Vec p = unitVector(uniform(0, 360), uniform(-60, 60));
        auto pointPair = [&](TSkyPoint& a, TSkyPoint& b) {
            const Vec q = unitVector(uniform(0, 360), uniform(-90, 90));
            const double k = uniform(0.1, 0.5);
            Vec pa, pb;
            for (int j = 0; j < 3; ++j) {
                pa[j] = p[j] + k * q[j];
                pb[j] = p[j] - k * q[j];
            }
            double rr;
            POLAR(pa[0], pa[1], pa[2], rr, a.dec, a.ra);
            POLAR(pb[0], pb[1], pb[2], rr, b.dec, b.ra);
        };
        TSkyPoint a, b, c, d;
        pointPair(a, b);
        pointPair(c, d);
        TSkyPoint r{};
        ASSERT_TRUE(intersectGreatCircles(a, b, c, d, r));
        const Vec rv = unitVector(r.ra, r.dec);
        const double sep = separation(rv, p);
        ASSERT_LT(std::min(sep, 180.0 - sep), 1e-6) << i;
    }
}

TEST(Sphlib, IntersectGreatCirclesRejectsUnrepresentableCircles) {
    const TSkyPoint untouched{-1.0, -2.0};
    TSkyPoint r = untouched;
    auto unchanged = [&] { return r.ra == untouched.ra && r.dec == untouched.dec; };

    EXPECT_FALSE(intersectGreatCircles({10, 0}, {40, 0}, {5, 30}, {15, -30}, r));  // equator
    EXPECT_TRUE(unchanged());
    EXPECT_FALSE(intersectGreatCircles({0, 10}, {20, -10}, {35, 0}, {80, 0}, r));  // equator second
    EXPECT_TRUE(unchanged());
    EXPECT_FALSE(intersectGreatCircles({30, 20}, {30, 20}, {5, 30}, {15, -30}, r));  // coincident
    EXPECT_TRUE(unchanged());
    EXPECT_FALSE(intersectGreatCircles({30, 20}, {210, -20}, {5, 30}, {15, -30}, r));  // antipodal
    EXPECT_TRUE(unchanged());
    EXPECT_FALSE(intersectGreatCircles({0, 10}, {20, -10}, {5, NAN}, {15, -30}, r));  // not a number
    EXPECT_TRUE(unchanged());
}

}  // namespace
}  // namespace orbis
