#pragma once
// Astrometric accuracy end to end, shared by the accuracy test and its
// benchmark: a simulated clip of a camera as an observer mounts it (fields
// or progressive frames, any roll, mirrored, a celestial pole in the field,
// a distorting lens with its coefficients), taken into work, its track
// marked at the meteor's true ends and the event processed; the report's
// start and end points are compared with the sky at the marked pixels, the
// A.txt centre with the pointing.

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "RecordingNotifier.h"
#include "TempDir.h"
#include "astro/matlib.h"
#include "astro/uDateTime.h"
#include "astro/uUniUtils.h"
#include "astrometry/uStarDetection.h"
#include "capture/uAviFile.h"
#include "config/uConfiguration.h"
#include "measurement/uTrack.h"
#include "processing/uFrameExtraction.h"
#include "processing/uNaming.h"
#include "processing/uPipeline.h"
#include "sim/uSkySimulator.h"
#include "station/uEventProcessing.h"

namespace orbis::test {

inline double separation(TSkyPoint a, TSkyPoint b) { return ACS(SN(a.dec) * SN(b.dec) + CS(a.dec) * CS(b.dec) * CS(a.ra - b.ra)); }

// How the stars are drawn (the simulator's settings of the same names).
struct StarRendering {
    double psfSigma = 1.0, noiseSigma = 2, skyLevel = 30, zeroPointFlux = 20000;
    double photonGain = 0;  // photon noise (0: read noise only)
    int hotPixels = 0, jpegQuality = 0;
};

struct Scenario {
    std::string name;
    bool fields = true;
    double roll = 0;
    bool mirrored = false;
    std::optional<TSkyPoint> pole = std::nullopt;  // pointing near a pole (the meteor crosses it); else az/alt
    double distortion = 0;
    // The meteor in picture pixels (rows of the full picture).
    double x0 = 200, y0 = 300, x1 = 330, y1 = 250;
    // Az/alt pointing (azimuth from the south towards the west) and local
    // time; by default one per scenario index around the sky.
    std::optional<std::pair<double, double>> azAlt = std::nullopt;
    std::optional<DateTimeParts> local = std::nullopt;
    StarRendering rendering = {};
    uint32_t seed = 0;  // 0: the scenario index + 1
};

struct Outcome {
    bool bound = false;
    double start = NAN, end = NAN, centre = NAN;  // arcminutes
    std::string messages;                          // what processing said
    int referenceStars = 0;                        // star lines of A.txt
    double bindingSeconds = 0;                     // image stages to A.txt
};

inline std::string reportValue(const std::vector<std::string>& report, const std::string& key) {
    for (const auto& l : report)
        if (l.starts_with(key + "=")) return l.substr(key.size() + 1);
    return "";
}

inline Outcome runScenario(const Scenario& sc, int index) {
    test::TempDir station;
    TConfiguration config;
    config.setPathToCatalogs(ORBIS_CATALOG_DIR);
    config.setDoubleFrameHeight(sc.fields);
    config.setDeleteTemp(false);  // A.txt holds the centre
    if (sc.pole && sc.pole->dec < 0) config.setPole(true);  // a southern station
    if (sc.distortion != 0) {
        // r' = r (1 + k r^2): the source of a corrected offset (a, b) is
        // (a + k a^3 + k a b^2, b + k b^3 + k a^2 b).
        config.setCorrectDistortion(true);
        config.setCoefX(7, sc.distortion);
        config.setCoefX(8, sc.distortion);
        config.setCoefY(6, sc.distortion);
        config.setCoefY(9, sc.distortion);
        config.setAddResultWidth(20);
        config.setAddResultHeight(20);
    }
#ifdef ORBIS_SHORT_SCAN
    // Under the sanitizers a whole-sky scan takes minutes: the pointing's
    // neighbourhood is scanned instead.
    const bool shortScan = true;
#else
    const bool shortScan = false;
#endif

    TSimSettings s;
    s.latitude = config.signedLatitude();
    s.longitude = config.signedLongitude();
    s.timeZone = config.timeZone();
    s.localStart = encodeDateTime(sc.local ? *sc.local : DateTimeParts{2024, 8, 12, 23, 10 + index, 0, 0});
    if (sc.pole) s.pointingSky = sc.pole;
    else s.pointingAzAlt = sc.azAlt ? *sc.azAlt : std::pair{330.0 - 37 * index, 50.0};
    s.rollDegrees = sc.roll;
    s.mirrored = sc.mirrored;
    s.radialDistortion = sc.distortion;
    s.fields = sc.fields;
    s.frameCount = 20;
    s.catalogPath = std::string(ORBIS_CATALOG_DIR) + "/c50.dat";
    s.limitingMagnitude = 5.0;
    s.seed = sc.seed != 0 ? sc.seed : static_cast<uint32_t>(index + 1);
    const StarRendering& look = sc.rendering;
    s.psfSigma = look.psfSigma, s.noiseSigma = look.noiseSigma, s.skyLevel = look.skyLevel, s.zeroPointFlux = look.zeroPointFlux;
    s.photonGain = look.photonGain, s.hotPixels = look.hotPixels, s.jpegQuality = look.jpegQuality;
    TSimMeteor m;
    const double rowScale = sc.fields ? 0.5 : 1.0;
    double x0 = sc.x0, y0 = sc.y0, x1 = sc.x1, y1 = sc.y1;
    if (sc.pole) {
        // From one side of the pole to the other.
        const TSimCamera camera(*sc.pole, sc.roll, s.width, s.height, s.focalLength * s.frameScale, sc.distortion,
                                sc.mirrored);
        const auto p = *camera.project({0, sc.pole->dec > 0 ? 90.0 : -90.0});
        x0 = p.first - 70, y0 = p.second - 45, x1 = p.first + 60, y1 = p.second + 40;
    }
    m.startPixel = std::pair{x0, (y0 - (sc.fields ? 1 : 0)) * rowScale};
    m.endPixel = std::pair{x1, (y1 - (sc.fields ? 1 : 0)) * rowScale};
    m.firstFrame = 8;
    m.frames = 6;
    m.peakMagnitude = 0.5;
    s.meteors = {m};
    const TSimTruth truth = simulateClip(s, station.str());

    const std::string event = eventDirectoryForClip(std::filesystem::path(truth.clipPath).parent_path().string(),
                                                    std::filesystem::path(truth.clipPath).filename().string());
    test::RecordingNotifier notifier;
    {
        TAviReader reader(truth.clipPath);
        TFrameExtractor extractor(event, 1, notifier);
        for (int i = 0; i < reader.info().frameCount; ++i)
            extractor.GrabVideo(reader.readFrame(i), {reader.info().width, reader.info().height, 8});
    }
    const TSimMeteorTruth& t = truth.meteors[0];
    const std::pair<int, int> start{static_cast<int>(std::lround(t.startX)), static_cast<int>(std::lround(t.startY))};
    const std::pair<int, int> end{static_cast<int>(std::lround(t.endX)), static_cast<int>(std::lround(t.endY))};
    const TBrightness b = measureBrightness(frameFileName(event, t.firstFrame + 1), start.first, start.second, config);
    saveTrackFile(event, {start.first, start.second, t.firstFrame + 1}, {end.first, end.second, t.lastFrame + 1},
                  TTrackBrightness{b.pixelCount, b.brightnessSum});

    if (shortScan) {
        config.setAutoDetectMinDEC(std::max(truth.pointing.dec - 8, -90.0));
        config.setAutoDetectMaxDEC(std::min(truth.pointing.dec + 8, 90.0));
        config.setAutoDetectMinRA(truth.pointing.ra - (sc.pole ? 180 : 8));
        config.setAutoDetectMaxRA(truth.pointing.ra + (sc.pole ? 180 : 8));
    }
    const auto began = std::chrono::steady_clock::now();
    processEvent(event, config, station.str(), notifier);

    Outcome o;
    o.bindingSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    for (const auto& said : notifier.messages) o.messages += said.text + "\n";
    for (const auto& said : notifier.notes) o.messages += said + "\n";
    const TEventFiles files = eventFiles(event);
    const std::string report = files.workFile(workSuffix::kReport);
    if (!std::filesystem::exists(report)) return o;
    const auto r = readTextLines(report);
    o.bound = true;
    o.start = 60 * separation({parseFloat(reportValue(r, "RA_BEG")), parseFloat(reportValue(r, "DEC_BEG"))},
                              skyAtClipPixel(truth, start.first, start.second));
    o.end = 60 * separation({parseFloat(reportValue(r, "RA_END")), parseFloat(reportValue(r, "DEC_END"))},
                            skyAtClipPixel(truth, end.first, end.second));
    for (const std::string& line : readTextLines(files.workFile(workSuffix::kAstrometry)))
        if (line.find("START") != std::string::npos || line.find("FINISH") != std::string::npos) continue;
        else if (line.find("CENTER") == std::string::npos) ++o.referenceStars;
        else
            o.centre = 60 * separation({parseFloat(extractField(line, "|", 1)), parseFloat(extractField(line, "|", 2))},
                                       truth.pointing);
    return o;
}

}  // namespace orbis::test
