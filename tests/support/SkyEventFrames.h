#pragma once
// An event directory of the catalog's sky as the processing tests need it:
// twelve 640 x 480 frames (F001..F012) of the stars the binding's camera
// model puts in the frame at the pointing, a meteor moving from start to
// finish on frames 4 to 8, and its MeteorTrack.txt.

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "astro/sphlib.h"
#include "astro/timlib.h"
#include "astro/uNotifier.h"
#include "astrometry/uStarCatalog.h"
#include "config/uConfiguration.h"
#include "measurement/uTrack.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"

namespace orbis::test {

// The sky of the events at 23:10 on 2024-08-12 and the pointing of their
// camera, with the settings that bind it quickly (no height doubling, no
// distortion, a scan window around the pointing) set on config.
struct SkyEventAim {
    double theta = 0;  // local sidereal time in degrees
    TSkyPoint pointing{};
};

inline SkyEventAim aimAtSkyEvents(TConfiguration& config, const std::string& catalogs) {
    config.setPathToCatalogs(catalogs);
    config.setDoubleFrameHeight(false);
    config.setCorrectDistortion(false);
    const double theta = LMST(MJD(12, 8, 2024, 23 + 10 / 60.0), config.signedLongitude()) * 15.0;
    const TSkyPoint pointing{theta - 25, 40};
    config.setAutoDetectMinDEC(pointing.dec - 8);
    config.setAutoDetectMaxDEC(pointing.dec + 8);
    config.setAutoDetectMinRA(pointing.ra - 8);
    config.setAutoDetectMaxRA(pointing.ra + 8);
    return {theta, pointing};
}

inline void writeSkyEventFrames(const std::string& dir, const TConfiguration& config, double theta, TSkyPoint pointing,
                                std::pair<int, int> start = {180, 150}, std::pair<int, int> finish = {260, 190}) {
    constexpr int kW = 640, kH = 480;
    std::filesystem::create_directories(dir);
    SilentNotifier quiet;
    const TVisibleSky sky(listStarsByTime(starCatalogPath(config, ""), theta, config.signedLatitude(), quiet));
    TCameraModel camera = TCameraModel::fromConfiguration(config);
    camera.maxStars = 30;
    std::vector<TStarPoint> stars;
    sky.listStarsInFrame(camera, pointing.ra, pointing.dec, theta, stars);

    std::mt19937 rng(12);
    std::normal_distribution<double> noise(30, 2);
    for (int f = 1; f <= 12; ++f) {
        std::vector<double> frame(static_cast<std::size_t>(kW * kH));
        for (auto& p : frame) p = noise(rng);
        auto blob = [&](double x, double y, double peak, double sigma) {
            for (int dy = -4; dy <= 4; ++dy)
                for (int dx = -4; dx <= 4; ++dx) {
                    const int px = static_cast<int>(std::lround(x)) + dx, py = static_cast<int>(std::lround(y)) + dy;
                    if (px < 0 || py < 0 || px >= kW || py >= kH) continue;
                    const double r2 = (px - x) * (px - x) + (py - y) * (py - y);
                    frame[static_cast<std::size_t>((kH - 1 - py) * kW + px)] += peak * std::exp(-r2 / (2 * sigma * sigma));
                }
        };
        for (std::size_t i = 0; i < stars.size(); ++i) blob(stars[i].X, stars[i].Y, 160.0 - 8.0 * static_cast<double>(i), 1.1);
        if (f >= 4 && f <= 8) {  // the meteor, frames 4 to 8
            const double k = (f - 4) / 4.0;
            blob(start.first + k * (finish.first - start.first), start.second + k * (finish.second - start.second), 220, 1.3);
        }
        std::vector<uint8_t> bytes(frame.size());
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(std::clamp(std::lround(frame[i]), 0L, 255L));
        saveGreyBitmap(bytes, kW, kH, frameFileName(dir, f));
    }
    saveTrackFile(dir, {start.first, start.second, 4}, {finish.first, finish.second, 8}, TTrackBrightness{21, 4000});
}

}  // namespace orbis::test
