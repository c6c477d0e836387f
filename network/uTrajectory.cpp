#include "network/uTrajectory.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "astro/matlib.h"

namespace orbis {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kArcsecond = kDegree / 3600;
constexpr double kSecondsPerDay = 86400;
// A station needs this many frames, spanning this arc, to define a plane.
constexpr int kMinFrames = 3;
constexpr double kMinArc = 0.05 * kDegree;

[[noreturn]] void refuse(TDiagnostic diagnostic) { throw ETrajectoryRefused(std::move(diagnostic)); }

bool placeKnown(const TEventMeasurement& e) {
    if (!std::isfinite(e.latitude) || !std::isfinite(e.longitude) || !std::isfinite(e.height)) return false;
    if (e.latitude == 0 && e.longitude == 0) return false;
    return std::fabs(e.latitude) <= 90 && std::fabs(e.longitude) <= 360;
}

struct TSight {
    double jd = 0;
    TVector3 direction;  // Earth-fixed unit
};

struct TStationData {
    const TEventMeasurement* event = nullptr;
    TVector3 position;
    std::vector<TSight> sights;  // in time order
    TVector3 normal;
    double residual = 0;  // radians
};

TStationData stationData(const TEventMeasurement& e) {
    if (!placeKnown(e)) refuse(TDiagnostic(Code::StationPlaceUnknown).with("event", e.event));
    TStationData d;
    d.event = &e;
    d.position = geodeticToEarthFixed({e.latitude, e.longitude, e.height});
    std::vector<const TFrameMeasurement*> frames;
    for (const TFrameMeasurement& f : e.frames)
        if (std::isfinite(f.ra) && std::isfinite(f.dec) && std::isfinite(f.jdUt) && f.jdUt > 0) frames.push_back(&f);
    if (static_cast<int>(frames.size()) < kMinFrames) refuse(TDiagnostic(Code::SightLinesTooFew).with("event", e.event));
    std::stable_sort(frames.begin(), frames.end(), [](auto* a, auto* b) { return a->jdUt < b->jdUt; });

    const TEarthRotation rotation(frames[frames.size() / 2]->jdUt);
    TMatrix3 scatter{};
    for (const TFrameMeasurement* f : frames) {
        const TVector3 u = rotation.skyToEarth(f->jdUt) * directionOf(f->ra, f->dec);
        d.sights.push_back({f->jdUt, u});
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) scatter[i][j] += u[i] * u[j];
    }
    const TVector3 first = d.sights.front().direction, last = d.sights.back().direction;
    if (std::atan2(norm(cross(first, last)), dot(first, last)) < kMinArc)
        refuse(TDiagnostic(Code::SightLinesTooFew).with("event", e.event));
    double smallest = 0;
    d.normal = smallestEigenvector(scatter, &smallest);
    if (dot(cross(first, last), d.normal) < 0) d.normal = -d.normal;
    d.residual = std::sqrt(std::max(0.0, smallest) / static_cast<double>(d.sights.size()));
    return d;
}

// Where a sight line from `from` along `u` passes closest to the line
// point + s dir: s along the line and t along the sight; false when the two
// are parallel.
bool closestApproach(const TVector3& from, const TVector3& u, const TVector3& point, const TVector3& dir, double& s,
                     double& t) {
    const TVector3 w = from - point;
    const double b = dot(u, dir);
    if (1 - b * b < 1e-12) return false;
    s = (dot(dir, w) - b * dot(u, w)) / (1 - b * b);
    t = s * b - dot(u, w);
    return true;
}

// The line closest, in the least-squares sense, to planes through the
// stations with the given normals: its direction is the vector most nearly
// in all planes; its point the one nearest all planes, pinned along the
// line at the stations' mean.
bool lineOfPlanes(std::span<const TVector3> stations, std::span<const TVector3> normals, TVector3& point,
                  TVector3& direction) {
    TMatrix3 nn{};
    for (const TVector3& n : normals)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) nn[i][j] += n[i] * n[j];
    direction = smallestEigenvector(nn);
    TVector3 mean{};
    for (const TVector3& s : stations) mean = mean + (1.0 / static_cast<double>(stations.size())) * s;
    TMatrix3 m = nn;
    TVector3 rhs = dot(direction, mean) * direction;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] += direction[i] * direction[j];
    for (std::size_t k = 0; k < normals.size(); ++k) rhs = rhs + dot(normals[k], stations[k]) * normals[k];
    return solve3(m, rhs, point);
}

