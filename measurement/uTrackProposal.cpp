#include "measurement/uTrackProposal.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <tuple>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "astrometry/uStarDetection.h"
#include "measurement/uStreakFit.h"
#include "processing/uBitmap.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"
#include "processing/uWorkFiles.h"

namespace orbis {

namespace {

// How the meteor is told from everything else on the frames. A meteor is a
// transient: it is absent from the per-pixel median of the event's frames,
// appears on consecutive frames along one straight line at a steady pace,
// and is seen neither just before its first frame nor just after its last.
// "Frame" below is any picture of the sequence searched: a frame file, or
// one field of an interlaced frame.
constexpr int kMinFrames = 4;              // for a median that a meteor does not reach
constexpr double kDetectSigmas = 5;        // of the smoothed difference frame's noise
constexpr int kMaxBlobsPerFrame = 100;     // the brightest; more is a frame of noise
constexpr int kMinChain = 3;               // frames: fewer give no direction worth trusting
constexpr double kMinStep = 1.0;           // pixels per frame time: slower is a star or a plane
constexpr double kStaticRadius = 2.0;      // pixels: the same place on another frame
constexpr double kExtendSigmas = 5;        // signal-to-noise of a faint end frame along the line
constexpr double kMinScatter = 0.5;        // pixels: the least scatter of a detection about the motion
// Levels from here to full scale may be clipped: compression (Motion-JPEG)
// moves a clipped plateau by a few levels either way.
constexpr int kClipLevel = 250;

// Rows from the top, as the track file counts them.
struct Picture {
    int width = 0, height = 0;
    std::vector<float> values;
    float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
};

struct Frames {
    int width = 0, height = 0;
    int perFrame = 1;          // pictures per frame time: 2 for the fields of interlaced frames
    std::vector<int> numbers;  // of the frame files
    std::vector<std::string> paths;
    std::vector<std::vector<uint8_t>> pixels;  // rows from the top
    // Which field each picture is (0 for frames, 0 and 1 for the upper and
    // lower rows of interlaced frames), and the per-pixel median of each:
    // a star falls on the rows of the two fields differently.
    std::vector<int> fieldOf;
    std::vector<std::vector<float>> backgrounds;
    std::vector<double> noise;                 // of each difference frame

    int count() const { return static_cast<int>(pixels.size()); }
    bool consecutive(int a, int b) const { return numbers[static_cast<std::size_t>(b)] - numbers[static_cast<std::size_t>(a)] == b - a; }

    const std::vector<float>& background(int k) const {
        return backgrounds[static_cast<std::size_t>(fieldOf[static_cast<std::size_t>(k)])];
    }
    float level(int k, int x, int y) const { return background(k)[static_cast<std::size_t>(y) * width + x]; }
    // The frame above the background.
    Picture difference(int k) const {
        const std::vector<float>& b = background(k);
        Picture d{width, height, std::vector<float>(b.size())};
        const auto& f = pixels[static_cast<std::size_t>(k)];
        for (std::size_t i = 0; i < d.values.size(); ++i) d.values[i] = static_cast<float>(f[i]) - b[i];
        return d;
    }
    // The most a pixel can rise above the background before it may be clipped.
    double ceiling(int k, int x, int y) const { return kClipLevel - level(k, x, y); }
    uint8_t raw(int k, int x, int y) const { return pixels[static_cast<std::size_t>(k)][static_cast<std::size_t>(y) * width + x]; }
};

Frames loadFrames(const std::string& eventDirectory) {
    Frames f;
    std::vector<std::pair<int, std::string>> files;
    for (const std::string& path : frameFiles(eventDirectory))
        files.emplace_back(frameNumberOfFile(std::filesystem::path(path).filename().string()), path);
    std::sort(files.begin(), files.end());
    for (const auto& [number, path] : files) {
        const TGreyFrame g = loadGreyFrame(path);
        if (!f.pixels.empty() && (g.width != f.width || g.height != f.height))
            throw EInvalidGraphic(TDiagnostic(Code::EventFrameSizeMismatch)
                                      .with("file", path)
                                      .with("size", std::to_string(g.width) + "x" + std::to_string(g.height))
                                      .with("eventSize", std::to_string(f.width) + "x" + std::to_string(f.height)));
        f.width = g.width, f.height = g.height;
        std::vector<uint8_t> topDown(g.pixels.size());
        for (int y = 0; y < g.height; ++y)
            std::copy_n(g.pixels.begin() + static_cast<std::ptrdiff_t>(g.height - 1 - y) * g.width, g.width,
                        topDown.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
        f.numbers.push_back(number);
        f.paths.push_back(path);
        f.fieldOf.push_back(0);
        f.pixels.push_back(std::move(topDown));
    }
    return f;
}

// The median of every pixel of each field over at most kBackgroundFrames
// of its pictures spread over the event: a meteor or a plane covers a pixel
// on too few of them to move it, and more would only cost time.
constexpr std::size_t kBackgroundFrames = 15;

void computeBackground(Frames& f) {
    const std::size_t size = static_cast<std::size_t>(f.width) * f.height;
    const int fields = *std::max_element(f.fieldOf.begin(), f.fieldOf.end()) + 1;
    f.backgrounds.assign(static_cast<std::size_t>(fields), std::vector<float>(size));
    for (int field = 0; field < fields; ++field) {
        std::vector<const uint8_t*> pictures;
        for (int k = 0; k < f.count(); ++k)
            if (f.fieldOf[static_cast<std::size_t>(k)] == field) pictures.push_back(f.pixels[static_cast<std::size_t>(k)].data());
        const std::size_t total = pictures.size(), n = std::min(total, kBackgroundFrames);
        std::vector<const uint8_t*> chosen;
        for (std::size_t k = 0; k < n; ++k) chosen.push_back(pictures[k * (total - 1) / std::max<std::size_t>(n - 1, 1)]);
        std::vector<float>& background = f.backgrounds[static_cast<std::size_t>(field)];
        std::vector<uint8_t> column(n);
        for (std::size_t i = 0; i < size; ++i) {
            for (std::size_t k = 0; k < n; ++k) column[k] = chosen[k][i];
            const auto middle = column.begin() + static_cast<std::ptrdiff_t>(n / 2);
            std::nth_element(column.begin(), middle, column.end());
            double m = *middle;
            if (n % 2 == 0) m = (m + *std::max_element(column.begin(), middle)) / 2;
            background[i] = static_cast<float>(m);
        }
    }
}

// The noise of a difference picture: the standard deviation of its core
// without what stands out of it (the meteor, residuals of bright stars), by
// iterated 3-sigma clipping, unless its negative tail is heavier than that
// of Gaussian noise of that deviation. Compressed frames (Motion-JPEG) are
// so: flat where the quantisation smoothed the noise away, with ringing and
// block edges elsewhere; a threshold from the core alone would take those
// for detections. The negative tail holds no meteor light, so the
// one-in-a-thousand value below zero (3.09 sigma of a Gaussian) measures it.
double noiseSigma(const std::vector<float>& values) {
    double mean = 0, sigma = 1e9;
    std::vector<float> sample;
    for (std::size_t i = 0; i < values.size(); i += 7) sample.push_back(values[i]);
    for (int pass = 0; pass < 4; ++pass) {
        double sum = 0, squares = 0;
        std::size_t count = 0;
        for (const float v : sample) {
            if (std::fabs(v - mean) > 3 * sigma) continue;
            sum += v, squares += static_cast<double>(v) * v, ++count;
        }
        if (count < 2) break;
        mean = sum / static_cast<double>(count);
        sigma = std::sqrt(std::max(squares / static_cast<double>(count) - mean * mean, 0.0));
    }
    if (sample.size() >= 1000) {
        // The (size / 1000)-th lowest value: the largest of the lowest ones
        // kept in a heap, one pass instead of a selection over the sample.
        const std::size_t keep = sample.size() / 1000 + 1;
        std::vector<float> lowest(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(keep));
        std::make_heap(lowest.begin(), lowest.end());
        for (std::size_t i = keep; i < sample.size(); ++i)
            if (sample[i] < lowest.front()) {
                std::pop_heap(lowest.begin(), lowest.end());
                lowest.back() = sample[i];
                std::push_heap(lowest.begin(), lowest.end());
            }
        sigma = std::max(sigma, (mean - lowest.front()) / 3.09);
    }
    // Frames without noise still have the quantisation of 8 bits.
    return std::max(sigma, 0.3);
}

// 3 x 3 mean: a streak or a spot gains against pixel noise. Each sum is
// taken in the same order everywhere (from the left, from the top), the
// interior without the edges' bounds.
std::vector<float> smoothed(const Picture& d) {
    std::vector<float> rows(d.values.size()), out(d.values.size());
    const int w = d.width, h = d.height;
    const auto edgeRows = [&](int y, int x) {
        float s = 0;
        int n = 0;
        for (int dx = std::max(x - 1, 0); dx <= std::min(x + 1, w - 1); ++dx) s += d.at(dx, y), ++n;
        rows[static_cast<std::size_t>(y) * w + x] = s / static_cast<float>(n);
    };
    for (int y = 0; y < h; ++y) {
        const float* in = d.values.data() + static_cast<std::ptrdiff_t>(y) * w;
        float* row = rows.data() + static_cast<std::ptrdiff_t>(y) * w;
        edgeRows(y, 0);
        for (int x = 1; x + 1 < w; ++x) {
            float s = 0;
            s += in[x - 1], s += in[x], s += in[x + 1];
            row[x] = s / 3.0f;
        }
        if (w > 1) edgeRows(y, w - 1);
    }
    const auto edgeColumns = [&](int y) {
        for (int x = 0; x < w; ++x) {
            float s = 0;
            int n = 0;
            for (int dy = std::max(y - 1, 0); dy <= std::min(y + 1, h - 1); ++dy) s += rows[static_cast<std::size_t>(dy) * w + x], ++n;
            out[static_cast<std::size_t>(y) * w + x] = s / static_cast<float>(n);
        }
    };
    edgeColumns(0);
    for (int y = 1; y + 1 < h; ++y) {
        const float *above = rows.data() + static_cast<std::ptrdiff_t>(y - 1) * w, *at = above + w, *below = at + w;
        float* o = out.data() + static_cast<std::ptrdiff_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            float s = 0;
            s += above[x], s += at[x], s += below[x];
            o[x] = s / 3.0f;
        }
    }
    if (h > 1) edgeColumns(h - 1);
    return out;
}

// ---------------------------------------------------------------------------
// Detections on each frame

struct Blob {
    int frame = 0;
    double x = 0, y = 0;  // centroid of the light above the background
    double flux = 0;
    bool isStatic = false;
};

std::vector<Blob> detectBlobs(const Frames& f, int k, double& noise) {
    const Picture d = f.difference(k);
    noise = noiseSigma(d.values);
    const std::vector<float> s = smoothed(d);
    const double threshold = kDetectSigmas * noiseSigma(s);
    const int w = f.width, h = f.height;
    std::vector<uint8_t> seen(s.size(), 0);
    std::vector<int> stack;
    std::vector<Blob> blobs;
    for (std::size_t start = 0; start < s.size(); ++start) {
        if (seen[start] || s[start] <= threshold) continue;
        // Connected (8 neighbours) pixels above the threshold, on an explicit stack.
        double sum = 0, sx = 0, sy = 0;
        int count = 0;
        seen[start] = 1;
        stack.assign(1, static_cast<int>(start));
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            const int x = i % w, y = i / w;
            const double v = std::max(d.values[static_cast<std::size_t>(i)], 0.0f);
            sum += v, sx += v * x, sy += v * y, ++count;
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny)
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx) {
                    const auto j = static_cast<std::size_t>(ny) * w + nx;
                    if (!seen[j] && s[j] > threshold) {
                        seen[j] = 1;
                        stack.push_back(static_cast<int>(j));
                    }
                }
        }
        if (count >= 3 && sum > 0) blobs.push_back({k, sx / sum, sy / sum, sum, false});
    }
    if (blobs.size() > kMaxBlobsPerFrame) {
        std::partial_sort(blobs.begin(), blobs.begin() + kMaxBlobsPerFrame, blobs.end(),
                          [](const Blob& a, const Blob& b) { return a.flux > b.flux; });
        blobs.resize(kMaxBlobsPerFrame);
    }
    return blobs;
}

