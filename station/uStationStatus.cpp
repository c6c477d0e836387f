#include "station/uStationStatus.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uNaming.h"
#include "station/uMorningProcessing.h"
#include "station/uNightSchedule.h"
#include "station/uStationJournal.h"
#include "station/uStationLock.h"

#ifndef ORBIS_VERSION
#define ORBIS_VERSION "unknown"
#endif

namespace orbis {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

std::string jsonText(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string htmlText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

const char* syncName(ClockSync sync) {
    switch (sync) {
        case ClockSync::Synchronised: return "synchronised";
        case ClockSync::NotSynchronised: return "not synchronised";
        case ClockSync::Unknown: break;
    }
    return "unknown";
}

// The PID of the station holding the directory: its lock file is there and
// the process lives (a killed station leaves the file, not the process).
std::optional<int> runningStation(const std::string& programDirectory) {
    const fs::path lock = fs::path(programDirectory) / kStationLockName;
    if (!isFile(lock)) return std::nullopt;
    try {
        const std::vector<std::string> lines = readTextLines(lock);
        if (lines.empty()) return std::nullopt;
        const int pid = parseInt(lines.front());
        if (pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM)) return pid;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// The camera's state by the journal's last line about it (the text after
// the line's time stamp).
std::string cameraState(const std::vector<std::string>& lines, bool running) {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const std::size_t space = it->find(' ');
        const std::string text = space == std::string::npos ? *it : it->substr(space + 1);
        if (text.starts_with("detection started: ")) return running ? "detecting (" + text.substr(19) + ")" : "stopped";
        if (text.starts_with("detection could not start: ")) return "failed: " + text.substr(27);
        if (text.starts_with("the source failed: ")) return "failed: " + text.substr(19);
        if (text.starts_with("dawn: detection stopped") || text.starts_with("the sky is bright") ||
            text.starts_with("stop requested") || text.starts_with("the source has ended"))
            return "stopped";
    }
    return "";
}

bool tellsOfAProblem(const std::string& line) {
    // The morning's counts tell of a problem only when something failed.
    if (line.find(", 0 failed") != std::string::npos) return false;
    for (const char* word : {"failed", "cannot", "could not", "not complete", "disk full", "not synchronised",
                             "lost", "refused"})
        if (line.find(word) != std::string::npos) return true;
    return false;
}

}  // namespace

TClockState systemClockState() {
    // popen's shell finds timedatectl on PATH; its absence is no error.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> pipe(
        ::popen("timedatectl show -p NTPSynchronized --value 2>/dev/null", "r"), ::pclose);
    if (!pipe) return {ClockSync::Unknown, "timedatectl could not be run"};
    char buffer[64] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, pipe.get());
    std::string answer(buffer, n);
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == ' ')) answer.pop_back();
    if (answer == "yes") return {ClockSync::Synchronised, "timedatectl: NTPSynchronized=yes"};
    if (answer == "no") return {ClockSync::NotSynchronised, "timedatectl: NTPSynchronized=no"};
    return {ClockSync::Unknown, "timedatectl gave no answer (no systemd?)"};
}

TDiagnostic clockStateText(const TClockState& clock) {
    const Code code = clock.sync == ClockSync::Synchronised      ? Code::ClockSynchronised
                      : clock.sync == ClockSync::NotSynchronised ? Code::ClockNotSynchronised
                                                                 : Code::ClockStateUnknown;
    return TDiagnostic(code, clock.sync == ClockSync::Synchronised ? Severity::Notice : Severity::Warning)
        .with("detail", clock.detail);
}