double angleBetweenPlanes(const TVector3& a, const TVector3& b) {
    return std::atan2(norm(cross(a, b)), std::fabs(dot(a, b))) / kDegree;
}

struct TAlong {
    double seconds = 0;  // from the station's first frame
    double s = 0;        // metres along the path
};

// The slope of s over time common to all stations, each with its own
// intercept: the stations' clocks may be offset from each other.
std::optional<double> commonSlope(const std::vector<std::vector<TAlong>>& perStation) {
    double sxy = 0, sxx = 0;
    for (const auto& points : perStation) {
        if (points.size() < 2) continue;
        double mt = 0, ms = 0;
        for (const TAlong& p : points) mt += p.seconds, ms += p.s;
        mt /= static_cast<double>(points.size());
        ms /= static_cast<double>(points.size());
        for (const TAlong& p : points) sxy += (p.seconds - mt) * (p.s - ms), sxx += (p.seconds - mt) * (p.seconds - mt);
    }
    if (!(sxx > 0)) return std::nullopt;
    return sxy / sxx;
}

// The frames whose times tell the speed: all but each station's last. The
// meteor may go out during the last exposure, and then that frame's head is
// where it went out while its time is the exposure's end, up to a frame
// late. A station of two frames keeps both.
std::vector<std::vector<TAlong>> timedFrames(const std::vector<std::vector<TAlong>>& along) {
    std::vector<std::vector<TAlong>> timed = along;
    for (auto& points : timed)
        if (points.size() >= 3) points.pop_back();
    return timed;
}

// Each frame's time fitted as t = c_k + alpha x (+ beta x^2) of its distance
// x from the begin, over the frames up to `reach` metres from it (c_k the
// station's own, as its clock may be offset; the distance is common to all
// stations), with the residuals' sum of squares. Stations with fewer than
// three such frames are left out; nothing without enough frames or for a
// fit that does not determine its unknowns.
struct TTimeFit {
    double alpha = 0;  // seconds per km
    double sumOfSquares = 0;
    int rows = 0, unknowns = 0;
};

