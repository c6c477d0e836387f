#pragma once
// From the meteor's velocity in the atmosphere to its orbit about the Sun:
// the Earth's rotation taken off, the Earth's attraction undone (the
// geocentric speed from the speed at infinity and the escape speed, the
// radiant moved away from the zenith), then the Earth's own heliocentric
// position and velocity (ERFA) added and the two-body elements on the
// ecliptic and equinox of J2000.

#include <optional>

#include "astro/uVector3.h"

namespace orbis {

struct TGeocentricRadiant {
    double ra = 0, dec = 0;  // degrees, J2000: the direction the meteoroid came from, free of the Earth
    double speed = 0;        // m/s, geocentric (v_g)
    double speedInfinity = 0;  // m/s, the speed before the Earth's attraction, rotation taken off
    double zenithObserved = 0;    // degrees: the radiant's zenith distance before the correction
    double zenithGeocentric = 0;  // degrees: after it
};

struct TOrbitElements {
    double a = 0;      // au; negative for a hyperbolic orbit
    double e = 0;
    double q = 0;      // au
    double i = 0;      // degrees
    double omega = 0;  // argument of perihelion, degrees
    double node = 0;   // longitude of the ascending node, degrees
    double heliocentricSpeed = 0;  // m/s
    double solarLongitude = 0;     // degrees, J2000
};

// The geocentric radiant of a meteoroid moving with `velocity` (m/s, the
// direction of flight, relative to the rotating Earth) at `position` (m), both
// Earth-fixed, at the UTC Julian date jdUtc. Nothing when the speed is below
// the escape speed there (no orbit about the Sun would bring it).
std::optional<TGeocentricRadiant> geocentricRadiant(const TVector3& position, const TVector3& velocity, double jdUtc);

// The heliocentric orbit of a meteoroid arriving from the geocentric radiant
// (degrees, J2000) at the geocentric speed (m/s) at the UTC Julian date; the
// meteoroid is placed at the Earth's centre (its distance from it changes the
// elements by less than their precision).
TOrbitElements heliocentricOrbit(double raGeocentric, double decGeocentric, double speedGeocentric, double jdUtc);

}  // namespace orbis
