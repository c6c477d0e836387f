// `orbisight-cli repair` on clips left as a killed writer leaves them.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "CliTells.h"
#include "DamagedClips.h"
#include "TempDir.h"
#include "app/cli/uCliRepair.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"

namespace orbis {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun repair(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = repairCommand(args, out, err);
    return {status, out.str(), err.str()};
}

void put32(std::string& b, std::size_t at, uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string clipBytes(const std::filesystem::path& path, int frames) {
    TAviWriter writer(path.string(), 37, 11, 8, 25);  // rows padded: odd chunk sizes do not occur
    for (int i = 0; i < frames; ++i) writer.writeFrame(std::vector<uint8_t>(37 * 11, static_cast<uint8_t>(i + 1)));
    writer.close();
    return readFileBytes(path);
}

TEST(CliRepair, AKilledWritersClipBecomesWhatClosingItWouldHaveWritten) {
    test::TempDir dir;
    const std::string whole = clipBytes(dir / "whole.avi", 5);
    // What the writer of a sixth frame leaves when it is killed: the sizes
    // and counts of its start, no index, the last frame half written.
    std::string killed = clipBytes(dir / "six.avi", 6);
    killed = killed.substr(0, killed.rfind("idx1") - 200);
    put32(killed, 4, 0);      // RIFF size
    put32(killed, 48, 0);     // avih total frames
    put32(killed, 140, 0);    // strh length
    put32(killed, 1240, 4);   // movi size
    const std::filesystem::path clip = dir / "213045_120.avi";
    writeFileAtomically(clip, killed);

    // Nothing is written when the mended copy does not fit.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{killed.size() / 2, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const CliRun full = repair({clip.string()});
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find(std::strerror(EFBIG)), std::string::npos) << full.err;
    EXPECT_EQ(readFileBytes(clip), killed);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 3);

    const CliRun run = repair({clip.string(), "--station", dir.str()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("repaired, 5 frames indexed"), std::string::npos) << run.out;
    EXPECT_EQ(readFileBytes(clip), whole);

    const CliRun again = repair({clip.string()});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("nothing changed"), std::string::npos) << again.out;
    EXPECT_EQ(readFileBytes(clip), whole);
}

TEST(CliRepair, WhatIsNoClipOrMoreThanCutShortIsLeftAsItIs) {
    test::TempDir dir;
    const std::filesystem::path text = dir / "notes.avi";
    writeFileAtomically(text, "This is a text file renamed to .avi\n");
    const CliRun notAvi = repair({text.string()});
    EXPECT_EQ(notAvi.status, 1);
    EXPECT_TRUE(test::tells(notAvi.err, TDiagnostic(Code::ClipNotAvi).with("file", text.string()))) << notAvi.err;
    EXPECT_EQ(readFileBytes(text), "This is a text file renamed to .avi\n");

    // Bytes after the last frame that are neither a chunk nor zeros, so
    // that no whole chunk follows the damage: not a cut.
    const std::string damaged = clipBytes(dir / "six.avi", 6).substr(0, 1248 + 3 * (8 + 40 * 11)) + std::string(100, 'x');
    const std::filesystem::path clip = dir / "damaged.avi";
    writeFileAtomically(clip, damaged);
    const CliRun run = repair({clip.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(test::tells(run.err, TDiagnostic(Code::RepairNoWholeChunkAfterDamage).with("file", clip.string()).with("byte", 2592)))
        << run.err;
    EXPECT_EQ(readFileBytes(clip), damaged);

    EXPECT_EQ(repair({}).status, 2);
    EXPECT_EQ(repair({clip.string(), "--station", (dir / "typo").string()}).status, 2);
    EXPECT_EQ(repair({"--help"}).status, 0);
}

// A damaged frame in the middle, with or without the index: the mended
// clip is, byte for byte, the one its writer would have made without that
// frame, and the repair says it left one out.
TEST(CliRepair, DamagedFramesAreLeftOutAndCounted) {
    test::TempDir dir;
    const std::string good = test::numberedClip(dir / "good.avi", test::framesUpTo(35));
    const std::string without9 = test::numberedClip(dir / "short.avi", test::framesUpTo(35, 9));
    std::string lostSize = test::withoutIndex(good);
    put32(lostSize, test::frameChunkAt(9) + 4, 0xFFFFFF00u);
    std::string zeroSize = good;
    put32(zeroSize, test::frameChunkAt(9) + 4, 0);
    const std::pair<const char*, std::string> damaged[] = {
        {"cut", test::cutInFrame(good, 9)},
        {"repeated", test::duplicatedInFrame(good, 9)},
        {"cut, no index", test::cutInFrame(test::withoutIndex(good), 9)},
        {"repeated, no index", test::duplicatedInFrame(test::withoutIndex(good), 9)},
        {"cut and resized", test::cutInFrame(good, 9, true)},
        {"size past the end", lostSize},
        {"size 0", zeroSize},
    };
    for (const auto& [kind, bytes] : damaged) {
        const std::filesystem::path clip = dir / "213045_120.avi";
        std::filesystem::remove(clip);
        writeFileAtomically(clip, bytes);
        const CliRun run = repair({clip.string()});
        ASSERT_EQ(run.status, 0) << kind << ": " << run.err;
        EXPECT_NE(run.out.find("repaired, 34 frames indexed, 1 damaged frame(s) left out"), std::string::npos)
            << kind << ": " << run.out;
        EXPECT_TRUE(readFileBytes(clip) == without9) << kind;
        TAviReader reader(clip.string());
        ASSERT_EQ(reader.info().frameCount, 34) << kind;
        EXPECT_EQ(reader.readFrame(9), test::numberedFrame(10)) << kind;
    }
    // Two frames apart: both left out, counted.
    const std::filesystem::path clip = dir / "213046_000.avi";
    writeFileAtomically(clip, test::cutInFrame(test::duplicatedInFrame(good, 20), 3));
    const CliRun run = repair({clip.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("33 frames indexed, 2 damaged frame(s)"), std::string::npos) << run.out;
    EXPECT_EQ(TAviReader(clip.string()).info().frameCount, 33);
}

}  // namespace
}  // namespace orbis
