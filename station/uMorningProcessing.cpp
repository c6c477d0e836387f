#include "station/uMorningProcessing.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <map>
#include <set>

#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "capture/uAviRepair.h"
#include "config/uConfiguration.h"
#include "measurement/uTrackProposal.h"
#include "processing/uNaming.h"
#include "reports/uNightExports.h"
#include "reports/uFtpDetectInfo.h"
#include "station/uClipIntake.h"
#include "station/uEventProcessing.h"
#include "station/uEventScheduler.h"
#include "station/uStationDiagnostics.h"

namespace orbis {

namespace {

// Keeps an event's warnings and errors for the log; nobody is there to
// answer a question.
class TCollectingNotifier final : public UserNotifier {
public:
    std::vector<TDiagnostic> problems;
    std::vector<TDiagnostic> notes;

    void report(const TDiagnostic& diagnostic) override {
        if (diagnostic.severity() != Severity::Notice) problems.push_back(diagnostic);
    }
    bool question(const TDiagnostic&) override { return false; }
    void stage(const TDiagnostic&) override {}
    void stageEnd() override {}
    void record(const TDiagnostic& diagnostic) override { notes.push_back(diagnostic); }
    // A library not yet telling diagnostics: its text as it was raised.
    void message(const std::string&, const std::string& text, MessageIcon icon) override {
        if (icon != MessageIcon::Information) problems.push_back(TDiagnostic(Code::Unworded).with("text", text));
    }
    bool ask(const std::string&, const std::string&) override { return false; }
    void status(const std::string&) override {}
    void note(const std::string& text) override { notes.push_back(TDiagnostic(Code::Unworded).with("text", text)); }
    void progressShow(int) override {}
    void progressPosition(int) override {}
    void progressHide() override {}
};

std::set<std::string> markedClips(const std::string& nightDirectory) {
    const std::filesystem::path marker = std::filesystem::path(nightDirectory) / kNightDoneName;
    std::error_code ec;
    if (!std::filesystem::exists(marker, ec)) return {};
    const std::vector<std::string> lines = readTextLines(marker);
    return {lines.begin(), lines.end()};
}

// The clip was taken into work before: its event directory holds the
// event's report, or a frame file for every frame of the clip. A directory
// short of frames is an intake a power cut or a kill cut short; taking the
// clip again writes the same frames.
bool takenIntoWork(const std::string& nightDirectory, const std::string& clip, const std::string& eventDirectory) {
    std::error_code ec;
    if (!std::filesystem::is_directory(eventDirectory, ec)) return false;
    if (std::filesystem::exists(workFileStem(nightDirectory, eventDirectory) + ".txt", ec)) return true;
    int frames = 0;
    for (const std::string& name : listDirectory(eventDirectory, "F*.bmp", ListKind::Files))
        if (isFrameFileName(name)) ++frames;
    try {
        return frames >= TAviReader(joinPath(nightDirectory, clip)).info().frameCount;
    } catch (const std::exception&) {
        // A clip that cannot be read cannot be taken again either: the
        // frames there are all there is.
        return true;
    }
}

TMorningEvent morningOfClip(const std::string& nightDirectory, const std::string& clip, const TConfiguration& config,
                            const std::string& programDirectory, TScanOptions scan) {
    TMorningEvent e;
    e.clip = clip;
    e.eventDirectory = eventDirectoryForClip(nightDirectory, clip);
    TCollectingNotifier notifier;
    try {
        // Done by a morning a stop or a power cut interrupted: not again.
        std::error_code ec;
        if (std::filesystem::exists(workFileStem(nightDirectory, e.eventDirectory) + ".txt", ec)) {
            e.outcome = MorningOutcome::Report;
            return e;
        }
        if (!takenIntoWork(nightDirectory, clip, e.eventDirectory)) {
            // A power cut or a kill during the night leaves a clip without
            // its index and counts; a whole clip is left untouched.
            e.mended = repairAviFile(joinPath(nightDirectory, clip)).changed;
            takeClipIntoWork(joinPath(nightDirectory, clip), "1", std::nullopt, notifier);
        }
        if (writeProposedTrack(e.eventDirectory, config, /*force=*/false) == TrackProposalOutcome::NoMeteor) {
            e.outcome = MorningOutcome::NoTrack;
        } else {
            const TProcessResult r = processEvent(e.eventDirectory, config, programDirectory, notifier, scan);
            if (r.busy) {
                e.error = TDiagnostic(Code::EventBusy, Severity::Warning).with("event", e.eventDirectory);
            } else {
                e.outcome = r.reportWritten ? MorningOutcome::Report : MorningOutcome::NoReport;
            }
        }
    } catch (const std::exception& ex) {
        e.outcome = MorningOutcome::Failed;
        e.error = diagnosticOf(ex);
    }
    e.problems = std::move(notifier.problems);
    if (!notifier.notes.empty()) e.binding = notifier.notes.back();
    return e;
}

// A reason on one line of the failure list.
std::string oneLine(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

void writeFailedClips(const std::string& nightDirectory, const std::vector<TFailedClip>& failed) {
    const std::filesystem::path path = std::filesystem::path(nightDirectory) / kNightFailedName;
    if (failed.empty()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return;
    }
    std::vector<std::string> lines;
    for (const TFailedClip& f : failed)
        lines.push_back(f.clip + "\t" + std::to_string(f.mornings) + "\t" + oneLine(f.reason));
    writeTextLines(path, lines);
}

}  // namespace

std::string morningFailureReason(const TMorningEvent& e, const TWording& word) {
    if (e.error) return word(*e.error);
    return e.problems.empty() ? std::string("no report") : word(e.problems.front());
}

bool morningEventDone(const TMorningEvent& event) {
    switch (event.outcome) {
        case MorningOutcome::Report:
        case MorningOutcome::NoTrack: return true;
        // Reports switched off end here without a word; a missing catalog,
        // a full disk or a failed binding say why.
        case MorningOutcome::NoReport: return event.problems.empty();
        case MorningOutcome::Failed: return false;
    }
    return false;
}

std::vector<TFailedClip> failedClips(const std::string& nightDirectory) {
    const std::filesystem::path path = std::filesystem::path(nightDirectory) / kNightFailedName;
    std::vector<TFailedClip> failed;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return failed;
    try {
        for (const std::string& line : readTextLines(path)) {
            const std::size_t a = line.find('\t');
            const std::size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
            if (b == std::string::npos) continue;
            TFailedClip f{line.substr(0, a), 0, line.substr(b + 1)};
            try {
                f.mornings = std::clamp(parseInt(line.substr(a + 1, b - a - 1)), 0, kMorningAttempts);
            } catch (const std::exception&) {
                continue;  // a damaged line costs at most a few more tries
            }
            if (!f.clip.empty()) failed.push_back(std::move(f));
        }
    } catch (const std::exception&) {
        return {};
    }
    return failed;
}

bool isNightDirectoryName(const std::string& name) {
    return name.size() == 8 && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> clipsAwaitingProcessing(const std::string& nightDirectory) {
    const std::set<std::string> done = markedClips(nightDirectory);
    std::vector<std::string> clips;
    for (const std::string& name : listDirectory(nightDirectory, "*.avi", ListKind::Files))
        if (!done.contains(name)) clips.push_back(name);
    std::sort(clips.begin(), clips.end());
    return clips;
}

bool clipProcessed(const std::string& nightDirectory, const std::string& clipName) {
    return markedClips(nightDirectory).contains(clipName);
}

std::vector<std::string> nightsAwaitingProcessing(const std::string& programDirectory) {
    std::vector<std::string> nights;
    for (const std::string& name : listDirectory(programDirectory, "*", ListKind::Directories)) {
        if (!isNightDirectoryName(name)) continue;
        const std::string night = joinPath(programDirectory, name);
        if (!clipsAwaitingProcessing(night).empty()) nights.push_back(night);
    }
    std::sort(nights.begin(), nights.end());
    return nights;
}

TMorningResult processNightMorning(const std::string& nightDirectory, const TConfiguration& config,
                                   const std::string& programDirectory, unsigned threads,
                                   const std::function<bool()>& stopRequested,
                                   const std::function<void(const TMorningEvent&)>& onEvent) {
    requireProcessingSettings(config);
    const std::vector<std::string> clips = clipsAwaitingProcessing(nightDirectory);
    std::map<std::string, TFailedClip> failed;
    for (TFailedClip& f : failedClips(nightDirectory)) failed[f.clip] = std::move(f);
    TMorningResult result;
    result.events.resize(clips.size());

    // Each event is one job; its result goes to its own slot and is told in
    // the clips' order whatever thread finished first.
    const TEventSchedule schedule{threads, stopRequested};
    const std::size_t ran = scheduleEvents(
        clips.size(), schedule,
        [&](std::size_t i, TScanOptions scan) {
            result.events[i] = morningOfClip(nightDirectory, clips[i], config, programDirectory, scan);
        },
        [&](std::size_t i, std::exception_ptr error) {
            TMorningEvent& e = result.events[i];
            if (error) {
                e.clip = clips[i];
                e.eventDirectory = eventDirectoryForClip(nightDirectory, clips[i]);
                e.outcome = MorningOutcome::Failed;
                e.error = diagnosticOf(error);
            }
            if (!morningEventDone(e)) {
                const auto earlier = failed.find(clips[i]);
                e.attempt = (earlier == failed.end() ? 0 : earlier->second.mornings) + 1;
                e.givenUp = e.attempt >= kMorningAttempts;
            }
            if (onEvent) onEvent(e);
        });
    // A stop that came after the last event was handed out stops the
    // exports as well.
    if (ran < clips.size() || (stopRequested && stopRequested())) {
        result.events.resize(ran);
        return result;
    }

    TCollectingNotifier exports;
    try {
        result.summaryFile = writeDailySummary(nightDirectory, programDirectory, config, exports);
        result.r90File = writeR90Export(nightDirectory, programDirectory, config, exports);
        // The night's meteors frame by frame for the networks.
        writeFtpDetectInfo(nightDirectory, config, exports);
    } catch (const std::exception& e) {
        exports.problems.push_back(diagnosticOf(e));
    }
    result.exportProblems = std::move(exports.problems);

    // The failure list first: a clip is let go only once its mornings are
    // counted. Clips given up earlier keep their line.
    for (const TMorningEvent& e : result.events) {
        if (morningEventDone(e))
            failed.erase(e.clip);
        else
            failed[e.clip] = TFailedClip{e.clip, e.attempt, morningFailureReason(e)};
    }
    std::vector<TFailedClip> failedList;
    for (auto& [clip, f] : failed) failedList.push_back(std::move(f));
    try {
        writeFailedClips(nightDirectory, failedList);
    } catch (const std::exception& e) {
        result.exportProblems.push_back(diagnosticOf(e));
    }

    // The marker lists every clip done so far, this morning's and earlier
    // ones, and replaces the old list whole.
    const std::set<std::string> earlier = markedClips(nightDirectory);
    std::set<std::string> all(earlier.begin(), earlier.end());
    for (const TMorningEvent& e : result.events)
        if (morningEventDone(e) || e.givenUp) all.insert(e.clip);
    try {
        writeTextLines(std::filesystem::path(nightDirectory) / kNightDoneName,
                       std::vector<std::string>(all.begin(), all.end()));
        result.finished = true;
        result.nightDone = clipsAwaitingProcessing(nightDirectory).empty();
    } catch (const std::exception& e) {
        // The night stays waiting; its events are not done twice, their
        // stages find their outputs.
        result.exportProblems.push_back(diagnosticOf(e));
    }
    return result;
}

namespace {

std::string retryText(const TMorningEvent& event) {
    if (morningEventDone(event) || event.attempt == 0) return {};
    if (event.givenUp)
        return "; failed on " + std::to_string(event.attempt) +
               " mornings: not tried again, its clip and files are kept for the observer";
    return "; its clip is kept and tried again next morning (" + std::to_string(event.attempt) + " of " +
           std::to_string(kMorningAttempts) + ")";
}

std::string morningEventText(const TMorningEvent& event, const TWording& word) {
    const std::string binding = event.binding ? " (" + word(*event.binding) + ")" : std::string();
    const std::string name = eventNameOfClip(event.clip) + (event.mended ? " (its clip was not closed: mended)" : "");
    switch (event.outcome) {
        case MorningOutcome::Report:
            return "event " + name + ": report written" + binding;
        case MorningOutcome::NoReport:
            // The first problem is the cause; the later ones follow from it.
            return "event " + name + ": processed, no report" +
                   (event.problems.empty() ? std::string() : " (" + word(event.problems.front()) + ")") + binding;
        case MorningOutcome::NoTrack:
            return "event " + name + ": no track found; kept for marking, not processed";
        case MorningOutcome::Failed:
            break;
    }
    return "event " + name + ": failed, its files are kept: " + (event.error ? word(*event.error) : std::string());
}

}  // namespace

std::string morningEventLine(const TMorningEvent& event, const TWording& word) {
    return morningEventText(event, word) + retryText(event);
}

}  // namespace orbis
