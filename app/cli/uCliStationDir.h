#pragma once
// The station directory a command works for, and its settings.

#include <ostream>
#include <string>

#include "config/uConfiguration.h"

namespace orbis {

// The settings of the station directory: its Orbisight.ini, or the defaults
// when the station has none yet. Raises Exception when the directory does
// not exist (a mistyped --station must not run with default settings) or
// its settings file is not a file, and what TConfiguration::load raises.
// Keys that fell back to their defaults are told on `warnings`, a line each.
TConfiguration stationConfiguration(const std::string& station, std::ostream& warnings);

// For commands that read none of the station's settings: a --station given
// must still name a directory, as for every command (Exception otherwise).
void requireStationDirectory(const std::string& station);

}  // namespace orbis
