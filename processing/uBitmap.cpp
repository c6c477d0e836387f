#include "processing/uBitmap.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kPaletteEntrySize = 4;
constexpr std::size_t kMaxPaletteEntries = 256;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dpi; nothing reads it back

// File rows are padded to a multiple of 4 bytes.
uint64_t paddedRow(uint64_t rowBytes) { return (rowBytes + 3) & ~uint64_t{3}; }

// ---------------------------------------------------------------------------
// Reading

// A file that breaks the format (a defect such as "pixelsShort") or uses a
// part of it the reader does not take (a feature such as "compression"),
// with the value the header gave.
[[noreturn]] void damagedBitmap(const std::string& path, const char* defect, std::string value = {}) {
    throw EInvalidGraphic(
        TDiagnostic(Code::BitmapDamaged).with("file", path).with("defect", defect).with("value", std::move(value)));
}
[[noreturn]] void unsupportedBitmap(const std::string& path, const char* feature, std::string value = {}) {
    throw EInvalidGraphic(
        TDiagnostic(Code::BitmapUnsupported).with("file", path).with("feature", feature).with("value", std::move(value)));
}

// Little-endian fields of a buffer whose length the caller has checked.
uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t i32(const uint8_t* p) { return static_cast<int32_t>(u32(p)); }

bool isKnownInfoHeaderSize(uint32_t size) {
    // BITMAPINFOHEADER, the two Adobe extensions of it, V4 and V5.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// ---------------------------------------------------------------------------
// Writing

void put16(std::string& out, std::size_t at, uint16_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}
void put32(std::string& out, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::vector<TPaletteEntry> greyPalette() {
    std::vector<TPaletteEntry> palette(kMaxPaletteEntries);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        auto v = static_cast<uint8_t>(i);
        palette[i] = TPaletteEntry{v, v, v, 0};
    }
    return palette;
}

std::size_t TBitmap::rowBytes() const {
    if (width <= 0 || bitsPerPixel <= 0) return 0;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) / 8;
}

