// The unattended station: the Sun's schedule, the morning's work of a night
// (parallel and resumable), room on a full disk, and whole simulated nights
// on a fast clock with a test source standing in for the camera.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "SkyEventFrames.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"
#include "station/uEventProcessing.h"
#include "station/uMorningProcessing.h"
#include "station/uNightSchedule.h"
#include "station/uStationClock.h"
#include "station/uRetention.h"
#include "station/uStationLock.h"
#include "station/uStationStatus.h"
#include "station/uUnattendedStation.h"

namespace orbis {
namespace {

namespace fs = std::filesystem;

TDateTime at(int y, int mo, int d, int h, int mi) { return encodeDateTime({y, mo, d, h, mi, 0, 0}); }

double minutesBetween(TDateTime a, TDateTime b) { return std::abs(a - b) * 1440.0; }

TStationPlace placeOf(double lat, bool south, double lon, bool west, int zone, double night) {
    TConfiguration c;
    c.setLatitude(lat);
    c.setPole(south);
    c.setLongitude(lon);
    c.setHemisphere(west);
    c.setTimeZone(zone);
    c.setSunAltitudeNight(night);
    return TStationPlace::fromConfiguration(c);
}

TEST(NightSchedule, SunsetsAndSunrisesOfKnownPlacesAndThePolarDay) {
    // Sunrise and sunset (upper limb with refraction, -0.833°) as almanacs
    // give them in local time; an east longitude taken as west would move
    // them by hours.
    struct Case {
        const char* where;
        TStationPlace place;
        TDateTime noon, sunset, sunrise;
    };
    const Case cases[] = {
        {"Moscow", placeOf(55.75, false, 37.62, false, 3, -0.833), at(2024, 6, 21, 12, 0), at(2024, 6, 21, 21, 18),
         at(2024, 6, 22, 3, 44)},
        {"Sydney", placeOf(33.87, true, 151.21, false, 10, -0.833), at(2024, 6, 21, 12, 0), at(2024, 6, 21, 16, 54),
         at(2024, 6, 22, 7, 1)},
        {"New York", placeOf(40.71, false, 74.01, true, -5, -0.833), at(2024, 12, 21, 12, 0), at(2024, 12, 21, 16, 32),
         at(2024, 12, 22, 7, 17)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_FALSE(isNight(c.noon, c.place));
        const auto sunset = nextScheduleChange(c.noon, c.place);
        ASSERT_TRUE(sunset);
        EXPECT_LT(minutesBetween(*sunset, c.sunset), 3.0) << formatDateTime("yyyy-mm-dd hh:nn:ss", *sunset);
        EXPECT_TRUE(isNight(*sunset, c.place));
        const auto sunrise = nextScheduleChange(*sunset, c.place);
        ASSERT_TRUE(sunrise);
        EXPECT_LT(minutesBetween(*sunrise, c.sunrise), 3.0) << formatDateTime("yyyy-mm-dd hh:nn:ss", *sunrise);
        EXPECT_FALSE(isNight(*sunrise, c.place));
    }
    // Midsummer at Tromsø: the Sun never sets, nothing changes.
    const TStationPlace north = placeOf(69.65, false, 18.96, false, 2, -10);
    EXPECT_FALSE(isNight(at(2024, 6, 21, 0, 30), north));
    EXPECT_FALSE(nextScheduleChange(at(2024, 6, 21, 0, 30), north));
}

// The station's time is UT + timeZone whatever zone the system is set to:
// the same moment is named alike on a machine on UTC and on one in India.
TEST(StationClock, IsUtPlusTheStationsZoneWhateverTheSystemZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    for (const char* systemZone : {"UTC", "Asia/Kolkata", "America/St_Johns"}) {
        SCOPED_TRACE(systemZone);
        ::setenv("TZ", systemZone, 1);
        ::tzset();
        for (const double zone : {0.0, 3.0, 5.5, -3.5}) {
            TStationClock clock(zone);
            const double hours = (clock.localNow() - nowUtc()) * 24.0;
            EXPECT_NEAR(hours, zone, 2.0 / 3600.0);
        }
    }
    if (old) ::setenv("TZ", saved.c_str(), 1);
    else ::unsetenv("TZ");
    ::tzset();
}

// ---------------------------------------------------------------------------
// Files of a station

void writeFile(const fs::path& p, std::size_t bytes) {
    fs::create_directories(p.parent_path());
    writeFileAtomically(p, std::string(bytes, 'x'));
}

std::uintmax_t bytesUnder(const fs::path& dir) {
    std::uintmax_t total = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) total += e.file_size();
    return total;
}

using test::contentsUnder;

// An event of a night as the morning left it: frames, work bitmaps, result
// files, and its clip beside it.
void writeDoneEvent(const fs::path& night, const std::string& name) {
    const fs::path event = night / name;
    writeFile(event / "F001.bmp", 1000);
    writeFile(event / "F002.bmp", 1000);
    writeFile(event / ("M" + name + "P.bmp"), 1000);
    writeFile(event / ("M" + name + ".txt"), 10);
    writeFile(event / ("M" + name + "R.jpg"), 10);
    writeFile(event / ("M" + name + "R.bmp"), 10);
    writeFile(event / "MeteorTrack.txt", 10);
    writeFile(night / (name + ".avi"), 1000);
}

TEST(Retention, OldestDoneNightsGiveUpFramesThenClipsAndResultsNever) {
    test::TempDir station;
    for (const char* night : {"20240810", "20240811"}) {
        writeDoneEvent(station / night, "231000_000");
        writeTextLines(station / night / kNightDoneName, std::vector<std::string>{"231000_000.avi"});
    }
    writeDoneEvent(station / "20240812", "231000_000");  // still waiting for its morning
    writeFile(station / "Orbisight.ini", 10);
    // A disk of 100000 bytes holding the station.
    const std::uintmax_t capacity = 100000;
    const FreeSpaceQuery disk = [&](const std::string&) { return capacity - bytesUnder(station.path()); };
    const std::uintmax_t start = disk(station.str());

    TRetentionRun run = makeRoom(station.str(), start, disk);
    EXPECT_TRUE(run.enough);
    EXPECT_TRUE(run.removed.empty());

    // 3000 bytes: the oldest night's bitmaps are enough.
    run = makeRoom(station.str(), start + 3000, disk);
    EXPECT_TRUE(run.enough);
    EXPECT_EQ(run.removed.size(), 3u);
    EXPECT_FALSE(fs::exists(station / "20240810/231000_000/F001.bmp"));
    EXPECT_TRUE(fs::exists(station / "20240810/231000_000.avi"));
    EXPECT_TRUE(fs::exists(station / "20240811/231000_000/F001.bmp"));

    // More than both done nights hold: everything removable goes, the night
    // waiting for its morning and every result stay, and it says so.
    run = makeRoom(station.str(), start + 20000, disk);
    EXPECT_FALSE(run.enough);
    EXPECT_EQ(run.removed.size(), 5u);  // the first clip, then the second night's bitmaps and clip
    for (const char* night : {"20240810", "20240811", "20240812"}) {
        SCOPED_TRACE(night);
        for (const std::string kept : {"231000_000/M231000_000.txt", "231000_000/M231000_000R.jpg",
                                       "231000_000/M231000_000R.bmp", "231000_000/MeteorTrack.txt"})
            EXPECT_TRUE(fs::exists(station / night / kept)) << kept;
    }
    EXPECT_TRUE(fs::exists(station / "20240812/231000_000/F001.bmp"));
    EXPECT_TRUE(fs::exists(station / "20240812/231000_000.avi"));
    EXPECT_TRUE(fs::exists(station / "Orbisight.ini"));
}

TEST(Retention, TakesOnlyReportedEventsOnTheStationsOwnDiskAndFollowsNoLink) {
    test::TempDir station, elsewhere;
    const fs::path night = station / "20240810";
    writeDoneEvent(night, "231000_000");
    // Kept for marking: no report, so frames and clip wait for the observer.
    writeDoneEvent(night, "232000_000");
    fs::remove(night / "232000_000" / "M232000_000.txt");
    // A frame that is a link to a file on another disk.
    writeFile(elsewhere / "outside.bmp", 1000);
    fs::create_symlink(elsewhere / "outside.bmp", night / "231000_000" / "F003.bmp");
    writeTextLines(night / kNightDoneName, std::vector<std::string>{"231000_000.avi", "232000_000.avi"});
    // A done night kept on another disk through a link.
    const fs::path other = elsewhere / "20240809";
    writeDoneEvent(other, "231000_000");
    writeTextLines(other / kNightDoneName, std::vector<std::string>{"231000_000.avi"});
    fs::create_directory_symlink(other, station / "20240809");

    const TRetentionRun run = makeRoom(station.str(), 1u << 30, [](const std::string&) { return std::uintmax_t{0}; });
    EXPECT_FALSE(run.enough);
    std::vector<std::string> removed;
    for (const std::string& f : run.removed) removed.push_back(fs::relative(f, station.path()).string());
    EXPECT_EQ(removed, (std::vector<std::string>{"20240810/231000_000/F001.bmp", "20240810/231000_000/F002.bmp",
                                                 "20240810/231000_000/M231000_000P.bmp", "20240810/231000_000.avi"}));
    EXPECT_TRUE(fs::exists(elsewhere / "outside.bmp"));
    EXPECT_TRUE(fs::is_symlink(night / "231000_000" / "F003.bmp"));
    EXPECT_TRUE(fs::exists(night / "232000_000" / "F001.bmp"));
    EXPECT_TRUE(fs::exists(night / "232000_000.avi"));
    EXPECT_EQ(contentsUnder(other).size(), 9u);  // the event's 7 files, its clip and the marker
}

// ---------------------------------------------------------------------------
// The morning's work

struct SkyNight {
    test::TempDir station;
    fs::path night = station / "20240812";
    TConfiguration config;

