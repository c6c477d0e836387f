#pragma once
// The video page (tbVideo): the event clips of a chosen directory, one at a
// time in the video window with play, pause, stop and a position track bar,
// stepping between clips, deleting a clip, and taking a clip into work as
// frame files. What is browsed is a TVideoBrowser of the station library;
// playback is a capture graph in playback mode that only shows the clip.
// Taking into work reads the clip's frames itself (takeClipIntoWork) on a
// worker thread, so a busy machine never costs a frame.

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "capture/media/uCaptureGraph.h"
#include "station/uClipIntake.h"
#include "station/uVideoBrowser.h"

class QLineEdit;
class QPushButton;
class QSlider;

namespace orbis {

class TBackgroundWork;
class TQtNotifier;
class TVideoWidget;

inline constexpr const char* kVideoMessageCaption = "Orbisight 2.0";

class TVideoPage final : public QWidget {
    Q_OBJECT
public:
    using StatusSetter = std::function<void(int panel, const QString& text)>;
    // Shows a folder chooser with a title, starting at a directory; nothing
    // when the user cancels.
    using FolderChooser = std::function<std::optional<std::string>(const QString& title, const std::string& start)>;

    TVideoPage(TQtNotifier& notifier, TVideoWidget& video, StatusSetter status);
    ~TVideoPage() override;

    // Where the folder chooser starts: the clips directory last chosen, or
    // the photo page's night once that has been used.
    void setFolderStart(std::string directory) { folderStart_ = std::move(directory); }
    const std::string& folderStart() const { return folderStart_; }
    void setFolderChooser(FolderChooser chooser) { chooser_ = std::move(chooser); }
    // What a clip is played from (TCaptureSource::file unless replaced; tests
    // slow it down to see that the window does not wait for it).
    void setPlaybackSource(std::function<TCaptureSource(const std::string& path)> source) {
        playbackSource_ = std::move(source);
    }

    // Entering asks for the clips directory; leaving releases the clip.
    void enter();
    void leave();

    void DisplayVideo();
    void bbVidStartClick();
    void bbVidPauseClick();
    void bbVidStopClick();
    void bbAVIBackClick();
    void bbAVIForwardClick();
    void bbRemoveVideoClick();
    void bbProcessVideoClick();
    // "Разметить трек": asks the window to show the event of the clip shown.
    void bbMarkTrackClick();

    const TVideoBrowser& browser() const { return browser_; }
    bool playing() const;
    // Ends of plain playback that started the clip again.
    int loops() const { return loops_; }
    bool takingIntoWork() const { return work_ != nullptr; }
    const std::optional<TClipIntake>& lastIntake() const { return intake_; }

signals:
    void captionChanged(const QString& caption);
    void intakeFinished();
    // The observer wants to mark the track of the event in this directory.
    void markTrackRequested(const QString& eventDirectory);

private:
    void buildControls();
    void releaseClip();
    void graphComplete();
    void followPlayback();
    void seekToSlider();
    // Seeks now, or once the graph has settled (a clip still prerolling
    // cannot seek, and the window does not wait for it).
    void seekPlayback(double seconds);
    void applyPendingSeek();
    void endIntake();
    // The event "Разметить трек" opens for the clip shown; "" when none.
    std::string markTrackTarget() const;

    TQtNotifier& notifier_;
    TVideoWidget& video_;
    StatusSetter status_;
    FolderChooser chooser_;
    std::function<TCaptureSource(const std::string&)> playbackSource_;
    std::string folderStart_;
    TVideoBrowser browser_;
    TAviInfo info_;
    std::unique_ptr<TCaptureGraph> graph_;
    unsigned graphGeneration_ = 0;  // of the graph built last
    // Playback started by "Взять в работу" does not loop at its end.
    bool intakePlayback_ = false;
    int loops_ = 0;
    QTimer follow_;
    std::optional<double> pendingSeek_;
    QTimer settle_;  // retries a pending seek
    std::unique_ptr<TBackgroundWork> work_;
    std::shared_ptr<std::optional<TClipIntake>> pendingResult_;  // filled by the work
    QTimer deliver_;
    std::optional<TClipIntake> intake_;
    std::string intakeClip_;  // the clip intake_ was taken from

    QPushButton *bbVidStart_ = nullptr, *bbVidPause_ = nullptr, *bbVidStop_ = nullptr;
    QPushButton *bbAVIBack_ = nullptr, *bbAVIForward_ = nullptr, *bbRemoveVideo_ = nullptr;
    QPushButton *bbProcessVideo_ = nullptr, *bbMarkTrack_ = nullptr;
    QLineEdit* eInitNumFrame_ = nullptr;
    QSlider* DSTrackBar1_ = nullptr;
};

}  // namespace orbis
