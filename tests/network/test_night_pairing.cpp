#include <gtest/gtest.h>

#include "SimulatedNetwork.h"
#include "network/uNightPairing.h"

namespace orbis {
namespace {

using test::measure;
using test::SimulatedMeteor;
using test::stationAround;

TEST(NightPairing, GroupsTheSameMeteorsAndSolvesThem) {
    const TGeodetic ground{45.0, 10.0, 0};
    const TGeodetic placeA = stationAround(ground, 200, 50e3), placeB = stationAround(ground, 20, 60e3);
    SimulatedMeteor first, second, elsewhere, onlyA;
    first.jdBegin = 2460532.5 + 1.0 / 24;
    second.jdBegin = first.jdBegin + 600 / 86400.0, second.radiantAzimuth = 250;
    // At the same second as `second`, 150 km away: seen by B only, but its
    // plane crosses A's: the pairing must not take it for `second`.
    elsewhere.jdBegin = second.jdBegin + 0.1 / 86400, elsewhere.begin.latitude += 1.0, elsewhere.radiantAzimuth = 10;
    onlyA.jdBegin = first.jdBegin + 1200 / 86400.0;

    TStationNight a{"A", {}}, b{"B", {}};
    a.events.push_back(measure(onlyA, {"A3", placeA}, 1));
    a.events.push_back(measure(first, {"A1", placeA, 0.3}, 2));
    a.events.push_back(measure(second, {"A2", placeA, -0.4}, 3));
    b.events.push_back(measure(second, {"B2", placeB}, 4));
    b.events.push_back(measure(elsewhere, {"B9", placeB}, 5));
    b.events.push_back(measure(first, {"B1", placeB}, 6));
    TEventMeasurement nowhere = measure(first, {"B0", placeB}, 7);
    nowhere.latitude = nowhere.longitude = 0;
    b.events.push_back(nowhere);

    const auto crossing = meetingHeights(sightPlane(a.events[2]), sightPlane(b.events[1]));
    EXPECT_TRUE(!crossing || crossing->low < 70e3 || crossing->high > 130e3);

    const std::vector<TStationNight> nights{a, b};
    const auto groups = sameMeteors(nights);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0], (std::vector<TEventRef>{{0, 1}, {1, 2}}));
    EXPECT_EQ(groups[1], (std::vector<TEventRef>{{0, 2}, {1, 0}}));

    const auto meteors = solveNights(nights);
    ASSERT_EQ(meteors.size(), 2u);
    EXPECT_EQ(meteors[1].events, (std::vector<std::string>{"A/A2", "B/B2"}));
    for (const TNightMeteor& m : meteors) {
        ASSERT_TRUE(m.trajectory) << m.refusal.plain();
        EXPECT_NEAR(m.trajectory->begin.place.height, 100e3, 800);
    }
    const std::string table = nightTable(meteors);
    EXPECT_NE(table.find("A/A1,B/B1"), std::string::npos) << table;
}

}  // namespace
}  // namespace orbis
