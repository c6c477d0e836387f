#pragma once
// `orbisight-cli station`: the unattended station as a service runs it —
// detection from dusk to dawn, the morning's work, room on the disk — with
// its log lines on stdout (the journal under systemd) until SIGTERM.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace orbis {

// Exit status: 0 stopped by a signal or after --nights, 1 a setting or the
// log stopped it, 2 bad arguments.
int stationCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                   std::ostream& err);

// orbisight-cli status: writes the station directory's status.json and
// status.html from its files and prints the JSON. 0 when written, 1 when
// they cannot be, 2 for bad arguments.
int statusCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                  std::ostream& err);

}  // namespace orbis
