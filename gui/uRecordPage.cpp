#include "gui/uRecordPage.h"

#include <QCheckBox>
#include <QEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "astro/uExceptions.h"
#include "capture/uRecordingSession.h"
#include "config/uConfiguration.h"
#include "gui/uCaptureFormatDialog.h"
#include "gui/uQtNotifier.h"
#include "gui/uVideoWidget.h"

namespace orbis {
namespace {

template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QSlider* slider(const char* name, int maximum) {
    auto* s = named(new QSlider(Qt::Horizontal), name);
    s->setRange(0, maximum);
    // The style draws a disabled slider nearly as an enabled one: its
    // groove and handle are greyed so a control the camera lacks shows it.
    QPalette p = s->palette();
    const QColor grey = p.color(QPalette::Disabled, QPalette::Mid);
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::Button, QPalette::Base})
        p.setColor(QPalette::Disabled, role, grey);
    s->setPalette(p);
    return s;
}

void setSlider(QSlider* s, const std::optional<TSliderSetting>& setting) {
    s->setEnabled(setting.has_value());
    if (!setting) return;
    s->setMaximum(setting->range.maximum);
    s->setMinimum(setting->range.minimum);
    s->setValue(setting->value);
}

void setStateColour(QWidget* w, StateColour colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour == StateColour::Red ? Qt::red : Qt::white);
    w->setPalette(p);
}

}  // namespace

TRecordPage::TRecordPage(TQtNotifier& notifier, TVideoWidget& video, std::function<void(int, const QString&)> panel,
                         QWidget* parent)
    : QWidget(parent), notifier_(notifier), video_(video), panel_(std::move(panel)), lister_(videoDevices) {
    setObjectName("tbRecord");
    buildControls();
    poll_.setInterval(100);
    connect(&poll_, &QTimer::timeout, this, &TRecordPage::pollSession);
    showDevices({});
}

TRecordPage::~TRecordPage() {
    poll_.stop();
    if (listerThread_.joinable()) listerThread_.join();
    if (starterThread_.joinable()) starterThread_.join();
    // Every clip is finished before the program goes.
    if (stopperThread_.joinable()) stopperThread_.join();
    started_.station.reset();
    if (station_) station_->stop();
}

