#include "astro/sunlib.h"

#include <cmath>
#include <cstddef>
#include <numbers>

#include "astro/matlib.h"

namespace orbis {

namespace {

constexpr double P2 = 2.0 * std::numbers::pi;

enum Body { Venus, Mars, Jupiter, Saturn, BodyCount };

// One periodic term: argument i1*M(Earth) + i*M(body); it > 0 marks a
// T^it companion of the line before it, reusing that line's argument.
// Coefficients: longitude and latitude in arc seconds, radius in 1e-6 AU.
struct Term {
    Body body;
    int i1;
    int i;
    int it;
    double dlc, dls, drc, drs, dbc, dbs;
};

// In the order of evaluation; the first six Venus lines (i = 0) are the
// Keplerian terms of the Earth's orbit.
constexpr Term kTerms[] = {
    {Venus,   1,   0, 0,   -0.22, 6892.76, -16707.37,   -0.54,    0.00,    0.00},
    {Venus,   1,   0, 1,   -0.06,  -17.35,   42.04,   -0.15,    0.00,    0.00},
    {Venus,   1,   0, 2,   -0.01,   -0.05,    0.13,   -0.02,    0.00,    0.00},
    {Venus,   2,   0, 0,    0.00,   71.98, -139.57,    0.00,    0.00,    0.00},
    {Venus,   2,   0, 1,    0.00,   -0.36,    0.70,    0.00,    0.00,    0.00},
    {Venus,   3,   0, 0,    0.00,    1.04,   -1.75,    0.00,    0.00,    0.00},
    {Venus,   0,  -1, 0,    0.03,   -0.07,   -0.16,   -0.07,    0.02,   -0.02},
    {Venus,   1,  -1, 0,    2.35,   -4.23,   -4.75,   -2.64,    0.00,    0.00},
    {Venus,   1,  -2, 0,   -0.10,    0.06,    0.12,    0.20,    0.02,    0.00},
    {Venus,   2,  -1, 0,   -0.06,   -0.03,    0.20,   -0.01,    0.01,   -0.09},
    {Venus,   2,  -2, 0,   -4.70,    2.90,    8.28,   13.42,    0.01,   -0.01},
    {Venus,   3,  -2, 0,    1.80,   -1.74,   -1.44,   -1.57,    0.04,   -0.06},
    {Venus,   3,  -3, 0,   -0.67,    0.03,    0.11,    2.43,    0.01,    0.00},
    {Venus,   4,  -2, 0,    0.03,   -0.03,    0.10,    0.09,    0.01,   -0.01},
    {Venus,   4,  -3, 0,    1.51,   -0.40,   -0.88,   -3.36,    0.18,   -0.10},
    {Venus,   4,  -4, 0,   -0.19,   -0.09,   -0.38,    0.77,    0.00,    0.00},
    {Venus,   5,  -3, 0,    0.76,   -0.68,    0.30,    0.37,    0.01,    0.00},
    {Venus,   5,  -4, 0,   -0.14,   -0.04,   -0.11,    0.43,   -0.03,    0.00},
    {Venus,   5,  -5, 0,   -0.05,   -0.07,   -0.31,    0.21,    0.00,    0.00},
    {Venus,   6,  -4, 0,    0.15,   -0.04,   -0.06,   -0.21,    0.01,    0.00},
    {Venus,   6,  -5, 0,   -0.03,   -0.03,   -0.09,    0.09,   -0.01,    0.00},
    {Venus,   6,  -6, 0,    0.00,   -0.04,   -0.18,    0.02,    0.00,    0.00},
    {Venus,   7,  -5, 0,   -0.12,   -0.03,   -0.08,    0.31,   -0.02,   -0.01},
    {Mars,   1,  -1, 0,   -0.22,    0.17,   -0.21,   -0.27,    0.00,    0.00},
    {Mars,   1,  -2, 0,   -1.66,    0.62,    0.16,    0.28,    0.00,    0.00},
    {Mars,   2,  -2, 0,    1.96,    0.57,   -1.32,    4.55,    0.00,    0.01},
    {Mars,   2,  -3, 0,    0.40,    0.15,   -0.17,    0.46,    0.00,    0.00},
    {Mars,   2,  -4, 0,    0.53,    0.26,    0.09,   -0.22,    0.00,    0.00},
    {Mars,   3,  -3, 0,    0.05,    0.12,   -0.35,    0.15,    0.00,    0.00},
    {Mars,   3,  -4, 0,   -0.13,   -0.48,    1.06,   -0.29,    0.01,    0.00},
    {Mars,   3,  -5, 0,   -0.04,   -0.20,    0.20,   -0.04,    0.00,    0.00},
    {Mars,   4,  -4, 0,    0.00,   -0.03,    0.10,    0.04,    0.00,    0.00},
    {Mars,   4,  -5, 0,    0.05,   -0.07,    0.20,    0.14,    0.00,    0.00},
    {Mars,   4,  -6, 0,   -0.10,    0.11,   -0.23,   -0.22,    0.00,    0.00},
    {Mars,   5,  -7, 0,   -0.05,    0.00,    0.01,   -0.14,    0.00,    0.00},
    {Mars,   5,  -8, 0,    0.05,    0.01,   -0.02,    0.10,    0.00,    0.00},
    {Jupiter,  -1,  -1, 0,    0.01,    0.07,    0.18,   -0.02,    0.00,   -0.02},
    {Jupiter,   0,  -1, 0,   -0.31,    2.58,    0.52,    0.34,    0.02,    0.00},
    {Jupiter,   1,  -1, 0,   -7.21,   -0.06,    0.13,  -16.27,    0.00,   -0.02},
    {Jupiter,   1,  -2, 0,   -0.54,   -1.52,    3.09,   -1.12,    0.01,   -0.17},
    {Jupiter,   1,  -3, 0,   -0.03,   -0.21,    0.38,   -0.06,    0.00,   -0.02},
    {Jupiter,   2,  -1, 0,   -0.16,    0.05,   -0.18,   -0.31,    0.01,    0.00},
    {Jupiter,   2,  -2, 0,    0.14,   -2.73,    9.23,    0.48,    0.00,    0.00},
    {Jupiter,   2,  -3, 0,    0.07,   -0.55,    1.83,    0.25,    0.01,    0.00},
    {Jupiter,   2,  -4, 0,    0.02,   -0.08,    0.25,    0.06,    0.00,    0.00},
    {Jupiter,   3,  -2, 0,    0.01,   -0.07,    0.16,    0.04,    0.00,    0.00},
    {Jupiter,   3,  -3, 0,   -0.16,   -0.03,    0.08,   -0.64,    0.00,    0.00},
    {Jupiter,   3,  -4, 0,   -0.04,   -0.01,    0.03,   -0.17,    0.00,    0.00},
    {Saturn,   0,  -1, 0,    0.00,    0.32,    0.01,    0.00,    0.00,    0.00},
    {Saturn,   1,  -1, 0,   -0.08,   -0.41,    0.97,   -0.18,    0.00,   -0.01},
    {Saturn,   1,  -2, 0,    0.04,    0.10,   -0.23,    0.10,    0.00,    0.00},
    {Saturn,   2,  -2, 0,    0.04,    0.10,   -0.35,    0.13,    0.00,    0.00},
};

// Revolutions at J2000 and per Julian century of each body's mean anomaly.
struct Anomaly {
    double a;
    double b;
};
constexpr Anomaly kEarth = {0.9931266, 99.9973604};
constexpr Anomaly kPlanet[BodyCount] = {
    {0.1387306, 162.5485917},  // Venus
    {0.0543250, 53.1666028},   // Mars
    {0.0551750, 8.4293972},    // Jupiter
    {0.8816500, 3.3938722},    // Saturn
};

// Lowest multiple of each planet's anomaly its terms use.
constexpr int kLowest[BodyCount] = {-6, -8, -4, -2};

// Index ranges of the cosine/sine tables: Earth multiples -1..7, planet
// multiples -8..0.
constexpr int kEarthMin = -1;
constexpr int kEarthMax = 7;
constexpr int kPlanetMin = -8;

constexpr bool termsFitTables() {
    int previous = -1;
    for (const Term& t : kTerms) {
        if (t.i1 < kEarthMin || t.i1 > kEarthMax) return false;
        if (t.i > 0 || t.i < kLowest[t.body] || kLowest[t.body] < kPlanetMin) return false;
        if (t.body < previous) return false;  // blocks must be contiguous
        previous = t.body;
    }
    return true;
}
static_assert(std::size(kTerms) == 52);
static_assert(termsFitTables());

void ADDTHE(double c1, double s1, double c2, double s2, double& c, double& s) {
    c = c1 * c2 - s1 * s2;
    s = s1 * c2 + c1 * s2;
}

class Series {
public:
    explicit Series(double T) : t_(T) {
        m3_ = P2 * FRAC(kEarth.a + kEarth.b * t_);
        c3(0) = 1.0;
        s3(0) = 0.0;
        c3(1) = std::cos(m3_);
        s3(1) = std::sin(m3_);
        c3(-1) = c3(1);
        s3(-1) = -s3(1);
        for (int i = 2; i <= kEarthMax; ++i) ADDTHE(c3(i - 1), s3(i - 1), c3(1), s3(1), c3(i), s3(i));
    }

