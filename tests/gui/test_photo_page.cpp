// The photo page over generated nights: stepping through events and
// bitmaps, the zoom, track marking at several zoom levels, and processing
// an event from the window. Offscreen; the nights are written here.

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QPointer>
#include <QSlider>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <cmath>
#include <filesystem>
#include <random>
#include <thread>
#include <string>
#include <vector>

#include "MeteorSample.h"
#include "SeparatorScope.h"
#include "SkyEventFrames.h"
#include "TempDir.h"
#include "astro/sphlib.h"
#include "astro/timlib.h"
#include "astro/uUniUtils.h"
#include "astrometry/uStarCatalog.h"
#include "config/uConfiguration.h"
#include "gui/uMain.h"
#include "gui/uPhotoPage.h"
#include "gui/uQtNotifier.h"
#include "gui/uRussianWindow.h"
#include "gui/uVideoPage.h"
#include "measurement/uTrack.h"
#include "measurement/uTrackProposal.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"
#include "station/uEventProcessing.h"
#include "station/uNightProcessing.h"

using namespace orbis;
namespace fs = std::filesystem;

namespace {

constexpr int kW = 640, kH = 240;
constexpr int kStarX = 305, kStarY = 125;  // from the top of the frame file

// A frame of level 20 with a 3 x 3 star of 200 at (kStarX, kStarY).
void writeFrame(const std::string& path) {
    std::vector<uint8_t> pixels(kW * kH, 20);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) pixels[(kH - 1 - (kStarY + dy)) * kW + kStarX + dx] = 200;
    saveGreyBitmap(pixels, kW, kH, path);
}


struct Fixture {
    test::TempDir station;
    std::unique_ptr<TMainWindow> window;
    std::vector<std::string> messages;
    QDate night{2024, 8, 12};

    explicit Fixture(const TConfiguration& config = {}, Language language = Language::Russian) {
        config.save(iniFilePath(station.path()));
        // Night 20240812: three frames, an event without bitmaps, and one
        // with a frame and a picture that is no bitmap.
        const std::string dir = (station.path() / "20240812").string();
        for (const char* event : {"/200000_000", "/210000_000", "/220000_000"}) fs::create_directories(dir + event);
        for (int f = 1; f <= 3; ++f) writeFrame(frameFileName(dir + "/200000_000", f));
        writeFrame(frameFileName(dir + "/220000_000", 1));
        writeTextLines(dir + "/220000_000/F002.bmp", std::vector<std::string>{"no bitmap"});
        writeFrame(frameFileName(dir + "/220000_000", 3));
        TMainWindowOptions options;
        options.station = options.programDirectory = station.str();
        options.checkTimeStamp = false;
        options.language = language;
        window = std::make_unique<TMainWindow>(options);
        window->notifier().setMessageHandler(
            [this](const std::string&, const std::string& text, MessageIcon) { messages.push_back(text); });
    }
    template <class T>
    T* find(const char* name) const {
        return window->findChild<T*>(name);
    }
    TPhotoPage& page() { return window->photoPage(); }
    QString caption() const { return find<QLabel>("Label3")->text(); }
    void chooseNight(QDate date) {
        find<QCalendarWidget>("MC1")->setSelectedDate(date);
        page().MC1Click();
    }
    void click(const char* button) { find<QPushButton>(button)->click(); }
    // Clicks Image1 where picture pixel (x, y) is shown at zoom position z.
    void clickPixel(int z, int x, int y) {
        find<QSlider>("gbZoom")->setValue(z);
        const double s = std::pow(10.0, z / 100.0);
        QTest::mouseClick(find<TPictureView>("Image1"), Qt::LeftButton, {},
                          QPoint(static_cast<int>((x + 0.5) * s), static_cast<int>((y + 0.5) * s)));
    }
};

QString u(const char* text) { return QString::fromUtf8(text); }

// Room a window manager's frame takes around the window: title bar and borders.
constexpr QSize kFrame(16, 40);