void TRecordPage::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    const auto caption = [&](const char* text) {
        auto* label = new QLabel(tr(text));
        layout->addWidget(label);
        return label;
    };
    // A slider's caption is its buddy and greys with it.
    const auto captioned = [this](QLabel* label, QSlider* s) {
        label->setBuddy(s);
        label->setEnabled(s->isEnabled());
        s->installEventFilter(this);
        return s;
    };

    caption(QT_TR_NOOP("Устройство видеозахвата"));
    cbCapt_ = named(new QComboBox, "cbCapt");
    layout->addWidget(cbCapt_);

    layout->addWidget(tbBri_ = captioned(caption(QT_TR_NOOP("Яркость")), slider("tbBri", 255)));
    layout->addWidget(tbCon_ = captioned(caption(QT_TR_NOOP("Контрастность")), slider("tbCon", 255)));
    layout->addWidget(tbSatur_ = captioned(caption(QT_TR_NOOP("Насыщенность")), slider("tbSatur", 255)));
    layout->addWidget(tbGamma_ = captioned(caption(QT_TR_NOOP("Гамма")), slider("tbGamma", 255)));
    layout->addWidget(cbVidColor_ = named(new QCheckBox(tr("Цветность")), "cbVidColor"));

    layout->addWidget(label20_ = named(new QLabel(tr("Вход видео")), "Label20"));
    cbVideoIn_ = named(new QComboBox, "cbVideoIn");
    cbVideoIn_->addItems({tr("Тюнер"), tr("Композитный"), QString("S-Video")});
    cbVideoIn_->setCurrentIndex(1);
    layout->addWidget(cbVideoIn_);

    layout->addWidget(cbExposit_ = named(new QCheckBox(tr("АвтоВыдержка")), "cbExposit"));
    layout->addWidget(lExposit_ = named(new QLabel(tr("Выдержка:")), "lExposit"));
    layout->addWidget(tbExposit_ = captioned(lExposit_, slider("tbExposit", kEvsExposureSteps - 1)));

    layout->addWidget(bCamControl_ = named(new QPushButton(tr("Параметры видео")), "bCamControl"));
    layout->addWidget(bCamSetting_ = named(new QPushButton(tr("Параметры захвата")), "bCamSetting"));
    layout->addWidget(bDefVideo_ = named(new QPushButton(tr("По умолчанию")), "bDefVideo"));

    layout->addWidget(cbPreview_ = named(new QCheckBox(tr("Просмотр без записи")), "cbPreview"));
    layout->addWidget(cbDetect_ = named(new QCheckBox(tr("Детектирование метеоров")), "cbDetect"));
    cbDetect_->setChecked(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bbRecStart_ = named(new QPushButton(tr("Запись")), "bbRecStart"));
    buttons->addWidget(bbRecPause_ = named(new QPushButton(tr("Пауза")), "bbRecPause"));
    buttons->addWidget(bbRecStop_ = named(new QPushButton(tr("Стоп")), "bbRecStop"));
    layout->addLayout(buttons);

    // The detector's indicators: state colour, level, noise and raise, noise pixels.
    auto* indicators = new QHBoxLayout;
    shape1_ = named(new QFrame, "Shape1");
    shape1_->setFixedSize(16, 16);
    shape1_->setFrameShape(QFrame::Box);
    shape1_->setAutoFillBackground(true);
    indicators->addWidget(shape1_);
    lLevel_ = named(new QLabel, "lLevel");
    lLevel_->setAutoFillBackground(true);
    lLevel_->setMinimumWidth(30);
    lLevel_->setToolTip(tr("Яркость"));
    indicators->addWidget(lLevel_);
    indicators->addWidget(lNoiseLevel_ = named(new QLabel, "lNoiseLevel"));
    indicators->addWidget(lnNoisePixel_ = named(new QLabel, "lnNoisePixel"));
    indicators->addStretch();
    layout->addLayout(indicators);
    layout->addStretch();
    resetIndicators();

    connect(cbCapt_, &QComboBox::activated, this, &TRecordPage::deviceChanged);
    const auto amplifier = [this](QSlider* s, Amplifier which) {
        connect(s, &QSlider::valueChanged, this, [this, which](int v) {
            if (camera_) camera_->setAmplifier(which, v);
        });
    };
    amplifier(tbBri_, Amplifier::Brightness);
    amplifier(tbCon_, Amplifier::Contrast);
    amplifier(tbSatur_, Amplifier::Saturation);
    amplifier(tbGamma_, Amplifier::Gamma);
    connect(cbVidColor_, &QCheckBox::clicked, this, [this](bool on) {
        if (camera_) camera_->setColour(on);
    });
    connect(cbVideoIn_, &QComboBox::activated, this, [this](int index) {
        if (!camera_) return;
        camera_->selectInput(index == 0 ? InputKind::Tuner : index == 1 ? InputKind::Composite : InputKind::SVideo);
        applyCamera(camera_->read(false));
    });
    connect(cbExposit_, &QCheckBox::clicked, this, [this](bool automatic) {
        tbExposit_->setEnabled(!automatic);
        if (camera_ && automatic) camera_->setExposure(tbExposit_->value(), true);
    });
    connect(tbExposit_, &QSlider::valueChanged, this, [this](int position) {
        if (camera_) camera_->setExposure(position, cbExposit_->isChecked());
        showExposureLabel(position);
    });
    connect(bCamControl_, &QPushButton::clicked, this, [this] {
        if (camera_) applyCamera(camera_->read(false));
    });
    connect(bDefVideo_, &QPushButton::clicked, this, [this] {
        if (camera_) applyCamera(camera_->restoreDefaults());
    });
    connect(bCamSetting_, &QPushButton::clicked, this, &TRecordPage::chooseFormat);
    connect(bbRecStart_, &QPushButton::clicked, this, &TRecordPage::startSession);
    connect(bbRecPause_, &QPushButton::clicked, this, &TRecordPage::pauseSession);
    connect(bbRecStop_, &QPushButton::clicked, this, &TRecordPage::stopSession);
}

