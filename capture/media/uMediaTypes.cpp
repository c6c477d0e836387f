#include "capture/media/uMediaTypes.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

#include "astro/uExceptions.h"

namespace orbis {

namespace {

struct FormatEntry {
    std::string_view gst;
    std::string_view name;
    int bits;
};

// 32-bit formats are named RGB32 whatever their byte order; the detector
// only needs the green byte, which geometryFor places.
constexpr std::array kFormats{
    FormatEntry{"YUY2", "YUY2", 16},   FormatEntry{"YVYU", "YVYU", 16},   FormatEntry{"UYVY", "UYVY", 16},
    FormatEntry{"YVU9", "YVU9", 9},    FormatEntry{"I420", "I420", 12},   FormatEntry{"GRAY8", "GRAY8", 8},
    FormatEntry{"RGB8P", "RGB8", 8},   FormatEntry{"RGB15", "RGB555", 16}, FormatEntry{"BGR15", "RGB555", 16},
    FormatEntry{"RGB16", "RGB565", 16}, FormatEntry{"BGR16", "RGB565", 16}, FormatEntry{"RGB", "RGB24", 24},
    FormatEntry{"BGR", "RGB24", 24},   FormatEntry{"BGRx", "RGB32", 32},  FormatEntry{"BGRA", "RGB32", 32},
    FormatEntry{"RGBx", "RGB32", 32},  FormatEntry{"RGBA", "RGB32", 32},  FormatEntry{"xRGB", "RGB32", 32},
    FormatEntry{"ARGB", "RGB32", 32},  FormatEntry{"xBGR", "RGB32", 32},  FormatEntry{"ABGR", "RGB32", 32},
};

const FormatEntry* findFormat(std::string_view gstFormat) {
    for (const auto& e : kFormats)
        if (e.gst == gstFormat) return &e;
    return nullptr;
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> found;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        const std::size_t end = std::min(text.find_first_of(" \t", i), text.size());
        found.push_back(text.substr(i, end - i));
        i = end;
    }
    return found;
}

// A whole positive number, all of the text.
bool positiveNumber(std::string_view text, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size() && value > 0;
}

}  // namespace

std::string formatSpecText(const TCaptureFormat& format) {
    std::string text = format.gstFormat;
    if (!format.hasGeometry()) return text;
    text.append(" ").append(std::to_string(format.width)).append("x").append(std::to_string(format.height));
    if (format.fpsNumerator > 0) {
        text.append(" ").append(std::to_string(format.fpsNumerator));
        if (format.fpsDenominator != 1) text.append("/").append(std::to_string(format.fpsDenominator));
    }
    return text;
}

TCaptureFormat parseFormatSpec(std::string_view text) {
    const auto w = words(text);
    // "part" names the word that is wrong: words, format, size or rate.
    const auto bad = [&](const char* part) {
        return EConvertError(TDiagnostic(Code::CaptureFormatSpecInvalid).with("text", std::string(text)).with("part", part));
    };
    if (w.empty() || w.size() > 3) throw bad("words");
    TCaptureFormat f;
    f.gstFormat = std::string(w[0]);
    // Only a name: anything else would add fields to the caps it becomes.
    for (char c : f.gstFormat)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '/' && c != '-' && c != '_') throw bad("format");
    f.bitsPerPixel = bitsPerPixelOf(f.gstFormat);
    if (w.size() >= 2) {
        const std::size_t x = w[1].find('x');
        if (x == std::string_view::npos || !positiveNumber(w[1].substr(0, x), f.width) ||
            !positiveNumber(w[1].substr(x + 1), f.height))
            throw bad("size");
    }
    if (w.size() == 3) {
        const std::size_t slash = w[2].find('/');
        const bool ok = slash == std::string_view::npos
                            ? positiveNumber(w[2], f.fpsNumerator)
                            : positiveNumber(w[2].substr(0, slash), f.fpsNumerator) &&
                                  positiveNumber(w[2].substr(slash + 1), f.fpsDenominator);
        if (!ok) throw bad("rate");
    }
    return f;
}

std::string capsText(const TCaptureFormat& format) {
    std::string caps;
    if (format.gstFormat.empty()) caps = "video/x-raw";
    else if (format.gstFormat.find('/') != std::string::npos) caps = format.gstFormat;
    else caps = "video/x-raw,format=" + format.gstFormat;
    if (format.width > 0) caps += ",width=" + std::to_string(format.width);
    if (format.height > 0) caps += ",height=" + std::to_string(format.height);
    if (format.fpsNumerator > 0)
        caps += ",framerate=" + std::to_string(format.fpsNumerator) + "/" + std::to_string(format.fpsDenominator);
    return caps;
}

std::string MediaTypeName(std::string_view gstFormat) {
    const auto* e = findFormat(gstFormat);
    return std::string(e ? e->name : kUnknownMediaType);
}

int bitsPerPixelOf(std::string_view gstFormat) {
    const auto* e = findFormat(gstFormat);
    return e ? e->bits : 0;
}

int TCaptureFormat::frameRate() const {
    if (fpsNumerator <= 0 || fpsDenominator <= 0) return 25;
    // Default rounding mode: halves go to the even neighbour.
    const double rate = std::nearbyint(static_cast<double>(fpsNumerator) / fpsDenominator);
    return rate < 1 ? 1 : static_cast<int>(rate);
}

std::string captureFormatText(const TCaptureFormat& format) {
    std::string text = "Capture: Video, " + format.name();
    if (format.hasGeometry())
        text += ", " + std::to_string(format.width) + "x" + std::to_string(format.height) + ", " +
                std::to_string(format.bitsPerPixel) + " bit";
    return text;
}

std::string frameRateText(const TCaptureFormat& format) {
    return "Rate: " + std::to_string(format.frameRate()) + " frames/sec";
}

TCaptureGeometry geometryFor(const TCaptureFormat& format) {
    TCaptureGeometry g =
        geometryForFormat(format.bitsPerPixel, format.name(), format.width, format.height, format.frameRate());
    const std::string_view f = format.gstFormat;
    if (format.bitsPerPixel == 32 && (f == "xRGB" || f == "ARGB" || f == "xBGR" || f == "ABGR")) g.lumaOffset = 2;
    return g;
}

}  // namespace orbis
