#pragma once
// Events of the sky simulator taken into work as frame files, with what is
// truly on them: the sample the automatic track proposal is measured on.
// Each event is of one kind — a way cameras show meteors (partial first and
// last exposures, light curves, blur, saturation, photon noise, woven
// interlaced frames, fields, Motion-JPEG, the picture's edge, faint meteors)
// or a sky without a meteor (stars, hot pixels, noise, aeroplanes,
// satellites, twinkling stars). Event i is the same on every run (its own
// seed); its kind is kinds()[i % kinds().size()]. Events from
// kHoldoutFirstIndex on are the holdout: nobody tunes on them.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "astro/uDateTime.h"
#include "astrometry/uStarDetection.h"
#include "capture/uAviFile.h"
#include "config/uConfiguration.h"
#include "measurement/uTrackProposal.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"
#include "sim/uSkySimulator.h"

namespace orbis::test {

enum class SampleKind {
    // With a meteor.
    Mixed,       // brightness, length, pace, direction, blur, noise and field mode all varied
    Partial,     // lights up and goes out within its first and last exposure
    Slow,        // 2 to 5 px a frame
    Fast,        // 18 to 30 px a frame
    Rising,      // light curves other than the symmetric one
    Falling,
    Flare,
    SharpPsf,    // sigma 0.5 to 0.7 px
    WidePsf,     // sigma 1.8 to 2.6 px
    Saturated,   // clips at 255 along its track
    PhotonNoise, // photon and read noise
    Woven,       // full-height frames of two fields half a frame apart, either order
    Fields,      // frames of every other row (640 x 240 of a 640 x 480 picture)
    MotionJpeg,  // frames through JPEG at quality 60 to 85
    Edge,        // one end 3 to 6 px from the picture's edge
    Faint,       // +3 on 3 frames
    Camera,      // woven, Motion-JPEG, photon noise and partial exposures at once
    // Without a meteor.
    StarsOnly,
    HotPixels,
    Noise,
    Aeroplane,   // a steady light crossing many frames
    Blinking,    // an aeroplane's light flashing every second or so
    Satellite,   // a slow steady point over the whole clip
    Twinkling,
};

inline constexpr std::array kSampleKinds{
    SampleKind::Mixed,     SampleKind::Partial,     SampleKind::Slow,      SampleKind::Fast,
    SampleKind::Rising,    SampleKind::Falling,     SampleKind::Flare,     SampleKind::SharpPsf,
    SampleKind::WidePsf,   SampleKind::Saturated,   SampleKind::PhotonNoise, SampleKind::Woven,
    SampleKind::Fields,    SampleKind::MotionJpeg,  SampleKind::Edge,      SampleKind::Faint,
    SampleKind::Camera,    SampleKind::StarsOnly,   SampleKind::HotPixels, SampleKind::Noise,
    SampleKind::Aeroplane, SampleKind::Blinking,    SampleKind::Satellite, SampleKind::Twinkling,
};

inline constexpr int kHoldoutFirstIndex = 1'000'000;

inline bool hasMeteor(SampleKind k) { return k < SampleKind::StarsOnly; }

inline SampleKind kindOfEvent(int index) {
    return kSampleKinds[static_cast<std::size_t>(index) % kSampleKinds.size()];
}

inline std::string_view kindName(SampleKind k) {
    constexpr std::array<std::string_view, kSampleKinds.size()> names{
        "mixed",     "partial",      "slow",     "fast",       "rising", "falling", "flare",     "sharp psf",
        "wide psf",  "saturated",    "photon",   "woven",      "fields", "mjpeg",   "edge",      "faint",
        "camera",    "stars only",   "hot px",   "noise",      "plane",  "blinking", "satellite", "twinkling",
    };
    return names[static_cast<std::size_t>(k)];
}

// A catalog star on the event's frames, for the photometry of the proposal.
struct SampleStar {
    double x, y, magnitude;  // frame-file pixels
};

struct SampleEvent {
    std::string directory;  // F001.bmp ... with clip frame i as F(i + 1)
    int index = 0;
    SampleKind kind = SampleKind::Mixed;
    bool meteor = true;
    bool fields = false, woven = false;
    int frames = 0;  // the meteor's
    int firstNumber = 0, lastNumber = 0;
    std::pair<double, double> startHead, finishHead;  // frame-file pixels
    std::vector<std::pair<double, double>> heads;     // when each of the meteor's frames' exposure ends
    std::vector<double> frameMagnitudes;              // the meteor's light on each of its frames
    std::vector<SampleStar> stars;
    int quietNumber = 1;  // a frame without the meteor
};

// The camera's picture and the most frames a meteor lasts: the tests take
// a smaller picture and shorter meteors than the full sample, to be quick.
struct SampleShape {
    int width = 640, height = 480;
    int maxFrames = 20;
};

namespace sample_detail {

struct Random {
    std::mt19937 rng;
    double uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); }
    int whole(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); }
};

