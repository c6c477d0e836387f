// The whole processing of a synthetic event: frames of a known sky with a
// meteor at known pixels go in, a report with the meteor's coordinates
// comes out.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "RecordingNotifier.h"
#include "SkyEventFrames.h"
#include "TempDir.h"
#include "app/cli/uCliDemo.h"
#include "app/cli/uCliProcess.h"
#include "app/cli/uCliStation.h"
#include "app/cli/uCliWords.h"
#include "astro/matlib.h"
#include "astro/sphlib.h"
#include "astro/timlib.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "astrometry/uStarCatalog.h"
#include "capture/uDetector.h"
#include "config/uConfiguration.h"
#include "measurement/uTrack.h"
#include "station/uEventProcessing.h"
#include "station/uNightProcessing.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"

namespace orbis {
namespace {

constexpr int kW = 640, kH = 480;

struct SyntheticEvent {
    test::TempDir station;
    std::string night = (station / "20240812").string();
    std::string dir = night + "/231001_280";
    std::string stem = dir + "/M231001_280";
    TConfiguration config;
    TSkyPoint pointing{};
    std::pair<int, int> start{180, 150}, finish{260, 190};

    SyntheticEvent() {
        config.setPathToCatalogs(ORBIS_CATALOG_DIR);
        config.setDoubleFrameHeight(false);
        config.setCorrectDistortion(false);
        config.setDeleteTemp(false);
        std::filesystem::create_directories(dir);
        const double theta = LMST(MJD(12, 8, 2024, 23 + 10 / 60.0), config.signedLongitude()) * 15.0;
        pointing = {theta - 25, 40};
        config.setAutoDetectMinDEC(pointing.dec - 8);
        config.setAutoDetectMaxDEC(pointing.dec + 8);
        config.setAutoDetectMinRA(pointing.ra - 8);
        config.setAutoDetectMaxRA(pointing.ra + 8);

        test::writeSkyEventFrames(dir, config, theta, pointing, start, finish);
    }

