#pragma once
// `orbisight-cli station`: the unattended station as a service runs it —
// detection from dusk to dawn, the morning's work, room on the disk — with
// its log lines on stdout (the journal under systemd) until SIGTERM.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "app/i18n/uCatalogue.h"

namespace orbis {

// Exit status (uCliExit.h): 0 stopped by a signal or after --nights, 1 the
// log or a setting out of range stopped it, 2 bad arguments or a station
// directory that is not there, 3 no settings file (without
// --without-settings) or one that is no file.
int stationCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err, Language language = Language::English);

// orbisight-cli status: writes the station directory's status.json and
// status.html from its files and prints the JSON. 0 when written, 1 when
// they cannot be, 2 for bad arguments or a missing station directory.
int statusCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                  std::ostream& err, Language language = Language::English);

}  // namespace orbis
