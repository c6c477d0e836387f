#include "gui/uConfigurationDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "astro/uExceptions.h"
#include "astro/uNotifier.h"
#include "astro/uUniUtils.h"
#include "capture/media/uEncoders.h"
#include "gui/uListCompressCodec.h"
#include "gui/uQtNotifier.h"
#include "processing/uDistortionFit.h"

namespace orbis {

namespace {

constexpr const char* kCoefPattern = "0.00000000E+00";
constexpr int kCoefRows = TConfiguration::kCoefCount + 1;
constexpr int kCoordinateRows = 49;

QString u8(const char* text) { return QString::fromUtf8(text); }
// The dialog's words for its helpers outside the class.
QString dialogText(const char* text) { return QCoreApplication::translate("orbis::TfrmConfiguration", text); }

// A number as the dialog shows it: the shortest form that reads back, with
// the locale's decimal separator.
QString numberText(const std::string& valueText) {
    std::string text = floatToText(parseFloat(valueText));
    for (char& c : text) {
        if (c == '.') c = formatSettings().decimalSeparator;
    }
    return QString::fromStdString(text);
}

// A control's caption as an error names it.
QString fieldName(QString caption) { return caption.trimmed(); }

// The core's conversion errors are the core's; the dialog says which field
// in its own words.
std::string notANumber(const std::string& text, bool integer) {
    const QString said = integer ? QCoreApplication::translate("orbis::TfrmConfiguration", "«%1» не является целым числом.")
                                 : QCoreApplication::translate("orbis::TfrmConfiguration", "«%1» не является числом.");
    return said.arg(QString::fromStdString(text)).toStdString();
}

// The editor of a grid cell filters keys as the grid does.
class TCellDelegate final : public QStyledItemDelegate {
public:
    TCellDelegate(QObject* filter, QObject* parent) : QStyledItemDelegate(parent), filter_(filter) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor) editor->installEventFilter(filter_);
        return editor;
    }

private:
    QObject* filter_;
};

struct FieldError {
    QWidget* control;
    std::string text;
};

const std::array<const char*, 6> kCatalogs = {"c30.dat", "c35.dat", "c40.dat", "c45.dat", "c50.dat", "c55.dat"};
const std::array<const char*, 6> kCatalogCaptions = {"3,0m", "3,5m", "4,0m", "4,5m", "5,0m", "5,5m"};

// The control's caption with the declared range of its setting, as its
// hint; the dialog saves any number that converts.
QString rangeHint(const QString& caption, const std::string& key) {
    QString hint = fieldName(caption);
    const TSettingDeclaration* d = findSettingDeclaration(key);
    if (d && d->range) {
        const QString low = QString::fromStdString(floatToText(d->range->low));
        const QString high = QString::fromStdString(floatToText(d->range->high));
        hint += d->range->aboveLow ? QCoreApplication::translate("orbis::TfrmConfiguration", " (больше %1 до %2)").arg(low, high)
                                   : QCoreApplication::translate("orbis::TfrmConfiguration", " (от %1 до %2)").arg(low, high);
    }
    return hint;
}

}  // namespace

