// The station library as a second front end would use it, without the
// command line: a live station on a test source, and a night processed on a
// worker thread that reports to the calling thread and can be cancelled.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"
#include "capture/uAviFile.h"
#include "station/uBackgroundWork.h"
#include "station/uClipIntake.h"
#include "station/uLiveStation.h"
#include "station/uNightProcessing.h"

namespace orbis {
namespace {

TEST(LiveStation, DetectsOnATestSourceAndFinishesEveryClip) {
    test::TempDir station;
    TConfiguration config;
    config.setUseLogFile(true);
    test::RecordingNotifier notifier;
    TLiveStation live(config, station.str(), station.str(), notifier);
    TLiveStationOptions options;
    options.source = TCaptureSource::pipeline(
        "videotestsrc pattern=ball num-buffers=150 ! video/x-raw,format=YUY2,width=320,height=240,framerate=25/1");
    options.powerOff = [] { ADD_FAILURE() << "powered off"; };
    const TCaptureFormat format = live.probe(options);
    EXPECT_EQ(format.width, 320);
    live.start(options, format);
    while (!live.sourceEnded() && live.poll(std::chrono::milliseconds(200))) {
    }
    const TLiveStationEnd end = live.stop();
    ASSERT_FALSE(end.clips.empty());  // the moving ball
    for (const TWrittenClip& c : end.clips) {
        EXPECT_TRUE(c.complete) << c.fileName;
        EXPECT_TRUE(std::filesystem::is_regular_file(c.fileName)) << c.fileName;
    }
    EXPECT_FALSE(end.graphError);
    EXPECT_EQ(readTextLines(station / "Orbisight.log").size(), 3u);  // header, start, stop
}

// Keeps what it is told, and whether any call came from another thread than
// the one it was made on.
struct ThreadRecorder final : UserNotifier {
    std::thread::id owner = std::this_thread::get_id();
    bool foreignCall = false;
    std::vector<std::string> statuses;
    int progressCalls = 0;

