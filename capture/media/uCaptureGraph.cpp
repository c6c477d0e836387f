#include "capture/media/uCaptureGraph.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string_view>
#include <tuple>
#include <utility>

#include "astro/uExceptions.h"
#include "capture/media/uGstSupport.h"
#include "capture/media/uTimeStamp.h"

namespace orbis {

namespace {

using gst::ObjectRef;
using gst::takeErrorText;

TCaptureFormat formatFromStructure(const GstStructure* s) {
    TCaptureFormat f;
    if (!s) return f;
    const char* media = gst_structure_get_name(s);
    if (std::strcmp(media, "video/x-raw") == 0) {
        if (const char* format = gst_structure_get_string(s, "format")) f.gstFormat = format;
    } else {
        f.gstFormat = media;
    }
    gst_structure_get_int(s, "width", &f.width);
    gst_structure_get_int(s, "height", &f.height);
    int n = 0, d = 1;
    if (gst_structure_get_fraction(s, "framerate", &n, &d)) {
        f.fpsNumerator = n;
        f.fpsDenominator = d;
    }
    f.bitsPerPixel = bitsPerPixelOf(f.gstFormat);
    return f;
}

// The V4L2 node of a device, when its provider tells it.
std::string nodeOf(GstDevice* device) {
    std::string node;
    if (GstStructure* properties = gst_device_get_properties(device)) {
        for (const char* key : {"api.v4l2.path", "device.path"}) {
            const char* value = gst_structure_get_string(properties, key);
            if (value && node.empty()) node = value;
        }
        gst_structure_free(properties);
    }
    return node;
}

// A device by its node ("/dev/video1": two cameras of one model share a
// name) or, failing that, by its name.
GstElement* deviceElement(const std::string& name) {
    gst::ensureInitialized();
    ObjectRef<GstDeviceMonitor> monitor(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.p, "Video/Source", nullptr);
    GstElement* element = nullptr;
    if (gst_device_monitor_start(monitor.p)) {
        GList* devices = gst_device_monitor_get_devices(monitor.p);
        for (GList* l = devices; l && !element; l = l->next) {
            auto* device = GST_DEVICE(l->data);
            if (nodeOf(device) == name) element = gst_device_create_element(device, nullptr);
        }
        for (GList* l = devices; l && !element; l = l->next) {
            auto* device = GST_DEVICE(l->data);
            gchar* display = gst_device_get_display_name(device);
            if (display && name == display) element = gst_device_create_element(device, nullptr);
            g_free(display);
        }
        g_list_free_full(devices, gst_object_unref);
        gst_device_monitor_stop(monitor.p);
    }
    return element;
}

}  // namespace

std::vector<TMediaDevice> videoDevices() {
    gst::ensureInitialized();
    std::vector<TMediaDevice> result;
    ObjectRef<GstDeviceMonitor> monitor(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.p, "Video/Source", nullptr);
    if (!gst_device_monitor_start(monitor.p)) return result;  // no provider: no devices
    GList* devices = gst_device_monitor_get_devices(monitor.p);
    for (GList* l = devices; l; l = l->next) {
        auto* device = GST_DEVICE(l->data);
        TMediaDevice d;
        gchar* display = gst_device_get_display_name(device);
        d.name = display ? display : "";
        g_free(display);
        d.node = nodeOf(device);
        if (GstCaps* caps = gst_device_get_caps(device)) {
            for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
                auto f = formatFromStructure(gst_caps_get_structure(caps, i));
                if (std::find(d.formats.begin(), d.formats.end(), f) == d.formats.end()) d.formats.push_back(f);
            }
            gst_caps_unref(caps);
        }
        result.push_back(std::move(d));
    }
    g_list_free_full(devices, gst_object_unref);
    gst_device_monitor_stop(monitor.p);
    return result;
}

