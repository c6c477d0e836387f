// The desktop program's window, driven through its real widgets under the
// offscreen platform. Sessions run on videotestsrc; no camera, display or
// network is needed, and the power-off is a counter.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTimer>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "capture/uAviFile.h"
#include "gui/uMain.h"
#include "gui/uPhotoPage.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"
#include "gui/uVideoPage.h"
#include "gui/uQtNotifier.h"
#include "gui/uRecordPage.h"
#include "gui/uVideoWidget.h"

using namespace orbis;
namespace fs = std::filesystem;

namespace {

struct Message {
    std::string caption, text;
};

// A station folder, its settings, and a window over it that lists no camera
// of the machine, only the given source.
struct Fixture {
    test::TempDir station;
    std::unique_ptr<TMainWindow> window;
    std::vector<Message> messages;
    int powerOffs = 0;

    explicit Fixture(std::optional<std::string> source = std::nullopt, const TConfiguration& config = {}) {
        config.save(iniFilePath(station.path()));
        TMainWindowOptions options;
        options.station = options.programDirectory = station.str();
        options.source = std::move(source);
        options.checkTimeStamp = false;
        window = std::make_unique<TMainWindow>(options);
        window->notifier().setMessageHandler(
            [this](const std::string& caption, const std::string& text, MessageIcon) { messages.push_back({caption, text}); });
        window->setPowerOffAction([this] { ++powerOffs; });
        window->recordPage().setDeviceLister([] { return std::vector<TMediaDevice>{}; });
        window->videoPage().setFolderChooser([](const QString&, const std::string&) { return std::nullopt; });
    }
    template <class T>
    T* find(const char* name) const {
        return window->findChild<T*>(name);
    }
    QAction* action(const char* name) const { return window->menuBar()->findChild<QAction*>(name); }
    // Enters the recording page; false when its device list did not come.
    [[nodiscard]] bool enterRecording() {
        action("N5")->trigger();
        return QTest::qWaitFor([&] { return find<QComboBox>("cbCapt")->count() > 0; }, 5000);
    }
    // Runs a session in the given way until its source ends by itself; what
    // it ended with, or nothing when it did not end.
    std::optional<TLiveStationEnd> recordToEnd(bool preview, bool detect) {
        if (!enterRecording()) return std::nullopt;
        find<QCheckBox>("cbPreview")->setChecked(preview);
        find<QCheckBox>("cbDetect")->setChecked(detect);
        find<QPushButton>("bbRecStart")->click();
        if (!QTest::qWaitFor([&] { return window->recordPage().lastEnd().has_value(); }, 20000)) return std::nullopt;
        return window->recordPage().lastEnd();
    }
    std::vector<fs::path> avis() const {
        std::vector<fs::path> found;
        for (const auto& e : fs::recursive_directory_iterator(station.path()))
            if (e.path().extension() == ".avi") found.push_back(e.path());
        return found;
    }
};

const char* const kBall = "videotestsrc pattern=ball num-buffers=150 ! video/x-raw,format=YUY2,width=320,height=240,framerate=25/1";

}  // namespace