    explicit SkyNight(const std::vector<std::string>& events) {
        const test::SkyEventAim aim = test::aimAtSkyEvents(config, ORBIS_CATALOG_DIR);
        for (std::size_t i = 0; i < events.size(); ++i) {
            // Taken into work by an earlier run: the event directory exists
            // beside its clip.
            test::writeSkyEventFrames((night / events[i]).string(), config, aim.theta, aim.pointing,
                                      {180 + 20 * static_cast<int>(i), 150}, {260, 190 + 10 * static_cast<int>(i)});
            writeFile(night / (events[i] + ".avi"), 100);
        }
    }
};

TEST(MorningProcessing, AParallelRunWritesWhatASerialRunWritesAndARestartDoesNoEventTwice) {
    SkyNight serial({"231001_280", "231501_000"});
    // An event without a meteor on its frames, and a clip that cannot be read.
    const fs::path blank = serial.night / "232000_000";
    fs::create_directories(blank);
    for (int f = 1; f <= 3; ++f) saveGreyBitmap(std::vector<uint8_t>(64 * 48, 40), 64, 48, frameFileName(blank.string(), f));
    writeFile(serial.night / "232000_000.avi", 100);
    writeFile(serial.night / "233000_000.avi", 100);
    // A clip whose intake a power cut ended after its first frame.
    {
        TAviWriter clip((serial.night / "232500_000.avi").string(), 64, 48, 8, 25);
        for (int f = 0; f < 5; ++f) clip.writeFrame(std::vector<uint8_t>(64 * 48, static_cast<uint8_t>(30 + f)));
    }
    fs::create_directories(serial.night / "232500_000");
    saveGreyBitmap(std::vector<uint8_t>(64 * 48, 30), 64, 48, frameFileName((serial.night / "232500_000").string(), 1));
    test::TempDir copy;
    fs::copy(serial.station.path(), copy.path(), fs::copy_options::recursive);

    const TMorningResult one = processNightMorning(serial.night.string(), serial.config, serial.station.str(), 1);
    const TMorningResult many =
        processNightMorning((copy / "20240812").string(), serial.config, copy.str(), 4);
    ASSERT_TRUE(one.finished);
    ASSERT_EQ(one.events.size(), 5u);
    const std::vector<MorningOutcome> expected{MorningOutcome::Report, MorningOutcome::Report, MorningOutcome::NoTrack,
                                               MorningOutcome::NoTrack, MorningOutcome::Failed};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(one.events[i].outcome, expected[i]) << morningEventLine(one.events[i]);
        EXPECT_EQ(many.events[i].outcome, one.events[i].outcome);
        EXPECT_EQ(many.events[i].clip, one.events[i].clip);
    }
    EXPECT_NE(morningEventLine(one.events[4]).find("failed, its files are kept"), std::string::npos);
    EXPECT_TRUE(fs::exists(serial.night / "232500_000/F005.bmp"));  // the cut intake done again
    EXPECT_TRUE(fs::exists(serial.night / "233000_000.avi"));
    // Alike but for the failure list's reason, which names the clip's path.
    auto parallel = contentsUnder(copy.path()), serialFiles = contentsUnder(serial.station.path());
    EXPECT_EQ(parallel.erase("20240812/.orbisight-failed"), 1u);
    EXPECT_EQ(serialFiles.erase("20240812/.orbisight-failed"), 1u);
    EXPECT_EQ(parallel, serialFiles);
    const auto summary = readTextLines(one.summaryFile);
    EXPECT_EQ(summary.size(), 3u);  // the header and the two reports
    EXPECT_TRUE(fs::exists(one.r90File));
    // The clip that failed is not done: the night waits for it. The
    // observer removes it.
    EXPECT_FALSE(one.nightDone);
    EXPECT_EQ(clipsAwaitingProcessing(serial.night.string()), std::vector<std::string>{"233000_000.avi"});
    fs::remove(serial.night / "233000_000.avi");

