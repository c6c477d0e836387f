#include "gui/uPhotoPage.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "astro/uUniUtils.h"
#include "astrometry/uStarDetection.h"
#include "config/uConfiguration.h"
#include "gui/uQtNotifier.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"
#include "reports/uNightExports.h"
#include "station/uBackgroundWork.h"
#include "station/uEventProcessing.h"
#include "station/uNightProcessing.h"

namespace orbis {

namespace fs = std::filesystem;

namespace {

constexpr int kLoupeSize = 140;
// Room a calendar cell keeps around its text.
constexpr int kCalendarCellMargin = 14;
constexpr const char* kIdleCaption = QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Разметка трека");
constexpr const char* kMarkingCaption = QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Сохранить трек");
constexpr const char* kProposeCaption = QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Предложить трек");
constexpr const char* kNightCaption = QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Обработать ночь");
constexpr const char* kQueuedNightCaption = QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Ночь в очереди");
constexpr const char* kQueuedNightStatus =
    QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Ночь будет обработана после текущей работы; нажмите ещё раз, чтобы отменить.");

template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The page's words for what the browser and the marks hold: the window says
// them in its own language.
QString said(const char* text) { return QCoreApplication::translate("orbis::TPhotoPage", text); }

QString positionText(const TPhotoBrowser& browser) {
    if (browser.files().empty()) return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Метеор 0(0), Кадр 0(0)"));
    return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Метеор %1(%2), Кадр %3(%4)"))
        .arg(browser.eventIndex() + 1)
        .arg(browser.events().size())
        .arg(browser.fileIndex() + 1)
        .arg(browser.files().size());
}

QString pointText(const TTrackPoint& point) {
    return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "X = %1 Y = %2   Кадр: %3")).arg(point.x).arg(point.y).arg(point.frame);
}

// Which point a save still lacks; nothing when both are set.
std::optional<QString> missingPointText(const TTrackMarks& marks) {
    if (!marks.start && !marks.finish) return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Не отмечены начало и конец метеора."));
    if (!marks.start) return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Не отмечено начало метеора."));
    if (!marks.finish) return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Не отмечен конец метеора."));
    return std::nullopt;
}

// How the proposal placed the ends; empty for marks it did not give.
QString estimateText(const TTrackMarks& marks) {
    if (!marks.startEstimate || !marks.finishEstimate) return {};
    const auto placed = [](TTrackEstimate e) {
        switch (e) {
            case TTrackEstimate::StreakFit: return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "по следу"));
            case TTrackEstimate::LeadingEdge: return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "по переднему краю"));
            case TTrackEstimate::SpotCentroid: return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "по центру пятна"));
            case TTrackEstimate::Predicted: return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "по движению"));
        }
        return QString();
    };
    return said(QT_TRANSLATE_NOOP("orbis::TPhotoPage", "Трек предложен: начало — %1, конец — %2"))
        .arg(placed(*marks.startEstimate), placed(*marks.finishEstimate));
}

}  // namespace

QImage bitmapImage(const std::string& path) {
    const TBitmap b = loadBitmap(path);
    QImage image(b.width, b.height, QImage::Format_RGB32);
    const std::size_t stride = b.rowBytes();
    for (int row = 0; row < b.height; ++row) {
        // Bitmap rows are bottom-up.
        const uint8_t* src = b.pixels.data() + static_cast<std::size_t>(b.height - 1 - row) * stride;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int x = 0; x < b.width; ++x) {
            if (b.bitsPerPixel == 8) {
                const uint8_t i = src[x];
                const TPaletteEntry p = i < b.palette.size() ? b.palette[i] : TPaletteEntry{i, i, i, 0};
                dst[x] = qRgb(p.red, p.green, p.blue);
            } else {
                const uint8_t* px = src + x * (b.bitsPerPixel / 8);
                dst[x] = qRgb(px[2], px[1], px[0]);
            }
        }
    }
    return image;
}

// ---------------------------------------------------------------- picture

TPictureView::TPictureView() {
    setObjectName("Image1");
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    fitSize();
}