// A blob that comes back at its place on other frames, some of them not
// neighbours, is something fixed (a flickering pixel, a star's residue),
// not a moving object. Neighbours are counted in frames: the two fields of
// a frame change places with the field order, a frame does not.
bool atSamePlace(const Blob& b, const Blob& o) { return std::hypot(o.x - b.x, o.y - b.y) <= kStaticRadius; }

void markStaticPlain(std::vector<std::vector<Blob>>& byFrame, int perFrame) {
    for (auto& frame : byFrame)
        for (Blob& b : frame) {
            int others = 0;
            bool distant = false;
            for (const auto& other : byFrame) {
                if (other.empty() || other.front().frame == b.frame) continue;
                for (const Blob& o : other)
                    if (atSamePlace(b, o)) {
                        ++others;
                        distant = distant || std::abs(o.frame / perFrame - b.frame / perFrame) >= 3;
                        break;
                    }
            }
            b.isStatic = others >= 2 && distant;
        }
}

// The same decision through a grid of cells wider than the radius: a blob's
// neighbours within it lie in its own cell and the eight around it. Each
// blob's search stops once it is known to be fixed, so a light at one place
// on every frame costs a few comparisons per detection, not one per frame.
void markStaticIndexed(std::vector<std::vector<Blob>>& byFrame, int perFrame) {
    constexpr double kCell = kStaticRadius + 1;
    double right = 0, bottom = 0;
    for (const auto& frame : byFrame)
        for (const Blob& b : frame) right = std::max(right, b.x), bottom = std::max(bottom, b.y);
    const int columns = static_cast<int>(right / kCell) + 1, rows = static_cast<int>(bottom / kCell) + 1;
    const auto column = [&](double x) { return std::clamp(static_cast<int>(x / kCell), 0, columns - 1); };
    const auto row = [&](double y) { return std::clamp(static_cast<int>(y / kCell), 0, rows - 1); };
    // The blobs of each cell, by frame: counted, then placed.
    std::vector<std::size_t> first(static_cast<std::size_t>(columns) * rows + 1, 0);
    for (const auto& frame : byFrame)
        for (const Blob& b : frame) ++first[static_cast<std::size_t>(row(b.y)) * columns + column(b.x) + 1];
    for (std::size_t c = 1; c < first.size(); ++c) first[c] += first[c - 1];
    std::vector<const Blob*> cells(first.back());
    std::vector<std::size_t> filled(first.begin(), first.end() - 1);
    for (const auto& frame : byFrame)
        for (const Blob& b : frame) cells[filled[static_cast<std::size_t>(row(b.y)) * columns + column(b.x)]++] = &b;

    std::vector<int> framesNear;  // the other frames with a blob near the one looked at
    for (auto& frame : byFrame)
        for (Blob& b : frame) {
            framesNear.clear();
            bool distant = false;
            const int cx = column(b.x), cy = row(b.y);
            for (int y = std::max(cy - 1, 0); y <= std::min(cy + 1, rows - 1) && !(distant && framesNear.size() >= 2); ++y)
                for (int x = std::max(cx - 1, 0); x <= std::min(cx + 1, columns - 1); ++x) {
                    const std::size_t cell = static_cast<std::size_t>(y) * columns + x;
                    for (std::size_t i = first[cell]; i < first[cell + 1]; ++i) {
                        const Blob& o = *cells[i];
                        if (o.frame == b.frame || !atSamePlace(b, o)) continue;
                        if (std::find(framesNear.begin(), framesNear.end(), o.frame) == framesNear.end())
                            framesNear.push_back(o.frame);
                        distant = distant || std::abs(o.frame / perFrame - b.frame / perFrame) >= 3;
                        if (distant && framesNear.size() >= 2) break;
                    }
                    if (distant && framesNear.size() >= 2) break;
                }
            b.isStatic = framesNear.size() >= 2 && distant;
        }
}

// The detections of every picture in the order of x, so that those within a
// box are found without looking at every one. In the plain search every
// detection of the picture is a candidate: the all-pairs comparison the
// index is checked against.
class BlobIndex {
public:
    BlobIndex(const std::vector<std::vector<Blob>>& byFrame, bool plain) : byFrame_(byFrame), plain_(plain) {
        if (plain) return;
        byX_.resize(byFrame.size());
        for (std::size_t k = 0; k < byFrame.size(); ++k) {
            const std::vector<Blob>& frame = byFrame[k];
            std::vector<int>& order = byX_[k];
            for (int i = 0; i < static_cast<int>(frame.size()); ++i) order.push_back(i);
            std::sort(order.begin(), order.end(), [&](int a, int b) {
                return frame[static_cast<std::size_t>(a)].x < frame[static_cast<std::size_t>(b)].x;
            });
        }
    }

    // The blobs of picture k that may lie within [left, right] x [top,
    // bottom], in their order on the picture. The box is widened by a pixel
    // so that no rounding of a caller's distance test can reach past it.
    std::vector<const Blob*> near(int k, double left, double right, double top, double bottom) const {
        const std::vector<Blob>& frame = byFrame_[static_cast<std::size_t>(k)];
        std::vector<const Blob*> out;
        if (plain_ || !(left <= right && top <= bottom)) {
            for (const Blob& b : frame) out.push_back(&b);
            return out;
        }
        left -= 1, right += 1, top -= 1, bottom += 1;
        const std::vector<int>& order = byX_[static_cast<std::size_t>(k)];
        auto i = std::partition_point(order.begin(), order.end(),
                                      [&](int j) { return frame[static_cast<std::size_t>(j)].x < left; });
        std::vector<int> chosen;
        for (; i != order.end() && frame[static_cast<std::size_t>(*i)].x <= right; ++i) {
            const double y = frame[static_cast<std::size_t>(*i)].y;
            if (y >= top && y <= bottom) chosen.push_back(*i);
        }
        std::sort(chosen.begin(), chosen.end());
        for (const int j : chosen) out.push_back(&frame[static_cast<std::size_t>(j)]);
        return out;
    }
    std::vector<const Blob*> near(int k, double x, double y, double reach) const {
        return near(k, x - reach, x + reach, y - reach, y + reach);
    }

private:
    const std::vector<std::vector<Blob>>& byFrame_;
    bool plain_;
    std::vector<std::vector<int>> byX_;  // blob numbers of each picture by x
};

