// The configuration dialog, its distortion tab and the codec chooser,
// driven through their real widgets under the offscreen platform. The
// modal dialogs they open are answered by the test.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <string>

#include "RecordingNotifier.h"
#include "SeparatorScope.h"
#include "TempDir.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "gui/uCaptureFormatDialog.h"
#include "gui/uConfigurationDialog.h"
#include "gui/uListCompressCodec.h"
#include "gui/uRussianWindow.h"

using namespace orbis;

namespace {

// A station whose settings file the dialog edits.
struct Station {
    test::TempDir dir;
    test::RecordingNotifier notifier;

    explicit Station(const TConfiguration& config = {}) { config.save(ini()); }
    std::filesystem::path ini() const { return iniFilePath(dir.path()); }
    TConfiguration loaded() const {
        TConfiguration c;
        c.load(ini());
        return c;
    }
    std::unique_ptr<TfrmConfiguration> dialog() {
        auto d = std::make_unique<TfrmConfiguration>(dir.path(), notifier);
        d->listEncoders = [] { return std::vector<std::string>{"Codec A", "Codec B"}; };
        d->runCodecChooser = [](TfrmCompressCodec&) { return int(QDialog::Rejected); };
        return d;
    }
};

template <class T>
T* child(QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(name);
    if (!found) qFatal("no control %s", name);
    return found;
}

QString cellText(QTableWidget* grid, int r, int c) {
    const QTableWidgetItem* item = grid->item(r, c);
    return item ? item->text() : QString();
}

void writeLines(const std::filesystem::path& file, const std::string& text) { std::ofstream(file) << text; }

// Pairs of u = 1 + 2x, v = 3y - 0.5x^2 over a grid.
std::string fitPairsText() {
    std::string text;
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 4; ++j) {
            const double x = 0.5 * i, y = 0.5 * j;
            text += floatToText(x) + "\t" + floatToText(y) + "\t" + floatToText(1 + 2 * x) + "\t" +
                    floatToText(3 * y - 0.5 * x * x) + "\n";
        }
    return text;
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void southernLatitudeOpensAndSavesUnchanged() {
        test::SeparatorScope point('.');
        TConfiguration c;
        c.setPole(true);
        c.setLatitude(33.9);
        Station s(c);
        auto d = s.dialog();
        QCOMPARE(child<QLineEdit>(d.get(), "eLat")->text(), QString("33.9"));
        QCOMPARE(child<QComboBox>(d.get(), "cbLat")->currentText(), QString::fromUtf8("Южное"));
        child<QPushButton>(d.get(), "BitBtn1")->click();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(s.loaded().latitude(), 33.9);
        QVERIFY(s.loaded().pole());
    }

    void aNegativeLatitudeIsSavedNegative() {
        test::SeparatorScope point('.');
        Station s(TConfiguration{});
        auto d = s.dialog();
        child<QLineEdit>(d.get(), "eLat")->setText("-33.9");
        child<QPushButton>(d.get(), "BitBtn1")->click();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(s.loaded().latitude(), -33.9);
    }

    void aCatalogOutsideTheFirstFiveIsSavedAsC55() {
        TConfiguration c;
        c.setCatalogStar("C40.DAT");
        Station s(c);
        auto d = s.dialog();
        const auto* catalogs = child<QWidget>(d.get(), "rgCatal");
        QString checked;
        for (auto* b : catalogs->findChildren<QRadioButton*>())
            if (b->isChecked()) checked = b->text();
        QCOMPARE(checked, QString("5,5m"));
        child<QPushButton>(d.get(), "BitBtn1")->click();
        QCOMPARE(s.loaded().catalogStar(), std::string("c55.dat"));
    }