// A straight track of `length` picture pixels at least `margin` from every
// edge (shortened when it does not fit): start and end.
inline std::pair<std::pair<double, double>, std::pair<double, double>> placeTrack(Random& r, int width, int height,
                                                                               double length, double margin) {
    const double angle = r.uniform(0, 2 * std::numbers::pi), dx = std::cos(angle), dy = std::sin(angle);
    const double spanX = width - 1 - 2 * margin, spanY = height - 1 - 2 * margin;
    length = std::min({length, spanX / std::max(std::fabs(dx), 1e-9), spanY / std::max(std::fabs(dy), 1e-9)});
    const double x0 = margin + r.uniform(0, spanX - length * std::fabs(dx)) + (dx < 0 ? length * -dx : 0);
    const double y0 = margin + r.uniform(0, spanY - length * std::fabs(dy)) + (dy < 0 ? length * -dy : 0);
    return {{x0, y0}, {x0 + length * dx, y0 + length * dy}};
}

// A track with one end `margin` px from an edge, the other well inside;
// which end is at the edge is drawn too.
inline std::pair<std::pair<double, double>, std::pair<double, double>> placeTrackAtEdge(Random& r, int width, int height,
                                                                                     double length, double margin) {
    constexpr double kInside = 15;
    length = std::min(length, 0.8 * (std::min(width, height) - 2 * kInside));
    std::pair<double, double> edge, inside;
    for (;;) {
        const int side = r.whole(0, 3);
        const double along = r.uniform(margin, (side < 2 ? height : width) - 1 - margin);
        edge = side == 0 ? std::pair{margin, along}
             : side == 1 ? std::pair{width - 1 - margin, along}
             : side == 2 ? std::pair{along, margin}
                         : std::pair{along, height - 1 - margin};
        // Away from the edge it lies on, within 70 degrees of square to it.
        const double inward = side == 0 ? 0 : side == 1 ? std::numbers::pi : side == 2 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
        const double angle = inward + r.uniform(-1.2, 1.2);
        inside = {edge.first + length * std::cos(angle), edge.second + length * std::sin(angle)};
        if (inside.first >= kInside && inside.second >= kInside && inside.first <= width - 1 - kInside &&
            inside.second <= height - 1 - kInside)
            break;
    }
    return r.whole(0, 1) == 0 ? std::pair{inside, edge} : std::pair{edge, inside};
}

// Frames of the clip as frame files of the event's directory; the clip goes.
inline std::string takeIntoWork(const TSimTruth& truth) {
    const std::filesystem::path clip(truth.clipPath);
    const std::string directory = eventDirectoryForClip(clip.parent_path().string(), clip.filename().string());
    std::filesystem::create_directories(directory);
    {
        const TAviReader reader(truth.clipPath);
        for (int i = 0; i < reader.info().frameCount; ++i)
            saveGreyBitmap(reader.readFrame(i), reader.info().width, reader.info().height,
                           frameFileName(directory, i + 1));
    }
    std::filesystem::remove(truth.clipPath);
    return directory;
}

