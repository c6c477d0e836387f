#include <gtest/gtest.h>

#include <clocale>
#include <nlohmann/json.hpp>

#include "SimulatedNetwork.h"
#include "network/uTrajectoryReport.h"

namespace orbis {
namespace {

// Under a locale that writes decimal commas (as the window's process runs),
// the file still holds JSON numbers, and they are the solution's.
TEST(TrajectoryReport, JsonIsJsonUnderAnyLocale) {
    test::SimulatedMeteor m;
    std::vector<TEventMeasurement> events{
        test::measure(m, {"a\"1", test::stationAround(m.begin, 200, 50e3)}, 1),
        test::measure(m, {"b", test::stationAround(m.begin, 20, 60e3)}, 2)};
    const TTrajectory t = solveTrajectory(events);
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = before ? before : "C";
    const bool comma = std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const std::string text = trajectoryJson(t);
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma) GTEST_LOG_(INFO) << "no locale with a decimal comma here: checked under C only";

    const nlohmann::json j = nlohmann::json::parse(text);
    EXPECT_EQ(j["stations"][0]["event"], "a\"1");
    EXPECT_NEAR(j["begin"]["heightKm"].get<double>(), t.begin.place.height / 1000, 1e-3);
    EXPECT_NEAR(j["orbit"]["node"].get<double>(), t.orbit->node, 1e-5);
    EXPECT_EQ(j["begin"]["utc"], "2024-08-10T01:12:00.000Z");
    EXPECT_EQ(meteorName(t), "20240810_011200");
}

}  // namespace
}  // namespace orbis
