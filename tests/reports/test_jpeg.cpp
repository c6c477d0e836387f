// The result JPEG and its comment segment: pictures and comments read back
// by libjpeg's own tools, insertion points with and without EXIF data,
// validation, and pictures left untouched when annotation cannot be done.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "reports/uJPEGComment.h"
#include "reports/uJpegFile.h"
#include "support/TempDir.h"

namespace orbis {
namespace {

using test::TempDir;

// Standard output of a shell command that must succeed.
std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    char buf[4096];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    EXPECT_TRUE(pipe != nullptr && pclose(pipe) == 0) << command;
    return out;
}

// Rows differ from bottom to top, so a flipped picture shows after compression.
TGreyFrame gradient(int width, int height) {
    TGreyFrame f{width, height, std::vector<uint8_t>(static_cast<std::size_t>(width) * height)};
    for (std::size_t i = 0; i < f.pixels.size(); ++i) {
        f.pixels[i] = static_cast<uint8_t>(20 + 4 * (i / width) + i % width);
    }
    return f;
}

TEST(SaveGreyJpeg, DecodesToTheFrameTopRowFirst) {
    TempDir dir;
    const std::string path = (dir / "R.jpg").string();
    const TGreyFrame frame = gradient(37, 23);  // a width no multiple of 8
    saveGreyJpeg(frame, path);

    const std::string pgm = run("djpeg -pnm '" + path + "'");
    ASSERT_EQ(pgm.size(), 13 + frame.pixels.size());
    ASSERT_EQ(pgm.substr(0, 13), "P5\n37 23\n255\n");
    double error = 0;
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) {  // file row 0 is memory row 22
        error += std::abs(static_cast<uint8_t>(pgm[13 + i]) - frame.pixels[(22 - i / 37) * 37 + i % 37]);
    }
    EXPECT_LT(error / frame.pixels.size(), 2.0);

    TGreyFrame cut = frame;
    cut.pixels.pop_back();
    EXPECT_THROW(saveGreyJpeg(cut, path), std::invalid_argument);
    EXPECT_THROW(saveGreyJpeg(frame, (dir / "none" / "R.jpg").string()), EInOutError);
    // Wider than JPEG allows: libjpeg's error comes back as an exception.
    EXPECT_THROW(saveGreyJpeg(TGreyFrame{70000, 1, std::vector<uint8_t>(70000)}, path), EInOutError);
}

class JpegComment : public ::testing::Test {
protected:
    void SetUp() override {
        saveGreyJpeg(gradient(16, 16), jpeg);
        original = readFileBytes(jpeg);
        writeTextLines(report, std::vector<std::string>{"UT_DATE=14.12.2023", "MAGN=$", "SHOWER=Геминиды"});
        writeTextLines(stars, std::vector<std::string>{"12.5|40.1", "13.0|41.2"});
        config.setLatitude(52.43);
        config.setLongitude(30.98);
        config.setObserver("I. Petrov");
        config.setName("Cam1");
    }

    // The annotation as it lies in the segment.
    const std::string stripe = std::string(35, '*') + "\r\n";
    const std::string text = "Lat = 52.43N, Lon = 30.98E, Alt = 0\r\nObserver: I. Petrov\r\nCamera  : Cam1\r\n" +
                             stripe + "UT_DATE=14.12.2023\r\nMAGN=$\r\nSHOWER=" + utf8ToCp1251("Геминиды") + "\r\n" +
                             stripe + "12.5|40.1\r\n13.0|41.2\r\n";
    TempDir dir;
    std::string jpeg = (dir / "M213045_123R.jpg").string(), report = (dir / "M213045_123.txt").string(),
                stars = (dir / "M213045_123A.txt").string(), original;
    TConfiguration config;
};

