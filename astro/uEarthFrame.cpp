#include "astro/uEarthFrame.h"

#include <algorithm>
#include <cmath>
#include <erfa.h>
#include <erfam.h>

namespace orbis {

namespace {
constexpr double kDegree = ERFA_DD2R;
}

TVector3 geodeticToEarthFixed(const TGeodetic& place) {
    double xyz[3] = {0, 0, 0};
    eraGd2gc(ERFA_WGS84, place.longitude * kDegree, place.latitude * kDegree, place.height, xyz);
    return {xyz[0], xyz[1], xyz[2]};
}

TGeodetic earthFixedToGeodetic(const TVector3& position) {
    double xyz[3] = {position[0], position[1], position[2]};
    double elong = 0, phi = 0, height = 0;
    eraGc2gd(ERFA_WGS84, xyz, &elong, &phi, &height);
    double longitude = elong / kDegree;
    if (longitude > 180) longitude -= 360;
    return {phi / kDegree, longitude, height};
}

double terrestrialTime(double jdUtc) {
    // Split at the day's start so that ERFA's leap-second arithmetic keeps
    // the fraction's precision.
    const double day = std::floor(jdUtc - 0.5) + 0.5;
    double tai1 = 0, tai2 = 0, tt1 = 0, tt2 = 0;
    if (eraUtctai(day, jdUtc - day, &tai1, &tai2) < 0) return jdUtc + 69.184 / ERFA_DAYSEC;
    eraTaitt(tai1, tai2, &tt1, &tt2);
    return tt1 + tt2;
}

TEarthRotation::TEarthRotation(double jdReference) {
    const double tt = terrestrialTime(jdReference);
    eraC2i06a(tt, 0.0, rc2i_);
}

TMatrix3 TEarthRotation::skyToEarth(double jdUtc) const {
    const double day = std::floor(jdUtc - 0.5) + 0.5;
    double rpom[3][3], rc2t[3][3], rc2i[3][3];
    eraIr(rpom);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) rc2i[i][j] = rc2i_[i][j];
    eraC2tcio(rc2i, eraEra00(day, jdUtc - day), rpom, rc2t);
    TMatrix3 m;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = rc2t[i][j];
    return m;
}

namespace {

// The local east, north and up of a place, Earth-fixed.
struct LocalAxes {
    TVector3 east, north, up;
};

LocalAxes localAxes(const TGeodetic& place) {
    const double sf = std::sin(place.latitude * kDegree), cf = std::cos(place.latitude * kDegree);
    const double sl = std::sin(place.longitude * kDegree), cl = std::cos(place.longitude * kDegree);
    return {{-sl, cl, 0}, {-sf * cl, -sf * sl, cf}, {cf * cl, cf * sl, sf}};
}

}  // namespace

TVector3 horizontalDirection(const TGeodetic& place, double azimuth, double altitude) {
    const LocalAxes a = localAxes(place);
    const double ca = std::cos(altitude * kDegree);
    return (ca * std::cos(azimuth * kDegree)) * a.north + (ca * std::sin(azimuth * kDegree)) * a.east +
           std::sin(altitude * kDegree) * a.up;
}

void horizontalOf(const TVector3& direction, const TGeodetic& place, double& azimuth, double& altitude) {
    const LocalAxes a = localAxes(place);
    altitude = std::asin(std::clamp(dot(direction, a.up), -1.0, 1.0)) / kDegree;
    azimuth = std::atan2(dot(direction, a.east), dot(direction, a.north)) / kDegree;
    // 0 <= azimuth < 360: a hair west of north is 360 - 1e-15, which rounds to 360.
    if (azimuth < 0) azimuth += 360;
    if (azimuth >= 360) azimuth -= 360;
}

TVector3 directionOf(double raDeg, double decDeg) {
    double c[3];
    eraS2c(raDeg * kDegree, decDeg * kDegree, c);
    return {c[0], c[1], c[2]};
}

void raDecOf(const TVector3& direction, double& raDeg, double& decDeg) {
    double p[3] = {direction[0], direction[1], direction[2]};
    double theta = 0, phi = 0;
    eraC2s(p, &theta, &phi);
    raDeg = eraAnp(theta) / kDegree;
    decDeg = phi / kDegree;
}

}  // namespace orbis
