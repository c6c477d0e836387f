// The result JPEG's comment segment (TJPEGCommentInfo, annotateJpeg).
// Input: the JPEG, the event report and A.txt, split at kPartSeparator. A
// comment that is read lies inside the file; an annotation adds exactly one
// segment that a second reading finds.

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "fuzz/uFuzzSupport.h"
#include "reports/uJPEGComment.h"
#include "reports/uJpegFile.h"

namespace orbis::fuzz {

const char* const kTargetName = "jpeg";

TSeeds targetSeeds() {
    TSeeds seeds;
    const std::filesystem::path folder = freshScratchFolder();
    const std::string jpeg = (folder / "R.jpg").string();
    TGreyFrame frame{16, 8, std::vector<uint8_t>(16 * 8)};
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) frame.pixels[i] = static_cast<uint8_t>(i * 5);
    saveGreyJpeg(frame, jpeg);
    const std::string plain = readFile(jpeg);

    const std::string report = "UT_DATE=12.08.2024\r\nMAGN=-2.15\r\nSHOWER=PER\r\n";
    const std::string aTxt = "41.235|12.003|120|88|2.41|Star A|K0\r\n45.003|11.87|320|240|0.00|CENTER|CENTER\r\n";
    writeFile(folder / "r.txt", report);
    writeFile(folder / "a.txt", aTxt);
    TConfiguration config;
    config.load(folder / "absent.ini");
    config.setObserver("Илья Зябликов");  // FF E1 in Windows-1251 inside the comment
    annotateJpeg(jpeg, (folder / "r.txt").string(), (folder / "a.txt").string(), config);
    const std::string annotated = readFile(jpeg);

    // An EXIF segment before the picture's own segments.
    const std::string exif = std::string("\xFF\xE1\x00\x10", 4) + std::string("Exif\0\0MM\0\x2A\0\0\0\x08", 14);
    seeds.inputs.push_back(joinParts({plain, report, aTxt}));
    seeds.inputs.push_back(joinParts({annotated, report, aTxt}));
    seeds.inputs.push_back(joinParts({plain.substr(0, 2) + exif + plain.substr(2), report, aTxt}));
    seeds.tokens = {std::string("\xFF\xFE\x00\x02", 4), std::string("\xFF\xE1\x00\x08", 4), "\xFF\xD8", "\xFF\xD9",
                    "\xFF\xDA", "\xFF\xFF"};
    return seeds;
}

}  // namespace orbis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orbis;
    using namespace orbis::fuzz;
    const std::vector<std::string> parts = splitParts(std::string_view(reinterpret_cast<const char*>(data), size), 3);
    const std::filesystem::path folder = freshScratchFolder();
    const std::string jpeg = (folder / "M234107_120R.jpg").string();
    const std::string report = (folder / "M234107_120.txt").string();
    const std::string aTxt = (folder / "M234107_120A.txt").string();
    writeFile(jpeg, parts[0]);
    writeFile(report, parts[1]);
    writeFile(aTxt, parts[2]);
    const std::string original = parts[0];

    // Reading, raising on a failure.
    try {
        TJPEGCommentInfo info;
        info.setFileName(jpeg);
        check(!info.lastError(), "an error recorded without being raised");
        if (info.jpegCommentOffset() >= 0) {
            check(static_cast<std::size_t>(info.jpegCommentOffset()) + 4 + info.jpegCommentLength() <= original.size(),
                  "the comment lies beyond the end of the file");
        }
        check(info.exifOffset() < static_cast<int32_t>(original.size()), "the EXIF segment lies beyond the file");
    } catch (const EJPEGCommentReadException&) {
    }

    TJPEGCommentInfo before;
    before.setJPEGCommentSettings({tjCheckFile, tjSilent});
    before.setFileName(jpeg);
    const bool hadComment = before.jpegCommentOffset() >= 0;

    TConfiguration config;
    config.load(folder / "absent.ini");
    try {
        annotateJpeg(jpeg, report, aTxt, config);
    } catch (const EInOutError&) {
        check(readFile(jpeg) == original, "a refused annotation changed the picture");
        return 0;
    }
    const std::string annotated = readFile(jpeg);
    if (annotated == original) {
        // Only a comment beyond the 16-bit segment length is left out.
        check(parts[1].size() + parts[2].size() > 30000, "the annotation added no segment");
        return 0;
    }
    check(annotated.size() > original.size() + 4, "the annotation added no segment");
    TJPEGCommentInfo after;
    after.setJPEGCommentSettings({tjCheckFile, tjSilent});
    after.setFileName(jpeg);
    check(!after.lastError(), "the annotated picture does not read: " + (after.lastError() ? after.lastError()->plain() : std::string()));
    check(after.jpegCommentOffset() >= 0, "the annotation is not found in the annotated picture");
    if (!hadComment) {
        const std::size_t n = annotated.size() - original.size() - 4;
        check(after.jpegCommentLength() == n, "the comment found is not the annotation");
    }
    return 0;
}
