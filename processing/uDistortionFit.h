#pragma once
// The lens-distortion calibration: a least-squares fit of the two cubic
// polynomials of TDistortion to pairs of points, each a true position (x, y)
// and where the camera frame shows it (u, v), both in hundreds of pixels
// from the frame centre (the units distortionSource evaluates them in).
//
// The normal equations are solved by Gauss-Jordan elimination with partial
// pivoting; an unknown without a usable pivot (too few or collinear points)
// comes out 0 in fitDistortion (the dialog's grid shows what a set of pairs
// gives while it is being filled), while fitDeterminedDistortion, whose
// coefficients go into the settings, refuses such a set.
//
// The coefficients are also judged as a whole (distortionMappingProblem):
// single values in range can still fold the frame or throw it far out.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "config/uConfiguration.h"
#include "processing/uFrameOps.h"

namespace orbis {

struct TPointPair {
    double x = 0.0, y = 0.0;  // true position
    double u = 0.0, v = 0.0;  // distorted position
};

using TCoefficients = std::array<double, TConfiguration::kCoefCount>;

struct TDistortionFit {
    TCoefficients coefX{};  // u as a polynomial in (x, y)
    TCoefficients coefY{};  // v
};

// The ten terms in the order of the configuration's coefficients:
// 1, x, y, xy, x^2, y^2, x^2 y, x y^2, x^3, y^3.
TCoefficients distortionTerms(double x, double y);

// Solves m c = b. Pivots below 1e-10 leave their unknown 0; of equal pivot
// candidates the first row wins. The inputs are not modified.
TCoefficients solveGaussJordan(const std::array<TCoefficients, TConfiguration::kCoefCount>& m, const TCoefficients& b);

// The fit over every pair; no pairs give twenty zeros.
TDistortionFit fitDistortion(const std::vector<TPointPair>& pairs);

// The fit, when the pairs determine every coefficient: fewer than ten
// pairs, or pairs whose normal equations have an unknown without a usable
// pivot (points on a line or a conic), raise EZeroDivide saying so.
TDistortionFit fitDeterminedDistortion(const std::vector<TPointPair>& pairs);

// Why correcting a W x H frame (the size the correction works on, margins
// included) with d cannot be a lens's correction, or nothing. On a grid
// over the frame, the pixel each corrected pixel is taken from must lie
// within a quarter of the frame's size of the frame, and must advance with
// the pixel along each axis (x along a row, y along a column): a lens keeps
// the order of points, a typo in a coefficient or an all-zero fit does not.
std::optional<TDiagnostic> distortionMappingProblem(const TDistortion& d, int W, int H);

// For processing with the correction on: raises EConvertError as
// requireInRange does for the coefficients, margins and frame size, then
// naming the INI file and the coefficients that differ from the identity
// when distortionMappingProblem finds the coefficients cannot map the
// frame (widthCCD x heightCCD with the margins).
void requirePlausibleDistortion(const TConfiguration& config);

// A point-pair file: a pair per line, x, y, u, v separated by TAB, numbers
// with "." or the locale's separator; empty lines are skipped. Each line's
// fields as text (missing ones empty), for the calibration grid.
std::vector<std::array<std::string, 4>> readPointPairFields(const std::string& file);
// The fields of one line: TAB-separated, missing ones empty, extra ones
// dropped.
std::array<std::string, 4> pointPairFields(const std::string& line);
// The pairs of a point-pair file; EConvertError names the line of a field
// that does not convert, EInOutError a file that cannot be read.
std::vector<TPointPair> readPointPairs(const std::string& file);

}  // namespace orbis
