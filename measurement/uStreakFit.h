#pragma once
// The picture a moving point leaves on one exposure: a straight stretch from
// tail to head, evenly lit (the exposure integrates the motion), blurred by
// the optics into a Gaussian cross-section. Fitting this model to the
// pixels of one frame gives the two ends to a fraction of a pixel, also for
// a stretch shorter than its own blur and for one whose middle is clipped
// at full scale.
//
// Coordinates: x the column, y the row from the top, a pixel's centre at
// whole numbers. The blur has its own width in x and in y, so the fields of
// an interlaced camera (every other row: half the blur in rows) are fitted
// in their own rows.

#include <optional>
#include <span>

namespace orbis {

struct TStreak {
    double tailX = 0, tailY = 0;
    double headX = 0, headY = 0;
    double flux = 0;  // sum of the stretch over the whole picture
    double sigmaX = 1, sigmaY = 1;
};

// The value the streak gives the pixel whose centre is at (x, y).
double streakValue(const TStreak& streak, double x, double y);

// One pixel to fit: the frame's value above the background, and the value
// above which the camera clips it (a pixel that reached full scale only says
// the streak is at least that bright there).
struct TStreakPixel {
    int x = 0, y = 0;
    double value = 0;
    double ceiling = 1e300;
};

// Least squares (Levenberg-Marquardt) from a first guess whose head lies on
// the side the object moves to. Nothing when the fit does not settle, or
// settles on a model without light, blur or an end inside the pixels given.
std::optional<TStreak> fitStreak(std::span<const TStreakPixel> pixels, const TStreak& guess);

}  // namespace orbis
