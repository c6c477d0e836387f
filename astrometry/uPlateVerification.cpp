#include "astrometry/uPlateVerification.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "astro/matlib.h"

namespace orbis {

namespace {

// Stars that any affine plate fits exactly: they prove nothing.
constexpr int kFreeMatches = 3;
// The radius grows with a plate's scatter, so a lens whose distortion the
// affine plate cannot follow is not held to a tighter ring than its stars.
constexpr double kResidualsPerRadius = 2.5;

struct Predicted {
    double x, y;
    std::size_t star;
};

std::vector<Predicted> predictedInFrame(const TPlate& plate, const std::vector<TStarInfo>& sky, TFrameArea frame) {
    std::vector<Predicted> out;
    for (std::size_t i = 0; i < sky.size(); ++i) {
        const auto p = plate.pixelOf({sky[i].RA, sky[i].Dec});
        if (p && p->first >= 0 && p->second >= 0 && p->first <= frame.width && p->second <= frame.height)
            out.push_back({p->first, p->second, i});
    }
    return out;
}

// The nearest predicted place of each detected star (index into predicted,
// -1 when none is within the radius) and its squared distance.
std::vector<std::pair<int, double>> nearestWithin(std::span<const TStarPoint> detected,
                                                  const std::vector<Predicted>& predicted, double radius) {
    std::vector<std::pair<int, double>> nearest;
    for (const TStarPoint& s : detected) {
        int best = -1;
        double bestD2 = radius * radius;
        for (std::size_t k = 0; k < predicted.size(); ++k) {
            const double dx = predicted[k].x - s.X, dy = predicted[k].y - s.Y, d2 = dx * dx + dy * dy;
            if (d2 <= bestD2) best = static_cast<int>(k), bestD2 = d2;
        }
        nearest.emplace_back(best, bestD2);
    }
    return nearest;
}

}  // namespace

double TPlate::pixelsPerRadian() const {
    const double det = std::fabs(a * e - b * d);
    return det > 0 ? 1 / std::sqrt(det) : 0;
}

std::optional<std::pair<double, double>> TPlate::pixelOf(TSkyPoint sky) const {
    const double cosC = CS(centre.dec) * CS(sky.dec) * CS(sky.ra - centre.ra) + SN(centre.dec) * SN(sky.dec);
    if (!(cosC > 0)) return std::nullopt;
    double xi = 0, eta = 0;
    EQUSTD(centre.ra, centre.dec, sky.ra, sky.dec, xi, eta);
    const double det = a * e - b * d;
    if (det == 0 || !std::isfinite(det)) return std::nullopt;
    const double u = xi - c, v = eta - f;
    return std::pair{(e * u - b * v) / det, (a * v - d * u) / det};
}

double log10BinomialTail(int n, int k, double p) {
    if (k <= 0) return 0;
    if (k > n) return -std::numeric_limits<double>::infinity();
    if (p <= 0) return -std::numeric_limits<double>::infinity();
    if (p >= 1) return 0;
    // Sum of the terms i = k..n in logarithms, each from lgamma.
    double maxTerm = -std::numeric_limits<double>::infinity();
    std::vector<double> terms;
    for (int i = k; i <= n; ++i) {
        const double t = std::lgamma(n + 1.0) - std::lgamma(i + 1.0) - std::lgamma(n - i + 1.0) + i * std::log(p) +
                         (n - i) * std::log1p(-p);
        terms.push_back(t);
        maxTerm = std::max(maxTerm, t);
    }
    double sum = 0;
    for (double t : terms) sum += std::exp(t - maxTerm);
    return std::min(0.0, (maxTerm + std::log(sum)) / std::numbers::ln10);
}

TPlateCheck verifyPlate(const TPlate& plate, std::span<const TStarPoint> detected, const std::vector<TStarInfo>& sky,
                        TFrameArea frame) {
    TPlateCheck check;
    check.detected = static_cast<int>(detected.size());
    check.radius = kPlateMatchRadius;
    const std::vector<Predicted> predicted = predictedInFrame(plate, sky, frame);
    check.predicted = static_cast<int>(predicted.size());
    if (predicted.empty() || detected.empty() || frame.width <= 0 || frame.height <= 0) return check;

    const auto nearest = nearestWithin(detected, predicted, check.radius);
    double sum2 = 0;
    for (const auto& [k, d2] : nearest)
        if (k >= 0) ++check.matched, sum2 += d2;
    check.residualPixels = check.matched > 0 ? std::sqrt(sum2 / check.matched) : 0;
    // A scattered plate gets the wider ring its own scatter asks for.
    if (kResidualsPerRadius * check.residualPixels > check.radius) {
        check.radius = kResidualsPerRadius * check.residualPixels;
        check.matched = 0;
        sum2 = 0;
        for (const auto& [k, d2] : nearestWithin(detected, predicted, check.radius))
            if (k >= 0) ++check.matched, sum2 += d2;
        check.residualPixels = check.matched > 0 ? std::sqrt(sum2 / check.matched) : 0;
    }

    // The chance that a star put anywhere in the frame falls within the
    // radius of one of the predicted places.
    const double area = static_cast<double>(frame.width) * frame.height;
    const double p = std::min(1.0, check.predicted * std::numbers::pi * check.radius * check.radius / area);
    check.expectedByChance = p * check.detected;
    check.log10Chance =
        log10BinomialTail(check.detected - kFreeMatches, check.matched - kFreeMatches, p);
    check.passed = check.matched > kFreeMatches && check.log10Chance < kPlateLog10Chance;
    return check;
}

std::vector<int> identifyThroughPlate(const TPlate& plate, std::span<const TStarPoint> detected,
                                      const std::vector<TStarInfo>& sky, TFrameArea frame) {
    const std::vector<Predicted> predicted = predictedInFrame(plate, sky, frame);
    const auto nearest = nearestWithin(detected, predicted, kPlateMatchRadius);
    std::vector<int> identity(detected.size(), -1);
    for (std::size_t i = 0; i < nearest.size(); ++i) {
        const auto [k, d2] = nearest[i];
        if (k < 0) continue;
        // A catalog star claimed by a nearer detected star is not this one's.
        bool nearerClaim = false;
        for (std::size_t j = 0; j < nearest.size() && !nearerClaim; ++j)
            nearerClaim = j != i && nearest[j].first == k &&
                          (nearest[j].second < d2 || (nearest[j].second == d2 && j < i));
        if (!nearerClaim) identity[i] = static_cast<int>(predicted[static_cast<std::size_t>(k)].star);
    }
    return identity;
}

}  // namespace orbis
