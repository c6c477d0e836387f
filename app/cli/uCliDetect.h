#pragma once
// `orbisight-cli detect`: runs the meteor detector over every frame of an
// uncompressed AVI file with the station's settings and writes the event
// clips into the station's night directories, as a live session would have.

#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "astro/uDateTime.h"
#include "astro/uNotifier.h"
#include "capture/uMemoryAVI.h"

namespace orbis {

class TConfiguration;

// What one run of the detector over a file found.
struct TDetectionRun {
    int frames = 0;
    std::vector<TWrittenClip> clips;  // in the order of the events
    bool droppedAtEnd = false;        // the file ended while an event collected its frames
    int shutdownFrame = -1;           // first frame at the automatic shutdown level
    int failedFrames = 0;             // frames whose event handling failed: an event may be lost
    int missingFrames = 0;            // frames the input announces but that are damaged or cut off
    bool interrupted = false;         // stopped before the last frame
};

// Runs the detector over every frame of an uncompressed AVI file and waits
// for its clips. The start time of frame 0: the given one, else the clip's
// name (yyyymmdd/hhnnss_zzz.avi), else the file's modification time less
// the video's length (a recording is last modified when it ends). The input
// is never overwritten by a clip, whatever its name. When stop returns true
// (asked before every frame) the run ends there; the clips of the events
// declared so far are finished.
TDetectionRun runDetection(const std::string& input, const std::string& station, std::optional<TDateTime> start,
                           const TConfiguration& config, UserNotifier& notifier,
                           const std::function<bool()>& stop = {});

// Runs the command; args are the words after "detect". Returns the exit
// status: 0 done, 1 some clip could not be written or frames of the input
// are missing, 2 bad arguments or an input that cannot be read, 128 + the
// signal's number when SIGINT, SIGTERM or SIGHUP stopped it.
int detectCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                  std::ostream& err);

// "YYYY-MM-DD hh:nn:ss" with optional ".zzz"; EConvertError otherwise.
TDateTime parseStartTime(std::string_view text);

// The local start time a clip's name gives: ".../yyyymmdd/hhnnss_zzz.avi",
// the naming of event clips and plain recordings.
std::optional<TDateTime> startTimeFromClipName(std::string_view path);

}  // namespace orbis
