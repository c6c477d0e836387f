// `orbisight-cli detect` on generated clips with meteors at known frames.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliTells.h"
#include "SyntheticSky.h"
#include "DamagedClips.h"
#include "TempDir.h"
#include "app/cli/uCliDetect.h"
#include "station/uFileDetection.h"
#include "astro/uDateTime.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"

namespace orbis {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun detect(std::vector<std::string> args, const std::string& station) {
    std::ostringstream out, err;
    const int status = detectCommand(args, station, out, err);
    return {status, out.str(), err.str()};
}

// 150 frames of 160 x 120 at 25 fps with two meteors, frames 30-36 and 100-106.
std::vector<std::vector<uint8_t>> writeSkyClip(const std::string& path) {
    test::SyntheticSky sky(160, 120, 77);
    sky.addMeteor({30, 36, 20, 20, 8, 4, 220});
    sky.addMeteor({100, 106, 30, 90, 9, -3, 200});
    std::vector<std::vector<uint8_t>> frames;
    TAviWriter writer(path, 160, 120, 8, 25);
    for (int i = 0; i < 150; ++i) {
        frames.push_back(sky.frame(i));
        writer.writeFrame(frames.back());
    }
    writer.close();
    return frames;
}

TEST(CliDetect, TwoMeteorsGiveTwoClipsNamedByTheirEventTimes) {
    test::TempDir station, input;
    const std::string clip = (input / "sky.avi").string();
    const auto frames = writeSkyClip(clip);
    const CliRun run = detect({"--input", clip, "--start", "2024-08-12 23:10:00.000"}, station.str());
    ASSERT_EQ(run.status, 0) << run.err;

    // The third signal frame declares the event: frame 32 (1.28 s), frame 102 (4.08 s).
    const std::string night = station.str() + "/20240812";
    const std::string first = night + "/231001_280.avi";
    const std::string second = night + "/231004_080.avi";
    EXPECT_EQ(run.out, first + "  35 frames\n" + second + "  35 frames\n150 frames examined, 2 events\n");
    EXPECT_NE(run.err.find("(100%)"), std::string::npos);  // the progress line
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(night), std::filesystem::directory_iterator()), 2);

    for (auto [path, declaring] : {std::pair{first, 32}, {second, 102}}) {
        TAviReader reader(path);
        ASSERT_EQ(reader.info().frameCount, 35);
        EXPECT_EQ(reader.info().rate, 25u);
        // Ten frames before the declaring one, it, and 24 after: the meteor's
        // frames are all inside.
        for (int i = 0; i < 35; ++i) {
            ASSERT_EQ(reader.readFrame(i), frames[static_cast<std::size_t>(declaring - 10 + i)]) << path << " frame " << i;
        }
    }
}

TEST(CliDetect, StartTimeComesFromTheClipNameOrTheOption) {
    EXPECT_EQ(parseStartTime("2024-08-12 23:10:05"), encodeDateTime({2024, 8, 12, 23, 10, 5, 0}));
    EXPECT_EQ(parseStartTime("2024-08-12T23:10:05.250"), encodeDateTime({2024, 8, 12, 23, 10, 5, 250}));
    for (const char* bad : {"2024-08-12", "2024-8-12 23:10:05", "2024-02-30 00:00:00", "yesterday"}) {
        EXPECT_THROW(parseStartTime(bad), EConvertError) << bad;
    }

    test::TempDir station, input;
    const std::string clip = (input / "20240812" / "231000_000.avi").string();
    std::filesystem::create_directories(input / "20240812");
    writeSkyClip(clip);
    const CliRun run = detect({"--input", clip, "--station", station.str()}, "/nonexistent");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(station / "20240812" / "231001_280.avi")) << run.out;
}

TEST(CliDetect, WithoutAStartTheRecordingEndsAtItsModificationTime) {
    test::TempDir station, input;
    const std::string clip = (input / "sky.avi").string();
    writeSkyClip(clip);  // 150 frames: 6 s
    const struct timespec ended[2] = {{1723493406, 0}, {1723493406, 0}};  // 2024-08-12 20:10:06 UT
    ASSERT_EQ(utimensat(AT_FDCWD, clip.c_str(), ended, 0), 0);
    const CliRun run = detect({"--input", clip}, station.str());
    ASSERT_EQ(run.status, 0) << run.err;
    // Frame 0 at 6 s before the end; the first event is declared 1.28 s into the video.
    const TDateTime first = localFromUnixTime(1723493406 - 6, 0) + 1.28 / 86400.0;
    const std::string expected = station.str() + "/" + formatDateTime("yyyymmdd", first) + "/" +
                                 formatDateTime("hhnnss_zzz", first) + ".avi";
    EXPECT_EQ(run.out.substr(0, run.out.find("  ")), expected) << run.out;
}

