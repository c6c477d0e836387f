// Night exports: the daily summary and the R90 files, byte for byte, on
// nights built in a temporary program directory.

#include <gtest/gtest.h>

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
    addEvent(night, "013000_500", {"UT_DATE=15.12.2023", "no equals sign", "KEY=a=b=c"});
    addEvent(night, "120000_000", {});  // no report: skipped

    const std::string path = writeDailySummary(night, program.str(), southWest, notifier);

    EXPECT_EQ(path, night + "/M20231214.txt");
    const std::string tail = "33.9S,70.65W,150.5,Cam1," + utf8ToCp1251("Иванов") + "\r\n";
    EXPECT_EQ(readFileBytes(path),
              "data_UT,time_UT,ra1,dec1,ra2,dec2,magn,velo,leng,tim_fl,type,lat,lon,alt,cam,observer\r\n"
              "15.12.2023,no equals sign,a=b=c," + tail +
              "14.12.2023,18:30:45,112.5,32.1,118.25,30.5,$,35.2,12.4,0.64,GEM," + tail);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].caption, "Orbisight 2.0");
    EXPECT_EQ(notifier.messages[0].text, "Отчёт " + night + "/M20231214.txt сформирован!");
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Information);

    // Zero is north and west, whichever side the settings name.
    for (bool side : {false, true}) {
        writeDailySummary(night, program.str(), station(0, side, 0, side), notifier);
        EXPECT_EQ(readTextLines(path).at(1), "15.12.2023,no equals sign,a=b=c,0N,0W,0,Cam1,");
    }
}

TEST_F(NightExports, R90RecordFromNamesAndReportPositions) {
    test::SeparatorScope comma(',');
    addEvent(night, "213045_123", eventReport("$", "0.64"));
    addEvent(night, "22", eventReport("-1.5", "1.2"));  // short name: short fields

    const std::string path = writeR90Export(night, program.str(), southWest, notifier);

    EXPECT_EQ(path, night + "/ME20231214.csv");
    const std::string tail = ",999.9,999.9,999.9,999.9,112.5,32.1,118.25,30.5,Cam1,-70.65,-33.9,150.5,-3\r\n";
    EXPECT_EQ(readFileBytes(path), kR90Header + "\r\nR90,2023,12,14,21,30,45,$,0.64" + tail +
                                       "R90,2023,12,14,22,,,-1.5,1.2" + tail);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "Отчёт " + path + " сформирован!");
}

TEST_F(NightExports, R90HeaderOnlyWithoutReportsAndNothingAfterAShortOne) {
    std::filesystem::create_directories(night + "/010000_000");
    writeR90Export(night, program.str(), southWest, notifier);
    EXPECT_EQ(readFileBytes(night + "/ME20231214.csv"), kR90Header + "\r\n");
    EXPECT_EQ(notifier.messages.size(), 1u);

    const std::string other = (program / "20231215").string();
    addEvent(other, "010000_000", eventReport("1.0", "0.5"));
    addEvent(other, "213045_123", {"UT_DATE=14.12.2023", "UT_TIME=18:30:45", "RA_BEG=112.5"});
    try {
        writeR90Export(other, program.str(), southWest, notifier);
        ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_NE(std::string(e.what()).find("/213045_123/M213045_123.txt"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(other + "/ME20231215.csv"));
    EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(NightExports, MonthlyR90TakesTheMonthsNightsInDateOrder) {
    for (const char* dir : {"20231214", "20231203", "20231101", "2023120x", "202312031"}) {
        addEvent((program / dir).string(), std::string("01020") + dir[7] + "_000", eventReport(dir, "0.7"));
    }
    const TConfiguration east = station(52.43, false, 30.98, false);
    const std::string path = writeMonthlyR90Export(program.str(), "202312", east, notifier);

    EXPECT_EQ(path, program.str() + "/ME202312.csv");
    const std::string tail = ",0.7,999.9,999.9,999.9,999.9,112.5,32.1,118.25,30.5,Cam1,30.98,52.43,0,0";
    EXPECT_EQ(readTextLines(path), (std::vector<std::string>{kR90Header, "R90,2023,12,03,01,02,03,20231203" + tail,
                                                            "R90,2023,12,14,01,02,04,20231214" + tail}));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "Отчёт " + path + " сформирован!");
    for (const char* bad : {"2023", "202313", "2023a2", "20231200"}) {
        EXPECT_THROW(writeMonthlyR90Export(program.str(), bad, TConfiguration(), notifier), EConvertError) << bad;
    }
}

}  // namespace
}  // namespace orbis
