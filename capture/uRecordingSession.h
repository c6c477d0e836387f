#pragma once
// A recording session: the time between the start and the stop button of the
// recording page. The session starts the detector, has the capture graph
// built and run, pauses, resumes and stops it, keeps the station's log and
// powers the computer off when the sky has become bright.
//
// The capture graph and the power-off are injected, so the session itself
// knows nothing of GStreamer or of the system. Every member runs on the user
// interface thread. The detector's shutdown request comes from the capture
// thread and must be posted to that thread before it reaches
// requestShutdown(): stopping the graph waits for the capture thread to leave
// the frame callback.
//
// The clip writers are not the session's: the pool that owns them lives
// outside it, so clips still being written when the session stops are
// finished.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "capture/uDetector.h"

namespace orbis {

class TConfiguration;

inline constexpr std::string_view kLogFileName = "Orbisight.log";

// What the capture graph is to be built for.
struct TGraphPlan {
    TSessionOptions options;
    // The frames go to the detector's GrabRecord (with preview: indicators
    // only). Without detection and without preview nothing calls it.
    bool feedDetector = true;
    // Plain recording (neither preview nor detection): one AVI file for the
    // whole session. Empty for the other ways of recording.
    std::string recordingFile;
};

// The capture graph as the session drives it.
class CaptureGraphControl {
public:
    virtual ~CaptureGraphControl() = default;
    // Builds the graph for the plan. False when it cannot be built; the graph
    // has then told the user why, and nothing runs.
    virtual bool build(const TGraphPlan& plan) = 0;
    // Each returns false when the graph refuses the change (a camera in use
    // elsewhere, a file that cannot be written).
    virtual bool run() = 0;
    virtual bool pause() = 0;
    virtual bool resume() = 0;
    // Stops the frames; returns only when the frame callback has been left.
    virtual void stop() = 0;
    // A graph exists (a capture device has been chosen).
    virtual bool active() const = 0;
};

struct TSessionSettings {
    TDetectorSettings detector;
    bool useLogFile = false;

    static TSessionSettings fromConfiguration(const TConfiguration& config);
};

// The station's log: Windows-1251 lines ending in CR LF, each flushed as it
// is written. Failures raise EInOutError.
class TSessionLog {
public:
    TSessionLog() = default;
    ~TSessionLog();
    TSessionLog(const TSessionLog&) = delete;
    TSessionLog& operator=(const TSessionLog&) = delete;

    // Opens for appending, creating the file when missing.
    void open(const std::string& path);
    // Writes one line given in UTF-8.
    void writeLine(std::string_view utf8);
    void close();
    bool isOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

// "dd.mm.yyyy hh:nn:ss" of a local time.
std::string logStamp(TDateTime localTime);

// Asks systemd to power the computer off ("systemctl poweroff"); returns
// once the request has been handed over.
void systemPowerOff();

class TRecordingSession {
public:
    // The clock gives the local time of the log stamps, the night directory
    // and the recording file's name.
    TRecordingSession(TDetector& detector, CaptureGraphControl& graph, DetectorClock& clock,
                      std::function<void()> powerOff = systemPowerOff);

    // Starts a session on frames of the given geometry (the capture format
    // the graph has applied). Returns false when the graph could not be
    // built or would not run; then nothing runs and nothing is logged. Raises EInOutError when
    // the night directory or the log cannot be written, and what the
    // detector raises for its settings; nothing runs then either. A start
    // while a session runs does nothing and returns true.
    bool start(TSessionOptions options, const TCaptureGeometry& geometry, const TSessionSettings& settings,
               std::string_view programDirectory);
    // Pauses a running session, or resumes a paused one; nothing changes
    // (and nothing is logged) when the graph refuses.
    void pauseOrResume();
    // Stops the session; does nothing when none runs.
    void stop();
    // The detector found the sky bright: stop and power off. Only the first
    // request of a session acts; the ones posted by later bright frames find
    // the session stopped.
    void requestShutdown();

    bool running() const { return running_; }
    bool paused() const { return paused_; }
    const std::string& nightDirectory() const { return nightDirectory_; }
    // The plain recording file of the session (named also for the other ways
    // of recording, which do not write it).
    const std::string& recordingFile() const { return recordingFile_; }

private:
    void log(std::string_view word);

    TDetector& detector_;
    CaptureGraphControl& graph_;
    DetectorClock& clock_;
    std::function<void()> powerOff_;
    TSessionLog log_;
    TSessionOptions options_;
    bool running_ = false;
    bool paused_ = false;
    std::string nightDirectory_;
    std::string recordingFile_;
};

}  // namespace orbis
