#pragma once
// The live capture pipeline of the recording page, in its three forms:
//   Preview  source ! appsink                     frames for the display only
//   Detect   source ! appsink                     every frame, unconverted, to
//                                                 the frame callback (detector)
//   Record   source ! [orbvideofilter] ! [videoconvert ! encoder] ! avimux ! filesink
// A display callback, when set, gets its own branch through a tee in Detect
// and Record (and is the only sink in Preview): frames converted to BGRx, top
// row first, behind a leaky queue so a slow window never holds up detection
// or recording.
//
// Frames handed to the frame callback follow the detector's convention:
// rows packed without padding; 8-, 24- and 32-bit frames bottom row first
// (flipped into a buffer kept between frames), 16-bit YUV top row first.
// Callbacks run on the streaming thread, one frame at a time, and must not
// call back into the graph.
//
// GStreamer stays inside the .cpp: this header is plain C++.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "capture/media/uMediaTypes.h"

namespace orbis {

inline constexpr const char* kCodecAddFailedMessage = "Не удается добавить кодек компрессии!";

// Where frames come from: a device by the name videoDevices() gives, or a
// GStreamer source description ("videotestsrc ! video/x-raw,format=YUY2").
struct TCaptureSource {
    bool isDevice = false;
    std::string text;

    static TCaptureSource device(std::string name) { return {true, std::move(name)}; }
    static TCaptureSource pipeline(std::string description) { return {false, std::move(description)}; }
};

enum class CaptureMode { Preview, Detect, Record };
enum class GraphState { Empty, Stopped, Paused, Playing };
enum class GraphEnd { None, EndOfStream, Error };

struct TRecordOptions {
    std::string path;         // the AVI file
    std::string encoderName;  // an encoder of videoEncoderNames(); empty: uncompressed
    // Time stamp: orbvideofilter (uTimeStamp.h) before the encoder or avimux.
    bool timeStamp = false;
    int fontSize = 12;
};

using FrameCallback = std::function<void(std::span<const uint8_t> bytes, const TCaptureFormat& format)>;

// A video source device and the formats it offers (fields the device leaves
// open, such as a size range, are 0).
struct TMediaDevice {
    std::string name;
    std::vector<TCaptureFormat> formats;
};

// The video sources present now; empty without a camera.
std::vector<TMediaDevice> videoDevices();

// Long names of the installed video encoders, sorted.
std::vector<std::string> videoEncoderNames();
// True when an encoder of that long name (or element name) can be created.
bool createEncoder(const std::string& name);

class TCaptureGraph {
public:
    TCaptureGraph();
    ~TCaptureGraph();  // stops the graph (finishing a recording) and releases it
    TCaptureGraph(const TCaptureGraph&) = delete;
    TCaptureGraph& operator=(const TCaptureGraph&) = delete;

    // Set before build; they apply to the graph built next.
    void setFrameCallback(FrameCallback callback);
    void setDisplayCallback(FrameCallback callback);

    // Builds a stopped graph, replacing any earlier one. Raises Exception:
    // kCodecAddFailedMessage for an encoder that cannot be created or linked
    // to the multiplexer, kTimeStampCreateFailedMessage for a time stamp
    // without its element, a text naming the device or the GStreamer parse
    // error for a source that cannot be made.
    void build(CaptureMode mode, const TCaptureSource& source, const TRecordOptions& record = {});

    // Each returns false when GStreamer refuses the change. pause() waits up
    // to the timeout for the preroll, so a non-live source's format is known
    // afterwards; a live source only negotiates once running.
    bool run();
    bool pause(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Stops; a recording first gets end-of-stream (up to the timeout) so the
    // AVI index is written.
    void stop(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    GraphState state() const;
    CaptureMode mode() const { return mode_; }

    // Waits for end-of-stream or an error, whichever comes first.
    GraphEnd waitForEnd(std::chrono::milliseconds timeout);
    std::string errorText() const;

    // The negotiated format: known after preroll or with the first frame.
    std::optional<TCaptureFormat> format() const;
    std::optional<TCaptureFormat> waitForFormat(std::chrono::milliseconds timeout);
    // Frames handed to the frame callback since build.
    uint64_t framesDelivered() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
    CaptureMode mode_ = CaptureMode::Preview;
    FrameCallback frameCallback_, displayCallback_;
};

}  // namespace orbis