void TPictureView::setPicture(QImage picture) {
    picture_ = std::move(picture);
    if (!overlay_.isNull() && overlay_.size() != picture_.size()) setOverlay(false);
    fitSize();
    update();
}

void TPictureView::clearPicture() {
    picture_ = QImage();
    fitSize();
    update();
}

void TPictureView::setScale(double scale) {
    scale_ = scale;
    fitSize();
    update();
}

void TPictureView::setOverlay(bool present) {
    if (!present) {
        overlay_ = QImage();
    } else if (overlay_.isNull() || overlay_.size() != picture_.size()) {
        overlay_ = QImage(picture_.size(), QImage::Format_ARGB32);
        overlay_.fill(Qt::transparent);
    }
    update();
}

void TPictureView::fitSize() {
    setFixedSize(static_cast<int>(std::ceil(picture_.width() * scale_)),
                 static_cast<int>(std::ceil(picture_.height() * scale_)));
}

void TPictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    constexpr int kSquare = 13;
    for (int row = 0; row * kSquare < height(); ++row)
        for (int column = 0; column * kSquare < width(); ++column)
            painter.fillRect(column * kSquare, row * kSquare, kSquare, kSquare,
                             (row + column) % 2 == 0 ? QColor(0xB0, 0xB0, 0xB0) : QColor(Qt::white));
    if (picture_.isNull()) return;
    // Nearest neighbour: every screen pixel shows one picture pixel.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRectF target(0, 0, picture_.width() * scale_, picture_.height() * scale_);
    painter.drawImage(target, picture_);
    if (!overlay_.isNull()) painter.drawImage(target, overlay_);
}

void TPictureView::mouseMoveEvent(QMouseEvent* event) { emit pointerMoved(toPicture(event->position())); }

void TPictureView::mouseReleaseEvent(QMouseEvent* event) {
    // The picture pixel painted at the clicked screen pixel: its centre,
    // which at any zoom lands inside that pixel.
    emit released(toPicture(event->position().toPoint() + QPointF(0.5, 0.5)));
}

void TPictureView::leaveEvent(QEvent*) { emit pointerLeft(); }

// ---------------------------------------------------------------- page

TPhotoPage::TPhotoPage(TQtNotifier& notifier, QScrollArea* area, TPictureView* view, StatusSetter status)
    : notifier_(notifier), area_(area), view_(view), status_(std::move(status)) {
    setObjectName("tbPhoto");
    processor_ = [](const std::string& event, const TConfiguration& config, const std::string& station,
                    UserNotifier& work) { processEvent(event, config, station, work); };
    buildControls();
    connect(view_, &TPictureView::pointerMoved, this, &TPhotoPage::pointerMoved);
    connect(view_, &TPictureView::pointerLeft, this, &TPhotoPage::pointerLeft);
    connect(view_, &TPictureView::released, this, &TPhotoPage::Image1MouseUp);
    deliver_ = new QTimer(this);
    deliver_->setInterval(20);
    connect(deliver_, &QTimer::timeout, this, [this] {
        if (!work_) return;
        work_->deliver();
        if (work_->finished()) endProcessing();
    });
}

TPhotoPage::~TPhotoPage() = default;

