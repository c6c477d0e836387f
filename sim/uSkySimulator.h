#pragma once
// A sky simulator for the station's camera: renders an event clip of a
// chosen piece of sky at a chosen time, with catalog stars and meteors, and
// writes beside it the truth the clip was made from (pointing, star and
// meteor positions), so detection, astrometry and photometry can be checked
// against known answers.
//
// Pixel positions throughout: x the column from the left, y the row from the
// top of the clip's frames, a pixel's centre at whole numbers. A camera that
// delivers fields (every other row of its picture, as interlaced cameras do)
// gives frames of half the picture's height whose row i is the picture's row
// 2i + 1. The projection is
// the binding's camera model (gnomonic about the frame centre, frame centre at
// (width div 2, height div 2), west to the right and north up), extended by a
// roll about the optical axis and a radial distortion that the binding does
// not model, so solutions can be tested against cameras that are not ideal.
// It is computed with unit vectors and rotation matrices, independently of
// the binding's own routines, so each checks the other.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "astro/sphlib.h"
#include "astro/uDateTime.h"

namespace orbis {

// How a meteor's brightness runs from its start to its end.
enum class TSimLightCurve {
    // Brightest on its middle frame, up to a magnitude fainter on the first
    // and last (a step per frame).
    Symmetric,
    // Brightening steadily by two magnitudes to the peak at its end (a
    // terminal flare).
    Rising,
    // At its peak when it appears, fading by two magnitudes to its end.
    Falling,
    // A base two magnitudes below the peak with a short flare to the peak a
    // quarter of the way along.
    EarlyFlare,
};

struct TSimMeteor {
    // Either sky positions (degrees)...
    std::optional<TSkyPoint> startSky, endSky;
    // ...or pixel positions, turned into sky positions with the clip's camera.
    // Each end may be given either way; the sky position wins when both are.
    std::optional<std::pair<double, double>> startPixel, endPixel;
    int firstFrame = 0;  // 0-based frame of the clip on which the meteor starts
    int frames = 5;      // frames it is visible on; it moves start -> end along the great circle at even speed
    double peakMagnitude = 0;
    // When within the exposure of its first frame it lights up and within
    // that of its last it goes out, as fractions of a frame (0 <= startPhase
    // < 1, 0 < endPhase <= 1; on a single frame startPhase < endPhase). It is
    // at its start point when it lights up and at its end point when it goes
    // out; the defaults fill both exposures.
    double startPhase = 0, endPhase = 1;
    TSimLightCurve lightCurve = TSimLightCurve::Symmetric;
    // A path across the sky instead of the even great circle: sky points at
    // evenly spaced times from where it lights up to where it goes out (at
    // least two), the meteor moving between neighbours along their great
    // circle. A meteor seen from nearby does not cross the sky at even
    // speed. When given, it makes the start and end (which need not be given).
    std::vector<TSkyPoint> skyPath;
};

// A light that is not a meteor: an aeroplane or a satellite. It moves in a
// straight line on the picture at even speed from startPixel (when the
// exposure of firstFrame begins) to endPixel (when that of its last frame
// ends), clip frame pixels as a meteor's.
struct TSimMovingLight {
    std::pair<double, double> startPixel{0, 0}, endPixel{0, 0};
    int firstFrame = 0;
    int frames = 1;
    double magnitude = 3;  // its steady light; set it faint (e.g. 99) for a light that only blinks
    // A blinking light: brighter (blinkMagnitude) on blinkOnFrames frames of
    // every blinkPeriod, from its first frame on; 0: steady.
    int blinkPeriod = 0, blinkOnFrames = 1;
    double blinkMagnitude = 0;
};

// How the rows of a full-height frame were exposed.
enum class TSimWeave {
    None,             // all rows at once, over the whole frame time
    UpperFieldFirst,  // rows 0, 2, ... in the first half of the frame time, rows 1, 3, ... in the second
    LowerFieldFirst,  // rows 1, 3, ... first, rows 0, 2, ... second
};

struct TSimSettings {
    double latitude = 52.43;    // north positive
    double longitude = -30.98;  // west positive, as the station's signedLongitude
    double timeZone = 0;        // local = UT + timeZone hours
    TDateTime localStart = 0;   // local time of frame 0; the clip is named by it
    // The frame centre: fixed (ra, dec), or (azimuth from the south towards
    // the west, altitude) at localStart. Exactly one must be given.
    std::optional<TSkyPoint> pointingSky;
    std::optional<std::pair<double, double>> pointingAzAlt;
    double rollDegrees = 0;       // positive: the sky turns counter-clockwise on the picture
    bool mirrored = false;        // the picture flipped left to right (an odd number of mirrors)
    double radialDistortion = 0;  // k1 of r' = r (1 + k1 r^2), r in units of 100 px from the centre
    int width = 640, height = 480;  // of the picture
    bool fields = false;            // frames of height / 2 rows: the picture's rows 1, 3, 5, ...
    double focalLength = 8, frameScale = 100;  // pixels per radian = focalLength x frameScale
    int fps = 25, frameCount = 50;
    double skyLevel = 30, noiseSigma = 2, psfSigma = 1.0;
    // Sum of the pixel values above the sky of a magnitude-0 source in one
    // frame; a source of magnitude m gives zeroPointFlux x 10^(-0.4 m).
    double zeroPointFlux = 20000;
    std::string catalogPath;  // "RA|Dec|Vmag|..." lines; empty: no stars
    double limitingMagnitude = 5.5;
    std::vector<TSimMeteor> meteors;
    uint32_t seed = 1;  // of the noise
    // Every option below is off by default; a clip rendered without them
    // is the same byte for byte as before they existed.
    //
    // Woven interlaced frames: full-height frames whose two fields are
    // exposed half a frame time apart (not with `fields`).
    TSimWeave weave = TSimWeave::None;
    // Photon noise: grey levels are counts of photonGain electrons each, so a
    // pixel of level v varies by sqrt(v / photonGain) besides the read noise
    // noiseSigma. 0: read noise only.
    double photonGain = 0;
    // Motion-JPEG: every frame goes through a JPEG encoding and decoding at
    // this quality (1..100) before it is written. 0: frames as rendered.
    int jpegQuality = 0;
    // Pixels stuck bright (a level of 120..255) in every frame, at places
    // drawn from the seed.
    int hotPixels = 0;
    // Twinkling stars: each star's flux is multiplied frame by frame by an
    // independent factor 1 + twinkle x N(0, 1) (never below 0). 0: steady.
    double twinkle = 0;
    std::vector<TSimMovingLight> lights;  // aeroplanes and satellites
};

// A rendered star whose centre falls on a pixel of the frame.
struct TSimStar {
    double ra, dec, magnitude;
    double x, y;
};

struct TSimMeteorTruth {
    TSkyPoint startSky, endSky;
    // Where the meteor lights up and where it goes out (with the default
    // phases: when the exposure of firstFrame begins and when the exposure
    // of lastFrame ends).
    double startX, startY, endX, endY;
    int firstFrame, lastFrame;  // inclusive: the first and last frame with its light
    double peakMagnitude;
    // One per frame firstFrame..lastFrame: the magnitude of the light the
    // meteor sent during the frame's exposure (before clipping at 255, the
    // picture's edge and, with fields or woven frames, the rows a field does
    // not show).
    std::vector<double> frameMagnitudes;
    double startPhase = 0, endPhase = 1;
    TSimLightCurve lightCurve = TSimLightCurve::Symmetric;
    // One per frame firstFrame..lastFrame, clip frame pixels: the head when
    // the frame's exposure ends (of a woven frame, when its later field's
    // does), on the last frame its end point.
    std::vector<std::pair<double, double>> frameHeads;
    std::vector<TSkyPoint> skyPath;  // the settings' path, when one was given
};

struct TSimTruth {
    std::string clipPath;
    TDateTime ut;
    TDateTime localStart;
    double lmstDegrees;  // local mean sidereal time of frame 0
    TSkyPoint pointing;
    double rollDegrees;
    bool mirrored;
    double pixelsPerRadian, radialDistortion;
    int width, height;  // of the picture; the frames have height / 2 rows with fields
    bool fields;
    int fps, frameCount;
    std::vector<TSimStar> stars;
    std::vector<TSimMeteorTruth> meteors;
    TSimWeave weave = TSimWeave::None;
    double photonGain = 0;
    int jpegQuality = 0;
    double twinkle = 0;
    std::vector<std::pair<int, int>> hotPixels;  // clip frame pixels (x, y)
    std::vector<TSimMovingLight> lights;
};

class TSimCamera {
public:
    TSimCamera(TSkyPoint pointing, double rollDegrees, int width, int height, double pixelsPerRadian,
               double radialDistortion, bool mirrored = false);

