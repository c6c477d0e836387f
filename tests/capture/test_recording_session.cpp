// The recording session against a scripted graph and a test clock: the log,
// the night directory, the automatic shutdown.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "DetectorHarness.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uRecordingSession.h"
#include "processing/uNaming.h"

namespace orbis {
namespace {

using test::FakeClock;
using test::RecordingClips;
using test::RecordingIndicators;
using test::TempDir;

class FakeGraph final : public CaptureGraphControl {
public:
    bool buildSucceeds = true;
    bool runSucceeds = true;
    bool changesSucceed = true;
    bool isActive = true;
    std::vector<std::string> calls;
    TGraphPlan lastPlan;

    bool build(const TGraphPlan& plan) override {
        calls.push_back("build");
        lastPlan = plan;
        return buildSucceeds;
    }
    bool run() override {
        calls.push_back("run");
        return runSucceeds;
    }
    bool pause() override {
        calls.push_back("pause");
        return changesSucceed;
    }
    bool resume() override {
        calls.push_back("resume");
        return changesSucceed;
    }
    void stop() override { calls.push_back("stop"); }
    bool active() const override { return isActive; }
};

struct SessionFixture : ::testing::Test {
    TempDir station;
    FakeClock clock;
    RecordingIndicators indicators;
    RecordingClips clips;
    // As in the program, the detector only posts its request; the window
    // handles it between frames. Handling it inside GrabRecord would free the
    // detector's buffers under the running frame.
    int postedRequests = 0;
    TDetector detector{{clock, indicators, clips, [this] { ++postedRequests; }}};
    FakeGraph graph;
    int powerOffs = 0;
    TRecordingSession recording{detector, graph, clock, [this] { ++powerOffs; }};
    TCaptureGeometry geometry = geometryForFormat(8, "GREY", 32, 24, 25);
    TSessionSettings settings;

    std::filesystem::path logPath() const { return station / std::string(kLogFileName); }
    std::string logText() const {
        std::ifstream in(logPath(), std::ios::binary);
        return cp1251ToUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
    }
    bool start(TSessionOptions options = {}) { return recording.start(options, geometry, settings, station.str()); }
    // One frame, then the requests it posted, as the message loop would.
    void frameOfLevel(uint8_t level) {
        std::vector<uint8_t> frame(geometry.pixelCount(), level);
        const int before = postedRequests;
        if (recording.running()) detector.GrabRecord(frame);
        for (int i = before; i < postedRequests; ++i) recording.requestShutdown();
    }
    void advanceSeconds(int s) { clock.now += s / 86400.0; }
};

TEST_F(SessionFixture, LogsStartPauseResumeStopInOrder) {
    settings.useLogFile = true;
    clock.now = encodeDateTime({2015, 8, 5, 23, 14, 7, 0});
    ASSERT_TRUE(start());
    advanceSeconds(60);
    recording.pauseOrResume();
    EXPECT_TRUE(recording.paused());
    advanceSeconds(1);
    recording.pauseOrResume();
    EXPECT_FALSE(recording.paused());
    advanceSeconds(3600);  // past midnight
    recording.stop();

    EXPECT_EQ(logText(),
              "\r\n"
              "05.08.2015 23:14:07 Запись\r\n"
              "05.08.2015 23:15:07 Пауза\r\n"
              "05.08.2015 23:15:08 Запись\r\n"
              "06.08.2015 00:15:08 Стоп\r\n");
    EXPECT_EQ(graph.calls, (std::vector<std::string>{"build", "run", "pause", "resume", "stop"}));
    EXPECT_FALSE(detector.sessionRunning());
}

TEST_F(SessionFixture, LogIsWindows1251AndAppendedToAcrossSessions) {
    settings.useLogFile = true;
    clock.now = encodeDateTime({2024, 1, 2, 3, 4, 5, 0});
    ASSERT_TRUE(start());
    recording.stop();
    ASSERT_TRUE(start());
    recording.stop();

    std::ifstream in(logPath(), std::ios::binary);
    const std::string raw(std::istreambuf_iterator<char>(in), {});
    // "Запись" in Windows-1251 is one byte per letter.
    EXPECT_NE(raw.find("02.01.2024 03:04:05 \xC7\xE0\xEF\xE8\xF1\xFC\r\n"), std::string::npos);
    const std::string once = "\r\n02.01.2024 03:04:05 Запись\r\n02.01.2024 03:04:05 Стоп\r\n";
    EXPECT_EQ(logText(), once + once);
}

TEST_F(SessionFixture, NoLogWithoutTheSetting) {
    ASSERT_TRUE(start());
    recording.pauseOrResume();
    recording.stop();
    EXPECT_FALSE(std::filesystem::exists(logPath()));
}

TEST_F(SessionFixture, UnwritableLogRaisesAndStartsNothing) {
    settings.useLogFile = true;
    std::filesystem::create_directory(logPath());  // a directory where the file should be
    EXPECT_THROW(start(), EInOutError);
    EXPECT_FALSE(recording.running());
    EXPECT_FALSE(detector.sessionRunning());
    EXPECT_EQ(graph.calls.back(), "stop");
}

TEST_F(SessionFixture, GraphThatFailsToBuildStartsNothingAndLogsNothing) {
    settings.useLogFile = true;
    graph.buildSucceeds = false;
    EXPECT_FALSE(start());
    EXPECT_FALSE(recording.running());
    EXPECT_FALSE(detector.sessionRunning());
    EXPECT_EQ(graph.calls, std::vector<std::string>{"build"});
    EXPECT_FALSE(std::filesystem::exists(logPath()));
    recording.stop();
    recording.pauseOrResume();
    EXPECT_EQ(graph.calls, std::vector<std::string>{"build"});
}

TEST_F(SessionFixture, GraphThatWillNotRunStartsNothingAndARefusedPauseChangesNothing) {
    settings.useLogFile = true;
    graph.runSucceeds = false;
    EXPECT_FALSE(start());
    EXPECT_FALSE(recording.running());
    EXPECT_FALSE(detector.sessionRunning());
    EXPECT_EQ(graph.calls, (std::vector<std::string>{"build", "run", "stop"}));
    EXPECT_FALSE(std::filesystem::exists(logPath()));

    graph.runSucceeds = true;
    ASSERT_TRUE(start());
    graph.changesSucceed = false;
    recording.pauseOrResume();
    EXPECT_FALSE(recording.paused());
    recording.stop();
    const auto log = readTextLines(logPath());
    ASSERT_EQ(log.size(), 3u);  // the empty line, the start and the stop: no pause
    EXPECT_TRUE(log[2].ends_with(" Стоп"));
}

TEST_F(SessionFixture, StopAndPauseWithoutSessionDoNothing) {
    settings.useLogFile = true;
    recording.stop();
    recording.pauseOrResume();
    recording.requestShutdown();
    EXPECT_TRUE(graph.calls.empty());
    EXPECT_EQ(powerOffs, 0);
    EXPECT_FALSE(std::filesystem::exists(logPath()));
}

TEST_F(SessionFixture, SecondStartOfTheDayReusesTheNightDirectory) {
    clock.now = encodeDateTime({2024, 8, 12, 21, 0, 0, 0});
    ASSERT_TRUE(start({.detect = false, .preview = false}));
    const std::string night = recording.nightDirectory();
    EXPECT_EQ(night, nightDirectory(station.str(), clock.now));
    ASSERT_TRUE(std::filesystem::is_directory(night));
    std::ofstream(std::filesystem::path(night) / "keep.txt") << "x";
    recording.stop();

    advanceSeconds(125);
    ASSERT_TRUE(start({.detect = false, .preview = false}));
    EXPECT_EQ(recording.nightDirectory(), night);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(night) / "keep.txt"));
    EXPECT_EQ(graph.lastPlan.recordingFile, joinPath(night, "210205_000.avi"));
}