TfrmConfiguration::TfrmConfiguration(std::filesystem::path programDirectory, UserNotifier& notifier, QWidget* parent)
    : QDialog(parent), programDirectory_(std::move(programDirectory)), notifier_(notifier) {
    setObjectName("frmConfiguration");
    setWindowTitle(tr(" Конфигурация"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget;
    pages_->setObjectName("PageControl1");
    layout->addWidget(pages_);
    buildObservatoryTab(pages_);
    buildCameraTab(pages_);
    buildDetectionTab(pages_);
    buildProcessingTab(pages_);
    buildDistortionTab(pages_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton("OK");
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Отмена"));
    cancel->setObjectName("BitBtn2");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    choosePointPairFile = [this] {
        return QFileDialog::getOpenFileName(this, tr("Открыть файл пар точек"),
                                            QString::fromStdString(programDirectory_.string()));
    };
    runCodecChooser = [](TfrmCompressCodec& chooser) { return chooser.exec(); };
    listEncoders = [] { return videoEncoderNames(); };

    Button3Click();
    TConfiguration config;
    try {
        config.load(iniFilePath(programDirectory_));
    } catch (const std::exception& e) {
        // The defaults are shown; OK writes the file anew.
        notifier_.message("Orbisight",
                          tr("Настройки не прочитаны, показаны значения по умолчанию: %1")
                              .arg(QString::fromStdString(failureText(notifier_, e)))
                              .toStdString(),
                          MessageIcon::Error);
    }
    fill(config);
    resize(564, 371);
}

TfrmConfiguration::~TfrmConfiguration() = default;

QLineEdit* TfrmConfiguration::edit(const char* name, const QString& caption, const std::string& key, Kind kind) {
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setToolTip(rangeHint(caption, key));
    fields_.push_back({e, caption, key, kind});
    return e;
}

QCheckBox* TfrmConfiguration::check(const char* name, const QString& caption, const std::string& key) {
    auto* c = new QCheckBox(caption);
    c->setObjectName(name);
    fields_.push_back({c, caption, key, Kind::Check});
    return c;
}

namespace {

// A labelled edit: its caption on the left.
void addRow(QGridLayout* grid, const QString& caption, QWidget* control, const QString& after = {}) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(control, row, 1);
    if (!after.isEmpty()) grid->addWidget(new QLabel(after), row, 2);
}

QComboBox* hemisphereList(const char* name, const char* first, const char* second) {
    auto* list = new QComboBox;
    list->setObjectName(name);
    list->addItems({dialogText(first), dialogText(second)});
    return list;
}

}  // namespace

void TfrmConfiguration::buildObservatoryTab(QTabWidget* tabs) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    addRow(grid, tr("Широта"), edit("eLat", tr("Широта"), "latitude", Kind::Number));
    cbLat_ = hemisphereList("cbLat", QT_TR_NOOP("Северное"), QT_TR_NOOP("Южное"));
    fields_.push_back({cbLat_, tr("полушарие"), "pole", Kind::List});
    addRow(grid, tr("полушарие"), cbLat_);
    addRow(grid, tr("Долгота"), edit("eLong", tr("Долгота"), "longitude", Kind::Number));
    cbLong_ = hemisphereList("cbLong", QT_TR_NOOP("Восточное"), QT_TR_NOOP("Западное"));
    fields_.push_back({cbLong_, tr("полушарие"), "hemisphere", Kind::List});
    addRow(grid, tr("полушарие"), cbLong_);
    addRow(grid, tr("Высота"), edit("eAltitude", tr("Высота"), "altitude", Kind::Number), tr("метров"));
    addRow(grid, tr("Часовой пояс "), edit("leTimeZone", tr("Часовой пояс "), "timeZone", Kind::Number));
    addRow(grid, tr("Путь к каталогам "), edit("lePathToCatalogs", tr("Путь к каталогам "), "pathToCatalogs", Kind::Text));
    addRow(grid, tr("Каталог радиантов "), edit("leCatalogRads", tr("Каталог радиантов "), "catalogRads", Kind::Text));
    auto* catalogs = new QGroupBox(tr("Звёздный каталог"));
    catalogs->setObjectName("rgCatal");
    auto* row = new QHBoxLayout(catalogs);
    rgCatal_ = new QButtonGroup(catalogs);
    for (int k = 0; k < 6; ++k) {
        auto* item = new QRadioButton(u8(kCatalogCaptions[static_cast<std::size_t>(k)]));
        rgCatal_->addButton(item, k);
        row->addWidget(item);
    }
    grid->addWidget(catalogs, grid->rowCount(), 0, 1, 3);
    addRow(grid, tr("Наблюдатель "), edit("leObserver", tr("Наблюдатель "), "observer", Kind::Text));
    grid->setRowStretch(grid->rowCount(), 1);
    tabs->addTab(page, tr("Обсерватория"));
}

void TfrmConfiguration::buildCameraTab(QTabWidget* tabs) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    addRow(grid, tr("Название камеры "), edit("leCamName", tr("Название камеры "), "name", Kind::Text));
    auto* ccd = new QGroupBox(tr("Размеры ПЗС"));
    auto* ccdGrid = new QGridLayout(ccd);
    addRow(ccdGrid, tr("Ширина, пикс"), edit("eWidthCCD", tr("Ширина, пикс"), "widthCCD", Kind::Integer));
    addRow(ccdGrid, tr("Высота, пикс"), edit("eHeightCCD", tr("Высота, пикс"), "heightCCD", Kind::Integer));
    grid->addWidget(ccd, grid->rowCount(), 0, 1, 2);
    addRow(grid, tr("Фокусное расстояние, мм "),
           edit("leFocalLength", tr("Фокусное расстояние, мм "), "focalLength", Kind::Integer));
    addRow(grid, tr("Экспозиция кадра, сек "),
           edit("leFrameExpos", tr("Экспозиция кадра, сек "), "frameExposure", Kind::Number));
    addRow(grid, tr("Масштаб "), edit("leFrameScale", tr("Масштаб "), "frameScale", Kind::Integer));
    addRow(grid, tr("Максимальный уровень шума "),
           edit("leLevelNoiseMax", tr("Максимальный уровень шума "), "levelNoiseMax", Kind::Integer));
    addRow(grid, tr("Темновой кадр "), edit("leDarkFrame", tr("Темновой кадр "), "darkFrame", Kind::Text));
    addRow(grid, tr("Кадр-маска "), edit("leMaskFrame", tr("Кадр-маска "), "maskFrame", Kind::Text));
    grid->setRowStretch(grid->rowCount(), 1);
    tabs->addTab(page, tr("Камера"));
}

