#include "app/cli/uCliExtract.h"

#include <filesystem>
#include <optional>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliStationDir.h"
#include "astro/uUniUtils.h"
#include "processing/uNaming.h"
#include "station/uClipIntake.h"

namespace orbis {

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli extract CLIP.avi [--start-number N] [--target DIR] [--station DIR]\n"
    "\n"
    "Saves every frame of an AVI clip as an 8-bit grey bitmap F001.bmp, F002.bmp, …\n"
    "(read directly when uncompressed, else decoded by GStreamer). With start number 1\n"
    "(the default) the frames go to the clip's event directory beside it (created if\n"
    "needed); with another start number to --target, or to the clip's event directory\n"
    "when no target is given.\n"
    "\n"
    "  --station DIR  the station directory (default: the program's directory); it must\n"
    "                 exist, though extraction reads none of its settings\n"
    "\n"
    "Exit status: 0 done, 1 frames the clip announces are cut off at its end, or a\n"
    "decoded clip gave another number of frames than it announces (the frames found are\n"
    "saved), 2 bad arguments, an unreadable clip (also one with a damaged frame, which\n"
    "orbisight-cli repair can leave out, or a frame period outside 1 ms to 10 s; nothing\n"
    "is saved) or frames that cannot be written.\n";

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
    try {
        // A mistyped --station is refused as by every command, though the
        // frames do not depend on the station's settings.
        if (parsed.has("--station")) requireStationDirectory(parsed.value("--station"));
        std::optional<std::string> chosen;
        if (parsed.has("--target")) chosen = parsed.value("--target");
        const TClipIntake intake = takeClipIntoWork(clip, startText, chosen, notifier);
        out << intake.targetDirectory << "  " << intake.framesSaved << " frames from "
            << std::filesystem::path(frameFileName(intake.targetDirectory, intake.firstNumber)).filename().string()
            << "\n";
        if (intake.countMismatch()) {
            err << "orbisight-cli extract: \"" << clip << "\" decoded to " << intake.framesSaved
                << " frame(s) where its headers announce " << intake.declaredFrames << "\n";
            return 1;
        }
        if (intake.missingFrames > 0) {
            // The frames found are kept; the meteor may be in the others.
            err << "orbisight-cli extract: " << intake.missingFrames << " frame(s) announced by \"" << clip
                << "\" are damaged or cut off and were not saved\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        err << "orbisight-cli extract: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace orbis
