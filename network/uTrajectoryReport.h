#pragma once
// A solved trajectory as the user reads it (text) and as other programs read
// it (JSON, docs/trajectory.md); a night's meteors as one table.

#include <string>
#include <vector>

#include "astro/uDiagnostic.h"
#include "network/uTrajectory.h"

namespace orbis {

// "2024-08-12T01:12:03.456Z" of a UTC Julian date.
std::string utcOfJulianDate(double jdUtc);
// "20240812_011203": the begin's UT, naming a meteor's file.
std::string meteorName(const TTrajectory& trajectory);

std::string trajectoryText(const TTrajectory& trajectory);
std::string trajectoryJson(const TTrajectory& trajectory);

// One meteor of a night: the events that saw it, and its trajectory or the
// reason it has none.
struct TNightMeteor {
    std::vector<std::string> events;  // "station/event" of every station that saw it
    double jdUtc = 0;                 // its first frame
    std::optional<TTrajectory> trajectory;
    TDiagnostic refusal;              // when there is no trajectory
    std::string file;                 // the JSON file written for it, or empty
};
// A fixed-width table, a meteor per line, refusals by their code's name.
std::string nightTable(const std::vector<TNightMeteor>& meteors);

}  // namespace orbis
