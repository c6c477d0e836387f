// Whole recording sessions on the real GStreamer graph, a test source in
// place of the camera: the detector, the session and the graph together.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/uUniUtils.h"
#include "capture/media/uSessionGraph.h"
#include "capture/uMemoryAVI.h"
#include "capture/uRecordingSession.h"

namespace orbis {
namespace {

using namespace std::chrono_literals;

struct LiveSession {
    test::TempDir station;
    SystemDetectorClock clock;
    LatestIndicators indicators;
    test::RecordingNotifier notifier;
    TClipWriterPool pool{notifier};
    std::atomic<int> shutdownRequests{0};
    int powerOffs = 0;
    TDetector detector{{clock, indicators, pool, [this] { ++shutdownRequests; }}};
    TCaptureGraph graph;
    TCaptureSource source;
    TSessionGraph control;
    TRecordingSession session{detector, control, clock, [this] { ++powerOffs; }};
    TSessionSettings settings;

    explicit LiveSession(const std::string& description)
        : source(TCaptureSource::pipeline(description)), control(graph, source) {
        graph.setFrameCallback([this](std::span<const uint8_t> bytes, const TCaptureFormat&) { detector.GrabRecord(bytes); });
    }
    bool start(TSessionOptions options) {
        const auto format = probeCaptureFormat(source);
        if (!format) return false;
        return session.start(options, geometryFor(*format), settings, station.str());
    }
};

const std::string kWhiteSky =
    "videotestsrc pattern=white num-buffers=12 ! video/x-raw,format=YUY2,width=160,height=120,framerate=25/1";

TEST(LiveSession, BrightSkyAsksOnEveryFrameAndPowersOffOnceNeverInPreview) {
    for (const bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview" : "detect");
        LiveSession live(kWhiteSky);
        live.settings.detector.useAutoShutDown = true;
        live.settings.detector.autoShutDownLevel = 180;  // white is luma 235
        ASSERT_TRUE(live.start({true, preview})) << (live.control.error() ? live.control.error()->plain() : std::string());
        ASSERT_EQ(live.graph.waitForEnd(10s), GraphEnd::EndOfStream) << (live.graph.error() ? live.graph.error()->plain() : std::string());
        EXPECT_EQ(live.shutdownRequests, preview ? 0 : 12);
        // The window handles each posted request in turn; only the first acts.
        for (int i = 0; i < live.shutdownRequests; ++i) live.session.requestShutdown();
        EXPECT_EQ(live.powerOffs, preview ? 0 : 1);
        EXPECT_EQ(live.session.running(), preview);
        live.session.stop();
    }
}

TEST(LiveSession, LogFollowsTheSessionOnALiveSource) {
    LiveSession live("videotestsrc is-live=true pattern=ball ! video/x-raw,format=GRAY8,width=160,height=120,framerate=25/1");
    live.settings.useLogFile = true;
    ASSERT_TRUE(live.start({true, false})) << (live.control.error() ? live.control.error()->plain() : std::string());
    EXPECT_EQ(live.graph.state(), GraphState::Playing);
    for (int i = 0; i < 500 && live.graph.framesDelivered() == 0; ++i) std::this_thread::sleep_for(10ms);
    live.session.pauseOrResume();
    EXPECT_TRUE(live.session.paused());
    live.session.pauseOrResume();
    live.session.stop();
    EXPECT_EQ(live.graph.state(), GraphState::Stopped);
    EXPECT_GT(live.graph.framesDelivered(), 0u);

    const auto log = readTextLines(live.station / "Orbisight.log");
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], "");
    EXPECT_TRUE(log[1].ends_with(" Запись"));
    EXPECT_TRUE(log[2].ends_with(" Пауза"));
    EXPECT_TRUE(log[3].ends_with(" Запись"));
    EXPECT_TRUE(log[4].ends_with(" Стоп"));
}

TEST(LiveSession, AGraphThatCannotBeBuiltStartsNothing) {
    LiveSession live(kWhiteSky);
    TRecordOptions record;
    record.encoderName = "No Such Codec";
    TSessionGraph failing(live.graph, live.source, record);
    TRecordingSession session(live.detector, failing, live.clock, [] {});
    EXPECT_FALSE(session.start({false, false}, geometryFor({"YUY2", 160, 120, 16, 25, 1}), live.settings,
                               live.station.str()));
    ASSERT_TRUE(failing.error());
    EXPECT_EQ(failing.error()->code(), Code::CodecAddFailed);
    EXPECT_FALSE(session.running());
    EXPECT_FALSE(std::filesystem::exists(live.station / "Orbisight.log"));
}

}  // namespace
}  // namespace orbis