    void everySettingSurvivesOk() {
        test::SeparatorScope comma(',');
        // Every setting away from its default; the codec's name kept in its
        // hidden label, the font size in its hidden edit.
        TConfiguration c;
        const auto all = settingDeclarations();
        for (std::size_t i = 0; i < all.size(); ++i) {
            const auto& d = all[i];
            std::string text;
            switch (d.type) {
                case TSettingType::Text: text = "Ёж " + std::to_string(i); break;
                case TSettingType::Integer: text = std::to_string(7 + static_cast<int>(i)); break;
                case TSettingType::Flag: text = parseInt(d.defaultText) != 0 ? "0" : "1"; break;
                case TSettingType::Real: text = std::to_string(i) + ".25"; break;
            }
            QVERIFY(!c.setValueText(d.key, text));
        }
        c.setCatalogStar("c35.dat");
        c.setVideoCompress(false);
        c.setAddTimeStamp(false);
        c.setSettingsVideoCompress("quality=90");
        c.setCoefY(7, -1.23456789e-4);
        Station s(c);
        const TConfiguration before = s.loaded();
        auto d = s.dialog();
        QVERIFY(child<QLabel>(d.get(), "lVideoCompress")->isHidden());
        QVERIFY(child<QLineEdit>(d.get(), "eFrameFontSize")->isHidden());
        auto* stamp = child<QCheckBox>(d.get(), "cbFrameStamp");
        stamp->setChecked(true);  // the font size belongs to the time stamp
        QVERIFY(!child<QLineEdit>(d.get(), "eFrameFontSize")->isHidden());
        stamp->setChecked(false);
        child<QPushButton>(d.get(), "BitBtn1")->click();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        const auto changed = s.loaded().keysDifferentFrom(before);
        std::string names;
        for (const auto key : changed) names += std::string(key) + " ";
        QVERIFY2(changed.empty(), names.c_str());
    }

    void cancelLeavesTheFileByteForByte() {
        Station s;
        std::ofstream(s.ini(), std::ios::app) << "; the observer's own note\r\n";
        const std::string bytes = readFileBytes(s.ini());
        auto d = s.dialog();
        child<QLineEdit>(d.get(), "leObserver")->setText("Петров");
        child<QCheckBox>(d.get(), "cbLog")->setChecked(true);
        d->Button2Click();
        child<QPushButton>(d.get(), "BitBtn2")->click();
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QVERIFY(readFileBytes(s.ini()) == bytes);
    }

    void aFieldThatDoesNotConvertKeepsTheDialogOpen() {
        Station s;
        const std::string bytes = readFileBytes(s.ini());
        auto d = s.dialog();
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        d->activateWindow();
        auto* observer = child<QLineEdit>(d.get(), "leObserver");
        auto* timeZone = child<QLineEdit>(d.get(), "leTimeZone");
        auto* exposure = child<QLineEdit>(d.get(), "leFrameExpos");
        observer->setText("Петров");
        for (const char* bad : {"3h", "abc"}) {
            timeZone->setText(bad);
            child<QTabWidget>(d.get(), "PageControl1")->setCurrentIndex(4);
            child<QPushButton>(d.get(), "BitBtn1")->click();
            QVERIFY(d->isVisible());
            QVERIFY(readFileBytes(s.ini()) == bytes);
            QCOMPARE(s.notifier.messages.back().caption, std::string("Ошибка"));
            QVERIFY2(s.notifier.messages.back().text.find("Часовой пояс") != std::string::npos,
                     s.notifier.messages.back().text.c_str());
            // Said in Russian, not in the core's English.
            QVERIFY2(s.notifier.messages.back().text.find(std::string("«") + bad + "» не является") != std::string::npos,
                     s.notifier.messages.back().text.c_str());
            QCOMPARE(child<QTabWidget>(d.get(), "PageControl1")->currentIndex(), 0);
            QTRY_VERIFY(timeZone->hasFocus());
        }
        timeZone->setText("3");
        exposure->setText("0,04x");
        child<QPushButton>(d.get(), "BitBtn1")->click();
        QCOMPARE(s.notifier.messages.back().text, std::string("«Экспозиция кадра, сек»: «0,04x» не является числом."));
        QVERIFY(readFileBytes(s.ini()) == bytes);
        exposure->setText("0.05");
        child<QPushButton>(d.get(), "BitBtn1")->click();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(s.loaded().timeZone(), 3);
        QCOMPARE(s.loaded().observer(), std::string("Петров"));
    }

