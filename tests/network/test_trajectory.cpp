#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SimulatedNetwork.h"
#include "network/uTrajectory.h"

namespace orbis {
namespace {

using test::measure;
using test::SimulatedMeteor;
using test::SimulatedStation;
using test::stationAround;

double angleDeg(const TVector3& a, const TVector3& b) {
    return std::atan2(norm(cross(a, b)), dot(a, b)) * 180 / 3.14159265358979323846;
}

// The planes' angle of two stations from the true path.
double trueConvergence(const SimulatedMeteor& m, const TGeodetic& a, const TGeodetic& b) {
    const TVector3 p0 = m.positionAt(0), p1 = m.positionAt(m.duration());
    auto normal = [&](const TGeodetic& s) {
        const TVector3 at = geodeticToEarthFixed(s);
        return unit(cross(p0 - at, p1 - at));
    };
    const TVector3 na = normal(a), nb = normal(b);
    return std::atan2(norm(cross(na, nb)), std::fabs(dot(na, nb))) * 180 / 3.14159265358979323846;
}

struct NetworkCase {
    const char* name;
    SimulatedMeteor meteor;
    std::vector<SimulatedStation> stations;
};

void expectMatchesTruth(const NetworkCase& c, const TTrajectory& t) {
    SCOPED_TRACE(c.name);
    const SimulatedMeteor& m = c.meteor;
    const double endHeight = earthFixedToGeodetic(m.positionAt(m.duration())).height;
    EXPECT_NEAR(t.begin.place.height, m.begin.height, 500);
    EXPECT_NEAR(t.end.place.height, endHeight, 500);
    EXPECT_LT(angleDeg(t.direction, m.direction()), 0.5);
    EXPECT_NEAR(t.apparentAltitude, m.radiantAltitude, 0.5);
    EXPECT_NEAR(t.initialSpeed, m.speed, 0.02 * m.speed);
    EXPECT_NEAR(t.meanSpeed, m.distanceAt(m.duration()) / m.duration(), 0.02 * m.speed);
    EXPECT_NEAR(t.length, m.distanceAt(m.duration()), 1000);
    ASSERT_EQ(t.stations.size(), c.stations.size());
    // Every station sees the whole path: its own begin agrees with the truth.
    for (const TStationTrack& s : t.stations) EXPECT_NEAR(s.begin.place.height, m.begin.height, 500) << s.event;
    for (const TConvergence& q : t.convergence)
        EXPECT_NEAR(q.angle, trueConvergence(m, c.stations[q.first].place, c.stations[q.second].place), 0.5);

    // The orbit, against the truth through the same formulas.
    const auto truth = geocentricRadiant(geodeticToEarthFixed(m.begin), m.speed * m.direction(), m.jdBegin);
    ASSERT_TRUE(truth && t.geocentric && t.orbit);
    EXPECT_LT(angleDeg(directionOf(t.geocentric->ra, t.geocentric->dec), directionOf(truth->ra, truth->dec)), 0.6);
    EXPECT_NEAR(t.geocentric->speed, truth->speed, 0.03 * truth->speed);
    const TOrbitElements o = heliocentricOrbit(truth->ra, truth->dec, truth->speed, m.jdBegin);
    EXPECT_NEAR(t.orbit->i, o.i, 1.5);
    EXPECT_NEAR(t.orbit->node, o.node, 0.01);
    EXPECT_NEAR(t.orbit->q, o.q, 0.02);
}

std::vector<TEventMeasurement> measureAll(const NetworkCase& c) {
    std::vector<TEventMeasurement> events;
    unsigned seed = 7;
    for (const SimulatedStation& s : c.stations) events.push_back(measure(c.meteor, s, seed++));
    return events;
}

TEST(Trajectory, SimulatedNetworksMatchTheTruth) {
    SimulatedMeteor steep;  // 30 km/s from the east, 45° high
    SimulatedMeteor grazing;
    grazing.radiantAzimuth = 200, grazing.radiantAltitude = 20, grazing.speed = 15e3, grazing.begin.height = 95e3;
    grazing.endHeight = 75e3;
    SimulatedMeteor slowing = steep;  // loses a fifth of its speed
    slowing.speed = 20e3, slowing.deceleration = 2.5e3, slowing.radiantAzimuth = 330, slowing.endHeight = 80e3;
    const TGeodetic ground = steep.begin;
    const TGeodetic underGrazing = stationAround(ground, 20, 30e3);  // below the middle of the grazing path
    const std::vector<NetworkCase> cases = {
        {"two stations 80 km apart",
         steep,
         {{"A", stationAround(ground, 180, 40e3), 0.0, 0.013},
          {"B", stationAround(ground, 0, 40e3), 0.35, 0.021}}},
        {"two stations 30 km apart, grazing meteor",
         grazing,
         {{"A", stationAround(underGrazing, 290, 15e3), -0.2, 0.0},
          {"B", stationAround(underGrazing, 110, 15e3), 0.1, 0.03}}},
        {"three stations up to 150 km apart, decelerating",
         slowing,
         {{"A", stationAround(ground, 120, 70e3), 0.0, 0.0},
          {"B", stationAround(ground, 240, 70e3), 0.4, 0.017},
          {"C", stationAround(ground, 0, 60e3), -0.3, 0.031}}},
    };
    for (const NetworkCase& c : cases) {
        const std::vector<TEventMeasurement> events = measureAll(c);
        const TTrajectory t = solveTrajectory(events);
        ASSERT_GE(t.bestConvergence, 20) << c.name;
        expectMatchesTruth(c, t);
    }
}

TEST(Trajectory, SpeedsComeFromTheFramesWhoseTimesAreKnown) {
    const SimulatedMeteor m;  // steady, 30 km/s
    const TGeodetic ground = m.begin;
    // Heads as coarse as whole pixels of the default lens (some 75").
    const NetworkCase c{"steady",
                        m,
                        {{"A", stationAround(ground, 180, 40e3), 0.0, 0.013, 75},
                         {"B", stationAround(ground, 0, 40e3), 0.0, 0.031, 75}}};
    std::vector<TEventMeasurement> events = measureAll(c);
    // The meteor goes out during each station's next exposure: that frame
    // shows where it went out, timed at the exposure's end.
    const double jdOut = m.jdBegin + m.duration() / 86400;
    for (std::size_t k = 0; k < events.size(); ++k) {
        TFrameMeasurement last = events[k].frames.back();
        last.frame += 1;
        last.jdUt += 1 / c.stations[k].framesPerSecond / 86400;
        const TVector3 sight = unit(m.positionAt(m.duration()) - geodeticToEarthFixed(c.stations[k].place));
        raDecOf(transposeTimes(TEarthRotation(m.jdBegin).skyToEarth(jdOut), sight), last.ra, last.dec);
        events[k].frames.push_back(last);
    }
    const TTrajectory t = solveTrajectory(events);
    // No deceleration to be seen: the initial speed is the mean speed of
    // the frames, not a curve fitted to half of them.
    EXPECT_EQ(t.initialSpeed, t.meanSpeed);
    EXPECT_NEAR(t.meanSpeed, m.speed, 0.001 * m.speed);
    EXPECT_NEAR(t.end.place.height, m.endHeight, 300);
}

TEST(Trajectory, RefusesWhatItCannotTrust) {
    SimulatedMeteor m;
    m.radiantAzimuth = 180;  // flying north, along the stations' meridian
    const TGeodetic ground = m.begin;
    NetworkCase base{"base", m,
                     {{"A", stationAround(ground, 180, 60e3)}, {"B", stationAround(ground, 180, 120e3)}}};
    auto refusal = [](std::vector<TEventMeasurement> events) {
        try {
            solveTrajectory(events);
        } catch (const ETrajectoryRefused& e) {
            return e.diagnostic().code();
        }
        return Code::Unworded;
    };
    // Both stations in the plane of the path: the planes are one.
    EXPECT_EQ(refusal(measureAll(base)), Code::PlanesConvergeTooLittle);

    base.stations[1].place = stationAround(ground, 90, 60e3);
    ASSERT_EQ(refusal(measureAll(base)), Code::Unworded);  // the sound pair the cases below spoil

    auto apart = measureAll(base);
    for (TFrameMeasurement& f : apart[1].frames) f.jdUt += 5.0 / 86400;
    EXPECT_EQ(refusal(apart), Code::StationTimesApart);

    for (double lat : {0.0, std::numeric_limits<double>::quiet_NaN()}) {
        auto nowhere = measureAll(base);
        nowhere[0].latitude = lat;
        if (lat == 0) nowhere[0].longitude = 0;
        EXPECT_EQ(refusal(nowhere), Code::StationPlaceUnknown);
    }
    auto blank = measureAll(base);
    blank[1].frames.resize(2);
    EXPECT_EQ(refusal(blank), Code::SightLinesTooFew);
    EXPECT_EQ(refusal({blank[0]}), Code::TwoStationsNeeded);

    // Sight lines of a "meteor" 260 km high.
    NetworkCase high = base;
    high.meteor.begin.height = 260e3, high.meteor.endHeight = 230e3;
    EXPECT_EQ(refusal(measureAll(high)), Code::PathOutsideAtmosphere);

    // One station's sight lines turned to the other side of its zenith: the
    // planes meet behind it or below the ground.
    auto mirrored = measureAll(base);
    for (TFrameMeasurement& f : mirrored[0].frames) f.ra += 180, f.dec = -f.dec;
    const Code c = refusal(mirrored);
    EXPECT_TRUE(c == Code::PathBehindStation || c == Code::PathOutsideAtmosphere) << codeName(c);
}

}  // namespace
}  // namespace orbis
