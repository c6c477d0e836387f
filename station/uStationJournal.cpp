#include "station/uStationJournal.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "astro/uExceptions.h"

namespace orbis {

std::string isoLocalStamp(TDateTime localTime, double utcOffsetHours) {
    const int minutes = static_cast<int>(std::lround(std::abs(utcOffsetHours) * 60.0));
    char offset[16];
    std::snprintf(offset, sizeof offset, "%c%02d:%02d", utcOffsetHours < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return formatDateTime("yyyy-mm-dd", localTime) + "T" + formatDateTime("hh:nn:ss", localTime) + offset;
}

TStationJournal::~TStationJournal() {
    if (file_) std::fclose(file_);
}

void TStationJournal::open(const std::string& path, std::uintmax_t limitBytes, int keep) {
    if (file_) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "ab");
    if (!file_) throw EInOutError(TDiagnostic(Code::JournalOpenFailed).with("file", path).with("detail", std::strerror(errno)));
    path_ = path;
    limit_ = limitBytes;
    keep_ = std::max(keep, 1);
}

void TStationJournal::rotate() {
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ec;
    const auto numbered = [&](int n) { return path_ + "." + std::to_string(n); };
    std::filesystem::remove(numbered(keep_), ec);
    for (int n = keep_ - 1; n >= 1; --n) std::filesystem::rename(numbered(n), numbered(n + 1), ec);
    std::filesystem::rename(path_, numbered(1), ec);
    file_ = std::fopen(path_.c_str(), "ab");
    if (!file_) throw EInOutError(TDiagnostic(Code::JournalOpenFailed).with("file", path_).with("detail", std::strerror(errno)));
}

void TStationJournal::write(TDateTime localTime, double utcOffsetHours, std::string_view utf8) {
    if (!file_) throw EInOutError(TDiagnostic(Code::JournalWriteFailed).with("file", path_));
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path_, ec);
    if (!ec && size >= limit_) rotate();
    std::string line = isoLocalStamp(localTime, utcOffsetHours);
    line += ' ';
    line += utf8;
    line += '\n';
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0)
        throw EInOutError(TDiagnostic(Code::JournalWriteFailed).with("file", path_).with("detail", std::strerror(errno)));
}

}  // namespace orbis
