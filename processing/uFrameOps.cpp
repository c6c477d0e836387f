#include "processing/uFrameOps.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "config/uConfiguration.h"
#include "processing/uRoundedMean.h"

namespace orbis {

namespace {

// To nearest, ties to even: the rounding of every "round" of the stages.
double roundEven(double v) { return std::nearbyint(v); }

uint8_t clampByte(long v) { return static_cast<uint8_t>(std::clamp(v, 0L, 255L)); }

}  // namespace

int meanLevel(std::span<const uint8_t> buffer) {
    if (buffer.empty()) return 0;
    uint64_t sum = 0;
    for (uint8_t v : buffer) sum += v;
    return static_cast<int>(sum / buffer.size());
}

void removeDarkFrame(std::span<const uint8_t> dark, int width, std::size_t n, std::span<uint8_t> frame) {
    n = std::min({n, dark.size(), frame.size()});
    if (n == 0) return;
    const int t = meanLevel(frame.first(n)) / 2;
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    // Worked on a copy: c[i - width] is already final when pixel i is
    // filled, c[i + width] still holds the input value.
    std::vector<uint8_t> c(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        c[i] = frame[i] == 0 ? 0 : clampByte(static_cast<long>(frame[i]) - dark[i]);
        if (w < i && i + w < n && c[i] <= t) c[i] = static_cast<uint8_t>((c[i - w] + c[i + w]) / 2);
    }
    std::copy(c.begin(), c.end(), frame.begin());
}

namespace {

void replaceOutside(const uint8_t* __restrict source, uint8_t* __restrict out, std::size_t n, int lo, int first,
                    uint8_t replacement) {
    for (std::size_t i = 0; i < n; ++i) {
        const int v = source[i];
        out[i] = (v >= first || v < lo) ? replacement : source[i];
    }
}

}  // namespace

TFrameBuffer clipToMean(std::span<const uint8_t> source, double factor) {
    const int m = meanLevel(source);
    const double hi = m * factor;
    const int lo = m / 2;
    // The bytes above hi are those from the first one above it (256: none),
    // found by the same comparison, so the pixels compare integers.
    int first = 0;
    while (first < 256 && !(first > hi)) ++first;
    TFrameBuffer out(source.size());
    replaceOutside(source.data(), out.data(), source.size(), lo, first, static_cast<uint8_t>(m));
    return out;
}

namespace {

// The rows [from, to) of a window around row y (or column x), as 64-bit
// values: y + radius + 1 must not overflow for any radius.
struct TSpan {
    int64_t from, to;
};
TSpan windowSpan(int64_t at, int64_t radius, int64_t size) {
    return {std::max<int64_t>(0, at - radius), std::min<int64_t>(size, at + radius + 1)};
}

template <typename Sum>
void addRow(Sum* __restrict column, const uint8_t* __restrict row, std::size_t w) {
    for (std::size_t x = 0; x < w; ++x) column[x] += row[x];
}
template <typename Sum>
void subtractRow(Sum* __restrict column, const uint8_t* __restrict row, std::size_t w) {
    for (std::size_t x = 0; x < w; ++x) column[x] -= row[x];
}
// window[x] = prefix[x + size] - prefix[x]
template <typename Sum>
void windowSums(const Sum* __restrict prefix, Sum* __restrict window, std::size_t n, std::size_t size) {
    for (std::size_t x = 0; x < n; ++x) window[x] = prefix[x + size] - prefix[x];
}
template <typename Sum>
void addTo(const Sum* __restrict from, Sum* __restrict to, std::size_t n) {
    for (std::size_t x = 0; x < n; ++x) to[x] += from[x];
}
template <typename Sum>
void pairSums(const Sum* a, const Sum* b, Sum* __restrict out, std::size_t n) {
    for (std::size_t x = 0; x < n; ++x) out[x] = a[x] + b[x];
}

// window[x] = column[x] + ... + column[x + size - 1] for x < n, column
// holding n + size - 1 values: sums of runs of 1, 2, 4, ... columns, each
// the sum of two runs of the length before, and every window the sum of the
// runs the bits of size call for. A few vector passes over the row instead
// of the running sum's chain of one addition after another.
template <typename Sum>
void windowSumsByRuns(const Sum* column, Sum* window, std::vector<Sum>& runs, std::vector<Sum>& next, std::size_t n,
                      std::size_t size) {
    const std::size_t length = n + size - 1;
    std::fill_n(window, n, Sum{0});
    const Sum* run = column;
    std::size_t runLength = 1, offset = 0;
    for (;;) {
        if ((size & 1) != 0) {
            addTo(run + offset, window, n);
            offset += runLength;
        }
        size >>= 1;
        if (size == 0) break;
        pairSums(run, run + runLength, next.data(), length - 2 * runLength + 1);
        runs.swap(next);
        run = runs.data();
        runLength *= 2;
    }
}

// Windows up to this width take their sums by runs (two passes a bit of the
// width at most), wider ones by differences of the running sum.
constexpr int64_t kWindowByRuns = 63;

// boxMean from src into dst. Column sums over the rows of the window, moved
// down one row at a time, then the window sums along the row: by runs for
// narrow windows, else as differences of the running sum of the columns, a
// cost that does not depend on the radius. The sums are unsigned and may
// wrap round: they stay exact as long as a window's own sum fits Sum. Along
// a row the windows of the inner columns share one pixel count, so their
// means take TRoundedMean; the columns nearer an edge than the radius have
// their own counts.
template <typename Sum>
void boxMeanInto(int width, int height, int radius, const uint8_t* src, uint8_t* dst) {
    const auto w = static_cast<std::size_t>(width);
    const int64_t r = radius;
    const int64_t across = std::min<int64_t>(width, 2 * r + 1);  // pixels of a whole-width window row
    // The columns whose window is not cut on either side.
    const std::size_t innerFrom = static_cast<std::size_t>(std::min<int64_t>(r, width));
    const std::size_t innerTo = std::max(innerFrom, static_cast<std::size_t>(std::max<int64_t>(0, width - r)));
    const bool inner = width >= 2 * r + 1;
    const bool byRuns = inner && 2 * r + 1 <= kWindowByRuns;
    std::vector<Sum> column(w, 0), prefix(w + 1, 0), window(w, 0), runs(w), next(w);
    int64_t top = 0, bottom = 0;  // rows [top, bottom) are in the column sums
    int64_t meanRows = -1;
    TRoundedMean innerMean(1);
    for (int y = 0; y < height; ++y) {
        const TSpan rows = windowSpan(y, r, height);
        for (; bottom < rows.to; ++bottom) addRow(column.data(), src + static_cast<std::size_t>(bottom) * w, w);
        for (; top < rows.from; ++top) subtractRow(column.data(), src + static_cast<std::size_t>(top) * w, w);
        const int64_t rowCount = rows.to - rows.from;
        uint8_t* out = dst + static_cast<std::size_t>(y) * w;
        const std::size_t n = innerTo - innerFrom;
        if (byRuns) {
            // The edge columns' windows grow from the edge one column at a time.
            const auto ur = static_cast<std::size_t>(r);
            Sum left = 0, right = 0;
            for (std::size_t k = 0; k < ur; ++k) {
                left += column[k];
                right += column[w - 1 - k];
            }
            for (std::size_t k = 0; k < ur; ++k) {
                left += column[k + ur];
                right += column[w - 1 - k - ur];
                const auto count = static_cast<uint64_t>(rowCount * static_cast<int64_t>(k + ur + 1));
                out[k] = roundedMean(left, count);
                out[w - 1 - k] = roundedMean(right, count);
            }
            windowSumsByRuns(column.data(), window.data(), runs, next, n, static_cast<std::size_t>(2 * r + 1));
        } else {
            Sum running = 0;
            for (std::size_t x = 0; x < w; ++x) prefix[x + 1] = running += column[x];
            // The edge columns one by one.
            for (std::size_t x = 0; x < w; ++x) {
                if (inner && x == innerFrom) x = innerTo;
                if (x >= w) break;
                const TSpan cols = windowSpan(static_cast<int64_t>(x), r, width);
                const Sum sum = prefix[static_cast<std::size_t>(cols.to)] - prefix[static_cast<std::size_t>(cols.from)];
                out[x] = roundedMean(sum, static_cast<uint64_t>(rowCount * (cols.to - cols.from)));
            }
            if (!inner) continue;
            windowSums(prefix.data(), window.data(), n, static_cast<std::size_t>(2 * r + 1));
        }
        if constexpr (sizeof(Sum) <= sizeof(uint32_t)) {
            if (rowCount != meanRows) {
                meanRows = rowCount;
                innerMean = TRoundedMean(static_cast<uint32_t>(rowCount * across));
            }
            innerMean.divide(std::span<const Sum>(window.data(), n), std::span<uint8_t>(out + innerFrom, n));
        } else {
            for (std::size_t i = 0; i < n; ++i) out[innerFrom + i] = roundedMean(window[i], static_cast<uint64_t>(rowCount * across));
        }
    }
}

void boxMeanInto(int width, int height, int radius, const uint8_t* src, uint8_t* dst) {
    // The largest window sum decides the width of the sums.
    const int64_t r = radius;
    const uint64_t largestArea =
        static_cast<uint64_t>(std::min<int64_t>(width, 2 * r + 1)) * static_cast<uint64_t>(std::min<int64_t>(height, 2 * r + 1));
    if (255 * largestArea <= 0xFFFFu) {
        boxMeanInto<uint16_t>(width, height, radius, src, dst);
    } else if (255 * largestArea <= 0xFFFFFFFFu) {
        boxMeanInto<uint32_t>(width, height, radius, src, dst);
    } else {
        boxMeanInto<uint64_t>(width, height, radius, src, dst);
    }
}

bool boxMeanApplies(int width, int height, int radius, std::size_t size) {
    return width > 0 && height > 0 && radius >= 0 &&
           size >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace

void boxMean(int width, int height, int radius, std::span<uint8_t> buffer) {
    if (!boxMeanApplies(width, height, radius, buffer.size())) return;
    TFrameBuffer out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    boxMeanInto(width, height, radius, buffer.data(), out.data());
    std::copy(out.begin(), out.end(), buffer.begin());
}

void smoothBackground(int width, int height, std::span<uint8_t> buffer, int size) {
    const int r = static_cast<int>(roundEven(0.39 * size));
    if (!boxMeanApplies(width, height, r, buffer.size())) return;
    // The passes go back and forth between the buffer and one copy.
    TFrameBuffer other(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    boxMeanInto(width, height, r, buffer.data(), other.data());
    boxMeanInto(width, height, r, other.data(), buffer.data());
    boxMeanInto(width, height, r, buffer.data(), other.data());
    std::copy(other.begin(), other.end(), buffer.begin());
}

namespace {

// off <= 170 and a difference of two bytes keep every value within an int.
void subtractWithOffset(const uint8_t* __restrict background, uint8_t* __restrict frame, std::size_t n, int off) {
    for (std::size_t i = 0; i < n; ++i) {
        const int v = std::clamp(frame[i] - background[i] + off, 0, 255);
        frame[i] = frame[i] == 0 ? uint8_t{0} : static_cast<uint8_t>(v);
    }
}

}  // namespace

void subtractBackground(std::span<const uint8_t> background, std::span<uint8_t> frame) {
    const std::size_t n = std::min(background.size(), frame.size());
    if (n == 0) return;
    uint64_t s = 0;
    for (std::size_t i = 0; i < n; ++i) s += background[i];
    const auto off = static_cast<int>(roundEven(static_cast<double>(s) / (static_cast<double>(n) * 1.5)));
    subtractWithOffset(background.data(), frame.data(), n, off);
}

void levelBackground(int width, int height, std::span<uint8_t> frame) {
    TFrameBuffer background = clipToMean(frame, 1.2);
    smoothBackground(width, height, background, 8);
    subtractBackground(background, frame);
}

namespace {

void accumulate(const uint8_t* __restrict frame, int32_t* __restrict sum, uint8_t* __restrict maximum, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        sum[i] += frame[i];
        maximum[i] = std::max(maximum[i], frame[i]);
    }
}

}  // namespace

TFrameAccumulators sumFrames(std::span<const TFrameBuffer> frames, std::size_t n) {
    TFrameAccumulators acc;
    acc.sum.assign(n, 0);
    acc.maximum.assign(n, 0);
    acc.frameCount = static_cast<int>(frames.size());
    // A block of pixels through every frame at a time: its sums and maxima
    // stay in the cache while the frames stream past.
    constexpr std::size_t kBlock = 4096;
    for (std::size_t from = 0; from < n; from += kBlock) {
        for (const TFrameBuffer& f : frames) {
            const std::size_t to = std::min({n, f.size(), from + kBlock});
            if (to > from) accumulate(f.data() + from, acc.sum.data() + from, acc.maximum.data() + from, to - from);
        }
    }
    return acc;
}

TFrameBuffer meanWithoutMaximum(const TFrameAccumulators& acc) {
    const std::size_t n = acc.sum.size();
    TFrameBuffer out(n, 0);
    if (acc.frameCount <= 1) {
        // One frame (or none) has nothing to average without its maximum:
        // it is its own background.
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(acc.sum[i]);
        return out;
    }
    const double others = acc.frameCount - 1;
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<uint8_t>(roundEven((acc.sum[i] - acc.maximum[i]) / others));
    }
    return out;
}

void autoContrast(std::span<uint8_t> buffer, double k) {
    double logSum = 0.0;
    std::size_t count = 0;
    for (uint8_t v : buffer) {
        if (v == 0) continue;
        logSum += std::log10(static_cast<double>(v));
        ++count;
    }
    if (count == 0) return;  // all black: nothing to stretch
    const double g = std::pow(10.0, logSum / static_cast<double>(count));
    // One evaluation per grey value, the same for every pixel of that value.
    std::array<uint8_t, 256> map{};
    for (int v = 1; v < 256; ++v) {
        const double x = g * std::pow(v / g, k);
        map[static_cast<std::size_t>(v)] = x >= 255.0 ? 255 : static_cast<uint8_t>(roundEven(x));
    }
    for (uint8_t& v : buffer) v = map[v];
}

TFrameBuffer overlayMeteor(std::span<const uint8_t> background, std::span<const uint8_t> maximum) {
    TFrameBuffer out(std::min(background.size(), maximum.size()));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = std::max(background[i], maximum[i]);
    return out;
}

TFrameBuffer doubleHeight(std::span<const uint8_t> source, int width) {
    const auto w = static_cast<std::size_t>(std::max(width, 1));
    const std::size_t rows = source.size() / w;
    TFrameBuffer out(rows * w * 2);
    for (std::size_t r = 0; r < rows; ++r) {
        std::memcpy(out.data() + 2 * r * w, source.data() + r * w, w);
        std::memcpy(out.data() + (2 * r + 1) * w, source.data() + r * w, w);
    }
    return out;
}

void interpolateOddRows(std::span<uint8_t> buffer, int width, int doubledHeight) {
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    for (int i = 1; i + 1 < doubledHeight; i += 2) {
        uint8_t* row = buffer.data() + static_cast<std::size_t>(i) * w;
        const uint8_t* next = row + w;
        for (std::size_t x = 0; x < w; ++x) row[x] = static_cast<uint8_t>((row[x] + next[x]) / 2);
    }
}

// ---------------------------------------------------------------------------
// Distortion

TDistortion TDistortion::fromConfiguration(const TConfiguration& config) {
    TDistortion d;
    for (int i = 0; i < 10; ++i) {
        d.coefX[static_cast<std::size_t>(i)] = config.coefX(i);
        d.coefY[static_cast<std::size_t>(i)] = config.coefY(i);
    }
    // Margins are added on each side; a negative margin would cut the
    // picture and place it outside the buffer.
    d.addResultWidth = std::max(config.addResultWidth(), 0);
    d.addResultHeight = std::max(config.addResultHeight(), 0);
    return d;
}

double distortionPolynomial(const TDistortion& d, DistortionAxis axis, double a, double b) {
    const auto& c = axis == DistortionAxis::X ? d.coefX : d.coefY;
    return c[0] + c[1] * a + c[2] * b + c[3] * a * b + c[4] * a * a + c[5] * b * b + c[6] * a * a * b +
           c[7] * a * b * b + c[8] * a * a * a + c[9] * b * b * b;
}

namespace {

// The source of corrected pixel (x, y), as reals already rounded: distances
// in units of 100 pixels keep the fitted coefficients of moderate size.
void sourceOf(const TDistortion& d, double xc, double yc, int x, int y, double& u, double& v) {
    const double dx = xc - x, dy = yc - y;
    const double a = std::fabs(dx) / 100.0, b = std::fabs(dy) / 100.0;
    double sx = 100.0 * distortionPolynomial(d, DistortionAxis::X, a, b);
    double sy = 100.0 * distortionPolynomial(d, DistortionAxis::Y, a, b);
    if (dx < 0) sx = -sx;
    if (dy < 0) sy = -sy;
    u = roundEven(xc - sx);
    v = roundEven(yc - sy);
}

}  // namespace

void distortionSource(const TDistortion& d, int W, int H, int x, int y, long& u, long& v) {
    double ud, vd;
    sourceOf(d, (W - 1) / 2.0, (H - 1) / 2.0, x, y, ud, vd);
    const auto toLong = [](double z) {
        if (!(std::fabs(z) < 1e15)) return std::numeric_limits<long>::min();  // never a pixel
        return static_cast<long>(z);
    };
    u = toLong(ud);
    v = toLong(vd);
}

namespace {

// The input picture, inW x inH packed at the start of its buffer, amid its
// margins on a black canvas of W x H: the index of canvas pixel (u, v) in
// the picture, or none in the margins. Bytes the buffer lacks are black.
struct TCanvas {
    int64_t marginX, marginY, inW, inH;

