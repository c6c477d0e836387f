#pragma once
// `orbisight-cli check`: the station's set-up, checked before the night.

#include <iosfwd>
#include <span>
#include <string>

#include "app/i18n/uCatalogue.h"
#include <string_view>

namespace orbis {

// Exit status: 0 nothing wrong or suspicious, 3 something suspicious
// (warnings), 1 something wrong (errors: the station cannot work as set
// up), 2 bad arguments.
int checkCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                 std::ostream& err, Language language = Language::English);

}  // namespace orbis
