#pragma once
// The detector's frame handling written plainly, step by step with a copy
// for every buffer (reference, difference, ring slot, clip frame): the
// reference the detector's single pass and traded buffers are held to.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "capture/uDetector.h"
#include "capture/uPixelOps.h"
#include "processing/uNaming.h"

namespace orbis::test {

struct PlainClip {
    std::string path;
    int firstValidFrame = 0;
    bool ringNotWrapped = false;
    std::vector<std::vector<uint8_t>> frames;
};

class PlainDetector {
public:
    std::vector<TDetectorIndicators> indicators;
    std::vector<PlainClip> clips;
    std::vector<uint8_t> cur, ref, diff;
    std::array<uint32_t, 256> histogram{};

    PlainDetector(const TCaptureGeometry& g, const TDetectorSettings& s, bool preview, std::vector<uint8_t> dark,
                  std::vector<uint8_t> mask, std::string programDirectory)
        : g_(g), s_(s), preview_(preview), dark_(std::move(dark)), mask_(std::move(mask)),
          directory_(std::move(programDirectory)) {
        const std::size_t n = g.pixelCount();
        cur.assign(n, 0);
        ref.assign(n, 0);
        diff.assign(n, 0);
        before_ = s.nFramesBeforeEvent;
        after_ = s.nFramesAfterEvent;
        ring_.assign(static_cast<std::size_t>(before_ + after_ + 1), std::vector<uint8_t>(n));
    }

    void grab(const std::vector<uint8_t>& frame, uint32_t tick, TDateTime now) {
        const std::size_t n = g_.pixelCount(), w = static_cast<std::size_t>(g_.width);
        if (raise_ != 0 && tick - lastEventTick_ > 600000u) quick_ = 0, raise_ = 0;
        std::memcpy(ref.data(), cur.data(), n);
        MarkBright(cur.data(), ref.data(), n, w, markThreshold_);
        const uint64_t sum = ExtractLuma(frame.data(), cur.data(), n, g_.sourceStep, g_.lumaOffset);
        const int level = static_cast<int>(sum / n);
        if (g_.sourceStep == 2) FlipRows(cur.data(), w, static_cast<std::size_t>(g_.height));
        if (!dark_.empty()) SubtractClamped(cur.data(), dark_.data(), n);
        if (!mask_.empty()) AndMask(cur.data(), mask_.data(), n);
        histogram.fill(0);
        std::memcpy(diff.data(), cur.data(), n);
        const int noise = DiffHistogram(diff.data(), ref.data(), histogram.data(), n,
                                        static_cast<uint32_t>(std::max(s_.nNoisePixels, 0)));
        const uint32_t signal = CountSignal(diff.data(), n, w, s_.nSignalPixels, noise + raise_);
        TDetectorIndicators i{level, noise, raise_, histogram[static_cast<std::size_t>(noise)], colour_};
        markThreshold_ = level + 2 * noise;
        if (!preview_) storeAndTest(static_cast<int>(std::min<uint32_t>(signal, 0x7FFFFFFF)), tick, now);
        i.colour = colour_;
        indicators.push_back(i);
    }

private:
    void storeAndTest(int signal, uint32_t tick, TDateTime now) {
        const bool ringEmpty = ringIndex_ == 0 && notWrapped_;
        if (waiting_ && !ringEmpty) {
            if (signal < s_.nSignalPixels) {
                run_ = 0;
                colour_ = StateColour::White;
            } else {
                ++run_;
                path_ = joinPath(nightDirectory(directory_, now), clipName(now));
                if (run_ == s_.nSignalFrames) afterIndex_ = before_, waiting_ = false;
            }
        }
        const std::size_t n = g_.pixelCount();
        if (waiting_) {
            std::memcpy(ring_[static_cast<std::size_t>(ringIndex_)].data(), cur.data(), n);
            if (++ringIndex_ == before_) ringIndex_ = 0, notWrapped_ = false;
            return;
        }
        colour_ = StateColour::Red;
        std::memcpy(ring_[static_cast<std::size_t>(afterIndex_)].data(), cur.data(), n);
        if (++afterIndex_ <= before_ + after_) return;

        PlainClip clip{path_, before_ - ringIndex_, notWrapped_, {}};
        for (int i = 0; i <= before_ + after_; ++i) {
            if (i < before_) {
                int j = ringIndex_ + i;
                if (j > before_ - 1) j -= before_;
                auto& slot = ring_[static_cast<std::size_t>(j)];
                clip.frames.push_back(slot);
                std::fill(slot.begin(), slot.end(), 0);
            } else {
                clip.frames.push_back(ring_[static_cast<std::size_t>(i)]);
            }
        }
        ringIndex_ = 0, run_ = 0, notWrapped_ = true, waiting_ = true;
        colour_ = StateColour::White;
        if (tick - lastEventTick_ < 5000u) {
            if (++quick_ == 4) {
                quick_ = 0;
                if (raise_ < 255) ++raise_;
            }
        } else {
            quick_ = 0;
        }
        lastEventTick_ = tick;
        clips.push_back(std::move(clip));
    }

    TCaptureGeometry g_;
    TDetectorSettings s_;
    bool preview_;
    std::vector<uint8_t> dark_, mask_;
    std::string directory_;
    std::vector<std::vector<uint8_t>> ring_;
    int before_ = 0, after_ = 0, ringIndex_ = 0, afterIndex_ = 0, run_ = 0;
    bool notWrapped_ = true, waiting_ = true;
    int markThreshold_ = 255;
    uint32_t lastEventTick_ = 0;
    uint8_t quick_ = 0, raise_ = 0;
    StateColour colour_ = StateColour::White;
    std::string path_;
};

}  // namespace orbis::test
