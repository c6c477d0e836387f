#include "app/cli/uCliExtract.h"

#include <filesystem>
#include <limits>
#include <ostream>
#include <vector>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliStationDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "processing/uFrameExtraction.h"
#include "processing/uNaming.h"

namespace orbis {

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli extract CLIP.avi [--start-number N] [--target DIR] [--station DIR]\n"
    "\n"
    "Saves every frame of an uncompressed AVI clip as an 8-bit grey bitmap F001.bmp,\n"
    "F002.bmp, … With start number 1 (the default) the frames go to the clip's event\n"
    "directory beside it (created if needed); with another start number to --target, or\n"
    "to the clip's event directory when no target is given.\n"
    "\n"
    "  --station DIR  the station directory (default: the program's directory); it must\n"
    "                 exist, though extraction reads none of its settings\n"
    "\n"
    "Exit status: 0 done, 1 frames the clip announces are damaged or cut off (the others\n"
    "are saved), 2 bad arguments, an unreadable clip or frames that cannot be written.\n";

}  // namespace

int extractCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    CliArgs parsed;
    int start = 1;
    std::string startText = "1";
    try {
        parsed = parseCliArgs(args, {"--start-number", "--target", "--station"}, {"--help"});
        if (parsed.has("--help")) {
            out << kUsage;
            return 0;
        }
        if (parsed.positional.size() != 1) throw CliUsageError("one clip is needed");
        startText = parsed.value("--start-number", "1");
        start = parseInt(startText);
        if (start < 1) throw CliUsageError("the start number must be 1 or more");
    } catch (const std::exception& e) {
        err << "orbisight-cli extract: " << e.what() << "\n\n" << kUsage;
        return 2;
    }
    const std::string clip = parsed.positional[0];
    CliNotifier notifier(err);
    namespace fs = std::filesystem;
    // What this run creates, removed again when it fails: no half-written
    // frame directory is left behind.
    std::string createdDirectory;
    std::vector<std::string> createdFrames;
    try {
        // A mistyped --station is refused as by every command, though the
        // frames do not depend on the station's settings.
        if (parsed.has("--station")) requireStationDirectory(parsed.value("--station"));
        std::error_code ec;
        // The clip is read and checked before any directory is made. A pipe
        // or device would block the reader, so only a file is taken.
        if (!fs::is_regular_file(clip, ec)) throw EInOutError("\"" + clip + "\" is not a file");
        TAviReader reader(clip);
        const TAviInfo& info = reader.info();
        if (info.frameCount < 1) throw EInvalidVideo("\"" + clip + "\" holds no frames");
        if (start > std::numeric_limits<int>::max() - info.frameCount) throw CliUsageError("the start number is too large");
        const fs::path clipPath(clip);
        if (eventNameOfClip(clipPath.filename().string()).empty())
            throw EInvalidVideo("\"" + clip + "\": the clip's name gives no event name");
        const std::string clipsDirectory = clipPath.has_parent_path() ? clipPath.parent_path().string() : ".";
        std::optional<std::string> chosen;
        if (parsed.has("--target")) chosen = parsed.value("--target");
        const std::string target = extractionTarget(clipsDirectory, clipPath.filename().string(), startText, chosen);
        if (!fs::exists(target, ec)) {
            createdDirectory = target;
        } else {
            for (int i = 0; i < info.frameCount; ++i) {
                const std::string frame = frameFileName(target, start + i);
                if (!fs::exists(frame, ec)) createdFrames.push_back(frame);
            }
        }
        TFrameExtractor extractor(target, start, notifier);
        notifier.status("extract: frame");
        notifier.progressShow(info.frameCount);
        for (int i = 0; i < info.frameCount; ++i) {
            extractor.GrabVideo(reader.readFrame(i), {info.width, info.height, info.bitsPerPixel});
            notifier.progressPosition(i + 1);
        }
        notifier.progressHide();
        out << target << "  " << extractor.framesSaved() << " frames from "
            << fs::path(frameFileName(target, start)).filename().string() << "\n";
        if (info.missingFrames() > 0) {
            // The frames found are kept; the meteor may be in the others.
            err << "orbisight-cli extract: " << info.missingFrames() << " frame(s) announced by \"" << clip
                << "\" are damaged or cut off and were not saved\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        notifier.progressHide();
        std::error_code ignored;
        if (!createdDirectory.empty()) fs::remove_all(createdDirectory, ignored);
        for (const std::string& frame : createdFrames) fs::remove(frame, ignored);
        err << "orbisight-cli extract: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace orbis
