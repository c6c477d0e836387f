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

inline constexpr std::array<int, 4> kStatusPanelWidths{200, 315, 230, 200};

// Where the progress bar of panel `panel` (1-based) sits in a status bar of
// `bar` size: after the panels before it (each one pixel apart), to 15
// pixels short of the right edge, 2 pixels from the top.
QRect statusProgressGeometry(const std::vector<int>& panelWidths, int panel, QSize bar);
// A hidden progress bar in the status bar, placed by statusProgressGeometry
// now and whenever the status bar is resized.
QProgressBar* CreateStatusProgressBar(QStatusBar* statusBar, const std::vector<int>& panelWidths, int panel);

struct TMainWindowOptions {
    std::string station;           // Orbisight.ini, the nights, the log
    std::string programDirectory;  // the executable's: the time-stamp plugin
    std::optional<std::string> source;  // a GStreamer source listed as a device
    bool checkTimeStamp = true;    // the start-up check of the time-stamp element
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
    std::array<QLabel*, 4> panels_{};
    QProgressBar* progress_ = nullptr;
    int mode_ = -1;
    std::jthread timeStampCheck_;
};

}  // namespace orbis
