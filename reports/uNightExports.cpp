#include "reports/uNightExports.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "measurement/uEventReport.h"
#include "processing/uNaming.h"
#include "reports/uReportText.h"

namespace orbis {

namespace {

constexpr const char* kSummaryHeader =
    "data_UT,time_UT,ra1,dec1,ra2,dec2,magn,velo,leng,tim_fl,type,lat,lon,alt,cam,observer";
constexpr const char* kR90Header = "Ver,Y,M,D,h,m,s,Mag,Dur,Az1,Alt1,Az2,Alt2,Ra1,Dec1,Ra2,Dec2,ID,Long,Lat,Alt,Tz";

// The lines of an event report, in the order the exports take them by.
constexpr std::array<std::string_view, 11> kReportKeys = {"UT_DATE", "UT_TIME", "RA_BEG", "DEC_BEG", "RA_END", "DEC_END",
                                                          "MAGN",    "VELO",    "LENG",   "TIM_FL",  "SHOWER"};

struct EventReport {
    std::string eventName;
    std::string path;
    std::vector<std::string> values;  // one per key of kReportKeys, when the report is sound
    std::optional<TDiagnostic> problem;  // why the report cannot be exported, or nothing
};

bool isDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A number as the report writes it: optional "-", digits, optional "."
// and digits. Nothing else, so no separator of another locale, exponent or
// blank can shift the columns of a comma-separated line.
std::optional<double> reportNumber(std::string_view text) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(i, point == std::string_view::npos ? std::string_view::npos : point - i);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view("0") : text.substr(point + 1);
    if (whole.empty() || fraction.empty() || !isDigits(whole) || !isDigits(fraction)) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool inRange(std::string_view text, double low, double high) {
    const std::optional<double> v = reportNumber(text);
    return v && *v >= low && *v <= high;
}

bool positive(std::string_view text) {
    const std::optional<double> v = reportNumber(text);
    return v && *v > 0;
}

// The count digits of text from `from` as a number; -1 when they are not all digits.
int digitsAt(std::string_view text, std::size_t from, std::size_t count) {
    if (from + count > text.size() || !isDigits(text.substr(from, count))) return -1;
    return std::stoi(std::string(text.substr(from, count)));
}

bool isDate(int year, int month, int day) {
    return year >= 0 && month >= 0 && day >= 0 && isValidDateTime({year, month, day, 0, 0, 0, 0});
}
bool isTime(int hour, int minute, int second) {
    return hour >= 0 && minute >= 0 && second >= 0 && isValidDateTime({2000, 1, 1, hour, minute, second, 0});
}

// Why a value cannot stand in the exports, or nothing.
std::optional<TDiagnostic> valueProblem(std::size_t key, std::string_view v) {
    const auto outside = [](double low, double high) {
        return TDiagnostic(Code::ExportReportNumberOutside, Severity::Warning)
            .with("low", generalNumberText(low))
            .with("high", generalNumberText(high));
    };
    const auto notPositive = [](double high) {
        return TDiagnostic(Code::ExportReportNumberNotPositive, Severity::Warning).with("high", generalNumberText(high));
    };
    switch (key) {
        case 0:
            if (v.size() == 10 && v[2] == '.' && v[5] == '.' && isDate(digitsAt(v, 6, 4), digitsAt(v, 3, 2), digitsAt(v, 0, 2)))
                return std::nullopt;
            return TDiagnostic(Code::ExportReportDateInvalid, Severity::Warning);
        case 1:
            if (v.size() == 8 && v[2] == ':' && v[5] == ':' && isTime(digitsAt(v, 0, 2), digitsAt(v, 3, 2), digitsAt(v, 6, 2)))
                return std::nullopt;
            return TDiagnostic(Code::ExportReportTimeInvalid, Severity::Warning);
        case 2:
        case 4:
            if (inRange(v, 0, 360)) return std::nullopt;
            return outside(0, 360);
        case 3:
        case 5:
            if (inRange(v, -90, 90)) return std::nullopt;
            return outside(-90, 90);
        case 6:
            if (v == "$" || inRange(v, -kMagnitudeLimit, kMagnitudeLimit)) return std::nullopt;
            return TDiagnostic(Code::ExportReportMagnitudeInvalid, Severity::Warning)
                .with("low", generalNumberText(-kMagnitudeLimit))
                .with("high", generalNumberText(kMagnitudeLimit));
        case 7:
            if (inRange(v, 0, kMaxAngularVelocity)) return std::nullopt;
            return outside(0, kMaxAngularVelocity);
        case 8:
            // A track of no length is no meteor.
            if (inRange(v, 0, 180) && positive(v)) return std::nullopt;
            return notPositive(180);
        case 9:
            if (inRange(v, 0, kMaxFlightTime) && positive(v)) return std::nullopt;
            return notPositive(kMaxFlightTime);
        default:
            for (char c : v) {
                if (c == ',' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                    return TDiagnostic(Code::ExportReportCharactersInvalid, Severity::Warning);
            }
            if (v.empty()) return TDiagnostic(Code::ExportReportValueEmpty, Severity::Warning);
            return std::nullopt;
    }
}

// The report's values by key, or why it is damaged: another number or order
// of lines, or a value not of its kind and range.
void parseReport(EventReport& report, std::vector<std::string> lines) {
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    if (lines.size() != kReportKeys.size()) {
        report.problem = TDiagnostic(Code::ExportReportLineCount, Severity::Warning)
                             .with("lines", lines.size())
                             .with("expected", kReportKeys.size());
        return;
    }
    for (std::size_t k = 0; k < kReportKeys.size(); ++k) {
        const std::string key = std::string(kReportKeys[k]) + "=";
        if (!lines[k].starts_with(key)) {
            report.problem =
                TDiagnostic(Code::ExportReportKeyMissing, Severity::Warning).with("line", k + 1).with("key", key);
            return;
        }
        const std::string value = lines[k].substr(key.size());
        if (auto problem = valueProblem(k, value)) {
            report.problem = std::move(problem->with("text", lines[k]));
            return;
        }
        report.values.push_back(value);
    }
}

// The reports of a night's events in directory order; events without a
// report are left out.
std::vector<EventReport> nightReports(const std::string& nightDirectory) {
    std::vector<EventReport> reports;
    for (const std::string& event : listDirectory(nightDirectory, "*.*", ListKind::Directories)) {
        std::string path = joinPath(joinPath(nightDirectory, event), "M" + event + ".txt");
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) continue;
        EventReport report{event, std::move(path), {}, {}};
        try {
            parseReport(report, readTextLines(report.path));
        } catch (const EInOutError&) {
            report.problem = TDiagnostic(Code::ExportReportUnreadable, Severity::Warning);
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

// Latin letters with marks, U+00C0..U+017F, as the plain letters Windows-1251
// has; an empty entry is a sign with no letter to stand for it.
constexpr std::array<const char*, 0x180 - 0xC0> kLatinPlain = {
    "A",  "A",  "A",  "A",  "A",  "A",  "AE", "C",  "E",  "E",  "E",  "E",  "I",  "I",  "I",  "I",   // C0
    "D",  "N",  "O",  "O",  "O",  "O",  "O",  "x",  "O",  "U",  "U",  "U",  "U",  "Y",  "TH", "ss",  // D0
    "a",  "a",  "a",  "a",  "a",  "a",  "ae", "c",  "e",  "e",  "e",  "e",  "i",  "i",  "i",  "i",   // E0
    "d",  "n",  "o",  "o",  "o",  "o",  "o",  "",   "o",  "u",  "u",  "u",  "u",  "y",  "th", "y",   // F0
    "A",  "a",  "A",  "a",  "A",  "a",  "C",  "c",  "C",  "c",  "C",  "c",  "C",  "c",  "D",  "d",   // 100
    "D",  "d",  "E",  "e",  "E",  "e",  "E",  "e",  "E",  "e",  "E",  "e",  "G",  "g",  "G",  "g",   // 110
    "G",  "g",  "G",  "g",  "H",  "h",  "H",  "h",  "I",  "i",  "I",  "i",  "I",  "i",  "I",  "i",   // 120
    "I",  "i",  "IJ", "ij", "J",  "j",  "K",  "k",  "k",  "L",  "l",  "L",  "l",  "L",  "l",  "L",   // 130
    "l",  "L",  "l",  "N",  "n",  "N",  "n",  "N",  "n",  "n",  "N",  "n",  "O",  "o",  "O",  "o",   // 140
    "O",  "o",  "OE", "oe", "R",  "r",  "R",  "r",  "R",  "r",  "S",  "s",  "S",  "s",  "S",  "s",   // 150
    "S",  "s",  "T",  "t",  "T",  "t",  "T",  "t",  "U",  "u",  "U",  "u",  "U",  "u",  "U",  "u",   // 160
    "U",  "u",  "U",  "u",  "W",  "w",  "Y",  "y",  "Y",  "Z",  "z",  "Z",  "z",  "Z",  "z",  "s",   // 170
};

// The code point of a whole UTF-8 sequence of two or more bytes, or nothing
// when it is not one.
std::optional<char32_t> codePoint(std::string_view sequence) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length != sequence.size()) return std::nullopt;
    char32_t value = lead & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(sequence[k]);
        if ((c & 0xC0) != 0x80) return std::nullopt;
        value = (value << 6) | (c & 0x3F);
    }
    return value;
}

// A setting's text made one field of a comma-separated Windows-1251 line,
// as the programs reading the R90 records take it: they know no quoting.
// A comma or control character becomes a space (none beside another
// space or at an end), a Latin letter with marks its plain letter, any other
// character Windows-1251 lacks "?". Text that fits is returned unchanged.
std::string exportField(const std::string& text) {
    const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
        return c == ',' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
    if (plain && cp1251ToUtf8(utf8ToCp1251(text)) == text) return text;
    std::string field;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if (lead == ',' || lead < 0x20 || lead == 0x7f) {
                const bool spaceFollows = i + 1 >= text.size() || text[i + 1] == ' ';
                if (!field.empty() && field.back() != ' ' && !spaceFollows) field += ' ';
            } else {
                field += text[i];
            }
            ++i;
            continue;
        }
        std::size_t length = 1;
        while (i + length < text.size() && length < 4 &&
               (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
            ++length;
        const std::string sequence = text.substr(i, length);
        i += length;
        if (cp1251ToUtf8(utf8ToCp1251(sequence)) == sequence) {
            field += sequence;
        } else if (const auto c = codePoint(sequence); c && *c >= 0xC0 && *c < 0x180 && *kLatinPlain[*c - 0xC0]) {
            field += kLatinPlain[*c - 0xC0];
        } else {
            field += '?';
        }
    }
    return field;
}

// Characters [from, from + count) of text; shorter or empty past its end.
std::string slice(std::string_view text, std::size_t from, std::size_t count) {
    return from >= text.size() ? std::string() : std::string(text.substr(from, count));
}

// Why an R90 record cannot be dated by the night's and the event's names.
std::optional<TDiagnostic> r90NameProblem(const std::string& night, const std::string& event) {
    if (night.size() != 8 || !isDate(digitsAt(night, 0, 4), digitsAt(night, 4, 2), digitsAt(night, 6, 2)))
        return TDiagnostic(Code::ExportNightNameNotDate, Severity::Warning).with("night", night);
    if (!isTime(digitsAt(event, 0, 2), digitsAt(event, 2, 2), digitsAt(event, 4, 2)))
        return TDiagnostic(Code::ExportEventNameNotTime, Severity::Warning).with("event", event);
    return std::nullopt;
}

std::string r90Record(const std::string& night, const EventReport& report, const TConfiguration& config,
                      const std::string& id) {
    const auto value = [&](std::size_t lineNumber) { return report.values[lineNumber - 1]; };
    const std::string& e = report.eventName;
    std::string record = "R90,";
    // Tz is a whole number of hours: a zone of half or three quarters of an
    // hour is written rounded, with the date and time moved by the same
    // fraction, so that time - Tz is still the event's UT.
    const double zone = config.timeZone();
    const long wholeZone = std::lround(zone);
    if (zone == static_cast<double>(wholeZone)) {
        record += slice(night, 0, 4) + "," + slice(night, 4, 2) + "," + slice(night, 6, 2) + ",";
        record += slice(e, 0, 2) + "," + slice(e, 2, 2) + "," + slice(e, 4, 2) + ",";
    } else {
        const TDateTime local = encodeDateTime({parseInt(slice(night, 0, 4)), parseInt(slice(night, 4, 2)),
                                                parseInt(slice(night, 6, 2)), parseInt(slice(e, 0, 2)),
                                                parseInt(slice(e, 2, 2)), parseInt(slice(e, 4, 2)), 0});
        // Half a millisecond keeps a whole second from printing as the one before.
        const TDateTime shifted = local + (static_cast<double>(wholeZone) - zone) / 24.0 + 0.5 / 86400000.0;
        record += formatDateTime("yyyy,mm,dd,hh,nn,ss", shifted) + ",";
    }
    record += value(7) + "," + value(10) + ",";
    record += "999.9,999.9,999.9,999.9,";  // horizontal coordinates are not computed
    record += value(3) + "," + value(4) + "," + value(5) + "," + value(6) + ",";
    record += id + ",";
    record += generalNumberText(-config.signedLongitude()) + ",";  // R90 counts longitude east-positive
    record += generalNumberText(config.signedLatitude()) + ",";
    record += generalNumberText(config.altitude()) + ",";
    record += std::to_string(wholeZone);
    return record;
}

// The file an export writes, the events left out of it and the settings
// rewritten to fit its fields, each shown to the user.
class TExportFile {
public:
    TExportFile(std::string target, UserNotifier& notifier) : target_(std::move(target)), notifier_(notifier) {}

