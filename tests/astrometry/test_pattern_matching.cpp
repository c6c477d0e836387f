// Triangle pattern matching: the windowed matching against the loop over all
// pairs, triangle construction, the scale and sense votes, identification and
// the order the quicksort gives equal keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "AllPairsMatching.h"
#include "astrometry/uPatternMatching.h"

namespace orbis {
namespace {

using Stars = std::vector<TStarPoint>;
using Triangles = std::vector<TTriangle>;
using test::allPairsMatch;


TEST(PatternMatching, WindowedMatchingEqualsAllPairs) {
    // A field seen twice: the catalog as a turned, scaled, shifted, perhaps
    // flipped and jittered subset (or unrelated stars); the photo stars as
    // another subset on whole pixels with strangers and repeated positions.
    // Every fifth field is a coarse grid, so that many invariants tie exactly.
    std::mt19937 rng(11);
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
    int proposals = 0, identified = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const bool grid = trial % 5 == 0, unrelated = trial % 7 == 0, flip = chance(0.4);
        const double angle = real(-0.3, 0.3), scale = real(0.9, 1.1), jitter = trial % 3 ? real(0, 0.6) : 0;
        const double eps = real(0.3, 1.5);
        Stars catalog, photo;
        for (int k = 0, n = 5 + trial % 14; k < n; ++k) {
            const double x = grid ? 40 * std::floor(real(0, 12)) : real(0, 700);
            const double y = grid ? 40 * std::floor(real(0, 9)) : real(0, 500);
            const double cx = unrelated ? real(0, 700) : x, cy = unrelated ? real(0, 500) : flip ? 500 - y : y;
            if (chance(0.85))
                catalog.emplace_back(scale * (cx * std::cos(angle) - cy * std::sin(angle)) + real(-jitter, jitter),
                                     scale * (cx * std::sin(angle) + cy * std::cos(angle)) + real(-jitter, jitter),
                                     100 + 0.25 * k, -20 + 0.5 * k);
            if (chance(0.85)) photo.emplace_back(std::round(x), std::round(y));
            if (chance(0.05)) photo.emplace_back(std::round(x), std::round(y));
            if (chance(0.1)) photo.emplace_back(std::round(real(0, 700)), std::round(real(0, 500)));
        }
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", eps " << eps);
        sortStarsByX(catalog);
        sortStarsByX(photo);
        Triangles tc = buildTriangles(10, catalog, eps);
        const Triangles tp = buildTriangles(10, photo, eps);
        if (trial % 10 == 9) std::ranges::shuffle(tc, rng);  // not sorted by Ratio: searched whole

        Stars fast = photo, plain = photo;
        matchTriangles(tc, catalog, tp, fast, eps);
        allPairsMatch(tc, catalog, tp, plain, eps);
        resolveIdentifications(fast);
        resolveIdentifications(plain);
        for (std::size_t k = 0; k < photo.size(); ++k) {
            ASSERT_EQ(fast[k].proposals, plain[k].proposals) << "star " << k;
            ASSERT_EQ(std::tuple(fast[k].Votes, fast[k].RA, fast[k].Dec),
                      std::tuple(plain[k].Votes, plain[k].RA, plain[k].Dec))
                << "star " << k;
            proposals += static_cast<int>(fast[k].proposals.size());
            identified += fast[k].Votes > 2;
        }
    }
    // The fields must have exercised the voting, not only empty matches.
    EXPECT_GT(proposals, 5000);
    EXPECT_GT(identified, 300);
}

// Hand-made triangles: photo triangle u uses photo stars 3u..3u+2, catalog
// triangle v catalog stars with RA 10v+1..10v+3; a pair matches when the
// Ratio does. winners() gives the catalog triangle u voted for, -1 if none.
struct VoteBench {
    Stars photo, catalog;
    Triangles tp, tc;

