#pragma once
// " Конфигурация": the modal dialog in which the observer edits every
// setting of Orbisight.ini, with the distortion calibration on its fifth
// tab. It never touches the window's configuration: it fills its controls
// from a configuration of its own loaded from the file and, on OK, saves
// another built from the controls. The file is the only channel back.

#include <QDialog>
#include <QString>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "config/uConfiguration.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace orbis {

class TfrmCompressCodec;
class UserNotifier;

class TfrmConfiguration final : public QDialog {
    Q_OBJECT
public:
    // Reads the settings of the program directory's Orbisight.ini (a file
    // that cannot be read is told on `notifier` and the defaults are shown).
    TfrmConfiguration(std::filesystem::path programDirectory, UserNotifier& notifier, QWidget* parent = nullptr);
    ~TfrmConfiguration() override;

    // OK: saves the controls into the file and closes. A field that does not
    // convert is told by its caption and gets the focus; the dialog then
    // stays open with every edit and the file is not touched.
    void BitBtn1Click();

    // The distortion grid: "Ввод координат" / "Расчёт" and "Отменить".
    void Button2Click();
    void Button3Click();
    // "Загрузить из файла": asks for a point-pair file, then loads it.
    void bbOpenFileClick();
    void loadPointPairs(const std::string& file);
    // Whether a key typed into the grid's current cell passes the filter.
    bool sgCoefDistKeyPress(QChar key) const;
    // True in the coordinate view (pairs are entered), false with coefficients.
    bool coordinateView() const { return highestColumn_ == 4; }

    // "Выбрать": the codec chooser.
    void Button1Click();
    // The settings of the chosen codec, saved beside its name.
    const std::string& codecSettings() const { return codecSettings_; }

    // What shows the modal dialogs (tests answer them instead).
    std::function<QString()> choosePointPairFile;
    std::function<int(TfrmCompressCodec&)> runCodecChooser;
    std::function<std::vector<std::string>()> listEncoders;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Kind { Number, Integer, Text, Check, List };
    struct Field {
        QWidget* control;
        QString caption;  // names the field in an error
        std::string key;
        Kind kind;
    };

    void buildObservatoryTab(QTabWidget* tabs);
    void buildCameraTab(QTabWidget* tabs);
    void buildDetectionTab(QTabWidget* tabs);
    void buildProcessingTab(QTabWidget* tabs);
    void buildDistortionTab(QTabWidget* tabs);
    QLineEdit* edit(const char* name, const QString& caption, const std::string& key, Kind kind);
    QCheckBox* check(const char* name, const QString& caption, const std::string& key);

    void fill(const TConfiguration& config);
    void setCell(int row, int column, const QString& text);
    QString cell(int row, int column) const;
    void clearGrid();
    void setHeaders(const std::vector<QString>& headers);
    void numberRows();
    void sgCoefDistKeyUp(int key);

    std::filesystem::path programDirectory_;
    UserNotifier& notifier_;
    std::vector<Field> fields_;
    // The coefficients of the file when the dialog opened: OK keeps them
    // where the grid holds none.
    std::array<double, TConfiguration::kCoefCount> openedX_{}, openedY_{};
    std::string codecSettings_;
    int highestColumn_ = 2;

    QTabWidget* pages_ = nullptr;
    QComboBox* cbLat_ = nullptr;
    QComboBox* cbLong_ = nullptr;
    QButtonGroup* rgCatal_ = nullptr;
    QCheckBox* cbFrameStamp_ = nullptr;
    QLabel* label12_ = nullptr;
    QLineEdit* eFrameFontSize_ = nullptr;
    QCheckBox* cbVideoCompress_ = nullptr;
    QLabel* lVideoCompress_ = nullptr;
    QPushButton* button1_ = nullptr;
    QTableWidget* sgCoefDist_ = nullptr;
    QPushButton* button2_ = nullptr;
    QPushButton* bbOpenFile_ = nullptr;
};

}  // namespace orbis