void TPhotoPage::buildControls() {
    auto* layout = new QVBoxLayout(this);
    MC1_ = named(new QCalendarWidget, "MC1");
    // The window's language for month and day names; no week numbers, and
    // every one of the seven day columns as wide as its widest caption.
    MC1_->setLocale(notifier_.catalogue().language() == Language::Russian ? QLocale(QLocale::Russian)
                                                                         : QLocale(QLocale::English, QLocale::UnitedKingdom));
    MC1_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    {
        const QFontMetrics font(MC1_->font());
        int column = font.horizontalAdvance("28");
        for (int day = 1; day <= 7; ++day)
            column = std::max(column, font.horizontalAdvance(MC1_->locale().dayName(day, QLocale::ShortFormat)));
        MC1_->setMinimumWidth(std::max(MC1_->minimumSizeHint().width(), 7 * (column + kCalendarCellMargin)));
    }
    MC1_->setSelectedDate(QDate::currentDate());
    connect(MC1_, &QCalendarWidget::clicked, this, [this] { MC1Click(); });
    layout->addWidget(MC1_);

    auto* steps = new QGridLayout;
    const auto button = [&](const char* name, const QString& text, int row, int column) {
        auto* b = named(new QPushButton(text), name);
        steps->addWidget(b, row, column);
        return b;
    };
    bbMeteorBack_ = button("bbMeteorBack", "<", 0, 0);
    bbListSelect1_ = button("bbListSelect1", QString::fromUtf8("…"), 0, 1);
    bbMeteorForward_ = button("bbMeteorForward", ">", 0, 2);
    bbBMPBack_ = button("bbBMPBack", "<", 1, 0);
    bbListSelect2_ = button("bbListSelect2", QString::fromUtf8("…"), 1, 1);
    bbBMPForward_ = button("bbBMPForward", ">", 1, 2);
    bbListSelect2_->setProperty("tag", 1);
    for (QPushButton* b : {bbMeteorBack_, bbMeteorForward_, bbBMPBack_, bbBMPForward_}) b->setEnabled(false);
    connect(bbMeteorBack_, &QPushButton::clicked, this, &TPhotoPage::bbMeteorBackClick);
    connect(bbMeteorForward_, &QPushButton::clicked, this, &TPhotoPage::bbMeteorForwardClick);
    connect(bbBMPBack_, &QPushButton::clicked, this, &TPhotoPage::bbBMPBackClick);
    connect(bbBMPForward_, &QPushButton::clicked, this, &TPhotoPage::bbBMPForwardClick);
    connect(bbListSelect1_, &QPushButton::clicked, this, [this] { bbListSelect1Click(0); });
    connect(bbListSelect2_, &QPushButton::clicked, this, [this] { bbListSelect1Click(1); });
    layout->addLayout(steps);

    Label3_ = named(new QLabel(tr("Метеор 0(0), Кадр 0(0)")), "Label3");
    layout->addWidget(Label3_);
    gbZoom_ = named(new QSlider(Qt::Horizontal), "gbZoom");
    gbZoom_->setRange(-100, 100);
    gbZoom_->setPageStep(5);
    gbZoom_->setValue(0);
    connect(gbZoom_, &QSlider::valueChanged, this, &TPhotoPage::gbZoomChange);
    layout->addWidget(gbZoom_);
    Label4_ = named(new QLabel, "Label4");
    layout->addWidget(Label4_);
    gbZoomChange(0);

    Image2_ = named(new QLabel, "Image2");
    Image2_->setFixedSize(kLoupeSize, kLoupeSize);
    layout->addWidget(Image2_);
    clearLoupe();

    bProcess_ = named(new QPushButton(tr("Обработка")), "bProcess");
    connect(bProcess_, &QPushButton::clicked, this, &TPhotoPage::bProcessClick);
    layout->addWidget(bProcess_);
    bProcessNight_ = named(new QPushButton(tr(kNightCaption)), "bProcessNight");
    connect(bProcessNight_, &QPushButton::clicked, this, &TPhotoPage::bProcessNightClick);
    layout->addWidget(bProcessNight_);
    bbSelectCoords_ = named(new QPushButton(tr(kIdleCaption)), "bbSelectCoords");
    bbSelectCoords_->setToolTip(tr("Esc: выйти из разметки, не сохраняя трек"));
    bbSelectCoords_->setEnabled(false);
    connect(bbSelectCoords_, &QPushButton::clicked, this, &TPhotoPage::bbSelectCoordsClick);
    layout->addWidget(bbSelectCoords_);
    bbProposeTrack_ = named(new QPushButton(tr(kProposeCaption)), "bbProposeTrack");
    bbProposeTrack_->setEnabled(false);
    connect(bbProposeTrack_, &QPushButton::clicked, this, &TPhotoPage::bbProposeTrackClick);
    layout->addWidget(bbProposeTrack_);

    cbMeteorStart_ = named(new QCheckBox(tr("Начало метеора")), "cbMeteorStart");
    lMeteorStart_ = named(new QLabel, "lMeteorStart");
    cbMeteorFinish_ = named(new QCheckBox(tr("Конец метеора")), "cbMeteorFinish");
    lMeteorFinish_ = named(new QLabel, "lMeteorFinish");
    cbMaxBright_ = named(new QCheckBox(tr("Макс. блеск:")), "cbMaxBright");
    lMaxBright_ = named(new QLabel, "lMaxBright");
    for (QWidget* w : std::initializer_list<QWidget*>{cbMeteorStart_, lMeteorStart_, cbMeteorFinish_, lMeteorFinish_,
                                                      cbMaxBright_, lMaxBright_}) {
        // Hidden, they keep their room: entering or leaving marking moves
        // nothing and changes no size of the page or the window.
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        layout->addWidget(w);
    }
    // The two point boxes exclude each other.
    connect(cbMeteorStart_, &QCheckBox::clicked, this, [this](bool on) { cbMeteorFinish_->setChecked(!on); });
    connect(cbMeteorFinish_, &QCheckBox::clicked, this, [this](bool on) { cbMeteorStart_->setChecked(!on); });
    layout->addStretch();

    // The pop-up list of events or files lies over the picture.
    lbMetBmp_ = named(new QListWidget(area_->viewport()), "lbMetBmp");
    lbMetBmp_->setGeometry(10, 10, 200, 300);
    lbMetBmp_->hide();
    connect(lbMetBmp_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lbMetBmpClick(lbMetBmp_->row(item)); });
    HideSelectCoordsElement(false);
}

