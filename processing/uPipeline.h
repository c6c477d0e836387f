#pragma once
// The offline processing of one event directory. The image stages turn the
// extracted frames F001.bmp … into the work bitmaps of the event: M.bmp (the
// background for magnitudes), P.bmp (the processed background the stars are
// found on) and R.bmp (the result with the meteor). Every stage works from
// and to the work files, so a second run continues where the first ended.

#include <string>
#include <vector>

#include "astro/uNotifier.h"

namespace orbis {

class TConfiguration;

// The names one run works with.
struct TEventFiles {
    std::string eventDirectory;
    std::string nightDirectory;
    std::string eventName;
    std::string stem;  // eventDirectory + "/M" + eventName

    std::string workFile(std::string_view suffix) const { return stem + std::string(suffix); }
};

// The names of an event directory, whose parent is its night directory.
TEventFiles eventFiles(const std::string& eventDirectory);

// The event's frame files (F001.bmp …, names of exactly 8 characters), full
// paths in listing order.
std::vector<std::string> frameFiles(const std::string& eventDirectory);

struct TImageStagesResult {
    bool ran = false;      // there were frames to work from
    bool skipped = false;  // P.bmp and M.bmp were already there
    int frames = 0;
    int width = 0;         // of P.bmp: after doubling and margins
    int height = 0;
};

// The size of P.bmp and R.bmp made from frames of frameWidth x frameHeight:
// the height doubled where doubleFrameHeight is on, the distortion margins
// added on every side where correctDistortion is. M.bmp keeps the frames'
// size.
struct TPictureSize {
    int width = 0, height = 0;
};
TPictureSize processedPictureSize(int frameWidth, int frameHeight, const TConfiguration& config);

// Raises EInvalidGraphic naming the file, its size and the expected one when
// a loaded work bitmap is not of the expected size: a bitmap of another size
// (another camera's, a hand edit, a run with other settings) would bind and
// measure the stars of another picture.
void requireWorkBitmapSize(const std::string& path, int width, int height, TPictureSize expected);

// Runs the image stages on an event directory: reads the frames, removes
// the dark frame (file `darkFrame` inside programDirectory, when present;
// one of another size than the frames is left out, with a message),
// levels the background, sums the frames, writes M.bmp, stretches the
// contrast, overlays the meteor, doubles the height, corrects the
// distortion, writes P.bmp and R.bmp. Does nothing without frames; skips the
// stages when P.bmp, M.bmp and R.bmp exist, after checking their sizes
// against the frames' (requireWorkBitmapSize). Frames of different sizes are
// refused (EInvalidGraphic naming the odd frame) before anything is written.
TImageStagesResult runImageStages(const std::string& eventDirectory, const TConfiguration& config,
                                  const std::string& programDirectory, UserNotifier& notifier);

}  // namespace orbis
