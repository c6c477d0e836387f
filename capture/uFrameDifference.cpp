#include "capture/uFrameDifference.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "capture/uPixelOps.h"

namespace orbis {

namespace {

// Sixteen bytes in a vector register: GCC's and Clang's generic vectors,
// which compile to SSE2 on x86-64 and to NEON on aarch64.
typedef uint8_t Bytes16 __attribute__((vector_size(16)));

// The bins a row counts at once. Counting costs two vector operations per
// bin and 16 pixels; two bins keep it below the row's other work (more were
// no faster on night frames, where the bins below the noise level fill
// within a few rows), and the
// window reaches a night frame's noise level within its first rows.
constexpr int kWindow = 2;
constexpr int kLastBin = 50;
// The delivered rows are fetched two rows ahead: 16-bit YUV is read bottom
// row first, which the processor's own prefetching follows badly.
constexpr std::size_t kPrefetchRows = 2;
// The previous frame is searched for bright pixels in blocks whose maximum
// is a cheap vector reduction.
constexpr std::size_t kBlock = 64;

// counts[j] += the number of bytes equal to first + j, for j < Bins.
template <int Bins>
void countBins(const uint8_t* bytes, std::size_t count, int first, uint32_t* counts) {
    std::array<Bytes16, Bins> value;
    for (int j = 0; j < Bins; ++j) value[static_cast<std::size_t>(j)] = Bytes16{} + static_cast<uint8_t>(first + j);
    std::size_t i = 0;
    while (count - i >= 16) {
        // A byte counter takes 255 blocks before it would wrap.
        const std::size_t blocks = std::min<std::size_t>((count - i) / 16, 255);
        std::array<Bytes16, Bins> equal{};
        for (std::size_t b = 0; b < blocks; ++b, i += 16) {
            Bytes16 v;
            std::memcpy(&v, bytes + i, sizeof v);
            // A comparison gives -1 in every equal lane.
            for (std::size_t j = 0; j < Bins; ++j) equal[j] -= reinterpret_cast<Bytes16>(v == value[j]);
        }
        for (std::size_t j = 0; j < Bins; ++j) {
            uint32_t sum = 0;
            for (int lane = 0; lane < 16; ++lane) sum += equal[j][lane];
            counts[j] += sum;
        }
    }
    for (; i < count; ++i) {
        const int j = bytes[i] - first;
        if (j >= 0 && j < Bins) ++counts[j];
    }
}

// The noise level of a difference counted row by row (see the header).
class NoiseCounter {
public:
    NoiseCounter(uint32_t limit, std::size_t rows) : limit_(limit) {
        from_.fill(rows);
        for (int j = 0; j < kWindow; ++j) from_[static_cast<std::size_t>(j)] = 0;
        settle(0);
    }

    void countRow(const uint8_t* row, std::size_t width, std::size_t index) {
        countBins<kWindow>(row, width, low_, &counts_[static_cast<std::size_t>(low_)]);
        settle(index + 1);
    }

    // The noise level and its count, counting again what the window missed.
    TDifferenceSummary finish(const uint8_t* difference, std::size_t width, std::size_t rows) {
        int recounts = 0;
        std::array<uint32_t, 256> histogram{};
        for (int k = low_;; ++k) {
            const std::size_t bin = static_cast<std::size_t>(k);
            if (k < kLastBin && counts_[bin] >= limit_) continue;
            if (from_[bin] != 0) {
                // A bin the window reached late. Past a few of them (a
                // frame whose bins all thin out at once) one full
                // histogram is cheaper than counting bin after bin.
                if (++recounts == 3) ByteHistogram(difference, width * rows, histogram.data());
                if (recounts >= 3) {
                    counts_[bin] = histogram[bin];
                } else {
                    uint32_t missed = 0;
                    countBins<1>(difference, from_[bin] * width, k, &missed);
                    counts_[bin] += missed;
                }
                from_[bin] = 0;
            }
            if (k == kLastBin || counts_[bin] < limit_) return {0, k, counts_[bin]};
        }
    }

private:
    // Moves the window past the bins that have reached the limit; a bin that
    // enters it is counted from row nextRow on.
    void settle(std::size_t nextRow) {
        while (low_ < kLastBin && counts_[static_cast<std::size_t>(low_)] >= limit_) {
            ++low_;
            std::size_t& from = from_[static_cast<std::size_t>(low_ + kWindow - 1)];
            from = std::min(from, nextRow);
        }
    }