TEST(CliDetect, AClipNamedLikeTheInputNeverReplacesIt) {
    test::TempDir station;
    // The input lies where its own first event's clip would go.
    std::filesystem::create_directories(station / "20240812");
    const std::string clip = (station / "20240812" / "231001_280.avi").string();
    writeSkyClip(clip);
    const std::string before = readFileBytes(clip);
    const CliRun run = detect({"--input", clip, "--start", "2024-08-12 23:10:00.000"}, station.str());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFileBytes(clip), before);
    EXPECT_NE(run.out.find("/20240812/231001_281.avi  35 frames"), std::string::npos) << run.out;
}

TEST(CliDetect, ALostEventIsAnError) {
    test::TempDir station, input;
    const std::string clip = (input / "sky.avi").string();
    writeSkyClip(clip);
    writeFileAtomically(station / "20240812", "a file where the night's folder should go");
    const CliRun run = detect({"--input", clip, "--start", "2024-08-12 23:10:00.000"}, station.str());
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.err.find("an event may have been lost"), std::string::npos) << run.err;
}

TEST(CliDetect, BadArgumentsAndUnreadableInputsEndWithStatusTwo) {
    test::TempDir station, input;
    EXPECT_EQ(detect({}, station.str()).status, 2);
    EXPECT_EQ(detect({"--input"}, station.str()).status, 2);
    EXPECT_EQ(detect({"--bogus", "x"}, station.str()).status, 2);
    const CliRun help = detect({"--help"}, station.str());
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: orbisight-cli detect"), std::string::npos);

    const std::string text = (input / "notes.avi").string();
    std::ofstream(text) << "This is a text file renamed to .avi\n";
    const CliRun bad = detect({"--input", text}, station.str());
    EXPECT_EQ(bad.status, 1);  // there, but no clip
    EXPECT_TRUE(test::tells(bad.err, TDiagnostic(Code::ClipUndecodable).with("file", text).with("avi", "ClipNotAvi").with("detail", "")))
        << bad.err;
    EXPECT_EQ(detect({"--input", (input / "missing.avi").string()}, station.str()).status, 2);
    EXPECT_EQ(detect({"--input", text, "--start", "soon"}, station.str()).status, 2);

    // A clip cut in the middle of a frame: the complete frames are examined,
    // and the frames lost with the rest are an error.
    const std::string clip = (input / "cut.avi").string();
    writeSkyClip(clip);
    std::filesystem::resize_file(clip, std::filesystem::file_size(clip) / 2);
    const CliRun cut = detect({"--input", clip, "--start", "2024-08-12 23:10:00"}, station.str());
    EXPECT_EQ(cut.status, 1) << cut.err;
    EXPECT_NE(cut.out.find("75 frames examined, 1 events"), std::string::npos) << cut.out;
    EXPECT_NE(cut.err.find("75 frame(s) announced by \"" + clip + "\" are damaged or cut off"), std::string::npos) << cut.err;
}

