#pragma once
// The live capture pipeline of the recording page, in its three forms, and
// the playback of a clip for the video browser:
//   Preview  source ! appsink                     frames for the display only
//   Detect   source ! appsink                     every frame, unconverted, to
//                                                 the frame callback (detector)
//   Record   source ! [orbvideofilter] ! videoconvert ! (encoder | uncompressed caps) ! avimux ! filesink
//                                                 uncompressed: grey, YUY2 and UYVY as
//                                                 they come, RGB as BGR/BGRx, other YUV as YUY2
//   Playback file ! decodebin ! appsink           frames at the clip's pace,
//                                                 grey, to the frame callback
// A display callback, when set, gets its own branch through a tee in Detect,
// Record and Playback (and is the only sink in Preview): frames converted to
// BGRx, top row first, behind a leaky queue so a slow window never holds up
// detection or recording.
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

#include "capture/media/uEncoders.h"
#include "capture/media/uMediaTypes.h"

namespace orbis {

// Where frames come from: a device by its node or the name videoDevices()
// gives (the node tells two cameras of one model apart), or a GStreamer
// source description ("videotestsrc ! video/x-raw,format=YUY2").
// A chosen format, when set, is asked of the source; the fields it leaves 0
// stay open, and a source that cannot deliver it fails when it runs.
struct TCaptureSource {
    bool isDevice = false;
    std::string text;
    std::optional<TCaptureFormat> format;

    static TCaptureSource device(std::string name) { return {true, std::move(name), std::nullopt}; }
    static TCaptureSource pipeline(std::string description) { return {false, std::move(description), std::nullopt}; }
    // A video file, decoded by whatever GStreamer has for it.
    static TCaptureSource file(const std::string& path);
    // The same, every frame decoded to 8-bit grey (a recording examined or
    // taken into work whatever its compression).
    static TCaptureSource greyFile(const std::string& path);
};

enum class CaptureMode { Preview, Detect, Record, Playback };
enum class GraphState { Empty, Stopped, Paused, Playing };
enum class GraphEnd { None, EndOfStream, Error };

struct TRecordOptions {
    std::string path;         // the AVI file
    std::string encoderName;  // an encoder of videoEncoderNames(); empty: uncompressed
    // Time stamp: orbvideofilter (uTimeStamp.h) before the encoder or avimux.
    bool timeStamp = false;
    int fontSize = 12;
    TEncoderSettings encoderSettings;  // applied to the encoder in order
};

using FrameCallback = std::function<void(std::span<const uint8_t> bytes, const TCaptureFormat& format)>;

// A video source device and the formats it offers (fields the device leaves
// open, such as a size range, are 0).
struct TMediaDevice {
    std::string name;
    std::string node;  // the V4L2 device node for its controls, when the provider tells it
    std::vector<TCaptureFormat> formats;
};

// The video sources present now; empty without a camera.
std::vector<TMediaDevice> videoDevices();

// The formats a GStreamer source description can give (a device its own
// formats, a description ending in caps those), one entry per format name
// with the fields it leaves open 0; empty when the source cannot be made or
// tells nothing before it runs (a decoder's dynamic pads).
std::vector<TCaptureFormat> sourceFormats(const std::string& description);

class TCaptureGraph {
public:
    TCaptureGraph();
    ~TCaptureGraph();  // stops the graph (finishing a recording) and releases it
    TCaptureGraph(const TCaptureGraph&) = delete;
    TCaptureGraph& operator=(const TCaptureGraph&) = delete;

    // Set before build; they apply to the graph built next.
    void setFrameCallback(FrameCallback callback);
    void setDisplayCallback(FrameCallback callback);
    // Called once when the stream ends or fails, on a GStreamer thread or,
    // for a failure while the state changes, on the caller's (a window
    // posts it to its own thread). A seek to the start re-arms it; a graph
    // that is rebuilt or destroyed calls it no more.
    void setEndCallback(std::function<void(GraphEnd)> callback);

    // Builds a stopped graph, replacing any earlier one (stopped as stop()
    // does, so a recording being replaced keeps its index). Raises Exception:
    // CodecAddFailed for an encoder that cannot be created or linked to the
    // multiplexer, EConvertError for an encoder setting it refuses,
    // TimeStampCreateFailed for a time stamp without its element,
    // CaptureDeviceNotFound, VideoSourceNotCreated, CaptureGraphNotCreated or
    // VideoSourceNotLinked (with GStreamer's own text as "detail") for a
    // source that cannot be made.
    void build(CaptureMode mode, const TCaptureSource& source, const TRecordOptions& record = {});

    // Each returns false when GStreamer refuses the change. pause() waits up
    // to the timeout for the preroll, so a non-live source's format is known
    // afterwards; a live source only negotiates once running.
    bool run();
    bool pause(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Stops; a recording, playing or paused, first gets end-of-stream (up to
    // the timeout: a slow encoder may still hold a second of frames) so the
    // AVI index is written. False when a recording did not finish in time:
    // the file may lack its index.
    bool stop(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    GraphState state() const;
    // No state change is under way: a pause has prerolled (or needs no
    // preroll), so a seek is answered at once rather than waited for.
    bool settled() const;
    // Back to the first frame (playback after its end); false when the
    // source cannot seek. A new end is reported afresh.
    bool seekToStart();
    // To a time in the stream (the key frame at or before it), as seekToStart.
    bool seekTo(double seconds);
    // Seconds into the stream and its length, when the graph knows them.
    std::optional<double> position() const;
    std::optional<double> duration() const;
    CaptureMode mode() const { return mode_; }

    // Waits for end-of-stream or an error, whichever comes first.
    GraphEnd waitForEnd(std::chrono::milliseconds timeout);
    // Why the stream ended with an error: GraphStreamFailed with
    // GStreamer's own text as "detail", or the diagnostic of a frame
    // callback that failed. Nothing before an error.
    std::optional<TDiagnostic> error() const;

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
    std::function<void(GraphEnd)> endCallback_;
};

}  // namespace orbis