    void note() { foreignCall = foreignCall || std::this_thread::get_id() != owner; }
    void message(const std::string&, const std::string&, MessageIcon) override { note(); }
    bool ask(const std::string&, const std::string&) override {
        note();
        return true;
    }
    void status(const std::string& text) override {
        note();
        statuses.push_back(text);
    }
    void progressShow(int) override { note(); }
    void progressPosition(int) override {
        note();
        ++progressCalls;
    }
    void progressHide() override { note(); }
};

TEST(NightProcessing, RunsOnAWorkerReportsToTheCallingThreadAndStopsBetweenEvents) {
    test::TempDir station;
    const std::string night = (station / "20240812").string();
    // Three events of a few blank frames: each runs its image stages.
    for (const char* name : {"220000_000", "221000_000", "222000_000"}) {
        const std::string event = joinPath(night, name);
        std::filesystem::create_directories(event);
        for (int f = 1; f <= 3; ++f) saveGreyBitmap(std::vector<uint8_t>(64 * 48, 40), 64, 48, frameFileName(event, f));
    }
    TConfiguration config;
    config.setBindStars(false);
    config.setCreateReport(false);
    config.setAddStarMagn(false);
    config.setAddStarSpec(false);

    ThreadRecorder owner;
    std::vector<std::string> done;
    TBackgroundWork work(owner, [&](UserNotifier& n) {
        EXPECT_TRUE(n.ask("Orbisight", "?"));  // answered on the owner's thread
        processEvents(eventDirectoriesOfNight(night), config, station.str(), n, [&](const TEventRun& run) {
            done.push_back(run.eventDirectory);
            if (done.size() > 1) return;
            // The user presses Stop once the first event is done.
            n.status("first event done");
            while (!n.cancelRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    });
    while (!work.finished()) {
        work.deliver();
        if (std::find(owner.statuses.begin(), owner.statuses.end(), "first event done") != owner.statuses.end())
            work.cancel();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    work.wait();
    EXPECT_FALSE(owner.foreignCall);
    EXPECT_GT(owner.progressCalls, 0);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(joinPath(night, "220000_000/M220000_000P.bmp")));
    EXPECT_FALSE(std::filesystem::exists(joinPath(night, "221000_000/M221000_000P.bmp")));

    // What the work raises reaches the owner.
    TBackgroundWork failing(owner, [](UserNotifier&) { throw EInOutError("disk gone"); });
    EXPECT_THROW(failing.wait(), EInOutError);
}

// Stops asking to cancel once the given number of frames has been saved.
class CancellingNotifier final : public UserNotifier {
public:
    explicit CancellingNotifier(int after) : after_(after) {}
    int frames = 0;
    void message(const std::string&, const std::string&, MessageIcon) override {}
    bool ask(const std::string&, const std::string&) override { return false; }
    void status(const std::string&) override {}
    void progressShow(int) override {}
    void progressPosition(int position) override { frames = position; }
    void progressHide() override {}
    bool cancelRequested() override { return frames >= after_; }

private:
    int after_;
};

// Diagnostics told on a worker reach the owner whole and in order, and a
// question waits for the owner's answer; before this, the worker's notifier
// turned them into plain sentences.
TEST(BackgroundWork, DiagnosticsAndQuestionsCrossToTheOwnersThreadWhole) {
    test::RecordingNotifier owner;
    owner.answers = {true};
    TQueuedNotifier queued(owner);
    const TDiagnostic warned = TDiagnostic(Code::ClipSaveFailed, Severity::Warning).with("file", "a.avi");
    const TDiagnostic stage(Code::StageBinding, Severity::Notice);
    const TDiagnostic fact = TDiagnostic(Code::SetupDiskFree, Severity::Notice).with("free", 5);
    queued.report(warned);
    queued.stage(stage);
    queued.stageEnd();
    queued.record(fact);
    EXPECT_TRUE(owner.reports.empty());  // nothing before the owner delivers
    EXPECT_EQ(queued.deliver(), 4u);
    EXPECT_EQ(owner.reports, std::vector{warned});
    EXPECT_EQ(owner.stages, std::vector{stage});
    EXPECT_EQ(owner.statuses.back(), "");  // the stage's end
    EXPECT_EQ(owner.records, std::vector{fact});

    bool answer = false;
    std::thread worker([&] { answer = queued.question(TDiagnostic(Code::ReplaceTrackQuestion)); });
    while (owner.asked.empty()) {
        queued.deliver();
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_TRUE(answer);
    EXPECT_EQ(owner.asked, std::vector{TDiagnostic(Code::ReplaceTrackQuestion)});
    // Once closed, a question is answered no without waiting.
    queued.close();
    EXPECT_FALSE(queued.question(TDiagnostic(Code::ReplaceTrackQuestion)));
}

TEST(ClipIntake, ACancelledIntakeStopsBetweenFramesAndTakesBackWhatItWrote) {
    test::TempDir station;
    const std::string night = (station / "20240812").string();
    std::filesystem::create_directories(night);
    const std::string clip = joinPath(night, "213045_120.avi");
    {
        TAviWriter writer(clip, 32, 24, 8, 25);
        for (int i = 0; i < 40; ++i) writer.writeFrame(std::vector<uint8_t>(32 * 24, static_cast<uint8_t>(i)));
    }
    // Its own event directory: made by the run, so gone again.
    CancellingNotifier early(10);
    try {
        takeClipIntoWork(clip, "1", std::nullopt, early);
        ADD_FAILURE() << "the intake ran to its end";
    } catch (const Exception& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::IntakeCancelled);
    }
    EXPECT_EQ(early.frames, 10);
    EXPECT_FALSE(std::filesystem::exists(joinPath(night, "213045_120")));

    // A chosen folder that held frames before: those stay, the new ones go.
    const std::string more = (station / "more").string();
    std::filesystem::create_directories(more);
    saveGreyBitmap(std::vector<uint8_t>(32 * 24, 1), 32, 24, frameFileName(more, 1));
    CancellingNotifier later(5);
    EXPECT_THROW(takeClipIntoWork(clip, "2", more, later), Exception);
    EXPECT_TRUE(std::filesystem::exists(frameFileName(more, 1)));
    for (int n = 2; n <= 41; ++n) EXPECT_FALSE(std::filesystem::exists(frameFileName(more, n))) << n;
}

}  // namespace
}  // namespace orbis
