// `orbisight-cli station` as the service runs it: a simulated night end to
// end without a human, plain lines for the journal, SIGTERM with every clip
// finished.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <sstream>

#include "TempDir.h"
#include "app/cli/uCliCheck.h"
#include "app/cli/uCliDemo.h"
#include "app/cli/uCliUnattended.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "config/uConfiguration.h"

namespace orbis {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesUnder(const fs::path& dir, const std::string& extension) {
    std::vector<fs::path> found;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.path().extension() == extension) found.push_back(e.path());
    return found;
}

// Runs the program as the service would, stdout and stderr into one file.
int runStation(const test::TempDir& station, const std::string& arguments, const std::string& prefix = "") {
    const std::string command = prefix + ORBISIGHT_CLI + std::string(" station --station ") + station.str() + " " +
                                arguments + " > " + (station / "journal.txt").string() + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliStation, ASimulatedNightEndsWithExportsInPlainLinesAndSigtermFinishesEveryClip) {
    test::TempDir station;
    TConfiguration config;
    config.setTimeZone(3);
    config.setPathToCatalogs(ORBIS_CATALOG_DIR);
    config.save(iniFilePath(station.path()));
    // The camera sees a simulated meteor; the recording ends before the
    // night does, so the morning comes at once.
    test::TempDir sky;
    std::ostringstream simOut, simErr;
    ASSERT_EQ(simulateCommand(std::vector<std::string>{"--station", sky.str(), "--local", "2024-08-12 23:10:00", "--az",
                                                       "0", "--alt", "60", "--frames", "60", "--catalog",
                                                       ORBIS_CATALOG_DIR "/c40.dat", "--meteor-px",
                                                       "100,100,200,150,20,10,0"},
                              sky.str(), simOut, simErr),
              0)
        << simErr.str();
    ASSERT_EQ(runStation(station, "--source 'filesrc location=" + (sky / "20240812/231000_000.avi").string() +
                                      " ! avidemux' --clock-start '2024-08-12 23:00:00' --clock-speed 100 --nights 1"),
              0)
        << readFileBytes(station / "journal.txt");
    std::string journal = readFileBytes(station / "journal.txt");
    EXPECT_EQ(journal.find_first_of("\r\x1b"), std::string::npos) << journal;
    EXPECT_NE(journal.find("the source has ended"), std::string::npos) << journal;
    EXPECT_NE(journal.find("1 night(s), 1 morning(s), 0 event(s) failed"), std::string::npos) << journal;
    auto clips = filesUnder(station.path(), ".avi");
    ASSERT_EQ(clips.size(), 1u) << journal;  // the meteor
    const fs::path night = clips.front().parent_path();
    EXPECT_EQ(night.filename(), "20240812");
    // Its track proposed, the event measured: a report, in the summary and the R90 export.
    // with the figures of the binding's verification
    EXPECT_NE(journal.find(": report written (Binding check: "), std::string::npos) << journal;
    EXPECT_EQ(readTextLines(night / "M20240812.txt").size(), 2u) << journal;
    EXPECT_TRUE(fs::exists(night / "ME20240812.csv"));
    EXPECT_TRUE(fs::exists(station / "Station.log"));

    // The service stopped in the middle of the next night, on real time.
    fs::remove_all(night);
    ASSERT_EQ(runStation(station,
                         "--source 'videotestsrc is-live=true pattern=ball ! "
                         "video/x-raw,format=YUY2,width=160,height=120,framerate=25/1' "
                         "--clock-start '2024-08-13 01:00:00' --clock-speed 1",
                         "timeout --preserve-status -s TERM 3 "),
              0)
        << readFileBytes(station / "journal.txt");
    journal = readFileBytes(station / "journal.txt");
    EXPECT_NE(journal.find("stop requested: detection stopped, every clip finished"), std::string::npos) << journal;
    EXPECT_NE(journal.find("station stopped"), std::string::npos) << journal;
    clips = filesUnder(station.path(), ".avi");
    EXPECT_FALSE(clips.empty()) << journal;
    for (const auto& clip : clips) EXPECT_GT(TAviReader(clip.string()).info().frameCount, 0) << clip;

    std::ostringstream out, err;
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"--station", station.str()});
        return stationCommand(args, "/nonexistent", out, err);
    };
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"--source", "videotestsrc", "--clock-speed", "10"}), 2);  // a speed without a start
    EXPECT_EQ(run({"--source", "videotestsrc", "--clock-start", "2024-08-13 01:00:00", "--clock-speed", "0"}), 2);
    EXPECT_EQ(run({"--source", "videotestsrc", "--threads", "0"}), 2);
}

// The set-up checked before a night: what would be wrong, what is suspicious,
// and a station that refuses to run with the built-in place.
TEST(CliCheck, SaysWhatIsWrongOrSuspiciousAndTheStationRefusesToRunWithoutSettings) {
    test::TempDir station;
    const auto check = [&](std::string& text, std::vector<std::string> args = {"--device", "/dev/no-camera"}) {
        std::ostringstream out, err;
        args.insert(args.end(), {"--station", station.str()});
        const int rc = checkCommand(args, "/nonexistent", out, err);
        text = out.str() + err.str();
        return rc;
    };
    std::string text;
    EXPECT_EQ(check(text), 1);
    EXPECT_NE(text.find("error: no Orbisight.ini in " + station.str()), std::string::npos) << text;
    std::ostringstream out, err;
    EXPECT_EQ(stationCommand(std::vector<std::string>{"--station", station.str(), "--source", "videotestsrc num-buffers=1"},
                             "/nonexistent", out, err),
              3);  // configuration
    EXPECT_NE(err.str().find("--without-settings"), std::string::npos) << err.str();

    // Typos, a distortion no lens has, a name the exports cannot carry,
    // catalogs that are not there, a camera that is not there.
    writeFileAtomically(iniFilePath(station.path()),
                        std::string("[Observatory]\r\nlatitud=40\r\nobserver=M\xC3\xBCller, J.\r\npathToCatalogs=") +
                            (station / "none").string() + "\r\n[Observatry]\r\nlongitude=20\r\n[Distortion]\r\ncoefX1=10\r\n");
    EXPECT_EQ(check(text), 1);
    for (const std::string& part :
         {std::string("[Observatory] latitud: no such setting"), std::string("[Observatry] longitude"), std::string("error: "),
          std::string("coefX1"),
          std::string("warning: the place is the built-in one"), std::string("comma"),
          std::string("error: the star catalog"), std::string("warning: the radiant catalog"),
          std::string("error: the camera /dev/no-camera is not there"), std::string("clock ")})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;

    // Set up as it should be: nothing is an error.
    TConfiguration good;
    good.setLatitude(48.5);
    good.setLongitude(2.3);
    good.setObserver("Muller J.");
    good.setPathToCatalogs(ORBIS_CATALOG_DIR);
    fs::remove(iniFilePath(station.path()));
    good.save(iniFilePath(station.path()));
    const int rc = check(text, {"--source", "videotestsrc ! video/x-raw,format=GRAY8,width=320,height=240,framerate=25/1"});
    EXPECT_TRUE(rc == 0 || rc == 3) << text;
    EXPECT_EQ(text.find("error:"), std::string::npos) << text;
    EXPECT_NE(text.find("0 error(s)"), std::string::npos) << text;
    EXPECT_NE(text.find("note: the source gives "), std::string::npos) << text;
    EXPECT_EQ(check(text, {"--source", "nosuchelement"}), 1);
    EXPECT_NE(text.find("error: the source \"nosuchelement\" cannot be made"), std::string::npos) << text;
}

}  // namespace
}  // namespace orbis
