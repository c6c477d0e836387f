// Event clips and recordings (TAviReader, readAviHeaders, readClipInfo). A
// clip that opens must describe a frame size and a frame period the reader
// accepts, and every frame it lists must read whole.

#include <stdexcept>
#include <string>
#include <utility>

#include "astro/uExceptions.h"
#include "capture/uAviFile.h"
#include "fuzz/uFuzzSupport.h"

namespace orbis::fuzz {

const char* const kTargetName = "avi";

namespace {

std::string clip(const std::string& path, int width, int height, int bits, int frames) {
    std::filesystem::remove(path);  // the writer never replaces a file
    {
        TAviWriter writer(path, width, height, bits, 25, 1);
        std::vector<uint8_t> frame(static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) / 8 *
                                   static_cast<std::size_t>(height));
        for (int f = 0; f < frames; ++f) {
            for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7 + f * 31);
            writer.writeFrame(frame);
        }
        writer.close();
    }
    return readFile(path);
}

void put32(std::string& s, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string chunk(std::string_view id, std::string_view data) {
    std::string c(id);
    c.resize(8);
    put32(c, 4, static_cast<uint32_t>(data.size()));
    c += data;
    if (data.size() % 2 != 0) c += '\0';
    return c;
}

}  // namespace

TSeeds targetSeeds() {
    TSeeds seeds;
    const std::string path = (freshScratchFolder() / "seed.avi").string();
    const std::string grey = clip(path, 9, 5, 8, 3);  // odd width: padded rows
    seeds.inputs.push_back(grey);
    seeds.inputs.push_back(clip(path, 4, 3, 24, 2));
    seeds.inputs.push_back(clip(path, 3, 2, 32, 1));

    // Top-down rows: a negative height in the stream format.
    std::string topDown = grey;
    if (const std::size_t strf = topDown.find("strf"); strf != std::string::npos) {
        put32(topDown, strf + 8 + 8, static_cast<uint32_t>(-5));
        seeds.inputs.push_back(topDown);
    }
    // A recording continued in a RIFF AVIX chunk, its frame inside a "rec " list.
    const std::string frame(12 * 5, '\x42');
    seeds.inputs.push_back(grey + chunk("RIFF", "AVIX" + chunk("LIST", "movi" + chunk("LIST", "rec " + chunk("00db", frame)))));
    // Damage that moves every chunk after it: bytes cut out of the second
    // frame's data, or repeated inside it; with and without the index.
    if (const std::size_t second = grey.find("00db", grey.find("00db") + 4); second != std::string::npos) {
        std::string cut = grey;
        cut.erase(second + 8 + 10, 20);
        std::string repeated = grey;
        repeated.insert(second + 8 + 30, grey.substr(second + 8 + 10, 20));
        for (const std::string& damaged : {cut, repeated}) {
            seeds.inputs.push_back(damaged);
            seeds.inputs.push_back(damaged.substr(0, damaged.rfind("idx1")));
        }
    }
    // Frame rates no camera has: rate or scale at their largest, rate 0.
    if (const std::size_t strh = grey.find("strh"); strh != std::string::npos) {
        for (const auto& [at, value] : {std::pair{std::size_t{24}, 0xFFFFFFFFu}, {std::size_t{20}, 0xFFFFFFFFu}, {std::size_t{24}, 0u}}) {
            std::string rate = grey;
            put32(rate, strh + 8 + at, value);
            seeds.inputs.push_back(rate);
        }
    }
    seeds.tokens = {"RIFF", "LIST", "AVI ", "AVIX", "hdrl", "strl", "strh", "strf", "vids", "movi", "rec ", "idx1",
                    "00db", "00dc", "01db", "JUNK", "DIB "};
    return seeds;
}

}  // namespace orbis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::string path = (freshScratchFolder() / "clip.avi").string();
    writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    const TAviInfo browsed = readClipInfo(path);
    try {
        TAviReader reader(path);
        const TAviInfo& info = reader.info();
        check(info.width >= 1 && info.width <= 32768 && info.height >= 1 && info.height <= 32768,
              "frame size " + std::to_string(info.width) + " x " + std::to_string(info.height));
        check(info.bitsPerPixel == 8 || info.bitsPerPixel == 24 || info.bitsPerPixel == 32, "bit depth");
        check(info.rate > 0 && info.scale > 0, "frame rate with a zero");
        check(info.framePeriod() >= 0.001 && info.framePeriod() <= 10.0, "frame period outside 1 ms to 10 s");
        check(info.bitsPerPixel == 8 ? !info.palette.empty() && info.palette.size() <= 256 : true, "palette size");
        check(info.frameCount >= 0, "negative frame count");
        check(info.framesPerSecond() >= 1, "frames per second below 1");
        check(browsed.width == info.width && browsed.height == info.height && browsed.frameCount == info.frameCount,
              "readClipInfo disagrees with the reader");

        const std::size_t frameBytes = static_cast<std::size_t>(info.width) *
                                       static_cast<std::size_t>(info.bitsPerPixel) / 8 *
                                       static_cast<std::size_t>(info.height);
        // Every frame listed lies in the file; reading a few of them is enough.
        for (int index : {0, 1, info.frameCount / 2, info.frameCount - 1}) {
            if (index < 0 || index >= info.frameCount) continue;
            check(reader.readFrame(index).size() == frameBytes, "frame " + std::to_string(index) + " has the wrong size");
        }
    } catch (const Exception&) {
        // Refused (compressed, damaged, frames of another size than the
        // header's): the browser shows what the headers announce, if anything.
        try {
            const TAviInfo headers = readAviHeaders(path);
            check(browsed.width == headers.width && browsed.height == headers.height &&
                      browsed.frameCount == headers.declaredFrames && headers.declaredFrames >= 0,
                  "readClipInfo disagrees with the headers of a clip the reader refuses");
        } catch (const Exception&) {
            check(browsed.width == 0 && browsed.frameCount == 0, "readClipInfo describes a file without AVI headers");
        }
    }
    return 0;
}
