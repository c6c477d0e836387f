#pragma once
// The meteor detector: examines every frame of a capture session and decides
// when a meteor is under way. It keeps a ring of the latest frames; when
// enough consecutive frames show a small, newly appeared bright trace it
// collects a fixed number of further frames and hands the whole sequence to
// a clip sink, which writes the event clip.
//
// A frame is judged by the difference between its luma and the previous
// frame's luma in which every bright spot has been blotted out, so stars,
// their twinkle and slow drift give no difference and only something new
// counts.
//
// The detector has no window and no clock of its own: indicator values go
// out through a sink that must never block, and the tick counter, the local
// time and the shutdown request are injected. It runs unchanged on live
// frames and on frames read from a file.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "astro/uDateTime.h"
#include "config/uConfiguration.h"

namespace orbis {

// Frame geometry of a session, from the capture format.
struct TCaptureGeometry {
    int width = 0;
    int height = 0;
    int sourceStep = 1;  // bytes per pixel of the delivered frame
    int lumaOffset = 0;  // index of the luma byte inside a pixel
    int frameRate = 25;  // whole frames per second

    std::size_t pixelCount() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
};

// The geometry of a capture format: 8-bit frames are their own luma; 16-bit
// YUV takes the Y byte (offset 0 for names beginning with "Y", such as YUY2,
// YUYV, YVYU, else 1, as in UYVY); 24- and 32-bit RGB take the green byte.
// 16-bit RGB and any other depth raise EInvalidVideo (CaptureFormatUnsupported),
// as do sizes below 1 pixel or a rate below 1.
TCaptureGeometry geometryForFormat(int bitsPerPixel, std::string_view formatName, int width, int height,
                                   int frameRate);

// The settings the detector copies from the configuration; their defaults
// are the configuration's.
struct TDetectorSettings {
    int nFramesBeforeEvent = TConfiguration::defaults().nFramesBeforeEvent();
    int nFramesAfterEvent = TConfiguration::defaults().nFramesAfterEvent();
    int nSignalFrames = TConfiguration::defaults().nSignalFrames();
    int nNoisePixels = TConfiguration::defaults().nNoisePixels();
    int nSignalPixels = TConfiguration::defaults().nSignalPixels();
    bool useDarkFile = TConfiguration::defaults().useDarkFile();
    bool useMaskFile = TConfiguration::defaults().useMaskFile();
    std::string darkFrame = TConfiguration::defaults().darkFrame();
    std::string maskFrame = TConfiguration::defaults().maskFrame();
    bool useAutoShutDown = TConfiguration::defaults().useAutoShutDown();
    int autoShutDownLevel = TConfiguration::defaults().autoShutDownLevel();

    // Raises EConvertError for a setting outside its range.
    static TDetectorSettings fromConfiguration(const TConfiguration& config);

    bool operator==(const TDetectorSettings&) const = default;
};

enum class StateColour { White, Red };

// What the window shows of every frame.
struct TDetectorIndicators {
    int level = 0;                 // mean raw luma
    int noise = 0;                 // noise level, 0..50
    int raise = 0;                 // threshold raise after bursts of events
    uint32_t noisePixels = 0;      // histogram count at the noise level
    StateColour colour = StateColour::White;  // red while an event's frames are collected
};

// Receives the indicators of every frame, on the capture thread; must return
// at once.
class IndicatorSink {
public:
    virtual ~IndicatorSink() = default;
    virtual void publish(const TDetectorIndicators& indicators) noexcept = 0;
};

// Keeps the latest indicators in one atomic word: the capture thread stores,
// the window reads whenever it repaints; neither ever waits.
class LatestIndicators final : public IndicatorSink {
public:
    void publish(const TDetectorIndicators& indicators) noexcept override;
    // The latest indicators, or nothing before the first frame.
    std::optional<TDetectorIndicators> latest() const;

private:
    std::atomic<uint64_t> packed_{0};
};

// Millisecond tick counter (wraps at 2^32) and local wall-clock time.
class DetectorClock {
public:
    virtual ~DetectorClock() = default;
    virtual uint32_t tickCount() = 0;
    virtual TDateTime localNow() = 0;
};

// The computer's monotonic clock and local time.
// The computer's clock. The station's local time is UT + its time zone
// (timeZone), taken from the system's UTC clock, so clip names and UT agree
// whatever zone the system itself is set to; without a zone, the system's
// local time.
class SystemDetectorClock final : public DetectorClock {
public:
    SystemDetectorClock() = default;
    explicit SystemDetectorClock(double timeZoneHours) : timeZone_(timeZoneHours) {}
    uint32_t tickCount() override;
    TDateTime localNow() override;

private:
    std::optional<double> timeZone_;
};

// One event, as the detector hands it over. The frames are the detector's
// own buffers: a sink copies what it needs before it returns, or takes the
// buffers themselves through handOver (when set), leaving in their place as
// many buffers of exactly frameSize bytes, whatever they hold. After that,
// frames refers to nothing.
struct TClipJob {
    std::string path;              // clip path without ".avi"
    int firstValidFrame = 0;       // first frame to write when ringNotWrapped
    int frameRate = 25;
    std::size_t frameSize = 0;     // bytes per frame (width * height)
    int width = 0;
    std::span<const std::vector<uint8_t>> frames;
    bool ringNotWrapped = false;
    std::vector<std::vector<uint8_t>>* handOver = nullptr;  // the buffers frames views
};

class ClipSink {
public:
    virtual ~ClipSink() = default;
    virtual void writeClip(const TClipJob& job) = 0;
};

struct TDetectorServices {
    DetectorClock& clock;
    IndicatorSink& indicators;
    ClipSink& clips;
    std::function<void()> requestShutdown;  // posted, never waited for
};

// The two check boxes of the recording page that concern the detector.
struct TSessionOptions {
    bool detect = true;   // "Детектирование метеоров"
    bool preview = false; // "Просмотр без записи": indicators only
};

// More frames than this in the ring (before + after + 1) cannot be meant:
// about 11 minutes at 25 frames per second.
inline constexpr int kMaxRingFrames = 16384;

class TDetector {
public:
    explicit TDetector(TDetectorServices services);