    // Where the camera model puts a pixel on the sky.
    TSkyPoint skyOf(std::pair<int, int> px) const {
        double ra = 0, dec = 0;
        STDEQU(pointing.ra, pointing.dec, (px.first - kW / 2) / 800.0, -(px.second - kH / 2) / 800.0, ra, dec);
        return {ra < 0 ? ra + 360 : ra, dec};
    }
    std::string value(const std::vector<std::string>& report, const std::string& key) const {
        for (const auto& l : report)
            if (l.starts_with(key + "=")) return l.substr(key.size() + 1);
        return "";
    }
};

TEST(ProcessEvent, MeteorCoordinatesComeOutOfTheFrames) {
    SyntheticEvent e;
    test::RecordingNotifier n;
    const TProcessResult r = processEvent(e.dir, e.config, e.station.str(), n);
    ASSERT_TRUE(r.ran);
    for (const auto& m : n.messages) ADD_FAILURE() << m.caption << ": " << m.text;
    for (const auto& d : n.reports) ADD_FAILURE() << d.plain();
    ASSERT_TRUE(r.reportWritten);
    const auto report = readTextLines(e.stem + ".txt");
    ASSERT_EQ(report.size(), 11u);
    const TSkyPoint begin = e.skyOf(e.start), end = e.skyOf(e.finish);
    EXPECT_NEAR(parseFloat(e.value(report, "RA_BEG")), begin.ra, 0.05);
    EXPECT_NEAR(parseFloat(e.value(report, "DEC_BEG")), begin.dec, 0.05);
    EXPECT_NEAR(parseFloat(e.value(report, "RA_END")), end.ra, 0.05);
    EXPECT_NEAR(parseFloat(e.value(report, "DEC_END")), end.dec, 0.05);
    EXPECT_EQ(e.value(report, "TIM_FL"), "0.200");  // frames 4 to 8
    EXPECT_EQ(e.value(report, "UT_TIME"), "23:10:01");
    EXPECT_TRUE(std::filesystem::exists(e.stem + "R.jpg"));
    EXPECT_TRUE(r.reportWritten);
    // The stages that ran, in order.
    std::vector<Code> shown;
    for (const auto& s : n.stages)
        if (shown.empty() || shown.back() != s.code()) shown.push_back(s.code());
    const std::vector<Code> later = {Code::StageStarDetection,   Code::StageBinding,
                                     Code::StageFrameCentre,     Code::StageMagnitudeLabels,
                                     Code::StageSpectrumLabels,  Code::StageMagnitudes,
                                     Code::StageMeteorCoordinates, Code::StageReport};
    EXPECT_TRUE(std::search(shown.begin(), shown.end(), later.begin(), later.end()) != shown.end());

    // A second run continues from the work files and gives the same report.
    test::RecordingNotifier again;
    processEvent(e.dir, e.config, e.station.str(), again);
    EXPECT_EQ(readTextLines(e.stem + ".txt"), report);
}

TEST(ProcessEvent, CleanUpLeavesTheThreeResultFilesAndTheCommandLineAgrees) {
    SyntheticEvent e;
    e.config.setDeleteTemp(true);
    e.config.save(iniFilePath(e.station.path()));
    std::ostringstream out, err;
    const std::vector<std::string> args = {"--night", e.night, "--station", e.station.str()};
    EXPECT_EQ(processCommand(args, "/nonexistent", out, err), 0) << err.str();
    EXPECT_EQ(out.str(), e.dir + ": report written\n");
    // The binding's verification on its own line of the progress output.
    EXPECT_NE(err.str().find("\nBinding check: "), std::string::npos) << err.str();
    EXPECT_EQ(listDirectory(e.dir, "*.*", ListKind::Files),
              (std::vector<std::string>{"M231001_280.json", "M231001_280.txt", "M231001_280R.bmp", "M231001_280R.jpg"}));
    // The night's frames for the networks, from the event's measurement.
    const std::vector<std::string> network = readTextLines(e.night + "/FTPdetectinfo_ORBIS_20240812_000000.txt");
    ASSERT_EQ(network.size(), 11u + 4 + 5);  // frames 4 to 8
    EXPECT_EQ(network[0], "Meteor Count = 000001");
    EXPECT_EQ(network[12], "FF_ORBIS_20240812_231001_280_0000000.fits");
    // The night exports of the command line.
    std::ostringstream summaryOut, r90Out, quiet;
    EXPECT_EQ(summaryCommand(std::vector<std::string>{e.night, "--station", e.station.str()}, "/x", summaryOut, quiet), 0);
    EXPECT_EQ(summaryOut.str(), e.night + "/M20240812.txt\n");
    EXPECT_EQ(readTextLines(e.night + "/M20240812.txt").size(), 2u);
    EXPECT_EQ(r90Command(std::vector<std::string>{"--month", "202408", "--station", e.station.str()}, "/x", r90Out, quiet), 0);
    EXPECT_EQ(readTextLines(e.station.str() + "/ME202408.csv").size(), 2u);
    EXPECT_EQ(r90Command(std::vector<std::string>{}, "/x", r90Out, quiet), 2);
    // Only night directories: their yyyymmdd name dates the records.
    for (const std::string& bad : {std::string(), e.station.str(), e.night + "x"}) {
        EXPECT_EQ(summaryCommand(std::vector<std::string>{bad, "--station", e.station.str()}, "/x", summaryOut, quiet), 2)
            << bad;
        EXPECT_EQ(r90Command(std::vector<std::string>{bad, "--station", e.station.str()}, "/x", r90Out, quiet), 2) << bad;
    }
    EXPECT_EQ(r90Command(std::vector<std::string>{"--month", "2024-08", "--station", e.station.str()}, "/x", r90Out, quiet),
              2);
    EXPECT_FALSE(std::filesystem::exists(e.station / "M.txt"));
    // A night without events has nothing to do, which is no failure.
    std::filesystem::create_directories(e.station / "20240813");
    EXPECT_EQ(processCommand(std::vector<std::string>{"--night", (e.station / "20240813").string(), "--station",
                                                      e.station.str()},
                             "/x", r90Out, quiet),
              0);
    // Nothing left to do: no frames.
    test::RecordingNotifier n;
    EXPECT_FALSE(processEvent(e.dir, e.config, e.station.str(), n).ran);
    std::ostringstream bad;
    EXPECT_EQ(processCommand(std::vector<std::string>{}, "/x", out, bad), 2);
    // A mistyped folder is no event without frames.
    EXPECT_EQ(processCommand(std::vector<std::string>{e.dir + "x"}, "/x", out, bad), 2);
    EXPECT_EQ(processCommand(std::vector<std::string>{"--night", e.night + "x"}, "/x", out, bad), 2);
    EXPECT_NE(bad.str().find("no such directory: " + e.dir + "x"), std::string::npos) << bad.str();
    // A damaged report is left out of the exports, and their status tells.
    std::filesystem::create_directories(e.night + "/231500_000");
    writeTextLines(e.night + "/231500_000/M231500_000.txt", std::vector<std::string>{"UT_DATE=1e308"});
    EXPECT_EQ(summaryCommand(std::vector<std::string>{e.night, "--station", e.station.str()}, "/x", summaryOut, quiet), 1);
    EXPECT_EQ(readTextLines(e.night + "/M20240812.txt").size(), 2u);
    EXPECT_EQ(r90Command(std::vector<std::string>{e.night, "--station", e.station.str()}, "/x", r90Out, quiet), 1);
}

TEST(ProcessEvent, AnInterruptedRunLeavesWhatItHadNotRewritten) {
    SyntheticEvent e;
    test::RecordingNotifier n;
    processEvent(e.dir, e.config, e.station.str(), n);
    const std::string report = readFileBytes(e.stem + ".txt"), a = readFileBytes(e.stem + "A.txt");
    // A damaged identified-star list ends the next run at the refinement.
    auto s = readTextLines(e.stem + "S.txt");
    s[1] = "not|a|star";
    writeTextLines(e.stem + "S.txt", s);
    EXPECT_THROW(processEvent(e.dir, e.config, e.station.str(), n), EConvertError);
    EXPECT_EQ(readFileBytes(e.stem + ".txt"), report);
    EXPECT_EQ(readFileBytes(e.stem + "A.txt"), a);
}

// A run that failed (its binding scanned the wrong part of the sky) left
// work files behind, among them magnitudes without catalog values: the next
// run takes none of them as its own and reports what a clean run reports.
// A file changed since the failed run stays. A run without its catalog
// fails before its first stage.
TEST(ProcessEvent, AfterAFailedRunTheNextStartsCleanButKeepsFilesChangedSince) {
    SyntheticEvent clean, e;
    test::RecordingNotifier n;
    ASSERT_TRUE(processEvent(clean.dir, clean.config, clean.station.str(), n).reportWritten);
    TConfiguration noCatalogs = e.config;
    noCatalogs.setPathToCatalogs(e.station.str() + "/none");
    EXPECT_THROW(processEvent(e.dir, noCatalogs, e.station.str(), n), EInOutError);
    EXPECT_FALSE(std::filesystem::exists(e.stem + "P.bmp"));
    TConfiguration elsewhere = e.config;
    elsewhere.setAutoDetectMinRA(e.config.autoDetectMinRA() + 90);
    elsewhere.setAutoDetectMaxRA(e.config.autoDetectMaxRA() + 90);
    EXPECT_FALSE(processEvent(e.dir, elsewhere, e.station.str(), n).reportWritten);
    ASSERT_TRUE(std::filesystem::exists(e.stem + "M.txt"));
    ASSERT_TRUE(std::filesystem::exists(e.dir + "/" + kUnfinishedRunName));
    // The observer rewrites P.txt after the failed run: it is theirs now.
    const std::string p = readFileBytes(e.stem + "P.txt");
    writeFileAtomically(e.stem + "P.txt", p);
    const auto observers = std::filesystem::last_write_time(e.stem + "P.txt");

    ASSERT_TRUE(processEvent(e.dir, e.config, e.station.str(), n).reportWritten);
    EXPECT_EQ(readTextLines(e.stem + ".txt"), readTextLines(clean.stem + ".txt"));
    EXPECT_NE(e.value(readTextLines(e.stem + ".txt"), "MAGN"), "$");
    EXPECT_EQ(std::filesystem::last_write_time(e.stem + "P.txt"), observers);
    EXPECT_FALSE(std::filesystem::exists(e.dir + "/" + kUnfinishedRunName));
}

// A text with every mention of the station's path as "S".
std::string withoutStation(const std::string& text, const std::filesystem::path& station) {
    const std::string path = station.string();
    std::string r;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(path, from)) != std::string::npos; from = at + path.size())
        r += text.substr(from, at - from) + "S";
    return r + text.substr(from);
}

