// Astrometric accuracy end to end (tests/support/SkyAccuracy.h): every way
// an observer mounts a camera binds and measures the marked pixels.

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>

#include "SkyAccuracy.h"

namespace orbis {
namespace {

using test::Outcome;
using test::runScenario;
using test::Scenario;

TEST(SkyAccuracy, EveryMountingBindsAndMeasuresTheMarkedPixels) {
    const std::vector<Scenario> scenarios = {
        {.name = "fields"},
        {.name = "fields roll 30", .roll = 30},
        {.name = "fields roll 90", .roll = 90},
        {.name = "fields roll 180", .roll = 180},
        {.name = "fields roll 255", .roll = 255},
        {.name = "fields mirrored", .mirrored = true},
        {.name = "fields mirrored roll 120", .roll = 120, .mirrored = true},
        {.name = "fields north pole", .pole = TSkyPoint{10, 85}},
        {.name = "fields distortion", .distortion = 0.003, .x0 = 80, .y0 = 420, .x1 = 560, .y1 = 60},
        {.name = "progressive", .fields = false},
        {.name = "progressive roll 150", .fields = false, .roll = 150},
        {.name = "progressive mirrored", .fields = false, .mirrored = true},
        {.name = "progressive distortion", .fields = false, .roll = 40, .distortion = 0.003, .x0 = 90, .y0 = 80, .x1 = 590, .y1 = 410},
        {.name = "progressive south pole", .fields = false, .pole = TSkyPoint{10, -85}},
    };
    double sum[2] = {0, 0}, worst[2] = {0, 0};
    int count[2] = {0, 0};
    std::string table = "scenario                    bound  start'   end'  centre'\n";
    for (std::size_t i = 0; i < scenarios.size(); ++i) {
        const Scenario& sc = scenarios[i];
        const Outcome o = runScenario(sc, static_cast<int>(i));
        char row[160];
        std::snprintf(row, sizeof row, "%-27s %-5s %6.2f %6.2f %7.2f\n", sc.name.c_str(), o.bound ? "yes" : "NO", o.start, o.end,
                      o.centre);
        table += row;
        EXPECT_TRUE(o.bound) << sc.name << ": " << o.messages;
        if (!o.bound) continue;
        const int g = sc.fields ? 0 : 1;
        sum[g] += o.start + o.end;
        count[g] += 2;
        worst[g] = std::max({worst[g], o.start, o.end});
    }
    std::cout << table;
    ASSERT_GT(count[0], 0);
    ASSERT_GT(count[1], 0);
    // Fields (the default doubling) and progressive frames.
    EXPECT_LE(sum[0] / count[0], 2.5) << table;
    EXPECT_LE(worst[0], 5.0) << table;
    EXPECT_LE(sum[1] / count[1], 2.0) << table;
    EXPECT_LE(worst[1], 5.0) << table;
}

}  // namespace
}  // namespace orbis