// Where each of the page's steady controls lies in the window.
std::vector<QRect> placesOfControls(const Fixture& f) {
    std::vector<QRect> places;
    for (const char* name : {"MC1", "bbMeteorBack", "bbBMPForward", "Label3", "gbZoom", "Image2", "bProcess",
                             "bProcessNight", "bbSelectCoords", "bbProposeTrack", "ScrollBox1"}) {
        auto* w = f.find<QWidget>(name);
        places.emplace_back(w->mapTo(f.window.get(), QPoint(0, 0)), w->size());
    }
    return places;
}

}  // namespace

class TestPhotoPage : public QObject {
    Q_OBJECT
private slots:
    void stepsThroughEventsAndFilesWithinTheirEnds() {
        Fixture f;
        f.chooseNight(f.night);
        QCOMPARE(f.caption(), u("Метеор 1(3), Кадр 1(3)"));
        QVERIFY(f.window->windowTitle().endsWith("/20240812/200000_000/F001.bmp"));
        f.click("bbBMPForward");
        f.click("bbBMPForward");
        QCOMPARE(f.caption(), u("Метеор 1(3), Кадр 3(3)"));
        QVERIFY(f.find<QPushButton>("bbBMPForward")->isEnabled());
        f.click("bbBMPForward");  // past the last: stays, button off
        QCOMPARE(f.caption(), u("Метеор 1(3), Кадр 3(3)"));
        QVERIFY(!f.find<QPushButton>("bbBMPForward")->isEnabled());
        f.click("bbBMPBack");
        QVERIFY(f.find<QPushButton>("bbBMPForward")->isEnabled());
        QCOMPARE(f.caption(), u("Метеор 1(3), Кадр 2(3)"));

        // An event without bitmaps shows nothing; a new event starts at its first file.
        f.click("bbMeteorForward");
        QCOMPARE(f.caption(), u("Метеор 0(0), Кадр 0(0)"));
        QVERIFY(f.find<TPictureView>("Image1")->picture().isNull());
        QVERIFY(!f.find<QPushButton>("bbSelectCoords")->isEnabled());
        f.click("bbMeteorForward");
        QCOMPARE(f.caption(), u("Метеор 3(3), Кадр 1(3)"));
        f.click("bbMeteorForward");
        QVERIFY(!f.find<QPushButton>("bbMeteorForward")->isEnabled());
        QCOMPARE(f.page().browser().eventIndex(), 2);

        // A file that is no bitmap says so; the next one is shown as usual.
        f.click("bbBMPForward");
        QCOMPARE(f.messages.size(), std::size_t(1));
        QCOMPARE(f.caption(), u("Метеор 0(0), Кадр 0(0)"));
        f.click("bbBMPForward");
        QCOMPARE(f.caption(), u("Метеор 3(3), Кадр 3(3)"));

        // The keys: Ctrl+Backspace the previous event, Space the next file.
        QTest::keyClick(f.find<QSlider>("gbZoom"), Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(f.caption(), u("Метеор 0(0), Кадр 0(0)"));
        QCOMPARE(f.page().browser().eventIndex(), 1);
        QTest::keyClick(f.find<QSlider>("gbZoom"), Qt::Key_Backspace, Qt::ControlModifier);
        QTest::keyClick(f.find<QSlider>("gbZoom"), Qt::Key_Space);
        QCOMPARE(f.caption(), u("Метеор 1(3), Кадр 2(3)"));

        // A night without a directory shows nothing.
        f.chooseNight(f.night.addDays(1));
        QCOMPARE(f.caption(), u("Метеор 0(0), Кадр 0(0)"));
        QVERIFY(f.find<TPictureView>("Image1")->picture().isNull());
    }

    void zoomCaptionAndScale() {
        test::SeparatorScope dot('.');
        Fixture f;
        auto* zoom = f.find<QSlider>("gbZoom");
        const struct {
            int position;
            const char* caption;
        } cases[] = {{30, "Масштаб: 199.5%"}, {-100, "Масштаб: 10.0%"}, {100, "Масштаб: 1000.0%"}, {0, "Масштаб: 100.0%"}};
        for (const auto& c : cases) {
            zoom->setValue(c.position);
            QCOMPARE(f.find<QLabel>("Label4")->text(), u(c.caption));
        }
        f.chooseNight(f.night);
        zoom->setValue(-100);
        QCOMPARE(f.find<TPictureView>("Image1")->size(), QSize(64, 24));
        QTest::keyClick(zoom, Qt::Key_PageUp);
        QCOMPARE(zoom->value(), -90);
    }

    void popUpListsAndMarkingOffTheFrames() {
        Fixture f;
        writeFrame((f.station.path() / "20240812/200000_000/M200000_000P.bmp").string());
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.chooseNight(f.night);
        auto* list = f.find<QListWidget>("lbMetBmp");
        const auto pick = [&](const char* button, int row) {
            f.click(button);
            QVERIFY(list->isVisible());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
            QVERIFY(list->isHidden());
        };
        pick("bbListSelect1", 2);
        QCOMPARE(f.caption(), u("Метеор 3(3), Кадр 1(3)"));
        pick("bbListSelect1", 0);
        f.click("bbSelectCoords");  // marking, on F001
        pick("bbListSelect2", 3);
        QCOMPARE(f.caption(), u("Метеор 1(3), Кадр 4(4)"));

        // A point on a picture that is no frame file has frame 0; a second
        // brightness measurement replaces the first.
        f.clickPixel(0, kStarX, kStarY);
        QCOMPARE(f.find<QLabel>("lMeteorStart")->text(), u("X = 305 Y = 125   Кадр: 0"));
        QTest::keyClick(f.find<QPushButton>("bbSelectCoords"), Qt::Key_3);
        f.clickPixel(0, kStarX, kStarY);
        QCOMPARE(f.find<QLabel>("lMaxBright")->text(), u("9 1800"));
        f.clickPixel(0, kStarX + 1, kStarY + 1);
        QCOMPARE(f.find<QLabel>("lMaxBright")->text(), u("9 1800"));  // the same star from another of its pixels
        f.clickPixel(0, 20, 200);
        QVERIFY(f.find<QLabel>("lMaxBright")->text() != u("9 1800"));
    }

    void processesTheMarkedEventsOfANightAndStopsWhenAsked() {
        Fixture f;
        f.chooseNight(f.night);
        auto* button = f.find<QPushButton>("bProcessNight");
        button->click();
        QCOMPARE(f.messages.back(), "В ночи " + f.page().nightDirectory() + " нет событий с отмеченным треком.");
        const fs::path night = f.station.path() / "20240812";
        for (const char* event : {"200000_000", "220000_000"})
            saveTrackFile((night / event).string(), {300, 120, 1}, {310, 125, 3}, std::nullopt);
        std::string said;
        const auto run = [&](bool stop) {
            f.messages.clear();
            button->click();
            QCOMPARE(button->text(), u("Остановить"));
            QVERIFY(!f.find<QPushButton>("bProcess")->isEnabled());
            if (stop) button->click();
            QVERIFY(QTest::qWaitFor([&] { return !f.page().processing(); }, 60000));
            QCOMPARE(button->text(), u("Обработать ночь"));
            QVERIFY(!f.messages.empty());
            said = f.messages.back();
        };
        // Frames without stars: processed, no report; the event without a track is left alone.
        run(false);
        QVERIFY2(said.find("обработано событий 2 из 2 с треком, отчётов 0, без трека пропущено 1.") != std::string::npos,
                 said.c_str());
        // Stopped: a dozen events, so the stop comes while they are being done;
        // fresh ones, with no work file a run could skip its stages by.
        for (int i = 1; i <= 10; ++i) {
            const std::string event = (night / ("2000" + std::to_string(10 + i) + "_000")).string();
            fs::create_directories(event);
            for (int frame = 1; frame <= 3; ++frame) writeFrame(frameFileName(event, frame));
            saveTrackFile(event, {300, 120, 1}, {310, 125, 3}, std::nullopt);
        }
        run(true);
        QVERIFY2(said.find("Остановлено.") != std::string::npos, said.c_str());
    }

    void browsesAndMarksInEnglishUnderLangEn() {
        const TWindowLanguage english(Language::English);
        Fixture f({}, Language::English);
        f.chooseNight(f.night);
        QCOMPARE(f.caption(), QString("Meteor 1(3), Frame 1(3)"));
        f.click("bbBMPForward");  // F002
        f.click("bbSelectCoords");
        QCOMPARE(f.find<QPushButton>("bbSelectCoords")->text(), QString("Save track"));
        f.clickPixel(0, kStarX, kStarY);
        QCOMPARE(f.find<QLabel>("lMeteorStart")->text(), QString("X = 305 Y = 125   Frame: 2"));
        f.click("bbSelectCoords");
        QCOMPARE(f.messages, std::vector<std::string>{"The end of the meteor is not marked."});
    }

    void marksTheTrackInFramePixelsAtAnyZoom() {
        Fixture f;
        f.chooseNight(f.night);
        f.click("bbBMPForward");  // F002
        auto* button = f.find<QPushButton>("bbSelectCoords");
        QCOMPARE(button->text(), u("Разметка трека"));
        QVERIFY(f.find<QCheckBox>("cbMeteorStart")->isHidden());
        f.clickPixel(0, 10, 10);  // not marking: ignored
        QVERIFY(f.find<QLabel>("lMeteorStart")->text().isEmpty());
        button->click();
        QCOMPARE(button->text(), u("Сохранить трек"));
        for (int zoom : {-100, 0, 30, 100}) {
            f.find<QLabel>("lMeteorStart")->clear();
            f.clickPixel(zoom, kStarX, kStarY);
            QCOMPARE(f.find<QLabel>("lMeteorStart")->text(), u("X = 305 Y = 125   Кадр: 2"));
        }

        // Saving with the end missing says so, keeps marking and writes nothing.
        const std::string event = (f.station.path() / "20240812/200000_000").string();
        button->click();
        QCOMPARE(f.messages, std::vector<std::string>{"Не отмечен конец метеора."});
        QCOMPARE(button->text(), u("Сохранить трек"));
        QVERIFY(!fs::exists(trackFileName(event)));

        QTest::keyClick(button, Qt::Key_2);
        QVERIFY(f.find<QCheckBox>("cbMeteorFinish")->isChecked());
        QVERIFY(!f.find<QCheckBox>("cbMeteorStart")->isChecked());
        f.click("bbBMPForward");  // F003
        f.clickPixel(30, 405, 45);
        QCOMPARE(f.find<QLabel>("lMeteorFinish")->text(), u("X = 405 Y = 45   Кадр: 3"));
        QTest::keyClick(button, Qt::Key_3);
        f.clickPixel(100, kStarX, kStarY);
        QCOMPARE(f.find<QLabel>("lMaxBright")->text(), u("9 1800"));
        QCOMPARE(f.find<QLabel>("lMeteorFinish")->text(), u("X = 405 Y = 45   Кадр: 3"));
        // scripts/make-screenshot takes the README's picture of a marked track here.
        if (const QString shot = qEnvironmentVariable("ORBIS_PHOTO_SCREENSHOT"); !shot.isEmpty()) {
            f.find<QSlider>("gbZoom")->setValue(0);
            QVERIFY(f.window->grab().save(shot));
        }

        button->click();
        QCOMPARE(button->text(), u("Разметка трека"));
        QVERIFY(f.find<QLabel>("lMeteorStart")->text().isEmpty());
        const std::vector<std::string> saved{"0|0|305|125|2|1800|START", "0|0|405|45|3|9|FINISH"};
        QCOMPARE(readTextLines(trackFileName(event)), saved);

        // Escape leaves a new marking unsaved: the track file stays as it was.
        button->click();
        f.clickPixel(0, 10, 10);
        QTest::keyClick(f.find<QSlider>("gbZoom"), Qt::Key_2);
        f.clickPixel(0, 20, 20);
        QTest::keyClick(f.find<QSlider>("gbZoom"), Qt::Key_Escape);
        QVERIFY(!f.page().marking());
        QCOMPARE(button->text(), u("Разметка трека"));
        QVERIFY(f.find<QLabel>("lMeteorStart")->text().isEmpty() && f.find<QLabel>("lMeteorFinish")->text().isEmpty());
        QCOMPARE(readTextLines(trackFileName(event)), saved);
    }

    void proposesMarksThatAreSavedWithTheirHeadsOnlyOnSave() {
        Fixture f;
        // A simulated meteor as the night's fourth event (220005_000).
        const test::SampleEvent e = test::writeSampleEvent(f.station.str(), 5, ORBIS_CATALOG_DIR "/c50.dat",
                                                           {.width = 320, .height = 240, .maxFrames = 6});
        std::vector<std::string> questions;
        bool answer = false;
        f.window->notifier().setQuestionHandler([&](const std::string&, const std::string& text) {
            questions.push_back(text);
            return answer;
        });
        f.chooseNight(f.night);
        auto* propose = f.find<QPushButton>("bbProposeTrack");
        QCOMPARE(propose->text(), u("Предложить трек"));
        // The search runs on the worker thread; the window waits for nothing.
        const auto proposeAndWait = [&] {
            propose->click();
            QVERIFY(QTest::qWaitFor([&] { return !f.page().processing(); }, 30000));
        };

        // Three frames of a fixed star: no meteor, said in a box.
        proposeAndWait();
        QCOMPARE(f.messages, std::vector<std::string>{"Метеор не найден."});
        QVERIFY(!f.page().marking());

        for (int i = 0; i < 3; ++i) f.click("bbMeteorForward");
        QCOMPARE(f.page().browser().eventDirectory(), e.directory);
        // An observer's track file: asked first; "no" leaves the marks empty.
        const std::vector<std::string> observer{"0|0|1|1|1|9|START", "0|0|2|2|2|9|FINISH"};
        writeTextLines(trackFileName(e.directory), observer);
        proposeAndWait();
        QCOMPARE(questions.size(), std::size_t(1));
        QVERIFY(f.find<QLabel>("lMeteorStart")->text().isEmpty());

        answer = true;
        proposeAndWait();
        QCOMPARE(questions.size(), std::size_t(2));
        QVERIFY(f.page().marking());
        QCOMPARE(f.find<QPushButton>("bbSelectCoords")->text(), u("Сохранить трек"));
        const QString start = f.find<QLabel>("lMeteorStart")->text(), finish = f.find<QLabel>("lMeteorFinish")->text();
        QVERIFY2(start.endsWith(QString("Кадр: %1").arg(e.firstNumber)), qPrintable(start));
        QVERIFY2(finish.endsWith(QString("Кадр: %1").arg(e.lastNumber)), qPrintable(finish));
        // The start mark lies on the meteor's head of its first frame.
        const QStringList parts = start.split(' ', Qt::SkipEmptyParts);  // X = x Y = y Кадр: n
        QVERIFY(std::hypot(parts[2].toInt() - e.startHead.first, parts[5].toInt() - e.startHead.second) <= 3);
        QVERIFY(!f.find<QLabel>("lMaxBright")->text().isEmpty());
        // How the proposal placed each end, in the stage's panel.
        const QString placed = f.window->statusPanel(kStagePanel);
        QVERIFY2(placed.startsWith(u("Трек предложен: начало — по ")) && placed.contains(u(", конец — по ")),
                 qPrintable(placed));
        QCOMPARE(readTextLines(trackFileName(e.directory)), observer);
        QVERIFY(!readTrackHeads(e.directory));

        // Saved as proposed: the proposal's heads go beside the track, so the
        // frames between its ends are measured where the proposal found them.
        f.click("bbSelectCoords");
        QVERIFY(!f.page().marking());
        const auto heads = readTrackHeads(e.directory);
        QVERIFY(heads && heads->heads.size() == std::size_t(e.lastNumber - e.firstNumber + 1));
        QCOMPARE(heads->heads.front().point.x, parts[2].toInt());
        QCOMPARE(heads->heads.front().point.y, parts[5].toInt());
        QCOMPARE(heads->heads.back().point.frame, e.lastNumber);
        QVERIFY(readTextLines(trackFileName(e.directory)) != observer);

        // Proposed again, its start moved by the observer: a track the heads
        // no longer end on keeps the heads file as the proposal wrote it.
        std::filesystem::remove(e.directory + "/" + std::string(kTrackHeadsFileName));
        proposeAndWait();
        f.page().Image1MouseUp(QPointF(heads->heads.front().point.x + 5, heads->heads.front().point.y));
        f.click("bbSelectCoords");
        QVERIFY(!readTrackHeads(e.directory));
    }

    void processesTheShownEventOnAWorkerLikeTheStation() {
        TConfiguration config;
        config.setDeleteTemp(false);
        const test::SkyEventAim aim = test::aimAtSkyEvents(config, ORBIS_CATALOG_DIR);
        const double theta = aim.theta;
        const TSkyPoint pointing = aim.pointing;

        // The same event processed directly by the station library.
        test::TempDir direct;
        const std::string directEvent = (direct.path() / "20240812/231001_280").string();
        test::writeSkyEventFrames(directEvent, config, theta, pointing);
        SilentNotifier quiet;
        processEvent(directEvent, config, direct.str(), quiet);
        const std::string report = workFileStem((direct.path() / "20240812").string(), directEvent) + ".txt";
        QVERIFY(fs::exists(report));

        Fixture f(config);
        test::writeSkyEventFrames((f.station.path() / "20240812/231001_280").string(), config, theta, pointing);
        f.chooseNight(f.night);
        QCOMPARE(f.page().browser().events().front(), std::string("200000_000"));
        for (int i = 0; i < 3; ++i) f.click("bbMeteorForward");
        QCOMPARE(f.caption(), u("Метеор 4(4), Кадр 1(12)"));

        QSignalSpy finished(&f.page(), &TPhotoPage::processingFinished);
        auto* process = f.find<QPushButton>("bProcess");
        process->click();
        QVERIFY(f.page().processing());
        QVERIFY(!process->isEnabled());
        f.page().bProcessClick();  // a second press while running does nothing
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.count(), 1);
        QVERIFY(process->isEnabled());

        const std::string shown = (f.station.path() / "20240812/231001_280/M231001_280").string();
        QCOMPARE(readTextLines(shown + ".txt"), readTextLines(report));
        QCOMPARE(f.page().browser().currentFileName(), std::string("M231001_280R.bmp"));
        QCOMPARE(f.caption(), u("Метеор 4(4), Кадр 15(15)"));
    }

