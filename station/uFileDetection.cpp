#include "station/uFileDetection.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <cmath>
#include <filesystem>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/uAviFile.h"
#include "capture/uDetector.h"
#include "config/uConfiguration.h"
#include "processing/uNaming.h"

namespace orbis {

namespace {

// The frame clock of a file: frame i happens i frame periods after the
// start. The tick counter counts the same milliseconds from the Unix epoch
// of the start, like an uptime that is not near zero.
class FrameClock final : public DetectorClock {
public:
    FrameClock(TDateTime start, double framePeriod) : start_(start), period_(framePeriod) {}
    void setFrame(int index) { frame_ = index; }
    uint32_t tickCount() override {
        const double ms = start_ * 86400000.0 + frame_ * period_ * 1000.0;
        return static_cast<uint32_t>(static_cast<uint64_t>(std::llround(ms)));
    }
    TDateTime localNow() override { return start_ + frame_ * period_ / 86400.0; }

private:
    TDateTime start_;
    double period_;
    int frame_ = 0;
};

class NoIndicators final : public IndicatorSink {
public:
    void publish(const TDetectorIndicators&) noexcept override {}
};

const char* formatNameForDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 8: return "GREY";
        case 24: return "RGB24";
        case 32: return "RGB32";
        default: return "UnKnow";
    }
}

// The end of a run over a file: what the last event still collected is
// dropped, and the clips of the others are waited for.
void finishRun(TDetector& detector, TClipWriterPool& pool, TDetectionRun& run) {
    run.droppedAtEnd = !detector.waiting();
    run.failedFrames = detector.failedFrames();
    detector.stopSession();
    pool.waitAll();
    run.clips = pool.finishedClips();
}

// Any other video GStreamer can decode: decoded to grey frames and fed to
// the detector as they come. Without a start, frame 0 is the modification
// time less the video's length, when GStreamer knows the length.
TDetectionRun runDetectionDecoded(const std::string& input, const std::string& station, std::optional<TDateTime> start,
                                  TDateTime modified, const TConfiguration& config, UserNotifier& notifier,
                                  const TDiagnostic& aviError, const std::function<bool()>& stop) {
    const TCaptureSource source = TCaptureSource::greyFile(input);
    TDetectionRun run;
    {
        TCaptureGraph probe;
        probe.build(CaptureMode::Detect, source);
        if (!probe.pause() || !probe.format()) {
            throw EInvalidVideo(TDiagnostic(Code::ClipUndecodable)
                                    .with("file", input)
                                    .with("avi", std::string(codeName(aviError.code())))
                                    .with("detail", probe.error() ? probe.error()->value("detail") : std::string()));
        }
        const TCaptureFormat format = *probe.format();
        if (!start) start = modified - probe.duration().value_or(0.0) / 86400.0;
        probe.stop();

        FrameClock clock(*start, 1.0 / format.frameRate());
        NoIndicators indicators;
        TClipWriterPool pool(notifier);
        pool.protect(input);
        int frameIndex = 0;
        TDetector detector({clock, indicators, pool, [&] {
                                if (run.shutdownFrame < 0) run.shutdownFrame = frameIndex;
                            }});
        detector.startSession(geometryFor(format), TDetectorSettings::fromConfiguration(config), {}, station);
        TCaptureGraph graph;
        std::atomic<bool> stopped{false};
        graph.setFrameCallback([&](std::span<const uint8_t> bytes, const TCaptureFormat&) {
            if (stopped.load()) return;
            if ((stop && stop()) || notifier.cancelRequested()) {
                stopped = true;
                return;
            }
            clock.setFrame(frameIndex);
            detector.GrabRecord(bytes);
            ++frameIndex;
        });
        graph.build(CaptureMode::Detect, source);
        StageStep stage(notifier, Code::StageDetectingDecoded);
        graph.run();
        GraphEnd end = GraphEnd::None;
        while (end == GraphEnd::None && !stopped.load()) {
            if ((stop && stop()) || notifier.cancelRequested()) stopped = true;  // also while no frame comes
            else end = graph.waitForEnd(std::chrono::milliseconds(200));
        }
        graph.stop();
        run.interrupted = stopped.load();
        if (end == GraphEnd::Error)
            throw EInvalidVideo(graph.error().value_or(TDiagnostic(Code::GraphStreamFailed)).with("file", input));
        finishRun(detector, pool, run);
        run.frames = frameIndex;
    }
    return run;
}

}  // namespace

TDetectionRun runDetection(const std::string& input, const std::string& station, std::optional<TDateTime> start,
                           const TConfiguration& config, UserNotifier& notifier, const std::function<bool()>& stop) {
    if (!start) start = clipStartTime(input);
    struct stat st {};
    if (::stat(input.c_str(), &st) != 0)
        throw EInOutError(TDiagnostic(Code::ClipReadFailed).with("file", input).with("detail", std::strerror(errno)));
    // A pipe or device would block the reader: only a file is examined.
    if (!S_ISREG(st.st_mode)) throw EInOutError(TDiagnostic(Code::ClipNotAFile).with("file", input));
    // A recording is last modified when it ends.
    const TDateTime modified = localFromUnixTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    std::optional<TAviReader> uncompressed;
    try {
        uncompressed.emplace(input);
    } catch (const EInvalidVideo& e) {
        return runDetectionDecoded(input, station, start, modified, config, notifier, e.diagnostic(), stop);
    }
    TAviReader& reader = *uncompressed;
    const TAviInfo& info = reader.info();
    if (!start) start = modified - info.frameCount * info.framePeriod() / 86400.0;

    const TCaptureGeometry geometry = geometryForFormat(info.bitsPerPixel, formatNameForDepth(info.bitsPerPixel),
                                                        info.width, info.height, info.framesPerSecond());
    FrameClock clock(*start, info.framePeriod());
    NoIndicators indicators;
    TDetectionRun run;
    int frameIndex = 0;
    {
        TClipWriterPool pool(notifier);
        pool.protect(input);
        TDetector detector({clock, indicators, pool, [&] {
                                if (run.shutdownFrame < 0) run.shutdownFrame = frameIndex;
                            }});
        detector.startSession(geometry, TDetectorSettings::fromConfiguration(config), {}, station);

        StageStep stage(notifier, Code::StageDetectingFrames);
        notifier.progressShow(info.frameCount);
        for (frameIndex = 0; frameIndex < info.frameCount; ++frameIndex) {
            if ((stop && stop()) || notifier.cancelRequested()) {
                run.interrupted = true;
                break;
            }
            clock.setFrame(frameIndex);
            detector.GrabRecord(reader.readFrame(frameIndex));
            notifier.progressPosition(frameIndex + 1);
        }
        notifier.progressHide();
        finishRun(detector, pool, run);
    }
    run.frames = frameIndex;
    run.missingFrames = info.missingFrames();
    return run;
}

}  // namespace orbis
