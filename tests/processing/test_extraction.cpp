// Frames delivered by the video becoming frame files.

#include <gtest/gtest.h>

#include <filesystem>

#include "DiagnosticTesting.h"
#include "RecordingNotifier.h"
#include "astro/uExceptions.h"
#include "TempDir.h"
#include "astro/uUniUtils.h"
#include "processing/uBitmap.h"
#include "processing/uFrameExtraction.h"
#include "processing/uNaming.h"

namespace orbis {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(FrameExtraction, TargetDirectoryRules) {
    EXPECT_EQ(extractionTarget("/n/20231214", "213045_120.avi", "1", "/chosen"), "/n/20231214/213045_120");
    EXPECT_EQ(extractionTarget("/n/20231214", "213045_120.avi", "36", "/chosen"), "/chosen");
    EXPECT_EQ(extractionTarget("/n/20231214", "213045_120.avi", "36", std::nullopt), "/n/20231214/213045_120");
    EXPECT_EQ(extractionTarget("/n/20231214", "213045_120.avi", "36", "/n/20231214"), "/n/20231214/213045_120");
    // The clips directory chosen under another spelling is still the clips directory.
    EXPECT_EQ(extractionTarget("/n/20231214", "213045_120.avi", "36", "/n/20231214/"), "/n/20231214/213045_120");
    EXPECT_EQ(extractionTarget("/n/20231214", "213045_120.avi", "36", "/n/x/../20231214/."), "/n/20231214/213045_120");
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(extractionTarget(".", "213045_120.avi", "36", here), "./213045_120");
    EXPECT_EQ(extractionTarget(here, "213045_120.avi", "36", "."), here + "/213045_120");
}

TEST(FrameExtraction, EightBitFramesAreStoredAsTheyAreUprightAndInAnyWidth) {
    test::TempDir dir;
    test::RecordingNotifier n;
    TFrameExtractor x((dir / "event").string(), 36, n);
    const Bytes frame = {1, 2, 3, 4, 5, 6};  // 3 wide, 2 rows, bottom row first
    ASSERT_TRUE(x.GrabVideo(frame, {3, 2, 8}));
    EXPECT_EQ(loadGreyFrame((dir / "event" / "F036.bmp").string()).pixels, frame);
    // Top-down delivery is turned upright; rows padded to 4 bytes are unpadded.
    ASSERT_TRUE(x.GrabVideo(Bytes{4, 5, 6, 0, 1, 2, 3, 0}, {3, -2, 8}));
    EXPECT_EQ(loadGreyFrame((dir / "event" / "F037.bmp").string()).pixels, frame);
    EXPECT_EQ(x.nextNumber(), 38);
    try {
        x.GrabVideo(Bytes(5), {3, 2, 8});
        ADD_FAILURE() << "accepted";
    } catch (const EInvalidArgument& e) {
        EXPECT_EQ(e.diagnostic(),
                  TDiagnostic(Code::FrameBytesMismatch).with("bytes", 5).with("width", 3).with("height", 2));
    }
}

TEST(FrameExtraction, ColourFramesTurnGreyByTheirGreenByte) {
    test::TempDir dir;
    test::RecordingNotifier n;
    TFrameExtractor x(dir.str(), 1, n);
    ASSERT_TRUE(x.GrabVideo(Bytes{10, 20, 30, 40, 50, 60}, {2, 1, 24}));
    EXPECT_EQ(loadGreyFrame((dir / "F001.bmp").string()).pixels, (Bytes{20, 50}));
    ASSERT_TRUE(x.GrabVideo(Bytes{10, 21, 30, 0, 40, 51, 60, 0}, {2, 1, 32}));
    EXPECT_EQ(loadGreyFrame((dir / "F002.bmp").string()).pixels, (Bytes{21, 51}));
    EXPECT_FALSE(x.GrabVideo(Bytes(4), {2, 1, 16}));
    ASSERT_EQ(n.reports.size(), 1u);
    EXPECT_EQ(n.reports[0], TDiagnostic(Code::FrameFormatRefused, Severity::Warning)
                                .with("bits", 16)
                                .with("width", 2)
                                .with("height", 1));
    EXPECT_FALSE(std::filesystem::exists(dir / "F003.bmp"));

    TBitmap colour;
    colour.width = 2;
    colour.height = 1;
    colour.bitsPerPixel = 24;
    colour.pixels = {1, 2, 3, 4, 5, 6};
    saveBitmap(colour, (dir / "c.bmp").string());
    ASSERT_TRUE(convertToGrey((dir / "c.bmp").string(), n));
    EXPECT_EQ(loadGreyFrame((dir / "c.bmp").string()).pixels, (Bytes{2, 5}));
    EXPECT_FALSE(convertToGrey((dir / "c.bmp").string(), n));  // already grey: left as it is
    ASSERT_EQ(n.reports.size(), 2u);
    EXPECT_EQ(n.reports[1].code(), Code::FrameFormatRefused);
    EXPECT_EQ(n.reports[1].value("file"), (dir / "c.bmp").string());

    // A 16-bit bitmap, which the reader takes for nothing, gets the message as well.
    std::string bmp = readFileBytes(dir / "c.bmp");
    bmp[28] = 16;
    writeFileAtomically(dir / "d.bmp", bmp);
    EXPECT_FALSE(convertToGrey((dir / "d.bmp").string(), n));
    ASSERT_EQ(n.reports.size(), 3u);
    EXPECT_EQ(n.reports.back().code(), Code::FrameFormatRefused);
    EXPECT_EQ(readFileBytes(dir / "d.bmp"), bmp);
}

}  // namespace
}  // namespace orbis