void TfrmConfiguration::buildDetectionTab(QTabWidget* tabs) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    addRow(grid, tr("Количество кадров в буфере"),
           edit("eBufSize", tr("Количество кадров в буфере"), "nFramesBeforeEvent", Kind::Integer));
    addRow(grid, tr("Количество кадров после события"),
           edit("ePlusBuf", tr("Количество кадров после события"), "nFramesAfterEvent", Kind::Integer));
    addRow(grid, tr("Кол-во сигн. кадров"),
           edit("eCountEventFrame", tr("Кол-во сигн. кадров"), "nSignalFrames", Kind::Integer));
    addRow(grid, tr("Порог шума, в пикс."), edit("eCountNoise", tr("Порог шума, в пикс."), "nNoisePixels", Kind::Integer));
    addRow(grid, tr("Достоверность, в пикс."),
           edit("eCountEventPixels", tr("Достоверность, в пикс."), "nSignalPixels", Kind::Integer));

    auto* extra = new QGroupBox(tr(" Дополнительные операции "));
    auto* extraLayout = new QVBoxLayout(extra);
    extraLayout->addWidget(check("cbMask", tr("Учитывать маску"), "useMaskFile"));
    extraLayout->addWidget(check("cbDark", tr("Учитывать темновой кадр"), "useDarkFile"));
    auto* plain = new QGroupBox(tr(" Режим обычной записи "));
    auto* plainLayout = new QGridLayout(plain);
    plainLayout->addWidget(check("cbPreviewOnline", tr("Предварительный просмотр (реком. откл. при сжатии)"), "previewOnline"),
                           0, 0, 1, 3);
    cbFrameStamp_ = check("cbFrameStamp", tr("Метка времени"), "addTimeStamp");
    plainLayout->addWidget(cbFrameStamp_, 1, 0);
    label12_ = new QLabel(tr("Шрифт, pt"));
    label12_->setObjectName("Label12");
    eFrameFontSize_ = edit("eFrameFontSize", tr("Шрифт, pt"), "frameFontSize", Kind::Integer);
    plainLayout->addWidget(label12_, 1, 1);
    plainLayout->addWidget(eFrameFontSize_, 1, 2);
    cbVideoCompress_ = check("cbVideoCompress", tr("Кодек видеокомпрессии"), "videoCompress");
    plainLayout->addWidget(cbVideoCompress_, 2, 0);
    button1_ = new QPushButton(tr("Выбрать"));
    button1_->setObjectName("Button1");
    plainLayout->addWidget(button1_, 2, 2);
    lVideoCompress_ = new QLabel;
    lVideoCompress_->setObjectName("lVideoCompress");
    lVideoCompress_->setAlignment(Qt::AlignCenter);
    fields_.push_back({lVideoCompress_, tr("Кодек видеокомпрессии"), "nameVideoCompress", Kind::Text});
    plainLayout->addWidget(lVideoCompress_, 3, 0, 1, 3);
    extraLayout->addWidget(plain);
    extraLayout->addWidget(check("cbLog", tr("Вести файл событий"), "useLogFile"));
    auto* shutdown = new QHBoxLayout;
    shutdown->addWidget(check("cbAutoDisable", tr("Выключать компьютер при уровне"), "useAutoShutDown"));
    shutdown->addWidget(edit("eAutoLevel", tr("Выключать компьютер при уровне"), "autoShutDownLevel", Kind::Integer));
    extraLayout->addLayout(shutdown);
    // The unattended station (orbisight-cli station).
    auto* unattended = new QHBoxLayout;
    unattended->addWidget(new QLabel(tr("Ночь, когда Солнце ниже, °")));
    unattended->addWidget(edit("eSunAltitudeNight", tr("Высота Солнца ночью, °"), "sunAltitudeNight", Kind::Number));
    unattended->addWidget(new QLabel(tr("Свободно на диске не менее, МБ")));
    unattended->addWidget(edit("eMinFreeSpace", tr("Свободное место на диске, МБ"), "minFreeSpaceMB", Kind::Integer));
    extraLayout->addLayout(unattended);
    grid->addWidget(extra, grid->rowCount(), 0, 1, 2);
    grid->setRowStretch(grid->rowCount(), 1);

    // Checking shows what belongs to the check box; unchecking the codec
    // also forgets its name.
    label12_->hide();
    eFrameFontSize_->hide();
    button1_->hide();
    lVideoCompress_->hide();
    connect(cbFrameStamp_, &QCheckBox::toggled, this, [this](bool on) {
        label12_->setVisible(on);
        eFrameFontSize_->setVisible(on);
    });
    connect(cbVideoCompress_, &QCheckBox::toggled, this, [this](bool on) {
        button1_->setVisible(on);
        lVideoCompress_->setVisible(on);
        if (!on) {
            lVideoCompress_->clear();
            codecSettings_.clear();
        }
    });
    connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });
    tabs->addTab(page, tr("Детектирование"));
}