    void fitsAScreenOf1024By768InEveryModeAndMarkingMovesNothing() {
        Fixture f;
        f.window->videoPage().setFolderChooser([](const QString&, const std::string&) { return std::nullopt; });
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.chooseNight(f.night);
        const auto fits = [&](const char* mode) {
            const QSize least = f.window->minimumSizeHint().expandedTo(f.window->minimumSize()) + kFrame;
            QVERIFY2(least.width() <= 1024 && least.height() <= 768,
                     qPrintable(QString("%1: %2x%3").arg(mode).arg(least.width()).arg(least.height())));
        };
        for (int mode : {kRecordPage, kVideoPage, kPhotoPage}) {
            f.window->N5Click(mode);
            fits("mode");
        }
        for (const QSize size : {QSize(1017, 743), QSize(1000, 500)}) {
            f.window->resize(size);
            QTRY_COMPARE(f.window->size(), size);
            const std::vector<QRect> idle = placesOfControls(f);
            f.click("bbSelectCoords");
            QVERIFY(f.page().marking());
            fits("marking");
            QApplication::processEvents();
            QCOMPARE(f.window->size(), size);
            QVERIFY(placesOfControls(f) == idle);
            QTest::keyClick(f.find<QSlider>("gbZoom"), Qt::Key_Escape);
            QVERIFY(!f.page().marking());
            QApplication::processEvents();
            QVERIFY(placesOfControls(f) == idle);
        }
    }

