#include "gui/uVideoPage.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/media/uCaptureGraph.h"
#include "gui/uQtNotifier.h"
#include "gui/uVideoWidget.h"
#include "app/i18n/uCatalogue.h"
#include "station/uBackgroundWork.h"
#include "station/uPhotoBrowser.h"

namespace orbis {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// A button; its caption is marked for translation where it is given.
QPushButton* button(const char* name, const char* caption) {
    auto* b = new QPushButton(QCoreApplication::translate("orbis::TVideoPage", caption));
    b->setObjectName(name);
    return b;
}

}  // namespace

TVideoPage::TVideoPage(TQtNotifier& notifier, TVideoWidget& video, StatusSetter status)
    : notifier_(notifier), video_(video), status_(std::move(status)) {
    setObjectName("tbVideo");
    chooser_ = [this](const QString& title, const std::string& start) -> std::optional<std::string> {
        const QString chosen = QFileDialog::getExistingDirectory(this, title, qs(start));
        if (chosen.isEmpty()) return std::nullopt;
        return chosen.toStdString();
    };
    playbackSource_ = [](const std::string& path) { return TCaptureSource::file(path); };
    buildControls();
    connect(&follow_, &QTimer::timeout, this, &TVideoPage::followPlayback);
    settle_.setInterval(20);
    connect(&settle_, &QTimer::timeout, this, &TVideoPage::applyPendingSeek);
    deliver_.setInterval(20);
    connect(&deliver_, &QTimer::timeout, this, [this] {
        if (!work_) return;
        work_->deliver();
        if (work_->finished()) endIntake();
    });
}

TVideoPage::~TVideoPage() {
    // An intake still running is cancelled: it stops at the next frame and
    // takes back what it wrote, so the wait is a frame's, not the clip's.
    if (work_) {
        work_->cancel();
        try {
            work_->wait();
        } catch (const std::exception&) {
        }
    }
    releaseClip();
}

void TVideoPage::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* playback = new QGridLayout;
    bbVidStart_ = button("bbVidStart", QT_TRANSLATE_NOOP("orbis::TVideoPage", "Пуск"));
    bbVidPause_ = button("bbVidPause", QT_TRANSLATE_NOOP("orbis::TVideoPage", "Пауза"));
    bbVidStop_ = button("bbVidStop", QT_TRANSLATE_NOOP("orbis::TVideoPage", "Стоп"));
    playback->addWidget(bbVidStart_, 0, 0);
    playback->addWidget(bbVidPause_, 0, 1);
    playback->addWidget(bbVidStop_, 0, 2);
    layout->addLayout(playback);
    DSTrackBar1_ = new QSlider(Qt::Horizontal);
    DSTrackBar1_->setObjectName("DSTrackBar1");
    DSTrackBar1_->setRange(0, 0);
    layout->addWidget(DSTrackBar1_);
    auto* stepping = new QGridLayout;
    bbAVIBack_ = button("bbAVIBack", "<");
    bbAVIForward_ = button("bbAVIForward", ">");
    bbAVIBack_->setEnabled(false);
    bbAVIForward_->setEnabled(false);
    stepping->addWidget(bbAVIBack_, 0, 0);
    stepping->addWidget(bbAVIForward_, 0, 1);
    layout->addLayout(stepping);
    bbRemoveVideo_ = button("bbRemoveVideo", QT_TRANSLATE_NOOP("orbis::TVideoPage", "Удалить ролик"));
    layout->addWidget(bbRemoveVideo_);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(tr("Номер начального кадра")));
    eInitNumFrame_ = new QLineEdit("1");
    eInitNumFrame_->setObjectName("eInitNumFrame");
    layout->addWidget(eInitNumFrame_);
    bbProcessVideo_ = button("bbProcessVideo", QT_TRANSLATE_NOOP("orbis::TVideoPage", "Взять в работу"));
    layout->addWidget(bbProcessVideo_);
    bbMarkTrack_ = button("bbMarkTrack", QT_TRANSLATE_NOOP("orbis::TVideoPage", "Разметить трек"));
    bbMarkTrack_->setToolTip(tr("Открыть взятое в работу событие в режиме фото"));
    bbMarkTrack_->setEnabled(false);
    layout->addWidget(bbMarkTrack_);
    layout->addStretch();

    connect(bbVidStart_, &QPushButton::clicked, this, &TVideoPage::bbVidStartClick);
    connect(bbVidPause_, &QPushButton::clicked, this, &TVideoPage::bbVidPauseClick);
    connect(bbVidStop_, &QPushButton::clicked, this, &TVideoPage::bbVidStopClick);
    connect(bbAVIBack_, &QPushButton::clicked, this, &TVideoPage::bbAVIBackClick);
    connect(bbAVIForward_, &QPushButton::clicked, this, &TVideoPage::bbAVIForwardClick);
    connect(bbRemoveVideo_, &QPushButton::clicked, this, &TVideoPage::bbRemoveVideoClick);
    connect(bbProcessVideo_, &QPushButton::clicked, this, &TVideoPage::bbProcessVideoClick);
    connect(bbMarkTrack_, &QPushButton::clicked, this, &TVideoPage::bbMarkTrackClick);
    // A drag seeks when it is let go; a click or a key on the bar at once.
    connect(DSTrackBar1_, &QSlider::sliderReleased, this, &TVideoPage::seekToSlider);
    connect(DSTrackBar1_, &QSlider::valueChanged, this, [this] {
        if (!DSTrackBar1_->isSliderDown()) seekToSlider();
    });
}