// ---------------------------------------------------------------------------
// Motion, and the light along the stretch it puts on a frame

// Position in time: steady, or with a steady change of pace once there are
// enough detections for it (a meteor slows down; the projection stretches
// the picture away from its centre). With it, how far one measured position
// scatters about it and how far a position it predicts may be off.
struct Motion {
    double t0 = 0;  // the frame the terms refer to
    double x0 = 0, y0 = 0, vx = 0, vy = 0, ax = 0, ay = 0;
    double scatter = kMinScatter;  // of one detection, pixels
    // The part of a picture's time its exposure lasts, centred on the
    // centroid's time: 1 for exposures that follow each other; less with a
    // short shutter, more for fields each exposed a whole frame time.
    double duty = 1;
    double count = 1, spread = 0;  // detections fitted, and the sum of their (t - t0)^2
    double x(double k) const { return x0 + (vx + ax * (k - t0)) * (k - t0); }
    double y(double k) const { return y0 + (vy + ay * (k - t0)) * (k - t0); }
    double speed(double k) const { return std::hypot(vx + 2 * ax * (k - t0), vy + 2 * ay * (k - t0)); }
    // The standard error of the position predicted for time k (that of a
    // straight line fitted to the detections).
    double uncertainty(double k) const {
        return scatter * std::sqrt(1 / count + (spread > 0 ? (k - t0) * (k - t0) / spread : 0));
    }
};

// The stretch the steady motion puts on frame k: from where it was when the
// exposure began to where it was when it ended.
TStreak predictedStreak(const Motion& m, int k, double flux, double sigmaX, double sigmaY) {
    const double half = m.duty / 2;
    return {m.x(k - half), m.y(k - half), m.x(k + half), m.y(k + half), flux, sigmaX, sigmaY};
}

// The part of a stretch from `from` to `to` (fractions of it).
TStreak partOf(const TStreak& s, double from, double to) {
    TStreak p = s;
    p.tailX = s.tailX + from * (s.headX - s.tailX), p.tailY = s.tailY + from * (s.headY - s.tailY);
    p.headX = s.tailX + to * (s.headX - s.tailX), p.headY = s.tailY + to * (s.headY - s.tailY);
    return p;
}

// The frame's pixels near a stretch: a margin across it, and one beyond
// both ends (the same unless given).
std::vector<TStreakPixel> pixelsNear(const Frames& f, int k, const TStreak& s, double margin, double endMargin = -1) {
    if (endMargin < 0) endMargin = margin;
    const double dx = s.headX - s.tailX, dy = s.headY - s.tailY, length = std::hypot(dx, dy);
    const double ux = length > 0 ? dx / length : 1, uy = length > 0 ? dy / length : 0;
    const double reach = std::max(margin, endMargin);
    const int x0 = std::max(static_cast<int>(std::floor(std::min(s.tailX, s.headX) - reach)), 0);
    const int x1 = std::min(static_cast<int>(std::ceil(std::max(s.tailX, s.headX) + reach)), f.width - 1);
    const int y0 = std::max(static_cast<int>(std::floor(std::min(s.tailY, s.headY) - reach)), 0);
    const int y1 = std::min(static_cast<int>(std::ceil(std::max(s.tailY, s.headY) + reach)), f.height - 1);
    std::vector<TStreakPixel> out;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double px = x - s.tailX, py = y - s.tailY;
            const double along = px * ux + py * uy, across = py * ux - px * uy;
            if (along < -endMargin || along > length + endMargin || std::fabs(across) > margin) continue;
            out.push_back({x, y, f.raw(k, x, y) - f.level(k, x, y), f.ceiling(k, x, y)});
        }
    return out;
}

// Flux of a stretch on a frame by a matched filter (the model with the
// measured blur as template), and its signal to noise. The noise is what
// the same filter gives on the frames that show no meteor there, when
// there are enough of them: it holds what the frame's own noise figure does
// not (noise correlated by compression, the residue of a star under the
// stretch, photon noise where the sky is bright), and what they give on
// average is taken off.
struct Measured {
    double flux = 0, snr = 0;
};

// The pictures [from, to] may show the meteor.
struct Span {
    int from = 0, to = -1;
};

double filtered(const Frames& f, int k, const TStreak& unit, double& norm) {
    double td = 0, tt = 0;
    for (const TStreakPixel& p : pixelsNear(f, k, unit, 3 * std::max(unit.sigmaX, unit.sigmaY) + 1)) {
        const double t = streakValue(unit, p.x, p.y);
        td += t * p.value, tt += t * t;
    }
    norm = tt;
    return tt > 0 ? td / tt : 0;
}

constexpr int kReferencePictures = 12, kFewestReferences = 5;

Measured matchedFlux(const Frames& f, int k, const TStreak& shape, Span meteor) {
    TStreak unit = shape;
    unit.flux = 1;
    double tt = 0;
    const double flux = filtered(f, k, unit, tt);
    if (tt <= 0) return {};
    double sigma = f.noise[static_cast<std::size_t>(k)] / std::sqrt(tt), offset = 0;
    // Clear of the meteor's pictures, and of the neighbours a slow one's
    // light may reach: those before `from` and after `to`, counted rather
    // than listed.
    const int from = std::min(meteor.from, k) - 2, to = std::max(meteor.to, k) + 2;
    const int before = std::max(from, 0), quiet = before + std::max(f.count() - (to + 1), 0);
    const auto quietPicture = [&](int i) { return i < before ? i : to + 1 + (i - before); };
    if (quiet >= kFewestReferences) {
        double sum = 0, squares = 0;
        const int n = std::min<int>(quiet, kReferencePictures);
        for (int i = 0; i < n; ++i) {
            double norm = 0;
            const double v = filtered(f, quietPicture(i * quiet / n), unit, norm);
            sum += v, squares += v * v;
        }
        offset = sum / n;
        sigma = std::max(sigma, std::sqrt(std::max(squares / n - offset * offset, 0.0) * n / (n - 1)));
    }
    return {flux - offset, (flux - offset) / sigma};
}

