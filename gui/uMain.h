#pragma once
// The main window: menu, tool buttons, the three modes as the pages of
// pcWorkType (recording, photo, video), the image area and the status bar
// with its progress bar. It owns the configuration; the pages ask the
// station library for everything they show.

#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/uConfiguration.h"
#include "app/i18n/uCatalogue.h"

class QFontMetrics;

class QLabel;
class QProgressBar;
class QStatusBar;
class QTabWidget;

namespace orbis {

class TQtNotifier;
class TPhotoPage;
class TPictureView;
class TRecordPage;
class TVideoPage;
class TVideoWidget;

enum WorkPage { kRecordPage = 0, kPhotoPage = 1, kVideoPage = 2 };

// The status bar's panels: 1 the pointer's position on the picture (photo)
// or the frames taken into work (video), 2 and 3 the capture or clip format
// and its timing, 4 the panel the progress bar lies over, 5 the stage of the
// work in hand (the notifier's status text), so no read-out overwrites it.
inline constexpr int kStatusPanelCount = 5;
inline constexpr int kProgressPanel = 4;
inline constexpr int kStagePanel = 5;

// The panels' widths for a font: each fits the longest text it usually
// shows; the stage panel's is its least, it takes what the bar has over.
std::array<int, kStatusPanelCount> statusPanelWidths(const QFontMetrics& font);
// Where a progress bar lying over `panel` sits in a status bar of `bar`
// size: from the panel's left edge to 15 pixels short of the bar's right
// edge, 2 pixels from the top.
QRect statusProgressGeometry(const QRect& panel, QSize bar);
// A hidden progress bar in the status bar over `panel`, placed by
// statusProgressGeometry now and whenever the status bar is laid out.
QProgressBar* CreateStatusProgressBar(QStatusBar* statusBar, QWidget* panel);

struct TMainWindowOptions {
    std::string station;           // Orbisight.ini, the nights, the log
    std::string programDirectory;  // the executable's: the time-stamp plugin
    std::optional<std::string> source;  // a GStreamer source listed as a device
    bool checkTimeStamp = true;    // the start-up check of the time-stamp element
    // The diagnostics' wording; the captions follow the translator
    // installed in the application (TWindowLanguage).
    Language language = Language::Russian;
};

class TMainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainWindow(TMainWindowOptions options);
    ~TMainWindow() override;

    // The mode switch of the menu items and tool buttons.
    void N5Click(int page);
    int mode() const;

    // "Настройка": the configuration dialog, then the settings read again
    // from the file however it closed.
    void N4Click();
    // Reads Orbisight.ini again into the window's settings (what closing the
    // configuration dialog does).
    void reloadConfiguration();
    const TConfiguration& configuration() const { return config_; }

    TQtNotifier& notifier() { return *notifier_; }
    TRecordPage& recordPage() { return *record_; }
    TPhotoPage& photoPage() { return *photo_; }
    TVideoWidget& videoWidget() { return *video_; }
    TVideoPage& videoPage() { return *videoPage_; }
    QProgressBar* progressBar() { return progress_; }
    // What the automatic shutdown does instead of powering the computer off.
    void setPowerOffAction(std::function<void()> action);
    void setStatusPanel(int panel, const QString& text);
    QString statusPanel(int panel) const;

protected:
    // The window sees the keys before its controls (the photo page's keys).
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing while the photo page processes: the window goes at once, the
    // work is asked to stop after the event in hand and finishes it out of
    // sight; the window closes for good when it has ended.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildPages();
    void buildStatusBar();
    void about();

    TMainWindowOptions options_;
    TConfiguration config_;
    std::unique_ptr<TQtNotifier> notifier_;
    QTabWidget* pcWorkType_ = nullptr;
    TRecordPage* record_ = nullptr;
    TVideoWidget* video_ = nullptr;
    TPhotoPage* photo_ = nullptr;
    TVideoPage* videoPage_ = nullptr;
    TPictureView* image1_ = nullptr;
    std::array<QLabel*, kStatusPanelCount> panels_{};
    QProgressBar* progress_ = nullptr;
    int mode_ = -1;
    bool closing_ = false;
    std::jthread timeStampCheck_;
};

}  // namespace orbis
