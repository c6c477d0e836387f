// The distortion coefficients judged as a whole: a fit the pairs do not
// determine is refused, and coefficients that cannot be a lens's mapping of
// the frame are found, however each lies in its own range.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

std::string problemOf(const TDistortion& d, int W = 640, int H = 480) {
    return distortionMappingProblem(d, W, H).value_or("");
}

TEST(DistortionPlausibility, LensesPassAndSlipsAreFound) {
    for (const auto& [W, H] : {std::pair{640, 480}, {1920, 1080}, {7, 5}, {1, 1}}) {
        EXPECT_EQ(problemOf(TDistortion{}, W, H), "") << W << "x" << H;
    }
    EXPECT_EQ(problemOf(radial(0.02)), "");    // pincushion
    EXPECT_EQ(problemOf(radial(-0.02)), "");   // barrel
    TDistortion offset;
    offset.coefX[0] = -0.003;  // a fit's fraction of a pixel at the centre
    EXPECT_EQ(problemOf(offset), "");

    const auto with = [](bool x, int i, double value) {
        TDistortion d;
        (x ? d.coefX : d.coefY)[static_cast<std::size_t>(i)] = value;
        return d;
    };
    const std::string outside = "дальше четверти кадра за его краем";
    EXPECT_NE(problemOf(with(true, 1, 10)).find(outside), std::string::npos);
    EXPECT_NE(problemOf(with(true, 0, -6.4)).find(outside), std::string::npos);
    EXPECT_NE(problemOf(with(false, 5, std::numeric_limits<double>::quiet_NaN())).find("из бесконечности"),
              std::string::npos);
    // Mirrored, folded or collapsed: inside the frame, but the order of the
    // points is lost.
    EXPECT_NE(problemOf(with(false, 2, -1)).find("порядок по вертикали"), std::string::npos);
    EXPECT_NE(problemOf(radial(-0.1)).find("порядок по горизонтали"), std::string::npos);
    TDistortion zero;
    zero.coefX = {};
    zero.coefY = {};
    EXPECT_EQ(problemOf(zero),
              "пиксели (0, 0) и (20, 0) кадра 640×480 берутся из точек с x 320 и 320: порядок по горизонтали не сохранён");
    // A mild pincushion of a small frame is a wild one of a large frame.
    EXPECT_EQ(problemOf(radial(0.05), 320, 240), "");
    EXPECT_NE(problemOf(radial(0.05), 1920, 1080), "");
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
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_NE(refused({}).find("there are 0"), std::string::npos);
    EXPECT_NE(refused({grid.begin(), grid.begin() + 9}).find("10 point pairs at least"), std::string::npos);
    // Many pairs, but on a line, on a circle (x^2 + y^2 = 1 ties three
    // terms), or one pair repeated.
    std::vector<TPointPair> line, circle, repeated(20, grid[3]);
    for (int k = 0; k < 20; ++k) {
        line.push_back({0.1 * k, 0.05 * k, 0.1 * k, 0.05 * k});
        const double t = 0.3 * k;
        circle.push_back({std::cos(t), std::sin(t), std::cos(t), std::sin(t)});
    }
    for (const auto* pairs : {&line, &circle, &repeated}) {
        EXPECT_NE(refused(*pairs).find("do not determine"), std::string::npos) << pairs->size();
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
        const std::string text = e.what();
        EXPECT_TRUE(text.starts_with("Коэффициенты дисторсии [Distortion] в " + ini.string() +
                                     " не могут описывать объектив (coefX1=10, coefY3=0.001): пиксель (0, 0)"))
            << text;
    }
    // Each coefficient is held to its range before the mapping is judged.
    config.setCoefX(1, 1);
    config.setCoefX(0, -640);
    EXPECT_THROW(requirePlausibleDistortion(config), EConvertError);
    config.setCoefX(0, 0.001);
    EXPECT_NO_THROW(requirePlausibleDistortion(config));
    // Margins count in the frame the correction works on.
    config.setAddResultWidth(-1);
    EXPECT_THROW(requirePlausibleDistortion(config), EConvertError);
}

}  // namespace
}  // namespace orbis