bool TRecordPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        for (QLabel* label : findChildren<QLabel*>())
            if (label->buddy() == watched) label->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
    }
    return QWidget::eventFilter(watched, event);
}

void TRecordPage::setDirectories(std::string station, std::string programDirectory) {
    stationDir_ = std::move(station);
    programDirectory_ = std::move(programDirectory);
}

void TRecordPage::enter() {
    const unsigned listing = ++listing_;
    cbCapt_->clear();
    cbCapt_->setEnabled(false);
    if (listerThread_.joinable()) listerThread_.join();
    // The device monitor may take a while to answer: not on the window's thread.
    listerThread_ = std::jthread([this, listing, lister = lister_, source = commandLineSource_] {
        std::vector<TListedDevice> devices;
        try {
            for (TMediaDevice& d : lister()) devices.push_back({d.name, d.node, std::move(d.formats), false});
        } catch (const std::exception&) {
            // No monitor: only the command line's source, if any.
        }
        // A source of the command line has no device entry: its formats
        // are what its description can give.
        if (source) devices.push_back({*source, {}, sourceFormats(*source), true});
        QMetaObject::invokeMethod(this, [this, listing, devices = std::move(devices)]() mutable {
            if (listing == listing_) showDevices(std::move(devices));
        }, Qt::QueuedConnection);
    });
}

void TRecordPage::leave() {
    ++listing_;  // a listing still running is for nobody now
    stopSession();
    camera_.reset();
    device_.reset();
    devices_.clear();
    cbCapt_->clear();
    video_.hide();
}

void TRecordPage::showDevices(std::vector<TListedDevice> devices) {
    devices_ = std::move(devices);
    cbCapt_->clear();
    camera_.reset();
    device_.reset();
    if (devices_.empty()) {
        cbCapt_->addItem(tr(kNoVideoSource));
        cbCapt_->setCurrentIndex(0);
        applyCamera({});
        setIdleControls();
        emit devicesListed(false);
        return;
    }
    for (const TListedDevice& d : devices_) cbCapt_->addItem(QString::fromStdString(d.name));
    cbCapt_->setCurrentIndex(0);
    video_.show();
    deviceChanged(0);
    emit devicesListed(true);
}

void TRecordPage::deviceChanged(int index) {
    format_.reset();
    camera_.reset();
    device_.reset();
    if (index >= 0 && index < static_cast<int>(devices_.size()) && !devices_[index].node.empty()) {
        try {
            device_ = std::make_unique<V4l2Device>(devices_[index].node);
            camera_ = std::make_unique<TCameraControls>(*device_, devices_[index].name);
        } catch (const std::exception&) {
            // A node that cannot be opened has no adjustments to offer.
            device_.reset();
        }
    }
    applyCamera(camera_ ? camera_->read(false) : TCameraSettings{});
    setIdleControls();
}

void TRecordPage::applyCamera(const TCameraSettings& s) {
    setSlider(tbBri_, s.brightness);
    setSlider(tbCon_, s.contrast);
    setSlider(tbSatur_, s.saturation);
    setSlider(tbGamma_, s.gamma);
    cbVidColor_->setEnabled(s.colour.has_value());
    if (s.colour) cbVidColor_->setChecked(*s.colour);
    label20_->setEnabled(s.analogInputs);
    cbVideoIn_->setEnabled(s.analogInputs);
    if (s.exposure) {
        cbExposit_->setEnabled(s.exposure->automaticAvailable);
        cbExposit_->setChecked(s.exposure->automatic);
        tbExposit_->setEnabled(!s.exposure->automatic);
        tbExposit_->setMaximum(s.exposure->slider.range.maximum);
        tbExposit_->setMinimum(s.exposure->slider.range.minimum);
        tbExposit_->setValue(s.exposure->slider.value);
        showExposureLabel(tbExposit_->value());
    } else {
        cbExposit_->setEnabled(false);
        cbExposit_->setChecked(true);
        tbExposit_->setEnabled(false);
        lExposit_->setText(tr("Выдержка:"));
    }
    bDefVideo_->setEnabled(s.brightness || s.contrast || s.saturation || s.gamma);
    bCamControl_->setEnabled(camera_ != nullptr);
}

