#pragma once
// The morning's work of the unattended station on a night directory: every
// clip not yet done is taken into work (unless its event directory exists
// already), its track proposed (an observer's MeteorTrack.txt is kept), the
// event processed, then the night's daily summary and R90 export written.
// Events run in parallel; each keeps what it is told and the results come
// back in clip order, so a parallel run writes and tells what a serial one does.
// A clip is done when its event has a report, or its frames hold no meteor
// (kept for the observer), or its processing ran through without a problem
// and wrote no report (reports switched off). The marker lists the done
// clips and is replaced atomically at the end of each morning: a second run,
// after a restart, takes only the clips it does not list. A clip whose work
// failed is not listed: it is kept and tried again the next morning, up to
// kMorningAttempts mornings; then it is listed (so the night can be done)
// but stays in the night's failure list, and retention never removes a clip
// without a report.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "astro/uNotifier.h"
#include "station/uStationDiagnostics.h"

namespace orbis {

class TConfiguration;

// The marker file of a night directory: the clips its mornings have done.
inline constexpr const char* kNightDoneName = ".orbisight-done";
// The clips of a night whose work failed, with the mornings tried and the
// last reason: "clip<TAB>mornings<TAB>reason" per line.
inline constexpr const char* kNightFailedName = ".orbisight-failed";
// Mornings a failing clip is tried before the night is let go without it.
inline constexpr int kMorningAttempts = 3;

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
    std::optional<TDiagnostic> error;   // why it failed
    std::vector<TDiagnostic> problems;  // warnings and errors of its stages
    std::optional<TDiagnostic> binding; // the figures of the binding's verification, if it ran
    // Work that failed (Failed, or NoReport with a problem): the morning it
    // was tried in (1 for the first) and whether it is now given up.
    int attempt = 0;
    bool givenUp = false;
};

// True when the event's clip is done (see above); false for work that failed.
bool morningEventDone(const TMorningEvent& event);

// Why an event's work failed: its error, or its first problem, worded for
// the log.
std::string morningFailureReason(const TMorningEvent& event, const TWording& word = plainLogText);

struct TMorningResult {
    std::vector<TMorningEvent> events;  // in clip order
    std::string summaryFile, r90File;   // empty when not written
    std::vector<TDiagnostic> exportProblems;
    bool finished = false;              // the morning ran through and the marker was written (else
                                        // stopped, or the marker could not be written: in exportProblems)
    bool nightDone = false;             // finished, and every clip of the night is done
};

// A clip of a night whose work failed.
struct TFailedClip {
    std::string clip;
    int mornings = 0;
    std::string reason;
};

// The night's failure list (empty when there is none or it cannot be read:
// it only counts mornings).
std::vector<TFailedClip> failedClips(const std::string& nightDirectory);

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
// time (0: one per core) on the event scheduler (station/uEventScheduler).
// stopRequested is looked at before each event; a stopped run writes neither
// exports nor marker, and the next run continues. onEvent hears of each
// event once it and every event before it have ended (one call at a time,
// in clip order), so the log reads as a run one after another; a kill loses
// at most the records of the events waiting for an earlier one, whose
// reports the next morning finds and tells.
// Raises what requireProcessingSettings raises before anything is done.
TMorningResult processNightMorning(const std::string& nightDirectory, const TConfiguration& config,
                                   const std::string& programDirectory, unsigned threads,
                                   const std::function<bool()>& stopRequested = {},
                                   const std::function<void(const TMorningEvent&)>& onEvent = {});

// One line of the station's log about an event, its diagnostics worded by
// `word`.
std::string morningEventLine(const TMorningEvent& event, const TWording& word = plainLogText);

}  // namespace orbis
