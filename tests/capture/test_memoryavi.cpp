// Event clip writers: what a clip holds, failures on the way to the disk,
// and several writers at once.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "capture/uMemoryAVI.h"

namespace orbis {
namespace {

using Frames = std::vector<std::vector<uint8_t>>;

// Frames whose every byte tells which frame it came from.
Frames numberedFrames(int count, std::size_t size) {
    Frames f;
    for (int i = 0; i < count; ++i) f.emplace_back(size, static_cast<uint8_t>(i + 1));
    return f;
}

TEST(MemoryAvi, WrappedRingWritesEveryFramePartialRingOnlyTheStoredOnes) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    const Frames frames = numberedFrames(35, 37 * 9);  // a width that needs row padding
    {
        TThreadMemAVI wrapped((dir / "wrapped").string(), 6, 25, 37 * 9, 37, frames, false, notifier);
        TThreadMemAVI partial((dir / "partial").string(), 6, 25, 37 * 9, 37, frames, true, notifier);
        EXPECT_EQ(wrapped.framesToWrite(), 35);
        EXPECT_EQ(partial.framesToWrite(), 29);
    }  // the destructors wait for the files
    TAviReader all((dir / "wrapped.avi").string());
    ASSERT_EQ(all.info().frameCount, 35);
    EXPECT_EQ(all.info().width, 37);
    EXPECT_EQ(all.info().height, 9);
    EXPECT_EQ(all.info().rate, 25u);
    EXPECT_EQ(all.readFrame(0), frames[0]);
    TAviReader part((dir / "partial.avi").string());
    ASSERT_EQ(part.info().frameCount, 29);
    EXPECT_EQ(part.readFrame(0), frames[6]);
    EXPECT_EQ(part.readFrame(28), frames[34]);
    EXPECT_TRUE(notifier.reports.empty());
}

// The pool takes an event's buffers instead of copying them and gives the
// detector as many in their place: new ones at first, then those of a
// finished clip.
TEST(MemoryAvi, ThePoolTakesTheEventsBuffersAndGivesFinishedOnesBack) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    TClipWriterPool pool(notifier);
    Frames buffers = numberedFrames(4, 64);
    const auto addresses = [](const Frames& f) {
        std::vector<const uint8_t*> a;
        for (const auto& b : f) a.push_back(b.data());
        return a;
    };
    const std::vector<const uint8_t*> first = addresses(buffers);
    pool.writeClip({(dir / "first").string(), 0, 25, 64, 8, buffers, false, &buffers});
    ASSERT_EQ(buffers.size(), 4u);
    for (const auto& b : buffers) EXPECT_EQ(b.size(), 64u);
    for (const uint8_t* a : addresses(buffers)) EXPECT_EQ(std::count(first.begin(), first.end(), a), 0);
    pool.waitAll();

    for (std::size_t i = 0; i < buffers.size(); ++i) std::fill(buffers[i].begin(), buffers[i].end(), uint8_t(10 + i));
    pool.writeClip({(dir / "second").string(), 0, 25, 64, 8, buffers, false, &buffers});
    auto back = addresses(buffers), want = first;
    std::sort(back.begin(), back.end()), std::sort(want.begin(), want.end());
    EXPECT_EQ(back, want);  // the first clip's buffers, none new
    pool.waitAll();

    TAviReader a((dir / "first.avi").string()), b((dir / "second.avi").string());
    ASSERT_EQ(a.info().frameCount, 4);
    ASSERT_EQ(b.info().frameCount, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(a.readFrame(i), std::vector<uint8_t>(64, static_cast<uint8_t>(i + 1)));
        EXPECT_EQ(b.readFrame(i), std::vector<uint8_t>(64, static_cast<uint8_t>(10 + i)));
    }
    EXPECT_TRUE(notifier.reports.empty());
}

TEST(MemoryAvi, TheCallersBuffersMayBeReusedAtOnce) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    Frames frames = numberedFrames(3, 64);
    TThreadMemAVI writer((dir / "clip").string(), 0, 25, 64, 8, frames, false, notifier);
    for (auto& f : frames) std::fill(f.begin(), f.end(), 0);
    writer.wait();
    EXPECT_TRUE(writer.succeeded());
    EXPECT_EQ(TAviReader((dir / "clip.avi").string()).readFrame(2), std::vector<uint8_t>(64, 3));
}

TEST(MemoryAvi, AnOlderFileOfTheSameNameIsNeverReplaced) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    std::ofstream(dir / "clip.avi") << std::string(100000, 'x');
    TThreadMemAVI writer((dir / "clip").string(), 0, 25, 64, 8, numberedFrames(2, 64), false, notifier);
    writer.wait();
    EXPECT_FALSE(writer.succeeded());
    EXPECT_EQ(readFileBytes(dir / "clip.avi"), std::string(100000, 'x'));
    ASSERT_EQ(notifier.reports.size(), 1u);
    EXPECT_EQ(notifier.reports[0].code(), Code::ClipSaveFailed);
    EXPECT_EQ(notifier.reports[0].value("cause"), "ClipCreateFailed");
    EXPECT_EQ(notifier.reports[0].value("detail"), std::strerror(EEXIST));
}