    std::optional<std::size_t> at(int64_t u, int64_t v) const {
        const int64_t c = u - marginX, r = v - marginY;
        if (c < 0 || c >= inW || r < 0 || r >= inH) return std::nullopt;
        return static_cast<std::size_t>(r * inW + c);
    }
};

}  // namespace

void correctDistortion(int W, int H, std::vector<uint8_t>& buffer, const TDistortion& d) {
    std::vector<uint8_t>* one[] = {&buffer};
    correctDistortion(W, H, one, d);
}

void correctDistortion(int W, int H, std::span<std::vector<uint8_t>* const> buffers, const TDistortion& d) {
    if (W <= 0 || H <= 0) return;
    const auto w = static_cast<std::size_t>(W);
    // The pictures stay where they are; the buffers take the corrected
    // frames.
    std::vector<std::vector<uint8_t>> pictures;
    for (std::vector<uint8_t>* buffer : buffers) {
        pictures.push_back(std::move(*buffer));
        buffer->assign(w * static_cast<std::size_t>(H), 0);
    }
    const TCanvas canvas{d.addResultWidth, d.addResultHeight, W - 2 * int64_t{d.addResultWidth}, H - 2 * int64_t{d.addResultHeight}};
    const double xc = (W - 1) / 2.0, yc = (H - 1) / 2.0;
    // The model depends on |x - xc| and |y - yc| only: pixels mirrored about
    // the centre lines share its two values, each side taking its own sign
    // (xc - x of the mirror x' = W - 1 - x is exactly x - xc). A source
    // outside the frame leaves the pixel its own canvas pixel.
    const auto place = [&](int x, int y, double px, double py) {
        const double dx = xc - x, dy = yc - y;
        const double sx = dx < 0 ? -px : px, sy = dy < 0 ? -py : py;
        const double u = roundEven(xc - sx), v = roundEven(yc - sy);
        const std::optional<std::size_t> from = (u >= 0 && u <= W - 1 && v >= 0 && v <= H - 1)
                                                     ? canvas.at(static_cast<int64_t>(u), static_cast<int64_t>(v))
                                                     : canvas.at(x, y);
        if (!from) return;  // black, as the buffers start
        const std::size_t at = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
        for (std::size_t k = 0; k < buffers.size(); ++k) {
            if (*from < pictures[k].size()) (*buffers[k])[at] = pictures[k][*from];
        }
    };
    for (int y = 0; 2 * y <= H - 1; ++y) {
        const int y2 = H - 1 - y;
        for (int x = 0; 2 * x <= W - 1; ++x) {
            const int x2 = W - 1 - x;
            const double a = std::fabs(xc - x) / 100.0, b = std::fabs(yc - y) / 100.0;
            const double px = 100.0 * distortionPolynomial(d, DistortionAxis::X, a, b);
            const double py = 100.0 * distortionPolynomial(d, DistortionAxis::Y, a, b);
            place(x, y, px, py);
            if (x2 != x) place(x2, y, px, py);
            if (y2 != y) place(x, y2, px, py);
            if (x2 != x && y2 != y) place(x2, y2, px, py);
        }
    }
}

namespace {

// Squared distance of a source from the point. Sources are whole numbers, so
// the value is exact below 2^52, and beyond that rounding only keeps it
// large: no far source compares nearer than one measured exactly. A source
// whose distance overflows counts as none, like a non-finite one.
double squaredDistance(double u, double v, int x, int y) {
    const double du = u - x, dv = v - y;
    return du * du + dv * dv;
}

}  // namespace

void mapPointToCorrected(int W, int H, int& x, int& y, const TDistortion& d) {
    const double xc = (W - 1) / 2.0, yc = (H - 1) / 2.0;
    double best = std::numeric_limits<double>::infinity();
    int bestX = x, bestY = y;
    for (int xs = 0; xs < W; ++xs) {
        for (int ys = 0; ys < H; ++ys) {
            double u, v;
            sourceOf(d, xc, yc, xs, ys, u, v);
            if (!std::isfinite(u) || !std::isfinite(v)) continue;
            const double distance = squaredDistance(u, v, x, y);
            if (distance < best) {
                best = distance;
                bestX = xs;
                bestY = ys;
                if (distance == 0) break;  // nothing comes nearer than the point itself
            }
        }
        if (best == 0) break;
    }
    x = bestX;
    y = bestY;
}

TCorrectedPointFinder::TCorrectedPointFinder(int W, int H, const TDistortion& d) : W_(W), H_(H), d_(d) {
    // How far any pixel's source lies from the pixel itself: every pixel
    // whose source lies within distance r of a point lies within reach + r
    // of the point on each axis.
    const double xc = (W - 1) / 2.0, yc = (H - 1) / 2.0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            double u, v;
            sourceOf(d, xc, yc, x, y, u, v);
            if (!std::isfinite(u) || !std::isfinite(v)) continue;
            reachX_ = std::max(reachX_, std::fabs(u - x));
            reachY_ = std::max(reachY_, std::fabs(v - y));
        }
    }
}

