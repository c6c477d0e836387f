#include "app/cli/uCliExtract.h"

#include <filesystem>
#include <optional>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
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
    "saved), an unreadable clip (also one with a damaged frame, which orbisight-cli\n"
    "repair can leave out, or a frame period outside 1 ms to 10 s; nothing is saved) or\n"
    "frames that cannot be written, 2 bad arguments or a clip or station directory that\n"
    "is not there.\n";

}  // namespace

int extractCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs parsed;
    int start = 1;
    std::string startText = "1";
    try {
        parsed = parseCliArgs(args, {"--start-number", "--target", "--station"}, {"--help"});
        if (parsed.has("--help")) {
            out << kUsage;
            return kExitDone;
        }
        if (parsed.positional.size() != 1) throw CliUsageError(cli::kOneClip);
        startText = parsed.value("--start-number", "1");
        start = parseInt(startText);
        if (start < 1) throw CliUsageError(cli::kAtLeastOne, {{"option", "--start-number"}});
    } catch (const std::exception& e) {
        err << "orbisight-cli extract: " << words.failure(e) << "\n\n" << kUsage;
        return kExitUsage;
    }
    const std::string clip = parsed.positional[0];
    CliNotifier notifier(err, language);
    try {
        std::error_code ec;
        if (!std::filesystem::exists(clip, ec))
            throw CliMissingInput(TDiagnostic(Code::GivenFileMissing).with("file", clip));
        // A mistyped --station is refused as by every command, though the
        // frames do not depend on the station's settings.
        if (parsed.has("--station")) requireStationDirectory(parsed.value("--station"));
        std::optional<std::string> chosen;
        if (parsed.has("--target")) chosen = parsed.value("--target");
        const TClipIntake intake = takeClipIntoWork(clip, startText, chosen, notifier);
        out << words.say(cli::kFramesExtracted,
                         {{"directory", intake.targetDirectory},
                          {"count", std::to_string(intake.framesSaved)},
                          {"file", std::filesystem::path(frameFileName(intake.targetDirectory, intake.firstNumber))
                                       .filename()
                                       .string()}})
            << "\n";
        if (intake.countMismatch()) {
            err << "orbisight-cli extract: "
                << words.say(cli::kDecodedOtherCount, {{"clip", clip},
                                                       {"count", std::to_string(intake.framesSaved)},
                                                       {"declared", std::to_string(intake.declaredFrames)}})
                << "\n";
            return kExitFailed;
        }
        if (intake.missingFrames > 0) {
            // The frames found are kept; the meteor may be in the others.
            err << "orbisight-cli extract: "
                << words.say(cli::kFramesNotSaved, {{"count", std::to_string(intake.missingFrames)}, {"clip", clip}})
                << "\n";
            return kExitFailed;
        }
        return kExitDone;
    } catch (const std::exception& e) {
        err << "orbisight-cli extract: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

}  // namespace orbis