    void theCalendarIsRussianAndShowsItsColumnsWhole() {
        Fixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.chooseNight(f.night);
        auto* calendar = f.find<QCalendarWidget>("MC1");
        const QLocale russian(QLocale::Russian);
        QCOMPARE(calendar->locale().language(), QLocale::Russian);
        QCOMPARE(calendar->findChild<QToolButton*>("qt_calendar_monthbutton")->text(),
                 russian.standaloneMonthName(8));
        auto* days = calendar->findChild<QTableView*>("qt_calendar_calendarview");
        QAbstractItemModel* model = days->model();
        QCOMPARE(model->columnCount(), 7);  // no week numbers
        const QFontMetrics font(days->font());
        for (int column = 0; column < 7; ++column) {
            const QString name = model->data(model->index(0, column)).toString();
            QCOMPARE(name, russian.dayName(column + 1, QLocale::ShortFormat));
            for (const QString& text : {name, QString("28")})
                QVERIFY2(font.horizontalAdvance(text) + 4 <= days->columnWidth(column),
                         qPrintable(QString("%1 in %2 px").arg(text).arg(days->columnWidth(column))));
        }
    }

    void theStageKeepsItsPanelWhileThePointerMoves() {
        Fixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.chooseNight(f.night);
        f.window->notifier().status("Привязка координат");
        QTest::mouseMove(f.find<TPictureView>("Image1"), QPoint(292, 71));
        QCOMPARE(f.window->statusPanel(1), QString("292,71"));
        QCOMPARE(f.window->statusPanel(kStagePanel), u("Привязка координат"));
        QVERIFY(!f.find<QWidget>(QString("StatusPanel%1").arg(kStagePanel).toLatin1())->visibleRegion().isEmpty());
    }

