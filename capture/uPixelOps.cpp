#include "capture/uPixelOps.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace orbis {

namespace {

template <int Step>
uint64_t extractWithStep(const uint8_t* src, uint8_t* dst, std::size_t count) {
    // 32-bit partial sums over blocks that cannot overflow them (65536 x 255),
    // so the inner loop vectorises.
    uint64_t total = 0;
    std::size_t i = 0;
    while (i < count) {
        const std::size_t end = std::min(count, i + 65536);
        uint32_t sum = 0;
        for (; i < end; ++i) {
            const uint8_t v = src[i * Step];
            dst[i] = v;
            sum += v;
        }
        total += sum;
    }
    return total;
}

// The interior index range [first, last) of a frame; empty for frames of
// fewer than three rows.
bool interior(std::size_t count, std::size_t rowLength, std::size_t& first, std::size_t& last) {
    first = rowLength + 1;
    if (count < 2 * rowLength + 2) return false;
    last = count - rowLength - 1;
    return first < last;
}

// Skipping runs of dark pixels in blocks: the maximum of a block is a cheap
// vectorised reduction, and almost every block of a night frame is below
// the threshold.
constexpr std::size_t kBlock = 64;

uint8_t blockMax(const uint8_t* p, std::size_t n) {
    uint8_t m = 0;
    for (std::size_t i = 0; i < n; ++i) m = std::max(m, p[i]);
    return m;
}

// One row of LumaAndDifference; returns the row's sum of delivered bytes
// (a row of at most 16384 pixels cannot overflow it).
template <int Step, bool Dark, bool Mask>
uint32_t lumaDifferenceRow(const uint8_t* __restrict src, const uint8_t* __restrict dark,
                           const uint8_t* __restrict mask, const uint8_t* __restrict previous,
                           uint8_t* __restrict luma, uint8_t* __restrict difference, std::size_t width) {
    uint32_t sum = 0;
    for (std::size_t x = 0; x < width; ++x) {
        uint8_t v = src[x * Step];
        sum += v;
        if constexpr (Dark) v = v > dark[x] ? static_cast<uint8_t>(v - dark[x]) : 0;
        if constexpr (Mask) v &= mask[x];
        luma[x] = v;
        const uint8_t p = previous[x];
        difference[x] = v > p ? static_cast<uint8_t>(v - p) : 0;
    }
    return sum;
}

template <int Step, bool Dark, bool Mask>
uint64_t lumaAndDifference(const TLumaSource& s, std::size_t width, std::size_t height, const uint8_t* previous,
                           uint8_t* luma, uint8_t* difference, uint32_t* histogram) {
    // Four partial histograms: runs of equal values (zero difference is the
    // common case) would otherwise wait on each other's increments. The row
    // just written is still in the first-level cache when it is counted.
    std::array<std::array<uint32_t, 256>, 4> partial{};
    uint64_t total = 0;
    const std::size_t stride = width * static_cast<std::size_t>(Step);
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t delivered = s.reverseRows ? height - 1 - row : row;
        const std::size_t at = row * width;
        total += lumaDifferenceRow<Step, Dark, Mask>(s.pixels + s.offset + delivered * stride, s.dark + (Dark ? at : 0),
                                                     s.mask + (Mask ? at : 0), previous + at, luma + at,
                                                     difference + at, width);
        const uint8_t* d = difference + at;
        std::size_t x = 0;
        for (; x + 4 <= width; x += 4) {
            ++partial[0][d[x]];
            ++partial[1][d[x + 1]];
            ++partial[2][d[x + 2]];
            ++partial[3][d[x + 3]];
        }
        for (; x < width; ++x) ++partial[0][d[x]];
    }
    for (std::size_t v = 0; v < 256; ++v) histogram[v] += partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];
    return total;
}

