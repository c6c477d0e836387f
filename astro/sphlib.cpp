#include "astro/sphlib.h"

#include <cmath>

#include "astro/matlib.h"

namespace orbis {

void POLAR(double x, double y, double z, double& r, double& theta, double& phi) {
    const double rho2 = x * x + y * y;
    r = std::sqrt(rho2 + z * z);
    phi = ATN2(y, x);
    if (phi < 0.0) phi += 360.0;
    theta = ATN2(z, std::sqrt(rho2));
}

void EQUHOR(double dec, double tau, double phi, double& h, double& az) {
    const double csPhi = CS(phi);
    const double snPhi = SN(phi);
    const double csDec = CS(dec);
    const double snDec = SN(dec);
    const double csTau = CS(tau);
    const double x = csDec * snPhi * csTau - snDec * csPhi;
    const double y = csDec * SN(tau);
    const double z = csDec * csPhi * csTau + snDec * snPhi;
    double r;
    POLAR(x, y, z, r, h, az);
}

void EQUSTD(double ra0, double dec0, double ra, double dec, double& X, double& Y) {
    const double c = CS(dec0) * CS(dec) * CS(ra - ra0) + SN(dec0) * SN(dec);
    X = -CS(dec) * SN(ra - ra0) / c;
    Y = -(SN(dec0) * CS(dec) * CS(ra - ra0) - CS(dec0) * SN(dec)) / c;
}

void STDEQU(double ra0, double dec0, double X, double Y, double& ra, double& dec) {
    // The denominator turns negative for points beyond the celestial pole
    // (seen from a field around it); there the plain arctangent would answer
    // 180 degrees off, so the quadrant comes from both components.
    const double denominator = CS(dec0) - Y * SN(dec0);
    ra = ra0 + (denominator > 0 ? ATN(-X / denominator) : ATN2(-X, denominator));
    dec = ASN((SN(dec0) + Y * CS(dec0)) / std::sqrt(1.0 + X * X + Y * Y));
}

namespace {

// The great circle through a and b as cos ra + S sin ra + T tan dec = 0,
// i.e. the plane x + S y + T z = 0. Fails when that plane contains the
// x axis (D = 0) or when a and b do not span a plane.
bool circleThrough(TSkyPoint a, TSkyPoint b, double& S, double& T) {
    // Coincident or antipodal within rounding: D is then rounding noise
    // rather than 0, and S, T would be noise too.
    const double ax = CS(a.dec) * CS(a.ra), ay = CS(a.dec) * SN(a.ra), az = SN(a.dec);
    const double bx = CS(b.dec) * CS(b.ra), by = CS(b.dec) * SN(b.ra), bz = SN(b.dec);
    const double cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
    if (std::sqrt(cx * cx + cy * cy + cz * cz) <= 1e-12) return false;

    const double d = SN(a.ra) * TN(b.dec) - SN(b.ra) * TN(a.dec);
    if (d == 0.0) return false;
    S = (CS(b.ra) * TN(a.dec) - CS(a.ra) * TN(b.dec)) / d;
    T = -SN(a.ra - b.ra) / d;
    return true;
}

}  // namespace

bool intersectGreatCircles(TSkyPoint p1, TSkyPoint p2, TSkyPoint p3, TSkyPoint p4, TSkyPoint& result) {
    double s1, t1, s2, t2;
    if (!circleThrough(p1, p2, s1, t1) || !circleThrough(p3, p4, s2, t2)) return false;

    // (V, W) are the x and y of the crossing direction n1 x n2.
    double v = s1 * t2 - t1 * s2;
    const double w = t1 - t2;
    if (std::fabs(v) < 1e-7) v = 1e-7;

    double ra = ATN2(w, v);
    if (ra < 0.0) ra += 360.0;
    const double t = w / v;

    // The circles cross twice. Near the antipode of p2 take the other
    // crossing, which lies near p2 itself.
    const double fromP2 = ra - p2.ra;
    if (fromP2 > 175.0 && fromP2 < 185.0) {
        ra -= 180.0;
    } else if (fromP2 > -185.0 && fromP2 < -175.0) {
        ra += 180.0;
    }

    if (std::fabs(t2) < 1e-7) t2 = 1e-7;
    const double dec = ATN(CS(ra) * (-(s2 * t + 1.0)) / t2);

    if (!std::isfinite(ra) || !std::isfinite(dec)) return false;
    result = {ra, dec};
    return true;
}

}  // namespace orbis