    // Pixel position of a sky point; none for points 90 degrees or more from
    // the frame centre. Points outside the picture are projected all the same.
    std::optional<std::pair<double, double>> project(TSkyPoint sky) const;
    // The sky point (ra 0..360) seen at a pixel position.
    TSkyPoint unproject(double x, double y) const;

private:
    std::array<double, 9> rotation_;  // rows: the picture's right, up and the optical axis, equatorial
    double centreX_, centreY_;
    double scale_;
    double distortion_;
    bool mirrored_;
};

// The sky point seen at a pixel of the clip's frames (field rows counted as
// the picture rows they are).
TSkyPoint skyAtClipPixel(const TSimTruth& truth, double x, double y);

// Where a meteor of the clip is on its way: along = 0 where it lights up, 1
// where it goes out, at even speed on the great circle (or along its sky
// path, along being the share of its time). In the clip's frame
// pixels (field rows with fields). With the default phases its head on the
// j-th of its frames (j = 1 ... frames) is at j / frames; frameHeads says
// where it is in general.
std::pair<double, double> meteorPixelAt(const TSimTruth& truth, const TSimMeteorTruth& meteor, double along);

// The (ra, dec) at a horizontal position (azimuth from the south towards
// the west, altitude) seen from a latitude at a local sidereal angle.
TSkyPoint pointingFromAzAlt(double azimuth, double altitude, double latitude, double lmstDegrees);

// Renders <stationDirectory>/<yyyymmdd>/<hhnnss_zzz>.avi (localStart's names;
// 8-bit grey, fps, frameCount frames) and <hhnnss_zzz>.truth.json beside it,
// creating the night directory; returns the truth. Invalid settings raise
// std::invalid_argument, an unreadable catalog or clip EInOutError, a bad
// catalog number EConvertError.
TSimTruth simulateClip(const TSimSettings& settings, const std::string& stationDirectory);

// The truth as JSON: times, pointing, the stars and the meteors with sky and
// pixel positions, frames and magnitudes.
std::string truthToJson(const TSimTruth& truth);

// A number and a text as the truths write them in JSON (null for a number
// that is not finite).
std::string jsonNumber(double v);
std::string jsonString(const std::string& s);

}  // namespace orbis
