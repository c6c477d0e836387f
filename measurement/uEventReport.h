#pragma once
// The event report: the meteor's time, the equatorial coordinates of its
// beginning and end, magnitude, angular velocity and length, flight time and
// shower, condensed from the event's A.txt and M.txt:
//   UT_DATE=dd.mm.yyyy  UT_TIME=hh:nn:ss  RA_BEG= DEC_BEG= RA_END= DEC_END=
//   MAGN=0.00 (or MAGN=$)  VELO=0.000  LENG=0.000  TIM_FL=0.000
//   SHOWER=code|SPO|$
// one KEY=value per line, in that order. "$" stands for "not determined",
// for the magnitude and the shower alike.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "astro/uDateTime.h"
#include "astro/uDiagnostic.h"

namespace orbis {

class TConfiguration;

// Stands for "no magnitude".
inline constexpr double kNoMagnitude = -99;
// Magnitudes of meteors and catalog stars lie within +-kMagnitudeLimit; a
// value beyond is damage, not a measurement.
inline constexpr double kMagnitudeLimit = 30;

// A star of M.txt with a catalog magnitude: its brightness sum and magnitude.
struct TReferenceStar {
    double flux = 0, magnitude = 0;
};

// The stars of M.txt that carry a catalog magnitude; those with a brightness
// sum or magnitude beyond what the logarithms take are left out, and
// *skipped (when given) says whether any was.
std::vector<TReferenceStar> referenceStars(const std::string& mTxtPath, bool* skipped = nullptr);

// The event's magnitude scale: the reference star whose predictions of the
// others scatter least. The report's magnitude and the per-frame magnitudes
// both take it.
struct TMagnitudeScale {
    double magnitude = 0, flux = 0;  // of the reference star
    double deviation = 0;            // its scatter, taken off (or added) as the report does
    bool meanNonNegative = true;

    // The magnitude of a brightness sum; nothing for none or one beyond
    // the range of magnitudes.
    std::optional<double> magnitudeOf(double brightnessSum) const;
};

// Nothing when no star gives a finite scatter.
std::optional<TMagnitudeScale> bestMagnitudeScale(std::span<const TReferenceStar> stars);

// The meteor's magnitude from its flux (START line of A.txt, field 6) and the
// stars of M.txt that carry a catalog magnitude: the reference star whose
// predictions of the others scatter least. kNoMagnitude when a file is
// missing, the track has no START line or no brightness, or no star has a
// magnitude. A line of either file without its layout or with a value out
// of its range raises EConvertError naming the file and the line
// (processing/uWorkFiles). Stars with a brightness sum beyond what the
// logarithms take are left out; when that leaves none, or the meteor's own
// brightness or the result is implausible, the result is kNoMagnitude too
// and *problem (when given) says why, for the caller to warn; otherwise
// *problem is cleared.
double meteorMagnitude(const std::string& aTxtPath, const std::string& mTxtPath,
                       std::optional<TDiagnostic>* problem = nullptr);

// A flight time beyond a minute is no meteor's (the longest fireballs last
// seconds, earth-grazers tens of seconds) but damaged frame numbers.
inline constexpr double kMaxFlightTime = 60;
// Degrees per second: a meteor at 72 km/s passing 20 km from the camera
// crosses some 200 degrees a second; a one-frame track can measure a few
// times more, a thousand is damage.
inline constexpr double kMaxAngularVelocity = 1000;

// The shower of a report whose radiant catalog is missing or holds no
// radiant. Not "SPO": without radiants no meteor can be told sporadic, and
// a Perseid filed as sporadic would look measured.
inline constexpr const char* kUnknownShower = "$";

// The shower whose radiant lies behind the track's beginning (2 to 11 track
// lengths back, within 4 degrees of the radiant at the event's solar
// longitude), or "SPO". A missing radiant catalog, or one without a radiant
// line, gives kUnknownShower and, when problem is given, says why there
// (otherwise *problem is cleared).
std::string findShower(TDateTime ut, double raEnd, double decEnd, double raBegin, double decBegin,
                       const std::string& radiantCatalogPath, std::optional<TDiagnostic>* problem = nullptr);

// pathToCatalogs + "/" + catalogRads, a relative pathToCatalogs taken inside
// the program directory.
std::string radiantCatalogPath(const TConfiguration& config, const std::string& programDirectory);

enum class TReportOutcome {
    Written,
    NoAstrometry,  // A.txt missing: nothing written
    NoTrack,       // A.txt has no START or FINISH line: nothing written
    NoLength,      // the track's ends coincide on the sky (LENG 0.000): nothing written
};

// Writes the report (stem + ".txt") from stem + "A.txt". A track that was
// never marked, or whose ends coincide, gives no report rather than one that
// the night exports would take for a measured meteor. A.txt is read
// strictly, as by meteorMagnitude.
// Frame numbers that give a flight time beyond kMaxFlightTime (or no
// number), or a velocity beyond kMaxAngularVelocity, raise EConvertError
// (TrackFramesImplausible) naming A.txt, and nothing is written. When the shower cannot be
// determined (findShower), the report says SHOWER=$ and *showerProblem
// (when given) says why, for the caller to warn; otherwise it is cleared.
TReportOutcome writeEventReport(const std::string& reportPath, double magnitude, const TConfiguration& config,
                                const std::string& programDirectory, std::optional<TDiagnostic>* showerProblem = nullptr);

}  // namespace orbis
