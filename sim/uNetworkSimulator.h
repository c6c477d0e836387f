#pragma once
// A network of stations watching one meteor: the meteor flies a straight
// line through the atmosphere (begin point, speed, constant deceleration,
// radiant) and every station's camera records it from its own place, with
// its own pointing, roll, frame rate and clock. Each station's recording is
// rendered by the sky simulator with the meteor moved along the sky path the
// true geometry gives from that place (foreshortened: not at even angular
// speed), frame by frame at the station's own times, so the whole station
// pipeline and the trajectory solver can be checked against the truth.
//
// Geometry in the Earth-fixed frame of astro/uEarthFrame (WGS84, metres);
// directions turned to the sky's J2000 axes with ERFA as the solver turns
// them back. Light time (under a millisecond) and refraction are left out.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "astro/uDateTime.h"
#include "astro/uEarthFrame.h"
#include "sim/uSkySimulator.h"

namespace orbis {

class TConfiguration;

struct TSimFlight {
    TGeodetic begin{45.0, 10.0, 100e3};  // where it lights up
    double endHeight = 70e3;             // metres: where it goes out
    double speed = 30e3;                 // m/s at the begin
    double deceleration = 0;             // m/s^2, constant
    // Where it comes from: azimuth (from north through east) and altitude
    // seen at the begin point, or J2000 right ascension and declination.
    // Exactly one must be given.
    std::optional<std::pair<double, double>> radiantAzAlt;
    std::optional<TSkyPoint> radiantSky;
    TDateTime utBegin = 0;  // when it lights up
    double peakMagnitude = 0;
    TSimLightCurve lightCurve = TSimLightCurve::Symmetric;
};

struct TSimStation {
    std::string name;  // its directory under the network's, and its camera's name
    TGeodetic place;
    double timeZone = 0;  // its local time = its clock's UT + timeZone hours
    // The camera's axis: azimuth (from north through east) and altitude;
    // none: at the meteor's middle point as the station sees it.
    std::optional<std::pair<double, double>> pointingAzAlt;
    double rollDegrees = 0;
    bool mirrored = false;
    bool fields = false;  // frames of every other picture row (the station doubles them)
    TSimWeave weave = TSimWeave::None;
    int jpegQuality = 0;
    int fps = 25;
    // Seconds from the beginning of the exposure in which the meteor lights
    // up to its lighting up (0 <= framePhase < 1 / fps), and seconds the
    // station's clock is ahead of UT.
    double framePhase = 0;
    double clockOffset = 0;
    int framesBefore = 25;  // whole frames of the recording before that exposure
    int frameCount = 60;
    uint32_t seed = 1;
};

struct TSimNetwork {
    TSimFlight flight;
    std::vector<TSimStation> stations;
    // The cameras' picture, lens, sky, noise and catalog (its place, time,
    // pointing and meteors are the network's).
    TSimSettings camera;
};

// The meteor's straight path and its motion along it.
class TSimFlightPath {
public:
    // Raises EInvalidArgument for a radiant given neither or both ways, or a
    // flight that never comes down to its end height (climbing, stopping).
    explicit TSimFlightPath(const TSimFlight& flight);

    TVector3 direction() const { return direction_; }  // of flight, Earth-fixed unit
    TVector3 positionAt(double seconds) const;         // Earth-fixed, seconds after the begin
    double distanceAt(double seconds) const;           // metres along the path
    double duration() const { return duration_; }      // seconds from the begin to the end height
    double jdBegin() const { return jdBegin_; }        // UTC Julian date of the begin
    // J2000 unit direction from an Earth-fixed place to the meteor at a time.
    TVector3 skyDirectionFrom(const TVector3& place, double seconds) const;

private:
    TSimFlight flight_;
    TVector3 begin_, direction_;
    double duration_ = 0, jdBegin_ = 0;
    TEarthRotation rotation_;
};

struct TSimStationTruth {
    std::string name, directory;  // the station directory
    TGeodetic place;
    TSimTruth clip;               // the recording and the meteor's pixels on it
    double rangeBegin = 0, rangeEnd = 0;  // metres from the station to the begin and end points
    double groundDistance = 0;    // metres from the begin point's ground point
};

struct TSimNetworkTruth {
    TGeodetic begin, end;
    double jdBegin = 0, jdEnd = 0;  // UTC Julian dates
    double length = 0;              // metres
    double speed = 0, deceleration = 0, meanSpeed = 0;  // m/s, m/s^2
    TVector3 beginPosition, direction;  // Earth-fixed
    // Where it comes from: J2000 at the begin's time, and azimuth (north
    // through east) and altitude at the begin point.
    double radiantRa = 0, radiantDec = 0, radiantAzimuth = 0, radiantAltitude = 0;
    std::vector<TSimStationTruth> stations;
    // The angle (0..90 degrees) between the planes the path makes with each
    // pair of stations, in the order (0,1), (0,2), ... (1,2), ...
    std::vector<double> convergence;
};

// Renders every station's recording as <directory>/<name>/<yyyymmdd>/
// <hhnnss_zzz>.avi (its local time of frame 0) with the sky simulator's
// truth beside it and <hhnnss_zzz>.network.json, the meteor's true path.
// Raises EInvalidArgument for a flight or station the recording cannot show
// (the meteor outside its frames or behind its camera) and what
// simulateClip raises.
TSimNetworkTruth simulateNetwork(const TSimNetwork& network, const std::string& directory);

// The station's settings for processing its recording: `base` with the
// station's place, time zone, camera name and the picture and lens the
// recording was made with.
TConfiguration stationConfiguration(const TSimStation& station, const TSimSettings& camera, TConfiguration base);

// The meteor's true path as JSON: begin, end, speed, radiant, stations.
std::string networkTruthToJson(const TSimNetworkTruth& truth);

}  // namespace orbis
