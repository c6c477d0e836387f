#include "gui/uMain.h"

#include <QAbstractSlider>
#include <QAction>
#include <QCalendarWidget>
#include <QDate>
#include <QEvent>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QSaveFile>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QCloseEvent>
#include <algorithm>
#include <iostream>

#include "capture/media/uTimeStamp.h"
#include "gui/uConfigurationDialog.h"
#include "gui/uPhotoPage.h"
#include "gui/uQtNotifier.h"
#include "gui/uRecordPage.h"
#include "gui/uVideoPage.h"
#include "gui/uVideoWidget.h"

namespace orbis {
namespace {

// Places the progress bar again whenever its status bar is laid out.
class TProgressPlacer final : public QObject {
public:
    TProgressPlacer(QProgressBar* bar, QWidget* panel) : QObject(bar), bar_(bar), panel_(panel) {}
    void place() { bar_->setGeometry(statusProgressGeometry(panel_->geometry(), bar_->parentWidget()->size())); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move || event->type() == QEvent::Show) place();
        return false;
    }

private:
    QProgressBar* bar_;
    QWidget* panel_;
};

// A menu item; its caption is marked for translation where it is given.
QAction* item(QMenu* menu, const char* name, const char* caption) {
    QAction* a = menu->addAction(QCoreApplication::translate("orbis::TMainWindow", caption));
    a->setObjectName(name);
    return a;
}

QAction* separator(QMenu* menu, const char* name) {
    // No text: a style may draw a separator's text as a section title.
    QAction* a = menu->addSeparator();
    a->setObjectName(name);
    return a;
}

// A page in its own scroll area, so no page's height sets the window's
// least size: a screen too low for a page scrolls it instead.
QScrollArea* scrolled(QWidget* page) {
    auto* area = new QScrollArea;
    area->setObjectName(page->objectName() + "Scroll");
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    area->setWidget(page);
    return area;
}

// One line per named control or menu item shown on the screen: its name,
// its place and size on the screen, whether it is enabled, and for a
// slider its value.
QString controlsOnScreen() {
    QString text;
    const auto line = [&](const QString& name, QRect screen, bool enabled, const QString& value = {}) {
        text += QString("%1 %2 %3 %4 %5 %6%7\n")
                    .arg(name)
                    .arg(screen.x())
                    .arg(screen.y())
                    .arg(screen.width())
                    .arg(screen.height())
                    .arg(enabled ? 1 : 0)
                    .arg(value.isEmpty() ? QString() : " " + value);
    };
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        QList<QWidget*> widgets = top->findChildren<QWidget*>();
        widgets.prepend(top);
        for (QWidget* w : widgets) {
            if (!w->isVisible()) continue;
            if (!w->objectName().isEmpty()) {
                const auto* slider = qobject_cast<QAbstractSlider*>(w);
                line(w->objectName(), QRect(w->mapToGlobal(QPoint(0, 0)), w->size()), w->isEnabled(),
                     slider ? QString::number(slider->value()) : QString());
            }
            const auto items = [&](auto* holder) {
                for (QAction* a : holder->actions())
                    if (!a->objectName().isEmpty() && a->isVisible() && !a->isSeparator()) {
                        const QRect r = holder->actionGeometry(a);
                        line(a->objectName(), QRect(w->mapToGlobal(r.topLeft()), r.size()), a->isEnabled());
                    }
            };
            if (auto* bar = qobject_cast<QMenuBar*>(w)) items(bar);
            if (auto* menu = qobject_cast<QMenu*>(w)) items(menu);
        }
    }
    return text;
}

// A warning of the settings store in the window's words.
std::string warningText(const TCatalogue& catalogue, const TDiagnostic& warning) { return catalogue.text(warning); }

}  // namespace

std::array<int, kStatusPanelCount> statusPanelWidths(const QFontMetrics& font) {
    const auto fit = [&](const char* text, int least) {
        return std::max(least, font.horizontalAdvance(QCoreApplication::translate("orbis::TMainWindow", text)) + 12);
    };
    return {fit("9999,9999", 130), fit("Capture: Video, YUY2, 1920x1080, 16 bit", 230),
            fit("Samples Per Second: 25 Time Length: 99,96 s", 230), 120, fit(QT_TRANSLATE_NOOP("orbis::TMainWindow", "Уточнение центра кадра"), 120)};
}

QRect statusProgressGeometry(const QRect& panel, QSize bar) {
    return {panel.left(), 2, bar.width() - panel.left() - 15, bar.height() - 2};
}

