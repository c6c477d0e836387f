#pragma once
// Calendar dates to modified Julian dates, and local mean sidereal time.

namespace orbis {

// Modified Julian date of a calendar date and hour of day (UT). Dates up to
// 1582 October 4 are in the Julian calendar, later ones in the Gregorian.
// MJD(1, 1, 2000, 12.0) = 51544.5.
double MJD(int day, int month, int year, double hour);

// Local mean sidereal time in hours, 0 <= value < 24, for a modified Julian
// date (UT) and a geographic longitude in degrees counted positive towards
// the west. Multiply by 15 for degrees.
double LMST(double mjd, double lambdaWestPositiveDeg);

}  // namespace orbis
