#include "app/cli/uCliCalibrate.h"

#include <ostream>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliStationDir.h"
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
    "arguments.\n";

}  // namespace

int calibrateCommand(std::span<const std::string> args, const std::string& defaultStation, std::ostream& out,
                     std::ostream& err) {
    CliArgs parsed;
    try {
        parsed = parseCliArgs(args, {"--station"}, {"--help", "--save"});
        if (parsed.has("--help")) {
            out << kUsage;
            return 0;
        }
        if (parsed.positional.size() != 1) throw CliUsageError("one file of point pairs is needed");
    } catch (const std::exception& e) {
        err << "orbisight-cli calibrate: " << e.what() << "\n\n" << kUsage;
        return 2;
    }
    const std::string station = parsed.value("--station", defaultStation);
    try {
        // Coefficients the pairs leave undetermined would be zeros, not the
        // identity, and every later event would fail on them.
        const TDistortionFit fit = fitDeterminedDistortion(readPointPairs(parsed.positional[0]));
        // Printing needs only the patterns and the locale; saving keeps
        // every other setting of the station.
        TConfiguration config = parsed.has("--save") ? stationConfiguration(station, err) : TConfiguration();
        if (!parsed.has("--save")) requireStationDirectory(station);
        for (int i = 0; i < TConfiguration::kCoefCount; ++i) {
            config.setCoefX(i, fit.coefX[static_cast<std::size_t>(i)]);
            config.setCoefY(i, fit.coefY[static_cast<std::size_t>(i)]);
        }
        if (parsed.has("--save")) {
            requirePlausibleDistortion(config);
            config.save(iniFilePath(station));
            out << "coefficients written to " << iniFilePath(station).string() << "\n";
            return 0;
        }
        for (int i = 0; i < TConfiguration::kCoefCount; ++i) {
            for (const char* axis : {"coefX", "coefY"}) {
                const std::string key = axis + std::to_string(i);
                out << key << "=" << config.valueText(key) << "\n";
            }
        }
        return 0;
    } catch (const std::exception& e) {
        err << "orbisight-cli calibrate: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace orbis
