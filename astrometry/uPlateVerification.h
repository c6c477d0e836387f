#pragma once
// Whether a plate explains the picture. A candidate plate (the affine map
// from pixels to standard coordinates that the binding fitted to its
// identified stars) predicts where every catalog star of the field must
// appear. On the camera's true plate most detected stars lie on such a
// place; on a false one (wrong identifications that happen to fit six
// constants) only the fitted stars do, and the others no more often than
// chance allows. The test counts the detected stars within a small radius of
// a predicted place against the count that chance gives, as a binomial tail
// probability, and accepts the plate when chance cannot explain it.

#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "astro/sphlib.h"
#include "astrometry/uPatternMatching.h"
#include "astrometry/uStarCatalog.h"

namespace orbis {

// xi = a x + b y + c, eta = d x + e y + f (radians) about the tangent point.
struct TPlate {
    TSkyPoint centre;
    double a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;

    // Pixels per radian of the plate (geometric mean of its two axes).
    double pixelsPerRadian() const;
    // The pixel where the plate puts a sky point; none behind the camera or
    // for a singular plate.
    std::optional<std::pair<double, double>> pixelOf(TSkyPoint sky) const;
};

// The area in which predicted and detected stars are compared: the
// processed frame.
struct TFrameArea {
    int width = 0, height = 0;
};

struct TPlateCheck {
    int detected = 0;   // detected stars tested
    int predicted = 0;  // catalog stars the plate puts into the frame
    int matched = 0;    // detected stars within the radius of a predicted place
    double radius = 0;  // pixels
    double expectedByChance = 0;
    // log10 of the probability that chance alone matches as many of the
    // detected stars beyond the three that any affine plate can be made to fit.
    double log10Chance = 0;
    double residualPixels = 0;  // rms distance of the matched stars
    bool passed = false;
};

// Detected stars are matched within this many pixels of a predicted place;
// the same limit marks a reference star that is not where its plate puts it.
inline constexpr double kPlateMatchRadius = 4.0;
// A plate is accepted when chance explains its matches with a probability
// below 10^kPlateLog10Chance.
inline constexpr double kPlateLog10Chance = -6.0;

TPlateCheck verifyPlate(const TPlate& plate, std::span<const TStarPoint> detected, const std::vector<TStarInfo>& sky,
                        TFrameArea frame);

// For every detected star, the index into sky of the catalog star the plate
// puts nearest to it within the match radius, or -1. A catalog star goes to
// one detected star only, the nearest.
std::vector<int> identifyThroughPlate(const TPlate& plate, std::span<const TStarPoint> detected,
                                      const std::vector<TStarInfo>& sky, TFrameArea frame);

// P(X >= k) for X binomial(n, p), as log10; 0 for k <= 0.
double log10BinomialTail(int n, int k, double p);

}  // namespace orbis
