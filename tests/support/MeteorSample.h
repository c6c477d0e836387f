#pragma once
// Events of the sky simulator with a meteor each, taken into work as frame
// files, and where the meteor's head truly is on its first and last frame:
// the sample the automatic track proposal is measured on. Event i is the
// same on every run (its own seed); brightness, length, pace, direction,
// position, blur, noise and field mode vary from event to event.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "astro/uDateTime.h"
#include "capture/uAviFile.h"
#include "measurement/uTrackProposal.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"
#include "sim/uSkySimulator.h"

namespace orbis::test {

struct SampleEvent {
    std::string directory;  // F001.bmp ... with clip frame i as F(i + 1)
    bool fields = false;
    int frames = 0;         // the meteor's
    int firstNumber = 0, lastNumber = 0;
    std::pair<double, double> startHead, finishHead;  // frame-file pixels
    std::vector<std::pair<double, double>> heads;     // on each of the meteor's frames
    std::vector<double> frameMagnitudes;  // the meteor's, from firstNumber on
};

// The camera's picture and the most frames a meteor lasts: the tests take
// a smaller picture and shorter meteors than the full sample, to be quick.
struct SampleShape {
    int width = 640, height = 480;
    int maxFrames = 20;
};

inline SampleEvent writeSampleEvent(const std::string& station, int index, const std::string& catalogPath,
                                    SampleShape shape = {}) {
    std::mt19937 rng(static_cast<uint32_t>(7919 * index + 17));
    const auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    const auto whole = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };

    TSimSettings s;
    s.localStart = encodeDateTime({2024, 8, 12, 22, 0, 0, 0}) + index / 86400.0;
    s.pointingSky = TSkyPoint{uniform(0, 360), uniform(-10, 80)};
    s.rollDegrees = uniform(-180, 180);
    s.width = shape.width, s.height = shape.height;
    s.fields = index % 2 == 1;
    s.catalogPath = catalogPath;
    s.skyLevel = uniform(15, 50);
    s.noiseSigma = uniform(1.2, 3);
    s.psfSigma = uniform(0.8, 1.5);
    s.seed = static_cast<uint32_t>(index + 1);

    TSimMeteor m;
    m.frames = whole(3, shape.maxFrames);
    m.firstFrame = whole(2, 6);
    s.frameCount = m.firstFrame + m.frames + whole(3, 6);
    m.peakMagnitude = uniform(-1.5, 2.5);
    // Pace and direction in picture pixels; the whole track well inside.
    const double step = uniform(2, 25), angle = uniform(0, 2 * 3.14159265358979);
    double length = std::min(step * m.frames, 420.0);
    const double dx = std::cos(angle), dy = std::sin(angle);
    constexpr double kMargin = 15;
    const double spanX = s.width - 2 * kMargin, spanY = s.height - 2 * kMargin;
    length = std::min({length, spanX / std::max(std::fabs(dx), 1e-9), spanY / std::max(std::fabs(dy), 1e-9)});
    const double x0 = kMargin + uniform(0, spanX - length * std::fabs(dx)) + (dx < 0 ? length * -dx : 0);
    const double y0 = kMargin + uniform(0, spanY - length * std::fabs(dy)) + (dy < 0 ? length * -dy : 0);
    const auto clipPixel = [&](double x, double y) { return std::pair{x, s.fields ? (y - 1) / 2 : y}; };
    m.startPixel = clipPixel(x0, y0);
    m.endPixel = clipPixel(x0 + length * dx, y0 + length * dy);
    s.meteors = {m};

    const TSimTruth truth = simulateClip(s, station);
    SampleEvent e;
    e.directory = eventDirectoryForClip(std::filesystem::path(truth.clipPath).parent_path().string(),
                                        std::filesystem::path(truth.clipPath).filename().string());
    std::filesystem::create_directories(e.directory);
    {
        const TAviReader clip(truth.clipPath);
        for (int i = 0; i < clip.info().frameCount; ++i)
            saveGreyBitmap(clip.readFrame(i), clip.info().width, clip.info().height, frameFileName(e.directory, i + 1));
    }
    std::filesystem::remove(truth.clipPath);
    const TSimMeteorTruth& t = truth.meteors[0];
    e.fields = s.fields;
    e.frames = m.frames;
    e.firstNumber = t.firstFrame + 1;
    e.lastNumber = t.lastFrame + 1;
    for (int j = 1; j <= m.frames; ++j) e.heads.push_back(meteorPixelAt(truth, t, double(j) / m.frames));
    e.startHead = e.heads.front();
    e.finishHead = e.heads.back();
    e.frameMagnitudes = t.frameMagnitudes;
    return e;
}

// How far the proposal lies from the truth: pixels between the proposed and
// the true head at each end (infinite when no meteor was proposed), and
// whether both frame numbers match; how much fainter than the meteor's peak
// the frame chosen for the brightness is (magnitudes).
struct SampleResult {
    double startError = INFINITY, finishError = INFINITY;
    bool framesMatch = false;
    double brightestShortfall = INFINITY;
};

inline SampleResult compareWithTruth(const SampleEvent& e, const std::optional<TTrackProposal>& p) {
    SampleResult r;
    if (!p) return r;
    r.startError = std::hypot(p->start.x - e.startHead.first, p->start.y - e.startHead.second);
    r.finishError = std::hypot(p->finish.x - e.finishHead.first, p->finish.y - e.finishHead.second);
    r.framesMatch = p->start.frame == e.firstNumber && p->finish.frame == e.lastNumber;
    const int j = p->brightestFrame - e.firstNumber;
    if (j >= 0 && j < static_cast<int>(e.frameMagnitudes.size()))
        r.brightestShortfall = e.frameMagnitudes[static_cast<std::size_t>(j)] -
                               *std::min_element(e.frameMagnitudes.begin(), e.frameMagnitudes.end());
    return r;
}

}  // namespace orbis::test
