#include "station/uStationClock.h"

#include <algorithm>
#include <stdexcept>

namespace orbis {

TStationClock::TStationClock(TDateTime localStart, double speed) : start_(localStart), speed_(speed) {
    if (!(speed > 0)) throw std::invalid_argument("the clock's speed must be more than 0");
}

uint32_t TStationClock::tickCount() {
    if (!start_) return system_.tickCount();
    const std::chrono::duration<double, std::milli> real = std::chrono::steady_clock::now() - origin_;
    return static_cast<uint32_t>(static_cast<uint64_t>(real.count() * speed_));
}

TDateTime TStationClock::localNow() {
    if (!start_) return system_.localNow();
    const std::chrono::duration<double> real = std::chrono::steady_clock::now() - origin_;
    return *start_ + real.count() * speed_ / 86400.0;
}

std::chrono::milliseconds TStationClock::realDuration(double days) const {
    const double ms = std::max(0.0, days) * 86400000.0 / speed_;
    return std::chrono::milliseconds(static_cast<long long>(std::min(ms, 1e12)));
}

}  // namespace orbis