TEST_F(SessionFixture, PlanFollowsTheWayOfRecording) {
    ASSERT_TRUE(start({.detect = true, .preview = false}));
    EXPECT_TRUE(graph.lastPlan.feedDetector);
    EXPECT_TRUE(graph.lastPlan.recordingFile.empty());
    recording.stop();
    ASSERT_TRUE(start({.detect = false, .preview = true}));
    EXPECT_FALSE(graph.lastPlan.feedDetector);
    EXPECT_TRUE(graph.lastPlan.recordingFile.empty());
    recording.stop();
    ASSERT_TRUE(start({.detect = false, .preview = false}));
    EXPECT_FALSE(graph.lastPlan.feedDetector);
    EXPECT_FALSE(graph.lastPlan.recordingFile.empty());
}

TEST_F(SessionFixture, BrightSkyPowersOffOnceThoughRequestedOnEveryFrame) {
    settings.useLogFile = true;
    settings.detector.useAutoShutDown = true;
    settings.detector.autoShutDownLevel = 180;
    ASSERT_TRUE(start());
    frameOfLevel(179);
    EXPECT_EQ(powerOffs, 0);
    EXPECT_TRUE(recording.running());

    // Three bright frames post three requests before the first is handled.
    std::vector<uint8_t> bright(geometry.pixelCount(), 180);
    for (int i = 0; i < 3; ++i) detector.GrabRecord(bright);
    ASSERT_EQ(postedRequests, 3);
    for (int i = 0; i < postedRequests; ++i) recording.requestShutdown();
    EXPECT_EQ(powerOffs, 1);
    EXPECT_FALSE(recording.running());
    EXPECT_FALSE(detector.sessionRunning());
    EXPECT_EQ(std::count(graph.calls.begin(), graph.calls.end(), "stop"), 1);
    EXPECT_NE(logText().find(" Стоп\r\n"), std::string::npos);
}

TEST_F(SessionFixture, PreviewNeverPowersOff) {
    settings.detector.useAutoShutDown = true;
    settings.detector.autoShutDownLevel = 100;
    ASSERT_TRUE(start({.detect = true, .preview = true}));
    for (int i = 0; i < 5; ++i) frameOfLevel(255);
    EXPECT_EQ(postedRequests, 0);
    recording.requestShutdown();  // even if a request slipped through
    EXPECT_EQ(powerOffs, 0);
    EXPECT_TRUE(recording.running());
}

TEST_F(SessionFixture, RecordingFileIsNamedAtStart) {
    clock.now = encodeDateTime({2024, 8, 12, 23, 59, 59, 123});
    ASSERT_TRUE(start({.detect = false, .preview = false}));
    EXPECT_EQ(recording.recordingFile(),
              joinPath(nightDirectory(station.str(), clock.now), "235959_123.avi"));
    // A file of that name is never replaced: the next free millisecond.
    recording.stop();
    writeFileAtomically(recording.recordingFile(), "an earlier recording");
    ASSERT_TRUE(start({.detect = false, .preview = false}));
    EXPECT_EQ(recording.recordingFile(), joinPath(nightDirectory(station.str(), clock.now), "235959_124.avi"));
}

}  // namespace
}  // namespace orbis
