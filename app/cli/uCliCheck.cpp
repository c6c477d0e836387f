#include "app/cli/uCliCheck.h"

#include <algorithm>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
#include "app/i18n/uCatalogue.h"
#include "station/uRetention.h"
#include "station/uSetupCheck.h"

namespace orbis {

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli check [--device NODE | --source PIPELINE] [--station DIR]\n"
    "\n"
    "Reads the station's Orbisight.ini and says what is wrong or suspicious before a night\n"
    "is spent on it: no settings file, keys and sections that are no setting (typos),\n"
    "values out of range, a distortion that cannot be a lens's, the place left at the\n"
    "built-in one, an observer name the exports cannot carry, missing catalogs, the camera\n"
    "(--device, or the formats a --source pipeline gives), the free disk against a night's need, and whether the clock is kept\n"
    "synchronised. The unattended station logs the same findings when it starts.\n"
    "\n"
    "Exit status: 0 nothing wrong or suspicious, 3 only warnings (configuration), 1 errors\n"
    "(the station cannot work as set up), 2 bad arguments or a station directory that is\n"
    "not there.\n";

}  // namespace

int checkCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                 std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs p;
    try {
        p = parseCliArgs(args, {"--station", "--device", "--source"}, {"--help"});
        if (p.has("--help")) {
            out << kUsage;
            return kExitDone;
        }
        if (!p.positional.empty()) throw CliUsageError(cli::kTakesNoFiles, {{"command", "check"}});
        requireStationDirectory(p.value("--station", std::string(defaultStation)));
    } catch (const std::exception& e) {
        err << "orbisight-cli check: " << words.failure(e) << "\n\n" << kUsage;
        return kExitUsage;
    }
    TSetupCheckInput input;
    input.programDirectory = p.value("--station", std::string(defaultStation));
    if (p.has("--device")) input.deviceNode = p.value("--device");
    if (p.has("--source")) input.sourcePipeline = p.value("--source");
    input.clock = systemClockState();
    input.systemUtcOffsetHours = systemUtcOffsetHours();
    try {
        input.freeBytes = systemFreeSpace(input.programDirectory);
    } catch (const std::exception&) {
    }
    const std::vector<TCheckFinding> findings = checkStationSetup(input);
    for (const TCheckFinding& f : findings)
        out << checkFindingLine(f, [&](const TDiagnostic& d) { return words.text(d); }) << "\n";
    const auto count = [&](CheckSeverity s) {
        return std::count_if(findings.begin(), findings.end(), [s](const TCheckFinding& f) { return f.severity == s; });
    };
    const auto errors = count(CheckSeverity::Error), warnings = count(CheckSeverity::Warning);
    out << words.say(cli::kFindingsCount, {{"errors", std::to_string(errors)}, {"warnings", std::to_string(warnings)}})
        << "\n";
    return errors > 0 ? kExitFailed : warnings > 0 ? kExitConfiguration : kExitDone;
}

}  // namespace orbis
