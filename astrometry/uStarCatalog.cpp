#include "astrometry/uStarCatalog.h"

#include "astro/matlib.h"
#include "astro/sphlib.h"
#include "astro/uExceptions.h"
#include "astro/uNotifier.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"
#include "processing/uNaming.h"

#include <filesystem>

namespace orbis {

std::string starCatalogPath(const TConfiguration& config, const std::string& programDirectory) {
    return joinPath(resolveInProgramDirectory(programDirectory, config.pathToCatalogs()), config.catalogStar());
}

std::vector<TStarInfo> listStarsByTime(const std::string& catalogPath, double theta, double signedLatitude,
                                       UserNotifier& notifier) {
    std::vector<TStarInfo> stars;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(catalogPath, ec)) {
        notifier.report(TDiagnostic(Code::StarCatalogMissing).with("file", catalogPath));
        return stars;
    }
    const std::vector<std::string> lines = readTextLines(catalogPath);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.find('|') == std::string::npos) continue;
        {
            const double ra = parseFloatField(line, "|", 1, catalogPath, i);
            const double dec = parseFloatField(line, "|", 2, catalogPath, i);
            double h = 0, az = 0;
            EQUHOR(dec, theta - ra, signedLatitude, h, az);
            if (h <= 0) continue;
            TStarInfo s;
            s.RA = ra;
            s.Dec = dec;
            s.Magnitude = parseFloatField(line, "|", 3, catalogPath, i);
            s.Name = std::string(firstCharacters(extractField(line, "|", 4), 20));
            s.Spectrum = std::string(firstCharacters(extractField(line, "|", 5), 20));
            stars.push_back(std::move(s));
        }
    }
    return stars;
}

TCameraModel TCameraModel::fromConfiguration(const TConfiguration& config) {
    TCameraModel c;
    c.widthCCD = config.widthCCD();
    c.heightCCD = config.heightCCD();
    c.halfWidth = c.widthCCD / 2;
    c.halfHeight = c.heightCCD / 2;
    c.scale = static_cast<double>(config.focalLength()) * config.frameScale();
    c.maxStars = config.autoDetectNStar();
    c.latitude = config.signedLatitude();
    return c;
}

TVisibleSky::TVisibleSky(std::vector<TStarInfo> stars) : stars_(std::move(stars)) {
    cosDec_.reserve(stars_.size());
    sinDec_.reserve(stars_.size());
    for (const TStarInfo& s : stars_) {
        cosDec_.push_back(CS(s.Dec));
        sinDec_.push_back(SN(s.Dec));
    }
}

template <class Emit>
void TVisibleSky::forStarsInFrame(const TCameraModel& camera, double ra0, double dec0, double theta,
                                  Emit emit) const {
    double h = 0, az = 0;
    EQUHOR(dec0, theta - ra0, camera.latitude, h, az);
    if (h <= 0) return;

    struct Candidate {
        double x, y, magnitude;
        std::size_t star;
    };
    std::vector<Candidate> inFrame;
    const double cosDec0 = CS(dec0), sinDec0 = SN(dec0);
    for (std::size_t i = 0; i < stars_.size(); ++i) {
        // The gnomonic projection of EQUSTD, term for term, with the star's
        // own sine and cosine computed once per event.
        const double dra = stars_[i].RA - ra0;
        const double cosDra = CS(dra);
        const double c = cosDec0 * cosDec_[i] * cosDra + sinDec0 * sinDec_[i];
        if (c <= 0) continue;  // 90 degrees or more from the centre
        const double X = -cosDec_[i] * SN(dra) / c;
        const double Y = -(sinDec0 * cosDec_[i] * cosDra - cosDec0 * sinDec_[i]) / c;
        const double x = camera.halfWidth + camera.scale * X;
        const double y = camera.halfHeight - camera.scale * Y;
        if (x >= 0 && x <= camera.widthCCD && y >= 0 && y <= camera.heightCCD) {
            inFrame.push_back({x, y, stars_[i].Magnitude, i});
        }
    }
    // Selection sort with exchange, as far as the stars that are used: at each
    // position the first of the brightest among the rest.
    const std::size_t wanted = std::min(inFrame.size(), static_cast<std::size_t>(std::max(camera.maxStars, 0)));
    for (std::size_t p = 0; p < wanted; ++p) {
        std::size_t best = p;
        for (std::size_t q = p + 1; q < inFrame.size(); ++q) {
            if (inFrame[q].magnitude < inFrame[best].magnitude) best = q;
        }
        std::swap(inFrame[p], inFrame[best]);
        emit(inFrame[p].x, inFrame[p].y, inFrame[p].star);
    }
}

void TVisibleSky::listStarsInFrame(const TCameraModel& camera, double ra0, double dec0, double theta,
                                   std::vector<TStarPoint>& out) const {
    forStarsInFrame(camera, ra0, dec0, theta, [&](double x, double y, std::size_t star) {
        out.emplace_back(x, y, stars_[star].RA, stars_[star].Dec);
    });
}

void TVisibleSky::listStarIndicesInFrame(const TCameraModel& camera, double ra0, double dec0, double theta,
                                         std::vector<std::size_t>& out) const {
    forStarsInFrame(camera, ra0, dec0, theta, [&](double, double, std::size_t star) { out.push_back(star); });
}

}  // namespace orbis