TEST_F(JpegComment, AnnotationIsReadBackByRdjpgcomAndKeepsTheFileTimes) {
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, jpeg.c_str(), old, 0), 0);

    annotateJpeg(jpeg, report, stars, config);

    struct stat st {};  // before anything reads the file again
    ASSERT_EQ(::stat(jpeg.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(st.st_atim.tv_sec, 1000000000);
    // rdjpgcom ends every comment it prints with a line feed of its own.
    EXPECT_EQ(run("rdjpgcom -raw '" + jpeg + "'"), text + "\n");
    const std::size_t n = text.size() + 2;
    const std::string length{char(n >> 8), char(n & 0xFF)};
    EXPECT_EQ(readFileBytes(jpeg), "\xFF\xD8\xFF\xFE" + length + text + original.substr(2));
}

TEST_F(JpegComment, SecondAnnotationRepeatsTheFirstInANewSegment) {
    annotateJpeg(jpeg, report, stars, config);
    annotateJpeg(jpeg, report, stars, config);
    // Newest segment first, at offset 2; the old one follows it unchanged.
    EXPECT_EQ(run("rdjpgcom -raw '" + jpeg + "'"), text + text + "\n" + text + "\n");
    TJPEGCommentInfo info;
    info.setFileName(jpeg);
    EXPECT_EQ(info.jpegCommentLength(), 2 * text.size());
    ASSERT_EQ(info.jpegComment().size(), 20u);
    EXPECT_EQ(info.jpegComment()[16], "SHOWER=Геминиды");
}

TEST_F(JpegComment, MarkerBytesInsideAnEarlierCommentAreNotTakenForSegments) {
    // "яб" is FF E1 in Windows-1251 and "яю" FF FE: the bytes of an EXIF and
    // a comment marker, inside the first comment's text.
    config.setObserver("Илья Зябликов, Аляю");
    annotateJpeg(jpeg, report, stars, config);
    annotateJpeg(jpeg, report, stars, config);
    TJPEGCommentInfo info;
    info.setFileName(jpeg);
    EXPECT_EQ(info.exifOffset(), -1);
    EXPECT_EQ(info.jpegCommentOffset(), 2);
    ASSERT_EQ(info.jpegComment().size(), 20u);
    EXPECT_EQ(info.jpegComment()[1], "Observer: Илья Зябликов, Аляю");
    EXPECT_EQ(info.jpegComment()[11], "Observer: Илья Зябликов, Аляю");
    // The picture is whole: libjpeg's own decoder reads it.
    EXPECT_EQ(run("djpeg -pnm '" + jpeg + "' | head -c 2"), "P5");
}

TEST_F(JpegComment, NewSegmentFollowsTheExifSegment) {
    // FF E1 with length field L = 10 at offset 2: the comment goes to L + 4.
    writeFileAtomically(jpeg, "\xFF\xD8\xFF\xE1" + std::string("\x00\x0A" "Exif\0\0\1\2", 10) + original.substr(2));
    TJPEGCommentInfo info;
    info.setJPEGCommentSettings({tjCheckFile, tjEXIFCompatible, tjReadOnly});
    EXPECT_EQ(info.jpegCommentSettings(), (TJPEGCommentSettings{tjCheckFile, tjEXIFCompatible}));
    info.setFileName(jpeg);
    EXPECT_EQ(info.exifOffset(), 2);
    EXPECT_EQ(info.exifLength(), 8);
    EXPECT_EQ(info.jpegCommentOffset(), -1);

    info.jpegComment() = {std::string(98, 'x')};  // 100 bytes with CR LF
    ASSERT_TRUE(info.writeComment());
    EXPECT_EQ(info.jpegCommentOffset(), 14);
    EXPECT_EQ(info.jpegCommentLength(), 100);
    EXPECT_EQ(readFileBytes(jpeg).substr(12, 6), std::string("\1\2\xFF\xFE\x00\x66", 6));
}

TEST_F(JpegComment, ValidationRefusesWithItsMessages) {
    const auto messageOf = [](const std::string& name) -> TDiagnostic {
        TJPEGCommentInfo info;
        try {
            info.setFileName(name);
            return TDiagnostic(Code::Unworded).with("text", "accepted");
        } catch (const EJPEGCommentReadException& e) {
            EXPECT_EQ(info.fileName(), "");
            EXPECT_EQ(info.lastError(), e.diagnostic());
            return e.diagnostic();
        }
    };
    const std::string upper = (dir / "a.JPEG").string(), jpe = (dir / "a.jpe").string(),
                      missing = (dir / "b.jpg").string(), empty = (dir / "c.jpg").string(),
                      hidden = (dir / ".d.jpg").string(), folder = (dir / "e.jpg").string();
    std::filesystem::copy_file(jpeg, upper);
    std::filesystem::copy_file(jpeg, jpe);
    writeFileAtomically(empty, "");
    std::filesystem::copy_file(jpeg, hidden);
    std::filesystem::create_directory(folder);
    EXPECT_EQ(messageOf(upper).value("text"), "accepted");
    EXPECT_EQ(messageOf(jpe), TDiagnostic(Code::JpegTypeInvalid).with("file", jpe));
    EXPECT_EQ(messageOf(missing), TDiagnostic(Code::JpegMissing).with("file", missing));
    EXPECT_EQ(messageOf(empty), TDiagnostic(Code::JpegEmpty).with("file", empty));
    EXPECT_EQ(messageOf(hidden), TDiagnostic(Code::JpegAttributesInvalid).with("file", hidden).with("attributes", 2));
    EXPECT_EQ(messageOf(folder), TDiagnostic(Code::JpegAttributesInvalid).with("file", folder).with("attributes", 16));

    // annotateJpeg records silently and reports the same text.
    try {
        annotateJpeg(jpe, report, stars, config);
        ADD_FAILURE() << "no exception";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.diagnostic(), TDiagnostic(Code::JpegTypeInvalid).with("file", jpe));
    }
    EXPECT_EQ(readFileBytes(jpe), original);
}

