#pragma once
// The photo page (tbPhoto): the calendar chooses a night, two button pairs
// step through its events and the current event's bitmaps, the picture is
// shown in Image1 with zoom, loupe and pointer read-out; the observer marks
// the meteor's track on the frames and starts the event's processing. What
// is browsed and marked is a TPhotoBrowser and TTrackMarks of the station
// library; processing runs processEvent on a worker thread. The automatic
// track proposal fills the marks for the observer to check and save; it
// runs on the window's thread (a tenth of a second for an event), under the
// wait cursor.

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/i18n/uCatalogue.h"
#include "station/uPhotoBrowser.h"

class QCalendarWidget;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSlider;
class QTimer;

namespace orbis {

class UserNotifier;
class TBackgroundWork;
class TConfiguration;
class TQtNotifier;

// A picture at a scale, nearest-neighbour, over a checkerboard, with an
// optional overlay of the picture's size. The widget is as large as the
// scaled picture, so its scroll area does the scrolling.
class TPictureView final : public QWidget {
    Q_OBJECT
public:
    TPictureView();
    void setPicture(QImage picture);
    void clearPicture();
    const QImage& picture() const { return picture_; }
    void setScale(double scale);
    double scale() const { return scale_; }
    // Present only while a frame file is shown.
    QImage* overlay() { return overlay_.isNull() ? nullptr : &overlay_; }
    void setOverlay(bool present);
    // Picture coordinates of a widget position.
    QPointF toPicture(QPointF position) const { return position / scale_; }

signals:
    void pointerMoved(QPointF picturePosition);
    void pointerLeft();
    void released(QPointF picturePosition);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent*) override;

private:
    void fitSize();
    QImage picture_;
    QImage overlay_;
    double scale_ = 1.0;
};

// The picture of a bitmap file as the project's reader reads it.
QImage bitmapImage(const std::string& path);

class TPhotoPage final : public QWidget {
    Q_OBJECT
public:
    using StatusSetter = std::function<void(int panel, const QString& text)>;
    // What "Обработка" runs on the worker thread for the shown event:
    // processEvent, or what a test puts in its place.
    using EventProcessor = std::function<void(const std::string& event, const TConfiguration& config,
                                              const std::string& station, UserNotifier& notifier)>;

    TPhotoPage(TQtNotifier& notifier, QScrollArea* area, TPictureView* view, StatusSetter status);
    ~TPhotoPage() override;

    void setStation(std::string station) { station_ = std::move(station); }
    void setConfiguration(const TConfiguration* config) { config_ = config; }
    void setEventProcessor(EventProcessor processor) { processor_ = std::move(processor); }

    // Entering the page.
    void enter();
    void leave();

    void RefreshPhotoList();
    void DisplayPhoto();
    void MC1Click();
    // Shows the first bitmap of an event of one of the station's nights, the
    // calendar on its night; false when the directory is no such event.
    bool showEvent(const std::string& eventDirectory);
    void bbMeteorBackClick();
    void bbMeteorForwardClick();
    void bbBMPBackClick();
    void bbBMPForwardClick();
    void bbListSelect1Click(int tag);
    void lbMetBmpClick(int row);
    void gbZoomChange(int position);
    void bbSelectCoordsClick();
    void bbProposeTrackClick();
    void bProcessClick();
    // Every event of the calendar's night that has a track, one after the
    // other on the worker thread; pressed again while it runs, it stops
    // after the event in hand. Pressed while one event is processed (or a
    // track proposed), the night is queued to follow it; pressed again, it
    // is taken out of the queue.
    void bProcessNightClick();
    // Leaves marking without saving: the track file stays as it was.
    void cancelMarking();
    // Asks the work in hand to stop where that leaves nothing half done
    // (a night's run after its event in hand) and drops a queued night.
    void stopWork();
    void HideSelectCoordsElement(bool show);
    void DrawMeteorPoints();
    // A click on the picture at a picture position.
    void Image1MouseUp(QPointF position);
    // The window's key handling; true when the key was used.
    bool FormKeyUp(int key, Qt::KeyboardModifiers modifiers);

    // The night menu items on the calendar's night.
    void N12Click();
    void R901Click();
    void R902Click();

    std::string nightDirectory() const;
    const TPhotoBrowser& browser() const { return browser_; }
    bool marking() const { return marking_; }
    bool processing() const { return work_ != nullptr; }
    bool nightQueued() const { return nightQueued_; }

signals:
    void captionChanged(const QString& caption);
    void processingFinished();
    // Any work of the page (processing, a night, a proposal) has ended.
    void workEnded();

private:
    void buildControls();
    void pointerMoved(QPointF position);
    void pointerLeft();
    void clearLoupe();
    void endProcessing();
    // Lists the shown event's bitmaps again and shows what exists, the
    // same file when it is still there.
    void refreshShownEvent();
    void endProposal(const std::optional<TTrackMarks>& proposed);
    void nightExport(const std::function<void(const TConfiguration&)>& write);

    TQtNotifier& notifier_;
    QScrollArea* area_;
    TPictureView* view_;
    StatusSetter status_;
    std::string station_;
    const TConfiguration* config_ = nullptr;
    EventProcessor processor_;
    TPhotoBrowser browser_;
    // The words of the page's labels and messages.
    TCatalogue words_{Language::Russian};
    TTrackMarks marks_;
    bool marking_ = false;
    std::unique_ptr<TBackgroundWork> work_;
    std::string workEvent_;
    // A night's run: what it says when it ends (filled by the work).
    std::shared_ptr<std::string> nightOutcome_;
    bool nightQueued_ = false;
    // A track proposal's run: its marks (filled by the work).
    std::shared_ptr<std::optional<TTrackMarks>> proposal_;
    QTimer* deliver_ = nullptr;

    QCalendarWidget* MC1_ = nullptr;
    QPushButton *bbMeteorBack_ = nullptr, *bbMeteorForward_ = nullptr, *bbBMPBack_ = nullptr, *bbBMPForward_ = nullptr;
    QPushButton *bbListSelect1_ = nullptr, *bbListSelect2_ = nullptr;
    QListWidget* lbMetBmp_ = nullptr;
    QLabel *Label3_ = nullptr, *Label4_ = nullptr, *Image2_ = nullptr;
    QSlider* gbZoom_ = nullptr;
    QPushButton *bProcess_ = nullptr, *bProcessNight_ = nullptr, *bbSelectCoords_ = nullptr, *bbProposeTrack_ = nullptr;
    QCheckBox *cbMeteorStart_ = nullptr, *cbMeteorFinish_ = nullptr, *cbMaxBright_ = nullptr;
    QLabel *lMeteorStart_ = nullptr, *lMeteorFinish_ = nullptr, *lMaxBright_ = nullptr;
};

}  // namespace orbis
