// `orbisight-cli calibrate`: the fit printed as the INI holds it, or saved
// into the station's settings without touching the others.

#include <gtest/gtest.h>

#include "app/CliTells.h"

#include <fstream>
#include <sstream>

#include "SeparatorScope.h"
#include "TempDir.h"
#include "app/cli/uCliCalibrate.h"
#include "astro/uUniUtils.h"
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

// Pairs on a 5 x 5 grid of the first quadrant, the distorted position from
// the true one by the mappings.
std::string pairsFile(const test::TempDir& dir, double (*u)(double, double), double (*v)(double, double)) {
    const std::string file = (dir / "pairs.txt").string();
    std::ofstream f(file);
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 4; ++j) {
            const double x = 0.5 * i, y = 0.5 * j;
            f << x << '\t' << y << '\t' << u(x, y) << '\t' << v(x, y) << "\n";
        }
    return file;
}

// A shift by a hundred pixels and a doubled scale: fitted exactly, but no
// lens's mapping of a 640 x 480 frame.
std::string pairsFile(const test::TempDir& dir) {
    return pairsFile(dir, [](double x, double) { return 1 + 2 * x; }, [](double x, double y) { return 3 * y - 0.5 * x * x; });
}

// A mild pincushion a lens could have.
std::string lensPairsFile(const test::TempDir& dir) {
    return pairsFile(dir, [](double x, double y) { return x * (1 + 0.02 * (x * x + y * y)); },
                     [](double x, double y) { return y * (1 + 0.02 * (x * x + y * y)); });
}

std::string textFile(const test::TempDir& dir, const std::string& name, const std::string& text) {
    const std::string file = (dir / name).string();
    std::ofstream(file) << text;
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
    const CliRun run = calibrate({lensPairsFile(station), "--station", station.str(), "--save"}, "/nonexistent");
    ASSERT_EQ(run.status, 0) << run.err;
    TConfiguration after;
    after.load(iniFilePath(station.path()));
    EXPECT_EQ(after.observer(), "Иванов");
    EXPECT_DOUBLE_EQ(after.latitude(), 33.9);
    EXPECT_NEAR(after.coefX(1), 1.0, 1e-9);
    EXPECT_NEAR(after.coefX(8), 0.02, 1e-9);
    EXPECT_NEAR(after.coefY(6), 0.02, 1e-9);

    EXPECT_EQ(calibrate({(station / "missing.txt").string()}, station.str()).status, 2);  // a file that is not there
    EXPECT_EQ(calibrate({}, station.str()).status, 2);
}

TEST(CliCalibrate, PairsThatDetermineNoLensAreRefusedAndNothingIsWritten) {
    test::TempDir station;
    const std::filesystem::path ini = iniFilePath(station.path());
    TConfiguration().save(ini);
    const std::string before = readFileBytes(ini);
    std::string line;
    for (int i = 0; i < 12; ++i) line += std::to_string(0.2 * i) + "\t0\t" + std::to_string(0.2 * i) + "\t0\n";
    const struct {
        const char* what;
        std::string file;
        TDiagnostic told;
        const char* says = "";  // a part of the sentence, where the values are too many to repeat
    } cases[] = {
        {"empty", textFile(station, "empty.txt", ""), TDiagnostic(Code::DistortionTooFewPairs).with("needed", 10).with("pairs", 0)},
        {"one pair", textFile(station, "one.txt", "1\t1\t1.01\t1.01\n"),
         TDiagnostic(Code::DistortionTooFewPairs).with("needed", 10).with("pairs", 1)},
        {"collinear", textFile(station, "line.txt", line), TDiagnostic(Code::DistortionPairsUndetermined).with("pairs", 12)},
        {"no lens", pairsFile(station), {}, "coefX0=1"},
    };
    for (const auto& c : cases) {
        for (const bool save : {true, false}) {
            std::vector<std::string> args{c.file};
            if (save) args.push_back("--save");
            const CliRun run = calibrate(args, station.str());
            // Printing needs no lens: only what the pairs cannot determine fails there.
            if (!save && std::string(c.what) == "no lens") {
                EXPECT_EQ(run.status, 0) << run.err;
                continue;
            }
            EXPECT_EQ(run.status, 1) << c.what << " " << save;
            if (*c.says)
                EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << ": " << run.err;
            else
                EXPECT_TRUE(test::tells(run.err, c.told)) << c.what << ": " << run.err;
            EXPECT_EQ(run.out, "") << c.what;
        }
        EXPECT_EQ(readFileBytes(ini), before) << c.what;
    }
}

}  // namespace
}  // namespace orbis
