#pragma once
// `orbisight-cli extract`: takes a clip into work as the video page's
// "Взять в работу" does — every frame becomes F001.bmp, F002.bmp, … of the
// clip's event directory (or of a chosen folder, from a chosen number).

#include <iosfwd>
#include <span>
#include <string>

#include "app/i18n/uCatalogue.h"

namespace orbis {

// Exit status: 0 done, 1 frames the clip announces are damaged or cut off
// (the others are saved), or a clip that cannot be read or frames that
// cannot be written, 2 bad arguments or a clip that is not there
// (uCliExit.h).
int extractCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language = Language::English);

}  // namespace orbis
