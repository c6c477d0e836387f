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

std::uintmax_t megabytes(std::uintmax_t bytes) { return bytes / (1024 * 1024); }

// Characters the comma-separated exports and the Windows-1251 files cannot
// carry as they are (the exports then write them changed, with a warning).
std::optional<Code> exportTextProblem(const std::string& observer) {
    if (observer.find(',') != std::string::npos) return Code::SetupTextHasComma;
    try {
        if (cp1251ToUtf8(utf8ToCp1251(observer)) != observer) return Code::SetupTextOutsideCp1251;
    } catch (const std::exception&) {
        return Code::SetupTextNotUtf8;
    }
    return std::nullopt;
}

void checkFile(std::vector<TCheckFinding>& out, Code missingCode, Code emptyCode, const std::string& path,
               CheckSeverity missing) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        out.push_back({missing, TDiagnostic(missingCode).with("file", path)});
    else if (fs::file_size(path, ec) == 0)
        out.push_back({missing, TDiagnostic(emptyCode).with("file", path)});
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

std::string checkFindingLine(const TCheckFinding& finding, const TWording& word) {
    switch (finding.severity) {
        case CheckSeverity::Error: return "error: " + word(finding.diagnostic);
        case CheckSeverity::Warning: return "warning: " + word(finding.diagnostic);
        case CheckSeverity::Note: break;
    }
    return "note: " + word(finding.diagnostic);
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
        out.push_back({CheckSeverity::Error,
                       TDiagnostic(Code::SetupIniMissing).with("file", kIniFileName).with("directory", input.programDirectory)});
    } else {
        try {
            config.load(ini);
        } catch (const std::exception& e) {
            out.push_back({CheckSeverity::Error, diagnosticOf(e)});
            return out;
        }
        for (const auto& w : config.warnings()) out.push_back({CheckSeverity::Warning, w});
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
            out.push_back({CheckSeverity::Error, diagnosticOf(e)});
        }
    }
    if (config.correctDistortion()) {
        try {
            requirePlausibleDistortion(config);
        } catch (const std::exception& e) {
            out.push_back({CheckSeverity::Error, diagnosticOf(e)});
        }
    }
    const TConfiguration& defaults = TConfiguration::defaults();
    if (config.latitude() == defaults.latitude() && config.longitude() == defaults.longitude() &&
        config.pole() == defaults.pole() && config.hemisphere() == defaults.hemisphere())
        out.push_back({CheckSeverity::Warning, TDiagnostic(Code::SetupPlaceBuiltIn, Severity::Warning)
                                                   .with("latitude", floatToText(config.latitude()))
                                                   .with("longitude", floatToText(config.longitude()))});
    if (const auto problem = exportTextProblem(config.observer()))
        out.push_back({CheckSeverity::Warning, TDiagnostic(*problem, Severity::Warning)
                                                   .with("setting", "[Observatory] observer")
                                                   .with("text", config.observer())});
    if (const auto problem = exportTextProblem(config.name()))
        out.push_back({CheckSeverity::Warning,
                       TDiagnostic(*problem, Severity::Warning).with("setting", "[Camera] name").with("text", config.name())});

    checkFile(out, Code::SetupStarCatalogMissing, Code::SetupStarCatalogEmpty,
              starCatalogPath(config, input.programDirectory), CheckSeverity::Error);
    checkFile(out, Code::SetupRadiantCatalogMissing, Code::SetupRadiantCatalogEmpty,
              radiantCatalogPath(config, input.programDirectory), CheckSeverity::Warning);

    if (input.sourcePipeline) {
        const std::vector<TCaptureFormat> formats = sourceFormats(*input.sourcePipeline);
        if (formats.empty())
            out.push_back({CheckSeverity::Error, TDiagnostic(Code::SetupSourceWithoutFormat).with("source", *input.sourcePipeline)});
        else
            out.push_back({CheckSeverity::Note, TDiagnostic(Code::SetupSourceFormats, Severity::Notice)
                                                    .with("format", captureFormatText(formats.front()))
                                                    .with("others", formats.size() - 1)});
    }
    if (input.deviceNode) {
        std::error_code ec;
        if (!fs::exists(*input.deviceNode, ec))
            out.push_back({CheckSeverity::Error, TDiagnostic(Code::SetupCameraMissing).with("device", *input.deviceNode)});
    }

    const std::uintmax_t need = nightDiskNeed(config) + static_cast<std::uintmax_t>(std::max(0, config.minFreeSpaceMB())) * 1024 * 1024;
    if (input.freeBytes < need)
        out.push_back({CheckSeverity::Warning, TDiagnostic(Code::SetupDiskShort, Severity::Warning)
                                                   .with("free", megabytes(input.freeBytes))
                                                   .with("events", kNightEvents)
                                                   .with("need", megabytes(need))});
    else
        out.push_back({CheckSeverity::Note, TDiagnostic(Code::SetupDiskFree, Severity::Notice).with("free", megabytes(input.freeBytes))});

    out.push_back({input.clock.sync == ClockSync::Synchronised ? CheckSeverity::Note : CheckSeverity::Warning,
                   clockStateText(input.clock)});
    if (input.systemUtcOffsetHours && std::abs(*input.systemUtcOffsetHours - config.timeZone()) > 1e-6)
        out.push_back({CheckSeverity::Note, TDiagnostic(Code::SetupTimeZoneDiffers, Severity::Notice)
                                                .with("system", std::string(*input.systemUtcOffsetHours < 0 ? "" : "+") +
                                                                    floatToText(*input.systemUtcOffsetHours))
                                                .with("timeZone", floatToText(config.timeZone()))});
    return out;
}

}  // namespace orbis
