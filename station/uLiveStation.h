#pragma once
// The live station: a capture source, the meteor detector on its frames, the
// event clip writers, the recording session with its log and the automatic
// power-off, wired once for every front end. The front end starts it, calls
// poll() from its own loop or timer (indicators, finished clips, the end of
// the source), and stops it; every clip is finished by stop().

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "astro/uNotifier.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/uDetector.h"
#include "capture/uMemoryAVI.h"

namespace orbis {

class TConfiguration;

enum class LiveMode { Detect, Record, Preview };

struct TLiveStationOptions {
    TCaptureSource source;
    LiveMode mode = LiveMode::Detect;
    // A plain recording's compressor: an encoder name, or empty for the
    // station's (videoCompress, nameVideoCompress, settingsVideoCompress);
    // its settings (for the station's codec, replacing those stored).
    std::optional<std::string> encoderName;
    TEncoderSettings encoderSettings;
    // What powering off does (systemctl poweroff unless replaced) and what
    // the front end says first.
    std::function<void()> powerOff;
    std::function<void()> onBrightSky;
    // Frames for a window (TLatestFrame::callback()): a display branch of
    // its own that drops frames rather than hold up the detector.
    FrameCallback display;
};

struct TLiveStationEnd {
    std::vector<TWrittenClip> clips;
    int failedFrames = 0;           // frames whose event handling failed: an event may be lost
    bool recordingFinished = true;  // false: a plain recording's index may be missing
    std::optional<TDiagnostic> graphError;  // the source ended with an error
};

class TLiveStation {
public:
    // The clock names the night directories, the clips and the log lines;
    // the computer's when none is given.
    TLiveStation(const TConfiguration& config, std::string station, std::string programDirectory,
                 UserNotifier& notifier, DetectorClock* clock = nullptr);
    ~TLiveStation();
    TLiveStation(const TLiveStation&) = delete;
    TLiveStation& operator=(const TLiveStation&) = delete;

    // The format the source delivers (raises when it delivers no frames).
    // The session asks the source for the same format again.
    TCaptureFormat probe(TLiveStationOptions& options);
    // Starts the session on the probed source; raises with the graph's
    // reason when it would not run.
    void start(const TLiveStationOptions& options, const TCaptureFormat& format);
    // Waits up to `wait` for the source to end and carries out a power-off
    // the detector asked for. False once the session has stopped.
    bool poll(std::chrono::milliseconds wait);
    // Pauses a running session or resumes a paused one (logged as the
    // session logs them).
    void pauseOrResume();
    bool running() const;
    bool paused() const;
    // The source has ended (its end or an error).
    bool sourceEnded() const { return end_ != GraphEnd::None; }
    std::optional<TDetectorIndicators> indicators() const { return indicators_.latest(); }
    std::vector<TWrittenClip> finishedClips() const;
    const std::string& recordingFile() const;
    // Stops the session and waits for every clip.
    TLiveStationEnd stop();

private:
    struct Parts;
    const TConfiguration& config_;
    std::string station_, programDirectory_;
    UserNotifier& notifier_;
    SystemDetectorClock systemClock_;
    DetectorClock& clock_;
    LatestIndicators indicators_;
    std::atomic<bool> shutdownPosted_{false};
    std::unique_ptr<Parts> parts_;
    GraphEnd end_ = GraphEnd::None;
};

}  // namespace orbis