void TRecordPage::showExposureLabel(int position) {
    QString text = tr("Выдержка:");
    if (camera_) {
        const std::optional<std::string> label = camera_->exposureLabel(position);
        text += " " + (label ? QString::fromStdString(*label) : QString::number(position));
    }
    lExposit_->setText(text);
}

void TRecordPage::setIdleControls() {
    const bool any = !devices_.empty();
    for (QWidget* w : std::initializer_list<QWidget*>{cbCapt_, bCamSetting_, bbRecStart_, bbRecPause_, bbRecStop_,
                                                      cbPreview_, cbDetect_})
        w->setEnabled(any);
    if (!any) {
        for (QWidget* w : std::initializer_list<QWidget*>{tbBri_, tbCon_, tbSatur_, tbGamma_, cbVidColor_, bDefVideo_,
                                                          bCamControl_, tbExposit_, cbExposit_})
            w->setEnabled(false);
    } else if (camera_) {
        bDefVideo_->setEnabled(tbBri_->isEnabled() || tbCon_->isEnabled() || tbSatur_->isEnabled() ||
                               tbGamma_->isEnabled());
        bCamControl_->setEnabled(true);
    }
}

void TRecordPage::setRunningControls() {
    for (QWidget* w : std::initializer_list<QWidget*>{cbDetect_, cbPreview_, bCamSetting_, bDefVideo_, bbRecStart_, cbCapt_})
        w->setEnabled(false);
}

void TRecordPage::chooseFormat() {
    const int index = cbCapt_->currentIndex();
    if (index < 0 || index >= static_cast<int>(devices_.size())) return;
    TCaptureFormatDialog dialog(devices_[index].formats, format_, this);
    if (dialog.exec() == QDialog::Accepted) format_ = dialog.chosen();
}

void TRecordPage::startSession() {
    const int index = cbCapt_->currentIndex();
    if (starting_ || stopping_ || station_ || !config_ || index < 0 || index >= static_cast<int>(devices_.size())) return;
    const TListedDevice& device = devices_[index];
    TLiveStationOptions options;
    options.source = device.pipeline ? TCaptureSource::pipeline(device.name)
                                     : TCaptureSource::device(device.node.empty() ? device.name : device.node);
    options.source.format = format_;
    options.mode = cbPreview_->isChecked() ? LiveMode::Preview : cbDetect_->isChecked() ? LiveMode::Detect : LiveMode::Record;
    // Called from the session's poll on this thread, after the session stopped.
    options.powerOff = [this] {
        if (powerOff_) powerOff_();
        else systemPowerOff();
    };
    options.display = video_.latest().callback();

    panel_(2, {});
    panel_(3, {});
    resetIndicators();
    setRunningControls();
    starting_ = true;
    stopRequested_ = false;
    sessionConfig_ = std::make_unique<TConfiguration>(*config_);
    if (starterThread_.joinable()) starterThread_.join();
    // Probing waits for the source's first frame: not on the window's thread.
    starterThread_ = std::jthread([this, options]() mutable {
        Started result;
        try {
            result.station = std::make_unique<TLiveStation>(*sessionConfig_, stationDir_, programDirectory_, notifier_);
            result.format = result.station->probe(options);
            result.station->start(options, result.format);
        } catch (const EInvalidVideo& e) {
            // A format the detector cannot work on: a warning of its own caption.
            result.station.reset();
            result.caption = "Orbisight 2.0";
            result.error = e.diagnostic();
            result.icon = MessageIcon::Warning;
        } catch (const std::exception& e) {
            result.station.reset();
            result.error = failureDiagnostic(e);
        }
        {
            const std::lock_guard lock(startedMutex_);
            started_ = std::move(result);
        }
        QMetaObject::invokeMethod(this, &TRecordPage::startFinished, Qt::QueuedConnection);
    });
}