QProgressBar* CreateStatusProgressBar(QStatusBar* statusBar, QWidget* panel) {
    // A child the status bar's layout does not manage: it lies over the panel.
    auto* bar = new QProgressBar(statusBar);
    bar->hide();
    auto* placer = new TProgressPlacer(bar, panel);
    statusBar->installEventFilter(placer);
    panel->installEventFilter(placer);
    placer->place();
    return bar;
}

TMainWindow::TMainWindow(TMainWindowOptions options) : options_(std::move(options)) {
    setObjectName("Form1");
    setWindowTitle("Orbisight");
    resize(1017, 743);
    buildStatusBar();
    notifier_ = std::make_unique<TQtNotifier>(
        this, [this](const QString& text) { setStatusPanel(kStagePanel, text); }, progress_, options_.language);
    buildMenu();
    buildToolBar();
    buildPages();
    reloadConfiguration();
    if (options_.checkTimeStamp) {
        // Up to 3 s of waiting for the element: the window is usable meanwhile,
        // the messages come through the notifier.
        timeStampCheck_ = std::jthread([this] { ensureTimeStampElement(options_.programDirectory, *notifier_); });
    }
    qApp->installEventFilter(this);
    N5Click(kPhotoPage);
    // For scripts that drive the window under X (scripts/gui-session): where
    // every named control is, rewritten four times a second.
    if (const QString file = qEnvironmentVariable("ORBISIGHT_CONTROLS_FILE"); !file.isEmpty()) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [file] {
            QSaveFile out(file);
            if (out.open(QIODevice::WriteOnly)) {
                out.write(controlsOnScreen().toUtf8());
                out.commit();
            }
        });
        timer->start(250);
    }
}

bool TMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::KeyRelease || event->type() == QEvent::KeyPress) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The press of a key the page handles is swallowed too, so a focused
        // button does not act on it as well.
        if (event->type() == QEvent::KeyRelease) return !key->isAutoRepeat() && photo_->FormKeyUp(key->key(), key->modifiers());
        switch (key->key()) {
            case Qt::Key_Backspace:
            case Qt::Key_Space:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                return true;
            case Qt::Key_Escape:
                return photo_->marking();
            default:
                return false;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    if (!photo_->processing()) {
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    if (closing_) return;
    closing_ = true;
    // Nobody is left to answer a box: what the work still says goes to the
    // standard error.
    notifier_->setMessageHandler([](const std::string& caption, const std::string& text, MessageIcon) {
        std::cerr << "orbisight: " << caption << ": " << text << "\n";
    });
    notifier_->setQuestionHandler([](const std::string&, const std::string&) { return false; });
    photo_->stopWork();
    hide();
    connect(photo_, &TPhotoPage::workEnded, this, &QWidget::close, Qt::QueuedConnection);
}

TMainWindow::~TMainWindow() {
    if (timeStampCheck_.joinable()) timeStampCheck_.join();
    // The session ends before the notifier and the video widget it uses.
    qApp->removeEventFilter(this);
    record_->leave();
    delete record_;
    record_ = nullptr;
    // A processing run or an intake ends before the notifier it reports to.
    delete photo_;
    photo_ = nullptr;
    delete videoPage_;
    videoPage_ = nullptr;
}

void TMainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* file = bar->addMenu(tr("Файл"));
    file->menuAction()->setObjectName("N1");
    const auto modeItem = [&](const char* name, const char* caption, int page) {
        QAction* a = item(file, name, caption);
        a->setData(page);
        connect(a, &QAction::triggered, this, [this, page] { N5Click(page); });
    };
    modeItem("N5", QT_TR_NOOP("Камера"), kRecordPage);
    modeItem("N6", QT_TR_NOOP("Открыть фото"), kPhotoPage);
    modeItem("N26", QT_TR_NOOP("Открыть видео"), kVideoPage);
    separator(file, "N7");
    item(file, "N23", QT_TR_NOOP("Сохранить"))->setVisible(false);
    separator(file, "N24")->setVisible(false);
    connect(item(file, "N8", QT_TR_NOOP("Выход")), &QAction::triggered, this, &QWidget::close);

    QMenu* operations = bar->addMenu(tr("Операции"));
    operations->menuAction()->setObjectName("N3");
    item(operations, "N2", QT_TR_NOOP("Астрометрия"))->setVisible(false);
    item(operations, "N9", QT_TR_NOOP("Фотометрия"))->setVisible(false);
    item(operations, "N10", QT_TR_NOOP("Сохранить отчёт"))->setVisible(false);
    separator(operations, "N11")->setVisible(false);
    // On the night of the photo page's calendar.
    item(operations, "N12", QT_TR_NOOP("Сводка за сутки"));
    QMenu* ufo = operations->addMenu(tr("Экспорт данных UFO"));
    ufo->menuAction()->setObjectName("UFO1");
    item(ufo, "R901", QT_TR_NOOP("Сводка за сутки (R90)"));
    item(ufo, "R902", QT_TR_NOOP("Сводка за месяц (R90)"));

    QAction* settings = bar->addAction(tr("Настройка"));
    settings->setObjectName("N4");
    connect(settings, &QAction::triggered, this, &TMainWindow::N4Click);
    QAction* aboutItem = bar->addAction(tr("О программе"));
    aboutItem->setObjectName("N27");
    connect(aboutItem, &QAction::triggered, this, &TMainWindow::about);
}

