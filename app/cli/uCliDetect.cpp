#include "app/cli/uCliDetect.h"

#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliSignals.h"
#include "app/cli/uCliStationDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "station/uFileDetection.h"

namespace orbis {

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli detect --input CLIP.avi [--station DIR] [--start \"YYYY-MM-DD hh:nn:ss.zzz\"]\n"
    "\n"
    "Runs the meteor detector over every frame of an uncompressed 8-, 24- or 32-bit AVI\n"
    "file with the settings of the station's Orbisight.ini and writes one event clip per\n"
    "detected meteor into the station's night directories.\n"
    "\n"
    "  --input FILE   the video to examine\n"
    "  --station DIR  the station directory (default: the program's directory)\n"
    "  --start TIME   local time of the first frame; by default taken from a name like\n"
    "                 yyyymmdd/hhnnss_zzz.avi, else the file's modification time less the\n"
    "                 video's length\n"
    "\n"
    "Frames the file announces but that are cut off at its end are counted. A damaged\n"
    "frame in the middle (orbisight-cli repair can leave it out) or a frame period\n"
    "outside 1 ms to 10 s makes the file unreadable: nothing is examined.\n"
    "Ctrl+C, SIGTERM or SIGHUP stops at the next frame: the clips of the events declared\n"
    "so far are finished and listed.\n"
    "\n"
    "Exit status: 0 done, 1 a clip could not be written, an event may have been lost or\n"
    "frames of the input are missing, 2 bad arguments or unreadable input, 128 + the\n"
    "signal's number when a signal stopped it (130 Ctrl+C, 143 SIGTERM).\n";

}  // namespace

TDateTime parseStartTime(std::string_view text) {
    // yyyy-mm-dd hh:nn:ss[.zzz]
    const bool shapeOk = (text.size() == 19 || text.size() == 23) && text[4] == '-' && text[7] == '-' &&
                         (text[10] == ' ' || text[10] == 'T') && text[13] == ':' && text[16] == ':' &&
                         (text.size() == 19 || text[19] == '.');
    auto num = [&](std::size_t from, std::size_t len) {
        const std::string_view g = text.substr(from, len);
        if (!allDigits(g)) throw EConvertError("'" + std::string(text) + "' is not a date and time YYYY-MM-DD hh:nn:ss.zzz");
        return parseInt(g);
    };
    if (!shapeOk) throw EConvertError("'" + std::string(text) + "' is not a date and time YYYY-MM-DD hh:nn:ss.zzz");
    DateTimeParts p{num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2), text.size() == 23 ? num(20, 3) : 0};
    return encodeDateTime(p);
}

int detectCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                  std::ostream& err) {
    std::string input;
    std::string station(defaultStation);
    std::optional<TDateTime> start;
    try {
        const CliArgs parsed = parseCliArgs(args, {"--input", "--station", "--start"}, {"--help"});
        if (parsed.has("--help")) {
            out << kUsage;
            return 0;
        }
        if (!parsed.positional.empty()) throw CliUsageError("unknown argument '" + parsed.positional.front() + "'");
        input = parsed.value("--input");
        station = parsed.value("--station", station);
        if (parsed.has("--start")) start = parseStartTime(parsed.value("--start"));
        if (input.empty()) throw CliUsageError("--input is required");
    } catch (const std::exception& e) {
        err << "orbisight-cli detect: " << e.what() << "\n\n" << kUsage;
        return 2;
    }

    CliNotifier notifier(err);
    const StopSignals signals;  // a stop must still finish the clips and list them
    try {
        const TConfiguration config = stationConfiguration(station, err);
        const TDetectionRun run =
            runDetection(input, station, start, config, notifier, [] { return stopSignal() != 0; });
        bool allWritten = true;
        for (const TWrittenClip& c : run.clips) {
            out << c.fileName << "  " << c.frames << " frames"
                << (c.complete ? "" : c.frames == 0 ? "  (not written)" : "  (incomplete)") << "\n";
            allWritten = allWritten && c.complete;
        }
        if (run.droppedAtEnd) {
            err << "error: the " << (run.interrupted ? "run was stopped" : "input ended")
                << " while an event was still collecting its frames; it was dropped\n";
        }
        if (run.missingFrames > 0) {
            err << "error: " << run.missingFrames << " frame(s) announced by \"" << input
                << "\" are damaged or cut off and were not examined; a meteor may have been in them\n";
        }
        if (run.shutdownFrame >= 0) {
            err << "note: the sky reached the automatic shutdown level at frame " << run.shutdownFrame << "\n";
        }
        if (run.failedFrames > 0) {
            err << "error: " << run.failedFrames << " frame(s) could not be handled as part of an event; "
                << "an event may have been lost\n";
        }
        out << run.frames << " frames examined, " << run.clips.size() << " events"
            << (run.interrupted ? " (stopped by a signal)" : "") << "\n";
        if (run.interrupted) return 128 + stopSignal();
        return allWritten && run.failedFrames == 0 && !run.droppedAtEnd && run.missingFrames == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        notifier.progressHide();
        err << "orbisight-cli detect: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace orbis
