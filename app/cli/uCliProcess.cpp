#include "app/cli/uCliProcess.h"

#include <filesystem>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliSignals.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "station/uNightProcessing.h"
#include "processing/uNaming.h"
#include "reports/uNightExports.h"
#include "reports/uFtpDetectInfo.h"

namespace orbis {

namespace {

constexpr const char* kProcessUsage =
    "usage: orbisight-cli process EVENT_DIR... [--threads N] [--station DIR]\n"
    "       orbisight-cli process --night NIGHT_DIR [--threads N] [--station DIR]\n"
    "\n"
    "Processes events as the photo page's \"Обработка\" does: image stages, star detection,\n"
    "binding to the catalog, plate solution, labels, magnitudes, report and annotated JPEG,\n"
    "with the settings of the station's Orbisight.ini. --night takes every event directory\n"
    "of the night. Several events run --threads at a time (default one per core); then each\n"
    "event's lines, its stages and progress included, come when it and every event before it\n"
    "are done, in the events' order, as one event at a time shows them. Ctrl+C starts no\n"
    "further event; the running ones end and are told.\n";

constexpr const char* kSummaryUsage =
    "usage: orbisight-cli summary NIGHT_DIR [--station DIR]\n"
    "\n"
    "Writes the daily summary M<night>.txt of the night's event reports.\n";

constexpr const char* kR90Usage =
    "usage: orbisight-cli r90 NIGHT_DIR [--station DIR]\n"
    "       orbisight-cli r90 --month YYYYMM [--station DIR]\n"
    "\n"
    "Writes the UFO R90 export of a night (ME<night>.csv in the night directory) or of a\n"
    "month (ME<yyyymm>.csv in the station directory).\n";

// Parses, or prints the usage and gives the exit status to return.
bool parse(std::span<const std::string> args, const std::set<std::string>& values, const char* usage,
           const char* command, const CliWords& words, std::ostream& out, std::ostream& err, CliArgs& parsed,
           int& status) {
    try {
        parsed = parseCliArgs(args, values, {"--help"});
    } catch (const CliUsageError& e) {
        err << "orbisight-cli " << command << ": " << words.failure(e) << "\n\n" << usage;
        status = kExitUsage;
        return false;
    }
    if (parsed.has("--help")) {
        out << usage;
        status = kExitDone;
        return false;
    }
    return true;
}

bool hasTrackFile(const std::string& event) {
    std::error_code ec;
    return std::filesystem::exists(trackFileName(event), ec);
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Raises CliMissingInput for a path that is no night directory for the
// exports: they take their file names and R90 dates from the folder's
// yyyymmdd name.
void requireNightDirectory(const std::string& night) {
    std::error_code ec;
    if (!std::filesystem::is_directory(night, ec))
        throw CliMissingInput(TDiagnostic(Code::GivenDirectoryMissing).with("directory", night));
    if (const std::string name = std::filesystem::path(night).filename().string(); name.size() != 8 || !allDigits(name))
        throw CliMissingInput(TDiagnostic(Code::NightDirectoryMisnamed).with("directory", night));
}

// The status of a command that `failure` stopped, told on err.
int failed(const char* command, const CliWords& words, std::ostream& err, const std::exception& failure) {
    err << "orbisight-cli " << command << ": " << words.failure(failure) << "\n";
    return exitStatusFor(failure);
}

}  // namespace

int processCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs parsed;
    int status = 0;
    if (!parse(args, {"--station", "--night", "--threads"}, kProcessUsage, "process", words, out, err, parsed, status))
        return status;
    unsigned threads = 0;
    if (parsed.has("--threads")) {
        int n = 0;
        try {
            n = parseInt(parsed.value("--threads"));
        } catch (const std::exception&) {
        }
        if (n < 1) {
            err << "orbisight-cli process: " << words.say(cli::kAtLeastOne, {{"option", "--threads"}}) << "\n\n"
                << kProcessUsage;
            return kExitUsage;
        }
        threads = static_cast<unsigned>(n);
    }
    // A mistyped path is an error, not an event without frames.
    std::vector<std::string> given = parsed.positional;
    if (parsed.has("--night")) given.push_back(parsed.value("--night"));
    for (const std::string& dir : given) {
        std::error_code ec;
        if (!std::filesystem::is_directory(dir, ec)) {
            return failed("process", words, err,
                          CliMissingInput(TDiagnostic(Code::GivenDirectoryMissing).with("directory", dir)));
        }
    }
    std::vector<std::string> events;
    for (const auto& p : parsed.positional) events.push_back(withoutTrailingSlash(p));
    if (parsed.has("--night")) {
        for (const std::string& event : eventDirectoriesOfNight(withoutTrailingSlash(parsed.value("--night"))))
            events.push_back(event);
    }
    if (events.empty()) {
        if (parsed.has("--night") && parsed.positional.empty()) {
            err << "orbisight-cli process: " << words.say(cli::kNightWithoutEvents, {{"directory", parsed.value("--night")}})
                << "\n";
            return kExitDone;  // nothing to do is no failure: a night without meteors
        }
        err << "orbisight-cli process: " << words.say(cli::kNoEventGiven) << "\n\n" << kProcessUsage;
        return kExitUsage;
    }
    const std::string station = parsed.value("--station", std::string(defaultStation));
    CliNotifier notifier(err, language);
    // Ctrl+C, SIGTERM or SIGHUP hand out no further event; the running ones
    // end and are told, so no event is left half written.
    const StopSignals signals;
    notifier.stopWhen([] { return stopSignal() != 0; });
    bool problems = false;
    try {
        const TConfiguration config = stationConfiguration(station, err, words);
        int before = notifier.problemsShown();
        processEvents(events, config, station, notifier, [&](const TEventRun& run) {
            const TProcessResult& r = run.result;
            if (run.error) {
                err << "orbisight-cli process: " << run.eventDirectory << ": " << words.text(*run.error) << "\n";
                problems = true;
            } else {
                out << words.say(r.busy ? cli::kBeingProcessed
                                 : !r.ran ? cli::kNoFrames
                                 : r.reportWritten ? cli::kReportWritten
                                                   : cli::kNoReport,
                                 {{"event", run.eventDirectory}})
                    << "\n";
                // The usual reason for no report: nobody marked the meteor yet.
                if (r.ran && !r.reportWritten && config.createReport() && !hasTrackFile(run.eventDirectory))
                    notifier.report(TDiagnostic(Code::TrackNotMarked, Severity::Notice).with("event", run.eventDirectory));
                problems = problems || r.busy;
            }
            problems = problems || notifier.problemsShown() > before;
            before = notifier.problemsShown();
        }, threads);
        if (stopSignal() != 0) return 128 + stopSignal();
        // A night's events frame by frame for the networks, beside its summary.
        if (parsed.has("--night")) writeFtpDetectInfo(withoutTrailingSlash(parsed.value("--night")), config, notifier);
        problems = problems || notifier.problemsShown() > before;
    } catch (const std::exception& e) {
        return failed("process", words, err, e);
    }
    return problems ? kExitFailed : kExitDone;
}

int summaryCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs parsed;
    int status = 0;
    if (!parse(args, {"--station"}, kSummaryUsage, "summary", words, out, err, parsed, status)) return status;
    if (parsed.positional.size() != 1) {
        err << "orbisight-cli summary: " << words.say(cli::kOneNight) << "\n\n" << kSummaryUsage;
        return kExitUsage;
    }
    const std::string station = parsed.value("--station", std::string(defaultStation));
    CliNotifier notifier(err, language);
    try {
        requireNightDirectory(withoutTrailingSlash(parsed.positional[0]));
        out << writeDailySummary(withoutTrailingSlash(parsed.positional[0]), station,
                                 stationConfiguration(station, err, words), notifier)
            << "\n";
        return notifier.problemsShown() > 0 ? kExitFailed : kExitDone;  // events left out of the summary
    } catch (const std::exception& e) {
        return failed("summary", words, err, e);
    }
}

