#include "capture/media/uMediaTypes.h"

#include <array>
#include <cmath>
#include <utility>

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

}  // namespace

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
