#include "astrometry/uPlateSolution.h"

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
#include "astrometry/uStarCatalog.h"
#include "config/uConfiguration.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"

namespace orbis {

namespace {

constexpr const char* kCaption = "Orbisight";

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

IdentifiedStars parseIdentifiedStars(std::vector<std::string> lines, const std::string& path) {
    IdentifiedStars s;
    s.lines = std::move(lines);
    for (std::size_t i = 0; i < s.lines.size(); ++i) {
        s.ra.push_back(parseFloatField(s.lines[i], "|", 1, path, i));
        s.dec.push_back(parseFloatField(s.lines[i], "|", 2, path, i));
        s.x.push_back(std::trunc(parseFloatField(s.lines[i], "|", 3, path, i)));
        s.y.push_back(std::trunc(parseFloatField(s.lines[i], "|", 4, path, i)));
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
                bool removed = false;
                for (std::size_t i = 0; i + 1 < ra.size();) {
                    if (residual[i] > 20 && residual[i] == worst) {
                        ra.erase(ra.begin() + static_cast<std::ptrdiff_t>(i));
                        dec.erase(dec.begin() + static_cast<std::ptrdiff_t>(i));
                        x.erase(x.begin() + static_cast<std::ptrdiff_t>(i));
                        y.erase(y.begin() + static_cast<std::ptrdiff_t>(i));
                        residual.erase(residual.begin() + static_cast<std::ptrdiff_t>(i));
                        lineOf.erase(lineOf.begin() + static_cast<std::ptrdiff_t>(i));
                        removed = true;
                    } else {
                        ++i;
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
    refined.cameraLike = pixelsPerRadian > 0 && plateLooksLikeTheCamera(solvePlate(ra, dec, x, y, current.ra, current.dec),
                                                                        pixelsPerRadian);
    return refined;
}

}  // namespace

std::optional<TSkyPoint> centreOfIdentifiedStars(const std::string& sTxtPath) {
    const IdentifiedStars s = parseIdentifiedStars(readTextLines(sTxtPath), sTxtPath);
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
                                         const TConfiguration& config, UserNotifier& notifier) {
    if (!fileExists(path)) {
        notifier.message(kCaption, "Отсутствует необходимый файл " + path + " для определения центра кадра.",
                         MessageIcon::Error);
        return std::nullopt;
    }
    const IdentifiedStars s = parseIdentifiedStars(readTextLines(path), path);
    if (s.lines.size() <= 3) {
        notifier.message(kCaption, "В файле " + path + " недостаточно опорных звёзд.", MessageIcon::Error);
        return std::nullopt;
    }
    const TFrameCentrePixel pixel = frameCentrePixel(config);
    const TSkyPoint start = estimate ? *estimate : *centreOfIdentifiedStars(path);
    const std::optional<TRefinedCentre> refined = refineFrameCentre(s, start, pixel);
    if (!refined) {
        notifier.message(kCaption, "Ошибочная привязка звёзд. Проверьте исходные момент времени, артефакты на фото и пр.!",
                         MessageIcon::Warning);
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

struct TScanOutcome {
    TSkyPoint best{-999, -999};
    std::vector<std::string> lines;  // of S.txt
};

// One scan of the trial centres with the photo stars turned by quarterTurns;
// the S.txt lines carry the stars' detected positions.
TScanOutcome scanSky(std::vector<TStarPoint> photo, int quarterTurns, const TScanContext& ctx, UserNotifier& notifier) {
    turnQuarters(photo, quarterTurns);
    sortStarsByX(photo);
    const std::vector<TTriangle> photoTriangles = buildTriangles(ctx.minSide, photo, ctx.epsilon);
    const std::vector<double>& decs = ctx.decs;
    const std::vector<double>& ras = ctx.ras;

    // One trial centre: its own star points and its own copy of the photo
    // stars, whose votes the matching overwrites completely each time.
    auto trial = [&](double ra0, double dec0, std::vector<TStarPoint>& points, std::vector<TStarPoint>& stars) {
        points.clear();
        ctx.sky.listStarsInFrame(ctx.camera, ra0, dec0, ctx.theta, points);
        if (points.size() <= 4) return TMatchResult{};
        sortStarsByX(points);
        const std::vector<TTriangle> triangles = buildTriangles(ctx.minSide, points, ctx.epsilon);
        return matchStarLists(triangles, points, photoTriangles, stars, ctx.epsilon);
    };

    notifier.progressShow(100);
    notifier.progressPosition(0);
    std::vector<TMatchResult> results(decs.size() * ras.size());
    if (ctx.threads <= 1 || decs.size() <= 1) {
        std::vector<TStarPoint> points, stars = photo;
        for (std::size_t r = 0; r < decs.size(); ++r) {
            for (std::size_t c = 0; c < ras.size(); ++c) {
                results[r * ras.size() + c] = trial(ras[c], decs[r], points, stars);
                notifier.pump();
            }
            if (ctx.span != 0)
                notifier.progressPosition(static_cast<int>(std::lround((decs[r] + ctx.delta - ctx.minDec) * 100 / ctx.span)));
        }
    } else {
        // Rows are handed out one at a time; the calling thread keeps the
        // window alive and the progress bar moving while the workers scan.
        std::atomic<std::size_t> nextRow{0};
        std::atomic<std::size_t> rowsDone{0};
        std::mutex mutex;
        std::condition_variable progressed;
        auto worker = [&] {
            std::vector<TStarPoint> points, stars = photo;
            for (std::size_t r = nextRow++; r < decs.size(); r = nextRow++) {
                for (std::size_t c = 0; c < ras.size(); ++c) results[r * ras.size() + c] = trial(ras[c], decs[r], points, stars);
                {
                    std::lock_guard lock(mutex);
                    ++rowsDone;
                }
                progressed.notify_one();
            }
        };
        std::vector<std::jthread> pool;
        for (unsigned i = 0; i < std::min<std::size_t>(ctx.threads, decs.size()); ++i) pool.emplace_back(worker);
        std::unique_lock lock(mutex);
        while (rowsDone < decs.size()) {
            progressed.wait_for(lock, std::chrono::milliseconds(20));
            const std::size_t done = rowsDone;
            lock.unlock();
            notifier.pump();
            notifier.progressPosition(static_cast<int>(done * 100 / decs.size()));
            lock.lock();
        }
    }

    // The first centre in scan order with the highest vote sum.
    TScanOutcome outcome;
    int bestVotes = 0;
    for (std::size_t r = 0; r < decs.size(); ++r) {
        for (std::size_t c = 0; c < ras.size(); ++c) {
            const TMatchResult& m = results[r * ras.size() + c];
            if (m.identified > 1 && m.voteSum > bestVotes) {
                outcome.best = {ras[c], decs[r]};
                bestVotes = m.voteSum;
            }
        }
    }

    // The identifications of the best centre, found once more.
    std::vector<TStarPoint> points;
    ctx.sky.listStarsInFrame(ctx.camera, outcome.best.ra, outcome.best.dec, ctx.theta, points);
    sortStarsByX(points);
    matchStarLists(buildTriangles(ctx.minSide, points, ctx.epsilon), points, photoTriangles, photo, ctx.epsilon);
    if (quarterTurns % 4 != 0) {
        // Back to the detected positions, in their x order as an unturned
        // scan lists them.
        turnQuarters(photo, 4 - quarterTurns % 4);
        sortStarsByX(photo);
    }

    for (const TStarPoint& s : photo) {
        for (const TStarInfo& v : ctx.sky.stars()) {
            if (v.RA == s.RA && v.Dec == s.Dec) {
                outcome.lines.push_back(floatToText(v.RA) + "|" + floatToText(v.Dec) + "|" + floatToText(s.X) + "|" +
                                        floatToText(s.Y) + "|" + floatToText(v.Magnitude) + "|" + v.Name + "|" +
                                        v.Spectrum);
                break;
            }
        }
    }
    return outcome;
}

}  // namespace

std::optional<TSkyPoint> alignStarMap(const std::string& path, const TConfiguration& config,
                                      const std::string& programDirectory, UserNotifier& notifier,
                                      TScanOptions options) {
    if (!fileExists(path)) {
        notifier.message(kCaption, "Отсутствует необходимый файл " + path + " для привязки звёзд.", MessageIcon::Error);
        return std::nullopt;
    }
    TDateTime ut = 0;
    try {
        ut = timeFromFileName(path, config.timeZone());
    } catch (const EConvertError&) {
        notifier.message(kCaption, "Недопустимое имя файла " + path + ".", MessageIcon::Error);
        return std::nullopt;
    }
    const DateTimeParts t = decodeDateTime(ut);
    const double mjd = MJD(t.day, t.month, t.year, t.hour + t.minute / 60.0);
    const double theta = LMST(mjd, config.signedLongitude()) * 15.0;

    const std::vector<std::string> lines = readTextLines(path);
    if (lines.size() <= 3) {
        notifier.message(kCaption, "Недостаточное количество опорных звёзд!", MessageIcon::Warning);
        return std::nullopt;
    }
    std::vector<TStarPoint> photo;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        photo.emplace_back(parseFloatField(lines[i], "|", 3, path, i), parseFloatField(lines[i], "|", 4, path, i));
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
        notifier.message(kCaption, "Недопустимый шаг сканирования " + floatToText(delta) + ".", MessageIcon::Error);
        return std::nullopt;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const TScanContext ctx{sky,
                           TCameraModel::fromConfiguration(config),
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
    // turn. Kept is the first pass whose plate is the camera's picture; else
    // the first whose plate the refinement accepts at all; else the unturned
    // one (and the refinement then says that the binding failed).
    const TFrameCentrePixel centrePixel = frameCentrePixel(config);
    std::optional<TScanOutcome> unturned, accepted;
    for (const int quarterTurns : {0, 2, 1, 3}) {
        TScanOutcome outcome = scanSky(photo, quarterTurns, ctx, notifier);
        std::optional<TRefinedCentre> refined;
        if (outcome.best.ra != -999 && outcome.lines.size() > 3)
            refined = refineFrameCentre(parseIdentifiedStars(outcome.lines, path), outcome.best, centrePixel,
                                        ctx.camera.scale);
        if (refined && refined->cameraLike) {
            accepted = std::move(outcome);
            break;
        }
        if (refined && !accepted) accepted = outcome;
        if (!unturned) unturned = std::move(outcome);
    }
    const TScanOutcome& kept = accepted ? *accepted : *unturned;
    writeTextLines(siblingWorkFile(path, workSuffix::kIdentifiedStars), kept.lines);
    notifier.progressHide();
    return kept.best;
}

}  // namespace orbis