// A write that fails names the program, the file and the system's reason;
// a clip that got no frame is removed, one with frames is kept readable.
TEST(MemoryAvi, AFullDiskStopsWritingAndLeavesNoEmptyClip) {
    test::TempDir dir;
    const std::size_t frame = 32 * 24;
    auto writeUnder = [&](const char* name, rlim_t limit, test::RecordingNotifier& notifier) {
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{limit, old.rlim_max};
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        TThreadMemAVI writer((dir / name).string(), 0, 25, frame, 32, numberedFrames(35, frame), false, notifier);
        writer.wait();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(writer.succeeded());
        ASSERT_EQ(notifier.reports.size(), 1u);
        const TDiagnostic& told = notifier.reports[0];
        EXPECT_EQ(told.code(), Code::ClipSaveFailed);
        EXPECT_EQ(told.severity(), Severity::Warning);
        EXPECT_EQ(told.value("file"), writer.fileName());
        EXPECT_EQ(told.value("detail"), std::strerror(EFBIG));
        EXPECT_EQ(told.value("total"), "35");
    };
    // Room for the headers, three frames and the index, not for a fourth frame.
    test::RecordingNotifier some;
    writeUnder("clip", 1248 + 3 * (8 + frame) + 100, some);
    ASSERT_EQ(some.reports.size(), 1u);
    EXPECT_EQ(some.reports[0].value("written"), "3");
    TAviReader reader((dir / "clip.avi").string());
    ASSERT_EQ(reader.info().frameCount, 3);
    EXPECT_EQ(reader.readFrame(2), std::vector<uint8_t>(frame, 3));
    // Room for the headers only: nothing is left behind.
    test::RecordingNotifier none;
    writeUnder("empty", 1248 + 100, none);
    ASSERT_EQ(none.reports.size(), 1u);
    EXPECT_EQ(none.reports[0].value("written"), "0");
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.avi"));
}

TEST(MemoryAvi, AClipThatCannotBeCreatedIsReportedNotLostSilently) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    TThreadMemAVI writer((dir / "missing" / "clip").string(), 0, 25, 64, 8, numberedFrames(2, 64), false, notifier);
    writer.wait();
    EXPECT_FALSE(writer.succeeded());
    ASSERT_EQ(notifier.reports.size(), 1u);
    EXPECT_EQ(notifier.reports[0].value("detail"), std::strerror(ENOENT));
}

TEST(MemoryAvi, PoolGivesEveryClipItsOwnFileAndWaitsForAll) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    const Frames frames = numberedFrames(35, 720 * 576);
    const std::string path = (dir / "231001_999").string();
    {
        TClipWriterPool pool(notifier);
        TClipJob job{path, 0, 25, 720 * 576, 720, frames, false};
        pool.writeClip(job);
        pool.writeClip(job);  // the same millisecond: the name moves on, into the next second
        job.path = (dir / "231002_500").string();
        writeFileAtomically(dir / "231002_500.avi", "a clip of an earlier run");
        pool.writeClip(job);
        pool.writeClip(job);
        const Frames small = numberedFrames(35, 64);
        const TClipJob late{(dir / "235959_999").string(), 0, 25, 64, 8, small, false};
        pool.writeClip(late);
        pool.writeClip(late);  // no later millisecond that day
    }  // leaving the pool waits for every writer
    EXPECT_EQ(readFileBytes(dir / "231002_500.avi"), "a clip of an earlier run");
    for (const char* name : {"231001_999.avi", "231002_000.avi", "231002_501.avi", "231002_502.avi", "235959_999.avi",
                             "235959_999_1.avi"}) {
        ASSERT_TRUE(std::filesystem::exists(dir / name)) << name;
        EXPECT_EQ(TAviReader((dir / name).string()).info().frameCount, 35) << name;
    }
    TClipWriterPool pool(notifier);
    pool.writeClip({(dir / "x").string(), 0, 25, 64, 8, numberedFrames(2, 64), false});
    pool.waitAll();
    const auto done = pool.finishedClips();
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].fileName, (dir / "x.avi").string());
    EXPECT_EQ(done[0].frames, 2);
    EXPECT_TRUE(done[0].complete);
}

TEST(MemoryAvi, AProtectedFileIsNeverReplacedHoweverItsPathIsWritten) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    const std::string input = (dir / "231001_280.avi").string();
    writeFileAtomically(input, "the video being examined");
    {
        TClipWriterPool pool(notifier);
        pool.protect(input);
        pool.writeClip({(dir / "." / "231001_280").string(), 0, 25, 64, 8, numberedFrames(2, 64), false});
    }
    EXPECT_EQ(readFileBytes(input), "the video being examined");
    EXPECT_EQ(TAviReader((dir / "231001_281.avi").string()).info().frameCount, 2);
}

}  // namespace
}  // namespace orbis
