#include "astrometry/uPlateSolution.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "astro/matlib.h"
#include "astro/timlib.h"
#include "astro/uExceptions.h"
#include "astro/uNotifier.h"
#include "astro/uUniUtils.h"
#include "astrometry/uPatternMatching.h"
#include "astrometry/uPlateVerification.h"
#include "astrometry/uSkyTriangleIndex.h"
#include "astrometry/uStarCatalog.h"
#include "config/uConfiguration.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"
#include "processing/uWorkFiles.h"

namespace orbis {

namespace {


bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// The trial centres of the scan, by the same repeated additions as the
// nested loops of the sequential scan, so both visit the same numbers.
std::vector<double> scanSteps(double from, double to, double step) {
    std::vector<double> steps;
    for (double v = from; v < to; v += step) steps.push_back(v);
    return steps;
}

struct IdentifiedStars {
    std::vector<std::string> lines;
    std::vector<double> ra, dec, x, y;
};

// The pixel of the frame centre line of A.txt.
struct TFrameCentrePixel {
    int x, y;
};

struct TRefinedCentre {
    TSkyPoint centre;
    std::vector<std::size_t> kept;  // the reference stars' lines, in order
    TPlate plate;                   // fitted to them about the refined centre
    bool cameraLike = false;        // the plate is a similarity at the camera's scale
};

}  // namespace

double raDifference(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

// ---------------------------------------------------------------------------
// Plate solution

namespace {

// xi = abc[0] x + abc[1] y + abc[2], eta = def[0] x + def[1] y + def[2].
struct TPlateConstants {
    std::vector<double> abc, def;
};

TPlateConstants solvePlate(std::span<const double> ra, std::span<const double> dec, std::span<const double> x,
                           std::span<const double> y, double ra0, double dec0) {
    const std::size_t n = ra.size();
    std::vector<std::vector<double>> xiRows, etaRows;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        double xi = 0, eta = 0;
        EQUSTD(ra0, dec0, ra[i], dec[i], xi, eta);
        xiRows.push_back({x[i], y[i], 1.0, xi});
        etaRows.push_back({x[i], y[i], 1.0, eta});
    }
    const int equations = static_cast<int>(n) - 1;
    return {LSQFIT(xiRows, equations, 3), LSQFIT(etaRows, equations, 3)};
}

TPlate plateOf(const TPlateConstants& p, TSkyPoint centre) {
    return {centre, p.abc[0], p.abc[1], p.abc[2], p.def[0], p.def[1], p.def[2]};
}

}  // namespace

void fitPlateConstants(std::span<const double> ra, std::span<const double> dec, std::span<const double> x,
                       std::span<const double> y, std::span<double> residual, double& ra0, double& dec0) {
    const std::size_t n = ra.size();
    const auto [abc, def] = solvePlate(ra, dec, x, y, ra0, dec0);

    double alpha = ra0, delta = dec0;
    for (std::size_t i = 0; i < n; ++i) {
        const double xi = abc[0] * x[i] + abc[1] * y[i] + abc[2];
        const double eta = def[0] * x[i] + def[1] * y[i] + def[2];
        // STDEQU answers on the right side of a pole inside the field, so a
        // residual needs no quadrant repair.
        STDEQU(ra0, dec0, xi, eta, alpha, delta);
        if (alpha > 360) alpha -= 360;
        if (alpha < 0) alpha += 360;
        if (i + 1 < n) {
            const double dRa = CS(dec[i]) * raDifference(alpha, ra[i]);
            residual[i] = 60.0 * std::sqrt(dRa * dRa + (delta - dec[i]) * (delta - dec[i]));
        }
    }
    ra0 = alpha;
    dec0 = delta;
}

namespace {

// The identified stars of S.txt lines, read strictly: positions on the
// given picture. Blank lines are left out.
IdentifiedStars identifiedStarsOf(const std::vector<std::string>& lines, const std::string& path,
                                  TWorkPicture picture) {
    IdentifiedStars s;
    for (const TIdentifiedStar& star : parseIdentifiedStars(lines, path, picture)) {
        s.lines.push_back(lines[star.line]);
        s.ra.push_back(star.ra);
        s.dec.push_back(star.dec);
        s.x.push_back(std::trunc(star.x));
        s.y.push_back(std::trunc(star.y));
    }
    return s;
}

TFrameCentrePixel frameCentrePixel(const TConfiguration& config) {
    // The picture's centre. Its margins exist only when the distortion
    // correction added them (as for the track points), never negative.
    const TDistortion margins = TDistortion::fromConfiguration(config);
    return {config.widthCCD() / 2 + (config.correctDistortion() ? margins.addResultWidth : 0),
            config.heightCCD() / 2 + (config.correctDistortion() ? margins.addResultHeight : 0)};
}

// The processed frame: the picture with the margins the distortion
// correction added.
TFrameArea processedFrameArea(const TConfiguration& config) {
    const TDistortion margins = TDistortion::fromConfiguration(config);
    const bool withMargins = config.correctDistortion();
    return {config.widthCCD() + (withMargins ? 2 * margins.addResultWidth : 0),
            config.heightCCD() + (withMargins ? 2 * margins.addResultHeight : 0)};
}

// The local sidereal angle (degrees) of the event a work file belongs to;
// nothing when its path names no night and event.
std::optional<double> eventSiderealAngle(const std::string& path, const TConfiguration& config) {
    TDateTime ut = 0;
    try {
        ut = timeFromFileName(path, config.timeZone());
    } catch (const EConvertError&) {
        return std::nullopt;
    }
    const DateTimeParts t = decodeDateTime(ut);
    const double mjd = MJD(t.day, t.month, t.year, t.hour + t.minute / 60.0);
    return LMST(mjd, config.signedLongitude()) * 15.0;
}

TWorkPicture workPicture(TFrameArea frame) { return {frame.width, frame.height}; }

// The stars of a detection list (P.txt), read strictly: positions on the
// processed frame.
std::vector<TStarPoint> detectedStars(const std::string& path, const TConfiguration& config) {
    std::vector<TStarPoint> photo;
    for (const TListedStar& star : readStarList(path, workPicture(processedFrameArea(config)), false))
        photo.emplace_back(star.x, star.y);
    return photo;
}

// The binding's log record: how well the plate explains the detected stars.
TDiagnostic verificationRecord(const TPlateCheck& c) {
    return TDiagnostic(Code::PlateVerified, Severity::Notice)
        .with("matched", c.matched)
        .with("detected", c.detected)
        .with("predicted", c.predicted)
        .with("chance", formatFloat("0.0", c.expectedByChance, '.'))
        .with("residual", formatFloat("0.00", c.residualPixels, '.'))
        .with("log10Chance", formatFloat("0", c.log10Chance, '.'));
}

// Whether a plate is the camera's picture: turned and perhaps mirrored, but
// neither sheared nor stretched, at about the configured scale. Wrong
// identifications can still fit the six affine constants within the
// outlier limit; they hardly ever fit a similarity of the right scale.
bool plateLooksLikeTheCamera(const TPlateConstants& p, double pixelsPerRadian) {
    const double a = p.abc[0], b = p.abc[1], d = p.def[0], e = p.def[1];
    // Singular values of [[a, b], [d, e]].
    const double q = a * a + b * b + d * d + e * e, det = std::fabs(a * e - b * d);
    const double root = std::sqrt(std::max(0.0, q * q / 4 - det * det));
    const double s1 = std::sqrt(q / 2 + root), s2 = std::sqrt(std::max(0.0, q / 2 - root));
    constexpr double kMaxStretch = 1.2, kMaxScaleError = 1.5;
    if (!(s2 > 0) || !(s1 / s2 < kMaxStretch)) return false;
    const double scale = 1 / std::sqrt(s1 * s2) / pixelsPerRadian;
    return scale < kMaxScaleError && scale > 1 / kMaxScaleError;
}

// The reference star (of elements 0..n-2) farthest, in pixels, from the
// place that the plate of all the other reference stars gives its catalog
// position, when it is out of line: more than kPlateMatchRadius, or more
// than kOutlierPixels and three times the stars' median distance (a blend
// with another light shifts a star by less than a wrong name does, but far
// more than a star is otherwise off). Nothing with fewer than five other
// stars to fit.
std::optional<std::size_t> farthestFromTheOthersPlate(const std::vector<double>& ra, const std::vector<double>& dec,
                                                      const std::vector<double>& x, const std::vector<double>& y,
                                                      TSkyPoint centre) {
    constexpr double kOutlierPixels = 3.0, kOutlierToMedian = 3.0;
    const std::size_t stars = ra.size() - 1;
    if (stars < 6) return std::nullopt;
    std::vector<double> distance(stars, 0.0);
    for (std::size_t i = 0; i < stars; ++i) {
        // The others, and the target element last, as solvePlate takes them.
        std::vector<double> r, d, px, py;
        for (std::size_t k = 0; k < ra.size(); ++k) {
            if (k == i) continue;
            r.push_back(ra[k]), d.push_back(dec[k]), px.push_back(x[k]), py.push_back(y[k]);
        }
        const auto place = plateOf(solvePlate(r, d, px, py, centre.ra, centre.dec), centre).pixelOf({ra[i], dec[i]});
        distance[i] = place ? std::hypot(place->first - x[i], place->second - y[i]) : 0.0;
    }
    std::vector<double> sorted = distance;
    // The lower median: of an even count the smaller middle one.
    const std::size_t middle = (stars - 1) / 2;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(middle), sorted.end());
    const double limit = std::clamp(kOutlierToMedian * sorted[middle], kOutlierPixels, kPlateMatchRadius);
    const auto farthest = std::max_element(distance.begin(), distance.end());
    if (!(*farthest > limit)) return std::nullopt;
    return static_cast<std::size_t>(farthest - distance.begin());
}

std::optional<TRefinedCentre> refineFrameCentre(const IdentifiedStars& s, TSkyPoint start, TFrameCentrePixel pixel,
                                                double pixelsPerRadian = 0) {
    // Elements 0..n-2 are the reference stars, n-1 the frame centre.
    std::vector<double> ra = s.ra, dec = s.dec, x = s.x, y = s.y;
    TRefinedCentre refined;
    refined.kept.resize(s.lines.size());
    for (std::size_t i = 0; i < refined.kept.size(); ++i) refined.kept[i] = i;
    std::vector<std::size_t>& lineOf = refined.kept;
    ra.push_back(0);
    dec.push_back(0);
    x.push_back(pixel.x);
    y.push_back(pixel.y);
    std::vector<double> residual(ra.size(), 0.0);

    TSkyPoint current = start;
    try {
        // A fit that neither converges nor wanders off would go on for ever.
        for (int iteration = 0;; ++iteration) {
            if (iteration == 10000) return std::nullopt;
            double raN = current.ra, decN = current.dec;
            fitPlateConstants(ra, dec, x, y, residual, raN, decN);
            const double dRa = raDifference(raN, current.ra), dDec = decN - current.dec;
            if (std::sqrt(dRa * dRa + dDec * dDec) < 0.005) {
                current = {raN, decN};
                double worst = 0;
                for (std::size_t i = 0; i + 1 < ra.size(); ++i) worst = std::max(worst, residual[i]);
                auto remove = [&](std::size_t i) {
                    const auto at = static_cast<std::ptrdiff_t>(i);
                    ra.erase(ra.begin() + at);
                    dec.erase(dec.begin() + at);
                    x.erase(x.begin() + at);
                    y.erase(y.begin() + at);
                    residual.erase(residual.begin() + at);
                    lineOf.erase(lineOf.begin() + at);
                };
                bool removed = false;
                for (std::size_t i = 0; i + 1 < ra.size();) {
                    if (residual[i] > 20 && residual[i] == worst) {
                        remove(i);
                        removed = true;
                    } else {
                        ++i;
                    }
                }
                // A star farther from where the other stars' plate puts it
                // than a detected star may lie from its predicted place is a
                // wrong identification (in a dense group, a neighbour's
                // name; a blend with another light), however few arcminutes
                // that is. Fitted with the others, a star at the field's edge
                // pulls the plate towards itself and hides its own error.
                if (!removed) {
                    if (const auto worstStar = farthestFromTheOthersPlate(ra, dec, x, y, current)) {
                        remove(*worstStar);
                        removed = true;
                    }
                }
                std::fill(residual.begin(), residual.end(), 0.0);
                if (!removed || ra.size() < 6) break;
                if (std::fabs(raDifference(raN, start.ra)) > 8 || std::fabs(decN - start.dec) > 8) current = start;
            } else {
                if (std::fabs(raDifference(raN, start.ra)) > 15 || std::fabs(decN - start.dec) > 15) return std::nullopt;
                current = {raN, decN};
            }
        }
    } catch (const EZeroDivide&) {
        return std::nullopt;  // reference stars on one line determine no plate
    }
    if (ra.size() <= 5) return std::nullopt;
    refined.centre = current;
    const TPlateConstants constants = solvePlate(ra, dec, x, y, current.ra, current.dec);
    refined.plate = plateOf(constants, current);
    refined.cameraLike = pixelsPerRadian > 0 && plateLooksLikeTheCamera(constants, pixelsPerRadian);
    return refined;
}

}  // namespace