    // True when the report can go in; otherwise warns.
    // The problem's code says what is wrong; the warning names the report
    // and the file it is left out of.
    bool admit(const EventReport& report, std::optional<TDiagnostic> problem) {
        if (!problem) return true;
        notifier_.report(problem->with("file", report.path).with("target", target_));
        ++count_;
        return false;
    }

    // A setting's text as a field of the file's lines; a text that had to be
    // changed is warned of once the file is written, naming the setting.
    std::string field(const std::string& setting, const std::string& text) {
        std::string written = exportField(text);
        if (written != text && std::find(rewritten_.begin(), rewritten_.end(), setting) == rewritten_.end()) {
            rewritten_.push_back(setting);
            changes_.push_back(TDiagnostic(Code::ExportSettingRewritten, Severity::Warning)
                                   .with("setting", setting)
                                   .with("text", text)
                                   .with("target", target_)
                                   .with("written", written));
        }
        return written;
    }

    // Writes the lines, then tells the user of rewritten settings, where the
    // lines went and whether events are missing.
    std::string finish(const std::vector<std::string>& lines) {
        writeTextLines(target_, lines);
        for (const TDiagnostic& change : changes_) notifier_.report(change);
        if (count_ == 0) {
            notifier_.report(TDiagnostic(Code::ExportWritten, Severity::Notice).with("file", target_));
        } else {
            notifier_.report(
                TDiagnostic(Code::ExportWrittenWithoutEvents, Severity::Warning).with("file", target_).with("count", count_));
        }
        return target_;
    }

private:
    std::string target_;
    UserNotifier& notifier_;
    int count_ = 0;
    std::vector<std::string> rewritten_;  // settings already warned of
    std::vector<TDiagnostic> changes_;
};

}  // namespace

std::string nightName(const std::string& nightDirectory) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(nightDirectory, ec);
    std::string normal = (ec ? std::filesystem::path(nightDirectory) : absolute).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return std::filesystem::path(normal).filename().string();
}