    uint32_t limit_;
    int low_ = 0;  // every bin below has reached the limit
    std::array<uint32_t, kLastBin + kWindow> counts_{};
    std::array<std::size_t, kLastBin + kWindow> from_{};  // the first row each bin's count covers
};

// One row: luma, dark, mask and difference, with both rows' maxima. Returns
// the row's sum of delivered bytes. A Step of 0 takes the step given at run
// time.
template <int Step, bool Dark, bool Mask>
uint64_t differenceRow(const uint8_t* __restrict src, std::size_t step, const uint8_t* __restrict dark,
                       const uint8_t* __restrict mask, const uint8_t* __restrict previous, uint8_t* __restrict luma,
                       uint8_t* __restrict difference, std::size_t width, uint8_t& lumaMax, uint8_t& differenceMax) {
    const std::size_t pixelStep = Step != 0 ? static_cast<std::size_t>(Step) : step;
    uint64_t total = 0;
    uint8_t lmax = 0, dmax = 0;
    // The sum in 16 bits over pieces of 257 pixels at most, which cannot
    // overflow it: wider lanes would cost more than the rest of the loop.
    for (std::size_t piece = 0; piece < width; piece += 256) {
        const std::size_t end = std::min(width, piece + 256);
        uint16_t sum = 0;
        for (std::size_t x = piece; x < end; ++x) {
            uint8_t v = src[x * pixelStep];
            sum = static_cast<uint16_t>(sum + v);
            // Clamped subtractions written as v - min(v, p): GCC does not
            // vectorise the conditional form together with the maxima.
            if constexpr (Dark) v = static_cast<uint8_t>(v - (v < dark[x] ? v : dark[x]));
            if constexpr (Mask) v &= mask[x];
            luma[x] = v;
            const uint8_t p = previous[x];
            const uint8_t d = static_cast<uint8_t>(v - (v < p ? v : p));
            difference[x] = d;
            lmax = v > lmax ? v : lmax;
            dmax = d > dmax ? d : dmax;
        }
        total += sum;
    }
    lumaMax = lmax;
    differenceMax = dmax;
    return total;
}

// Clears the 3 x 3 block of the difference around every pixel of the
// previous frame's row that lies in [first, last) and reaches t. The blocks
// of a row's first and last pixel reach two rows away (into the rows beyond
// their neighbours).
void blotFromRow(const TPreviousLuma& previous, uint8_t t, std::size_t width, std::size_t row, std::size_t first,
                 std::size_t last, uint8_t* difference) {
    if (previous.rowMax[row] < t) return;
    const std::size_t from = std::max(first, row * width), to = std::min(last, (row + 1) * width);
    for (std::size_t block = from; block < to; block += kBlock) {
        const std::size_t blockEnd = std::min(to, block + kBlock);
        if (MaxByte(previous.luma + block, blockEnd - block) < t) continue;
        for (std::size_t p = block; p < blockEnd; ++p) {
            if (previous.luma[p] < t) continue;
            std::memset(difference + p - width - 1, 0, 3);
            std::memset(difference + p - 1, 0, 3);
            std::memset(difference + p + width - 1, 0, 3);
        }
    }
}

template <int Step, bool Dark, bool Mask>
TDifferenceSummary differenceFrame(const TLumaSource& s, std::size_t width, std::size_t height,
                                   const TPreviousLuma& previous, uint32_t noiseLimit, const TDifferenceOutput& out) {
    const std::size_t n = width * height;
    // The interior pixels that blot (MarkBright's): none in frames of fewer
    // than three rows, none at all for a threshold of 255 or more.
    const bool blots = previous.blotThreshold < 255 && height >= 3 && n >= 2 * width + 3;
    const uint8_t t = static_cast<uint8_t>(std::clamp(previous.blotThreshold + 1, 0, 255));
    const std::size_t first = width + 1, last = blots ? n - width - 1 : 0;

    // The previous frame's row r blots the difference's rows r - 2 to
    // r + 2, so a row is counted four rows after it was made, when every
    // blot that reaches it has been applied: the histogram needs no
    // correction afterwards, and the row is still in the first-level cache.
    NoiseCounter noise(noiseLimit, height);
    const auto blot = [&](std::size_t row) {
        if (blots) blotFromRow(previous, t, width, row, first, last, out.difference);
    };
    const auto count = [&](std::size_t row) { noise.countRow(out.difference + row * width, width, row); };
    uint64_t total = 0;
    const std::size_t step = static_cast<std::size_t>(s.step), stride = width * step;
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t delivered = s.reverseRows ? height - 1 - row : row;
        const std::size_t at = row * width;
        if (row + kPrefetchRows < height) {
            const std::size_t ahead = s.reverseRows ? height - 1 - row - kPrefetchRows : row + kPrefetchRows;
            const uint8_t* next = s.pixels + ahead * stride;
            for (std::size_t b = 0; b < stride; b += 64) __builtin_prefetch(next + b);
        }
        total += differenceRow<Step, Dark, Mask>(s.pixels + s.offset + delivered * stride, step, s.dark + (Dark ? at : 0),
                                                 s.mask + (Mask ? at : 0), previous.luma + at, out.luma + at,
                                                 out.difference + at, width, out.lumaRowMax[row],
                                                 out.differenceRowMax[row]);
        if (row >= 2) blot(row - 2);
        if (row >= 4) count(row - 4);
    }
    for (std::size_t row = height >= 2 ? height - 2 : 0; row < height; ++row) blot(row);
    for (std::size_t row = height >= 4 ? height - 4 : 0; row < height; ++row) count(row);
    TDifferenceSummary summary = noise.finish(out.difference, width, height);
    summary.lumaSum = total;
    return summary;
}

template <int Step>
TDifferenceSummary differenceFrameOfStep(const TLumaSource& s, std::size_t width, std::size_t height,
                                         const TPreviousLuma& previous, uint32_t noiseLimit,
                                         const TDifferenceOutput& out) {
    if (s.dark && s.mask) return differenceFrame<Step, true, true>(s, width, height, previous, noiseLimit, out);
    if (s.dark) return differenceFrame<Step, true, false>(s, width, height, previous, noiseLimit, out);
    if (s.mask) return differenceFrame<Step, false, true>(s, width, height, previous, noiseLimit, out);
    return differenceFrame<Step, false, false>(s, width, height, previous, noiseLimit, out);
}

}  // namespace

TDifferenceSummary DifferenceFrame(const TLumaSource& source, std::size_t width, std::size_t height,
                                   const TPreviousLuma& previous, uint32_t noiseLimit,
                                   const TDifferenceOutput& output) {
    switch (source.step) {
        case 1: return differenceFrameOfStep<1>(source, width, height, previous, noiseLimit, output);
        case 2: return differenceFrameOfStep<2>(source, width, height, previous, noiseLimit, output);
        case 3: return differenceFrameOfStep<3>(source, width, height, previous, noiseLimit, output);
        case 4: return differenceFrameOfStep<4>(source, width, height, previous, noiseLimit, output);
        default: return differenceFrameOfStep<0>(source, width, height, previous, noiseLimit, output);
    }
}

}  // namespace orbis
