#pragma once
// `orbisight-cli repair`: mends a clip or recording whose writer was killed
// or lost its power: rebuilds the sizes and frame counts of its headers and
// its index in place.

#include <iosfwd>
#include <span>
#include <string>

#include "app/i18n/uCatalogue.h"

namespace orbis {

// Exit status: 0 repaired or already whole, 1 not repaired (not an AVI
// file, damaged otherwise than cut short, or the mended file cannot be
// written; the file is then unchanged), 2 bad arguments or a clip that is
// not there (uCliExit.h).
int repairCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language = Language::English);

}  // namespace orbis
