#include "astro/matlib.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "astro/uExceptions.h"

namespace orbis {

double CS(double x) { return std::cos(x * RAD); }

double SN(double x) { return std::sin(x * RAD); }

double TN(double x) {
    const double r = x * RAD;
    return std::sin(r) / std::cos(r);
}

double ATN(double x) { return std::atan(x) / RAD; }

double ATN2(double y, double x) {
    if (x == 0.0 && y == 0.0) return 0.0;
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    // Divide the smaller by the larger so the arctangent argument stays
    // within [0, 1].
    double phi = ax > ay ? std::atan(ay / ax) / RAD : 90.0 - std::atan(ax / ay) / RAD;
    if (x < 0.0) phi = 180.0 - phi;
    if (y < 0.0) phi = -phi;
    return phi;
}

namespace {

double clampUnit(double x) {
    if (x > 1.0) return 1.0;
    if (x < -1.0) return -1.0;
    return x;
}

}  // namespace

double ASN(double x) {
    x = clampUnit(x);
    if (std::fabs(x) == 1.0) return 90.0 * x;
    if (std::fabs(x) <= 1e-7) return x / RAD;
    return std::atan(x / std::sqrt((1.0 - x) * (1.0 + x))) / RAD;
}

double ACS(double x) {
    x = clampUnit(x);
    if (std::fabs(x) == 1.0) return 90.0 - 90.0 * x;
    if (std::fabs(x) <= 1e-7) return 90.0 - x / RAD;
    return 90.0 - std::atan(x / std::sqrt((1.0 - x) * (1.0 + x))) / RAD;
}

double FRAC(double x) {
    // floor rather than "truncate, then add 1 when negative": the latter gives
    // 1 for negative integers. A tiny negative x still rounds x - floor(x)
    // up to 1, which also belongs to 0.
    const double f = x - std::floor(x);
    return f >= 1.0 ? 0.0 : f;
}

std::vector<double> LSQFIT(std::vector<std::vector<double>> A, int N, int M) {
    if (M < 1) throw EInvalidArgument(TDiagnostic(Code::LeastSquaresWithoutUnknowns));
    if (N < M) {
        throw EInvalidArgument(
            TDiagnostic(Code::LeastSquaresTooFewEquations).with("equations", N).with("unknowns", M));
    }
    if (static_cast<std::size_t>(N) > A.size()) {
        throw EInvalidArgument(
            TDiagnostic(Code::LeastSquaresTooFewRows).with("equations", N).with("rows", A.size()));
    }
    for (int i = 0; i < N; ++i) {
        if (A[i].size() < static_cast<std::size_t>(M) + 1) {
            throw EInvalidArgument(TDiagnostic(Code::LeastSquaresRowTooShort).with("row", i).with("columns", M + 1));
        }
    }

    // Column norms before the rotations (which preserve them): a pivot that
    // is only rounding residue relative to its column means the column
    // depends on the ones before it, and dividing by it would return noise.
    std::vector<double> columnNorm(M, 0.0);
    for (int j = 0; j < M; ++j) {
        double sum = 0.0;
        for (int i = 0; i < N; ++i) sum += A[i][j] * A[i][j];
        columnNorm[j] = std::sqrt(sum);
    }

    constexpr double eps = 1e-10;
    for (int j = 0; j < M; ++j) {
        for (int i = j + 1; i < N; ++i) {
            if (A[i][j] == 0.0) continue;
            double p;
            double q;
            if (std::fabs(A[j][j]) < eps * std::fabs(A[i][j])) {
                p = 0.0;
                q = 1.0;
                A[j][j] = -A[i][j];
                A[i][j] = 0.0;
            } else {
                double h = std::sqrt(A[j][j] * A[j][j] + A[i][j] * A[i][j]);
                if (A[j][j] < 0.0) h = -h;
                p = A[j][j] / h;
                q = -A[i][j] / h;
                A[j][j] = h;
                A[i][j] = 0.0;
            }
            for (int k = j + 1; k <= M; ++k) {
                const double h = p * A[j][k] - q * A[i][k];
                A[i][k] = q * A[j][k] + p * A[i][k];
                A[j][k] = h;
            }
        }
    }

    constexpr double negligiblePivot = 1e-12;
    std::vector<double> S(M, 0.0);
    for (int i = M - 1; i >= 0; --i) {
        if (A[i][i] == 0.0 || std::fabs(A[i][i]) <= negligiblePivot * columnNorm[i]) {
            throw EZeroDivide(TDiagnostic(Code::LeastSquaresSingular).with("unknown", i + 1).with("unknowns", M));
        }
        double h = A[i][M];
        for (int k = i + 1; k < M; ++k) h -= A[i][k] * S[k];
        S[i] = h / A[i][i];
    }
    return S;
}

}  // namespace orbis
