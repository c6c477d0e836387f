#pragma once
// The result picture of an event as a JPEG file: the grey frame the pipeline
// draws the meteor on, compressed with libjpeg.

#include <string>

#include "processing/uBitmap.h"

namespace orbis {

// Writes a grey frame (bottom-up rows in memory) as a baseline greyscale
// JPEG, top row first. The file is compressed in memory and then replaces
// the target whole, so a failure never leaves a truncated picture. Raises
// std::invalid_argument when the pixel count does not match the size,
// EInOutError when libjpeg refuses the picture or the file cannot be written.
void saveGreyJpeg(const TGreyFrame& frame, const std::string& path, int quality = 75);

}  // namespace orbis
