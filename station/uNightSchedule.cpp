#include "station/uNightSchedule.h"

#include "astro/matlib.h"
#include "astro/sphlib.h"
#include "astro/sunlib.h"
#include "astro/timlib.h"
#include "config/uConfiguration.h"

namespace orbis {

namespace {

// TDateTime counts from 1899-12-30, which is MJD 15018.
constexpr double kMjdOfDateTimeZero = 15018.0;
constexpr double kSecond = 1.0 / 86400.0;

}  // namespace

TStationPlace TStationPlace::fromConfiguration(const TConfiguration& config) {
    config.requireInRange({"latitude", "longitude", "timeZone", "sunAltitudeNight"});
    return {config.signedLatitude(), config.signedLongitude(), config.timeZone(),
            config.sunAltitudeNight()};
}

double sunAltitude(TDateTime localTime, const TStationPlace& place) {
    const double mjd = localTime - place.timeZoneHours / 24.0 + kMjdOfDateTimeZero;
    const double t = (mjd - 51544.5) / 36525.0;
    double l = 0, b = 0, r = 0;
    SUN200(t, l, b, r);
    // Ecliptic of date to equator of date; the arcminute nutation leaves is
    // nothing next to a threshold in degrees.
    const double eps = 23.43929111 - 0.0130042 * t;
    const double x = CS(b) * CS(l);
    const double y = CS(eps) * CS(b) * SN(l) - SN(eps) * SN(b);
    const double z = SN(eps) * CS(b) * SN(l) + CS(eps) * SN(b);
    double radius = 0, dec = 0, ra = 0;
    POLAR(x, y, z, radius, dec, ra);
    const double tau = LMST(mjd, place.longitudeWestPositive) * 15.0 - ra;
    double h = 0, az = 0;
    EQUHOR(dec, tau, place.latitude, h, az);
    return h;
}

bool isNight(TDateTime localTime, const TStationPlace& place) {
    return sunAltitude(localTime, place) < place.nightSunAltitude;
}

std::optional<TDateTime> nextScheduleChange(TDateTime localTime, const TStationPlace& place) {
    // The Sun crosses a given altitude at most twice a day and never twice
    // within ten minutes but near the poles' grazing days, which a coarse
    // step may miss without harm: the station is then a few minutes late.
    constexpr double kStep = 10.0 / 1440.0;
    const bool night = isNight(localTime, place);
    double before = localTime;
    for (double t = localTime + kStep; t <= localTime + 2.0; t += kStep) {
        if (isNight(t, place) == night) {
            before = t;
            continue;
        }
        double after = t;
        while (after - before > kSecond) {
            const double mid = (before + after) / 2;
            (isNight(mid, place) == night ? before : after) = mid;
        }
        return after;
    }
    return std::nullopt;
}

}  // namespace orbis
