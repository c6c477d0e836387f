// The time-stamp element and its start-up check, on the plugin this build
// made (ORBIS_TIMESTAMP_PLUGIN) and on videotestsrc recordings.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/media/uTimeStamp.h"

namespace orbis {
namespace {

using namespace std::chrono_literals;

const std::filesystem::path kPlugin = ORBIS_TIMESTAMP_PLUGIN;
constexpr const char* kSource = "videotestsrc num-buffers=20 ! video/x-raw,width=160,height=120,framerate=25/1";

struct WaitRecorder {
    std::vector<std::chrono::milliseconds> waits;
    std::function<void(std::chrono::milliseconds)> callback() {
        return [this](std::chrono::milliseconds d) { waits.push_back(d); };
    }
};

// The plugin registered from the build's program directory, whatever the
// earlier tests of this program left in the registry.
void registerBuiltPlugin() {
    forgetTimeStampPlugin();
    test::RecordingNotifier notifier;
    ASSERT_TRUE(ensureTimeStampElement(kPlugin.parent_path().string(), notifier, [](auto) {}));
    ASSERT_TRUE(notifier.messages.empty() && notifier.reports.empty());
}

void record(const std::string& path, bool timeStamp) {
    TRecordOptions options;
    options.path = path;
    options.timeStamp = timeStamp;
    TCaptureGraph graph;
    graph.build(CaptureMode::Record, TCaptureSource::pipeline(kSource), options);
    ASSERT_TRUE(graph.run());
    ASSERT_EQ(graph.waitForEnd(20s), GraphEnd::EndOfStream) << (graph.error() ? graph.error()->plain() : std::string());
    graph.stop();
}

// The frames of an AVI, played back through avidemux as BGRx.
std::vector<std::vector<uint8_t>> playBack(const std::string& path) {
    std::mutex mutex;
    std::vector<std::vector<uint8_t>> frames;
    TCaptureGraph graph;
    graph.setFrameCallback([&](std::span<const uint8_t> bytes, const TCaptureFormat&) {
        std::lock_guard lock(mutex);
        frames.emplace_back(bytes.begin(), bytes.end());
    });
    graph.build(CaptureMode::Detect, TCaptureSource::pipeline("filesrc location=\"" + path +
                                                              "\" ! avidemux ! videoconvert ! video/x-raw,format=BGRx"));
    EXPECT_TRUE(graph.run());
    EXPECT_EQ(graph.waitForEnd(20s), GraphEnd::EndOfStream) << (graph.error() ? graph.error()->plain() : std::string());
    graph.stop();
    return frames;
}

TEST(TimeStamp, CheckScansTheProgramDirectoryAndWaitsThreeSeconds) {
    forgetTimeStampPlugin();
    ASSERT_FALSE(timeStampElementRegistered());
    test::TempDir dir;
    std::filesystem::copy_file(kPlugin, dir / kTimeStampPluginFile);
    test::RecordingNotifier notifier;
    WaitRecorder waits;
    EXPECT_TRUE(ensureTimeStampElement(dir.str(), notifier, waits.callback()));
    EXPECT_EQ(waits.waits, std::vector<std::chrono::milliseconds>{3000ms});
    EXPECT_TRUE(notifier.messages.empty() && notifier.reports.empty());
    EXPECT_TRUE(timeStampElementRegistered());

    // Registered now: the next check neither scans nor waits.
    WaitRecorder again;
    EXPECT_TRUE(ensureTimeStampElement("/nonexistent", notifier, again.callback()));
    EXPECT_TRUE(again.waits.empty());
    EXPECT_TRUE(notifier.messages.empty() && notifier.reports.empty());
}

TEST(TimeStamp, MissingPluginNamesTheFileToInspect) {
    forgetTimeStampPlugin();
    test::TempDir dir;
    test::RecordingNotifier notifier;
    WaitRecorder waits;
    EXPECT_FALSE(ensureTimeStampElement(dir.str(), notifier, waits.callback()));
    EXPECT_EQ(waits.waits, std::vector<std::chrono::milliseconds>{3000ms});
    ASSERT_EQ(notifier.reports.size(), 2u);
    EXPECT_EQ(notifier.reports[0], TDiagnostic(Code::TimeStampRegistrationFailed).with("directory", dir.str()));
    EXPECT_EQ(notifier.reports[1],
              TDiagnostic(Code::TimeStampMissing).with("plugin", (dir / "libgstorbvideofilter.so").string()));
}

TEST(TimeStamp, RecordingWithoutTheElementRaises) {
    forgetTimeStampPlugin();
    test::TempDir dir;
    TRecordOptions options;
    options.path = (dir / "a.avi").string();
    options.timeStamp = true;
    TCaptureGraph graph;
    try {
        graph.build(CaptureMode::Record, TCaptureSource::pipeline(kSource), options);
        FAIL() << "built without the time-stamp element";
    } catch (const Exception& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::TimeStampCreateFailed);
    }
    // Without the stamp the same recording needs no plugin.
    options.timeStamp = false;
    EXPECT_NO_THROW(graph.build(CaptureMode::Record, TCaptureSource::pipeline(kSource), options));
}

TEST(TimeStamp, StampedRecordingPlaysBackAndCarriesTheStamp) {
    registerBuiltPlugin();
    test::TempDir dir;
    const std::string stamped = (dir / "stamped.avi").string(), plain = (dir / "plain.avi").string();
    record(stamped, true);
    record(plain, false);

    const auto a = playBack(stamped), b = playBack(plain);
    ASSERT_EQ(a.size(), 20u);
    ASSERT_EQ(b.size(), 20u);
    // The stamp (white text, black outline, top left) changes a block of
    // pixels there; the rest of the frame passes unchanged. Frames come
    // bottom row first: the top half is the second half of the buffer.
    constexpr std::size_t kRowBytes = 160 * 4;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].size(), 120 * kRowBytes);
        ASSERT_EQ(a[i].size(), b[i].size());
        std::size_t strong = 0;
        for (std::size_t k = 60 * kRowBytes; k < a[i].size(); ++k)
            if (std::abs(int(a[i][k]) - int(b[i][k])) > 96) ++strong;
        EXPECT_GT(strong, 300u) << "frame " << i << ": no stamp drawn";
        EXPECT_TRUE(std::equal(a[i].begin(), a[i].begin() + 60 * kRowBytes, b[i].begin()))
            << "frame " << i << ": lower half changed";
    }
}

}  // namespace
}  // namespace orbis
