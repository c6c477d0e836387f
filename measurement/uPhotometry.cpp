#include "measurement/uPhotometry.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"
#include "processing/uWorkFiles.h"

namespace orbis {

namespace {

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// A position read as a real and truncated towards zero, as the measurement
// places it. The strict readers have held it within a picture's size of the
// largest picture, far inside int.
int pixelOf(double position) { return static_cast<int>(std::trunc(position)); }

// The text after the fourth "|".
std::string afterFourthSeparator(const std::string& line) {
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        pos = line.find('|', pos);
        if (pos == std::string::npos) return "";
        ++pos;
    }
    return line.substr(pos);
}

}  // namespace

void attachCatalogMagnitudes(const std::string& mTxtPath, const std::string& sTxtPath, const PointMapping& map) {
    // M.txt of a run cut short before the magnitudes were attached has the
    // plain star list's layout; one that has them is rewritten the same way.
    const std::vector<std::string> lines = readTextLines(mTxtPath);
    const std::vector<TListedStar> stars = parseStarList(lines, mTxtPath, kAnyWorkPicture, true);
    const std::vector<TIdentifiedStar> identified =
        exists(sTxtPath) ? readIdentifiedStars(sTxtPath, kAnyWorkPicture) : std::vector<TIdentifiedStar>{};
    std::vector<std::string> out;
    for (const TListedStar& star : stars) {
        int x = pixelOf(star.x), y = pixelOf(star.y);
        map(x, y);
        std::string magnitude;
        for (const TIdentifiedStar& s : identified) {
            // A mapped position may lie at the end of the int range.
            const long long dx = static_cast<long long>(pixelOf(s.x)) - x, dy = static_cast<long long>(pixelOf(s.y)) - y;
            if (std::llabs(dx) < 6 && std::llabs(dy) < 6) magnitude = s.magnitudeText;
        }
        const std::string& line = lines[star.line];
        out.push_back("0|0|" + std::to_string(x) + "|" + std::to_string(y) + "|" + extractField(line, "|", 5) + "|" +
                      extractField(line, "|", 6) + "|" + magnitude);
    }
    writeTextLines(mTxtPath, out);
}

std::vector<std::string> mappedTrackLines(const std::string& trackFilePath, const PointMapping& map) {
    const std::vector<std::string> lines = readTextLines(trackFilePath);
    std::vector<std::string> out;
    for (const TTrackFileLine& t : parseTrackFile(lines, trackFilePath, kAnyWorkPicture)) {
        int x = pixelOf(t.x), y = pixelOf(t.y);
        map(x, y);
        const std::string& line = lines[t.line];
        out.push_back("0|0|" + std::to_string(x) + "|" + std::to_string(y) + "|" + extractField(line, "|", 5) + "|" +
                      extractField(line, "|", 6) + "|" + extractField(line, "|", 7) + "|");
    }
    return out;
}

bool computeTrackCoordinates(const std::string& aTxtPath) {
    TAstrometryFile a = readAstrometry(aTxtPath);
    std::vector<double> ra, dec, x, y;
    const TAstrometryEntry* centre = a.last(TAstrometryKind::Centre);
    for (const TAstrometryEntry& e : a.entries) {
        if (e.kind != TAstrometryKind::ReferenceStar) continue;
        ra.push_back(e.star.ra);
        dec.push_back(e.star.dec);
        x.push_back(pixelOf(e.star.x));
        y.push_back(pixelOf(e.star.y));
    }
    // The plate has six constants; fewer than three stars do not fix it.
    if (centre == nullptr || ra.size() < 3) return false;

    bool changed = false;
    for (const TAstrometryEntry& e : a.entries) {
        if (e.kind != TAstrometryKind::Start && e.kind != TAstrometryKind::Finish) continue;
        const int px = pixelOf(e.star.x), py = pixelOf(e.star.y);
        std::vector<double> r = ra, d = dec, xs = x, ys = y;
        r.push_back(0);
        d.push_back(0);
        xs.push_back(px);
        ys.push_back(py);
        std::vector<double> residual(r.size(), 0.0);
        double alpha = centre->star.ra, delta = centre->star.dec;
        try {
            fitPlateConstants(r, d, xs, ys, residual, alpha, delta);
        } catch (const EZeroDivide&) {
            return false;  // reference stars on one line: no plate
        }
        std::string& line = a.lines[e.star.line];
        line = formatFloat("0.000", alpha, '.') + "|" + formatFloat("0.000", delta, '.') + "|" + std::to_string(px) +
               "|" + std::to_string(py) + "|" + afterFourthSeparator(line);
        changed = true;
    }
    if (changed) writeTextLines(aTxtPath, a.lines);
    return true;
}

}  // namespace orbis