std::optional<TSkyPoint> centreOfIdentifiedStars(const std::string& sTxtPath) {
    // Only an average: the callers that fit a plate read the file against
    // the processed frame.
    const IdentifiedStars s = identifiedStarsOf(readTextLines(sTxtPath), sTxtPath, kAnyWorkPicture);
    if (s.ra.empty()) return std::nullopt;
    double sinSum = 0, cosSum = 0, decSum = 0;
    for (std::size_t i = 0; i < s.ra.size(); ++i) {
        sinSum += SN(s.ra[i]);
        cosSum += CS(s.ra[i]);
        decSum += s.dec[i];
    }
    double ra = ATN2(sinSum, cosSum);
    if (ra < 0) ra += 360;
    return TSkyPoint{ra, decSum / static_cast<double>(s.ra.size())};
}

std::optional<TSkyPoint> findCenterFrame(const std::string& path, std::optional<TSkyPoint> estimate,
                                         const TConfiguration& config, UserNotifier& notifier,
                                         const std::optional<std::string>& programDirectory) {
    if (!fileExists(path)) {
        notifier.report(TDiagnostic(Code::StarListMissingForCentre).with("file", path));
        return std::nullopt;
    }
    const IdentifiedStars s = identifiedStarsOf(readTextLines(path), path, workPicture(processedFrameArea(config)));
    if (s.lines.size() <= 3) {
        notifier.report(TDiagnostic(Code::TooFewStarsInFile).with("file", path).with("count", s.lines.size()));
        return std::nullopt;
    }
    const TFrameCentrePixel pixel = frameCentrePixel(config);
    const TSkyPoint start = estimate ? *estimate : *centreOfIdentifiedStars(path);
    const std::optional<TRefinedCentre> refined = refineFrameCentre(s, start, pixel);
    bool explained = true;
    if (refined && programDirectory) {
        // The detected stars the plate must explain, and the catalog's
        // stars above the horizon at the event's time.
        const std::string pTxt = siblingWorkFile(path, workSuffix::kProcessedStars);
        const std::optional<double> theta = eventSiderealAngle(path, config);
        if (fileExists(pTxt) && theta) {
            SilentNotifier quiet;  // a missing catalog stopped the scan already
            const std::vector<TStarInfo> sky =
                listStarsByTime(starCatalogPath(config, *programDirectory), *theta, config.signedLatitude(), quiet);
            if (!sky.empty()) {
                const TPlateCheck check =
                    verifyPlate(refined->plate, detectedStars(pTxt, config), sky, processedFrameArea(config));
                notifier.record(verificationRecord(check));
                explained = check.passed;
            }
        }
    }
    if (!refined || !explained) {
        notifier.report(TDiagnostic(Code::StarBindingFailed, Severity::Warning).with("file", path));
        return std::nullopt;
    }
    std::vector<std::string> out;
    for (std::size_t k : refined->kept) out.push_back(s.lines[k]);
    out.push_back(formatFloat("0.000", refined->centre.ra, '.') + "|" + formatFloat("0.000", refined->centre.dec, '.') +
                  "|" + std::to_string(pixel.x) + "|" + std::to_string(pixel.y) + "|0.00|CENTER|CENTER");
    writeTextLines(siblingWorkFile(path, workSuffix::kAstrometry), out);
    return refined->centre;
}

