// The video page over a folder of generated clips: entering, the status
// texts, stepping, playback looping, deleting, and taking a clip into work
// frame for frame. Offscreen; no dialog is shown (the folder chooser and
// the message boxes are answered here).

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "SeparatorScope.h"
#include "TempDir.h"
#include "capture/media/uCaptureGraph.h"
#include "capture/uAviFile.h"
#include "gui/uMain.h"
#include "gui/uPhotoPage.h"
#include "gui/uQtNotifier.h"
#include "gui/uVideoPage.h"
#include "gui/uVideoWidget.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"

using namespace orbis;
namespace fs = std::filesystem;

namespace {

// A clip of a night sky: noise, a few stars and a meteor crossing it. Tiny
// clips are plain noise.
void writeClip(const std::string& path, int frames, int width = 160, int height = 120, uint32_t rate = 25) {
    std::mt19937 rng(static_cast<unsigned>(frames));
    TAviWriter writer(path, width, height, 8, rate);
    std::vector<uint8_t> frame(static_cast<std::size_t>(width * height));
    const auto spot = [&](int x, int y, int level) {
        if (x >= 0 && y >= 0 && x < width && y < height) frame[static_cast<std::size_t>((height - 1 - y) * width + x)] = static_cast<uint8_t>(level);
    };
    for (int i = 0; i < frames; ++i) {
        for (auto& b : frame) b = static_cast<uint8_t>(width < 16 ? rng() : 12 + rng() % 10);
        if (width < 16) {
            writer.writeFrame(frame);
            continue;
        }
        std::mt19937 sky(7);  // the same stars in every frame
        for (int s = 0; s < 14; ++s) {
            const int x = static_cast<int>(sky() % static_cast<unsigned>(width));
            const int y = static_cast<int>(sky() % static_cast<unsigned>(height));
            for (int d = -1; d <= 1; ++d) spot(x + d, y, 150), spot(x, y + d, 150);
        }
        for (int t = 0; t < 12; ++t) spot(20 + 3 * i - t, 15 + 2 * i - t * 2 / 3, 250 - 15 * t);
        writer.writeFrame(frame);
    }
}

struct Fixture {
    test::TempDir station;
    std::string night = (station.path() / "20240812").string();
    std::unique_ptr<TMainWindow> window;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = true;
    // What the folder chooser answers, and what it was asked.
    std::optional<std::string> chosen;
    std::vector<std::pair<QString, std::string>> chooserCalls;

    Fixture() {
        fs::create_directories(night);
        writeClip(night + "/213045_120.avi", 35);
        writeClip(night + "/213100_000.avi", 5);
        writeClip(night + "/213200_000.avi", 3);
        chosen = night;
        TMainWindowOptions options;
        options.station = options.programDirectory = station.str();
        options.checkTimeStamp = false;
        window = std::make_unique<TMainWindow>(options);
        window->notifier().setMessageHandler(
            [this](const std::string&, const std::string& text, MessageIcon) { messages.push_back(text); });
        window->notifier().setQuestionHandler([this](const std::string&, const std::string& text) {
            questions.push_back(text);
            return answer;
        });
        page().setFolderChooser([this](const QString& title, const std::string& start) {
            chooserCalls.emplace_back(title, start);
            return chosen;
        });
    }
    TVideoPage& page() { return window->videoPage(); }
    template <class T>
    T* find(const char* name) const {
        return window->findChild<T*>(name);
    }
    void click(const char* button) { find<QPushButton>(button)->click(); }
    bool enabled(const char* button) const { return find<QPushButton>(button)->isEnabled(); }
    void enter() { window->N5Click(kVideoPage); }
    std::string current() const { return window->videoPage().browser().clipPath(); }
    bool takeIntoWork(const char* start) {
        find<QLineEdit>("eInitNumFrame")->setText(start);
        click("bbProcessVideo");
        return QTest::qWaitFor([this] { return !page().takingIntoWork(); }, 20000);
    }
};

// Every frame file from `first` on holds, byte for byte, the clip's frame.
void compareFrames(const std::string& clip, const std::string& directory, int first) {
    const TAviReader reader(clip);
    for (int i = 0; i < reader.info().frameCount; ++i) {
        const std::string file = frameFileName(directory, first + i);
        QVERIFY2(fs::exists(file), file.c_str());
        QVERIFY2(loadGreyFrame(file).pixels == reader.readFrame(i), file.c_str());
    }
    QVERIFY(!fs::exists(frameFileName(directory, first + reader.info().frameCount)));
}

}  // namespace

