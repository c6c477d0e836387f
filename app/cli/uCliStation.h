#pragma once
// The headless station: `orbisight-cli devices`, `encoders` and `record`.
// `record` runs a whole recording session as the recording page does —
// detection, preview or plain recording — printing the detector's level and
// noise once a second and every clip as it is written, until the source
// ends, the duration has passed, or SIGINT/SIGTERM arrives; it then stops
// the graph, lets the clip writers finish and closes the log. A device that
// is not found, or a format it does not offer, is refused at once with the
// devices or formats there are (exit status 2, uCliExit.h).

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "app/i18n/uCatalogue.h"

namespace orbis {

int devicesCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language = Language::English);
int encodersCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language = Language::English);
// programDirectory is where the time-stamp plugin is looked for.
int recordCommand(std::span<const std::string> args, std::string_view defaultStation,
                  std::string_view programDirectory, std::ostream& out, std::ostream& err, Language language = Language::English);

}  // namespace orbis
