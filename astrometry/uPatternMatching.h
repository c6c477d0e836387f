#pragma once
// Triangle pattern matching: decides which detected (photo) star is which
// projected catalog star. All star triangles of both lists are described by
// scale-free invariants with error tolerances; photo and catalog triangles
// whose invariants agree are paired, the pairs that agree on scale and on
// mirror sense are kept, and every surviving pair votes for the identities of
// its three vertices. The number of well-voted stars is the quality figure of
// a trial pointing.

#include <cstdint>
#include <utility>
#include <vector>

namespace orbis {

// A star position in the frame, in pixels.
struct TStarPoint {
    double X = 0;
    double Y = 0;
    // Catalog stars: their catalog position. Photo stars: the identified
    // catalog position, -999 when created, 0 after a failed identification.
    double RA = -999;
    double Dec = -999;
    int Votes = 0;
    // The identities proposed during one matching pass, in order. (Kept as
    // numbers: two proposals are the same exactly when their numbers are.)
    std::vector<std::pair<double, double>> proposals;

    TStarPoint() = default;
    TStarPoint(double x, double y) : X(x), Y(y) {}
    TStarPoint(double x, double y, double ra, double dec) : X(x), Y(y), RA(ra), Dec(dec) {}
};

// A triangle of three stars of one list, by their indices in that list.
struct TTriangle {
    int Vertex1 = 0, Vertex2 = 0, Vertex3 = 0;
    double LogPerimeter = 0;
    bool Sense = true;
    double Ratio = 1000;  // longest side / side Vertex1-Vertex2; 1000: unusable
    double RatioTolerance2 = 0;
    double Cosine = 0;    // of the angle at Vertex1
    double CosineTolerance2 = 0;
};

// Sorts by ascending X in place (quicksort with Hoare partition, middle
// pivot: the order of equal keys is the one that procedure produces).
void sortStarsByX(std::vector<TStarPoint>& stars);

// One triangle from stars i < j < k of the list (vertex order, invariants and
// tolerances). Ratio 1000 marks one that must be rejected.
TTriangle makeTriangle(const std::vector<TStarPoint>& stars, int i, int j, int k, double epsilon);

// Every accepted triangle (Ratio < 10, side Vertex1-Vertex2 > minSide) over
// i < j < k, then sorted by ascending Ratio (the same quicksort).
std::vector<TTriangle> buildTriangles(double minSide, const std::vector<TStarPoint>& stars, double epsilon);

// Pairs photo with catalog triangles and lets the surviving pairs vote:
// fills the proposals of the photo stars. Fast: catalog triangles are sorted
// by Ratio, so each photo triangle looks only at the Ratio window that can
// pass the test; the accepted pairs, bins, groups and votes are those of the
// loop over all pairs.
void matchTriangles(const std::vector<TTriangle>& catalogTriangles, const std::vector<TStarPoint>& catalogStars,
                    const std::vector<TTriangle>& photoTriangles, std::vector<TStarPoint>& photoStars,
                    double epsilon);

// Turns the proposals into identifications: a star needs two identical
// proposals; Votes = identical proposals - 1; of two stars with the same
// identity the one with fewer votes is reset.
void resolveIdentifications(std::vector<TStarPoint>& photoStars);

struct TMatchResult {
    int voteSum = 0;     // over the identified stars
    int identified = 0;  // stars with more than 2 votes
};

// One full matching pass; leaves each photo star's Votes, RA and Dec set.
TMatchResult matchStarLists(const std::vector<TTriangle>& catalogTriangles, const std::vector<TStarPoint>& catalogStars,
                            const std::vector<TTriangle>& photoTriangles, std::vector<TStarPoint>& photoStars,
                            double epsilon);

}  // namespace orbis
