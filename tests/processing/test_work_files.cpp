// The strict readers of an event's work files, and the image stages'
// check of the work bitmaps a later run reads back.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DiagnosticTesting.h"
#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"
#include "processing/uWorkFiles.h"

namespace orbis {
namespace {

using Lines = std::vector<std::string>;
constexpr TWorkPicture kFrame{640, 480};

// The EConvertError a read raises, in short: its code, then the line, the
// field, its text and kind, the field count; "" when it reads.
template <typename Read>
std::string refusal(Read read) {
    try {
        read();
    } catch (const EConvertError& e) {
        const TDiagnostic& d = e.diagnostic();
        std::string out(codeName(d.code()));
        out += " " + d.value("file");
        for (const char* name : {"line", "field", "text", "kind", "count"}) {
            if (d.has(name)) out += std::string(" ") + name + "=" + d.value(name);
        }
        return out;
    }
    return "";
}

const Lines kAstrometry = {
    "41.235|12.003|120|88|2.41|Star A|K0",
    "47.885|-15.62|402|61|3.05|Star B|G2",
    "45.003|11.87|320|240|0.00|CENTER|CENTER",
    "0|0|300|200|4|10320|START|",
    "44.62|12.31|380|150|9|57|FINISH|",
};

TEST(WorkFiles, ReadWhatTheStagesWrite) {
    test::TempDir dir;
    const std::string path = (dir / "MA.txt").string();
    // Windows line ends and a blank last line, as a copy through an editor leaves them.
    writeFileAtomically(path, "0|0|12|34|5210|31\r\n0|0|-3|700|0|0\r\n\r\n");
    const auto plain = readStarList(path, kFrame, false);
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[1].line, 1u);
    EXPECT_EQ(plain[0].x, 12);
    EXPECT_EQ(plain[0].brightnessSum, 5210);
    EXPECT_FALSE(plain[0].magnitude);

    const auto measured = parseStarList({"0|0|1|2|300|4|2.7", "0|0|1|2|300|4|"}, path, kFrame, true);
    EXPECT_EQ(measured[0].magnitude, 2.7);
    EXPECT_EQ(measured[0].magnitudeText, "2.7");
    EXPECT_FALSE(measured[1].magnitude);

    // A number without "." is read with the locale's separator.
    formatSettings().decimalSeparator = ',';
    const auto comma = parseIdentifiedStars({"41,5|-12,25|120,5|88|2,41|Star A|K0"}, path, kFrame);
    formatSettings().decimalSeparator = '.';
    EXPECT_EQ(comma[0].ra, 41.5);
    EXPECT_EQ(comma[0].dec, -12.25);
    EXPECT_EQ(comma[0].magnitudeText, "2,41");