// The event as its kind makes it, before the pointing and the catalog.
inline TSimSettings eventSettings(SampleKind kind, Random& r, SampleShape shape) {
    TSimSettings s;
    s.width = shape.width, s.height = shape.height;
    s.pointingAzAlt = std::pair{r.uniform(0, 360), r.uniform(35, 85)};
    s.rollDegrees = r.uniform(-180, 180);
    s.skyLevel = r.uniform(15, 50);
    s.noiseSigma = r.uniform(1.2, 3);
    s.psfSigma = r.uniform(0.8, 1.5);
    s.frameCount = r.whole(15, 35);

    if (!hasMeteor(kind)) {
        if (kind == SampleKind::Blinking) s.frameCount = r.whole(40, 60);  // a few flashes
        const int n = s.frameCount;
        const auto crossing = [&](double pace, double magnitude) {
            TSimMovingLight l;
            const auto [a, b] = placeTrack(r, s.width, s.height, pace * n, 10);
            l.startPixel = a, l.endPixel = b;
            l.frames = n;
            l.magnitude = magnitude;
            return l;
        };
        switch (kind) {
            case SampleKind::HotPixels: s.hotPixels = r.whole(5, 30); break;
            case SampleKind::Noise:
                s.noiseSigma = r.uniform(3, 6);
                s.photonGain = r.uniform(0.5, 1.5);
                break;
            case SampleKind::Aeroplane: s.lights = {crossing(r.uniform(1, 4), r.uniform(0, 3))}; break;
            case SampleKind::Blinking: {
                TSimMovingLight l = crossing(r.uniform(1, 4), r.whole(0, 1) == 0 ? 99 : r.uniform(4, 6));
                l.blinkPeriod = r.whole(12, 25);
                l.blinkOnFrames = r.whole(1, 3);
                l.blinkMagnitude = r.uniform(0, 2);
                s.lights = {l};
                break;
            }
            case SampleKind::Satellite: s.lights = {crossing(r.uniform(0.3, 1.5), r.uniform(2, 5))}; break;
            case SampleKind::Twinkling: s.twinkle = r.uniform(0.1, 0.3); break;
            default: break;
        }
        return s;
    }

    TSimMeteor m;
    m.frames = r.whole(3, shape.maxFrames);
    m.firstFrame = r.whole(2, 6);
    m.peakMagnitude = r.uniform(-1.5, 2.5);
    double pace = r.uniform(2, 30), margin = 15;
    bool edge = false;
    switch (kind) {
        case SampleKind::Partial:
            m.startPhase = r.uniform(0.1, 0.9);
            m.endPhase = r.uniform(0.1, 0.9);
            break;
        case SampleKind::Slow:
            pace = r.uniform(2, 5);
            m.frames = r.whole(std::min(5, shape.maxFrames), shape.maxFrames);
            break;
        case SampleKind::Fast: pace = r.uniform(18, 30); break;
        case SampleKind::Rising: m.lightCurve = TSimLightCurve::Rising; break;
        case SampleKind::Falling: m.lightCurve = TSimLightCurve::Falling; break;
        case SampleKind::Flare:
            m.lightCurve = TSimLightCurve::EarlyFlare;
            m.frames = r.whole(std::min(5, shape.maxFrames), shape.maxFrames);
            break;
        case SampleKind::SharpPsf: s.psfSigma = r.uniform(0.5, 0.7); break;
        case SampleKind::WidePsf: s.psfSigma = r.uniform(1.8, 2.6); break;
        case SampleKind::Saturated: m.peakMagnitude = r.uniform(-4, -2.5); break;
        case SampleKind::PhotonNoise:
            s.photonGain = r.uniform(0.5, 2);
            s.noiseSigma = r.uniform(1, 3);
            break;
        case SampleKind::Woven:
            s.weave = r.whole(0, 1) == 0 ? TSimWeave::UpperFieldFirst : TSimWeave::LowerFieldFirst;
            break;
        case SampleKind::Fields: s.fields = true; break;
        case SampleKind::MotionJpeg: s.jpegQuality = r.whole(60, 85); break;
        case SampleKind::Edge:
            edge = true;
            margin = r.uniform(3, 6);
            break;
        case SampleKind::Faint:
            m.frames = 3;
            m.peakMagnitude = r.uniform(2.8, 3.2);
            pace = r.uniform(5, 15);
            break;
        case SampleKind::Camera:
            s.weave = r.whole(0, 1) == 0 ? TSimWeave::UpperFieldFirst : TSimWeave::LowerFieldFirst;
            s.jpegQuality = r.whole(60, 85);
            s.photonGain = r.uniform(0.5, 2);
            s.noiseSigma = r.uniform(1, 2.5);
            m.startPhase = r.uniform(0, 0.9);
            m.endPhase = r.uniform(0.1, 1);
            break;
        default: break;
    }
    if (m.frames == 1 && m.endPhase <= m.startPhase) m.endPhase = 1;
    s.frameCount = m.firstFrame + m.frames + r.whole(3, 6);
    const double length = pace * (m.frames - 1 + m.endPhase - m.startPhase);
    const auto [a, b] = edge ? placeTrackAtEdge(r, s.width, s.height, length, margin)
                             : placeTrack(r, s.width, s.height, std::min(length, 420.0), margin);
    const auto clipPixel = [&](std::pair<double, double> p) {
        return std::pair{p.first, s.fields ? (p.second - 1) / 2 : p.second};
    };
    m.startPixel = clipPixel(a);
    m.endPixel = clipPixel(b);
    s.meteors = {m};
    return s;
}

