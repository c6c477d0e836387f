// Catalog, sky scan and plate solution on synthetic fields made from the
// shipped catalog with the binding's camera model.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>

#include "DiagnosticTesting.h"
#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/matlib.h"
#include "astro/timlib.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"
#include "astrometry/uStarCatalog.h"
#include "config/uConfiguration.h"

namespace orbis {
namespace {

double separation(TSkyPoint a, TSkyPoint b) {
    const double c = SN(a.dec) * SN(b.dec) + CS(a.dec) * CS(b.dec) * CS(a.ra - b.ra);
    return ACS(c);
}

// An event of the station on 2024-08-12 at 23:10 UT with its detection list.
struct Field {
    test::TempDir station;
    std::string eventDir = (station / "20240812" / "231001_280").string();
    std::string pTxt = eventDir + "/M231001_280P.txt";
    std::string sTxt = eventDir + "/M231001_280S.txt";
    std::string aTxt = eventDir + "/M231001_280A.txt";
    TConfiguration config;
    double theta = 0;

    Field() {
        config.setPathToCatalogs(ORBIS_CATALOG_DIR);
        std::filesystem::create_directories(eventDir);
        theta = LMST(MJD(12, 8, 2024, 23 + 10 / 60.0), config.signedLongitude()) * 15.0;
    }

    // The stars the camera sees at the pointing, rolled about the frame
    // centre (and mirrored left to right), as a detection list: rounded
    // positions, two stars lost, two spurious spots.
    void writeDetections(TSkyPoint pointing, double rollDegrees = 0, uint32_t seed = 1, bool mirrored = false) {
        test::RecordingNotifier quiet;
        const TVisibleSky sky(listStarsByTime(starCatalogPath(config, ""), theta, config.signedLatitude(), quiet));
        TCameraModel camera = TCameraModel::fromConfiguration(config);
        camera.maxStars = 20;
        std::vector<TStarPoint> seen;
        sky.listStarsInFrame(camera, pointing.ra, pointing.dec, theta, seen);
        ASSERT_GE(seen.size(), 12u) << "too few stars at " << pointing.ra << " " << pointing.dec;
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> jitter(-0.4, 0.4), anywhere(20, 460);
        std::vector<std::string> lines;
        const double c = CS(rollDegrees), s = SN(rollDegrees);
        for (std::size_t i = 0; i < seen.size(); ++i) {
            if (i == 3 || i == 7) continue;
            const double dx = (mirrored ? -1 : 1) * (seen[i].X - camera.halfWidth), dy = seen[i].Y - camera.halfHeight;
            const double x = camera.halfWidth + c * dx - s * dy + jitter(rng);
            const double y = camera.halfHeight + s * dx + c * dy + jitter(rng);
            if (x < 0 || y < 0 || x > camera.widthCCD || y > camera.heightCCD) continue;
            lines.push_back("0|0|" + std::to_string(std::lround(x)) + "|" + std::to_string(std::lround(y)) + "|900|12");
        }
        lines.insert(lines.begin() + 5, "0|0|101|333|800|9");
        lines.push_back("0|0|517|41|700|8");
        writeTextLines(pTxt, lines);
    }