void TfrmConfiguration::buildProcessingTab(QTabWidget* tabs) {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    auto* operations = new QGroupBox(tr(" Операции "));
    auto* ops = new QVBoxLayout(operations);
    ops->addWidget(check("cbrRemDarkFrame", tr("Удалить темновой кадр"), "remDarkFrame"));
    ops->addWidget(check("cbRemGradFrame", tr("Удалить градиент"), "remGradFrame"));
    ops->addWidget(check("cbFrameContrast", tr("Автоконтраст кадра"), "autoContrastFrame"));
    ops->addWidget(check("cbDoubleHeight", tr("Удвоение высоты кадра"), "doubleFrameHeight"));
    ops->addWidget(check("cbFrameDistortion", tr("Коррекция дисторсии"), "correctDistortion"));
    ops->addWidget(check("cbAlignCoord", tr("Привязка центра кадра"), "bindStars"));
    ops->addWidget(check("cbAddStarMagn", tr("Добавить блеск звёзд"), "addStarMagn"));
    ops->addWidget(check("cbAddStarSpec", tr("Добавить спектральный класс"), "addStarSpec"));
    ops->addWidget(check("cbCreateReport", tr("Создание отчёта"), "createReport"));
    ops->addWidget(check("cbDeleteTemp", tr("Удаление временных файлов"), "deleteTemp"));
    ops->addStretch();
    row->addWidget(operations);
    auto* binding = new QGroupBox(tr(" Привязка координат "));
    auto* grid = new QGridLayout(binding);
    const auto labelled = [&](const char* name, const char* caption, const char* key, Kind kind) {
        addRow(grid, tr(caption), edit(name, tr(caption), key, kind));
    };
    labelled("leDetEpsilon", QT_TR_NOOP("Допустимая погрешнось "), "autoDetectTriangleEpsilon", Kind::Number);
    labelled("leDetNStar", QT_TR_NOOP("Кол-во тестовых звёзд "), "autoDetectNStar", Kind::Integer);
    labelled("leDetMinSide", QT_TR_NOOP("Игнор. стороны менее, пикс "), "autoDetectMinSide", Kind::Integer);
    labelled("leContrast1", QT_TR_NOOP("Коэф. контрастности  "), "autoDetectCoefContrast", Kind::Number);
    labelled("leDetScanDelta", QT_TR_NOOP("Шаг между кадрами, град "), "autoDetectScanDelta", Kind::Number);
    labelled("leDetRaMin", QT_TR_NOOP("RA min, гр "), "autoDetectMinRA", Kind::Number);
    labelled("leDetRaMax", QT_TR_NOOP("RA max, гр"), "autoDetectMaxRA", Kind::Number);
    labelled("leDetDecMin", QT_TR_NOOP("DEC min, гр "), "autoDetectMinDEC", Kind::Number);
    labelled("leDetDecMax", QT_TR_NOOP("DEC max, гр"), "autoDetectMaxDEC", Kind::Number);
    grid->setRowStretch(grid->rowCount(), 1);
    row->addWidget(binding);
    tabs->addTab(page, tr("Обработка"));
}

