#include <gtest/gtest.h>

#include <cmath>

#include "astro/uEarthFrame.h"
#include "network/uMeteorOrbit.h"

namespace orbis {
namespace {

// The Neuschwanstein meteorite fall, 2002 April 6, 20:20:18 UT, as published
// by Spurny, Oberst and Heinlein (Nature 423, 151-153, 2003, table 1): the
// geocentric radiant RA 192.33°, Dec +19.54° (J2000), v_g = 17.51 km/s, and
// the orbit (J2000) a = 2.40 ± 0.02 au, e = 0.670 ± 0.002,
// q = 0.7929 ± 0.0004 au, i = 11.41 ± 0.03°, ω = 241.20 ± 0.06°,
// Ω = 16.82664 ± 0.00001°. Ω is the Earth's place on its orbit at the
// instant given to the second (0.0007° a minute), so it is held to 0.001°.
TEST(MeteorOrbit, ReproducesThePublishedNeuschwansteinOrbit) {
    const double jd = 2452370.5 + (20 + 20 / 60.0 + 18 / 3600.0) / 24;
    const TOrbitElements o = heliocentricOrbit(192.33, 19.54, 17510, jd);
    EXPECT_NEAR(o.a, 2.40, 0.02);
    EXPECT_NEAR(o.e, 0.670, 0.002);
    EXPECT_NEAR(o.q, 0.7929, 0.0004);
    EXPECT_NEAR(o.i, 11.41, 0.03);
    EXPECT_NEAR(o.omega, 241.20, 0.06);
    EXPECT_NEAR(o.node, 16.82664, 0.001);
    EXPECT_NEAR(o.solarLongitude, o.node, 0.01);  // met at the node the Earth is on
}

TEST(MeteorOrbit, GeocentricRadiantUndoesRotationAndAttraction) {
    const double jd = 2460532.5 + 0.05;
    const TVector3 at = geodeticToEarthFixed({0.0, 30.0, 100e3});  // above the equator
    const TVector3 up = unit(at);
    const double escape2 = 2 * kEarthGM / norm(at);

    // Straight down from the zenith: the attraction changes the speed only.
    // The Earth's rotation (0.46 km/s eastwards there) tilts the inertial
    // velocity; taking a ground speed that cancels it leaves a vertical fall.
    const TVector3 rotation = cross(TVector3{0, 0, kEarthRotationRate}, at);
    const auto vertical = geocentricRadiant(at, -20e3 * up - rotation, jd);
    ASSERT_TRUE(vertical);
    EXPECT_NEAR(vertical->speedInfinity, 20e3, 1e-6);
    EXPECT_NEAR(vertical->speed, std::sqrt(20e3 * 20e3 - escape2), 1e-6);
    EXPECT_NEAR(vertical->zenithObserved, 0, 1e-6);
    EXPECT_NEAR(vertical->zenithGeocentric, 0, 1e-6);

    // 60° from the zenith, slow: the radiant moves away from the zenith by
    // 2 atan((v - vg) / (v + vg) tan(zc / 2)).
    const TVector3 east = unit(cross(TVector3{0, 0, 1}, up));
    const double zc = 60 * 3.14159265358979323846 / 180;
    const TVector3 fromRadiant = std::cos(zc) * up + std::sin(zc) * east;
    const auto slant = geocentricRadiant(at, -12e3 * fromRadiant - rotation, jd);
    ASSERT_TRUE(slant);
    const double vg = std::sqrt(12e3 * 12e3 - escape2);
    const double dz = 2 * std::atan((12e3 - vg) / (12e3 + vg) * std::tan(zc / 2)) * 180 / 3.14159265358979323846;
    EXPECT_NEAR(slant->zenithObserved, 60, 1e-6);
    EXPECT_NEAR(slant->zenithGeocentric - slant->zenithObserved, dz, 1e-6);
    EXPECT_GT(dz, 5);  // a slow meteor is bent much

    // Slower than the escape speed: no orbit about the Sun.
    EXPECT_FALSE(geocentricRadiant(at, -10e3 * up - rotation, jd));
}

}  // namespace
}  // namespace orbis
