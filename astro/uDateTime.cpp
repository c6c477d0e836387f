#include "astro/uDateTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "astro/uExceptions.h"

namespace orbis {
namespace {

constexpr long long kMsPerDay = 86400000LL;

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && isLeapYear(y)) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's
// algorithm; exact for every year of the range we accept).
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153LL * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

// 1899-12-30, day 0 of TDateTime, counted from 1970-01-01.
const long long kEpochOffset = daysFromCivil(1899, 12, 30);

}  // namespace

bool isValidDateTime(const DateTimeParts& p) {
    if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12) return false;
    if (p.day < 1 || p.day > daysInMonth(p.year, p.month)) return false;
    return p.hour >= 0 && p.hour < 24 && p.minute >= 0 && p.minute < 60 && p.second >= 0 &&
           p.second < 60 && p.millisecond >= 0 && p.millisecond < 1000;
}

TDateTime encodeDateTime(const DateTimeParts& p) {
    if (!isValidDateTime(p)) {
        char text[96];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day, p.hour,
                      p.minute, p.second, p.millisecond);
        throw EConvertError(TDiagnostic(Code::DateTimeInvalid).with("date", text));
    }
    const long long days = daysFromCivil(p.year, p.month, p.day) - kEpochOffset;
    const long long ms = ((p.hour * 60LL + p.minute) * 60 + p.second) * 1000 + p.millisecond;
    return static_cast<double>(days) + static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

DateTimeParts decodeDateTime(TDateTime value) {
    const long long total = std::llround(value * static_cast<double>(kMsPerDay));
    long long days = total / kMsPerDay;
    long long ms = total % kMsPerDay;
    if (ms < 0) {
        ms += kMsPerDay;
        --days;
    }
    DateTimeParts p;
    civilFromDays(days + kEpochOffset, p.year, p.month, p.day);
    p.millisecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    p.second = static_cast<int>(ms % 60);
    ms /= 60;
    p.minute = static_cast<int>(ms % 60);
    p.hour = static_cast<int>(ms / 60);
    return p;
}

TDateTime localFromUnixTime(long long seconds, long nanoseconds) {
    const auto t = static_cast<time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    DateTimeParts p;
    p.year = local.tm_year + 1900;
    p.month = local.tm_mon + 1;
    p.day = local.tm_mday;
    p.hour = local.tm_hour;
    p.minute = local.tm_min;
    p.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second stays in its minute
    p.millisecond = static_cast<int>(nanoseconds / 1000000);
    return encodeDateTime(p);
}

TDateTime nowUtc() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const auto t = static_cast<time_t>(ts.tv_sec);
    std::tm utc{};
    gmtime_r(&t, &utc);
    return encodeDateTime({utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                           utc.tm_sec > 59 ? 59 : utc.tm_sec, static_cast<int>(ts.tv_nsec / 1000000)});
}

TDateTime nowLocal() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return localFromUnixTime(ts.tv_sec, ts.tv_nsec);
}

std::string formatDateTime(std::string_view pattern, TDateTime value) {
    const DateTimeParts p = decodeDateTime(value);
    std::string out;
    char buf[8];
    auto put = [&](const char* fmt, int v) {
        std::snprintf(buf, sizeof buf, fmt, v);
        out += buf;
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const std::string_view rest = pattern.substr(i);
        if (rest.starts_with("yyyy")) { put("%04d", p.year); i += 4; }
        else if (rest.starts_with("zzz")) { put("%03d", p.millisecond); i += 3; }
        else if (rest.starts_with("mm")) { put("%02d", p.month); i += 2; }
        else if (rest.starts_with("dd")) { put("%02d", p.day); i += 2; }
        else if (rest.starts_with("hh")) { put("%02d", p.hour); i += 2; }
        else if (rest.starts_with("nn")) { put("%02d", p.minute); i += 2; }
        else if (rest.starts_with("ss")) { put("%02d", p.second); i += 2; }
        else { out += pattern[i]; ++i; }
    }
    return out;
}

}  // namespace orbis
