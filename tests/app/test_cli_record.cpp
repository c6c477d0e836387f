// `orbisight-cli record` on a test source standing in for the camera.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "TempDir.h"
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
