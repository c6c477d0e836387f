#pragma once
// The clock of the unattended station: the computer's (its UTC plus the
// station's time zone, whatever zone the system is set to), or a simulated one
// that starts at a chosen local time and runs a given number of times faster
// than real time, so a whole night passes in seconds. The detector names its
// clips and the schedule reads the Sun's altitude by the same clock.

#include <chrono>
#include <optional>

#include "capture/uDetector.h"

namespace orbis {

class TStationClock final : public DetectorClock {
public:
    // The computer's clock, read as the station's local time: UT + the
    // station's time zone in hours.
    explicit TStationClock(double timeZoneHours) : system_(timeZoneHours) {}
    // Starts at localStart and advances speed seconds per real second.
    TStationClock(TDateTime localStart, double speed);

    uint32_t tickCount() override;
    TDateTime localNow() override;
    // The real time in which this clock advances by the given days.
    std::chrono::milliseconds realDuration(double days) const;
    double speed() const { return speed_; }

private:
    std::optional<TDateTime> start_;
    double speed_ = 1.0;
    std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
    SystemDetectorClock system_;
};

}  // namespace orbis