class TestVideoPage : public QObject {
    Q_OBJECT
private slots:
    void entersAFolderAndShowsAClipsInformation() {
        Fixture f;
        // A folder without clips, then a cancelled chooser: nothing shown.
        f.chosen = f.station.str();
        f.enter();
        QCOMPARE(f.chooserCalls.at(0).first, QString::fromUtf8("Выбор каталога"));
        // The chooser starts at the night the photo page showed.
        QCOMPARE(f.chooserCalls.at(0).second, f.window->photoPage().nightDirectory());
        QVERIFY(f.page().browser().empty());
        QVERIFY(f.window->videoWidget().isHidden());
        QVERIFY(f.window->statusPanel(2).isEmpty() && f.window->statusPanel(3).isEmpty());
        f.window->N5Click(kPhotoPage);
        f.chosen.reset();
        f.enter();
        QVERIFY(f.page().browser().empty());

        // The clips' folder, in a decimal-comma locale.
        const test::SeparatorScope comma(',');
        f.window->N5Click(kPhotoPage);
        f.chosen = f.night;
        f.enter();
        QCOMPARE(f.page().browser().clips().size(), std::size_t{3});
        QVERIFY(!f.window->videoWidget().isHidden());
        QCOMPARE(f.window->statusPanel(2), QString("Video: 160x120, 35 frames"));
        QCOMPARE(f.window->statusPanel(3), QString("Samples Per Second: 25 Time Length: 1,4 s"));
        QCOMPARE(f.window->windowTitle(), QString::fromStdString("Orbisight - " + f.night + "/213045_120.avi"));
        QCOMPARE(f.find<QSlider>("DSTrackBar1")->maximum(), 35);
        QTRY_VERIFY_WITH_TIMEOUT(f.window->videoWidget().framesShown() > 0, 5000);  // seen before it plays
        if (const QString shot = qEnvironmentVariable("ORBIS_VIDEO_SCREENSHOT"); !shot.isEmpty()) {
            // The README's picture: the meteor half-way across.
            f.window->resize(1017, 560);
            f.click("bbVidStart");
            QTest::qWait(900);
            f.click("bbVidPause");
            QVERIFY(f.window->grab().save(shot));
        }

        // Stepping stays inside the list; the button pressed at an end goes off.
        f.click("bbAVIBack");
        QVERIFY(!f.enabled("bbAVIBack"));
        QCOMPARE(f.page().browser().index(), 0);
        f.click("bbAVIForward");
        QVERIFY(f.enabled("bbAVIBack"));
        f.click("bbAVIForward");
        QCOMPARE(f.window->statusPanel(2), QString("Video: 160x120, 3 frames"));
        QVERIFY(f.enabled("bbAVIForward"));
        f.click("bbAVIForward");
        QVERIFY(!f.enabled("bbAVIForward"));
        QCOMPARE(f.page().browser().index(), 2);
        f.click("bbAVIBack");
        QVERIFY(f.enabled("bbAVIForward"));
        QCOMPARE(f.page().browser().index(), 1);

        // Leaving lets the clip go; the next chooser starts where this one ended.
        f.window->N5Click(kRecordPage);
        QVERIFY(f.window->videoWidget().isHidden());
        QVERIFY(!f.page().playing());
        f.enter();
        QCOMPARE(f.chooserCalls.back().second, f.night);
        // Cancelled: the page is empty again.
        f.window->N5Click(kPhotoPage);
        f.chosen.reset();
        f.enter();
        QVERIFY(f.page().browser().empty());
        QVERIFY(f.window->videoWidget().isHidden());
    }

