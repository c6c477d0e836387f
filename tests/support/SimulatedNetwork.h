#pragma once
// A meteor flying a straight line through the atmosphere, and what each
// station of a network measures of it: the frames' J2000 directions from the
// exact geometry, turned by a fraction of a pixel's angle of noise, at the
// times of the station's own clock (its frames' phase and offset).

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "astro/uEarthFrame.h"
#include "reports/uEventMeasurement.h"

namespace orbis::test {

struct SimulatedMeteor {
    TGeodetic begin{45.0, 10.0, 100e3};
    double radiantAzimuth = 90;    // degrees from north through east, seen at the begin point
    double radiantAltitude = 45;   // degrees
    double speed = 30e3;           // m/s at the begin
    double deceleration = 0;       // m/s^2, constant
    double endHeight = 70e3;       // metres
    double jdBegin = 2460532.5 + 1.2 / 24;  // 2024-08-10 01:12 UT

    // The unit direction of flight, Earth-fixed.
    TVector3 direction() const { return -horizontalDirection(begin, radiantAzimuth, radiantAltitude); }
    double distanceAt(double seconds) const { return speed * seconds - 0.5 * deceleration * seconds * seconds; }
    TVector3 positionAt(double seconds) const {
        return geodeticToEarthFixed(begin) + distanceAt(seconds) * direction();
    }
    // The seconds from the begin to the end height.
    double duration() const {
        double t = 0;
        while (earthFixedToGeodetic(positionAt(t)).height > endHeight && t < 20) t += 1e-3;
        return t;
    }
};

struct SimulatedStation {
    std::string event;
    TGeodetic place;
    double clockOffset = 0;   // seconds the station's clock is ahead
    double framePhase = 0;    // seconds after the begin of the station's first frame
    double noise = 30;        // arcseconds, each axis
    double framesPerSecond = 25;
};

// Places a station `distance` metres from the begin point's ground point,
// towards `bearing` degrees (from north through east).
inline TGeodetic stationAround(const TGeodetic& centre, double bearing, double distance) {
    const double k = 3.14159265358979323846 / 180, r = 6371e3;
    const double lat = centre.latitude + distance * std::cos(bearing * k) / r / k;
    const double lon = centre.longitude + distance * std::sin(bearing * k) / (r * std::cos(centre.latitude * k)) / k;
    return {lat, lon, 250};
}

inline TEventMeasurement measure(const SimulatedMeteor& meteor, const SimulatedStation& station, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, station.noise / 3600 * 3.14159265358979323846 / 180);
    TEventMeasurement m;
    m.event = station.event;
    m.camera = "sim-" + station.event;
    m.latitude = station.place.latitude;
    m.longitude = station.place.longitude;
    m.height = station.place.height;
    m.framesPerSecond = station.framesPerSecond;
    const TVector3 at = geodeticToEarthFixed(station.place);
    const double duration = meteor.duration();
    const TEarthRotation rotation(meteor.jdBegin);
    int n = 0;
    for (double t = station.framePhase; t <= duration; t += 1 / station.framesPerSecond, ++n) {
        const double jd = meteor.jdBegin + t / 86400;
        TVector3 u = unit(meteor.positionAt(t) - at);
        // Noise across the sight line, in two perpendicular directions.
        const TVector3 a = unit(cross(u, TVector3{0, 0, 1})), b = cross(u, a);
        u = unit(u + gauss(random) * a + gauss(random) * b);
        TFrameMeasurement f;
        f.frame = n + 1;
        f.jdUt = jd + station.clockOffset / 86400;
        raDecOf(transposeTimes(rotation.skyToEarth(jd), u), f.ra, f.dec);
        m.frames.push_back(f);
    }
    return m;
}

}  // namespace orbis::test
