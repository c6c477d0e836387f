// An event whose work files were damaged between two runs: the next run
// fails naming the file instead of publishing a meteor moved by the damage.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "RecordingNotifier.h"
#include "SkyEventFrames.h"
#include "TempDir.h"
#include "app/cli/uCliWords.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "station/uEventProcessing.h"

namespace orbis {
namespace {

namespace fs = std::filesystem;

// One event processed once, its work files kept.
struct ProcessedEvent {
    test::TempDir station;
    std::string dir = (station / "20240812" / "231001_280").string();
    std::string stem = dir + "/M231001_280";
    TConfiguration config;

    ProcessedEvent() {
        const test::SkyEventAim aim = test::aimAtSkyEvents(config, ORBIS_CATALOG_DIR);
        config.setDeleteTemp(false);
        test::writeSkyEventFrames(dir, config, aim.theta, aim.pointing);
        test::RecordingNotifier n;
        if (!processEvent(dir, config, station.str(), n).reportWritten) ADD_FAILURE() << "the undamaged event failed";
    }
    // The published results go; the next run must make them again or fail.
    void withdrawResults() const {
        fs::remove(stem + ".txt");
        fs::remove(stem + "R.jpg");
    }
    // The diagnostic of the error that ends the next run, or an empty one
    // when it ends well.
    template <typename Error>
    TDiagnostic failure() const {
        test::RecordingNotifier n;
        try {
            processEvent(dir, config, station.str(), n);
        } catch (const Error& e) {
            return e.diagnostic();
        }
        return {};
    }
};

TEST(DamagedWorkFiles, AReferenceStarOfATxtThatLostItsDeclinationStopsTheReport) {
    ProcessedEvent e;
    // With the binding switched off the run takes A.txt as it is (with it
    // on, the refinement writes A.txt anew from S.txt).
    e.config.setBindStars(false);
    const std::string aTxt = e.stem + "A.txt";
    const std::vector<std::string> good = readTextLines(aTxt);
    ASSERT_GT(good.size(), 4u);
    const std::string ra = extractField(good[1], "|", 1), rest = good[1].substr(good[1].find('|', ra.size() + 1));

    std::optional<TDiagnostic> lastWhy;
    for (const std::string& damaged : {ra + "|2147483648" + rest, ra + rest}) {
        std::vector<std::string> lines = good;
        lines[1] = damaged;
        writeTextLines(aTxt, lines);
        e.withdrawResults();
        const TDiagnostic why = e.failure<EConvertError>();
        lastWhy = why;
        EXPECT_EQ(why.value("file"), aTxt) << damaged << ": " << why.plain();
        EXPECT_EQ(why.value("line"), "2") << damaged << ": " << why.plain();
        EXPECT_FALSE(fs::exists(e.stem + ".txt")) << damaged;
        EXPECT_FALSE(fs::exists(e.stem + "R.jpg")) << damaged;
    }

    // The command line fails the event with the same diagnostic, in its words.
    e.config.save(iniFilePath(e.station.path()));
    const std::string log = (e.station / "out.txt").string();
    const std::string command = std::string(ORBISIGHT_CLI) + " process '" + e.dir + "' --station '" + e.station.str() +
                                "' > '" + log + "' 2>&1";
    EXPECT_NE(WEXITSTATUS(std::system(command.c_str())), 0) << readFileBytes(log);
    ASSERT_TRUE(lastWhy);
    EXPECT_NE(readFileBytes(log).find("orbisight-cli process: " + e.dir + ": " + CliWords().text(*lastWhy) + "\n"),
              std::string::npos)
        << readFileBytes(log);
    EXPECT_FALSE(fs::exists(e.stem + ".txt"));
}

TEST(DamagedWorkFiles, WorkBitmapsOfAnotherSizeEndTheRunNamingTheirSizes) {
    ProcessedEvent e;
    // A P.bmp of another picture: the stars would be found and bound on it.
    const std::string pBmp = e.stem + "P.bmp";
    const TGreyFrame p = loadGreyFrame(pBmp);
    saveGreyBitmap(std::vector<uint8_t>(24 * 480, 30), 24, 480, pBmp);
    for (const char* stale : {"P.txt", "S.txt", "A.txt"}) fs::remove(e.stem + stale);
    e.withdrawResults();
    EXPECT_EQ(e.failure<EInvalidGraphic>(), TDiagnostic(Code::WorkBitmapSizeWrong)
                                                .with("file", pBmp)
                                                .with("width", 24)
                                                .with("height", 480)
                                                .with("expectedWidth", 640)
                                                .with("expectedHeight", 480));
    EXPECT_FALSE(fs::exists(e.stem + ".txt"));
    EXPECT_FALSE(fs::exists(e.stem + "S.txt"));
    saveGreyBitmap(p.pixels, p.width, p.height, pBmp);

    // An R.bmp cut to a strip would become the event's JPEG.
    const std::string rBmp = e.stem + "R.bmp";
    saveGreyBitmap(std::vector<uint8_t>(640 * 24, 30), 640, 24, rBmp);
    e.withdrawResults();
    EXPECT_EQ(e.failure<EInvalidGraphic>(), TDiagnostic(Code::WorkBitmapSizeWrong)
                                                .with("file", rBmp)
                                                .with("width", 640)
                                                .with("height", 24)
                                                .with("expectedWidth", 640)
                                                .with("expectedHeight", 480));
    EXPECT_FALSE(fs::exists(e.stem + "R.jpg"));
}

}  // namespace
}  // namespace orbis
