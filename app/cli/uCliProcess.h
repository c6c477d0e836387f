#pragma once
// `orbisight-cli process`, `summary` and `r90`: the offline processing of
// events and the night exports, without a window. Messages the window would
// show in a box go to stderr with their caption; a progress line shows the
// running step. Exit status (uCliExit.h): 0 done, 1 a stage reported a
// problem, 2 bad arguments or a missing directory, 3 unusable settings.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "app/i18n/uCatalogue.h"

namespace orbis {

int processCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err, Language language = Language::English);
int summaryCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err, Language language = Language::English);
int r90Command(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
               std::ostream& err, Language language = Language::English);

}  // namespace orbis