TBitmap loadBitmap(const std::string& path) {
    const std::string file = readFileBytes(path);
    const uint64_t fileSize = file.size();
    const auto* data = reinterpret_cast<const uint8_t*>(file.data());

    if (fileSize < kFileHeaderSize + 4) damagedBitmap(path, "fileHeaderShort");
    if (data[0] != 'B' || data[1] != 'M') damagedBitmap(path, "signature");
    const uint64_t pixelOffset = u32(data + 10);
    const uint32_t headerSize = u32(data + 14);
    if (headerSize == 12) unsupportedBitmap(path, "headerSize", "12");
    if (!isKnownInfoHeaderSize(headerSize)) {
        unsupportedBitmap(path, "headerSize", std::to_string(headerSize));
    }
    if (fileSize < kFileHeaderSize + headerSize) damagedBitmap(path, "infoHeaderShort");

    const uint8_t* info = data + kFileHeaderSize;
    const int32_t width = i32(info + 4);
    const int32_t rawHeight = i32(info + 8);
    const uint16_t bitCount = u16(info + 14);
    const uint32_t compression = u32(info + 16);
    const uint32_t colorsUsed = u32(info + 32);

    if (width <= 0) damagedBitmap(path, "width", std::to_string(width));
    if (rawHeight == 0) damagedBitmap(path, "height", "0");
    if (bitCount != 8 && bitCount != 24 && bitCount != 32) {
        unsupportedBitmap(path, "bitDepth", std::to_string(bitCount));
    }

    // Whatever follows the info header before the colour table: the three
    // masks of a 40-byte header with BI_BITFIELDS.
    uint64_t tableStart = kFileHeaderSize + headerSize;
    if (compression == kBiBitfields && bitCount == 32) {
        const uint8_t* masks = info + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) {
            if (fileSize < tableStart + 12) damagedBitmap(path, "colourMasksShort");
            masks = data + tableStart;
            tableStart += 12;
        }
        // Only the layout of BI_RGB, spelled out; the alpha mask does not matter.
        if (u32(masks) != 0x00FF0000u || u32(masks + 4) != 0x0000FF00u || u32(masks + 8) != 0x000000FFu) {
            unsupportedBitmap(path, "colourMasks");
        }
    } else if (compression != kBiRgb) {
        unsupportedBitmap(path, "compression", std::to_string(compression));
    }

    TBitmap bitmap;
    bitmap.width = width;
    // int64: the magnitude of INT32_MIN does not fit an int.
    const uint64_t height = rawHeight < 0 ? -static_cast<int64_t>(rawHeight) : rawHeight;
    if (height > static_cast<uint64_t>(std::numeric_limits<int>::max())) {
        damagedBitmap(path, "height", std::to_string(rawHeight));
    }
    bitmap.height = static_cast<int>(height);
    bitmap.bitsPerPixel = bitCount;

    if (bitCount == 8) {
        const uint64_t entries = colorsUsed == 0 ? kMaxPaletteEntries : colorsUsed;
        if (entries > kMaxPaletteEntries) {
            damagedBitmap(path, "paletteEntries", std::to_string(colorsUsed));
        }
        const uint64_t tableEnd = tableStart + entries * kPaletteEntrySize;
        if (tableEnd > fileSize || tableEnd > pixelOffset) damagedBitmap(path, "paletteShort");
        bitmap.palette.resize(entries);
        for (uint64_t i = 0; i < entries; ++i) {
            const uint8_t* e = data + tableStart + i * kPaletteEntrySize;
            bitmap.palette[i] = TPaletteEntry{e[0], e[1], e[2], e[3]};
        }
    } else if (pixelOffset < tableStart) {
        damagedBitmap(path, "pixelsOverlapHeader");
    }

    // Sizes in 64 bits and checked against the file before anything is
    // allocated: a forged header must not make us reserve gigabytes.
    const uint64_t rowBytes = static_cast<uint64_t>(width) * bitCount / 8;
    const uint64_t stride = paddedRow(rowBytes);
    if (pixelOffset > fileSize) damagedBitmap(path, "pixelOffset", std::to_string(pixelOffset));
    if (height > (fileSize - pixelOffset) / stride) {
        damagedBitmap(path, "pixelsShort", std::to_string(fileSize));
    }

    bitmap.pixels.resize(rowBytes * height);
    const bool topDown = rawHeight < 0;
    for (uint64_t r = 0; r < height; ++r) {
        const uint64_t memoryRow = topDown ? height - 1 - r : r;
        std::memcpy(bitmap.pixels.data() + memoryRow * rowBytes, data + pixelOffset + r * stride, rowBytes);
    }
    return bitmap;
}

