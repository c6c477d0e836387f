// Benchmarks of the foundation's hot paths: reading pipe records and numbers
// (every work file and catalog goes through them).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "astro/uUniUtils.h"

namespace {

std::vector<std::string> catalogLines(int n) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) {
        lines.push_back(std::to_string(i * 0.7) + "|" + std::to_string(-45.0 + i * 0.01) + "|" +
                        std::to_string(1.0 + i % 50 * 0.1) + "|Star " + std::to_string(i) + "|A0V");
    }
    return lines;
}

void BM_ParseCatalogRecords(benchmark::State& state) {
    const auto lines = catalogLines(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        double sum = 0;
        for (const auto& line : lines) {
            const auto f = orbis::splitFields(line, "|");
            sum += orbis::parseFloat(f[0]) + orbis::parseFloat(f[1]) + orbis::parseFloat(f[2]);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseCatalogRecords)->Arg(1628);

}  // namespace
