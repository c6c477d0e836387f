#include "reports/uFrameMeasurement.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>

#include "astro/matlib.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"
#include "astrometry/uStarDetection.h"
#include "capture/uAviFile.h"
#include "config/uConfiguration.h"
#include "measurement/uEventReport.h"
#include "measurement/uTrackProposal.h"
#include "processing/uBitmap.h"
#include "processing/uFrameOps.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"

namespace orbis {

namespace {

constexpr double kJdOfDateTimeZero = 2415018.5;  // 1899-12-30 00:00
constexpr double kSecondsPerDay = 86400;

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

double separation(double ra1, double dec1, double ra2, double dec2) {
    return ACS(SN(dec1) * SN(dec2) + CS(dec1) * CS(dec2) * CS(ra1 - ra2));
}

// The plate of A.txt: its reference stars about its centre, fitted anew
// for each pixel as computeTrackCoordinates fits it for START and FINISH,
// so the same pixel gives the same sky position to the last bit.
class TPlate {
public:
    TPlate(const TAstrometryFile& a, const TAstrometryEntry& centre) : ra0_(centre.star.ra), dec0_(centre.star.dec) {
        for (const TAstrometryEntry& e : a.entries) {
            if (e.kind != TAstrometryKind::ReferenceStar) continue;
            ra_.push_back(e.star.ra);
            dec_.push_back(e.star.dec);
            x_.push_back(std::trunc(e.star.x));
            y_.push_back(std::trunc(e.star.y));
        }
    }

    std::size_t stars() const { return ra_.size(); }

