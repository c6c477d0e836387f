// Playback of a clip for the video browser, the display's frame hand-over
// and the capture format a user names.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include "TempDir.h"
#include "astro/uExceptions.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/media/uLatestFrame.h"
#include "capture/media/uMediaTypes.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"

namespace orbis {
namespace {

using namespace std::chrono_literals;

// An 8-bit grey clip whose frame k is filled with a ramp offset by k.
std::vector<std::vector<uint8_t>> writeClip(const std::string& path, int w, int h, int frames) {
    std::vector<std::vector<uint8_t>> written;
    TAviWriter writer(path, w, h, 8, 25);
    for (int k = 0; k < frames; ++k) {
        std::vector<uint8_t> f(static_cast<std::size_t>(w * h));
        for (std::size_t i = 0; i < f.size(); ++i) f[i] = static_cast<uint8_t>((i + 7 * k) % 251);
        writer.writeFrame(f);
        written.push_back(std::move(f));
    }
    writer.close();
    return written;
}

struct Ends {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<GraphEnd> seen;
    std::function<void(GraphEnd)> callback() {
        return [this](GraphEnd e) {
            std::lock_guard lock(mutex);
            seen.push_back(e);
            changed.notify_all();
        };
    }
    bool waitFor(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, [&] { return seen.size() >= count; });
    }
};

TEST(Playback, ClipFramesComeBackAsStoredAndTheEndIsReportedOncePerRun) {
    test::TempDir dir;
    const std::string clip = (dir / "120000_000.avi").string();
    const auto written = writeClip(clip, 40, 30, 12);

    std::mutex mutex;
    std::vector<std::vector<uint8_t>> frames;
    Ends ends;
    TLatestFrame shown;
    TCaptureGraph graph;
    graph.setFrameCallback([&](std::span<const uint8_t> bytes, const TCaptureFormat& f) {
        EXPECT_EQ(f.gstFormat, "GRAY8");
        std::lock_guard lock(mutex);
        frames.emplace_back(bytes.begin(), bytes.end());
    });
    graph.setDisplayCallback(shown.callback());
    graph.setEndCallback(ends.callback());
    graph.build(CaptureMode::Playback, TCaptureSource::file(clip));
    ASSERT_TRUE(graph.run());
    ASSERT_TRUE(ends.waitFor(1));
    ASSERT_EQ(ends.seen[0], GraphEnd::EndOfStream) << (graph.error() ? graph.error()->plain() : std::string());
    ASSERT_TRUE(graph.duration());
    EXPECT_NEAR(*graph.duration(), 12 / 25.0, 1e-3);
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(frames, written);  // bottom row first, byte for byte, as stored
    }
    TLatestFrame::Frame last;
    ASSERT_TRUE(shown.take(last));
    EXPECT_EQ(last.format.gstFormat, "BGRx");
    EXPECT_EQ(last.bytes.size(), 40u * 30 * 4);

    // Back to the start plays the clip again, and its end is reported again.
    ASSERT_TRUE(graph.seekToStart());
    EXPECT_EQ(graph.waitForEnd(0ms), GraphEnd::None);
    ASSERT_TRUE(graph.run());
    ASSERT_TRUE(ends.waitFor(2));
    EXPECT_EQ(ends.seen[1], GraphEnd::EndOfStream);
    graph.stop();
    std::lock_guard lock(mutex);
    EXPECT_EQ(frames.size(), 24u);
    EXPECT_EQ(std::vector(frames.begin() + 12, frames.end()), written);
}

TEST(Playback, TheDisplayAloneSeesEveryFrameAtTheClipsPace) {
    test::TempDir dir;
    const std::string clip = (dir / "120000_000.avi").string();
    writeClip(clip, 40, 30, 12);
    Ends ends;
    TLatestFrame shown;
    TCaptureGraph graph;
    graph.setDisplayCallback(shown.callback());
    graph.setEndCallback(ends.callback());
    graph.build(CaptureMode::Playback, TCaptureSource::file(clip));
    ASSERT_TRUE(graph.run());
    ASSERT_TRUE(ends.waitFor(1));
    graph.stop();
    TLatestFrame::Frame last;
    ASSERT_TRUE(shown.take(last));
    EXPECT_EQ(last.sequence, 13u);  // the paused graph's frame, then all 12, none dropped on the way
}

// Plays a file to its end and returns every end the graph reported.
std::vector<GraphEnd> playToEnd(const std::string& path, std::string& error) {
    Ends ends;
    TCaptureGraph graph;
    graph.setEndCallback(ends.callback());
    graph.build(CaptureMode::Playback, TCaptureSource::file(path));
    graph.run();
    EXPECT_TRUE(ends.waitFor(1));
    error = graph.error() ? graph.error()->plain() : std::string();
    graph.stop();
    std::lock_guard lock(ends.mutex);
    return ends.seen;
}

