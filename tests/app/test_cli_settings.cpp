// What `orbisight-cli process` makes of a station's settings file: lines
// that are no setting are shown as warnings, and distortion coefficients
// that cannot be a lens's stop the processing before any event, only while
// the correction is on.

#include <gtest/gtest.h>

#include "app/CliTells.h"

#include <filesystem>
#include <sstream>

#include "TempDir.h"
#include "app/cli/uCliProcess.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"

namespace orbis {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun process(const std::vector<std::string>& args, const std::string& station) {
    std::ostringstream out, err;
    const int status = processCommand(args, station, out, err);
    return {status, out.str(), err.str()};
}

TEST(CliSettings, ProcessShowsStrayLinesAndRefusesCoefficientsNoLensHas) {
    test::TempDir station;
    const std::string event = (station / "20240812" / "231000_000").string();
    std::filesystem::create_directories(event);
    const std::string ini = iniFilePath(station.path()).string();
    const auto run = [&](const std::string& correct) {
        writeFileAtomically(ini, "[Observatry]\r\nlatitude=-33.9\r\n[Processing]\r\ncorrectDistortion=" + correct +
                                     "\r\n[Distortion]\r\ncoefX1=10\r\n");
        return process({event}, station.str());
    };

    const CliRun on = run("1");
    EXPECT_EQ(on.status, 1);
    EXPECT_TRUE(test::tells(on.err, TDiagnostic(Code::SettingKeyMisplaced, Severity::Warning)
                                        .with("file", ini)
                                        .with("section", "Observatry")
                                        .with("key", "latitude")
                                        .with("setting", "latitude")
                                        .with("belongs", "Observatory")))
        << on.err;
    EXPECT_NE(on.err.find("coefX1=10"), std::string::npos) << on.err;
    EXPECT_EQ(on.out, "");  // refused before the first event

    const CliRun off = run("0");
    EXPECT_EQ(off.err.find("coefX1"), std::string::npos) << off.err;
    EXPECT_NE(off.out.find(event + ": no frames"), std::string::npos) << off.out << off.err;
}

}  // namespace
}  // namespace orbis