int r90Command(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
               std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs parsed;
    int status = 0;
    if (!parse(args, {"--station", "--month"}, kR90Usage, "r90", words, out, err, parsed, status)) return status;
    if (parsed.has("--month") == (parsed.positional.size() == 1) || parsed.positional.size() > 1) {
        err << "orbisight-cli r90: " << words.say(cli::kNightOrMonth) << "\n\n" << kR90Usage;
        return kExitUsage;
    }
    const std::string station = parsed.value("--station", std::string(defaultStation));
    CliNotifier notifier(err, language);
    try {
        if (!parsed.has("--month")) requireNightDirectory(withoutTrailingSlash(parsed.positional[0]));
        else if (parsed.value("--month").size() != 6 || !allDigits(parsed.value("--month")))
            throw CliUsageError(cli::kMonthShape);
        const TConfiguration config = stationConfiguration(station, err, words);
        out << (parsed.has("--month")
                    ? writeMonthlyR90Export(station, parsed.value("--month"), config, notifier)
                    : writeR90Export(withoutTrailingSlash(parsed.positional[0]), station, config, notifier))
            << "\n";
        return notifier.problemsShown() > 0 ? kExitFailed : kExitDone;  // events left out of the export
    } catch (const std::exception& e) {
        return failed("r90", words, err, e);
    }
}

}  // namespace orbis
