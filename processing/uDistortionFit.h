#pragma once
// The lens-distortion calibration: a least-squares fit of the two cubic
// polynomials of TDistortion to pairs of points, each a true position (x, y)
// and where the camera frame shows it (u, v), both in hundreds of pixels
// from the frame centre (the units distortionSource evaluates them in).
//
// The normal equations are solved by Gauss-Jordan elimination with partial
// pivoting; an unknown without a usable pivot (too few or collinear points)
// comes out 0 instead of failing, so any set of pairs gives coefficients.

#include <array>
#include <string>
#include <vector>

#include "config/uConfiguration.h"

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
