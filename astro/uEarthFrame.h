#pragma once
// The Earth-fixed frame the trajectory is solved in (ITRS on the WGS84
// ellipsoid, metres) and the turns between it and the sky's J2000 axes
// (GCRS), with ERFA: precession and nutation, the Earth's rotation angle at
// the instant, polar motion neglected (under 0.5″). UT1 is taken as UTC:
// the difference (under 0.9 s) turns the sky by under 14″.

#include "astro/uVector3.h"

namespace orbis {

// The Earth's rotation rate, radians per second (about the ITRS z axis).
inline constexpr double kEarthRotationRate = 7.292115e-5;
// The Earth's gravitational parameter, m^3/s^2.
inline constexpr double kEarthGM = 3.986004418e14;

struct TGeodetic {
    double latitude = 0;   // degrees
    double longitude = 0;  // degrees, east positive
    double height = 0;     // metres above the ellipsoid
};

TVector3 geodeticToEarthFixed(const TGeodetic& place);
TGeodetic earthFixedToGeodetic(const TVector3& position);

// Terrestrial Time of a UTC Julian date, as a Julian date.
double terrestrialTime(double jdUtc);

// The rotation from the sky's J2000 axes to the Earth-fixed ones at an
// instant. The precession and nutation are taken at `jdReference` (they
// change by milliarcseconds in a day), the Earth's rotation at `jdUtc`.
class TEarthRotation {
public:
    explicit TEarthRotation(double jdReference);
    TMatrix3 skyToEarth(double jdUtc) const;

private:
    double rc2i_[3][3];
};

// The Earth-fixed unit vector of an azimuth (from north through east) and
// altitude (degrees) at a place, on its ellipsoid's normal, and back.
TVector3 horizontalDirection(const TGeodetic& place, double azimuth, double altitude);
void horizontalOf(const TVector3& direction, const TGeodetic& place, double& azimuth, double& altitude);

// A unit vector of right ascension and declination (degrees) and back.
TVector3 directionOf(double raDeg, double decDeg);
void raDecOf(const TVector3& direction, double& raDeg, double& decDeg);

}  // namespace orbis
