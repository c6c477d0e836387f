#pragma once
// Taking a clip into work: every frame of a clip becomes an 8-bit grey
// bitmap F001.bmp, F002.bmp, ... of the directory the start number decides
// (its own event directory for "1", else the chosen folder or the event
// directory), so the event can be marked and processed. Every frame is
// written once: an uncompressed clip is read directly, never by playing it
// at its pace, where a busy machine drops frames.

#include <optional>
#include <string>

#include "astro/uNotifier.h"

namespace orbis {

struct TClipIntake {
    std::string targetDirectory;
    int firstNumber = 1;    // of the first frame file written
    int framesSaved = 0;
    int declaredFrames = 0; // the frames the clip's headers announce
    int missingFrames = 0;  // announced by the clip but damaged or cut off: not saved
    bool decoded = false;   // a compressed clip, its frames decoded by the media framework

    // A decoded clip gave another number of frames than its headers announce.
    bool countMismatch() const { return decoded && framesSaved != declaredFrames; }
};

// The clip is read and checked before any directory is made (only a file
// is taken; a clip without frames or without an event name is refused). An
// AVI clip the project's reader cannot take (a compressed one) is decoded
// by the media framework as fast as it goes. A failure takes back the
// folder and the frames this run made, then propagates. The start number text must be a whole number of 1 or more.
// A cancel request (notifier.cancelRequested()) is honoured between frames:
// the run takes back what it made and raises Exception(IntakeCancelled).
TClipIntake takeClipIntoWork(const std::string& clip, const std::string& startNumberText,
                             const std::optional<std::string>& chosenFolder, UserNotifier& notifier);

}  // namespace orbis