// ---------------------------------------------------------------- entering and leaving

void TVideoPage::enter() {
    const std::optional<std::string> chosen = chooser_(tr("Выбор каталога"), folderStart_);
    if (!chosen) {
        browser_ = {};  // the page stays empty
        return;
    }
    folderStart_ = *chosen;
    bbAVIBack_->setEnabled(true);
    bbAVIForward_->setEnabled(true);
    browser_.open(*chosen);
    if (browser_.empty()) return;
    DisplayVideo();
    video_.show();
}

void TVideoPage::leave() {
    video_.hide();
    releaseClip();
}

void TVideoPage::releaseClip() {
    intakePlayback_ = false;
    follow_.stop();
    settle_.stop();
    pendingSeek_.reset();
    video_.stop();
    graph_.reset();  // stops the graph and closes the clip's file
}

// ---------------------------------------------------------------- showing a clip

void TVideoPage::DisplayVideo() {
    emit captionChanged("Orbisight");
    releaseClip();
    bbMarkTrack_->setEnabled(!work_ && !markTrackTarget().empty());
    if (browser_.empty()) {
        // The last clip is gone: nothing is shown any more.
        video_.hide();
        DSTrackBar1_->setRange(0, 0);
        status_(2, {});
        status_(3, {});
        return;
    }
    eInitNumFrame_->setText("1");
    const std::string path = browser_.clipPath();
    info_ = readClipInfo(path);
    if (info_.width > 0 && info_.height > 0) video_.setFixedSize(info_.width, info_.height);
    video_.clear();
    const double period = info_.framePeriod();
    {
        const QSignalBlocker quiet(DSTrackBar1_);
        DSTrackBar1_->setRange(0, info_.frameCount);
        DSTrackBar1_->setValue(0);
    }
    if (period > 0) follow_.setInterval(std::max(1, static_cast<int>(std::lround(period * 1000))));
    status_(2, qs(clipVideoText(info_)));
    status_(3, qs(clipTimingText(info_)));

    graph_ = std::make_unique<TCaptureGraph>();
    graph_->setDisplayCallback(video_.latest().callback());
    // The end comes on a GStreamer thread; a graph replaced meanwhile has
    // ended for good, so its late report is dropped.
    const unsigned generation = ++graphGeneration_;
    graph_->setEndCallback([this, generation](GraphEnd end) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, end] {
                if (!graph_ || generation != graphGeneration_) return;
                if (end == GraphEnd::Error) {
                    const TDiagnostic why = graph_->error().value_or(TDiagnostic(Code::GraphStreamFailed));
                    releaseClip();
                    notifier_.report(why);
                    return;
                }
                graphComplete();
            },
            Qt::QueuedConnection);
    });
    try {
        graph_->build(CaptureMode::Playback, playbackSource_(path));
        // Prerolls in the background: the first frame is shown when it has
        // been decoded, and the window does not wait for it.
        graph_->pause(std::chrono::milliseconds(0));
        video_.start(info_.framesPerSecond());
    } catch (const std::exception& e) {
        graph_.reset();
        notifier_.showFailure(e);
        return;
    }
    emit captionChanged(qs("Orbisight - " + path));
}