void TMainWindow::buildToolBar() {
    QToolBar* tools = addToolBar("ToolBar1");
    tools->setObjectName("ToolBar1");
    tools->setMovable(false);
    const auto button = [&](const char* name, const char* hint, const char* menuItem) {
        auto* b = new QToolButton;
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setText(tr(hint));
        b->setToolTip(tr(hint));
        QAction* placed = tools->addWidget(b);
        if (QAction* a = *menuItem ? menuBar()->findChild<QAction*>(menuItem) : nullptr) connect(b, &QToolButton::clicked, a, &QAction::trigger);
        return placed;
    };
    button("SpeedButton2", QT_TR_NOOP("Захват видео"), "N5");
    button("SpeedButton1", QT_TR_NOOP("Открыть файл"), "N6");
    button("SpeedButton5", QT_TR_NOOP("Открыть видео"), "N26");
    button("SpeedButton6", QT_TR_NOOP("Сохранить файл"), "")->setVisible(false);  // hidden and inert
}

void TMainWindow::buildPages() {
    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    pcWorkType_ = new QTabWidget;
    pcWorkType_->setObjectName("pcWorkType");
    pcWorkType_->tabBar()->hide();
    layout->addWidget(pcWorkType_);

    auto* area = new QScrollArea;
    area->setObjectName("ScrollBox1");
    auto* surface = new QWidget;
    auto* surfaceLayout = new QVBoxLayout(surface);
    video_ = new TVideoWidget;
    video_->hide();
    surfaceLayout->addWidget(video_, 0, Qt::AlignLeft | Qt::AlignTop);
    image1_ = new TPictureView;
    image1_->hide();
    surfaceLayout->addWidget(image1_);
    surfaceLayout->addStretch();
    area->setWidget(surface);
    area->setWidgetResizable(true);
    layout->addWidget(area, 1);
    setCentralWidget(central);

    record_ = new TRecordPage(*notifier_, *video_, [this](int panel, const QString& text) { setStatusPanel(panel, text); });
    record_->setDirectories(options_.station, options_.programDirectory);
    record_->setConfiguration(&config_);
    record_->setCommandLineSource(options_.source);
    connect(record_, &TRecordPage::devicesListed, this, [this](bool any) {
        if (any) setWindowTitle(tr("Orbisight - Видеозапись"));
    });
    pcWorkType_->addTab(scrolled(record_), tr("Запись"));

    photo_ = new TPhotoPage(*notifier_, area, image1_, [this](int panel, const QString& text) { setStatusPanel(panel, text); });
    photo_->setStation(options_.station);
    photo_->setConfiguration(&config_);
    connect(photo_, &TPhotoPage::captionChanged, this, &QWidget::setWindowTitle);
    pcWorkType_->addTab(scrolled(photo_), tr("Фото"));
    const auto night = [this](const char* name, void (TPhotoPage::*handler)()) {
        connect(menuBar()->findChild<QAction*>(name), &QAction::triggered, photo_, handler);
    };
    night("N12", &TPhotoPage::N12Click);
    night("R901", &TPhotoPage::R901Click);
    night("R902", &TPhotoPage::R902Click);

    videoPage_ = new TVideoPage(*notifier_, *video_, [this](int panel, const QString& text) { setStatusPanel(panel, text); });
    videoPage_->setFolderStart(options_.station);
    connect(videoPage_, &TVideoPage::captionChanged, this, &QWidget::setWindowTitle);
    // From a clip taken into work straight to marking its track.
    connect(videoPage_, &TVideoPage::markTrackRequested, this, [this](const QString& event) {
        N5Click(kPhotoPage);
        if (!photo_->showEvent(event.toStdString()))
            notifier_->report(
                TDiagnostic(Code::NotAnEventOfTheStation, Severity::Notice).with("folder", event.toStdString()));
    });
    pcWorkType_->addTab(scrolled(videoPage_), tr("Видео"));

    // The column is as wide as its widest page (the calendar's seven
    // columns), with room for a vertical scroll bar, and keeps that width
    // in every mode.
    int widest = 200;
    for (QWidget* page : std::initializer_list<QWidget*>{record_, photo_, videoPage_})
        widest = std::max(widest, page->minimumSizeHint().width());
    pcWorkType_->setFixedWidth(widest + pcWorkType_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8);
}

void TMainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    const std::array<int, kStatusPanelCount> widths = statusPanelWidths(bar->fontMetrics());
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel;
        panels_[i]->setObjectName(QString("StatusPanel%1").arg(i + 1));
        panels_[i]->setFixedWidth(widths[i]);
    }
    // The stage's caption stands before the progress bar it goes with and
    // takes the width the others leave.
    panels_[kStagePanel - 1]->setMinimumWidth(widths[kStagePanel - 1]);
    panels_[kStagePanel - 1]->setMaximumWidth(QWIDGETSIZE_MAX);
    for (int panel : {1, 2, 3, kStagePanel, kProgressPanel})
        bar->addWidget(panels_[panel - 1], panel == kStagePanel ? 1 : 0);
    progress_ = CreateStatusProgressBar(bar, panels_[kProgressPanel - 1]);
    progress_->setObjectName("ProgressBar1");
}

void TMainWindow::setStatusPanel(int panel, const QString& text) {
    if (panel < 1 || panel > static_cast<int>(panels_.size())) return;
    panels_[panel - 1]->setText(text);
    // The panels keep their widths; a text longer than its panel is whole here.
    panels_[panel - 1]->setToolTip(text);
}

QString TMainWindow::statusPanel(int panel) const {
    return panel >= 1 && panel <= static_cast<int>(panels_.size()) ? panels_[panel - 1]->text() : QString();
}

void TMainWindow::setPowerOffAction(std::function<void()> action) { record_->setPowerOffAction(std::move(action)); }

int TMainWindow::mode() const { return pcWorkType_->currentIndex(); }

void TMainWindow::N5Click(int page) {
    switch (mode_) {
        case kRecordPage:
            record_->leave();
            video_->hide();
            break;
        case kPhotoPage:
            photo_->leave();
            // The video page's folder chooser starts at the night browsed here.
            videoPage_->setFolderStart(photo_->nightDirectory());
            break;
        case kVideoPage:
            videoPage_->leave();
            break;
        default:
            break;
    }
    setStatusPanel(2, {});
    setStatusPanel(3, {});
    mode_ = page;
    pcWorkType_->setCurrentIndex(page);
    if (page == kRecordPage) record_->enter();
    if (page == kPhotoPage) photo_->enter();
    if (page == kVideoPage) videoPage_->enter();
}

void TMainWindow::reloadConfiguration() {
    try {
        TConfiguration fresh;
        fresh.load(iniFilePath(options_.station));
        config_ = std::move(fresh);
        // Values that fell back to their default are said, as the command line does.
        if (!config_.warnings().empty()) {
            std::string text;
            for (const auto& w : config_.warnings()) {
                if (!text.empty()) text += '\n';
                text += warningText(notifier_->catalogue(), w);
            }
            notifier_->message("Orbisight", text, MessageIcon::Warning);
        }
    } catch (const std::exception& e) {
        // The settings loaded before stay.
        notifier_->showFailure(e);
    }
}

void TMainWindow::N4Click() {
    {
        TfrmConfiguration dialog(options_.station, *notifier_, this);
        dialog.exec();
    }
    // OK or not: the file is what the dialog leaves behind.
    reloadConfiguration();
}

void TMainWindow::about() {
    notifier_->message(tr("О программе").toStdString(),
                       tr("Orbisight %1\nСтанционная программа видеокамеры метеорного патруля.")
                           .arg(ORBISIGHT_VERSION)
                           .toStdString(),
                       MessageIcon::Information);
}

}  // namespace orbis
