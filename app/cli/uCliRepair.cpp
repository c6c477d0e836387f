#include "app/cli/uCliRepair.h"

#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliStationDir.h"
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
    "that no whole chunk follows, or the mended file cannot be written), 2 bad arguments.\n";

}  // namespace

int repairCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    CliArgs parsed;
    try {
        parsed = parseCliArgs(args, {"--station"}, {"--help"});
        if (parsed.has("--help")) {
            out << kUsage;
            return 0;
        }
        if (parsed.positional.size() != 1) throw CliUsageError("one clip is needed");
        if (parsed.has("--station")) requireStationDirectory(parsed.value("--station"));
    } catch (const std::exception& e) {
        err << "orbisight-cli repair: " << e.what() << "\n\n" << kUsage;
        return 2;
    }
    const std::string& clip = parsed.positional[0];
    try {
        const TAviRepair r = repairAviFile(clip);
        if (!r.changed) {
            out << clip << ": whole, nothing changed (" << r.frames << " frames)\n";
            return 0;
        }
        out << clip << ": repaired, " << r.frames << " frames indexed";
        if (r.droppedBytes > 0) out << ", " << r.droppedBytes << " bytes of a last chunk cut short left out";
        if (r.damagedBytes > 0) out << ", " << r.damagedFrames << " damaged frame(s) left out (" << r.damagedBytes << " bytes)";
        out << "\n";
        return 0;
    } catch (const std::exception& e) {
        err << "orbisight-cli repair: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace orbis
