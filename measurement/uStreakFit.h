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

// What a fit may change and where its ends may lie.
struct TStreakFitOptions {
    // The blur stays that of the guess: on a faint frame, or one short
    // stretch, seven free parameters follow the noise; the blur measured on
    // the brightest frame holds for all.
    bool fixedBlur = false;
    // The picture the pixels come from (0: unknown). An end may lie beyond
    // an edge of the picture the pixels reach: a streak that enters or
    // leaves the picture is cut there, not ended.
    int pictureWidth = 0, pictureHeight = 0;
};

// Least squares (Levenberg-Marquardt) from a first guess whose head lies on
// the side the object moves to. Nothing when the fit does not settle, or
// settles on a model without light, blur or an end inside the pixels given.
std::optional<TStreak> fitStreak(std::span<const TStreakPixel> pixels, const TStreak& guess,
                                 const TStreakFitOptions& options = {});

// Plainer estimates of a head, for pixels a fit does not settle on (a faint
// frame, or light that is no clean stretch). Positions as the pixels'.
struct TPoint2 {
    double x = 0, y = 0;
};

// Where the light along the line from line.tailX/Y towards line.headX/Y
// falls to half its peak beyond the peak: the profile along the line of the
// pixels within halfWidth of it, in one-pixel steps, smoothed over three.
// For a blurred, evenly lit stretch that is its head. Nothing without light.
std::optional<TPoint2> leadingEdge(std::span<const TStreakPixel> pixels, const TStreak& line, double halfWidth);

// The centre of light of the pixels at or above half the brightest one's
// value: a spot's centre. Nothing without light.
std::optional<TPoint2> spotCentroid(std::span<const TStreakPixel> pixels);

}  // namespace orbis
