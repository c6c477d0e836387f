#include "measurement/uPhotometry.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "astrometry/uPlateSolution.h"

namespace orbis {

namespace {

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// A pixel position, truncated towards zero. No frame comes near 2^30
// pixels: a value beyond that is damage, refused like a field that is not a
// number before it reaches int.
int pixelOf(const std::string& line, int k, const std::string& path, std::size_t index) {
    constexpr double kBound = 0x1p30;
    const double value = std::trunc(parseFloatField(line, "|", k, path, index));
    if (!(std::fabs(value) < kBound)) {
        throw EConvertError(path + ", line " + std::to_string(index + 1) + ", field " + std::to_string(k) + ": '" +
                            extractField(line, "|", k) + "' is not a valid pixel position");
    }
    return static_cast<int>(value);
}

bool isTrackLine(const std::string& line) {
    return line.find("START") != std::string::npos || line.find("FINISH") != std::string::npos;
}

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
    const std::vector<std::string> stars = readTextLines(mTxtPath);
    const std::vector<std::string> identified = exists(sTxtPath) ? readTextLines(sTxtPath) : std::vector<std::string>{};
    std::vector<std::pair<int, int>> at;  // positions of the identified stars
    for (std::size_t i = 0; i < identified.size(); ++i) {
        at.emplace_back(pixelOf(identified[i], 3, sTxtPath, i), pixelOf(identified[i], 4, sTxtPath, i));
    }
    std::vector<std::string> out;
    for (std::size_t i = 0; i < stars.size(); ++i) {
        int x = pixelOf(stars[i], 3, mTxtPath, i), y = pixelOf(stars[i], 4, mTxtPath, i);
        map(x, y);
        std::string magnitude;
        for (std::size_t k = 0; k < identified.size(); ++k) {
            // A mapped position may lie at the end of the int range.
            const long long dx = static_cast<long long>(at[k].first) - x, dy = static_cast<long long>(at[k].second) - y;
            if (std::llabs(dx) < 6 && std::llabs(dy) < 6) magnitude = extractField(identified[k], "|", 5);
        }
        out.push_back("0|0|" + std::to_string(x) + "|" + std::to_string(y) + "|" + extractField(stars[i], "|", 5) + "|" +
                      extractField(stars[i], "|", 6) + "|" + magnitude);
    }
    writeTextLines(mTxtPath, out);
}

std::vector<std::string> mappedTrackLines(const std::string& trackFilePath, const PointMapping& map) {
    const std::vector<std::string> lines = readTextLines(trackFilePath);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int x = pixelOf(lines[i], 3, trackFilePath, i), y = pixelOf(lines[i], 4, trackFilePath, i);
        map(x, y);
        out.push_back("0|0|" + std::to_string(x) + "|" + std::to_string(y) + "|" + extractField(lines[i], "|", 5) + "|" +
                      extractField(lines[i], "|", 6) + "|" + extractField(lines[i], "|", 7) + "|");
    }
    return out;
}

bool computeTrackCoordinates(const std::string& aTxtPath) {
    std::vector<std::string> lines = readTextLines(aTxtPath);
    std::vector<double> ra, dec, x, y;
    bool haveCentre = false;
    double ra0 = 0, dec0 = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (isTrackLine(line)) continue;
        if (line.find("CENTER") != std::string::npos) {
            ra0 = parseFloatField(line, "|", 1, aTxtPath, i);
            dec0 = parseFloatField(line, "|", 2, aTxtPath, i);
            haveCentre = true;
            continue;
        }
        ra.push_back(parseFloatField(line, "|", 1, aTxtPath, i));
        dec.push_back(parseFloatField(line, "|", 2, aTxtPath, i));
        x.push_back(pixelOf(line, 3, aTxtPath, i));
        y.push_back(pixelOf(line, 4, aTxtPath, i));
    }
    // The plate has six constants; fewer than three stars do not fix it.
    if (!haveCentre || ra.size() < 3) return false;

    bool changed = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!isTrackLine(lines[i])) continue;
        const int px = pixelOf(lines[i], 3, aTxtPath, i), py = pixelOf(lines[i], 4, aTxtPath, i);
        std::vector<double> r = ra, d = dec, xs = x, ys = y;
        r.push_back(0);
        d.push_back(0);
        xs.push_back(px);
        ys.push_back(py);
        std::vector<double> residual(r.size(), 0.0);
        double alpha = ra0, delta = dec0;
        try {
            fitPlateConstants(r, d, xs, ys, residual, alpha, delta);
        } catch (const EZeroDivide&) {
            return false;  // reference stars on one line: no plate
        }
        lines[i] = formatFloat("0.000", alpha, '.') + "|" + formatFloat("0.000", delta, '.') + "|" + std::to_string(px) +
                   "|" + std::to_string(py) + "|" + afterFourthSeparator(lines[i]);
        changed = true;
    }
    if (changed) writeTextLines(aTxtPath, lines);
    return true;
}

}  // namespace orbis