// The light of the stretch frame k may show beyond a chain's end: the whole
// stretch, or the half next to the chain (the meteor lit up, or went out,
// during the exposure), or the quarter beside it.
bool lightThere(const Frames& f, int k, const TStreak& stretch, bool beforeChain, Span meteor) {
    for (const double part : {1.0, 0.5, 0.25}) {
        const TStreak s = beforeChain ? partOf(stretch, 1 - part, 1) : partOf(stretch, 0, part);
        if (matchedFlux(f, k, s, meteor).snr >= kExtendSigmas) return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Chains of detections on consecutive frames

struct Chain {
    std::vector<const Blob*> members;  // by frame, consecutive
    // An end frame that shows only part of the frame's stretch: the meteor
    // lit up (first) or went out (last) during that exposure, or the stretch
    // is cut by the edge of the picture. Its centroid does not follow the
    // motion, so it is not fitted, and the chain ends there.
    bool partialFirst = false, partialLast = false;
    Motion motion;
    double flux = 0;
    int first() const { return members.front()->frame; }
    int last() const { return members.back()->frame; }
    bool partial(const Blob* b) const {
        return (partialFirst && b == members.front()) || (partialLast && b == members.back());
    }
    // The members whose centroids follow the motion (all of them when too
    // few do to give one).
    std::vector<const Blob*> core() const {
        std::vector<const Blob*> c;
        for (const Blob* b : members)
            if (!partial(b)) c.push_back(b);
        return c.size() >= 2 ? c : members;
    }
};

constexpr std::size_t kMembersForPace = 5;

// The sums a least-squares motion needs, kept exactly: positions in
// 2^-20 pixel, times in whole pictures from an origin. Exact sums do not
// depend on the order the detections came in nor on the origin, so a chain
// grown one detection at a time has the motion a fit of its members from
// scratch gives, at the cost of one detection per step instead of all.
// Exact within chains of fewer than kExactSpan pictures (the sums about the
// mean time take up to n^3 times the fourth powers of the times, which must
// stay within 127 bits); longer ones are summed in doubles, as every chain
// is where the compiler has no 128-bit integers (32-bit ARM).
#if defined(__SIZEOF_INT128__)
__extension__ typedef __int128 Int128;
constexpr int kExactSpan = 32768;
#else
typedef long long Int128;
constexpr int kExactSpan = 0;
#endif
constexpr double kPositionUnit = 1048576.0;  // 2^20

class MotionSums {
public:
    explicit MotionSums(int origin) : origin_(origin) {}

    void add(const Blob& b, int sign = 1) {
        const Int128 t = b.frame - origin_, x = std::llround(b.x * kPositionUnit), y = std::llround(b.y * kPositionUnit);
        Int128 power = 1;
        for (int p = 0; p < 5; ++p, power *= t) {
            times_[p] += sign * power;
            if (p < 3) xs_[p] += sign * power * x, ys_[p] += sign * power * y;
        }
        squares_ += sign * (x * x + y * y);
    }

    // The motion (see fitMotion).
    Motion fit(bool steady) const;

private:
    int origin_;
    Int128 times_[5] = {};        // sum of t^p
    Int128 xs_[3] = {}, ys_[3] = {};  // sums of x t^p, y t^p
    Int128 squares_ = 0;          // sum of x^2 + y^2
};

// Least squares of x (and y) = c0 + c1 t + c2 t^2 in t = frame - t0 from
// the normal equations' sums, solved by elimination; the scatter from the
// residuals where there are more detections than terms, never below what a
// centroid of blurred, noisy light is worth.
Motion solveMotion(double t0, double n, const double (&times)[5], const double (&xs)[3], const double (&ys)[3],
                   double squares, bool steady) {
    Motion m;
    m.t0 = t0;
    const int terms = n >= kMembersForPace && !steady ? 3 : 2;
    double a[3][5] = {};
    for (int i = 0; i < terms; ++i) {
        for (int j = 0; j < terms; ++j) a[i][j] = times[i + j];
        a[i][3] = xs[i], a[i][4] = ys[i];
    }
    for (int c = 0; c < terms; ++c) {
        if (std::fabs(a[c][c]) < 1e-12) return m;
        for (int r = 0; r < terms; ++r) {
            if (r == c) continue;
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < 5; ++k) a[r][k] -= f * a[c][k];
        }
    }
    m.x0 = a[0][3] / a[0][0], m.y0 = a[0][4] / a[0][0];
    m.vx = a[1][3] / a[1][1], m.vy = a[1][4] / a[1][1];
    if (terms == 3) m.ax = a[2][3] / a[2][2], m.ay = a[2][4] / a[2][2];
    // The residuals' squares: sum (x - c(t))^2 = sum x^2 - 2 sum x c(t) + sum c(t)^2.
    const auto residual = [&](double c0, double c1, double c2, const double (&s)[3]) {
        const double fitted = c0 * c0 * times[0] + 2 * c0 * c1 * times[1] + (c1 * c1 + 2 * c0 * c2) * times[2] +
                              2 * c1 * c2 * times[3] + c2 * c2 * times[4];
        return -2 * (c0 * s[0] + c1 * s[1] + c2 * s[2]) + fitted;
    };
    const double sum = std::max(0.0, squares + residual(m.x0, m.vx, m.ax, xs) + residual(m.y0, m.vy, m.ay, ys));
    m.spread = times[2];
    const int freedom = static_cast<int>(n) - terms;
    if (freedom > 0) m.scatter = std::max(kMinScatter, std::sqrt(sum / (2.0 * freedom)));
    m.count = n;
    return m;
}

Motion MotionSums::fit(bool steady) const {
    // The sums about the mean time, exactly: with u = n t - sum t (that is,
    // n times the time from the mean), sum u^p and sum x u^p.
    const Int128 n = times_[0], s1 = times_[1];
    const Int128 u2 = n * times_[2] - s1 * s1;
    const Int128 u3 = n * n * times_[3] - 3 * n * s1 * times_[2] + 2 * s1 * s1 * s1;
    const Int128 u4 = n * n * n * times_[4] - 4 * n * n * s1 * times_[3] + 6 * n * s1 * s1 * times_[2] - 3 * s1 * s1 * s1 * s1;
    const auto moved = [&](const Int128 (&s)[3], double (&out)[3]) {
        out[0] = static_cast<double>(s[0]) / kPositionUnit;
        out[1] = static_cast<double>(n * s[1] - s1 * s[0]) / kPositionUnit / static_cast<double>(n);
        out[2] = static_cast<double>(n * n * s[2] - 2 * n * s1 * s[1] + s1 * s1 * s[0]) / kPositionUnit /
                 (static_cast<double>(n) * static_cast<double>(n));
    };
    const double dn = static_cast<double>(n);
    const double times[5] = {dn, 0, static_cast<double>(u2) / dn, static_cast<double>(u3) / (dn * dn),
                             static_cast<double>(u4) / (dn * dn * dn)};
    double xs[3], ys[3];
    moved(xs_, xs), moved(ys_, ys);
    // The mean time as one division of the exact sum, whatever the origin.
    return solveMotion(static_cast<double>(origin_ * n + s1) / dn, dn, times, xs, ys,
                       static_cast<double>(squares_) / (kPositionUnit * kPositionUnit), steady);
}

// Least squares through the members' centroids in time; at most a steady
// pace when told (a far extrapolation).
Motion fitMotion(const std::vector<const Blob*>& members, bool steady = false) {
    if (members.back()->frame - members.front()->frame < kExactSpan) {
        MotionSums sums(members.front()->frame);
        for (const Blob* b : members) sums.add(*b);
        return sums.fit(steady);
    }
    double t0 = 0;
    for (const Blob* b : members) t0 += b->frame;
    t0 /= static_cast<double>(members.size());
    double times[5] = {}, xs[3] = {}, ys[3] = {}, squares = 0;
    for (const Blob* b : members) {
        const double t = b->frame - t0;
        double power = 1;
        for (int p = 0; p < 5; ++p, power *= t) {
            times[p] += power;
            if (p < 3) xs[p] += power * b->x, ys[p] += power * b->y;
        }
        squares += b->x * b->x + b->y * b->y;
    }
    return solveMotion(t0, static_cast<double>(members.size()), times, xs, ys, squares, steady);
}

// Members lie on the frames from the first's to the last's: a blob beyond
// them is none.
bool taken(const std::vector<const Blob*>& members, const Blob& b) {
    if (members.empty() || b.frame < members.front()->frame || b.frame > members.back()->frame) return false;
    return std::find(members.begin(), members.end(), &b) != members.end();
}

const Blob* nearest(const BlobIndex& index, int k, double x, double y, double radius,
                    const std::vector<const Blob*>& members) {
    const Blob* best = nullptr;
    double bestDistance = radius;
    for (const Blob* candidate : index.near(k, x, y, radius)) {
        const Blob& b = *candidate;
        if (b.isStatic || taken(members, b)) continue;
        const double distance = std::hypot(b.x - x, b.y - y);
        if (distance <= bestDistance) best = &b, bestDistance = distance;
    }
    return best;
}

double matchRadius(const Motion& m, int k) { return std::max(3.0, 0.35 * m.speed(k)); }

// Where a point lies against the stretch the motion puts on frame k: along
// it (0 where the exposure began, 1 where it ended) and across it (pixels).
struct OnStretch {
    double along = 0, across = 0, length = 0;
};

OnStretch onStretch(const Motion& m, int k, double x, double y) {
    const double half = m.duty / 2;
    const double tx = m.x(k - half), ty = m.y(k - half);
    const double dx = m.x(k + half) - tx, dy = m.y(k + half) - ty, length = std::hypot(dx, dy);
    if (length < 1e-9) return {0, std::hypot(x - tx, y - ty), 0};
    return {((x - tx) * dx + (y - ty) * dy) / (length * length), std::fabs((y - ty) * dx - (x - tx) * dy) / length,
            length};
}

// A detection on frame k, beside a chain's end, that is the light of part of
// the frame's stretch: the part the exposure holds after the meteor lit up
// (a frame before the chain: the stretch's later half) or before it went out
// (a frame after it: the earlier half).
const Blob* partialEnd(const BlobIndex& index, const Motion& m, int k, bool beforeChain,
                       const std::vector<const Blob*>& members) {
    const double tolerance = std::max(2.0, 3 * m.uncertainty(k));
    const Blob* best = nullptr;
    double bestAcross = tolerance;
    // A blob within the tolerance along and across the stretch lies within
    // 1.5 tolerances of the box about the stretch's ends.
    const double half = m.duty / 2, reach = 1.5 * tolerance;
    const double tx = m.x(k - half), ty = m.y(k - half), hx = m.x(k + half), hy = m.y(k + half);
    for (const Blob* candidate : index.near(k, std::min(tx, hx) - reach, std::max(tx, hx) + reach,
                                            std::min(ty, hy) - reach, std::max(ty, hy) + reach)) {
        const Blob& b = *candidate;
        if (b.isStatic || taken(members, b)) continue;
        const OnStretch p = onStretch(m, k, b.x, b.y);
        const double slack = p.length > 0 ? tolerance / p.length : 1;
        const bool inHalf = beforeChain ? p.along >= 0.5 - slack && p.along <= 1 + slack
                                        : p.along >= -slack && p.along <= 0.5 + slack;
        if (inHalf && p.across <= bestAcross) best = &b, bestAcross = p.across;
    }
    return best;
}

// Grows a chain from two detections on neighbouring frames, frame by frame
// at both ends, as long as the motion predicts a detection; a detection of
// part of the stretch ends the chain on that side. The plain search fits
// the members from scratch at every step.
Chain grow(const Frames& f, const BlobIndex& index, const Blob& a, const Blob& b, bool plain) {
    Chain c;
    c.members = {&a, &b};
    // The members' sums grow with them; a partial end is taken out of them
    // for the fit as core() leaves it out.
    MotionSums sums(a.frame);
    sums.add(a), sums.add(b);
    const auto fitted = [&] {
        if (plain || c.last() - c.first() >= kExactSpan) return fitMotion(c.core());
        const std::size_t partials = (c.partialFirst ? 1 : 0) + (c.partialLast ? 1 : 0);
        if (partials == 0 || c.members.size() - partials < 2) return sums.fit(false);
        MotionSums core = sums;
        if (c.partialFirst) core.add(*c.members.front(), -1);
        if (c.partialLast) core.add(*c.members.back(), -1);
        return core.fit(false);
    };
    const auto append = [&](const Blob* added, bool atFirst) {
        c.members.insert(atFirst ? c.members.begin() : c.members.end(), added);
        sums.add(*added);
    };
    // The motion of the members as they last stand is the chain's.
    for (bool grew = true; grew;) {
        grew = false;
        c.motion = fitted();
        const int before = c.first() - 1, after = c.last() + 1;
        if (!c.partialLast && after < f.count() && f.consecutive(c.last(), after)) {
            if (const Blob* n = nearest(index, after, c.motion.x(after), c.motion.y(after), matchRadius(c.motion, after), c.members)) {
                append(n, false);
                grew = true;
            } else if (const Blob* p = partialEnd(index, c.motion, after, false, c.members)) {
                append(p, false);
                c.partialLast = grew = true;
            }
        }
        if (!c.partialFirst && before >= 0 && f.consecutive(before, c.first())) {
            if (const Blob* n = nearest(index, before, c.motion.x(before), c.motion.y(before), matchRadius(c.motion, before), c.members)) {
                append(n, true);
                grew = true;
            } else if (const Blob* p = partialEnd(index, c.motion, before, true, c.members)) {
                append(p, true);
                c.partialFirst = grew = true;
            }
        }
    }
    for (const Blob* m : c.members) c.flux += m->flux;
    return c;
}

// Whether something on the frames just before a chain's first frame or just
// after its last continues it: a meteor is seen on none of them, a blinking
// light on the line it keeps, a turning one beside the chain's end. On the
// line, anything where the motion puts the object (within what the
// detections' scatter allows) continues it; off the line only a light as
// bright as the chain's end at the distance its pace covers does, so that
// the noise around a faint end does not. Farther off, a light about as
// bright as the chain where its steady motion leads, within the scatter
// extrapolated, is the same light again: a blinking aeroplane's next flash.
bool continuedBeyondEnds(const Frames& f, const BlobIndex& index, const Chain& c, double speed) {
    const Motion line = fitMotion(c.core(), true);
    std::vector<double> fluxes;
    for (const Blob* b : c.members) fluxes.push_back(b->flux);
    std::nth_element(fluxes.begin(), fluxes.begin() + static_cast<std::ptrdiff_t>(fluxes.size() / 2), fluxes.end());
    const double typical = fluxes[fluxes.size() / 2];
    for (int k = 0; k < f.count(); ++k) {
        if (k >= c.first() - 2 && k <= c.last() + 2) continue;
        if (!f.consecutive(std::min(k, c.first()), std::max(k, c.last()))) continue;
        const double reach = 2 + 3 * line.uncertainty(k);
        for (const Blob* b : index.near(k, line.x(k), line.y(k), reach))
            if (!b->isStatic && b->flux >= 0.25 * typical && std::hypot(b->x - line.x(k), b->y - line.y(k)) <= reach)
                return true;
    }
    for (int gap = 1; gap <= 2; ++gap)
        for (const bool beforeChain : {true, false}) {
            const int k = beforeChain ? c.first() - gap : c.last() + gap;
            if (k < 0 || k >= f.count() || !f.consecutive(std::min(k, c.first()), std::max(k, c.last()))) continue;
            const std::size_t n = c.members.size();
            const Blob* end = beforeChain ? c.members.front() : c.members.back();
            // A partial end shows less light than the object had.
            const Blob* lit = !c.partial(end) || n < 2 ? end : beforeChain ? c.members[1] : c.members[n - 2];
            const double reach = 2 + 3 * c.motion.uncertainty(k);
            // Where the motion puts it, or as far from the end as the pace goes.
            const double px = c.motion.x(k), py = c.motion.y(k), far = 1.5 * gap * speed + reach;
            for (const Blob* candidate : index.near(k, std::min(px - reach, end->x - far), std::max(px + reach, end->x + far),
                                                    std::min(py - reach, end->y - far), std::max(py + reach, end->y + far))) {
                const Blob& b = *candidate;
                if (b.isStatic || taken(c.members, b)) continue;
                if (std::hypot(b.x - c.motion.x(k), b.y - c.motion.y(k)) <= reach) return true;
                const double distance = std::hypot(b.x - end->x, b.y - end->y);
                if (b.flux >= 0.5 * std::max(end->flux, lit->flux) && distance >= 0.5 * gap * speed &&
                    distance <= 1.5 * gap * speed + reach)
                    return true;
            }
        }
    return false;
}

// Whether a chain moves like a meteor: straight, steadily forward, and
// neither there from the first frame to the last (a plane, a satellite)
// nor continued just beyond its ends (a blinking or turning light).
bool movesLikeMeteor(const Frames& f, const BlobIndex& index, const Chain& c) {
    const std::size_t n = c.members.size();
    if (static_cast<int>(n) < kMinChain) return false;
    if (c.first() == 0 && c.last() == f.count() - 1) return false;
    // The straight line through the centroids (principal axis).
    double mx = 0, my = 0;
    for (const Blob* b : c.members) mx += b->x, my += b->y;
    mx /= static_cast<double>(n), my /= static_cast<double>(n);
    double sxx = 0, syy = 0, sxy = 0;
    for (const Blob* b : c.members) {
        sxx += (b->x - mx) * (b->x - mx), syy += (b->y - my) * (b->y - my), sxy += (b->x - mx) * (b->y - my);
    }
    const double angle = 0.5 * std::atan2(2 * sxy, sxx - syy);
    double ux = std::cos(angle), uy = std::sin(angle);
    if ((c.members.back()->x - c.members.front()->x) * ux + (c.members.back()->y - c.members.front()->y) * uy < 0)
        ux = -ux, uy = -uy;
    // Steps between neighbours along the line; one to a partial end covers
    // between half and all of a whole step (its centroid lies in the half of
    // the stretch next to the chain).
    std::vector<double> whole, partial;
    for (std::size_t i = 1; i < n; ++i) {
        const double step = (c.members[i]->x - c.members[i - 1]->x) * ux + (c.members[i]->y - c.members[i - 1]->y) * uy;
        (c.partial(c.members[i]) || c.partial(c.members[i - 1]) ? partial : whole).push_back(step);
    }
    // The fields of a frame may differ in ways of their own (Motion-JPEG
    // compresses the woven frame and leaks each field's light into the
    // other's rows; a field sits half a row off the other): their steps
    // alternate short and long about the pace. Over two fields that cancels;
    // each step need only not go back, and the steps within frames must go
    // forward on the whole (on frames that are not woven they stand still).
    std::vector<double> paced = whole;
    if (f.perFrame == 2 && whole.size() >= 2) {
        paced.clear();
        for (std::size_t i = 1; i < whole.size(); ++i) paced.push_back((whole[i - 1] + whole[i]) / 2);
    }
    std::vector<double> sorted = paced.empty() ? partial : paced;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const double speed = sorted[sorted.size() / 2];
    if (speed < kMinStep / f.perFrame) return false;
    for (double step : paced)
        if (step < 0.5 * speed || step > 1.5 * speed) return false;
    if (paced.size() != whole.size()) {
        double within = 0;
        int count = 0;
        for (std::size_t i = 1; i < n; ++i) {
            const Blob *a = c.members[i - 1], *b = c.members[i];
            if (c.partial(a) || c.partial(b)) continue;
            const double step = (b->x - a->x) * ux + (b->y - a->y) * uy;
            if (step < -0.5 * speed || step > 2 * speed) return false;
            if (a->frame / 2 == b->frame / 2) within += step, ++count;
        }
        if (count == 0 || within / count < 0.2 * speed) return false;
    }
    for (double step : partial)
        if (step < 0.25 * speed || step > 1.5 * speed) return false;
    double squares = 0;
    for (const Blob* b : c.members) {
        const double across = (b->y - my) * ux - (b->x - mx) * uy;
        if (std::fabs(across) > 2 + 0.05 * speed) return false;
        squares += across * across;
    }
    if (std::sqrt(squares / static_cast<double>(n)) > 1 + 0.02 * speed) return false;
    // Each detection is light along the stretch the motion gives its frame
    // (at an end, along part of it), not a speck of noise that happens to
    // lie where the motion points.
    for (const Blob* b : c.members) {
        const TStreak stretch = predictedStreak(c.motion, b->frame, 1, 1, 1.0 / f.perFrame);
        const Span span{c.first(), c.last()};
        const bool lit = b == c.members.front()  ? lightThere(f, b->frame, stretch, true, span)
                         : b == c.members.back() ? lightThere(f, b->frame, stretch, false, span)
                                                 : matchedFlux(f, b->frame, stretch, span).snr >= kExtendSigmas;
        if (!lit) return false;
    }
    return !continuedBeyondEnds(f, index, c, speed);
}

std::optional<Chain> findMeteorChain(const Frames& f, const std::vector<std::vector<Blob>>& byFrame, bool plain) {
    const BlobIndex index(byFrame, plain);
    const double slowest = kMinStep / f.perFrame;
    // A chain is a function of its members and its partial ends (its motion
    // is fitted to them): one grown again from another pair of its members
    // moves as it did, and is judged once. The plain search judges it again.
    std::map<std::tuple<std::vector<const Blob*>, bool, bool>, bool> judged;
    const auto meteorLike = [&](const Chain& c) {
        if (plain || static_cast<int>(c.members.size()) < kMinChain) return movesLikeMeteor(f, index, c);
        const auto [at, fresh] = judged.try_emplace({c.members, c.partialFirst, c.partialLast}, false);
        if (fresh) at->second = movesLikeMeteor(f, index, c);
        return at->second;
    };
    std::optional<Chain> best;
    for (int k = 0; k + 1 < f.count(); ++k) {
        if (!f.consecutive(k, k + 1)) continue;
        for (const Blob& a : byFrame[static_cast<std::size_t>(k)]) {
            if (a.isStatic) continue;
            for (const Blob& b : byFrame[static_cast<std::size_t>(k + 1)]) {
                if (b.isStatic) continue;
                // A step as long as the slowest pace along x or y is no
                // slower by any measure.
                const double dx = b.x - a.x, dy = b.y - a.y;
                if (std::max(std::fabs(dx), std::fabs(dy)) < slowest && std::hypot(dx, dy) < slowest) continue;
                Chain c = grow(f, index, a, b, plain);
                if ((!best || c.flux > best->flux) && meteorLike(c)) best = std::move(c);
            }
        }
    }
    return best;
}

// ---------------------------------------------------------------------------
// The meteor on each of its frames

// The model fitted to frame k, starting from the motion's prediction and
// fitted again on the pixels around the first result.
std::optional<TStreak> fitFrame(const Frames& f, int k, const TStreak& guess, bool fixedBlur = false) {
    const double margin = 3 * std::max(guess.sigmaX, guess.sigmaY) + 3;
    const TStreakFitOptions options{fixedBlur, f.width, f.height};
    // Beyond the ends by half the stretch besides: where the motion puts a
    // frame's stretch a little off (a flare within the exposure moves its
    // centroid), a window cut at the true end would draw the fit out of it.
    const double length = std::hypot(guess.headX - guess.tailX, guess.headY - guess.tailY);
    std::optional<TStreak> s = fitStreak(pixelsNear(f, k, guess, margin, margin + length / 2), guess, options);
    if (s) s = fitStreak(pixelsNear(f, k, *s, margin), *s, options);
    return s;
}

// What a sequence of pictures (the frames, or the fields of interlaced
// frames) shows of the meteor, by index into the sequence.
struct Sighting {
    int first = 0, last = 0;  // the pictures that show it
    int startPicture = 0;     // the one whose head is the START
    double startX = 0, startY = 0, finishX = 0, finishY = 0;  // the heads, in the pictures' pixels
    TTrackEstimate startEstimate = TTrackEstimate::StreakFit, finishEstimate = TTrackEstimate::StreakFit;
    Motion motion;
    double sigmaX = 1, sigmaY = 1;  // the blur
    double flux = 0;                // of the chain's detections
};

using Detections = std::vector<std::vector<Blob>>;  // by picture

// The background, each picture's noise and what stands out of it.
Detections detect(Frames& f, bool plain) {
    computeBackground(f);
    Detections byFrame(static_cast<std::size_t>(f.count()));
    f.noise.resize(byFrame.size());
    for (int k = 0; k < f.count(); ++k)
        byFrame[static_cast<std::size_t>(k)] = detectBlobs(f, k, f.noise[static_cast<std::size_t>(k)]);
    (plain ? markStaticPlain : markStaticIndexed)(byFrame, f.perFrame);
    return byFrame;
}

struct Head {
    double x = 0, y = 0;
    TTrackEstimate estimate = TTrackEstimate::StreakFit;
};

// The plainer estimates of the head on picture k, from the pixels along the
// motion's stretch: where the streak's leading end falls to half its light,
// or for a stretch no longer than its blur, the centre of light of the spot.
std::optional<Head> plainHead(const Frames& f, int k, const TStreak& stretch) {
    const double length = std::hypot(stretch.headX - stretch.tailX, stretch.headY - stretch.tailY);
    const double blur = std::max(stretch.sigmaX, stretch.sigmaY);
    const std::vector<TStreakPixel> pixels = pixelsNear(f, k, stretch, 2 * blur + 2);
    if (length <= 2 * blur + 1) {
        const auto c = spotCentroid(pixels);
        if (!c) return std::nullopt;
        return Head{c->x, c->y, TTrackEstimate::SpotCentroid};
    }
    // Two blurs across, in the direction the line runs (a field's rows are
    // half as blurred).
    const double ux = (stretch.headX - stretch.tailX) / length, uy = (stretch.headY - stretch.tailY) / length;
    const auto edge = leadingEdge(pixels, stretch, 2 * std::hypot(uy * stretch.sigmaX, ux * stretch.sigmaY) + 0.5);
    if (!edge) return std::nullopt;
    return Head{edge->x, edge->y, TTrackEstimate::LeadingEdge};
}

// Whether a head lies where the motion allows on picture k: for a START
// near the end of the frame's stretch, for the last frame anywhere along it
// (the meteor may go out during the exposure); and ahead of its tail.
bool placedByMotion(const Motion& m, int k, const TStreak& s, bool last) {
    const double across = 2 + 3 * m.uncertainty(k + m.duty / 2);
    const double length = std::hypot(m.x(k + m.duty / 2) - m.x(k - m.duty / 2), m.y(k + m.duty / 2) - m.y(k - m.duty / 2));
    const double slack = length > 0 ? (across + 0.25 * length) / length : 1e9;
    const OnStretch head = onStretch(m, k, s.headX, s.headY), tail = onStretch(m, k, s.tailX, s.tailY);
    const bool forward = length <= 0 || head.along >= tail.along - 1 / length;
    const bool placed = last ? head.along >= -slack && head.along <= 1 + slack : std::fabs(head.along - 1) <= slack;
    return forward && placed && head.across <= across;
}

// The head of the stretch fitted to picture k, where the motion allows it.
// The blur held first: an end frame is often faint or short, and a free blur
// there trades itself against the ends.
// On a faint frame (the fitted stretch's light under kFaintSnr times its
// noise) the noise turns a short stretch about; the line of the motion,
// fitted to every frame, places it across the track better, and the head is
// taken onto it where the fit puts it along.
constexpr double kFaintSnr = 10;

std::optional<Head> fittedHead(const Frames& f, int k, const Sighting& s, bool last) {
    TStreak guess = predictedStreak(s.motion, k, 1, s.sigmaX, s.sigmaY);
    guess.flux = std::max(matchedFlux(f, k, guess, {s.first, s.last}).flux, 1.0);
    for (const bool fixedBlur : {true, false}) {
        const auto fit = fitFrame(f, k, guess, fixedBlur);
        if (!fit || !placedByMotion(s.motion, k, *fit, last)) continue;
        Head head{fit->headX, fit->headY, TTrackEstimate::StreakFit};
        const double length = std::hypot(guess.headX - guess.tailX, guess.headY - guess.tailY);
        if (length > 0 && matchedFlux(f, k, *fit, {s.first, s.last}).snr < kFaintSnr) {
            const double ux = (guess.headX - guess.tailX) / length, uy = (guess.headY - guess.tailY) / length;
            const double along = (head.x - guess.tailX) * ux + (head.y - guess.tailY) * uy;
            head.x = guess.tailX + along * ux, head.y = guess.tailY + along * uy;
        }
        return head;
    }
    return std::nullopt;
}

// The head on picture k: the fitted stretch's, else the plain estimates, and
// last the motion's prediction.
Head headOn(const Frames& f, int k, const Sighting& s, bool last) {
    if (const auto fitted = fittedHead(f, k, s, last)) return *fitted;
    TStreak guess = predictedStreak(s.motion, k, 1, s.sigmaX, s.sigmaY);
    if (const auto plain = plainHead(f, k, guess)) {
        TStreak point = guess;
        point.headX = plain->x, point.headY = plain->y;
        if (placedByMotion(s.motion, k, point, last)) return *plain;
    }
    return {guess.headX, guess.headY, TTrackEstimate::Predicted};
}

// With pairedFields the pictures are fields, two to a frame, and the START
// is the head on the first frame: that of its second field when the meteor
// is on both.
std::optional<Sighting> findMeteor(const Frames& f, const Detections& byFrame, bool pairedFields, bool plain) {
    const std::optional<Chain> chain = findMeteorChain(f, byFrame, plain);
    if (!chain) return std::nullopt;
    Sighting s;
    s.motion = chain->motion;
    s.flux = chain->flux;
    const Motion& motion = s.motion;

    // The blur, from the brightest whole detection's fit; a field's rows are
    // half as blurred.
    const std::vector<const Blob*> core = chain->core();
    const Blob* brightest = *std::max_element(core.begin(), core.end(), [](const Blob* a, const Blob* b) { return a->flux < b->flux; });
    s.sigmaX = 1, s.sigmaY = 1.0 / f.perFrame;
    if (const auto shape = fitFrame(f, brightest->frame, predictedStreak(motion, brightest->frame, brightest->flux, s.sigmaX, s.sigmaY))) {
        s.sigmaX = shape->sigmaX, s.sigmaY = shape->sigmaY;
        // How long the exposure is against the pace, where the stretch is
        // long enough beside its blur to say.
        const double length = std::hypot(shape->headX - shape->tailX, shape->headY - shape->tailY);
        const double step = motion.speed(brightest->frame);
        if (step > 4 * std::max(s.sigmaX, s.sigmaY)) s.motion.duty = std::clamp(length / step, 0.5, 2.0);
    }
    const auto stretch = [&](int k) { return predictedStreak(motion, k, 1, s.sigmaX, s.sigmaY); };

    // A faint first or last frame may stay under the detection threshold:
    // the motion says where to look for it. A whole end detection with no
    // light along the stretch the motion gives it is something else beside
    // the track's end.
    s.first = chain->first(), s.last = chain->last();
    const auto wholeFrameThere = [&](int k) { return matchedFlux(f, k, stretch(k), {s.first, s.last}).snr >= kExtendSigmas; };
    while (!chain->partialLast && s.last - s.first + 1 > kMinChain && !wholeFrameThere(s.last)) --s.last;
    while (!chain->partialFirst && s.last - s.first + 1 > kMinChain && !wholeFrameThere(s.first)) ++s.first;
    // A frame taken on without a detection of its own must show the light
    // and a stretch fitted where the motion puts it: the flicker of a
    // compressed frame's blocks can pass the first test alone.
    const auto extends = [&](int k, bool before) {
        return lightThere(f, k, stretch(k), before, {s.first, s.last}) && fittedHead(f, k, s, !before);
    };
    if (!chain->partialFirst)
        while (s.first > 0 && f.consecutive(s.first - 1, s.first) && extends(s.first - 1, true)) --s.first;
    if (!chain->partialLast)
        while (s.last + 1 < f.count() && f.consecutive(s.last, s.last + 1) && extends(s.last + 1, false)) ++s.last;

    s.startPicture = pairedFields && s.first % 2 == 0 && s.first < s.last ? s.first + 1 : s.first;
    const Head start = headOn(f, s.startPicture, s, s.startPicture == s.last);
    const Head finish = headOn(f, s.last, s, true);
    s.startX = start.x, s.startY = start.y, s.startEstimate = start.estimate;
    s.finishX = finish.x, s.finishY = finish.y, s.finishEstimate = finish.estimate;
    return s;
}

// The two fields of every interlaced frame as pictures of their own, in the
// order they were exposed: the rows of the upper field (0, 2, 4, ...) first
// or those of the lower one. Field numbers keep the frames' gaps.
Frames fieldsOf(const Frames& frames, bool upperFirst) {
    Frames f;
    f.width = frames.width, f.height = frames.height / 2;
    f.perFrame = 2;
    for (int k = 0; k < frames.count(); ++k)
        for (int half = 0; half < 2; ++half) {
            const int offset = upperFirst ? half : 1 - half;
            std::vector<uint8_t> field(static_cast<std::size_t>(f.width) * f.height);
            for (int y = 0; y < f.height; ++y)
                std::copy_n(frames.pixels[static_cast<std::size_t>(k)].begin() +
                                static_cast<std::ptrdiff_t>(2 * y + offset) * frames.width,
                            f.width, field.begin() + static_cast<std::ptrdiff_t>(y) * f.width);
            f.numbers.push_back(2 * frames.numbers[static_cast<std::size_t>(k)] + half);
            f.paths.push_back(frames.paths[static_cast<std::size_t>(k)]);
            f.fieldOf.push_back(offset);
            f.pixels.push_back(std::move(field));
        }
    return f;
}

// The other field order: the two fields of every frame change places, with
// what was detected on them and which background is theirs.
void swapFieldOrder(Frames& fields, Detections& byFrame) {
    for (std::size_t k = 0; k + 1 < byFrame.size(); k += 2) {
        std::swap(fields.pixels[k], fields.pixels[k + 1]);
        std::swap(fields.fieldOf[k], fields.fieldOf[k + 1]);
        std::swap(fields.noise[k], fields.noise[k + 1]);
        std::swap(byFrame[k], byFrame[k + 1]);
    }
    for (std::size_t k = 0; k < byFrame.size(); ++k)
        for (Blob& b : byFrame[k]) b.frame = static_cast<int>(k);
}

// The frame-file point of a head on picture k: with fields, of the frame
// holding field k, on the field's own rows.
TTrackPoint headPoint(const Frames& frames, int k, double x, double y, std::optional<bool> upperFirst) {
    if (upperFirst) {
        y = 2 * y + (*upperFirst ? k % 2 : 1 - k % 2);
        k /= 2;
    }
    return {std::clamp(static_cast<int>(std::lround(x)), 0, frames.width - 1),
            std::clamp(static_cast<int>(std::lround(y)), 0, frames.height - 1),
            frames.numbers[static_cast<std::size_t>(k)]};
}

// Where the meteor was found: on the frames, or on the fields of interlaced
// frames in the order given.
struct Search {
    std::optional<Frames> fields;  // the pictures searched, when not the frames
    Sighting sighting;
    std::optional<bool> upperFirst;
};

// What the camera clipped of the meteor on the pixels of frame file
// frameIndex marked in `filled` (the bitmap's rows, bottom row first): a
// pixel at full scale only says the meteor gave it at least that much. The
// stretch fitted to each of the frame's pictures, where clipped pixels count
// only as a lower bound, gives what the unclipped wings and ends say they
// held; only a fit whose head lies where the motion puts it is taken.
int64_t clippedLight(const Frames& pictures, const Search& search, int frameIndex, std::span<const uint8_t> frame,
                     const std::vector<uint8_t>& filled) {
    const Sighting& s = search.sighting;
    const int perFrame = pictures.perFrame;
    std::vector<std::optional<TStreak>> fits(static_cast<std::size_t>(perFrame));
    bool clipped = false;
    for (std::size_t i = 0; i < frame.size(); ++i) clipped = clipped || (filled[i] && frame[i] >= kClipLevel);
    if (!clipped) return 0;
    for (int half = 0; half < perFrame; ++half) {
        const int k = frameIndex * perFrame + half;
        if (k < s.first || k > s.last) continue;
        TStreak guess = predictedStreak(s.motion, k, 1, s.sigmaX, s.sigmaY);
        guess.flux = std::max(matchedFlux(pictures, k, guess, {s.first, s.last}).flux, 1.0);
        const auto fit = fitFrame(pictures, k, guess);
        if (fit && placedByMotion(s.motion, k, *fit, true)) fits[static_cast<std::size_t>(half)] = fit;
    }
    const int w = pictures.width, h = static_cast<int>(frame.size()) / w;
    double missing = 0;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (!filled[i] || frame[i] < kClipLevel) continue;
        const int x = static_cast<int>(i) % w, y = h - 1 - static_cast<int>(i) / w;  // from the top
        // The picture the row belongs to, and the row there.
        int half = 0, row = y;
        if (search.upperFirst) half = *search.upperFirst ? y % 2 : 1 - y % 2, row = y / 2;
        const auto& fit = fits[static_cast<std::size_t>(half)];
        if (!fit) continue;
        const double level = pictures.level(frameIndex * perFrame + half, x, row) + streakValue(*fit, x, row);
        missing += std::max(level - frame[i], 0.0);
    }
    return std::llround(missing);
}

