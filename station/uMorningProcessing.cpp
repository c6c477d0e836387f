#include "station/uMorningProcessing.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <set>
#include <thread>

#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "capture/uAviRepair.h"
#include "config/uConfiguration.h"
#include "measurement/uTrackProposal.h"
#include "processing/uNaming.h"
#include "reports/uNightExports.h"
#include "station/uClipIntake.h"
#include "station/uEventProcessing.h"

namespace orbis {

namespace {

// Keeps an event's warnings and errors for the log; nobody is there to
// answer a question.
class TCollectingNotifier final : public UserNotifier {
public:
    std::vector<std::string> problems;
    std::vector<std::string> notes;

    void message(const std::string& caption, const std::string& text, MessageIcon icon) override {
        if (icon != MessageIcon::Information) problems.push_back(caption + ": " + text);
    }
    bool ask(const std::string&, const std::string&) override { return false; }
    void status(const std::string&) override {}
    void note(const std::string& text) override { notes.push_back(text); }
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
                e.error = "another run is working on the event";
            } else {
                e.outcome = r.reportWritten ? MorningOutcome::Report : MorningOutcome::NoReport;
            }
        }
    } catch (const std::exception& ex) {
        e.outcome = MorningOutcome::Failed;
        e.error = ex.what();
    }
    e.problems = std::move(notifier.problems);
    if (!notifier.notes.empty()) e.binding = notifier.notes.back();
    return e;
}

}  // namespace

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
                                   const std::function<bool()>& stopRequested) {
    requireProcessingSettings(config);
    const std::vector<std::string> clips = clipsAwaitingProcessing(nightDirectory);
    TMorningResult result;
    result.events.resize(clips.size());
    std::vector<char> done(clips.size(), 0);

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    if (threads == 0) threads = cores;
    const std::size_t workers = std::min<std::size_t>(threads, clips.size());
    // The cores are shared out: events at once times scan threads each.
    const TScanOptions scan{static_cast<int>(std::max<std::size_t>(1, cores / std::max<std::size_t>(workers, 1)))};

    // Each event is one job; its result goes to its own slot, so the order
    // of the results is the clips' whatever thread finished first.
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    const auto work = [&] {
        for (;;) {
            if (stopRequested && stopRequested()) {
                stopped = true;
                return;
            }
            const std::size_t i = next++;
            if (i >= clips.size()) return;
            result.events[i] = morningOfClip(nightDirectory, clips[i], config, programDirectory, scan);
            done[i] = 1;
        }
    };
    if (workers <= 1) {
        work();
    } else {
        std::vector<std::jthread> pool;
        for (std::size_t t = 0; t < workers; ++t) pool.emplace_back(work);
    }
    if (stopped) {
        std::vector<TMorningEvent> finished;
        for (std::size_t i = 0; i < clips.size(); ++i)
            if (done[i]) finished.push_back(std::move(result.events[i]));
        result.events = std::move(finished);
        return result;
    }

    TCollectingNotifier exports;
    try {
        result.summaryFile = writeDailySummary(nightDirectory, programDirectory, config, exports);
        result.r90File = writeR90Export(nightDirectory, programDirectory, config, exports);
    } catch (const std::exception& e) {
        exports.problems.push_back(e.what());
    }
    result.exportProblems = std::move(exports.problems);

    // The marker lists every clip done so far, this morning's and earlier
    // ones, and replaces the old list whole.
    const std::set<std::string> earlier = markedClips(nightDirectory);
    std::set<std::string> all(earlier.begin(), earlier.end());
    all.insert(clips.begin(), clips.end());
    try {
        writeTextLines(std::filesystem::path(nightDirectory) / kNightDoneName,
                       std::vector<std::string>(all.begin(), all.end()));
        result.finished = true;
    } catch (const std::exception& e) {
        // The night stays waiting; its events are not done twice, their
        // stages find their outputs.
        result.exportProblems.push_back(e.what());
    }
    return result;
}

std::string morningEventLine(const TMorningEvent& event) {
    const std::string name = eventNameOfClip(event.clip) + (event.mended ? " (its clip was not closed: mended)" : "");
    switch (event.outcome) {
        case MorningOutcome::Report:
            return "event " + name + ": report written" + (event.binding.empty() ? "" : " (" + event.binding + ")");
        case MorningOutcome::NoReport:
            // The first problem is the cause; the later ones follow from it.
            return "event " + name + ": processed, no report" +
                   (event.problems.empty() ? std::string() : " (" + event.problems.front() + ")") +
                   (event.binding.empty() ? "" : " (" + event.binding + ")");
        case MorningOutcome::NoTrack:
            return "event " + name + ": no track found; kept for marking, not processed";
        case MorningOutcome::Failed:
            break;
    }
    return "event " + name + ": failed, its files are kept: " + event.error;
}

}  // namespace orbis