std::optional<TTimeFit> fitTimes(const std::vector<std::vector<TAlong>>& along, double sBegin, double reach,
                                 bool quadratic) {
    std::vector<std::vector<TAlong>> used;
    for (const auto& points : along) {
        std::vector<TAlong> near;
        for (const TAlong& p : points)
            if (p.s - sBegin <= reach) near.push_back(p);
        if (near.size() >= 3) used.push_back(std::move(near));
    }
    const int stations = static_cast<int>(used.size());
    TTimeFit fit;
    fit.unknowns = stations + (quadratic ? 2 : 1);
    for (const auto& points : used) fit.rows += static_cast<int>(points.size());
    if (stations == 0 || fit.rows < stations + 5) return std::nullopt;
    std::vector<std::vector<double>> a;
    for (int k = 0; k < stations; ++k)
        for (const TAlong& p : used[static_cast<std::size_t>(k)]) {
            std::vector<double> row(static_cast<std::size_t>(fit.unknowns) + 1, 0.0);
            const double x = (p.s - sBegin) / 1000;  // km keeps the columns alike
            row[static_cast<std::size_t>(k)] = 1;
            row[static_cast<std::size_t>(stations)] = x;
            if (quadratic) row[static_cast<std::size_t>(stations) + 1] = x * x;
            row[static_cast<std::size_t>(fit.unknowns)] = p.seconds;
            a.push_back(std::move(row));
        }
    try {
        const std::vector<double> c = LSQFIT(a, fit.rows, fit.unknowns);
        fit.alpha = c[static_cast<std::size_t>(stations)];
        for (const auto& row : a) {
            double r = row[static_cast<std::size_t>(fit.unknowns)];
            for (int u = 0; u < fit.unknowns; ++u) r -= c[static_cast<std::size_t>(u)] * row[static_cast<std::size_t>(u)];
            fit.sumOfSquares += r * r;
        }
        return fit;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The speed at the begin point. A meteor that measurably slows down over its
// path (the fit of the times with a square term explains them better than
// the straight one: F above 4, the square term at about two sigma) is taken
// from the fit over the path's first half, 1 / alpha, so it is not taken at
// its mean speed; one that does not is taken at its mean speed, which all
// its frames measure far better than half of them do a curve.
std::optional<double> initialSpeed(const std::vector<std::vector<TAlong>>& along, double sBegin, double length,
                                   double meanSpeed) {
    constexpr double kDecelerationF = 4;
    const std::vector<std::vector<TAlong>> timed = timedFrames(along);
    const auto curved = fitTimes(timed, sBegin, INFINITY, true);
    const auto straight = fitTimes(timed, sBegin, INFINITY, false);
    if (curved && straight && curved->rows > curved->unknowns) {
        const double variance = curved->sumOfSquares / (curved->rows - curved->unknowns);
        if (!(straight->sumOfSquares - curved->sumOfSquares > kDecelerationF * variance)) return meanSpeed;
    }
    const auto early = fitTimes(timed, sBegin, length / 2, true);
    if (!early || !(early->alpha > 0)) return std::nullopt;
    return 1000 / early->alpha;
}

void checkHeight(const TGeodetic& place, const TTrajectoryLimits& limits) {
    if (place.height < 0 || place.height > limits.maxHeight)
        refuse(TDiagnostic(Code::PathOutsideAtmosphere).with("height", place.height / 1000, 0));
}

}  // namespace

TTrajectory solveTrajectory(std::span<const TEventMeasurement> events, const TTrajectoryLimits& limits) {
    if (events.size() < 2) refuse(TDiagnostic(Code::TwoStationsNeeded));
    std::vector<TStationData> data;
    for (const TEventMeasurement& e : events) data.push_back(stationData(e));

    // Every station must share part of its time with another one.
    const double tolerance = limits.timeTolerance / kSecondsPerDay;
    for (std::size_t i = 0; i < data.size(); ++i) {
        bool overlaps = false;
        for (std::size_t j = 0; j < data.size() && !overlaps; ++j)
            overlaps = j != i && data[i].sights.front().jd <= data[j].sights.back().jd + tolerance &&
                       data[j].sights.front().jd <= data[i].sights.back().jd + tolerance;
        if (!overlaps) refuse(TDiagnostic(Code::StationTimesApart).with("event", data[i].event->event));
    }

    TTrajectory result;
    for (std::size_t i = 0; i < data.size(); ++i)
        for (std::size_t j = i + 1; j < data.size(); ++j) {
            const double angle = angleBetweenPlanes(data[i].normal, data[j].normal);
            result.convergence.push_back({static_cast<int>(i), static_cast<int>(j), angle});
            result.bestConvergence = std::max(result.bestConvergence, angle);
        }
    if (result.bestConvergence < limits.minConvergence)
        refuse(TDiagnostic(Code::PlanesConvergeTooLittle).with("angle", result.bestConvergence, 1));

    std::vector<TVector3> stations, normals;
    for (const TStationData& d : data) stations.push_back(d.position), normals.push_back(d.normal);
    TVector3 point{}, direction{};
    if (!lineOfPlanes(stations, normals, point, direction))
        refuse(TDiagnostic(Code::PlanesConvergeTooLittle).with("angle", result.bestConvergence, 1));

    // Every sight line brought onto the path.
    std::vector<std::vector<TAlong>> along(data.size());
    for (std::size_t k = 0; k < data.size(); ++k) {
        int behind = 0;
        for (const TSight& sight : data[k].sights) {
            double s = 0, t = 0;
            if (!closestApproach(data[k].position, sight.direction, point, direction, s, t)) continue;
            if (t <= 0) ++behind;
            along[k].push_back({(sight.jd - data[k].sights.front().jd) * kSecondsPerDay, s});
        }
        if (along[k].size() < 2 || behind * 2 > static_cast<int>(data[k].sights.size()))
            refuse(TDiagnostic(Code::PathBehindStation).with("event", data[k].event->event));
    }
    // The direction of flight: the way the points move in time.
    const std::optional<double> slope = commonSlope(along);
    if (!slope || *slope == 0) refuse(TDiagnostic(Code::SightLinesTooFew).with("event", data[0].event->event));
    if (*slope < 0) {
        direction = -direction;
        for (auto& points : along)
            for (TAlong& p : points) p.s = -p.s;
    }
    result.meanSpeed = std::fabs(commonSlope(timedFrames(along)).value_or(*slope));

    double sBegin = along[0].front().s, sEnd = along[0].back().s;
    std::size_t beginStation = 0, endStation = 0;
    for (std::size_t k = 0; k < data.size(); ++k) {
        if (along[k].front().s < sBegin) sBegin = along[k].front().s, beginStation = k;
        if (along[k].back().s > sEnd) sEnd = along[k].back().s, endStation = k;
    }
    auto pointAt = [&](double s, double jd) {
        TTrajectoryPoint p;
        p.place = earthFixedToGeodetic(point + s * direction);
        p.jdUtc = jd;
        p.distance = s - sBegin;
        checkHeight(p.place, limits);
        return p;
    };
    for (std::size_t k = 0; k < data.size(); ++k) {
        const TStationData& d = data[k];
        TStationTrack track;
        track.event = d.event->event;
        track.camera = d.event->camera;
        track.place = {d.event->latitude, d.event->longitude, d.event->height};
        track.planeNormal = d.normal;
        track.planeResidual = d.residual / kArcsecond;
        track.frames = static_cast<int>(d.sights.size());
        track.firstJdUtc = d.sights.front().jd;
        track.lastJdUtc = d.sights.back().jd;
        track.begin = pointAt(along[k].front().s, track.firstJdUtc);
        track.end = pointAt(along[k].back().s, track.lastJdUtc);
        track.rangeBegin = norm(point + along[k].front().s * direction - d.position);
        result.stations.push_back(track);
    }
    result.begin = result.stations[beginStation].begin;
    result.end = result.stations[endStation].end;
    result.length = sEnd - sBegin;
    result.beginPosition = point + sBegin * direction;
    result.direction = direction;

    result.initialSpeed = initialSpeed(along, sBegin, result.length, result.meanSpeed).value_or(result.meanSpeed);

    const TVector3 radiant = -direction;
    const TMatrix3 toEarth = TEarthRotation(result.begin.jdUtc).skyToEarth(result.begin.jdUtc);
    raDecOf(transposeTimes(toEarth, radiant), result.apparentRa, result.apparentDec);
    horizontalOf(radiant, result.begin.place, result.apparentAzimuth, result.apparentAltitude);

    result.geocentric = geocentricRadiant(result.beginPosition, result.initialSpeed * direction, result.begin.jdUtc);
    if (result.geocentric)
        result.orbit = heliocentricOrbit(result.geocentric->ra, result.geocentric->dec, result.geocentric->speed,
                                         result.begin.jdUtc);
    return result;
}

TSightPlane sightPlane(const TEventMeasurement& event) {
    const TStationData d = stationData(event);
    return {d.position, d.normal, d.sights[d.sights.size() / 2].direction};
}

std::optional<THeightSpan> meetingHeights(const TSightPlane& a, const TSightPlane& b) {
    if (angleBetweenPlanes(a.normal, b.normal) < 0.5) return std::nullopt;
    const TVector3 stations[] = {a.station, b.station};
    const TVector3 normals[] = {a.normal, b.normal};
    TVector3 point{}, direction{};
    if (!lineOfPlanes(stations, normals, point, direction)) return std::nullopt;
    double heights[2];
    const TSightPlane* planes[] = {&a, &b};
    for (int k = 0; k < 2; ++k) {
        double s = 0, t = 0;
        if (!closestApproach(planes[k]->station, planes[k]->middleSight, point, direction, s, t) || t <= 0)
            return std::nullopt;
        heights[k] = earthFixedToGeodetic(point + s * direction).height;
    }
    return THeightSpan{std::min(heights[0], heights[1]), std::max(heights[0], heights[1])};
}

}  // namespace orbis