    void plainPlaybackLoopsAndStops() {
        Fixture f;
        f.enter();
        f.click("bbAVIForward");  // 5 frames: a fifth of a second
        f.click("bbVidStart");
        QVERIFY(f.page().playing());
        QTRY_VERIFY_WITH_TIMEOUT(f.page().loops() >= 2, 10000);
        QVERIFY(f.page().playing());
        f.click("bbVidStop");
        QVERIFY(!f.page().playing());
        QCOMPARE(f.find<QSlider>("DSTrackBar1")->value(), 0);

        // The bar follows the clip and moving it seeks there.
        f.click("bbAVIBack");  // 35 frames
        auto* bar = f.find<QSlider>("DSTrackBar1");
        f.click("bbVidStart");
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0, 5000);
        f.click("bbVidPause");
        bar->setValue(30);
        QTest::qWait(300);  // the bar follows the paused position: the sought one
        QVERIFY2(std::abs(bar->value() - 30) <= 1, std::to_string(bar->value()).c_str());
    }

    void playsAgainAfterStopAsOftenAsWanted() {
        Fixture f;
        f.enter();  // 35 frames
        auto* bar = f.find<QSlider>("DSTrackBar1");
        const TVideoWidget& video = f.window->videoWidget();
        for (int round = 0; round < 3; ++round) {
            const uint64_t shown = video.framesShown();
            f.click("bbVidStart");
            QTRY_VERIFY_WITH_TIMEOUT(video.framesShown() > shown + 5 && bar->value() > 2, 5000);
            f.click("bbVidStop");
            QVERIFY(!f.page().playing());
            QCOMPARE(bar->value(), 0);
            // Rewound: the bar stays at the first frame after the seek.
            QTest::qWait(150);
            QCOMPARE(bar->value(), 0);
        }
        // Moving the bar of a stopped clip seeks there; it plays on from it.
        bar->setValue(20);
        QTest::qWait(200);
        f.click("bbVidStart");
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 20, 5000);
        QVERIFY2(f.messages.empty(), f.messages.empty() ? "" : f.messages.front().c_str());
        QCOMPARE(f.window->windowTitle(), QString::fromStdString("Orbisight - " + f.current()));
    }

    void theWindowKeepsTurningWhileAClipPrerolls() {
        Fixture f;
        // A source whose first frame takes 0.4 s: the window must not wait for it.
        f.page().setPlaybackSource([](const std::string&) {
            return TCaptureSource::pipeline(
                "videotestsrc num-buffers=20 ! identity sleep-time=400000 ! video/x-raw,format=GRAY8,width=160,height=120,framerate=25/1");
        });
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(10);
        f.enter();
        f.click("bbVidStop");  // a rewind asked before the preroll waits for it, not the window
        const int before = ticks;
        QTRY_VERIFY_WITH_TIMEOUT(f.window->videoWidget().framesShown() > 0, 5000);
        QVERIFY2(ticks - before >= 10, std::to_string(ticks - before).c_str());
        QVERIFY(f.messages.empty());
    }

    void deletesOnlyWhenAskedAndSaysWhenItCannot() {
        Fixture f;
        f.enter();
        f.click("bbAVIForward");
        const std::string second = f.current();
        f.answer = false;
        f.click("bbRemoveVideo");
        QCOMPARE(f.questions.back(), "Удалить файл " + second + "?");
        QVERIFY(fs::exists(second));

        // Something else has taken the clip's name: not deleted, said so, kept.
        fs::remove(second);
        fs::create_directories(second + "/inside");
        f.answer = true;
        f.click("bbRemoveVideo");
        QVERIFY(fs::exists(second + "/inside"));
        QVERIFY(f.messages.back().find("не удалён") != std::string::npos);
        QCOMPARE(f.page().browser().clips().size(), std::size_t{3});
        QCOMPARE(f.current(), second);
        fs::remove_all(second);
        writeClip(second, 5);

        // Deleted: said so, and the clip before it is shown.
        f.click("bbRemoveVideo");
        QCOMPARE(f.messages.back(), "Файл " + second + " удалён.");
        QVERIFY(!fs::exists(second));
        QCOMPARE(f.page().browser().clips(), (std::vector<std::string>{"213045_120.avi", "213200_000.avi"}));
        QCOMPARE(f.current(), f.night + "/213045_120.avi");

        // The last clips: the display ends empty.
        f.click("bbRemoveVideo");
        f.click("bbRemoveVideo");
        QVERIFY(f.page().browser().empty());
        QVERIFY(f.window->videoWidget().isHidden());
        QVERIFY(f.window->statusPanel(2).isEmpty());
        QCOMPARE(f.window->windowTitle(), QString("Orbisight"));
        QVERIFY(fs::is_empty(f.night));
    }

    void takesAClipIntoWorkFrameForFrame() {
        Fixture f;
        f.enter();
        const std::string clip = f.current();
        const std::string event = f.night + "/213045_120";

        // Start 1: the clip's own event directory, every frame byte for byte.
        QVERIFY(f.takeIntoWork("1"));
        QVERIFY(f.chooserCalls.size() == 1);  // only the entering one
        compareFrames(clip, event, 1);
        QCOMPARE(f.page().lastIntake()->framesSaved, 35);

        // 36 and a chosen folder: numbered on there.
        const std::string more = (f.station.path() / "more").string();
        f.chosen = more;
        QVERIFY(f.takeIntoWork("36"));
        QCOMPARE(f.chooserCalls.back().first, QString::fromUtf8("Добавить файлы в каталог..."));
        compareFrames(clip, more, 36);
        QVERIFY(!fs::exists(frameFileName(more, 1)));

        // 36 and the chooser cancelled: the event directory again.
        f.chosen.reset();
        QVERIFY(f.takeIntoWork("36"));
        compareFrames(clip, event, 36);

        // A start number that is no whole number: nothing starts.
        const std::size_t asked = f.chooserCalls.size();
        f.messages.clear();
        QVERIFY(f.takeIntoWork("2.5"));
        QCOMPARE(f.messages.size(), std::size_t{1});
        QCOMPARE(f.chooserCalls.size(), asked);
        QVERIFY(!fs::exists(frameFileName(event, 71)));

        // From the event's frames straight to marking it on the photo page.
        f.click("bbMarkTrack");
        QCOMPARE(f.window->mode(), static_cast<int>(kPhotoPage));
        QCOMPARE(f.window->photoPage().browser().eventDirectory(), event);
        QCOMPARE(f.window->photoPage().browser().currentFileName(), std::string("F001.bmp"));
    }
};

QTEST_MAIN(TestVideoPage)
#include "test_video_page.moc"
