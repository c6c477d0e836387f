// The window's language: Russian without a request whatever the locale,
// English under --lang en with no Russian left in any control, and the
// notifier wording diagnostics through the window's catalogue.

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "gui/uConfigurationDialog.h"
#include "gui/uListCompressCodec.h"
#include "gui/uMain.h"
#include "gui/uQtNotifier.h"
#include "gui/uRecordPage.h"
#include "gui/uRussianWindow.h"
#include "gui/uVideoPage.h"

using namespace orbis;

namespace {

struct Message {
    std::string caption, text;
    MessageIcon icon;
};

// A window of the given language over an empty station, no camera listed.
struct Window {
    test::TempDir station;
    std::unique_ptr<TMainWindow> window;
    std::vector<Message> messages;

    explicit Window(Language language) {
        TConfiguration().save(iniFilePath(station.path()));
        TMainWindowOptions options;
        options.station = options.programDirectory = station.str();
        options.checkTimeStamp = false;
        options.language = language;
        window = std::make_unique<TMainWindow>(options);
        window->notifier().setMessageHandler([this](const std::string& caption, const std::string& text, MessageIcon icon) {
            messages.push_back({caption, text, icon});
        });
        window->recordPage().setDeviceLister([] { return std::vector<TMediaDevice>{}; });
        window->videoPage().setFolderChooser([](const QString&, const std::string&) { return std::nullopt; });
    }
    QAction* action(const char* name) const { return window->menuBar()->findChild<QAction*>(name); }
};

// Every text a user can read in a widget and its children, shown or hidden
// for now: titles, captions, tooltips, menu items, list items, grid cells.
QStringList textsOf(QWidget* top) {
    QStringList texts;
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    for (QWidget* w : widgets) {
        texts << w->windowTitle() << w->toolTip();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
        if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) texts << g->title();
        if (auto* e = qobject_cast<QLineEdit*>(w)) texts << e->placeholderText();
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
        if (auto* t = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < t->count(); ++i) texts << t->tabText(i);
        if (auto* t = qobject_cast<QTableWidget*>(w))
            for (int r = 0; r < t->rowCount(); ++r)
                for (int c = 0; c < t->columnCount(); ++c)
                    if (t->item(r, c)) texts << t->item(r, c)->text();
        for (QAction* a : w->actions()) texts << a->text() << a->toolTip();
    }
    texts.removeAll(QString());
    return texts;
}

QStringList russianOf(const QStringList& texts) {
    QStringList russian;
    for (const QString& t : texts)
        for (QChar c : t)
            if (c.script() == QChar::Script_Cyrillic) {
                russian << t;
                break;
            }
    return russian;
}

}  // namespace

class TestWindowLanguage : public QObject {
    Q_OBJECT
private slots:
    void choosesTheLanguageFromTheArgumentsAlone() {
        // The locale plays no part: the window is Russian unless asked.
        qputenv("LC_ALL", "en_US.UTF-8");
        const struct {
            std::vector<std::string> arguments;
            std::optional<Language> language;
        } cases[] = {{{"orbisight"}, Language::Russian},
                     {{"orbisight", "--station", "/s", "--lang", "en"}, Language::English},
                     {{"orbisight", "--lang=en"}, Language::English},
                     {{"orbisight", "--lang", "ru"}, Language::Russian},
                     {{"orbisight", "--lang", "de"}, std::nullopt},
                     {{"orbisight", "--lang", "en_GB.UTF-8"}, std::nullopt},
                     {{"orbisight", "--lang"}, std::nullopt}};
        for (const auto& c : cases) QCOMPARE(windowLanguage(c.arguments), c.language);
        qunsetenv("LC_ALL");
    }

    void underEnglishNoControlOfTheWindowOrItsDialogsIsRussian() {
        const TWindowLanguage english(Language::English);
        QVERIFY(english.complete());
        Window w(Language::English);
        QCOMPARE(w.action("N1")->text(), QString("File"));
        QCOMPARE(w.action("N12")->text(), QString("Daily summary"));
        QCOMPARE(w.window->findChild<QToolButton*>("SpeedButton2")->toolTip(), QString("Video capture"));
        QCOMPARE(w.window->findChild<QLabel*>("Label3")->text(), QString("Meteor 0(0), Frame 0(0)"));
        QCOMPARE(w.window->findChild<QComboBox*>("cbCapt")->currentText(), QString("No video source"));
        QCOMPARE(w.window->findChild<QCalendarWidget*>("MC1")->locale().language(), QLocale::English);
        QStringList russian = russianOf(textsOf(w.window.get()));
        QVERIFY2(russian.isEmpty(), qPrintable(russian.join(" | ")));

        // The dialogs, with the distortion grid in both of its views.
        test::RecordingNotifier quiet;
        TfrmConfiguration dialog(w.station.path(), quiet);
        QCOMPARE(dialog.windowTitle(), QString(" Configuration"));
        QStringList texts = textsOf(&dialog);
        dialog.Button2Click();
        texts << textsOf(&dialog);
        TfrmCompressCodec codecs({"x264enc"}, quiet);
        texts << textsOf(&codecs);
        russian = russianOf(texts);
        QVERIFY2(russian.isEmpty(), qPrintable(russian.join(" | ")));

        w.action("N27")->trigger();
        QCOMPARE(w.messages.back().caption, std::string("About"));
        QVERIFY(russianOf({QString::fromStdString(w.messages.back().text)}).isEmpty());
    }