    static TTriangle triangle(std::size_t first, double ratio, double logPerimeter, bool sense) {
        const int v = static_cast<int>(first);
        return {v, v + 1, v + 2, logPerimeter, sense, ratio, 1e-4, 0.5, 1e-4};
    }
    void addPhoto(double ratio, double logPerimeter, bool sense = true) {
        tp.push_back(triangle(photo.size(), ratio, logPerimeter, sense));
        for (int p = 0; p < 3; ++p) photo.emplace_back(photo.size(), 0);
    }
    void addCatalog(double ratio, double logPerimeter, bool sense = true) {
        const double v = static_cast<double>(tc.size());
        tc.push_back(triangle(catalog.size(), ratio, logPerimeter, sense));
        for (int p = 1; p <= 3; ++p) catalog.emplace_back(0, 0, 10 * v + p, 0);
    }
    std::vector<int> winners(double eps) {
        matchTriangles(tc, catalog, tp, photo, eps);
        std::vector<int> w;
        for (std::size_t u = 0; u < tp.size(); ++u) {
            const auto& p = photo[3 * u].proposals;
            w.push_back(p.empty() ? -1 : static_cast<int>(p[0].first) / 10);
            if (!p.empty()) {
                EXPECT_EQ(photo[3 * u + 2].proposals.at(0).first, 10 * w.back() + 3);
            }
        }
        return w;
    }
};

TEST(PatternMatching, ScaleAndSenseVotes) {
    // Log perimeter differences 0, 1.25 and 1.0 at eps 0.5: 2.5 rounds to
    // even, so the last two share the bin 1.0 and outvote the first.
    VoteBench a;
    a.addPhoto(2, 3), a.addPhoto(4, 3.25), a.addPhoto(6, 3);
    a.addCatalog(2, 3), a.addCatalog(4, 2), a.addCatalog(6, 2);
    EXPECT_EQ(a.winners(0.5), (std::vector{-1, 1, 2}));
    // Equally full bins: the one created first wins.
    VoteBench b;
    b.addPhoto(2, 3), b.addPhoto(4, 3);
    b.addCatalog(2, 2), b.addCatalog(4, 3);
    EXPECT_EQ(b.winners(0.5), (std::vector{0, -1}));
    // As many same-sense as opposite-sense pairs: mirrored, whatever the order.
    for (bool oppositeFirst : {false, true}) {
        VoteBench c;
        c.addPhoto(2, 3);
        c.addCatalog(2, 3, oppositeFirst ? false : true), c.addCatalog(2, 3, oppositeFirst ? true : false);
        EXPECT_EQ(c.winners(0.74), (std::vector{oppositeFirst ? 0 : 1}));
    }
    // More same-sense pairs: the first same-sense triangle votes.
    VoteBench d;
    d.addPhoto(2, 3, false), d.addPhoto(4, 3, false);
    d.addCatalog(2, 3, true), d.addCatalog(2, 3, false), d.addCatalog(4, 3, false);
    EXPECT_EQ(d.winners(0.74), (std::vector{1, 2}));
}

TEST(PatternMatching, WindowKeepsPairsAtTheToleranceEdge) {
    // Each photo triangle faces the last catalog Ratio that still passes
    // (below or above it) and the next one, which fails. Equal catalog
    // tolerances make the window as tight as it gets.
    std::mt19937 rng(5);
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    VoteBench b;
    for (int k = 0; k < 40; ++k) {
        const double ru = 1 + 0.2 * k + real(0, 0.01), tu = real(0, 2e-5), t = tu + 1e-5, away = k % 2 ? 100 : -100;
        auto passes = [&](double r) { return (ru - r) * (ru - r) < t; };
        double rv = ru + std::copysign(std::sqrt(t), away);
        while (!passes(rv)) rv = std::nextafter(rv, ru);
        while (passes(std::nextafter(rv, away))) rv = std::nextafter(rv, away);
        b.addPhoto(ru, 3);
        b.tp.back().RatioTolerance2 = tu;
        b.addCatalog(std::nextafter(rv, away), 3), b.addCatalog(rv, 3);
    }
    for (TTriangle& v : b.tc) v.RatioTolerance2 = 1e-5;
    std::ranges::sort(b.tc, {}, &TTriangle::Ratio);
    Stars plain = b.photo;
    allPairsMatch(b.tc, b.catalog, b.tp, plain, 0.74);
    matchTriangles(b.tc, b.catalog, b.tp, b.photo, 0.74);
    for (std::size_t k = 0; k < b.photo.size(); ++k) {
        ASSERT_EQ(b.photo[k].proposals.size(), 1u) << "star " << k;
        EXPECT_EQ(b.photo[k].proposals, plain[k].proposals) << "star " << k;
    }
}

