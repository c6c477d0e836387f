#pragma once
// The date-time type of the system: days since 1899-12-30 00:00 with the
// time of day as fraction, as the station's file names and reports have
// always counted it. Conversions to and from calendar parts, and the local
// clock.

#include <string>
#include <string_view>

namespace orbis {

using TDateTime = double;

struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// True for a real calendar date (Gregorian calendar, year 1..9999) and a
// time of day 00:00:00.000 .. 23:59:59.999.
bool isValidDateTime(const DateTimeParts& parts);

// Raises EConvertError for parts that are not a valid date-time.
TDateTime encodeDateTime(const DateTimeParts& parts);

// Splits a date-time into its parts, to the nearest millisecond.
DateTimeParts decodeDateTime(TDateTime value);

// The local date-time of the computer's clock.
TDateTime nowLocal();
// The system clock's UTC.
TDateTime nowUtc();

// The local date-time of a moment given as seconds and nanoseconds since
// 1970-01-01 UTC (a file time, for example).
TDateTime localFromUnixTime(long long seconds, long nanoseconds);

// Formats with the patterns the station's names use: "yyyy", "mm", "dd",
// "hh", "nn", "ss", "zzz" (everything else is copied as is), e.g.
// "yyyymmdd" -> 20231214, "hhnnss_zzz" -> 213045_120.
std::string formatDateTime(std::string_view pattern, TDateTime value);

}  // namespace orbis