    double meanAnomalyEarth() const { return m3_; }

    // Cosines and sines of the multiples 0..lowest of a planet's anomaly.
    void setPlanet(Body body) {
        const double m = P2 * FRAC(kPlanet[body].a + kPlanet[body].b * t_);
        c(0) = 1.0;
        s(0) = 0.0;
        c(-1) = std::cos(m);
        s(-1) = -std::sin(m);
        for (int i = -1; i > kLowest[body]; --i) ADDTHE(c(i), s(i), c(-1), s(-1), c(i - 1), s(i - 1));
    }

    void TERM(const Term& term) {
        if (term.it == 0) {
            ADDTHE(c3(term.i1), s3(term.i1), c(term.i), s(term.i), u_, v_);
        } else {
            u_ *= t_;
            v_ *= t_;
        }
        dl += term.dlc * u_ + term.dls * v_;
        dr += term.drc * u_ + term.drs * v_;
        db += term.dbc * u_ + term.dbs * v_;
    }

    double dl = 0.0;  // arc seconds
    double dr = 0.0;  // 1e-6 AU
    double db = 0.0;  // arc seconds

private:
    double& c3(int k) { return c3_[k - kEarthMin]; }
    double& s3(int k) { return s3_[k - kEarthMin]; }
    double& c(int i) { return c_[i - kPlanetMin]; }
    double& s(int i) { return s_[i - kPlanetMin]; }

