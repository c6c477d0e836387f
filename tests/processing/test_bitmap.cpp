// Bitmap files: exact file layout, round trips at every width, the header
// variants other programs write, and refusal of damaged or foreign files.

#include <gtest/gtest.h>

#include <tuple>

#include <cstdint>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "astro/uExceptions.h"
#include "processing/uBitmap.h"
#include "support/TempDir.h"

namespace orbis {
namespace {

using test::TempDir;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

uint32_t get32(const std::string& b, std::size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
    return v;
}

void set32(std::string& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// The diagnostic of the exception E that f raises; a failure if it raises none.
template <class E, class F>
TDiagnostic diagnosticOf(F f) {
    try {
        f();
    } catch (const E& e) {
        return e.diagnostic();
    }
    ADD_FAILURE() << "no exception raised";
    return {};
}

// A bitmap file as other programs write it. Every picture byte differs from
// its neighbours and the file's row padding is non-zero, so rows that slip or
// padding that leaks into memory show up.
struct ForeignBitmap {
    int32_t width = 3, height = 2;
    uint16_t bpp = 24;
    uint32_t headerSize = 40;
    uint32_t compression = 0;  // 3: bit fields with the usual masks
    uint32_t paletteEntries = 0;
    bool topDown = false;

    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * bpp / 8; }

    std::vector<uint8_t> memory() const {  // bottom-up, tightly packed
        std::vector<uint8_t> m(rowBytes() * height);
        for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<uint8_t>(i * 7 + 1);
        return m;
    }

    std::string file() const {
        const bool maskTrailer = compression == 3 && headerSize == 40;
        const std::size_t offset = 14 + headerSize + (maskTrailer ? 12 : 0) + 4 * paletteEntries;
        std::string b(offset, '\0');
        b[0] = 'B';
        b[1] = 'M';
        set32(b, 10, static_cast<uint32_t>(offset));
        set32(b, 14, headerSize);
        set32(b, 18, static_cast<uint32_t>(width));
        set32(b, 22, static_cast<uint32_t>(topDown ? -height : height));
        b[26] = 1;
        b[28] = static_cast<char>(bpp);
        set32(b, 30, compression);
        set32(b, 46, paletteEntries == 256 ? 0 : paletteEntries);  // 0 means 256
        if (compression == 3) {  // inside a V4/V5 header, else right after it
            set32(b, 54, 0x00FF0000);
            set32(b, 58, 0x0000FF00);
            set32(b, 62, 0x000000FF);
        }
        for (uint32_t i = 0; i < paletteEntries; ++i) {
            for (int c = 0; c < 3; ++c) b[offset - 4 * paletteEntries + 4 * i + c] = static_cast<char>(i);
        }
        const std::vector<uint8_t> m = memory();
        const std::size_t stride = (rowBytes() + 3) / 4 * 4;
        for (int r = 0; r < height; ++r) {
            const auto row = m.begin() + (topDown ? height - 1 - r : r) * rowBytes();
            std::string fileRow(row, row + rowBytes());
            fileRow.resize(stride, '\xEE');
            b += fileRow;
        }
        return b;
    }
};

TEST(Bitmap, GreyFileLayoutIsExact) {
    TempDir dir;
    const std::string path = (dir / "small.bmp").string();
    const std::vector<uint8_t> pixels{1, 2, 3, 4, 5, 6};  // 3 x 2: bottom row 1 2 3
    saveGreyBitmap(pixels, 3, 2, path);

    const std::string b = readBytes(path);
    ASSERT_EQ(b.size(), 14u + 40 + 1024 + 2 * 4);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(get32(b, 2), b.size());
    EXPECT_EQ(get32(b, 10), 1078u);
    EXPECT_EQ(get32(b, 14), 40u);
    EXPECT_EQ(get32(b, 18), 3u);
    EXPECT_EQ(get32(b, 22), 2u);               // positive: bottom-up
    EXPECT_EQ(get32(b, 26), 1u | (8u << 16));  // 1 plane, 8 bits
    EXPECT_EQ(get32(b, 30), 0u);
    EXPECT_EQ(get32(b, 34), 8u);
    EXPECT_EQ(get32(b, 46), 256u);
    for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(get32(b, 54 + 4 * i), i | (i << 8) | (i << 16)) << i;
    EXPECT_EQ(b.substr(1078), std::string("\1\2\3\0\4\5\6\0", 8));
}

TEST(Bitmap, GreyRoundTripAtManySizes) {
    TempDir dir;
    const std::string path = (dir / "frame.bmp").string();
    std::mt19937 rng(20231214);
    std::vector<std::pair<int, int>> sizes{{1, 1}, {2, 3}, {3, 1}, {5, 7}, {1000, 700}, {721, 577}};
    std::uniform_int_distribution<int> w(1, 1000), h(1, 700);
    while (sizes.size() < 36) sizes.emplace_back(w(rng), h(rng));

    for (auto [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        std::vector<uint8_t> pixels(static_cast<std::size_t>(width) * height);
        for (auto& p : pixels) p = static_cast<uint8_t>(rng());
        saveGreyBitmap(pixels, width, height, path);

        const TGreyFrame frame = loadGreyFrame(path);
        EXPECT_EQ(frame.width, width);
        EXPECT_EQ(frame.height, height);
        ASSERT_EQ(frame.pixels, pixels);

        // Loading and saving again reproduces the file byte for byte.
        const std::string first = readBytes(path);
        saveBitmap(loadBitmap(path), path);
        ASSERT_EQ(readBytes(path), first);
    }
}

TEST(Bitmap, LoadsAndSavesOtherDepthsAndHeaders) {
    TempDir dir;
    const std::string path = (dir / "foreign.bmp").string();
    const ForeignBitmap variants[] = {
        {.width = 1, .bpp = 24},
        {.width = 5, .bpp = 24},
        {.width = 3, .bpp = 32},
        {.width = 2, .bpp = 32, .compression = 3},                    // masks after the header
        {.width = 2, .bpp = 32, .headerSize = 124, .compression = 3},  // V5
        {.width = 5, .bpp = 8, .headerSize = 108, .paletteEntries = 256},  // V4
        {.width = 6, .bpp = 8, .paletteEntries = 16},
    };
    for (ForeignBitmap f : variants) {
        for (bool topDown : {false, true}) {
            f.height = 3;
            f.topDown = topDown;
            SCOPED_TRACE(std::to_string(f.bpp) + " bits, width " + std::to_string(f.width) + ", header " +
                         std::to_string(f.headerSize) + (topDown ? ", top-down" : ""));
            writeBytes(path, f.file());

            const TBitmap b = loadBitmap(path);
            EXPECT_EQ(b.width, f.width);
            EXPECT_EQ(b.height, 3);  // positive even for a top-down file
            EXPECT_EQ(b.bitsPerPixel, f.bpp);
            EXPECT_EQ(b.palette.size(), f.paletteEntries);
            EXPECT_EQ(b.pixels, f.memory());  // bottom row first, padding dropped

            saveBitmap(b, path);
            const TBitmap again = loadBitmap(path);
            EXPECT_EQ(again.bitsPerPixel, f.bpp);
            EXPECT_EQ(again.palette, b.palette);
            EXPECT_EQ(again.pixels, b.pixels);
        }
    }
}

TEST(Bitmap, SetGrayPaletteKeepsGreyPixelsAndDropsColour) {
    TBitmap grey{.width = 2, .height = 1, .palette = {TPaletteEntry{1, 2, 3, 0}}, .pixels = {7, 9}};
    setGrayPalette(grey);
    EXPECT_EQ(grey.pixels, (std::vector<uint8_t>{7, 9}));
    ASSERT_EQ(grey.palette.size(), 256u);
    EXPECT_EQ(grey.palette[200], (TPaletteEntry{200, 200, 200, 0}));

    TBitmap colour{.width = 3, .height = 2, .bitsPerPixel = 32, .palette = {}, .pixels = {}};
    colour.pixels.assign(24, 0xAB);
    setGrayPalette(colour);
    EXPECT_EQ(colour.bitsPerPixel, 8);
    EXPECT_EQ(colour.pixels, std::vector<uint8_t>(6, 0));
}

TEST(Bitmap, RefusesBadSaveArgumentsWithoutTouchingTheFile) {
    TempDir dir;
    const std::string path = (dir / "kept.bmp").string();
    writeBytes(path, "previous");
    const std::vector<uint8_t> buffer(12);
    EXPECT_THROW(saveGreyBitmap(buffer, 4, 4, path), std::invalid_argument);
    EXPECT_THROW(saveGreyBitmap(buffer, 5, 2, path), std::invalid_argument);
    EXPECT_THROW(saveGreyBitmap({}, 0, 0, path), std::invalid_argument);
    EXPECT_THROW(saveGreyBitmap(buffer, -4, -3, path), std::invalid_argument);
    const TBitmap paddedRows{.width = 1, .height = 3, .bitsPerPixel = 24, .palette = {}, .pixels = buffer};
    EXPECT_THROW(saveBitmap(paddedRows, path), std::invalid_argument);
    const TBitmap sixteenBits{.width = 1, .height = 1, .bitsPerPixel = 16, .palette = {}, .pixels = {0, 0}};
    EXPECT_THROW(saveBitmap(sixteenBits, path), std::invalid_argument);
    EXPECT_EQ(readBytes(path), "previous");
}

TEST(Bitmap, LoadErrorsNameTheFile) {
    TempDir dir;
    const std::string absent = (dir / "absent.bmp").string();
    const TDiagnostic missing = diagnosticOf<EInOutError>([&] { loadBitmap(absent); });
    EXPECT_EQ(missing.code(), Code::FileNotOpened);
    EXPECT_EQ(missing.value("file"), absent);

    const std::string colour = (dir / "colour.bmp").string();
    writeBytes(colour, ForeignBitmap{}.file());
    EXPECT_EQ(diagnosticOf<EInvalidGraphic>([&] { loadGreyFrame(colour); }),
              TDiagnostic(Code::BitmapNotGrey).with("file", colour).with("bits", 24));
}

TEST(Bitmap, RefusesDamagedAndUnsupportedFiles) {
    TempDir dir;
    const std::string path = (dir / "bad.bmp").string();
    // 4 x 3, 8 bits, full palette: rows need no padding, so any cut is short.
    const std::string good = ForeignBitmap{.width = 4, .height = 3, .bpp = 8, .paletteEntries = 256}.file();
    auto patched = [&](std::size_t at, uint32_t v) {
        std::string b = good;
        set32(b, at, v);
        return b;
    };
    auto withBpp = [&](uint16_t bpp) {
        std::string b = good;
        b[28] = static_cast<char>(bpp);
        return b;
    };
    std::string swappedMasks = ForeignBitmap{.bpp = 32, .compression = 3}.file();
    set32(swappedMasks, 54, 0x000000FF);  // red and blue exchanged
    set32(swappedMasks, 62, 0x00FF0000);

    // Each with the defect (or the unsupported feature) it is refused for.
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"empty file", "", "fileHeaderShort"},
        {"cut in the file header", good.substr(0, 10), "fileHeaderShort"},
        {"cut in the info header", good.substr(0, 30), "infoHeaderShort"},
        {"cut in the palette", good.substr(0, 54 + 100), "paletteShort"},
        {"cut in the pixel data", good.substr(0, good.size() - 1), "pixelsShort"},
        {"wrong magic", "BN" + good.substr(2), "signature"},
        {"negative width", patched(18, static_cast<uint32_t>(-4)), "width"},
        {"zero width", patched(18, 0), "width"},
        {"zero height", patched(22, 0), "height"},
        {"huge width", patched(18, 0x7FFFFFFF), "pixelsShort"},
        {"huge height", patched(22, 0x7FFFFFFF), "pixelsShort"},
        {"most negative height", patched(22, 0x80000000), "height"},
        {"offset beyond the end", patched(10, 0xFFFFFFF0), "pixelOffset"},
        {"offset inside the palette", patched(10, 54 + 512), "paletteShort"},
        {"palette larger than 256", patched(46, 300), "paletteEntries"},
        {"OS/2 core header", patched(14, 12), "headerSize"},
        {"unknown header size", patched(14, 64), "headerSize"},
        {"16 bits per pixel", withBpp(16), "bitDepth"},
        {"1 bit per pixel", withBpp(1), "bitDepth"},
        {"RLE8 compression", patched(30, 1), "compression"},
        {"unusual colour masks", swappedMasks, "colourMasks"},
    };
    for (const auto& [name, bytes, fault] : cases) {
        SCOPED_TRACE(name);
        writeBytes(path, bytes);
        const TDiagnostic why = diagnosticOf<EInvalidGraphic>([&] { loadBitmap(path); });
        EXPECT_EQ(why.value("file"), path);
        EXPECT_EQ(why.value(why.code() == Code::BitmapDamaged ? "defect" : "feature"), fault) << why.plain();
    }
}

}  // namespace
}  // namespace orbis
