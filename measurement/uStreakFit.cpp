#include "measurement/uStreakFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace orbis {

namespace {

constexpr std::size_t kParameters = 7;  // tail x, y, head x, y, log flux, log sigma x, log sigma y
using Parameters = std::array<double, kParameters>;

// The blur is kept inside these widths while fitting: narrower has no
// meaning on a pixel grid, wider is no longer a sharp object.
constexpr double kMinSigma = 0.15, kMaxSigma = 20;

Parameters toParameters(const TStreak& s) {
    return {s.tailX, s.tailY, s.headX, s.headY, std::log(s.flux), std::log(s.sigmaX), std::log(s.sigmaY)};
}

TStreak toStreak(const Parameters& p) {
    return {p[0], p[1], p[2], p[3], std::exp(p[4]), std::exp(p[5]), std::exp(p[6])};
}

// Share of a unit Gaussian between a and b (a < b), accurate in both tails.
double gaussianShare(double a, double b) {
    const double k = 1 / std::numbers::sqrt2;
    if (a > 0) return 0.5 * (std::erfc(a * k) - std::erfc(b * k));
    if (b < 0) return 0.5 * (std::erfc(-b * k) - std::erfc(-a * k));
    return 0.5 * (std::erf(b * k) - std::erf(a * k));
}

double residual(const TStreakPixel& p, double model) {
    // A clipped pixel only bounds the model from below.
    if (p.value >= p.ceiling) return std::min(model - p.ceiling, 0.0);
    return model - p.value;
}

double cost(std::span<const TStreakPixel> pixels, const TStreak& s) {
    double sum = 0;
    for (const TStreakPixel& p : pixels) {
        const double r = residual(p, streakValue(s, p.x, p.y));
        sum += r * r;
    }
    return sum;
}

// Solves a x = b in place (Gaussian elimination with partial pivoting);
// false for a singular system.
bool solve(std::array<Parameters, kParameters>& a, Parameters& b) {
    for (std::size_t c = 0; c < kParameters; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < kParameters; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        if (!(std::fabs(a[pivot][c]) > 1e-300)) return false;
        std::swap(a[c], a[pivot]);
        std::swap(b[c], b[pivot]);
        for (std::size_t r = c + 1; r < kParameters; ++r) {
            const double f = a[r][c] / a[c][c];
            for (std::size_t k = c; k < kParameters; ++k) a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    for (std::size_t c = kParameters; c-- > 0;) {
        double v = b[c];
        for (std::size_t k = c + 1; k < kParameters; ++k) v -= a[c][k] * b[k];
        b[c] = v / a[c][c];
    }
    return true;
}

void keepSigmaInRange(Parameters& p) {
    for (std::size_t i : {std::size_t{5}, std::size_t{6}}) p[i] = std::clamp(p[i], std::log(kMinSigma), std::log(kMaxSigma));
}

}  // namespace

double streakValue(const TStreak& s, double x, double y) {
    // In coordinates scaled by the blur widths the blur is round, and the
    // stretch integrates to (share of the Gaussian along it) x (profile across).
    const double ax = s.tailX / s.sigmaX, ay = s.tailY / s.sigmaY;
    const double dx = s.headX / s.sigmaX - ax, dy = s.headY / s.sigmaY - ay;
    const double px = x / s.sigmaX - ax, py = y / s.sigmaY - ay;
    const double length = std::hypot(dx, dy);
    const double norm = s.flux / (2 * std::numbers::pi * s.sigmaX * s.sigmaY);
    if (length < 1e-6) return norm * std::exp(-(px * px + py * py) / 2);
    const double ux = dx / length, uy = dy / length;
    const double along = px * ux + py * uy, across = py * ux - px * uy;
    const double share = length < 1e-3 ? std::exp(-(along - length / 2) * (along - length / 2) / 2) / std::sqrt(2 * std::numbers::pi)
                                       : gaussianShare(along - length, along) / length;
    return norm * std::sqrt(2 * std::numbers::pi) * share * std::exp(-across * across / 2);
}

std::optional<TStreak> fitStreak(std::span<const TStreakPixel> pixels, const TStreak& guess) {
    if (pixels.size() < 2 * kParameters || !(guess.flux > 0) || !(guess.sigmaX > 0) || !(guess.sigmaY > 0))
        return std::nullopt;
    Parameters p = toParameters(guess);
    keepSigmaInRange(p);
    double current = cost(pixels, toStreak(p));
    const std::size_t n = pixels.size();
    std::vector<double> r(n), jacobian(n * kParameters);
    double lambda = 1e-3;
    bool settled = false;
    for (int iteration = 0; iteration < 100 && !settled; ++iteration) {
        // Forward differences: the model is cheap next to a hand-derived
        // gradient of the clipped residuals.
        const TStreak s = toStreak(p);
        for (std::size_t i = 0; i < n; ++i) r[i] = residual(pixels[i], streakValue(s, pixels[i].x, pixels[i].y));
        for (std::size_t j = 0; j < kParameters; ++j) {
            Parameters q = p;
            const double h = j < 4 ? 1e-4 : 1e-5;
            q[j] += h;
            const TStreak t = toStreak(q);
            for (std::size_t i = 0; i < n; ++i)
                jacobian[i * kParameters + j] = (residual(pixels[i], streakValue(t, pixels[i].x, pixels[i].y)) - r[i]) / h;
        }
        std::array<Parameters, kParameters> normal{};
        Parameters gradient{};
        for (std::size_t i = 0; i < n; ++i) {
            const double* row = &jacobian[i * kParameters];
            for (std::size_t a = 0; a < kParameters; ++a) {
                gradient[a] -= row[a] * r[i];
                for (std::size_t b = 0; b < kParameters; ++b) normal[a][b] += row[a] * row[b];
            }
        }
        for (;;) {
            std::array<Parameters, kParameters> damped = normal;
            Parameters step = gradient;
            for (std::size_t a = 0; a < kParameters; ++a) damped[a][a] += lambda * normal[a][a] + 1e-12;
            if (!solve(damped, step)) return std::nullopt;
            Parameters next = p;
            for (std::size_t a = 0; a < kParameters; ++a) next[a] += step[a];
            keepSigmaInRange(next);
            const double trial = cost(pixels, toStreak(next));
            if (std::isfinite(trial) && trial <= current) {
                double largest = 0;
                for (std::size_t a = 0; a < 4; ++a) largest = std::max(largest, std::fabs(next[a] - p[a]));
                settled = largest < 1e-4 && current - trial <= 1e-9 * current;
                p = next;
                current = trial;
                lambda = std::max(lambda / 10, 1e-9);
                break;
            }
            lambda *= 10;
            if (lambda > 1e10) {  // no step lowers the cost: a minimum
                settled = true;
                break;
            }
        }
    }
    const TStreak s = toStreak(p);
    int minX = pixels[0].x, maxX = minX, minY = pixels[0].y, maxY = minY;
    for (const TStreakPixel& q : pixels) {
        minX = std::min(minX, q.x), maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y), maxY = std::max(maxY, q.y);
    }
    const auto inside = [&](double x, double y) { return x >= minX && x <= maxX && y >= minY && y <= maxY; };
    if (!settled || !std::isfinite(current) || !(s.flux > 0) || !inside(s.headX, s.headY) || !inside(s.tailX, s.tailY))
        return std::nullopt;
    return s;
}

}  // namespace orbis