void TfrmConfiguration::buildDistortionTab(QTabWidget* tabs) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    sgCoefDist_ = new QTableWidget(kCoefRows, 6);
    sgCoefDist_->setObjectName("sgCoefDist");
    // Row 0 and column 0 are the grid's own fixed headers.
    sgCoefDist_->horizontalHeader()->hide();
    sgCoefDist_->verticalHeader()->hide();
    sgCoefDist_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    sgCoefDist_->setSelectionMode(QAbstractItemView::SingleSelection);
    const std::array<int, 6> widths = {29, 122, 125, 64, 64, 64};
    for (int c = 0; c < 6; ++c) sgCoefDist_->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    // Numbers are never wrapped: a column grows to the widest of its cells.
    sgCoefDist_->setWordWrap(false);
    connect(sgCoefDist_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        const int column = item->column(), before = sgCoefDist_->columnWidth(column);
        sgCoefDist_->resizeColumnToContents(column);
        if (sgCoefDist_->columnWidth(column) < before) sgCoefDist_->setColumnWidth(column, before);
    });
    sgCoefDist_->installEventFilter(this);
    layout->addWidget(sgCoefDist_);
    auto* buttons = new QHBoxLayout;
    button2_ = new QPushButton(tr("Ввод координат"));
    button2_->setObjectName("Button2");
    auto* button3 = new QPushButton(tr("Отменить"));
    button3->setObjectName("Button3");
    bbOpenFile_ = new QPushButton(tr("Загрузить из файла"));
    bbOpenFile_->setObjectName("bbOpenFile");
    buttons->addWidget(button2_);
    buttons->addWidget(button3);
    buttons->addWidget(bbOpenFile_);
    buttons->addStretch();
    layout->addLayout(buttons);
    auto* margins = new QGridLayout;
    addRow(margins, tr("Увеличить ширину кадра, пикс "),
           edit("leAddResultWidth", tr("Увеличить ширину кадра, пикс "), "addResultWidth", Kind::Integer));
    addRow(margins, tr("Увеличить высоту кадра, пикс "),
           edit("leAddResultHeight", tr("Увеличить высоту кадра, пикс "), "addResultHeight", Kind::Integer));
    layout->addLayout(margins);
    connect(button2_, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(bbOpenFile_, &QPushButton::clicked, this, [this] { bbOpenFileClick(); });
    sgCoefDist_->setItemDelegate(new TCellDelegate(this, sgCoefDist_));
    tabs->addTab(page, tr("Дисторсия"));
}

