#include "app/cli/uCliDetect.h"

#include <filesystem>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliSignals.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
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
    "Exit status: 0 done, 1 unreadable input, a clip could not be written, an event may\n"
    "have been lost or frames of the input are missing, 2 bad arguments or an input or\n"
    "station directory that is not there, 3 unusable settings, 128 + the signal's number\n"
    "when a signal stopped it (130 Ctrl+C, 143 SIGTERM).\n";

}  // namespace

TDateTime parseStartTime(std::string_view text) {
    // yyyy-mm-dd hh:nn:ss[.zzz]
    const bool shapeOk = (text.size() == 19 || text.size() == 23) && text[4] == '-' && text[7] == '-' &&
                         (text[10] == ' ' || text[10] == 'T') && text[13] == ':' && text[16] == ':' &&
                         (text.size() == 19 || text[19] == '.');
    auto num = [&](std::size_t from, std::size_t len) {
        const std::string_view g = text.substr(from, len);
        if (!allDigits(g)) throw EConvertError(TDiagnostic(Code::StartTimeMalformed).with("text", std::string(text)));
        return parseInt(g);
    };
    if (!shapeOk) throw EConvertError(TDiagnostic(Code::StartTimeMalformed).with("text", std::string(text)));
    DateTimeParts p{num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2), text.size() == 23 ? num(20, 3) : 0};
    return encodeDateTime(p);
}

int detectCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                  std::ostream& err, Language language) {
    const CliWords words(language);
    std::string input;
    std::string station(defaultStation);
    std::optional<TDateTime> start;
    try {
        const CliArgs parsed = parseCliArgs(args, {"--input", "--station", "--start"}, {"--help"});
        if (parsed.has("--help")) {
            out << kUsage;
            return kExitDone;
        }
        if (!parsed.positional.empty()) throw CliUsageError(cli::kUnknownArgument, {{"argument", parsed.positional.front()}});
        input = parsed.value("--input");
        station = parsed.value("--station", station);
        if (parsed.has("--start")) start = parseStartTime(parsed.value("--start"));
        if (input.empty()) throw CliUsageError(cli::kRequired, {{"option", "--input"}});
    } catch (const std::exception& e) {
        err << "orbisight-cli detect: " << words.failure(e) << "\n\n" << kUsage;
        return kExitUsage;
    }

    CliNotifier notifier(err, language);
    const StopSignals signals;  // a stop must still finish the clips and list them
    try {
        std::error_code ec;
        if (!std::filesystem::exists(input, ec))
            throw CliMissingInput(TDiagnostic(Code::GivenFileMissing).with("file", input));
        const TConfiguration config = stationConfiguration(station, err, words);
        const TDetectionRun run =
            runDetection(input, station, start, config, notifier, [] { return stopSignal() != 0; });
        bool allWritten = true;
        for (const TWrittenClip& c : run.clips) {
            out << words.say(c.complete ? cli::kClipLine : c.frames == 0 ? cli::kClipNotWritten : cli::kClipIncomplete,
                             {{"file", c.fileName}, {"frames", std::to_string(c.frames)}})
                << "\n";
            allWritten = allWritten && c.complete;
        }
        const std::string error = words.say(cli::kError) + ": ";
        if (run.droppedAtEnd)
            err << error << words.say(run.interrupted ? cli::kStoppedEventDropped : cli::kEndedEventDropped) << "\n";
        if (run.missingFrames > 0) {
            err << error
                << words.say(cli::kFramesNotExamined, {{"count", std::to_string(run.missingFrames)}, {"file", input}})
                << "\n";
        }
        if (run.shutdownFrame >= 0) {
            err << words.say(cli::kNote) << ": "
                << words.say(cli::kShutdownLevel, {{"frame", std::to_string(run.shutdownFrame)}}) << "\n";
        }
        if (run.failedFrames > 0)
            err << error << words.say(cli::kEventMayBeLost, {{"count", std::to_string(run.failedFrames)}}) << "\n";
        out << words.say(run.interrupted ? cli::kFramesExaminedStopped : cli::kFramesExamined,
                         {{"frames", std::to_string(run.frames)}, {"events", std::to_string(run.clips.size())}})
            << "\n";
        if (run.interrupted) return 128 + stopSignal();
        return allWritten && run.failedFrames == 0 && !run.droppedAtEnd && run.missingFrames == 0 ? kExitDone
                                                                                                   : kExitFailed;
    } catch (const std::exception& e) {
        notifier.progressHide();
        err << "orbisight-cli detect: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

}  // namespace orbis
