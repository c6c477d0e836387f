// A night of 50 meteors seen by two stations: pairing the two nights' events
// and solving every pair (paths, speeds, radiants, orbits).

#include <benchmark/benchmark.h>

#include "SimulatedNetwork.h"
#include "network/uNightPairing.h"

namespace {

using namespace orbis;

std::vector<TStationNight> fiftyMeteors() {
    const TGeodetic ground{45.0, 10.0, 0};
    TStationNight a{"A/20240810", {}}, b{"B/20240810", {}};
    for (int i = 0; i < 50; ++i) {
        test::SimulatedMeteor m;
        m.jdBegin = 2460532.5 + (i * 500.0) / 86400;  // one every 500 s
        m.radiantAzimuth = (i * 37) % 360;
        m.speed = 15e3 + (i % 10) * 5e3;
        const std::string name = std::to_string(i);
        a.events.push_back(test::measure(m, {"a" + name, test::stationAround(ground, 200, 50e3)}, 2 * i));
        b.events.push_back(test::measure(m, {"b" + name, test::stationAround(ground, 20, 60e3)}, 2 * i + 1));
    }
    return {a, b};
}

void BM_NightOfFiftyPairedMeteors(benchmark::State& state) {
    const std::vector<TStationNight> nights = fiftyMeteors();
    std::size_t solved = 0;
    for (auto _ : state) {
        const std::vector<TNightMeteor> meteors = solveNights(nights);
        solved = 0;
        for (const TNightMeteor& m : meteors) solved += m.trajectory ? 1 : 0;
        benchmark::DoNotOptimize(solved);
    }
    state.counters["solved"] = static_cast<double>(solved);
}
BENCHMARK(BM_NightOfFiftyPairedMeteors)->Unit(benchmark::kMillisecond);

}  // namespace
