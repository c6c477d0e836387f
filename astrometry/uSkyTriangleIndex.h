#pragma once
// Where on the scan's grid of trial centres the detected stars can be.
// Matching the detected stars at every trial centre costs a full triangle
// matching per centre; most centres hold nothing alike. This index is built
// once per catalog and event sky: the stars each trial centre puts into the
// frame, and the triangles of those stars described on the sphere (their
// chord lengths, which no pointing, roll or mirror changes). Each detected
// triangle looks up the catalog triangles of the same shape and size; every
// pair implies a rotation of the camera and so a frame centre, and votes for
// the trial centre nearest to it when that centre's frame holds the three
// catalog stars. Only the neighbourhoods of the best-voted centres then need
// the full matching.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "astrometry/uPatternMatching.h"
#include "astrometry/uStarCatalog.h"

namespace orbis {

// A trial centre by its row (declination) and column (right ascension) in
// the scan's grid.
struct TScanCell {
    std::size_t row = 0, column = 0;
    friend bool operator==(const TScanCell&, const TScanCell&) = default;
};

// The scan's grid: declinations by row, right ascensions by column, the step
// between them (degrees).
struct TScanGrid {
    std::vector<double> decs, ras;
    double delta = 0;
};

class TSkyTriangleIndex {
public:
    TSkyTriangleIndex(const TVisibleSky& sky, const TCameraModel& camera, double theta, const TScanGrid& grid);

    // Votes per cell (row-major over the grid) of the detected stars (pixels).
    std::vector<int> votes(const std::vector<TStarPoint>& photo) const;

    // The cells within `radius` rows and columns of the best-voted `peaks`
    // cells (peaks at least radius + 1 apart, each with at least two votes),
    // in scan order (rows, then columns, as the full scan visits them).
    std::vector<TScanCell> proposedCells(const std::vector<TStarPoint>& photo, std::size_t peaks,
                                         std::size_t radius) const;

    std::size_t triangleCount() const { return triangles_.size(); }

    struct Vec {
        double x, y, z;
    };

private:
    // A catalog triangle: star indices ordered by the side opposite them,
    // shortest first; the two shorter sides relative to the longest, and the
    // longest side (chords of the unit sphere).
    struct Triangle {
        std::uint32_t a, b, c;
        float shortRatio, middleRatio;
        float longest;
    };

    std::size_t cellOf(double ra, double dec) const;  // row-major index, or npos
    bool cellHolds(std::size_t cell, std::uint32_t a, std::uint32_t b, std::uint32_t c) const;

    TScanGrid grid_;
    TCameraModel camera_;
    std::vector<Vec> starVectors_;  // every visible star, equatorial unit vectors
    // The stars of each cell's frame, as in the full scan: cellStars_ from
    // cellFirst_[cell] to cellFirst_[cell + 1].
    std::vector<std::uint32_t> cellStars_;
    std::vector<std::size_t> cellFirst_;
    // Triangles bucketed by (shortRatio, middleRatio): bucketFirst_ indexes
    // triangles_ per bucket.
    std::vector<Triangle> triangles_;
    std::vector<std::size_t> bucketFirst_;
};

}  // namespace orbis
