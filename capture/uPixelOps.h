#pragma once
// The detector's pixel operations: single passes over whole byte arrays of
// one frame. They allocate nothing and are written so the compiler can keep
// them in vector registers; tests compare each with a plain per-pixel
// version on random frames.
//
// An interior index is one from width + 1 up to but not including
// count - width - 1: the first and last rows are skipped, while the first
// and last pixel of every other row are treated like any other, their 3 x 3
// neighbourhood running over into the neighbouring row.

#include <cstddef>
#include <cstdint>

namespace orbis {

// destination[i] = source[offset + i * step] for i < count. Returns the sum
// of the copied bytes.
uint64_t ExtractLuma(const uint8_t* source, uint8_t* destination, std::size_t count, int step, int offset);

// Swaps row k with row rows - 1 - k for k < rows / 2.
void FlipRows(uint8_t* buffer, std::size_t rowLength, std::size_t rows);

// buffer[i] = max(buffer[i] - subtrahend[i], 0).
void SubtractClamped(uint8_t* buffer, const uint8_t* subtrahend, std::size_t count);

// buffer[i] &= mask[i].
void AndMask(uint8_t* buffer, const uint8_t* mask, std::size_t count);

// For every interior index p with source[p] > threshold, sets the 3 x 3 block
// of destination centred on p to 255. A threshold of 255 or more marks
// nothing.
void MarkBright(const uint8_t* source, uint8_t* destination, std::size_t count, std::size_t rowLength,
               int threshold);

// current[i] = max(current[i] - reference[i], 0) and histogram[current[i]]
// += 1 for every i (the histogram is added to, not cleared). Returns the
// first k in 0..49 whose count is below limit, or 50 when there is none.
int DiffHistogram(uint8_t* current, const uint8_t* reference, uint32_t* histogram, std::size_t count,
                  uint32_t limit);

// The number of interior pixels p with buffer[p] >= threshold whose 3 x 3
// block (p included) holds at least minimum pixels >= threshold.
uint32_t CountSignal(const uint8_t* buffer, std::size_t count, std::size_t rowLength, int minimum, int threshold);

// CountSignal on a frame of width x height whose row maxima (or upper
// bounds of them) are known: rows whose bound is below the threshold hold
// no candidate and are skipped.
uint32_t CountSignalInRows(const uint8_t* buffer, std::size_t width, std::size_t height, const uint8_t* rowMax,
                           int minimum, int threshold);

// histogram[v] = the number of bytes equal to v (the histogram is replaced).
void ByteHistogram(const uint8_t* bytes, std::size_t count, uint32_t* histogram);

// The largest of count bytes (0 for none).
inline uint8_t MaxByte(const uint8_t* bytes, std::size_t count) {
    uint8_t m = 0;
    for (std::size_t i = 0; i < count; ++i) m = bytes[i] > m ? bytes[i] : m;
    return m;
}

}  // namespace orbis
