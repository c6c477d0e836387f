#include "station/uLiveStation.h"

#include "astro/uExceptions.h"
#include "capture/media/uSessionGraph.h"
#include "capture/media/uTimeStamp.h"
#include "capture/uRecordingSession.h"
#include "config/uConfiguration.h"

namespace orbis {

// What lives from start to stop, in the order it must be built and torn
// down: the pool outlives the detector that hands it clips, the graph the
// session that drives it.
struct TLiveStation::Parts {
    TClipWriterPool pool;
    TDetector detector;
    TCaptureGraph graph;
    TSessionGraph control;
    TRecordingSession session;

    Parts(TLiveStation& s, const TCaptureSource& source, const TRecordOptions& record, std::function<void()> powerOff,
          FrameCallback display)
        : pool(s.notifier_),
          detector({s.clock_, s.indicators_, pool, [&s] { s.shutdownPosted_ = true; }}),
          control(graph, source, record),
          session(detector, control, s.clock_, std::move(powerOff)) {
        graph.setFrameCallback([this](std::span<const uint8_t> bytes, const TCaptureFormat&) { detector.GrabRecord(bytes); });
        if (display) graph.setDisplayCallback(std::move(display));
    }
};

namespace {

// A plain recording hands the detector no frame, and its graph converts any
// raw video for the file: there only the size and rate of the format count.
// Compressed video is refused as for detection.
TCaptureGeometry sessionGeometry(LiveMode mode, TCaptureFormat format) {
    if (mode == LiveMode::Record && format.gstFormat.find('/') == std::string::npos) {
        format.gstFormat = "GRAY8";
        format.bitsPerPixel = 8;
    }
    return geometryFor(format);
}

}  // namespace

TLiveStation::TLiveStation(const TConfiguration& config, std::string station, std::string programDirectory,
                           UserNotifier& notifier, DetectorClock* clock)
    : config_(config),
      station_(std::move(station)),
      programDirectory_(std::move(programDirectory)),
      notifier_(notifier),
      systemClock_(config.timeZone()),
      clock_(clock ? *clock : systemClock_) {}

TLiveStation::~TLiveStation() {
    if (parts_) stop();
}

TCaptureFormat TLiveStation::probe(TLiveStationOptions& options) {
    const std::optional<TCaptureFormat> probed = probeCaptureFormat(options.source);
    if (!probed) throw Exception(TDiagnostic(Code::SourceDeliversNoFrames));
    // A camera must not negotiate another format the second time.
    if (!options.source.format) options.source.format = *probed;
    return *probed;
}

void TLiveStation::start(const TLiveStationOptions& options, const TCaptureFormat& format) {
    TRecordOptions record;
    if (options.mode == LiveMode::Record) {
        if (config_.addTimeStamp()) config_.requireInRange({"frameFontSize"});
        record.timeStamp = config_.addTimeStamp();
        record.fontSize = config_.frameFontSize();
        if (options.encoderName) {
            record.encoderName = *options.encoderName;
            record.encoderSettings = options.encoderSettings;
        } else if (config_.videoCompress()) {
            record.encoderName = config_.nameVideoCompress();  // empty: uncompressed
            // The settings made in the codec chooser, unless the caller gives its own.
            record.encoderSettings = options.encoderSettings.empty()
                                         ? parseEncoderSettings(config_.settingsVideoCompress())
                                         : options.encoderSettings;
        }
        // GStreamer must know the time-stamp element before the graph is built.
        if (record.timeStamp) ensureTimeStampElement(programDirectory_, notifier_);
    }
    std::function<void()> powerOff = options.powerOff ? options.powerOff : systemPowerOff;
    parts_ = std::make_unique<Parts>(*this, options.source, record, [powerOff, said = options.onBrightSky] {
        if (said) said();
        powerOff();
    }, options.display);
    const TSessionOptions session{options.mode != LiveMode::Record, options.mode == LiveMode::Preview};
    if (!parts_->session.start(session, sessionGeometry(options.mode, format), TSessionSettings::fromConfiguration(config_),
                               station_)) {
        TDiagnostic reason = parts_->control.error().value_or(TDiagnostic(Code::CaptureGraphNotStarted));
        parts_.reset();
        throw Exception(std::move(reason));
    }
}

bool TLiveStation::poll(std::chrono::milliseconds wait) {
    if (!parts_) return false;
    if (end_ == GraphEnd::None) end_ = parts_->graph.waitForEnd(wait);
    if (shutdownPosted_.exchange(false)) parts_->session.requestShutdown();
    return parts_->session.running();
}

void TLiveStation::pauseOrResume() {
    if (parts_) parts_->session.pauseOrResume();
}

bool TLiveStation::running() const { return parts_ && parts_->session.running(); }

bool TLiveStation::paused() const { return parts_ && parts_->session.paused(); }

std::vector<TWrittenClip> TLiveStation::finishedClips() const {
    return parts_ ? parts_->pool.finishedClips() : std::vector<TWrittenClip>{};
}

const std::string& TLiveStation::recordingFile() const {
    static const std::string none;
    return parts_ ? parts_->session.recordingFile() : none;
}

TLiveStationEnd TLiveStation::stop() {
    TLiveStationEnd end;
    if (!parts_) return end;
    parts_->session.stop();
    parts_->pool.waitAll();
    end.clips = parts_->pool.finishedClips();
    end.failedFrames = parts_->detector.failedFrames();
    end.recordingFinished = parts_->control.recordingFinished();
    if (end_ == GraphEnd::Error) end.graphError = parts_->graph.error().value_or(TDiagnostic(Code::GraphStreamFailed));
    parts_.reset();
    return end;
}

}  // namespace orbis
