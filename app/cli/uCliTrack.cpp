#include "app/cli/uCliTrack.h"

#include <filesystem>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "measurement/uTrack.h"
#include "measurement/uTrackProposal.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"

namespace orbis {

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli track EVENT_DIR [--auto] [--force] [--station DIR]\n"
    "\n"
    "Finds the meteor on the event's frame files F001.bmp ... and proposes its track: the\n"
    "head on the first and on the last frame that show it, and the brightness measured as\n"
    "the photo page's \"Макс. блеск:\" on the frame where it is brightest. Without --auto it\n"
    "prints the two lines of the track file and the brightest frame and writes nothing.\n"
    "The last line says how each head was placed: \"streak fit\" (the blurred stretch fitted\n"
    "to the frame), or where the frame shows too little for that, \"leading edge\" (where\n"
    "the streak's leading end falls to half its brightness), \"spot centroid\" or\n"
    "\"predicted\" (from the motion on the other frames); check those first.\n"
    "\n"
    "  --auto   write the proposal as the event's MeteorTrack.txt; one that exists (the\n"
    "           observer's marking) is kept\n"
    "  --force  with --auto, replace an existing MeteorTrack.txt\n"
    "\n"
    "Exit status: 0 printed, written or kept, 1 no meteor found (nothing is guessed) or an\n"
    "error, 2 bad arguments, a missing event directory or one without frame files, 3\n"
    "unusable settings.\n";

}  // namespace

int trackCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                 std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs parsed;
    try {
        parsed = parseCliArgs(args, {"--station"}, {"--help", "--auto", "--force"});
        if (parsed.has("--help")) {
            out << kUsage;
            return kExitDone;
        }
        if (parsed.positional.size() != 1) throw CliUsageError(cli::kOneEvent);
        if (parsed.has("--force") && !parsed.has("--auto")) throw CliUsageError(cli::kGoesWith, {{"option", "--force"}, {"other", "--auto"}});
    } catch (const CliUsageError& e) {
        err << "orbisight-cli track: " << words.failure(e) << "\n\n" << kUsage;
        return kExitUsage;
    }
    const std::string event = parsed.positional[0];
    try {
        std::error_code ec;
        if (!std::filesystem::is_directory(event, ec))
            throw CliMissingInput(TDiagnostic(Code::GivenDirectoryMissing).with("directory", event));
        // The usual mistake: a clip not yet taken into work (extract).
        if (frameFiles(event).empty())
            throw CliMissingInput(TDiagnostic(Code::EventWithoutFrames).with("directory", event));
        const TConfiguration config =
            stationConfiguration(parsed.value("--station", std::string(defaultStation)), err, words);
        if (!parsed.has("--auto")) {
            const auto proposal = proposeTrack(event, config);
            if (!proposal) {
                err << "orbisight-cli track: " << words.say(cli::kNoMeteor) << "\n";
                return kExitFailed;
            }
            for (const std::string& line : trackFileLines(proposal->start, proposal->finish, proposal->brightness))
                out << line << "\n";
            out << words.say(cli::kBrightestFrame,
                             {{"file", std::filesystem::path(frameFileName(event, proposal->brightestFrame))
                                           .filename()
                                           .string()}})
                << "\n";
            out << estimateNote(*proposal) << "\n";
            return kExitDone;
        }
        TTrackProposal written;
        switch (writeProposedTrack(event, config, parsed.has("--force"), &written)) {
            case TrackProposalOutcome::NoMeteor:
                err << "orbisight-cli track: " << words.say(cli::kNoMeteor) << "\n";
                return kExitFailed;
            case TrackProposalOutcome::KeptExisting:
                out << words.say(cli::kTrackKept, {{"file", trackFileName(event)}}) << "\n";
                return kExitDone;
            case TrackProposalOutcome::Written:
                out << words.say(cli::kTrackWritten, {{"file", trackFileName(event)}}) << "\n";
                for (const std::string& line : readTextLines(trackFileName(event))) out << line << "\n";
                out << estimateNote(written) << "\n";
                return kExitDone;
        }
        return kExitFailed;
    } catch (const std::exception& e) {
        err << "orbisight-cli track: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

}  // namespace orbis