void TRecordPage::startFinished() {
    Started result;
    {
        const std::lock_guard lock(startedMutex_);
        result = std::move(started_);
        started_ = {};
    }
    starting_ = false;
    if (!result.station) {
        if (result.caption) notifier_.show(*result.error, *result.caption, result.icon);
        else if (result.error) notifier_.report(*result.error);
        setIdleControls();
        return;
    }
    station_ = std::move(result.station);
    panel_(2, QString::fromStdString(captureFormatText(result.format)));
    panel_(3, QString::fromStdString(frameRateText(result.format)));
    video_.start(result.format.frameRate());
    poll_.start();
    emit sessionStarted();
    if (stopRequested_) stopSession();
}

void TRecordPage::pauseSession() {
    if (station_) station_->pauseOrResume();
}

void TRecordPage::pollSession() {
    if (!station_) return;
    const bool running = station_->poll(std::chrono::milliseconds(0));
    showIndicators();
    if (!running || station_->sourceEnded()) stopSession();
}

void TRecordPage::stopSession() {
    if (starting_) {
        stopRequested_ = true;
        return;
    }
    if (!station_ || stopping_) return;
    poll_.stop();
    video_.stop();
    stopping_ = true;
    for (QWidget* w : std::initializer_list<QWidget*>{bbRecStart_, bbRecPause_, bbRecStop_}) w->setEnabled(false);
    panel_(1, tr("Остановка записи…"));
    if (stopperThread_.joinable()) stopperThread_.join();
    // A recording's end of stream and the clip writers may take seconds:
    // the session is stopped on a worker and the page told when it is done.
    stopperThread_ = std::jthread([this, station = std::move(station_)]() mutable {
        TLiveStationEnd end;
        std::optional<TDiagnostic> error;
        try {
            end = station->stop();
        } catch (const std::exception& e) {
            error = failureDiagnostic(e);
        }
        station.reset();
        {
            const std::lock_guard lock(startedMutex_);
            stopped_ = std::move(end);
            stopError_ = std::move(error);
        }
        QMetaObject::invokeMethod(this, &TRecordPage::stopFinished, Qt::QueuedConnection);
    });
}

void TRecordPage::stopFinished() {
    std::optional<TDiagnostic> error;
    {
        const std::lock_guard lock(startedMutex_);
        lastEnd_ = std::move(stopped_);
        stopped_ = {};
        error = std::move(stopError_);
        stopError_.reset();
    }
    stopping_ = false;
    panel_(1, {});
    resetIndicators();
    setIdleControls();
    if (error) notifier_.report(*error);
    if (lastEnd_->graphError) notifier_.report(*lastEnd_->graphError);
    emit sessionEnded();
}

void TRecordPage::showIndicators() {
    // Preview without detection runs no detector worth showing.
    if (!station_ || (cbPreview_->isChecked() && !cbDetect_->isChecked())) return;
    const std::optional<TDetectorIndicators> i = station_->indicators();
    if (!i) return;
    lLevel_->setText(QString::number(i->level));
    lNoiseLevel_->setText(QString("%1+%2").arg(i->noise).arg(i->raise));
    lnNoisePixel_->setText(QString::number(i->noisePixels));
    setStateColour(shape1_, i->colour);
    setStateColour(lLevel_, i->colour);
}

void TRecordPage::resetIndicators() {
    setStateColour(shape1_, StateColour::White);
    setStateColour(lLevel_, StateColour::White);
    lLevel_->clear();
}

}  // namespace orbis
