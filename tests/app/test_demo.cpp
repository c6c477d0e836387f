// The station end to end on a simulated night: two recordings, one with a
// Perseid, one with a sporadic meteor.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "TempDir.h"
#include "app/cli/uCliDemo.h"
#include "astro/uUniUtils.h"

namespace orbis {
namespace {

TEST(Demo, EveryMeteorIsFoundOnceWhereItWasAndWithItsShower) {
    test::TempDir station;
    TDemoOptions o;
    o.station = station.str();
    o.catalogDirectory = ORBIS_CATALOG_DIR;
    o.recordings = 2;
    std::ostringstream out, err;
    ASSERT_EQ(runDemo(o, out, err), 0) << out.str() << err.str();
    const std::string table = out.str();
    EXPECT_NE(table.find("PER (PER )"), std::string::npos) << table;
    EXPECT_NE(table.find("SPO (SPO )"), std::string::npos) << table;
    EXPECT_NE(table.find("demo passed"), std::string::npos);
    // The night exports hold one record per event.
    const auto r90 = readTextLines(station / "20240812" / "ME20240812.csv");
    ASSERT_EQ(r90.size(), 3u);
    EXPECT_TRUE(r90[1].starts_with("R90,2024,08,12,22,40,01,"));
    EXPECT_EQ(readTextLines(station / "20240812" / "M20240812.txt").size(), 3u);

    // A directory that is not a demo station is never cleared.
    test::TempDir foreign;
    std::filesystem::create_directory(foreign / "precious");
    o.station = foreign.str();
    EXPECT_EQ(runDemo(o, out, err), 2);
    EXPECT_TRUE(std::filesystem::exists(foreign / "precious"));
}

TEST(Demo, ARolledCameraAndWovenInterlacedFramesAreMarkedAndBoundWithinFiveArcminutesOfTheTruth) {
    test::TempDir station;
    TDemoOptions o;
    o.station = station.str();
    o.catalogDirectory = ORBIS_CATALOG_DIR;
    o.first = 3;  // the rolled camera and the woven frames
    o.recordings = 5;
    std::ostringstream out, err;
    ASSERT_EQ(runDemo(o, out, err), 0) << out.str() << err.str();
    EXPECT_EQ(readTextLines(station / "20240813" / "M20240813.txt").size(), 3u) << out.str();
}

}  // namespace
}  // namespace orbis

namespace orbis {
namespace {

TEST(Simulate, MeteorsGivenEitherWayAndOnlyForAStationThatExists) {
    test::TempDir station;
    std::ostringstream out, err;
    const std::vector<std::string> args = {"--station", station.str(), "--local", "2024-08-12 22:40:00", "--ra", "20",
                                           "--dec", "45", "--frames", "6", "--width", "160", "--height", "120",
                                           "--catalog", std::string(ORBIS_CATALOG_DIR) + "/c40.dat",
                                           "--meteor-px=40,30,90,70,1,3,0.5", "--meteor-px", "20,100,60,80,2,3,1"};
    ASSERT_EQ(simulateCommand(args, "/nonexistent", out, err), 0) << err.str();
    const std::string truth = readFileBytes(station / "20240812" / "224000_000.truth.json");
    std::size_t meteors = 0;
    for (std::size_t at = truth.find("{\"start\": "); at != std::string::npos; at = truth.find("{\"start\": ", at + 1))
        ++meteors;
    EXPECT_EQ(meteors, 2u) << truth;

    std::vector<std::string> typo = args;
    typo[1] = station.str() + "-typo";
    EXPECT_NE(simulateCommand(typo, "/nonexistent", out, err), 0);
    EXPECT_NE(err.str().find("no station directory"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(typo[1]));
}

}  // namespace
}  // namespace orbis