// A night's events several at a time write what one after another writes,
// and tell the same messages, notes and runs in the events' order.
TEST(ProcessEvent, ANightOnEveryCoreWritesAndTellsWhatOneAfterAnotherDoes) {
    SyntheticEvent e;
    const std::vector<std::string> names = {"231001_280", "231501_000", "232001_000", "232501_000"};
    for (std::size_t i = 1; i < names.size(); ++i)
        std::filesystem::copy(e.dir, e.night + "/" + names[i], std::filesystem::copy_options::recursive);
    std::filesystem::remove(e.night + "/" + names[2] + "/MeteorTrack.txt");  // no report, a message
    test::TempDir copy;
    std::filesystem::copy(e.station.path(), copy.path(), std::filesystem::copy_options::recursive);
    const auto run = [&](const std::filesystem::path& station, unsigned threads) {
        test::RecordingNotifier n;
        std::vector<std::string> told;
        const auto runs = processEvents(
            eventDirectoriesOfNight((station / "20240812").string()), e.config, station.string(), n,
            [&](const TEventRun& r) { told.push_back(r.eventDirectory + (r.result.reportWritten ? " report" : "")); },
            threads);
        for (const auto& m : n.messages) told.push_back(m.text);
        for (const auto& d : n.reports) told.push_back(d.plain());
        for (const auto& d : n.records) told.push_back(d.plain());
        told.insert(told.end(), n.notes.begin(), n.notes.end());
        EXPECT_EQ(runs.size(), names.size());
        // Paths differ by station: compare from the night on.
        for (std::string& t : told) t = withoutStation(t, station);
        return told;
    };
    const auto serial = run(e.station.path(), 1), parallel = run(copy.path(), 4);
    EXPECT_EQ(parallel, serial);
    EXPECT_EQ(std::count_if(serial.begin(), serial.end(), [](const std::string& t) { return t.ends_with(" report"); }), 3);
    for (const std::string& name : names) {
        const std::string report = "/20240812/" + name + "/M" + name + ".txt";
        EXPECT_EQ(std::filesystem::exists(e.station.str() + report), name != names[2]);
        if (name != names[2]) {
            EXPECT_EQ(readFileBytes(copy.str() + report), readFileBytes(e.station.str() + report));
        }
    }
}

