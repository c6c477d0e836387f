#pragma once
// Star catalogs and the stars a trial pointing puts into the frame. The
// catalog is read once per event: the stars above the horizon at the event's
// sidereal time; the sky scan then projects those stars for every trial
// frame centre without touching the file again.
//
// Catalog lines: "RA|Dec|magnitude|name|spectrum" (degrees); a line without
// "|" is a header or comment.

#include <cstddef>
#include <string>
#include <vector>

#include "astrometry/uPatternMatching.h"

namespace orbis {

class TConfiguration;
class UserNotifier;

struct TStarInfo {
    int Number = 0;
    double RA = 0;
    double Dec = 0;
    double Magnitude = 0;
    std::string Name;      // at most 20 characters
    std::string Spectrum;  // at most 20 characters
};

// pathToCatalogs + "/" + catalogStar, a relative pathToCatalogs taken inside
// the program directory.
std::string starCatalogPath(const TConfiguration& config, const std::string& programDirectory);

// The catalog's stars above the horizon (altitude > 0) at local sidereal
// angle theta (degrees), in file order. A missing file shows "Файл … 
// отсутствует. Расчёт невозможен!" and gives no stars; a malformed number
// raises EConvertError naming the file and line.
std::vector<TStarInfo> listStarsByTime(const std::string& catalogPath, double theta, double signedLatitude,
                                       UserNotifier& notifier);

// The camera model of the binding: a gnomonic projection with one scale
// k = focalLength x frameScale pixels per radian, the frame centre at pixel
// (widthCCD div 2, heightCCD div 2), x growing to the west, y to the south,
// north up.
struct TCameraModel {
    int halfWidth = 0, halfHeight = 0;
    int widthCCD = 0, heightCCD = 0;
    double scale = 0;  // pixels per radian
    int maxStars = 18;
    double latitude = 0;

    static TCameraModel fromConfiguration(const TConfiguration& config);
};

// The visible stars with their trigonometry done once per event, for the
// projections of the sky scan.
class TVisibleSky {
public:
    explicit TVisibleSky(std::vector<TStarInfo> stars);
    const std::vector<TStarInfo>& stars() const { return stars_; }

    // At most camera.maxStars star points of the stars that project into the
    // frame (bounds inclusive) about trial centre (ra0, dec0), brightest
    // first (selection sort with exchange, so equal magnitudes may change
    // their order); none when the centre is not above the horizon.
    void listStarsInFrame(const TCameraModel& camera, double ra0, double dec0, double theta,
                          std::vector<TStarPoint>& out) const;
    // The same stars as indices into stars(), in the same order.
    void listStarIndicesInFrame(const TCameraModel& camera, double ra0, double dec0, double theta,
                                std::vector<std::size_t>& out) const;

private:
    template <class Emit>
    void forStarsInFrame(const TCameraModel& camera, double ra0, double dec0, double theta, Emit emit) const;

    std::vector<TStarInfo> stars_;
    std::vector<double> cosDec_, sinDec_;
};

}  // namespace orbis
