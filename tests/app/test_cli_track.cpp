// `orbisight-cli track` on a simulated event: the proposal printed without a
// file, written with --auto, the observer's file kept without --force.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "MeteorSample.h"
#include "TempDir.h"
#include "app/cli/uCliTrack.h"
#include "astro/uUniUtils.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"

namespace orbis {
namespace {

int track(const std::vector<std::string>& args, const std::string& station, std::string* out = nullptr,
          std::string* err = nullptr) {
    std::ostringstream o, e;
    const int status = trackCommand(args, station, o, e);
    if (out) *out = o.str();
    if (err) *err = e.str();
    return status;
}

TEST(CliTrack, PrintsWritesAndKeepsTheObserversFile) {
    test::TempDir station;
    const test::SampleEvent e =
        test::writeSampleEvent(station.str(), 2, ORBIS_CATALOG_DIR "/c50.dat", {.width = 320, .height = 240, .maxFrames = 6});
    const std::string file = trackFileName(e.directory);
    std::string out, err;

    ASSERT_EQ(track({e.directory}, station.str(), &out, &err), 0) << err;
    const auto lines = splitFields(out, "\n");
    ASSERT_GE(lines.size(), 4u) << out;
    const auto start = splitFields(lines[0], "|");
    ASSERT_EQ(start.size(), 7u) << out;
    EXPECT_EQ(start[4], std::to_string(e.firstNumber));
    EXPECT_EQ(start[6], "START");
    EXPECT_TRUE(lines[1].ends_with("|FINISH")) << out;
    EXPECT_TRUE(lines[2].starts_with("brightest frame: F0")) << out;
    // How the heads were placed, for the observer to check the plainer ones.
    const std::size_t note = out.find("\nestimate: START ");
    ASSERT_NE(note, std::string::npos) << out;
    const std::string estimate = out.substr(note + 1, out.find('\n', note + 1) - note - 1);
    EXPECT_NE(estimate.find(", FINISH "), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(file));

    ASSERT_EQ(track({e.directory, "--auto", "--station", station.str()}, "/nonexistent", &out, &err), 0) << err;
    EXPECT_EQ(readTextLines(file), (std::vector<std::string>{lines[0], lines[1]}));
    EXPECT_NE(out.find(estimate), std::string::npos) << out;

    const std::vector<std::string> observer{"0|0|10|10|1|5|START", "0|0|20|20|2|5|FINISH"};
    writeTextLines(file, observer);
    EXPECT_EQ(track({e.directory, "--auto"}, station.str(), &out, &err), 0);
    EXPECT_NE(out.find("kept"), std::string::npos) << out;
    EXPECT_EQ(readTextLines(file), observer);
    EXPECT_EQ(track({e.directory, "--auto", "--force"}, station.str(), &out, &err), 0);
    EXPECT_EQ(readTextLines(file), (std::vector<std::string>{lines[0], lines[1]}));
}

TEST(CliTrack, NoMeteorMissingEventAndBadArguments) {
    test::TempDir station;
    const std::string event = (station / "event").string();
    std::filesystem::create_directories(event);
    std::mt19937 rng(1);
    std::vector<uint8_t> noise(64 * 48);
    for (int k = 1; k <= 8; ++k) {
        for (auto& p : noise) p = static_cast<uint8_t>(30 + rng() % 5);
        saveGreyBitmap(noise, 64, 48, frameFileName(event, k));
    }
    std::string out, err;
    EXPECT_EQ(track({event, "--auto"}, station.str(), &out, &err), 1);
    EXPECT_NE(err.find("no meteor found"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(trackFileName(event)));
    EXPECT_EQ(track({event}, station.str(), &out, &err), 1);
    EXPECT_NE(err.find("no meteor found"), std::string::npos) << err;

    std::filesystem::create_directories(station / "processed");
    EXPECT_EQ(track({(station / "processed").string()}, station.str(), &out, &err), 2);
    EXPECT_NE(err.find("no frame files"), std::string::npos) << err;
    EXPECT_EQ(track({(station / "none").string()}, station.str(), &out, &err), 2);
    EXPECT_NE(err.find("no such directory"), std::string::npos) << err;
    EXPECT_EQ(track({}, station.str()), 2);
    EXPECT_EQ(track({event, "--force"}, station.str()), 2);
    EXPECT_EQ(track({event, "--fast"}, station.str()), 2);
    EXPECT_EQ(track({event, "--station", (station / "typo").string()}, station.str(), &out, &err), 2);
}

}  // namespace
}  // namespace orbis
