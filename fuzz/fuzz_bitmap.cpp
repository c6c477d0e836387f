// Bitmap files: frames, work bitmaps, dark and mask frames (loadBitmap,
// loadGreyFrame). A file that loads must describe itself consistently and
// survive a save and a second load unchanged.

#include <stdexcept>

#include "astro/uExceptions.h"
#include "fuzz/uFuzzSupport.h"
#include "processing/uBitmap.h"
#include "processing/uPipeline.h"

namespace orbis::fuzz {

const char* const kTargetName = "bitmap";

namespace {

void put(std::string& s, std::size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A bitmap as other programs write them: any of the header sizes, top-down
// rows, bit-field masks before the pixels.
std::string handMadeBitmap(int width, int height, int bits, uint32_t headerSize, bool bitfields) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) / 8;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
    const std::size_t masks = bitfields && headerSize == 40 ? 12 : 0;
    const std::size_t palette = bits == 8 ? 16 * 4 : 0;
    const std::size_t pixelOffset = 14 + headerSize + masks + palette;
    const std::size_t total = pixelOffset + stride * static_cast<std::size_t>(height < 0 ? -height : height);
    std::string s(total, '\0');
    s[0] = 'B';
    s[1] = 'M';
    put(s, 2, static_cast<uint32_t>(total), 4);
    put(s, 10, static_cast<uint32_t>(pixelOffset), 4);
    put(s, 14, headerSize, 4);
    put(s, 18, static_cast<uint32_t>(width), 4);
    put(s, 22, static_cast<uint32_t>(height), 4);
    put(s, 26, 1, 2);
    put(s, 28, static_cast<uint32_t>(bits), 2);
    put(s, 30, bitfields ? 3 : 0, 4);
    put(s, 46, bits == 8 ? 16 : 0, 4);
    if (bitfields) {
        const std::size_t at = 14 + 40;
        put(s, at, 0x00FF0000, 4);
        put(s, at + 4, 0x0000FF00, 4);
        put(s, at + 8, 0x000000FF, 4);
    }
    for (std::size_t i = 14 + headerSize + masks; i < pixelOffset; ++i) s[i] = static_cast<char>(i * 7);
    for (std::size_t i = pixelOffset; i < total; ++i) s[i] = static_cast<char>(i * 13 + 5);
    return s;
}

}  // namespace

TSeeds targetSeeds() {
    TSeeds seeds;
    const std::filesystem::path folder = freshScratchFolder();
    const std::string path = (folder / "seed.bmp").string();

    // The station's own: an odd width, so that rows are padded.
    std::vector<uint8_t> grey(13 * 7);
    for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 11);
    saveGreyBitmap(grey, 13, 7, path);
    seeds.inputs.push_back(readFile(path));
    for (int bits : {24, 32}) {
        TBitmap colour;
        colour.width = 5;
        colour.height = 3;
        colour.bitsPerPixel = bits;
        colour.pixels.resize(colour.rowBytes() * 3);
        for (std::size_t i = 0; i < colour.pixels.size(); ++i) colour.pixels[i] = static_cast<uint8_t>(i * 3);
        saveBitmap(colour, path);
        seeds.inputs.push_back(readFile(path));
    }
    seeds.inputs.push_back(handMadeBitmap(6, -4, 8, 40, false));
    seeds.inputs.push_back(handMadeBitmap(3, 2, 32, 40, true));
    seeds.inputs.push_back(handMadeBitmap(3, -2, 32, 124, true));
    seeds.inputs.push_back(handMadeBitmap(7, 3, 24, 108, false));
    // Work bitmaps cut to a strip of a 640 x 480 frame: they load, and only
    // the size check tells them from the frame's.
    seeds.inputs.push_back(handMadeBitmap(640, 24, 8, 40, false));
    seeds.inputs.push_back(handMadeBitmap(24, 480, 8, 40, false));
    return seeds;
}

}  // namespace orbis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::filesystem::path folder = freshScratchFolder();
    const std::string path = (folder / "F001.bmp").string();
    writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    TBitmap bitmap;
    try {
        bitmap = loadBitmap(path);
    } catch (const EInvalidGraphic&) {
        // Refused: loadGreyFrame must refuse it too.
        try {
            loadGreyFrame(path);
        } catch (const EInvalidGraphic&) {
            return 0;
        }
        finding("loadGreyFrame accepts a file loadBitmap refuses");
    }

    check(bitmap.bitsPerPixel == 8 || bitmap.bitsPerPixel == 24 || bitmap.bitsPerPixel == 32, "bit depth");
    check(bitmap.width > 0 && bitmap.height > 0, "size not positive");
    check(bitmap.pixels.size() == bitmap.rowBytes() * static_cast<std::size_t>(bitmap.height),
          "pixel buffer of " + std::to_string(bitmap.pixels.size()) + " bytes for " + std::to_string(bitmap.width) +
              " x " + std::to_string(bitmap.height) + " at " + std::to_string(bitmap.bitsPerPixel) + " bits");
    check(bitmap.bitsPerPixel == 8 ? !bitmap.palette.empty() && bitmap.palette.size() <= 256 : bitmap.palette.empty(),
          "palette of " + std::to_string(bitmap.palette.size()) + " entries");
    // Nothing larger than the file can have been read out of it.
    check(bitmap.pixels.size() <= size, "more pixels than bytes in the file");

    try {
        const TGreyFrame grey = loadGreyFrame(path);
        check(bitmap.bitsPerPixel == 8, "loadGreyFrame accepts a deeper bitmap");
        check(grey.width == bitmap.width && grey.height == bitmap.height && grey.pixels == bitmap.pixels,
              "loadGreyFrame and loadBitmap disagree");
        check(grey.pixels.size() == static_cast<std::size_t>(grey.width) * static_cast<std::size_t>(grey.height),
              "grey frame buffer is not width x height");
    } catch (const EInvalidGraphic&) {
        check(bitmap.bitsPerPixel != 8, "loadGreyFrame refuses an 8-bit bitmap");
    }

    // A work bitmap passes the size check at its own size only, and the
    // refusal names both sizes.
    requireWorkBitmapSize(path, bitmap.width, bitmap.height, {bitmap.width, bitmap.height});
    try {
        requireWorkBitmapSize(path, bitmap.width, bitmap.height, {640, 480});
        check(bitmap.width == 640 && bitmap.height == 480, "a work bitmap of another size passes");
    } catch (const EInvalidGraphic& e) {
        const TDiagnostic& d = e.diagnostic();
        check(d.value("width") == std::to_string(bitmap.width) && d.value("height") == std::to_string(bitmap.height) &&
                  d.value("expectedWidth") == "640" && d.value("expectedHeight") == "480",
              std::string("the refusal does not name both sizes: ") + e.what());
    }

    // What was read is written and read back as it was.
    const std::string copy = (folder / "copy.bmp").string();
    saveBitmap(bitmap, copy);
    const TBitmap again = loadBitmap(copy);
    check(again.width == bitmap.width && again.height == bitmap.height && again.bitsPerPixel == bitmap.bitsPerPixel &&
              again.palette == bitmap.palette && again.pixels == bitmap.pixels,
          "a saved bitmap does not load back as it was");
    return 0;
}