// The frame file where the meteor is brightest (the light of its stretches
// on the frame's pictures, by the matched filter) and its brightness there,
// as the observer's "Макс. блеск:" click measures it: the fill above the star
// threshold from the meteor's brightest pixel. The two fields of an
// interlaced frame weave two stretches row by row, which one fill joins only
// where they touch; every part of them the threshold keeps is filled too, so
// the frame's whole light is measured, with what the camera clipped of it.
TTrackBrightness meteorBrightness(const Frames& frames, const Search& search, const TConfiguration& config,
                                  int& frameIndex) {
    const Sighting& s = search.sighting;
    const Frames& pictures = search.fields ? *search.fields : frames;
    const int perFrame = pictures.perFrame;
    const auto stretch = [&](int k) { return predictedStreak(s.motion, k, 1, s.sigmaX, s.sigmaY); };
    double best = -1e300;
    for (int fi = s.first / perFrame; fi <= s.last / perFrame; ++fi) {
        double light = 0;
        for (int k = fi * perFrame; k < (fi + 1) * perFrame; ++k)
            if (k >= s.first && k <= s.last) light += matchedFlux(pictures, k, stretch(k), {s.first, s.last}).flux;
        if (light > best) best = light, frameIndex = fi;
    }
    // The meteor's pixels on that frame file, brightest first.
    const int w = frames.width, h = frames.height;
    const auto& raw = frames.pixels[static_cast<std::size_t>(frameIndex)];
    std::vector<int> seeds;  // top-down indices
    for (int k = frameIndex * perFrame; k < (frameIndex + 1) * perFrame; ++k) {
        if (k < s.first || k > s.last) continue;
        for (const TStreakPixel& p : pixelsNear(pictures, k, stretch(k), 1.5)) {
            const int y = search.upperFirst ? 2 * p.y + (*search.upperFirst ? k % 2 : 1 - k % 2) : p.y;
            if (y < h) seeds.push_back(y * w + p.x);
        }
    }
    std::sort(seeds.begin(), seeds.end());
    seeds.erase(std::unique(seeds.begin(), seeds.end()), seeds.end());
    std::stable_sort(seeds.begin(), seeds.end(), [&](int a, int b) {
        return raw[static_cast<std::size_t>(a)] > raw[static_cast<std::size_t>(b)];
    });
    if (seeds.empty()) return {};
    // The fill works on the bitmap's rows, bottom row first.
    std::vector<uint8_t> bottomUp(raw.size());
    for (int y = 0; y < h; ++y)
        std::copy_n(raw.begin() + static_cast<std::ptrdiff_t>(y) * w, w, bottomUp.begin() + static_cast<std::ptrdiff_t>(h - 1 - y) * w);
    const int threshold = meanLevel(bottomUp) + config.levelNoiseMax();
    const int n = w * h;
    std::vector<uint8_t> visited(bottomUp.size(), 0);
    TTrackBrightness b;
    for (const int i : seeds) {
        const int seed = (h - 1 - i / w) * w + i % w;
        if (bottomUp[static_cast<std::size_t>(seed)] < threshold || visited[static_cast<std::size_t>(seed)]) continue;
        TStarPhotoDescription part(seed);
        fillStar(threshold, seed, w, n, part, bottomUp, visited);
        b.pixelCount += part.pixelCount;
        b.brightnessSum += part.brightnessSum;
    }
    if (b.pixelCount > 0) {
        b.brightnessSum += clippedLight(pictures, search, frameIndex, bottomUp, visited);
        return b;
    }
    // Nothing above the threshold: what a click on the brightest pixel gives.
    const TBrightness click = measureBrightness(frames.paths[static_cast<std::size_t>(frameIndex)], seeds.front() % w,
                                                seeds.front() / w, config);
    return {click.pixelCount, click.brightnessSum};
}

}  // namespace