// ---------------------------------------------------------------------------
// Sky scan

namespace {

// What every pass of the scan shares.
struct TScanContext {
    const TVisibleSky& sky;
    TCameraModel camera;
    TFrameArea frame;
    double theta, epsilon, minSide;
    std::vector<double> decs, ras;
    double minDec, delta;
    long span;
    unsigned threads;
};

// The photo stars turned by quarter turns about the origin. The matching
// chooses each triangle's first vertex by x order, so a picture turned by
// more than about a quarter turn from north-up describes its triangles
// differently from the catalog's; turned back by the nearest quarter turn it
// matches again. The turns are exact in floating point and undone exactly.
void turnQuarters(std::vector<TStarPoint>& stars, int quarterTurns) {
    for (TStarPoint& s : stars) {
        for (int k = 0; k < (quarterTurns % 4 + 4) % 4; ++k) {
            const double x = s.X;
            s.X = -s.Y;
            s.Y = x;
        }
    }
}

using TGridCell = TScanCell;

struct TScoredCell {
    TGridCell cell;
    TMatchResult match;
};

// One pass's photo stars, turned, with their triangles.
struct TTurnedPhoto {
    int quarterTurns;
    std::vector<TStarPoint> stars;
    std::vector<TTriangle> triangles;
};

TTurnedPhoto turnedPhoto(const std::vector<TStarPoint>& photo, int quarterTurns, const TScanContext& ctx) {
    TTurnedPhoto t{quarterTurns, photo, {}};
    turnQuarters(t.stars, quarterTurns);
    sortStarsByX(t.stars);
    t.triangles = buildTriangles(ctx.minSide, t.stars, ctx.epsilon);
    return t;
}

// Matches the photo stars at each of the cells. Rows of cells are handed to
// the threads one at a time; the calling thread keeps the window alive and
// the progress bar moving while they work.
std::vector<TMatchResult> matchAtCells(const TTurnedPhoto& photo, const std::vector<std::vector<TGridCell>>& rows,
                                       const TScanContext& ctx, UserNotifier& notifier, bool showProgress) {
    std::vector<std::size_t> firstOfRow;
    std::size_t total = 0;
    for (const auto& r : rows) firstOfRow.push_back(total), total += r.size();
    std::vector<TMatchResult> results(total);

    // One trial centre: its own star points and its own copy of the photo
    // stars, whose votes the matching overwrites completely each time.
    auto trial = [&](TGridCell cell, std::vector<TStarPoint>& points, std::vector<TStarPoint>& stars) {
        points.clear();
        ctx.sky.listStarsInFrame(ctx.camera, ctx.ras[cell.column], ctx.decs[cell.row], ctx.theta, points);
        if (points.size() <= 4) return TMatchResult{};
        sortStarsByX(points);
        const std::vector<TTriangle> triangles = buildTriangles(ctx.minSide, points, ctx.epsilon);
        return matchStarLists(triangles, points, photo.triangles, stars, ctx.epsilon);
    };
    auto scanRow = [&](std::size_t r, std::vector<TStarPoint>& points, std::vector<TStarPoint>& stars) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) results[firstOfRow[r] + c] = trial(rows[r][c], points, stars);
    };

    if (showProgress) {
        notifier.progressShow(100);
        notifier.progressPosition(0);
    }
    if (ctx.threads <= 1 || rows.size() <= 1) {
        std::vector<TStarPoint> points, stars = photo.stars;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            scanRow(r, points, stars);
            notifier.pump();
            if (showProgress && ctx.span != 0 && !rows[r].empty())
                notifier.progressPosition(static_cast<int>(
                    std::lround((ctx.decs[rows[r].front().row] + ctx.delta - ctx.minDec) * 100 / ctx.span)));
        }
        return results;
    }
    std::atomic<std::size_t> nextRow{0};
    std::atomic<std::size_t> rowsDone{0};
    std::mutex mutex;
    std::condition_variable progressed;
    auto worker = [&] {
        std::vector<TStarPoint> points, stars = photo.stars;
        for (std::size_t r = nextRow++; r < rows.size(); r = nextRow++) {
            scanRow(r, points, stars);
            {
                std::lock_guard lock(mutex);
                ++rowsDone;
            }
            progressed.notify_one();
        }
    };
    std::vector<std::jthread> pool;
    for (unsigned i = 0; i < std::min<std::size_t>(ctx.threads, rows.size()); ++i) pool.emplace_back(worker);
    std::unique_lock lock(mutex);
    while (rowsDone < rows.size()) {
        progressed.wait_for(lock, std::chrono::milliseconds(20));
        const std::size_t done = rowsDone;
        lock.unlock();
        notifier.pump();
        if (showProgress) notifier.progressPosition(static_cast<int>(done * 100 / rows.size()));
        lock.lock();
    }
    return results;
}

