#include "astrometry/uPatternMatching.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orbis {

namespace {

// Shorter distances count as this, so that no side is ever zero.
constexpr double kMinDistance = 1e-7;
// Ratio of a triangle that has to be rejected.
constexpr double kUnusableRatio = 1000;
// Flatter triangles carry too little shape to be matched.
constexpr double kMaxRatio = 10;
// Scale bins are multiples of epsilon: this only absorbs rounding.
constexpr double kBinTolerance = 1e-7;

double distance(const TStarPoint& p, const TStarPoint& q) {
    const double dx = p.X - q.X, dy = p.Y - q.Y;
    const double d = std::sqrt(dx * dx + dy * dy);
    return d <= kMinDistance ? kMinDistance : d;
}

// Quicksort with Hoare partition and the middle element's value as pivot.
// Equal keys end up in the order this exact procedure gives: the vertex
// order of the triangles and the first-match rule of the matching depend on
// it, so it must not be replaced by a library sort.
template <class T, class Key>
void hoareSort(std::vector<T>& a, std::ptrdiff_t low, std::ptrdiff_t high, Key key) {
    while (low < high) {
        const double pivot = key(a[static_cast<std::size_t>(low + (high - low) / 2)]);
        std::ptrdiff_t i = low, j = high;
        while (i <= j) {
            while (key(a[static_cast<std::size_t>(i)]) < pivot) ++i;
            while (key(a[static_cast<std::size_t>(j)]) > pivot) --j;
            if (i <= j) {
                std::swap(a[static_cast<std::size_t>(i)], a[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        }
        hoareSort(a, low, j, key);
        low = i;
    }
}

template <class T, class Key>
void hoareSort(std::vector<T>& a, Key key) {
    hoareSort(a, 0, static_cast<std::ptrdiff_t>(a.size()) - 1, key);
}

// m: the difference of the log perimeters rounded to a multiple of epsilon
// (halves to even, as the current rounding mode does).
double scaleBin(const TTriangle& u, const TTriangle& v, double epsilon) {
    return epsilon * std::nearbyint((u.LogPerimeter - v.LogPerimeter) / epsilon);
}

void resetIdentification(TStarPoint& s) {
    s.Votes = 0;
    s.RA = 0;
    s.Dec = 0;
}

struct TAcceptedPair {
    int u, v;  // photo and catalog triangle
    double m;  // scale bin value
};

}  // namespace

void sortStarsByX(std::vector<TStarPoint>& stars) {
    hoareSort(stars, [](const TStarPoint& s) { return s.X; });
}

TTriangle makeTriangle(const std::vector<TStarPoint>& stars, int i, int j, int k, double epsilon) {
    const double dij = distance(stars[i], stars[j]), dik = distance(stars[i], stars[k]),
                 djk = distance(stars[j], stars[k]);
    TTriangle t;
    // Vertex1-Vertex3 is the longest side, Vertex1 its endpoint first in the
    // list; a tie for the longest falls to the last case.
    if (dij > dik && dij > djk) t.Vertex1 = i, t.Vertex2 = k, t.Vertex3 = j;
    else if (dik > dij && dik > djk) t.Vertex1 = i, t.Vertex2 = j, t.Vertex3 = k;
    else t.Vertex1 = j, t.Vertex2 = i, t.Vertex3 = k;

    const TStarPoint &p1 = stars[t.Vertex1], &p2 = stars[t.Vertex2], &p3 = stars[t.Vertex3];
    const double r1 = distance(p1, p2), r2 = distance(p1, p3), r3 = distance(p2, p3);
    t.Sense = true;
    t.LogPerimeter = std::log10(r1 + r2 + r3);
    t.Ratio = kUnusableRatio;
    if (r1 <= kMinDistance || r2 <= kMinDistance || r3 <= kMinDistance) return t;

    const double ratio = r2 / r1;
    const double cosine = ((p1.X - p3.X) * (p1.X - p2.X) + (p1.Y - p3.Y) * (p1.Y - p2.Y)) / (r2 * r1);
    const double sine2 = 1 - cosine * cosine;
    // Rounding can push a collinear triangle's cosine past 1: unusable.
    if (sine2 < 0) return t;
    const double sine = std::sqrt(sine2);
    const double f = 1 / (r2 * r2) - cosine / (r1 * r2) + 1 / (r1 * r2);
    const double e2 = epsilon * epsilon;
    const double ratioTolerance2 = 2 * ratio * ratio * e2 * f;
    const double cosineTolerance2 = 3 * (cosine * e2 * f) * (cosine * e2 * f) + 2 * sine * sine * e2 * f;
    if (!std::isfinite(ratio) || !std::isfinite(cosine) || !std::isfinite(ratioTolerance2) ||
        !std::isfinite(cosineTolerance2))
        return t;
    t.Ratio = ratio;
    t.Cosine = cosine;
    t.RatioTolerance2 = ratioTolerance2;
    t.CosineTolerance2 = cosineTolerance2;
    t.Sense = !((p3.X - p1.X) * (p2.Y - p1.Y) - (p2.X - p1.X) * (p3.Y - p1.Y) < 0);
    return t;
}

std::vector<TTriangle> buildTriangles(double minSide, const std::vector<TStarPoint>& stars, double epsilon) {
    std::vector<TTriangle> triangles;
    const int n = static_cast<int>(stars.size());
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            for (int k = j + 1; k < n; ++k) {
                const TTriangle t = makeTriangle(stars, i, j, k, epsilon);
                if (t.Ratio < kMaxRatio && distance(stars[t.Vertex1], stars[t.Vertex2]) > minSide)
                    triangles.push_back(t);
            }
    hoareSort(triangles, [](const TTriangle& t) { return t.Ratio; });
    return triangles;
}

void matchTriangles(const std::vector<TTriangle>& catalogTriangles, const std::vector<TStarPoint>& catalogStars,
                    const std::vector<TTriangle>& photoTriangles, std::vector<TStarPoint>& photoStars,
                    double epsilon) {
    const auto catalogCount = static_cast<std::ptrdiff_t>(catalogTriangles.size());
    if (catalogCount == 0 || photoTriangles.empty()) return;

    // A pair can pass the Ratio test only if |Ru - Rv| < sqrt(RT2u + RT2v),
    // which is at most sqrt(RT2u + maxRT2): in a list sorted by Ratio that
    // is one window per photo triangle. An unsorted list (not built by
    // buildTriangles) is searched whole.
    double maxTolerance2 = 0;
    bool sorted = true;
    for (std::ptrdiff_t k = 0; k < catalogCount; ++k) {
        const TTriangle& v = catalogTriangles[static_cast<std::size_t>(k)];
        if (v.RatioTolerance2 > maxTolerance2) maxTolerance2 = v.RatioTolerance2;
        if (k > 0 && !(catalogTriangles[static_cast<std::size_t>(k - 1)].Ratio <= v.Ratio)) sorted = false;
    }

    std::vector<std::pair<double, int>> bins;  // value, count
    std::vector<TAcceptedPair> pairs;          // grouped by photo triangle, each in catalog order
    int same = 0, opposite = 0;
    const auto byRatio = [](const TTriangle& t, double r) { return t.Ratio < r; };
    const auto ratioBelow = [](double r, const TTriangle& t) { return r < t.Ratio; };

    for (std::size_t ui = 0; ui < photoTriangles.size(); ++ui) {
        const TTriangle& u = photoTriangles[ui];
        const double limit2 = u.RatioTolerance2 + maxTolerance2;
        if (!(limit2 > 0)) continue;  // no square is below it
        auto first = catalogTriangles.begin(), last = catalogTriangles.end();
        if (sorted) {
            // The margins cover the rounding of the square, the root and the
            // subtractions, so that no passing pair falls outside.
            const double half = std::sqrt(limit2) * (1 + 1e-9) + 1e-12 * std::fabs(u.Ratio) + 1e-150;
            first = std::lower_bound(first, last, u.Ratio - half, byRatio);
            last = std::upper_bound(first, last, u.Ratio + half, ratioBelow);
        }
        for (auto it = first; it != last; ++it) {
            const TTriangle& v = *it;
            const double dr = u.Ratio - v.Ratio;
            if (!(dr * dr < u.RatioTolerance2 + v.RatioTolerance2)) continue;
            const double dc = u.Cosine - v.Cosine;
            if (!(dc * dc < u.CosineTolerance2 + v.CosineTolerance2)) continue;

            const double m = scaleBin(u, v, epsilon);
            auto bin = std::find_if(bins.begin(), bins.end(),
                                    [m](const auto& b) { return std::fabs(b.first - m) <= kBinTolerance; });
            if (bin == bins.end()) bins.emplace_back(m, 1);
            else ++bin->second;
            ++(u.Sense == v.Sense ? same : opposite);
            pairs.push_back({static_cast<int>(ui), static_cast<int>(it - catalogTriangles.begin()), m});
        }
    }
    if (pairs.empty()) return;

    // The common scale: the fullest bin, the earliest of equally full ones.
    auto winner = bins.begin();
    for (auto b = bins.begin(); b != bins.end(); ++b)
        if (b->second > winner->second) winner = b;
    const double scale = winner->first;
    // Mostly opposite-sense pairs (or a tie): the image is mirrored.
    const bool mirrored = !(opposite < same);

    for (std::size_t g = 0; g < pairs.size();) {
        const int ui = pairs[g].u;
        const TTriangle& u = photoTriangles[static_cast<std::size_t>(ui)];
        const TTriangle* q = nullptr;
        for (; g < pairs.size() && pairs[g].u == ui; ++g) {
            const TTriangle& v = catalogTriangles[static_cast<std::size_t>(pairs[g].v)];
            if (!q && std::fabs(pairs[g].m - scale) <= kBinTolerance && (u.Sense != v.Sense) == mirrored) q = &v;
        }
        if (!q) continue;

        // Every photo star at the position of u's vertex votes (duplicates
        // in the list included) for the same vertex of q.
        const int uVertex[3] = {u.Vertex1, u.Vertex2, u.Vertex3};
        const int qVertex[3] = {q->Vertex1, q->Vertex2, q->Vertex3};
        for (int p = 0; p < 3; ++p) {
            const double x = photoStars[static_cast<std::size_t>(uVertex[p])].X;
            const double y = photoStars[static_cast<std::size_t>(uVertex[p])].Y;
            const TStarPoint& c = catalogStars[static_cast<std::size_t>(qVertex[p])];
            for (TStarPoint& e : photoStars)
                if (e.X == x && e.Y == y) {
                    e.RA = c.RA;
                    e.Dec = c.Dec;
                    ++e.Votes;
                    e.proposals.emplace_back(c.RA, c.Dec);
                }
        }
    }
}

void resolveIdentifications(std::vector<TStarPoint>& photoStars) {
    for (TStarPoint& s : photoStars) {
        const auto& p = s.proposals;
        std::size_t best = 0;
        int bestAgree = 0;
        for (std::size_t i = 0; i < p.size(); ++i) {
            // A repeat of an earlier proposal has its count, and the earlier wins ties.
            bool repeat = false;
            for (std::size_t j = 0; j < i && !repeat; ++j) repeat = p[j] == p[i];
            if (repeat) continue;
            int agree = 0;
            for (std::size_t j = i + 1; j < p.size(); ++j) agree += p[j] == p[i];
            if (agree > bestAgree) bestAgree = agree, best = i;
        }
        if (bestAgree > 0) {
            s.Votes = bestAgree;
            s.RA = p[best].first;
            s.Dec = p[best].second;
        } else {
            resetIdentification(s);
        }
    }
    // Of stars identified with the same catalog star the better voted keep it;
    // a reset takes effect for the comparisons that follow it.
    for (TStarPoint& q : photoStars)
        for (const TStarPoint& s : photoStars)
            if (s.RA == q.RA && s.Dec == q.Dec && q.Votes < s.Votes) resetIdentification(q);
}

TMatchResult matchStarLists(const std::vector<TTriangle>& catalogTriangles, const std::vector<TStarPoint>& catalogStars,
                            const std::vector<TTriangle>& photoTriangles, std::vector<TStarPoint>& photoStars,
                            double epsilon) {
    // RA and Dec stay until resolveIdentifications sets or resets them.
    for (TStarPoint& s : photoStars) {
        s.Votes = 0;
        s.proposals.clear();
    }
    matchTriangles(catalogTriangles, catalogStars, photoTriangles, photoStars, epsilon);
    resolveIdentifications(photoStars);
    TMatchResult result;
    for (const TStarPoint& s : photoStars)
        if (s.Votes > 2) {
            ++result.identified;
            result.voteSum += s.Votes;
        }
    return result;
}

}  // namespace orbis
