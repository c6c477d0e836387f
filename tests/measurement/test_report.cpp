// Track file, track coordinates, magnitudes, shower and event report from
// hand-made work files.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <utility>

#include "TempDir.h"
#include "astro/matlib.h"
#include "astro/sphlib.h"
#include "astro/sunlib.h"
#include "astro/timlib.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "measurement/uEventReport.h"
#include "measurement/uPhotometry.h"
#include "measurement/uTrack.h"

namespace orbis {
namespace {

using Lines = std::vector<std::string>;

struct Event {
    test::TempDir station;
    std::string dir = (station / "20231214" / "213045_120").string();
    std::string stem = dir + "/M213045_120";
    TConfiguration config;
    Event() {
        std::filesystem::create_directories(dir);
        config.setPathToCatalogs(station.str());
    }
};

// Reference stars placed exactly by a plate of 800 px per radian about the
// centre pixel (320, 240), and the centre line.
Lines plateLines(TSkyPoint centre) {
    Lines lines;
    for (auto [x, y] : {std::pair{100, 80}, {500, 90}, {320, 400}, {60, 420}, {600, 380}, {250, 200}}) {
        double ra = 0, dec = 0;
        STDEQU(centre.ra, centre.dec, -(x - 320) / 800.0, -(y - 240) / 800.0, ra, dec);
        lines.push_back(floatToText(ra < 0 ? ra + 360 : ra) + "|" + floatToText(dec) + "|" + std::to_string(x) + "|" +
                        std::to_string(y) + "|3.5|Star|A0");
    }
    lines.push_back(floatToText(centre.ra) + "|" + floatToText(centre.dec) + "|320|240|0.00|CENTER|CENTER");
    return lines;
}

TEST(Track, FileLinesStartFirstWithTheOneMeasurement) {
    EXPECT_EQ(trackFileLines({412, 133, 12}, {488, 201, 17}, TTrackBrightness{19, 2210}),
              (Lines{"0|0|412|133|12|2210|START", "0|0|488|201|17|19|FINISH"}));
    EXPECT_EQ(trackFileLines({1, 2, 0}, {3, 4, 0}, std::nullopt), (Lines{"0|0|1|2|0|0|START", "0|0|3|4|0|0|FINISH"}));
    EXPECT_EQ(frameNumberOfFile("F012.bmp"), 12);
    EXPECT_EQ(frameNumberOfFile("M213045_120R.bmp"), 0);
    EXPECT_EQ(frameNumberOfFile("F1000.bmp"), 0);
}

TEST(Track, RefusedWhenItContradictsItsFrames) {
    Event e;
    const std::string path = e.dir + "/MeteorTrack.txt";
    const auto problem = [&](const Lines& lines) {
        writeTextLines(path, lines);
        return trackProblem(path, 35, 640, 240);
    };
    EXPECT_EQ(problem(trackFileLines({0, 0, 1}, {639, 239, 35}, std::nullopt)), std::nullopt);
    EXPECT_EQ(problem(Lines{"0|0|5|5|3|1|START"}), std::nullopt);  // unfinished: left to the report's own message
    // Every refusal names the file and the line, and the values at fault.
    const auto at = [&](Code code, int line) { return TDiagnostic(code).with("file", path).with("line", line); };
    const std::pair<Lines, TDiagnostic> refused[] = {
        {trackFileLines({10, 20, 4}, {30, 40, 999}, std::nullopt),
         at(Code::TrackFrameOutside, 2).with("frame", "999").with("count", 35)},
        {trackFileLines({10, 20, 0}, {30, 40, 5}, std::nullopt),
         at(Code::TrackFrameOutside, 1).with("frame", "0").with("count", 35)},
        {trackFileLines({10, 20, -5}, {30, 40, 5}, std::nullopt),
         at(Code::TrackFrameOutside, 1).with("frame", "-5").with("count", 35)},
        {trackFileLines({-5000, 20, 3}, {30, 40, 5}, std::nullopt),
         at(Code::TrackPointOutside, 1).with("x", "-5000").with("y", "20").with("width", 640).with("height", 240)},
        {trackFileLines({10, 20, 3}, {99999, 40, 5}, std::nullopt),
         at(Code::TrackPointOutside, 2).with("x", "99999").with("y", "40").with("width", 640).with("height", 240)},
        {trackFileLines({10, 20, 3}, {30, 240, 5}, std::nullopt),  // the doubled height
         at(Code::TrackPointOutside, 2).with("x", "30").with("y", "240").with("width", 640).with("height", 240)},
        {trackFileLines({10, 20, 3}, {10, 20, 5}, std::nullopt), at(Code::TrackWithoutLength, 2).with("x", 10).with("y", 20)},
        {trackFileLines({10, 20, 8}, {30, 40, 3}, std::nullopt),
         at(Code::TrackEndsBeforeStart, 2).with("finish", 3).with("start", 8)},
        {Lines{"0|0|1|2|3|4|START", "0|0|1|x|5|4|FINISH"}, at(Code::TrackLineNotNumbers, 2)},
        {Lines{"0|0|1|2|3|4|START", "0|0|1|2|3.5|4|FINISH"},
         at(Code::TrackFrameOutside, 2).with("frame", "3.5").with("count", 35)},
        {Lines{"0|0|1|2|3|4|START", "0|0|9|9|3|4|START"}, at(Code::TrackLineRepeated, 2).with("tag", "START")},
        {Lines{"0|0|1|2|3|4|START", "", "0|0|9|9|5|4|FINISH"}, at(Code::TrackLineNotStartOrFinish, 2)},
        {Lines{"0|0|1|2|3|4|START", "0|0|1|2|5|4|FINISH|x"}, at(Code::TrackLineFieldCount, 2).with("tag", "FINISH")},
        {Lines{"0|0|1|2|3|-4|START"}, at(Code::TrackBrightnessInvalid, 1).with("value", "-4")},
        {Lines{"0|y|1|2|3|4|START"}, at(Code::TrackFieldNotNumber, 1).with("field", 2).with("value", "y")},
    };
    for (const auto& [lines, expected] : refused) {
        const auto got = problem(lines);
        ASSERT_TRUE(got) << expected.plain();
        EXPECT_EQ(*got, expected) << got->plain();
    }
}

TEST(Photometry, TrackCoordinatesFromThePlate) {
    Event e;
    const std::string aTxt = e.stem + "A.txt";
    Lines a = plateLines({150, 40});
    a.push_back("0|0|133|133|12|2210|START|");
    a.push_back("0|0|20|460|17|19|FINISH|");
    writeTextLines(aTxt, a);
    ASSERT_TRUE(computeTrackCoordinates(aTxt));
    const Lines out = readTextLines(aTxt);
    double ra = 0, dec = 0;
    STDEQU(150, 40, -(133 - 320) / 800.0, -(133 - 240) / 800.0, ra, dec);
    EXPECT_EQ(out[7], formatFloat("0.000", ra, '.') + "|" + formatFloat("0.000", dec, '.') + "|133|133|12|2210|START|");
    EXPECT_TRUE(out[8].ends_with("|20|460|17|19|FINISH|"));
    EXPECT_EQ(Lines(out.begin(), out.begin() + 7), Lines(a.begin(), a.begin() + 7));

    // Two reference stars do not fix a plate: the placeholders stay.
    Lines few = {a[0], a[1], a[6], "0|0|133|133|12|2210|START|"};
    writeTextLines(aTxt, few);
    EXPECT_FALSE(computeTrackCoordinates(aTxt));
    EXPECT_EQ(readTextLines(aTxt), few);
    writeTextLines(aTxt, Lines{a[0], "1|x|3|4|5|a|b", a[6], "0|0|133|133|12|2210|START|"});
    EXPECT_THROW(computeTrackCoordinates(aTxt), EConvertError);
    // A position beyond any frame is refused before it reaches int.
    writeTextLines(aTxt, Lines{a[0], a[1], a[2], a[6], "0|0|1e10|133|12|2210|START|"});
    EXPECT_THROW(computeTrackCoordinates(aTxt), EConvertError);
}

TEST(Photometry, CatalogMagnitudesOfMeasuredStarsAndMappedTrackLines) {
    Event e;
    writeTextLines(e.stem + "M.txt", Lines{"0|0|100|50|900|12", "0|0|300|300|500|9"});
    writeTextLines(e.stem + "S.txt", Lines{"1|2|104|104|3.1|A|B", "1|2|102|98|2.7|C|D", "5|6|400|400|4.0|E|F"});
    const PointMapping doubled = [](int&, int& y) { y *= 2; };
    attachCatalogMagnitudes(e.stem + "M.txt", e.stem + "S.txt", doubled);
    EXPECT_EQ(readTextLines(e.stem + "M.txt"), (Lines{"0|0|100|100|900|12|2.7", "0|0|300|600|500|9|"}));
    // Positions: at most a picture's size off the largest picture read,
    // compared at the ends of int once mapped.
    writeTextLines(e.stem + "M.txt", Lines{"0|0|1|-49152|5|1"});
    writeTextLines(e.stem + "S.txt", Lines{"1|2|1|98304|3.1|A|B"});
    const PointMapping farDown = [](int&, int& y) { y = std::numeric_limits<int>::min(); };
    attachCatalogMagnitudes(e.stem + "M.txt", e.stem + "S.txt", farDown);
    EXPECT_EQ(readTextLines(e.stem + "M.txt"), (Lines{"0|0|1|-2147483648|5|1|"}));
    writeTextLines(e.stem + "M.txt", Lines{"0|0|1|1073741824|5|1"});
    try {
        attachCatalogMagnitudes(e.stem + "M.txt", e.stem + "S.txt", doubled);
        ADD_FAILURE() << "a position beyond any frame was read";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.diagnostic(), TDiagnostic(Code::WorkFieldOutOfRange)
                                          .with("file", e.stem + "M.txt")
                                          .with("line", 1)
                                          .with("field", 4)
                                          .with("text", "1073741824")
                                          .with("kind", "pixel")
                                          .with("low", "-49152")
                                          .with("high", "98304"));
    }