std::vector<TCaptureFormat> sourceFormats(const std::string& description) {
    gst::ensureInitialized();
    std::vector<TCaptureFormat> result;
    GError* error = nullptr;
    // The identity makes a description that ends in caps parse, as build() does.
    const std::string text = description + " ! identity silent=true name=orbis_source_end";
    ObjectRef<GstElement> bin(gst_parse_bin_from_description(text.c_str(), FALSE, &error));
    if (error || !bin.p) {
        g_clear_error(&error);
        return result;
    }
    gst_object_ref_sink(bin.p);
    ObjectRef<GstElement> end(gst_bin_get_by_name(GST_BIN(bin.p), "orbis_source_end"));
    ObjectRef<GstPad> out(gst_element_get_static_pad(end.p, "src"));
    // READY: a device is opened and tells what it has; nothing runs yet.
    if (gst_element_set_state(bin.p, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
        if (GstCaps* caps = gst_pad_query_caps(out.p, nullptr)) {
            if (!gst_caps_is_any(caps) && !gst_caps_is_empty(caps)) {
                // One structure per format name, size and rate list entry.
                GstCaps* plain = gst_caps_normalize(caps);  // takes caps
                caps = plain;
                for (guint i = 0; i < gst_caps_get_size(plain); ++i) {
                    const TCaptureFormat f = formatFromStructure(gst_caps_get_structure(plain, i));
                    if (!f.gstFormat.empty() && std::find(result.begin(), result.end(), f) == result.end())
                        result.push_back(f);
                }
            }
            gst_caps_unref(caps);
        }
    }
    gst_element_set_state(bin.p, GST_STATE_NULL);
    return result;
}

// One appsink and what its callback keeps between frames. Touched only on
// that sink's streaming thread, apart from the frame counter.
struct SinkState {
    FrameCallback callback;
    bool bottomUp = false;  // hand 8/24/32-bit rows bottom first
    TCaptureGraph::Impl* owner = nullptr;
    GstCaps* caps = nullptr;
    GstVideoInfo info{};
    bool packed = false;  // single-plane format with whole bytes per pixel
    TCaptureFormat format;
    std::vector<uint8_t> buffer;
    std::atomic<uint64_t> frames{0};

    ~SinkState() { gst_caps_replace(&caps, nullptr); }
    GstFlowReturn deliver(GstSample* sample);
};

struct TCaptureGraph::Impl {
    GstElement* pipeline = nullptr;
    CaptureMode mode = CaptureMode::Preview;
    SinkState frames, display;

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::optional<TCaptureFormat> format;
    GraphEnd end = GraphEnd::None;
    bool eos = false;  // end-of-stream reached the sinks, also after an error
    std::optional<TDiagnostic> error;
    std::function<void(GraphEnd)> onEnd;  // set before the graph runs
    bool endReported = false;

    Impl() {
        frames.owner = this;
        frames.bottomUp = true;
        display.owner = this;
    }
    ~Impl() { release(); }

    void release() {
        if (!pipeline) return;
        // NULL joins the streaming threads, so no callback outlives this.
        gst_element_set_state(pipeline, GST_STATE_NULL);
        ObjectRef<GstBus> bus(gst_element_get_bus(pipeline));
        gst_bus_set_sync_handler(bus.p, nullptr, nullptr, nullptr);
        gst_object_unref(pipeline);
        pipeline = nullptr;
    }

    void setFormat(TCaptureFormat f) {
        std::lock_guard lock(mutex);
        format = std::move(f);
        changed.notify_all();
    }
    void setEnd(GraphEnd e, std::optional<TDiagnostic> failure = std::nullopt) {
        GraphEnd report = GraphEnd::None;
        {
            std::lock_guard lock(mutex);
            if (e == GraphEnd::EndOfStream) eos = true;
            if (e == GraphEnd::Error && !error && failure) error = std::move(failure);
            if (end != GraphEnd::Error) end = e;
            if (onEnd && !endReported) {
                endReported = true;
                report = end;
            }
            changed.notify_all();
        }
        // Outside the lock: the callback may well ask the graph for its error text.
        if (report != GraphEnd::None) onEnd(report);
    }
    void clearEnd() {
        std::lock_guard lock(mutex);
        end = GraphEnd::None;
        eos = false;
        error.reset();
        endReported = false;
    }
    // No more end callbacks: the owner is stopping or going away.
    void disarmEnd() {
        std::lock_guard lock(mutex);
        onEnd = nullptr;
    }
    bool waitForEos(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return eos; });
    }
};