    const TAstrometryFile a = parseAstrometry(kAstrometry, path);
    ASSERT_EQ(a.entries.size(), 5u);
    EXPECT_EQ(a.last(TAstrometryKind::Centre)->star.x, 320);
    EXPECT_EQ(a.last(TAstrometryKind::Start)->value, 10320);
    EXPECT_EQ(a.last(TAstrometryKind::Finish)->frame, 9);
    EXPECT_EQ(a.last(TAstrometryKind::Finish)->star.ra, 44.62);
    EXPECT_EQ(a.entries[1].star.name, "Star B");
}

TEST(WorkFiles, DamagedLinesAreRefusedNamingTheFileLineAndField) {
    const std::string path = "/night/event/MA.txt";
    struct Case {
        Lines lines;
        Code code;
        std::string expected;  // as refusal gives it after the code and the file
    };
    const auto withLine = [](std::size_t at, const std::string& line) {
        Lines lines = kAstrometry;
        lines[at] = line;
        return lines;
    };
    const Case astrometry[] = {
        {withLine(1, "47.885|2147483648|402|61|3.05|Star B|G2"), Code::WorkFieldOutOfRange, "line=2 field=2 text=2147483648 kind=declination"},
        {withLine(1, "47.885|402|61|3.05|Star B|G2"), Code::WorkFieldCount, "line=2 count=6"},  // Dec lost
        {withLine(0, "nan|12.003|120|88|2.41|Star A|K0"), Code::WorkFieldNotANumber, "line=1 field=1 text=nan kind=rightAscension"},
        {withLine(0, "361|12.003|120|88|2.41|Star A|K0"), Code::WorkFieldOutOfRange, "line=1 field=1 text=361 kind=rightAscension"},
        {withLine(0, "41.2|12.003|inf|88|2.41|Star A|K0"), Code::WorkFieldNotANumber, "line=1 field=3 text=inf kind=pixel"},
        {withLine(0, "41.2|12.003|120|1e308|2.41|Star A|K0"), Code::WorkFieldOutOfRange, "line=1 field=4 text=1e308 kind=pixel"},
        {withLine(0, "41.2|12.003|120|88|31|Star A|K0"), Code::WorkFieldOutOfRange, "line=1 field=5 text=31 kind=magnitude"},
        {withLine(0, "41.2|12.003|120|88|2.41|Star A|K0|x"), Code::WorkFieldCount, "line=1 count=8"},
        {withLine(2, "45.003|11.87|320|240|0.00|STAR|CENTER"), Code::WorkFieldNotCentreTag, "line=3 field=6 text=STAR"},
        {withLine(3, "0|0|300|200|0|10320|START|"), Code::WorkFieldOutOfRange, "line=4 field=5 text=0 kind=frameNumber"},
        {withLine(3, "0|0|300|200|1000|10320|START|"), Code::WorkFieldOutOfRange, "line=4 field=5 text=1000 kind=frameNumber"},
        {withLine(3, "0|0|300|200|4|-1|START|"), Code::WorkFieldOutOfRange, "line=4 field=6 text=-1 kind=brightness"},
        {withLine(3, "0|0|300|200|4|10.5|START|"), Code::WorkFieldNotWhole, "line=4 field=6 text=10.5 kind=brightness"},
        {withLine(3, "0|0|300|200|4|10320|START"), Code::WorkFieldCount, "line=4 count=7"},
        {withLine(4, "44.62|12.31|380|150|9|57|FINISH|9"), Code::WorkFieldAfterTrackTag, "line=5 field=8 text=9"},
        // The centre line makes the picture 641 x 481: a picture's size
        // beyond it is no place of it.
        {withLine(4, "44.62|12.31|1283|150|9|57|FINISH|"), Code::WorkFieldOutOfRange, "line=5 field=3 text=1283 kind=pixel"},
    };
    for (const Case& c : astrometry) {
        EXPECT_EQ(refusal([&] { parseAstrometry(c.lines, path); }), std::string(codeName(c.code)) + " " + path + " " + c.expected)
            << refusal([&] { parseAstrometry(c.lines, path); });
    }
    // Without a centre line the bound is the largest picture.
    EXPECT_EQ(refusal([&] { parseAstrometry({"44.62|12.31|1283|150|9|57|FINISH|"}, path); }), "");

    const Case stars[] = {
        {{"0|0|12|34|5210"}, Code::WorkFieldCount, "line=1 count=5"},
        {{"0|0|12|34|5210|31|2.5"}, Code::WorkFieldCount, "line=1 count=7"},  // magnitudes where none belong (P.txt)
        {{"0|0|12|34|5210|31", "0|0|12|x|5210|31"}, Code::WorkFieldNotANumber, "line=2 field=4 text=x kind=pixel"},
        {{"0|0|1281|34|5210|31"}, Code::WorkFieldOutOfRange, "line=1 field=3 text=1281 kind=pixel"},
        {{"0|0|12|34|5210|-31"}, Code::WorkFieldOutOfRange, "line=1 field=6 text=-31 kind=pixelCount"},
        {{"0|0|12|34|1e308|31"}, Code::WorkFieldOutOfRange, "line=1 field=5 text=1e308 kind=brightness"},
        {{"0|NaN|12|34|5210|31"}, Code::WorkFieldNotANumber, "line=1 field=2 text=NaN kind=number"},
    };
    for (const Case& c : stars) {
        EXPECT_EQ(refusal([&] { parseStarList(c.lines, path, kFrame, false); }), std::string(codeName(c.code)) + " " + path + " " + c.expected)
            << refusal([&] { parseStarList(c.lines, path, kFrame, false); });
    }
    EXPECT_NE(refusal([&] { parseStarList({"0|0|12|34|5210|31|-1e308"}, path, kFrame, true); }), "");

    const Case track[] = {
        {{"0|0|12|34|4|800|START", "0|0|20|40|5|7|END"}, Code::WorkFieldNotTrackTag, "line=2 field=7 text=END"},
        {{"0|0|12|34|800|START"}, Code::WorkFieldCount, "line=1 count=6"},
        {{"0|0|12|34|4|800|START|"}, Code::WorkFieldCount, "line=1 count=8"},
        {{"0|0|12|-inf|4|800|START"}, Code::WorkFieldNotANumber, "line=1 field=4 text=-inf kind=pixel"},
    };
    for (const Case& c : track) {
        EXPECT_EQ(refusal([&] { parseTrackFile(c.lines, path, kFrame); }), std::string(codeName(c.code)) + " " + path + " " + c.expected)
            << refusal([&] { parseTrackFile(c.lines, path, kFrame); });
    }
}

struct StagedEvent {
    test::TempDir station;
    std::string dir = (station / "20240812" / "231001_280").string();
    std::string stem = dir + "/M231001_280";
    TConfiguration config;
    test::RecordingNotifier notifier;