// The command line's night on two workers writes every file, byte for byte,
// and says every line, stages and progress included, that one event at a
// time does, in the same order; an event whose frame cannot be read fails in
// the middle without stopping or moving the others.
TEST(ProcessEvent, TheCommandLinesNightOnTwoWorkersWritesAndSaysWhatOneAtATimeDoes) {
    SyntheticEvent e;
    e.config.save(iniFilePath(e.station.path()));
    const std::vector<std::string> names = {"231001_280", "231201_000", "231501_000", "232001_000"};
    for (std::size_t i = 1; i < names.size(); ++i)
        std::filesystem::copy(e.dir, e.night + "/" + names[i], std::filesystem::copy_options::recursive);
    writeFileAtomically(e.night + "/" + names[1] + "/F002.bmp", "not a bitmap");
    std::filesystem::remove(e.night + "/" + names[3] + "/MeteorTrack.txt");  // no report, a notice
    test::TempDir copy;
    std::filesystem::copy(e.station.path(), copy.path(), std::filesystem::copy_options::recursive);
    struct Said {
        int status;
        std::string out, err;
        std::map<std::string, std::string> files;
    };
    const auto run = [](const std::filesystem::path& station, const char* threads) {
        std::ostringstream out, err;
        const int status = processCommand(std::vector<std::string>{"--night", (station / "20240812").string(),
                                                                   "--station", station.string(), "--threads", threads},
                                          "/x", out, err);
        Said said{status, withoutStation(out.str(), station), withoutStation(err.str(), station),
                  test::contentsUnder(station)};
        // A failed run's list of its work files holds their times.
        for (auto& [name, bytes] : said.files) {
            if (!name.ends_with(kUnfinishedRunName)) continue;
            std::string files;
            for (const std::string& line : readTextLines(station / name))
                files += withoutStation(line.substr(0, line.find('\t')), station) + "\n";
            bytes = files;
        }
        return said;
    };
    const Said serial = run(e.station.path(), "1"), parallel = run(copy.path(), "2");
    EXPECT_EQ(serial.status, 1);  // the event that failed
    EXPECT_EQ(parallel.status, serial.status);
    EXPECT_EQ(serial.out, "S/20240812/231001_280: report written\n"
                          "S/20240812/231501_000: report written\n"
                          "S/20240812/232001_000: no report\n");
    EXPECT_EQ(parallel.out, serial.out);
    // The failure in the catalogue's words.
    test::RecordingNotifier n;
    try {
        processEvent(e.night + "/" + names[1], e.config, e.station.str(), n);
        ADD_FAILURE() << "the damaged frame was read";
    } catch (const Exception& failure) {
        const std::string line = "orbisight-cli process: S/20240812/231201_000: " +
                                 withoutStation(CliWords().text(failure.diagnostic()), e.station.path()) + "\n";
        EXPECT_NE(serial.err.find(line), std::string::npos) << serial.err;
    }
    EXPECT_EQ(parallel.err, serial.err);
    EXPECT_EQ(parallel.files.size(), serial.files.size());
    for (const auto& [name, bytes] : serial.files) {
        const auto other = parallel.files.find(name);
        ASSERT_NE(other, parallel.files.end()) << name;
        EXPECT_TRUE(other->second == bytes) << name;
    }
    EXPECT_TRUE(serial.files.contains("20240812/231501_000/M231501_000.json"));
    EXPECT_TRUE(serial.files.contains("20240812/FTPdetectinfo_ORBIS_20240812_000000.txt"));
}