GstFlowReturn SinkState::deliver(GstSample* sample) {
    GstCaps* sampleCaps = gst_sample_get_caps(sample);
    GstBuffer* buf = gst_sample_get_buffer(sample);
    if (!sampleCaps || !buf) return GST_FLOW_OK;
    if (sampleCaps != caps) {  // caps objects are shared while unchanged
        gst_caps_replace(&caps, sampleCaps);
        format = formatFromStructure(gst_caps_get_structure(caps, 0));
        const int bits = format.bitsPerPixel;
        packed = gst_video_info_from_caps(&info, caps) && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    }
    if (!callback) return GST_FLOW_OK;
    try {
        if (packed) {
            const std::size_t rowBytes = static_cast<std::size_t>(format.width) * (format.bitsPerPixel / 8);
            const std::size_t rows = static_cast<std::size_t>(format.height);
            // Unmapped also when the callback raises: a camera's buffer must go back to its pool.
            struct Mapping {
                GstBuffer* buffer;
                GstVideoFrame frame{};
                GstMapInfo plain{};
                bool isFrame = false, isPlain = false;
                ~Mapping() {
                    if (isFrame) gst_video_frame_unmap(&frame);
                    if (isPlain) gst_buffer_unmap(buffer, &plain);
                }
            } m{buf};
            const uint8_t* data = nullptr;
            std::size_t stride = 0;
            if (gst_video_frame_map(&m.frame, &info, buf, GST_MAP_READ)) {
                m.isFrame = true;
                data = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&m.frame, 0));
                stride = static_cast<std::size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&m.frame, 0));
            } else if (gst_buffer_get_size(buf) == rowBytes * rows && gst_buffer_map(buf, &m.plain, GST_MAP_READ)) {
                // Rows without the padding GStreamer's own layout gives them
                // (an 8-bit frame 642 pixels wide from a raw video file).
                m.isPlain = true;
                data = m.plain.data;
                stride = rowBytes;
            } else {
                return GST_FLOW_ERROR;
            }
            const bool flip = bottomUp && format.bitsPerPixel != 16;
            if (!flip && stride == rowBytes) {
                callback({data, rowBytes * rows}, format);
            } else {
                buffer.resize(rowBytes * rows);  // allocates only when the size changes
                for (std::size_t r = 0; r < rows; ++r)
                    std::memcpy(buffer.data() + (flip ? rows - 1 - r : r) * rowBytes, data + r * stride, rowBytes);
                callback(buffer, format);
            }
        } else {
            // Planar and compressed frames go as they are; the detector refuses their format.
            GstMapInfo map;
            if (!gst_buffer_map(buf, &map, GST_MAP_READ)) return GST_FLOW_ERROR;
            struct Unmap {
                GstBuffer* b;
                GstMapInfo& m;
                ~Unmap() { gst_buffer_unmap(b, &m); }
            } unmap{buf, map};
            callback({map.data, map.size}, format);
        }
    } catch (const Exception& e) {
        // Nothing may unwind through GStreamer: the failure ends the stream as an error.
        owner->setEnd(GraphEnd::Error, e.diagnostic());
        return GST_FLOW_ERROR;
    } catch (const std::exception& e) {
        owner->setEnd(GraphEnd::Error, TDiagnostic(Code::GraphStreamFailed).with("detail", e.what()));
        return GST_FLOW_ERROR;
    }
    frames.fetch_add(1, std::memory_order_relaxed);
    return GST_FLOW_OK;
}

namespace {

GstFlowReturn deliverPulled(GstSample* sample, gpointer data) {
    if (!sample) return GST_FLOW_EOS;
    const GstFlowReturn ret = static_cast<SinkState*>(data)->deliver(sample);
    gst_sample_unref(sample);
    return ret;
}

GstFlowReturn onNewSample(GstAppSink* sink, gpointer data) { return deliverPulled(gst_app_sink_pull_sample(sink), data); }

// The frame a paused graph holds: shown, so a clip loaded or rewound is
// seen before it plays. Never for the frame callback, which must get each
// frame once.
GstFlowReturn onNewPreroll(GstAppSink* sink, gpointer data) { return deliverPulled(gst_app_sink_pull_preroll(sink), data); }

void attachSink(GstElement* bin, const char* name, SinkState& state, bool preroll) {
    ObjectRef<GstElement> sink(gst_bin_get_by_name(GST_BIN(bin), name));
    if (!sink.p) return;
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = onNewSample;
    if (preroll) callbacks.new_preroll = onNewPreroll;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.p), &callbacks, &state, nullptr);
}

GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data) {
    auto* impl = static_cast<TCaptureGraph::Impl*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            impl->setEnd(GraphEnd::EndOfStream);
            break;
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            impl->setEnd(GraphEnd::Error, TDiagnostic(Code::GraphStreamFailed).with("detail", takeErrorText(error)));
            break;
        }
        default:
            break;
    }
    // Handled here, on the posting thread: nothing piles up on the bus.
    return GST_BUS_DROP;
}

GstPadProbeReturn onCapsEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
        GstCaps* caps = nullptr;
        gst_event_parse_caps(event, &caps);
        static_cast<TCaptureGraph::Impl*>(data)->setFormat(formatFromStructure(gst_caps_get_structure(caps, 0)));
    }
    return GST_PAD_PROBE_OK;
}

// The formats the detector takes, in the order a source should prefer them,
// then any raw video.
constexpr const char* kPreferredRawCaps =
    "video/x-raw,format=(string){ YUY2, UYVY, YVYU, GRAY8, BGRx, BGRA, RGBx, RGBA, xRGB, ARGB, xBGR, ABGR, BGR, RGB }; "
    "video/x-raw";

// What a plain recording stores uncompressed: grey and packed 4:2:2 YUV as
// the cameras give them, and RGB in the byte order of a Windows bitmap,
// which the station's AVI reader takes directly. Other raw video is
// converted rather than refused by avimux. Planar 4:2:0 is not stored as it
// is: few AVI readers take it, and 4:2:2 keeps all of its samples.
constexpr std::array<std::string_view, 6> kStoredFormats = {"GRAY8", "YUY2", "UYVY", "BGRx", "BGRA", "BGR"};
constexpr const char* kStoredCaps = "video/x-raw,format=(string){ GRAY8, YUY2, UYVY, BGRx, BGRA, BGR }";

// The stored format nearest to a raw one: grey as GRAY8, RGB as BGR or,
// from four bytes a pixel, BGRx, any YUV as YUY2; empty when GStreamer does
// not know the format.
std::string storedFormatFor(const std::string& gstFormat) {
    if (std::find(kStoredFormats.begin(), kStoredFormats.end(), gstFormat) != kStoredFormats.end()) return gstFormat;
    const GstVideoFormat format = gst_video_format_from_string(gstFormat.c_str());
    if (format == GST_VIDEO_FORMAT_UNKNOWN) return {};
    const GstVideoFormatInfo* info = gst_video_format_get_info(format);
    if (GST_VIDEO_FORMAT_INFO_IS_GRAY(info)) return "GRAY8";
    if (GST_VIDEO_FORMAT_INFO_IS_RGB(info)) return GST_VIDEO_FORMAT_INFO_PSTRIDE(info, 0) == 4 ? "BGRx" : "BGR";
    return "YUY2";
}

// The conversion of an uncompressed recording: to the format stored for the
// one asked of the source, else to any stored format videoconvert finds
// nearest. Compressed video asked of the source goes to avimux as it is.
std::string storedConversion(const TCaptureSource& source) {
    if (source.format && source.format->gstFormat.find('/') != std::string::npos) return {};
    const std::string stored = source.format ? storedFormatFor(source.format->gstFormat) : std::string();
    return "videoconvert ! capsfilter caps=" + gst::quoted(stored.empty() ? kStoredCaps : "video/x-raw,format=" + stored) +
           " ! ";
}

// Capture appsinks do not sync to the clock: a camera paces itself, and a
// file or test source should run as fast as its consumer; their display
// branch leaks, so a slow window never holds them up. Playback shows a clip
// at its own pace: there the display is what paces the file, and a leaking
// queue would let the whole clip run through it at once.
std::string displayBranch(bool sync) {
    return std::string(" t. ! queue") + (sync ? "" : " leaky=downstream max-size-buffers=2") +
           " ! videoconvert ! video/x-raw,format=BGRx ! appsink name=display sync=" + (sync ? "true" : "false");
}

}  // namespace

