#pragma once
// The whole offline processing of one event directory, from the extracted
// frames to the event report and the annotated JPEG: image stages, star
// detection, binding to the catalog, plate solution, labels, magnitudes,
// track coordinates, report, JPEG, clean-up. Every stage works from and to
// the work files, and a stage whose output exists is skipped, so a second
// run continues or repeats only what is missing.

#include <string>
#include <vector>

#include "astro/uNotifier.h"
#include "astrometry/uPlateSolution.h"

namespace orbis {

class TConfiguration;

// The advisory lock file of an event directory while a run works on it.
inline constexpr const char* kEventLockName = ".orbisight.lock";
// The work files a run that ended without its report wrote (removed by the
// next run where they are unchanged).
inline constexpr const char* kUnfinishedRunName = ".orbisight-unfinished";

// Removes the event's lock file when no run holds it (a run that was
// killed); true when it was removed.
bool removeStaleEventLock(const std::string& eventDirectory);

struct TProcessResult {
    bool ran = false;   // the event had frames to work from
    bool busy = false;  // another run held the event: nothing was done
    bool reportWritten = false;
};

// Raises EConvertError naming the first setting the switched-on stages
// would use outside its physical range (TConfiguration::requireInRange).
void requireProcessingSettings(const TConfiguration& config);

// Runs every stage the configuration switches on, after
// requireProcessingSettings. One run at a time works on an event: a run
// that finds the event held by another (process or thread) says so through
// the notifier and returns busy. Problems of a stage are shown through the
// notifier and the next stage goes on; an error that ends the run (an
// unreadable bitmap, a malformed number) propagates and leaves every file
// not yet rewritten as it was. The sky scan runs on scan.threads threads
// (every core by default; fewer when several events run at once).
TProcessResult processEvent(const std::string& eventDirectory, const TConfiguration& config,
                            const std::string& programDirectory, UserNotifier& notifier, TScanOptions scan = {});

}  // namespace orbis
