#include "astro/matlib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "DiagnosticTesting.h"
#include "astro/uExceptions.h"

namespace orbis {
namespace {

using Matrix = std::vector<std::vector<double>>;

TEST(Matlib, Atn2CoversAllQuadrantsAndTheOrigin) {
    EXPECT_EQ(ATN2(0.0, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(ATN2(1.0, 1.0), 45.0);
    EXPECT_DOUBLE_EQ(ATN2(1.0, -1.0), 135.0);
    EXPECT_DOUBLE_EQ(ATN2(-1.0, -1.0), -135.0);
    EXPECT_DOUBLE_EQ(ATN2(-1.0, 1.0), -45.0);
    EXPECT_DOUBLE_EQ(ATN2(1.0, 0.0), 90.0);
    EXPECT_DOUBLE_EQ(ATN2(-1.0, 0.0), -90.0);
    EXPECT_DOUBLE_EQ(ATN2(0.0, -1.0), 180.0);
    // Both branches (|x| > |y| and |x| <= |y|) against the library function.
    for (double deg = -179.5; deg < 180.0; deg += 7.25) {
        const double y = 3.0 * std::sin(deg * RAD), x = 3.0 * std::cos(deg * RAD);
        EXPECT_NEAR(ATN2(y, x), deg, 1e-12) << deg;
    }
}

TEST(Matlib, AsnAcsExactEndpointsSmallArgumentsAndClamping) {
    EXPECT_EQ(ACS(1.0), 0.0);
    EXPECT_EQ(ACS(-1.0), 180.0);
    EXPECT_EQ(ASN(1.0), 90.0);
    EXPECT_EQ(ASN(-1.0), -90.0);
    EXPECT_DOUBLE_EQ(ACS(1e-8), 90.0 - 1e-8 / RAD);
    EXPECT_DOUBLE_EQ(ASN(1e-8), 1e-8 / RAD);
    EXPECT_NEAR(ASN(0.5), 30.0, 1e-12);
    EXPECT_NEAR(ACS(0.5), 60.0, 1e-12);
    EXPECT_NEAR(ACS(-0.5), 120.0, 1e-12);

    // A cosine formed from rounded products may exceed 1 by an ulp.
    EXPECT_EQ(ACS(1.0 + 4e-16), 0.0);
    EXPECT_EQ(ACS(-1.0 - 4e-16), 180.0);
    EXPECT_EQ(ASN(1.0 + 4e-16), 90.0);
    EXPECT_EQ(ASN(-1.5), -90.0);
}

TEST(Matlib, FracStaysInUnitIntervalForNegativeArguments) {
    EXPECT_EQ(FRAC(2.75), 0.75);
    EXPECT_EQ(FRAC(-0.25), 0.75);
    EXPECT_EQ(FRAC(-2.0), 0.0);
    EXPECT_EQ(FRAC(-1.0), 0.0);
    EXPECT_EQ(FRAC(3.0), 0.0);
    EXPECT_EQ(FRAC(-0.0), 0.0);
    // x - floor(x) rounds to 1 here; it belongs to 0.
    EXPECT_EQ(FRAC(-1e-20), 0.0);
    EXPECT_LT(FRAC(-1e-16), 1.0);
}

// Plane x = a*u + b*v + c sampled at the given points.
Matrix planeRows(const std::vector<std::pair<double, double>>& uv, double a, double b, double c) {
    Matrix rows;
    for (auto [u, v] : uv) rows.push_back({u, v, 1.0, a * u + b * v + c});
    return rows;
}

TEST(Lsqfit, SquareSystemIsSolvedExactly) {
    // 2x + y - z = 8, -3x - y + 2z = -11, -2x + y + 2z = -3  ->  (2, 3, -1)
    const Matrix a = {{2, 1, -1, 8}, {-3, -1, 2, -11}, {-2, 1, 2, -3}};
    const auto s = LSQFIT(a, 3, 3);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_NEAR(s[0], 2.0, 1e-12);
    EXPECT_NEAR(s[1], 3.0, 1e-12);
    EXPECT_NEAR(s[2], -1.0, 1e-12);
}

TEST(Lsqfit, ZeroLeadingPivotIsRotatedAway) {
    // The first equation has no x: the rotation swaps rows instead of
    // dividing by the zero diagonal element.
    const auto s = LSQFIT({{0, 2, 4}, {3, 0, 6}}, 2, 2);
    EXPECT_NEAR(s[0], 2.0, 1e-15);
    EXPECT_NEAR(s[1], 2.0, 1e-15);
}

TEST(Lsqfit, PlaneFitDoesNotDependOnRowOrderAndSkipsZeroRows) {
    Matrix rows = planeRows({{0.1, 0.2}, {-0.3, 0.05}, {0.25, -0.15}, {-0.05, -0.3}, {0.4, 0.4}, {0.0, 0.1}}, 1.7,
                            -2.4, 0.35);
    rows.push_back({0.0, 0.0, 0.0, 0.0});  // carries no information
    rows.push_back({0.0, 0.3, 1.0, -2.4 * 0.3 + 0.35});  // zero in the first column
    std::mt19937 rng(7);
    for (int round = 0; round < 10; ++round) {
        std::shuffle(rows.begin(), rows.end(), rng);
        const auto s = LSQFIT(rows, static_cast<int>(rows.size()), 3);
        EXPECT_NEAR(s[0], 1.7, 1e-12);
        EXPECT_NEAR(s[1], -2.4, 1e-12);
        EXPECT_NEAR(s[2], 0.35, 1e-12);
    }
}

TEST(Lsqfit, ManyNoisyRowsGiveTheLeastSquaresSolution) {
    // 500 noisy points: the fit must equal the solution of the normal
    // equations (computed independently here), not merely come near the
    // plane the points scatter about.
    std::mt19937_64 rng(12345);
    auto uniform = [&rng] { return static_cast<double>(rng() >> 11) * 0x1p-53 * 2.0 - 1.0; };
    const int n = 500;
    Matrix rows;
    for (int i = 0; i < n; ++i) {
        const double u = uniform(), v = uniform();
        rows.push_back({u, v, 1.0, 0.8 * u - 1.3 * v + 0.05 + 0.01 * uniform()});
    }
    const auto s = LSQFIT(rows, n, 3);

    double ata[3][4] = {};
    for (const auto& r : rows)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 4; ++k) ata[j][k] += r[j] * r[k];
    // Gauss-Jordan on the 3x3 normal equations (well conditioned here).
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            if (i == j) continue;
            const double f = ata[i][j] / ata[j][j];
            for (int k = 0; k < 4; ++k) ata[i][k] -= f * ata[j][k];
        }
    }
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(s[j], ata[j][3] / ata[j][j], 1e-12) << j;
    EXPECT_NEAR(s[0], 0.8, 2e-3);
    EXPECT_NEAR(s[1], -1.3, 2e-3);
    EXPECT_NEAR(s[2], 0.05, 2e-3);
}

TEST(Lsqfit, SingularSystemsThrowZeroDivide) {
    // Unknown that appears in no equation.
    EXPECT_EQ(test::raised<EZeroDivide>([] { LSQFIT({{1, 0, 1}, {2, 0, 2}, {3, 0, 3}}, 3, 2); }),
              TDiagnostic(Code::LeastSquaresSingular).with("unknown", 2).with("unknowns", 2));
    // Second column twice the first: only rounding residue is left as pivot.
    EXPECT_THROW(LSQFIT({{0.1, 0.2, 1.0}, {0.3, 0.6, 2.0}, {0.7, 1.4, 0.5}}, 3, 2), EZeroDivide);
    // Three equations but only two independent ones.
    EXPECT_THROW(LSQFIT({{1, 2, 3, 1}, {2, 4, 6, 2}, {0, 1, 1, 5}}, 3, 3), EZeroDivide);
}

TEST(Lsqfit, InconsistentSizesAreRejected) {
    const Matrix a = {{1, 2, 3}, {4, 5, 6}};
    // A caller's slip: std::invalid_argument, with what was wrong.
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { LSQFIT(a, 3, 2); }),  // more rows than given
              TDiagnostic(Code::LeastSquaresTooFewRows).with("equations", 3).with("rows", 2));
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { LSQFIT(a, 2, 3); }),  // fewer equations than unknowns
              TDiagnostic(Code::LeastSquaresTooFewEquations).with("equations", 2).with("unknowns", 3));
    EXPECT_THROW(LSQFIT(a, 2, 0), std::invalid_argument);
    EXPECT_EQ(test::raised<EInvalidArgument>([&] { LSQFIT({{1, 2, 3}, {4, 5}}, 2, 2); }),  // short row
              TDiagnostic(Code::LeastSquaresRowTooShort).with("row", 1).with("columns", 3));
}

}  // namespace
}  // namespace orbis