void TfrmConfiguration::fill(const TConfiguration& config) {
    for (const Field& f : fields_) {
        const std::string value = config.valueText(f.key);
        switch (f.kind) {
            case Kind::Number: {
                QString text = numberText(value);
                // The magnitudes of the coordinates; their lists give the side.
                if ((f.key == "latitude" || f.key == "longitude") && text.startsWith('-')) text.remove(0, 1);
                static_cast<QLineEdit*>(f.control)->setText(text);
                break;
            }
            case Kind::Integer:
            case Kind::Text:
                if (auto* e = qobject_cast<QLineEdit*>(f.control)) e->setText(QString::fromStdString(value));
                break;
            case Kind::Check: static_cast<QCheckBox*>(f.control)->setChecked(value == "1"); break;
            case Kind::List: static_cast<QComboBox*>(f.control)->setCurrentIndex(value == "1" ? 1 : 0); break;
        }
    }
    // After its check box, so a name survives in the hidden label.
    lVideoCompress_->setText(QString::fromStdString(config.nameVideoCompress()));
    codecSettings_ = config.valueText("settingsVideoCompress");
    const std::string catalog = config.catalogStar();
    int item = 5;
    for (int k = 0; k < 5; ++k) {
        if (catalog == kCatalogs[static_cast<std::size_t>(k)]) item = k;
    }
    rgCatal_->button(item)->setChecked(true);
    for (int i = 0; i < TConfiguration::kCoefCount; ++i) {
        openedX_[static_cast<std::size_t>(i)] = config.coefX(i);
        openedY_[static_cast<std::size_t>(i)] = config.coefY(i);
        setCell(i + 1, 1, QString::fromStdString(formatFloat(kCoefPattern, config.coefX(i))));
        setCell(i + 1, 2, QString::fromStdString(formatFloat(kCoefPattern, config.coefY(i))));
    }
}

void TfrmConfiguration::BitBtn1Click() {
    TConfiguration config;
    try {
        for (const Field& f : fields_) {
            std::string text;
            switch (f.kind) {
                case Kind::Number:
                    text = static_cast<QLineEdit*>(f.control)->text().toStdString();
                    try {
                        parseFloat(text);
                    } catch (const EConvertError&) {
                        throw FieldError{f.control, "«" + fieldName(f.caption).toStdString() + "»: " + notANumber(text, false)};
                    }
                    break;
                case Kind::Integer:
                    text = static_cast<QLineEdit*>(f.control)->text().toStdString();
                    try {
                        parseInt(text);  // strictly: a fraction or letters are refused, not defaulted
                    } catch (const EConvertError&) {
                        throw FieldError{f.control, "«" + fieldName(f.caption).toStdString() + "»: " + notANumber(text, true)};
                    }
                    break;
                case Kind::Text:
                    if (auto* e = qobject_cast<QLineEdit*>(f.control)) text = e->text().toStdString();
                    else text = static_cast<QLabel*>(f.control)->text().toStdString();
                    break;
                case Kind::Check: text = static_cast<QCheckBox*>(f.control)->isChecked() ? "1" : "0"; break;
                case Kind::List: text = static_cast<QComboBox*>(f.control)->currentIndex() == 1 ? "1" : "0"; break;
            }
            config.setValueText(f.key, text);
        }
        config.setValueText("settingsVideoCompress", codecSettings_);
        const int item = rgCatal_->checkedId();
        config.setCatalogStar(item >= 0 && item < 5 ? kCatalogs[static_cast<std::size_t>(item)] : "c55.dat");
        for (int i = 0; i < TConfiguration::kCoefCount; ++i) {
            // Where the grid holds no coefficients (pairs being entered, or
            // emptied by "Отменить") the ones of the file stay.
            double x = openedX_[static_cast<std::size_t>(i)], y = openedY_[static_cast<std::size_t>(i)];
            if (!coordinateView()) {
                const QString cx = cell(i + 1, 1), cy = cell(i + 1, 2);
                const QString* now = &cx;
                try {
                    if (!cx.isEmpty()) x = parseFloat(cx.toStdString());
                    now = &cy;
                    if (!cy.isEmpty()) y = parseFloat(cy.toStdString());
                } catch (const EConvertError&) {
                    throw FieldError{sgCoefDist_, "«" + tr("Дисторсия").toStdString() + "»: " + notANumber(now->toStdString(), false)};
                }
            }
            config.setCoefX(i, x);
            config.setCoefY(i, y);
        }
    } catch (const FieldError& error) {
        notifier_.message(tr("Ошибка").toStdString(), error.text, MessageIcon::Error);
        for (int t = 0; t < pages_->count(); ++t) {
            if (pages_->widget(t)->isAncestorOf(error.control)) pages_->setCurrentIndex(t);
        }
        error.control->setFocus();
        if (auto* e = qobject_cast<QLineEdit*>(error.control)) e->selectAll();
        return;
    }
    try {
        config.save(iniFilePath(programDirectory_));
    } catch (const std::exception& e) {
        notifier_.message(tr("Ошибка").toStdString(),
                          tr("Настройки не сохранены: %1").arg(QString::fromStdString(failureText(notifier_, e))).toStdString(),
                          MessageIcon::Error);
        return;
    }
    accept();
}