    // After a restart only a clip recorded later is taken (one whose writer
    // was killed: no index, the counts of its start, a frame cut short); the
    // done events keep their files as they were.
    const auto before = contentsUnder(serial.station.path());
    EXPECT_TRUE(nightsAwaitingProcessing(serial.station.str()).empty());
    {
        TAviWriter writer((serial.night / "234000_000.avi").string(), 37, 11, 8, 25);
        for (int f = 0; f < 6; ++f) writer.writeFrame(std::vector<uint8_t>(37 * 11, static_cast<uint8_t>(f + 1)));
    }
    std::string killed = readFileBytes(serial.night / "234000_000.avi");
    killed = killed.substr(0, killed.rfind("idx1") - 200);
    for (const std::size_t at : {4, 48, 140}) killed.replace(at, 4, std::string(4, '\0'));  // RIFF size, frame counts
    killed.replace(1240, 4, std::string("\4\0\0\0", 4));                                      // movi size
    writeFileAtomically(serial.night / "234000_000.avi", killed);
    EXPECT_EQ(nightsAwaitingProcessing(serial.station.str()), std::vector<std::string>{serial.night.string()});
    const TMorningResult later = processNightMorning(serial.night.string(), serial.config, serial.station.str(), 2);
    ASSERT_EQ(later.events.size(), 1u);
    EXPECT_EQ(later.events[0].clip, "234000_000.avi");
    EXPECT_EQ(morningEventLine(later.events[0]),
              "event 234000_000 (its clip was not closed: mended): no track found; kept for marking, not processed");
    EXPECT_TRUE(fs::exists(serial.night / "234000_000/F005.bmp"));
    for (const auto& [file, bytes] : before)
        if (file.find("231001_280") != std::string::npos) {
            EXPECT_EQ(readFileBytes(serial.station / file), bytes) << file;
        }
    EXPECT_EQ(clipsAwaitingProcessing(serial.night.string()), std::vector<std::string>{});

