#pragma once
// matchTriangles straight from the rules, the reference the windowed matching
// is held to (tests) and measured against (benchmarks).

#include <algorithm>
#include <cmath>
#include <vector>

#include "astrometry/uPatternMatching.h"

namespace orbis::test {

// Every photo triangle against every catalog triangle, groups kept whole,
// the drops done one rule at a time.
inline void allPairsMatch(const std::vector<TTriangle>& tc, const std::vector<TStarPoint>& cs, const std::vector<TTriangle>& tp, std::vector<TStarPoint>& ps, double eps) {
    std::vector<std::pair<double, int>> bins;
    std::vector<std::pair<std::size_t, std::vector<std::size_t>>> groups;  // u, its v
    int same = 0, opposite = 0;
    auto bin = [&](std::size_t u, std::size_t v) {
        return eps * std::nearbyint((tp[u].LogPerimeter - tc[v].LogPerimeter) / eps);
    };
    for (std::size_t u = 0; u < tp.size(); ++u)
        for (std::size_t v = 0; v < tc.size(); ++v) {
            const double dr = tp[u].Ratio - tc[v].Ratio, dc = tp[u].Cosine - tc[v].Cosine;
            if (!(dr * dr < tp[u].RatioTolerance2 + tc[v].RatioTolerance2 &&
                  dc * dc < tp[u].CosineTolerance2 + tc[v].CosineTolerance2))
                continue;
            auto b = std::ranges::find_if(bins, [&](auto& x) { return std::fabs(x.first - bin(u, v)) <= 1e-7; });
            if (b == bins.end()) bins.emplace_back(bin(u, v), 1);
            else ++b->second;
            ++(tp[u].Sense == tc[v].Sense ? same : opposite);
            if (groups.empty() || groups.back().first != u) groups.push_back({u, {}});
            groups.back().second.push_back(v);
        }
    if (groups.empty()) return;
    auto w = bins.begin();
    for (auto b = bins.begin(); b != bins.end(); ++b)
        if (b->second > w->second) w = b;
    for (auto& [u, vs] : groups) {
        std::erase_if(vs, [&](std::size_t v) { return std::fabs(bin(u, v) - w->first) > 1e-7; });
        std::erase_if(vs, [&](std::size_t v) { return (tc[v].Sense != tp[u].Sense) == (opposite < same); });
        if (vs.empty()) continue;
        const TTriangle &a = tp[u], &q = tc[vs.front()];
        for (auto [pu, pq] : {std::pair{a.Vertex1, q.Vertex1}, {a.Vertex2, q.Vertex2}, {a.Vertex3, q.Vertex3}}) {
            const TStarPoint vertex = ps[pu];
            for (TStarPoint& e : ps)
                if (e.X == vertex.X && e.Y == vertex.Y)
                    e.RA = cs[pq].RA, e.Dec = cs[pq].Dec, ++e.Votes, e.proposals.emplace_back(e.RA, e.Dec);
        }
    }
}

}  // namespace orbis::test