    void aNightPressedDuringOneEventFollowsIt() {
        Fixture f;
        f.chooseNight(f.night);
        saveTrackFile((f.station.path() / "20240812/200000_000").string(), {300, 120, 1}, {310, 125, 3}, std::nullopt);
        auto* night = f.find<QPushButton>("bProcessNight");
        f.click("bProcess");
        night->click();
        QVERIFY(f.page().nightQueued());
        QCOMPARE(night->text(), u("Ночь в очереди"));
        QVERIFY(f.window->statusPanel(kStagePanel).startsWith(u("Ночь будет обработана")));
        // Pressed again, the night leaves the queue; a third time, it is back.
        night->click();
        QVERIFY(!f.page().nightQueued());
        QCOMPARE(night->text(), u("Обработать ночь"));
        night->click();
        QVERIFY(QTest::qWaitFor([&] { return !f.page().processing() && !f.page().nightQueued(); }, 60000));
        QVERIFY(!f.messages.empty());
        QVERIFY2(f.messages.back().find("обработано событий 1 из 1 с треком") != std::string::npos,
                 f.messages.back().c_str());
        QCOMPARE(night->text(), u("Обработать ночь"));
    }

    void aNightThatDeletesTheShownFrameShowsWhatIsLeftAtOnce() {
        TConfiguration config;
        config.setDeleteTemp(true);
        const test::SkyEventAim aim = test::aimAtSkyEvents(config, ORBIS_CATALOG_DIR);
        Fixture f(config);
        const fs::path event = f.station.path() / "20240812/231001_280";
        test::writeSkyEventFrames(event.string(), config, aim.theta, aim.pointing);
        QVERIFY(hasTrackFile(event.string()));
        f.chooseNight(f.night);
        for (int i = 0; i < 3; ++i) f.click("bbMeteorForward");
        for (int i = 0; i < 4; ++i) f.click("bbBMPForward");
        QCOMPARE(f.page().browser().currentFileName(), std::string("F005.bmp"));
        // What the page shows when the night's outcome is told (a box waits
        // for the observer there).
        std::vector<std::string> shownAtMessage;
        f.window->notifier().setMessageHandler([&](const std::string&, const std::string&, MessageIcon) {
            shownAtMessage.push_back(f.page().browser().currentFile());
        });
        f.click("bProcessNight");
        QVERIFY(QTest::qWaitFor([&] { return !f.page().processing(); }, 90000));
        QVERIFY(fs::exists(event / "M231001_280.txt"));
        QVERIFY(!fs::exists(event / "F005.bmp"));
        QVERIFY(!shownAtMessage.empty());
        for (const std::string& shown : shownAtMessage) QVERIFY2(fs::exists(shown), shown.c_str());
        for (const std::string& name : f.page().browser().files()) QVERIFY(fs::exists(event / name));
        QVERIFY(!f.find<TPictureView>("Image1")->picture().isNull());
    }