    // A stop before the first event writes neither exports nor marker.
    writeFile(serial.night / "235000_000.avi", 100);
    const TMorningResult stopped =
        processNightMorning(serial.night.string(), serial.config, serial.station.str(), 2, [] { return true; });
    EXPECT_FALSE(stopped.finished);
    EXPECT_EQ(clipsAwaitingProcessing(serial.night.string()), std::vector<std::string>{"235000_000.avi"});

    // A morning cut short before its marker: events with a report are not done again.
    fs::remove(serial.night / kNightDoneName);
    const fs::path report = serial.night / "231001_280" / "M231001_280.txt";
    const auto written = fs::last_write_time(report);
    fs::last_write_time(report, written - std::chrono::hours(1));
    const TMorningResult again = processNightMorning(serial.night.string(), serial.config, serial.station.str(), 2);
    EXPECT_EQ(again.events[0].outcome, MorningOutcome::Report);
    EXPECT_EQ(fs::last_write_time(report), written - std::chrono::hours(1));
}


// Work that fails (catalogs that are not there, a clip that cannot be read)
// keeps its clip and frames, leaves the night waiting and is tried again;
// a clip that keeps failing is let go after its mornings, never removed.
TEST(MorningProcessing, WorkThatFailedIsKeptTriedAgainAndNeverRemoved) {
    SkyNight n({"231001_280"});
    TConfiguration broken = n.config;
    broken.setPathToCatalogs((n.station / "no-catalogs").string());
    std::vector<std::string> told;
    TMorningResult r = processNightMorning(n.night.string(), broken, n.station.str(), 1, {},
                                           [&](const TMorningEvent& e) { told.push_back(morningEventLine(e)); });
    ASSERT_EQ(r.events.size(), 1u);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_FALSE(morningEventDone(r.events[0])) << told[0];
    EXPECT_NE(told[0].find("tried again next morning (1 of 3)"), std::string::npos) << told[0];
    EXPECT_TRUE(r.finished);
    EXPECT_FALSE(r.nightDone);
    EXPECT_EQ(clipsAwaitingProcessing(n.night.string()), std::vector<std::string>{"231001_280.avi"});
    ASSERT_EQ(failedClips(n.night.string()).size(), 1u);
    EXPECT_EQ(failedClips(n.night.string())[0].mornings, 1);
    // Retention on a full disk takes nothing of a night that is not done.
    const auto files = contentsUnder(n.station.path());
    EXPECT_TRUE(makeRoom(n.station.str(), 1u << 30, [](const std::string&) { return std::uintmax_t{0}; }).removed.empty());
    EXPECT_EQ(contentsUnder(n.station.path()), files);

    // The next morning, with the catalogs back, reports it; only then may
    // retention take its frames and clip.
    r = processNightMorning(n.night.string(), n.config, n.station.str(), 1);
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0].outcome, MorningOutcome::Report) << morningEventLine(r.events[0]);
    EXPECT_TRUE(r.nightDone);
    EXPECT_TRUE(failedClips(n.night.string()).empty());
    const TRetentionRun run = makeRoom(n.station.str(), 1u << 30, [](const std::string&) { return std::uintmax_t{0}; });
    EXPECT_TRUE(std::any_of(run.removed.begin(), run.removed.end(),
                            [](const std::string& f) { return f.ends_with("231001_280.avi"); }));

    // A clip that cannot be read fails every morning: after three it no
    // longer holds the night back, stays listed as failed and is never removed.
    writeFile(n.night / "235900_000.avi", 100);
    for (int morning = 1; morning <= kMorningAttempts; ++morning) {
        r = processNightMorning(n.night.string(), n.config, n.station.str(), 1);
        ASSERT_EQ(r.events.size(), 1u);
        EXPECT_EQ(r.events[0].attempt, morning);
        EXPECT_EQ(r.nightDone, morning == kMorningAttempts);
    }
    EXPECT_NE(morningEventLine(r.events[0]).find("not tried again"), std::string::npos);
    EXPECT_TRUE(processNightMorning(n.night.string(), n.config, n.station.str(), 1).events.empty());
    ASSERT_EQ(failedClips(n.night.string()).size(), 1u);
    EXPECT_EQ(failedClips(n.night.string())[0].clip, "235900_000.avi");
    makeRoom(n.station.str(), 1u << 30, [](const std::string&) { return std::uintmax_t{0}; });
    EXPECT_TRUE(fs::exists(n.night / "235900_000.avi"));
}

