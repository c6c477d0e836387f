// `orbisight-cli extract` on generated clips.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "TempDir.h"
#include "app/cli/uCliExtract.h"
#include "capture/uAviFile.h"
#include "processing/uBitmap.h"

namespace orbis {
namespace {

int extract(std::vector<std::string> args, std::string* out = nullptr) {
    std::ostringstream o, e;
    const int status = extractCommand(args, o, e);
    if (out) *out = o.str() + e.str();
    return status;
}

TEST(CliExtract, EightBitClipFramesByteForByte) {
    test::TempDir night;
    const std::string clip = (night / "213045_120.avi").string();
    std::mt19937 rng(3);
    std::vector<std::vector<uint8_t>> frames(5, std::vector<uint8_t>(37 * 11));
    {
        TAviWriter w(clip, 37, 11, 8, 25);
        for (auto& f : frames) {
            for (auto& b : f) b = static_cast<uint8_t>(rng());
            w.writeFrame(f);
        }
    }
    ASSERT_EQ(extract({clip}), 0);
    for (int i = 0; i < 5; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%03d.bmp", i + 1);
        EXPECT_EQ(loadGreyFrame((night / "213045_120" / name).string()).pixels, frames[static_cast<std::size_t>(i)]) << name;
    }
    // More frames, numbered on in a chosen folder; past 999 the names grow.
    ASSERT_EQ(extract({clip, "--start-number", "998", "--target", (night / "more").string()}), 0);
    for (const char* name : {"F998.bmp", "F999.bmp", "F1000.bmp", "F1001.bmp", "F1002.bmp"}) {
        EXPECT_TRUE(std::filesystem::exists(night / "more" / name)) << name;
    }
}

TEST(CliExtract, BadClipsAndArgumentsWriteNothing) {
    test::TempDir night;
    const std::string text = (night / "213045_120.avi").string();
    std::ofstream(text) << "not a clip";
    std::string out;
    EXPECT_EQ(extract({text}, &out), 2);
    EXPECT_NE(out.find("not a readable AVI clip"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(night / "213045_120"));
    EXPECT_EQ(extract({text, "--start-number", "x"}), 2);
    EXPECT_EQ(extract({text, "--start-number", "0"}), 2);
    EXPECT_EQ(extract({}), 2);
}

}  // namespace
}  // namespace orbis
