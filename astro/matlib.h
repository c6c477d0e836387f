#pragma once
// Degree-based trigonometry and the least-squares solver of the astronomy
// routines. Every angle outside this unit is in degrees; the conversions to
// radians happen here and nowhere else.

#include <vector>

namespace orbis {

// Degrees to radians.
inline constexpr double RAD = 0.0174532925199433;

double CS(double x);  // cos of x degrees
double SN(double x);  // sin of x degrees
double TN(double x);  // tan of x degrees

// arctan x in degrees, -90..90.
double ATN(double x);

// Direction of the vector (x, y) in degrees, -180..180; 0 for (0, 0).
double ATN2(double y, double x);

// arcsin and arccos in degrees. Arguments a rounding error beyond +-1 are
// treated as +-1: callers form them from products of sines and cosines.
double ASN(double x);
double ACS(double x);

// Fractional part, always in [0, 1), also for negative x.
double FRAC(double x);

// Least-squares solution of an overdetermined linear system by Givens
// rotations (no normal equations). Rows 0..N-1 of A are the equations: the
// M coefficients in A[i][0..M-1] and the right-hand side in A[i][M]. A is
// taken by value because the rotations overwrite it. Returns the M unknowns.
// Throws std::invalid_argument for inconsistent sizes and EZeroDivide when
// the equations do not determine all unknowns.
std::vector<double> LSQFIT(std::vector<std::vector<double>> A, int N, int M);

}  // namespace orbis
