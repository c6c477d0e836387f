#pragma once
// `orbisight-cli detect`: runs the meteor detector over every frame of an
// uncompressed AVI file with the station's settings and writes the event
// clips into the station's night directories, as a live session would have.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "astro/uDateTime.h"
#include "app/i18n/uCatalogue.h"

namespace orbis {

// Runs the command; args are the words after "detect". Returns the exit
// status (uCliExit.h): 0 done, 1 an input that cannot be read, some clip
// could not be written or frames of the input are missing, 2 bad arguments
// or an input that is not there, 3 unusable settings, 128 + the signal's
// number when SIGINT, SIGTERM or SIGHUP stopped it.
int detectCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                  std::ostream& err, Language language = Language::English);

// "YYYY-MM-DD hh:nn:ss" with optional ".zzz"; EConvertError otherwise.
TDateTime parseStartTime(std::string_view text);

}  // namespace orbis
