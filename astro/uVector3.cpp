#include "astro/uVector3.h"

#include <cmath>
#include <utility>

namespace orbis {

TVector3 smallestEigenvector(const TMatrix3& symmetric, double* eigenvalue) {
    TMatrix3 a = symmetric;
    TMatrix3 v{TVector3{1, 0, 0}, TVector3{0, 1, 0}, TVector3{0, 0, 1}};  // columns: the eigenvectors
    for (int sweep = 0; sweep < 50; ++sweep) {
        const double off = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
        const double diag = a[0][0] * a[0][0] + a[1][1] * a[1][1] + a[2][2] * a[2][2];
        if (off <= 1e-30 * diag || off == 0) break;
        for (int p = 0; p < 2; ++p) {
            for (int q = p + 1; q < 3; ++q) {
                if (a[p][q] == 0) continue;
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < 3; ++k) {  // a = a J
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {  // a = J^T a
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
        }
    }
    int smallest = 0;
    for (int i = 1; i < 3; ++i)
        if (a[i][i] < a[smallest][smallest]) smallest = i;
    if (eigenvalue) *eigenvalue = a[smallest][smallest];
    return unit(TVector3{v[0][smallest], v[1][smallest], v[2][smallest]});
}

bool solve3(const TMatrix3& m, const TVector3& b, TVector3& x) {
    // Cramer's rule on the rows' cross products: det = r0 . (r1 x r2).
    const TVector3 c12 = cross(m[1], m[2]), c20 = cross(m[2], m[0]), c01 = cross(m[0], m[1]);
    const double det = dot(m[0], c12);
    const double scale = norm(m[0]) * norm(m[1]) * norm(m[2]);
    if (!(std::fabs(det) > 1e-14 * scale)) return false;
    x = (1.0 / det) * (b[0] * c12 + b[1] * c20 + b[2] * c01);
    return true;
}

}  // namespace orbis