// --- The distortion grid ---------------------------------------------------

void TfrmConfiguration::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = sgCoefDist_->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        sgCoefDist_->setItem(row, column, item);
    }
    item->setText(text);
    const bool fixed = row == 0 || column == 0;
    item->setTextAlignment(fixed ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (!fixed && column <= highestColumn_) {
        flags |= Qt::ItemIsSelectable;
        if (coordinateView()) flags |= Qt::ItemIsEditable;
    }
    item->setFlags(flags);
    if (fixed) item->setBackground(sgCoefDist_->palette().button());
}

QString TfrmConfiguration::cell(int row, int column) const {
    const QTableWidgetItem* item = sgCoefDist_->item(row, column);
    return item ? item->text() : QString();
}

void TfrmConfiguration::clearGrid() {
    sgCoefDist_->clearContents();
    bbOpenFile_->hide();
}

void TfrmConfiguration::setHeaders(const std::vector<QString>& headers) {
    for (int c = 0; c < sgCoefDist_->columnCount(); ++c)
        setCell(0, c, c < static_cast<int>(headers.size()) ? headers[static_cast<std::size_t>(c)] : QString());
}

void TfrmConfiguration::numberRows() {
    for (int r = 1; r < sgCoefDist_->rowCount(); ++r) {
        setCell(r, 0, QString::number(r - 1));
        // Every cell gets the view's flags, filled or not.
        for (int c = 1; c < sgCoefDist_->columnCount(); ++c) {
            if (!sgCoefDist_->item(r, c)) setCell(r, c, {});
        }
    }
}

void TfrmConfiguration::Button3Click() {
    clearGrid();
    highestColumn_ = 2;
    sgCoefDist_->setRowCount(kCoefRows);
    sgCoefDist_->setColumnWidth(1, 120);
    sgCoefDist_->setColumnWidth(2, 120);
    setHeaders({tr(" N "), tr("Коэффициенты по Х"), tr("Коэффициенты по Y")});
    numberRows();
    sgCoefDist_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    button2_->setText(tr("Ввод координат"));
}

void TfrmConfiguration::Button2Click() {
    if (!coordinateView()) {
        clearGrid();
        highestColumn_ = 4;
        sgCoefDist_->setRowCount(kCoordinateRows);
        setHeaders({tr(" N "), tr(" X ист. "), tr(" Y ист. "), tr(" X дист. "), tr(" Y дист. ")});
        numberRows();
        for (int c = 1; c <= 4; ++c) sgCoefDist_->resizeColumnToContents(c);
        sgCoefDist_->setEditTriggers(QAbstractItemView::AllEditTriggers);
        button2_->setText(tr("Расчёт"));
        bbOpenFile_->show();
        return;
    }
    // "Расчёт": rows up to the last with a true X are used, gaps included.
    TDistortionFit fit;
    try {
        int n = 0;
        for (int r = 1; r < sgCoefDist_->rowCount(); ++r) {
            if (!cell(r, 1).isEmpty()) n = r;
        }
        std::vector<TPointPair> pairs;
        for (int r = 1; r <= n; ++r) {
            pairs.push_back({parseFloat(cell(r, 1).toStdString()), parseFloat(cell(r, 2).toStdString()),
                             parseFloat(cell(r, 3).toStdString()), parseFloat(cell(r, 4).toStdString())});
        }
        fit = fitDistortion(pairs);
    } catch (const std::exception&) {
        notifier_.message(tr("Ошибка").toStdString(), tr("Ошибка в исходных данных! Проверьте данные.").toStdString(),
                          MessageIcon::Error);
        return;
    }
    Button3Click();
    for (int i = 0; i < TConfiguration::kCoefCount; ++i) {
        setCell(i + 1, 1, QString::fromStdString(formatFloat(kCoefPattern, fit.coefX[static_cast<std::size_t>(i)])));
        setCell(i + 1, 2, QString::fromStdString(formatFloat(kCoefPattern, fit.coefY[static_cast<std::size_t>(i)])));
    }
}