TEST(PatternMatching, TriangleConstruction) {
    // Vertex1-Vertex3 is the longest side from its first-listed end; ties go to (j, i, k).
    const std::pair<Stars, std::tuple<int, int, int>> cases[] = {
        {{{0, 0}, {100, 0}, {50, 30}}, {0, 2, 1}},  {{{0, 0}, {50, 30}, {100, 0}}, {0, 1, 2}},
        {{{50, 30}, {0, 0}, {100, 0}}, {1, 0, 2}},  {{{0, 0}, {100, 0}, {60, 80}}, {1, 0, 2}},
        {{{100, 0}, {0, 0}, {60, 80}}, {1, 0, 2}},
    };
    for (const auto& [stars, order] : cases) {
        const TTriangle t = makeTriangle(stars, 0, 1, 2, 0.74);
        EXPECT_EQ(std::tuple(t.Vertex1, t.Vertex2, t.Vertex3), order) << stars[1].X << "," << stars[1].Y;
    }
    // 30-40-50: Vertex1 = (30,0), Vertex2 = (0,0), Vertex3 = (0,40); flipped, the other sense.
    const TTriangle t = makeTriangle({{0, 0}, {30, 0}, {0, 40}}, 0, 1, 2, 0.5);
    EXPECT_EQ(std::tuple(t.Vertex1, t.Vertex2, t.Vertex3, t.Sense), std::tuple(1, 0, 2, true));
    EXPECT_DOUBLE_EQ(t.Ratio, 50.0 / 30);
    EXPECT_DOUBLE_EQ(t.Cosine, 0.6);
    EXPECT_DOUBLE_EQ(t.LogPerimeter, std::log10(120.0));
    EXPECT_FALSE(makeTriangle({{0, 0}, {30, 0}, {0, -40}}, 0, 1, 2, 0.5).Sense);

    // Collinear with a cosine of exactly 1: kept while Vertex1-Vertex2 (20 px) exceeds minSide.
    const Stars line = {{0, 0}, {20, 0}, {50, 0}};
    EXPECT_EQ(std::pair(makeTriangle(line, 0, 1, 2, 0.74).Cosine, makeTriangle(line, 0, 1, 2, 0.74).Ratio),
              std::pair(1.0, 2.5));
    EXPECT_EQ(buildTriangles(19.5, line, 0.74).size(), 1u);
    EXPECT_TRUE(buildTriangles(20, line, 0.74).empty());
    // Collinear where rounding puts the cosine above 1; two stars in one place.
    ASSERT_GT(36.0 / (std::sqrt(72.0) * std::sqrt(18.0)), 1.0) << "no longer a rounding case";
    EXPECT_EQ(makeTriangle({{0, 0}, {3, 3}, {6, 6}}, 0, 1, 2, 0.74).Ratio, 1000);
    EXPECT_EQ(makeTriangle({{5, 5}, {80, 10}, {5, 5}}, 0, 1, 2, 0.74).Ratio, 1000);
    EXPECT_TRUE(buildTriangles(0, {{5, 5}, {80, 10}, {5, 5}}, 0.74).empty());
}