// The former sample's event (now the "mixed" kind): kept draw for draw, so
// the events other tests take from it stay the same.
inline TSimSettings mixedSettings(int index, SampleShape shape) {
    std::mt19937 rng(static_cast<uint32_t>(7919 * index + 17));
    const auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    const auto whole = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };

    TSimSettings s;
    s.pointingSky = TSkyPoint{uniform(0, 360), uniform(-10, 80)};
    s.rollDegrees = uniform(-180, 180);
    s.width = shape.width, s.height = shape.height;
    s.fields = index % 2 == 1;
    s.skyLevel = uniform(15, 50);
    s.noiseSigma = uniform(1.2, 3);
    s.psfSigma = uniform(0.8, 1.5);

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
    return s;
}

}  // namespace sample_detail

// Writes event `index` of a kind as frame files under the station
// directory. The sample's event `index` is of kindOfEvent(index); a mixed
// event of any index is the former sample's.
inline SampleEvent writeSampleEvent(const std::string& station, int index, const std::string& catalogPath,
                                    SampleShape shape = {}, SampleKind kind = SampleKind::Mixed) {
    sample_detail::Random r{std::mt19937(static_cast<uint32_t>(7919 * index + 17) ^ 0x5eedu)};
    TSimSettings s = kind == SampleKind::Mixed ? sample_detail::mixedSettings(index, shape)
                                               : sample_detail::eventSettings(kind, r, shape);
    s.localStart = encodeDateTime({2024, 8, 12, 22, 0, 0, 0}) + index / 86400.0;
    s.catalogPath = catalogPath;
    s.seed = static_cast<uint32_t>(index + 1);

    const TSimTruth truth = simulateClip(s, station);
    SampleEvent e;
    e.directory = sample_detail::takeIntoWork(truth);
    e.index = index;
    e.kind = kind;
    e.meteor = !truth.meteors.empty();
    e.fields = s.fields;
    e.woven = s.weave != TSimWeave::None;
    for (const TSimStar& star : truth.stars) e.stars.push_back({star.x, star.y, star.magnitude});
    if (!e.meteor) return e;
    const TSimMeteorTruth& t = truth.meteors[0];
    e.frames = t.lastFrame - t.firstFrame + 1;
    e.firstNumber = t.firstFrame + 1;
    e.lastNumber = t.lastFrame + 1;
    e.heads = t.frameHeads;
    e.startHead = e.heads.front();
    e.finishHead = e.heads.back();
    e.frameMagnitudes = t.frameMagnitudes;
    e.quietNumber = t.firstFrame > 0 ? 1 : truth.frameCount;
    return e;
}

// How far the proposal lies from the truth: pixels between the proposed and
// the true head at each end (infinite when no meteor was proposed), and
// whether both frame numbers match; how much fainter than the meteor's peak
// the frame chosen for the brightness is (magnitudes).
struct SampleResult {
    bool found = false;
    double startError = INFINITY, finishError = INFINITY;
    bool framesMatch = false;
    double brightestShortfall = INFINITY;
    // START and FINISH on the right frames and within 1.5 px of the heads.
    bool endsRight() const { return framesMatch && startError <= 1.5 && finishError <= 1.5; }
};

