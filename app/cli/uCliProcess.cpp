#include "app/cli/uCliProcess.h"

#include <filesystem>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliStationDir.h"
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
    "event's lines come when it and every event before it are done, in the events' order,\n"
    "without the stages' progress; one event at a time shows every stage.\n";

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
           const char* command, std::ostream& out, std::ostream& err, CliArgs& parsed, int& status) {
    try {
        parsed = parseCliArgs(args, values, {"--help"});
    } catch (const CliUsageError& e) {
        err << "orbisight-cli " << command << ": " << e.what() << "\n\n" << usage;
        status = 2;
        return false;
    }
    if (parsed.has("--help")) {
        out << usage;
        status = 0;
        return false;
    }
    return true;
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Why a path is no night directory for the exports, or nothing: the exports
// take their file names and R90 dates from the folder's yyyymmdd name.
std::string nightProblem(const std::string& night) {
    std::error_code ec;
    if (!std::filesystem::is_directory(night, ec)) return "no such night directory: " + night;
    if (const std::string name = std::filesystem::path(night).filename().string(); name.size() != 8 || !allDigits(name))
        return "\"" + night + "\" is not a night directory (its name is not yyyymmdd)";
    return {};
}

}  // namespace

int processCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err) {
    CliArgs parsed;
    int status = 0;
    if (!parse(args, {"--station", "--night", "--threads"}, kProcessUsage, "process", out, err, parsed, status))
        return status;
    unsigned threads = 0;
    if (parsed.has("--threads")) {
        int n = 0;
        try {
            n = parseInt(parsed.value("--threads"));
        } catch (const std::exception&) {
        }
        if (n < 1) {
            err << "orbisight-cli process: --threads must be 1 or more\n\n" << kProcessUsage;
            return 2;
        }
        threads = static_cast<unsigned>(n);
    }
    // A mistyped path is an error, not an event without frames.
    std::vector<std::string> given = parsed.positional;
    if (parsed.has("--night")) given.push_back(parsed.value("--night"));
    for (const std::string& dir : given) {
        std::error_code ec;
        if (!std::filesystem::is_directory(dir, ec)) {
            err << "orbisight-cli process: no such directory: " << dir << "\n";
            return 2;
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
            err << "orbisight-cli process: " << parsed.value("--night") << " holds no event directories\n";
            return 0;  // nothing to do is no failure: a night without meteors
        }
        err << "orbisight-cli process: no event directory given\n\n" << kProcessUsage;
        return 2;
    }
    const std::string station = parsed.value("--station", std::string(defaultStation));
    CliNotifier notifier(err);
    bool problems = false;
    try {
        const TConfiguration config = stationConfiguration(station, err);
        int before = notifier.problemsShown();
        processEvents(events, config, station, notifier, [&](const TEventRun& run) {
            const TProcessResult& r = run.result;
            if (!run.error.empty()) {
                err << "orbisight-cli process: " << run.eventDirectory << ": " << run.error << "\n";
                problems = true;
            } else {
                out << run.eventDirectory << ": "
                    << (r.busy ? "being processed elsewhere, not run"
                        : !r.ran ? "no frames"
                        : r.reportWritten ? "report written"
                                          : "no report")
                    << "\n";
                problems = problems || r.busy;
            }
            problems = problems || notifier.problemsShown() > before;
            before = notifier.problemsShown();
        }, threads);
        // A night's events frame by frame for the networks, beside its summary.
        if (parsed.has("--night")) writeFtpDetectInfo(withoutTrailingSlash(parsed.value("--night")), config, notifier);
        problems = problems || notifier.problemsShown() > before;
    } catch (const std::exception& e) {
        err << "orbisight-cli process: " << e.what() << "\n";
        return 1;
    }
    return problems ? 1 : 0;
}

int summaryCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err) {
    CliArgs parsed;
    int status = 0;
    if (!parse(args, {"--station"}, kSummaryUsage, "summary", out, err, parsed, status)) return status;
    if (parsed.positional.size() != 1) {
        err << "orbisight-cli summary: one night directory is needed\n\n" << kSummaryUsage;
        return 2;
    }
    if (const std::string problem = nightProblem(withoutTrailingSlash(parsed.positional[0])); !problem.empty()) {
        err << "orbisight-cli summary: " << problem << "\n";
        return 2;
    }
    const std::string station = parsed.value("--station", std::string(defaultStation));
    CliNotifier notifier(err);
    try {
        out << writeDailySummary(withoutTrailingSlash(parsed.positional[0]), station, stationConfiguration(station, err),
                                 notifier)
            << "\n";
        return notifier.problemsShown() > 0 ? 1 : 0;  // events left out of the summary
    } catch (const std::exception& e) {
        err << "orbisight-cli summary: " << e.what() << "\n";
        return 1;
    }
}

int r90Command(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
               std::ostream& err) {
    CliArgs parsed;
    int status = 0;
    if (!parse(args, {"--station", "--month"}, kR90Usage, "r90", out, err, parsed, status)) return status;
    if (parsed.has("--month") == (parsed.positional.size() == 1) || parsed.positional.size() > 1) {
        err << "orbisight-cli r90: give either a night directory or --month YYYYMM\n\n" << kR90Usage;
        return 2;
    }
    const std::string problem = parsed.has("--month")
                                    ? (parsed.value("--month").size() == 6 && allDigits(parsed.value("--month")) ? "" : "--month takes YYYYMM")
                                    : nightProblem(withoutTrailingSlash(parsed.positional[0]));
    if (!problem.empty()) {
        err << "orbisight-cli r90: " << problem << "\n";
        return 2;
    }
    const std::string station = parsed.value("--station", std::string(defaultStation));
    CliNotifier notifier(err);
    try {
        const TConfiguration config = stationConfiguration(station, err);
        out << (parsed.has("--month")
                    ? writeMonthlyR90Export(station, parsed.value("--month"), config, notifier)
                    : writeR90Export(withoutTrailingSlash(parsed.positional[0]), station, config, notifier))
            << "\n";
        return notifier.problemsShown() > 0 ? 1 : 0;  // events left out of the export
    } catch (const std::exception& e) {
        err << "orbisight-cli r90: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace orbis
