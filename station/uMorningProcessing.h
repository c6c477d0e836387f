#pragma once
// The morning's work of the unattended station on a night directory: every
// clip not yet done is taken into work (unless its event directory exists
// already), its track proposed (an observer's MeteorTrack.txt is kept), the
// event processed, then the night's daily summary and R90 export written.
// Events run in parallel; each keeps what it is told and the results come
// back in clip order, so a parallel run writes what a serial one writes.
// When the night is done a marker listing its clips is written atomically:
// a second run, after a restart, takes only clips that came later.

#include <functional>
#include <string>
#include <vector>

#include "astro/uNotifier.h"

namespace orbis {

class TConfiguration;

// The marker file of a night directory: the clips its mornings have done.
inline constexpr const char* kNightDoneName = ".orbisight-done";

enum class MorningOutcome {
    Report,      // processed, report written
    NoReport,    // processed, no report (a stage said why)
    NoTrack,     // no meteor found on the frames: kept for the observer, not processed
    Failed,      // taking into work or processing ended with an error; the files are kept
};

struct TMorningEvent {
    std::string clip;            // bare file name
    std::string eventDirectory;
    MorningOutcome outcome = MorningOutcome::Failed;
    bool mended = false;                // the clip's writer never closed it; its index was rebuilt
    std::string error;                  // why it failed
    std::vector<std::string> problems;  // warnings and errors of its stages, "caption: text"
    std::string binding;                // the figures of the binding's verification, if it ran
};

struct TMorningResult {
    std::vector<TMorningEvent> events;  // in clip order
    std::string summaryFile, r90File;   // empty when not written
    std::vector<std::string> exportProblems;
    bool finished = false;              // every clip done and the marker written (else stopped, or
                                        // the marker could not be written: in exportProblems)
};

// A night directory's name: yyyymmdd.
bool isNightDirectoryName(const std::string& name);

// The clips of a night directory the marker does not list, in name order.
std::vector<std::string> clipsAwaitingProcessing(const std::string& nightDirectory);

// The night directories (yyyymmdd) of the program directory with clips
// awaiting processing, oldest first.
std::vector<std::string> nightsAwaitingProcessing(const std::string& programDirectory);

// True when the marker lists the clip (bare file name).
bool clipProcessed(const std::string& nightDirectory, const std::string& clipName);

// Does the morning's work on the night with up to `threads` events at a
// time (0: one per core). stopRequested is looked at before each event; a
// stopped run writes neither exports nor marker, and the next run continues.
// Raises what requireProcessingSettings raises before anything is done.
TMorningResult processNightMorning(const std::string& nightDirectory, const TConfiguration& config,
                                   const std::string& programDirectory, unsigned threads,
                                   const std::function<bool()>& stopRequested = {});

// One line of the station's log about an event.
std::string morningEventLine(const TMorningEvent& event);

}  // namespace orbis