void saveBitmap(const TBitmap& bitmap, const std::string& path) {
    if (bitmap.width <= 0 || bitmap.height <= 0) {
        throw EInvalidArgument(
            TDiagnostic(Code::BitmapSizeInvalid).with("file", path).with("width", bitmap.width).with("height", bitmap.height));
    }
    if (bitmap.bitsPerPixel != 8 && bitmap.bitsPerPixel != 24 && bitmap.bitsPerPixel != 32) {
        throw EInvalidArgument(TDiagnostic(Code::BitmapDepthInvalid).with("file", path).with("bits", bitmap.bitsPerPixel));
    }
    const uint64_t rowBytes = bitmap.rowBytes();
    const uint64_t height = static_cast<uint64_t>(bitmap.height);
    if (bitmap.pixels.size() != rowBytes * height) {
        throw EInvalidArgument(TDiagnostic(Code::BitmapPixelsMismatch)
                                   .with("bytes", bitmap.pixels.size())
                                   .with("width", bitmap.width)
                                   .with("height", bitmap.height)
                                   .with("bits", bitmap.bitsPerPixel));
    }

    std::vector<TPaletteEntry> palette;
    if (bitmap.bitsPerPixel == 8) {
        palette = bitmap.palette.empty() ? greyPalette() : bitmap.palette;
        if (palette.size() > kMaxPaletteEntries) {
            throw EInvalidArgument(TDiagnostic(Code::BitmapPaletteTooLarge).with("entries", palette.size()));
        }
    }

    const uint64_t stride = paddedRow(rowBytes);
    const uint64_t imageSize = stride * height;
    const uint64_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + palette.size() * kPaletteEntrySize;
    const uint64_t fileSize = pixelOffset + imageSize;
    if (fileSize > std::numeric_limits<uint32_t>::max()) {
        throw EInvalidArgument(TDiagnostic(Code::BitmapTooLarge).with("file", path));
    }

    std::string out(fileSize, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<uint32_t>(fileSize));
    put32(out, 10, static_cast<uint32_t>(pixelOffset));

    const std::size_t info = kFileHeaderSize;
    put32(out, info + 0, static_cast<uint32_t>(kInfoHeaderSize));
    put32(out, info + 4, static_cast<uint32_t>(bitmap.width));
    put32(out, info + 8, static_cast<uint32_t>(bitmap.height));  // positive: bottom-up
    put16(out, info + 12, 1);                                     // planes
    put16(out, info + 14, static_cast<uint16_t>(bitmap.bitsPerPixel));
    put32(out, info + 16, kBiRgb);
    put32(out, info + 20, static_cast<uint32_t>(imageSize));
    put32(out, info + 24, kPixelsPerMetre);
    put32(out, info + 28, kPixelsPerMetre);
    put32(out, info + 32, static_cast<uint32_t>(palette.size()));
    put32(out, info + 36, 0);  // all colours important

    std::size_t at = kFileHeaderSize + kInfoHeaderSize;
    for (const TPaletteEntry& e : palette) {
        out[at++] = static_cast<char>(e.blue);
        out[at++] = static_cast<char>(e.green);
        out[at++] = static_cast<char>(e.red);
        out[at++] = static_cast<char>(e.reserved);
    }
    // Row padding stays zero from the initialisation of out.
    for (uint64_t r = 0; r < height; ++r) {
        std::memcpy(out.data() + pixelOffset + r * stride, bitmap.pixels.data() + r * rowBytes, rowBytes);
    }

    writeFileAtomically(path, out);
}

void setGrayPalette(TBitmap& bitmap) {
    if (bitmap.bitsPerPixel != 8) {
        const std::size_t w = bitmap.width > 0 ? static_cast<std::size_t>(bitmap.width) : 0;
        const std::size_t h = bitmap.height > 0 ? static_cast<std::size_t>(bitmap.height) : 0;
        bitmap.bitsPerPixel = 8;
        bitmap.pixels.assign(w * h, 0);
    }
    bitmap.palette = greyPalette();
}

TGreyFrame loadGreyFrame(const std::string& path) {
    TBitmap bitmap = loadBitmap(path);
    if (bitmap.bitsPerPixel != 8) {
        throw EInvalidGraphic(TDiagnostic(Code::BitmapNotGrey).with("file", path).with("bits", bitmap.bitsPerPixel));
    }
    return TGreyFrame{bitmap.width, bitmap.height, std::move(bitmap.pixels)};
}

void saveGreyBitmap(std::span<const uint8_t> buffer, int width, int height, const std::string& path) {
    if (width <= 0 || height <= 0) {
        throw EInvalidArgument(
            TDiagnostic(Code::BitmapSizeInvalid).with("file", path).with("width", width).with("height", height));
    }
    const uint64_t expected = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (buffer.size() != expected) {
        throw EInvalidArgument(TDiagnostic(Code::BitmapPixelsMismatch)
                                   .with("bytes", buffer.size())
                                   .with("width", width)
                                   .with("height", height)
                                   .with("bits", 8));
    }
    TBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    setGrayPalette(bitmap);
    bitmap.pixels.assign(buffer.begin(), buffer.end());
    saveBitmap(bitmap, path);
}

}  // namespace orbis
