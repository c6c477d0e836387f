// The local horizon of a place in the Earth-fixed frame.

#include <gtest/gtest.h>

#include "astro/uEarthFrame.h"

namespace orbis {
namespace {

TEST(EarthFrame, HorizontalDirectionsTurnBackAndTheZenithIsTheEllipsoidsNormal) {
    for (const TGeodetic place : {TGeodetic{45.0, 10.0, 0}, TGeodetic{-33.4, -70.6, 800}, TGeodetic{89.0, 170.0, 0}}) {
        for (const auto& [az, alt] : {std::pair{0.0, 10.0}, std::pair{90.0, 45.0}, std::pair{200.0, 60.0}, std::pair{315.0, -5.0}}) {
            double a = 0, h = 0;
            horizontalOf(horizontalDirection(place, az, alt), place, a, h);
            EXPECT_NEAR(a, az, 1e-9);
            EXPECT_NEAR(h, alt, 1e-9);
        }
        // Straight up: where a point 1 km higher lies.
        const TGeodetic above{place.latitude, place.longitude, place.height + 1000};
        const TVector3 up = unit(geodeticToEarthFixed(above) - geodeticToEarthFixed(place));
        EXPECT_LT(norm(horizontalDirection(place, 123, 90) - up), 1e-9);
        // North: towards the pole, level.
        const TVector3 north = horizontalDirection(place, 0, 0);
        EXPECT_NEAR(dot(north, up), 0, 1e-12);
        EXPECT_GT(north[2], 0);
    }
}

}  // namespace
}  // namespace orbis
