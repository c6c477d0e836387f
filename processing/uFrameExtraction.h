#pragma once
// Taking a clip into work: every frame the video delivers becomes an 8-bit
// grey bitmap F001.bmp, F002.bmp, … of an event directory, which the photo
// page shows, the track is marked on and the pipeline processes. Frames are
// fed in one at a time (GrabVideo), from the media framework's playback or
// from the project's AVI reader.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "astro/uNotifier.h"

namespace orbis {

// The directory a clip's frames go to: with start number "1" the clip's own
// event directory; with any other start number a chosen folder, or the
// clip's event directory when none was chosen (or the clips directory
// itself). Not created here.
std::string extractionTarget(const std::string& clipsDirectory, const std::string& clipFileName,
                             const std::string& startNumberText, const std::optional<std::string>& chosenFolder);

// The format of the delivered frames.
struct TFrameFormat {
    int width = 0;
    int height = 0;         // negative: rows arrive top row first
    int bitsPerPixel = 8;
};

class TFrameExtractor {
public:
    // Frames are saved into targetDirectory (created when missing; EInOutError
    // when that fails) numbered from startNumber (>= 1).
    TFrameExtractor(std::string targetDirectory, int startNumber, UserNotifier& notifier);

    // Saves one frame as the next frame file. 8-bit frames are stored byte for
    // byte (a top-down frame flipped so the picture is upright); 24- and
    // 32-bit frames become grey by their green byte; any other depth shows
    // kGreyFormatMessage and saves nothing. Rows may be tightly packed or
    // padded to 4 bytes. Returns false when the frame was not saved.
    bool GrabVideo(std::span<const uint8_t> frame, const TFrameFormat& format);

    int nextNumber() const { return counter_; }
    int framesSaved() const { return saved_; }
    const std::string& targetDirectory() const { return target_; }

private:
    std::string target_;
    int counter_;
    int saved_ = 0;
    UserNotifier& notifier_;
};

// Rewrites a 24- or 32-bit bitmap as an 8-bit grey bitmap of its green bytes;
// any other bitmap shows kGreyFormatMessage and stays as it is.
bool convertToGrey(const std::string& bitmapPath, UserNotifier& notifier);

}  // namespace orbis
