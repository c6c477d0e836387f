#include "astro/timlib.h"

#include <cmath>

#include "astro/matlib.h"

namespace orbis {

double MJD(int day, int month, int year, double hour) {
    // The calendar switch is decided on the date as given, before January and
    // February are counted as months 13 and 14 of the previous year.
    const double a = 10000.0 * year + 100.0 * month + day;
    if (month <= 2) {
        month += 12;
        year -= 1;
    }
    double b;
    if (a <= 15821004.1) {
        b = std::trunc((year + 4716) / 4.0) - 1181.0;
    } else {
        b = std::trunc(year / 400.0) - std::trunc(year / 100.0) + std::trunc(year / 4.0);
    }
    return (365.0 * year - 679004.0) + b + std::trunc(30.6001 * (month + 1)) + day + hour / 24.0;
}

double LMST(double mjd, double lambdaWestPositiveDeg) {
    // The centuries are taken at 0h UT; the time of day enters linearly with
    // the ratio of sidereal to solar time.
    const double mjd0 = std::trunc(mjd);
    const double ut = (mjd - mjd0) * 24.0;
    const double t = (mjd0 - 51544.5) / 36525.0;
    const double gmst =
        6.697374558 + 1.0027379093 * ut + (8640184.812866 + (0.093104 - 6.2e-6 * t) * t) * t / 3600.0;
    return 24.0 * FRAC((gmst - lambdaWestPositiveDeg / 15.0) / 24.0);
}

}  // namespace orbis
