// `orbisight-cli extract` on generated clips.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "DamagedClips.h"
#include "TempDir.h"
#include "app/cli/uCliExtract.h"
#include "astro/uUniUtils.h"
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
    // --station is taken as by every command; a mistyped one is refused
    // before anything is written.
    std::string out;
    const std::string into[] = {"--start-number", "2", "--target", (night / "st").string()};
    EXPECT_EQ(extract({clip, "--station", night.str(), into[0], into[1], into[2], into[3]}, &out), 0) << out;
    EXPECT_TRUE(std::filesystem::exists(night / "st" / "F006.bmp"));
    std::filesystem::remove_all(night / "st");
    EXPECT_EQ(extract({clip, "--station", (night / "typo").string(), into[0], into[1], into[2], into[3]}, &out), 2);
    EXPECT_NE(out.find("no station directory"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(night / "st"));
}

// A little-endian 32-bit value at the offset `from` bytes after the first `id`.
void patch32(std::string& bytes, const char* id, std::size_t from, int32_t value) {
    const std::size_t at = bytes.find(id);
    ASSERT_NE(at, std::string::npos) << id;
    for (int i = 0; i < 4; ++i) bytes[at + from + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

TEST(CliExtract, FramesAreUprightAndCompressedClipsAreDecodedAndCounted) {
    test::TempDir night;
    // Stored top row first (a negative height): the frame files still show
    // the sky the right way up, byte for byte.
    const std::string clip = (night / "213045_120.avi").string();
    std::vector<uint8_t> frame(16 * 4);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i);  // bottom row first
    {
        std::vector<uint8_t> topFirst(frame.size());
        for (std::size_t i = 0; i < frame.size(); ++i) topFirst[(3 - i / 16) * 16 + i % 16] = frame[i];
        TAviWriter w(clip, 16, 4, 8, 25);
        w.writeFrame(topFirst);
    }
    std::string bytes = readFileBytes(clip);
    patch32(bytes, "strf", 16, -4);
    writeFileAtomically(clip, bytes);
    ASSERT_EQ(extract({clip}), 0);
    EXPECT_EQ(loadGreyFrame((night / "213045_120" / "F001.bmp").string()).pixels, frame);

    // Motion JPEG: decoded, every frame saved, upright (white band at the top).
    const std::string mjpeg = (night / "213050_000.avi").string();
    const std::string command = "ffmpeg -loglevel error -f lavfi -i "
                                "'color=black:s=64x48:r=25,drawbox=x=0:y=0:w=64:h=12:color=white:t=fill' "
                                "-frames:v 10 -c:v mjpeg '" + mjpeg + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string out;
    ASSERT_EQ(extract({mjpeg}, &out), 0) << out;
    EXPECT_TRUE(std::filesystem::exists(night / "213050_000" / "F010.bmp"));
    EXPECT_FALSE(std::filesystem::exists(night / "213050_000" / "F011.bmp"));
    const TGreyFrame decoded = loadGreyFrame((night / "213050_000" / "F001.bmp").string());
    EXPECT_GT(decoded.pixels[47 * 64 + 32], 200);  // last row in memory = top of the picture
    EXPECT_LT(decoded.pixels[0 * 64 + 32], 50);

    // Headers that announce more frames than decoding finds: said, status 1.
    bytes = readFileBytes(mjpeg);
    patch32(bytes, "avih", 8 + 16, 12);
    patch32(bytes, "strh", 8 + 32, 12);
    const std::string shortClip = (night / "213051_000.avi").string();
    writeFileAtomically(shortClip, bytes);
    EXPECT_EQ(extract({shortClip}, &out), 1) << out;
    EXPECT_NE(out.find("decoded to 10 frame(s) where its headers announce 12"), std::string::npos) << out;
}

TEST(CliExtract, BadClipsAndArgumentsWriteNothing) {
    test::TempDir night;
    const std::string text = (night / "213045_120.avi").string();
    std::ofstream(text) << "not a clip";
    std::string out;
    EXPECT_EQ(extract({text}, &out), 1);
    EXPECT_NE(out.find("not a readable AVI clip"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(night / "213045_120"));
    EXPECT_EQ(extract({text, "--start-number", "x"}), 2);
    EXPECT_EQ(extract({text, "--start-number", "0"}), 2);
    EXPECT_EQ(extract({}), 2);

    // A clip without frames, one whose name gives no event, a pipe.
    TAviWriter((night / "213046_000.avi").string(), 8, 8, 8, 25).close();
    EXPECT_EQ(extract({(night / "213046_000.avi").string()}, &out), 1);
    EXPECT_NE(out.find("holds no frames"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(night / "213046_000"));
    TAviWriter dotted((night / ".avi").string(), 8, 8, 8, 25);
    dotted.writeFrame(std::vector<uint8_t>(64, 1));
    dotted.close();
    EXPECT_EQ(extract({(night / ".avi").string()}, &out), 1);
    EXPECT_FALSE(std::filesystem::exists(night / "F001.bmp")) << out;
    ASSERT_EQ(::mkfifo((night / "213047_000.avi").c_str(), 0600), 0);
    EXPECT_EQ(extract({(night / "213047_000.avi").string()}, &out), 1);  // refused, not waited on
}

TEST(CliExtract, AFailureHalfWayTakesBackTheFramesItWrote) {
    test::TempDir night;
    const std::string clip = (night / "213045_120.avi").string();
    {
        TAviWriter writer(clip, 8, 8, 8, 25);
        for (int i = 0; i < 5; ++i) writer.writeFrame(std::vector<uint8_t>(64, static_cast<uint8_t>(i)));
    }
    // Frame 3 cannot be written: a folder holds its name.
    std::filesystem::create_directories(night / "213045_120" / "F003.bmp");
    std::string out;
    EXPECT_EQ(extract({clip}, &out), 1);
    EXPECT_FALSE(std::filesystem::exists(night / "213045_120" / "F001.bmp")) << out;
    EXPECT_FALSE(std::filesystem::exists(night / "213045_120" / "F002.bmp"));
    EXPECT_TRUE(std::filesystem::is_directory(night / "213045_120" / "F003.bmp"));  // not this run's

    // Cut off in its last frame, the index lost: the frames before it are
    // saved, the loss is an error.
    std::string cutOff = readFileBytes(clip);
    cutOff = cutOff.substr(0, cutOff.rfind("idx1") - 10);
    const std::string third = (night / "213046_500.avi").string();
    writeFileAtomically(third, cutOff);
    EXPECT_EQ(extract({third}, &out), 1) << out;
    EXPECT_NE(out.find("4 frames from F001.bmp"), std::string::npos) << out;
    EXPECT_NE(out.find("1 frame(s) announced"), std::string::npos) << out;
    EXPECT_EQ(loadGreyFrame((night / "213046_500" / "F003.bmp").string()).pixels, std::vector<uint8_t>(64, 2));

    // Start numbers: beyond 999 the names grow; past the integers they are refused.
    EXPECT_EQ(extract({clip, "--start-number", "1000000", "--target", (night / "big").string()}, &out), 0) << out;
    EXPECT_TRUE(std::filesystem::exists(night / "big" / "F1000004.bmp"));
    EXPECT_EQ(extract({clip, "--start-number", "2147483646", "--target", (night / "huge").string()}, &out), 1);
    EXPECT_FALSE(std::filesystem::exists(night / "huge"));
}

// A damaged frame in the middle is neither saved as a picture nor left out
// (the frames after it would be numbered one too low); a clip whose frame
// period no camera has is refused too. Nothing is written.
TEST(CliExtract, DamagedFramesAndImplausibleFrameRatesWriteNothing) {
    test::TempDir night;
    const std::string good = test::numberedClip(night / "good.avi", test::framesUpTo(35));
    std::string absurdRate = good;
    test::put32(absurdRate, test::kScaleAt, 0xFFFFFFFFu);
    const std::pair<std::string, std::string> clips[] = {
        {test::cutInFrame(good, 9), "frame 10 of 35 is damaged"},
        {test::duplicatedInFrame(test::withoutIndex(good), 9), "frame 10 of 35 is damaged"},
        {absurdRate, "frame rate of 25/4294967295"},
    };
    int n = 0;
    for (const auto& [bytes, message] : clips) {
        const std::string name = "21304" + std::to_string(n++) + "_000";
        const std::string clip = (night / (name + ".avi")).string();
        writeFileAtomically(clip, bytes);
        std::string out;
        EXPECT_EQ(extract({clip}, &out), 1) << out;
        EXPECT_NE(out.find(clip), std::string::npos) << out;
        EXPECT_NE(out.find(message), std::string::npos) << out;
        EXPECT_FALSE(std::filesystem::exists(night / name)) << out;
    }
}

}  // namespace
}  // namespace orbis
