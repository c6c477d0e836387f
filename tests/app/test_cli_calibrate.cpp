// `orbisight-cli calibrate`: the fit printed as the INI holds it, or saved
// into the station's settings without touching the others.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "SeparatorScope.h"
#include "TempDir.h"
#include "app/cli/uCliCalibrate.h"
#include "config/uConfiguration.h"

namespace orbis {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun calibrate(const std::vector<std::string>& args, const std::string& station) {
    std::ostringstream out, err;
    const int status = calibrateCommand(args, station, out, err);
    return {status, out.str(), err.str()};
}

std::string pairsFile(const test::TempDir& dir) {
    const std::string file = (dir / "pairs.txt").string();
    std::ofstream f(file);
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 4; ++j) {
            const double x = 0.5 * i, y = 0.5 * j;
            f << x << '\t' << y << '\t' << 1 + 2 * x << '\t' << 3 * y - 0.5 * x * x << "\n";
        }
    return file;
}

TEST(CliCalibrate, PrintsTheCoefficientsAsTheIniHoldsThem) {
    test::SeparatorScope comma(',');
    test::TempDir station;
    const CliRun run = calibrate({pairsFile(station)}, station.str());
    ASSERT_EQ(run.status, 0) << run.err;
    // The INI's order, X before Y per index; rounding noise may stand in the zeros.
    std::vector<std::string> lines;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 20u) << run.out;
    EXPECT_EQ(lines[0], "coefX0=1,00000000E+00");
    EXPECT_TRUE(lines[1].starts_with("coefY0=")) << lines[1];
    EXPECT_EQ(lines[2], "coefX1=2,00000000E+00");
    EXPECT_EQ(lines[5], "coefY2=3,00000000E+00");
    EXPECT_EQ(lines[9], "coefY4=-5,00000000E-01");
    EXPECT_TRUE(lines[19].starts_with("coefY9=")) << lines[19];
    EXPECT_FALSE(std::filesystem::exists(iniFilePath(station.path())));
}

TEST(CliCalibrate, SaveKeepsTheOtherSettings) {
    test::TempDir station;
    TConfiguration before;
    before.setObserver("Иванов");
    before.setLatitude(33.9);
    before.save(iniFilePath(station.path()));
    const CliRun run = calibrate({pairsFile(station), "--station", station.str(), "--save"}, "/nonexistent");
    ASSERT_EQ(run.status, 0) << run.err;
    TConfiguration after;
    after.load(iniFilePath(station.path()));
    EXPECT_EQ(after.observer(), "Иванов");
    EXPECT_DOUBLE_EQ(after.latitude(), 33.9);
    EXPECT_DOUBLE_EQ(after.coefX(1), 2.0);
    EXPECT_DOUBLE_EQ(after.coefY(4), -0.5);

    EXPECT_EQ(calibrate({(station / "missing.txt").string()}, station.str()).status, 1);
    EXPECT_EQ(calibrate({}, station.str()).status, 2);
}

}  // namespace
}  // namespace orbis
