#pragma once
// Exports of a night's event reports: the daily summary (one comma-separated
// line per event with the station appended) and the R90 record files read by
// the UFO meteor analysis tools, for one night or a whole month.
//
// Event directories are the subdirectories of a night directory in name
// order (so events come in time order); an event directory counts when it
// holds its report "M" + name + ".txt". A report goes into an export only
// when it is sound: its eleven KEY=value lines in the order the report
// writer gives them, real dates and times, coordinates, magnitude ("$" or
// within kMagnitudeLimit), velocity, length and flight time as plain numbers
// in their ranges, a shower code without commas. Any other report is left
// out with a warning naming it, and the completion message then says that
// events are missing. The camera name and the observer are written as one
// field each, which the readers of these files take unquoted: a comma or
// control character becomes a space, a Latin letter with marks its plain
// letter and any other character Windows-1251 lacks "?", and a warning names
// the setting so that it can be corrected; a text that fits is written as it
// is. Output files are Windows-1251 with CR LF and replace an older file
// whole; a failure to write raises EInOutError and shows no
// completion message.

#include <string>

#include "astro/uNotifier.h"
#include "config/uConfiguration.h"

namespace orbis {

// The night's name: the night directory's own name (its last component),
// wherever the directory lies.
std::string nightName(const std::string& nightDirectory);

// Writes nightDirectory + "/M" + night name + ".txt": the header, then per
// event the values of its report lines (text after the "KEY="), each
// followed by ",", and the station's latitude, longitude, altitude, camera
// name and observer. Shows the completion message; returns the path. The
// program directory plays no part in the names.
std::string writeDailySummary(const std::string& nightDirectory, const std::string& programDirectory,
                              const TConfiguration& config, UserNotifier& notifier);

// Writes nightDirectory + "/ME" + night name + ".csv": the R90 header and one
// record per event, dated by the night's name (yyyymmdd) and the event
// directory's (hhnnss), local time; an event whose names are no real date and
// time is left out like a damaged report. Shows the completion message;
// returns the path.
std::string writeR90Export(const std::string& nightDirectory, const std::string& programDirectory,
                           const TConfiguration& config, UserNotifier& notifier);

// Writes programDirectory + "/ME" + yearMonth + ".csv": the R90 records of
// every night directory of that month (named yyyymmdd) in date order. A
// yearMonth that is not "yyyymm" with a month 01..12 raises EConvertError.
// Shows the completion message; returns the path.
std::string writeMonthlyR90Export(const std::string& programDirectory, const std::string& yearMonth,
                                  const TConfiguration& config, UserNotifier& notifier);

}  // namespace orbis
