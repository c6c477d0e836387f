#pragma once
// The station's state for eyes that are not at the station: status.json in
// the station directory (machine-readable, its fields documented in
// docs/status.md) and status.html, a static page of the same data with the
// last night's result pictures, for a web server the observer already runs.
// Everything is read from the station's files, its settings and the system,
// so `orbisight-cli status` writes the same files the station writes after
// each night and each morning.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "astro/uDiagnostic.h"
#include "astro/uDateTime.h"

namespace orbis {

class TConfiguration;

inline constexpr const char* kStatusFileName = "status.json";
inline constexpr const char* kStatusPageName = "status.html";

// Whether the system clock is kept synchronised (every UT, and so every
// RA/Dec, depends on it).
enum class ClockSync { Synchronised, NotSynchronised, Unknown };

struct TClockState {
    ClockSync sync = ClockSync::Unknown;
    std::string detail;  // how it was found, or why it is not known
};

// Asks systemd ("timedatectl show -p NTPSynchronized --value").
TClockState systemClockState();
// ClockSynchronised, ClockNotSynchronised or ClockStateUnknown, with how it
// was found as "detail".
TDiagnostic clockStateText(const TClockState& clock);

// A night directory's clips by what became of them.
struct TNightStatus {
    std::string night;           // yyyymmdd
    int clips = 0;
    int reports = 0;             // events with a report
    int failed = 0;              // work failed (kept; tried again, or given up)
    int waitingForMarking = 0;   // no track found: the observer marks it
    int waitingForMorning = 0;   // not yet taken into work
    std::vector<std::string> pictures;  // result JPEGs, relative to the station directory
};

TNightStatus nightStatus(const std::string& programDirectory, const std::string& nightName);

struct TStationStatus {
    std::string version;
    std::string updated;              // ISO 8601 local time with offset
    std::optional<int> runningPid;    // the station holding the directory, if any
    std::string lastNight;            // yyyymmdd, empty when there is none
    std::string dusk, dawn;           // of the last night, ISO 8601; empty when the Sun does not set
    std::vector<TNightStatus> nights;  // newest first, up to kStatusNights
    std::uintmax_t freeBytes = 0;
    TClockState clock;
    std::string camera;               // "detecting (format)", "stopped", "failed: …" or "" (never started)
    std::string lastLine;             // the journal's last line
    std::string lastProblem;          // the journal's last line telling of a failure
};

inline constexpr int kStatusNights = 7;

// The status of a station directory at a local time.
TStationStatus stationStatus(const std::string& programDirectory, const TConfiguration& config, TDateTime localNow,
                             const TClockState& clock, std::uintmax_t freeBytes);

std::string statusJson(const TStationStatus& status);
std::string statusHtml(const TStationStatus& status);

// Writes status.json and status.html atomically.
void writeStationStatus(const std::string& programDirectory, const TStationStatus& status);

}  // namespace orbis