bool TVideoPage::playing() const { return graph_ && graph_->state() == GraphState::Playing; }

// ---------------------------------------------------------------- playback

void TVideoPage::bbVidStartClick() {
    // Playing never takes frames into work, and loops again.
    intakePlayback_ = false;
    if (!graph_) return;
    graph_->run();
    if (info_.framePeriod() > 0) follow_.start();
}

void TVideoPage::bbVidPauseClick() {
    if (graph_) graph_->pause();
}

void TVideoPage::bbVidStopClick() {
    if (!graph_) return;
    // Paused at the first frame rather than torn down: a playback graph
    // taken to NULL loses the link behind its demuxer's dynamic pad, and
    // the clip could not be played again.
    intakePlayback_ = false;
    graph_->pause(std::chrono::milliseconds(0));
    seekPlayback(0.0);
    follow_.stop();
    const QSignalBlocker quiet(DSTrackBar1_);
    DSTrackBar1_->setValue(0);
}

void TVideoPage::graphComplete() {
    seekPlayback(0.0);
    {
        const QSignalBlocker quiet(DSTrackBar1_);
        DSTrackBar1_->setValue(0);
    }
    if (intakePlayback_) {
        // Shown once for the intake: it stays at its first frame.
        intakePlayback_ = false;
        follow_.stop();
        return;
    }
    ++loops_;
    graph_->run();
}

void TVideoPage::followPlayback() {
    if (!graph_ || DSTrackBar1_->isSliderDown()) return;
    const double period = info_.framePeriod();
    const std::optional<double> position = graph_->position();
    if (!position || period <= 0) return;
    const QSignalBlocker quiet(DSTrackBar1_);
    DSTrackBar1_->setValue(static_cast<int>(std::lround(*position / period)));
}

void TVideoPage::seekToSlider() { seekPlayback(DSTrackBar1_->value() * info_.framePeriod()); }

void TVideoPage::seekPlayback(double seconds) {
    if (!graph_) return;
    if (!graph_->settled()) {
        pendingSeek_ = seconds;  // the latest wish wins
        settle_.start();
        return;
    }
    pendingSeek_.reset();
    settle_.stop();
    graph_->seekTo(seconds);
}

void TVideoPage::applyPendingSeek() {
    if (!graph_ || !pendingSeek_) {
        settle_.stop();
        return;
    }
    if (graph_->settled()) seekPlayback(*pendingSeek_);
}

// ---------------------------------------------------------------- stepping and deleting

void TVideoPage::bbAVIBackClick() {
    bbAVIBack_->setEnabled(browser_.step(-1));
    DisplayVideo();
    bbAVIForward_->setEnabled(true);
}

void TVideoPage::bbAVIForwardClick() {
    bbAVIForward_->setEnabled(browser_.step(1));
    DisplayVideo();
    bbAVIBack_->setEnabled(true);
}

void TVideoPage::bbRemoveVideoClick() {
    if (browser_.empty() || work_) return;
    const std::string path = browser_.clipPath();
    if (!notifier_.ask(kVideoMessageCaption, tr("Удалить файл %1?").arg(qs(path)).toStdString())) return;
    // The playback graph holds the file open: it lets go first.
    releaseClip();
    bool stepped = false;
    try {
        stepped = browser_.removeCurrent();
    } catch (const std::exception& e) {
        // Not deleted: said so, and the clip stays listed and shown.
        notifier_.show(failureDiagnostic(e), kVideoMessageCaption, MessageIcon::Error);
        DisplayVideo();
        return;
    }
    notifier_.message(kVideoMessageCaption, tr("Файл %1 удалён.").arg(qs(path)).toStdString(), MessageIcon::Warning);
    bbAVIBack_->setEnabled(stepped);
    DisplayVideo();
    bbAVIForward_->setEnabled(true);
}