template <int Step>
uint64_t lumaAndDifferenceOfStep(const TLumaSource& s, std::size_t width, std::size_t height,
                                 const uint8_t* previous, uint8_t* luma, uint8_t* difference, uint32_t* histogram) {
    if (s.dark && s.mask)
        return lumaAndDifference<Step, true, true>(s, width, height, previous, luma, difference, histogram);
    if (s.dark) return lumaAndDifference<Step, true, false>(s, width, height, previous, luma, difference, histogram);
    if (s.mask) return lumaAndDifference<Step, false, true>(s, width, height, previous, luma, difference, histogram);
    return lumaAndDifference<Step, false, false>(s, width, height, previous, luma, difference, histogram);
}

}  // namespace

uint64_t LumaAndDifference(const TLumaSource& source, std::size_t width, std::size_t height, const uint8_t* previous,
                           uint8_t* luma, uint8_t* difference, uint32_t* histogram) {
    switch (source.step) {
        case 1: return lumaAndDifferenceOfStep<1>(source, width, height, previous, luma, difference, histogram);
        case 2: return lumaAndDifferenceOfStep<2>(source, width, height, previous, luma, difference, histogram);
        case 3: return lumaAndDifferenceOfStep<3>(source, width, height, previous, luma, difference, histogram);
        case 4: return lumaAndDifferenceOfStep<4>(source, width, height, previous, luma, difference, histogram);
        default: break;
    }
    // Any other step, pixel by pixel.
    uint64_t sum = 0;
    const std::size_t step = static_cast<std::size_t>(source.step);
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t delivered = source.reverseRows ? height - 1 - row : row;
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t i = row * width + x;
            uint8_t v = source.pixels[static_cast<std::size_t>(source.offset) + (delivered * width + x) * step];
            sum += v;
            if (source.dark) v = v > source.dark[i] ? static_cast<uint8_t>(v - source.dark[i]) : 0;
            if (source.mask) v &= source.mask[i];
            luma[i] = v;
            difference[i] = v > previous[i] ? static_cast<uint8_t>(v - previous[i]) : 0;
            ++histogram[difference[i]];
        }
    }
    return sum;
}

void BlotDifference(const uint8_t* previous, uint8_t* difference, uint32_t* histogram, std::size_t count,
                    std::size_t rowLength, int threshold) {
    if (threshold >= 255) return;
    std::size_t first = 0, last = 0;
    if (!interior(count, rowLength, first, last)) return;
    const uint8_t t = static_cast<uint8_t>(threshold < 0 ? 0 : threshold + 1);
    const auto clear = [&](std::size_t q) {
        const uint8_t d = difference[q];
        if (d == 0) return;
        --histogram[d];
        ++histogram[0];
        difference[q] = 0;
    };
    for (std::size_t b = first; b < last; b += kBlock) {
        const std::size_t n = std::min(kBlock, last - b);
        if (blockMax(previous + b, n) < t) continue;
        for (std::size_t p = b; p < b + n; ++p) {
            if (previous[p] < t) continue;
            for (const std::size_t row : {p - rowLength, p, p + rowLength}) {
                clear(row - 1);
                clear(row);
                clear(row + 1);
            }
        }
    }
}

int NoiseLevel(const uint32_t* histogram, uint32_t limit) {
    for (int k = 0; k < 50; ++k) {
        if (histogram[k] < limit) return k;
    }
    return 50;
}

uint64_t ExtractLuma(const uint8_t* source, uint8_t* destination, std::size_t count, int step, int offset) {
    const uint8_t* src = source + offset;
    switch (step) {
        case 1: return extractWithStep<1>(src, destination, count);
        case 2: return extractWithStep<2>(src, destination, count);
        case 3: return extractWithStep<3>(src, destination, count);
        case 4: return extractWithStep<4>(src, destination, count);
        default: {
            uint64_t sum = 0;
            for (std::size_t i = 0; i < count; ++i) {
                destination[i] = src[i * static_cast<std::size_t>(step)];
                sum += destination[i];
            }
            return sum;
        }
    }
}

