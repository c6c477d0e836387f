#pragma once
// Binding an event's frame to the sky. alignStarMap scans trial frame centres
// over the sky, matches the detected stars (P.txt) against the catalog stars
// each centre projects into the frame, keeps the best centre and writes the
// identified stars (S.txt). findCenterFrame refines that centre with a linear
// plate model fitted by least squares, rejects outlying reference stars and
// writes the reference stars and the refined centre (A.txt). fitPlateConstants
// is the plate fit itself, also used to turn meteor pixels into sky
// positions.
//
// S.txt: "RA|Dec|x|y|magnitude|name|spectrum" per identified star.
// A.txt: the S.txt lines of the reference stars kept, then
// "RA0|Dec0|xc|yc|0.00|CENTER|CENTER".

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "astro/sphlib.h"

namespace orbis {

class TConfiguration;
class UserNotifier;

// Right-ascension difference a - b reduced to (-180, 180]: a field that
// straddles 0h must not look 360 degrees wide.
double raDifference(double a, double b);

struct TScanOptions {
    int threads = 0;  // 0: every core of the machine; 1: the scan in the calling thread
    // The upright scan matches at every trial centre instead of only around
    // the centres the triangle index votes for (the reference the voting
    // is held to).
    bool everyCentre = false;
};

// Scans the sky for the pointing of the frame whose detection list is given
// and writes S.txt beside it. Returns the best trial centre, (-999, -999)
// when no centre identified more than one star, or nothing when the scan
// could not start (missing list, bad file name, too few stars: the message
// is shown). The result is that of the sequential scan whatever the number
// of threads: the highest vote sum, ties to the first centre in scan order.
// A pointing is kept only when the plate of its identifications is the
// camera's (a similarity at about the configured scale) and explains the
// detected stars (verifyPlate); the scan's next best pointings are judged
// in turn. When none of them holds (a camera turned past a quarter turn, a
// mirrored picture), the detected stars are scanned again turned by a half
// and by quarter turns, on a coarse grid first and then around its best
// centres; a turned scan's S.txt names every detected star its verified
// plate places. With no pointing verified, the unturned scan's best is
// written (and the refinement says that the binding failed).
std::optional<TSkyPoint> alignStarMap(const std::string& detectionListPath, const TConfiguration& config,
                                      const std::string& programDirectory, UserNotifier& notifier,
                                      TScanOptions options = {});

// Fits xi = a x + b y + c, eta = d x + e y + f about (ra0, dec0) to the
// reference stars 0..n-2, writes their residuals (arcminutes) and replaces
// (ra0, dec0) by the sky position of element n-1.
void fitPlateConstants(std::span<const double> ra, std::span<const double> dec, std::span<const double> x,
                       std::span<const double> y, std::span<double> residual, double& ra0, double& dec0);

// The centre of the identified stars of an S.txt: circular mean of their
// right ascensions, mean declination. The starting point of the refinement
// when the scan did not run (S.txt was already there).
std::optional<TSkyPoint> centreOfIdentifiedStars(const std::string& sTxtPath);

// Refines the frame centre from S.txt, starting at the estimate (or, without
// one, at the centre of the identified stars), and writes A.txt. Returns the
// refined centre, or nothing after a message (missing or short S.txt, or a
// binding that does not hold: no A.txt is written then). A reference star
// more than 20' from its fitted place, or (of six and more) farther from
// where the plate of the others puts it than kPlateMatchRadius pixels (3 px
// when that is three times the stars' median), is left out and the plate
// fitted again. With the program directory the
// plate must also explain the detected stars of the P.txt beside S.txt
// against the star catalog (verifyPlate; its figures go to the notifier's
// log line), or the binding fails; without one, or without a P.txt, the
// plate is taken as the fit leaves it.
std::optional<TSkyPoint> findCenterFrame(const std::string& sTxtPath, std::optional<TSkyPoint> estimate,
                                         const TConfiguration& config, UserNotifier& notifier,
                                         const std::optional<std::string>& programDirectory = std::nullopt);

}  // namespace orbis