    // Prepares a session: geometry, buffers, settings, dark and mask frames
    // (files inside programDirectory; a missing file is skipped). Raises
    // EInvalidGraphic (DarkFrameNotGrey, DarkFrameSizeMismatch and the mask's
    // like them) for a dark or mask bitmap that is not 8-bit or not of the
    // frame's size, and Exception for ring settings
    // that cannot work (fewer than one frame before the event or one signal
    // frame, a negative number after it, a ring of more than
    // kMaxRingFrames) and for a geometry without pixels.
    void startSession(const TCaptureGeometry& geometry, const TDetectorSettings& settings, TSessionOptions options,
                      std::string_view programDirectory);
    // Releases the buffers; an event still collecting its frames is dropped.
    void stopSession();
    bool sessionRunning() const { return running_; }

    // Examines one delivered frame of at least pixelCount * sourceStep bytes
    // (a shorter frame is ignored).
    void GrabRecord(std::span<const uint8_t> frame);

    // State, for the window and for tests.
    const TCaptureGeometry& geometry() const { return geometry_; }
    int markThreshold() const { return markThreshold_; }
    int ringIndex() const { return ringIndex_; }
    int afterIndex() const { return afterIndex_; }
    bool ringNotWrapped() const { return ringNotWrapped_; }
    bool waiting() const { return waiting_; }
    int runCount() const { return runCount_; }
    const std::string& clipPath() const { return clipPath_; }
    uint32_t lastEventTick() const { return lastEventTick_; }
    int quickEventCount() const { return quickEventCount_; }
    int thresholdRaise() const { return thresholdRaise_; }
    // The latest frame's luma (after dark and mask).
    std::span<const uint8_t> currentLuma() const;
    // The reference the latest frame was compared with: the frame before it
    // with its bright spots blotted out (made when asked for).
    std::span<const uint8_t> referenceLuma() const;
    // The histogram of the latest frame's difference from its reference
    // (made when asked for: the detector itself counts only what decides
    // the noise level).
    std::span<const uint32_t, 256> histogram() const;
    bool hasDarkFrame() const { return !darkFrame_.empty(); }
    // Frames of this session whose event handling failed (the night
    // directory could not be made, the clip could not be handed over): an
    // event may have been lost, which a caller must be able to report.
    int failedFrames() const { return failedFrames_; }
    bool hasMaskFrame() const { return !maskFrame_.empty(); }

private:
    void storeAndTest(int signal, std::vector<uint8_t>& frame);
    void completeEvent();
    void keepLatestFrames();

    TDetectorServices services_;
    TCaptureGeometry geometry_;
    TDetectorSettings settings_;
    TSessionOptions options_;
    std::string programDirectory_;
    bool running_ = false;

    // Frame buffers change hands, never contents: the luma is extracted into
    // a spare buffer, which then trades places with the ring slot it is
    // stored in; an event's frames trade places with the clip's. The data a
    // pointer below names stays where it is while the buffers move.
    std::array<std::vector<uint8_t>, 2> spare_;
    const uint8_t* latest_ = nullptr;     // the latest frame's luma
    const uint8_t* reference_ = nullptr;  // the frame before it, not blotted; null: black
    int referenceThreshold_ = 255;        // the mark threshold it was blotted with
    std::vector<uint8_t> latestRowMax_, lumaRowMax_;  // the latest frame's row maxima, and the spare
    std::vector<uint8_t> diffLuma_, diffRowMax_;
    mutable std::vector<uint8_t> refLuma_;
    mutable std::array<uint32_t, 256> histogram_{};
    mutable bool histogramCounted_ = true;
    int markThreshold_ = 255;
    std::vector<std::vector<uint8_t>> ring_, clipFrames_;
    int ringIndex_ = 0;
    int afterIndex_ = 0;
    bool ringNotWrapped_ = true;
    bool waiting_ = true;
    int runCount_ = 0;
    std::string clipPath_;
    std::vector<uint8_t> darkFrame_, maskFrame_;
    uint32_t lastEventTick_ = 0;
    uint8_t quickEventCount_ = 0;
    uint8_t thresholdRaise_ = 0;
    int failedFrames_ = 0;
    int before_ = 0;  // B and A of the session start
    int after_ = 0;
    TDetectorIndicators indicators_;
};

}  // namespace orbis
