#pragma once
// Position of the Sun from the abridged Newcomb theory SUN200 (about 1"
// for 1900-2100).

namespace orbis {

// Geometric ecliptic coordinates of the Sun, mean equinox and ecliptic of
// date, for T Julian centuries since J2000 (T = (MJD - 51544.5) / 36525):
// longitude L in degrees (0 <= L < 360), latitude B in degrees, distance R
// in astronomical units. No aberration or nutation is applied.
void SUN200(double T, double& L, double& B, double& R);

}  // namespace orbis
