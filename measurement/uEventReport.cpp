#include "measurement/uEventReport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "astro/matlib.h"
#include "astro/sunlib.h"
#include "astro/timlib.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"
#include "config/uConfiguration.h"
#include "processing/uNaming.h"
#include "processing/uWorkFiles.h"

namespace orbis {

namespace {

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// Great-circle distance in degrees.
double arc(double ra1, double dec1, double ra2, double dec2) {
    return ACS(SN(dec1) * SN(dec2) + CS(dec1) * CS(dec2) * CS(ra1 - ra2));
}

using Vec3 = std::array<double, 3>;

Vec3 unitVector(double ra, double dec) { return {CS(dec) * CS(ra), CS(dec) * SN(ra), SN(dec)}; }

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Brightness sums of the station's star lists and magnitudes of a meteor or
// catalog star. Anything beyond is a damaged value, whose logarithms and
// differences would no longer be finite.
bool plausibleFlux(double flux) { return std::isfinite(flux) && flux >= 1e-3 && flux <= 1e12; }
bool plausibleMagnitude(double magnitude) { return std::isfinite(magnitude) && std::fabs(magnitude) <= kMagnitudeLimit; }

double solarLongitude(TDateTime ut) {
    const DateTimeParts t = decodeDateTime(ut);
    const double mjd = MJD(t.day, t.month, t.year, t.hour + t.minute / 60.0);
    double l = 0, b = 0, r = 0;
    SUN200((mjd - 51544.5) / 36525.0, l, b, r);
    return l;
}

}  // namespace

std::vector<TReferenceStar> referenceStars(const std::string& mTxtPath, bool* skipped) {
    if (skipped != nullptr) *skipped = false;
    std::vector<TReferenceStar> stars;
    for (const TListedStar& star : readStarList(mTxtPath, kAnyWorkPicture, true)) {
        if (!star.magnitude || star.brightnessSum == 0) continue;
        const double f = static_cast<double>(star.brightnessSum);
        // The reader holds the magnitudes within their range; a sum beyond
        // what the logarithms below take is left out.
        if (plausibleFlux(f) && plausibleMagnitude(*star.magnitude)) {
            stars.push_back({f, *star.magnitude});
        } else if (skipped != nullptr) {
            *skipped = true;
        }
    }
    return stars;
}

std::optional<TMagnitudeScale> bestMagnitudeScale(std::span<const TReferenceStar> stars) {
    std::optional<TMagnitudeScale> best;
    double bestDeviation = std::numeric_limits<double>::infinity();
    for (const TReferenceStar& ref : stars) {
        double absSum = 0, sum = 0;
        for (const TReferenceStar& other : stars) {
            const double d = other.magnitude - (ref.magnitude + 2.5 * std::log10(ref.flux / other.flux));
            absSum += std::fabs(d);
            sum += d;
        }
        const double n = static_cast<double>(stars.size());
        const double deviation = stars.size() == 1 ? 0.0 : std::nearbyint(1000.0 * absSum / (n - 1)) / 1000.0;
        const double mean = stars.size() == 1 ? 0.0 : sum / (n - 1);
        if (!std::isfinite(deviation) || !std::isfinite(mean)) continue;
        if (deviation < bestDeviation) {
            bestDeviation = deviation;
            best = TMagnitudeScale{ref.magnitude, ref.flux, deviation, mean >= 0};
        }
    }
    return best;
}

std::optional<double> TMagnitudeScale::magnitudeOf(double brightnessSum) const {
    if (!(brightnessSum > 0 && std::isfinite(brightnessSum))) return std::nullopt;
    const double m = magnitude + 2.5 * std::log10(flux / brightnessSum);
    const double result = meanNonNegative ? m - deviation : m + deviation;
    if (!(std::fabs(result) <= kMagnitudeLimit)) return std::nullopt;
    return result;
}

double meteorMagnitude(const std::string& aTxtPath, const std::string& mTxtPath, std::optional<TDiagnostic>* problem) {
    if (problem != nullptr) problem->reset();
    if (!exists(aTxtPath) || !exists(mTxtPath)) return kNoMagnitude;
    const TAstrometryFile a = readAstrometry(aTxtPath);
    const TAstrometryEntry* start = a.last(TAstrometryKind::Start);
    if (start == nullptr) return kNoMagnitude;
    const double flux = static_cast<double>(start->value);
    if (flux == 0) return kNoMagnitude;  // never measured: the logarithm has no value
    const auto fail = [&](TDiagnostic why) {
        if (problem != nullptr) *problem = std::move(why);
        return kNoMagnitude;
    };
    if (!plausibleFlux(flux)) {
        return fail(TDiagnostic(Code::MeteorBrightnessImplausible, Severity::Warning)
                        .with("file", aTxtPath)
                        .with("value", extractField(a.lines[start->star.line], "|", 6)));
    }

    bool skipped = false;
    const std::vector<TReferenceStar> stars = referenceStars(mTxtPath, &skipped);
    const TDiagnostic implausibleStars = TDiagnostic(Code::ReferenceStarsImplausible, Severity::Warning).with("file", mTxtPath);
    if (stars.empty()) return skipped ? fail(implausibleStars) : kNoMagnitude;
    const std::optional<TMagnitudeScale> best = bestMagnitudeScale(stars);
    if (!best) return fail(implausibleStars);
    const double magnitude = best->magnitude + 2.5 * std::log10(best->flux / flux);
    const double result = best->meanNonNegative ? magnitude - best->deviation : magnitude + best->deviation;
    if (!plausibleMagnitude(result)) {
        return fail(TDiagnostic(Code::MeteorMagnitudeImplausible, Severity::Warning)
                        .with("value", formatFloat("0.00", result, '.')));
    }
    return result;
}

std::string radiantCatalogPath(const TConfiguration& config, const std::string& programDirectory) {
    return joinPath(resolveInProgramDirectory(programDirectory, config.pathToCatalogs()), config.catalogRads());
}

std::string findShower(TDateTime ut, double raEnd, double decEnd, double raBegin, double decBegin,
                       const std::string& catalogPath, std::optional<TDiagnostic>* problem) {
    if (problem != nullptr) problem->reset();
    const auto unknown = [&](Code why) {
        if (problem != nullptr) *problem = TDiagnostic(why, Severity::Warning).with("file", catalogPath);
        return std::string(kUnknownShower);
    };
    if (!exists(catalogPath)) return unknown(Code::RadiantCatalogMissing);
    const std::vector<std::string> lines = readTextLines(catalogPath);
    // The first line names the columns.
    const auto radiants = lines.begin() + std::min<std::ptrdiff_t>(1, std::ssize(lines));
    if (std::all_of(radiants, lines.end(), [](const std::string& line) { return line.empty(); })) {
        return unknown(Code::RadiantCatalogEmpty);
    }
    const double sun = solarLongitude(ut);
    const double length0 = std::trunc(arc(raBegin, decBegin, raEnd, decEnd));

    // Unit normal of the plane of the meteor's great circle. A track whose
    // ends coincide or lie opposite each other has no such circle and
    // matches no radiant.
    const Vec3 b = unitVector(raBegin, decBegin), e = unitVector(raEnd, decEnd);
    Vec3 n{b[1] * e[2] - b[2] * e[1], b[2] * e[0] - b[0] * e[2], b[0] * e[1] - b[1] * e[0]};
    const double normLength = std::sqrt(dot(n, n));
    const bool hasCircle = normLength > 1e-12;  // false for NaN too
    for (double& c : n) c /= hasCircle ? normLength : 1.0;

    double bestDistance = 200;
    std::string result = "SPO";
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty()) continue;
        const double begin = parseFloatField(line, ",", 6, catalogPath, i);
        const double end = parseFloatField(line, ",", 7, catalogPath, i);
        const bool active = begin < end ? (begin <= sun && sun <= end) : (sun >= begin || sun <= end);
        if (!active) continue;
        // Days since the maximum in solar longitude, across 0 degrees too:
        // a shower active from 355 to 5 with its maximum at 358 is 4 degrees
        // past its maximum at 2, not 356 degrees before it.
        const double fromMaximum = raDifference(sun, parseFloatField(line, ",", 8, catalogPath, i));
        const double raR = parseFloatField(line, ",", 9, catalogPath, i) + parseFloatField(line, ",", 11, catalogPath, i) * fromMaximum;
        const double decR = parseFloatField(line, ",", 10, catalogPath, i) + parseFloatField(line, ",", 12, catalogPath, i) * fromMaximum;