inline SampleResult compareWithTruth(const SampleEvent& e, const std::optional<TTrackProposal>& p) {
    SampleResult r;
    r.found = p.has_value();
    if (!p || !e.meteor) return r;
    r.startError = std::hypot(p->start.x - e.startHead.first, p->start.y - e.startHead.second);
    r.finishError = std::hypot(p->finish.x - e.finishHead.first, p->finish.y - e.finishHead.second);
    r.framesMatch = p->start.frame == e.firstNumber && p->finish.frame == e.lastNumber;
    const int j = p->brightestFrame - e.firstNumber;
    if (j >= 0 && j < static_cast<int>(e.frameMagnitudes.size()))
        r.brightestShortfall = e.frameMagnitudes[static_cast<std::size_t>(j)] -
                               *std::min_element(e.frameMagnitudes.begin(), e.frameMagnitudes.end());
    return r;
}

// The meteor's magnitude from the proposal's brightness as the station
// takes it: the brightness sum against the same sum of catalog stars of the
// event measured on a frame without the meteor, m = m_star + 2.5 log10(F_star
// / F), the median over up to eight stars that stand alone, are not clipped
// and lie away from the picture's edge and the meteor's track. None without
// such a star or without a brightness.
inline std::optional<double> proposalMagnitude(const SampleEvent& e, const TTrackProposal& p,
                                               const TConfiguration& config) {
    if (p.brightness.brightnessSum <= 0) return std::nullopt;
    const std::string quiet = frameFileName(e.directory, e.quietNumber);
    const TGreyFrame frame = loadGreyFrame(quiet);
    const auto level = [&](int x, int y) {
        return frame.pixels[static_cast<std::size_t>(frame.height - 1 - y) * frame.width + x];
    };
    const auto offTrack = [&](const SampleStar& s) {
        // Distance from the segment start head .. finish head.
        const double ax = e.startHead.first, ay = e.startHead.second;
        const double bx = e.finishHead.first - ax, by = e.finishHead.second - ay;
        const double t = std::clamp(((s.x - ax) * bx + (s.y - ay) * by) / std::max(bx * bx + by * by, 1e-9), 0.0, 1.0);
        return std::hypot(s.x - ax - t * bx, s.y - ay - t * by) > 30;
    };
    std::vector<SampleStar> brightestFirst = e.stars;
    std::sort(brightestFirst.begin(), brightestFirst.end(),
              [](const SampleStar& a, const SampleStar& b) { return a.magnitude < b.magnitude; });
    std::vector<double> estimates;
    for (const SampleStar& s : brightestFirst) {
        if (estimates.size() >= 8) break;
        const int x = static_cast<int>(std::lround(s.x)), y = static_cast<int>(std::lround(s.y));
        if (x < 10 || y < 10 || x >= frame.width - 10 || y >= frame.height - 10 || !offTrack(s)) continue;
        const bool alone = std::none_of(brightestFirst.begin(), brightestFirst.end(), [&](const SampleStar& o) {
            return &o != &s && o.magnitude < s.magnitude + 3 && std::hypot(o.x - s.x, o.y - s.y) < 12;
        });
        if (!alone || level(x, y) >= 250) continue;
        const TBrightness b = measureBrightness(quiet, x, y, config);
        if (b.brightnessSum <= 0 || b.pixelCount < 2) continue;
        estimates.push_back(s.magnitude + 2.5 * std::log10(static_cast<double>(b.brightnessSum) /
                                                           static_cast<double>(p.brightness.brightnessSum)));
    }
    if (estimates.empty()) return std::nullopt;
    std::sort(estimates.begin(), estimates.end());
    const std::size_t n = estimates.size();
    return n % 2 == 1 ? estimates[n / 2] : (estimates[n / 2 - 1] + estimates[n / 2]) / 2;
}

// The meteor's true peak: its brightest frame's light.
inline double truePeakMagnitude(const SampleEvent& e) {
    return *std::min_element(e.frameMagnitudes.begin(), e.frameMagnitudes.end());
}

}  // namespace orbis::test