// The grid's cells by rows, every stride-th row and column.
std::vector<std::vector<TGridCell>> gridRows(const TScanContext& ctx, std::size_t stride) {
    std::vector<std::vector<TGridCell>> rows;
    for (std::size_t r = 0; r < ctx.decs.size(); r += stride) {
        rows.emplace_back();
        for (std::size_t c = 0; c < ctx.ras.size(); c += stride) rows.back().push_back({r, c});
    }
    return rows;
}

// The cells that identified more than one star, by falling vote sum, the
// first in scan order among equal sums; a cell within `apart` rows and
// columns of a better one is the same pointing and left out.
std::vector<TScoredCell> bestCells(const std::vector<std::vector<TGridCell>>& rows,
                                   const std::vector<TMatchResult>& results, std::size_t count, std::size_t apart) {
    std::vector<TScoredCell> scored;
    std::size_t k = 0;
    for (const auto& row : rows)
        for (const TGridCell& cell : row) {
            const TMatchResult& m = results[k++];
            if (m.identified > 1 && m.voteSum > 0) scored.push_back({cell, m});
        }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const TScoredCell& a, const TScoredCell& b) { return a.match.voteSum > b.match.voteSum; });
    std::vector<TScoredCell> chosen;
    const auto near = [apart](std::size_t a, std::size_t b) { return (a > b ? a - b : b - a) <= apart; };
    for (const TScoredCell& s : scored) {
        if (chosen.size() == count) break;
        const bool same = std::any_of(chosen.begin(), chosen.end(), [&](const TScoredCell& c) {
            return near(c.cell.row, s.cell.row) && near(c.cell.column, s.cell.column);
        });
        if (!same) chosen.push_back(s);
    }
    return chosen;
}

