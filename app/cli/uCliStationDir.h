#pragma once
// The station directory a command works for, and its settings.

#include <ostream>
#include <string>

#include "config/uConfiguration.h"

namespace orbis {

class CliWords;

// The settings of the station directory: its Orbisight.ini, or the defaults
// when the station has none yet. Raises CliMissingInput when the directory
// does not exist (a mistyped --station must not run with default settings),
// CliConfigurationError when its settings file is not a file, and what
// TConfiguration::load raises.
// Keys that fell back to their defaults are told on `warnings`, a line each.
TConfiguration stationConfiguration(const std::string& station, std::ostream& warnings, const CliWords& words);

// For commands that read none of the station's settings: a --station given
// must still name a directory, as for every command (CliMissingInput otherwise).
void requireStationDirectory(const std::string& station);

}  // namespace orbis
