#pragma once
// Coordinate transformations on the celestial sphere: cartesian to polar,
// equatorial to horizontal, the gnomonic (tangent-plane) projection between
// equatorial and standard coordinates, and the crossing of two great
// circles. All angles in degrees.

namespace orbis {

// Polar coordinates of (x, y, z): radius r, latitude theta (-90..90) and
// longitude phi (0..360).
void POLAR(double x, double y, double z, double& r, double& theta, double& phi);

// Altitude h and azimuth az (from the south towards the west, 0..360) of a
// body at declination dec and hour angle tau, seen from geographic latitude
// phi (south negative).
void EQUHOR(double dec, double tau, double phi, double& h, double& az);

// Standard coordinates (X towards the west, Y towards the north, radians of
// arc at the tangent point) of (ra, dec) in the gnomonic projection about
// (ra0, dec0). Only meaningful for points less than 90 degrees from the
// tangent point.
void EQUSTD(double ra0, double dec0, double ra, double dec, double& X, double& Y);

// Inverse of EQUSTD, on either side of a celestial pole inside the field.
// The right ascension is not reduced to 0..360.
void STDEQU(double ra0, double dec0, double X, double Y, double& ra, double& dec);

struct TSkyPoint {
    double ra;
    double dec;
};

// Crossing of the great circle through p1, p2 with the one through p3, p4.
// Of the two antipodal crossings the one computed is kept, except that a
// crossing within 5 degrees of right ascension of the antipode of p2 is
// replaced by its antipode. Returns false and leaves result untouched when a
// circle has no representation: points on the equator, coincident or
// antipodal points, and circles through right ascension 0 or 180 on the
// equator.
bool intersectGreatCircles(TSkyPoint p1, TSkyPoint p2, TSkyPoint p3, TSkyPoint p4, TSkyPoint& result);

}  // namespace orbis
