#include "sim/uNetworkSimulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uNaming.h"

namespace orbis {

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kJdOfDateTimeZero = 2415018.5;  // 1899-12-30 00:00
constexpr double kSecondsPerDay = 86400.0;
// Sky points per frame time of a station's sky path: between them the
// meteor moves on the great circle, a few milliarcseconds from the truth.
constexpr int kPathPointsPerFrame = 8;

[[noreturn]] void refuse(Code code) { throw EInvalidArgument(TDiagnostic(code)); }

TSkyPoint skyPointOf(const TVector3& direction) {
    TSkyPoint p{};
    raDecOf(direction, p.ra, p.dec);
    return p;
}

std::string jsonPlace(const TGeodetic& p) {
    return "{\"latitude\": " + jsonNumber(p.latitude) + ", \"longitude\": " + jsonNumber(p.longitude) +
           ", \"height\": " + jsonNumber(p.height) + "}";
}

}  // namespace

TSimFlightPath::TSimFlightPath(const TSimFlight& flight)
    : flight_(flight),
      begin_(geodeticToEarthFixed(flight.begin)),
      jdBegin_(flight.utBegin + kJdOfDateTimeZero),
      rotation_(flight.utBegin + kJdOfDateTimeZero) {
    if (flight.radiantAzAlt.has_value() == flight.radiantSky.has_value()) refuse(Code::SimRadiantAmbiguous);
    const TVector3 toRadiant =
        flight.radiantAzAlt
            ? horizontalDirection(flight.begin, flight.radiantAzAlt->first, flight.radiantAzAlt->second)
            : rotation_.skyToEarth(jdBegin_) * directionOf(flight.radiantSky->ra, flight.radiantSky->dec);
    direction_ = -toRadiant;
    // The end height by bisection between the begin and the farthest point
    // the meteor reaches (where a decelerating one would stop), within
    // 1000 km: a meteor lower there only grazes the atmosphere.
    constexpr double kFarthest = 1e6;
    const double stop = flight.deceleration > 0 ? std::min(flight.speed / flight.deceleration, kFarthest / flight.speed)
                                                : kFarthest / flight.speed;
    auto height = [&](double t) { return earthFixedToGeodetic(positionAt(t)).height; };
    if (!(flight.speed > 0) || !(flight.endHeight < flight.begin.height) || height(stop) > flight.endHeight)
        refuse(Code::SimFlightEndUnreached);
    double lo = 0, hi = stop;
    while (hi - lo > 1e-7) {
        const double mid = 0.5 * (lo + hi);
        (height(mid) > flight.endHeight ? lo : hi) = mid;
    }
    duration_ = 0.5 * (lo + hi);
}

double TSimFlightPath::distanceAt(double seconds) const {
    return flight_.speed * seconds - 0.5 * flight_.deceleration * seconds * seconds;
}

TVector3 TSimFlightPath::positionAt(double seconds) const { return begin_ + distanceAt(seconds) * direction_; }

TVector3 TSimFlightPath::skyDirectionFrom(const TVector3& place, double seconds) const {
    const TVector3 sight = unit(positionAt(seconds) - place);
    return transposeTimes(rotation_.skyToEarth(jdBegin_ + seconds / kSecondsPerDay), sight);
}

