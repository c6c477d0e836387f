// The distortion fit: exact polynomials come back, degenerate point sets
// give zeros for the unknowns they cannot determine instead of failing.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "TempDir.h"
#include "astro/uExceptions.h"
#include "processing/uDistortionFit.h"
#include "processing/uFrameOps.h"

namespace orbis {
namespace {

// A well-spread grid of the first quadrant, in hundreds of pixels.
template <class U, class V>
std::vector<TPointPair> gridPairs(U u, V v) {
    std::vector<TPointPair> pairs;
    for (int i = 0; i <= 5; ++i)
        for (int j = 0; j <= 4; ++j) {
            const double x = 0.6 * i, y = 0.55 * j;
            pairs.push_back({x, y, u(x, y), v(x, y)});
        }
    return pairs;
}

void expectCoefs(const TCoefficients& got, const TCoefficients& want) {
    for (int i = 0; i < TConfiguration::kCoefCount; ++i) EXPECT_NEAR(got[i], want[i], 1e-8) << "coefficient " << i;
}

TEST(DistortionFit, ExactPolynomialsComeBack) {
    const auto identity = fitDistortion(gridPairs([](double x, double) { return x; }, [](double, double y) { return y; }));
    expectCoefs(identity.coefX, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    expectCoefs(identity.coefY, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0});

    const auto fit = fitDistortion(gridPairs([](double x, double) { return 1 + 2 * x; },
                                             [](double x, double y) { return 3 * y - 0.5 * x * x; }));
    expectCoefs(fit.coefX, {1, 2, 0, 0, 0, 0, 0, 0, 0, 0});
    expectCoefs(fit.coefY, {0, 0, 3, 0, -0.5, 0, 0, 0, 0, 0});

    // The fitted model evaluates as the correction will evaluate it.
    TDistortion d;
    d.coefX = fit.coefX;
    d.coefY = fit.coefY;
    EXPECT_NEAR(distortionPolynomial(d, DistortionAxis::Y, 1.7, 0.4), 3 * 0.4 - 0.5 * 1.7 * 1.7, 1e-8);
}

TEST(DistortionFit, DegenerateSetsGiveZerosForWhatTheyCannotDetermine) {
    const auto empty = fitDistortion({});
    expectCoefs(empty.coefX, {});
    expectCoefs(empty.coefY, {});

    // Collinear points (y = 0): the terms in y have no pivot and come out 0,
    // those in x alone are still fitted.
    std::vector<TPointPair> line;
    for (int i = 0; i < 8; ++i) line.push_back({0.4 * i, 0.0, 1 + 2 * 0.4 * i, 0.0});
    TDistortionFit fit;
    ASSERT_NO_THROW(fit = fitDistortion(line));
    expectCoefs(fit.coefX, {1, 2, 0, 0, 0, 0, 0, 0, 0, 0});
    expectCoefs(fit.coefY, {});
}

TEST(DistortionFit, SolverPivotsAndLeavesItsInputs) {
    // A zero in the first diagonal place needs the row swap.
    std::array<TCoefficients, 10> m{};
    for (int i = 0; i < 10; ++i) m[i][i] = i + 1.0;
    m[0][0] = 0.0;
    m[0][1] = 1.0;
    m[1][0] = 4.0;
    TCoefficients b{};
    for (int i = 0; i < 10; ++i) b[i] = 1.0;
    const auto copy = m;
    const TCoefficients c = solveGaussJordan(m, b);
    EXPECT_EQ(m, copy);
    EXPECT_NEAR(c[1], 1.0, 1e-12);           // row 0: c1 = 1
    EXPECT_NEAR(4 * c[0] + 2 * c[1], 1.0, 1e-12);  // row 1
    EXPECT_NEAR(c[9], 0.1, 1e-12);
}

TEST(DistortionFit, PointPairFilesTakeTabSeparatedFields) {
    test::TempDir dir;
    const std::string file = (dir / "pairs.txt").string();
    std::ofstream(file) << "0.5\t1\t0.6\t1.1\n\n1\t2\t3\n";
    const auto rows = readPointPairFields(file);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][3], "1.1");
    EXPECT_EQ(rows[1][2], "3");
    EXPECT_EQ(rows[1][3], "");
    // The missing fourth field of line 3 is named.
    try {
        readPointPairs(file);
        FAIL() << "a missing field converted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::FieldNotANumber);
        EXPECT_EQ(e.diagnostic().value("file"), file);
        EXPECT_EQ(e.diagnostic().value("line"), "3");
        EXPECT_EQ(e.diagnostic().value("field"), "4");
        EXPECT_EQ(e.diagnostic().value("text"), "");
    }
}

}  // namespace
}  // namespace orbis
