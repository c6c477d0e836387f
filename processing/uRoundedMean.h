#pragma once
// Means of bytes rounded as the image stages round them, in integers.
//
// The stages round a mean as nearbyint(double(sum) / double(count)): to
// nearest, ties to even, in the default rounding mode the program never
// changes. For a sum of at most 255 x count the integer computation below
// gives the same byte for every count below 2^44, so a window mean can be
// taken with a multiply and a shift instead of a division per pixel.

#include <cstdint>
#include <span>

namespace orbis {

// round(sum / count), ties to even, for 0 <= sum <= 255 count, count >= 1.
uint8_t roundedMean(uint64_t sum, uint64_t count);

// roundedMean for one count and many sums: t = 2 sum + count over
// 2 count, floor(t / (2 count)) by a precomputed multiplier and shift, is
// round half up; an exact half that came out odd steps back to the even
// value below. A multiply, a shift and a compare per sum, which the
// compiler vectorises. Counts without a multiplier that keeps t x multiplier
// within 32 bits (from 138 on, bar a few) take roundedMean per sum.
class TRoundedMean {
public:
    explicit TRoundedMean(uint32_t count);  // a count of 0 counts as 1

    // out[i] = roundedMean(sums[i], count); every sum at most 255 count.
    void divide(std::span<const uint32_t> sums, std::span<uint8_t> out) const;
    // The same for sums of 16 bits (counts up to 128): where a multiplier
    // of 16 bits serves, the high half of a 16 x 16-bit product, twice as
    // many sums a vector instruction.
    void divide(std::span<const uint16_t> sums, std::span<uint8_t> out) const;

    bool multiplies() const { return wide_.multiplier != 0; }
    bool multipliesNarrow() const { return narrow_.multiplier != 0; }

    struct TMultiplier {
        uint32_t multiplier = 0;  // 0: none
        uint32_t shift = 0;
    };

private:
    uint32_t count_;
    uint32_t doubled_ = 0;  // 2 count, where a multiplier serves
    TMultiplier wide_;      // floor(t / doubled) = (t m) >> shift in 32 bits
    TMultiplier narrow_;    // = ((t m) >> 16) >> shift, t and m of 16 bits
};

}  // namespace orbis
