#pragma once
// Exports of a night's event reports: the daily summary (one comma-separated
// line per event with the station appended) and the R90 record files read by
// the UFO meteor analysis tools, for one night or a whole month.
//
// Event directories are the subdirectories of a night directory in name
// order (so events come in time order); an event directory counts when it
// holds its report "M" + name + ".txt". Output files are Windows-1251 with
// CR LF and replace an older file whole; a failure to write raises
// EInOutError and shows no completion message.

#include <string>

#include "astro/uNotifier.h"
#include "config/uConfiguration.h"

namespace orbis {

inline constexpr const char* kExportCaption = "Orbisight 2.0";

// The night's name relative to the program directory: the night directory
// without the program directory and the separator after it, or its last
// component when it does not lie there.
std::string relativeNightName(const std::string& nightDirectory, const std::string& programDirectory);

// Writes nightDirectory + "/M" + R + ".txt": the header, then per event the
// values of its report lines (text after the first "=", or the whole line)
// each followed by ",", and the station's latitude, longitude, altitude,
// camera name and observer. Shows the completion message; returns the path.
std::string writeDailySummary(const std::string& nightDirectory, const std::string& programDirectory,
                              const TConfiguration& config, UserNotifier& notifier);

// Writes nightDirectory + "/ME" + R + ".csv": the R90 header and one record
// per event, dated by R (yyyymmdd) and the event directory (hhnnss), local
// time. A report of fewer than ten lines raises EConvertError naming it;
// nothing is written then. Shows the completion message; returns the path.
std::string writeR90Export(const std::string& nightDirectory, const std::string& programDirectory,
                           const TConfiguration& config, UserNotifier& notifier);

// Writes programDirectory + "/ME" + yearMonth + ".csv": the R90 records of
// every night directory of that month (named yyyymmdd) in date order. A
// yearMonth that is not "yyyymm" with a month 01..12 raises EConvertError.
// Shows the completion message; returns the path.
std::string writeMonthlyR90Export(const std::string& programDirectory, const std::string& yearMonth,
                                  const TConfiguration& config, UserNotifier& notifier);

}  // namespace orbis
