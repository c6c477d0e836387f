#pragma once
// The event report: the meteor's time, the equatorial coordinates of its
// beginning and end, magnitude, angular velocity and length, flight time and
// shower, condensed from the event's A.txt and M.txt:
//   UT_DATE=dd.mm.yyyy  UT_TIME=hh:nn:ss  RA_BEG= DEC_BEG= RA_END= DEC_END=
//   MAGN=0.00 (or MAGN=$)  VELO=0.000  LENG=0.000  TIM_FL=0.000  SHOWER=code|SPO
// one KEY=value per line, in that order.

#include <string>

#include "astro/uDateTime.h"

namespace orbis {

class TConfiguration;

// Stands for "no magnitude".
inline constexpr double kNoMagnitude = -99;
// Magnitudes of meteors and catalog stars lie within +-kMagnitudeLimit; a
// value beyond is damage, not a measurement.
inline constexpr double kMagnitudeLimit = 30;

// The meteor's magnitude from its flux (START line of A.txt, field 6) and the
// stars of M.txt that carry a catalog magnitude: the reference star whose
// predictions of the others scatter least. kNoMagnitude when a file is
// missing, the track has no START line or no brightness, or no star has a
// magnitude. Stars with an implausible brightness sum or magnitude are left
// out; when that leaves none, or the meteor's own brightness or the result is
// implausible, the result is kNoMagnitude too and *problem (when given) says
// why, for the caller to warn; otherwise *problem is cleared.
double meteorMagnitude(const std::string& aTxtPath, const std::string& mTxtPath, std::string* problem = nullptr);

// The shower whose radiant lies behind the track's beginning (2 to 11 track
// lengths back, within 4 degrees of the radiant at the event's solar
// longitude), or "SPO". A missing radiant catalog gives "SPO".
std::string findShower(TDateTime ut, double raEnd, double decEnd, double raBegin, double decBegin,
                       const std::string& radiantCatalogPath);

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
// the night exports would take for a measured meteor.
TReportOutcome writeEventReport(const std::string& reportPath, double magnitude, const TConfiguration& config,
                                const std::string& programDirectory);

}  // namespace orbis
