#pragma once
// `orbisight-cli track`: the meteor's track proposed on an event's frame
// files without an observer; printed for a look, or saved as the event's
// MeteorTrack.txt with --auto (the observer's file kept unless --force).

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "app/i18n/uCatalogue.h"

namespace orbis {

// Exit status (uCliExit.h): 0 printed, written or an existing track file
// kept; 1 no meteor found or an error; 2 bad arguments or a missing event or
// frames; 3 unusable settings.
int trackCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                 std::ostream& err, Language language = Language::English);

}  // namespace orbis
