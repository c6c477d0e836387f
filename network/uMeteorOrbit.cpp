#include "network/uMeteorOrbit.h"

#include <cmath>
#include <erfa.h>
#include <erfam.h>

#include "astro/uEarthFrame.h"

namespace orbis {

namespace {

constexpr double kDegree = ERFA_DD2R;
// The Gaussian gravitational constant squared: the Sun's GM in au^3/day^2.
constexpr double kSunGM = 0.01720209895 * 0.01720209895;
constexpr double kMetresPerSecondToAuPerDay = ERFA_DAYSEC / ERFA_DAU;

double angleBetween(const TVector3& a, const TVector3& b) {
    return std::atan2(norm(cross(a, b)), dot(a, b));
}

double degrees0to360(double radians) { return eraAnp(radians) / kDegree; }

}  // namespace

std::optional<TGeocentricRadiant> geocentricRadiant(const TVector3& position, const TVector3& velocity,
                                                    double jdUtc) {
    // The rotating frame's velocity plus the frame's own at that point: the
    // velocity in the non-rotating geocentric frame.
    const TVector3 omega{0, 0, kEarthRotationRate};
    const TVector3 inertialEarth = velocity + cross(omega, position);
    const TMatrix3 toEarth = TEarthRotation(jdUtc).skyToEarth(jdUtc);
    const TVector3 v = transposeTimes(toEarth, inertialEarth);
    const TVector3 zenith = unit(transposeTimes(toEarth, position));

    const double vInfinity = norm(v);
    const double escape2 = 2 * kEarthGM / norm(position);
    if (vInfinity * vInfinity <= escape2) return std::nullopt;
    const double vg = std::sqrt(vInfinity * vInfinity - escape2);

    // The Earth's attraction bends the path towards the centre: the true
    // radiant lies farther from the zenith, along the same vertical, by
    // dz = 2 atan((v - vg) / (v + vg) tan(zc / 2)).
    const TVector3 radiant = -(1.0 / vInfinity) * v;
    const double zc = angleBetween(radiant, zenith);
    const double dz = 2 * std::atan((vInfinity - vg) / (vInfinity + vg) * std::tan(zc / 2));
    const double zg = zc + dz;
    TVector3 across = radiant - dot(radiant, zenith) * zenith;
    const TVector3 radiantGeo =
        norm(across) > 1e-12 ? std::cos(zg) * zenith + std::sin(zg) * unit(across) : radiant;  // at the zenith: unmoved

    TGeocentricRadiant g;
    raDecOf(radiantGeo, g.ra, g.dec);
    g.speed = vg;
    g.speedInfinity = vInfinity;
    g.zenithObserved = zc / kDegree;
    g.zenithGeocentric = zg / kDegree;
    return g;
}

TOrbitElements heliocentricOrbit(double raGeocentric, double decGeocentric, double speedGeocentric, double jdUtc) {
    // ERFA's Earth is in TDB; TT is within 2 ms of it.
    const double tt = terrestrialTime(jdUtc);
    double pvh[2][3], pvb[2][3];
    eraEpv00(tt, 0.0, pvh, pvb);

    const TVector3 geocentricVelocity =
        -(speedGeocentric * kMetresPerSecondToAuPerDay) * directionOf(raGeocentric, decGeocentric);
    const TVector3 rEq{pvh[0][0], pvh[0][1], pvh[0][2]};
    const TVector3 vEq = TVector3{pvh[1][0], pvh[1][1], pvh[1][2]} + geocentricVelocity;

    // To the mean ecliptic and equinox of J2000.
    double rm[3][3];
    eraEcm06(ERFA_DJ00, 0.0, rm);
    TMatrix3 toEcliptic;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) toEcliptic[i][j] = rm[i][j];
    const TVector3 r = toEcliptic * rEq;
    const TVector3 v = toEcliptic * vEq;

    const double rr = norm(r), vv = norm(v);
    const TVector3 h = cross(r, v);
    const TVector3 nodeLine{-h[1], h[0], 0};  // z x h
    const TVector3 eVector = (1.0 / kSunGM) * ((vv * vv - kSunGM / rr) * r - dot(r, v) * v);

    TOrbitElements o;
    o.e = norm(eVector);
    o.a = 1.0 / (2.0 / rr - vv * vv / kSunGM);
    o.q = dot(h, h) / (kSunGM * (1 + o.e));
    o.i = std::acos(h[2] / norm(h)) / kDegree;
    o.node = degrees0to360(std::atan2(nodeLine[1], nodeLine[0]));
    // The perihelion's angle from the ascending node, in the direction of motion.
    const double cosOmega = dot(nodeLine, eVector) / (norm(nodeLine) * o.e);
    o.omega = std::acos(std::fmax(-1.0, std::fmin(1.0, cosOmega))) / kDegree;
    if (eVector[2] < 0) o.omega = 360 - o.omega;
    o.heliocentricSpeed = vv / kMetresPerSecondToAuPerDay;
    // The Sun seen from the Earth.
    o.solarLongitude = degrees0to360(std::atan2(-r[1], -r[0]));
    return o;
}

}  // namespace orbis
