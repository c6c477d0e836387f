// Event clip writers: what a clip holds, failures on the way to the disk,
// and several writers at once.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
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
    EXPECT_TRUE(notifier.messages.empty());
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

TEST(MemoryAvi, AnOlderFileOfTheSameNameIsReplaced) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    std::ofstream(dir / "clip.avi") << std::string(100000, 'x');
    TThreadMemAVI((dir / "clip").string(), 0, 25, 64, 8, numberedFrames(2, 64), false, notifier).wait();
    EXPECT_EQ(TAviReader((dir / "clip.avi").string()).info().frameCount, 2);
    EXPECT_LT(std::filesystem::file_size(dir / "clip.avi"), 100000u);
}

TEST(MemoryAvi, AFullDiskStopsWritingAndLeavesAReadableClip) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    const std::size_t frame = 32 * 24;
    // Room for the headers, three frames and the index, not for a fourth frame.
    const rlim_t limit = 1248 + 3 * (8 + frame) + 100;
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{limit, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    TThreadMemAVI writer((dir / "clip").string(), 0, 25, frame, 32, numberedFrames(35, frame), false, notifier);
    writer.wait();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].caption, "AppName");
    EXPECT_EQ(notifier.messages[0].text, "Ошибка при записи AVI файла!!");
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(writer.succeeded());
    EXPECT_EQ(writer.framesWritten(), 3);
    TAviReader reader((dir / "clip.avi").string());
    ASSERT_EQ(reader.info().frameCount, 3);
    EXPECT_EQ(reader.readFrame(2), std::vector<uint8_t>(frame, 3));
}

TEST(MemoryAvi, AClipThatCannotBeCreatedIsReportedNotLostSilently) {
    test::TempDir dir;
    test::RecordingNotifier notifier;
    TThreadMemAVI writer((dir / "missing" / "clip").string(), 0, 25, 64, 8, numberedFrames(2, 64), false, notifier);
    writer.wait();
    EXPECT_FALSE(writer.succeeded());
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "Ошибка при записи AVI файла!!");
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
        pool.writeClip(job);  // the same millisecond: the name moves on
        job.path = (dir / "231002_500").string();
        pool.writeClip(job);
        pool.writeClip(job);
    }  // leaving the pool waits for every writer
    for (const char* name : {"231001_999.avi", "231001_999_1.avi", "231002_500.avi", "231002_501.avi"}) {
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