void TfrmConfiguration::bbOpenFileClick() {
    const QString file = choosePointPairFile();
    if (file.isEmpty()) return;
    loadPointPairs(file.toStdString());
}

void TfrmConfiguration::loadPointPairs(const std::string& file) {
    clearGrid();
    setHeaders({tr(" N "), tr(" X ист. "), tr(" Y ист. "), tr(" X дист. "), tr(" Y дист. ")});
    numberRows();
    try {
        int r = 1;
        for (const auto& fields : readPointPairFields(file)) {
            if (r >= sgCoefDist_->rowCount()) {
                sgCoefDist_->setRowCount(r + 1);
                numberRows();
            }
            for (int c = 1; c <= 4; ++c) setCell(r, c, QString::fromStdString(fields[static_cast<std::size_t>(c - 1)]));
            ++r;
        }
    } catch (const std::exception& e) {
        notifier_.message(tr("Ошибка").toStdString(),
                          tr("Файл пар точек не прочитан: %1").arg(QString::fromStdString(failureText(notifier_, e))).toStdString(),
                          MessageIcon::Error);
    }
    bbOpenFile_->show();
}

bool TfrmConfiguration::sgCoefDistKeyPress(QChar key) const {
    const bool keepsText = key == '\b' || key == '\t' || key == '\r';
    if (!keepsText && key != ',' && key != '.' && !(key >= '0' && key <= '9')) return false;
    QString text;
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (editor && sgCoefDist_->isAncestorOf(editor)) text = editor->text();
    else text = cell(sgCoefDist_->currentRow(), sgCoefDist_->currentColumn());
    if (!keepsText) text += key;
    try {
        parseFloat(text.toStdString());
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

void TfrmConfiguration::sgCoefDistKeyUp(int key) {
    if (!coordinateView() || key != Qt::Key_Down) return;
    if (sgCoefDist_->currentRow() != sgCoefDist_->rowCount() - 1) return;
    const int rows = sgCoefDist_->rowCount() + 1;
    sgCoefDist_->setRowCount(rows);
    setCell(rows - 1, 0, QString::number(rows - 2));
    for (int c = 1; c < sgCoefDist_->columnCount(); ++c) setCell(rows - 1, c, {});
}

bool TfrmConfiguration::eventFilter(QObject* watched, QEvent* event) {
    const bool grid = watched == sgCoefDist_;
    const bool editor = !grid && qobject_cast<QLineEdit*>(watched) && sgCoefDist_->isAncestorOf(static_cast<QWidget*>(watched));
    if ((grid || editor) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Keys that type a character pass the filter; moving keys pass as they are.
        if (text.size() == 1 && (text[0].isPrint() || text[0] == '\b' || text[0] == '\r' || text[0] == '\t')) {
            if (!sgCoefDistKeyPress(text[0])) return true;
        }
    }
    if (grid && event->type() == QEvent::KeyRelease) sgCoefDistKeyUp(static_cast<QKeyEvent*>(event)->key());
    return QDialog::eventFilter(watched, event);
}

// --- The codec ---------------------------------------------------------------

void TfrmConfiguration::Button1Click() {
    TfrmCompressCodec chooser(listEncoders(), notifier_, this);
    QListWidget* list = chooser.ListBox1();
    if (list->count() > 0) list->setCurrentRow(0);
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == lVideoCompress_->text()) list->setCurrentRow(i);
    }
    try {
        chooser.setSettings(lVideoCompress_->text().toStdString(), parseEncoderSettings(codecSettings_));
    } catch (const EConvertError&) {
        // Settings that no longer parse are dropped; "Настройка" starts afresh.
    }
    if (runCodecChooser(chooser) == QDialog::Accepted) {
        lVideoCompress_->setText(chooser.selectedName());
        codecSettings_ = encoderSettingsText(chooser.selectedSettings());
    } else {
        cbVideoCompress_->setChecked(false);
        lVideoCompress_->clear();
        codecSettings_.clear();
    }
}

}  // namespace orbis
