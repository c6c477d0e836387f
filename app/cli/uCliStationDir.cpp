#include "app/cli/uCliStationDir.h"

#include <filesystem>
#include <ostream>

#include "app/cli/uCliExit.h"
#include "app/cli/uCliWords.h"

namespace orbis {

void requireStationDirectory(const std::string& station) {
    std::error_code ec;
    if (!std::filesystem::is_directory(station, ec))
        throw CliMissingInput(TDiagnostic(Code::StationDirectoryMissing).with("directory", station));
}

TConfiguration stationConfiguration(const std::string& station, std::ostream& warnings, const CliWords& words) {
    namespace fs = std::filesystem;
    std::error_code ec;
    requireStationDirectory(station);
    const fs::path ini = iniFilePath(station);
    if (fs::exists(ini, ec) && !fs::is_regular_file(ini, ec))
        throw CliConfigurationError(TDiagnostic(Code::SettingsPathNotAFile).with("file", ini.string()));
    TConfiguration config;
    config.load(ini);
    for (const TDiagnostic& w : config.warnings()) warnings << words.say(cli::kWarning) << ": " << words.text(w) << "\n";
    return config;
}

}  // namespace orbis
