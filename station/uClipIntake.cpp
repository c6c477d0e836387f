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

// A clip the AVI reader cannot take, decoded by GStreamer to grey frames,
// bottom row first, without waiting for the clip's pace. Returns the frames
// decoded.
int extractDecoded(const std::string& clip, const std::string& aviError, TrackedExtractor& extractor,
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
    if (!graph.run()) throw EInvalidVideo(aviError + "; nor can it be decoded as video: " + graph.errorText());
    GraphEnd end = GraphEnd::None;
    bool cancelled = false;
    while (end == GraphEnd::None && !failed.load() && !cancelled) {
        end = graph.waitForEnd(std::chrono::milliseconds(50));
        notifier.progressPosition(decoded.load());
        cancelled = notifier.cancelRequested();
    }
    graph.stop();
    if (failure) std::rethrow_exception(failure);
    if (cancelled) throw Exception(kIntakeCancelledMessage);
    if (end == GraphEnd::Error) throw EInvalidVideo(aviError + "; nor can it be decoded as video: " + graph.errorText());
    return decoded.load();
}

}  // namespace

TClipIntake takeClipIntoWork(const std::string& clip, const std::string& startNumberText,
                             const std::optional<std::string>& chosenFolder, UserNotifier& notifier) {
    const int start = parseInt(startNumberText);
    if (start < 1) throw EConvertError("the start number must be 1 or more: " + startNumberText);
    // What this run creates, removed again when it fails: no half-written
    // frame directory is left behind.
    std::string createdDirectory;
    std::vector<std::string> createdFrames;
    try {
        // A pipe or device would block the reader, so only a file is taken.
        std::error_code ec;
        if (!fs::is_regular_file(clip, ec)) throw EInOutError("\"" + clip + "\" is not a file");
        std::optional<TAviReader> reader;
        TAviInfo info;
        std::string aviError;
        try {
            reader.emplace(clip);
            info = reader->info();
        } catch (const EInvalidVideo& e) {
            // Compressed, or no AVI at all: the headers tell which.
            aviError = e.what();
            try {
                info = readAviHeaders(clip);
            } catch (const std::exception&) {
                throw e;
            }
            info.frameCount = info.declaredFrames;
        }
        if (info.frameCount < 1) throw EInvalidVideo("\"" + clip + "\" holds no frames");
        if (start > std::numeric_limits<int>::max() - info.frameCount) throw EConvertError("the start number is too large");
        const fs::path clipPath(clip);
        if (eventNameOfClip(clipPath.filename().string()).empty())
            throw EInvalidVideo("\"" + clip + "\": the clip's name gives no event name");
        const std::string clipsDirectory = clipPath.has_parent_path() ? clipPath.parent_path().string() : ".";
        TClipIntake intake;
        intake.targetDirectory = extractionTarget(clipsDirectory, clipPath.filename().string(), startNumberText, chosenFolder);
        intake.firstNumber = start;
        intake.declaredFrames = reader ? std::max(info.declaredFrames, info.frameCount) : info.declaredFrames;
        if (!fs::exists(intake.targetDirectory, ec)) createdDirectory = intake.targetDirectory;
        TrackedExtractor extractor(intake.targetDirectory, start, notifier, createdFrames);
        notifier.status("extract: frame");
        notifier.progressShow(info.frameCount);
        if (reader) {
            for (int i = 0; i < info.frameCount; ++i) {
                if (notifier.cancelRequested()) throw Exception(kIntakeCancelledMessage);
                extractor.save(reader->readFrame(i), {info.width, info.height, info.bitsPerPixel});
                notifier.progressPosition(i + 1);
            }
            intake.missingFrames = info.missingFrames();
        } else {
            intake.decoded = true;
            extractDecoded(clip, aviError, extractor, notifier);
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
