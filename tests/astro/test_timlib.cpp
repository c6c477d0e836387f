#include "astro/timlib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace orbis {
namespace {

TEST(Timlib, MjdReferenceDatesAndCalendarSwitch) {
    EXPECT_DOUBLE_EQ(MJD(1, 1, 2000, 12.0), 51544.5);
    EXPECT_DOUBLE_EQ(MJD(17, 11, 1858, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(MJD(1, 1, -4712, 12.0), -2400000.5);  // JD 0
    // The last Julian and the first Gregorian day are consecutive.
    EXPECT_DOUBLE_EQ(MJD(4, 10, 1582, 0.0), -100841.0);
    EXPECT_DOUBLE_EQ(MJD(15, 10, 1582, 0.0), -100840.0);
    EXPECT_DOUBLE_EQ(MJD(14, 12, 2023, 21.5), 60292.0 + 21.5 / 24.0);
}

TEST(Timlib, MjdLeapYearsAndYearBoundaries) {
    EXPECT_DOUBLE_EQ(MJD(1, 3, 2000, 0) - MJD(28, 2, 2000, 0), 2.0);  // 400-year rule
    EXPECT_DOUBLE_EQ(MJD(1, 3, 1900, 0) - MJD(28, 2, 1900, 0), 1.0);  // century rule
    EXPECT_DOUBLE_EQ(MJD(1, 3, 1500, 0) - MJD(28, 2, 1500, 0), 2.0);  // Julian: every 4th year
    EXPECT_DOUBLE_EQ(MJD(1, 1, 2001, 0) - MJD(1, 1, 2000, 0), 366.0);
}

TEST(Timlib, LmstAtJ2000AndLongitudeSense) {
    // GMST at 2000-01-01 12h UT is 18h41m50.54841s.
    EXPECT_NEAR(LMST(51544.5, 0.0), 18.0 + 41.0 / 60.0 + 50.54841 / 3600.0, 1e-8);
    // 15 degrees east is one hour later, 15 degrees west one hour earlier.
    EXPECT_NEAR(LMST(51544.5, -15.0), LMST(51544.5, 0.0) + 1.0, 1e-10);
    EXPECT_NEAR(LMST(51544.5, 15.0), LMST(51544.5, 0.0) - 1.0, 1e-10);
    // One sidereal day later (23h56m04.0905s) the same sidereal time.
    EXPECT_NEAR(LMST(51544.5 + 0.99726957, 30.0), LMST(51544.5, 30.0), 2e-6);
}

TEST(Timlib, LmstIsAlwaysWithinOneDay) {
    std::mt19937_64 rng(2024);
    auto uniform = [&rng](double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(rng() >> 11) * 0x1p-53;
    };
    for (int i = 0; i < 20000; ++i) {
        const double mjd = uniform(-100000.0, 100000.0);
        const double lon = uniform(-1000.0, 1000.0);
        const double h = LMST(mjd, lon);
        ASSERT_GE(h, 0.0) << mjd << ' ' << lon;
        ASSERT_LT(h, 24.0) << mjd << ' ' << lon;
        // Longitudes a full turn apart are the same meridian.
        const double h360 = LMST(mjd, lon + 360.0);
        const double d = std::remainder(h360 - h, 24.0);
        ASSERT_NEAR(d, 0.0, 1e-9) << mjd << ' ' << lon;
    }
    // Longitudes that put local sidereal time at 0h, also several turns out,
    // probed ulp by ulp across the wrap: 0 is reachable, 24 never.
    const double g = LMST(51544.5, 0.0);
    for (int k = -3; k <= 3; ++k) {
        double lon = 15.0 * (g + 24.0 * k);
        for (int step = 0; step < 8; ++step) lon = std::nextafter(lon, -1e9);
        for (int step = 0; step < 16; ++step, lon = std::nextafter(lon, 1e9)) {
            const double h = LMST(51544.5, lon);
            EXPECT_GE(h, 0.0) << k << ' ' << lon;
            EXPECT_LT(h, 24.0) << k << ' ' << lon;
            EXPECT_NEAR(std::remainder(h, 24.0), 0.0, 1e-9);
        }
    }
}

}  // namespace
}  // namespace orbis