TEST(PatternMatching, ResolveIdentifications) {
    const std::pair<double, double> a{1, 2}, b{3, 4}, c{5, 6}, d{7, 8}, e{9, 10};
    Stars s(8, TStarPoint(0, 0));
    s[0].proposals = {a};              // once: not enough
    s[1].proposals = {b, a, b, a, a};  // 3 x A beats 2 x B listed first
    s[2].RA = 50, s[2].Dec = 60;       // nothing proposed
    s[3].proposals = {e, d, d, e};     // equal counts: the first listed
    s[4].proposals = {c, c, c, c};     // C with 3 votes ...
    s[5].proposals = {c, c, c};        // ... so this one loses C
    s[6].proposals = {d, d, d};        // equal votes for D: both keep it
    s[7].proposals = {d, d, d};
    resolveIdentifications(s);
    std::vector<std::tuple<int, double, double>> got;
    for (const TStarPoint& t : s) got.emplace_back(t.Votes, t.RA, t.Dec);
    EXPECT_EQ(got, (decltype(got){
                       {0, 0, 0}, {2, 1, 2}, {0, 0, 0}, {1, 9, 10}, {3, 5, 6}, {0, 0, 0}, {2, 7, 8}, {2, 7, 8}}));
}

TEST(PatternMatching, MatchStarListsIdentifiesTurnedAndFlippedField) {
    std::mt19937 rng(3);
    auto pixel = [&](int last) { return std::uniform_int_distribution<int>(0, last)(rng); };
    Stars photo;
    for (int k = 0; k < 18; ++k) photo.emplace_back(pixel(767), pixel(575));
    sortStarsByX(photo);
    const Triangles tp = buildTriangles(10, photo, 0.74);
    for (bool flip : {false, true}) {
        SCOPED_TRACE(flip ? "flipped" : "turned");
        // Catalog star k (RA k, Dec -k) is photo star k turned 1.5 degrees and
        // shifted, or flipped top to bottom (left to right would change the X
        // order that the vertex choice follows).
        const double a = 1.5 * std::acos(-1.0) / 180;
        Stars catalog;
        for (std::size_t k = 0; k < photo.size(); ++k) {
            const double x = photo[k].X - 384, y = (flip ? 575 - photo[k].Y : photo[k].Y) - 288;
            catalog.emplace_back(388 + x * std::cos(a) - y * std::sin(a), 285 + x * std::sin(a) + y * std::cos(a),
                                 double(k), -double(k));
        }
        sortStarsByX(catalog);
        const Triangles tc = buildTriangles(10, catalog, 0.74);
        Stars stars = photo;
        const TMatchResult first = matchStarLists(tc, catalog, tp, stars, 0.74);
        const TMatchResult r = matchStarLists(tc, catalog, tp, stars, 0.74);  // must not see the first pass
        EXPECT_EQ(std::pair(r.voteSum, r.identified), std::pair(first.voteSum, first.identified));
        EXPECT_GE(r.identified, 15);
        int sum = 0;
        for (std::size_t k = 0; k < stars.size(); ++k)
            if (stars[k].Votes > 2) {
                EXPECT_EQ(std::pair(stars[k].RA, stars[k].Dec), std::pair(double(k), -double(k))) << "star " << k;
                sum += stars[k].Votes;
            }
        EXPECT_EQ(r.voteSum, sum);
    }
}

TEST(PatternMatching, QuicksortOrderOfEqualKeys) {
    auto sortedYs = [](Stars s) {
        sortStarsByX(s);
        std::vector<double> ys;
        for (const TStarPoint& p : s) ys.push_back(p.Y);
        return ys;
    };
    // X = 5,1,5,3,5: pivot 5 swaps positions 0/4 and 2/3 -> [5e,1,3,5c,5a];
    // [5e,1,3] (pivot 1) -> [1,5e,3] -> [1,3,5e]; [5c,5a] (pivot 5) swaps.
    EXPECT_EQ(sortedYs({{5, 0}, {1, 1}, {5, 2}, {3, 3}, {5, 4}}), (std::vector<double>{1, 3, 4, 0, 2}));
    // X = 2,1,2,1: pivot 1 (position 1 of 0..3) swaps 0/3 and 1 with itself;
    // [2c,2a] (pivot 2) swaps.
    EXPECT_EQ(sortedYs({{2, 0}, {1, 1}, {2, 2}, {1, 3}}), (std::vector<double>{3, 1, 0, 2}));
    EXPECT_TRUE(sortedYs({}).empty());
}

}  // namespace
}  // namespace orbis
