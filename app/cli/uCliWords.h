#pragma once
// The command line's wording. Diagnostics are worded by the catalogue of
// the chosen language (i18n/); the command line's own sentences (progress,
// argument errors, results) are kept here by their English text, which is
// their key in the catalogues' "Cli" context, with {name} places for values.
// Help texts stay English. Files the commands write never go through this.

#include <exception>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "app/i18n/uCatalogue.h"

namespace orbis {

namespace cli {
// Argument errors.
inline constexpr const char* kGivenTwice = "{option} given twice";
inline constexpr const char* kNeedsValue = "{option} needs a value";
inline constexpr const char* kUnknownArgument = "unknown argument '{argument}'";
inline constexpr const char* kUnknownCommand = "unknown command '{command}'";
inline constexpr const char* kUnknownMode = "unknown mode '{mode}'";
inline constexpr const char* kUnknownLanguage = "{option} takes ru or en";
inline constexpr const char* kOneClip = "one clip is needed";
inline constexpr const char* kOneEvent = "one event directory is needed";
inline constexpr const char* kOneNight = "one night directory is needed";
inline constexpr const char* kOnePairsFile = "one file of point pairs is needed";
inline constexpr const char* kNoEventGiven = "no event directory given";
inline constexpr const char* kTakesNoFiles = "{command} takes no file names";
inline constexpr const char* kAtLeastOne = "{option} must be 1 or more";
inline constexpr const char* kMoreThanZero = "{option} must be more than 0";
inline constexpr const char* kGoesWith = "{option} only goes with {other}";
inline constexpr const char* kRequired = "{option} is required";
inline constexpr const char* kPointingRequired = "a pointing (--ra and --dec, or --az and --alt) is required";
inline constexpr const char* kExcludeEachOther = "{option} and {other} exclude each other";
inline constexpr const char* kMeteorNumbers = "a meteor needs 7 numbers: '{text}'";
inline constexpr const char* kDeviceOrSource = "give either --device or --source";
inline constexpr const char* kNightOrMonth = "give either a night directory or --month YYYYMM";
inline constexpr const char* kMonthShape = "--month takes YYYYMM";
// The notifier's kinds of message and its answer to questions.
inline constexpr const char* kError = "error";
inline constexpr const char* kWarning = "warning";
inline constexpr const char* kInfo = "info";
inline constexpr const char* kNote = "note";
inline constexpr const char* kAnswerNo = "no";
// Results and problems of the commands.
inline constexpr const char* kBeingProcessed = "{event}: being processed elsewhere, not run";
inline constexpr const char* kNoFrames = "{event}: no frames";
inline constexpr const char* kReportWritten = "{event}: report written";
inline constexpr const char* kNoReport = "{event}: no report";
inline constexpr const char* kNightWithoutEvents = "{directory} holds no event directories";
inline constexpr const char* kNoMeteor = "no meteor found";
inline constexpr const char* kBrightestFrame = "brightest frame: {file}";
inline constexpr const char* kTrackKept = "{file} exists and is kept (--force replaces it)";
inline constexpr const char* kTrackWritten = "{file} written:";
inline constexpr const char* kClipWhole = "{clip}: whole, nothing changed ({frames} frames)";
inline constexpr const char* kClipRepaired = "{clip}: repaired, {frames} frames indexed";
inline constexpr const char* kCutChunkLeftOut = ", {bytes} bytes of a last chunk cut short left out";
inline constexpr const char* kDamagedLeftOut = ", {count} damaged frame(s) left out ({bytes} bytes)";
inline constexpr const char* kFramesExtracted = "{directory}  {count} frames from {file}";
inline constexpr const char* kDecodedOtherCount = "\"{clip}\" decoded to {count} frame(s) where its headers announce {declared}";
inline constexpr const char* kFramesNotSaved = "{count} frame(s) announced by \"{clip}\" are damaged or cut off and were not saved";
inline constexpr const char* kClipLine = "{file}  {frames} frames";
inline constexpr const char* kClipNotWritten = "{file}  {frames} frames  (not written)";
inline constexpr const char* kClipIncomplete = "{file}  {frames} frames  (incomplete)";
inline constexpr const char* kStoppedEventDropped = "the run was stopped while an event was still collecting its frames; it was dropped";
inline constexpr const char* kEndedEventDropped = "the input ended while an event was still collecting its frames; it was dropped";
inline constexpr const char* kFramesNotExamined = "{count} frame(s) announced by \"{file}\" are damaged or cut off and were not examined; a meteor may have been in them";
inline constexpr const char* kShutdownLevel = "the sky reached the automatic shutdown level at frame {frame}";
inline constexpr const char* kEventMayBeLost = "{count} frame(s) could not be handled as part of an event; an event may have been lost";
inline constexpr const char* kFramesExamined = "{frames} frames examined, {events} events";
inline constexpr const char* kFramesExaminedStopped = "{frames} frames examined, {events} events (stopped by a signal)";
inline constexpr const char* kCoefficientsWritten = "coefficients written to {file}";
inline constexpr const char* kFindingsCount = "{errors} error(s), {warnings} warning(s)";
inline constexpr const char* kStationEnd = "{nights} night(s), {mornings} morning(s), {failed} event(s) failed";
inline constexpr const char* kSkyBright = "the sky is bright: session stopped, powering off";
inline constexpr const char* kRecording = "recording {file}";
inline constexpr const char* kClipWritten = "clip {file}  {frames} frames";
inline constexpr const char* kEventsCount = "{count} events";
inline constexpr const char* kRecordingUnfinished = "the recording {file} did not finish in time; its index may be missing";
inline constexpr const char* kIndicators = "level {level}  noise {noise}+{raise}  noise pixels {pixels}";
inline constexpr const char* kIndicatorsEvent = "level {level}  noise {noise}+{raise}  noise pixels {pixels}  event";
inline constexpr const char* kNoVideoDevices = "no video devices";
inline constexpr const char* kNone = "none";
inline constexpr const char* kTwoEvents = "two events or more are needed";
inline constexpr const char* kTwoNights = "two nights or more are needed";
inline constexpr const char* kTrajectoryWritten = "written: {file}";
inline constexpr const char* kNightMeteors = "{count} meteor(s) seen by several stations, {solved} solved; table: {file}";
}  // namespace cli

// Every sentence of the "Cli" context the command line says (the catalogue
// test checks each has its words in every language).
std::span<const char* const> cliSentences();

class CliWords {
public:
    explicit CliWords(Language language = Language::English);

    Language language() const { return catalogue_.language(); }
    // A diagnostic's sentence.
    std::string text(const TDiagnostic& diagnostic) const;
    std::string caption(const TDiagnostic& diagnostic) const { return catalogue_.caption(diagnostic); }
    // One of the sentences above with its places filled.
    std::string say(const char* sentence,
                    std::initializer_list<std::pair<std::string_view, std::string>> values = {}) const;
    // What went wrong, in words: an exception's diagnostic, an argument
    // error's sentence, or what() of any other exception.
    std::string failure(const std::exception& e) const;

private:
    TCatalogue catalogue_;
};

}  // namespace orbis
