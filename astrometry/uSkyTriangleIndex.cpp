#include "astrometry/uSkyTriangleIndex.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "astro/matlib.h"

namespace orbis {

namespace {

constexpr std::size_t npos = std::numeric_limits<std::size_t>::max();

// Buckets of the two side ratios: the shorter side over the longest in
// [0, 1], the middle one over the longest in [0.5, 1] (a triangle's two
// shorter sides together are at least its longest).
constexpr int kShortBins = 64, kMiddleBins = 32;
constexpr double kBinWidth = 1.0 / 64;
// Detected triangles smaller than this (pixels, longest side) carry too
// little shape for their rounding to the pixel.
constexpr double kMinLongestPixels = 40;
// Side ratios agree within kRatioSlack plus this many pixels over the
// longest side: detected positions are whole pixels.
constexpr double kRatioPixels = 2.0, kRatioSlack = 0.002;
// The catalog triangle may be this much larger or smaller than the detected
// one (the configured scale is only approximately the camera's).
constexpr double kScaleSlack = 1.2;

using V3 = TSkyTriangleIndex::Vec;
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator*(double s, V3 a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double norm(V3 a) { return std::sqrt(dot(a, a)); }
V3 unit(V3 a) { return (1 / norm(a)) * a; }
double chord(V3 a, V3 b) { return norm(a - b); }

// The vertex order of a triangle by the side opposite each vertex,
// shortest first: {vertex opposite the shortest, ..., opposite the longest}
// and the sorted sides.
struct Labelled {
    std::array<int, 3> vertex;
    std::array<double, 3> side;
};
Labelled label(double sidePQ, double sidePR, double sideQR) {
    // Opposite P is QR, opposite Q is PR, opposite R is PQ.
    std::array<std::pair<double, int>, 3> s{{{sideQR, 0}, {sidePR, 1}, {sidePQ, 2}}};
    std::sort(s.begin(), s.end());
    return {{s[0].second, s[1].second, s[2].second}, {s[0].first, s[1].first, s[2].first}};
}

// An orthonormal frame of a triangle's vertices: its mean direction, then
// across towards the third vertex.
std::array<V3, 3> frameOf(V3 a, V3 b, V3 c) {
    const V3 e1 = unit(a + b + c);
    const V3 e2 = unit(cross(e1, c - a));
    return {e1, e2, cross(e1, e2)};
}

}  // namespace

TSkyTriangleIndex::TSkyTriangleIndex(const TVisibleSky& sky, const TCameraModel& camera, double theta,
                                     const TScanGrid& grid)
    : grid_(grid), camera_(camera) {
    for (const TStarInfo& s : sky.stars())
        starVectors_.push_back({CS(s.Dec) * CS(s.RA), CS(s.Dec) * SN(s.RA), SN(s.Dec)});

    // Each cell's frame stars, exactly those the full scan matches there.
    std::vector<char> used(starVectors_.size(), 0);
    std::vector<std::size_t> inFrame;
    cellFirst_.reserve(grid_.decs.size() * grid_.ras.size() + 1);
    for (const double dec : grid_.decs)
        for (const double ra : grid_.ras) {
            cellFirst_.push_back(cellStars_.size());
            inFrame.clear();
            sky.listStarIndicesInFrame(camera, ra, dec, theta, inFrame);
            if (inFrame.size() <= 4) continue;  // the full scan matches nothing there
            for (const std::size_t s : inFrame) {
                cellStars_.push_back(static_cast<std::uint32_t>(s));
                used[s] = 1;
            }
        }
    cellFirst_.push_back(cellStars_.size());

    // Triangles of the stars that some frame holds, no larger than the
    // frame's diagonal and no smaller than the smallest detected triangle
    // used.
    const double scale = camera.scale > 0 ? camera.scale : 1;
    const double halfDiagonal = std::atan(std::hypot(camera.halfWidth, camera.halfHeight) / scale);
    const double maxChord = 2 * std::sin(std::min(halfDiagonal, M_PI / 2)) * 1.01;
    const double minLongest = kMinLongestPixels / scale / kScaleSlack;
    std::vector<std::uint32_t> stars;
    for (std::size_t i = 0; i < used.size(); ++i)
        if (used[i]) stars.push_back(static_cast<std::uint32_t>(i));

    std::vector<std::vector<std::uint32_t>> near(stars.size());
    for (std::size_t i = 0; i < stars.size(); ++i)
        for (std::size_t j = i + 1; j < stars.size(); ++j)
            if (chord(starVectors_[stars[i]], starVectors_[stars[j]]) <= maxChord)
                near[i].push_back(static_cast<std::uint32_t>(j));

    std::vector<Triangle> all;
    for (std::size_t i = 0; i < stars.size(); ++i) {
        const V3 p = starVectors_[stars[i]];
        for (std::size_t jn = 0; jn < near[i].size(); ++jn) {
            const std::uint32_t j = near[i][jn];
            const V3 q = starVectors_[stars[j]];
            const double pq = chord(p, q);
            for (std::size_t kn = jn + 1; kn < near[i].size(); ++kn) {
                const std::uint32_t k = near[i][kn];
                const V3 r = starVectors_[stars[k]];
                const double qr = chord(q, r);
                if (qr > maxChord) continue;
                const Labelled l = label(pq, chord(p, r), qr);
                if (l.side[2] < minLongest || !(l.side[0] > 0)) continue;
                const std::array<std::uint32_t, 3> ids{stars[i], stars[j], stars[k]};
                all.push_back({ids[static_cast<std::size_t>(l.vertex[0])], ids[static_cast<std::size_t>(l.vertex[1])],
                               ids[static_cast<std::size_t>(l.vertex[2])], static_cast<float>(l.side[0] / l.side[2]),
                               static_cast<float>(l.side[1] / l.side[2]), static_cast<float>(l.side[2])});
            }
        }
    }

    // Bucket them (a counting sort by bucket).
    auto bucketOf = [](double shortRatio, double middleRatio) {
        const int s = std::clamp(static_cast<int>(shortRatio / kBinWidth), 0, kShortBins - 1);
        const int m = std::clamp(static_cast<int>((middleRatio - 0.5) / kBinWidth), 0, kMiddleBins - 1);
        return static_cast<std::size_t>(s * kMiddleBins + m);
    };
    bucketFirst_.assign(kShortBins * kMiddleBins + 1, 0);
    for (const Triangle& t : all) ++bucketFirst_[bucketOf(t.shortRatio, t.middleRatio) + 1];
    for (std::size_t b = 1; b < bucketFirst_.size(); ++b) bucketFirst_[b] += bucketFirst_[b - 1];
    triangles_.resize(all.size());
    std::vector<std::size_t> fill(bucketFirst_.begin(), bucketFirst_.end() - 1);
    for (const Triangle& t : all) triangles_[fill[bucketOf(t.shortRatio, t.middleRatio)]++] = t;
}

std::size_t TSkyTriangleIndex::cellOf(double ra, double dec) const {
    if (grid_.decs.empty() || grid_.ras.empty() || !(grid_.delta > 0)) return npos;
    const double half = grid_.delta / 2;
    const long row = std::lround((dec - grid_.decs.front()) / grid_.delta);
    if (row < 0 || static_cast<std::size_t>(row) >= grid_.decs.size()) return npos;
    if (std::fabs(grid_.decs[static_cast<std::size_t>(row)] - dec) > half + 1e-9) return npos;
    // The right ascension in the grid's own turn of the circle.
    for (int turn = -2; turn <= 2; ++turn) {
        const double r = ra + 360.0 * turn;
        const long column = std::lround((r - grid_.ras.front()) / grid_.delta);
        if (column < 0 || static_cast<std::size_t>(column) >= grid_.ras.size()) continue;
        if (std::fabs(grid_.ras[static_cast<std::size_t>(column)] - r) > half + 1e-9) continue;
        return static_cast<std::size_t>(row) * grid_.ras.size() + static_cast<std::size_t>(column);
    }
    return npos;
}

bool TSkyTriangleIndex::cellHolds(std::size_t cell, std::uint32_t a, std::uint32_t b, std::uint32_t c) const {
    int found = 0;
    for (std::size_t k = cellFirst_[cell]; k < cellFirst_[cell + 1]; ++k) {
        const std::uint32_t s = cellStars_[k];
        found += (s == a) + (s == b) + (s == c);
    }
    return found == 3;
}

std::vector<int> TSkyTriangleIndex::votes(const std::vector<TStarPoint>& photo) const {
    std::vector<int> votes(grid_.decs.size() * grid_.ras.size(), 0);
    const double scale = camera_.scale;
    if (!(scale > 0) || triangles_.empty()) return votes;

    // Detected stars as directions in the camera's frame: east, north and
    // along the optical axis (the catalog projection's x grows to the west).
    std::vector<V3> t;
    for (const TStarPoint& s : photo)
        t.push_back(unit({-(s.X - camera_.halfWidth) / scale, (camera_.halfHeight - s.Y) / scale, 1.0}));

    const double minLongest = kMinLongestPixels / scale;
    const std::size_t n = t.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            for (std::size_t k = j + 1; k < n; ++k) {
                const std::array<V3, 3> v{t[i], t[j], t[k]};
                const Labelled l = label(chord(v[0], v[1]), chord(v[0], v[2]), chord(v[1], v[2]));
                const double longest = l.side[2];
                if (longest < minLongest || !(l.side[0] > 0)) continue;
                const double shortRatio = l.side[0] / longest, middleRatio = l.side[1] / longest;
                const double tol = kRatioPixels / (longest * scale) + kRatioSlack;
                const V3 pa = v[static_cast<std::size_t>(l.vertex[0])], pb = v[static_cast<std::size_t>(l.vertex[1])],
                         pc = v[static_cast<std::size_t>(l.vertex[2])];
                const bool photoSense = dot(cross(pa, pb), pc) > 0;
                // The mirror image of the detected triangle, for a catalog
                // triangle of the other sense: east and west exchanged.
                const auto mirror = [](V3 a) { return V3{-a.x, a.y, a.z}; };
                const std::array<V3, 3> straight = frameOf(pa, pb, pc);
                const std::array<V3, 3> mirrored = frameOf(mirror(pa), mirror(pb), mirror(pc));

                const int s0 = std::max(0, static_cast<int>((shortRatio - tol) / kBinWidth));
                const int s1 = std::min(kShortBins - 1, static_cast<int>((shortRatio + tol) / kBinWidth));
                const int m0 = std::max(0, static_cast<int>((middleRatio - tol - 0.5) / kBinWidth));
                const int m1 = std::min(kMiddleBins - 1, static_cast<int>((middleRatio + tol - 0.5) / kBinWidth));
                for (int sb = s0; sb <= s1; ++sb)
                    for (int mb = m0; mb <= m1; ++mb) {
                        const std::size_t bucket = static_cast<std::size_t>(sb * kMiddleBins + mb);
                        for (std::size_t e = bucketFirst_[bucket]; e < bucketFirst_[bucket + 1]; ++e) {
                            const Triangle& c = triangles_[e];
                            if (std::fabs(c.shortRatio - shortRatio) > tol ||
                                std::fabs(c.middleRatio - middleRatio) > tol)
                                continue;
                            if (c.longest > longest * kScaleSlack || c.longest * kScaleSlack < longest) continue;
                            const V3 sa = starVectors_[c.a], sb3 = starVectors_[c.b], sc = starVectors_[c.c];
                            const bool skySense = dot(cross(sa, sb3), sc) > 0;
                            // The rotation that takes the camera frame's
                            // triangle onto the sky's carries the optical
                            // axis (0, 0, 1) to the frame centre.
                            const std::array<V3, 3>& f = skySense == photoSense ? straight : mirrored;
                            const std::array<V3, 3> g = frameOf(sa, sb3, sc);
                            const V3 centre = f[0].z * g[0] + f[1].z * g[1] + f[2].z * g[2];
                            const double dec = ASN(std::clamp(centre.z, -1.0, 1.0));
                            double ra = ATN2(centre.y, centre.x);
                            if (ra < 0) ra += 360;
                            const std::size_t cell = cellOf(ra, dec);
                            if (cell != npos && cellHolds(cell, c.a, c.b, c.c)) ++votes[cell];
                        }
                    }
            }
    return votes;
}

std::vector<TScanCell> TSkyTriangleIndex::proposedCells(const std::vector<TStarPoint>& photo, std::size_t peaks,
                                                        std::size_t radius) const {
    const std::vector<int> v = votes(photo);
    const std::size_t columns = grid_.ras.size();
    std::vector<std::size_t> voted;
    for (std::size_t cell = 0; cell < v.size(); ++cell)
        if (v[cell] >= 2) voted.push_back(cell);
    std::stable_sort(voted.begin(), voted.end(), [&](std::size_t a, std::size_t b) { return v[a] > v[b]; });

    const auto apart = [](std::size_t a, std::size_t b) { return a > b ? a - b : b - a; };
    std::vector<std::size_t> chosen;
    for (const std::size_t cell : voted) {
        if (chosen.size() == peaks) break;
        const bool near = std::any_of(chosen.begin(), chosen.end(), [&](std::size_t c) {
            return apart(c / columns, cell / columns) <= radius && apart(c % columns, cell % columns) <= radius;
        });
        if (!near) chosen.push_back(cell);
    }
    std::vector<char> take(v.size(), 0);
    for (const std::size_t cell : chosen) {
        const std::size_t row = cell / columns, column = cell % columns;
        for (std::size_t r = row >= radius ? row - radius : 0; r <= std::min(grid_.decs.size() - 1, row + radius);
             ++r) {
            // As many columns as span the same angle on the sky as the
            // rows do: towards the poles the columns close up.
            const double c = std::min(std::fabs(CS(grid_.decs[r])), std::fabs(CS(grid_.decs[row])));
            const double wide = std::ceil(static_cast<double>(radius) / std::max(c, 1e-3));
            const std::size_t across = static_cast<std::size_t>(std::min(wide, static_cast<double>(columns)));
            for (std::size_t k = column >= across ? column - across : 0; k <= std::min(columns - 1, column + across);
                 ++k)
                take[r * columns + k] = 1;
        }
    }
    std::vector<TScanCell> cells;
    for (std::size_t cell = 0; cell < take.size(); ++cell)
        if (take[cell]) cells.push_back({cell / columns, cell % columns});
    return cells;
}

}  // namespace orbis
