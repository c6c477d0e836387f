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

// The pixels p in [from, to) that CountSignal counts.
uint32_t countSignalIn(const uint8_t* buffer, std::size_t from, std::size_t to, std::size_t rowLength, int minimum,
                       uint8_t t) {
    auto bright = [&](std::size_t q) { return buffer[q] >= t ? 1 : 0; };
    uint32_t signal = 0;
    for (std::size_t b = from; b < to; b += kBlock) {
        const std::size_t n = std::min(kBlock, to - b);
        if (MaxByte(buffer + b, n) < t) continue;
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

}  // namespace

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
        if (MaxByte(source + b, n) < t) continue;
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

    std::array<uint32_t, 256> counted{};
    ByteHistogram(cur, count, counted.data());
    for (std::size_t v = 0; v < 256; ++v) histogram[v] += counted[v];
    for (int k = 0; k < 50; ++k) {
        if (histogram[k] < limit) return k;
    }
    return 50;
}

uint32_t CountSignal(const uint8_t* buffer, std::size_t count, std::size_t rowLength, int minimum, int threshold) {
    if (threshold > 255) return 0;
    std::size_t first = 0, last = 0;
    if (!interior(count, rowLength, first, last)) return 0;
    return countSignalIn(buffer, first, last, rowLength, minimum, static_cast<uint8_t>(std::max(threshold, 0)));
}

uint32_t CountSignalInRows(const uint8_t* buffer, std::size_t width, std::size_t height, const uint8_t* rowMax,
                           int minimum, int threshold) {
    if (threshold > 255) return 0;
    std::size_t first = 0, last = 0;
    if (!interior(width * height, width, first, last)) return 0;
    const uint8_t t = static_cast<uint8_t>(std::max(threshold, 0));
    uint32_t signal = 0;
    for (std::size_t row = first / width; row * width < last; ++row) {
        if (rowMax[row] < t) continue;
        signal += countSignalIn(buffer, std::max(first, row * width), std::min(last, (row + 1) * width), width,
                                minimum, t);
    }
    return signal;
}

void ByteHistogram(const uint8_t* bytes, std::size_t count, uint32_t* histogram) {
    // Four partial histograms: consecutive equal values (the common case,
    // zero difference) would otherwise wait on each other's increments.
    std::array<std::array<uint32_t, 256>, 4> partial{};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        ++partial[0][bytes[i]];
        ++partial[1][bytes[i + 1]];
        ++partial[2][bytes[i + 2]];
        ++partial[3][bytes[i + 3]];
    }
    for (; i < count; ++i) ++partial[0][bytes[i]];
    for (std::size_t v = 0; v < 256; ++v) histogram[v] = partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];
}

}  // namespace orbis
