#pragma once
// Night-sky frames for the detector's tests and benchmarks: a sky level with
// Gaussian noise, fixed stars, and meteors that move a few pixels per frame.
// Frames are luma, bottom row first, as the detector holds them; helpers
// pack them as the camera formats deliver them.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace orbis::test {

struct Meteor {
    int firstFrame = 0;
    int lastFrame = 0;   // inclusive
    double x0 = 0, y0 = 0;  // position at firstFrame, pixels (y counts rows from the bottom)
    double dx = 8, dy = 3;  // motion per frame
    int brightness = 220;
};

class SyntheticSky {
public:
    SyntheticSky(int width, int height, uint32_t seed = 1, int skyLevel = 30, double noiseSigma = 2.0, int stars = 40)
        : width_(width), height_(height), level_(skyLevel), sigma_(noiseSigma), rng_(seed) {
        std::uniform_int_distribution<int> x(2, width - 3), y(2, height - 3), b(80, 250);
        for (int i = 0; i < stars; ++i) stars_.push_back({x(rng_), y(rng_), b(rng_)});
    }

    void addMeteor(const Meteor& m) { meteors_.push_back(m); }

    // Frame `index`: fresh noise every call.
    std::vector<uint8_t> frame(int index) {
        std::vector<uint8_t> f(static_cast<std::size_t>(width_) * height_);
        std::normal_distribution<double> noise(level_, sigma_);
        for (auto& p : f) p = clampByte(noise(rng_));
        for (const auto& s : stars_) put(f, s.x, s.y, s.brightness);
        for (const auto& m : meteors_) {
            if (index < m.firstFrame || index > m.lastFrame) continue;
            const int k = index - m.firstFrame;
            const int cx = static_cast<int>(std::lround(m.x0 + k * m.dx));
            const int cy = static_cast<int>(std::lround(m.y0 + k * m.dy));
            for (int yy = -1; yy <= 1; ++yy)
                for (int xx = -1; xx <= 1; ++xx) put(f, cx + xx, cy + yy, m.brightness);
        }
        return f;
    }

    int width() const { return width_; }
    int height() const { return height_; }

private:
    struct Star {
        int x, y, brightness;
    };
    static uint8_t clampByte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }
    void put(std::vector<uint8_t>& f, int x, int y, int v) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        auto& p = f[static_cast<std::size_t>(y) * width_ + x];
        p = static_cast<uint8_t>(std::max<int>(p, v));
    }

    int width_, height_, level_;
    double sigma_;
    std::mt19937 rng_;
    std::vector<Star> stars_;
    std::vector<Meteor> meteors_;
};

// A bottom-up luma frame as a camera delivers it in a 16-bit YUV format:
// top row first, two bytes per pixel, luma at lumaOffset (0 for YUY2, 1 for
// UYVY), chroma 128.
inline std::vector<uint8_t> packYuv16(const std::vector<uint8_t>& luma, int width, int height, int lumaOffset) {
    std::vector<uint8_t> out(luma.size() * 2, 128);
    for (int r = 0; r < height; ++r) {
        const std::size_t src = static_cast<std::size_t>(height - 1 - r) * width;
        const std::size_t dst = static_cast<std::size_t>(r) * width * 2;
        for (int x = 0; x < width; ++x) out[dst + 2 * static_cast<std::size_t>(x) + static_cast<std::size_t>(lumaOffset)] = luma[src + x];
    }
    return out;
}

// A bottom-up luma frame as 24- or 32-bit RGB, bottom row first, grey.
inline std::vector<uint8_t> packRgb(const std::vector<uint8_t>& luma, int bytesPerPixel) {
    std::vector<uint8_t> out(luma.size() * static_cast<std::size_t>(bytesPerPixel), 0);
    for (std::size_t i = 0; i < luma.size(); ++i) {
        for (int c = 0; c < 3; ++c) out[i * bytesPerPixel + c] = luma[i];
    }
    return out;
}

}  // namespace orbis::test