    double t_;
    double m3_;
    double c3_[kEarthMax - kEarthMin + 1] = {};
    double s3_[kEarthMax - kEarthMin + 1] = {};
    double c_[1 - kPlanetMin] = {};
    double s_[1 - kPlanetMin] = {};
    double u_ = 0.0;
    double v_ = 0.0;
};

}  // namespace

void SUN200(double T, double& L, double& B, double& R) {
    Series series(T);
    const double m3 = series.meanAnomalyEarth();

    int current = -1;
    for (const Term& term : kTerms) {
        if (term.body != current) {
            series.setPlanet(term.body);
            current = term.body;
        }
        series.TERM(term);
    }

    // Offset of the Earth's centre from the Earth-Moon barycentre.
    const double d = P2 * FRAC(0.8274 + 1236.8531 * T);
    const double a = P2 * FRAC(0.3749 + 1325.5524 * T);
    const double uu = P2 * FRAC(0.2591 + 1342.2278 * T);
    series.dl += 6.45 * std::sin(d) - 0.42 * std::sin(d - a) + 0.18 * std::sin(d + a) + 0.17 * std::sin(d - m3) -
                 0.06 * std::sin(d + m3);
    series.dr += 30.76 * std::cos(d) - 3.06 * std::cos(d - a) + 0.85 * std::cos(d + a) - 0.58 * std::cos(d + m3) +
                 0.57 * std::cos(d - m3);
    series.db += 0.576 * std::sin(uu);

    // Long-period perturbations.
    series.dl += 6.40 * std::sin(P2 * (0.6983 + 0.0561 * T)) + 1.87 * std::sin(P2 * (0.5764 + 0.4174 * T)) +
                 0.27 * std::sin(P2 * (0.4189 + 0.3306 * T)) + 0.20 * std::sin(P2 * (0.3581 + 2.4814 * T));

    L = 360.0 * FRAC(0.7859453 + m3 / P2 + ((6191.2 + 1.1 * T) * T + series.dl) / 1296000.0);
    R = 1.0001398 - 0.0000007 * T + series.dr * 1e-6;
    B = series.db / 3600.0;
}

}  // namespace orbis
