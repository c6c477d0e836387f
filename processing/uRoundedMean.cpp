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

constexpr uint64_t kWord = 0xFFFFFFFFu;

// For t = 2 sum + count <= 511 count: t x m <= kWord keeps every product in
// 32 bits, and m = ceil(2^s / D) = (2^s + e) / D with t e < 2^s gives
// t m / 2^s = t / D + t e / (D 2^s), whose added part stays below 1 / D and
// so cannot carry the quotient past the next multiple of D.
void divideByMultiplier(const uint32_t* __restrict sums, uint8_t* __restrict out, std::size_t n, uint32_t count,
                        uint32_t doubled, uint32_t multiplier, uint32_t shift) {
    for (std::size_t i = 0; i < n; ++i) {
        const uint32_t t = 2 * sums[i] + count;
        uint32_t q = (t * multiplier) >> shift;  // floor(t / doubled): the mean rounded half up
        q -= (q * doubled == t ? 1u : 0u) & q;   // an exact half rounded up to odd: back to even
        out[i] = static_cast<uint8_t>(q);
    }
}

}  // namespace

TRoundedMean::TRoundedMean(uint32_t count) : count_(std::max(count, 1u)), doubled_(0) {
    if (count_ > kWord / 511) return;
    doubled_ = 2 * count_;
    const uint64_t largest = 511 * uint64_t{count_};  // the largest t
    for (uint32_t s = 0; s < 32; ++s) {
        const uint64_t power = uint64_t{1} << s;
        const uint64_t m = (power + doubled_ - 1) / doubled_;
        if (m * largest > kWord) return;  // m only grows with s
        if ((m * doubled_ - power) * largest < power) {
            multiplier_ = static_cast<uint32_t>(m);
            shift_ = s;
            return;
        }
    }
}

void TRoundedMean::divide(std::span<const uint32_t> sums, std::span<uint8_t> out) const {
    const std::size_t n = std::min(sums.size(), out.size());
    if (multiplier_ == 0) {
        for (std::size_t i = 0; i < n; ++i) out[i] = roundedMean(sums[i], count_);
        return;
    }
    divideByMultiplier(sums.data(), out.data(), n, count_, doubled_, multiplier_, shift_);
}

}  // namespace orbis