std::string writeDailySummary(const std::string& nightDirectory, const std::string& /*programDirectory*/,
                              const TConfiguration& config, UserNotifier& notifier) {
    config.requireInRange({"latitude", "longitude", "altitude"});
    const std::string night = nightName(nightDirectory);
    TExportFile file(joinPath(nightDirectory, "M" + night + ".txt"), notifier);
    std::vector<std::string> lines{kSummaryHeader};
    for (const EventReport& report : nightReports(nightDirectory)) {
        if (!file.admit(report, report.problem)) continue;
        std::string line;
        for (const std::string& value : report.values) line += value + ",";
        line += latitudeText(config.signedLatitude()) + "," + longitudeText(config.signedLongitude()) + "," +
                generalNumberText(config.altitude()) + ",";
        line += file.field("[Camera] name", config.name()) + ",";
        line += file.field("[Observatory] observer", config.observer());
        lines.push_back(line);
    }
    return file.finish(lines);
}

std::string writeR90Export(const std::string& nightDirectory, const std::string& /*programDirectory*/,
                           const TConfiguration& config, UserNotifier& notifier) {
    config.requireInRange({"latitude", "longitude", "altitude", "timeZone"});
    const std::string night = nightName(nightDirectory);
    TExportFile file(joinPath(nightDirectory, "ME" + night + ".csv"), notifier);
    std::vector<std::string> lines{kR90Header};
    for (const EventReport& report : nightReports(nightDirectory)) {
        const auto problem = report.problem ? report.problem : r90NameProblem(night, report.eventName);
        if (file.admit(report, problem))
            lines.push_back(r90Record(night, report, config, file.field("[Camera] name", config.name())));
    }
    return file.finish(lines);
}

std::string writeMonthlyR90Export(const std::string& programDirectory, const std::string& yearMonth,
                                  const TConfiguration& config, UserNotifier& notifier) {
    config.requireInRange({"latitude", "longitude", "altitude", "timeZone"});
    const bool valid = yearMonth.size() == 6 && isDigits(yearMonth) &&
                       yearMonth.substr(4) >= "01" && yearMonth.substr(4) <= "12";
    if (!valid) throw EConvertError(TDiagnostic(Code::ExportMonthInvalid).with("text", yearMonth));
    TExportFile file(joinPath(programDirectory, "ME" + yearMonth + ".csv"), notifier);
    std::vector<std::string> lines{kR90Header};
    // Night names are all digits, so the listing's order is date order.
    for (const std::string& night : listDirectory(programDirectory, yearMonth + "??", ListKind::Directories)) {
        if (!isDigits(night)) continue;
        for (const EventReport& report : nightReports(joinPath(programDirectory, night))) {
            const auto problem = report.problem ? report.problem : r90NameProblem(night, report.eventName);
            if (file.admit(report, problem))
                lines.push_back(r90Record(night, report, config, file.field("[Camera] name", config.name())));
        }
    }
    return file.finish(lines);
}

}  // namespace orbis
