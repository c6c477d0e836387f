#include "processing/uRoundedMean.h"

#include <algorithm>

namespace orbis {

// Why the integers agree with nearbyint(double(sum) / double(count)): sum
// and count convert exactly, and the quotient q = sum / count <= 255 is
// rounded once, by at most 255 x 2^-53. A quotient that is not a half
// (k + 1/2) lies at least 1 / (2 count) from every half, more than that
// error while count < 2^44, so nearbyint rounds it to the same side as the
// exact quotient. An exact half is a double itself and goes to the even
// neighbour, as here.
uint8_t roundedMean(uint64_t sum, uint64_t count) {
    const uint64_t q = sum / count;
    const uint64_t rest = sum - q * count;  // 2 rest compared with count, without overflow
    const bool up = rest > count - rest || (rest == count - rest && (q & 1) != 0);
    return static_cast<uint8_t>(q + (up ? 1 : 0));
}

namespace {

// The smallest shift s from `from` on whose m = ceil(2^s / divisor) keeps
// m <= largestMultiplier and gives floor(t m / 2^s) = floor(t / divisor)
// for every t <= largest. With m = (2^s + e) / divisor,
// t m / 2^s = t / divisor + t e / (divisor 2^s): while t e < 2^s the added
// part stays below 1 / divisor and cannot carry the quotient past the next
// multiple of the divisor.
TRoundedMean::TMultiplier multiplierFor(uint64_t divisor, uint64_t largest, uint32_t from, uint64_t largestMultiplier) {
    for (uint32_t s = from; s < 32; ++s) {
        const uint64_t power = uint64_t{1} << s;
        const uint64_t m = (power + divisor - 1) / divisor;
        if (m > largestMultiplier) break;  // m only grows with s
        if ((m * divisor - power) * largest < power) return {static_cast<uint32_t>(m), s};
    }
    return {};
}

constexpr uint64_t kWord = 0xFFFFFFFFu;
constexpr uint64_t kHalfWord = 0xFFFFu;

template <typename Sum>
void divideWide(const Sum* __restrict sums, uint8_t* __restrict out, std::size_t n, uint32_t count, uint32_t doubled,
                uint32_t multiplier, uint32_t shift) {
    for (std::size_t i = 0; i < n; ++i) {
        const uint32_t t = 2 * uint32_t{sums[i]} + count;
        uint32_t q = (t * multiplier) >> shift;  // floor(t / doubled): the mean rounded half up
        q -= (q * doubled == t ? 1u : 0u) & q;   // an exact half rounded up to odd: back to even
        out[i] = static_cast<uint8_t>(q);
    }
}

// divideWide in 16-bit lanes: t <= 511 x 128 and q x doubled <= t fit them.
// Out of line: inlined into divide, GCC 12 widens the product to 32-bit
// lanes again and loses the high-half multiply.
[[gnu::noinline]] void divideNarrow(const uint16_t* __restrict sums, uint8_t* __restrict out, std::size_t n,
                                    uint16_t count, uint16_t doubled, uint16_t multiplier, uint32_t shift) {
    for (std::size_t i = 0; i < n; ++i) {
        const auto t = static_cast<uint16_t>(2 * sums[i] + count);
        const auto high = static_cast<uint16_t>((static_cast<uint32_t>(t) * multiplier) >> 16);
        auto q = static_cast<uint16_t>(high >> shift);
        q = static_cast<uint16_t>(q - ((static_cast<uint16_t>(q * doubled) == t ? 1u : 0u) & q));
        out[i] = static_cast<uint8_t>(q);
    }
}

}  // namespace

TRoundedMean::TRoundedMean(uint32_t count) : count_(std::max(count, 1u)) {
    const uint64_t largest = 511 * uint64_t{count_};  // the largest t
    if (largest > kWord) return;
    doubled_ = 2 * count_;
    wide_ = multiplierFor(doubled_, largest, 0, kWord / largest);
    if (largest <= kHalfWord) {
        narrow_ = multiplierFor(doubled_, largest, 16, kHalfWord);
        narrow_.shift = narrow_.multiplier != 0 ? narrow_.shift - 16 : 0;
    }
}

void TRoundedMean::divide(std::span<const uint32_t> sums, std::span<uint8_t> out) const {
    const std::size_t n = std::min(sums.size(), out.size());
    if (!multiplies()) {
        for (std::size_t i = 0; i < n; ++i) out[i] = roundedMean(sums[i], count_);
        return;
    }
    divideWide(sums.data(), out.data(), n, count_, doubled_, wide_.multiplier, wide_.shift);
}

void TRoundedMean::divide(std::span<const uint16_t> sums, std::span<uint8_t> out) const {
    const std::size_t n = std::min(sums.size(), out.size());
    if (multipliesNarrow()) {
        divideNarrow(sums.data(), out.data(), n, static_cast<uint16_t>(count_), static_cast<uint16_t>(doubled_),
                     static_cast<uint16_t>(narrow_.multiplier), narrow_.shift);
        return;
    }
    if (multiplies()) {
        divideWide(sums.data(), out.data(), n, count_, doubled_, wide_.multiplier, wide_.shift);
        return;
    }
    for (std::size_t i = 0; i < n; ++i) out[i] = roundedMean(sums[i], count_);
}

}  // namespace orbis
