// Night exports: the daily summary and the R90 files, byte for byte, on
// nights built in a temporary program directory.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "reports/uNightExports.h"
#include "support/RecordingNotifier.h"
#include "support/SeparatorScope.h"
#include "support/TempDir.h"

namespace orbis {
namespace {

const std::string kR90Header = "Ver,Y,M,D,h,m,s,Mag,Dur,Az1,Alt1,Az2,Alt2,Ra1,Dec1,Ra2,Dec2,ID,Long,Lat,Alt,Tz";

std::vector<std::string> eventReport(const std::string& magn, const std::string& flight) {
    return {"UT_DATE=14.12.2023", "UT_TIME=18:30:45", "RA_BEG=112.5", "DEC_BEG=32.1", "RA_END=118.25",
            "DEC_END=30.5", "MAGN=" + magn, "VELO=35.2", "LENG=12.4", "TIM_FL=" + flight, "SHOWER=GEM"};
}

// Creates night/event and, unless lines is empty, its report.
void addEvent(const std::string& night, const std::string& event, const std::vector<std::string>& lines) {
    std::filesystem::create_directories(night + "/" + event);
    if (!lines.empty()) writeTextLines(night + "/" + event + "/M" + event + ".txt", lines);
}

TConfiguration station(double lat, bool south, double lon, bool west) {
    TConfiguration c;
    c.setLatitude(lat);
    c.setPole(south);
    c.setLongitude(lon);
    c.setHemisphere(west);
    c.setName("Cam1");
    return c;
}

class NightExports : public ::testing::Test {
protected:
    void SetUp() override {
        southWest.setAltitude(150.5);
        southWest.setTimeZone(-3);
        southWest.setObserver("Иванов");
    }
    test::TempDir program;
    std::string night = (program / "20231214").string();
    test::RecordingNotifier notifier;
    TConfiguration southWest = station(33.9, true, 70.65, true);
};

TEST_F(NightExports, DailySummaryTakesValuesAndAppendsTheStation) {
    test::SeparatorScope comma(',');
    addEvent(night, "213045_123", eventReport("$", "0.64"));
    addEvent(night, "013000_500", eventReport("-1.25", "1.2"));
    addEvent(night, "120000_000", {});  // no report: skipped

    const std::string path = writeDailySummary(night, program.str(), southWest, notifier);

    EXPECT_EQ(path, night + "/M20231214.txt");
    const std::string tail = "33.9S,70.65W,150.5,Cam1," + utf8ToCp1251("Иванов") + "\r\n";
    EXPECT_EQ(readFileBytes(path),
              "data_UT,time_UT,ra1,dec1,ra2,dec2,magn,velo,leng,tim_fl,type,lat,lon,alt,cam,observer\r\n"
              "14.12.2023,18:30:45,112.5,32.1,118.25,30.5,-1.25,35.2,12.4,1.2,GEM," + tail +
              "14.12.2023,18:30:45,112.5,32.1,118.25,30.5,$,35.2,12.4,0.64,GEM," + tail);
    EXPECT_EQ(notifier.reports,
              std::vector{TDiagnostic(Code::ExportWritten, Severity::Notice).with("file", night + "/M20231214.txt")});

    // Zero is north and west, whichever side the settings name.
    for (bool side : {false, true}) {
        writeDailySummary(night, program.str(), station(0, side, 0, side), notifier);
        EXPECT_TRUE(readTextLines(path).at(1).ends_with(",GEM,0N,0W,0,Cam1,"));
    }
    // A station where no station can be: nothing written, the file kept.
    const std::string kept = readFileBytes(path);
    EXPECT_THROW(writeDailySummary(night, program.str(), station(1e308, false, 30, false), notifier), EConvertError);
    EXPECT_THROW(writeR90Export(night, program.str(), station(30, false, -777, false), notifier), EConvertError);
    EXPECT_EQ(readFileBytes(path), kept);
}

// Tz is a whole number of hours: a zone of 5.5 h is written as 6, its
// date and time half an hour later, so that time - Tz is still the UT.
TEST_F(NightExports, R90OfAHalfHourZoneKeepsTimeMinusTzTheUt) {
    addEvent(night, "233000_000", eventReport("1.0", "0.5"));
    for (const auto& [zone, expected] : {std::pair{5.5, std::string("R90,2023,12,15,00,00,00,1.0,0.5")},
                                         std::pair{-3.5, std::string("R90,2023,12,14,23,00,00,1.0,0.5")},
                                         std::pair{5.75, std::string("R90,2023,12,14,23,45,00,1.0,0.5")}}) {
        southWest.setTimeZone(zone);
        const std::vector<std::string> lines = readTextLines(writeR90Export(night, program.str(), southWest, notifier));
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_TRUE(lines[1].starts_with(expected + ",")) << lines[1];
        EXPECT_TRUE(lines[1].ends_with("," + std::to_string(std::lround(zone)))) << lines[1];
    }
}

TEST_F(NightExports, R90RecordFromNamesAndReportPositions) {
    test::SeparatorScope comma(',');
    // A night kept in a folder of the station: named by its own folder.
    const std::string nested = (program / "archive" / "20231214").string();
    addEvent(nested, "213045_123", eventReport("$", "0.64"));
    addEvent(nested, "220000", eventReport("-1.5", "1.2"));

    const std::string path = writeR90Export(nested + "/", program.str(), southWest, notifier);

    EXPECT_EQ(path, nested + "/ME20231214.csv");
    const std::string tail = ",999.9,999.9,999.9,999.9,112.5,32.1,118.25,30.5,Cam1,-70.65,-33.9,150.5,-3\r\n";
    EXPECT_EQ(readFileBytes(path), kR90Header + "\r\nR90,2023,12,14,21,30,45,$,0.64" + tail +
                                       "R90,2023,12,14,22,00,00,-1.5,1.2" + tail);
    EXPECT_EQ(notifier.reports, std::vector{TDiagnostic(Code::ExportWritten, Severity::Notice).with("file", path)});
    EXPECT_EQ(writeDailySummary(nested, program.str(), southWest, notifier), nested + "/M20231214.txt");
    EXPECT_EQ(readTextLines(nested + "/M20231214.txt").size(), 3u);
}

TEST_F(NightExports, DamagedReportsAreLeftOutWithAWarningAndTheRestWritten) {
    test::SeparatorScope comma(',');  // "1,5" would read as a number here
    addEvent(night, "000000_000", eventReport("2.5", "0.5"));
    const auto with = [](std::size_t line, const std::string& text) {
        std::vector<std::string> r = eventReport("1.0", "0.5");
        r[line] = text;
        return r;
    };
    const std::vector<std::vector<std::string>> damaged = {
        with(5, "DEC_END=1,5"),      with(2, "RA_BEG=1e308"),      with(3, "DEC_BEG=90.5"),
        with(4, "RA_END=-0.1"),      with(2, "RA_BEG= 112.5"),     with(0, "UT_DATE=31.02.2024"),
        with(1, "UT_TIME=24:00:00"), with(1, "UT_TIME=18:30"),     with(6, "MAGN=30.5"),
        with(6, "MAGN=nan"),         with(6, "MAGN="),             with(9, "TIM_FL=0.000"),
        with(9, "TIM_FL=-0.5"),      with(8, "LENG=0.000"),        with(7, "VELO=-1"),
        // Plain numbers, but no meteor's flight time or angular velocity.
        with(9, "TIM_FL=100000000000000000000.000"), with(9, "TIM_FL=60.001"), with(7, "VELO=1000.001"),
        with(10, "SHOWER=GEM,PER"),  with(10, "SHOWER=GEM\rPER"),  with(10, "SHOWER="),
        with(3, "RA_END=118.25"),    {"UT_DATE=14.12.2023", "UT_TIME=18:30:45", "RA_BEG=112.5"},
        [] { auto r = eventReport("1", "1"); r.push_back("EXTRA=1"); return r; }(),
    };
    for (std::size_t i = 0; i < damaged.size(); ++i) addEvent(night, "0100" + std::to_string(10 + i) + "_000", damaged[i]);
    addEvent(night, "22", eventReport("1.0", "0.5"));  // sound, but its name dates no R90 record

    for (int r90 : {0, 1}) {
        notifier.reports.clear();
        const std::string path = r90 ? writeR90Export(night, program.str(), southWest, notifier)
                                     : writeDailySummary(night, program.str(), southWest, notifier);
        const std::vector<std::string> lines = readTextLines(path);
        ASSERT_EQ(lines.size(), r90 ? 2u : 3u) << path;
        EXPECT_TRUE(lines[1].starts_with(r90 ? "R90,2023,12,14,00,00,00,2.5,0.5," : "14.12.2023,18:30:45,112.5,")) << lines[1];
        const std::size_t skipped = damaged.size() + (r90 ? 1 : 0);
        const std::vector<TDiagnostic>& told = notifier.reports;
        ASSERT_EQ(told.size(), skipped + 1) << path;
        // Why each report is refused, in event order.
        const Code why[] = {Code::ExportReportNumberOutside,     Code::ExportReportNumberOutside,
                            Code::ExportReportNumberOutside,     Code::ExportReportNumberOutside,
                            Code::ExportReportNumberOutside,     Code::ExportReportDateInvalid,
                            Code::ExportReportTimeInvalid,       Code::ExportReportTimeInvalid,
                            Code::ExportReportMagnitudeInvalid,  Code::ExportReportMagnitudeInvalid,
                            Code::ExportReportMagnitudeInvalid,  Code::ExportReportNumberNotPositive,
                            Code::ExportReportNumberNotPositive, Code::ExportReportNumberNotPositive,
                            Code::ExportReportNumberOutside,     Code::ExportReportNumberNotPositive,
                            Code::ExportReportNumberNotPositive, Code::ExportReportNumberOutside,
                            Code::ExportReportCharactersInvalid, Code::ExportReportCharactersInvalid,
                            Code::ExportReportValueEmpty,        Code::ExportReportKeyMissing,
                            Code::ExportReportLineCount,         Code::ExportReportLineCount};
        ASSERT_EQ(std::size(why), damaged.size());
        for (std::size_t i = 0; i < damaged.size(); ++i) {
            const std::string report = night + "/0100" + std::to_string(10 + i) + "_000/M0100" + std::to_string(10 + i) + "_000.txt";
            EXPECT_EQ(told[i].code(), why[i]) << i << ": " << told[i].plain();
            EXPECT_EQ(told[i].value("file"), report);
            EXPECT_EQ(told[i].value("target"), path);
            EXPECT_EQ(told[i].severity(), Severity::Warning);
        }
        // The warning names the line and the range.
        EXPECT_EQ(told[16].value("text"), "TIM_FL=60.001");
        EXPECT_EQ(told[16].value("high"), "60");
        EXPECT_EQ(told[21].value("key"), "DEC_BEG=");
        EXPECT_EQ(told[21].value("line"), "4");
        EXPECT_EQ(told[22].value("lines"), "3");
        if (r90) {
            EXPECT_EQ(told[damaged.size()].code(), Code::ExportEventNameNotTime);
        }
        EXPECT_EQ(told.back(), TDiagnostic(Code::ExportWrittenWithoutEvents, Severity::Warning)
                                   .with("file", path)
                                   .with("count", skipped));
    }
}

// The comma-separated fields of a line.
std::size_t fieldCount(const std::string& line) {
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1;
}

TEST_F(NightExports, CameraAndObserverTextsKeepTheFieldsOfEveryLine) {
    addEvent(night, "213045_123", eventReport("$", "0.64"));
    addEvent(night, "220000_000", eventReport("1.5", "0.7"));
    struct Case {
        std::string camera, observer;            // as set
        std::string cameraField, observerField;  // as written
    };
    const std::vector<Case> cases = {
        {"Cam1", "Müller, J.", "Cam1", "Muller J."},
        {"Kraków,East", "Łukasz Żółć", "Krakow East", "Lukasz Zolc"},
        {"Cam\t1,", ",Ivanov,,I.", "Cam 1", "Ivanov I."},
        {"Камера 日本", "Smith", "Камера ??", "Smith"},
        // Texts that fit are written as they are, with no warning.
        {"Камера «Север» №2", "Иванов И.И.", "Камера «Север» №2", "Иванов И.И."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.camera + " / " + c.observer);
        TConfiguration config = southWest;
        config.setName(c.camera);
        config.setObserver(c.observer);
        notifier.reports.clear();
        const std::string summary = writeDailySummary(night, program.str(), config, notifier);
        const std::string r90 = writeR90Export(night, program.str(), config, notifier);
        const std::string month = writeMonthlyR90Export(program.str(), "202312", config, notifier);

        for (const std::string& line : readTextLines(summary)) EXPECT_EQ(fieldCount(line), 16u) << line;
        EXPECT_EQ(readTextLines(summary).at(1),
                  "14.12.2023,18:30:45,112.5,32.1,118.25,30.5,$,35.2,12.4,0.64,GEM,33.9S,70.65W,150.5," + c.cameraField +
                      "," + c.observerField);
        for (const std::string& path : {r90, month}) {
            const auto lines = readTextLines(path);
            ASSERT_EQ(lines.size(), 3u) << path;
            for (const std::string& line : lines) EXPECT_EQ(fieldCount(line), 22u) << line;
            EXPECT_TRUE(lines[1].ends_with(",30.5," + c.cameraField + ",-70.65,-33.9,150.5,-3")) << lines[1];
        }

        // One warning per file and changed setting, naming both texts, before the completion messages.
        const auto warning = [](const std::string& setting, const std::string& text, const std::string& path,
                                const std::string& field) {
            return TDiagnostic(Code::ExportSettingRewritten, Severity::Warning)
                .with("setting", setting)
                .with("text", text)
                .with("target", path)
                .with("written", field);
        };
        std::vector<TDiagnostic> expected;
        const bool camera = c.camera != c.cameraField, observer = c.observer != c.observerField;
        if (camera) expected.push_back(warning("[Camera] name", c.camera, summary, c.cameraField));
        if (observer) expected.push_back(warning("[Observatory] observer", c.observer, summary, c.observerField));
        if (camera) expected.push_back(warning("[Camera] name", c.camera, r90, c.cameraField));
        if (camera) expected.push_back(warning("[Camera] name", c.camera, month, c.cameraField));
        std::vector<TDiagnostic> warned;
        for (const TDiagnostic& d : notifier.reports)
            if (d.severity() == Severity::Warning) warned.push_back(d);
        EXPECT_EQ(warned, expected);
        EXPECT_EQ(notifier.reports.size(), expected.size() + 3);
    }
}

TEST_F(NightExports, R90HeaderOnlyWithoutReports) {
    std::filesystem::create_directories(night + "/010000_000");
    writeR90Export(night, program.str(), southWest, notifier);
    EXPECT_EQ(readFileBytes(night + "/ME20231214.csv"), kR90Header + "\r\n");
    EXPECT_EQ(notifier.reportedCodes(), std::vector{Code::ExportWritten});
}

TEST_F(NightExports, MonthlyR90TakesTheMonthsNightsInDateOrder) {
    for (const char* dir : {"20231214", "20231203", "20231101", "2023120x", "202312031", "20231232"}) {
        addEvent((program / dir).string(), std::string("01020") + dir[7] + "_000", eventReport("1.5", "0.7"));
    }
    const TConfiguration east = station(52.43, false, 30.98, false);
    const std::string path = writeMonthlyR90Export(program.str(), "202312", east, notifier);

    EXPECT_EQ(path, program.str() + "/ME202312.csv");
    const std::string tail = ",1.5,0.7,999.9,999.9,999.9,999.9,112.5,32.1,118.25,30.5,Cam1,30.98,52.43,0,0";
    EXPECT_EQ(readTextLines(path), (std::vector<std::string>{kR90Header, "R90,2023,12,03,01,02,03" + tail,
                                                            "R90,2023,12,14,01,02,04" + tail}));
    // 20231232 is no date: its event is left out.
    ASSERT_EQ(notifier.reports.size(), 2u);
    EXPECT_EQ(notifier.reports[0].code(), Code::ExportNightNameNotDate);
    EXPECT_EQ(notifier.reports[0].value("night"), "20231232");
    EXPECT_TRUE(notifier.reports[0].value("file").ends_with("/20231232/010202_000/M010202_000.txt"));
    EXPECT_EQ(notifier.reports[1].code(), Code::ExportWrittenWithoutEvents);
    for (const char* bad : {"2023", "202313", "2023a2", "20231200"}) {
        try {
            writeMonthlyR90Export(program.str(), bad, TConfiguration(), notifier);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.diagnostic(), TDiagnostic(Code::ExportMonthInvalid).with("text", bad));
        }
    }
}

}  // namespace
}  // namespace orbis
