#include "station/uClipIntake.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <filesystem>
#include <limits>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/uAviFile.h"
#include "processing/uFrameExtraction.h"
#include "processing/uNaming.h"

namespace orbis {

namespace fs = std::filesystem;

namespace {

// Saves frames through the extractor and remembers every file it created,
// so a failed run can take them back.
class TrackedExtractor {
public:
    TrackedExtractor(const std::string& target, int start, UserNotifier& notifier, std::vector<std::string>& created)
        : extractor_(target, start, notifier), created_(created) {}

    void save(std::span<const uint8_t> frame, const TFrameFormat& format) {
        const std::string file = frameFileName(extractor_.targetDirectory(), extractor_.nextNumber());
        std::error_code ec;
        if (!fs::exists(file, ec)) created_.push_back(file);
        extractor_.GrabVideo(frame, format);
    }
    int framesSaved() const { return extractor_.framesSaved(); }

private:
    TFrameExtractor extractor_;
    std::vector<std::string>& created_;
};

// A clip neither the AVI reader nor GStreamer can take: GStreamer's own text
// as "detail", and the reader's reason as "avi" (its code).
TDiagnostic undecodable(const std::string& clip, const TDiagnostic& aviError, const TCaptureGraph& graph) {
    return TDiagnostic(Code::ClipUndecodable)
        .with("file", clip)
        .with("avi", std::string(codeName(aviError.code())))
        .with("detail", graph.error() ? graph.error()->value("detail") : std::string());
}

// A clip the AVI reader cannot take, decoded by GStreamer to grey frames,
// bottom row first, without waiting for the clip's pace. Returns the frames
// decoded.
int extractDecoded(const std::string& clip, const TDiagnostic& aviError, TrackedExtractor& extractor,
                   UserNotifier& notifier) {
    const TCaptureSource source = TCaptureSource::greyFile(clip);
    std::atomic<int> decoded{0};
    std::exception_ptr failure;
    std::atomic<bool> failed{false};
    TCaptureGraph graph;
    graph.setFrameCallback([&](std::span<const uint8_t> bytes, const TCaptureFormat& format) {
        if (failed.load()) return;
        try {
            extractor.save(bytes, {format.width, format.height, 8});
            ++decoded;
        } catch (...) {
            // Nothing may unwind into the streaming thread.
            failure = std::current_exception();
            failed = true;
        }
    });
    graph.build(CaptureMode::Detect, source);
    if (!graph.run()) throw EInvalidVideo(undecodable(clip, aviError, graph));
    GraphEnd end = GraphEnd::None;
    bool cancelled = false;
    while (end == GraphEnd::None && !failed.load() && !cancelled) {
        end = graph.waitForEnd(std::chrono::milliseconds(50));
        notifier.progressPosition(decoded.load());
        cancelled = notifier.cancelRequested();
    }
    graph.stop();
    if (failure) std::rethrow_exception(failure);
    if (cancelled) throw Exception(TDiagnostic(Code::IntakeCancelled, Severity::Notice));
    if (end == GraphEnd::Error) throw EInvalidVideo(undecodable(clip, aviError, graph));
    return decoded.load();
}

}  // namespace

TClipIntake takeClipIntoWork(const std::string& clip, const std::string& startNumberText,
                             const std::optional<std::string>& chosenFolder, UserNotifier& notifier) {
    const int start = parseInt(startNumberText);
    if (start < 1) throw EConvertError(TDiagnostic(Code::IntakeStartNumberInvalid).with("text", startNumberText));
    // What this run creates, removed again when it fails: no half-written
    // frame directory is left behind.
    std::string createdDirectory;
    std::vector<std::string> createdFrames;
    try {
        // A pipe or device would block the reader, so only a file is taken.
        std::error_code ec;
        if (!fs::is_regular_file(clip, ec)) throw EInOutError(TDiagnostic(Code::ClipNotAFile).with("file", clip));
        std::optional<TAviReader> reader;
        TAviInfo info;
        std::optional<TDiagnostic> aviError;
        try {
            reader.emplace(clip);
            info = reader->info();
        } catch (const EInvalidVideo& e) {
            // Compressed, or no AVI at all: the headers tell which.
            aviError = e.diagnostic();
            try {
                info = readAviHeaders(clip);
            } catch (const std::exception&) {
                throw e;
            }
            info.frameCount = info.declaredFrames;
        }
        if (info.frameCount < 1) throw EInvalidVideo(TDiagnostic(Code::ClipHoldsNoFrames).with("file", clip));
        if (start > std::numeric_limits<int>::max() - info.frameCount)
            throw EConvertError(TDiagnostic(Code::IntakeStartNumberInvalid).with("text", startNumberText));
        const fs::path clipPath(clip);
        if (eventNameOfClip(clipPath.filename().string()).empty())
            throw EInvalidVideo(TDiagnostic(Code::ClipNameWithoutEvent).with("file", clip));
        const std::string clipsDirectory = clipPath.has_parent_path() ? clipPath.parent_path().string() : ".";
        TClipIntake intake;
        intake.targetDirectory = extractionTarget(clipsDirectory, clipPath.filename().string(), startNumberText, chosenFolder);
        intake.firstNumber = start;
        intake.declaredFrames = reader ? std::max(info.declaredFrames, info.frameCount) : info.declaredFrames;
        if (!fs::exists(intake.targetDirectory, ec)) createdDirectory = intake.targetDirectory;
        TrackedExtractor extractor(intake.targetDirectory, start, notifier, createdFrames);
        StageStep stage(notifier, Code::StageExtractingFrames);
        notifier.progressShow(info.frameCount);
        if (reader) {
            for (int i = 0; i < info.frameCount; ++i) {
                if (notifier.cancelRequested()) throw Exception(TDiagnostic(Code::IntakeCancelled, Severity::Notice));
                extractor.save(reader->readFrame(i), {info.width, info.height, info.bitsPerPixel});
                notifier.progressPosition(i + 1);
            }
            intake.missingFrames = info.missingFrames();
        } else {
            intake.decoded = true;
            extractDecoded(clip, *aviError, extractor, notifier);
        }
        notifier.progressHide();
        intake.framesSaved = extractor.framesSaved();
        if (intake.decoded) intake.missingFrames = std::max(0, intake.declaredFrames - intake.framesSaved);
        return intake;
    } catch (...) {
        notifier.progressHide();
        std::error_code ignored;
        if (!createdDirectory.empty()) fs::remove_all(createdDirectory, ignored);
        for (const std::string& frame : createdFrames) fs::remove(frame, ignored);
        throw;
    }
}

}  // namespace orbis
