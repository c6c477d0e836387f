// The observer's track file MeteorTrack.txt (trackProblem, mappedTrackLines).
// A track the check accepts must go into A.txt without an error, as its two
// lines with their points in the processed frame.

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "fuzz/uFuzzSupport.h"
#include "measurement/uPhotometry.h"
#include "measurement/uTrack.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"

namespace orbis::fuzz {

const char* const kTargetName = "track";

namespace {

// The event the track is checked against: 30 fields of 640 x 240 pixels.
constexpr int kFrames = 30, kWidth = 640, kHeight = 240;

}  // namespace

TSeeds targetSeeds() {
    TSeeds seeds;
    seeds.text = true;
    const std::string folder = freshScratchFolder().string();
    saveTrackFile(folder, {412, 87, 3}, {530, 161, 9}, TTrackBrightness{57, 10320});
    seeds.inputs.push_back(readFile(trackFileName(folder)));
    saveTrackFile(folder, {0, 0, 1}, {639, 239, 30}, std::nullopt);
    seeds.inputs.push_back(readFile(trackFileName(folder)));
    // Damaged: a lost field shifts the columns, values that are no numbers
    // or beyond any frame.
    for (const char* damaged : {"0|0|412|87|10320|START\r\n0|0|530|161|9|57|FINISH\r\n",
                                "0|0|412|nan|3|10320|START\r\n0|0|530|161|9|57|FINISH\r\n",
                                "0|0|412|87|3|inf|START\r\n0|0|1e308|161|9|57|FINISH\r\n",
                                "0|0|412|87|3|10320|START\r\n0|0|530|2147483648|9|57|FINISH\r\n"}) {
        seeds.inputs.push_back(damaged);
    }
    seeds.tokens = {"START", "FINISH", "|START", "|FINISH", "0|0|", "|nan|", "|inf|", "|1e308|", "|2147483648|"};
    return seeds;
}

}  // namespace orbis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::string folder = freshScratchFolder().string();
    const std::string track = trackFileName(folder);
    writeFile(track, std::string_view(reinterpret_cast<const char*>(data), size));

    const std::optional<TDiagnostic> problem = trackProblem(track, kFrames, kWidth, kHeight);
    if (problem) {
        // Refused tracks never reach the mapping; the reader itself must
        // still only ever refuse with a conversion error.
        try {
            (void)mappedTrackLines(track, [](int&, int&) {});
        } catch (const EConvertError&) {
        }
        return 0;
    }

    // The processing's own mapping: the fields' height doubled.
    const TDistortion distortion;
    std::vector<std::string> mapped;
    try {
        mapped = mappedTrackLines(track, [&](int& x, int& y) { mapTrackPoint(x, y, true, false, distortion, nullptr); });
    } catch (const EConvertError& e) {
        finding(std::string("an accepted track does not map: ") + e.what());
    }
    check(mapped.size() == readTextLines(track).size() && mapped.size() <= 2, "mapped track lines");
    for (const std::string& line : mapped) {
        const int x = parseInt(extractField(line, "|", 3)), y = parseInt(extractField(line, "|", 4));
        check(x >= 0 && x < kWidth && y >= 1 && y < 2 * kHeight, "a mapped point outside the processed frame: " + line);
        const std::string tag = extractField(line, "|", 7);
        check(tag == "START" || tag == "FINISH", "mapped line without its tag: " + line);
    }
    return 0;
}