void FlipRows(uint8_t* buffer, std::size_t rowLength, std::size_t rows) {
    for (std::size_t k = 0; k < rows / 2; ++k) {
        std::swap_ranges(buffer + k * rowLength, buffer + (k + 1) * rowLength, buffer + (rows - 1 - k) * rowLength);
    }
}

void SubtractClamped(uint8_t* buffer, const uint8_t* subtrahend, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        buffer[i] = buffer[i] > subtrahend[i] ? static_cast<uint8_t>(buffer[i] - subtrahend[i]) : 0;
    }
}

void AndMask(uint8_t* buffer, const uint8_t* mask, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) buffer[i] &= mask[i];
}

void MarkBright(const uint8_t* source, uint8_t* destination, std::size_t count, std::size_t rowLength,
               int threshold) {
    if (threshold >= 255) return;
    std::size_t first = 0, last = 0;
    if (!interior(count, rowLength, first, last)) return;
    // source[p] > threshold <=> source[p] >= t.
    const uint8_t t = static_cast<uint8_t>(threshold < 0 ? 0 : threshold + 1);
    for (std::size_t b = first; b < last; b += kBlock) {
        const std::size_t n = std::min(kBlock, last - b);
        if (blockMax(source + b, n) < t) continue;
        for (std::size_t p = b; p < b + n; ++p) {
            if (source[p] < t) continue;
            std::memset(destination + p - rowLength - 1, 255, 3);
            std::memset(destination + p - 1, 255, 3);
            std::memset(destination + p + rowLength - 1, 255, 3);
        }
    }
}

int DiffHistogram(uint8_t* current, const uint8_t* reference, uint32_t* histogram, std::size_t count,
                  uint32_t limit) {
    // The subtraction first, as its own loop: it vectorises, which a loop
    // that also counts (and may alias the counters through its byte stores)
    // does not.
    uint8_t* __restrict cur = current;
    const uint8_t* __restrict ref = reference;
    for (std::size_t i = 0; i < count; ++i) cur[i] = cur[i] > ref[i] ? static_cast<uint8_t>(cur[i] - ref[i]) : 0;

    // Four partial histograms: consecutive equal values (the common case,
    // zero difference) would otherwise wait on each other's increments.
    std::array<std::array<uint32_t, 256>, 4> partial{};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        ++partial[0][cur[i]];
        ++partial[1][cur[i + 1]];
        ++partial[2][cur[i + 2]];
        ++partial[3][cur[i + 3]];
    }
    for (; i < count; ++i) ++partial[0][cur[i]];
    for (std::size_t v = 0; v < 256; ++v) {
        histogram[v] += partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];
    }
    for (int k = 0; k < 50; ++k) {
        if (histogram[k] < limit) return k;
    }
    return 50;
}

uint32_t CountSignal(const uint8_t* buffer, std::size_t count, std::size_t rowLength, int minimum, int threshold) {
    if (threshold > 255) return 0;
    std::size_t first = 0, last = 0;
    if (!interior(count, rowLength, first, last)) return 0;
    const uint8_t t = static_cast<uint8_t>(std::max(threshold, 0));
    auto bright = [&](std::size_t q) { return buffer[q] >= t ? 1 : 0; };
    uint32_t signal = 0;
    for (std::size_t b = first; b < last; b += kBlock) {
        const std::size_t n = std::min(kBlock, last - b);
        if (blockMax(buffer + b, n) < t) continue;
        for (std::size_t p = b; p < b + n; ++p) {
            if (buffer[p] < t) continue;
            const int around = bright(p - rowLength - 1) + bright(p - rowLength) + bright(p - rowLength + 1) +
                               bright(p - 1) + 1 + bright(p + 1) + bright(p + rowLength - 1) + bright(p + rowLength) +
                               bright(p + rowLength + 1);
            if (around >= minimum) ++signal;
        }
    }
    return signal;
}

}  // namespace orbis