// A pointing the scan proposes: its centre and the S.txt lines of the stars
// it identified, with the plate those stars give.
struct TCandidate {
    TSkyPoint centre{-999, -999};
    std::vector<std::string> lines;
    std::optional<TRefinedCentre> refined;
    TPlateCheck check;
};

std::string identifiedStarLine(const TStarInfo& v, const TStarPoint& s) {
    return floatToText(v.RA) + "|" + floatToText(v.Dec) + "|" + floatToText(s.X) + "|" + floatToText(s.Y) + "|" +
           floatToText(v.Magnitude) + "|" + v.Name + "|" + v.Spectrum;
}

// The identifications at one centre, found once more, as S.txt lines that
// carry the stars' detected positions in their x order.
std::vector<std::string> identifiedAt(TSkyPoint centre, TTurnedPhoto photo, const TScanContext& ctx) {
    std::vector<TStarPoint> points;
    ctx.sky.listStarsInFrame(ctx.camera, centre.ra, centre.dec, ctx.theta, points);
    sortStarsByX(points);
    matchStarLists(buildTriangles(ctx.minSide, points, ctx.epsilon), points, photo.triangles, photo.stars, ctx.epsilon);
    if (photo.quarterTurns % 4 != 0) {
        // Back to the detected positions, in their x order as an unturned
        // scan lists them.
        turnQuarters(photo.stars, 4 - photo.quarterTurns % 4);
        sortStarsByX(photo.stars);
    }
    std::vector<std::string> lines;
    for (const TStarPoint& s : photo.stars) {
        for (const TStarInfo& v : ctx.sky.stars()) {
            if (v.RA == s.RA && v.Dec == s.Dec) {
                lines.push_back(identifiedStarLine(v, s));
                break;
            }
        }
    }
    return lines;
}

