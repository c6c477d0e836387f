// The image stages of an event: what they write, what they show, and when
// they refuse or skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "DiagnosticTesting.h"
#include "RecordingNotifier.h"
#include "SyntheticSky.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"

namespace orbis {
namespace {

struct Event {
    test::TempDir station;
    std::string dir = (station / "20240812" / "231001_280").string();
    std::string stem = dir + "/M231001_280";
    TConfiguration config;  // the defaults

    Event() {
        std::filesystem::create_directories(dir);
    }
    void writeFrames(int count, int w = 64, int h = 48) {
        test::SyntheticSky sky(w, h, 5);
        sky.addMeteor({3, 6, 10, 10, 6, 3, 230});
        for (int i = 0; i < count; ++i) saveGreyBitmap(sky.frame(i), w, h, frameFileName(dir, i + 1));
    }
    TImageStagesResult run(test::RecordingNotifier& n) { return runImageStages(dir, config, station.str(), n); }
};

std::vector<std::string> shown(const test::RecordingNotifier& n) {
    std::vector<std::string> s;
    for (const auto& t : n.statuses)
        if (!t.empty()) s.push_back(t);
    return s;
}

TEST(ImageStages, WriteTheThreeWorkBitmapsWithTheirCaptions) {
    Event e;
    e.config.setAddResultWidth(3);
    e.config.setAddResultHeight(2);
    e.config.setCoefX(8, 0.01);
    e.writeFrames(12);
    test::RecordingNotifier n;
    const TImageStagesResult r = e.run(n);
    EXPECT_TRUE(r.ran);
    EXPECT_FALSE(r.skipped);
    EXPECT_EQ(r.frames, 12);
    EXPECT_EQ(r.width, 64 + 6);
    EXPECT_EQ(r.height, 2 * 48 + 4);
    EXPECT_EQ(n.stageCodes(), (std::vector<Code>{Code::StageReadingFrames, Code::StageRemovingDarkFrame,
                                                 Code::StageLevellingBackground, Code::StageSummingFrames,
                                                 Code::StageSavingMagnitudeFrame, Code::StageAutoContrast,
                                                 Code::StageOverlayingMeteor, Code::StageDoublingHeight,
                                                 Code::StageCorrectingDistortion}));
    EXPECT_EQ(shown(n).size(), 9u);  // each stage shown while it runs
    EXPECT_EQ(n.statuses.back(), "");
    EXPECT_FALSE(n.progressVisible);
    const TGreyFrame m = loadGreyFrame(e.stem + "M.bmp");
    EXPECT_EQ(m.width, 64);
    EXPECT_EQ(m.height, 48);
    for (const char* name : {"P.bmp", "R.bmp"}) {
        const TGreyFrame f = loadGreyFrame(e.stem + name);
        EXPECT_EQ(f.width, 70);
        EXPECT_EQ(f.height, 100);
    }
    // The meteor is in the result, not in the background.
    const TGreyFrame p = loadGreyFrame(e.stem + "P.bmp");
    const TGreyFrame res = loadGreyFrame(e.stem + "R.bmp");
    int brighter = 0;
    for (std::size_t i = 0; i < p.pixels.size(); ++i) brighter += res.pixels[i] > p.pixels[i] + 50;
    EXPECT_GT(brighter, 20);
}

TEST(ImageStages, AFieldPositionMapsOntoItsStarInTheProcessedFrame) {
    // A star at column 20, row 13 from the top of the field, counted as the
    // track and M.txt count rows.
    const int w = 64, h = 48, sx = 20, sy = 13;
    std::vector<uint8_t> field(static_cast<std::size_t>(w * h), 30);
    const auto at = [&](int x, int yTop) -> uint8_t& { return field[static_cast<std::size_t>((h - 1 - yTop) * w + x)]; };
    at(sx, sy) = 200;
    at(sx - 1, sy) = at(sx + 1, sy) = at(sx, sy - 1) = at(sx, sy + 1) = 120;
    for (const double k : {0.0, 4.0}) {  // radial r' = r (1 + k r^2), r in units of 100 px
        Event e;
        e.config.setAutoContrastFrame(false);  // would saturate the star's flanks as well
        e.config.setDoubleFrameHeight(true);
        e.config.setCorrectDistortion(true);
        e.config.setAddResultWidth(3);
        e.config.setAddResultHeight(2);
        e.config.setCoefX(7, k);
        e.config.setCoefX(8, k);
        e.config.setCoefY(6, k);
        e.config.setCoefY(9, k);
        for (int i = 1; i <= 6; ++i) saveGreyBitmap(field, w, h, frameFileName(e.dir, i));
        test::RecordingNotifier n;
        e.run(n);
        const TGreyFrame p = loadGreyFrame(e.stem + "P.bmp");
        const auto peak = std::max_element(p.pixels.begin(), p.pixels.end());
        ASSERT_EQ(std::count(p.pixels.begin(), p.pixels.end(), *peak), 1) << "k " << k;
        const auto index = static_cast<int>(peak - p.pixels.begin());
        const int px = index % p.width, pyTop = p.height - 1 - index / p.width;

        const TDistortion d = TDistortion::fromConfiguration(e.config);
        const TCorrectedPointFinder finder(p.width, p.height, d);
        int x = sx, y = sy;
        mapTrackPoint(x, y, true, true, d, &finder);
        EXPECT_EQ(x, px) << "k " << k;
        EXPECT_EQ(y, pyTop) << "k " << k;
        if (k == 0) EXPECT_EQ(pyTop, 2 * sy + 1 + 2);
        else EXPECT_NE(px, sx + 3);  // the correction moved the star
    }
}

TEST(ImageStages, SecondRunSkipsAndARepeatedRunIsByteIdentical) {
    Event e;
    e.writeFrames(8);
    test::RecordingNotifier n;
    e.run(n);
    const std::string p = readFileBytes(e.stem + "P.bmp"), m = readFileBytes(e.stem + "M.bmp"), r = readFileBytes(e.stem + "R.bmp");
    test::RecordingNotifier again;
    const TImageStagesResult second = e.run(again);
    EXPECT_TRUE(second.skipped);
    EXPECT_EQ(second.width, 64);
    EXPECT_EQ(second.height, 96);
    EXPECT_TRUE(shown(again).empty());
    for (const char* lost : {"P.bmp", "R.bmp"}) {  // a run cut short, or a file deleted
        std::filesystem::remove(e.stem + lost);
        EXPECT_FALSE(e.run(again).skipped) << lost;
        EXPECT_EQ(readFileBytes(e.stem + "P.bmp"), p);
        EXPECT_EQ(readFileBytes(e.stem + "M.bmp"), m);
        EXPECT_EQ(readFileBytes(e.stem + "R.bmp"), r);
    }
}

TEST(ImageStages, NothingWithoutFramesAndOnlyFramesCount) {
    Event e;
    test::RecordingNotifier n;
    EXPECT_FALSE(e.run(n).ran);
    saveGreyBitmap(std::vector<uint8_t>(64 * 48, 9), 64, 48, e.dir + "/F1000.bmp");  // not a frame: 9 characters
    saveGreyBitmap(std::vector<uint8_t>(64 * 48, 9), 64, 48, e.dir + "/notes.bmp");
    EXPECT_FALSE(e.run(n).ran);
    EXPECT_FALSE(std::filesystem::exists(e.stem + "M.bmp"));
}

TEST(ImageStages, FramesOfAnotherSizeAreRefusedBeforeAnythingIsWritten) {
    Event e;
    e.writeFrames(5);
    saveGreyBitmap(std::vector<uint8_t>(60 * 48, 9), 60, 48, frameFileName(e.dir, 4));
    test::RecordingNotifier n;
    try {
        e.run(n);
        ADD_FAILURE() << "frames of two sizes were accepted";
    } catch (const EInvalidGraphic& err) {
        EXPECT_EQ(err.diagnostic().code(), Code::EventFrameSizeDiffers);
        EXPECT_EQ(err.diagnostic().value("file"), frameFileName(e.dir, 4));
        EXPECT_EQ(err.diagnostic().value("width"), "60");
        EXPECT_EQ(err.diagnostic().value("eventWidth"), "64");
    }
    for (const char* name : {"M.bmp", "P.bmp", "R.bmp"}) EXPECT_FALSE(std::filesystem::exists(e.stem + name)) << name;
}

TEST(ImageStages, SwitchesAndTheDarkFrame) {
    Event plain;
    plain.config.setDoubleFrameHeight(false);
    plain.config.setCorrectDistortion(false);
    plain.config.setAutoContrastFrame(false);
    plain.writeFrames(6);
    test::RecordingNotifier n;
    const auto r = plain.run(n);
    EXPECT_EQ(r.height, 48);
    // Without autocontrast, doubling and correction, P.bmp is the background M.bmp.
    EXPECT_EQ(loadGreyFrame(plain.stem + "P.bmp").pixels, loadGreyFrame(plain.stem + "M.bmp").pixels);

    Event dark;
    dark.config = plain.config;
    dark.writeFrames(6);
    saveGreyBitmap(std::vector<uint8_t>(64 * 48, 12), 64, 48, (dark.station / "darkFrame.bmp").string());
    dark.run(n);
    EXPECT_NE(loadGreyFrame(dark.stem + "M.bmp").pixels, loadGreyFrame(plain.stem + "M.bmp").pixels);

    // A dark frame of another size, larger, narrower or of half the rows: not
    // subtracted at all (not over part of the picture), and said so.
    for (const auto& [w, h] : {std::pair{80, 60}, std::pair{32, 48}, std::pair{64, 24}}) {
        Event odd;
        odd.config = plain.config;
        odd.writeFrames(6);
        const std::string darkPath = (odd.station / "darkFrame.bmp").string();
        saveGreyBitmap(std::vector<uint8_t>(static_cast<std::size_t>(w * h), 12), w, h, darkPath);
        test::RecordingNotifier told;
        EXPECT_TRUE(odd.run(told).ran);
        ASSERT_EQ(told.reports.size(), 1u) << w << "x" << h;
        EXPECT_EQ(told.reports[0], TDiagnostic(Code::DarkFrameSizeDiffers, Severity::Warning)
                                       .with("file", darkPath)
                                       .with("width", w)
                                       .with("height", h)
                                       .with("eventWidth", 64)
                                       .with("eventHeight", 48));
        EXPECT_EQ(loadGreyFrame(odd.stem + "M.bmp").pixels, loadGreyFrame(plain.stem + "M.bmp").pixels) << w << "x" << h;
    }

    // No dark frame named, or a folder named: the removal is skipped, silently.
    for (const std::string setting : {"", "darks"}) {
        Event unnamed;
        unnamed.config = plain.config;
        unnamed.config.setDarkFrame(setting);
        std::filesystem::create_directories(unnamed.station / "darks");
        unnamed.writeFrames(6);
        test::RecordingNotifier quiet;
        unnamed.run(quiet);
        EXPECT_TRUE(quiet.messages.empty());
        EXPECT_EQ(loadGreyFrame(unnamed.stem + "M.bmp").pixels, loadGreyFrame(plain.stem + "M.bmp").pixels);
    }
}

TEST(EventFiles, NamesComeFromTheFolderHoweverItIsWritten) {
    test::TempDir station;
    const std::filesystem::path event = station / "20240812" / "231001_280";
    std::filesystem::create_directories(event);
    const std::string stem = (event / "M231001_280").string();
    EXPECT_EQ(eventFiles(event.string() + "/").stem, stem);
    EXPECT_EQ(eventFiles(event.string() + "/.").stem, stem);
    EXPECT_EQ(eventFiles((station / "20240812" / "x" / ".." / "231001_280").string()).stem, stem);
    // Run inside the event folder: "." is that folder.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(event);
    const TEventFiles here = eventFiles(".");
    std::filesystem::current_path(before);
    EXPECT_EQ(here.eventName, "231001_280");
    EXPECT_EQ(here.stem, stem);
    EXPECT_EQ(here.nightDirectory, (station / "20240812").string());
}

}  // namespace
}  // namespace orbis