    StagedEvent() {
        std::filesystem::create_directories(dir);
        const std::vector<uint8_t> frame(64 * 48, 20);
        for (int i = 1; i <= 3; ++i) saveGreyBitmap(frame, 64, 48, frameFileName(dir, i));
    }
    TImageStagesResult run() { return runImageStages(dir, config, station.str(), notifier); }
    TDiagnostic refusal() {
        try {
            run();
        } catch (const EInvalidGraphic& e) {
            return e.diagnostic();
        }
        return {};
    }
};

TEST(WorkFiles, WorkBitmapsOfAnotherSizeThanTheFramesGiveAreRefused) {
    StagedEvent e;
    e.config.setAddResultWidth(3);
    e.config.setAddResultHeight(2);
    const TImageStagesResult first = e.run();
    ASSERT_EQ(first.width, 64 + 6);
    ASSERT_EQ(first.height, 2 * 48 + 4);
    EXPECT_TRUE(e.run().skipped);  // its own bitmaps pass

    const std::vector<uint8_t> strip(64 * 12, 0);
    for (const char* suffix : {"P.bmp", "R.bmp", "M.bmp"}) {
        const std::string path = e.stem + suffix;
        const TGreyFrame kept = loadGreyFrame(path);
        saveGreyBitmap(strip, 64, 12, path);
        const bool m = suffix == std::string("M.bmp");
        EXPECT_EQ(e.refusal(), TDiagnostic(Code::WorkBitmapSizeWrong)
                                   .with("file", path)
                                   .with("width", 64)
                                   .with("height", 12)
                                   .with("expectedWidth", m ? 64 : 70)
                                   .with("expectedHeight", m ? 48 : 100));
        saveGreyBitmap(kept.pixels, kept.width, kept.height, path);
    }
    // Bitmaps of a run under other settings are not this run's pictures.
    e.config.setDoubleFrameHeight(false);
    EXPECT_EQ(e.refusal().value("expectedHeight"), "52");
}

}  // namespace
}  // namespace orbis