// A stop after the first event: that event was told as it ended, though
// the morning never reached its end.
TEST(MorningProcessing, EachEventIsToldAsItEnds) {
    SkyNight n({"231001_280", "231501_000"});
    std::vector<std::string> told;
    const TMorningResult r = processNightMorning(
        n.night.string(), n.config, n.station.str(), 1, [&] { return !told.empty(); },
        [&](const TMorningEvent& e) { told.push_back(e.clip); });
    EXPECT_FALSE(r.finished);
    EXPECT_EQ(told, std::vector<std::string>{"231001_280.avi"});
    EXPECT_EQ(clipsAwaitingProcessing(n.night.string()).size(), 2u);
}

// A clip that cannot be read in the middle of the night fails alone: the
// events after it are done, and each event is told in clip order with the
// line a morning one event at a time tells, whatever event ends first.
TEST(MorningProcessing, AClipThatCannotBeReadMidNightStopsAndReordersNoOtherEvent) {
    SkyNight serial({"231001_280", "231501_000"});
    writeFile(serial.night / "231201_000.avi", 100);  // no clip, no event directory
    test::TempDir copy;
    fs::copy(serial.station.path(), copy.path(), fs::copy_options::recursive);
    const auto morning = [&](const fs::path& station, unsigned threads) {
        std::vector<std::string> told;
        const TMorningResult r =
            processNightMorning((station / "20240812").string(), serial.config, station.string(), threads, {},
                                [&](const TMorningEvent& e) { told.push_back(morningEventLine(e)); });
        EXPECT_TRUE(r.finished);
        EXPECT_EQ(r.events.size(), 3u);
        return told;
    };
    const std::vector<std::string> one = morning(serial.station.path(), 1), two = morning(copy.path(), 2);
    ASSERT_EQ(one.size(), 3u);
    EXPECT_TRUE(one[0].starts_with("event 231001_280: report written")) << one[0];
    EXPECT_TRUE(one[1].starts_with("event 231201_000: failed, its files are kept: ")) << one[1];
    EXPECT_TRUE(one[2].starts_with("event 231501_000: report written")) << one[2];
    // The failure names the clip's path, which is the station's.
    ASSERT_EQ(two.size(), 3u);
    EXPECT_EQ(two[0], one[0]);
    EXPECT_EQ(two[2], one[2]);
    EXPECT_TRUE(two[1].starts_with("event 231201_000: failed, its files are kept: ")) << two[1];
    auto parallel = contentsUnder(copy.path()), serialFiles = contentsUnder(serial.station.path());
    EXPECT_EQ(parallel.erase("20240812/.orbisight-failed"), 1u);
    EXPECT_EQ(serialFiles.erase("20240812/.orbisight-failed"), 1u);
    EXPECT_EQ(parallel, serialFiles);
}

// ---------------------------------------------------------------------------
// Whole nights on a fast clock

std::vector<fs::path> clipsUnder(const fs::path& dir) {
    std::vector<fs::path> clips;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.path().extension() == ".avi") clips.push_back(e.path());
    std::sort(clips.begin(), clips.end());
    return clips;
}

// A station on a simulated clock with a test source, its log lines kept.
struct NightRun {
    test::TempDir station;
    TConfiguration config;
    TUnattendedOptions options;
    std::vector<std::string> lines;
    SilentNotifier quiet;

    explicit NightRun(const std::string& source) {
        config.setTimeZone(3);
        options.source = TCaptureSource::pipeline(source + " ! video/x-raw,format=YUY2,width=160,height=120,framerate=25/1");
        options.mornings = 1;
        options.powerOff = [] { ADD_FAILURE() << "powered off"; };
        options.onLine = [this](const std::string& l) { lines.push_back(l); };
    }
    TUnattendedEnd run(TDateTime start, double speed) {
        TStationClock clock(start, speed);
        return runUnattendedStation(config, station.str(), clock, options, quiet);
    }
    bool said(const std::string& part) const {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; });
    }
    std::string joined() const {
        std::string all;
        for (const auto& l : lines) all += l + "\n";
        return all;
    }
};

// The local time a clip's night directory and name give.
TDateTime clipTime(const fs::path& clip) {
    const std::string night = clip.parent_path().filename().string(), name = clip.stem().string();
    return encodeDateTime({parseInt(night.substr(0, 4)), parseInt(night.substr(4, 2)), parseInt(night.substr(6, 2)),
                           parseInt(name.substr(0, 2)), parseInt(name.substr(2, 2)), parseInt(name.substr(4, 2)), 0});
}

