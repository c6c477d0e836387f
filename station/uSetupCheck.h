#pragma once
// A station's set-up checked before the night rather than discovered in the
// morning: its settings file, values out of range or never changed from
// the defaults, the catalogs, the camera, the free disk against a night's
// need and the clock. `orbisight-cli check` prints the findings for a
// person; the unattended station logs them when it starts.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "station/uStationDiagnostics.h"
#include "station/uStationStatus.h"

namespace orbis {

class TConfiguration;

enum class CheckSeverity {
    Note,     // for information
    Warning,  // suspicious: results may be wrong or a night may be lost
    Error,    // the station cannot work as it is set up
};

struct TCheckFinding {
    CheckSeverity severity = CheckSeverity::Note;
    TDiagnostic diagnostic;
};

struct TSetupCheckInput {
    std::string programDirectory;
    // The device node the station will open (a "/dev/…" path), if known.
    std::optional<std::string> deviceNode;
    // The GStreamer source description it will open instead, if known.
    std::optional<std::string> sourcePipeline;
    TClockState clock;
    std::uintmax_t freeBytes = 0;
    // The system zone's offset from UT now, in hours, to compare with
    // timeZone; empty when not known.
    std::optional<double> systemUtcOffsetHours;
};

// Loads the station's Orbisight.ini itself (its absence is an error: a
// station would run with the built-in place) and looks at everything above.
std::vector<TCheckFinding> checkStationSetup(const TSetupCheckInput& input);

// The same, for settings already loaded (the unattended station's).
std::vector<TCheckFinding> checkStationSetup(const TSetupCheckInput& input, const TConfiguration& config);

// What a night of detection may need on the disk: a clip per event of the
// frames before and after it, at most kNightEvents events.
std::uintmax_t nightDiskNeed(const TConfiguration& config);
inline constexpr int kNightEvents = 300;

// "error: …", "warning: …", "note: …", the finding worded by `word`.
std::string checkFindingLine(const TCheckFinding& finding, const TWording& word = plainLogText);

// The system zone's offset from UT at this moment, in hours.
double systemUtcOffsetHours();

}  // namespace orbis
