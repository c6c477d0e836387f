#include "processing/uDistortionFit.h"

#include <cmath>
#include <utility>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

namespace {

constexpr int N = TConfiguration::kCoefCount;
constexpr double kSmallestPivot = 1e-10;

}  // namespace

TCoefficients distortionTerms(double x, double y) {
    return {1.0, x, y, x * y, x * x, y * y, x * x * y, x * y * y, x * x * x, y * y * y};
}

TCoefficients solveGaussJordan(const std::array<TCoefficients, N>& m, const TCoefficients& b) {
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

TDistortionFit fitDistortion(const std::vector<TPointPair>& pairs) {
    std::array<TCoefficients, N> m{};
    TCoefficients bX{}, bY{};
    for (const TPointPair& pair : pairs) {
        const TCoefficients phi = distortionTerms(pair.x, pair.y);
        for (int k = 0; k < N; ++k) {
            for (int l = 0; l < N; ++l) m[k][l] += phi[k] * phi[l];
            bX[k] += pair.u * phi[k];
            bY[k] += pair.v * phi[k];
        }
    }
    return {solveGaussJordan(m, bX), solveGaussJordan(m, bY)};
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
