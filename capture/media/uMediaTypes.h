#pragma once
// Names of capture formats as the station shows them. A format is what the
// pipeline negotiated (GStreamer caps); the names are the station's own
// media type names ("YUY2", "RGB24", "RGB32", ...), so the status text and
// the detector's refusal of 16-bit RGB read the same whatever the source.

#include <string>
#include <string_view>

#include "capture/uDetector.h"

namespace orbis {

inline constexpr const char* kUnknownMediaType = "UnKnow";

// The station's name of a GStreamer video format name; "UnKnow" for any
// format the station has no name for.
std::string MediaTypeName(std::string_view gstFormat);

// Bits per pixel of a GStreamer video format (I420 counts its chroma planes:
// 12); 0 for formats the station does not know.
int bitsPerPixelOf(std::string_view gstFormat);

// A negotiated capture format. gstFormat is the caps' format field for raw
// video, else the caps' media type (such as "image/jpeg").
struct TCaptureFormat {
    std::string gstFormat;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int fpsNumerator = 0;  // 0: variable or unknown rate
    int fpsDenominator = 1;

    std::string name() const { return MediaTypeName(gstFormat); }
    // Whole frames per second, halves to even, at least 1; the detector's
    // default of 25 when the source does not state a rate.
    int frameRate() const;
    bool hasGeometry() const { return width > 0 && height > 0; }

    bool operator==(const TCaptureFormat&) const = default;
};

// "Capture: Video, YUY2, 720x576, 16 bit"; without a size only
// "Capture: Video, YUY2".
std::string captureFormatText(const TCaptureFormat& format);
// "Rate: 25 frames/sec".
std::string frameRateText(const TCaptureFormat& format);

// A format as the device list shows it and a user writes it: the GStreamer
// format name (or media type such as image/jpeg), then optionally the size
// and the rate: "YUY2 720x576 25", "GRAY8 640x480 30000/1001", "I420".
std::string formatSpecText(const TCaptureFormat& format);
// Raises EConvertError naming the part that is malformed.
TCaptureFormat parseFormatSpec(std::string_view text);
// The caps that ask a source for the format, leaving open what it leaves 0:
// "video/x-raw,format=YUY2,width=720,height=576,framerate=25/1".
std::string capsText(const TCaptureFormat& format);

// The detector's geometry of a format (geometryForFormat), with the luma
// byte moved to where green really is for 32-bit formats that put the pad
// or alpha byte first (xRGB, ARGB, xBGR, ABGR). Raises EInvalidVideo with
// kUnsupportedFormatMessage as geometryForFormat does.
TCaptureGeometry geometryFor(const TCaptureFormat& format);

}  // namespace orbis
