// The AVI writer and reader: exact layout, round trips at every width and
// depth, an independent reader (ffprobe), and hostile files.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "DamagedClips.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"

namespace orbis {
namespace {

using Frames = std::vector<std::vector<uint8_t>>;

Frames randomFrames(std::mt19937& rng, int count, std::size_t bytes) {
    Frames f(static_cast<std::size_t>(count), std::vector<uint8_t>(bytes));
    for (auto& frame : f)
        for (auto& b : frame) b = static_cast<uint8_t>(rng());
    return f;
}

void writeClip(const std::string& path, int w, int h, int bits, uint32_t rate, const Frames& frames) {
    TAviWriter writer(path, w, h, bits, rate);
    for (const auto& f : frames) writer.writeFrame(f);
    writer.close();
}

void put32(std::string& b, std::size_t at, uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t le32(const std::string& b, std::size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// ffprobe's view of the first video stream: key=value lines.
std::map<std::string, std::string> ffprobe(const std::string& path) {
    const std::string cmd = "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                            "stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_read_frames -of default=nw=1 '" +
                            path + "' 2>&1";
    std::map<std::string, std::string> out;
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) return out;
    char line[512];
    while (std::fgets(line, sizeof line, p) != nullptr) {
        std::string l(line);
        while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
        const auto eq = l.find('=');
        out[eq == std::string::npos ? "output" : l.substr(0, eq)] = eq == std::string::npos ? l : l.substr(eq + 1);
    }
    out["status"] = std::to_string(pclose(p));
    return out;
}

TEST(AviFile, RoundTripAtAnyWidthAndDepth) {
    test::TempDir dir;
    std::mt19937 rng(17);
    for (auto [w, h, bits] : {std::tuple{1, 1, 8}, {3, 5, 8}, {37, 11, 8}, {64, 48, 8}, {5, 7, 24}, {33, 9, 24}, {7, 3, 32}}) {
        const std::string path = (dir / (std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(bits) + ".avi")).string();
        const Frames frames = randomFrames(rng, 6, static_cast<std::size_t>(w * h * bits / 8));
        writeClip(path, w, h, bits, 25, frames);
        TAviReader reader(path);
        const TAviInfo& info = reader.info();
        EXPECT_EQ(info.width, w);
        EXPECT_EQ(info.height, h);
        EXPECT_EQ(info.bitsPerPixel, bits);
        EXPECT_EQ(info.frameCount, 6);
        EXPECT_EQ(info.rate, 25u);
        EXPECT_EQ(info.scale, 1u);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(reader.readFrame(i), frames[static_cast<std::size_t>(i)]) << w << "x" << h << " frame " << i;
        EXPECT_THROW(reader.readFrame(6), std::out_of_range);
    }
}

TEST(AviFile, LayoutOfAGreyEventClip) {
    test::TempDir dir;
    const std::string path = (dir / "231001_280.avi").string();
    const Frames frames(3, std::vector<uint8_t>(6 * 2, 7));
    writeClip(path, 6, 2, 8, 25, frames);
    const std::string b = readFileBytes(path);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(b, 4), b.size() - 8);
    EXPECT_EQ(b.substr(8, 4), "AVI ");
    EXPECT_EQ(b.substr(24, 4), "avih");
    EXPECT_EQ(le32(b, 32), 40000u);  // microseconds per frame
    EXPECT_EQ(le32(b, 44), 0x10u);   // has an index
    EXPECT_EQ(le32(b, 48), 3u);      // frames
    EXPECT_EQ(le32(b, 56), 1u);      // one stream
    EXPECT_EQ(b.substr(100, 4), "strh");
    EXPECT_EQ(b.substr(108, 4), "vids");
    EXPECT_EQ(le32(b, 112), 0u);     // no handler
    EXPECT_EQ(le32(b, 128), 1u);     // scale
    EXPECT_EQ(le32(b, 132), 25u);    // rate
    EXPECT_EQ(le32(b, 140), 3u);     // length
    EXPECT_EQ(b.substr(164, 4), "strf");
    EXPECT_EQ(le32(b, 168), 40u + 1024u);
    EXPECT_EQ(le32(b, 172), 40u);
    EXPECT_EQ(le32(b, 180), 2u);     // height positive: bottom-up
    EXPECT_EQ(le32(b, 184) >> 16, 8u);
    EXPECT_EQ(le32(b, 192), 16u);    // image size: rows of 6 padded to 8
    for (uint32_t i = 0; i < 256; i += 51) EXPECT_EQ(le32(b, 212 + 4 * i), i | (i << 8) | (i << 16));
    const std::size_t movi = 1236;
    EXPECT_EQ(b.substr(movi, 4), "LIST");
    EXPECT_EQ(b.substr(movi + 8, 4), "movi");
    EXPECT_EQ(b.substr(movi + 12, 4), "00db");
    EXPECT_EQ(le32(b, movi + 16), 16u);
    const std::size_t idx = movi + 8 + le32(b, movi + 4);
    EXPECT_EQ(b.substr(idx, 4), "idx1");
    EXPECT_EQ(le32(b, idx + 4), 48u);
    for (uint32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(le32(b, idx + 8 + 16 * k + 4), 0x10u);  // key frame
        const uint32_t off = le32(b, idx + 8 + 16 * k + 8);
        EXPECT_EQ(b.substr(movi + 8 + off, 4), "00db");
    }
}

TEST(AviFile, IndependentReaderAcceptsEventClips) {
    test::TempDir dir;
    std::mt19937 rng(3);
    for (int count : {35, 29}) {
        const std::string path = (dir / ("clip" + std::to_string(count) + ".avi")).string();
        writeClip(path, 90, 36, 8, 25, randomFrames(rng, count, 90 * 36));
        const auto probe = ffprobe(path);
        EXPECT_EQ(probe.at("status"), "0") << probe.count("output");
        EXPECT_EQ(probe.at("codec_name"), "rawvideo");
        EXPECT_TRUE(probe.at("pix_fmt") == "pal8" || probe.at("pix_fmt") == "gray") << probe.at("pix_fmt");
        EXPECT_EQ(probe.at("width"), "90");
        EXPECT_EQ(probe.at("height"), "36");
        EXPECT_EQ(probe.at("r_frame_rate"), "25/1");
        EXPECT_EQ(probe.at("nb_read_frames"), std::to_string(count));
    }
}

TEST(AviFile, ReaderNeedsNoIndexAndFlipsTopDownClips) {
    test::TempDir dir;
    std::mt19937 rng(8);
    const std::string path = (dir / "clip.avi").string();
    const Frames frames = randomFrames(rng, 4, 5 * 3 * 3);
    writeClip(path, 5, 3, 24, 30, frames);
    std::string b = readFileBytes(path);
    // Without its index, as a writer that never got to close leaves it.
    const std::size_t idx = b.rfind("idx1");
    std::string noIndex = b.substr(0, idx);
    writeFileAtomically(path, noIndex);
    TAviReader reader(path);
    ASSERT_EQ(reader.info().frameCount, 4);
    EXPECT_EQ(reader.readFrame(3), frames[3]);

    // The same pixels declared top-down come back with their rows swapped.
    const std::size_t strfHeight = 180;
    const uint32_t negative = static_cast<uint32_t>(-3);
    for (int i = 0; i < 4; ++i) b[strfHeight + static_cast<std::size_t>(i)] = static_cast<char>((negative >> (8 * i)) & 0xFF);
    writeFileAtomically(path, b);
    TAviReader topDown(path);
    const auto f0 = topDown.readFrame(0);
    for (int r = 0; r < 3; ++r)
        EXPECT_TRUE(std::equal(f0.begin() + r * 15, f0.begin() + r * 15 + 15, frames[0].begin() + (2 - r) * 15));
}

TEST(AviFile, ClipInformationForTheVideoBrowser) {
    test::TempDir dir;
    const std::string path = (dir / "clip.avi").string();
    writeClip(path, 8, 8, 8, 25, Frames(35, std::vector<uint8_t>(64, 1)));
    const TAviInfo info = readClipInfo(path);
    EXPECT_EQ(info.frameCount, 35);
    EXPECT_DOUBLE_EQ(info.framePeriod(), 0.04);
    EXPECT_DOUBLE_EQ(info.duration(), 1.4);
    EXPECT_EQ(info.framesPerSecond(), 25);
    const TAviInfo none = readClipInfo((dir / "missing.avi").string());
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.frameCount, 0);
    EXPECT_EQ(none.duration(), 0.0);
}

// Every prefix and many corruptions of a good clip either read as a clip
// whose frames can all be read, or raise a clear error; never more.
TEST(AviFile, TruncatedAndCorruptedFilesNeverCrashTheReader) {
    test::TempDir dir;
    std::mt19937 rng(99);
    const std::string good = (dir / "good.avi").string();
    writeClip(good, 10, 6, 8, 25, randomFrames(rng, 5, 60));
    const std::string bytes = readFileBytes(good);
    const std::string path = (dir / "bad.avi").string();
    auto tryRead = [&](const std::string& content) -> bool {
        writeFileAtomically(path, content);
        try {
            TAviReader reader(path);
            for (int i = 0; i < reader.info().frameCount; ++i) {
                EXPECT_EQ(reader.readFrame(i).size(), static_cast<std::size_t>(reader.info().width * reader.info().height * reader.info().bitsPerPixel / 8));
            }
            return true;
        } catch (const EInvalidVideo&) {
        } catch (const EInOutError&) {
        }
        return false;
    };
    int readable = 0;
    for (std::size_t len = 0; len <= bytes.size(); len += 3) readable += tryRead(bytes.substr(0, len));
    EXPECT_GT(readable, 0);  // late cuts keep the complete frames
    std::uniform_int_distribution<std::size_t> pos(0, bytes.size() - 1);
    for (int k = 0; k < 400; ++k) {
        std::string damaged = bytes;
        for (int j = 0; j < 4; ++j) damaged[pos(rng)] = static_cast<char>(rng());
        tryRead(damaged);
    }
    // Sizes at their extremes.
    std::string huge = bytes;
    for (std::size_t at : {std::size_t{176}, std::size_t{180}})
        for (int i = 0; i < 4; ++i) huge[at + static_cast<std::size_t>(i)] = static_cast<char>(i == 3 ? 0x7F : 0xFF);
    EXPECT_FALSE(tryRead(huge));
    std::string zero = bytes;
    for (int i = 0; i < 4; ++i) zero[176 + static_cast<std::size_t>(i)] = 0;
    EXPECT_FALSE(tryRead(zero));
    EXPECT_FALSE(tryRead("This is a text file renamed to .avi\n"));
    EXPECT_FALSE(tryRead(""));
    EXPECT_THROW(TAviReader((dir / "missing.avi").string()), EInOutError);
}

TEST(AviFile, WriterRefusesWhatItCannotWrite) {
    test::TempDir dir;
    const std::string path = (dir / "x.avi").string();
    EXPECT_THROW(TAviWriter(path, 0, 5, 8, 25), std::invalid_argument);
    EXPECT_THROW(TAviWriter(path, 5, 5, 16, 25), std::invalid_argument);
    EXPECT_THROW(TAviWriter(path, 5, 5, 8, 0), std::invalid_argument);
    EXPECT_THROW(TAviWriter((dir / "no" / "x.avi").string(), 5, 5, 8, 25), EInOutError);
    TAviWriter writer(path, 5, 5, 8, 25);
    EXPECT_THROW(writer.writeFrame(std::vector<uint8_t>(24)), std::invalid_argument);
    writer.close();
    // A file that exists is never replaced, by whatever name it is reached.
    const std::string before = readFileBytes(path);
    EXPECT_THROW(TAviWriter((dir / "." / "x.avi").string(), 5, 5, 8, 25), EInOutError);
    EXPECT_EQ(readFileBytes(path), before);
}

// Frames whose every byte is their number, in a clip of 16 x 12 (8-bit):
// chunk k at 1248 + 200 k, its size field 4 bytes further.
TEST(AviFile, ListSizesLeadingPastTheFramesAndACutOffEndStillRead) {
    test::TempDir dir;
    Frames frames;
    for (int i = 0; i < 60; ++i) frames.emplace_back(192, static_cast<uint8_t>(i));
    const std::string good = (dir / "good.avi").string();
    writeClip(good, 16, 12, 8, 25, frames);
    const std::string bytes = readFileBytes(good);
    const std::string noIndex = bytes.substr(0, bytes.rfind("idx1"));
    int n = 0;
    // Frames read from a damaged copy, as the first byte of each.
    auto read = [&](const std::string& content, int& declared) {
        const std::string path = (dir / ("bad" + std::to_string(n++) + ".avi")).string();
        writeFileAtomically(path, content);
        TAviReader reader(path);
        declared = reader.info().declaredFrames;
        std::vector<int> numbers;
        for (int i = 0; i < reader.info().frameCount; ++i) numbers.push_back(reader.readFrame(i)[0]);
        return numbers;
    };
    std::vector<int> all(60);
    for (int i = 0; i < 60; ++i) all[static_cast<std::size_t>(i)] = i;
    for (const std::string* base : {&bytes, &noIndex}) {
        const bool indexed = base == &bytes;
        int declared = 0;
        // Sizes of the file's lists that lead past the frames.
        for (auto [at, value] : {std::pair{std::size_t{4}, 1000u}, {std::size_t{4}, 0xFFFFFFF0u}, {std::size_t{16}, 0xFFFFFFF0u},
                                 {std::size_t{1240}, 0xFFFFFFF0u}, {std::size_t{1240}, 4u}}) {
            std::string d = *base;
            put32(d, at, value);
            EXPECT_EQ(read(d, declared), all) << indexed << " at " << at;
            EXPECT_EQ(declared, 60);
        }
    }
    // A recording that was never closed: sizes of its headers only, counts
    // 0, no index, a frame cut off. Nothing is announced, nothing missing.
    std::string d = noIndex.substr(0, noIndex.size() - 50);
    put32(d, 4, 1240);
    put32(d, 1240, 4);
    put32(d, 48, 0);
    put32(d, 140, 0);
    int declared = -1;
    EXPECT_EQ(read(d, declared).size(), 59u);
    EXPECT_EQ(declared, 0);
    // Closed, its index lost and its last frame cut off: that frame is
    // missing, the others read.
    d = noIndex.substr(0, noIndex.size() - 50);
    EXPECT_EQ(read(d, declared).size(), 59u);
    EXPECT_EQ(declared, 60);
}

// Bytes cut out of a frame or repeated in it move every chunk after it; a
// size overwritten leads elsewhere. With the index or without it, the
// damaged frame is never read as pixels, nor left out so that the frames
// after it would come a frame period early: the clip is refused, naming it.
TEST(AviFile, ADamagedFrameIsRefusedByItsNumber) {
    test::TempDir dir;
    const std::string good = test::numberedClip(dir / "good.avi", test::framesUpTo(35));
    const std::size_t size9 = test::frameChunkAt(9) + 4;
    const auto withSize = [&](const std::string& base, std::size_t at, uint32_t value) {
        std::string d = base;
        put32(d, at, value);
        return d;
    };
    int n = 0;
    for (const std::string& base : {good, test::withoutIndex(good)}) {
        const std::pair<const char*, std::string> damaged[] = {
            {"cut", test::cutInFrame(base, 9)},
            {"repeated", test::duplicatedInFrame(base, 9)},
            {"cut and resized", test::cutInFrame(base, 9, true)},
            {"size past the end", withSize(base, size9, 0xFFFFFFFFu)},
            {"size 0", withSize(base, size9, 0)},
            {"size into its own pixels", withSize(base, size9, 1000)},
        };
        for (const auto& [kind, bytes] : damaged) {
            const std::string path = (dir / ("bad" + std::to_string(n++) + ".avi")).string();
            writeFileAtomically(path, bytes);
            try {
                TAviReader reader(path);
                ADD_FAILURE() << kind << ": read as " << reader.info().frameCount << " frames";
            } catch (const EInOutError& e) {
                const TDiagnostic& d = e.diagnostic();
                EXPECT_EQ(d.code(), Code::ClipFramesDamaged) << kind << ": " << d.plain();
                EXPECT_EQ(d.value("file"), path);
                EXPECT_EQ(d.value("frames"), "10") << kind;
                EXPECT_EQ(d.value("count"), "1") << kind;
                EXPECT_EQ(d.value("total"), "35") << kind;
            }
        }
    }
    const std::string path = (dir / "two.avi").string();
    writeFileAtomically(path, test::cutInFrame(test::duplicatedInFrame(good, 20), 3));
    try {
        TAviReader reader(path);
        ADD_FAILURE() << "read as " << reader.info().frameCount << " frames";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.diagnostic().value("frames"), "4, 21") << e.what();
        EXPECT_EQ(e.diagnostic().value("count"), "2");
        EXPECT_EQ(e.diagnostic().value("total"), "35");
    }
}

