#pragma once
// The image operations of offline processing: dark-frame removal,
// background levelling, summation of an event's frames into a background
// and a per-pixel maximum, autocontrast, meteor overlay, height doubling,
// distortion correction and the mapping of a pixel position of an
// unprocessed frame into the processed frame.
//
// A frame buffer is width x height bytes, rows tightly packed, bottom row
// first as the bitmap file keeps them. The operations keep no state and show
// nothing. round() below is to nearest with ties to even (the floating-point
// default); integer divisions of non-negative values truncate.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "config/uConfiguration.h"

namespace orbis {

using TFrameBuffer = std::vector<uint8_t>;

// (sum of the bytes) / count, integer division; 0 for an empty buffer.
int meanLevel(std::span<const uint8_t> buffer);

// Subtracts the dark frame and fills dark pixels from their vertical
// neighbours, in place, over the first n pixels (n and width of the smaller
// of frame and dark frame). A pixel of 0 is not darkened; like every pixel
// at or below half the mean level it is then filled from its neighbours
// above and below, except in the first and last rows, which have none.
void removeDarkFrame(std::span<const uint8_t> dark, int width, std::size_t n, std::span<uint8_t> frame);

// A copy of the source with bright (> mean x factor) and dark (< mean / 2)
// outliers replaced by the mean.
TFrameBuffer clipToMean(std::span<const uint8_t> source, double factor);

// Replaces every pixel by round(mean) of its (2r+1)^2 window, cut at the
// edges, over the first width x height bytes (none when the buffer is
// shorter). Exact, in time almost independent of the radius.
void boxMean(int width, int height, int radius, std::span<uint8_t> buffer);

// Three passes of boxMean with radius round(0.39 x size).
void smoothBackground(int width, int height, std::span<uint8_t> buffer, int size);

// frame[i] = clamp(frame[i] - background[i] + off, 0, 255) for non-zero
// pixels, off = round(sum of background / (n x 1.5)); zero pixels stay 0.
void subtractBackground(std::span<const uint8_t> background, std::span<uint8_t> frame);

// Background levelling of one frame: clipToMean 1.2, smoothBackground 8,
// subtractBackground.
void levelBackground(int width, int height, std::span<uint8_t> frame);

// Per-pixel sum and maximum of an event's frames.
struct TFrameAccumulators {
    std::vector<int32_t> sum;
    std::vector<uint8_t> maximum;
    int frameCount = 0;
};
TFrameAccumulators sumFrames(std::span<const TFrameBuffer> frames, std::size_t n);

// round((sum - max) / (count - 1)) per pixel: the mean without the frame
// where the pixel was brightest, so a meteor leaves no trace. A single frame
// is its own background.
TFrameBuffer meanWithoutMaximum(const TFrameAccumulators& accumulators);

// Power-law stretch about the geometric mean g of the non-zero pixels:
// v -> min(255, round(g (v/g)^k)); zero pixels, and an all-black buffer,
// stay as they are.
void autoContrast(std::span<uint8_t> buffer, double k);

// The per-pixel larger of the two.
TFrameBuffer overlayMeteor(std::span<const uint8_t> background, std::span<const uint8_t> maximum);

// Every row written twice.
TFrameBuffer doubleHeight(std::span<const uint8_t> source, int width);

// Each odd row i below doubledHeight becomes the mean of itself and row i+1;
// a last row without a successor keeps its value.
void interpolateOddRows(std::span<uint8_t> buffer, int width, int doubledHeight);

// The lens distortion model: two cubics in (a, b) with one term order, and
// the margins the correction adds on each side. The defaults are the
// configuration's.
struct TDistortion {
    std::array<double, TConfiguration::kCoefCount> coefX = TConfiguration::defaults().coefsX();
    std::array<double, TConfiguration::kCoefCount> coefY = TConfiguration::defaults().coefsY();
    int addResultWidth = TConfiguration::defaults().addResultWidth();
    int addResultHeight = TConfiguration::defaults().addResultHeight();

    static TDistortion fromConfiguration(const TConfiguration& config);

    bool operator==(const TDistortion&) const = default;
};

enum class DistortionAxis { X, Y };

// c0 + c1 a + c2 b + c3 ab + c4 a^2 + c5 b^2 + c6 a^2 b + c7 a b^2 + c8 a^3 + c9 b^3.
double distortionPolynomial(const TDistortion& d, DistortionAxis axis, double a, double b);

// The source pixel (u, v) of corrected pixel (x, y) in a W x H frame.
void distortionSource(const TDistortion& d, int W, int H, int x, int y, long& u, long& v);

// Adds the margins and resamples the buffer in place. W and H are the
// enlarged sizes; buffer holds W x H bytes with the input picture
// ((W - 2 addResultWidth) x (H - 2 addResultHeight)) packed at its start.
void correctDistortion(int W, int H, std::vector<uint8_t>& buffer, const TDistortion& d);

// The same for several buffers of one size (the background and the result),
// with one evaluation of the model per pixel for all of them.
void correctDistortion(int W, int H, std::span<std::vector<uint8_t>* const> buffers, const TDistortion& d);

// Replaces (x, y) by the corrected pixel whose source lies nearest to it
// (Euclidean), the first in the order x' then y' among equals: the pixel
// whose source is (x, y) when there is one, a neighbour's where the
// correction skips the source pixel. Pixels with a non-finite source are
// never chosen; without any, (x, y) stays. The plain scan of every pixel;
// TCorrectedPointFinder gives the same answers faster.
void mapPointToCorrected(int W, int H, int& x, int& y, const TDistortion& d);

// mapPointToCorrected for many points of one frame: one pass over the frame
// measures how far any pixel's source lies from the pixel, after which each
// point needs only the pixels within that distance, widened by the distance
// of the nearest source found there.
class TCorrectedPointFinder {
public:
    TCorrectedPointFinder(int W, int H, const TDistortion& d);
    void map(int& x, int& y) const;

private:
    struct TNearest {
        double distance;  // squared; infinite when there is none
        int x, y;
    };
    // The nearest source within reach + widenBy of (x, y), the first in scan
    // order among equals.
    TNearest nearestIn(int x, int y, double widenBy) const;

    int W_, H_;
    TDistortion d_;
    double reachX_ = 0.0, reachY_ = 0.0;
};

// A pixel position of an unprocessed frame (y counted from the top, as in
// the text files) into the processed frame: the doubled row that keeps the
// field row's own pixels (2y + 1), then, when the correction is on, its
// margins and the corrected position (through the finder of the processed
// frame's size).
void mapTrackPoint(int& x, int& y, bool doubleFrameHeight, bool correctDistortion, const TDistortion& d,
                   const TCorrectedPointFinder* finder);

}  // namespace orbis
