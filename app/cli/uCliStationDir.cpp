#include "app/cli/uCliStationDir.h"

#include <filesystem>
#include <ostream>

#include "astro/uExceptions.h"

namespace orbis {

void requireStationDirectory(const std::string& station) {
    std::error_code ec;
    if (!std::filesystem::is_directory(station, ec)) throw Exception("no station directory \"" + station + "\"");
}

TConfiguration stationConfiguration(const std::string& station, std::ostream& warnings) {
    namespace fs = std::filesystem;
    std::error_code ec;
    requireStationDirectory(station);
    const fs::path ini = iniFilePath(station);
    if (fs::exists(ini, ec) && !fs::is_regular_file(ini, ec))
        throw Exception("\"" + ini.string() + "\" is not a settings file");
    TConfiguration config;
    config.load(ini);
    for (const TDiagnostic& w : config.warnings()) warnings << "warning: " << w.plain() << "\n";
    return config;
}

}  // namespace orbis