std::string estimateName(TTrackEstimate estimate) {
    switch (estimate) {
        case TTrackEstimate::StreakFit: return "streak fit";
        case TTrackEstimate::LeadingEdge: return "leading edge";
        case TTrackEstimate::SpotCentroid: return "spot centroid";
        case TTrackEstimate::Predicted: return "predicted";
    }
    return "";
}

std::string estimateNote(const TTrackProposal& proposal) {
    return "estimate: START " + estimateName(proposal.startEstimate) + ", FINISH " + estimateName(proposal.finishEstimate);
}

std::optional<TTrackProposal> proposeTrack(const std::string& eventDirectory, const TConfiguration& config,
                                           TBlobSearch search) {
    const bool plain = search == TBlobSearch::AllPairs;
    Frames frames = loadFrames(eventDirectory);
    if (frames.count() < kMinFrames) return std::nullopt;
    // Interlaced frames hold two fields exposed one after the other: a meteor
    // is two stretches woven row by row. Its fields are searched in either
    // order, and the frames as they are; on frames that are not woven both
    // fields of a frame show one moment, and no chain across them moves
    // steadily forward, though a piece of one may pass for it (an end frame's
    // two fields taken for a partial exposure and the next). The frames'
    // meteor is taken unless the fields' holds at least half its light.
    std::optional<Search> found;
    if (frames.height >= 16 && frames.height % 2 == 0) {
        Frames fields = fieldsOf(frames, true);
        Detections blobs = detect(fields, plain);
        for (bool upper : {true, false}) {
            if (!upper) swapFieldOrder(fields, blobs);
            if (auto sighting = findMeteor(fields, blobs, true, plain)) {
                found = Search{std::move(fields), std::move(*sighting), upper};
                break;
            }
        }
    }
    const Detections blobs = detect(frames, plain);
    if (auto sighting = findMeteor(frames, blobs, false, plain); sighting && (!found || sighting->flux > 2 * found->sighting.flux))
        found = Search{std::nullopt, std::move(*sighting), std::nullopt};
    if (!found) return std::nullopt;
    const Sighting& s = found->sighting;

    TTrackProposal p;
    p.start = headPoint(frames, s.startPicture, s.startX, s.startY, found->upperFirst);
    p.finish = headPoint(frames, s.last, s.finishX, s.finishY, found->upperFirst);
    p.startEstimate = s.startEstimate, p.finishEstimate = s.finishEstimate;
    if (p.start.x == p.finish.x && p.start.y == p.finish.y) return std::nullopt;
    p.upperFieldFirst = found->upperFirst;
    // The head on every frame between: on a woven frame that of its later
    // field the meteor is on, as START's.
    const Frames& pictures = found->fields ? *found->fields : frames;
    const int perFrame = pictures.perFrame;
    const auto exposureEnd = [&](int k) { return found->upperFirst ? (k % 2 + 1) / 2.0 : 1.0; };
    p.heads.push_back({p.start, exposureEnd(s.startPicture), p.startEstimate});
    for (int fi = s.startPicture / perFrame + 1; fi < s.last / perFrame; ++fi) {
        const int k = (fi + 1) * perFrame - 1;
        const Head h = headOn(pictures, k, s, false);
        p.heads.push_back({headPoint(frames, k, h.x, h.y, found->upperFirst), exposureEnd(k), h.estimate});
    }
    if (s.last / perFrame > s.startPicture / perFrame) p.heads.push_back({p.finish, exposureEnd(s.last), p.finishEstimate});
    int frameIndex = 0;
    p.brightness = meteorBrightness(frames, *found, config, frameIndex);
    p.brightestFrame = frames.numbers[static_cast<std::size_t>(frameIndex)];
    return p;
}

