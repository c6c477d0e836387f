#include "capture/uDetector.h"

#include <time.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "astro/uExceptions.h"
#include "capture/uPixelOps.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"

namespace orbis {

// ---------------------------------------------------------------------------
// Geometry and settings

TCaptureGeometry geometryForFormat(int bitsPerPixel, std::string_view formatName, int width, int height,
                                   int frameRate) {
    TCaptureGeometry g;
    g.width = width;
    g.height = height;
    g.frameRate = frameRate;
    const bool rgb = formatName.find("RGB") != std::string_view::npos;
    switch (bitsPerPixel) {
        case 8: g.sourceStep = 1; g.lumaOffset = 0; break;
        case 16:
            if (rgb) throw EInvalidVideo(kUnsupportedFormatMessage);
            g.sourceStep = 2;
            g.lumaOffset = formatName.starts_with("Y") ? 0 : 1;
            break;
        case 24: g.sourceStep = 3; g.lumaOffset = 1; break;
        case 32: g.sourceStep = 4; g.lumaOffset = 1; break;
        default: throw EInvalidVideo(kUnsupportedFormatMessage);
    }
    if (width < 1 || height < 1 || frameRate < 1) throw EInvalidVideo(kUnsupportedFormatMessage);
    return g;
}

TDetectorSettings TDetectorSettings::fromConfiguration(const TConfiguration& c) {
    c.requireInRange({"nFramesBeforeEvent", "nFramesAfterEvent", "nSignalFrames", "nNoisePixels", "nSignalPixels"});
    if (c.useAutoShutDown()) c.requireInRange({"autoShutDownLevel"});
    TDetectorSettings s;
    s.nFramesBeforeEvent = c.nFramesBeforeEvent();
    s.nFramesAfterEvent = c.nFramesAfterEvent();
    s.nSignalFrames = c.nSignalFrames();
    s.nNoisePixels = c.nNoisePixels();
    s.nSignalPixels = c.nSignalPixels();
    s.useDarkFile = c.useDarkFile();
    s.useMaskFile = c.useMaskFile();
    s.darkFrame = c.darkFrame();
    s.maskFrame = c.maskFrame();
    s.useAutoShutDown = c.useAutoShutDown();
    s.autoShutDownLevel = c.autoShutDownLevel();
    return s;
}

// ---------------------------------------------------------------------------
// Indicators and clock

void LatestIndicators::publish(const TDetectorIndicators& i) noexcept {
    const uint64_t word = (uint64_t{1} << 63) | (static_cast<uint64_t>(i.colour == StateColour::Red) << 56) |
                          (static_cast<uint64_t>(std::clamp(i.raise, 0, 255)) << 48) |
                          (static_cast<uint64_t>(std::clamp(i.noise, 0, 255)) << 40) |
                          (static_cast<uint64_t>(std::clamp(i.level, 0, 255)) << 32) | i.noisePixels;
    packed_.store(word, std::memory_order_release);
}

std::optional<TDetectorIndicators> LatestIndicators::latest() const {
    const uint64_t word = packed_.load(std::memory_order_acquire);
    if ((word >> 63) == 0) return std::nullopt;
    TDetectorIndicators i;
    i.colour = ((word >> 56) & 1) != 0 ? StateColour::Red : StateColour::White;
    i.raise = static_cast<int>((word >> 48) & 0xFF);
    i.noise = static_cast<int>((word >> 40) & 0xFF);
    i.level = static_cast<int>((word >> 32) & 0xFF);
    i.noisePixels = static_cast<uint32_t>(word & 0xFFFFFFFFu);
    return i;
}

uint32_t SystemDetectorClock::tickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

TDateTime SystemDetectorClock::localNow() { return timeZone_ ? nowUtc() + *timeZone_ / 24.0 : nowLocal(); }

// ---------------------------------------------------------------------------
// Session

namespace {

// A dark or mask bitmap of the session: 8-bit and of the frame's size, or
// refused before the session starts (the detector never reads past it).
std::vector<uint8_t> loadSessionFrame(const std::string& path, const char* what, const TCaptureGeometry& g) {
    TGreyFrame frame;
    try {
        frame = loadGreyFrame(path);
    } catch (const Exception& e) {
        throw EInvalidGraphic(std::string(what) + " " + path + " не является 8-битным изображением: " + e.what());
    }
    if (frame.width != g.width || frame.height != g.height) {
        throw EInvalidGraphic(std::string(what) + " " + path + ": размер " + std::to_string(frame.width) + "x" +
                              std::to_string(frame.height) + " не совпадает с размером кадра " +
                              std::to_string(g.width) + "x" + std::to_string(g.height) + ".");
    }
    return std::move(frame.pixels);
}

}  // namespace

TDetector::TDetector(TDetectorServices services) : services_(std::move(services)) {}

void TDetector::startSession(const TCaptureGeometry& geometry, const TDetectorSettings& settings,
                             TSessionOptions options, std::string_view programDirectory) {
    stopSession();
    if (settings.nFramesBeforeEvent < 1) throw Exception("Число кадров до события должно быть не меньше 1.");
    if (settings.nFramesAfterEvent < 0) throw Exception("Число кадров после события не может быть отрицательным.");
    if (settings.nSignalFrames < 1) throw Exception("Число сигнальных кадров должно быть не меньше 1.");
    if (static_cast<int64_t>(settings.nFramesBeforeEvent) + settings.nFramesAfterEvent + 1 > kMaxRingFrames)
        throw Exception("Число кадров до и после события не может быть больше " + std::to_string(kMaxRingFrames - 1) + ".");
    if (geometry.width <= 0 || geometry.height <= 0) throw Exception("Размер кадра не задан.");

    std::vector<uint8_t> dark, mask;
    const std::string darkPath = resolveInProgramDirectory(programDirectory, settings.darkFrame);
    const std::string maskPath = resolveInProgramDirectory(programDirectory, settings.maskFrame);
    std::error_code ec;
    // Regular files only: an empty setting names the program directory itself.
    if (settings.useDarkFile && std::filesystem::is_regular_file(darkPath, ec)) {
        dark = loadSessionFrame(darkPath, "Тёмный кадр", geometry);
    }
    if (settings.useMaskFile && std::filesystem::is_regular_file(maskPath, ec)) {
        mask = loadSessionFrame(maskPath, "Маска", geometry);
    }

    geometry_ = geometry;
    settings_ = settings;
    options_ = options;
    programDirectory_ = std::string(programDirectory);
    darkFrame_ = std::move(dark);
    maskFrame_ = std::move(mask);

    const std::size_t n = geometry.pixelCount();
    curLuma_.assign(n, 0);
    refLuma_.assign(n, 0);
    diffLuma_.assign(n, 0);
    markThreshold_ = 255;
    lastEventTick_ = 0;
    quickEventCount_ = 0;
    thresholdRaise_ = 0;
    before_ = settings.nFramesBeforeEvent;
    after_ = settings.nFramesAfterEvent;
    if (options.detect) {
        ringIndex_ = 0;
        afterIndex_ = 0;
        waiting_ = true;
        ringNotWrapped_ = true;
        runCount_ = 0;
        clipPath_.clear();
        const std::size_t slots = static_cast<std::size_t>(before_ + after_ + 1);
        ring_.assign(slots, std::vector<uint8_t>(n));
        clipFrames_.assign(slots, std::vector<uint8_t>(n));
    }
    indicators_ = {};
    failedFrames_ = 0;
    running_ = true;
}

void TDetector::stopSession() {
    ring_.clear();
    clipFrames_.clear();
    curLuma_.clear();
    refLuma_.clear();
    diffLuma_.clear();
    ringIndex_ = 0;
    waiting_ = true;
    ringNotWrapped_ = true;
    indicators_.colour = StateColour::White;
    running_ = false;
}

// ---------------------------------------------------------------------------
// Per frame

void TDetector::GrabRecord(std::span<const uint8_t> frame) {
    if (!running_ || !options_.detect) return;
    const std::size_t n = geometry_.pixelCount();
    if (frame.size() < n * static_cast<std::size_t>(geometry_.sourceStep)) return;

    // Ten minutes without an event take the raised threshold back.
    if (thresholdRaise_ != 0) {
        const uint32_t now = services_.clock.tickCount();
        if (static_cast<uint32_t>(now - lastEventTick_) > 600000u) {
            quickEventCount_ = 0;
            thresholdRaise_ = 0;
        }
    }

    // The previous frame, with its bright spots blotted out, is the reference.
    std::memcpy(refLuma_.data(), curLuma_.data(), n);
    MarkBright(curLuma_.data(), refLuma_.data(), n, static_cast<std::size_t>(geometry_.width), markThreshold_);

    const uint64_t sum = ExtractLuma(frame.data(), curLuma_.data(), n, geometry_.sourceStep, geometry_.lumaOffset);
    const int level = static_cast<int>(sum / n);
    // 16-bit YUV arrives top row first; every buffer here is bottom row first.
    if (geometry_.sourceStep == 2) FlipRows(curLuma_.data(), static_cast<std::size_t>(geometry_.width), static_cast<std::size_t>(geometry_.height));
    if (!darkFrame_.empty()) SubtractClamped(curLuma_.data(), darkFrame_.data(), n);
    if (!maskFrame_.empty()) AndMask(curLuma_.data(), maskFrame_.data(), n);

    histogram_.fill(0);
    std::memcpy(diffLuma_.data(), curLuma_.data(), n);
    const int noise = DiffHistogram(diffLuma_.data(), refLuma_.data(), histogram_.data(), n,
                                    static_cast<uint32_t>(std::max(settings_.nNoisePixels, 0)));
    const uint32_t signal = CountSignal(diffLuma_.data(), n, static_cast<std::size_t>(geometry_.width),
                                        settings_.nSignalPixels, noise + thresholdRaise_);

    indicators_.level = level;
    indicators_.noise = noise;
    indicators_.raise = thresholdRaise_;
    indicators_.noisePixels = histogram_[static_cast<std::size_t>(noise)];
    markThreshold_ = level + 2 * noise;

    if (!options_.preview) {
        try {
            if (settings_.useAutoShutDown && level >= settings_.autoShutDownLevel && services_.requestShutdown) {
                services_.requestShutdown();
            }
            storeAndTest(static_cast<int>(std::min<uint32_t>(signal, 0x7FFFFFFF)));
        } catch (const std::exception&) {
            // A failure here (no memory for the clip copy, a clip that cannot
            // be handed over) ends this frame only; the next one goes on, and
            // the count lets the caller report a possibly lost event.
            ++failedFrames_;
        }
    }
    services_.indicators.publish(indicators_);
}

void TDetector::storeAndTest(int signal) {
    const bool ringEmpty = ringIndex_ == 0 && ringNotWrapped_;
    if (waiting_ && !ringEmpty) {
        if (signal < settings_.nSignalPixels) {
            runCount_ = 0;
            indicators_.colour = StateColour::White;
        } else {
            ++runCount_;
            // Every frame of the run names the clip anew; the declaring
            // frame's name is the one kept.
            const TDateTime now = services_.clock.localNow();
            const std::string night = nightDirectory(programDirectory_, now);
            clipPath_ = joinPath(night, clipName(now));
            // A directory that cannot be made must not stop the run from
            // counting: the event is still declared and handed over, and the
            // clip writer reports the file it cannot create.
            try {
                ensureDirectory(night);
            } catch (const EInOutError&) {
                ++failedFrames_;
            }
            if (runCount_ == settings_.nSignalFrames) {
                afterIndex_ = before_;
                waiting_ = false;
            }
        }
    }

    const std::size_t n = geometry_.pixelCount();
    if (waiting_) {
        std::memcpy(ring_[static_cast<std::size_t>(ringIndex_)].data(), curLuma_.data(), n);
        if (++ringIndex_ == before_) {
            ringIndex_ = 0;
            ringNotWrapped_ = false;
        }
    } else {
        indicators_.colour = StateColour::Red;
        std::memcpy(ring_[static_cast<std::size_t>(afterIndex_)].data(), curLuma_.data(), n);
        if (++afterIndex_ > before_ + after_) completeEvent();
    }
}

void TDetector::completeEvent() {
    const std::size_t n = geometry_.pixelCount();
    // The pre-event frames oldest first, then the declaring frame and the
    // frames after it.
    for (int i = 0; i <= before_ + after_; ++i) {
        if (i < before_) {
            int j = ringIndex_ + i;
            if (j > before_ - 1) j -= before_;
            auto& slot = ring_[static_cast<std::size_t>(j)];
            std::memcpy(clipFrames_[static_cast<std::size_t>(i)].data(), slot.data(), n);
            std::fill(slot.begin(), slot.end(), 0);
        } else {
            std::memcpy(clipFrames_[static_cast<std::size_t>(i)].data(), ring_[static_cast<std::size_t>(i)].data(), n);
        }
    }

    TClipJob job;
    job.path = clipPath_;
    job.firstValidFrame = before_ - ringIndex_;
    job.frameRate = geometry_.frameRate;
    job.frameSize = n;
    job.width = geometry_.width;
    job.frames = clipFrames_;
    job.ringNotWrapped = ringNotWrapped_;

    ringIndex_ = 0;
    runCount_ = 0;
    ringNotWrapped_ = true;
    waiting_ = true;
    indicators_.colour = StateColour::White;

    // Bursts of events (four, each within 5 s of the one before) make the
    // detector one level less sensitive.
    const uint32_t now = services_.clock.tickCount();
    if (static_cast<uint32_t>(now - lastEventTick_) < 5000u) {
        if (++quickEventCount_ == 4) {
            quickEventCount_ = 0;
            if (thresholdRaise_ < 255) ++thresholdRaise_;
        }
    } else {
        quickEventCount_ = 0;
    }
    lastEventTick_ = now;

    services_.clips.writeClip(job);
}

}  // namespace orbis