    void closingDuringProcessingLeavesAtOnceAndTheEventWhole() {
        TConfiguration config;
        config.setDeleteTemp(false);
        const test::SkyEventAim aim = test::aimAtSkyEvents(config, ORBIS_CATALOG_DIR);
        Fixture f(config);
        const fs::path event = f.station.path() / "20240812/231001_280";
        test::writeSkyEventFrames(event.string(), config, aim.theta, aim.pointing);
        f.chooseNight(f.night);
        for (int i = 0; i < 3; ++i) f.click("bbMeteorForward");
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        // The window goes away when its close is taken; the thread that runs
        // it must never stand still meanwhile.
        f.window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<TMainWindow> window = f.window.release();
        // The event is held back until 2 s after the close, so a window that
        // waited for it would stand still that long.
        std::atomic<bool> go{false};
        window->photoPage().setEventProcessor(
            [&go](const std::string& e, const TConfiguration& c, const std::string& s, UserNotifier& n) {
                while (!go) std::this_thread::sleep_for(std::chrono::milliseconds(5));
                processEvent(e, c, s, n);
            });
        const std::jthread release([&go] {
            std::this_thread::sleep_for(std::chrono::seconds(2));
            go = true;
        });
        window->photoPage().bProcessClick();
        QVERIFY(window->photoPage().processing());
        window->close();
        QVERIFY(window && window->isHidden());
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, longestStill = 0;
        while (window && clock.elapsed() < 90000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            longestStill = std::max(longestStill, clock.elapsed() - last);
            last = clock.elapsed();
            QTest::qSleep(5);
        }
        QVERIFY(!window);
        QVERIFY2(longestStill < 1000, qPrintable(QString("the window thread stood still %1 ms").arg(longestStill)));
        // The event was finished out of sight: its report, no lock left behind.
        QVERIFY(fs::exists(event / "M231001_280.txt"));
        QVERIFY(!fs::exists(event / kEventLockName));
        QVERIFY(!fs::exists(event / kUnfinishedRunName));
    }

    void nightMenuItemsWriteTheCalendarsNight() {
        Fixture f;
        f.chooseNight(f.night);
        f.window->menuBar()->findChild<QAction*>("N12")->trigger();
        QVERIFY(fs::exists(f.station.path() / "20240812/M20240812.txt"));
        f.window->menuBar()->findChild<QAction*>("R901")->trigger();
        QVERIFY(fs::exists(f.station.path() / "20240812/ME20240812.csv"));
        f.window->menuBar()->findChild<QAction*>("R902")->trigger();
        QVERIFY(fs::exists(f.station.path() / "ME202408.csv"));
    }
};

QTEST_MAIN(TestPhotoPage)
#include "test_photo_page.moc"