TEST(UnattendedStation, DuskMeteorsDawnMorningThenARestartInTheNightOnAFullDisk) {
    // The moving ball stands in for meteors: every few frames an event.
    NightRun n("videotestsrc is-live=true pattern=ball");
    n.config.setNFramesBeforeEvent(3);
    n.config.setNFramesAfterEvent(5);
    const TStationPlace place = TStationPlace::fromConfiguration(n.config);

    // An afternoon: the station waits for dusk, detects until dawn, then
    // does the morning's work.
    const TDateTime afternoon = at(2024, 8, 12, 20, 0);
    const TDateTime dusk = *nextScheduleChange(afternoon, place), dawn = *nextScheduleChange(dusk, place);
    TUnattendedEnd end = n.run(afternoon, 8000);
    EXPECT_EQ(end.nights, 1);
    EXPECT_EQ(end.mornings, 1);
    EXPECT_FALSE(end.lostClips);
    const std::vector<fs::path> first = clipsUnder(n.station.path());
    ASSERT_FALSE(first.empty()) << n.joined();
    for (const fs::path& clip : first) {
        SCOPED_TRACE(clip.string());
        EXPECT_GE(clipTime(clip), dusk - 1.0 / 86400);
        EXPECT_LE(clipTime(clip), dawn + 1.0 / 86400);
        // Taken into work; the proposal found no meteor on a ball, so the
        // event waits for the observer's marking.
        EXPECT_TRUE(fs::exists(fs::path(eventDirectoryForClip(clip.parent_path().string(), clip.filename().string())) /
                               "F001.bmp"));
        const std::string night = clip.parent_path().filename().string();
        EXPECT_TRUE(fs::exists(clip.parent_path() / ("M" + night + ".txt")));
        EXPECT_TRUE(fs::exists(clip.parent_path() / ("ME" + night + ".csv")));
        EXPECT_TRUE(n.said("event " + clip.stem().string() + ": no track found"));
    }
    for (const std::string part : {"waiting for the night", "detection started", "dawn: detection stopped",
                                   "summary ", "R90 ", "the night is done"})
        EXPECT_TRUE(n.said(part)) << part << "\n" << n.joined();
    EXPECT_EQ(readTextLines(n.station / kStationLogName).size(), n.lines.size());
    EXPECT_TRUE(nightsAwaitingProcessing(n.station.str()).empty());

    // A power cut, and the service starts again in the middle of the next
    // night on a disk with no room left: it says so, detects all the same,
    // and the morning does only the new clips.
    n.lines.clear();
    n.options.freeSpace = [](const std::string&) { return std::uintmax_t{0}; };
    end = n.run(at(2024, 8, 14, 1, 0), 8000);
    EXPECT_EQ(end.mornings, 1);
    EXPECT_TRUE(n.said("disk full")) << n.joined();
    EXPECT_TRUE(n.said("detection started"));
    // The clips of this night were recorded and taken into work. No event
    // has a report (the proposal found no meteor on a ball): every one waits
    // for the observer, so the full disk takes none of their clips or frames.
    std::size_t recorded = 0;
    for (const std::string& l : n.lines) {
        if (!l.starts_with("clip ")) continue;
        ++recorded;
        const fs::path clip = l.substr(5, l.find(" (") - 5);
        EXPECT_TRUE(fs::exists(clip)) << clip;
        EXPECT_TRUE(fs::exists(fs::path(eventDirectoryForClip(clip.parent_path().string(), clip.filename().string())) /
                               "F001.bmp"))
            << clip;
    }
    EXPECT_GT(recorded, 0u) << n.joined();
    for (const fs::path& clip : first) {
        EXPECT_FALSE(n.said("event " + clip.stem().string() + ":")) << clip;
        const fs::path event = eventDirectoryForClip(clip.parent_path().string(), clip.filename().string());
        EXPECT_TRUE(fs::exists(clip)) << clip;
        EXPECT_TRUE(fs::exists(event / "F001.bmp")) << clip;
        EXPECT_TRUE(fs::exists(clip.parent_path() / ("ME" + clip.parent_path().filename().string() + ".csv")));
    }
    EXPECT_TRUE(nightsAwaitingProcessing(n.station.str()).empty());
}

TEST(UnattendedStation, ABrightSkyEndsTheNightAndPowersOffAfterTheMorningOnlyWhenAsked) {
    for (const bool asked : {true, false}) {
        SCOPED_TRACE(asked);
        NightRun n("videotestsrc pattern=white num-buffers=60");
        n.config.setUseAutoShutDown(asked);
        n.config.setAutoShutDownLevel(180);
        n.options.powerOff = [&n] { n.lines.push_back("(powered off)"); };
        n.run(at(2024, 8, 13, 1, 0), 1000);
        EXPECT_EQ(n.said("the sky is bright"), asked) << n.joined();
        const auto off = std::find(n.lines.begin(), n.lines.end(), "(powered off)");
        EXPECT_EQ(off != n.lines.end(), asked) << n.joined();
        // Off only once the morning's work is done, and once.
        if (asked) {
            EXPECT_NE(std::find(n.lines.begin(), off, "the night is done"), off) << n.joined();
        }
        EXPECT_EQ(std::count(n.lines.begin(), n.lines.end(), "(powered off)"), asked ? 1 : 0);
    }
}

