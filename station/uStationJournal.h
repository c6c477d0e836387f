#pragma once
// The unattended station's own journal, Station.log in the station
// directory: UTF-8, one line per event of the station, each stamped with
// the station's local time in ISO 8601 with its offset from UT
// ("2024-08-12T23:10:01+03:00 clip …"), lines ended by LF. Every line is
// flushed as it is written, so a kill loses none. When the file reaches
// its size limit it is renamed Station.log.1 (the older ones moving up to
// Station.log.<keep>, the oldest dropped) and a new one is begun.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "astro/uDateTime.h"

namespace orbis {

inline constexpr const char* kStationLogName = "Station.log";

// "yyyy-mm-ddThh:nn:ss+hh:mm" of a local time whose zone is utcOffsetHours
// east of Greenwich (half and three-quarter hours included).
std::string isoLocalStamp(TDateTime localTime, double utcOffsetHours);

class TStationJournal {
public:
    static constexpr std::uintmax_t kDefaultLimit = 4u << 20;
    static constexpr int kDefaultKeep = 5;

    TStationJournal() = default;
    ~TStationJournal();
    TStationJournal(const TStationJournal&) = delete;
    TStationJournal& operator=(const TStationJournal&) = delete;

    // Opens the journal for appending (raises EInOutError when it cannot).
    void open(const std::string& path, std::uintmax_t limitBytes = kDefaultLimit, int keep = kDefaultKeep);
    // Writes one line; raises EInOutError when it cannot be written.
    void write(TDateTime localTime, double utcOffsetHours, std::string_view utf8);

private:
    void rotate();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::uintmax_t limit_ = kDefaultLimit;
    int keep_ = kDefaultKeep;
};

}  // namespace orbis
