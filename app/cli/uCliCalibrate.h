#pragma once
// `orbisight-cli calibrate`: fits the lens-distortion polynomials to a file
// of point pairs and prints the twenty coefficients as Orbisight.ini holds
// them, or writes them into the station's settings.

#include <iosfwd>
#include <span>
#include <string>

#include "app/i18n/uCatalogue.h"

namespace orbis {

// Exit status: 0 fitted (and saved), 1 the pairs cannot be read or the
// settings cannot be read or written, 2 bad arguments.
int calibrateCommand(std::span<const std::string> args, const std::string& defaultStation, std::ostream& out,
                     std::ostream& err, Language language = Language::English);

}  // namespace orbis