TrackProposalOutcome writeProposedTrack(const std::string& eventDirectory, const TConfiguration& config, bool force,
                                        TTrackProposal* written) {
    std::error_code ec;
    if (!force && std::filesystem::exists(trackFileName(eventDirectory), ec)) return TrackProposalOutcome::KeptExisting;
    const auto proposal = proposeTrack(eventDirectory, config);
    if (!proposal) return TrackProposalOutcome::NoMeteor;
    saveTrackFile(eventDirectory, proposal->start, proposal->finish, proposal->brightness);
    saveTrackHeads(eventDirectory, *proposal);
    if (written != nullptr) *written = *proposal;
    return TrackProposalOutcome::Written;
}

void saveTrackHeads(const std::string& eventDirectory, const TTrackProposal& proposal) {
    saveTrackHeads(eventDirectory, TTrackHeads{proposal.heads, proposal.upperFieldFirst});
}

void saveTrackHeads(const std::string& eventDirectory, const TTrackHeads& proposal) {
    std::vector<std::string> lines{std::string("FIELDS|") +
                                   (!proposal.upperFieldFirst ? "none" : *proposal.upperFieldFirst ? "upper" : "lower")};
    for (const TTrackHead& h : proposal.heads) {
        lines.push_back(std::to_string(h.point.frame) + "|" + std::to_string(h.point.x) + "|" + std::to_string(h.point.y) +
                        "|" + (h.exposureEnd == 0.5 ? "0.5" : "1") + "|" + std::to_string(static_cast<int>(h.estimate)));
    }
    writeTextLines(joinPath(eventDirectory, kTrackHeadsFileName), lines);
}

