#include "app/cli/uCliDetect.h"

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <vector>

#include "app/cli/uCliArgs.h"
#include "app/cli/uCliNotifier.h"
#include "app/cli/uCliSignals.h"
#include "app/cli/uCliStationDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/uAviFile.h"
#include "capture/uDetector.h"
#include "capture/uMemoryAVI.h"
#include "config/uConfiguration.h"

namespace orbis {

namespace {

constexpr const char* kUsage =
    "usage: orbisight-cli detect --input CLIP.avi [--station DIR] [--start \"YYYY-MM-DD hh:nn:ss.zzz\"]\n"
    "\n"
    "Runs the meteor detector over every frame of an uncompressed 8-, 24- or 32-bit AVI\n"
    "file with the settings of the station's Orbisight.ini and writes one event clip per\n"
    "detected meteor into the station's night directories.\n"
    "\n"
    "  --input FILE   the video to examine\n"
    "  --station DIR  the station directory (default: the program's directory)\n"
    "  --start TIME   local time of the first frame; by default taken from a name like\n"
    "                 yyyymmdd/hhnnss_zzz.avi, else the file's modification time less the\n"
    "                 video's length\n"
    "\n"
    "Frames the file announces but that are damaged or cut off are skipped and counted.\n"
    "Ctrl+C, SIGTERM or SIGHUP stops at the next frame: the clips of the events declared\n"
    "so far are finished and listed.\n"
    "\n"
    "Exit status: 0 done, 1 a clip could not be written, an event may have been lost or\n"
    "frames of the input are missing, 2 bad arguments or unreadable input, 128 + the\n"
    "signal's number when a signal stopped it (130 Ctrl+C, 143 SIGTERM).\n";

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

}  // namespace

TDateTime parseStartTime(std::string_view text) {
    // yyyy-mm-dd hh:nn:ss[.zzz]
    const bool shapeOk = (text.size() == 19 || text.size() == 23) && text[4] == '-' && text[7] == '-' &&
                         (text[10] == ' ' || text[10] == 'T') && text[13] == ':' && text[16] == ':' &&
                         (text.size() == 19 || text[19] == '.');
    auto num = [&](std::size_t from, std::size_t len) {
        const std::string_view g = text.substr(from, len);
        if (!allDigits(g)) throw EConvertError("'" + std::string(text) + "' is not a date and time YYYY-MM-DD hh:nn:ss.zzz");
        return parseInt(g);
    };
    if (!shapeOk) throw EConvertError("'" + std::string(text) + "' is not a date and time YYYY-MM-DD hh:nn:ss.zzz");
    DateTimeParts p{num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2), text.size() == 23 ? num(20, 3) : 0};
    return encodeDateTime(p);
}

std::optional<TDateTime> startTimeFromClipName(std::string_view path) {
    const std::filesystem::path p{std::string(path)};
    const std::string stem = p.stem().string();
    const std::string night = p.parent_path().filename().string();
    if (night.size() != 8 || !allDigits(night) || stem.size() != 10 || stem[6] != '_' ||
        !allDigits(std::string_view(stem).substr(0, 6)) || !allDigits(std::string_view(stem).substr(7))) {
        return std::nullopt;
    }
    DateTimeParts parts{parseInt(night.substr(0, 4)), parseInt(night.substr(4, 2)), parseInt(night.substr(6, 2)),
                        parseInt(stem.substr(0, 2)),  parseInt(stem.substr(2, 2)),  parseInt(stem.substr(4, 2)),
                        parseInt(stem.substr(7, 3))};
    if (!isValidDateTime(parts)) return std::nullopt;
    return encodeDateTime(parts);
}

