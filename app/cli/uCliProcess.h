#pragma once
// `orbisight-cli process`, `summary` and `r90`: the offline processing of
// events and the night exports, without a window. Messages the window would
// show in a box go to stderr with their caption; a progress line shows the
// running step. Exit status: 0 done, 1 a stage reported a problem, 2 bad
// arguments.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace orbis {

int processCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err);
int summaryCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err);
int r90Command(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
               std::ostream& err);

}  // namespace orbis
