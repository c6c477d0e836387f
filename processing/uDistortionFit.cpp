#include "processing/uDistortionFit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

namespace {

constexpr int N = TConfiguration::kCoefCount;
constexpr double kSmallestPivot = 1e-10;
// A pivot this much smaller than the matrix's largest diagonal entry is
// rounding noise of a singular system, whatever the points' scale.
constexpr double kSmallestRelativePivot = 1e-11;
// Grid steps per axis of the mapping check: every 20 pixels of a 640-wide
// frame, fine enough for a fold of a cubic, coarse enough that the
// rounding of a source to a whole pixel never reverses two points.
constexpr int kGridSteps = 32;

// Solves m c = b; smallestPivot receives the smallest pivot magnitude met.
TCoefficients solve(const std::array<TCoefficients, N>& m, const TCoefficients& b, double& smallestPivot);

}  // namespace

TCoefficients distortionTerms(double x, double y) {
    return {1.0, x, y, x * y, x * x, y * y, x * x * y, x * y * y, x * x * x, y * y * y};
}

TCoefficients solveGaussJordan(const std::array<TCoefficients, N>& m, const TCoefficients& b) {
    double smallestPivot = 0;
    return solve(m, b, smallestPivot);
}

namespace {

TCoefficients solve(const std::array<TCoefficients, N>& m, const TCoefficients& b, double& smallestPivot) {
    smallestPivot = std::numeric_limits<double>::infinity();
    std::array<std::array<double, N + 1>, N> a{};
    std::array<int, N> p{};
    for (int r = 0; r < N; ++r) {
        for (int c = 0; c < N; ++c) a[r][c] = m[r][c];
        a[r][N] = b[r];
        p[r] = r;
    }
    for (int i = 0; i < N; ++i) {
        int best = i;
        for (int k = i + 1; k < N; ++k) {
            if (std::fabs(a[p[k]][i]) > std::fabs(a[p[best]][i])) best = k;
        }
        std::swap(p[i], p[best]);
        auto& pivotRow = a[p[i]];
        const double pivot = pivotRow[i];
        smallestPivot = std::min(smallestPivot, std::fabs(pivot));
        if (std::fabs(pivot) < kSmallestPivot) {
            // No usable pivot: this unknown is 0, the others are still solved.
            for (int c = i + 1; c <= N; ++c) pivotRow[c] = 0.0;
            continue;
        }
        for (int c = i + 1; c <= N; ++c) pivotRow[c] /= pivot;
        for (int j = 0; j < N; ++j) {
            if (j == i) continue;
            auto& row = a[p[j]];
            const double factor = row[i];
            for (int c = i + 1; c <= N; ++c) row[c] -= pivotRow[c] * factor;
        }
    }
    TCoefficients c{};
    for (int i = 0; i < N; ++i) c[i] = a[p[i]][N];
    return c;
}

// The normal equations of the fit: m c = bX for u, m c = bY for v.
struct TNormalEquations {
    std::array<TCoefficients, N> m{};
    TCoefficients bX{}, bY{};
};

TNormalEquations normalEquations(const std::vector<TPointPair>& pairs) {
    TNormalEquations e;
    for (const TPointPair& pair : pairs) {
        const TCoefficients phi = distortionTerms(pair.x, pair.y);
        for (int k = 0; k < N; ++k) {
            for (int l = 0; l < N; ++l) e.m[k][l] += phi[k] * phi[l];
            e.bX[k] += pair.u * phi[k];
            e.bY[k] += pair.v * phi[k];
        }
    }
    return e;
}


// Positions 0 .. size - 1 of the grid, each once.
std::vector<int> gridPositions(int size) {
    std::vector<int> positions;
    for (int i = 0; i <= kGridSteps; ++i) {
        const int p = static_cast<int>(std::lround((size - 1) * static_cast<double>(i) / kGridSteps));
        if (positions.empty() || p != positions.back()) positions.push_back(p);
    }
    return positions;
}

}  // namespace

TDistortionFit fitDistortion(const std::vector<TPointPair>& pairs) {
    const TNormalEquations e = normalEquations(pairs);
    return {solveGaussJordan(e.m, e.bX), solveGaussJordan(e.m, e.bY)};
}

TDistortionFit fitDeterminedDistortion(const std::vector<TPointPair>& pairs) {
    if (pairs.size() < static_cast<std::size_t>(N)) {
        throw EZeroDivide(TDiagnostic(Code::DistortionTooFewPairs).with("needed", N).with("pairs", pairs.size()));
    }
    const TNormalEquations e = normalEquations(pairs);
    double largestDiagonal = 0;
    for (int k = 0; k < N; ++k) largestDiagonal = std::max(largestDiagonal, std::fabs(e.m[k][k]));
    TDistortionFit fit;
    double smallestPivot = 0;
    fit.coefX = solve(e.m, e.bX, smallestPivot);
    // The pivots depend on m alone: the same for both axes.
    fit.coefY = solve(e.m, e.bY, smallestPivot);
    if (!(smallestPivot >= kSmallestPivot && smallestPivot >= kSmallestRelativePivot * largestDiagonal)) {
        throw EZeroDivide(TDiagnostic(Code::DistortionPairsUndetermined).with("pairs", pairs.size()));
    }
    return fit;
}