    // The sky position of a pixel of the processed frame; residuals (arcminutes)
    // of the reference stars when asked.
    TSkyPoint sky(double x, double y, std::vector<double>* residuals = nullptr) const {
        std::vector<double> r = ra_, d = dec_, xs = x_, ys = y_;
        r.push_back(0);
        d.push_back(0);
        xs.push_back(x);
        ys.push_back(y);
        std::vector<double> residual(r.size(), 0.0);
        double alpha = ra0_, delta = dec0_;
        fitPlateConstants(r, d, xs, ys, residual, alpha, delta);
        if (residuals != nullptr) residuals->assign(residual.begin(), residual.end() - 1);
        return {alpha, delta};
    }

private:
    double ra0_, dec0_;
    std::vector<double> ra_, dec_, x_, y_;
};

struct TClipTiming {
    double framesPerSecond = 25;
    int frameCount = 0;
};

// The clip's frame rate and length from its header; without the clip, the
// settings' exposure and the frame files.
TClipTiming clipTiming(const TEventFiles& files, const TConfiguration& config) {
    TClipTiming t;
    try {
        const TAviReader reader(joinPath(files.nightDirectory, files.eventName + ".avi"));
        if (reader.info().framePeriod() > 0) {
            t.framesPerSecond = 1.0 / reader.info().framePeriod();
            t.frameCount = reader.info().frameCount;
            return t;
        }
    } catch (const std::exception&) {
        // No clip (retention took it, or the frames came otherwise).
    }
    t.framesPerSecond = 1.0 / config.frameExposure();
    for (const std::string& path : frameFiles(files.eventDirectory))
        t.frameCount = std::max(t.frameCount, parseIntDefault(std::filesystem::path(path).filename().string().substr(1, 3), 0));
    return t;
}

// The brightest pixel of a frame on the stretch from one head to the next
// (two pixels either side), and the fill from it; nothing when the frame
// cannot be read or holds nothing above the threshold there.
std::optional<TBrightness> frameBrightness(const std::string& framePath, std::pair<double, double> from,
                                           std::pair<double, double> to, const TConfiguration& config) {
    TGreyFrame frame;
    try {
        frame = loadGreyFrame(framePath);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const int w = frame.width, h = frame.height;
    const std::vector<uint8_t>& pixels = frame.pixels;  // bottom row first
    const double dx = to.first - from.first, dy = to.second - from.second;
    const int steps = std::max(1, static_cast<int>(std::ceil(std::hypot(dx, dy))));
    int best = -1, bx = 0, by = 0;
    for (int i = 0; i <= steps; ++i) {
        const double cx = from.first + dx * i / steps, cy = from.second + dy * i / steps;
        for (int oy = -2; oy <= 2; ++oy)
            for (int ox = -2; ox <= 2; ++ox) {
                const int x = static_cast<int>(std::lround(cx)) + ox, y = static_cast<int>(std::lround(cy)) + oy;
                if (x < 0 || y < 0 || x >= w || y >= h) continue;
                const int v = pixels[static_cast<std::size_t>(h - 1 - y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
                if (v > best) best = v, bx = x, by = y;
            }
    }
    if (best < 0) return std::nullopt;
    const TBrightness b = measureBrightness(framePath, bx, by, config);
    if (b.brightnessSum <= 0) return std::nullopt;
    return b;
}

}  // namespace

std::optional<TMagnitudeScale> magnitudeScale(const std::string& mTxtPath) {
    if (!exists(mTxtPath)) return std::nullopt;
    return bestMagnitudeScale(referenceStars(mTxtPath));
}

THorizontal horizontalOf(double ra, double dec, double jdUt, double latitude, double eastLongitude) {
    // TT = UTC + (TAI - UTC) + 32.184 s; UT1 is taken as UTC (within 0.9 s).
    int year = 0, month = 0, day = 0;
    double fraction = 0, taiMinusUtc = 37;
    if (eraJd2cal(jdUt, 0, &year, &month, &day, &fraction) == 0) eraDat(year, month, day, fraction, &taiMinusUtc);
    const double tt = jdUt + (taiMinusUtc + 32.184) / kSecondsPerDay;
    double rnpb[3][3];
    eraPnm06a(tt, 0, rnpb);
    double j2000[3], ofDate[3];
    eraS2c(ra * ERFA_DD2R, dec * ERFA_DD2R, j2000);
    eraRxp(rnpb, j2000, ofDate);
    double raDate = 0, decDate = 0;
    eraC2s(ofDate, &raDate, &decDate);
    const double gast = eraGst06(jdUt, 0, tt, 0, rnpb);
    double azimuth = 0, altitude = 0;
    eraHd2ae(gast + eastLongitude * ERFA_DD2R - raDate, decDate, latitude * ERFA_DD2R, &azimuth, &altitude);
    return {std::fmod(azimuth * ERFA_DR2D + 360.0, 360.0), altitude * ERFA_DR2D};
}

std::string utcText(TDateTime ut) {
    return formatDateTime("yyyy-mm-ddThh:nn:ss.zzzZ", ut);
}

std::optional<TEventMeasurement> measureEventFrames(const std::string& eventDirectory, const TConfiguration& config,
                                                    TWorkPicture processed) {
    const TEventFiles files = eventFiles(eventDirectory);
    const std::string aTxt = files.workFile(workSuffix::kAstrometry);
    const std::string track = trackFileName(files.eventDirectory);
    if (!exists(aTxt) || !exists(track)) return std::nullopt;
    const TAstrometryFile a = readAstrometry(aTxt);
    const TAstrometryEntry* centre = a.last(TAstrometryKind::Centre);
    const TAstrometryEntry* startEntry = a.last(TAstrometryKind::Start);
    const TAstrometryEntry* finishEntry = a.last(TAstrometryKind::Finish);
    if (centre == nullptr || startEntry == nullptr || finishEntry == nullptr) return std::nullopt;
    const TPlate plate(a, *centre);
    if (plate.stars() < 3) return std::nullopt;

    std::optional<TTrackFileLine> start, finish;
    for (const TTrackFileLine& line : readTrackFile(track, kAnyWorkPicture)) (line.start ? start : finish) = line;
    if (!start || !finish || finish->frame < start->frame) return std::nullopt;

    TEventMeasurement m;
    m.event = files.eventName;
    m.camera = config.name();
    m.latitude = config.signedLatitude();
    m.longitude = -config.signedLongitude();
    m.height = config.altitude();

    // The plate: its centre, its scale over 100 pixels about the centre
    // pixel, and the residuals of its stars.
    const double cx = std::trunc(centre->star.x), cy = std::trunc(centre->star.y);
    std::vector<double> residuals;
    TSkyPoint c{};
    try {
        c = plate.sky(cx, cy, &residuals);
        const TSkyPoint right = plate.sky(cx + 100, cy), down = plate.sky(cx, cy + 100);
        m.plateScale = 36.0 * std::sqrt(separation(c.ra, c.dec, right.ra, right.dec) *
                                        separation(c.ra, c.dec, down.ra, down.dec));
    } catch (const EZeroDivide&) {
        return std::nullopt;  // reference stars on one line: no plate
    }
    m.plateRa = centre->star.ra;
    m.plateDec = centre->star.dec;
    m.referenceStars = static_cast<int>(plate.stars());
    double squares = 0;
    for (double r : residuals) {
        m.starResiduals.push_back(60.0 * r);
        squares += 3600.0 * r * r;
    }
    m.residualRms = std::sqrt(squares / static_cast<double>(residuals.size()));

    // The proposal's heads, when the track is its proposal.
    std::map<int, TTrackHead> heads;
    std::optional<TTrackHeads> proposed;
    try {
        proposed = readTrackHeads(files.eventDirectory);
    } catch (const EConvertError&) {
        // A damaged heads file: the ends are all there is.
    }
    const auto sameAs = [](const TTrackPoint& p, const TTrackFileLine& l) {
        return p.frame == l.frame && p.x == static_cast<int>(std::trunc(l.x)) && p.y == static_cast<int>(std::trunc(l.y));
    };
    if (proposed && !proposed->heads.empty() && sameAs(proposed->heads.front().point, *start) &&
        sameAs(proposed->heads.back().point, *finish)) {
        m.interlaced = proposed->upperFieldFirst.has_value();
        for (const TTrackHead& h : proposed->heads) heads[h.point.frame] = h;
    }

    // Frame-file pixels into the processed frame, as the track's ends went.
    const TDistortion distortion = TDistortion::fromConfiguration(config);
    std::optional<TCorrectedPointFinder> finder;
    if (config.correctDistortion()) finder.emplace(processed.width, processed.height, distortion);
    const auto map = [&](int x, int y) {
        mapTrackPoint(x, y, config.doubleFrameHeight(), config.correctDistortion(), distortion, finder ? &*finder : nullptr);
        return std::pair{x, y};
    };

    // The times: the clip's name dates its declaring frame.
    const TClipTiming timing = clipTiming(files, config);
    m.framesPerSecond = timing.framesPerSecond;
    const int declaring = std::max(1, timing.frameCount - config.nFramesAfterEvent());
    const TDateTime named = timeFromFileName(aTxt, config.timeZone());
    // F001's exposure began (declaring - 1) frames before, to the millisecond.
    const TDateTime clipStart = encodeDateTime(
        decodeDateTime(named - (declaring - 1) / timing.framesPerSecond / kSecondsPerDay));
    m.clipStartUtc = utcText(clipStart);
    m.clipStartJdUt = clipStart + kJdOfDateTimeZero;
    const double namedAfterStart = (named - clipStart) * kSecondsPerDay;

    const std::optional<TMagnitudeScale> scale = magnitudeScale(files.workFile(workSuffix::kMagnitudeStars));
    std::pair<double, double> previous{start->x, start->y};
    for (int n = start->frame; n <= finish->frame; ++n) {
        TFrameMeasurement f;
        f.frame = n;
        double exposureEnd = 1;
        std::pair<int, int> onProcessed;
        const auto head = heads.find(n);
        if (head != heads.end()) exposureEnd = head->second.exposureEnd;
        if (n == start->frame || n == finish->frame) {
            // The ends as A.txt holds them: the report's start and end.
            const TTrackFileLine& end = n == start->frame ? *start : *finish;
            const TAstrometryEntry& entry = n == start->frame ? *startEntry : *finishEntry;
            f.x = std::trunc(end.x), f.y = std::trunc(end.y);
            onProcessed = {static_cast<int>(std::trunc(entry.star.x)), static_cast<int>(std::trunc(entry.star.y))};
        } else {
            if (head != heads.end() && head->second.estimate != TTrackEstimate::Predicted) {
                f.x = head->second.point.x, f.y = head->second.point.y;
            } else {
                const double t = static_cast<double>(n - start->frame) / (finish->frame - start->frame);
                f.x = std::round(std::trunc(start->x) + t * (std::trunc(finish->x) - std::trunc(start->x)));
                f.y = std::round(std::trunc(start->y) + t * (std::trunc(finish->y) - std::trunc(start->y)));
                f.interpolated = true;
            }
            onProcessed = map(static_cast<int>(f.x), static_cast<int>(f.y));
        }
        const TSkyPoint sky = plate.sky(onProcessed.first, onProcessed.second);
        f.ra = sky.ra, f.dec = sky.dec;

        f.time = namedAfterStart + (n - declaring + exposureEnd) / timing.framesPerSecond;
        const TDateTime ut = clipStart + f.time / kSecondsPerDay;
        f.jdUt = ut + kJdOfDateTimeZero;
        f.utc = utcText(ut);
        const THorizontal h = horizontalOf(f.ra, f.dec, f.jdUt, m.latitude, m.longitude);
        f.azimuth = h.azimuth, f.altitude = h.altitude;

        if (scale) {
            if (const auto b = frameBrightness(frameFileName(files.eventDirectory, n), previous, {f.x, f.y}, config)) {
                f.magnitude = scale->magnitudeOf(static_cast<double>(b->brightnessSum));
                if (f.magnitude) f.brightness = b->brightnessSum;
            }
        }
        previous = {f.x, f.y};
        m.frames.push_back(std::move(f));
    }
    return m;
}

}  // namespace orbis
