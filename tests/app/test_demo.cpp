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

}  // namespace
}  // namespace orbis