// Frame times are the clip's start plus frame number times the period: a
// period no camera has is refused, whichever header is asked.
TEST(AviFile, FramePeriodsOutsideAMillisecondToTenSecondsAreRefused) {
    test::TempDir dir;
    const std::string good = test::numberedClip(dir / "good.avi", test::framesUpTo(3));
    const std::string path = (dir / "clip.avi").string();
    const auto withRate = [&](uint32_t rate, uint32_t scale) {
        std::string d = good;
        put32(d, test::kRateAt, rate);
        put32(d, test::kScaleAt, scale);
        writeFileAtomically(path, d);
    };
    for (auto [rate, scale] : {std::pair{1000u, 1u}, {1u, 10u}, {30000u, 1001u}}) {
        withRate(rate, scale);
        EXPECT_EQ(TAviReader(path).info().frameCount, 3) << rate << "/" << scale;
    }
    for (auto [rate, scale] : {std::pair{0xFFFFFFFFu, 1u}, {25u, 0xFFFFFFFFu}, {1001u, 1u}, {1u, 11u}, {0u, 1u}, {25u, 0u}}) {
        withRate(rate, scale);
        const std::string value = std::to_string(rate) + "/" + std::to_string(scale);
        try {
            TAviReader reader(path);
            ADD_FAILURE() << value << " read with a period of " << reader.info().framePeriod() << " s";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.diagnostic(), TDiagnostic(Code::ClipFrameRateImplausible)
                                          .with("file", path)
                                          .with("rate", rate)
                                          .with("scale", scale));
        }
        EXPECT_THROW(readAviHeaders(path), EInOutError) << value;
        EXPECT_EQ(readClipInfo(path).frameCount, 0) << value;
    }
}

TEST(AviFile, FramesOfAnotherSizeThanTheHeadersAreRefused) {
    test::TempDir dir;
    const std::string good = (dir / "good.avi").string();
    writeClip(good, 160, 120, 8, 25, Frames(20, std::vector<uint8_t>(160 * 120, 9)));
    const std::string bytes = readFileBytes(good);
    for (auto [at, value] : {std::pair{std::size_t{176}, 1u}, {std::size_t{176}, 1000u}, {std::size_t{180}, 1u},
                             {std::size_t{180}, static_cast<uint32_t>(-1)}}) {
        const std::string path = (dir / ("bad" + std::to_string(at) + "_" + std::to_string(value) + ".avi")).string();
        std::string d = bytes;
        put32(d, at, value);
        writeFileAtomically(path, d);
        try {
            TAviReader reader(path);
            ADD_FAILURE() << "read " << reader.info().width << "x" << reader.info().height;
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.diagnostic().code(), Code::ClipFramesMismatchHeader) << e.what();
            EXPECT_EQ(e.diagnostic().value("file"), path);
            EXPECT_EQ(e.diagnostic().value("found"), "19200");
        }
    }
}

}  // namespace
}  // namespace orbis