TNightStatus nightStatus(const std::string& programDirectory, const std::string& nightName) {
    TNightStatus s;
    s.night = nightName;
    const std::string night = joinPath(programDirectory, nightName);
    std::vector<std::string> failed;
    for (const TFailedClip& f : failedClips(night)) failed.push_back(f.clip);
    for (const std::string& clip : listDirectory(night, "*.avi", ListKind::Files)) {
        ++s.clips;
        const std::string event = eventDirectoryForClip(night, clip);
        const std::string stem = workFileStem(night, event);
        if (isFile(stem + ".txt")) {
            ++s.reports;
            if (isFile(stem + "R.jpg"))
                s.pictures.push_back(fs::relative(stem + "R.jpg", programDirectory).generic_string());
        } else if (std::find(failed.begin(), failed.end(), clip) != failed.end()) {
            ++s.failed;
        } else if (clipProcessed(night, clip)) {
            ++s.waitingForMarking;
        } else {
            ++s.waitingForMorning;
        }
    }
    return s;
}

TStationStatus stationStatus(const std::string& programDirectory, const TConfiguration& config, TDateTime localNow,
                             const TClockState& clock, std::uintmax_t freeBytes) {
    TStationStatus s;
    s.version = ORBIS_VERSION;
    s.updated = isoLocalStamp(localNow, config.timeZone());
    s.runningPid = runningStation(programDirectory);
    s.freeBytes = freeBytes;
    s.clock = clock;
    std::vector<std::string> nights;
    for (const std::string& name : listDirectory(programDirectory, "*", ListKind::Directories))
        if (isNightDirectoryName(name)) nights.push_back(name);
    std::sort(nights.rbegin(), nights.rend());
    if (nights.size() > static_cast<std::size_t>(kStatusNights)) nights.resize(kStatusNights);
    for (const std::string& n : nights) s.nights.push_back(nightStatus(programDirectory, n));
    if (!nights.empty()) {
        s.lastNight = nights.front();
        const TStationPlace place = TStationPlace::fromConfiguration(config);
        TDateTime noon = encodeDateTime({parseInt(s.lastNight.substr(0, 4)), parseInt(s.lastNight.substr(4, 2)),
                                         parseInt(s.lastNight.substr(6, 2)), 12, 0, 0, 0});
        // A night directory is named by the date its detection started: after
        // midnight (a restart) its first clip is of the morning, and its dusk
        // was the evening before.
        std::vector<std::string> clips = listDirectory(joinPath(programDirectory, s.lastNight), "*.avi", ListKind::Files);
        std::sort(clips.begin(), clips.end());
        if (!clips.empty() && clips.front() < "120000") noon -= 1.0;
        const std::optional<TDateTime> dusk = isNight(noon, place) ? std::nullopt : nextScheduleChange(noon, place);
        if (dusk) {
            s.dusk = isoLocalStamp(*dusk, config.timeZone());
            if (const auto dawn = nextScheduleChange(*dusk, place)) s.dawn = isoLocalStamp(*dawn, config.timeZone());
        }
    }
    const fs::path journal = fs::path(programDirectory) / kStationLogName;
    if (isFile(journal)) {
        try {
            const std::vector<std::string> lines = readTextLines(journal);
            if (!lines.empty()) s.lastLine = lines.back();
            s.camera = cameraState(lines, s.runningPid.has_value());
            const auto problem = std::find_if(lines.rbegin(), lines.rend(), tellsOfAProblem);
            if (problem != lines.rend()) s.lastProblem = *problem;
        } catch (const std::exception&) {
        }
    }
    return s;
}