void put32(std::string& b, std::size_t at, uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A damaged frame in the middle (a chunk size lost, bytes cut out), a width
// or height that contradicts the frames, or a frame period no camera has
// (which put the clips of a night under the year 2100): refused before a
// frame is examined, nothing written.
TEST(CliDetect, DamagedFramesWrongGeometriesAndImplausibleRatesAreRefused) {
    test::TempDir input;
    const std::string clip = (input / "sky.avi").string();
    writeSkyClip(clip);
    const std::string bytes = readFileBytes(clip);
    const auto patched = [&](std::size_t at, uint32_t value) {
        std::string d = bytes;
        put32(d, at, value);
        return d;
    };
    const auto damaged = [](int frame) {
        return TDiagnostic(Code::ClipFramesDamaged)
            .with("frames", frame)
            .with("count", 1)
            .with("total", 150)
            .with("bytes", 19200)
            .with("width", 160)
            .with("height", 120)
            .with("bits", 8);
    };
    const auto misfit = [](int frameBytes, int width, int height) {
        return TDiagnostic(Code::ClipFramesMismatchHeader)
            .with("found", 19200)
            .with("bytes", frameBytes)
            .with("width", width)
            .with("height", height)
            .with("bits", 8);
    };
    const auto rate = [](const char* perScale, const char* scale) {
        return TDiagnostic(Code::ClipFrameRateImplausible).with("rate", perScale).with("scale", scale);
    };
    const std::pair<std::string, TDiagnostic> cases[] = {
        {patched(test::frameChunkAt(0) + 4, 0), damaged(1)},
        {test::cutInFrame(bytes, 9), damaged(10)},
        {patched(176, 1), misfit(480, 1, 120)},
        {patched(180, static_cast<uint32_t>(-1)), misfit(160, 160, 1)},
        {patched(test::kScaleAt, 0xFFFFFFFFu), rate("25", "4294967295")},
        {patched(test::kRateAt, 0xFFFFFFFFu), rate("4294967295", "1")},
    };
    int n = 0;
    for (auto [content, told] : cases) {
        test::TempDir empty;
        const std::string bad = (input / ("bad" + std::to_string(n++) + ".avi")).string();
        // The file comes first among the values, as the reader names it.
        TDiagnostic message(told.code());
        message.with("file", bad);
        for (const auto& [name, value] : told.values()) message.with(name, value);
        writeFileAtomically(bad, content);
        const CliRun refused = detect({"--input", bad}, empty.str());
        EXPECT_EQ(refused.status, 1) << refused.out;
        EXPECT_NE(refused.err.find(bad), std::string::npos) << refused.err;
        EXPECT_TRUE(test::tells(refused.err, message)) << refused.err;
        EXPECT_TRUE(std::filesystem::is_empty(empty.path())) << refused.out;
    }
}

TEST(CliDetect, ASecondRunNeverReplacesTheClipsOfTheFirst) {
    test::TempDir station, input;
    const std::string clip = (input / "sky.avi").string();
    writeSkyClip(clip);
    const std::vector<std::string> args{"--input", clip, "--start", "2024-08-12 23:10:00.000"};
    ASSERT_EQ(detect(args, station.str()).status, 0);
    const CliRun second = detect(args, station.str());
    ASSERT_EQ(second.status, 0) << second.err;
    const std::string night = station.str() + "/20240812";
    EXPECT_EQ(second.out, night + "/231001_281.avi  35 frames\n" + night + "/231004_081.avi  35 frames\n" +
                              "150 frames examined, 2 events\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(night), std::filesystem::directory_iterator()), 4);
}

// An error stream that raises a signal once a text is written to it, as
// the operator would with Ctrl+C or kill at that moment.
class SignalWhenWritten : public std::stringbuf {
public:
    SignalWhenWritten(std::string text, int signal) : text_(std::move(text)), signal_(signal) {}
    int sync() override {
        if (!raised_ && str().find(text_) != std::string::npos) {
            raised_ = true;
            std::raise(signal_);
        }
        return 0;
    }

private:
    std::string text_;
    int signal_;
    bool raised_ = false;
};

TEST(CliDetect, ASignalStopsAtTheNextFrameWithTheClipsFinishedAndListed) {
    test::TempDir station, input;
    const std::string clip = (input / "sky.avi").string();
    writeSkyClip(clip);
    for (int signal : {SIGTERM, SIGINT}) {
        test::TempDir into;
        std::ostringstream out;
        SignalWhenWritten errBuffer("75/150 (50%)", signal);  // past the first meteor, before the second
        std::ostream err(&errBuffer);
        const int status = detectCommand(std::vector<std::string>{"--input", clip, "--start", "2024-08-12 23:10:00.000"},
                                         into.str(), out, err);
        EXPECT_EQ(status, 128 + signal) << errBuffer.str();
        const std::string first = into.str() + "/20240812/231001_280.avi";
        EXPECT_EQ(out.str(), first + "  35 frames\n75 frames examined, 1 events (stopped by a signal)\n");
        EXPECT_EQ(TAviReader(first).info().frameCount, 35);
    }
}

int runProgram(const std::string& args) {
    const int status = std::system((std::string(ORBISIGHT_CLI) + " " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliProgram, ExitStatusOfTheProgramItself) {
    EXPECT_EQ(runProgram(""), 2);
    EXPECT_EQ(runProgram("--help"), 0);
    EXPECT_EQ(runProgram("detect --help"), 0);
    EXPECT_EQ(runProgram("repair --help"), 0);
    EXPECT_EQ(runProgram("detect"), 2);
    EXPECT_EQ(runProgram("bogus"), 2);
}

}  // namespace
}  // namespace orbis
