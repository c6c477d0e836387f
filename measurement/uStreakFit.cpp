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

std::optional<TStreak> fitStreak(std::span<const TStreakPixel> pixels, const TStreak& guess,
                                 const TStreakFitOptions& options) {
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
        if (options.fixedBlur)  // a held parameter: its row only says "no step"
            for (std::size_t a : {std::size_t{5}, std::size_t{6}}) {
                for (std::size_t b = 0; b < kParameters; ++b) normal[a][b] = normal[b][a] = 0;
                normal[a][a] = 1;
                gradient[a] = 0;
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
    // Pixels that reach an edge of the picture leave that side open.
    const bool known = options.pictureWidth > 0 && options.pictureHeight > 0;
    const double left = known && minX == 0 ? -1e300 : minX, right = known && maxX == options.pictureWidth - 1 ? 1e300 : maxX;
    const double top = known && minY == 0 ? -1e300 : minY, bottom = known && maxY == options.pictureHeight - 1 ? 1e300 : maxY;
    const auto inside = [&](double x, double y) { return x >= left && x <= right && y >= top && y <= bottom; };
    if (!settled || !std::isfinite(current) || !(s.flux > 0) || !inside(s.headX, s.headY) || !inside(s.tailX, s.tailY))
        return std::nullopt;
    return s;
}

std::optional<TPoint2> leadingEdge(std::span<const TStreakPixel> pixels, const TStreak& line, double halfWidth) {
    const double dx = line.headX - line.tailX, dy = line.headY - line.tailY, length = std::hypot(dx, dy);
    if (pixels.empty() || !(length > 0)) return std::nullopt;
    const double ux = dx / length, uy = dy / length;
    // Steps along the line from the farthest pixel behind the tail.
    double from = 0, to = 0;
    for (const TStreakPixel& p : pixels) {
        const double along = (p.x - line.tailX) * ux + (p.y - line.tailY) * uy;
        from = std::min(from, along), to = std::max(to, along);
    }
    const auto bins = static_cast<std::size_t>(std::lround(to - from)) + 1;
    std::vector<double> sum(bins), count(bins);
    for (const TStreakPixel& p : pixels) {
        const double px = p.x - line.tailX, py = p.y - line.tailY;
        if (std::fabs(py * ux - px * uy) > halfWidth) continue;
        const auto bin = static_cast<std::size_t>(std::lround(px * ux + py * uy - from));
        sum[bin] += p.value, count[bin] += 1;
    }
    std::vector<double> profile(bins);
    for (std::size_t i = 0; i < bins; ++i) {
        double s = 0, c = 0;
        for (std::size_t j = i > 0 ? i - 1 : 0; j <= std::min(i + 1, bins - 1); ++j) {
            const double weight = j == i ? 2 : 1;
            s += weight * sum[j], c += weight * count[j];
        }
        profile[i] = c > 0 ? s / c : 0;
    }
    const auto peak = std::max_element(profile.begin(), profile.end());
    if (!(*peak > 0)) return std::nullopt;
    const double half = *peak / 2;
    auto i = static_cast<std::size_t>(peak - profile.begin());
    while (i + 1 < bins && profile[i + 1] >= half) ++i;
    double along = static_cast<double>(i);
    if (i + 1 < bins) along += (profile[i] - half) / (profile[i] - profile[i + 1]);
    along += from;
    return TPoint2{line.tailX + along * ux, line.tailY + along * uy};
}

std::optional<TPoint2> spotCentroid(std::span<const TStreakPixel> pixels) {
    double peak = 0;
    for (const TStreakPixel& p : pixels) peak = std::max(peak, p.value);
    if (!(peak > 0)) return std::nullopt;
    double sum = 0, sx = 0, sy = 0;
    for (const TStreakPixel& p : pixels)
        if (p.value >= peak / 2) sum += p.value, sx += p.value * p.x, sy += p.value * p.y;
    return TPoint2{sx / sum, sy / sum};
}

}  // namespace orbis
