#include "app/cli/uCliRepair.h"

#include <filesystem>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
#include "capture/uAviRepair.h"

namespace orbis {

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli repair CLIP.avi [--station DIR]\n"
    "\n"
    "Mends an AVI clip or recording whose writer was killed or lost its power: the\n"
    "frames are all there, but the headers do not count them and the index is missing.\n"
    "Rebuilds the RIFF and movi sizes, the frame counts and the idx1 index from the\n"
    "chunks the file holds; a last chunk cut short is left out, and so are damaged\n"
    "frames (bytes cut out or added, a wrong size), saying how many: the frames after\n"
    "them then come that many frame periods early. The mended file is written beside\n"
    "the clip and renamed over it, so the clip stays as it was when anything fails. A\n"
    "whole clip is left untouched.\n"
    "\n"
    "  --station DIR  the station directory (default: the program's directory); it must\n"
    "                 exist, though the repair reads none of its settings\n"
    "\n"
    "Exit status: 0 repaired or already whole, 1 not repaired (not an AVI file, damage\n"
    "that no whole chunk follows, or the mended file cannot be written), 2 bad arguments,\n"
    "a clip or station directory that is not there.\n";

}  // namespace

int repairCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs parsed;
    try {
        parsed = parseCliArgs(args, {"--station"}, {"--help"});
        if (parsed.has("--help")) {
            out << kUsage;
            return kExitDone;
        }
        if (parsed.positional.size() != 1) throw CliUsageError(cli::kOneClip);
        if (parsed.has("--station")) requireStationDirectory(parsed.value("--station"));
    } catch (const std::exception& e) {
        err << "orbisight-cli repair: " << words.failure(e) << "\n";
        if (dynamic_cast<const CliUsageError*>(&e)) err << "\n" << kUsage;
        return exitStatusFor(e);
    }
    const std::string& clip = parsed.positional[0];
    try {
        std::error_code ec;
        if (!std::filesystem::exists(clip, ec))
            throw CliMissingInput(TDiagnostic(Code::GivenFileMissing).with("file", clip));
        const TAviRepair r = repairAviFile(clip);
        if (!r.changed) {
            out << words.say(cli::kClipWhole, {{"clip", clip}, {"frames", std::to_string(r.frames)}}) << "\n";
            return kExitDone;
        }
        out << words.say(cli::kClipRepaired, {{"clip", clip}, {"frames", std::to_string(r.frames)}});
        if (r.droppedBytes > 0) out << words.say(cli::kCutChunkLeftOut, {{"bytes", std::to_string(r.droppedBytes)}});
        if (r.damagedBytes > 0)
            out << words.say(cli::kDamagedLeftOut,
                             {{"count", std::to_string(r.damagedFrames)}, {"bytes", std::to_string(r.damagedBytes)}});
        out << "\n";
        return kExitDone;
    } catch (const std::exception& e) {
        err << "orbisight-cli repair: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

}  // namespace orbis
