#pragma once
// The recording page (tbRecord): the capture device and its adjustments, the
// way of recording, start, pause and stop, and the detector's indicators.
// The session itself is the station library's TLiveStation; the page only
// asks it and shows what it says. Listing the devices and probing and
// starting a source and stopping a session (the end of a recording's
// stream, the clip writers) run on worker threads, so the window never
// freezes.

#include <QWidget>
#include <QTimer>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "capture/media/uCameraControls.h"
#include "capture/media/uCaptureGraph.h"
#include "station/uLiveStation.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;

namespace orbis {

class TConfiguration;
class TQtNotifier;
class TVideoWidget;

inline constexpr const char* kNoVideoSource = QT_TRANSLATE_NOOP("orbis::TRecordPage", "Нет источника видео");

// One entry of the device list: a video device, or a GStreamer source given
// on the command line.
struct TListedDevice {
    std::string name;
    std::string node;  // V4L2 node for the camera controls; empty for a pipeline
    std::vector<TCaptureFormat> formats;
    bool pipeline = false;
};

class TRecordPage final : public QWidget {
    Q_OBJECT
public:
    // `video` paints the live frames; `panel(n, text)` writes status panel n (1..4).
    TRecordPage(TQtNotifier& notifier, TVideoWidget& video, std::function<void(int, const QString&)> panel,
                QWidget* parent = nullptr);
    ~TRecordPage() override;

    // The station directory (clips, recordings, log) and the program's.
    void setDirectories(std::string station, std::string programDirectory);
    // The window's settings; a session takes a copy at its start.
    void setConfiguration(const TConfiguration* config) { config_ = config; }
    // A GStreamer source listed as a device ("videotestsrc ! ...").
    void setCommandLineSource(std::optional<std::string> pipeline) { commandLineSource_ = std::move(pipeline); }
    // What the automatic shutdown does (systemctl poweroff unless replaced).
    void setPowerOffAction(std::function<void()> action) { powerOff_ = std::move(action); }
    // The device list without the monitor's devices (tests: no camera may appear).
    void setDeviceLister(std::function<std::vector<TMediaDevice>()> lister) { lister_ = std::move(lister); }

    // Entering the page lists the devices (devicesListed tells when); leaving
    // it stops a session and empties the list.
    void enter();
    void leave();

    bool starting() const { return starting_; }
    // A stopped session still finishing its stream and clips on a worker.
    bool stopping() const { return stopping_; }
    bool sessionRunning() const { return station_ != nullptr; }
    bool sessionPaused() const { return station_ && station_->paused(); }
    // What the last session ended with.
    const std::optional<TLiveStationEnd>& lastEnd() const { return lastEnd_; }
    // The format the next start asks of the device (the capture-format dialog).
    const std::optional<TCaptureFormat>& chosenFormat() const { return format_; }

    void startSession();
    void pauseSession();
    void stopSession();

signals:
    void devicesListed(bool any);
    void sessionStarted();
    void sessionEnded();

protected:
    // A camera slider's caption follows the slider's enabled state.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void showDevices(std::vector<TListedDevice> devices);
    void deviceChanged(int index);
    void applyCamera(const TCameraSettings& settings);
    void setIdleControls();
    void setRunningControls();
    void startFinished();
    void stopFinished();
    void pollSession();
    void showIndicators();
    void resetIndicators();
    void chooseFormat();
    void showExposureLabel(int position);

    TQtNotifier& notifier_;
    TVideoWidget& video_;
    std::function<void(int, const QString&)> panel_;
    std::string stationDir_, programDirectory_;
    const TConfiguration* config_ = nullptr;
    std::optional<std::string> commandLineSource_;
    std::function<void()> powerOff_;
    std::function<std::vector<TMediaDevice>()> lister_;

    std::vector<TListedDevice> devices_;
    std::unique_ptr<VideoDevice> device_;
    std::unique_ptr<TCameraControls> camera_;
    std::optional<TCaptureFormat> format_;
    unsigned listing_ = 0;  // counts listings; a stale one is dropped

    std::unique_ptr<TConfiguration> sessionConfig_;
    std::unique_ptr<TLiveStation> station_;
    std::optional<TLiveStationEnd> lastEnd_;
    bool starting_ = false, stopRequested_ = false;
    // Handed over by the starting thread.
    struct Started {
        std::unique_ptr<TLiveStation> station;
        TCaptureFormat format;
        // What failed; shown under the catalogue's caption unless the
        // page gives its own.
        std::optional<TDiagnostic> error;
        std::optional<std::string> caption;
        MessageIcon icon = MessageIcon::Error;
    };
    std::mutex startedMutex_;
    Started started_;
    // Handed over by the stopping thread.
    TLiveStationEnd stopped_;
    std::optional<TDiagnostic> stopError_;
    bool stopping_ = false;
    QTimer poll_;

    QComboBox* cbCapt_;
    QSlider *tbBri_, *tbCon_, *tbSatur_, *tbGamma_, *tbExposit_;
    QCheckBox *cbVidColor_, *cbExposit_, *cbPreview_, *cbDetect_;
    QLabel *label20_, *lExposit_, *lLevel_, *lNoiseLevel_, *lnNoisePixel_;
    QComboBox* cbVideoIn_;
    QPushButton *bCamControl_, *bCamSetting_, *bDefVideo_, *bbRecStart_, *bbRecPause_, *bbRecStop_;
    QFrame* shape1_;

    // Last, so they are joined before anything they hand results to goes.
    std::jthread listerThread_, starterThread_, stopperThread_;
};

}  // namespace orbis