TEST_F(JpegComment, FailedAnnotationLeavesThePictureUnchanged) {
    EXPECT_THROW(annotateJpeg(jpeg, (dir / "none.txt").string(), stars, config), EInOutError);
    EXPECT_THROW(annotateJpeg(jpeg, report, (dir / "noneA.txt").string(), config), EInOutError);
    EXPECT_EQ(readFileBytes(jpeg), original);

    // A read-only picture stays as it is, though its folder would allow a rename over it.
    ASSERT_EQ(::chmod(jpeg.c_str(), 0444), 0);
    try {
        annotateJpeg(jpeg, report, stars, config);
        ADD_FAILURE() << "a read-only picture was annotated";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.diagnostic(), TDiagnostic(Code::JpegReadOnly).with("file", jpeg));
    }
    EXPECT_EQ(readFileBytes(jpeg), original);
    ASSERT_EQ(::chmod(jpeg.c_str(), 0644), 0);

    // Broken segments are refused before anything is written: a length
    // below 2, a segment running past the end, no FF D8 at the start.
    const std::pair<std::string, Code> brokenPictures[] = {
        {std::string("\xFF\xD8\xFF\xE1\x00\x00\xFF\xD9", 8), Code::JpegSegmentLengthInvalid},
        {"\xFF\xD8\xFF\xE0\x00\x40" + original.substr(2, 20), Code::JpegSegmentCutShort},
        {std::string("\xFF\xFE\x00\x02", 4), Code::JpegNotJpeg}};
    for (const auto& [broken, why] : brokenPictures) {
        writeFileAtomically(jpeg, broken);
        try {
            annotateJpeg(jpeg, report, stars, config);
            ADD_FAILURE() << "broken segments were annotated";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.diagnostic(), TDiagnostic(why).with("file", jpeg));
        }
        EXPECT_EQ(readFileBytes(jpeg), broken);
    }
    writeFileAtomically(jpeg, original);

    // 65534 bytes of text do not fit the length field; 65533 do.
    const std::size_t fixed = text.size() - std::string("12.5|40.1\r\n13.0|41.2\r\n").size() + 2;
    writeTextLines(stars, std::vector<std::string>{std::string(65534 - fixed, 'a')});
    annotateJpeg(jpeg, report, stars, config);
    EXPECT_EQ(readFileBytes(jpeg), original);
    writeTextLines(stars, std::vector<std::string>{std::string(65533 - fixed, 'a')});
    annotateJpeg(jpeg, report, stars, config);
    TJPEGCommentInfo info;
    info.setFileName(jpeg);
    EXPECT_EQ(info.jpegCommentLength(), 65533);
}

}  // namespace
}  // namespace orbis