std::string statusJson(const TStationStatus& s) {
    std::string j = "{\n";
    j += "  \"version\": " + jsonText(s.version) + ",\n";
    j += "  \"updated\": " + jsonText(s.updated) + ",\n";
    j += "  \"running\": " + std::string(s.runningPid ? "true" : "false") + ",\n";
    j += "  \"pid\": " + (s.runningPid ? std::to_string(*s.runningPid) : std::string("null")) + ",\n";
    j += "  \"lastNight\": {\"night\": " + jsonText(s.lastNight) + ", \"dusk\": " + jsonText(s.dusk) +
         ", \"dawn\": " + jsonText(s.dawn) + "},\n";
    j += "  \"nights\": [";
    for (std::size_t i = 0; i < s.nights.size(); ++i) {
        const TNightStatus& n = s.nights[i];
        j += std::string(i ? ",\n" : "\n") + "    {\"night\": " + jsonText(n.night) +
             ", \"clips\": " + std::to_string(n.clips) + ", \"reports\": " + std::to_string(n.reports) +
             ", \"failed\": " + std::to_string(n.failed) + ", \"waitingForMarking\": " +
             std::to_string(n.waitingForMarking) + ", \"waitingForMorning\": " + std::to_string(n.waitingForMorning) +
             "}";
    }
    j += s.nights.empty() ? "],\n" : "\n  ],\n";
    j += "  \"freeDiskMB\": " + std::to_string(s.freeBytes / (1024 * 1024)) + ",\n";
    j += "  \"clock\": {\"state\": " + jsonText(syncName(s.clock.sync)) + ", \"detail\": " + jsonText(s.clock.detail) +
         "},\n";
    j += "  \"camera\": " + jsonText(s.camera) + ",\n";
    j += "  \"lastLine\": " + jsonText(s.lastLine) + ",\n";
    j += "  \"lastProblem\": " + jsonText(s.lastProblem) + "\n";
    return j + "}\n";
}

std::string statusHtml(const TStationStatus& s) {
    std::string h =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Orbisight station</title>\n"
        "<style>body{font-family:sans-serif}td,th{padding:2px 8px;text-align:right}img{width:200px;margin:2px}"
        ".bad{color:#b00}</style></head><body>\n";
    h += "<h1>Orbisight station</h1>\n<p>" + htmlText(s.updated) + " &middot; version " + htmlText(s.version) +
         " &middot; " + (s.runningPid ? "running (PID " + std::to_string(*s.runningPid) + ")" : std::string("not running")) +
         " &middot; " + std::to_string(s.freeBytes / (1024 * 1024)) + " MB free &middot; <span" +
         (s.clock.sync == ClockSync::Synchronised ? "" : " class=\"bad\"") + ">clock " + syncName(s.clock.sync) +
         "</span></p>\n";
    if (!s.lastNight.empty())
        h += "<p>Last night " + htmlText(s.lastNight) + ": dusk " + htmlText(s.dusk) + ", dawn " + htmlText(s.dawn) +
             "</p>\n";
    h += "<table><tr><th>night</th><th>clips</th><th>reports</th><th>failed</th><th>to mark</th><th>waiting</th></tr>\n";
    for (const TNightStatus& n : s.nights)
        h += "<tr><td>" + htmlText(n.night) + "</td><td>" + std::to_string(n.clips) + "</td><td>" +
             std::to_string(n.reports) + "</td><td" + (n.failed ? " class=\"bad\"" : "") + ">" +
             std::to_string(n.failed) + "</td><td>" + std::to_string(n.waitingForMarking) + "</td><td>" +
             std::to_string(n.waitingForMorning) + "</td></tr>\n";
    h += "</table>\n";
    if (!s.camera.empty()) h += "<p>Camera: " + htmlText(s.camera) + "</p>\n";
    if (!s.lastProblem.empty()) h += "<p class=\"bad\">" + htmlText(s.lastProblem) + "</p>\n";
    if (!s.lastLine.empty()) h += "<p>" + htmlText(s.lastLine) + "</p>\n";
    if (!s.nights.empty()) {
        h += "<div>\n";
        for (const std::string& picture : s.nights.front().pictures)
            h += "<a href=\"" + htmlText(picture) + "\"><img src=\"" + htmlText(picture) + "\" alt=\"" +
                 htmlText(picture) + "\"></a>\n";
        h += "</div>\n";
    }
    return h + "</body></html>\n";
}

void writeStationStatus(const std::string& programDirectory, const TStationStatus& status) {
    writeFileAtomically(fs::path(programDirectory) / kStatusFileName, statusJson(status));
    writeFileAtomically(fs::path(programDirectory) / kStatusPageName, statusHtml(status));
}

}  // namespace orbis