// ---------------------------------------------------------------- taking into work

void TVideoPage::bbProcessVideoClick() {
    if (browser_.empty() || work_) return;
    const std::string startText = eInitNumFrame_->text().toStdString();
    bool startValid = false;
    try {
        startValid = parseInt(startText) >= 1;
    } catch (const EConvertError&) {
    }
    if (!startValid) {
        notifier_.message("Orbisight",
                          tr("Номер начального кадра должен быть не меньше 1: %1").arg(qs(startText)).toStdString(),
                          MessageIcon::Error);
        return;
    }
    std::optional<std::string> chosen;
    if (startText != "1") chosen = chooser_(tr("Добавить файлы в каталог..."), browser_.clipsDirectory());
    const std::string clip = browser_.clipPath();
    intake_.reset();
    intakeClip_ = clip;
    bbProcessVideo_->setEnabled(false);
    bbRemoveVideo_->setEnabled(false);
    bbMarkTrack_->setEnabled(false);
    // The window shows the clip once meanwhile; the frames come from the
    // file, whatever the playback manages to show.
    if (graph_) {
        seekPlayback(0.0);
        bbVidStartClick();
        intakePlayback_ = true;
    }
    auto result = std::make_shared<std::optional<TClipIntake>>();
    work_ = std::make_unique<TBackgroundWork>(notifier_, [clip, startText, chosen, result](UserNotifier& notifier) {
        *result = takeClipIntoWork(clip, startText, chosen, notifier);
    });
    pendingResult_ = result;
    deliver_.start();
}

void TVideoPage::endIntake() {
    deliver_.stop();
    try {
        work_->wait();
        intake_ = **pendingResult_;
    } catch (const std::exception& e) {
        notifier_.showFailure(e);
    }
    work_.reset();
    pendingResult_.reset();
    bbProcessVideo_->setEnabled(true);
    bbRemoveVideo_->setEnabled(true);
    if (intake_) {
        const TClipIntake& i = *intake_;
        if (i.countMismatch()) {
            notifier_.message("Orbisight",
                              tr("Ролик декодирован в %1 кадров, а его заголовок объявляет %2. Проверьте кадры в %3.")
                                  .arg(i.framesSaved)
                                  .arg(i.declaredFrames)
                                  .arg(qs(i.targetDirectory))
                                  .toStdString(),
                              MessageIcon::Warning);
        } else if (i.missingFrames > 0) {
            notifier_.message("Orbisight",
                              tr("%1 из %2 кадров ролика повреждены или обрезаны и не сохранены; остальные сохранены в %3.")
                                  .arg(i.missingFrames)
                                  .arg(i.declaredFrames)
                                  .arg(qs(i.targetDirectory))
                                  .toStdString(),
                              MessageIcon::Warning);
        }
        status_(1, tr("Сохранено кадров: %1 в %2").arg(i.framesSaved).arg(qs(i.targetDirectory)));
        bbMarkTrack_->setEnabled(!markTrackTarget().empty());
    }
    emit intakeFinished();
}

void TVideoPage::bbMarkTrackClick() {
    const std::string event = markTrackTarget();
    if (!event.empty()) emit markTrackRequested(qs(event));
}

std::string TVideoPage::markTrackTarget() const {
    // The clip shown: where its intake put the frames (perhaps a chosen
    // folder), else its own event directory when it has one.
    if (browser_.empty()) return {};
    if (intake_ && intakeClip_ == browser_.clipPath()) return intake_->targetDirectory;
    return markableEventOfClip(browser_.clipPath());
}

}  // namespace orbis
