#include "capture/uFrameDifference.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "capture/uPixelOps.h"

namespace orbis {

namespace {

// Thirty-two bytes as GCC's and Clang's generic vectors: one register with
// AVX2, two with SSE2 or NEON (aarch64). No intrinsics of one family.
typedef uint8_t Bytes32 __attribute__((vector_size(32)));
typedef uint16_t Words16 __attribute__((vector_size(32)));
typedef uint64_t Quads4 __attribute__((vector_size(32)));

// The sum of 16 words, and of 32 bytes, by widening in the vector
// registers rather than lane by lane.
inline uint64_t sumWords(const Words16& w) {
    Quads4 q = reinterpret_cast<Quads4>(w);
    q = (q & 0xffff) + ((q >> 16) & 0xffff) + ((q >> 32) & 0xffff) + (q >> 48);
    return q[0] + q[1] + q[2] + q[3];
}
inline uint32_t sumBytes(const Bytes32& v) {
    const Words16 w = reinterpret_cast<Words16>(v);
    return static_cast<uint32_t>(sumWords((w & 0xff) + (w >> 8)));  // 16 pair sums of at most 510
}

typedef uint8_t Bytes16 __attribute__((vector_size(16)));

// The largest of 32 bytes, halving the vector. (Vectors are passed by
// reference: a 32-byte vector by value has an ABI of its own with AVX.)
inline uint8_t largestByte(const Bytes32& v) {
    const auto larger = [](const Bytes16& a, const Bytes16& b) -> Bytes16 { return a > b ? a : b; };
    Bytes16 h = larger(__builtin_shufflevector(v, v, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                       __builtin_shufflevector(v, v, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31));
    h = larger(h, __builtin_shufflevector(h, h, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7));
    h = larger(h, __builtin_shufflevector(h, h, 4, 5, 6, 7, 0, 1, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15));
    h = larger(h, __builtin_shufflevector(h, h, 2, 3, 0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
    h = larger(h, __builtin_shufflevector(h, h, 1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
    return h[0];
}

// The bins a row counts at once. Counting costs two vector operations per
// bin and 32 pixels; two bins keep it below the row's other work (more were
// no faster on night frames, where the bins below the noise level fill
// within a few rows), and the
// window reaches a night frame's noise level within its first rows.
constexpr int kWindow = 2;
constexpr int kLastBin = 50;
// The delivered rows are fetched two rows ahead: 16-bit YUV is read bottom
// row first, which the processor's own prefetching follows badly.
constexpr std::size_t kPrefetchRows = 2;

// counts[j] += the number of bytes equal to first + j, for j < Bins.
template <int Bins>
void countBins(const uint8_t* bytes, std::size_t count, int first, uint32_t* counts) {
    std::size_t i = 0;
    while (count - i >= sizeof(Bytes32)) {
        // A byte counter takes 255 blocks before it would wrap.
        const std::size_t blocks = std::min<std::size_t>((count - i) / sizeof(Bytes32), 255);
        Bytes32 equal[Bins] = {};
        for (std::size_t b = 0; b < blocks; ++b, i += sizeof(Bytes32)) {
            Bytes32 v;
            std::memcpy(&v, bytes + i, sizeof v);
            // A comparison gives -1 in every equal lane.
            for (int j = 0; j < Bins; ++j)
                equal[j] -= reinterpret_cast<Bytes32>(v == Bytes32{} + static_cast<uint8_t>(first + j));
        }
        for (int j = 0; j < Bins; ++j) counts[j] += sumBytes(equal[j]);
    }
    for (; i < count; ++i) {
        const int j = bytes[i] - first;
        if (j >= 0 && j < Bins) ++counts[j];
    }
}

// The noise level of a difference counted as its rows are finished (see
// the header). It counts whole vectors: the bytes of a row that do not fill
// one are counted with the next row's.
class NoiseCounter {
public:
    NoiseCounter(uint32_t limit, std::size_t size) : limit_(limit) {
        from_.fill(size);
        for (int j = 0; j < kWindow; ++j) from_[static_cast<std::size_t>(j)] = 0;
        settle(0);
    }

    // Counts the difference's bytes up to end (the last call: all of them).
    void countTo(const uint8_t* difference, std::size_t end, bool last) {
        if (!last) end -= end % sizeof(Bytes32);
        if (end <= done_) return;
        countBins<kWindow>(difference + done_, end - done_, low_, &counts_[static_cast<std::size_t>(low_)]);
        done_ = end;
        settle(end);
    }

    // The noise level and its count, counting again what the window missed.
    TDifferenceSummary finish(const uint8_t* difference, std::size_t size) {
        int recounts = 0;
        std::array<uint32_t, 256> histogram{};
        for (int k = low_;; ++k) {
            const std::size_t bin = static_cast<std::size_t>(k);
            if (k < kLastBin && counts_[bin] >= limit_) continue;
            if (from_[bin] != 0) {
                // A bin the window reached late. Past a few of them (a
                // frame whose bins all thin out at once) one full
                // histogram is cheaper than counting bin after bin.
                if (++recounts == 3) ByteHistogram(difference, size, histogram.data());
                if (recounts >= 3) {
                    counts_[bin] = histogram[bin];
                } else {
                    uint32_t missed = 0;
                    countBins<1>(difference, from_[bin], k, &missed);
                    counts_[bin] += missed;
                }
                from_[bin] = 0;
            }
            if (k == kLastBin || counts_[bin] < limit_) return {0, k, counts_[bin]};
        }
    }

private:
    // Moves the window past the bins that have reached the limit; a bin that
    // enters it is counted from byte next on.
    void settle(std::size_t next) {
        while (low_ < kLastBin && counts_[static_cast<std::size_t>(low_)] >= limit_) {
            ++low_;
            std::size_t& from = from_[static_cast<std::size_t>(low_ + kWindow - 1)];
            from = std::min(from, next);
        }
    }

    uint32_t limit_;
    int low_ = 0;           // every bin below has reached the limit
    std::size_t done_ = 0;  // the bytes counted so far
    std::array<uint32_t, kLastBin + kWindow> counts_{};
    std::array<std::size_t, kLastBin + kWindow> from_{};  // the first byte each bin's count covers
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

// The row of one-byte pixels, 32 at a time in generic vectors (the
// compiler does not keep the maxima and the 16-bit sums in registers across
// the pieces of the loop above); the same results.
template <bool Dark, bool Mask>
uint64_t differenceRowOfBytes(const uint8_t* __restrict src, const uint8_t* __restrict dark,
                              const uint8_t* __restrict mask, const uint8_t* __restrict previous,
                              uint8_t* __restrict luma, uint8_t* __restrict difference, std::size_t width,
                              uint8_t& lumaMax, uint8_t& differenceMax) {
    Bytes32 lmax{}, dmax{};
    Words16 sums{};  // each lane gains at most 510 a vector
    uint64_t total = 0;
    const auto flush = [&] {
        total += sumWords(sums);
        sums = Words16{};
    };
    std::size_t x = 0;
    for (int vectors = 0; x + sizeof(Bytes32) <= width; x += sizeof(Bytes32)) {
        Bytes32 v, other;
        std::memcpy(&v, src + x, sizeof v);
        const Words16 w = reinterpret_cast<Words16>(v);
        sums += (w & 0xff) + (w >> 8);
        if (++vectors == 128) flush(), vectors = 0;
        // v - min(v, other) and max(a, b) in the conditional form the
        // compilers turn into the minimum and maximum instructions.
        if constexpr (Dark) std::memcpy(&other, dark + x, sizeof other), v -= v < other ? v : other;
        if constexpr (Mask) std::memcpy(&other, mask + x, sizeof other), v &= other;
        std::memcpy(&other, previous + x, sizeof other);
        const Bytes32 d = v - (v < other ? v : other);
        std::memcpy(luma + x, &v, sizeof v);
        std::memcpy(difference + x, &d, sizeof d);
        lmax = v > lmax ? v : lmax;
        dmax = d > dmax ? d : dmax;
    }
    flush();
    uint8_t lm = largestByte(lmax), dm = largestByte(dmax);
    for (; x < width; ++x) {
        uint8_t v = src[x];
        total += v;
        if constexpr (Dark) v = static_cast<uint8_t>(v - (v < dark[x] ? v : dark[x]));
        if constexpr (Mask) v &= mask[x];
        luma[x] = v;
        const uint8_t d = static_cast<uint8_t>(v - (v < previous[x] ? v : previous[x]));
        difference[x] = d;
        lm = v > lm ? v : lm;
        dm = d > dm ? d : dm;
    }
    lumaMax = lm;
    differenceMax = dm;
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
    const auto blotAt = [&](std::size_t p) {
        std::memset(difference + p - width - 1, 0, 3);
        std::memset(difference + p - 1, 0, 3);
        std::memset(difference + p + width - 1, 0, 3);
    };
    const auto blotIn = [&](std::size_t begin, std::size_t end) {
        for (std::size_t p = begin; p < end; ++p)
            if (previous.luma[p] >= t) blotAt(p);
    };
    // 32 pixels are compared at once, and only the 8-pixel quarters holding
    // a bright one are looked at pixel by pixel.
    const Bytes32 threshold = Bytes32{} + t;
    std::size_t p = from;
    for (; p + sizeof(Bytes32) <= to; p += sizeof(Bytes32)) {
        Bytes32 v;
        std::memcpy(&v, previous.luma + p, sizeof v);
        const Quads4 bright = reinterpret_cast<Quads4>(v >= threshold);
        if ((bright[0] | bright[1] | bright[2] | bright[3]) == 0) continue;
        for (std::size_t q = 0; q < 4; ++q)
            if (bright[q] != 0) blotIn(p + 8 * q, p + 8 * q + 8);
    }
    blotIn(p, to);
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
    NoiseCounter noise(noiseLimit, n);
    const auto blot = [&](std::size_t row) {
        if (blots) blotFromRow(previous, t, width, row, first, last, out.difference);
    };
    const auto count = [&](std::size_t row) { noise.countTo(out.difference, (row + 1) * width, row + 1 == height); };
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
        if constexpr (Step == 1)
            total += differenceRowOfBytes<Dark, Mask>(s.pixels + s.offset + delivered * stride, s.dark + (Dark ? at : 0),
                                                      s.mask + (Mask ? at : 0), previous.luma + at, out.luma + at,
                                                      out.difference + at, width, out.lumaRowMax[row],
                                                      out.differenceRowMax[row]);
        else
            total += differenceRow<Step, Dark, Mask>(s.pixels + s.offset + delivered * stride, step,
                                                     s.dark + (Dark ? at : 0), s.mask + (Mask ? at : 0),
                                                     previous.luma + at, out.luma + at, out.difference + at, width,
                                                     out.lumaRowMax[row], out.differenceRowMax[row]);
        if (row >= 2) blot(row - 2);
        if (row >= 4) count(row - 4);
    }
    for (std::size_t row = height >= 2 ? height - 2 : 0; row < height; ++row) blot(row);
    for (std::size_t row = height >= 4 ? height - 4 : 0; row < height; ++row) count(row);
    TDifferenceSummary summary = noise.finish(out.difference, n);
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

// With GCC on x86-64 the pass is built twice, for the baseline and for AVX2
// (the loader picks one by what the processor has); every step is inlined
// into each so that the compiler vectorises it for the wider registers.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default"), flatten))
#endif
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