std::string TPhotoPage::nightDirectory() const {
    return joinPath(station_, MC1_->selectedDate().toString("yyyyMMdd").toStdString());
}

void TPhotoPage::enter() {
    view_->show();
    RefreshPhotoList();
}

void TPhotoPage::leave() {
    view_->hide();
    lbMetBmp_->hide();
}

void TPhotoPage::RefreshPhotoList() {
    const bool exists = browser_.openNight(nightDirectory());
    // The calendar's title shows whether the night was observed.
    if (QWidget* title = MC1_->findChild<QWidget*>("qt_calendar_navigationbar"))
        title->setStyleSheet(exists ? "background-color: #009900;" : "");
    if (exists && !browser_.events().empty())
        for (QPushButton* b : {bbMeteorBack_, bbMeteorForward_, bbBMPBack_, bbBMPForward_}) b->setEnabled(true);
    DisplayPhoto();
}

void TPhotoPage::DisplayPhoto() {
    emit captionChanged("Orbisight");
    Label3_->setText(tr("Метеор 0(0), Кадр 0(0)"));
    const int h = area_->horizontalScrollBar()->value();
    const int v = area_->verticalScrollBar()->value();
    view_->clearPicture();
    bbSelectCoords_->setEnabled(false);
    bbProposeTrack_->setEnabled(false);
    if (browser_.files().empty()) return;
    const std::string path = browser_.currentFile();
    try {
        view_->setPicture(bitmapImage(path));
    } catch (const std::exception& e) {
        // The browser stays usable: the next step shows the next picture.
        notifier_.showFailure(e);
        return;
    }
    // The new size reaches the scroll bars once the layout has run.
    area_->widget()->adjustSize();
    area_->horizontalScrollBar()->setValue(h);
    area_->verticalScrollBar()->setValue(v);
    Label3_->setText(positionText(browser_));
    const bool frame = isMarkableFile(browser_.currentFileName());
    bbSelectCoords_->setEnabled(frame);
    bbProposeTrack_->setEnabled(frame);
    view_->setOverlay(frame);
    DrawMeteorPoints();
    emit captionChanged(qs("Orbisight - " + path));
}

void TPhotoPage::MC1Click() {
    lbMetBmp_->hide();
    RefreshPhotoList();
    HideSelectCoordsElement(false);
    DrawMeteorPoints();
}

