// The distortion coefficients judged as a whole: a fit the pairs do not
// determine is refused, and coefficients that cannot be a lens's mapping of
// the frame are found, however each lies in its own range.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "DiagnosticTesting.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "processing/uDistortionFit.h"
#include "processing/uFrameOps.h"

namespace orbis {
namespace {

// Radial distortion k r^2 about the centre, r in hundreds of pixels.
TDistortion radial(double k) {
    TDistortion d;
    d.coefX[8] = d.coefX[7] = k;  // a^3 + a b^2
    d.coefY[9] = d.coefY[6] = k;  // b^3 + a^2 b
    return d;
}

// The code of the problem, or Unworded for none.
Code problemOf(const TDistortion& d, int W = 640, int H = 480) {
    const std::optional<TDiagnostic> problem = distortionMappingProblem(d, W, H);
    return problem ? problem->code() : Code::Unworded;
}
constexpr Code kNone = Code::Unworded;

TEST(DistortionPlausibility, LensesPassAndSlipsAreFound) {
    for (const auto& [W, H] : {std::pair{640, 480}, {1920, 1080}, {7, 5}, {1, 1}}) {
        EXPECT_EQ(problemOf(TDistortion{}, W, H), kNone) << W << "x" << H;
    }
    EXPECT_EQ(problemOf(radial(0.02)), kNone);    // pincushion
    EXPECT_EQ(problemOf(radial(-0.02)), kNone);   // barrel
    TDistortion offset;
    offset.coefX[0] = -0.003;  // a fit's fraction of a pixel at the centre
    EXPECT_EQ(problemOf(offset), kNone);

    const auto with = [](bool x, int i, double value) {
        TDistortion d;
        (x ? d.coefX : d.coefY)[static_cast<std::size_t>(i)] = value;
        return d;
    };
    EXPECT_EQ(problemOf(with(true, 1, 10)), Code::DistortionSourceFar);
    EXPECT_EQ(problemOf(with(true, 0, -6.4)), Code::DistortionSourceFar);
    EXPECT_EQ(problemOf(with(false, 5, std::numeric_limits<double>::quiet_NaN())), Code::DistortionSourceInfinite);
    // Mirrored, folded or collapsed: inside the frame, but the order of the
    // points is lost.
    EXPECT_EQ(problemOf(with(false, 2, -1)), Code::DistortionOrderVertical);
    EXPECT_EQ(problemOf(radial(-0.1)), Code::DistortionOrderHorizontal);
    EXPECT_EQ(problemOf(TDistortion{}, 0, 480), Code::DistortionFrameEmpty);
    TDistortion zero;
    zero.coefX = {};
    zero.coefY = {};
    EXPECT_EQ(distortionMappingProblem(zero, 640, 480), TDiagnostic(Code::DistortionOrderHorizontal)
                                                            .with("width", 640)
                                                            .with("height", 480)
                                                            .with("x1", 0)
                                                            .with("y1", 0)
                                                            .with("x2", 20)
                                                            .with("y2", 0)
                                                            .with("before", 320)
                                                            .with("after", 320));
    const std::optional<TDiagnostic> far = distortionMappingProblem(with(true, 1, 10), 640, 480);
    ASSERT_TRUE(far);
    EXPECT_EQ(far->value("x"), "0");
    EXPECT_EQ(far->value("y"), "0");
    EXPECT_EQ(far->value("u"), "-2876");
    // A mild pincushion of a small frame is a wild one of a large frame.
    EXPECT_EQ(problemOf(radial(0.05), 320, 240), kNone);
    EXPECT_NE(problemOf(radial(0.05), 1920, 1080), kNone);
}

TEST(DistortionPlausibility, AFitMustDetermineEveryCoefficient) {
    std::vector<TPointPair> grid;
    for (int i = -2; i <= 2; ++i)
        for (int j = -2; j <= 2; ++j) grid.push_back({0.8 * i, 0.6 * j, 0.8 * i * 1.01, 0.6 * j});
    const TDistortionFit fit = fitDeterminedDistortion(grid);
    EXPECT_NEAR(fit.coefX[1], 1.01, 1e-9);
    EXPECT_NEAR(fit.coefY[2], 1.0, 1e-9);

    const auto refused = [](const std::vector<TPointPair>& pairs) {
        try {
            fitDeterminedDistortion(pairs);
        } catch (const EZeroDivide& e) {
            return e.diagnostic();
        }
        return TDiagnostic();
    };
    EXPECT_EQ(refused({}), TDiagnostic(Code::DistortionTooFewPairs).with("needed", 10).with("pairs", 0));
    EXPECT_EQ(refused({grid.begin(), grid.begin() + 9}).value("pairs"), "9");
    // Many pairs, but on a line, on a circle (x^2 + y^2 = 1 ties three
    // terms), or one pair repeated.
    std::vector<TPointPair> line, circle, repeated(20, grid[3]);
    for (int k = 0; k < 20; ++k) {
        line.push_back({0.1 * k, 0.05 * k, 0.1 * k, 0.05 * k});
        const double t = 0.3 * k;
        circle.push_back({std::cos(t), std::sin(t), std::cos(t), std::sin(t)});
    }
    for (const auto* pairs : {&line, &circle, &repeated}) {
        EXPECT_EQ(refused(*pairs), TDiagnostic(Code::DistortionPairsUndetermined).with("pairs", pairs->size()));
        EXPECT_NO_THROW(fitDistortion(*pairs));  // the dialog's preview still gets its zeros
    }
}

TEST(DistortionPlausibility, ProcessingRefusesNamingTheFileAndTheCoefficients) {
    test::TempDir dir;
    const auto ini = iniFilePath(dir.path());
    writeFileAtomically(ini, "[Distortion]\r\ncoefX1=10\r\ncoefY3=0.001\r\n");
    TConfiguration config;
    config.load(ini);
    try {
        requirePlausibleDistortion(config);
        ADD_FAILURE() << "accepted";
    } catch (const EConvertError& e) {
        const TDiagnostic& d = e.diagnostic();
        EXPECT_EQ(d.code(), Code::DistortionSourceFar) << d.plain();
        EXPECT_EQ(d.value("file"), ini.string());
        EXPECT_EQ(d.value("changed"), "coefX1=10, coefY3=0.001");
        EXPECT_EQ(d.value("x"), "0");
        EXPECT_EQ(d.value("y"), "0");
    }
    // Each coefficient is held to its range before the mapping is judged.
    config.setCoefX(1, 1);
    config.setCoefX(0, -640);
    try {
        requirePlausibleDistortion(config);
        ADD_FAILURE() << "accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::SettingOutOfRange);
        EXPECT_EQ(e.diagnostic().value("key"), "coefX0");
    }
    config.setCoefX(0, 0.001);
    EXPECT_NO_THROW(requirePlausibleDistortion(config));
    // Margins count in the frame the correction works on.
    config.setAddResultWidth(-1);
    EXPECT_THROW(requirePlausibleDistortion(config), EConvertError);
}

}  // namespace
}  // namespace orbis