// Ctrl+C during a night on two workers: no further event starts, the
// running ones end and are told in order, nothing is left half done, and
// the status names the signal.
TEST(ProcessEvent, ASignalStartsNoFurtherEventAndTheRunningOnesEnd) {
    SyntheticEvent e;
    e.config.save(iniFilePath(e.station.path()));
    std::vector<std::string> names{"231001_280"};
    for (int i = 1; i < 10; ++i) {
        names.push_back("23110" + std::to_string(i) + "_000");
        std::filesystem::copy(e.dir, e.night + "/" + names.back(), std::filesystem::copy_options::recursive);
    }
    const std::string out = (e.station / "out.txt").string(), station = e.station.str();
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(fd, 1);
        ::dup2(quiet, 2);
        ::execl(ORBISIGHT_CLI, ORBISIGHT_CLI, "process", "--night", e.night.c_str(), "--station", station.c_str(),
                "--threads", "2", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The user presses Ctrl+C once the first report is there.
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!std::filesystem::exists(e.stem + ".txt") && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    const std::vector<std::string> told = readTextLines(out);
    ASSERT_GE(told.size(), 1u);
    EXPECT_LT(told.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const std::string event = e.night + "/" + names[i];
        if (i < told.size()) {
            EXPECT_EQ(told[i], event + ": report written");
        }
        EXPECT_EQ(std::filesystem::exists(event + "/M" + names[i] + ".txt"), i < told.size());
        EXPECT_FALSE(std::filesystem::exists(event + "/" + kEventLockName));
    }
    EXPECT_FALSE(std::filesystem::exists(e.night + "/FTPdetectinfo_ORBIS_20240812_000000.txt"));
}

TEST(ProcessEvent, AnUnmarkedTrackGivesNoReportAndKeepsTheWorkFiles) {
    SyntheticEvent e;
    e.config.setDeleteTemp(true);
    std::filesystem::remove(e.dir + "/MeteorTrack.txt");
    test::RecordingNotifier n;
    const TProcessResult r = processEvent(e.dir, e.config, e.station.str(), n);
    EXPECT_FALSE(r.reportWritten);
    ASSERT_FALSE(n.reports.empty());
    EXPECT_EQ(n.reports.back(), TDiagnostic(Code::TrackMissingNoReport, Severity::Warning).with("file", e.stem + "A.txt"));
    EXPECT_FALSE(std::filesystem::exists(e.stem + ".txt"));
    EXPECT_TRUE(std::filesystem::exists(e.stem + "A.txt"));  // nothing deleted: the track can still be marked
    EXPECT_TRUE(std::filesystem::exists(e.dir + "/F001.bmp"));

    // An end below the 480-row frame is refused before it reaches A.txt.
    saveTrackFile(e.dir, {e.start.first, e.start.second, 4}, {e.finish.first, kH, 8}, TTrackBrightness{21, 4000});
    EXPECT_FALSE(processEvent(e.dir, e.config, e.station.str(), n).reportWritten);
    EXPECT_EQ(n.reports.back().severity(), Severity::Error);
    EXPECT_EQ(n.reports.back().code(), Code::TrackPointOutside) << n.reports.back().plain();
    EXPECT_EQ(n.reports.back().value("file"), e.dir + "/MeteorTrack.txt");
    EXPECT_EQ(n.reports.back().value("line"), "2");
    EXPECT_FALSE(std::filesystem::exists(e.stem + ".txt"));
    EXPECT_EQ(readFileBytes(e.stem + "A.txt").find("START"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(e.dir + "/F001.bmp"));
}

TEST(ProcessEvent, WithoutAnyFontTheLabelsAreSkippedAndTheReportStillWritten) {
    SyntheticEvent e;
    e.config.setAddStarMagn(true);
    e.config.save(iniFilePath(e.station.path()));
    // A fontconfig configuration without a single font directory.
    const std::string fonts = (e.station / "no-fonts.conf").string();
    writeFileAtomically(fonts, "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" + e.station.str() +
                                   "/cache</cachedir></fontconfig>\n");
    const std::string log = (e.station / "out.txt").string();
    const std::string command = "FONTCONFIG_FILE='" + fonts + "' " + ORBISIGHT_CLI + " process '" + e.dir +
                                "' --station '" + e.station.str() + "' > '" + log + "' 2>&1";
    // The labels' warning (LabelsNotDrawn, worded by the command line) makes the run fail.
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1) << readFileBytes(log);
    EXPECT_TRUE(std::filesystem::exists(e.stem + ".txt"));
    EXPECT_TRUE(std::filesystem::exists(e.stem + "R.jpg"));
}

TEST(ProcessEvent, SettingsOutsideTheirRangeStopTheCommandsThatUseThem) {
    SyntheticEvent e;
    const std::string ini = iniFilePath(e.station.path()).string();
    writeFileAtomically(ini, "[Camera]\r\nframeExposure=-1\r\nwidthCCD=abc\r\n");
    std::ostringstream out, err;
    EXPECT_EQ(processCommand(std::vector<std::string>{e.dir, "--station", e.station.str()}, "/x", out, err), 1);
    EXPECT_NE(err.str().find("warning: " + ini + ", [Camera] widthCCD: 'abc'"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("[Camera] frameExposure in " + ini + ": -1"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(e.stem + "M.bmp"));
    // Only what a switched-on stage uses counts.
    TConfiguration config = e.config;
    config.setFrameExposure(-1);
    test::RecordingNotifier n;
    EXPECT_THROW(processEvent(e.dir, config, e.station.str(), n), EConvertError);
    config.setCreateReport(false);
    config.setBindStars(false);
    EXPECT_TRUE(processEvent(e.dir, config, e.station.str(), n).ran);

    // The simulator's place, the detector's and the recording's settings.
    writeFileAtomically(ini, "[Observatory]\r\nlatitude=1e308\r\n[Capture]\r\nnSignalPixels=0\r\naddTimeStamp=1\r\n"
                             "frameFontSize=0\r\n");
    std::ostringstream sim;
    EXPECT_EQ(simulateCommand(std::vector<std::string>{"--local", "2024-08-12 23:10:01", "--ra", "10", "--dec", "20",
                                                       "--station", e.station.str()},
                              "/x", out, sim),
              2);
    EXPECT_NE(sim.str().find("[Observatory] latitude in " + ini + ": 1e+308"), std::string::npos) << sim.str();
    TConfiguration station;
    station.load(ini);
    EXPECT_THROW(TDetectorSettings::fromConfiguration(station), EConvertError);
    std::ostringstream rec;
    EXPECT_EQ(recordCommand(std::vector<std::string>{"--source", "videotestsrc", "--mode", "record", "--duration", "1",
                                                     "--station", e.station.str()},
                            "/x", e.station.str(), out, rec),
              1);
    EXPECT_NE(rec.str().find("[Capture] frameFontSize in " + ini), std::string::npos) << rec.str();
}

// Stays silent, but runs a hook at the first status it is shown.
class HookNotifier final : public UserNotifier {
public:
    std::function<void()> atFirstStatus;
    void message(const std::string&, const std::string&, MessageIcon) override {}
    bool ask(const std::string&, const std::string&) override { return false; }
    void status(const std::string&) override {
        if (const auto hook = std::exchange(atFirstStatus, nullptr)) hook();
    }
    void progressShow(int) override {}
    void progressPosition(int) override {}
    void progressHide() override {}
    void pump() override {}
};

TEST(ProcessEvent, OneRunAtATimeWorksOnAnEvent) {
    SyntheticEvent e;
    e.config.setBindStars(false);  // the image stages are enough
    e.config.setAddStarMagn(false);
    e.config.setAddStarSpec(false);
    e.config.setCreateReport(false);
    const std::string lockFile = e.dir + "/" + kEventLockName;
    // A second run, from another thread, while the first reads the frames.
    TProcessResult second;
    test::RecordingNotifier secondTold;
    HookNotifier first;
    first.atFirstStatus = [&] {
        std::thread([&] { second = processEvent(e.dir, e.config, e.station.str(), secondTold); }).join();
    };
    EXPECT_TRUE(processEvent(e.dir, e.config, e.station.str(), first).ran);
    EXPECT_TRUE(second.busy);
    EXPECT_FALSE(second.ran);
    EXPECT_EQ(secondTold.reports, std::vector{TDiagnostic(Code::EventBusy, Severity::Warning).with("event", e.dir)});
    EXPECT_TRUE(secondTold.statuses.empty());  // and did nothing else
    EXPECT_TRUE(secondTold.stages.empty());
    EXPECT_FALSE(std::filesystem::exists(lockFile));  // removed by its holder

    // Held by another program: the command line does nothing and fails.
    e.config.save(iniFilePath(e.station.path()));
    std::filesystem::remove(e.stem + "P.bmp");
    const int held = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    std::ostringstream out, err;
    const std::vector<std::string> args = {e.dir, "--station", e.station.str()};
    EXPECT_EQ(processCommand(args, "/x", out, err), 1);
    EXPECT_EQ(out.str(), e.dir + ": being processed elsewhere, not run\n");
    EXPECT_FALSE(std::filesystem::exists(e.stem + "P.bmp"));
    // Released (as when its holder dies), the lock file left behind is no obstacle.
    ::close(held);
    EXPECT_EQ(processCommand(args, "/x", out, err), 0) << err.str();
    EXPECT_TRUE(std::filesystem::exists(e.stem + "P.bmp"));
    EXPECT_FALSE(std::filesystem::exists(lockFile));
}

}  // namespace
}  // namespace orbis