bool TPhotoPage::showEvent(const std::string& eventDirectory) {
    const fs::path event = fs::path(eventDirectory).lexically_normal();
    const fs::path night = event.parent_path();
    const QDate date = QDate::fromString(qs(night.filename().string()), "yyyyMMdd");
    std::error_code ec;
    if (!date.isValid() || !fs::equivalent(night, fs::path(station_) / night.filename(), ec)) return false;
    MC1_->setSelectedDate(date);
    MC1Click();
    const auto& events = browser_.events();
    const auto found = std::find(events.begin(), events.end(), event.filename().string());
    if (found == events.end()) return false;
    browser_.selectEvent(static_cast<int>(found - events.begin()));
    DisplayPhoto();
    return true;
}

void TPhotoPage::bbBMPBackClick() {
    bbBMPBack_->setEnabled(browser_.stepFile(-1));
    DisplayPhoto();
    bbBMPForward_->setEnabled(true);
}

void TPhotoPage::bbBMPForwardClick() {
    bbBMPForward_->setEnabled(browser_.stepFile(1));
    DisplayPhoto();
    bbBMPBack_->setEnabled(true);
}

void TPhotoPage::bbMeteorBackClick() {
    bbMeteorBack_->setEnabled(browser_.stepEvent(-1));
    bbMeteorForward_->setEnabled(true);
    HideSelectCoordsElement(false);
    DisplayPhoto();
}

void TPhotoPage::bbMeteorForwardClick() {
    bbMeteorForward_->setEnabled(browser_.stepEvent(1));
    bbMeteorBack_->setEnabled(true);
    HideSelectCoordsElement(false);
    DisplayPhoto();
}

void TPhotoPage::bbListSelect1Click(int tag) {
    if (tag == 0) HideSelectCoordsElement(false);
    const auto& names = tag == 1 ? browser_.files() : browser_.events();
    if (names.empty()) return;
    lbMetBmp_->clear();
    for (const std::string& name : names) lbMetBmp_->addItem(qs(name));
    lbMetBmp_->setProperty("tag", tag);
    lbMetBmp_->show();
    lbMetBmp_->raise();
    lbMetBmp_->setFocus();
}

void TPhotoPage::lbMetBmpClick(int row) {
    if (lbMetBmp_->property("tag").toInt() == 1)
        browser_.selectFile(row);
    else
        browser_.selectEvent(row);
    DisplayPhoto();
    lbMetBmp_->hide();
}

void TPhotoPage::gbZoomChange(int position) {
    const double scale = std::pow(10.0, position / 100.0);
    Label4_->setText(tr("Масштаб: %1").arg(qs(formatFloat("0.0%", scale * 100))));
    view_->setScale(scale);
}

void TPhotoPage::pointerMoved(QPointF position) {
    clearLoupe();
    const QImage& picture = view_->picture();
    const double x = position.x(), y = position.y();
    if (picture.isNull() || x < 0 || y < 0 || x >= picture.width() || y >= picture.height()) {
        status_(1, {});
        return;
    }
    status_(1, QString("%1,%2").arg(static_cast<int>(x)).arg(static_cast<int>(y)));
    QPixmap loupe = Image2_->pixmap();
    QPainter painter(&loupe);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // 20 x 20 picture pixels around the pointer, 7-fold.
    painter.drawImage(QRectF(0, 0, kLoupeSize, kLoupeSize), picture, QRectF(x - 10, y - 10, 20, 20));
    painter.setPen(QColor(0x00, 0xFF, 0x00));
    painter.drawRect(70, 70, 6, 6);
    painter.end();
    Image2_->setPixmap(loupe);
}

void TPhotoPage::pointerLeft() {
    status_(1, {});
    clearLoupe();
}

void TPhotoPage::clearLoupe() {
    QPixmap blank(kLoupeSize, kLoupeSize);
    blank.fill(palette().color(QPalette::Window));
    Image2_->setPixmap(blank);
}

// ---------------------------------------------------------------- marking

