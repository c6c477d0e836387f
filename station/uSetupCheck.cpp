#include "station/uSetupCheck.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>

#include "astro/uUniUtils.h"
#include "astrometry/uStarCatalog.h"
#include "config/uConfiguration.h"
#include "measurement/uEventReport.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/media/uMediaTypes.h"
#include "processing/uDistortionFit.h"

namespace orbis {

namespace fs = std::filesystem;

namespace {

std::string megabytes(std::uintmax_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MB"; }

// Characters the comma-separated exports and the Windows-1251 files cannot
// carry as they are (the exports then write them changed, with a warning).
std::optional<std::string> exportTextProblem(const std::string& observer) {
    if (observer.find(',') != std::string::npos) return "a comma would split the exports' fields";
    try {
        if (cp1251ToUtf8(utf8ToCp1251(observer)) != observer) return "a character Windows-1251 cannot hold";
    } catch (const std::exception&) {
        return "text that is not UTF-8";
    }
    return std::nullopt;
}

void checkFile(std::vector<TCheckFinding>& out, const std::string& what, const std::string& path, CheckSeverity missing,
               const std::string& consequence) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        out.push_back({missing, what + " \"" + path + "\" is missing: " + consequence});
    else if (fs::file_size(path, ec) == 0)
        out.push_back({missing, what + " \"" + path + "\" is empty: " + consequence});
}

}  // namespace

std::uintmax_t nightDiskNeed(const TConfiguration& config) {
    const std::uintmax_t frames =
        static_cast<std::uintmax_t>(std::max(0, config.nFramesBeforeEvent()) + std::max(0, config.nFramesAfterEvent()) + 20);
    const std::uintmax_t frameBytes =
        static_cast<std::uintmax_t>(std::max(1, config.widthCCD())) * static_cast<std::uintmax_t>(std::max(1, config.heightCCD()));
    // Each clip is taken into work as frame files as large again.
    return 2 * frames * frameBytes * kNightEvents;
}

std::string checkFindingLine(const TCheckFinding& finding) {
    switch (finding.severity) {
        case CheckSeverity::Error: return "error: " + finding.text;
        case CheckSeverity::Warning: return "warning: " + finding.text;
        case CheckSeverity::Note: break;
    }
    return "note: " + finding.text;
}

double systemUtcOffsetHours() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return static_cast<double>(local.tm_gmtoff) / 3600.0;
}

std::vector<TCheckFinding> checkStationSetup(const TSetupCheckInput& input) {
    std::vector<TCheckFinding> out;
    const fs::path ini = iniFilePath(input.programDirectory);
    std::error_code ec;
    TConfiguration config;
    if (!fs::exists(ini, ec)) {
        out.push_back({CheckSeverity::Error, "no " + std::string(kIniFileName) + " in " + input.programDirectory +
                                                 ": the station would run with the built-in settings, a place at 52.43° N, "
                                                 "30.98° E; copy the sample settings there and set the place"});
    } else {
        try {
            config.load(ini);
        } catch (const std::exception& e) {
            out.push_back({CheckSeverity::Error, e.what()});
            return out;
        }
        for (const TDiagnostic& w : config.warnings()) out.push_back({CheckSeverity::Warning, w.plain()});
    }
    const std::vector<TCheckFinding> rest = checkStationSetup(input, config);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

std::vector<TCheckFinding> checkStationSetup(const TSetupCheckInput& input, const TConfiguration& config) {
    std::vector<TCheckFinding> out;
    // Every value with a physical range.
    for (const TSettingDeclaration& d : settingDeclarations()) {
        if (!d.range) continue;
        try {
            config.requireInRange({d.key});
        } catch (const std::exception& e) {
            out.push_back({CheckSeverity::Error, e.what()});
        }
    }
    if (config.correctDistortion()) {
        try {
            requirePlausibleDistortion(config);
        } catch (const std::exception& e) {
            out.push_back({CheckSeverity::Error, e.what()});
        }
    }
    const TConfiguration& defaults = TConfiguration::defaults();
    if (config.latitude() == defaults.latitude() && config.longitude() == defaults.longitude() &&
        config.pole() == defaults.pole() && config.hemisphere() == defaults.hemisphere())
        out.push_back({CheckSeverity::Warning, "the place is the built-in one (latitude " + floatToText(config.latitude()) +
                                                   ", longitude " + floatToText(config.longitude()) +
                                                   "): set [Observatory] latitude, longitude, pole and hemisphere"});
    if (const auto problem = exportTextProblem(config.observer()))
        out.push_back({CheckSeverity::Warning, "[Observatory] observer \"" + config.observer() + "\": " + *problem});
    if (const auto problem = exportTextProblem(config.name()))
        out.push_back({CheckSeverity::Warning, "[Camera] name \"" + config.name() + "\": " + *problem});

    checkFile(out, "the star catalog", starCatalogPath(config, input.programDirectory), CheckSeverity::Error,
              "no event can be bound to the sky");
    checkFile(out, "the radiant catalog", radiantCatalogPath(config, input.programDirectory), CheckSeverity::Warning,
              "no meteor gets its shower");

    if (input.sourcePipeline) {
        const std::vector<TCaptureFormat> formats = sourceFormats(*input.sourcePipeline);
        if (formats.empty())
            out.push_back({CheckSeverity::Error, "the source \"" + *input.sourcePipeline +
                                                     "\" cannot be made or tells no format before it runs"});
        else
            out.push_back({CheckSeverity::Note, "the source gives " + captureFormatText(formats.front()) +
                                                    (formats.size() > 1 ? " and " + std::to_string(formats.size() - 1) +
                                                                              " other format(s)"
                                                                        : std::string())});
    }
    if (input.deviceNode) {
        std::error_code ec;
        if (!fs::exists(*input.deviceNode, ec))
            out.push_back({CheckSeverity::Error, "the camera " + *input.deviceNode + " is not there"});
    }

    const std::uintmax_t need = nightDiskNeed(config) + static_cast<std::uintmax_t>(std::max(0, config.minFreeSpaceMB())) * 1024 * 1024;
    if (input.freeBytes < need)
        out.push_back({CheckSeverity::Warning, megabytes(input.freeBytes) + " free on the station's disk, less than a night of " +
                                                   std::to_string(kNightEvents) + " events and minFreeSpaceMB need (" +
                                                   megabytes(need) + ")"});
    else
        out.push_back({CheckSeverity::Note, megabytes(input.freeBytes) + " free on the station's disk"});

    out.push_back({input.clock.sync == ClockSync::Synchronised ? CheckSeverity::Note : CheckSeverity::Warning,
                   clockStateText(input.clock)});
    if (input.systemUtcOffsetHours && std::abs(*input.systemUtcOffsetHours - config.timeZone()) > 1e-6)
        out.push_back({CheckSeverity::Note, "the system's time zone is UT" +
                                                std::string(*input.systemUtcOffsetHours < 0 ? "" : "+") +
                                                floatToText(*input.systemUtcOffsetHours) + " now, timeZone is " +
                                                floatToText(config.timeZone()) +
                                                ": clips are named by the station's time, UT + timeZone"});
    return out;
}

}  // namespace orbis
