#include "processing/uFrameExtraction.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "astro/uExceptions.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"

namespace orbis {

namespace {

// The same folder however it is written: "night", "./night/", "/abs/night".
bool sameDirectory(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    const auto normal = [](const std::string& p) {
        std::error_code absError;
        fs::path n = fs::absolute(p, absError).lexically_normal();
        if (!n.has_filename()) n = n.parent_path();  // a trailing separator
        return n;
    };
    return normal(a) == normal(b);
}

}  // namespace

std::string extractionTarget(const std::string& clipsDirectory, const std::string& clipFileName,
                             const std::string& startNumberText, const std::optional<std::string>& chosenFolder) {
    std::string target = clipsDirectory;
    if (startNumberText != "1" && chosenFolder && !chosenFolder->empty()) target = *chosenFolder;
    // Frames never go loose into the clips directory, however it was named.
    if (sameDirectory(target, clipsDirectory)) target = eventDirectoryForClip(clipsDirectory, clipFileName);
    return target;
}

TFrameExtractor::TFrameExtractor(std::string targetDirectory, int startNumber, UserNotifier& notifier)
    : target_(std::move(targetDirectory)), counter_(startNumber), notifier_(notifier) {
    if (startNumber < 1) throw EInvalidArgument(TDiagnostic(Code::FrameNumberStartInvalid).with("start", startNumber));
    ensureDirectory(target_);
}

namespace {

// Green byte of every pixel, rows kept in their order.
std::vector<uint8_t> greenBytes(std::span<const uint8_t> rows, std::size_t width, std::size_t height, std::size_t step,
                                std::size_t stride) {
    std::vector<uint8_t> grey(width * height);
    for (std::size_t r = 0; r < height; ++r)
        for (std::size_t x = 0; x < width; ++x) grey[r * width + x] = rows[r * stride + x * step + 1];
    return grey;
}

}  // namespace

bool TFrameExtractor::GrabVideo(std::span<const uint8_t> frame, const TFrameFormat& format) {
    const std::size_t width = static_cast<std::size_t>(std::max(format.width, 0));
    const std::size_t height = static_cast<std::size_t>(format.height < 0 ? -format.height : format.height);
    const std::size_t step = static_cast<std::size_t>(format.bitsPerPixel / 8);
    if ((format.bitsPerPixel != 8 && format.bitsPerPixel != 24 && format.bitsPerPixel != 32) || width == 0 || height == 0) {
        notifier_.report(TDiagnostic(Code::FrameFormatRefused, Severity::Warning)
                             .with("bits", format.bitsPerPixel)
                             .with("width", format.width)
                             .with("height", format.height));
        return false;
    }
    // Tightly packed or padded to 4 bytes, as the bitmap file pads them.
    const std::size_t packed = width * step;
    const std::size_t padded = (packed + 3) & ~std::size_t{3};
    std::size_t stride = 0;
    if (frame.size() >= padded * height && padded != packed) stride = padded;
    if (frame.size() == packed * height) stride = packed;
    if (stride == 0) {
        throw EInvalidArgument(
            TDiagnostic(Code::FrameBytesMismatch).with("bytes", frame.size()).with("width", width).with("height", height));
    }

    std::vector<uint8_t> grey;
    if (step == 1) {
        grey.resize(width * height);
        for (std::size_t r = 0; r < height; ++r) std::memcpy(grey.data() + r * width, frame.data() + r * stride, width);
    } else {
        grey = greenBytes(frame, width, height, step, stride);
    }
    // Memory rows are bottom row first; a top-down frame is turned upright.
    if (format.height < 0) {
        for (std::size_t r = 0; r < height / 2; ++r) {
            std::swap_ranges(grey.begin() + static_cast<std::ptrdiff_t>(r * width),
                             grey.begin() + static_cast<std::ptrdiff_t>((r + 1) * width),
                             grey.begin() + static_cast<std::ptrdiff_t>((height - 1 - r) * width));
        }
    }
    saveGreyBitmap(grey, static_cast<int>(width), static_cast<int>(height), frameFileName(target_, counter_));
    ++counter_;
    ++saved_;
    return true;
}

namespace {

// The bit depth a bitmap file's header states, or 0 when it is no bitmap.
int statedBitDepth(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[30] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 'B' || header[1] != 'M') return 0;
    return header[28] | (header[29] << 8);
}

}  // namespace

bool convertToGrey(const std::string& bitmapPath, UserNotifier& notifier) {
    // Depths the bitmap reader does not take at all (1, 4, 16 bits) get the
    // message too, rather than a read error.
    const int stated = statedBitDepth(bitmapPath);
    if (stated != 0 && stated != 24 && stated != 32) {
        notifier.report(TDiagnostic(Code::FrameFormatRefused, Severity::Warning).with("file", bitmapPath));
        return false;
    }
    const TBitmap bitmap = loadBitmap(bitmapPath);
    if (bitmap.bitsPerPixel != 24 && bitmap.bitsPerPixel != 32) {
        notifier.report(TDiagnostic(Code::FrameFormatRefused, Severity::Warning).with("file", bitmapPath));
        return false;
    }
    const auto w = static_cast<std::size_t>(bitmap.width), h = static_cast<std::size_t>(bitmap.height);
    const std::size_t step = static_cast<std::size_t>(bitmap.bitsPerPixel / 8);
    saveGreyBitmap(greenBytes(bitmap.pixels, w, h, step, w * step), bitmap.width, bitmap.height, bitmapPath);
    return true;
}

}  // namespace orbis
