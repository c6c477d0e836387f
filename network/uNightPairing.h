#pragma once
// The meteors several stations saw in one night: the events of different
// stations that are the same meteor (their frames overlap in time, and their
// planes meet where meteors burn, 70 to 130 km up), grouped and solved.

#include <span>
#include <string>
#include <vector>

#include "network/uTrajectory.h"
#include "network/uTrajectoryReport.h"

namespace orbis {

// One station's night: its name (for the table) and its events' measurements.
struct TStationNight {
    std::string station;
    std::vector<TEventMeasurement> events;
};

struct TPairingLimits {
    double timeTolerance = 2.0;  // seconds the stations' clocks may differ
    double lowHeight = 70e3, highHeight = 130e3;  // metres
};

struct TEventRef {
    int night = 0, event = 0;
    friend bool operator==(const TEventRef&, const TEventRef&) = default;
};

// Groups of events of different stations that are one meteor, each group in
// the nights' order, the groups in time order. An event without a place or
// with too few frames is in no group; of two events of one station in a
// group, the one sharing more time with the others stays.
std::vector<std::vector<TEventRef>> sameMeteors(std::span<const TStationNight> nights,
                                                const TPairingLimits& pairing = {});

// Every group solved (or refused), in time order.
std::vector<TNightMeteor> solveNights(std::span<const TStationNight> nights, const TPairingLimits& pairing = {},
                                      const TTrajectoryLimits& limits = {});

}  // namespace orbis