void TPhotoPage::HideSelectCoordsElement(bool show) {
    for (QWidget* w : std::initializer_list<QWidget*>{cbMeteorStart_, lMeteorStart_, cbMeteorFinish_, lMeteorFinish_,
                                                      cbMaxBright_, lMaxBright_})
        w->setVisible(show);
    marking_ = show;
    if (show) return;
    bbSelectCoords_->setText(tr(kIdleCaption));
    marks_ = {};
    lMeteorStart_->clear();
    lMeteorFinish_->clear();
    lMaxBright_->clear();
    cbMeteorStart_->setChecked(true);
    cbMeteorFinish_->setChecked(false);
    cbMaxBright_->setChecked(false);
}

void TPhotoPage::bbSelectCoordsClick() {
    if (!marking_) {
        HideSelectCoordsElement(true);
        bbSelectCoords_->setText(tr(kMarkingCaption));
        view_->setFocus();
        return;
    }
    // A point still missing: say which and keep marking, so the marks set so
    // far are not lost.
    if (const auto missing = missingPointText(marks_)) {
        notifier_.message(tr(kIdleCaption).toStdString(), missing->toStdString(), MessageIcon::Warning);
        return;
    }
    try {
        saveTrackMarks(browser_.eventDirectory(), marks_);
    } catch (const std::exception& e) {
        notifier_.showFailure(e);
        return;
    }
    HideSelectCoordsElement(false);
    DrawMeteorPoints();
}

void TPhotoPage::cancelMarking() {
    // The marks were never written: the event's track file is as it was.
    HideSelectCoordsElement(false);
    DrawMeteorPoints();
}

void TPhotoPage::bbProposeTrackClick() {
    const std::string event = browser_.eventDirectory();
    if (work_ || !config_ || event.empty()) return;
    // The saved track is the observer's: replacing its marks is asked first.
    if (hasTrackFile(event) && !notifier_.ask(tr(kProposeCaption).toStdString(),
                                                  tr("У события уже есть сохранённый трек. Заменить отметки предложенным треком?").toStdString())) return;
    // Reading and searching every frame takes a moment: on the worker thread.
    workEvent_ = event;
    proposal_ = std::make_shared<std::optional<TTrackMarks>>();
    bProcess_->setEnabled(false);
    bbProposeTrack_->setEnabled(false);
    work_ = std::make_unique<TBackgroundWork>(
        notifier_, [event, config = *config_, proposal = proposal_](UserNotifier&) {
            *proposal = proposedTrackMarks(event, config);
        });
    deliver_->start();
}

void TPhotoPage::endProposal(const std::optional<TTrackMarks>& proposed) {
    // The observer has moved on to another event: its marks stay as they are.
    if (browser_.eventDirectory() != workEvent_) return;
    if (!proposed) {
        notifier_.message(tr(kProposeCaption).toStdString(), tr("Метеор не найден.").toStdString(), MessageIcon::Information);
        return;
    }
    // Into marking, as if the observer had clicked the points: nothing is
    // saved until "Сохранить трек".
    if (!marking_) {
        HideSelectCoordsElement(true);
        bbSelectCoords_->setText(tr(kMarkingCaption));
    }
    marks_ = *proposed;
    lMeteorStart_->setText(pointText(*marks_.start));
    lMeteorFinish_->setText(pointText(*marks_.finish));
    lMaxBright_->setText(marks_.brightness ? qs(trackBrightnessLabel(*marks_.brightness)) : QString());
    // Where a frame showed too little for a fit, the observer should look twice.
    notifier_.status(estimateText(marks_).toStdString());
    DrawMeteorPoints();
}

void TPhotoPage::Image1MouseUp(QPointF position) {
    const QImage& picture = view_->picture();
    const double x = position.x(), y = position.y();
    if (marking_ && !picture.isNull() && x >= 0 && y >= 0 && x < picture.width() && y < picture.height()) {
        const TTrackPoint point{static_cast<int>(x), static_cast<int>(y), frameNumberOfFile(browser_.currentFileName())};
        if (cbMaxBright_->isChecked()) {
            try {
                const TBrightness b = measureBrightness(browser_.currentFile(), point.x, point.y, *config_);
                marks_.brightness = TTrackBrightness{b.pixelCount, b.brightnessSum};
                lMaxBright_->setText(qs(trackBrightnessLabel(*marks_.brightness)));
            } catch (const std::exception& e) {
                notifier_.showFailure(e);
                return;
            }
        } else {
            if (cbMeteorStart_->isChecked()) {
                marks_.start = point;
                lMeteorStart_->setText(pointText(point));
            }
            if (cbMeteorFinish_->isChecked()) {
                marks_.finish = point;
                lMeteorFinish_->setText(pointText(point));
            }
        }
    }
    DrawMeteorPoints();
}

