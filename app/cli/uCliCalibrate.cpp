#include "app/cli/uCliCalibrate.h"

#include <filesystem>
#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliExit.h"
#include "app/cli/uCliStationDir.h"
#include "app/cli/uCliWords.h"
#include "processing/uDistortionFit.h"

namespace orbis {

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli calibrate PAIRS.txt [--station DIR] [--save]\n"
    "\n"
    "Fits the lens-distortion model (two cubic polynomials) to point pairs by least\n"
    "squares. PAIRS.txt holds one pair per line, four TAB-separated numbers: the true\n"
    "position x, y and the distorted position u, v, in hundreds of pixels from the\n"
    "frame centre; empty lines are skipped. Pairs that cannot determine every\n"
    "coefficient (fewer than ten, or points on a line or a conic) are an error.\n"
    "\n"
    "Prints the twenty coefficients as the [Distortion] lines of Orbisight.ini\n"
    "(coefX0, coefY0, ..., coefY9).\n"
    "\n"
    "  --station DIR  the station directory (default: the program's directory)\n"
    "  --save         write the coefficients into the station's Orbisight.ini\n"
    "                 instead of printing them; its other settings stay. Refused\n"
    "                 when they cannot map the station's frame (widthCCD x\n"
    "                 heightCCD with the margins) as a lens does\n"
    "\n"
    "Exit status: 0 fitted, 1 the pairs do not determine the coefficients, or the\n"
    "pairs or the settings cannot be read or written (nothing is written), 2 bad\n"
    "arguments or a pairs file or station directory that is not there, 3 settings that\n"
    "cannot be used.\n";

}  // namespace

int calibrateCommand(std::span<const std::string> args, const std::string& defaultStation, std::ostream& out,
                     std::ostream& err, Language language) {
    const CliWords words(language);
    CliArgs parsed;
    try {
        parsed = parseCliArgs(args, {"--station"}, {"--help", "--save"});
        if (parsed.has("--help")) {
            out << kUsage;
            return kExitDone;
        }
        if (parsed.positional.size() != 1) throw CliUsageError(cli::kOnePairsFile);
    } catch (const std::exception& e) {
        err << "orbisight-cli calibrate: " << words.failure(e) << "\n\n" << kUsage;
        return kExitUsage;
    }
    const std::string station = parsed.value("--station", defaultStation);
    try {
        std::error_code ec;
        if (!std::filesystem::exists(parsed.positional[0], ec))
            throw CliMissingInput(TDiagnostic(Code::GivenFileMissing).with("file", parsed.positional[0]));
        // Coefficients the pairs leave undetermined would be zeros, not the
        // identity, and every later event would fail on them.
        const TDistortionFit fit = fitDeterminedDistortion(readPointPairs(parsed.positional[0]));
        // Printing needs only the patterns and the locale; saving keeps
        // every other setting of the station.
        TConfiguration config = parsed.has("--save") ? stationConfiguration(station, err, words) : TConfiguration();
        if (!parsed.has("--save")) requireStationDirectory(station);
        for (int i = 0; i < TConfiguration::kCoefCount; ++i) {
            config.setCoefX(i, fit.coefX[static_cast<std::size_t>(i)]);
            config.setCoefY(i, fit.coefY[static_cast<std::size_t>(i)]);
        }
        if (parsed.has("--save")) {
            requirePlausibleDistortion(config);
            config.save(iniFilePath(station));
            out << words.say(cli::kCoefficientsWritten, {{"file", iniFilePath(station).string()}}) << "\n";
            return kExitDone;
        }
        for (int i = 0; i < TConfiguration::kCoefCount; ++i) {
            for (const char* axis : {"coefX", "coefY"}) {
                const std::string key = axis + std::to_string(i);
                out << key << "=" << config.valueText(key) << "\n";
            }
        }
        return kExitDone;
    } catch (const std::exception& e) {
        err << "orbisight-cli calibrate: " << words.failure(e) << "\n";
        return exitStatusFor(e);
    }
}

}  // namespace orbis
