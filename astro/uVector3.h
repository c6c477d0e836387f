#pragma once
// Three-vectors of the trajectory solver: stations, sight lines and
// velocities in one Cartesian frame (metres, metres per second or unit
// directions), and the few operations the geometry needs.

#include <array>
#include <cmath>

namespace orbis {

using TVector3 = std::array<double, 3>;
using TMatrix3 = std::array<TVector3, 3>;  // rows

inline TVector3 operator+(const TVector3& a, const TVector3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline TVector3 operator-(const TVector3& a, const TVector3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline TVector3 operator*(double k, const TVector3& a) { return {k * a[0], k * a[1], k * a[2]}; }
inline TVector3 operator-(const TVector3& a) { return {-a[0], -a[1], -a[2]}; }
inline double dot(const TVector3& a, const TVector3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline TVector3 cross(const TVector3& a, const TVector3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double norm(const TVector3& a) { return std::sqrt(dot(a, a)); }
inline TVector3 unit(const TVector3& a) { return (1.0 / norm(a)) * a; }

inline TVector3 operator*(const TMatrix3& m, const TVector3& v) { return {dot(m[0], v), dot(m[1], v), dot(m[2], v)}; }
// The transpose times v: the inverse rotation of a rotation matrix.
inline TVector3 transposeTimes(const TMatrix3& m, const TVector3& v) {
    return {m[0][0] * v[0] + m[1][0] * v[1] + m[2][0] * v[2], m[0][1] * v[0] + m[1][1] * v[1] + m[2][1] * v[2],
            m[0][2] * v[0] + m[1][2] * v[1] + m[2][2] * v[2]};
}

// The unit eigenvector of the smallest eigenvalue of a symmetric matrix
// (Jacobi rotations), and that eigenvalue: the normal of the least-squares
// plane through a bundle of directions, the direction of the line closest
// to a set of planes.
TVector3 smallestEigenvector(const TMatrix3& symmetric, double* eigenvalue = nullptr);

// The solution of m x = b; false when m is singular.
bool solve3(const TMatrix3& m, const TVector3& b, TVector3& x);

}  // namespace orbis
