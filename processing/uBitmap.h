#pragma once
// Device-independent bitmap files: the frames of an event, the work bitmaps
// of the pipeline, dark and mask frames. Only uncompressed 8-, 24- and 32-bit
// pictures exist in the station's files; anything else is refused with
// EInvalidGraphic rather than guessed at.
//
// In memory rows are tightly packed (no 4-byte padding) and always bottom-up,
// whatever the file's row order: row 0 is the bottom row of the picture, as
// the frame operations expect. The padding exists only in the file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orbis {

// One colour table entry, in the byte order of the file.
struct TPaletteEntry {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

struct TBitmap {
    int width = 0, height = 0;
    int bitsPerPixel = 8;                // 8, 24 or 32
    std::vector<TPaletteEntry> palette;  // 8-bit only: up to 256 entries
    // Bottom-up rows of rowBytes() bytes each. 24/32-bit pixels keep the
    // file's byte order: blue, green, red (, unused).
    std::vector<uint8_t> pixels;

    // Bytes of one row in memory: width * bitsPerPixel / 8.
    std::size_t rowBytes() const;
};

// Reads an uncompressed 8-, 24- or 32-bit bitmap (32-bit BI_BITFIELDS only
// with the usual blue-green-red masks), bottom-up or top-down. A missing or
// unreadable file raises EInOutError; a file that is not such a bitmap, or
// is cut short, raises EInvalidGraphic. Both messages name the file.
TBitmap loadBitmap(const std::string& path);

// Writes an 8-, 24- or 32-bit bottom-up bitmap, replacing the file whole (a
// failed save leaves the previous file). An 8-bit bitmap without a palette is
// written with the grey palette. Raises std::invalid_argument for a size or
// depth that cannot be written or pixels of the wrong length, EInOutError
// when the file cannot be written.
void saveBitmap(const TBitmap& bitmap, const std::string& path);

// The 256-entry grey palette: entry i = red i, green i, blue i.
std::vector<TPaletteEntry> greyPalette();

// Switches the bitmap to 8 bits per pixel with the 256-entry grey palette
// (entry i = red i, green i, blue i). 8-bit pixels are kept as they are; the
// pixels of a deeper bitmap are not converted, they become width * height
// zeros.
void setGrayPalette(TBitmap& bitmap);

// A grey picture as the frame operations hold it: width * height bytes,
// bottom-up rows, tightly packed.
struct TGreyFrame {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

// The pixel memory of an 8-bit bitmap file (palette indices as stored, which
// for the station's grey bitmaps are the grey values). Any other depth raises
// EInvalidGraphic naming the file.
TGreyFrame loadGreyFrame(const std::string& path);

// Writes the buffer as an 8-bit bitmap with the grey palette. The buffer must
// hold exactly width * height bytes (std::invalid_argument otherwise).
void saveGreyBitmap(std::span<const uint8_t> buffer, int width, int height, const std::string& path);

}  // namespace orbis