void TPhotoPage::DrawMeteorPoints() {
    QImage* overlay = view_->overlay();
    if (!overlay) return;
    overlay->fill(Qt::transparent);
    const auto mark = [&](const std::optional<TTrackPoint>& p, QRgb colour) {
        if (!p) return;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (overlay->valid(p->x + dx, p->y + dy)) overlay->setPixel(p->x + dx, p->y + dy, colour);
    };
    mark(marks_.start, qRgb(0xFF, 0x00, 0xFF));
    mark(marks_.finish, qRgb(0x00, 0xFF, 0xFF));
    view_->update();
}

bool TPhotoPage::FormKeyUp(int key, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers & Qt::ControlModifier;
    switch (key) {
        case Qt::Key_Backspace:
            ctrl ? bbMeteorBackClick() : bbBMPBackClick();
            return true;
        case Qt::Key_Space:
            ctrl ? bbMeteorForwardClick() : bbBMPForwardClick();
            return true;
        case Qt::Key_PageUp:
            gbZoom_->setValue(gbZoom_->value() + 10);
            return true;
        case Qt::Key_PageDown:
            gbZoom_->setValue(gbZoom_->value() - 10);
            return true;
        case Qt::Key_1:
        case Qt::Key_2:
            if (!cbMeteorStart_->isVisibleTo(this)) return false;
            cbMeteorStart_->setChecked(key == Qt::Key_1);
            cbMeteorFinish_->setChecked(key == Qt::Key_2);
            return true;
        case Qt::Key_3:
            if (!cbMaxBright_->isVisibleTo(this)) return false;
            cbMaxBright_->setChecked(!cbMaxBright_->isChecked());
            return true;
        case Qt::Key_Escape:
            if (!marking_) return false;
            cancelMarking();
            return true;
        default:
            return false;
    }
}

// ---------------------------------------------------------------- processing

void TPhotoPage::bProcessClick() {
    if (work_ || !config_ || browser_.files().empty()) return;
    workEvent_ = browser_.eventDirectory();
    bProcess_->setEnabled(false);
    work_ = std::make_unique<TBackgroundWork>(
        notifier_, [event = workEvent_, config = *config_, station = station_,
                    processor = processor_](UserNotifier& notifier) { processor(event, config, station, notifier); });
    deliver_->start();
}

void TPhotoPage::bProcessNightClick() {
    if (work_) {
        if (nightOutcome_) {
            work_->cancel();
            bProcessNight_->setEnabled(false);
            return;
        }
        // One event or a proposal in hand: the night follows it.
        nightQueued_ = !nightQueued_;
        bProcessNight_->setText(tr(nightQueued_ ? kQueuedNightCaption : kNightCaption));
        notifier_.status(nightQueued_ ? tr(kQueuedNightStatus).toStdString() : "");
        return;
    }
    if (!config_) return;
    const std::string night = nightDirectory();
    std::vector<std::string> marked;
    int unmarked = 0;
    for (const std::string& event : eventDirectoriesOfNight(night)) {
        std::error_code ec;
        if (std::filesystem::exists(trackFileName(event), ec)) marked.push_back(event);
        else ++unmarked;
    }
    if (marked.empty()) {
        notifier_.message("Orbisight", tr("В ночи %1 нет событий с отмеченным треком.").arg(qs(night)).toStdString(),
                          MessageIcon::Information);
        return;
    }
    bProcess_->setEnabled(false);
    bProcessNight_->setText(tr("Остановить"));
    nightOutcome_ = std::make_shared<std::string>();
    work_ = std::make_unique<TBackgroundWork>(
        notifier_, [this, marked, unmarked, night, outcome = nightOutcome_, config = *config_,
                    station = station_](UserNotifier& notifier) {
            int reports = 0;
            std::string errors;
            const auto runs = processEvents(marked, config, station, notifier, [&](const TEventRun& run) {
                // The shown event may have lost files (deleteTemp): the
                // window lists it again at once.
                QMetaObject::invokeMethod(
                    this,
                    [this, event = run.eventDirectory] {
                        if (browser_.eventDirectory() == event) refreshShownEvent();
                    },
                    Qt::QueuedConnection);
                if (run.result.reportWritten) ++reports;
                if (run.error) errors += "\n" + run.eventDirectory + ": " + run.error->plain();
            });
            QString said = tr("Ночь %1: обработано событий %2 из %3 с треком, отчётов %4, без трека пропущено %5.")
                               .arg(qs(night))
                               .arg(runs.size())
                               .arg(marked.size())
                               .arg(reports)
                               .arg(unmarked);
            if (runs.size() < marked.size()) said += tr(" Остановлено.");
            *outcome = said.toStdString() + errors;
        });
    deliver_->start();
}

