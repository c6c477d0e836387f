#include "app/cli/uCliWords.h"

#include <array>

#include "app/cli/uCliArgs.h"
#include "astro/uExceptions.h"

namespace orbis {

namespace {

constexpr std::array kSentences{
    cli::kGivenTwice,
    cli::kNeedsValue,
    cli::kUnknownArgument,
    cli::kUnknownCommand,
    cli::kUnknownMode,
    cli::kUnknownLanguage,
    cli::kOneClip,
    cli::kOneEvent,
    cli::kOneNight,
    cli::kOnePairsFile,
    cli::kNoEventGiven,
    cli::kTakesNoFiles,
    cli::kAtLeastOne,
    cli::kMoreThanZero,
    cli::kGoesWith,
    cli::kRequired,
    cli::kPointingRequired,
    cli::kExcludeEachOther,
    cli::kMeteorNumbers,
    cli::kDeviceOrSource,
    cli::kNightOrMonth,
    cli::kMonthShape,
    cli::kError,
    cli::kWarning,
    cli::kInfo,
    cli::kNote,
    cli::kAnswerNo,
    cli::kBeingProcessed,
    cli::kNoFrames,
    cli::kReportWritten,
    cli::kNoReport,
    cli::kNightWithoutEvents,
    cli::kNoMeteor,
    cli::kBrightestFrame,
    cli::kTrackKept,
    cli::kTrackWritten,
    cli::kClipWhole,
    cli::kClipRepaired,
    cli::kCutChunkLeftOut,
    cli::kDamagedLeftOut,
    cli::kFramesExtracted,
    cli::kDecodedOtherCount,
    cli::kFramesNotSaved,
    cli::kClipLine,
    cli::kClipNotWritten,
    cli::kClipIncomplete,
    cli::kStoppedEventDropped,
    cli::kEndedEventDropped,
    cli::kFramesNotExamined,
    cli::kShutdownLevel,
    cli::kEventMayBeLost,
    cli::kFramesExamined,
    cli::kFramesExaminedStopped,
    cli::kCoefficientsWritten,
    cli::kFindingsCount,
    cli::kStationEnd,
    cli::kSkyBright,
    cli::kRecording,
    cli::kClipWritten,
    cli::kEventsCount,
    cli::kRecordingUnfinished,
    cli::kIndicators,
    cli::kIndicatorsEvent,
    cli::kNoVideoDevices,
    cli::kNone,
    cli::kTwoEvents,
    cli::kTwoNights,
    cli::kTrajectoryWritten,
    cli::kNightMeteors,
};

}  // namespace

std::span<const char* const> cliSentences() { return kSentences; }

CliWords::CliWords(Language language) : catalogue_(language) {}

std::string CliWords::text(const TDiagnostic& diagnostic) const { return catalogue_.text(diagnostic); }

std::string CliWords::say(const char* sentence,
                          std::initializer_list<std::pair<std::string_view, std::string>> values) const {
    TDiagnostic places;
    for (const auto& [name, value] : values) places.with(name, value);
    return fillPlaces(catalogue_.translate("Cli", sentence), places);
}

std::string CliWords::failure(const std::exception& e) const {
    if (const auto* raised = dynamic_cast<const Exception*>(&e)) return text(raised->diagnostic());
    if (const auto* usage = dynamic_cast<const CliUsageError*>(&e)) {
        TDiagnostic places;
        for (const auto& [name, value] : usage->values()) places.with(name, value);
        return fillPlaces(catalogue_.translate("Cli", usage->sentence()), places);
    }
    return e.what();
}

}  // namespace orbis
