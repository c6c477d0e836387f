#pragma once
// The image operations of the stages as first written, one pixel at a time
// with a double division and nearbyint per mean: the reference the fast
// versions in processing/uFrameOps must match byte for byte, and the
// "before" of the benchmarks.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "processing/uFrameOps.h"

namespace orbis::plain {

using Bytes = std::vector<uint8_t>;

inline uint8_t roundedMean(double sum, double count) { return static_cast<uint8_t>(std::nearbyint(sum / count)); }

// Every window summed pixel by pixel: (2r+1)^2 additions a pixel.
inline Bytes directBoxMean(int w, int h, int r, const Bytes& in) {
    Bytes out(in.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            long sum = 0, area = 0;
            for (int yy = std::max(0, y - r); yy < std::min(h, y + r + 1); ++yy)
                for (int xx = std::max(0, x - r); xx < std::min(w, x + r + 1); ++xx, ++area)
                    sum += in[static_cast<std::size_t>(yy * w + xx)];
            out[static_cast<std::size_t>(y * w + x)] = roundedMean(static_cast<double>(sum), static_cast<double>(area));
        }
    return out;
}

// Running column and row sums, a double division a pixel.
inline void boxMean(int width, int height, int radius, std::span<uint8_t> buffer) {
    if (width <= 0 || height <= 0 || radius < 0) return;
    const auto w = static_cast<std::size_t>(width);
    std::vector<int32_t> column(w, 0);
    std::vector<int64_t> prefix(w + 1, 0);
    Bytes out(buffer.size());
    int top = 0, bottom = 0;
    for (int y = 0; y < height; ++y) {
        const int from = std::max(0, y - radius);
        const int to = std::min(height, y + radius + 1);
        for (; bottom < to; ++bottom) {
            const uint8_t* row = buffer.data() + static_cast<std::size_t>(bottom) * w;
            for (std::size_t x = 0; x < w; ++x) column[x] += row[x];
        }
        for (; top < from; ++top) {
            const uint8_t* row = buffer.data() + static_cast<std::size_t>(top) * w;
            for (std::size_t x = 0; x < w; ++x) column[x] -= row[x];
        }
        for (std::size_t x = 0; x < w; ++x) prefix[x + 1] = prefix[x] + column[x];
        const long rows = to - from;
        uint8_t* dst = out.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < width; ++x) {
            const int left = std::max(0, x - radius);
            const int right = std::min(width, x + radius + 1);
            const int64_t sum = prefix[static_cast<std::size_t>(right)] - prefix[static_cast<std::size_t>(left)];
            dst[x] = roundedMean(static_cast<double>(sum), static_cast<double>(rows * (right - left)));
        }
    }
    std::copy(out.begin(), out.end(), buffer.begin());
}

inline void smoothBackground(int width, int height, std::span<uint8_t> buffer, int size) {
    const int r = static_cast<int>(std::nearbyint(0.39 * size));
    for (int pass = 0; pass < 3; ++pass) boxMean(width, height, r, buffer);
}

inline Bytes clipToMean(std::span<const uint8_t> source, double factor) {
    const int m = meanLevel(source);
    const double hi = m * factor;
    const int lo = m / 2;
    Bytes out(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        const uint8_t v = source[i];
        out[i] = (v > hi || v < lo) ? static_cast<uint8_t>(m) : v;
    }
    return out;
}

inline void subtractBackground(std::span<const uint8_t> background, std::span<uint8_t> frame) {
    const std::size_t n = std::min(background.size(), frame.size());
    if (n == 0) return;
    uint64_t s = 0;
    for (std::size_t i = 0; i < n; ++i) s += background[i];
    const long off = static_cast<long>(std::nearbyint(static_cast<double>(s) / (static_cast<double>(n) * 1.5)));
    for (std::size_t i = 0; i < n; ++i) {
        if (frame[i] != 0) frame[i] = static_cast<uint8_t>(std::clamp(static_cast<long>(frame[i]) - background[i] + off, 0L, 255L));
    }
}

inline void levelBackground(int width, int height, std::span<uint8_t> frame) {
    Bytes background = clipToMean(frame, 1.2);
    smoothBackground(width, height, background, 8);
    subtractBackground(background, frame);
}

inline TFrameAccumulators sumFrames(std::span<const TFrameBuffer> frames, std::size_t n) {
    TFrameAccumulators acc;
    acc.sum.assign(n, 0);
    acc.maximum.assign(n, 0);
    for (const TFrameBuffer& f : frames) {
        const std::size_t m = std::min(n, f.size());
        for (std::size_t i = 0; i < m; ++i) {
            acc.sum[i] += f[i];
            acc.maximum[i] = std::max(acc.maximum[i], f[i]);
        }
        ++acc.frameCount;
    }
    return acc;
}

// Every pixel's source from the model, the margins on a black canvas.
inline void correctDistortion(int W, int H, std::vector<uint8_t>& buffer, const TDistortion& d) {
    if (W <= 0 || H <= 0) return;
    const auto w = static_cast<std::size_t>(W);
    buffer.resize(w * static_cast<std::size_t>(H), 0);
    const int inW = W - 2 * d.addResultWidth;
    const int inH = H - 2 * d.addResultHeight;
    std::vector<uint8_t> canvas(buffer.size(), 0);
    if (inW > 0 && inH > 0) {
        for (int r = 0; r < inH; ++r) {
            std::copy_n(buffer.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(inW), inW,
                        canvas.data() + static_cast<std::size_t>(r + d.addResultHeight) * w + static_cast<std::size_t>(d.addResultWidth));
        }
    }
    const double xc = (W - 1) / 2.0, yc = (H - 1) / 2.0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const double dx = xc - x, dy = yc - y;
            const double a = std::fabs(dx) / 100.0, b = std::fabs(dy) / 100.0;
            double sx = 100.0 * distortionPolynomial(d, DistortionAxis::X, a, b);
            double sy = 100.0 * distortionPolynomial(d, DistortionAxis::Y, a, b);
            if (dx < 0) sx = -sx;
            if (dy < 0) sy = -sy;
            const double u = std::nearbyint(xc - sx), v = std::nearbyint(yc - sy);
            const std::size_t at = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
            if (u >= 0 && u <= W - 1 && v >= 0 && v <= H - 1) {
                buffer[at] = canvas[static_cast<std::size_t>(v) * w + static_cast<std::size_t>(u)];
            } else {
                buffer[at] = canvas[at];
            }
        }
    }
}

}  // namespace orbis::plain