class TestGui : public QObject {
    Q_OBJECT
private slots:
    void startsInPhotoModeWithTheMenuOfTheWindow() {
        Fixture f;
        QCOMPARE(f.window->mode(), int(kPhotoPage));
        QCOMPARE(f.window->windowTitle(), QString("Orbisight"));
        QCOMPARE(f.window->size(), QSize(1017, 743));
        QVERIFY(f.find<QTabWidget>("pcWorkType")->tabBar()->isHidden());
        const struct {
            const char* name;
            const char* caption;
            bool visible;
        } items[] = {{"N5", "Камера", true},         {"N6", "Открыть фото", true},
                     {"N26", "Открыть видео", true}, {"N7", "", true},
                     {"N23", "Сохранить", false},    {"N24", "", false},
                     {"N8", "Выход", true},          {"N2", "Астрометрия", false},
                     {"N9", "Фотометрия", false},    {"N10", "Сохранить отчёт", false},
                     {"N11", "", false},             {"N12", "Сводка за сутки", true},
                     {"R901", "Сводка за сутки (R90)", true}, {"R902", "Сводка за месяц (R90)", true},
                     {"N4", "Настройка", true},      {"N27", "О программе", true},
                     {"N1", "Файл", true},           {"N3", "Операции", true},
                     {"UFO1", "Экспорт данных UFO", true}};
        for (const auto& i : items) {
            QAction* a = f.action(i.name);
            QVERIFY2(a, i.name);
            // A separator has no text, which some styles would draw.
            QCOMPARE(a->text(), QString::fromUtf8(i.caption));
            QVERIFY2(a->isSeparator() == !*i.caption, i.name);
            QVERIFY2(a->isVisible() == i.visible, i.name);
        }
        QCOMPARE(f.find<QToolButton>("SpeedButton2")->toolTip(), QString::fromUtf8("Захват видео"));
        QVERIFY(!f.find<QToolButton>("SpeedButton6")->isVisibleTo(f.window.get()));
        QVERIFY(f.messages.empty());

        f.action("N27")->trigger();
        QCOMPARE(f.messages.size(), std::size_t(1));
        QCOMPARE(f.messages[0].caption, std::string("О программе"));
    }

    void switchesModesByMenuAndToolButtons() {
        Fixture f;
        f.action("N5")->trigger();
        QCOMPARE(f.window->mode(), int(kRecordPage));
        f.find<QToolButton>("SpeedButton5")->click();
        QCOMPARE(f.window->mode(), int(kVideoPage));
        f.find<QToolButton>("SpeedButton2")->click();
        QCOMPARE(f.window->mode(), int(kRecordPage));
        f.find<QToolButton>("SpeedButton1")->click();
        QCOMPARE(f.window->mode(), int(kPhotoPage));
        f.action("N26")->trigger();
        QCOMPARE(f.window->mode(), int(kVideoPage));
    }

    void withoutASourceEveryRecordingControlIsDisabled() {
        Fixture f;
        QVERIFY(f.enterRecording());
        auto* capt = f.find<QComboBox>("cbCapt");
        QCOMPARE(capt->count(), 1);
        QCOMPARE(capt->currentText(), QString::fromUtf8("Нет источника видео"));
        for (const char* name : {"cbCapt", "tbBri", "tbCon", "tbSatur", "tbGamma", "cbVidColor", "bDefVideo",
                                 "bCamSetting", "bbRecStart", "bbRecPause", "bbRecStop", "tbExposit", "cbExposit"})
            QVERIFY2(!f.find<QWidget>(name)->isEnabled(), name);
        QCOMPARE(f.window->windowTitle(), QString("Orbisight"));
        f.window->recordPage().startSession();
        f.window->recordPage().stopSession();
        QVERIFY(!f.window->recordPage().starting() && !f.window->recordPage().lastEnd());
    }