    void anEnglishCatalogueMessageReachesABox() {
        const TWindowLanguage english(Language::English);
        Window w(Language::English);
        emit w.window->videoPage().markTrackRequested("/nowhere/20240812/231000_000");
        QCOMPARE(w.messages.size(), std::size_t(1));
        QCOMPARE(w.messages[0].caption, std::string("Orbisight"));
        QCOMPARE(w.messages[0].text, std::string("The folder /nowhere/20240812/231000_000 is not an event of a night of "
                                                 "the station: open its night in photo mode."));
        QCOMPARE(w.messages[0].icon, MessageIcon::Information);
        const TDiagnostic& shown = w.window->notifier().shown().back();
        QCOMPARE(shown.code(), Code::NotAnEventOfTheStation);
        QCOMPARE(shown.value("folder"), std::string("/nowhere/20240812/231000_000"));
    }

    void leavingEnglishLeavesTheWindowRussianAgain() {
        {
            const TWindowLanguage english(Language::English);
            QCOMPARE(QLocale().language(), QLocale::English);
        }
        const TWindowLanguage russian(Language::Russian);
        QCOMPARE(QLocale().language(), QLocale::Russian);
        Window w(Language::Russian);
        QCOMPARE(w.action("N1")->text(), QString::fromUtf8("Файл"));
        QCOMPARE(w.window->findChild<QCalendarWidget*>("MC1")->locale().language(), QLocale::Russian);
        emit w.window->videoPage().markTrackRequested("/nowhere/20240812/231000_000");
        QCOMPARE(w.messages.back().text, std::string("Каталог /nowhere/20240812/231000_000 не является событием ночи "
                                                     "станции: откройте его ночь в режиме фото."));
    }

    void theNotifierWordsDiagnosticsAndKeepsTheLatest() {
        QString stage;
        TQtNotifier notifier(nullptr, [&](const QString& text) { stage = text; }, nullptr, Language::Russian);
        std::vector<Message> boxes;
        notifier.setMessageHandler([&](const std::string& caption, const std::string& text, MessageIcon icon) {
            boxes.push_back({caption, text, icon});
        });
        std::vector<std::string> asked;
        notifier.setQuestionHandler([&](const std::string&, const std::string& text) {
            asked.push_back(text);
            return true;
        });

        // A failure the window catches: its own diagnostic, or a foreign
        // exception's text as an unworded one.
        const TDiagnostic notEvent = TDiagnostic(Code::NotAnEventOfTheStation, Severity::Warning).with("folder", "/x");
        notifier.showFailure(EInOutError(notEvent));
        QCOMPARE(notifier.shown().back(), notEvent);
        QCOMPARE(boxes.back().icon, MessageIcon::Warning);
        QVERIFY(QString::fromStdString(boxes.back().text).startsWith(QString::fromUtf8("Каталог /x не является")));
        notifier.showFailure(std::runtime_error("disk on fire"));
        QCOMPARE(notifier.shown().back().code(), Code::Unworded);
        QCOMPARE(boxes.back().text, std::string("disk on fire"));
        QCOMPARE(boxes.back().icon, MessageIcon::Error);

        // A stage is the status while it runs.
        {
            const StageStep step(notifier, TDiagnostic(Code::Unworded).with("text", "step"));
            QCOMPARE(stage, QString("step"));
        }
        QVERIFY(stage.isEmpty());

        // A question from a worker is asked on the window's thread and
        // answered back.
        std::atomic<bool> answer = false, done = false;
        std::thread worker([&] {
            answer = notifier.question(TDiagnostic(Code::Unworded).with("text", "go on?"));
            done = true;
        });
        QVERIFY(QTest::qWaitFor([&] { return done.load(); }, 5000));
        worker.join();
        QVERIFY(answer.load());
        QCOMPARE(asked, std::vector<std::string>{"go on?"});

        // Only the latest are kept, oldest first.
        for (int i = 0; i < int(TQtNotifier::kShownKept) + 5; ++i)
            notifier.report(TDiagnostic(Code::Unworded, Severity::Notice).with("text", std::to_string(i)));
        QCOMPARE(notifier.shown().size(), TQtNotifier::kShownKept);
        QCOMPARE(notifier.shown().front().value("text"), std::string("5"));
        QCOMPARE(notifier.shown().back().value("text"), std::to_string(TQtNotifier::kShownKept + 4));
    }
};

QTEST_MAIN(TestWindowLanguage)
#include "test_window_language.moc"