TSimNetworkTruth simulateNetwork(const TSimNetwork& network, const std::string& directory) {
    const TSimFlight& f = network.flight;
    const TSimFlightPath path(f);
    const double duration = path.duration();

    TSimNetworkTruth truth;
    truth.beginPosition = path.positionAt(0);
    truth.direction = path.direction();
    truth.begin = f.begin;
    truth.end = earthFixedToGeodetic(path.positionAt(duration));
    truth.jdBegin = path.jdBegin();
    truth.jdEnd = path.jdBegin() + duration / kSecondsPerDay;
    truth.length = path.distanceAt(duration);
    truth.speed = f.speed;
    truth.deceleration = f.deceleration;
    truth.meanSpeed = truth.length / duration;
    const TSkyPoint radiant = skyPointOf(transposeTimes(TEarthRotation(truth.jdBegin).skyToEarth(truth.jdBegin),
                                                        -path.direction()));
    truth.radiantRa = radiant.ra, truth.radiantDec = radiant.dec;
    horizontalOf(-path.direction(), f.begin, truth.radiantAzimuth, truth.radiantAltitude);

    const TGeodetic ground{f.begin.latitude, f.begin.longitude, 0};
    for (const TSimStation& st : network.stations) {
        const TVector3 at = geodeticToEarthFixed(st.place);
        const double frame = 1.0 / st.fps;
        if (!(st.framePhase >= 0 && st.framePhase < frame) || st.framesBefore < 0)
            refuse(Code::SimMeteorFramesOutside);
        // Frame 0's exposure begins by the station's clock at its local time,
        // to the millisecond of the clip's name.
        const double clockBegin = f.utBegin + (st.clockOffset - st.framesBefore * frame - st.framePhase) / kSecondsPerDay;
        const TDateTime localStart =
            std::round((clockBegin + st.timeZone / 24.0) * kSecondsPerDay * 1000.0) / (kSecondsPerDay * 1000.0);
        const TDateTime utStart = localStart - st.timeZone / 24.0 - st.clockOffset / kSecondsPerDay;
        // The meteor's begin and end in frame times of the recording.
        const double lit = (f.utBegin - utStart) * kSecondsPerDay * st.fps;
        const double out = lit + duration * st.fps;
        TSimMeteor m;
        m.firstFrame = static_cast<int>(std::floor(lit));
        const int lastFrame = static_cast<int>(std::ceil(out)) - 1;
        m.frames = lastFrame - m.firstFrame + 1;
        m.startPhase = lit - m.firstFrame;
        m.endPhase = out - lastFrame;
        m.peakMagnitude = f.peakMagnitude;
        m.lightCurve = f.lightCurve;
        const int points = std::max(2, kPathPointsPerFrame * m.frames + 1);
        for (int k = 0; k < points; ++k)
            m.skyPath.push_back(skyPointOf(path.skyDirectionFrom(at, duration * k / (points - 1))));
        if (m.firstFrame < 0 || lastFrame >= st.frameCount) refuse(Code::SimMeteorFramesOutside);

        TSimSettings s = network.camera;
        s.latitude = st.place.latitude;
        s.longitude = -st.place.longitude;  // west positive
        s.timeZone = st.timeZone;
        s.localStart = localStart;
        s.pointingAzAlt.reset();
        const double middle = 0.5 * duration;
        s.pointingSky = st.pointingAzAlt
                            ? skyPointOf(transposeTimes(TEarthRotation(path.jdBegin()).skyToEarth(path.jdBegin() +
                                                                                                  middle / kSecondsPerDay),
                                                        horizontalDirection(st.place, st.pointingAzAlt->first,
                                                                            st.pointingAzAlt->second)))
                            : skyPointOf(path.skyDirectionFrom(at, middle));
        s.rollDegrees = st.rollDegrees;
        s.mirrored = st.mirrored;
        s.fields = st.fields;
        s.weave = st.weave;
        s.jpegQuality = st.jpegQuality;
        s.fps = st.fps;
        s.frameCount = st.frameCount;
        s.seed = st.seed;
        s.meteors = {m};

        TSimStationTruth station;
        station.name = st.name;
        station.directory = joinPath(directory, st.name);
        station.place = st.place;
        station.rangeBegin = norm(path.positionAt(0) - at);
        station.rangeEnd = norm(path.positionAt(duration) - at);
        station.groundDistance = norm(geodeticToEarthFixed(ground) - geodeticToEarthFixed({st.place.latitude,
                                                                                            st.place.longitude, 0}));
        ensureDirectory(station.directory);
        station.clip = simulateClip(s, station.directory);
        truth.stations.push_back(std::move(station));
    }

    // The plane of a station and the path; the angle between two such planes.
    std::vector<TVector3> normals;
    for (const TSimStationTruth& st : truth.stations)
        normals.push_back(unit(cross(truth.direction, truth.beginPosition - geodeticToEarthFixed(st.place))));
    for (std::size_t i = 0; i < normals.size(); ++i)
        for (std::size_t j = i + 1; j < normals.size(); ++j)
            truth.convergence.push_back(std::acos(std::clamp(std::fabs(dot(normals[i], normals[j])), 0.0, 1.0)) / kDeg);

    const std::string json = networkTruthToJson(truth);
    for (const TSimStationTruth& st : truth.stations) {
        const std::string& clip = st.clip.clipPath;
        writeFileAtomically(clip.substr(0, clip.size() - 4) + ".network.json", json);
    }
    return truth;
}

TConfiguration stationConfiguration(const TSimStation& station, const TSimSettings& camera, TConfiguration base) {
    base.setLatitude(std::fabs(station.place.latitude));
    base.setPole(station.place.latitude < 0);
    base.setLongitude(std::fabs(station.place.longitude));
    base.setHemisphere(station.place.longitude < 0);  // west
    base.setAltitude(station.place.height);
    base.setTimeZone(station.timeZone);
    base.setName(station.name);
    base.setWidthCCD(camera.width);
    base.setHeightCCD(camera.height);
    base.setFocalLength(static_cast<int>(std::lround(camera.focalLength)));
    base.setFrameScale(static_cast<int>(std::lround(camera.frameScale)));
    base.setDoubleFrameHeight(station.fields);
    return base;
}

std::string networkTruthToJson(const TSimNetworkTruth& t) {
    std::string j = "{\n";
    j += "  \"begin\": " + jsonPlace(t.begin) + ", \"jdBegin\": " + jsonNumber(t.jdBegin) + ",\n";
    j += "  \"end\": " + jsonPlace(t.end) + ", \"jdEnd\": " + jsonNumber(t.jdEnd) + ",\n";
    j += "  \"length\": " + jsonNumber(t.length) + ", \"speed\": " + jsonNumber(t.speed) +
         ", \"deceleration\": " + jsonNumber(t.deceleration) + ", \"meanSpeed\": " + jsonNumber(t.meanSpeed) + ",\n";
    j += "  \"radiant\": {\"ra\": " + jsonNumber(t.radiantRa) + ", \"dec\": " + jsonNumber(t.radiantDec) +
         ", \"azimuth\": " + jsonNumber(t.radiantAzimuth) + ", \"altitude\": " + jsonNumber(t.radiantAltitude) + "},\n";
    j += "  \"stations\": [";
    for (std::size_t i = 0; i < t.stations.size(); ++i) {
        const TSimStationTruth& s = t.stations[i];
        j += std::string(i == 0 ? "\n" : ",\n") + "    {\"name\": " + jsonString(s.name) +
             ", \"place\": " + jsonPlace(s.place) + ", \"clip\": " + jsonString(s.clip.clipPath) +
             ", \"rangeBegin\": " + jsonNumber(s.rangeBegin) + ", \"rangeEnd\": " + jsonNumber(s.rangeEnd) +
             ", \"groundDistance\": " + jsonNumber(s.groundDistance) + "}";
    }
    j += "\n  ],\n  \"convergence\": [";
    for (std::size_t i = 0; i < t.convergence.size(); ++i) j += (i == 0 ? "" : ", ") + jsonNumber(t.convergence[i]);
    return j + "]\n}\n";
}

}  // namespace orbis