TCorrectedPointFinder::TNearest TCorrectedPointFinder::nearestIn(int x, int y, double widenBy) const {
    const double xc = (W_ - 1) / 2.0, yc = (H_ - 1) / 2.0;
    // The window, cut to the frame; empty when the point lies too far out.
    const auto lo = [](int c, double reach) { return static_cast<long>(std::max(0.0, std::floor(c - reach))); };
    const auto hi = [](int c, double reach, int size) {
        return static_cast<long>(std::min(static_cast<double>(size - 1), std::ceil(c + reach)));
    };
    const long x0 = lo(x, reachX_ + widenBy), x1 = hi(x, reachX_ + widenBy, W_);
    const long y0 = lo(y, reachY_ + widenBy), y1 = hi(y, reachY_ + widenBy, H_);
    TNearest best{std::numeric_limits<double>::infinity(), 0, 0};
    // In the order of the full scan, so that ties go the same way.
    for (long xs = x0; xs <= x1; ++xs) {
        for (long ys = y0; ys <= y1; ++ys) {
            double u, v;
            sourceOf(d_, xc, yc, static_cast<int>(xs), static_cast<int>(ys), u, v);
            if (!std::isfinite(u) || !std::isfinite(v)) continue;
            const double distance = squaredDistance(u, v, x, y);
            if (distance < best.distance) best = {distance, static_cast<int>(xs), static_cast<int>(ys)};
        }
    }
    return best;
}