std::optional<TDiagnostic> distortionMappingProblem(const TDistortion& d, int W, int H) {
    const auto problem = [&](Code code) { return TDiagnostic(code).with("width", W).with("height", H); };
    if (W <= 0 || H <= 0) return problem(Code::DistortionFrameEmpty);
    const std::vector<int> xs = gridPositions(W), ys = gridPositions(H);
    // Two neighbouring pixels of the grid whose sources are out of order.
    const auto disorder = [&](Code code, int x1, int y1, int x2, int y2, long before, long after) {
        return problem(code)
            .with("x1", x1)
            .with("y1", y1)
            .with("x2", x2)
            .with("y2", y2)
            .with("before", before)
            .with("after", after);
    };
    // Sources row by row of the grid.
    std::vector<long> us, vs;
    for (const int y : ys) {
        for (const int x : xs) {
            long u = 0, v = 0;
            distortionSource(d, W, H, x, y, u, v);
            const bool near = u != std::numeric_limits<long>::min() && v != std::numeric_limits<long>::min() &&
                              u >= -W / 4.0 && u <= W - 1 + W / 4.0 && v >= -H / 4.0 && v <= H - 1 + H / 4.0;
            if (!near) {
                // distortionSource's mark of a source that is no number.
                if (u == std::numeric_limits<long>::min() || v == std::numeric_limits<long>::min())
                    return problem(Code::DistortionSourceInfinite).with("x", x).with("y", y);
                return problem(Code::DistortionSourceFar).with("x", x).with("y", y).with("u", u).with("v", v);
            }
            us.push_back(u);
            vs.push_back(v);
        }
    }
    const std::size_t nx = xs.size();
    for (std::size_t r = 0; r < ys.size(); ++r) {
        for (std::size_t c = 1; c < nx; ++c) {
            const long before = us[r * nx + c - 1], after = us[r * nx + c];
            if (after > before) continue;
            return disorder(Code::DistortionOrderHorizontal, xs[c - 1], ys[r], xs[c], ys[r], before, after);
        }
    }
    for (std::size_t c = 0; c < nx; ++c) {
        for (std::size_t r = 1; r < ys.size(); ++r) {
            const long before = vs[(r - 1) * nx + c], after = vs[r * nx + c];
            if (after > before) continue;
            return disorder(Code::DistortionOrderVertical, xs[c], ys[r - 1], xs[c], ys[r], before, after);
        }
    }
    return std::nullopt;
}

void requirePlausibleDistortion(const TConfiguration& config) {
    config.requireInRange({"widthCCD", "heightCCD", "addResultWidth", "addResultHeight"});
    for (int i = 0; i < N; ++i) {
        for (const char* axis : {"coefX", "coefY"}) config.requireInRange({axis + std::to_string(i)});
    }
    const TDistortion d = TDistortion::fromConfiguration(config);
    std::optional<TDiagnostic> problem =
        distortionMappingProblem(d, config.widthCCD() + 2 * d.addResultWidth, config.heightCCD() + 2 * d.addResultHeight);
    if (!problem) return;
    // The coefficients that differ from the identity hold the slip.
    std::string changed;
    const TConfiguration& identity = TConfiguration::defaults();
    for (int i = 0; i < N; ++i) {
        for (const bool x : {true, false}) {
            const double value = x ? config.coefX(i) : config.coefY(i);
            if (value == (x ? identity.coefX(i) : identity.coefY(i))) continue;
            changed += (changed.empty() ? "" : ", ") + std::string(x ? "coefX" : "coefY") + std::to_string(i) + "=" +
                       floatToText(value);
        }
    }
    throw EConvertError(std::move(*problem).with("file", config.iniFile().string()).with("changed", changed));
}

std::array<std::string, 4> pointPairFields(const std::string& line) {
    std::array<std::string, 4> fields;
    for (int k = 0; k < 4; ++k) fields[k] = extractField(line, "\t", k + 1);
    return fields;
}

std::vector<std::array<std::string, 4>> readPointPairFields(const std::string& file) {
    std::vector<std::array<std::string, 4>> rows;
    for (const std::string& line : readTextLines(file, TextEncoding::Utf8OrWindows1251)) {
        if (!line.empty()) rows.push_back(pointPairFields(line));
    }
    return rows;
}

std::vector<TPointPair> readPointPairs(const std::string& file) {
    std::vector<TPointPair> pairs;
    const std::vector<std::string> lines = readTextLines(file, TextEncoding::Utf8OrWindows1251);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        TPointPair p;
        p.x = parseFloatField(lines[i], "\t", 1, file, i);
        p.y = parseFloatField(lines[i], "\t", 2, file, i);
        p.u = parseFloatField(lines[i], "\t", 3, file, i);
        p.v = parseFloatField(lines[i], "\t", 4, file, i);
        pairs.push_back(p);
    }
    return pairs;
}

}  // namespace orbis