TCaptureGraph::TCaptureGraph() { gst::ensureInitialized(); }

TCaptureGraph::~TCaptureGraph() {
    if (!impl_) return;
    impl_->disarmEnd();  // the owner is going away
    stop();
}

void TCaptureGraph::setFrameCallback(FrameCallback callback) { frameCallback_ = std::move(callback); }
void TCaptureGraph::setDisplayCallback(FrameCallback callback) { displayCallback_ = std::move(callback); }
void TCaptureGraph::setEndCallback(std::function<void(GraphEnd)> callback) { endCallback_ = std::move(callback); }

TCaptureSource TCaptureSource::file(const std::string& path) {
    return pipeline("filesrc location=" + gst::quoted(path) + " ! decodebin");
}

TCaptureSource TCaptureSource::greyFile(const std::string& path) {
    return pipeline(file(path).text + " ! videoconvert ! video/x-raw,format=GRAY8");
}

void TCaptureGraph::build(CaptureMode mode, const TCaptureSource& source, const TRecordOptions& record) {
    if (impl_) {
        // A recording being replaced still gets its index.
        impl_->disarmEnd();
        stop();
        impl_.reset();
    }
    mode_ = mode;

    std::string encoder;
    if (mode == CaptureMode::Record && !record.encoderName.empty()) {
        auto factory = encoderElementName(record.encoderName);
        if (!factory || !createEncoder(*factory)) throw Exception(codecAddFailed(record.encoderName));
        encoder = *factory;
    }
    // The time stamp: made once here so a missing plugin gets its own message.
    const bool stamp = mode == CaptureMode::Record && record.timeStamp;
    if (stamp) {
        GstElement* filter = gst_element_factory_make(kTimeStampFactory, nullptr);
        if (!filter) throw Exception(TDiagnostic(Code::TimeStampCreateFailed));
        gst_object_unref(gst_object_ref_sink(filter));
    }

    // The source: a device element, or a bin with its one free source pad ghosted.
    ObjectRef<GstElement> src;
    if (source.isDevice) {
        src.p = deviceElement(source.text);
        if (!src.p) throw Exception(TDiagnostic(Code::CaptureDeviceNotFound).with("device", source.text));
    } else {
        GError* error = nullptr;
        // A description may end in caps ("... ! video/x-raw,format=YUY2"), which
        // only parse as a filter between two elements, hence the identity. Only
        // its output is ghosted: ghosting every unlinked pad would also catch
        // pads still waiting for a demuxer's dynamic pad.
        const std::string description = source.text + " ! identity silent=true name=orbis_source_end";
        src.p = gst_parse_bin_from_description(description.c_str(), FALSE, &error);
        if (error || !src.p) throw Exception(TDiagnostic(Code::VideoSourceNotCreated).with("detail", takeErrorText(error)));
        ObjectRef<GstElement> end(gst_bin_get_by_name(GST_BIN(src.p), "orbis_source_end"));
        ObjectRef<GstPad> out(gst_element_get_static_pad(end.p, "src"));
        gst_element_add_pad(src.p, gst_ghost_pad_new("src", out.p));
    }

    // The chosen format is asked of the source first; the tee sees what it
    // agreed to. Without one, a source left to itself often picks a format
    // the detector cannot take (a camera Motion JPEG, videotestsrc AYUV):
    // it is offered the detector's formats first, then any raw video, so a
    // source that has only others still runs into the clear refusal of the
    // format check rather than a failed link.
    std::string asked;
    if (source.format) asked = capsText(*source.format);
    else if (mode != CaptureMode::Playback) asked = kPreferredRawCaps;
    std::string tail = asked.empty() ? "" : "capsfilter caps=" + gst::quoted(asked) + " ! ";
    tail += "tee name=t";
    switch (mode) {
        case CaptureMode::Preview:
            tail += displayBranch(false);
            break;
        case CaptureMode::Detect:
            tail += " t. ! queue ! appsink name=frames sync=false";
            if (displayCallback_) tail += displayBranch(false);
            break;
        case CaptureMode::Record:
            // The video pad by name: left to itself, parse would take avimux's
            // first compatible template, which is the audio one.
            tail += " avimux name=mux ! filesink name=file t. ! queue ! ";
            if (stamp) tail += std::string(kTimeStampFactory) + " font-size=" + std::to_string(record.fontSize) + " ! ";
            if (!encoder.empty()) tail += "videoconvert ! " + encoder + " name=encoder ! ";
            else tail += storedConversion(source);
            tail += "mux.video_0";
            if (displayCallback_) tail += displayBranch(false);
            break;
        case CaptureMode::Playback:
            // Frames for extraction in grey, as the clips are stored.
            if (frameCallback_) tail += " t. ! queue ! videoconvert ! video/x-raw,format=GRAY8 ! appsink name=frames sync=true";
            if (displayCallback_) tail += displayBranch(true);
            if (!frameCallback_ && !displayCallback_) tail += " t. ! fakesink sync=true";
            break;
    }
    GError* error = nullptr;
    ObjectRef<GstElement> sinks(gst_parse_bin_from_description(tail.c_str(), TRUE, &error));
    if (error || !sinks.p) {
        const std::string text = takeErrorText(error);
        if (!encoder.empty()) throw Exception(codecAddFailed(record.encoderName).with("detail", text));
        throw Exception(TDiagnostic(Code::CaptureGraphNotCreated).with("detail", text));
    }
    if (mode == CaptureMode::Record) {
        ObjectRef<GstElement> file(gst_bin_get_by_name(GST_BIN(sinks.p), "file"));
        g_object_set(file.p, "location", record.path.c_str(), nullptr);
        if (!encoder.empty()) {
            ObjectRef<GstElement> element(gst_bin_get_by_name(GST_BIN(sinks.p), "encoder"));
            gst::applyEncoderSettings(element.p, record.encoderSettings);
        }
    }

    auto impl = std::make_unique<Impl>();
    impl->mode = mode;
    impl->pipeline = gst_pipeline_new("capture");
    gst_object_ref_sink(impl->pipeline);
    GstElement* s = src.release();
    GstElement* k = sinks.release();
    gst_bin_add_many(GST_BIN(impl->pipeline), s, k, nullptr);
    if (!gst_element_link(s, k)) {
        if (!encoder.empty()) throw Exception(codecAddFailed(record.encoderName));
        throw Exception(TDiagnostic(Code::VideoSourceNotLinked));
    }

    impl->frames.callback = frameCallback_;
    impl->display.callback = displayCallback_;
    impl->onEnd = endCallback_;
    attachSink(k, "frames", impl->frames, false);
    attachSink(k, "display", impl->display, mode == CaptureMode::Playback);
    {
        ObjectRef<GstElement> tee(gst_bin_get_by_name(GST_BIN(k), "t"));
        ObjectRef<GstPad> pad(gst_element_get_static_pad(tee.p, "sink"));
        gst_pad_add_probe(pad.p, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, onCapsEvent, impl.get(), nullptr);
    }
    ObjectRef<GstBus> bus(gst_element_get_bus(impl->pipeline));
    gst_bus_set_sync_handler(bus.p, onBusMessage, impl.get(), nullptr);
    impl_ = std::move(impl);
}