        if (!hasCircle) continue;
        // The radiant's distance from the meteor's great circle, the same
        // whichever way the meteor flies past it, and the circle's point
        // nearest the radiant, from which the track's ends are measured.
        const Vec3 r = unitVector(raR, decR);
        const double offPlane = dot(r, n);
        const double dR = ASN(std::fabs(offPlane));
        if (!(dR <= 4)) continue;
        Vec3 x{};
        for (std::size_t k = 0; k < 3; ++k) x[k] = r[k] - offPlane * n[k];
        const double xLength = std::sqrt(dot(x, x));  // cos dR, not below cos 4
        for (double& c : x) c /= xLength;
        const double dB = ACS(dot(x, b));
        const double dE = ACS(dot(x, e));
        if (!(dE - dB > length0)) continue;  // the nearest point must lie behind the beginning
        const double q = dB / (dE - dB);
        if (dB < bestDistance && q > 2 && q < 11) {
            bestDistance = dB;
            result = extractField(line, ",", 4);
        }
    }
    return bestDistance > 90 ? "SPO" : result;
}

TReportOutcome writeEventReport(const std::string& reportPath, double magnitude, const TConfiguration& config,
                                const std::string& programDirectory, std::optional<TDiagnostic>* showerProblem) {
    if (showerProblem != nullptr) showerProblem->reset();
    // The flight time and the event's UT come from these.
    config.requireInRange({"frameExposure", "timeZone"});
    const std::string aTxt = reportPath.substr(0, reportPath.size() >= 4 ? reportPath.size() - 4 : 0) + "A.txt";
    if (!exists(aTxt)) return TReportOutcome::NoAstrometry;
    const TAstrometryFile a = readAstrometry(aTxt);
    const TAstrometryEntry* start = a.last(TAstrometryKind::Start);
    const TAstrometryEntry* finish = a.last(TAstrometryKind::Finish);
    if (start == nullptr || finish == nullptr) return TReportOutcome::NoTrack;

    const TDateTime ut = timeFromFileName(aTxt, config.timeZone());
    // The report carries the positions as A.txt writes them.
    const std::string& startLine = a.lines[start->star.line];
    const std::string& finishLine = a.lines[finish->star.line];
    const std::string raBegText = extractField(startLine, "|", 1), decBegText = extractField(startLine, "|", 2);
    const std::string raEndText = extractField(finishLine, "|", 1), decEndText = extractField(finishLine, "|", 2);
    const double raBeg = start->star.ra, decBeg = start->star.dec;
    const double raEnd = finish->star.ra, decEnd = finish->star.dec;
    const double startFrame = start->frame;
    const double finishFrame = finish->frame;

    const double length = arc(raBeg, decBeg, raEnd, decEnd);
    // Shorter than the report's LENG=0.000 (or no number at all): a point,
    // not a meteor, and no velocity or shower can come of it.
    if (!(length >= 0.0005)) return TReportOutcome::NoLength;
    // The frames the meteor was seen on, also when the end was marked on an
    // earlier frame than the start.
    const double frames = std::fabs(finishFrame - startFrame) + 1;
    const double flight = config.frameExposure() * frames;
    const double velocity = flight > 0 ? length / flight : 0.0;
    // Damaged frame numbers would give a flight time the exports refuse, or
    // one that reads as a measurement.
    if (!(flight > 0 && flight <= kMaxFlightTime && velocity <= kMaxAngularVelocity)) {
        throw EConvertError(TDiagnostic(Code::TrackFramesImplausible)
                                .with("file", aTxt)
                                .with("start", floatToText(startFrame))
                                .with("finish", floatToText(finishFrame))
                                .with("flight", floatToText(flight))
                                .with("velocity", floatToText(velocity))
                                .with("maxFlight", floatToText(kMaxFlightTime))
                                .with("maxVelocity", floatToText(kMaxAngularVelocity)));
    }
    const std::string shower =
        findShower(ut, raEnd, decEnd, raBeg, decBeg, radiantCatalogPath(config, programDirectory), showerProblem);

    std::vector<std::string> report;
    report.push_back("UT_DATE=" + formatDateTime("dd.mm.yyyy", ut));
    report.push_back("UT_TIME=" + formatDateTime("hh:nn:ss", ut));
    report.push_back("RA_BEG=" + raBegText);
    report.push_back("DEC_BEG=" + decBegText);
    report.push_back("RA_END=" + raEndText);
    report.push_back("DEC_END=" + decEndText);
    report.push_back(magnitude == kNoMagnitude ? "MAGN=$" : "MAGN=" + formatFloat("0.00", magnitude, '.'));
    report.push_back("VELO=" + formatFloat("0.000", velocity, '.'));
    report.push_back("LENG=" + formatFloat("0.000", length, '.'));
    report.push_back("TIM_FL=" + formatFloat("0.000", flight, '.'));
    report.push_back("SHOWER=" + shower);
    writeTextLines(reportPath, report);
    return TReportOutcome::Written;
}

}  // namespace orbis