TEST(UnattendedStation, ASessionLogThatCannotBeWrittenDoesNotKeepTheDetectorFromTheSky) {
    NightRun n("videotestsrc pattern=ball num-buffers=80");
    fs::create_directory(n.station / "Orbisight.log");  // cannot be opened as a file
    n.config.setUseLogFile(true);
    n.options.clockState = [] { return TClockState{ClockSync::NotSynchronised, "test"}; };
    EXPECT_EQ(n.run(at(2024, 8, 13, 1, 0), 1000).nights, 1);
    EXPECT_TRUE(n.said("the session's log cannot be written")) << n.joined();
    EXPECT_TRUE(n.said("clip ")) << n.joined();
    // The clock's state is said at the start and each night, and the status
    // files tell a remote eye the station has stopped.
    EXPECT_GE(std::count_if(n.lines.begin(), n.lines.end(),
                            [](const std::string& l) { return l.find("ClockNotSynchronised") != std::string::npos; }),
              2);
    const std::string json = readFileBytes(n.station / kStatusFileName);
    EXPECT_NE(json.find("\"running\": false"), std::string::npos) << json;
    EXPECT_NE(json.find("\"camera\": \"stopped\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"state\": \"not synchronised\""), std::string::npos) << json;
    // The night began before the station did (01:00): its dusk was the evening before.
    EXPECT_NE(json.find("\"night\": \"20240813\", \"dusk\": \"2024-08-12T21:"), std::string::npos) << json;
    EXPECT_TRUE(fs::exists(n.station / kStatusPageName));
}

TEST(StationJournal, Iso8601StampsUtf8LinesAndRotationBySize) {
    EXPECT_EQ(isoLocalStamp(at(2024, 8, 12, 23, 10), 3), "2024-08-12T23:10:00+03:00");
    EXPECT_EQ(isoLocalStamp(at(2024, 8, 12, 23, 10), 5.5), "2024-08-12T23:10:00+05:30");
    EXPECT_EQ(isoLocalStamp(at(2024, 1, 2, 3, 4), -3.5), "2024-01-02T03:04:00-03:30");
    EXPECT_EQ(isoLocalStamp(at(2024, 1, 2, 3, 4), 5.75), "2024-01-02T03:04:00+05:45");
    test::TempDir dir;
    const fs::path path = dir / kStationLogName;
    {
        TStationJournal journal;
        journal.open(path.string(), 100, 2);
        for (int i = 0; i < 12; ++i) journal.write(at(2024, 8, 12, 23, i), 3, "событие " + std::to_string(i));
    }
    // Each line is 40 bytes: the limit is passed every third line, and only
    // the two newest older files stay.
    EXPECT_TRUE(fs::exists(dir / "Station.log.1"));
    EXPECT_TRUE(fs::exists(dir / "Station.log.2"));
    EXPECT_FALSE(fs::exists(dir / "Station.log.3"));
    EXPECT_EQ(readFileBytes(path), "2024-08-12T23:09:00+03:00 событие 9\n2024-08-12T23:10:00+03:00 событие 10\n"
                                   "2024-08-12T23:11:00+03:00 событие 11\n");
    EXPECT_TRUE(readFileBytes(dir / "Station.log.2").starts_with("2024-08-12T23:03:00+03:00 событие 3\n"));
}

