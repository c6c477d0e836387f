#pragma once
// The meteor's straight path through the atmosphere from two or more
// stations' measurements of the same meteor (intersecting planes): each
// station's sight lines span a plane through the station; the planes meet
// in the path (for more than two stations, the line closest to all planes
// in the least-squares sense). The first and last sight lines of each
// station, brought onto the path, give its begin and end; the frames' times
// along the path give the speed; the path's direction the radiant and, with
// the Earth's rotation and attraction, the orbit.
//
// A solution that cannot be trusted is refused with a diagnostic and no
// figures: planes meeting at under 3°, stations whose times do not overlap,
// a station without its place, a path below the ground or above 200 km.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uEarthFrame.h"
#include "network/uMeteorOrbit.h"
#include "reports/uEventMeasurement.h"

namespace orbis {

// A trajectory the measurements do not support; diagnostic() says why.
class ETrajectoryRefused : public Exception {
public:
    using Exception::Exception;
};

struct TTrajectoryLimits {
    double minConvergence = 3;     // degrees: the widest angle between two stations' planes must reach it
    double timeTolerance = 2.0;    // seconds: the stations' clocks may differ by this much
    double maxHeight = 200e3;      // metres
};

struct TTrajectoryPoint {
    TGeodetic place;
    double jdUtc = 0;      // the time of the station's frame it comes from
    double distance = 0;   // metres along the path from the begin point
};

struct TStationTrack {
    std::string event, camera;
    TGeodetic place;
    TVector3 planeNormal;      // Earth-fixed, unit
    double planeResidual = 0;  // arcseconds: RMS of the sight lines' distances from the plane
    int frames = 0;
    double firstJdUtc = 0, lastJdUtc = 0;
    TTrajectoryPoint begin, end;  // this station's first and last sight lines on the path
    double rangeBegin = 0;        // metres from the station to its begin point
};

struct TConvergence {
    int first = 0, second = 0;  // indices of the stations
    double angle = 0;           // degrees, 0..90
};

struct TTrajectory {
    std::vector<TStationTrack> stations;
    std::vector<TConvergence> convergence;
    double bestConvergence = 0;  // degrees
    TTrajectoryPoint begin, end;  // the highest begin and the lowest end of all stations
    double length = 0;            // metres
    double meanSpeed = 0;         // m/s, over all frames
    double initialSpeed = 0;      // m/s, at the begin, from the path's first half
    double apparentRa = 0, apparentDec = 0;  // degrees, J2000: where the meteor comes from, seen from the ground
    double apparentAzimuth = 0, apparentAltitude = 0;  // degrees, at the begin point (azimuth from north through east)
    TVector3 beginPosition, direction;  // Earth-fixed, metres; the unit direction of flight
    std::optional<TGeocentricRadiant> geocentric;  // nothing below the escape speed
    std::optional<TOrbitElements> orbit;
};

// Raises ETrajectoryRefused for measurements that give no trustworthy path.
TTrajectory solveTrajectory(std::span<const TEventMeasurement> events, const TTrajectoryLimits& limits = {});

// The plane of one station's sight lines (Earth-fixed unit normal) and the
// station's Earth-fixed place; for pairing events before solving them.
struct TSightPlane {
    TVector3 station;
    TVector3 normal;
    TVector3 middleSight;  // the sight line of the middle frame, Earth-fixed unit
};
// Raises ETrajectoryRefused when the event has no place or too few frames.
TSightPlane sightPlane(const TEventMeasurement& event);

// The heights (metres) where the middle sight lines of two stations pass the
// line where their planes cross, the lower and the higher; nothing for
// planes that are parallel or meet behind a station.
struct THeightSpan {
    double low = 0, high = 0;
};
std::optional<THeightSpan> meetingHeights(const TSightPlane& a, const TSightPlane& b);

}  // namespace orbis
