#pragma once
// `orbisight-cli trajectory`: the meteor's path, speed, radiant and orbit
// from two or more stations' events (their M<event>.json), or every meteor
// that several stations' nights have in common (--nights).

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>

#include "app/i18n/uCatalogue.h"
#include "reports/uEventMeasurement.h"

namespace orbis {

using TMeasurementReader = std::function<TEventMeasurement(const std::filesystem::path&)>;

// Exit status: 0 solved (with --nights: the nights were read, whatever was
// solved), 1 refused or a file that cannot be read or written, 2 bad
// arguments or an event or night that is not there. `read` reads one
// M<event>.json (readEventMeasurement).
int trajectoryCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err, Language language,
                      const TMeasurementReader& read);

}  // namespace orbis