int detectCommand(std::span<const std::string> args, std::string_view defaultStation, std::ostream& out,
                  std::ostream& err) {
    std::string input;
    std::string station(defaultStation);
    std::optional<TDateTime> start;
    try {
        const CliArgs parsed = parseCliArgs(args, {"--input", "--station", "--start"}, {"--help"});
        if (parsed.has("--help")) {
            out << kUsage;
            return 0;
        }
        if (!parsed.positional.empty()) throw CliUsageError("unknown argument '" + parsed.positional.front() + "'");
        input = parsed.value("--input");
        station = parsed.value("--station", station);
        if (parsed.has("--start")) start = parseStartTime(parsed.value("--start"));
        if (input.empty()) throw CliUsageError("--input is required");
    } catch (const std::exception& e) {
        err << "orbisight-cli detect: " << e.what() << "\n\n" << kUsage;
        return 2;
    }

    CliNotifier notifier(err);
    const StopSignals signals;  // a stop must still finish the clips and list them
    try {
        const TConfiguration config = stationConfiguration(station, err);
        const TDetectionRun run =
            runDetection(input, station, start, config, notifier, [] { return stopSignal() != 0; });
        bool allWritten = true;
        for (const TWrittenClip& c : run.clips) {
            out << c.fileName << "  " << c.frames << " frames"
                << (c.complete ? "" : c.frames == 0 ? "  (not written)" : "  (incomplete)") << "\n";
            allWritten = allWritten && c.complete;
        }
        if (run.droppedAtEnd) {
            err << "error: the " << (run.interrupted ? "run was stopped" : "input ended")
                << " while an event was still collecting its frames; it was dropped\n";
        }
        if (run.missingFrames > 0) {
            err << "error: " << run.missingFrames << " frame(s) announced by \"" << input
                << "\" are damaged or cut off and were not examined; a meteor may have been in them\n";
        }
        if (run.shutdownFrame >= 0) {
            err << "note: the sky reached the automatic shutdown level at frame " << run.shutdownFrame << "\n";
        }
        if (run.failedFrames > 0) {
            err << "error: " << run.failedFrames << " frame(s) could not be handled as part of an event; "
                << "an event may have been lost\n";
        }
        out << run.frames << " frames examined, " << run.clips.size() << " events"
            << (run.interrupted ? " (stopped by a signal)" : "") << "\n";
        if (run.interrupted) return 128 + stopSignal();
        return allWritten && run.failedFrames == 0 && !run.droppedAtEnd && run.missingFrames == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        notifier.progressHide();
        err << "orbisight-cli detect: " << e.what() << "\n";
        return 2;
    }
}

namespace {

// Any other video GStreamer can decode: decoded to grey frames and fed to
// the detector as they come. Without a start, frame 0 is the modification
// time less the video's length, when GStreamer knows the length.
TDetectionRun runDetectionDecoded(const std::string& input, const std::string& station, std::optional<TDateTime> start,
                                  TDateTime modified, const TConfiguration& config, UserNotifier& notifier,
                                  const std::string& aviError, const std::function<bool()>& stop) {
    const TCaptureSource source =
        TCaptureSource::pipeline(TCaptureSource::file(input).text + " ! videoconvert ! video/x-raw,format=GRAY8");
    TDetectionRun run;
    {
        TCaptureGraph probe;
        probe.build(CaptureMode::Detect, source);
        if (!probe.pause() || !probe.format()) {
            throw EInvalidVideo(aviError + "; nor can it be decoded as video: " + probe.errorText());
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
            if (stop && stop()) {
                stopped = true;
                return;
            }
            clock.setFrame(frameIndex);
            detector.GrabRecord(bytes);
            ++frameIndex;
        });
        graph.build(CaptureMode::Detect, source);
        notifier.status("detect: decoding");
        graph.run();
        GraphEnd end = GraphEnd::None;
        while (end == GraphEnd::None && !stopped.load()) {
            if (stop && stop()) stopped = true;  // also while no frame comes
            else end = graph.waitForEnd(std::chrono::milliseconds(200));
        }
        graph.stop();
        run.interrupted = stopped.load();
        if (end == GraphEnd::Error) throw EInvalidVideo("\"" + input + "\": " + graph.errorText());
        run.droppedAtEnd = !detector.waiting();
        run.failedFrames = detector.failedFrames();
        detector.stopSession();
        pool.waitAll();
        run.clips = pool.finishedClips();
        run.frames = frameIndex;
    }
    return run;
}

}  // namespace

TDetectionRun runDetection(const std::string& input, const std::string& station, std::optional<TDateTime> start,
                           const TConfiguration& config, UserNotifier& notifier, const std::function<bool()>& stop) {
    if (!start) start = startTimeFromClipName(input);
    struct stat st {};
    if (::stat(input.c_str(), &st) != 0) throw EInOutError("Cannot read \"" + input + "\"");
    // A pipe or device would block the reader: only a file is examined.
    if (!S_ISREG(st.st_mode)) throw EInOutError("\"" + input + "\" is not a file");
    // A recording is last modified when it ends.
    const TDateTime modified = localFromUnixTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    std::optional<TAviReader> uncompressed;
    try {
        uncompressed.emplace(input);
    } catch (const EInvalidVideo& e) {
        return runDetectionDecoded(input, station, start, modified, config, notifier, e.what(), stop);
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

        notifier.status("detect: frame");
        notifier.progressShow(info.frameCount);
        for (frameIndex = 0; frameIndex < info.frameCount; ++frameIndex) {
            if (stop && stop()) {
                run.interrupted = true;
                break;
            }
            clock.setFrame(frameIndex);
            detector.GrabRecord(reader.readFrame(frameIndex));
            notifier.progressPosition(frameIndex + 1);
        }
        notifier.progressHide();
        run.droppedAtEnd = !detector.waiting();
        run.failedFrames = detector.failedFrames();
        detector.stopSession();
        pool.waitAll();
        run.clips = pool.finishedClips();
    }
    run.frames = frameIndex;
    run.missingFrames = info.missingFrames();
    return run;
}

}  // namespace orbis
