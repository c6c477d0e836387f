#pragma once
// When the unattended station watches the sky: while the Sun stands below
// the altitude of the setting sunAltitudeNight at the station's place. Pure
// functions of a local time (TDateTime, the station's time zone) and a
// place, so the schedule is tested without a clock.

#include <optional>

#include "astro/uDateTime.h"

namespace orbis {

class TConfiguration;

struct TStationPlace {
    double latitude = 0.0;               // north positive, degrees
    double longitudeWestPositive = 0.0;  // degrees, as LMST takes it
    double timeZoneHours = 0.0;          // local time = UT + this
    double nightSunAltitude = -10.0;     // night while the Sun is below, degrees

    static TStationPlace fromConfiguration(const TConfiguration& config);
};

// The Sun's geometric altitude in degrees at a local time.
double sunAltitude(TDateTime localTime, const TStationPlace& place);

bool isNight(TDateTime localTime, const TStationPlace& place);

// The first moment after localTime (to the second) at which isNight gives
// the other answer; nothing within two days (polar day or night).
std::optional<TDateTime> nextScheduleChange(TDateTime localTime, const TStationPlace& place);

}  // namespace orbis
