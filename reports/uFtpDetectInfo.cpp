#include "reports/uFtpDetectInfo.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "astro/uDateTime.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uNaming.h"
#include "reports/uNightExports.h"

namespace orbis {

namespace {

const std::string kHeaderRule(53, '-');
const std::string kMeteorRule(55, '-');

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

// "YYYY-MM-DDTHH:MM:SS.mmmZ" as "YYYYMMDD_HHMMSS_mmm".
std::string clipStamp(const std::string& utc) {
    return utc.substr(0, 4) + utc.substr(5, 2) + utc.substr(8, 2) + "_" + utc.substr(11, 2) + utc.substr(14, 2) +
           utc.substr(17, 2) + "_" + utc.substr(20, 3);
}

}  // namespace

std::string networkStationCode(const std::string& cameraName) {
    std::string code;
    for (char c : cameraName)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) code += c;
    return code.empty() ? "ORBIS" : code;
}

std::vector<std::string> ftpDetectInfoLines(const std::vector<TEventMeasurement>& events, const std::string& stationCode,
                                            const std::string& folder) {
    std::vector<std::string> lines = {
        format("Meteor Count = %06zu", events.size()),
        kHeaderRule,
        "Processed with Orbisight",
        kHeaderRule,
        "FF  folder = " + folder,
        "CAL folder = " + folder,
        kHeaderRule,
        "FF  file processed",
        "CAL file processed",
        "Cam# Meteor# #Segments fps hnr mle bin Pix/fm Rho Phi",
        "Per segment:  Frame# Col Row RA Dec Azim Elev Inten Mag",
    };
    int number = 0;
    for (const TEventMeasurement& e : events) {
        lines.push_back(kMeteorRule);
        lines.push_back("FF_" + stationCode + "_" + clipStamp(e.clipStartUtc) + "_0000000.fits");
        lines.push_back("Calibrated with the event's plate by Orbisight");
        // Pixels per frame, from the first to the last frame.
        double speed = 0;
        if (e.frames.size() > 1 && e.frames.back().frame > e.frames.front().frame) {
            const TFrameMeasurement &a = e.frames.front(), &b = e.frames.back();
            speed = std::hypot(b.x - a.x, b.y - a.y) / (b.frame - a.frame);
        }
        // The line detector's figures (hnr, mle, bin, rho, phi) are not ours.
        lines.push_back(format("%4s %04d %04zu %07.2f 000.0 000.0  00.0 %05.1f 0000.0 0000.0", stationCode.c_str(),
                               ++number, e.frames.size(), e.framesPerSecond, speed));
        for (const TFrameMeasurement& f : e.frames) {
            const std::string magnitude = f.magnitude ? format("%.2f", *f.magnitude) : std::string("inf");
            lines.push_back(format("%06.4f %07.2f %07.2f %08.4f %+08.4f %08.4f %+08.4f %06" PRId64 " ",
                                   f.time * e.framesPerSecond, f.x, f.y, f.ra, f.dec, f.azimuth, f.altitude,
                                   f.brightness) +
                            magnitude);
        }
    }
    return lines;
}

std::string writeFtpDetectInfo(const std::string& nightDirectory, const TConfiguration& config, UserNotifier& notifier) {
    const std::string night = nightName(nightDirectory);
    // The UT when the night directory's local date began.
    std::string stamp = night + "_000000";
    if (night.size() == 8) {
        const DateTimeParts parts{parseIntDefault(night.substr(0, 4), 0), parseIntDefault(night.substr(4, 2), 0),
                                  parseIntDefault(night.substr(6, 2), 0)};
        if (isValidDateTime(parts))
            stamp = formatDateTime("yyyymmdd_hhnnss", encodeDateTime(parts) - config.timeZone() / 24.0);
    }
    const std::string code = networkStationCode(config.name());
    const std::string path = joinPath(nightDirectory, "FTPdetectinfo_" + code + "_" + stamp + ".txt");

    std::vector<TEventMeasurement> events;
    for (const std::string& event : listDirectory(nightDirectory, "*", ListKind::Directories)) {
        const std::string file = joinPath(joinPath(nightDirectory, event), "M" + event + ".json");
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) continue;
        try {
            events.push_back(readEventMeasurement(file));
        } catch (const std::exception& e) {
            notifier.report(TDiagnostic(Code::NightFrameFileLeftOut, Severity::Warning)
                                .with("event", event)
                                .with("file", path)
                                .with("problem", e.what()));
        }
    }
    std::string text;
    // The night's name, not where it lies: a night moved or copied writes the same file.
    for (const std::string& line : ftpDetectInfoLines(events, code, night)) text += line + "\n";
    writeFileAtomically(path, text);
    return path;
}

}  // namespace orbis