TEST(Playback, AFileThatIsNoVideoEndsWithAnErrorAndAnyPathIsTakenAsItIs) {
    test::TempDir dir;
    const std::string notVideo = (dir / "notes.avi").string();
    writeFileAtomically(notVideo, "these are not frames");
    std::string error;
    EXPECT_EQ(playToEnd(notVideo, error), std::vector{GraphEnd::Error});  // reported once, also through stop
    EXPECT_FALSE(error.empty());

    // A path with quotes and spaces reaches the file unchanged.
    const std::string odd = (dir / "a \"quoted\" clip.avi").string();
    writeClip(odd, 8, 8, 3);
    EXPECT_EQ(playToEnd(odd, error), std::vector{GraphEnd::EndOfStream}) << error;
}

TEST(LatestFrame, TakesOnlyTheNewestAndNothingTwice) {
    TLatestFrame latest;
    TLatestFrame::Frame f;
    EXPECT_FALSE(latest.take(f));
    const TCaptureFormat grey{"GRAY8", 2, 1, 8, 25, 1};
    latest.offer(std::vector<uint8_t>{1, 1}, grey);
    latest.offer(std::vector<uint8_t>{2, 2}, grey);
    ASSERT_TRUE(latest.take(f));
    EXPECT_EQ(f.bytes, (std::vector<uint8_t>{2, 2}));
    EXPECT_EQ(f.sequence, 2u);
    EXPECT_EQ(f.format, grey);
    EXPECT_FALSE(latest.take(f));
    EXPECT_EQ(f.sequence, 2u);  // a failed take leaves the frame held
}

TEST(LatestFrame, AFrameTakenWhileFramesArriveIsNeverTorn) {
    // Each frame is filled with one value; a torn frame would mix two.
    TLatestFrame latest;
    std::atomic<bool> done{false};
    std::thread streaming([&] {
        std::vector<uint8_t> bytes(64 * 1024);
        for (int k = 1; k <= 3000; ++k) {
            std::fill(bytes.begin(), bytes.end(), static_cast<uint8_t>(k));
            latest.offer(bytes, {"GRAY8", 256, 256, 8, 25, 1});
        }
        done = true;
    });
    TLatestFrame::Frame f;
    uint64_t lastSequence = 0;
    int taken = 0;
    for (;;) {
        const bool finished = done;  // read before the take: nothing is offered after it
        if (!latest.take(f)) {
            if (finished) break;
            continue;
        }
        ++taken;
        ASSERT_GT(f.sequence, lastSequence);
        lastSequence = f.sequence;
        ASSERT_EQ(f.bytes.size(), 64u * 1024);
        const uint8_t value = static_cast<uint8_t>(f.sequence);
        ASSERT_TRUE(std::all_of(f.bytes.begin(), f.bytes.end(), [&](uint8_t b) { return b == value; }));
    }
    streaming.join();
    EXPECT_GT(taken, 0);
    EXPECT_EQ(lastSequence, 3000u);  // the last frame is always there to take
}

TEST(FormatSpec, WrittenAsTheDeviceListShowsItAndReadBack) {
    const TCaptureFormat pal{"YUY2", 720, 576, 16, 25, 1};
    EXPECT_EQ(formatSpecText(pal), "YUY2 720x576 25");
    EXPECT_EQ(parseFormatSpec("YUY2 720x576 25"), pal);
    const TCaptureFormat ntsc{"GRAY8", 640, 480, 8, 30000, 1001};
    EXPECT_EQ(parseFormatSpec(formatSpecText(ntsc)), ntsc);
    EXPECT_EQ(parseFormatSpec("  I420 "), (TCaptureFormat{"I420", 0, 0, 12, 0, 1}));
    EXPECT_EQ(capsText(pal), "video/x-raw,format=YUY2,width=720,height=576,framerate=25/1");
    EXPECT_EQ(capsText(parseFormatSpec("image/jpeg 1280x720")), "image/jpeg,width=1280,height=720");
    for (const char* bad : {"", "YUY2 720x", "YUY2 x576", "YUY2 720x576 0", "YUY2 720x576 25/0", "YUY2 -1x5",
                            "YUY2,width=1", "YUY2 1x1 25 extra", "YUY2 720x576 2.5"}) {
        EXPECT_THROW(parseFormatSpec(bad), EConvertError) << bad;
    }
}

TEST(FormatSpec, AChosenFormatIsWhatTheSourceDelivers) {
    TCaptureSource source = TCaptureSource::pipeline("videotestsrc num-buffers=3");
    source.format = parseFormatSpec("UYVY 96x64 10");
    TCaptureGraph graph;
    graph.build(CaptureMode::Detect, source);
    ASSERT_TRUE(graph.pause());
    ASSERT_TRUE(graph.format());
    EXPECT_EQ(*graph.format(), (TCaptureFormat{"UYVY", 96, 64, 16, 10, 1}));
    graph.stop();

    // A format the source can never give is refused before anything runs.
    source.format = parseFormatSpec("image/jpeg");
    EXPECT_THROW(graph.build(CaptureMode::Detect, source), Exception);
    EXPECT_EQ(graph.state(), GraphState::Empty);
}

}  // namespace
}  // namespace orbis