    void theCalibrationFitsLoadedPairsAndOkSavesThem() {
        Station s;
        writeLines(s.dir / "pairs.txt", fitPairsText());
        auto d = s.dialog();
        auto* grid = child<QTableWidget>(d.get(), "sgCoefDist");
        auto* button2 = child<QPushButton>(d.get(), "Button2");
        QCOMPARE(cellText(grid, 2, 1), QString("1.00000000E+00"));
        QVERIFY(child<QPushButton>(d.get(), "bbOpenFile")->isHidden());
        button2->click();
        QCOMPARE(grid->rowCount(), 49);
        QCOMPARE(cellText(grid, 0, 3), QString::fromUtf8(" X дист. "));
        QCOMPARE(cellText(grid, 48, 0), QString("47"));
        QCOMPARE(button2->text(), QString::fromUtf8("Расчёт"));
        d->loadPointPairs((s.dir / "pairs.txt").string());
        QCOMPARE(cellText(grid, 25, 3), QString("5"));
        button2->click();
        QVERIFY(!d->coordinateView());
        QCOMPARE(cellText(grid, 1, 1), QString("1.00000000E+00"));
        QCOMPARE(cellText(grid, 2, 1), QString("2.00000000E+00"));
        QCOMPARE(cellText(grid, 5, 2), QString("-5.00000000E-01"));
        child<QPushButton>(d.get(), "BitBtn1")->click();
        QCOMPARE(s.loaded().coefX(0), 1.0);
        QCOMPARE(s.loaded().coefY(4), -0.5);
        QCOMPARE(s.loaded().coefY(2), 3.0);
    }

    void withoutCoefficientsInTheGridOkKeepsThoseOfTheFile() {
        TConfiguration c;
        c.setCoefX(3, 2.5e-3);
        Station s(c);
        for (bool cancelled : {true, false}) {
            auto d = s.dialog();
            if (cancelled) child<QPushButton>(d.get(), "Button3")->click();
            else d->Button2Click();
            QVERIFY(cellText(child<QTableWidget>(d.get(), "sgCoefDist"), 4, 1).isEmpty());
            child<QPushButton>(d.get(), "BitBtn1")->click();
            QCOMPARE(s.loaded().coefX(3), 2.5e-3);
            QCOMPARE(s.loaded().coefX(1), 1.0);
        }
    }

    void badPairsShowTheErrorAndStay() {
        Station s;
        writeLines(s.dir / "pairs.txt", "0.5\t1\t0.6\n");
        auto d = s.dialog();
        d->choosePointPairFile = [&] { return QString::fromStdString((s.dir / "pairs.txt").string()); };
        d->Button2Click();
        child<QPushButton>(d.get(), "bbOpenFile")->click();
        auto* grid = child<QTableWidget>(d.get(), "sgCoefDist");
        QCOMPARE(cellText(grid, 1, 3), QString("0.6"));
        QVERIFY(cellText(grid, 1, 4).isEmpty());
        d->Button2Click();
        QVERIFY(d->coordinateView());
        QCOMPARE(cellText(grid, 1, 1), QString("0.5"));
        QCOMPARE(s.notifier.messages.back().caption, std::string("Ошибка"));
        QCOMPARE(s.notifier.messages.back().text, std::string("Ошибка в исходных данных! Проверьте данные."));
        QCOMPARE(s.notifier.messages.back().icon, MessageIcon::Error);
    }

    void theGridsColumnsFitTheirNumbers() {
        Station s;
        auto d = s.dialog();
        auto* grid = child<QTableWidget>(d.get(), "sgCoefDist");
        d->Button2Click();
        const QString wide = "-1234.56789012";
        grid->item(1, 3)->setText(wide);
        QVERIFY(grid->columnWidth(3) >= grid->fontMetrics().horizontalAdvance(wide));
        QVERIFY(!grid->wordWrap());
        // Back to the coefficients: those fit too.
        d->Button3Click();
        grid->item(1, 1)->setText("-1.23456789E+05");
        QVERIFY(grid->columnWidth(1) >= grid->fontMetrics().horizontalAdvance("-1.23456789E+05"));
    }