    void aTestSourceHasNoCameraControls() {
        Fixture f(kBall);
        QVERIFY(f.enterRecording());
        QCOMPARE(f.window->windowTitle(), QString::fromUtf8("Orbisight - Видеозапись"));
        QCOMPARE(f.find<QComboBox>("cbCapt")->currentText(), QString(kBall));
        for (const char* name : {"cbCapt", "bCamSetting", "bbRecStart", "bbRecPause", "bbRecStop"})
            QVERIFY2(f.find<QWidget>(name)->isEnabled(), name);
        for (const char* name : {"tbBri", "tbCon", "tbSatur", "tbGamma", "cbVidColor", "bDefVideo", "cbVideoIn", "tbExposit"})
            QVERIFY2(!f.find<QWidget>(name)->isEnabled(), name);
        QVERIFY(f.find<QCheckBox>("cbExposit")->isChecked());

        // A slider the camera lacks looks so: greyed, and so is its caption.
        for (const char* name : {"tbBri", "tbCon", "tbSatur", "tbGamma", "tbExposit"}) {
            auto* slider = f.find<QSlider>(name);
            QLabel* caption = nullptr;
            for (QLabel* label : f.window->findChildren<QLabel*>())
                if (label->buddy() == slider) caption = label;
            QVERIFY2(caption && !caption->isEnabled(), name);
            const QImage disabled = slider->grab().toImage();
            slider->setEnabled(true);
            QVERIFY2(caption->isEnabled(), name);
            QVERIFY2(slider->grab().toImage() != disabled, name);
            slider->setEnabled(false);
        }

        // "Параметры захвата" lists what the source's description can give.
        QStringList offered;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            auto* list = dialog->findChild<QListWidget*>("lbFormats");
            for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
            const QList<QListWidgetItem*> yuy2 = list->findItems("YUY2 320x240 25", Qt::MatchExactly);
            if (!yuy2.isEmpty()) list->setCurrentItem(yuy2.front());
            dialog->accept();
        });
        f.find<QPushButton>("bCamSetting")->click();
        QVERIFY2(offered.contains("YUY2 320x240 25"), qPrintable(offered.join("; ")));
        QCOMPARE(offered.size(), 1);  // the description fixes format, size and rate
        QVERIFY(f.window->recordPage().chosenFormat());
        QCOMPARE(formatSpecText(*f.window->recordPage().chosenFormat()), std::string("YUY2 320x240 25"));
    }

    void theStatusPanelsShowTheirTextsWholeAndTheProgressBarItsOwn() {
        QCOMPARE(statusProgressGeometry(QRect(748, 0, 120, 20), QSize(1009, 20)), QRect(748, 2, 246, 18));
        Fixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        // The longest texts each panel shows in the day's work, at the default font.
        const struct {
            int panel;
            const char* text;
        } texts[] = {{1, "1279,959"},
                     {2, "Capture: Video, YUY2, 720x576, 16 bit"},
                     {2, "Video: 640x480, 250 frames"},
                     {3, "Samples Per Second: 25 Time Length: 10,24 s"},
                     {3, "Rate: 25 frames/sec"},
                     {kStagePanel, "Уточнение центра кадра"},
                     {kStagePanel, "Привязка координат"}};
        for (const auto& t : texts) {
            f.window->setStatusPanel(t.panel, QString::fromUtf8(t.text));
            auto* label = f.find<QLabel>(qPrintable(QString("StatusPanel%1").arg(t.panel)));
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(), t.text);
        }
        // The bar lies over the fourth panel, right of the stage's caption.
        QProgressBar* bar = f.window->progressBar();
        const QRect progressPanel = f.find<QWidget>("StatusPanel4")->geometry();
        QTRY_COMPARE(bar->geometry().left(), progressPanel.left());
        QCOMPARE(bar->height(), f.window->statusBar()->height() - 2);
        QVERIFY(f.find<QWidget>("StatusPanel5")->geometry().right() < bar->geometry().left());
        QVERIFY(bar->isHidden());
        f.window->notifier().progressShow(10);
        QVERIFY(bar->isVisible());
    }

    void markTrackOpensTheEventOfTheClipShown() {
        Fixture f;
        const fs::path night = f.station.path() / "20240812";
        fs::create_directories(night);
        for (const char* clip : {"213045_120.avi", "213100_000.avi", "213200_000.avi"}) {
            TAviWriter writer((night / clip).string(), 32, 24, 8, 25);
            for (int i = 0; i < 4; ++i) writer.writeFrame(std::vector<uint8_t>(32 * 24, static_cast<uint8_t>(40 * i)));
        }
        // The third clip's event exists from an earlier morning.
        fs::create_directories(night / "213200_000");
        saveGreyBitmap(std::vector<uint8_t>(32 * 24, 9), 32, 24, frameFileName((night / "213200_000").string(), 1));
        TVideoPage& video = f.window->videoPage();
        video.setFolderChooser([&](const QString&, const std::string&) { return night.string(); });
        std::vector<QString> opened;
        connect(&video, &TVideoPage::markTrackRequested, [&](const QString& event) { opened.push_back(event); });
        auto* mark = f.find<QPushButton>("bbMarkTrack");
        f.action("N26")->trigger();
        QVERIFY(!mark->isEnabled());  // no event directory yet

        // Clip A into work, then step to B, never taken: nothing to mark there.
        video.bbProcessVideoClick();
        QVERIFY(QTest::qWaitFor([&] { return !video.takingIntoWork(); }, 20000));
        QVERIFY(mark->isEnabled());
        video.bbAVIForwardClick();
        QVERIFY(!mark->isEnabled());
        video.bbMarkTrackClick();
        QVERIFY(opened.empty());
        // C has its event: the button opens C, and back on A it opens A.
        video.bbAVIForwardClick();
        QVERIFY(mark->isEnabled());
        mark->click();
        QCOMPARE(f.window->mode(), int(kPhotoPage));
        QCOMPARE(f.window->photoPage().browser().eventDirectory(), (night / "213200_000").string());
        f.action("N26")->trigger();  // the folder again, from its first clip
        QCOMPARE(video.browser().index(), 0);
        QVERIFY(mark->isEnabled());
        mark->click();
        QCOMPARE(f.window->photoPage().browser().eventDirectory(), (night / "213045_120").string());
        QCOMPARE(opened.size(), std::size_t(2));
        QVERIFY(f.messages.empty());
    }

    void settingsAreReadAgainFromTheFile() {
        Fixture f;
        QVERIFY(!f.window->configuration().useLogFile());
        TConfiguration changed;
        changed.setUseLogFile(true);
        changed.save(iniFilePath(f.station.path()));
        // The dialog opens over the window; cancelled, the file is read again.
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog && dialog->objectName() == "frmConfiguration") dialog->findChild<QPushButton*>("BitBtn2")->click();
        });
        f.action("N4")->trigger();
        QVERIFY(f.window->configuration().useLogFile());
        // OK saves what the dialog shows, and the window takes it.
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->findChild<QLineEdit*>("leObserver")->setText("Иванов");
            dialog->findChild<QPushButton*>("BitBtn1")->click();
        });
        f.action("N4")->trigger();
        QCOMPARE(f.window->configuration().observer(), std::string("Иванов"));
        QVERIFY(f.window->configuration().useLogFile());

        // A whole number that is no number falls back to its default, and the window says so.
        std::string text = readFileBytes(iniFilePath(f.station.path()));
        const std::size_t at = text.find("autoShutDownLevel=");
        QVERIFY(at != std::string::npos);
        text.insert(at + std::string("autoShutDownLevel=").size(), "x");
        writeFileAtomically(iniFilePath(f.station.path()), text);
        f.messages.clear();
        f.window->reloadConfiguration();
        QCOMPARE(f.messages.size(), std::size_t(1));
        QVERIFY(f.messages[0].text.find("autoShutDownLevel") != std::string::npos);
    }

    void detectionWritesAClipOfTheMovingBall() {
        Fixture f(kBall);
        const std::optional<TLiveStationEnd> end = f.recordToEnd(false, true);
        QVERIFY(end && !end->clips.empty());
        for (const TWrittenClip& c : end->clips) QVERIFY(c.complete && fs::is_regular_file(c.fileName));
        QCOMPARE(f.avis().size(), end->clips.size());
        QCOMPARE(f.window->statusPanel(2), QString("Capture: Video, YUY2, 320x240, 16 bit"));
        QCOMPARE(f.window->statusPanel(3), QString("Rate: 25 frames/sec"));
        QVERIFY(QRegularExpression("^\\d+\\+\\d+$").match(f.find<QLabel>("lNoiseLevel")->text()).hasMatch());
        QVERIFY(f.find<QPushButton>("bbRecStart")->isEnabled());
        QVERIFY(f.messages.empty());
    }

    void plainRecordingWritesOneFileAndPreviewNothing() {
        Fixture f("videotestsrc pattern=ball num-buffers=40 ! video/x-raw,format=YUY2,width=160,height=120,framerate=25/1");
        const std::optional<TLiveStationEnd> recorded = f.recordToEnd(false, false);
        QVERIFY(recorded && recorded->clips.empty() && recorded->recordingFinished);
        QCOMPARE(f.avis().size(), std::size_t(1));
        fs::remove(f.avis().front());
        f.window->recordPage().leave();
        QVERIFY(f.recordToEnd(true, true));
        QVERIFY(f.avis().empty());
        QVERIFY(f.messages.empty());
    }

    void pauseResumeAndStopAreLogged() {
        TConfiguration config;
        config.setUseLogFile(true);
        Fixture f("videotestsrc is-live=true pattern=ball ! video/x-raw,format=GRAY8,width=160,height=120,framerate=25/1",
                  config);
        QVERIFY(f.enterRecording());
        TRecordPage& page = f.window->recordPage();
        f.find<QPushButton>("bbRecStart")->click();
        QTRY_VERIFY_WITH_TIMEOUT(page.sessionRunning(), 10000);
        QVERIFY(!f.find<QPushButton>("bbRecStart")->isEnabled() && !f.find<QCheckBox>("cbDetect")->isEnabled());
        QTRY_VERIFY(f.window->videoWidget().framesShown() > 0);
        f.find<QPushButton>("bbRecPause")->click();
        QVERIFY(page.sessionPaused());
        f.find<QPushButton>("bbRecPause")->click();
        QVERIFY(!page.sessionPaused());
        f.find<QPushButton>("bbRecStop")->click();
        QVERIFY(!page.sessionRunning());
        QTRY_VERIFY(!page.stopping());
        QVERIFY(f.find<QPushButton>("bbRecStart")->isEnabled());
        QCOMPARE(f.find<QLabel>("lLevel")->text(), QString());

        const std::vector<std::string> lines = readTextLines(f.station / "Orbisight.log");
        QCOMPARE(lines.size(), std::size_t(5));
        QVERIFY(lines[0].empty());
        const char* const words[] = {" Запись", " Пауза", " Запись", " Стоп"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(lines[i + 1].size(), std::string("05.08.2015 23:14:07").size() + std::string(words[i]).size());
            QVERIFY2(lines[i + 1].ends_with(words[i]), lines[i + 1].c_str());
        }
    }

    void stoppingARecordingLeavesTheWindowTurning() {
        // Every frame takes 0.2 s to pass: the end of the stream reaches the
        // file only after the frames before it.
        Fixture f("videotestsrc is-live=true pattern=ball ! identity sleep-time=200000 ! "
                  "video/x-raw,format=GRAY8,width=160,height=120,framerate=25/1");
        QVERIFY(f.enterRecording());
        TRecordPage& page = f.window->recordPage();
        f.find<QCheckBox>("cbDetect")->setChecked(false);
        f.find<QPushButton>("bbRecStart")->click();
        QTRY_VERIFY_WITH_TIMEOUT(page.sessionRunning(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(f.window->videoWidget().framesShown() > 0, 5000);
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(10);
        f.find<QPushButton>("bbRecStop")->click();
        QVERIFY(page.stopping());
        QVERIFY(!f.find<QPushButton>("bbRecStart")->isEnabled() && !f.find<QPushButton>("bbRecStop")->isEnabled());
        const int before = ticks;
        QTRY_VERIFY_WITH_TIMEOUT(page.lastEnd().has_value(), 20000);
        QVERIFY2(ticks - before >= 5, std::to_string(ticks - before).c_str());
        QVERIFY(page.lastEnd()->recordingFinished);
        QVERIFY(f.find<QPushButton>("bbRecStart")->isEnabled());
        QCOMPARE(f.avis().size(), std::size_t(1));
        QVERIFY(f.messages.empty());
    }

    void aBrightSkyPowersOffOnce() {
        TConfiguration config;
        config.setUseAutoShutDown(true);
        config.setAutoShutDownLevel(180);
        Fixture f("videotestsrc pattern=white num-buffers=100 ! video/x-raw,format=YUY2,width=160,height=120,framerate=25/1",
                  config);
        QVERIFY(f.recordToEnd(false, true));
        QCOMPARE(f.powerOffs, 1);
        QVERIFY(!f.window->recordPage().sessionRunning());
    }

    void aSourceThatCannotBeMadeIsAMessage() {
        Fixture f("nosuchelement ! fakesink");
        QVERIFY(f.enterRecording());
        f.find<QPushButton>("bbRecStart")->click();
        QTRY_COMPARE(f.messages.size(), std::size_t(1));
        QCOMPARE(f.messages[0].caption, std::string("Orbisight"));
        QVERIFY(!f.window->recordPage().sessionRunning());
        QVERIFY(f.find<QPushButton>("bbRecStart")->isEnabled());
    }
};

QTEST_MAIN(TestGui)
#include "test_gui.moc"