TEST(StationStatus, CountsEachNightsClipsByWhatBecameOfThemForRemoteEyes) {
    test::TempDir station;
    const fs::path night = station / "20240812";
    writeDoneEvent(night, "231000_000");               // a report
    writeDoneEvent(night, "232000_000");               // no track: waits for marking
    fs::remove(night / "232000_000" / "M232000_000.txt");
    writeFile(night / "233000_000.avi", 100);          // its work failed
    writeFile(night / "234000_000.avi", 100);          // not yet taken into work
    writeTextLines(night / kNightDoneName, std::vector<std::string>{"231000_000.avi", "232000_000.avi"});
    writeTextLines(night / kNightFailedName, std::vector<std::string>{"233000_000.avi\t1\tnot an AVI file"});
    writeDoneEvent(station / "20240811", "220000_000");
    writeTextLines(station / kStationLogName,
                   std::vector<std::string>{"2024-08-12T21:40:00+03:00 detection could not start: no such device",
                                            "2024-08-13T04:00:00+03:00 event 233000_000: failed: \"x\" <cut>",
                                            "2024-08-13T04:01:00+03:00 the night is done"});
    TConfiguration config;
    config.setTimeZone(3);
    const TStationStatus s = stationStatus(station.str(), config, at(2024, 8, 13, 12, 0),
                                           {ClockSync::Synchronised, "test"}, 5u << 20);
    ASSERT_EQ(s.nights.size(), 2u);
    EXPECT_EQ(s.lastNight, "20240812");
    const TNightStatus& n = s.nights[0];
    EXPECT_EQ(n.clips, 4);
    EXPECT_EQ(n.reports, 1);
    EXPECT_EQ(n.waitingForMarking, 1);
    EXPECT_EQ(n.failed, 1);
    EXPECT_EQ(n.waitingForMorning, 1);
    EXPECT_EQ(n.pictures, std::vector<std::string>{"20240812/231000_000/M231000_000R.jpg"});
    // Dusk (Sun at -10°) and dawn at 52.43° N in mid-August, local time +03:00.
    EXPECT_TRUE(s.dusk.starts_with("2024-08-12T21:")) << s.dusk;
    EXPECT_TRUE(s.dawn.starts_with("2024-08-13T04:")) << s.dawn;
    EXPECT_FALSE(s.runningPid);
    EXPECT_EQ(s.lastLine, "2024-08-13T04:01:00+03:00 the night is done");
    EXPECT_EQ(s.camera, "failed: no such device");

    writeStationStatus(station.str(), s);
    const std::string json = readFileBytes(station / kStatusFileName);
    EXPECT_NE(json.find("\"failed\": 1, \"waitingForMarking\": 1, \"waitingForMorning\": 1"), std::string::npos)
        << json;
    EXPECT_NE(json.find("failed: \\\"x\\\" <cut>"), std::string::npos) << json;  // quotes escaped
    EXPECT_NE(json.find("\"freeDiskMB\": 5"), std::string::npos);
    const std::string html = readFileBytes(station / kStatusPageName);
    EXPECT_NE(html.find("<img src=\"20240812/231000_000/M231000_000R.jpg\""), std::string::npos);
    EXPECT_NE(html.find("&quot;x&quot; &lt;cut&gt;"), std::string::npos);
}

// One station per directory; what a killed run left is cleaned only when
// provably nobody uses it.
TEST(UnattendedStation, ASecondStationIsRefusedNamingTheFirstsPid) {
    NightRun n("videotestsrc pattern=ball num-buffers=10");
    const TStationLock first(n.station.str());
    try {
        n.run(at(2024, 8, 13, 1, 0), 1000);
        ADD_FAILURE() << "a second station ran";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::StationAlreadyRunning);
        EXPECT_EQ(e.diagnostic().value("pid"), std::to_string(::getpid()));
    }
    EXPECT_TRUE(n.lines.empty());
}

TEST(UnattendedStation, StaleTemporaryAndLockFilesOfAKilledRunAreRemovedOthersKept) {
    test::TempDir station;
    const fs::path event = station / "20240812" / "231000_000";
    fs::create_directories(event);
    // A writer that has gone: a child that ended.
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string gone = std::to_string(child), alive = std::to_string(::getpid());
    writeFile(station / ("Orbisight.ini.tmp" + gone + "_0_17"), 10);
    writeFile(event / ("A.txt.tmp" + gone + "_3_99"), 10);
    writeFile(event / ("S.txt.tmp" + alive + "_1_5"), 10);  // a write in progress
    // PID 1 started at boot: a file of 1990 was written by an earlier PID 1;
    // one written now may be its own.
    writeFile(station / "20240812" / ("M.txt.tmp1_0_1"), 10);
    writeFile(station / "20240812" / ("R.txt.tmp1_0_2"), 10);
    fs::last_write_time(station / "20240812" / "R.txt.tmp1_0_2",
                        fs::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 36));
    writeFile(event / "notes.tmp", 10);  // not an atomic write's
    // An event lock nobody holds, and one a run holds.
    writeFile(event / kEventLockName, 0);
    const fs::path busy = station / "20240812" / "232000_000";
    writeFile(busy / kEventLockName, 0);
    const int held = ::open((busy / kEventLockName).c_str(), O_RDWR);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);

    std::vector<std::string> removed = removeStaleFiles(station.str());
    ::close(held);
    for (std::string& f : removed) f = fs::relative(f, station.path()).string();
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{"20240812/231000_000/.orbisight.lock",
                                                 "20240812/231000_000/A.txt.tmp" + gone + "_3_99",
                                                 "20240812/R.txt.tmp1_0_2", "Orbisight.ini.tmp" + gone + "_0_17"}));
    EXPECT_TRUE(fs::exists(event / ("S.txt.tmp" + alive + "_1_5")));
    EXPECT_TRUE(fs::exists(busy / kEventLockName));
    EXPECT_EQ(temporaryFileWriter("a.tmp12_3"), 0);
    EXPECT_EQ(temporaryFileWriter(".tmp12_3_4"), 0);
}

}  // namespace
}  // namespace orbis
