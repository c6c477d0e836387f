// `orbisight-cli record` on a test source standing in for the camera.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "TempDir.h"
#include "app/cli/uCliDetect.h"
#include "app/cli/uCliStation.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"

namespace orbis {
namespace {

const std::string kBall =
    "videotestsrc pattern=ball num-buffers=150 ! video/x-raw,format=YUY2,width=320,height=240,framerate=25/1";

int record(std::vector<std::string> args, const test::TempDir& station, std::string* out = nullptr) {
    args.push_back("--station");
    args.push_back(station.str());
    std::ostringstream o, e;
    const int status = recordCommand(args, "/nonexistent", o, e);
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
    config.load(station / "none.ini");
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

TEST(CliRecord, RefusalsAndBadArguments) {
    test::TempDir station;
    std::string out;
    EXPECT_EQ(record({"--source", "videotestsrc num-buffers=5 ! video/x-raw,format=RGB16"}, station, &out), 1);
    EXPECT_NE(out.find("Данный формат видео не поддерживается."), std::string::npos) << out;
    EXPECT_EQ(record({}, station), 2);
    EXPECT_EQ(record({"--source", kBall, "--mode", "fast"}, station), 2);
    EXPECT_EQ(record({"--source", kBall, "--device", "x"}, station), 2);
}

}  // namespace
}  // namespace orbis

namespace orbis {
namespace {

TEST(CliDetect, AnyVideoGStreamerDecodesIsExamined) {
    test::TempDir station, input;
    // A compressed recording of the moving ball (Motion JPEG in AVI).
    const std::string clip = (input / "ball.avi").string();
    const std::string command = "gst-launch-1.0 -q videotestsrc pattern=ball num-buffers=60 ! "
                                "video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc ! avimux ! filesink location=" + clip;
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ostringstream out, err;
    ASSERT_EQ(detectCommand(std::vector<std::string>{"--input", clip, "--start", "2024-08-12 23:10:00"}, station.str(), out, err), 0)
        << err.str();
    EXPECT_NE(out.str().find("60 frames examined"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("/20240812/2310"), std::string::npos) << out.str();  // clips named by the frames' times
}

}  // namespace
}  // namespace orbis

#include <sys/wait.h>

#include "capture/uAviFile.h"

namespace orbis {
namespace {

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

}  // namespace
}  // namespace orbis