    void qtsOwnTextsAreRussian() {
        QVERIFY(installRussianWindow(*QCoreApplication::instance()));
        QCOMPARE(QLocale().language(), QLocale::Russian);
        QMessageBox box(QMessageBox::Question, "Orbisight", "?", QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QString::fromUtf8("Да"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), QString::fromUtf8("Нет"));
        // The dialogs' own button boxes as well.
        TCaptureFormatDialog formats({}, std::nullopt);
        auto* buttons = formats.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text().remove('&'), QString::fromUtf8("Отмена"));
    }

    void theGridFiltersKeysAndGrowsOnDown() {
        test::SeparatorScope point('.');
        Station s;
        auto d = s.dialog();
        auto* grid = child<QTableWidget>(d.get(), "sgCoefDist");
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        d->activateWindow();
        child<QTabWidget>(d.get(), "PageControl1")->setCurrentIndex(4);
        // Coefficients cannot be edited; columns past the view's are refused.
        QVERIFY(!(grid->item(1, 1)->flags() & Qt::ItemIsEditable));
        d->Button2Click();
        QVERIFY(!(grid->item(1, 5)->flags() & Qt::ItemIsSelectable));
        grid->setCurrentCell(1, 1);
        grid->editItem(grid->item(1, 1));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, "1-2.5.x");
        QCOMPARE(editor->text(), QString("12.5"));
        QVERIFY(!d->sgCoefDistKeyPress(QChar('-')));
        grid->setCurrentCell(2, 1);  // closes the editor, keeping its text
        QCOMPARE(cellText(grid, 1, 1), QString("12.5"));
        QVERIFY(!d->sgCoefDistKeyPress(QChar('\b')));  // an empty cell has nothing to delete
        grid->setFocus();
        grid->setCurrentCell(48, 2);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->rowCount(), 50);
        QCOMPARE(cellText(grid, 49, 0), QString("48"));
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->rowCount(), 51);
        grid->setCurrentCell(10, 1);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->rowCount(), 51);
    }

    void theCodecChooserPreselectsAndCancelForgetsTheCodec() {
        TConfiguration c;
        c.setVideoCompress(true);
        c.setNameVideoCompress("Codec B");
        c.setSettingsVideoCompress("quality=90");
        Station s(c);
        auto d = s.dialog();
        auto* label = child<QLabel>(d.get(), "lVideoCompress");
        QVERIFY(!child<QPushButton>(d.get(), "Button1")->isHidden());
        int preselected = -1;
        d->runCodecChooser = [&](TfrmCompressCodec& chooser) {
            preselected = chooser.ListBox1()->currentRow();
            chooser.ListBox1()->setCurrentRow(0);
            return int(QDialog::Accepted);
        };
        child<QPushButton>(d.get(), "Button1")->click();
        QCOMPARE(preselected, 1);
        QCOMPARE(label->text(), QString("Codec A"));
        QVERIFY(d->codecSettings().empty());  // those were Codec B's
        d->runCodecChooser = [](TfrmCompressCodec&) { return int(QDialog::Rejected); };
        child<QPushButton>(d.get(), "Button1")->click();
        QVERIFY(!child<QCheckBox>(d.get(), "cbVideoCompress")->isChecked());
        QVERIFY(label->text().isEmpty());
        QVERIFY(label->isHidden());
        child<QPushButton>(d.get(), "BitBtn1")->click();
        QCOMPARE(s.loaded().nameVideoCompress(), std::string());
        QVERIFY(!s.loaded().videoCompress());
    }

    void theChooserEditsTheSettingsOfTheEncoderClicked() {
        test::RecordingNotifier notifier;
        TfrmCompressCodec chooser({"jpegenc", "no such encoder"}, notifier);
        QCOMPARE(chooser.windowTitle(), QString::fromUtf8("Кодеки видеокомпрессии"));
        int shown = 0;
        chooser.runSettingsDialog = [&](TEncoderSettingsDialog& settings) {
            ++shown;
            auto* quality = qobject_cast<QLineEdit*>(settings.editor("quality"));
            if (!quality) return int(QDialog::Rejected);
            quality->setText("90");
            return int(QDialog::Accepted);
        };
        chooser.setSettings("jpegenc", {{"quality", "70"}});
        chooser.ListBox1()->setCurrentRow(0);
        child<QPushButton>(&chooser, "BitBtn3")->click();
        QCOMPARE(shown, 0);  // nothing clicked yet
        QTest::mouseClick(chooser.ListBox1()->viewport(), Qt::LeftButton, {},
                          chooser.ListBox1()->visualItemRect(chooser.ListBox1()->item(0)).center());
        child<QPushButton>(&chooser, "BitBtn3")->click();
        QCOMPARE(shown, 1);
        QCOMPARE(encoderSettingsText(chooser.selectedSettings()), std::string("quality=90"));

        QTest::mouseClick(chooser.ListBox1()->viewport(), Qt::LeftButton, {},
                          chooser.ListBox1()->visualItemRect(chooser.ListBox1()->item(1)).center());
        child<QPushButton>(&chooser, "BitBtn3")->click();
        QCOMPARE(shown, 1);
        QCOMPARE(notifier.messages.back().text, std::string("Вызов страницы свойств невозможен!"));
        QCOMPARE(notifier.messages.back().caption, std::string("Orbisight"));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