void TPhotoPage::endProcessing() {
    deliver_->stop();
    std::optional<TDiagnostic> failure;
    try {
        work_->wait();
    } catch (const std::exception& e) {
        failure = failureDiagnostic(e);
    }
    work_.reset();
    bProcess_->setEnabled(true);
    // The page shows what the work left before any box is shown: a message
    // waits for the observer, the files it tells of are already listed.
    if (proposal_) {
        const std::optional<TTrackMarks> proposed = std::move(*proposal_);
        proposal_.reset();
        bbProposeTrack_->setEnabled(bbSelectCoords_->isEnabled());  // a frame is shown
        if (failure) notifier_.report(*failure);
        else endProposal(proposed);
    } else if (nightOutcome_) {
        const std::string outcome = std::move(*nightOutcome_);
        nightOutcome_.reset();
        bProcessNight_->setText(tr(kNightCaption));
        bProcessNight_->setEnabled(true);
        refreshShownEvent();  // new result files, deleted work files
        if (failure) notifier_.report(*failure);
        if (!outcome.empty()) notifier_.message("Orbisight", outcome, MessageIcon::Information);
        emit processingFinished();
    } else {
        // The result picture, unless the observer has moved to another event.
        if (browser_.eventDirectory() == workEvent_) {
            std::string result = eventNameOfDirectory(browser_.nightDirectory(), workEvent_);
            result.insert(0, 1, 'M');
            result.append(workSuffix::kResultBitmap);
            browser_.relistFiles(result);
            DisplayPhoto();
        }
        if (failure) notifier_.report(*failure);
        emit processingFinished();
    }
    if (nightQueued_ && !work_) {
        nightQueued_ = false;
        bProcessNight_->setText(tr(kNightCaption));
        bProcessNightClick();
    }
    if (!work_) emit workEnded();
}

void TPhotoPage::refreshShownEvent() {
    browser_.relistFiles(browser_.currentFileName());
    DisplayPhoto();
}

void TPhotoPage::stopWork() {
    if (nightQueued_) {
        nightQueued_ = false;
        bProcessNight_->setText(tr(kNightCaption));
    }
    if (work_) work_->cancel();
}

// ---------------------------------------------------------------- night exports

void TPhotoPage::nightExport(const std::function<void(const TConfiguration&)>& write) {
    if (!config_) return;
    try {
        write(*config_);
    } catch (const std::exception& e) {
        notifier_.showFailure(e);
    }
}

void TPhotoPage::N12Click() {
    nightExport([this](const TConfiguration& c) { writeDailySummary(nightDirectory(), station_, c, notifier_); });
}

void TPhotoPage::R901Click() {
    nightExport([this](const TConfiguration& c) { writeR90Export(nightDirectory(), station_, c, notifier_); });
}

void TPhotoPage::R902Click() {
    nightExport([this](const TConfiguration& c) {
        writeMonthlyR90Export(station_, MC1_->selectedDate().toString("yyyyMM").toStdString(), c, notifier_);
    });
}

}  // namespace orbis
