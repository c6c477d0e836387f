// Text drawing into grey pictures and the magnitude and spectrum labels of
// the result frame: placement from the top-left corner in top-down
// coordinates over bottom-up memory, clipping at every edge, lightening
// only, Cyrillic names, and the file handling of the two label steps.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "measurement/uLabels.h"
#include "measurement/uTextDrawing.h"
#include "processing/uBitmap.h"
#include "support/RecordingNotifier.h"
#include "support/TempDir.h"

namespace orbis {
namespace {

using test::RecordingNotifier;
using test::TempDir;

TGreyFrame blank(int w, int h) { return {w, h, std::vector<uint8_t>(static_cast<std::size_t>(w * h), 0)}; }

// A picture whose values differ from pixel to pixel, brightest 254, so that
// any change the text makes can be seen.
TGreyFrame textured(int w, int h) {
    TGreyFrame p = blank(w, h);
    for (std::size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = static_cast<uint8_t>((i * 37) % 255);
    return p;
}

// Pixel (x, y) counted from the top, whatever the memory order.
uint8_t at(const TGreyFrame& p, int x, int y) {
    return p.pixels[static_cast<std::size_t>((p.height - 1 - y) * p.width + x)];
}

// Bounding box of the pixels that differ between two pictures, top-down.
struct InkBox {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1, count = 0;
};

InkBox inkBox(const TGreyFrame& before, const TGreyFrame& after) {
    InkBox b;
    for (int y = 0; y < after.height; ++y) {
        for (int x = 0; x < after.width; ++x) {
            if (at(before, x, y) == at(after, x, y)) continue;
            b.left = std::min(b.left, x), b.right = std::max(b.right, x);
            b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
            ++b.count;
        }
    }
    return b;
}

TGreyFrame drawn(const TTextRenderer& r, int w, int h, int left, int top, const std::string& text) {
    TGreyFrame p = blank(w, h);
    r.drawText(p, left, top, text);
    return p;
}

TEST(TextRenderer, InkStartsAtTheCornerUprightAndAtWindowFontSize) {
    const TTextRenderer r;
    const TGreyFrame label = drawn(r, 120, 40, 20, 10, "2.1 Vega");
    const InkBox b = inkBox(blank(120, 40), label);
    EXPECT_GE(b.left, 20);
    EXPECT_LE(b.left, 22);
    EXPECT_GE(b.top, 10);
    EXPECT_LE(b.top, 14);
    EXPECT_GE(b.right - b.left, 35);
    EXPECT_LE(b.right - b.left, 70);
    // Monochrome: every pixel inked in full or untouched.
    EXPECT_EQ(std::count_if(label.pixels.begin(), label.pixels.end(), [](uint8_t v) { return v != 0 && v != 255; }), 0);

    // "L": a capital of about 8 rows, its stem on the left and its foot at
    // the bottom, so neither flipped nor mirrored.
    const TGreyFrame l = drawn(r, 20, 20, 2, 2, "L");
    const InkBox lb = inkBox(blank(20, 20), l);
    EXPECT_GE(lb.bottom - lb.top + 1, 7);
    EXPECT_LE(lb.bottom - lb.top + 1, 9);
    auto rowInk = [&](int y) { int n = 0; for (int x = 0; x < 20; ++x) n += at(l, x, y) != 0; return n; };
    auto columnInk = [&](int x) { int n = 0; for (int y = 0; y < 20; ++y) n += at(l, x, y) != 0; return n; };
    EXPECT_GT(rowInk(lb.bottom), rowInk(lb.top));
    EXPECT_GT(columnInk(lb.left), columnInk(lb.right));
}

TEST(TextRenderer, LightensTowardTheValueAndNeverDarkens) {
    const TTextRenderer r;
    const TGreyFrame before = textured(100, 30);
    TGreyFrame white = before;
    r.drawText(white, 2, 2, "888 WWW");
    TGreyFrame grey = before;
    r.drawText(grey, 2, 2, "888 WWW", 100);
    int whitened = 0, greyed = 0;
    for (std::size_t i = 0; i < before.pixels.size(); ++i) {
        EXPECT_GE(white.pixels[i], before.pixels[i]);
        EXPECT_GE(grey.pixels[i], before.pixels[i]);
        whitened += white.pixels[i] != before.pixels[i] && white.pixels[i] == 255;
        if (grey.pixels[i] != before.pixels[i]) {
            EXPECT_LT(before.pixels[i], 100);
            EXPECT_EQ(grey.pixels[i], 100);
            ++greyed;
        }
    }
    EXPECT_GT(whitened, 40);
    EXPECT_GT(greyed, 10);
    EXPECT_LT(greyed, whitened);  // ink over pixels brighter than 100 stays as it was
}

TEST(TextRenderer, ClippedAtEveryEdgeWithoutMovingTheText) {
    const TTextRenderer r;
    const std::string text = "Šp 2.1 Жд";  // an accent above the capitals, descenders below
    const TGreyFrame reference = drawn(r, 200, 100, 60, 40, text);
    for (int left : {-40, -7, 0, 5, 30, 47, 48}) {
        for (int top : {-13, -5, -2, 0, 3, 12, 13}) {
            const TGreyFrame p = drawn(r, 48, 14, left, top, text);
            int mismatches = 0;
            for (int y = 0; y < p.height; ++y) {
                for (int x = 0; x < p.width; ++x) {
                    mismatches += at(p, x, y) != at(reference, x - left + 60, y - top + 40);
                }
            }
            EXPECT_EQ(mismatches, 0) << "text at " << left << ", " << top;
        }
    }
    const TGreyFrame empty = blank(48, 14);
    // Far outside: nothing drawn, and no position arithmetic overflows.
    for (auto [left, top] : {std::pair{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, 0}, {0, INT_MAX}}) {
        EXPECT_EQ(drawn(r, 48, 14, left, top, text).pixels, empty.pixels) << left << ", " << top;
    }
    TGreyFrame wrong{4, 4, std::vector<uint8_t>(15)};
    EXPECT_THROW(r.drawText(wrong, 0, 0, "1"), std::invalid_argument);
}

TEST(TextRenderer, CyrillicLettersHaveTheirOwnGlyphs) {
    const TTextRenderer r;
    const auto zhe = drawn(r, 20, 16, 2, 0, "Ж").pixels;
    const auto de = drawn(r, 20, 16, 2, 0, "Д").pixels;
    const auto missing = drawn(r, 20, 16, 2, 0, "\U0010FFFD").pixels;  // no font has it
    const auto question = drawn(r, 20, 16, 2, 0, "?").pixels;
    EXPECT_NE(zhe, blank(20, 16).pixels);
    EXPECT_NE(zhe, de);
    for (const auto* other : {&missing, &question}) {
        EXPECT_NE(zhe, *other);
        EXPECT_NE(de, *other);
    }
}

class LabelsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string stem = dir.str() + "/M213045_120";
    std::string rBmp = stem + "R.bmp";
    std::string aTxt = stem + "A.txt";
    RecordingNotifier notifier;

    void writeFrame(const TGreyFrame& p) { saveGreyBitmap(p.pixels, p.width, p.height, rBmp); }
    void writeStars(const std::vector<std::string>& lines) { writeTextLines(aTxt, lines); }
};

TEST_F(LabelsTest, EachReferenceStarIsLabelledAtItsCornersAndCentreAndMeteorAreNot) {
    struct Star {
        int x, y;
        std::string magnitude, name, spectrum;
    };
    const std::vector<Star> stars = {
        {30, 40, "2.1", "Vega", "A0"},
        {150, 50, "3.4", "Денеб", "K5"},   // runs over the right edge
        {70, 1, "4.0", "Йота", "M2"},      // over the top edge
        {80, 97, "5", "Bottom", "B9"},     // spectrum entirely below the picture
    };
    std::vector<std::string> lines;
    for (const Star& s : stars) {
        lines.push_back("10.5|20.25|" + std::to_string(s.x) + "|" + std::to_string(s.y) + "|" + s.magnitude + "|" +
                        s.name + "|" + s.spectrum);
    }
    lines.push_back("101.5|40.2|100|20|0.00|CENTER|CENTER");
    lines.push_back("0|0|20|70|12|2210|START|");
    lines.push_back("0|0|90|75|13|2100|FINISH|");
    writeStars(lines);
    const TGreyFrame original = textured(160, 100);
    writeFrame(original);

    const TTextRenderer r;
    TGreyFrame expected = original;
    for (const Star& s : stars) r.drawText(expected, s.x + 5, s.y - 3, s.magnitude + " " + s.name);
    ASSERT_TRUE(drawMagnitudeLabels(rBmp, notifier));
    EXPECT_EQ(loadGreyFrame(rBmp).pixels, expected.pixels);
    EXPECT_EQ(notifier.progressMaximum, 7);
    EXPECT_EQ(notifier.progress, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(notifier.pumps, 7);
    EXPECT_FALSE(notifier.progressVisible);

    for (const Star& s : stars) r.drawText(expected, s.x + 5, s.y + 8, s.spectrum);
    ASSERT_TRUE(drawSpectrumLabels(rBmp, notifier));
    EXPECT_EQ(loadGreyFrame(rBmp).pixels, expected.pixels);
    EXPECT_FALSE(notifier.progressVisible);

    // A second run of the processing writes the same white text again.
    ASSERT_TRUE(drawMagnitudeLabels(rBmp, notifier));
    ASSERT_TRUE(drawSpectrumLabels(rBmp, notifier));
    EXPECT_EQ(loadGreyFrame(rBmp).pixels, expected.pixels);
    EXPECT_TRUE(notifier.reports.empty());
}

TEST_F(LabelsTest, AMissingFileIsReportedAndTheFrameLeftAsItWas) {
    const TDiagnostic missing = TDiagnostic(Code::LabelFilesMissing).with("astrometry", aTxt).with("picture", rBmp);
    for (auto* step : {&drawMagnitudeLabels, &drawSpectrumLabels}) {
        writeFrame(textured(40, 20));
        const std::string frameBytes = readFileBytes(rBmp);
        RecordingNotifier n;
        EXPECT_FALSE(step(rBmp, n));  // no A.txt
        EXPECT_EQ(readFileBytes(rBmp), frameBytes);

        std::filesystem::remove(rBmp);
        writeStars({"1|2|10|10|2.1|Vega|A0"});
        EXPECT_FALSE(step(rBmp, n));  // no R.bmp
        EXPECT_FALSE(std::filesystem::exists(rBmp));
        std::filesystem::remove(aTxt);

        EXPECT_EQ(n.reports, (std::vector<TDiagnostic>{missing, missing}));
    }
}

TEST_F(LabelsTest, ANonNumericCoordinateRaisesAndTheFrameIsLeftAsItWas) {
    writeFrame(textured(60, 40));
    const std::string frameBytes = readFileBytes(rBmp);
    writeStars({"1|2|10|10|2.1|Vega|A0", "1|2|20|2O|3.0|Altair|A7"});
    for (auto* step : {&drawMagnitudeLabels, &drawSpectrumLabels}) {
        try {
            step(rBmp, notifier);
            ADD_FAILURE() << "no conversion error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.diagnostic().value("file"), aTxt) << e.what();
            EXPECT_EQ(e.diagnostic().value("line"), "2") << e.what();
        }
        EXPECT_EQ(readFileBytes(rBmp), frameBytes);
        EXPECT_FALSE(notifier.progressVisible);
    }
}

}  // namespace
}  // namespace orbis
