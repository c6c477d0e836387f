#include "astro/sunlib.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbis {
namespace {

TEST(Sunlib, ReproducesTheSeriesEvaluation) {
    // Values of the series itself (IEEE double evaluation), tight enough to
    // catch a single mistyped coefficient or a term applied to the wrong
    // argument.
    struct Case {
        double t, l, bArcsec, r;
    };
    const Case cases[] = {
        {0.0, 280.3774646, +0.7655, 0.983326847},  {-1.0, 279.6443834, +0.1768, 0.983267605},
        {-0.5, 280.0110438, -0.0260, 0.983243277}, {+0.5, 280.7485651, +0.4181, 0.983348808},
        {+1.0, 281.1170669, +0.1302, 0.983350670}, {+0.2466, 156.7049954, +0.6493, 1.009818126},
    };
    for (const Case& c : cases) {
        double l, b, r;
        SUN200(c.t, l, b, r);
        EXPECT_NEAR(l, c.l, 1e-6) << "T = " << c.t;
        EXPECT_NEAR(b * 3600.0, c.bArcsec, 1e-4) << "T = " << c.t;
        EXPECT_NEAR(r, c.r, 1e-9) << "T = " << c.t;
    }
}

TEST(Sunlib, AgreesWithAModernEphemerisWithinThreeArcseconds) {
    // Geometric longitude, mean equinox and ecliptic of date, from the IAU
    // standard routines (heliocentric Earth negated, IAU 2006 ecliptic).
    struct Case {
        double t, lReference;
    };
    const Case cases[] = {
        {-0.99995893, 281.174142}, {-0.94465435, 111.827575}, {-0.87782341, 0.028565},
        {-0.74087611, 247.280152}, {-0.62585900, 70.078028},  {-0.50000000, 280.011219},
        {-0.37274470, 179.495743}, {-0.24729637, 19.508469},  {-0.12028747, 269.590379},
        {-0.00392882, 137.915916}, {0.00000000, 280.377823},  {0.06213552, 359.242589},
        {0.13759069, 191.920091},  {0.24469541, 90.131036},   {0.31119781, 325.082863},
        {0.45660507, 157.049552},  {0.58339493, 44.783479},   {0.70980151, 273.511086},
        {0.85687885, 167.055883},  {1.00491444, 98.365957},
    };
    for (const Case& c : cases) {
        double l, b, r;
        SUN200(c.t, l, b, r);
        EXPECT_NEAR(std::remainder(l - c.lReference, 360.0), 0.0, 3.0 / 3600.0) << "T = " << c.t;
    }
}

TEST(Sunlib, LongitudeStaysInRangeAndAdvancesAboutOneDegreePerDay) {
    const double day = 1.0 / 36525.0;
    double previous = 0.0;
    for (int i = 0; i <= 365250; ++i) {  // T = -5 .. +5 in steps of one day
        const double t = -5.0 + i * day;
        double l, b, r;
        SUN200(t, l, b, r);
        ASSERT_GE(l, 0.0) << t;
        ASSERT_LT(l, 360.0) << t;
        ASSERT_LT(std::fabs(b), 1.0 / 3600.0 * 5.0) << t;
        ASSERT_GT(r, 0.98) << t;
        ASSERT_LT(r, 1.02) << t;
        if (i > 0) {
            const double step = std::remainder(l - previous, 360.0);
            ASSERT_GT(step, 0.94) << t;
            ASSERT_LT(step, 1.03) << t;
        }
        previous = l;
    }
}

}  // namespace
}  // namespace orbis
