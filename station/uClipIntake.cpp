#include "station/uClipIntake.h"

#include <filesystem>
#include <limits>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "processing/uFrameExtraction.h"
#include "processing/uNaming.h"

namespace orbis {

namespace fs = std::filesystem;

TClipIntake takeClipIntoWork(const std::string& clip, const std::string& startNumberText,
                             const std::optional<std::string>& chosenFolder, UserNotifier& notifier) {
    const int start = parseInt(startNumberText);
    if (start < 1) throw EConvertError("the start number must be 1 or more: " + startNumberText);
    // What this run creates, removed again when it fails: no half-written
    // frame directory is left behind.
    std::string createdDirectory;
    std::vector<std::string> createdFrames;
    try {
        // A pipe or device would block the reader, so only a file is taken.
        std::error_code ec;
        if (!fs::is_regular_file(clip, ec)) throw EInOutError("\"" + clip + "\" is not a file");
        TAviReader reader(clip);
        const TAviInfo& info = reader.info();
        if (info.frameCount < 1) throw EInvalidVideo("\"" + clip + "\" holds no frames");
        if (start > std::numeric_limits<int>::max() - info.frameCount) throw EConvertError("the start number is too large");
        const fs::path clipPath(clip);
        if (eventNameOfClip(clipPath.filename().string()).empty())
            throw EInvalidVideo("\"" + clip + "\": the clip's name gives no event name");
        const std::string clipsDirectory = clipPath.has_parent_path() ? clipPath.parent_path().string() : ".";
        TClipIntake intake;
        intake.targetDirectory = extractionTarget(clipsDirectory, clipPath.filename().string(), startNumberText, chosenFolder);
        intake.firstNumber = start;
        if (!fs::exists(intake.targetDirectory, ec)) {
            createdDirectory = intake.targetDirectory;
        } else {
            for (int i = 0; i < info.frameCount; ++i) {
                const std::string frame = frameFileName(intake.targetDirectory, start + i);
                if (!fs::exists(frame, ec)) createdFrames.push_back(frame);
            }
        }
        TFrameExtractor extractor(intake.targetDirectory, start, notifier);
        notifier.status("extract: frame");
        notifier.progressShow(info.frameCount);
        for (int i = 0; i < info.frameCount; ++i) {
            extractor.GrabVideo(reader.readFrame(i), {info.width, info.height, info.bitsPerPixel});
            notifier.progressPosition(i + 1);
        }
        notifier.progressHide();
        intake.framesSaved = extractor.framesSaved();
        intake.missingFrames = info.missingFrames();
        return intake;
    } catch (...) {
        notifier.progressHide();
        std::error_code ignored;
        if (!createdDirectory.empty()) fs::remove_all(createdDirectory, ignored);
        for (const std::string& frame : createdFrames) fs::remove(frame, ignored);
        throw;
    }
}

}  // namespace orbis
