#pragma once
// Detection over a recorded file: the meteor detector runs over every frame
// of a video (uncompressed AVI read directly, anything else GStreamer
// decodes) with the station's settings, and the event clips go into the
// station's night directories, as a live session would have written them.

#include <functional>
#include <optional>
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
// declared so far are finished; so, too, when the notifier's
// cancelRequested() is true.
TDetectionRun runDetection(const std::string& input, const std::string& station, std::optional<TDateTime> start,
                           const TConfiguration& config, UserNotifier& notifier,
                           const std::function<bool()>& stop = {});

}  // namespace orbis
