#include "capture/uRecordingSession.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uMemoryAVI.h"
#include "config/uConfiguration.h"
#include "processing/uNaming.h"

namespace orbis {

TSessionSettings TSessionSettings::fromConfiguration(const TConfiguration& config) {
    TSessionSettings s;
    s.detector = TDetectorSettings::fromConfiguration(config);
    s.useLogFile = config.useLogFile();
    return s;
}

// ---------------------------------------------------------------------------
// Log

TSessionLog::~TSessionLog() {
    if (file_) std::fclose(file_);
}

void TSessionLog::open(const std::string& path) {
    close();
    file_ = std::fopen(path.c_str(), "ab");
    if (!file_) throw EInOutError(TDiagnostic(Code::SessionLogOpenFailed).with("file", path).with("detail", std::strerror(errno)));
    path_ = path;
}

void TSessionLog::writeLine(std::string_view utf8) {
    if (!file_) throw EInOutError(TDiagnostic(Code::SessionLogWriteFailed).with("file", path_));
    const std::string bytes = utf8ToCp1251(utf8) + "\r\n";
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() || std::fflush(file_) != 0) {
        throw EInOutError(TDiagnostic(Code::SessionLogWriteFailed).with("file", path_).with("detail", std::strerror(errno)));
    }
}

void TSessionLog::close() {
    if (!file_) return;
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) throw EInOutError(TDiagnostic(Code::SessionLogWriteFailed).with("file", path_).with("detail", std::strerror(errno)));
}

std::string logStamp(TDateTime localTime) { return formatDateTime("dd.mm.yyyy hh:nn:ss", localTime); }

void systemPowerOff() {
    // No confirmation: the station is unattended at dawn. A failure leaves the
    // computer running, which is harmless.
    [[maybe_unused]] const int rc = std::system("systemctl poweroff");
}

// ---------------------------------------------------------------------------
// Session

TRecordingSession::TRecordingSession(TDetector& detector, CaptureGraphControl& graph, DetectorClock& clock,
                                     std::function<void()> powerOff)
    : detector_(detector), graph_(graph), clock_(clock), powerOff_(std::move(powerOff)) {}

bool TRecordingSession::start(TSessionOptions options, const TCaptureGeometry& geometry,
                              const TSessionSettings& settings, std::string_view programDirectory) {
    if (running_) return true;

    // One reading of the clock names both the night and the recording, so a
    // start at midnight cannot put a file of one day in the other's folder.
    const TDateTime now = clock_.localNow();
    const std::string night = orbis::nightDirectory(programDirectory, now);
    ensureDirectory(night);

    // Resets the adaptive threshold and allocates the buffers (and the event
    // ring when detecting) before any frame can arrive.
    detector_.startSession(geometry, settings.detector, options, programDirectory);

    TGraphPlan plan;
    plan.options = options;
    plan.feedDetector = options.detect;
    // A plain recording never replaces a file of the same name.
    const std::string recording = unusedClipPath(eventClipPath(night, now));
    if (!options.preview && !options.detect) plan.recordingFile = recording;

    try {
        if (!graph_.build(plan)) {
            detector_.stopSession();
            return false;
        }
        if (!graph_.run()) {
            graph_.stop();
            detector_.stopSession();
            return false;
        }
        if (settings.useLogFile) {
            // In the program directory rather than the current one: a
            // service's current directory is often "/" and not writable.
            log_.open(joinPath(programDirectory, kLogFileName));
            log_.writeLine("");
            log(" Запись");
        }
    } catch (...) {
        // A session whose start failed does not run at all, whatever step
        // failed: the observer sees the error and starts again.
        if (graph_.active()) graph_.stop();
        detector_.stopSession();
        try {
            log_.close();
        } catch (const EInOutError&) {
        }
        throw;
    }

    nightDirectory_ = night;
    recordingFile_ = recording;
    options_ = options;
    running_ = true;
    paused_ = false;
    return true;
}

void TRecordingSession::pauseOrResume() {
    if (!running_ || !graph_.active()) return;
    // The state and the log follow only a change the graph made.
    if (paused_) {
        if (!graph_.resume()) return;
        paused_ = false;
        log(" Запись");
    } else {
        if (!graph_.pause()) return;
        paused_ = true;
        log(" Пауза");
    }
}

void TRecordingSession::stop() {
    if (!running_) return;
    running_ = false;
    paused_ = false;
    // The graph first: the detector's buffers are released only after the
    // capture thread has left the frame callback.
    if (graph_.active()) graph_.stop();
    detector_.stopSession();
    if (log_.isOpen()) {
        try {
            log(" Стоп");
        } catch (...) {
            try {
                log_.close();
            } catch (const EInOutError&) {
            }
            throw;
        }
        log_.close();
    }
}

void TRecordingSession::requestShutdown() {
    if (!running_ || options_.preview) return;
    try {
        stop();
    } catch (...) {
        // The log could not take the stop line; the station powers off all
        // the same rather than watch the day sky.
        powerOff_();
        throw;
    }
    powerOff_();
}

void TRecordingSession::log(std::string_view word) {
    if (!log_.isOpen()) return;
    log_.writeLine(logStamp(clock_.localNow()) + std::string(word));
}

}  // namespace orbis