bool TCaptureGraph::run() {
    if (!impl_) return false;
    if (state() == GraphState::Stopped) impl_->clearEnd();  // a new run after stop: forget the last one's end
    return gst_element_set_state(impl_->pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool TCaptureGraph::pause(std::chrono::milliseconds timeout) {
    if (!impl_) return false;
    if (gst_element_set_state(impl_->pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return false;
    const auto ns = static_cast<GstClockTime>(std::chrono::nanoseconds(timeout).count());
    const GstStateChangeReturn r = gst_element_get_state(impl_->pipeline, nullptr, nullptr, ns);
    return r == GST_STATE_CHANGE_SUCCESS || r == GST_STATE_CHANGE_NO_PREROLL;
}

bool TCaptureGraph::stop(std::chrono::milliseconds timeout) {
    if (!impl_) return true;
    bool finished = true;
    const GraphState now = state();
    if (mode_ == CaptureMode::Record && (now == GraphState::Playing || now == GraphState::Paused)) {
        // avimux writes the index on end-of-stream; without it the file
        // cannot be played. A paused pipeline does not carry the event: it
        // runs again until the event has passed.
        if (now == GraphState::Paused) gst_element_set_state(impl_->pipeline, GST_STATE_PLAYING);
        gst_element_send_event(impl_->pipeline, gst_event_new_eos());
        // After an error upstream the sources still push end-of-stream, so
        // it is awaited then too, but not for long.
        const bool failed = waitForEnd(std::chrono::milliseconds(0)) == GraphEnd::Error;
        finished = impl_->waitForEos(failed ? std::min<std::chrono::milliseconds>(timeout, std::chrono::seconds(5))
                                            : timeout);
    }
    gst_element_set_state(impl_->pipeline, GST_STATE_NULL);
    return finished;
}

GraphState TCaptureGraph::state() const {
    if (!impl_) return GraphState::Empty;
    // A change still under way counts as done: a live source reaches
    // PLAYING only with its first frame, but it has been told to run.
    GstState current = GST_STATE_NULL, pending = GST_STATE_VOID_PENDING;
    gst_element_get_state(impl_->pipeline, &current, &pending, 0);
    if (pending != GST_STATE_VOID_PENDING) current = pending;
    switch (current) {
        case GST_STATE_PAUSED:
            return GraphState::Paused;
        case GST_STATE_PLAYING:
            return GraphState::Playing;
        default:
            return GraphState::Stopped;
    }
}

bool TCaptureGraph::settled() const {
    if (!impl_) return true;
    return gst_element_get_state(impl_->pipeline, nullptr, nullptr, 0) != GST_STATE_CHANGE_ASYNC;
}

bool TCaptureGraph::seekToStart() { return seekTo(0.0); }

bool TCaptureGraph::seekTo(double seconds) {
    if (!impl_ || !(seconds >= 0.0)) return false;
    // A stopped graph cannot seek: bring it to a prerolled pause first.
    if (state() == GraphState::Stopped && !pause()) return false;
    gst_element_get_state(impl_->pipeline, nullptr, nullptr, 5 * GST_SECOND);
    const bool sought = gst_element_seek_simple(impl_->pipeline, GST_FORMAT_TIME,
                                                static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                                                static_cast<gint64>(seconds * GST_SECOND));
    // After the flush: an end of the old run cannot count for the new one.
    if (sought) impl_->clearEnd();
    return sought;
}

std::optional<double> TCaptureGraph::position() const {
    gint64 ns = 0;
    if (!impl_ || !gst_element_query_position(impl_->pipeline, GST_FORMAT_TIME, &ns) || ns < 0) return std::nullopt;
    return static_cast<double>(ns) / GST_SECOND;
}

std::optional<double> TCaptureGraph::duration() const {
    gint64 ns = 0;
    if (!impl_ || !gst_element_query_duration(impl_->pipeline, GST_FORMAT_TIME, &ns) || ns < 0) return std::nullopt;
    return static_cast<double>(ns) / GST_SECOND;
}

GraphEnd TCaptureGraph::waitForEnd(std::chrono::milliseconds timeout) {
    if (!impl_) return GraphEnd::None;
    std::unique_lock lock(impl_->mutex);
    impl_->changed.wait_for(lock, timeout, [&] { return impl_->end != GraphEnd::None; });
    return impl_->end;
}

std::optional<TDiagnostic> TCaptureGraph::error() const {
    if (!impl_) return std::nullopt;
    std::lock_guard lock(impl_->mutex);
    return impl_->error;
}

std::optional<TCaptureFormat> TCaptureGraph::format() const {
    if (!impl_) return std::nullopt;
    std::lock_guard lock(impl_->mutex);
    return impl_->format;
}

std::optional<TCaptureFormat> TCaptureGraph::waitForFormat(std::chrono::milliseconds timeout) {
    if (!impl_) return std::nullopt;
    std::unique_lock lock(impl_->mutex);
    impl_->changed.wait_for(lock, timeout, [&] { return impl_->format.has_value() || impl_->end != GraphEnd::None; });
    return impl_->format;
}

uint64_t TCaptureGraph::framesDelivered() const {
    return impl_ ? impl_->frames.frames.load(std::memory_order_relaxed) : 0;
}

}  // namespace orbis