TCandidate judge(TSkyPoint centre, std::vector<std::string> lines, const std::vector<TStarPoint>& photo,
                 const TScanContext& ctx, const std::string& path, TFrameCentrePixel centrePixel) {
    TCandidate c{centre, std::move(lines), std::nullopt, {}};
    if (c.lines.size() > 3)
        c.refined = refineFrameCentre(identifiedStarsOf(c.lines, path, workPicture(ctx.frame)), centre, centrePixel,
                                      ctx.camera.scale);
    if (c.refined) c.check = verifyPlate(c.refined->plate, photo, ctx.sky.stars(), ctx.frame);
    return c;
}

// Whether the picture's x axis runs more than 45 degrees away from the
// west (the catalog projection's x): beyond that, fewer and fewer of the
// triangles keep the x order of their vertices.
bool turnedPastAnEighth(const TPlate& plate) { return std::fabs(ATN2(plate.d, plate.a)) > 45; }

bool accepted(const TCandidate& c) { return c.refined && c.refined->cameraLike && c.check.passed; }

// Every detected star named by the catalog star a verified plate puts on it:
// S.txt lines in the detected stars' x order. The identifications of a
// turned scan's triangles are only those its votes could settle; the plate
// that they give places the rest.
std::vector<std::string> identifiedThroughPlate(const TPlate& plate, std::vector<TStarPoint> photo,
                                                const TScanContext& ctx) {
    sortStarsByX(photo);
    const std::vector<int> identity = identifyThroughPlate(plate, photo, ctx.sky.stars(), ctx.frame);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < photo.size(); ++i)
        if (identity[i] >= 0) lines.push_back(identifiedStarLine(ctx.sky.stars()[static_cast<std::size_t>(identity[i])], photo[i]));
    return lines;
}

