#include "capture/uDetector.h"

#include <time.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "astro/uExceptions.h"
#include "capture/uFrameDifference.h"
#include "capture/uPixelOps.h"
#include "config/uConfiguration.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"

namespace orbis {

// ---------------------------------------------------------------------------
// Geometry and settings

TCaptureGeometry geometryForFormat(int bitsPerPixel, std::string_view formatName, int width, int height,
                                   int frameRate) {
    const auto unsupported = [&] {
        return EInvalidVideo(TDiagnostic(Code::CaptureFormatUnsupported)
                                 .with("format", std::string(formatName))
                                 .with("bits", bitsPerPixel)
                                 .with("width", width)
                                 .with("height", height)
                                 .with("rate", frameRate));
    };
    TCaptureGeometry g;
    g.width = width;
    g.height = height;
    g.frameRate = frameRate;
    const bool rgb = formatName.find("RGB") != std::string_view::npos;
    switch (bitsPerPixel) {
        case 8: g.sourceStep = 1; g.lumaOffset = 0; break;
        case 16:
            if (rgb) throw unsupported();
            g.sourceStep = 2;
            g.lumaOffset = formatName.starts_with("Y") ? 0 : 1;
            break;
        case 24: g.sourceStep = 3; g.lumaOffset = 1; break;
        case 32: g.sourceStep = 4; g.lumaOffset = 1; break;
        default: throw unsupported();
    }
    if (width < 1 || height < 1 || frameRate < 1) throw unsupported();
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
std::vector<uint8_t> loadSessionFrame(const std::string& path, bool dark, const TCaptureGeometry& g) {
    TGreyFrame frame;
    try {
        frame = loadGreyFrame(path);
    } catch (const Exception& e) {
        throw EInvalidGraphic(TDiagnostic(dark ? Code::DarkFrameNotGrey : Code::MaskFrameNotGrey)
                                  .with("file", path)
                                  .with("reason", e.what()));
    }
    if (frame.width != g.width || frame.height != g.height) {
        throw EInvalidGraphic(TDiagnostic(dark ? Code::DarkFrameSizeMismatch : Code::MaskFrameSizeMismatch)
                                  .with("file", path)
                                  .with("size", std::to_string(frame.width) + "x" + std::to_string(frame.height))
                                  .with("frameSize", std::to_string(g.width) + "x" + std::to_string(g.height)));
    }
    return std::move(frame.pixels);
}

}  // namespace

TDetector::TDetector(TDetectorServices services) : services_(std::move(services)) {}

void TDetector::startSession(const TCaptureGeometry& geometry, const TDetectorSettings& settings,
                             TSessionOptions options, std::string_view programDirectory) {
    stopSession();
    if (settings.nFramesBeforeEvent < 1)
        throw Exception(TDiagnostic(Code::FramesBeforeEventTooFew).with("count", settings.nFramesBeforeEvent));
    if (settings.nFramesAfterEvent < 0)
        throw Exception(TDiagnostic(Code::FramesAfterEventNegative).with("count", settings.nFramesAfterEvent));
    if (settings.nSignalFrames < 1)
        throw Exception(TDiagnostic(Code::SignalFramesTooFew).with("count", settings.nSignalFrames));
    if (static_cast<int64_t>(settings.nFramesBeforeEvent) + settings.nFramesAfterEvent + 1 > kMaxRingFrames)
        throw Exception(TDiagnostic(Code::EventRingTooLong).with("limit", kMaxRingFrames - 1));
    if (geometry.width <= 0 || geometry.height <= 0) throw Exception(TDiagnostic(Code::FrameSizeMissing));

    std::vector<uint8_t> dark, mask;
    const std::string darkPath = resolveInProgramDirectory(programDirectory, settings.darkFrame);
    const std::string maskPath = resolveInProgramDirectory(programDirectory, settings.maskFrame);
    std::error_code ec;
    // Regular files only: an empty setting names the program directory itself.
    if (settings.useDarkFile && std::filesystem::is_regular_file(darkPath, ec)) {
        dark = loadSessionFrame(darkPath, true, geometry);
    }
    if (settings.useMaskFile && std::filesystem::is_regular_file(maskPath, ec)) {
        mask = loadSessionFrame(maskPath, false, geometry);
    }

    geometry_ = geometry;
    settings_ = settings;
    options_ = options;
    programDirectory_ = std::string(programDirectory);
    darkFrame_ = std::move(dark);
    maskFrame_ = std::move(mask);

    const std::size_t n = geometry.pixelCount();
    // Before the first frame the previous one is black.
    for (auto& b : spare_) b.assign(n, 0);
    latest_ = spare_[1].data();
    reference_ = nullptr;
    referenceThreshold_ = 255;
    refLuma_.clear();
    diffLuma_.assign(n, 0);
    const std::size_t rows = static_cast<std::size_t>(geometry.height);
    latestRowMax_.assign(rows, 0);
    lumaRowMax_.assign(rows, 0);
    diffRowMax_.assign(rows, 0);
    histogram_.fill(0);
    histogramCounted_ = true;
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
    histogram();  // kept past the session, as the other indicators are
    ring_.clear();
    clipFrames_.clear();
    for (auto& b : spare_) b.clear();
    latest_ = nullptr;
    reference_ = nullptr;
    refLuma_.clear();
    diffLuma_.clear();
    latestRowMax_.clear();
    lumaRowMax_.clear();
    diffRowMax_.clear();
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

    // The new luma goes to the spare buffer that does not hold the previous
    // frame (with a single pre-event slot the ring hands that one back).
    std::vector<uint8_t>& luma = spare_[0].data() != latest_ ? spare_[0] : spare_[1];
    reference_ = latest_;
    referenceThreshold_ = markThreshold_;
    refLuma_.clear();

    // One pass: luma (bottom row first: 16-bit YUV arrives top row first),
    // dark and mask, and the difference from the previous frame with that
    // frame's bright spots blotted out, as a reference with those spots at
    // 255 would give it; and the difference's noise level.
    const std::size_t width = static_cast<std::size_t>(geometry_.width);
    const TLumaSource source{frame.data(), geometry_.sourceStep, geometry_.lumaOffset, geometry_.sourceStep == 2,
                             darkFrame_.empty() ? nullptr : darkFrame_.data(),
                             maskFrame_.empty() ? nullptr : maskFrame_.data()};
    const TDifferenceSummary pass = DifferenceFrame(
        source, width, static_cast<std::size_t>(geometry_.height), {latest_, latestRowMax_.data(), markThreshold_},
        static_cast<uint32_t>(std::max(settings_.nNoisePixels, 0)),
        {luma.data(), lumaRowMax_.data(), diffLuma_.data(), diffRowMax_.data()});
    histogramCounted_ = false;
    latest_ = luma.data();
    std::swap(latestRowMax_, lumaRowMax_);
    const int level = static_cast<int>(pass.lumaSum / n);
    const int noise = pass.noise;
    const uint32_t signal = CountSignalInRows(diffLuma_.data(), width, static_cast<std::size_t>(geometry_.height),
                                              diffRowMax_.data(), settings_.nSignalPixels, noise + thresholdRaise_);

    indicators_.level = level;
    indicators_.noise = noise;
    indicators_.raise = thresholdRaise_;
    indicators_.noisePixels = pass.noisePixels;
    markThreshold_ = level + 2 * noise;

    if (!options_.preview) {
        try {
            if (settings_.useAutoShutDown && level >= settings_.autoShutDownLevel && services_.requestShutdown) {
                services_.requestShutdown();
            }
            storeAndTest(static_cast<int>(std::min<uint32_t>(signal, 0x7FFFFFFF)), luma);
        } catch (const std::exception&) {
            // A failure here (no memory for the clip copy, a clip that cannot
            // be handed over) ends this frame only; the next one goes on, and
            // the count lets the caller report a possibly lost event.
            ++failedFrames_;
        }
    }
    services_.indicators.publish(indicators_);
}

std::span<const uint8_t> TDetector::currentLuma() const {
    if (!latest_) return {};
    return {latest_, geometry_.pixelCount()};
}

std::span<const uint32_t, 256> TDetector::histogram() const {
    if (!histogramCounted_ && !diffLuma_.empty()) ByteHistogram(diffLuma_.data(), diffLuma_.size(), histogram_.data());
    histogramCounted_ = true;
    return histogram_;
}

std::span<const uint8_t> TDetector::referenceLuma() const {
    if (!latest_) return {};
    const std::size_t n = geometry_.pixelCount();
    if (refLuma_.size() != n) {
        refLuma_.assign(n, 0);
        if (reference_) {
            std::memcpy(refLuma_.data(), reference_, n);
            MarkBright(reference_, refLuma_.data(), n, static_cast<std::size_t>(geometry_.width), referenceThreshold_);
        }
    }
    return refLuma_;
}

void TDetector::storeAndTest(int signal, std::vector<uint8_t>& frame) {
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

    // The frame takes the slot's place; the slot's old buffer becomes the spare.
    if (waiting_) {
        std::swap(ring_[static_cast<std::size_t>(ringIndex_)], frame);
        if (++ringIndex_ == before_) {
            ringIndex_ = 0;
            ringNotWrapped_ = false;
        }
    } else {
        indicators_.colour = StateColour::Red;
        std::swap(ring_[static_cast<std::size_t>(afterIndex_)], frame);
        if (++afterIndex_ > before_ + after_) completeEvent();
    }
}

void TDetector::completeEvent() {
    // The pre-event frames oldest first, then the declaring frame and the
    // frames after it: the ring's buffers trade places with the clip's, and
    // the pre-event slots start black again.
    for (int i = 0; i <= before_ + after_; ++i) {
        if (i < before_) {
            int j = ringIndex_ + i;
            if (j > before_ - 1) j -= before_;
            auto& slot = ring_[static_cast<std::size_t>(j)];
            std::swap(clipFrames_[static_cast<std::size_t>(i)], slot);
            std::fill(slot.begin(), slot.end(), 0);
        } else {
            std::swap(clipFrames_[static_cast<std::size_t>(i)], ring_[static_cast<std::size_t>(i)]);
        }
    }
    const std::size_t n = geometry_.pixelCount();

    TClipJob job;
    job.path = clipPath_;
    job.firstValidFrame = before_ - ringIndex_;
    job.frameRate = geometry_.frameRate;
    job.frameSize = n;
    job.width = geometry_.width;
    job.frames = clipFrames_;
    job.ringNotWrapped = ringNotWrapped_;
    job.handOver = &clipFrames_;

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

    keepLatestFrames();
    services_.clips.writeClip(job);
}

// The latest frame and the one before it (which the next frame is compared
// with and the window shows) lie in the clip's buffers, which the sink may
// take: they move to the spare buffers first, two copies instead of the
// clip's.
void TDetector::keepLatestFrames() {
    const std::size_t n = geometry_.pixelCount();
    const auto inSpare = [&](const uint8_t* p) { return p == spare_[0].data() || p == spare_[1].data(); };
    const auto keep = [&](const uint8_t*& p, const uint8_t* other) {
        if (p == nullptr || inSpare(p)) return;
        std::vector<uint8_t>& into = spare_[0].data() != other ? spare_[0] : spare_[1];
        std::memcpy(into.data(), p, n);
        p = into.data();
    };
    keep(latest_, reference_);
    keep(reference_, latest_);
}

}  // namespace orbis