std::optional<TTrackHeads> readTrackHeads(const std::string& eventDirectory) {
    const std::string path = joinPath(eventDirectory, kTrackHeadsFileName);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const std::vector<std::string> lines = readTextLines(path);
    const auto damaged = [&](std::size_t line) {
        return EConvertError(TDiagnostic(Code::TrackHeadsDamaged).with("file", path).with("line", line + 1));
    };
    // A whole number within [low, high], written as the writer writes it.
    const auto whole = [&](const std::string& text, int low, int high, std::size_t line) {
        if (text.empty() || text.size() > 7 || (text[0] == '-' ? text.size() == 1 : false)) throw damaged(line);
        for (std::size_t i = text[0] == '-' ? 1 : 0; i < text.size(); ++i)
            if (text[i] < '0' || text[i] > '9') throw damaged(line);
        const int v = std::stoi(text);
        if (v < low || v > high) throw damaged(line);
        return v;
    };
    TTrackHeads heads;
    if (lines.empty()) throw damaged(0);
    if (lines[0] == "FIELDS|upper") heads.upperFieldFirst = true;
    else if (lines[0] == "FIELDS|lower") heads.upperFieldFirst = false;
    else if (lines[0] != "FIELDS|none") throw damaged(0);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = splitFields(lines[i], "|");
        if (f.size() != 5 || (f[3] != "0.5" && f[3] != "1")) throw damaged(i);
        TTrackHead h;
        h.point.frame = whole(f[0], 1, kLargestFrameNumber, i);
        h.point.x = whole(f[1], 0, kLargestWorkPictureSide, i);
        h.point.y = whole(f[2], 0, kLargestWorkPictureSide, i);
        h.exposureEnd = f[3] == "0.5" ? 0.5 : 1.0;
        h.estimate = static_cast<TTrackEstimate>(whole(f[4], 0, static_cast<int>(TTrackEstimate::Predicted), i));
        if (!heads.heads.empty() && h.point.frame <= heads.heads.back().point.frame) throw damaged(i);
        heads.heads.push_back(h);
    }
    return heads;
}

}  // namespace orbis