// How many candidate pointings of one pass are judged before the pass is
// given up, and how far apart (in scan steps) two of them must lie.
constexpr std::size_t kCandidatesPerPass = 5;
constexpr std::size_t kCandidateSpacing = 2;
// The turned passes scan every kTurnedStride-th centre first and then the
// whole grid around the best of them: a pointing a few degrees off still
// projects most of the field's stars, so its triangles already vote.
constexpr std::size_t kTurnedStride = 2;

// The candidates of one pass in the order they are judged: the whole grid
// for the picture as it comes, a coarse grid and its best neighbourhoods for
// a turned one.
std::vector<TSkyPoint> candidateCentres(const TTurnedPhoto& photo, const TScanContext& ctx, UserNotifier& notifier);

// How many vote peaks are matched in full, and how far around each (at
// least kVoteRadiusSteps grid steps): a frame some degrees off the pointing
// still holds most of its stars, so the full scan's best cell of a pointing
// can lie several degrees from the centre the votes imply.
constexpr std::size_t kVotePeaks = 5;
constexpr double kVoteRadiusDegrees = 6;
constexpr std::size_t kVoteRadiusSteps = 3;

// The upright pass's candidates from the voted neighbourhoods only: the
// full matching at those cells, ranked as the full scan ranks them.
std::vector<TSkyPoint> votedCentres(const TTurnedPhoto& photo, const TSkyTriangleIndex& index, const TScanContext& ctx,
                                    UserNotifier& notifier) {
    std::vector<std::vector<TGridCell>> rows;
    const std::size_t radius =
        std::max(kVoteRadiusSteps, static_cast<std::size_t>(std::ceil(kVoteRadiusDegrees / ctx.delta)));
    for (const TScanCell& cell : index.proposedCells(photo.stars, kVotePeaks, radius)) {
        if (rows.empty() || rows.back().front().row != cell.row) rows.emplace_back();
        rows.back().push_back(cell);
    }
    const auto best =
        bestCells(rows, matchAtCells(photo, rows, ctx, notifier, false), kCandidatesPerPass, kCandidateSpacing);
    std::vector<TSkyPoint> centres;
    for (const TScoredCell& s : best) centres.push_back({ctx.ras[s.cell.column], ctx.decs[s.cell.row]});
    return centres;
}

std::vector<TSkyPoint> candidateCentres(const TTurnedPhoto& photo, const TScanContext& ctx, UserNotifier& notifier) {
    std::vector<TScoredCell> best;
    if (photo.quarterTurns == 0) {
        const auto rows = gridRows(ctx, 1);
        best = bestCells(rows, matchAtCells(photo, rows, ctx, notifier, true), kCandidatesPerPass, kCandidateSpacing);
    } else {
        const auto coarse = gridRows(ctx, kTurnedStride);
        const auto around = bestCells(coarse, matchAtCells(photo, coarse, ctx, notifier, false), kCandidatesPerPass,
                                      kTurnedStride);
        std::vector<std::vector<TGridCell>> rows;
        for (const TScoredCell& s : around) {
            for (std::size_t r = s.cell.row >= kTurnedStride ? s.cell.row - kTurnedStride + 1 : 0;
                 r < std::min(ctx.decs.size(), s.cell.row + kTurnedStride); ++r) {
                rows.emplace_back();
                for (std::size_t c = s.cell.column >= kTurnedStride ? s.cell.column - kTurnedStride + 1 : 0;
                     c < std::min(ctx.ras.size(), s.cell.column + kTurnedStride); ++c)
                    rows.back().push_back({r, c});
            }
        }
        best = bestCells(rows, matchAtCells(photo, rows, ctx, notifier, false), kCandidatesPerPass, kCandidateSpacing);
    }
    std::vector<TSkyPoint> centres;
    for (const TScoredCell& s : best) centres.push_back({ctx.ras[s.cell.column], ctx.decs[s.cell.row]});
    return centres;
}


}  // namespace