    writeTextLines(e.dir + "/MeteorTrack.txt", trackFileLines({10, 20, 3}, {30, 40, 5}, TTrackBrightness{7, 800}));
    EXPECT_EQ(mappedTrackLines(e.dir + "/MeteorTrack.txt", doubled),
              (Lines{"0|0|10|40|3|800|START|", "0|0|30|80|5|7|FINISH|"}));
}

TEST(Report, MeteorMagnitudeAgainstTheSteadiestReference) {
    Event e;
    const std::string aTxt = e.stem + "A.txt", mTxt = e.stem + "M.txt";
    writeTextLines(aTxt, Lines{"1|2|3|4|5|6|7", "10|20|5|5|3|1000|START|"});
    writeTextLines(mTxt, Lines{"0|0|1|1|10000|9|2.5", "0|0|2|2|500|5|"});
    // One star with a magnitude: deviation 0, m + 2.5 log10(F_star / F).
    EXPECT_NEAR(meteorMagnitude(aTxt, mTxt), 2.5 + 2.5 * std::log10(10.0), 1e-12);
    // Three stars that agree exactly: no deviation either.
    writeTextLines(mTxt, Lines{"0|0|1|1|10000|9|2.5", "0|0|2|2|1000|5|5", "0|0|3|3|100000|15|0"});
    EXPECT_NEAR(meteorMagnitude(aTxt, mTxt), 5.0, 1e-9);
    EXPECT_EQ(meteorMagnitude(aTxt, e.stem + "missing.txt"), kNoMagnitude);
    writeTextLines(aTxt, Lines{"10|20|5|5|3|0|START|"});
    EXPECT_EQ(meteorMagnitude(aTxt, mTxt), kNoMagnitude);  // never measured
    writeTextLines(aTxt, Lines{"1|2|3|4|5|6|7"});
    EXPECT_EQ(meteorMagnitude(aTxt, mTxt), kNoMagnitude);  // no START line
    writeTextLines(aTxt, Lines{"10|20|5|5|3|100|START|"});
    writeTextLines(mTxt, Lines{"0|0|1|1|many|9|2.5"});
    EXPECT_THROW(meteorMagnitude(aTxt, mTxt), EConvertError);

    // Damaged lines are refused by the reader; a result beyond any meteor
    // leaves the magnitude missing, with the reason for a warning.
    writeTextLines(aTxt, Lines{"10|20|5|5|3|1000|START|"});
    std::optional<TDiagnostic> why = TDiagnostic(Code::Unworded);
    writeTextLines(mTxt, Lines{"0|0|1|1|10000|9|2.5"});
    EXPECT_NEAR(meteorMagnitude(aTxt, mTxt, &why), 2.5 + 2.5 * std::log10(10.0), 1e-12);
    EXPECT_EQ(why, std::nullopt);
    for (const char* damaged : {"0|0|2|2|0.0000001|5|5", "0|0|3|3|100|5|1e20", "0|0|1|1|10000|9|-1e308"}) {
        writeTextLines(mTxt, Lines{"0|0|1|1|10000|9|2.5", damaged});
        EXPECT_THROW(meteorMagnitude(aTxt, mTxt, &why), EConvertError) << damaged;
    }
    writeTextLines(mTxt, Lines{"0|0|1|1|10000|9|2.5"});
    writeTextLines(aTxt, Lines{"10|20|5|5|3|1e13|START|"});
    EXPECT_THROW(meteorMagnitude(aTxt, mTxt, &why), EConvertError);
    writeTextLines(mTxt, Lines{"0|0|1|1|600000000000|9|2.5"});
    writeTextLines(aTxt, Lines{"10|20|5|5|3|1|START|"});  // 31.9: beyond any meteor
    EXPECT_EQ(meteorMagnitude(aTxt, mTxt, &why), kNoMagnitude);
    ASSERT_TRUE(why);
    EXPECT_EQ(why->code(), Code::MeteorMagnitudeImplausible);
    EXPECT_EQ(why->severity(), Severity::Warning);
}

// The point `lengths` track lengths behind the beginning, on the track's
// great circle.
TSkyPoint behind(TSkyPoint begin, TSkyPoint end, double lengths) {
    auto vec = [](TSkyPoint p) { return std::array<double, 3>{CS(p.dec) * CS(p.ra), CS(p.dec) * SN(p.ra), SN(p.dec)}; };
    const auto b = vec(begin), e = vec(end);
    const double length = ACS(b[0] * e[0] + b[1] * e[1] + b[2] * e[2]) * lengths;
    // Direction of travel at the beginning, away from the end.
    std::array<double, 3> t{};
    const double c = b[0] * e[0] + b[1] * e[1] + b[2] * e[2];
    double norm = 0;
    for (int i = 0; i < 3; ++i) {
        t[static_cast<std::size_t>(i)] = b[static_cast<std::size_t>(i)] * c - e[static_cast<std::size_t>(i)];
        norm += t[static_cast<std::size_t>(i)] * t[static_cast<std::size_t>(i)];
    }
    std::array<double, 3> p{};
    for (std::size_t i = 0; i < 3; ++i) p[i] = b[i] * CS(length) + t[i] / std::sqrt(norm) * SN(length);
    double r = 0, dec = 0, ra = 0;
    POLAR(p[0], p[1], p[2], r, dec, ra);
    return {ra, dec};
}

// A track whose great circle passes `offset` degrees from the radiant, flown
// away from it towards `angle` (in the gnomonic plane about the radiant, where
// great circles are straight lines), 18 to 22.5 degrees past the circle's
// point nearest the radiant: four track lengths behind the beginning.
std::pair<TSkyPoint, TSkyPoint> trackPast(TSkyPoint radiant, double offset, double angle) {
    auto at = [&](double along) {
        const double t = TN(along) / CS(offset), p = TN(offset);
        TSkyPoint point{};
        STDEQU(radiant.ra, radiant.dec, CS(angle) * t - SN(angle) * p, SN(angle) * t + CS(angle) * p, point.ra, point.dec);
        return point;
    };
    return {at(18), at(22.5)};
}

double sunAt(TDateTime ut) {
    const DateTimeParts t = decodeDateTime(ut);
    double l = 0, b = 0, r = 0;
    SUN200((MJD(t.day, t.month, t.year, t.hour + t.minute / 60.0) - 51544.5) / 36525.0, l, b, r);
    return l;
}

TEST(Report, ShowerFromTheRadiantBehindTheTrack) {
    Event e;
    const std::string cat = (e.station / "rads.csv").string();
    const TSkyPoint begin{100, 20}, end{104.5, 14.2};
    const TDateTime ut = encodeDateTime({2024, 3, 22, 0, 0, 0, 0});
    const double sun = sunAt(ut);
    ASSERT_GT(sun, 0);
    ASSERT_LT(sun, 5);
    auto catalogWith = [&](TSkyPoint radiant, const char* window) {
        writeTextLines(cat, Lines{"No,IAU,Name,Code,V,LsStart,LsEnd,LsMax,RA,Dec,dRA,dDec",
                                  "1,1,Test,TST,30," + std::string(window) + "," + floatToText(sun) + "," +
                                      floatToText(radiant.ra) + "," + floatToText(radiant.dec) + ",0.5,0.2"});
    };
    catalogWith(behind(begin, end, 3), "355,5");  // active through 360 at the event
    EXPECT_EQ(findShower(ut, end.ra, end.dec, begin.ra, begin.dec, cat), "TST");
    catalogWith(behind(begin, end, 1.5), "355,5");  // too close behind the beginning
    EXPECT_EQ(findShower(ut, end.ra, end.dec, begin.ra, begin.dec, cat), "SPO");
    // Maximum at 358, the event at about 2: four degrees of drift past the
    // maximum, not 356 before it.
    {
        const TSkyPoint radiant = behind(begin, end, 3);
        const double maximum = sun + 356;
        writeTextLines(cat, Lines{"No,IAU,Name,Code,V,LsStart,LsEnd,LsMax,RA,Dec,dRA,dDec",
                                  "1,1,Test,TST,30,355,5," + floatToText(maximum) + "," + floatToText(radiant.ra - 0.5 * 4) +
                                      "," + floatToText(radiant.dec - 0.2 * 4) + ",0.5,0.2"});
        EXPECT_EQ(findShower(ut, end.ra, end.dec, begin.ra, begin.dec, cat), "TST");
    }
    // The distance from the track's great circle decides, whichever way the
    // meteor flies past the radiant.
    catalogWith({150, 30}, "355,5");
    for (int k = 0; k < 8; ++k) {
        const double angle = 45.0 * k + 10;
        const auto [nearB, nearE] = trackPast({150, 30}, 1.8, angle);
        EXPECT_EQ(findShower(ut, nearE.ra, nearE.dec, nearB.ra, nearB.dec, cat), "TST") << angle;
        const auto [farB, farE] = trackPast({150, 30}, 4.5, angle);
        EXPECT_EQ(findShower(ut, farE.ra, farE.dec, farB.ra, farB.dec, cat), "SPO") << angle;
    }
    // No great circle through the track: no shower, and no failure.
    EXPECT_EQ(findShower(ut, 150, 30, 150, 30, cat), "SPO");
    EXPECT_EQ(findShower(ut, 330, -30, 150, 30, cat), "SPO");
    EXPECT_EQ(findShower(ut, NAN, 30, 150, 30, cat), "SPO");
    catalogWith(behind(begin, end, 3), "6,20");  // not active
    EXPECT_EQ(findShower(ut, end.ra, end.dec, begin.ra, begin.dec, cat), "SPO");
    writeTextLines(cat, Lines{"header", "1,1,Test,TST,30,355,5,x,100,20,0,0"});
    EXPECT_THROW(findShower(ut, end.ra, end.dec, begin.ra, begin.dec, cat), EConvertError);
}

TEST(Report, WithoutRadiantsTheShowerIsUnknownNotSporadic) {
    Event e;
    const std::string cat = (e.station / "rads.csv").string();
    const TDateTime ut = encodeDateTime({2024, 8, 12, 23, 0, 0, 0});
    const auto shower = [&](std::optional<TDiagnostic>* problem) { return findShower(ut, 50, 50, 46, 56, cat, problem); };
    std::optional<TDiagnostic> problem = TDiagnostic(Code::Unworded);
    EXPECT_EQ(shower(&problem), "$");
    EXPECT_EQ(problem, TDiagnostic(Code::RadiantCatalogMissing, Severity::Warning).with("file", cat));
    for (const Lines& empty : {Lines{}, Lines{"No,IAU,Name,Code,V,LsStart,LsEnd,LsMax,RA,Dec,dRA,dDec"}, Lines{"h", "", ""}}) {
        writeTextLines(cat, empty);
        EXPECT_EQ(shower(&problem), "$") << empty.size();
        EXPECT_EQ(problem, TDiagnostic(Code::RadiantCatalogEmpty, Severity::Warning).with("file", cat));
    }
    // One radiant, far from this track: a sporadic meteor, and no problem.
    writeTextLines(cat, Lines{"h", "1,1,Test,TST,30,100,200,140,0,-80,0,0"});
    EXPECT_EQ(shower(&problem), "SPO");
    EXPECT_EQ(problem, std::nullopt);
    EXPECT_EQ(shower(nullptr), "SPO");
}

TEST(Report, WrittenFromATxtOrNotAtAll) {
    Event e;
    e.config.setTimeZone(3);
    const std::string aTxt = e.stem + "A.txt", report = e.stem + ".txt";
    writeTextLines(aTxt, Lines{"1|2|3|4|5|6|7", "100.000|20.000|5|5|12|1000|START|", "104.500|14.200|9|9|12|19|FINISH|"});
    ASSERT_EQ(writeEventReport(report, 1.234, e.config, e.station.str()), TReportOutcome::Written);
    const Lines r = readTextLines(report);
    ASSERT_EQ(r.size(), 11u);
    EXPECT_EQ(r[0], "UT_DATE=14.12.2023");
    EXPECT_EQ(r[1], "UT_TIME=18:30:45");  // local 21:30:45, three hours east
    EXPECT_EQ(r[2], "RA_BEG=100.000");
    EXPECT_EQ(r[5], "DEC_END=14.200");
    EXPECT_EQ(r[6], "MAGN=1.23");
    const double length = ACS(SN(20) * SN(14.2) + CS(20) * CS(14.2) * CS(100 - 104.5));
    EXPECT_EQ(r[7], "VELO=" + formatFloat("0.000", length / 0.04, '.'));  // one frame: TIM_FL = exposure
    EXPECT_EQ(r[8], "LENG=" + formatFloat("0.000", length, '.'));
    EXPECT_EQ(r[9], "TIM_FL=0.040");
    EXPECT_EQ(r[10], "SHOWER=$");  // no radiant catalog: not determined

    std::optional<TDiagnostic> showerProblem;
    writeEventReport(report, kNoMagnitude, e.config, e.station.str(), &showerProblem);
    EXPECT_EQ(readTextLines(report)[6], "MAGN=$");
    ASSERT_TRUE(showerProblem);
    EXPECT_EQ(showerProblem->code(), Code::RadiantCatalogMissing);
    EXPECT_EQ(showerProblem->value("file"), e.station.str() + "/ULE_J8.csv");
    writeTextLines(e.station.str() + "/ULE_J8.csv", Lines{"h", "1,1,Test,TST,30,0,359.9,140,0,-80,0,0"});
    writeEventReport(report, kNoMagnitude, e.config, e.station.str(), &showerProblem);
    EXPECT_EQ(readTextLines(report)[10], "SHOWER=SPO");
    EXPECT_EQ(showerProblem, std::nullopt);

    // A track never marked: no report, the old one stays.
    writeTextLines(aTxt, Lines{"1|2|3|4|5|6|7", "100|20|5|5|12|1000|START|"});
    EXPECT_EQ(writeEventReport(report, 1, e.config, e.station.str()), TReportOutcome::NoTrack);
    EXPECT_EQ(readTextLines(report)[6], "MAGN=$");
    writeTextLines(aTxt, Lines{"1|2|3|4|5|6|7", "0|0|5|5|12|1000|START|", "x|14|9|9|15|19|FINISH|"});
    EXPECT_THROW(writeEventReport(report, 1, e.config, e.station.str()), EConvertError);
    EXPECT_EQ(readTextLines(report)[6], "MAGN=$");
    // Both ends on one point of the sky: no meteor, the old report stays.
    writeTextLines(aTxt, Lines{"1|2|3|4|5|6|7", "100.000|20.000|5|5|12|1000|START|", "100.000|20.000|6|5|14|19|FINISH|"});
    EXPECT_EQ(writeEventReport(report, 1, e.config, e.station.str()), TReportOutcome::NoLength);
    EXPECT_EQ(readTextLines(report)[6], "MAGN=$");
    // An exposure that is no time: refused before anything is written.
    for (const double exposure : {0.0, -1.0, 1e308}) {
        e.config.setFrameExposure(exposure);
        EXPECT_THROW(writeEventReport(report, 1, e.config, e.station.str()), EConvertError) << exposure;
    }
    EXPECT_EQ(readTextLines(report)[6], "MAGN=$");
    // Frames no meteor's flight spans: refused, naming A.txt; the old report
    // stays.
    e.config.setFrameExposure(0.1);
    const auto track = [&](int startFrame, int finishFrame) {
        writeTextLines(aTxt, Lines{"1|2|3|4|5|6|7", "100.000|20.000|5|5|" + std::to_string(startFrame) + "|1000|START|",
                                   "104.500|14.200|9|9|" + std::to_string(finishFrame) + "|19|FINISH|"});
    };
    for (const auto& [startFrame, finishFrame] : {std::pair{5, 606}, {900, 5}}) {
        track(startFrame, finishFrame);
        try {
            writeEventReport(report, 1, e.config, e.station.str());
            ADD_FAILURE() << finishFrame << " accepted";
        } catch (const EConvertError& error) {
            const TDiagnostic& d = error.diagnostic();
            EXPECT_EQ(d.code(), Code::TrackFramesImplausible);
            EXPECT_EQ(d.value("file"), aTxt);
            EXPECT_EQ(d.value("start"), std::to_string(startFrame));
            EXPECT_EQ(d.value("finish"), std::to_string(finishFrame));
        }
    }
    // Sixty seconds is still a flight; one frame of a short exposure gives
    // a velocity no meteor has.
    track(5, 604);
    EXPECT_EQ(writeEventReport(report, 1, e.config, e.station.str()), TReportOutcome::Written);
    EXPECT_EQ(readTextLines(report)[9], "TIM_FL=60.000");
    track(5, 5);
    e.config.setFrameExposure(0.001);
    EXPECT_THROW(writeEventReport(report, 1, e.config, e.station.str()), EConvertError);
    EXPECT_EQ(readTextLines(report)[9], "TIM_FL=60.000");
    std::filesystem::remove(aTxt);
    e.config.setFrameExposure(0.04);
    EXPECT_EQ(writeEventReport(report, 1, e.config, e.station.str()), TReportOutcome::NoAstrometry);
}

}  // namespace
}  // namespace orbis