void TCorrectedPointFinder::map(int& x, int& y) const {
    TNearest best = nearestIn(x, y, 0.0);
    if (best.distance >= 0x1p52) {
        // No source in the window, or none measured exactly: the whole frame.
        best = nearestIn(x, y, std::numeric_limits<double>::infinity());
    } else if (best.distance > 0) {
        // A pixel whose source lies within r of the point lies within
        // reach + r of it on each axis; with r^2 at least the best distance
        // found, the window widened by r holds every pixel as near as that,
        // and outside it a source is at least r + 1 away on one axis.
        long r = static_cast<long>(std::ceil(std::sqrt(best.distance)));
        while (static_cast<double>(r) * static_cast<double>(r) < best.distance) ++r;
        best = nearestIn(x, y, static_cast<double>(r));
    }
    if (best.distance < std::numeric_limits<double>::infinity()) {
        x = best.x;
        y = best.y;
    }
}

void mapTrackPoint(int& x, int& y, bool doubleFrameHeight, bool correctDistortion, const TDistortion& d,
                   const TCorrectedPointFinder* finder) {
    // A position far outside any frame is held at the end of the int range
    // rather than wrapped round into it: it stays outside the frame.
    const auto held = [](long long v) {
        using Limits = std::numeric_limits<int>;
        return static_cast<int>(std::clamp<long long>(v, Limits::min(), Limits::max()));
    };
    // Field row i from the top keeps its own pixels in doubled row 2i + 1
    // from the top (even rows of the bottom-up buffer); the rows between are
    // interpolated.
    if (doubleFrameHeight) y = held(2LL * y + 1);
    // The margins exist only when the correction added them.
    if (correctDistortion) {
        y = held(static_cast<long long>(y) + d.addResultHeight);
        x = held(static_cast<long long>(x) + d.addResultWidth);
        if (finder != nullptr) finder->map(x, y);
    }
}

}  // namespace orbis