std::optional<TSkyPoint> alignStarMap(const std::string& path, const TConfiguration& config,
                                      const std::string& programDirectory, UserNotifier& notifier,
                                      TScanOptions options) {
    if (!fileExists(path)) {
        notifier.report(TDiagnostic(Code::StarListMissingForBinding).with("file", path));
        return std::nullopt;
    }
    double theta = 0;
    if (const auto t = eventSiderealAngle(path, config)) theta = *t;
    else {
        notifier.report(TDiagnostic(Code::EventFileNameInvalid).with("file", path));
        return std::nullopt;
    }

    const std::vector<TStarPoint> photo = detectedStars(path, config);
    if (photo.size() <= 3) {
        notifier.report(
            TDiagnostic(Code::TooFewReferenceStars, Severity::Warning).with("file", path).with("count", photo.size()));
        return std::nullopt;
    }

    auto catalogStars = listStarsByTime(starCatalogPath(config, programDirectory), theta, config.signedLatitude(), notifier);
    // No catalog (its message has been shown): nothing was scanned, so no
    // S.txt is written that would make every later run skip the scan.
    if (catalogStars.empty()) return std::nullopt;
    const TVisibleSky sky(std::move(catalogStars));

    const double delta = config.autoDetectScanDelta();
    const double minDec = config.autoDetectMinDEC(), maxDec = config.autoDetectMaxDEC();
    const double minRa = config.autoDetectMinRA(), maxRa = config.autoDetectMaxRA();
    // A step so small that the scan would take hours (the default has 16 200
    // centres; a million take about half a minute) is a typing error.
    constexpr double kMaxTrialCentres = 1e6;
    if (!(delta > 0) || ((maxDec - minDec) / delta + 1) * ((maxRa - minRa) / delta + 1) > kMaxTrialCentres) {
        notifier.report(TDiagnostic(Code::ScanStepInvalid).with("step", floatToText(delta)));
        return std::nullopt;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const TFrameCentrePixel centrePixel = frameCentrePixel(config);
    const TScanContext ctx{sky,
                           TCameraModel::fromConfiguration(config),
                           processedFrameArea(config),
                           theta,
                           config.autoDetectTriangleEpsilon(),
                           static_cast<double>(config.autoDetectMinSide()),
                           scanSteps(minDec, maxDec, delta),
                           scanSteps(minRa, maxRa, delta),
                           minDec,
                           delta,
                           std::lround(maxDec - minDec),
                           options.threads > 0 ? static_cast<unsigned>(options.threads) : cores};

    // The picture as it comes first; a camera turned upside down or sideways,
    // or a mirrored picture, binds with the stars turned by half or a quarter
    // turn. Each pass proposes its best pointings in turn; the first whose
    // plate is the camera's and explains the detected stars is kept. With
    // none, the unturned scan's best is written as it is and the refinement
    // then says that the binding failed.
    std::optional<TCandidate> unturned, kept;
    // The first candidate of a pass that binds, or nothing.
    const auto bindFirst = [&](const TTurnedPhoto& turned, const std::vector<TSkyPoint>& centres,
                               bool keepFirst) -> std::optional<TCandidate> {
        for (const TSkyPoint centre : centres) {
            TCandidate c = judge(centre, identifiedAt(centre, turned, ctx), photo, ctx, path, centrePixel);
            if (keepFirst && !unturned) unturned = c;
            if (!accepted(c)) continue;
            if (turned.quarterTurns != 0 || turnedPastAnEighth(c.refined->plate)) {
                // The triangles of a picture turned from the scan's own
                // orientation vote for only part of its stars: a turned
                // pass, or a plain one that bound a turned camera, names
                // every star its verified plate places.
                TCandidate all = judge(centre, identifiedThroughPlate(c.refined->plate, photo, ctx), photo, ctx, path,
                                       centrePixel);
                if (accepted(all)) c = std::move(all);
            }
            return c;
        }
        return std::nullopt;
    };
    // The upright picture first around the centres its triangles vote for;
    // only when none of those binds is every centre matched, so the voting
    // never loses a pointing that the full scan binds.
    if (!options.everyCentre) {
        const TTurnedPhoto upright = turnedPhoto(photo, 0, ctx);
        const TSkyTriangleIndex index(sky, ctx.camera, theta, {ctx.decs, ctx.ras, delta});
        kept = bindFirst(upright, votedCentres(upright, index, ctx, notifier), false);
    }
    for (const int quarterTurns : {0, 2, 1, 3}) {
        if (kept) break;
        const TTurnedPhoto turned = turnedPhoto(photo, quarterTurns, ctx);
        std::vector<TSkyPoint> centres = candidateCentres(turned, ctx, notifier);
        // With nothing identified anywhere the final pass runs at (-999, -999).
        if (centres.empty() && quarterTurns == 0) centres.push_back({-999, -999});
        kept = bindFirst(turned, centres, quarterTurns == 0);
    }
    const TCandidate& result = kept ? *kept : *unturned;
    writeTextLines(siblingWorkFile(path, workSuffix::kIdentifiedStars), result.lines);
    notifier.progressHide();
    return result.centre;
}

}  // namespace orbis
