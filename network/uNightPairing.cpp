#include "network/uNightPairing.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <optional>

namespace orbis {

namespace {

struct TCandidate {
    TEventRef ref;
    double first = 0, last = 0;  // Julian dates
    TSightPlane plane;
};

std::optional<TCandidate> candidateOf(const TEventMeasurement& e, TEventRef ref) {
    try {
        TCandidate c{ref, 0, 0, sightPlane(e)};
        c.first = c.last = e.frames.front().jdUt;
        for (const TFrameMeasurement& f : e.frames) {
            if (!std::isfinite(f.jdUt) || f.jdUt <= 0) continue;
            c.first = std::min(c.first, f.jdUt);
            c.last = std::max(c.last, f.jdUt);
        }
        return c;
    } catch (const ETrajectoryRefused&) {
        return std::nullopt;
    }
}

double sharedSeconds(const TCandidate& a, const TCandidate& b) {
    return (std::min(a.last, b.last) - std::max(a.first, b.first)) * 86400;
}

int root(std::vector<int>& parent, int i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
}

}  // namespace

std::vector<std::vector<TEventRef>> sameMeteors(std::span<const TStationNight> nights, const TPairingLimits& pairing) {
    std::vector<TCandidate> all;
    for (std::size_t n = 0; n < nights.size(); ++n)
        for (std::size_t e = 0; e < nights[n].events.size(); ++e)
            if (auto c = candidateOf(nights[n].events[e], {static_cast<int>(n), static_cast<int>(e)}))
                all.push_back(*c);
    // Time order lets the pairs be sought among neighbours only.
    std::sort(all.begin(), all.end(), [](const TCandidate& a, const TCandidate& b) { return a.first < b.first; });

    std::vector<int> parent(all.size());
    std::iota(parent.begin(), parent.end(), 0);
    std::vector<double> shared(all.size(), 0.0);
    const double tolerance = pairing.timeTolerance / 86400;
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size() && all[j].first <= all[i].last + tolerance; ++j) {
            if (all[i].ref.night == all[j].ref.night) continue;
            const auto heights = meetingHeights(all[i].plane, all[j].plane);
            if (!heights || heights->low < pairing.lowHeight || heights->high > pairing.highHeight) continue;
            parent[root(parent, static_cast<int>(i))] = root(parent, static_cast<int>(j));
            const double s = std::max(0.0, sharedSeconds(all[i], all[j]));
            shared[i] += s;
            shared[j] += s;
        }

    std::map<int, std::vector<int>> components;
    for (std::size_t i = 0; i < all.size(); ++i) components[root(parent, static_cast<int>(i))].push_back(static_cast<int>(i));
    std::vector<std::pair<double, std::vector<TEventRef>>> groups;
    for (const auto& [r, members] : components) {
        std::map<int, int> perNight;  // night -> the member kept
        for (const int m : members) {
            const auto it = perNight.find(all[m].ref.night);
            if (it == perNight.end() || shared[m] > shared[it->second]) perNight[all[m].ref.night] = m;
        }
        if (perNight.size() < 2) continue;
        std::vector<TEventRef> group;
        double first = 0;
        for (const auto& [night, m] : perNight) {
            group.push_back(all[m].ref);
            first = group.size() == 1 ? all[m].first : std::min(first, all[m].first);
        }
        groups.emplace_back(first, std::move(group));
    }
    std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::vector<TEventRef>> result;
    for (auto& g : groups) result.push_back(std::move(g.second));
    return result;
}

std::vector<TNightMeteor> solveNights(std::span<const TStationNight> nights, const TPairingLimits& pairing,
                                      const TTrajectoryLimits& limits) {
    std::vector<TNightMeteor> meteors;
    for (const std::vector<TEventRef>& group : sameMeteors(nights, pairing)) {
        TNightMeteor m;
        std::vector<TEventMeasurement> events;
        for (const TEventRef& r : group) {
            const TEventMeasurement& e = nights[r.night].events[r.event];
            events.push_back(e);
            m.events.push_back(nights[r.night].station + "/" + e.event);
            for (const TFrameMeasurement& f : e.frames)
                if (f.jdUt > 0 && (m.jdUtc == 0 || f.jdUt < m.jdUtc)) m.jdUtc = f.jdUt;
        }
        try {
            m.trajectory = solveTrajectory(events, limits);
        } catch (const ETrajectoryRefused& e) {
            m.refusal = e.diagnostic();
        }
        meteors.push_back(std::move(m));
    }
    return meteors;
}

}  // namespace orbis
