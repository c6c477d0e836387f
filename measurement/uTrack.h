#pragma once
// The meteor's track as the observer marks it on the event's frames: a
// start and an end point, each with the number of the frame it was set on,
// and one brightness measurement. Saved as the event's MeteorTrack.txt:
//   0|0|x|y|frame|brightness sum|START
//   0|0|x|y|frame|pixel count|FINISH
// x from the left and y from the top of the frame file, whole pixels.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "astro/uDiagnostic.h"

namespace orbis {

struct TTrackPoint {
    int x = 0;
    int y = 0;
    int frame = 0;
};

// One measurement of the meteor's brightness (the star fill's pixel count
// and the sum of their values).
struct TTrackBrightness {
    int pixelCount = 0;
    int64_t brightnessSum = 0;
};

// The frame number of a shown file: characters 2-4 of a frame file name
// ("F012.bmp" -> 12), 0 for any other file.
int frameNumberOfFile(std::string_view bareName);

// The two lines of the track file, START first.
std::vector<std::string> trackFileLines(const TTrackPoint& start, const TTrackPoint& finish,
                                        std::optional<TTrackBrightness> brightness);

// Writes eventDirectory/MeteorTrack.txt, replacing an earlier one.
void saveTrackFile(const std::string& eventDirectory, const TTrackPoint& start, const TTrackPoint& finish,
                   std::optional<TTrackBrightness> brightness);

// Why the track file cannot be measured on its event, or nothing: a line that
// is not one START or one FINISH line of seven fields with numbers, a
// brightness that is not a whole number from 0 to 255 per pixel of the
// frame, a frame outside
// 1..frameCount, a point outside the unprocessed frame of frameWidth x
// frameHeight pixels, an end marked on an earlier frame than the start, or a
// start and end on the same pixel (a track of no length). The diagnostic
// names the file and the line.
std::optional<TDiagnostic> trackProblem(const std::string& trackFilePath, int frameCount, int frameWidth,
                                        int frameHeight);

}  // namespace orbis
