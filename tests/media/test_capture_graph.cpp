// The capture pipeline on videotestsrc: no camera, display or network needed.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/media/uMediaTypes.h"
#include "capture/uAviFile.h"
#include "capture/uMemoryAVI.h"

namespace orbis {
namespace {

using namespace std::chrono_literals;

// Frames handed over by a graph, copied.
struct Collected {
    std::mutex mutex;
    std::vector<std::vector<uint8_t>> frames;
    std::vector<TCaptureFormat> formats;
    FrameCallback callback() {
        return [this](std::span<const uint8_t> bytes, const TCaptureFormat& f) {
            std::lock_guard lock(mutex);
            frames.emplace_back(bytes.begin(), bytes.end());
            formats.push_back(f);
        };
    }
};

// Runs a Detect graph on the source to its end and returns what it handed over.
void detectAll(const std::string& source, Collected& out) {
    TCaptureGraph graph;
    graph.setFrameCallback(out.callback());
    graph.build(CaptureMode::Detect, TCaptureSource::pipeline(source));
    ASSERT_TRUE(graph.run());
    ASSERT_EQ(graph.waitForEnd(20s), GraphEnd::EndOfStream) << (graph.error() ? graph.error()->plain() : std::string());
    graph.stop();
    EXPECT_EQ(graph.framesDelivered(), out.frames.size());
}

std::string testSource(const std::string& pattern, const std::string& format, int w, int h, int n) {
    return "videotestsrc pattern=" + pattern + " num-buffers=" + std::to_string(n) + " ! video/x-raw,format=" + format +
           ",width=" + std::to_string(w) + ",height=" + std::to_string(h) + ",framerate=25/1";
}

TEST(MediaTypes, StationNamesAndDepths) {
    const std::pair<const char*, const char*> names[] = {
        {"YUY2", "YUY2"},   {"UYVY", "UYVY"},   {"YVYU", "YVYU"},  {"I420", "I420"},     {"GRAY8", "GRAY8"},
        {"RGB", "RGB24"},   {"BGR", "RGB24"},   {"BGRx", "RGB32"}, {"xRGB", "RGB32"},    {"RGB15", "RGB555"},
        {"RGB16", "RGB565"}, {"NV12", "UnKnow"}, {"image/jpeg", "UnKnow"}, {"", "UnKnow"}};
    for (auto [gst, name] : names) EXPECT_EQ(MediaTypeName(gst), name) << gst;
    EXPECT_EQ(bitsPerPixelOf("GRAY8"), 8);
    EXPECT_EQ(bitsPerPixelOf("I420"), 12);
    EXPECT_EQ(bitsPerPixelOf("UYVY"), 16);
    EXPECT_EQ(bitsPerPixelOf("RGB16"), 16);
    EXPECT_EQ(bitsPerPixelOf("BGR"), 24);
    EXPECT_EQ(bitsPerPixelOf("RGBx"), 32);
    EXPECT_EQ(bitsPerPixelOf("NV12"), 0);
}

TEST(MediaTypes, StatusTextsAndRateRounding) {
    TCaptureFormat f{"YUY2", 720, 576, 16, 25, 1};
    EXPECT_EQ(captureFormatText(f), "Capture: Video, YUY2, 720x576, 16 bit");
    EXPECT_EQ(frameRateText(f), "Rate: 25 frames/sec");
    EXPECT_EQ(captureFormatText({"image/jpeg", 0, 0, 0, 0, 1}), "Capture: Video, UnKnow");
    EXPECT_EQ((TCaptureFormat{"YUY2", 1, 1, 16, 30000, 1001}).frameRate(), 30);
    EXPECT_EQ((TCaptureFormat{"YUY2", 1, 1, 16, 25, 2}).frameRate(), 12);  // 12.5: halves to even
    EXPECT_EQ((TCaptureFormat{"YUY2", 1, 1, 16, 27, 2}).frameRate(), 14);  // 13.5
    EXPECT_EQ((TCaptureFormat{"YUY2", 1, 1, 16, 1, 5}).frameRate(), 1);
    EXPECT_EQ((TCaptureFormat{"YUY2", 1, 1, 16, 0, 1}).frameRate(), 25);  // variable rate
}

TEST(MediaTypes, GeometryTakesTheGreenByteAndRefuses16BitRgb) {
    EXPECT_EQ(geometryFor({"UYVY", 8, 8, 16, 25, 1}).lumaOffset, 1);
    EXPECT_EQ(geometryFor({"YUY2", 8, 8, 16, 25, 1}).lumaOffset, 0);
    EXPECT_EQ(geometryFor({"BGRx", 8, 8, 32, 25, 1}).lumaOffset, 1);
    EXPECT_EQ(geometryFor({"xRGB", 8, 8, 32, 25, 1}).lumaOffset, 2);
    EXPECT_EQ(geometryFor({"RGB", 8, 8, 24, 30000, 1001}).frameRate, 30);
}

TEST(CaptureGraph, DetectHandsOverYuy2AndUyvyUnconverted) {
    Collected yuy2, uyvy;
    detectAll(testSource("white", "YUY2", 32, 16, 7), yuy2);
    detectAll(testSource("white", "UYVY", 32, 16, 7), uyvy);
    ASSERT_EQ(yuy2.frames.size(), 7u);
    ASSERT_EQ(uyvy.frames.size(), 7u);
    EXPECT_EQ(yuy2.formats[0], (TCaptureFormat{"YUY2", 32, 16, 16, 25, 1}));
    EXPECT_EQ(uyvy.formats[0].name(), "UYVY");
    ASSERT_EQ(yuy2.frames[0].size(), 32u * 16u * 2u);
    ASSERT_EQ(uyvy.frames[0].size(), 32u * 16u * 2u);
    // Luma where the detector looks for it, chroma neutral beside it.
    EXPECT_EQ(yuy2.frames[6][0], 235);
    EXPECT_EQ(yuy2.frames[6][1], 128);
    EXPECT_EQ(uyvy.frames[6][1], 235);
    EXPECT_EQ(uyvy.frames[6][0], 128);
}

TEST(CaptureGraph, Gray8RowsArePackedAndBottomFirst) {
    // Width 30: GStreamer pads each row to 32 bytes. The gradient runs from
    // dark at the top to bright at the bottom.
    Collected c;
    detectAll(testSource("gradient", "GRAY8", 30, 8, 4), c);
    ASSERT_EQ(c.frames.size(), 4u);
    const auto& f = c.frames.back();
    ASSERT_EQ(f.size(), 30u * 8u);
    EXPECT_EQ(c.formats.back().bitsPerPixel, 8);
    const auto row = [&](int r) { return std::vector<uint8_t>(f.begin() + r * 30, f.begin() + (r + 1) * 30); };
    EXPECT_EQ(row(0), std::vector<uint8_t>(30, 208));  // the bottom row
    EXPECT_EQ(row(7), std::vector<uint8_t>(30, 16));   // the top row
    for (int r = 1; r < 8; ++r) EXPECT_LT(row(r)[29], row(r - 1)[0]) << r;
}

TEST(CaptureGraph, RgbRowsArePackedFlippedAndGreenIsTheLumaByte) {
    Collected rgb, xrgb;
    detectAll(testSource("gradient", "RGB", 30, 8, 2), rgb);  // stride 92 for 90 bytes a row
    detectAll(testSource("green", "xRGB", 8, 4, 2), xrgb);
    ASSERT_EQ(rgb.frames.size(), 2u);
    ASSERT_EQ(rgb.frames[1].size(), 30u * 8u * 3u);
    EXPECT_GT(rgb.frames[1][1], rgb.frames[1][30 * 3 * 7 + 1]);  // bottom row brighter than the top
    ASSERT_EQ(xrgb.frames.size(), 2u);
    const auto g = geometryFor(xrgb.formats[1]);
    EXPECT_EQ(g.sourceStep, 4);
    EXPECT_EQ(xrgb.frames[1][static_cast<std::size_t>(g.lumaOffset)], 255);
    EXPECT_EQ(xrgb.frames[1][1], 0);  // red
}

TEST(CaptureGraph, Rgb565IsRefusedByTheDetectorGeometry) {
    TCaptureGraph graph;
    graph.build(CaptureMode::Detect, TCaptureSource::pipeline(testSource("white", "RGB16", 32, 16, 2)));
    ASSERT_TRUE(graph.pause());
    const auto f = graph.format();
    ASSERT_TRUE(f);
    EXPECT_EQ(captureFormatText(*f), "Capture: Video, RGB565, 32x16, 16 bit");
    try {
        geometryFor(*f);
        ADD_FAILURE() << "RGB565 accepted";
    } catch (const EInvalidVideo& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::CaptureFormatUnsupported);
        EXPECT_EQ(e.diagnostic().value("format"), "RGB565");
    }
}

class StepClock final : public DetectorClock {
public:
    uint32_t tick = 5000000;
    TDateTime now = encodeDateTime({2024, 8, 12, 23, 10, 0, 0});
    uint32_t tickCount() override { return tick; }
    TDateTime localNow() override { return now; }
};

class NoIndicators final : public IndicatorSink {
public:
    void publish(const TDetectorIndicators&) noexcept override {}
};

TEST(CaptureGraph, DetectorOnAMovingBallWritesEventClips) {
    test::TempDir station;
    test::RecordingNotifier notifier;
    StepClock clock;
    NoIndicators indicators;
    TClipWriterPool pool(notifier);
    TDetector detector({clock, indicators, pool, [] {}});

    TCaptureGraph graph;
    graph.setFrameCallback([&](std::span<const uint8_t> bytes, const TCaptureFormat&) {
        detector.GrabRecord(bytes);
        clock.tick += 40;
        clock.now += 40 / 86400000.0;
    });
    graph.build(CaptureMode::Detect, TCaptureSource::pipeline(testSource("ball", "YUY2", 160, 120, 200)));
    ASSERT_TRUE(graph.pause());
    const auto format = graph.format();
    ASSERT_TRUE(format);
    detector.startSession(geometryFor(*format), {}, {}, station.str());
    ASSERT_TRUE(graph.run());
    ASSERT_EQ(graph.waitForEnd(60s), GraphEnd::EndOfStream) << (graph.error() ? graph.error()->plain() : std::string());
    graph.stop();
    detector.stopSession();
    pool.waitAll();

    EXPECT_EQ(graph.framesDelivered(), 200u);
    const auto clips = pool.finishedClips();
    ASSERT_GE(clips.size(), 1u);
    for (const auto& c : clips) {
        EXPECT_TRUE(c.complete) << c.fileName;
        EXPECT_TRUE(std::filesystem::exists(c.fileName)) << c.fileName;
        EXPECT_EQ(c.fileName.rfind(station.str(), 0), 0u) << c.fileName;
    }
    EXPECT_TRUE(notifier.messages.empty() && notifier.reports.empty());
}

// Plays a file back through a second graph and counts its frames.
uint64_t playBack(const std::string& source, std::optional<TCaptureFormat>& format) {
    TCaptureGraph graph;
    graph.setFrameCallback([](std::span<const uint8_t>, const TCaptureFormat&) {});
    graph.build(CaptureMode::Detect, TCaptureSource::pipeline(source));
    EXPECT_TRUE(graph.run());
    EXPECT_EQ(graph.waitForEnd(20s), GraphEnd::EndOfStream) << (graph.error() ? graph.error()->plain() : std::string());
    graph.stop();
    format = graph.format();
    return graph.framesDelivered();
}

TRecordOptions recordTo(const std::string& path, const std::string& encoder, const std::string& settings = "") {
    TRecordOptions options;
    options.path = path;
    options.encoderName = encoder;
    options.encoderSettings = parseEncoderSettings(settings);
    return options;
}

TEST(CaptureGraph, RecordWritesAnAviGStreamerPlaysBackWithTheEncodersSettings) {
    test::TempDir dir;
    struct Case {
        std::string encoder, settings, file;
    };
    std::map<std::string, std::uintmax_t> sizes;
    for (const Case& c : {Case{"", "", "raw.avi"}, Case{"JPEG image encoder", "quality=95", "fine.avi"},
                          Case{"JPEG image encoder", "quality=5 idct-method=float", "coarse.avi"}}) {
        SCOPED_TRACE(c.file);
        const std::string path = (dir / c.file).string();
        Collected shown;
        {
            TCaptureGraph graph;
            graph.setDisplayCallback(shown.callback());
            graph.build(CaptureMode::Record, TCaptureSource::pipeline(testSource("ball", "YUY2", 64, 48, 20)),
                        recordTo(path, c.encoder, c.settings));
            ASSERT_TRUE(graph.run());
            ASSERT_EQ(graph.waitForEnd(20s), GraphEnd::EndOfStream) << (graph.error() ? graph.error()->plain() : std::string());
            EXPECT_EQ(graph.framesDelivered(), 0u);  // no detector branch when recording
        }
        sizes[c.file] = std::filesystem::file_size(path);
        // The preview branch is leaky, so it may show fewer frames, never other ones.
        EXPECT_FALSE(shown.frames.empty());
        for (const auto& f : shown.formats) EXPECT_EQ(f.gstFormat, "BGRx");

        std::ifstream in(path, std::ios::binary);
        char head[12] = {};
        in.read(head, 12);
        EXPECT_EQ(std::string(head, 4), "RIFF");
        EXPECT_EQ(std::string(head + 8, 4), "AVI ");

        std::optional<TCaptureFormat> played;
        const std::string decode = c.encoder.empty() ? "" : " ! jpegdec";
        EXPECT_EQ(playBack("filesrc location=" + path + " ! avidemux" + decode + " ! queue", played), 20u);
        ASSERT_TRUE(played);
        EXPECT_EQ(played->width, 64);
        EXPECT_EQ(played->height, 48);
        EXPECT_EQ(played->gstFormat, c.encoder.empty() ? "YUY2" : "I420");  // jpegdec gives I420
    }
    // The settings reached the encoder the recording made.
    EXPECT_LT(sizes["coarse.avi"], sizes["fine.avi"]);
    EXPECT_LT(sizes["fine.avi"], sizes["raw.avi"]);
}

TEST(CaptureGraph, RefusedEncoderSettingStartsNothing) {
    test::TempDir dir;
    TCaptureGraph graph;
    const std::string path = (dir / "x.avi").string();
    for (const char* settings : {"quality=101", "quality=fine", "no-such-setting=1", "name=other"}) {
        SCOPED_TRACE(settings);
        EXPECT_THROW(graph.build(CaptureMode::Record, TCaptureSource::pipeline(testSource("ball", "YUY2", 64, 48, 5)),
                                 recordTo(path, "jpegenc", settings)),
                     EConvertError);
        EXPECT_EQ(graph.state(), GraphState::Empty);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(CaptureGraph, AnUncompressedRecordingStoresWhatAviReadersTake) {
    // Asked of the source or left to it, RGB is stored as a bitmap-order DIB
    // and planar YUV as YUY2; grey stays grey.
    struct Case {
        std::string format;
        bool asked;
        std::string handler;  // empty: a DIB of the given depth
        int bits;
    };
    for (const Case& c : {Case{"RGB", true, "", 24}, Case{"xRGB", true, "", 32}, Case{"RGB", false, "", 0},
                          Case{"I420", true, "YUY2", 0}, Case{"GRAY8", true, "Y800", 0}}) {
        SCOPED_TRACE(c.format + (c.asked ? " asked" : ""));
        test::TempDir dir;
        const std::string path = (dir / "r.avi").string();
        TCaptureSource source = TCaptureSource::pipeline(testSource("gradient", c.format, 48, 32, 6));
        if (c.asked) source.format = parseFormatSpec(c.format + " 48x32 25");
        {
            TCaptureGraph graph;
            graph.build(CaptureMode::Record, source, recordTo(path, ""));
            ASSERT_TRUE(graph.run());
            ASSERT_EQ(graph.waitForEnd(20s), GraphEnd::EndOfStream) << (graph.error() ? graph.error()->plain() : std::string());
        }
        if (!c.handler.empty()) {
            const std::string bytes = readFileBytes(path);
            EXPECT_EQ(bytes.substr(bytes.find("strh") + 12, 4), c.handler);
            continue;
        }
        const TAviReader reader(path);
        EXPECT_EQ(reader.info().frameCount, 6);
        if (c.bits != 0) {
            EXPECT_EQ(reader.info().bitsPerPixel, c.bits);
        }
        // Bottom row first: the gradient's white bottom, its black top.
        const std::vector<uint8_t> frame = reader.readFrame(0);
        const std::size_t pixel = static_cast<std::size_t>(reader.info().bitsPerPixel / 8);
        EXPECT_GT(frame[1], 180);
        EXPECT_LT(frame[31 * 48 * pixel + 1], 60);
    }
}

TEST(CaptureGraph, UnknownEncoderEndsTheStartWithTheCodecMessage) {
    test::TempDir dir;
    TCaptureGraph graph;
    try {
        graph.build(CaptureMode::Record, TCaptureSource::pipeline(testSource("ball", "YUY2", 64, 48, 5)),
                    recordTo((dir / "x.avi").string(), "No Such Codec"));
        ADD_FAILURE() << "built";
    } catch (const Exception& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::CodecAddFailed);
        EXPECT_EQ(e.diagnostic().value("encoder"), "No Such Codec");
    }
    EXPECT_EQ(graph.state(), GraphState::Empty);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(CaptureGraph, PreviewShowsBgrxTopFirstAndWritesNothing) {
    test::TempDir dir;
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());  // a stray filesink would write here
    Collected shown, detected;
    {
        TCaptureGraph graph;
        graph.setDisplayCallback(shown.callback());
        graph.setFrameCallback(detected.callback());
        graph.build(CaptureMode::Preview, TCaptureSource::pipeline(testSource("gradient", "GRAY8", 30, 8, 3)));
        ASSERT_TRUE(graph.run());
        ASSERT_EQ(graph.waitForEnd(20s), GraphEnd::EndOfStream) << (graph.error() ? graph.error()->plain() : std::string());
        EXPECT_EQ(graph.state(), GraphState::Playing);
        graph.stop();
        EXPECT_EQ(graph.state(), GraphState::Stopped);
    }
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(detected.frames.empty());
    // The display queue is leaky: a source faster than the window loses frames there.
    ASSERT_GE(shown.frames.size(), 1u);
    ASSERT_LE(shown.frames.size(), 3u);
    EXPECT_EQ(shown.formats[0], (TCaptureFormat{"BGRx", 30, 8, 32, 25, 1}));
    ASSERT_EQ(shown.frames[0].size(), 30u * 8u * 4u);
    EXPECT_LT(shown.frames[0][1], shown.frames[0][30 * 4 * 7 + 1]);  // top row (dark) first
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(CaptureGraph, BadSourcesAreRefusedWithTheirName) {
    TCaptureGraph graph;
    EXPECT_THROW(graph.build(CaptureMode::Detect, TCaptureSource::pipeline("nosuchelement ! fakesink")), Exception);
    try {
        graph.build(CaptureMode::Detect, TCaptureSource::device("Orbis Test Camera 9"));
        ADD_FAILURE() << "built";
    } catch (const Exception& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::CaptureDeviceNotFound);
        EXPECT_EQ(e.diagnostic().value("device"), "Orbis Test Camera 9");
    }
    EXPECT_EQ(graph.state(), GraphState::Empty);
}

TEST(CaptureGraph, SourceErrorEndsTheRunWithItsDiagnostic) {
    Collected c;
    TCaptureGraph graph;
    EXPECT_FALSE(graph.error());
    graph.setFrameCallback([](std::span<const uint8_t>, const TCaptureFormat&) {
        throw EInOutError(TDiagnostic(Code::ClipWriteFailed).with("file", "x.avi"));
    });
    graph.build(CaptureMode::Detect, TCaptureSource::pipeline(testSource("white", "GRAY8", 16, 16, 50)));
    ASSERT_TRUE(graph.run());
    EXPECT_EQ(graph.waitForEnd(20s), GraphEnd::Error);
    ASSERT_TRUE(graph.error());
    EXPECT_EQ(*graph.error(), TDiagnostic(Code::ClipWriteFailed).with("file", "x.avi"));
    EXPECT_EQ(graph.framesDelivered(), 0u);
}

// True when the file is a whole AVI: GStreamer finds its index and plays it to the end.
bool indexedAvi(const std::string& path) {
    const std::string bytes = readFileBytes(path);
    return bytes.find("idx1") != std::string::npos;
}

const std::string kLiveBall =
    "videotestsrc is-live=true pattern=ball ! video/x-raw,format=YUY2,width=64,height=48,framerate=50/1";

void waitForFrames(const TCaptureGraph& graph, const std::string& path) {
    for (int i = 0; i < 500 && (!std::filesystem::exists(path) || std::filesystem::file_size(path) < 64 * 48 * 2 * 5); ++i)
        std::this_thread::sleep_for(10ms);
    (void)graph;
}

TEST(CaptureGraph, ARecordingStoppedWhilePausedOrReplacedKeepsItsIndex) {
    test::TempDir dir;
    const std::string paused = (dir / "paused.avi").string(), replaced = (dir / "replaced.avi").string();
    TCaptureGraph graph;
    graph.build(CaptureMode::Record, TCaptureSource::pipeline(kLiveBall), recordTo(paused, ""));
    ASSERT_TRUE(graph.run());
    waitForFrames(graph, paused);
    ASSERT_TRUE(graph.pause());
    EXPECT_TRUE(graph.stop());
    EXPECT_TRUE(indexedAvi(paused));

    graph.build(CaptureMode::Record, TCaptureSource::pipeline(kLiveBall), recordTo(replaced, ""));
    ASSERT_TRUE(graph.run());
    waitForFrames(graph, replaced);
    graph.build(CaptureMode::Detect, TCaptureSource::pipeline(kLiveBall));  // replaced while recording
    EXPECT_TRUE(indexedAvi(replaced));
}

TEST(CaptureGraph, ARecordingThatFailsUpstreamStillGetsItsIndex) {
    test::TempDir dir;
    const std::string path = (dir / "failed.avi").string();
    TCaptureGraph graph;
    graph.build(CaptureMode::Record, TCaptureSource::pipeline(kLiveBall + " ! identity error-after=20"), recordTo(path, ""));
    ASSERT_TRUE(graph.run());
    ASSERT_EQ(graph.waitForEnd(20s), GraphEnd::Error);
    EXPECT_TRUE(graph.stop());
    EXPECT_TRUE(indexedAvi(path));
}

TEST(MediaDevices, EnumerationAndEncoderListWorkWithoutACamera) {
    std::vector<TMediaDevice> devices;
    ASSERT_NO_THROW(devices = videoDevices());
    for (const auto& d : devices) EXPECT_FALSE(d.name.empty());

    const auto encoders = videoEncoderNames();
    EXPECT_TRUE(std::is_sorted(encoders.begin(), encoders.end()));
    EXPECT_NE(std::find(encoders.begin(), encoders.end(), "JPEG image encoder"), encoders.end());
    // avimux takes no Theora, so the station cannot offer it.
    EXPECT_EQ(std::find(encoders.begin(), encoders.end(), "Theora video encoder"), encoders.end());
    EXPECT_EQ(encoders, videoEncoderNames());
    EXPECT_TRUE(createEncoder("JPEG image encoder"));
    EXPECT_TRUE(createEncoder("jpegenc"));
    EXPECT_FALSE(createEncoder("No Such Codec"));
}

}  // namespace
}  // namespace orbis
