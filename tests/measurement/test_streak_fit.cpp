// The model of a blurred stretch and the estimates of its head: the fit
// with its options, and the plainer estimates used where a fit does not
// settle, on pixels rendered from the model with noise.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "measurement/uStreakFit.h"

namespace orbis {
namespace {

// The pixels of a w x h picture showing `s` (above a zero background) with
// Gaussian noise, clipped at `ceiling`.
std::vector<TStreakPixel> render(const TStreak& s, int w, int h, double noise, double ceiling = 1e300, unsigned seed = 3) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> n(0, noise > 0 ? noise : 1);
    std::vector<TStreakPixel> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double v = std::min(streakValue(s, x, y) + (noise > 0 ? n(rng) : 0), ceiling);
            pixels.push_back({x, y, v, ceiling});
        }
    return pixels;
}

double headMiss(const TStreak& fit, const TStreak& truth) { return std::hypot(fit.headX - truth.headX, fit.headY - truth.headY); }

TEST(StreakFit, EndsBeyondThePicturesEdgeAndAHeldBlur) {
    // Entering the picture across its left edge: the tail lies outside.
    const TStreak truth{-6, 12.0, 14.3, 17.6, 3000, 1.1, 1.1};
    const auto pixels = render(truth, 40, 30, 1.0);
    TStreak guess = truth;
    guess.tailX = -2, guess.tailY = 11, guess.headX = 12, guess.headY = 16, guess.flux = 2000, guess.sigmaX = guess.sigmaY = 1.4;
    // Without the picture the ends must lie inside the pixels given.
    EXPECT_FALSE(fitStreak(pixels, guess));
    const auto fit = fitStreak(pixels, guess, {.pictureWidth = 40, .pictureHeight = 30});
    ASSERT_TRUE(fit);
    EXPECT_LT(headMiss(*fit, truth), 0.2);

    // The blur held: only the ends and the light move.
    const auto held = fitStreak(pixels, guess, {.fixedBlur = true, .pictureWidth = 40, .pictureHeight = 30});
    ASSERT_TRUE(held);
    EXPECT_DOUBLE_EQ(held->sigmaX, 1.4);
    EXPECT_DOUBLE_EQ(held->sigmaY, 1.4);
    EXPECT_LT(headMiss(*held, truth), 0.6);
}

TEST(StreakFit, PlainEstimatesOfTheHead) {
    // A stretch along a slant, blurred, with noise: the leading edge at half
    // light is its head, for any direction and also when clipped.
    for (const double angle : {0.3, 1.9, 3.5, 5.2}) {
        const double dx = std::cos(angle), dy = std::sin(angle);
        const TStreak truth{30 - 12 * dx, 30 - 12 * dy, 30 + 12 * dx, 30 + 12 * dy, 4000, 1.2, 1.2};
        const auto pixels = render(truth, 60, 60, 2.0);
        // The line the motion gives, a little off the truth and short of the head.
        TStreak line = truth;
        line.tailX += 0.4 * dy, line.tailY -= 0.4 * dx, line.headX -= 3 * dx, line.headY -= 3 * dy;
        const auto edge = leadingEdge(pixels, line, 2.9);
        ASSERT_TRUE(edge);
        EXPECT_LT(std::hypot(edge->x - truth.headX, edge->y - truth.headY), 1.0) << angle;

        const auto clipped = leadingEdge(render(truth, 60, 60, 2.0, 40), line, 2.9);
        ASSERT_TRUE(clipped);
        EXPECT_LT(std::hypot(clipped->x - truth.headX, clipped->y - truth.headY), 1.5) << angle;
    }
    // A spot: its centre of light, not pulled by the noise around it.
    const TStreak spot{21.3, 17.8, 21.3, 17.8, 1500, 1.0, 0.6};
    const auto c = spotCentroid(render(spot, 45, 35, 1.5));
    ASSERT_TRUE(c);
    EXPECT_LT(std::hypot(c->x - 21.3, c->y - 17.8), 0.3);

    // No light: no estimate.
    const auto dark = render(spot, 10, 10, 0);
    std::vector<TStreakPixel> nothing(dark.size());
    EXPECT_FALSE(spotCentroid(nothing));
    EXPECT_FALSE(leadingEdge(nothing, TStreak{1, 1, 8, 8, 1, 1, 1}, 2));
}

}  // namespace
}  // namespace orbis