    void scanAround(TSkyPoint p, double halfSpan = 10) {
        config.setAutoDetectMinDEC(p.dec - halfSpan);
        config.setAutoDetectMaxDEC(p.dec + halfSpan);
        config.setAutoDetectMinRA(p.ra - halfSpan);
        config.setAutoDetectMaxRA(p.ra + halfSpan);
    }
};

TEST(PlateSolution, BindsSyntheticFieldsMidSkyNearThePoleAndAcrossZeroHours) {
    Field probe;
    const std::vector<TSkyPoint> pointings = {
        {probe.theta - 25, 40},  // mid-sky, south-west
        {300, 78},               // near the pole
        {355, 25},               // across 0h: the field holds stars of RA 340..360 and 0..15
    };
    for (const TSkyPoint truth : pointings) {
        Field f;
        f.writeDetections(truth);
        f.scanAround(truth);
        test::RecordingNotifier n;
        const auto best = alignStarMap(f.pTxt, f.config, "", n, {.threads = 2});
        ASSERT_TRUE(best.has_value());
        EXPECT_TRUE(n.messages.empty()) << n.messages[0].text;
        EXPECT_LE(separation(*best, truth), f.config.autoDetectScanDelta()) << truth.ra << " " << truth.dec;
        const auto refined = findCenterFrame(f.sTxt, best, f.config, n);
        ASSERT_TRUE(refined.has_value()) << truth.ra << " " << truth.dec << ": " << n.messages.back().text;
        EXPECT_LT(separation(*refined, truth), 0.05) << truth.ra << " " << truth.dec;
        const auto a = readTextLines(f.aTxt);
        ASSERT_GE(a.size(), 6u);
        EXPECT_TRUE(a.back().ends_with("|320|240|0.00|CENTER|CENTER")) << a.back();
    }
}

TEST(PlateSolution, TheCentreLineCountsMarginsOnlyWhenTheCorrectionMadeThem) {
    Field f;
    const TSkyPoint truth{f.theta - 25, 40};
    f.config.setAddResultWidth(10);
    f.config.setAddResultHeight(6);
    f.config.setCorrectDistortion(false);  // P.bmp is the camera's 640 x 480
    f.writeDetections(truth);
    f.scanAround(truth);
    test::RecordingNotifier n;
    const auto best = alignStarMap(f.pTxt, f.config, "", n, {.threads = 1});
    ASSERT_TRUE(best.has_value());
    const auto refined = findCenterFrame(f.sTxt, best, f.config, n);
    ASSERT_TRUE(refined.has_value());
    EXPECT_LT(separation(*refined, truth), 0.05);
    EXPECT_TRUE(readTextLines(f.aTxt).back().ends_with("|320|240|0.00|CENTER|CENTER"));
}

TEST(PlateSolution, WithoutACatalogNothingIsScannedAndNoStarListWritten) {
    Field f;
    const TSkyPoint truth{f.theta - 25, 40};
    f.writeDetections(truth);
    f.scanAround(truth);
    f.config.setPathToCatalogs("/nonexistent");
    test::RecordingNotifier n;
    EXPECT_FALSE(alignStarMap(f.pTxt, f.config, "", n, {.threads = 1}).has_value());
    EXPECT_FALSE(n.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(f.sTxt));  // a later run with the catalog scans again
}

TEST(PlateSolution, AScanStepOfNothingOrOfHoursIsRefused) {
    for (const double step : {0.0, -1.0, 0.001}) {  // 0.001 over 20 x 20 degrees: 400 million centres
        Field f;
        const TSkyPoint truth{f.theta - 25, 40};
        f.writeDetections(truth);
        f.scanAround(truth);
        f.config.setAutoDetectScanDelta(step);
        test::RecordingNotifier n;
        EXPECT_FALSE(alignStarMap(f.pTxt, f.config, "", n, {.threads = 1}).has_value()) << step;
        ASSERT_FALSE(n.reports.empty());
        EXPECT_EQ(n.reports.back().code(), Code::ScanStepInvalid) << n.reports.back().plain();
        EXPECT_EQ(n.reports.back().value("step"), floatToText(step));
        EXPECT_FALSE(std::filesystem::exists(f.sTxt));
    }
}

TEST(PlateSolution, BindsAtEveryRollAndMirrored) {
    // A camera turned past about a quarter turn (upside down, sideways) or a
    // mirrored picture describes its star triangles differently from the
    // north-up catalog projection.
    std::vector<std::pair<double, bool>> cases;
    for (int roll = 0; roll < 360; roll += 15) cases.emplace_back(roll, false);
    for (double roll : {0.0, 75.0, 180.0, 250.0}) cases.emplace_back(roll, true);
    for (const auto& [roll, mirrored] : cases) {
        Field f;
        const TSkyPoint truth{f.theta - 25, 40};
        f.writeDetections(truth, roll, 1, mirrored);
        f.scanAround(truth, 6);
        test::RecordingNotifier n;
        const auto best = alignStarMap(f.pTxt, f.config, "", n);
        ASSERT_TRUE(best.has_value());
        const auto refined = findCenterFrame(f.sTxt, best, f.config, n);
        if (!refined) { ADD_FAILURE() << roll << (mirrored ? " mirrored" : ""); continue; }
        EXPECT_LT(separation(*refined, truth), 0.05) << roll << (mirrored ? " mirrored" : "");
    }
}

TEST(PlateSolution, AStarFarFromItsFittedPlaceIsNoReferenceStarAndThePlateMustExplainTheDetections) {
    Field f;
    const TSkyPoint truth{f.theta - 25, 40};
    f.writeDetections(truth);
    f.scanAround(truth);
    test::RecordingNotifier n;
    const auto best = alignStarMap(f.pTxt, f.config, "", n, {.threads = 1});
    ASSERT_TRUE(best.has_value());
    std::vector<std::string> s = readTextLines(f.sTxt);
    ASSERT_GE(s.size(), 10u);
    ASSERT_TRUE(findCenterFrame(f.sTxt, best, f.config, n, std::string()).has_value());
    const std::vector<std::string> before = readTextLines(f.aTxt);
    ASSERT_EQ(std::count(before.begin(), before.end(), s[4]), 1);

    // A detected star named after its neighbour in a dense group sits a few
    // pixels (under 20') from where the plate puts the name.
    const auto field = [&](std::size_t line, int k) { return extractField(s[line], "|", k); };
    s[4] = field(4, 1) + "|" + field(4, 2) + "|" + std::to_string(std::lround(parseFloat(field(4, 3))) + 3) + "|" +
           std::to_string(std::lround(parseFloat(field(4, 4))) + 3) + "|" + field(4, 5) + "|" + field(4, 6) + "|" +
           field(4, 7);
    writeTextLines(f.sTxt, s);
    ASSERT_TRUE(findCenterFrame(f.sTxt, best, f.config, n, std::string()).has_value());
    const std::vector<std::string> a = readTextLines(f.aTxt);
    EXPECT_EQ(a.size() + 1, before.size());  // every reference star but the moved one
    EXPECT_EQ(std::count(a.begin(), a.end(), s[4]), 0);
    for (std::size_t i = 0; i + 1 < a.size(); ++i) EXPECT_EQ(std::count(before.begin(), before.end(), a[i]), 1) << a[i];
    ASSERT_EQ(n.records.size(), 2u);
    const TDiagnostic& check = n.records[0];
    EXPECT_EQ(check.code(), Code::PlateVerified);
    EXPECT_EQ(check.severity(), Severity::Notice);
    for (const char* name : {"matched", "detected", "predicted", "chance", "residual", "log10Chance"})
        EXPECT_FALSE(check.value(name).empty()) << name;
    EXPECT_LE(std::stoi(check.value("matched")), std::stoi(check.value("detected")));

    // The same identifications over detections they do not explain (the
    // identified stars and a dozen spots that are no catalog star): a plate
    // forced through a few stars, refused.
    std::vector<std::string> p;
    for (const std::size_t i : {0, 1, 2, 3, 5, 6}) p.push_back("0|0|" + field(i, 3) + "|" + field(i, 4) + "|900|12");
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> x(5, 635), y(5, 475);
    for (int i = 0; i < 12; ++i) p.push_back("0|0|" + std::to_string(x(rng)) + "|" + std::to_string(y(rng)) + "|800|9");
    writeTextLines(f.pTxt, p);
    std::filesystem::remove(f.aTxt);
    n.reports.clear();
    EXPECT_FALSE(findCenterFrame(f.sTxt, best, f.config, n, std::string()).has_value());
    ASSERT_EQ(n.reports.size(), 1u);
    EXPECT_EQ(n.reports[0], TDiagnostic(Code::StarBindingFailed, Severity::Warning).with("file", f.sTxt));
    EXPECT_FALSE(std::filesystem::exists(f.aTxt));
}

TEST(PlateSolution, AWrongStarAtTheFieldsEdgeIsFoundByThePlateOfTheOthers) {
    // Seven stars where the camera model puts them; the one farthest out
    // named after a star 5 px from it. Fitted with the others it pulls the
    // plate towards itself and lies well under 4 px from its fitted place.
    Field f;
    const TSkyPoint truth{f.theta - 25, 40};
    test::RecordingNotifier quiet;
    const TVisibleSky sky(listStarsByTime(starCatalogPath(f.config, ""), f.theta, f.config.signedLatitude(), quiet));
    std::vector<TStarPoint> seen;
    TCameraModel camera = TCameraModel::fromConfiguration(f.config);
    camera.maxStars = 7;
    sky.listStarsInFrame(camera, truth.ra, truth.dec, f.theta, seen);
    ASSERT_EQ(seen.size(), 7u);
    std::size_t edge = 0;
    for (std::size_t i = 0; i < seen.size(); ++i)
        if (std::hypot(seen[i].X - 320, seen[i].Y - 240) > std::hypot(seen[edge].X - 320, seen[edge].Y - 240)) edge = i;
    std::vector<std::string> s;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const double shift = i == edge ? 1 : 0;
        s.push_back(floatToText(seen[i].RA) + "|" + floatToText(seen[i].Dec) + "|" +
                    std::to_string(std::lround(seen[i].X + 4 * shift * (seen[i].X > 320 ? -1 : 1))) + "|" +
                    std::to_string(std::lround(seen[i].Y + 3 * shift * (seen[i].Y > 240 ? -1 : 1))) + "|3|s" +
                    std::to_string(i) + "|A0");
    }
    writeTextLines(f.sTxt, s);
    test::RecordingNotifier n;
    ASSERT_TRUE(findCenterFrame(f.sTxt, truth, f.config, n).has_value());
    const std::vector<std::string> a = readTextLines(f.aTxt);
    ASSERT_EQ(a.size(), 7u);  // six stars and the centre
    EXPECT_EQ(std::count(a.begin(), a.end(), s[edge]), 0);
}

TEST(PlateSolution, APointBeyondThePoleKeepsItsRightAscension) {
    for (const double sign : {1.0, -1.0}) {
        Field f;
        f.config.setLatitude(52.43 * sign);  // a southern station sees the south pole
        f.config.setCatalogStar("c50.dat");   // few bright stars near the poles
        const TSkyPoint truth{10, 85 * sign};
        f.writeDetections(truth);
        f.scanAround(truth, 6);
        test::RecordingNotifier n;
        const auto best = alignStarMap(f.pTxt, f.config, "", n);
        ASSERT_TRUE(best.has_value());
        ASSERT_TRUE(findCenterFrame(f.sTxt, best, f.config, n).has_value()) << sign;
        std::vector<double> ra, dec, x, y;
        for (const std::string& line : readTextLines(f.aTxt)) {
            if (line.find("CENTER") != std::string::npos) continue;
            ra.push_back(parseFloat(extractField(line, "|", 1)));
            dec.push_back(parseFloat(extractField(line, "|", 2)));
            x.push_back(parseFloat(extractField(line, "|", 3)));
            y.push_back(parseFloat(extractField(line, "|", 4)));
        }
        // A meteor point on the far side of the pole, at its pixel.
        const TSkyPoint beyond{250.55, 88 * sign};
        double xi = 0, eta = 0;
        EQUSTD(truth.ra, truth.dec, beyond.ra, beyond.dec, xi, eta);
        ra.push_back(0);
        dec.push_back(0);
        x.push_back(std::round(320 + 800 * xi));
        y.push_back(std::round(240 - 800 * eta));
        std::vector<double> residual(ra.size());
        double ra0 = truth.ra, dec0 = truth.dec;
        fitPlateConstants(ra, dec, x, y, residual, ra0, dec0);
        EXPECT_LT(separation({ra0, dec0}, beyond) * 60, 5.0) << ra0 << " " << dec0;
        for (std::size_t i = 0; i + 1 < residual.size(); ++i) EXPECT_LT(residual[i], 5.0);
    }
}

TEST(PlateSolution, ParallelScanGivesTheSequentialResult) {
    Field f;
    const TSkyPoint truth{f.theta - 25, 40};
    f.writeDetections(truth);
    f.scanAround(truth, 16);
    test::RecordingNotifier n;
    const auto one = alignStarMap(f.pTxt, f.config, "", n, {.threads = 1});
    const std::string sequential = readFileBytes(f.sTxt);
    const auto four = alignStarMap(f.pTxt, f.config, "", n, {.threads = 4});
    ASSERT_TRUE(one && four);
    EXPECT_EQ(one->ra, four->ra);
    EXPECT_EQ(one->dec, four->dec);
    EXPECT_EQ(readFileBytes(f.sTxt), sequential);
    EXPECT_FALSE(sequential.empty());
}

TEST(PlateSolution, ScanRefusalsAndAnEmptyScan) {
    Field f;
    test::RecordingNotifier n;
    EXPECT_FALSE(alignStarMap(f.pTxt, f.config, "", n).has_value());
    EXPECT_EQ(n.reports.back(), TDiagnostic(Code::StarListMissingForBinding).with("file", f.pTxt));

    writeTextLines(f.pTxt, std::vector<std::string>{"0|0|1|2|3|4", "0|0|5|6|3|4", "0|0|9|9|3|4"});
    EXPECT_FALSE(alignStarMap(f.pTxt, f.config, "", n).has_value());
    EXPECT_EQ(n.reports.back(),
              TDiagnostic(Code::TooFewReferenceStars, Severity::Warning).with("file", f.pTxt).with("count", 3));
    EXPECT_FALSE(std::filesystem::exists(f.sTxt));

    const std::string badName = (f.station / "detections.txt").string();
    writeTextLines(badName, std::vector<std::string>{"0|0|1|2|3|4"});
    EXPECT_FALSE(alignStarMap(badName, f.config, "", n).has_value());
    EXPECT_EQ(n.reports.back(), TDiagnostic(Code::EventFileNameInvalid).with("file", badName));

    // No declination band to scan: the final pass runs at (-999, -999).
    f.writeDetections({f.theta - 25, 40});
    f.config.setAutoDetectMinDEC(10);
    f.config.setAutoDetectMaxDEC(10);
    const auto best = alignStarMap(f.pTxt, f.config, "", n);
    ASSERT_TRUE(best.has_value());
    EXPECT_EQ(best->ra, -999);
    EXPECT_TRUE(std::filesystem::exists(f.sTxt));
}

TEST(PlateSolution, MalformedListsEndWithAClearErrorAndKeepTheOldOutput) {
    Field f;
    writeTextLines(f.sTxt, std::vector<std::string>{"old"});
    writeTextLines(f.pTxt, std::vector<std::string>{"0|0|1|2|3|4", "0|0|5|6|3|4", "0|0|9|x|3|4", "0|0|9|9|3|4"});
    test::RecordingNotifier n;
    try {
        alignStarMap(f.pTxt, f.config, "", n);
        ADD_FAILURE() << "a bad number was accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.diagnostic().value("file"), f.pTxt);
        EXPECT_EQ(e.diagnostic().value("line"), "3");
        EXPECT_EQ(e.diagnostic().value("field"), "4");
    }
    EXPECT_EQ(readTextLines(f.sTxt), std::vector<std::string>{"old"});

    writeTextLines(f.aTxt, std::vector<std::string>{"old"});
    writeTextLines(f.sTxt, std::vector<std::string>{"1|2|3|4|5|a|b", "1|2|3", "1|2|3|4|5|a|b", "1|2|3|4|5|a|b"});
    EXPECT_THROW(findCenterFrame(f.sTxt, TSkyPoint{1, 2}, f.config, n), EConvertError);
    EXPECT_EQ(readTextLines(f.aTxt), std::vector<std::string>{"old"});
}

// S.txt lines of stars placed exactly by a known plate about a centre.
std::vector<std::string> exactStars(TSkyPoint centre, const std::vector<std::pair<double, double>>& pixels) {
    std::vector<std::string> lines;
    const double k = 800;  // 8 mm x 100 px/mm
    for (auto [x, y] : pixels) {
        double ra = 0, dec = 0;
        STDEQU(centre.ra, centre.dec, -(x - 320) / k, -(y - 240) / k, ra, dec);
        if (ra < 0) ra += 360;
        if (ra >= 360) ra -= 360;
        lines.push_back(floatToText(ra) + "|" + floatToText(dec) + "|" + floatToText(x) + "|" + floatToText(y) + "|3.1|Star|A0");
    }
    return lines;
}

const std::vector<std::pair<double, double>> kPixels = {{100, 80},  {500, 90},  {320, 400}, {60, 420},
                                                        {600, 380}, {250, 200}, {420, 260}, {150, 300},
                                                        {40, 40},   {610, 30},  {30, 460},  {620, 450},
                                                        {200, 120}, {470, 330}, {330, 60},  {90, 230}};

TEST(PlateSolution, OutliersGoWhenWorstAndAboveTwentyArcminutesOrOutOfLineWithTheOtherStars) {
    Field f;
    const TSkyPoint centre{200, 30};
    auto lines = exactStars(centre, kPixels);
    auto shift = [&](std::size_t i, double arcmin) {
        const double dec = parseFloat(extractField(lines[i], "|", 2)) + arcmin / 60.0;
        lines[i] = extractField(lines[i], "|", 1) + "|" + floatToText(dec) + lines[i].substr(lines[i].find('|', lines[i].find('|') + 1));
    };
    shift(2, 30);  // a residual of about 27'
    shift(5, 7);   // about 6', 1.6 px: kept
    shift(7, 15);  // about 13': under 20', but 3.5 px where every other star lies exactly
    writeTextLines(f.sTxt, lines);
    test::RecordingNotifier n;
    const auto refined = findCenterFrame(f.sTxt, TSkyPoint{201, 31}, f.config, n);
    ASSERT_TRUE(refined.has_value());
    const auto a = readTextLines(f.aTxt);
    ASSERT_EQ(a.size(), kPixels.size() - 1);  // all but two reference stars, and the centre line
    EXPECT_EQ(std::find(a.begin(), a.end(), lines[2]), a.end());  // the worst, above 20': removed
    EXPECT_NE(std::find(a.begin(), a.end(), lines[5]), a.end());
    EXPECT_EQ(std::find(a.begin(), a.end(), lines[7]), a.end());
    EXPECT_EQ(a.back().substr(0, 14), "200.0" + std::string(a.back().substr(5, 9)));
    EXPECT_LT(separation(*refined, centre), 0.2);

    // One far-off star of five: after removing it four are left, too few.
    lines = exactStars(centre, {kPixels.begin(), kPixels.begin() + 5});
    shift(1, 300);
    writeTextLines(f.sTxt, lines);
    std::filesystem::remove(f.aTxt);
    EXPECT_FALSE(findCenterFrame(f.sTxt, TSkyPoint{200, 30}, f.config, n).has_value());
    EXPECT_EQ(n.reports.back().code(), Code::StarBindingFailed);
    EXPECT_FALSE(std::filesystem::exists(f.aTxt));
}

TEST(PlateSolution, FieldsAcrossZeroHoursAndRefinementWithoutAnEstimate) {
    Field f;
    const TSkyPoint centre{359.5, 10};  // stars on both sides of 0h
    writeTextLines(f.sTxt, exactStars(centre, kPixels));
    test::RecordingNotifier n;
    // Without an estimate the refinement starts at the stars' own centre,
    // not at (0, 0).
    const auto refined = findCenterFrame(f.sTxt, std::nullopt, f.config, n);
    ASSERT_TRUE(refined.has_value()) << n.messages.back().text;
    EXPECT_LT(separation(*refined, centre), 0.01);
    EXPECT_EQ(readTextLines(f.aTxt).size(), kPixels.size() + 1);  // every star kept

    const TSkyPoint far{150, -20};
    writeTextLines(f.sTxt, exactStars(far, kPixels));
    const auto fromStars = findCenterFrame(f.sTxt, std::nullopt, f.config, n);
    ASSERT_TRUE(fromStars.has_value());
    EXPECT_LT(separation(*fromStars, far), 0.01);
    EXPECT_NEAR(raDifference(359, 1), -2, 1e-12);
    EXPECT_NEAR(raDifference(1, 359), 2, 1e-12);
    EXPECT_EQ(raDifference(180, 0), 180);
}

TEST(StarCatalog, ReadsVisibleStarsAndProjectsTheBrightestInFrame) {
    test::TempDir dir;
    const std::string path = (dir / "cat.dat").string();
    writeTextLines(path, std::vector<std::string>{"# header 1 2 3", "10|20|4.0|A|K0", "10.5|20|4.0|C|K1", "11|20.5|3.0|B|B9",
                                                  "190|-80|1.0|Below|M0", "10.2|19.8|5|A very long star name beyond twenty|X"});
    test::RecordingNotifier n;
    const double theta = 10;  // the stars at RA 10 culminate
    const auto stars = listStarsByTime(path, theta, 45, n);
    ASSERT_EQ(stars.size(), 4u);  // the header and the star below the horizon are not kept
    EXPECT_EQ(stars[3].Name, "A very long star nam");
    TVisibleSky sky(stars);
    TCameraModel camera{320, 240, 640, 480, 800, 3, 45};
    std::vector<TStarPoint> points;
    sky.listStarsInFrame(camera, 10.5, 20, theta, points);
    ASSERT_EQ(points.size(), 3u);
    // A (4.0), C (4.0), B (3.0) come out B, C, A: the first exchange moves A behind C.
    EXPECT_EQ(points[0].RA, 11);
    EXPECT_EQ(points[1].RA, 10.5);
    EXPECT_EQ(points[2].RA, 10);
    EXPECT_DOUBLE_EQ(points[1].X, 320);
    points.clear();
    sky.listStarsInFrame(camera, 190, -80, theta, points);  // a centre below the horizon
    EXPECT_TRUE(points.empty());

    EXPECT_TRUE(listStarsByTime((dir / "missing.dat").string(), theta, 45, n).empty());
    EXPECT_EQ(n.reports.back(), TDiagnostic(Code::StarCatalogMissing).with("file", (dir / "missing.dat").string()));
    writeTextLines(path, std::vector<std::string>{"10|twenty|4.0|A|K0"});
    EXPECT_THROW(listStarsByTime(path, theta, 45, n), EConvertError);
}

}  // namespace
}  // namespace orbis
