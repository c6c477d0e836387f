#include "reports/uNightExports.h"

#include <filesystem>
#include <string_view>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "processing/uNaming.h"
#include "reports/uReportText.h"

namespace orbis {

namespace {

constexpr const char* kSummaryHeader =
    "data_UT,time_UT,ra1,dec1,ra2,dec2,magn,velo,leng,tim_fl,type,lat,lon,alt,cam,observer";
constexpr const char* kR90Header = "Ver,Y,M,D,h,m,s,Mag,Dur,Az1,Alt1,Az2,Alt2,Ra1,Dec1,Ra2,Dec2,ID,Long,Lat,Alt,Tz";

// R90 takes report lines by position: MAGN, TIM_FL, RA_BEG, DEC_BEG, RA_END, DEC_END.
constexpr std::size_t kR90ReportLines = 10;

struct EventReport {
    std::string eventName;
    std::string path;
    std::vector<std::string> lines;
};

// The reports of a night's events in directory order; events without a
// report are left out.
std::vector<EventReport> nightReports(const std::string& nightDirectory) {
    std::vector<EventReport> reports;
    for (const std::string& event : listDirectory(nightDirectory, "*.*", ListKind::Directories)) {
        std::string path = joinPath(joinPath(nightDirectory, event), "M" + event + ".txt");
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) continue;
        std::vector<std::string> lines = readTextLines(path);
        reports.push_back({event, std::move(path), std::move(lines)});
    }
    return reports;
}

// Characters [from, from + count) of text; shorter or empty past its end.
std::string slice(std::string_view text, std::size_t from, std::size_t count) {
    return from >= text.size() ? std::string() : std::string(text.substr(from, count));
}

std::string r90Record(const std::string& night, const EventReport& report, const TConfiguration& config) {
    if (report.lines.size() < kR90ReportLines) {
        throw EConvertError("Event report \"" + report.path + "\" has " + std::to_string(report.lines.size()) +
                            " lines; an R90 record needs at least " + std::to_string(kR90ReportLines));
    }
    const auto value = [&](std::size_t lineNumber) { return reportLineValue(report.lines[lineNumber - 1]); };
    const std::string& e = report.eventName;
    std::string record = "R90,";
    record += slice(night, 0, 4) + "," + slice(night, 4, 2) + "," + slice(night, 6, 2) + ",";
    record += slice(e, 0, 2) + "," + slice(e, 2, 2) + "," + slice(e, 4, 2) + ",";
    record += value(7) + "," + value(10) + ",";
    record += "999.9,999.9,999.9,999.9,";  // horizontal coordinates are not computed
    record += value(3) + "," + value(4) + "," + value(5) + "," + value(6) + ",";
    record += config.name() + ",";
    record += generalNumberText(-config.signedLongitude()) + ",";  // R90 counts longitude east-positive
    record += generalNumberText(config.signedLatitude()) + ",";
    record += generalNumberText(config.altitude()) + ",";
    record += std::to_string(config.timeZone());
    return record;
}

// Writes the lines, then tells the user where they went.
std::string finish(const std::string& path, const std::vector<std::string>& lines, UserNotifier& notifier) {
    writeTextLines(path, lines);
    notifier.message(kExportCaption, "Отчёт " + path + " сформирован!", MessageIcon::Information);
    return path;
}

bool isDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

std::string relativeNightName(const std::string& nightDirectory, const std::string& programDirectory) {
    // The same rule that names an event directory inside its night.
    return eventNameOfDirectory(programDirectory, nightDirectory);
}

std::string writeDailySummary(const std::string& nightDirectory, const std::string& programDirectory,
                              const TConfiguration& config, UserNotifier& notifier) {
    const std::string night = relativeNightName(nightDirectory, programDirectory);
    const std::string station = latitudeText(config.signedLatitude()) + "," +
                                longitudeText(config.signedLongitude()) + "," +
                                generalNumberText(config.altitude()) + "," + config.name() + "," + config.observer();
    std::vector<std::string> lines{kSummaryHeader};
    for (const EventReport& report : nightReports(nightDirectory)) {
        std::string line;
        for (const std::string& reportLine : report.lines) line += reportLineValue(reportLine) + ",";
        lines.push_back(line + station);
    }
    return finish(joinPath(nightDirectory, "M" + night + ".txt"), lines, notifier);
}

std::string writeR90Export(const std::string& nightDirectory, const std::string& programDirectory,
                           const TConfiguration& config, UserNotifier& notifier) {
    const std::string night = relativeNightName(nightDirectory, programDirectory);
    std::vector<std::string> lines{kR90Header};
    for (const EventReport& report : nightReports(nightDirectory)) lines.push_back(r90Record(night, report, config));
    return finish(joinPath(nightDirectory, "ME" + night + ".csv"), lines, notifier);
}

std::string writeMonthlyR90Export(const std::string& programDirectory, const std::string& yearMonth,
                                  const TConfiguration& config, UserNotifier& notifier) {
    const bool valid = yearMonth.size() == 6 && isDigits(yearMonth) &&
                       yearMonth.substr(4) >= "01" && yearMonth.substr(4) <= "12";
    if (!valid) throw EConvertError("\"" + yearMonth + "\" is not a month of the form yyyymm");
    std::vector<std::string> lines{kR90Header};
    // Night names are all digits, so the listing's order is date order.
    for (const std::string& night : listDirectory(programDirectory, yearMonth + "??", ListKind::Directories)) {
        if (!isDigits(night)) continue;
        for (const EventReport& report : nightReports(joinPath(programDirectory, night))) {
            lines.push_back(r90Record(night, report, config));
        }
    }
    return finish(joinPath(programDirectory, "ME" + yearMonth + ".csv"), lines, notifier);
}

}  // namespace orbis
