// `orbisight-cli record` on a test source standing in for the camera.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliTells.h"
#include "TempDir.h"
#include "app/cli/uCliDetect.h"
#include "app/cli/uCliExtract.h"
#include "app/cli/uCliStation.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"

namespace orbis {
namespace {

const std::string kBall =
    "videotestsrc pattern=ball num-buffers=150 ! video/x-raw,format=YUY2,width=320,height=240,framerate=25/1";

// The time-stamp plugin is built beside the program.
const std::string kProgramDirectory = std::filesystem::path(ORBISIGHT_CLI).parent_path().string();

int record(std::vector<std::string> args, const test::TempDir& station, std::string* out = nullptr) {
    args.push_back("--station");
    args.push_back(station.str());
    std::ostringstream o, e;
    const int status = recordCommand(args, "/nonexistent", kProgramDirectory, o, e);
    if (out) *out = o.str() + e.str();
    return status;
}

std::vector<std::filesystem::path> filesUnder(const std::filesystem::path& dir, const std::string& extension) {
    std::vector<std::filesystem::path> found;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        if (e.path().extension() == extension) found.push_back(e.path());
    return found;
}

TEST(CliRecord, DetectionWritesClipsAndTheLogHoldsTheSession) {
    test::TempDir station;
    TConfiguration config;
    config.setUseLogFile(true);
    config.save(iniFilePath(station.path()));
    std::string out;
    ASSERT_EQ(record({"--source", kBall, "--mode", "detect"}, station, &out), 0) << out;
    EXPECT_NE(out.find("Capture: Video, YUY2, 320x240, 16 bit"), std::string::npos) << out;
    EXPECT_FALSE(filesUnder(station.path(), ".avi").empty()) << out;
    const auto log = readTextLines(station / "Orbisight.log");
    ASSERT_EQ(log.size(), 3u);
    EXPECT_TRUE(log[1].ends_with(" Запись"));
    EXPECT_TRUE(log[2].ends_with(" Стоп"));
}

TEST(CliRecord, ASourceLeftToItselfIsAskedForAFormatTheDetectorTakes) {
    // videotestsrc alone would negotiate a format the detector refuses.
    test::TempDir station;
    std::string out;
    ASSERT_EQ(record({"--source", "videotestsrc pattern=ball num-buffers=500", "--mode", "detect"}, station, &out), 0)
        << out;
    EXPECT_EQ(out.find("UnKnow"), std::string::npos) << out;
    const auto clips = filesUnder(station.path(), ".avi");
    EXPECT_FALSE(clips.empty()) << out;
    for (const auto& clip : clips) EXPECT_GT(TAviReader(clip.string()).info().frameCount, 0) << clip;
}

TEST(CliRecord, PlainRecordingWritesOneFilePreviewNothing) {
    test::TempDir station;
    ASSERT_EQ(record({"--source", kBall, "--mode", "record"}, station), 0);
    const auto recordings = filesUnder(station.path(), ".avi");
    ASSERT_EQ(recordings.size(), 1u);
    EXPECT_GT(std::filesystem::file_size(recordings[0]), 150u * 320 * 240);

    test::TempDir quiet;
    std::string out;
    ASSERT_EQ(record({"--source", kBall, "--mode", "preview"}, quiet, &out), 0) << out;
    EXPECT_TRUE(filesUnder(quiet.path(), ".avi").empty());
    EXPECT_NE(out.find("level "), std::string::npos);
}

// The fourcc of the first video stream of an AVI file ("strh" handler).
std::string videoHandler(const std::filesystem::path& file) {
    const std::string bytes = readFileBytes(file);
    const std::size_t strh = bytes.find("strh");  // "strh", size, "vids", handler
    return strh == std::string::npos || bytes.compare(strh + 8, 4, "vids") != 0 ? "" : bytes.substr(strh + 12, 4);
}

TEST(CliRecord, PlainRecordingFollowsTheStationsCompressorAndTimeStamp) {
    const std::string untouched = "videotestsrc pattern=ball num-buffers=40";
    struct Case {
        bool compress;
        std::string name, extra, handler;
    };
    for (const Case& c : {Case{true, "JPEG image encoder", "", "MJPG"}, Case{true, "", "", "YUY2"},
                          Case{false, "JPEG image encoder", "", "YUY2"},
                          Case{false, "", "--encoder=jpegenc", "MJPG"}}) {
        SCOPED_TRACE(c.name + " " + c.extra);
        test::TempDir station;
        TConfiguration config;
        config.setVideoCompress(c.compress);
        config.setNameVideoCompress(c.name);
        config.setAddTimeStamp(true);
        config.setFrameFontSize(9);
        config.save(iniFilePath(station.path()));
        std::vector<std::string> args{"--source", untouched, "--mode", "record", "--format", "YUY2 160x120 25"};
        if (!c.extra.empty()) {
            args.push_back(c.extra.substr(0, c.extra.find('=')));
            args.push_back(c.extra.substr(c.extra.find('=') + 1));
        }
        std::string out;
        ASSERT_EQ(record(args, station, &out), 0) << out;
        EXPECT_NE(out.find("Capture: Video, YUY2, 160x120, 16 bit"), std::string::npos) << out;
        const auto recordings = filesUnder(station.path(), ".avi");
        ASSERT_EQ(recordings.size(), 1u) << out;
        EXPECT_EQ(videoHandler(recordings[0]), c.handler);
    }
}

TEST(CliRecord, PlainRecordingOfEveryCameraFormatIsTakenIntoWork) {
    // Grey and YUY2 are stored as they come and decoded when taken into work;
    // RGB is stored as a bitmap-order DIB the station's reader takes directly;
    // planar YUV as YUY2.
    struct Case {
        std::string format, handler;
        int readerBits;  // 0: no DIB, decoded by GStreamer
    };
    const std::string dib(4, '\0');
    for (const Case& c : {Case{"YUY2", "YUY2", 0}, Case{"GRAY8", "Y800", 0}, Case{"RGB", dib, 24},
                          Case{"BGRx", dib, 32}, Case{"I420", "YUY2", 0}}) {
        SCOPED_TRACE(c.format);
        test::TempDir station;
        std::string out;
        // The gradient runs from black at the top to white at the bottom.
        ASSERT_EQ(record({"--source",
                          "videotestsrc pattern=gradient num-buffers=10 ! video/x-raw,format=" + c.format +
                              ",width=48,height=32,framerate=25/1",
                          "--mode", "record"},
                         station, &out),
                  0)
            << out;
        const auto recordings = filesUnder(station.path(), ".avi");
        ASSERT_EQ(recordings.size(), 1u) << out;
        EXPECT_EQ(videoHandler(recordings[0]), c.handler);
        if (c.readerBits != 0) {
            const TAviReader reader(recordings[0].string());
            EXPECT_EQ(reader.info().bitsPerPixel, c.readerBits);
            EXPECT_EQ(reader.info().frameCount, 10);
        }

        std::ostringstream o, e;
        ASSERT_EQ(extractCommand(std::vector<std::string>{recordings[0].string()}, o, e), 0) << o.str() << e.str();
        const std::filesystem::path frames = recordings[0].parent_path() / recordings[0].stem();
        EXPECT_TRUE(std::filesystem::exists(frames / "F010.bmp"));
        EXPECT_FALSE(std::filesystem::exists(frames / "F011.bmp"));
        const TGreyFrame first = loadGreyFrame((frames / "F001.bmp").string());
        ASSERT_EQ(first.width, 48);
        ASSERT_EQ(first.height, 32);
        // Upright: memory holds the bottom row first.
        EXPECT_GT(first.pixels[0], 180);
        EXPECT_LT(first.pixels[31 * 48], 60);
    }
}

TEST(CliRecord, TheCodecChoosersSettingsReachAPlainRecording) {
    std::uintmax_t sizes[2] = {};
    for (int i = 0; i < 2; ++i) {
        test::TempDir station;
        TConfiguration config;
        config.setVideoCompress(true);
        config.setNameVideoCompress("JPEG image encoder");
        config.setSettingsVideoCompress(i == 0 ? "quality=5" : "quality=95");
        config.save(iniFilePath(station.path()));
        std::string out;
        ASSERT_EQ(record({"--source", "videotestsrc pattern=ball num-buffers=40", "--mode", "record", "--format",
                          "YUY2 160x120 25"},
                         station, &out),
                  0)
            << out;
        const auto recordings = filesUnder(station.path(), ".avi");
        ASSERT_EQ(recordings.size(), 1u) << out;
        sizes[i] = std::filesystem::file_size(recordings[0]);
    }
    EXPECT_LT(sizes[0], sizes[1]);  // the same frames: only the quality differs
}

TEST(CliRecord, BrightSkyStopsTheSessionAndRunsThePowerOffCommandOnce) {
    const std::string white =
        "videotestsrc pattern=white num-buffers=100 ! video/x-raw,format=YUY2,width=160,height=120,framerate=25/1";
    for (const std::string mode : {"detect", "preview"}) {
        SCOPED_TRACE(mode);
        test::TempDir station;
        TConfiguration config;
        config.setUseAutoShutDown(true);
        config.setAutoShutDownLevel(180);
        config.save(iniFilePath(station.path()));
        const std::string marker = (station / "powered-off").string();
        std::string out;
        ASSERT_EQ(record({"--source", white, "--mode", mode, "--power-off", "echo off >> '" + marker + "'"}, station, &out),
                  0)
            << out;
        if (mode == "preview") {
            EXPECT_FALSE(std::filesystem::exists(marker)) << out;
        } else {
            EXPECT_EQ(readFileBytes(marker), "off\n") << out;
            EXPECT_NE(out.find("the sky is bright"), std::string::npos) << out;
        }
    }
}

TEST(CliRecord, RefusalsAndBadArguments) {
    test::TempDir station;
    std::string out;
    EXPECT_EQ(record({"--source", "videotestsrc num-buffers=5 ! video/x-raw,format=RGB16"}, station, &out), 1);
    EXPECT_TRUE(test::tells(out, TDiagnostic(Code::CaptureFormatUnsupported))) << out;
    EXPECT_EQ(record({}, station), 2);
    EXPECT_EQ(record({"--source", kBall, "--mode", "fast"}, station), 2);
    EXPECT_EQ(record({"--source", kBall, "--device", "x"}, station), 2);
    EXPECT_EQ(record({"--source", kBall, "--format", "YUY2 720by576"}, station), 2);
    EXPECT_EQ(record({"--source", kBall, "--format", "YUY2,width=7"}, station), 2);
    EXPECT_EQ(record({"--source", kBall, "--encoder-settings", "quality"}, station), 2);
    // A compressor the station does not have ends the start before anything is written.
    EXPECT_EQ(record({"--source", kBall, "--mode", "record", "--encoder", "No Such Codec"}, station, &out), 1);
    EXPECT_TRUE(test::tells(out, TDiagnostic(Code::CodecAddFailed).with("encoder", "No Such Codec"))) << out;
    EXPECT_EQ(record({"--source", kBall, "--mode", "record", "--encoder", "jpegenc", "--encoder-settings", "quality=900"},
                     station, &out),
              1);
    EXPECT_NE(out.find("quality"), std::string::npos) << out;
    EXPECT_TRUE(filesUnder(station.path(), ".avi").empty());
}

TEST(CliDetect, AnyVideoGStreamerDecodesIsExamined) {
    test::TempDir station, input;
    // A compressed recording of the moving ball (Motion JPEG in AVI).
    const std::string clip = (input / "ball.avi").string();
    const std::string command = "gst-launch-1.0 -q videotestsrc pattern=ball num-buffers=60 ! "
                                "video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc ! avimux ! filesink location=" + clip;
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ostringstream out, err;
    // The ball never stops moving, so the last event is still collecting
    // frames when the video ends: dropped, and said so with status 1.
    ASSERT_EQ(detectCommand(std::vector<std::string>{"--input", clip, "--start", "2024-08-12 23:10:00"}, station.str(), out, err), 1)
        << err.str();
    EXPECT_NE(err.str().find("it was dropped"), std::string::npos) << err.str();
    EXPECT_NE(out.str().find("60 frames examined"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("/20240812/2310"), std::string::npos) << out.str();  // clips named by the frames' times
}

TEST(CliDetect, RawGreyRowsWithoutPaddingAreRead) {
    // 642 pixels: GStreamer's own layout pads such rows to 644 bytes, the file does not.
    test::TempDir station, input;
    const std::string clip = (input / "grey642.mkv").string();
    const std::string command = "ffmpeg -loglevel error -f lavfi -i testsrc=size=642x48:rate=25 -frames:v 10 "
                                "-pix_fmt gray -c:v rawvideo '" + clip + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ostringstream out, err;
    EXPECT_NE(detectCommand(std::vector<std::string>{"--input", clip, "--start", "2024-08-12 23:10:00"}, station.str(),
                            out, err),
              2)
        << err.str();
    EXPECT_NE(out.str().find("10 frames examined"), std::string::npos) << out.str() << err.str();
}

TEST(CliRecord, SigtermStopsCleanlyAndLosesNoFinishedClip) {
    test::TempDir station;
    const std::string command = std::string("timeout --preserve-status -s TERM 3 ") + ORBISIGHT_CLI +
                                " record --station " + station.str() +
                                " --source 'videotestsrc is-live=true pattern=ball ! "
                                "video/x-raw,format=YUY2,width=320,height=240,framerate=25/1' > " +
                                (station / "out.txt").string() + " 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << readFileBytes(station / "out.txt");
    const auto clips = filesUnder(station.path(), ".avi");
    EXPECT_FALSE(clips.empty()) << readFileBytes(station / "out.txt");
    for (const auto& clip : clips) {
        TAviReader reader(clip.string());  // every clip is whole: index and sizes written
        EXPECT_GT(reader.info().frameCount, 0) << clip;
    }
}

TEST(CliDevices, RunsWithoutACameraAndRefusesArguments) {
    std::ostringstream out, err;
    ASSERT_EQ(devicesCommand(std::vector<std::string>{}, out, err), 0) << err.str();
    // Without a camera there is nothing to list; with one, each device has a format line.
    if (out.str() != "no video devices\n") {
        EXPECT_NE(out.str().find("  format "), std::string::npos) << out.str();
    }
    EXPECT_EQ(devicesCommand(std::vector<std::string>{"--all"}, out, err), 2);
    // Like every command they take --station, and refuse one that does not exist.
    EXPECT_EQ(devicesCommand(std::vector<std::string>{"--station", "/"}, out, err), 0);
    EXPECT_EQ(devicesCommand(std::vector<std::string>{"--station", "/nonexistent"}, out, err), 2);
    EXPECT_EQ(encodersCommand(std::vector<std::string>{"--station", "/"}, out, err), 0);
    EXPECT_EQ(encodersCommand(std::vector<std::string>{"--station", "/nonexistent"}, out, err), 2);
    EXPECT_NE(err.str().find("no station directory \"/nonexistent\""), std::string::npos) << err.str();
}

TEST(CliEncoders, ListsEncodersAndOneEncodersSettings) {
    std::ostringstream out, err;
    ASSERT_EQ(encodersCommand(std::vector<std::string>{}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("JPEG image encoder\n"), std::string::npos) << out.str();

    out.str("");
    ASSERT_EQ(encodersCommand(std::vector<std::string>{"--settings", "JPEG image encoder", "--encoder-settings",
                                                       "quality=40"},
                              out, err),
              0)
        << err.str();
    EXPECT_NE(out.str().find("quality=40  (int 0 .. 100; default 85)"), std::string::npos) << out.str();
    EXPECT_EQ(encodersCommand(std::vector<std::string>{"--settings", "jpegenc", "--encoder-settings", "quality=x"},
                              out, err),
              1);
    EXPECT_EQ(encodersCommand(std::vector<std::string>{"--settings", "No Such Codec"}, out, err), 1);
    EXPECT_EQ(encodersCommand(std::vector<std::string>{"--encoder-settings", "quality=1"}, out, err), 2);
}

}  // namespace
}  // namespace orbis
