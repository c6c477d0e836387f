#include "sim/uSkySimulator.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <random>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "astro/timlib.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"
#include "processing/uNaming.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace orbis {

namespace {

// Own vector algebra, not the degree helpers of the astronomy routines: the
// simulator is the reference those routines are tested against.
using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;  // rows

constexpr double kDeg = std::numbers::pi / 180.0;

Vec3 unitVector(TSkyPoint p) {
    const double cd = std::cos(p.dec * kDeg);
    return {cd * std::cos(p.ra * kDeg), cd * std::sin(p.ra * kDeg), std::sin(p.dec * kDeg)};
}

TSkyPoint skyPoint(const Vec3& v) {
    double ra = std::atan2(v[1], v[0]) / kDeg;
    if (ra < 0) ra += 360.0;
    if (ra >= 360.0) ra -= 360.0;
    const double dec = std::atan2(v[2], std::hypot(v[0], v[1])) / kDeg;
    return {ra, dec};
}

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec3 timesVector(const Mat3& m, const Vec3& v) { return {dot(m[0], v), dot(m[1], v), dot(m[2], v)}; }

Vec3 transposedTimesVector(const Mat3& m, const Vec3& v) {
    Vec3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r[j] += m[i][j] * v[i];
    return r;
}

Mat3 multiply(const Mat3& a, const Mat3& b) {
    Mat3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i][j] += a[i][k] * b[k][j];
    return r;
}

// Equatorial unit vectors to horizontal ones (x to the south, y to the west,
// z to the zenith). First to the hour-angle frame (tau = theta - ra, growing
// westwards, which mirrors the right-ascension axis), then tilted by the
// co-latitude about the east-west axis.
Mat3 horizontalFromEquatorial(double latitude, double lmstDegrees) {
    const double ct = std::cos(lmstDegrees * kDeg), st = std::sin(lmstDegrees * kDeg);
    const double cp = std::cos(latitude * kDeg), sp = std::sin(latitude * kDeg);
    const Mat3 hourAngle{{{ct, st, 0}, {st, -ct, 0}, {0, 0, 1}}};
    const Mat3 tilt{{{sp, 0, -cp}, {0, 1, 0}, {cp, 0, sp}}};
    return multiply(tilt, hourAngle);
}

// A point of the great circle from a to b, t = 0 at a and 1 at b, at even
// angular speed.
Vec3 slerp(const Vec3& a, const Vec3& b, double angle, double t) {
    if (angle < 1e-12) return a;
    const double s = std::sin(angle);
    const double wa = std::sin((1 - t) * angle) / s, wb = std::sin(t * angle) / s;
    return {wa * a[0] + wb * b[0], wa * a[1] + wb * b[1], wa * a[2] + wb * b[2]};
}

// A point of a path given by points at even steps of `along` (0 at the
// first point, 1 at the last), on the great circle between neighbours.
Vec3 pathPoint(const std::vector<Vec3>& points, double along) {
    const double steps = static_cast<double>(points.size() - 1);
    const double i = std::clamp(std::floor(along * steps), 0.0, steps - 1);
    const Vec3& a = points[static_cast<std::size_t>(i)];
    const Vec3& b = points[static_cast<std::size_t>(i) + 1];
    return slerp(a, b, std::acos(std::clamp(dot(a, b), -1.0, 1.0)), along * steps - i);
}

std::vector<Vec3> unitVectors(const std::vector<TSkyPoint>& sky) {
    std::vector<Vec3> points;
    for (const TSkyPoint& p : sky) points.push_back(unitVector(p));
    return points;
}

// A grey picture in doubles, rows from the top.
struct Canvas {
    int width, height;
    std::vector<double> pixels;

    // A Gaussian spot of the given total: each pixel gets the integral of the
    // PSF over its area, so the sum is the flux (less the tails beyond 4
    // sigma) however the centre sits on the pixel grid.
    void addSpot(double x, double y, double flux, double sigma) {
        const int radius = static_cast<int>(std::ceil(4 * sigma + 1));
        // Far off the picture (a meteor's end near 90 degrees from the axis)
        // the position does not even fit an int.
        if (!(x > -radius && y > -radius && x < width + radius && y < height + radius)) return;
        const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
        const int x0 = std::max(cx - radius, 0), x1 = std::min(cx + radius, width - 1);
        const int y0 = std::max(cy - radius, 0), y1 = std::min(cy + radius, height - 1);
        if (x0 > x1 || y0 > y1) return;
        const double k = 1.0 / (sigma * std::numbers::sqrt2);
        auto share = [k](int i, double centre) {
            return 0.5 * (std::erf((i + 0.5 - centre) * k) - std::erf((i - 0.5 - centre) * k));
        };
        std::vector<double> wx(static_cast<std::size_t>(x1 - x0 + 1));
        for (int i = x0; i <= x1; ++i) wx[static_cast<std::size_t>(i - x0)] = share(i, x);
        for (int j = y0; j <= y1; ++j) {
            const double wy = flux * share(j, y);
            double* row = &pixels[static_cast<std::size_t>(j) * width];
            for (int i = x0; i <= x1; ++i) row[i] += wy * wx[static_cast<std::size_t>(i - x0)];
        }
    }
};

// Rows of the clip's frames and of the picture.
double pictureRow(const TSimTruth& t, double clipRow) { return t.fields ? 2 * clipRow + 1 : clipRow; }
double clipRow(const TSimTruth& t, double pictureRow) { return t.fields ? (pictureRow - 1) / 2 : pictureRow; }

double fluxOf(double magnitude, double zeroPoint) { return zeroPoint * std::pow(10.0, -0.4 * magnitude); }

void validate(const TSimSettings& s) {
    auto fail = [](TDiagnostic d) { throw EInvalidArgument(std::move(d)); };
    if (s.pointingSky.has_value() == s.pointingAzAlt.has_value()) fail(TDiagnostic(Code::SimPointingAmbiguous));
    if (s.width <= 0 || s.height <= 0)
        fail(TDiagnostic(Code::SimFrameSizeInvalid).with("width", s.width).with("height", s.height));
    if (s.fields && s.height < 2) fail(TDiagnostic(Code::SimFieldsTooShort).with("height", s.height));
    if (s.fps <= 0 || s.frameCount <= 0)
        fail(TDiagnostic(Code::SimRateOrCountInvalid).with("fps", s.fps).with("frames", s.frameCount));
    if (!(s.focalLength * s.frameScale > 0)) fail(TDiagnostic(Code::SimOpticsInvalid));
    if (!(s.psfSigma > 0) || !(s.noiseSigma >= 0)) fail(TDiagnostic(Code::SimBlurOrNoiseInvalid));
    if (s.weave != TSimWeave::None && (s.fields || s.height < 2)) fail(TDiagnostic(Code::SimWeaveInvalid));
    if (!(s.photonGain >= 0) || !(s.twinkle >= 0) || s.hotPixels < 0) fail(TDiagnostic(Code::SimNegativeEffect));
    if (s.jpegQuality < 0 || s.jpegQuality > 100)
        fail(TDiagnostic(Code::SimJpegQualityInvalid).with("quality", s.jpegQuality));
    // Meteors and lights by their number in the settings, from 1.
    for (std::size_t i = 0; i < s.meteors.size(); ++i) {
        const TSimMeteor& m = s.meteors[i];
        const auto meteor = [&](Code code) { return TDiagnostic(code).with("meteor", i + 1); };
        if (m.skyPath.size() == 1 ||
            (m.skyPath.empty() && (!(m.startSky || m.startPixel) || !(m.endSky || m.endPixel))))
            fail(meteor(Code::SimMeteorEndsMissing));
        if (m.frames < 1 || m.firstFrame < 0 || m.firstFrame + m.frames > s.frameCount)
            fail(meteor(Code::SimMeteorFramesOutside));
        if (!(m.startPhase >= 0 && m.startPhase < 1 && m.endPhase > 0 && m.endPhase <= 1) ||
            (m.frames == 1 && !(m.startPhase < m.endPhase)))
            fail(meteor(Code::SimMeteorPhaseInvalid));
    }
    for (std::size_t i = 0; i < s.lights.size(); ++i) {
        const TSimMovingLight& l = s.lights[i];
        const auto light = [&](Code code) { return TDiagnostic(code).with("light", i + 1); };
        if (l.frames < 1 || l.firstFrame < 0 || l.firstFrame + l.frames > s.frameCount)
            fail(light(Code::SimLightFramesOutside));
        if (l.blinkPeriod < 0 || (l.blinkPeriod > 0 && (l.blinkOnFrames < 1 || l.blinkOnFrames > l.blinkPeriod)))
            fail(light(Code::SimLightBlinkInvalid));
    }
}

struct CatalogStar {
    double ra, dec, magnitude;
};

std::vector<CatalogStar> readCatalog(const std::string& path, double limitingMagnitude) {
    std::vector<CatalogStar> stars;
    const std::vector<std::string> lines = readTextLines(path);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find('|') == std::string::npos) continue;
        const CatalogStar s{parseFloatField(lines[i], "|", 1, path, i), parseFloatField(lines[i], "|", 2, path, i),
                            parseFloatField(lines[i], "|", 3, path, i)};
        if (s.magnitude <= limitingMagnitude) stars.push_back(s);
    }
    return stars;
}

// A meteor resolved to unit vectors, with what the truth says about it. Its
// own time runs in frames from the beginning of its first frame's exposure;
// it shines from `lit` (its start phase) to `out` (frames - 1 + end phase),
// moving from start to end at even speed.
struct MeteorPath {
    Vec3 start, end;
    double angle;  // between start and end, radians
    std::vector<Vec3> path;  // the sky path's points; empty: the great circle from start to end
    double lit, out;
    int frames;
    TSimMeteorTruth truth;

    double along(double time) const { return (time - lit) / (out - lit); }
    Vec3 at(double along) const { return path.empty() ? slerp(start, end, angle, along) : pathPoint(path, along); }

    // The light it sends per frame time at `along`, on its frame j.
    double rate(double along, int j, double zeroPoint) const {
        const double peak = truth.peakMagnitude;
        switch (truth.lightCurve) {
            case TSimLightCurve::Symmetric: {
                // Brightest in the middle, up to a magnitude fainter towards
                // the ends: a simple light curve that still makes the
                // per-frame photometry differ.
                const double middle = (frames - 1) / 2.0;
                return fluxOf(peak + std::fabs(j - middle) / (middle + 1), zeroPoint);
            }
            case TSimLightCurve::Rising: return fluxOf(peak + 2 * (1 - along), zeroPoint);
            case TSimLightCurve::Falling: return fluxOf(peak + 2 * along, zeroPoint);
            case TSimLightCurve::EarlyFlare: {
                constexpr double kWidth = 0.05;  // of the path, one sigma
                const double base = fluxOf(peak + 2, zeroPoint), d = (along - 0.25) / kWidth;
                return base + (fluxOf(peak, zeroPoint) - base) * std::exp(-0.5 * d * d);
            }
        }
        return 0;
    }

    // The part of frame j's time (fractions of the frame) within [from, to]
    // during which it shines; empty when hi <= lo.
    std::pair<double, double> shining(int j, double from, double to) const {
        return {std::max(from, lit - j), std::min(to, out - j)};
    }
};

MeteorPath resolveMeteor(const TSimMeteor& m, const TSimCamera& camera, const TSimTruth& clip, double zeroPoint) {
    auto sky = [&](const std::optional<TSkyPoint>& s, const std::optional<std::pair<double, double>>& p) {
        return s ? *s : skyAtClipPixel(clip, p->first, p->second);
    };
    MeteorPath path{};
    TSimMeteorTruth& t = path.truth;
    t.skyPath = m.skyPath;
    t.startSky = m.skyPath.empty() ? sky(m.startSky, m.startPixel) : m.skyPath.front();
    t.endSky = m.skyPath.empty() ? sky(m.endSky, m.endPixel) : m.skyPath.back();
    const auto a = camera.project(t.startSky), b = camera.project(t.endSky);
    if (!a || !b) throw EInvalidArgument(TDiagnostic(Code::SimMeteorBehindCamera));
    t.startX = a->first, t.startY = clipRow(clip, a->second), t.endX = b->first, t.endY = clipRow(clip, b->second);
    t.firstFrame = m.firstFrame;
    t.lastFrame = m.firstFrame + m.frames - 1;
    t.peakMagnitude = m.peakMagnitude;
    t.startPhase = m.startPhase, t.endPhase = m.endPhase;
    t.lightCurve = m.lightCurve;
    path.start = unitVector(t.startSky);
    path.end = unitVector(t.endSky);
    path.angle = std::acos(std::clamp(dot(path.start, path.end), -1.0, 1.0));
    path.path = unitVectors(m.skyPath);
    if (path.path.empty() && path.angle > std::numbers::pi - 1e-9)
        throw EInvalidArgument(TDiagnostic(Code::SimMeteorEndsAntipodal));
    path.frames = m.frames;
    path.lit = m.startPhase;
    path.out = (m.frames - 1) + m.endPhase;

    for (int j = 0; j < m.frames; ++j) {
        const auto [lo, hi] = path.shining(j, 0, 1);
        if (m.lightCurve == TSimLightCurve::Symmetric) {
            // Steady within a frame: its magnitude less the part of the
            // exposure it missed (log10(1) is exactly 0).
            const double middle = (m.frames - 1) / 2.0;
            t.frameMagnitudes.push_back(m.peakMagnitude + std::fabs(j - middle) / (middle + 1) -
                                        2.5 * std::log10(hi - lo));
        } else {
            constexpr int kSteps = 256;
            double light = 0;
            for (int k = 0; k < kSteps; ++k)
                light += path.rate(path.along(j + lo + (k + 0.5) / kSteps * (hi - lo)), j, zeroPoint);
            t.frameMagnitudes.push_back(-2.5 * std::log10(light * (hi - lo) / kSteps / zeroPoint));
        }
        const auto head = camera.project(skyPoint(path.at(path.along(j + hi))));
        if (!head) throw EInvalidArgument(TDiagnostic(Code::SimMeteorBehindCamera));
        t.frameHeads.emplace_back(head->first, clipRow(clip, head->second));
    }
    return path;
}

// The number of spots a frame's stretch of a moving light is drawn with: at
// least 8, and no more than half a PSF sigma apart, so a fast meteor is a
// smooth streak rather than a row of beads.
int sampleCount(const std::optional<std::pair<double, double>>& from,
                const std::optional<std::pair<double, double>>& to, double sigma) {
    constexpr int kMinimum = 8, kMaximum = 4096;
    if (!from || !to) return kMinimum;
    const double length = std::hypot(to->first - from->first, to->second - from->second);
    return static_cast<int>(std::clamp(std::ceil(2 * length / sigma), double(kMinimum), double(kMaximum)));
}

// Adds the light a meteor sends during [from, to] of its frame j's time
// (fractions of the frame), as an exposure of that length records it: the
// light is divided by the exposure's length, so a field exposed for half a
// frame shows the sky as bright as a whole frame does.
void exposeMeteor(Canvas& canvas, const MeteorPath& m, int j, double from, double to, const TSimCamera& camera,
                  double sigma, double zeroPoint) {
    const auto [lo, hi] = m.shining(j, from, to);
    if (!(hi > lo)) return;
    auto at = [&](double along) { return camera.project(skyPoint(m.at(along))); };
    const int samples = sampleCount(at(m.along(j + lo)), at(m.along(j + hi)), sigma);
    for (int k = 0; k < samples; ++k) {
        const double along = m.along(j + (lo + (k + 0.5) / samples * (hi - lo)));
        const double flux = m.rate(along, j, zeroPoint) * (hi - lo) / samples;
        if (const auto p = at(along)) canvas.addSpot(p->first, p->second, flux / (to - from), sigma);
    }
}

// Adds an aeroplane's or satellite's light during [from, to] of clip frame
// f's time, as exposeMeteor does.
void exposeLight(Canvas& canvas, const TSimMovingLight& l, const TSimTruth& clip, int f, double from, double to,
                 double sigma, double zeroPoint) {
    const int k = f - l.firstFrame;
    if (k < 0 || k >= l.frames) return;
    const bool blinking = l.blinkPeriod > 0 && k % l.blinkPeriod < l.blinkOnFrames;
    const double flux = fluxOf(blinking ? l.blinkMagnitude : l.magnitude, zeroPoint);
    auto at = [&](double time) {
        const double u = time / l.frames;
        return std::optional<std::pair<double, double>>(
            {l.startPixel.first + u * (l.endPixel.first - l.startPixel.first),
             pictureRow(clip, l.startPixel.second + u * (l.endPixel.second - l.startPixel.second))});
    };
    const int samples = sampleCount(at(k + from), at(k + to), sigma);
    for (int i = 0; i < samples; ++i) {
        const auto p = at(k + from + (i + 0.5) / samples * (to - from));
        canvas.addSpot(p->first, p->second, flux / samples, sigma);
    }
}

// The frame through a JPEG encoding and decoding at the given quality, as
// a Motion-JPEG clip delivers it. Rows from the top. No object with a
// destructor may live in the frames that libjpeg may leave by longjmp.
struct JpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }
void jpegIgnoreMessage(j_common_ptr) {}

bool encodeJpeg(const uint8_t* pixels, int width, int height, int quality, unsigned char** out, unsigned long* size) {
    jpeg_compress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.output_message = jpegIgnoreMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(pixels + static_cast<std::size_t>(cinfo.next_scanline) * width);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool decodeJpeg(const unsigned char* data, unsigned long size, uint8_t* pixels, int width, int height) {
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.output_message = jpegIgnoreMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != static_cast<JDIMENSION>(width) || cinfo.output_height != static_cast<JDIMENSION>(height) ||
        cinfo.output_components != 1) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels + static_cast<std::size_t>(cinfo.output_scanline) * width;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

void jpegRoundTrip(std::vector<uint8_t>& pixels, int width, int height, int quality) {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool encoded = encodeJpeg(pixels.data(), width, height, quality, &buffer, &size);
    const std::unique_ptr<unsigned char, decltype(&std::free)> owned(buffer, &std::free);
    if (!encoded || !decodeJpeg(owned.get(), size, pixels.data(), width, height))
        throw Exception(TDiagnostic(Code::SimJpegRoundTripFailed));
}

std::string lightCurveName(TSimLightCurve c) {
    switch (c) {
        case TSimLightCurve::Symmetric: return "symmetric";
        case TSimLightCurve::Rising: return "rising";
        case TSimLightCurve::Falling: return "falling";
        case TSimLightCurve::EarlyFlare: return "early flare";
    }
    return "";
}

std::string weaveName(TSimWeave w) {
    switch (w) {
        case TSimWeave::None: return "none";
        case TSimWeave::UpperFieldFirst: return "upper field first";
        case TSimWeave::LowerFieldFirst: return "lower field first";
    }
    return "";
}

std::string jsonSkyPixel(TSkyPoint sky, double x, double y) {
    return "{\"ra\": " + jsonNumber(sky.ra) + ", \"dec\": " + jsonNumber(sky.dec) + ", \"x\": " + jsonNumber(x) +
           ", \"y\": " + jsonNumber(y) + "}";
}

}  // namespace

std::string jsonNumber(double v) { return std::isfinite(v) ? floatToText(v) : "null"; }

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char* hex = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// ---------------------------------------------------------------------------
// Camera

TSimCamera::TSimCamera(TSkyPoint pointing, double rollDegrees, int width, int height, double pixelsPerRadian,
                       double radialDistortion, bool mirrored)
    : centreX_(width / 2), centreY_(height / 2), scale_(pixelsPerRadian), distortion_(radialDistortion),
      mirrored_(mirrored) {
    const double ca = std::cos(pointing.ra * kDeg), sa = std::sin(pointing.ra * kDeg);
    const double cd = std::cos(pointing.dec * kDeg), sd = std::sin(pointing.dec * kDeg);
    const Vec3 west{sa, -ca, 0}, north{-sd * ca, -sd * sa, cd}, axis = unitVector(pointing);
    // Rows: standard coordinates (X west, Y north, as the binding's), then
    // turned by the roll within the picture plane.
    const double cr = std::cos(rollDegrees * kDeg), sr = std::sin(rollDegrees * kDeg);
    const Mat3 roll{{{cr, -sr, 0}, {sr, cr, 0}, {0, 0, 1}}};
    const Mat3 m = multiply(roll, Mat3{west, north, axis});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) rotation_[static_cast<std::size_t>(3 * i + j)] = m[i][j];
}

std::optional<std::pair<double, double>> TSimCamera::project(TSkyPoint sky) const {
    const Mat3 m{{{rotation_[0], rotation_[1], rotation_[2]},
                  {rotation_[3], rotation_[4], rotation_[5]},
                  {rotation_[6], rotation_[7], rotation_[8]}}};
    const Vec3 c = timesVector(m, unitVector(sky));
    if (c[2] <= 0) return std::nullopt;
    const double dx = (mirrored_ ? -scale_ : scale_) * c[0] / c[2], dy = -scale_ * c[1] / c[2];
    const double f = 1 + distortion_ * (dx * dx + dy * dy) / 1e4;
    return std::pair{centreX_ + dx * f, centreY_ + dy * f};
}

TSkyPoint TSimCamera::unproject(double x, double y) const {
    double dx = x - centreX_, dy = y - centreY_;
    const double rd = std::hypot(dx, dy) / 100;
    if (distortion_ != 0 && rd > 0) {
        // r + k1 r^3 = rd by Newton's method from r = rd; monotonic as long as
        // the distortion does not fold the picture over.
        double r = rd;
        for (int i = 0; i < 50; ++i) {
            const double slope = 1 + 3 * distortion_ * r * r;
            if (slope <= 0) break;
            const double step = (r + distortion_ * r * r * r - rd) / slope;
            r -= step;
            if (std::fabs(step) < 1e-15 * (1 + r)) break;
        }
        dx *= r / rd;
        dy *= r / rd;
    }
    const Mat3 m{{{rotation_[0], rotation_[1], rotation_[2]},
                  {rotation_[3], rotation_[4], rotation_[5]},
                  {rotation_[6], rotation_[7], rotation_[8]}}};
    if (mirrored_) dx = -dx;
    return skyPoint(transposedTimesVector(m, {dx / scale_, -dy / scale_, 1}));
}

namespace {

TSimCamera cameraOf(const TSimTruth& t) {
    return TSimCamera(t.pointing, t.rollDegrees, t.width, t.height, t.pixelsPerRadian, t.radialDistortion, t.mirrored);
}

}  // namespace

TSkyPoint skyAtClipPixel(const TSimTruth& truth, double x, double y) {
    return cameraOf(truth).unproject(x, pictureRow(truth, y));
}

std::pair<double, double> meteorPixelAt(const TSimTruth& truth, const TSimMeteorTruth& meteor, double along) {
    const Vec3 a = unitVector(meteor.startSky), b = unitVector(meteor.endSky);
    const double angle = std::acos(std::clamp(dot(a, b), -1.0, 1.0));
    const Vec3 at = meteor.skyPath.empty() ? slerp(a, b, angle, along) : pathPoint(unitVectors(meteor.skyPath), along);
    const auto p = cameraOf(truth).project(skyPoint(at));
    if (!p) throw EInvalidArgument(TDiagnostic(Code::SimMeteorBehindCamera));
    return {p->first, clipRow(truth, p->second)};
}

TSkyPoint pointingFromAzAlt(double azimuth, double altitude, double latitude, double lmstDegrees) {
    const double ch = std::cos(altitude * kDeg);
    const Vec3 horizontal{ch * std::cos(azimuth * kDeg), ch * std::sin(azimuth * kDeg), std::sin(altitude * kDeg)};
    return skyPoint(transposedTimesVector(horizontalFromEquatorial(latitude, lmstDegrees), horizontal));
}

// ---------------------------------------------------------------------------
// Clip

TSimTruth simulateClip(const TSimSettings& settings, const std::string& stationDirectory) {
    validate(settings);
    const TSimSettings& s = settings;

    TSimTruth truth{};
    truth.localStart = s.localStart;
    truth.ut = s.localStart - s.timeZone / 24.0;
    const DateTimeParts t = decodeDateTime(truth.ut);
    const double hour = t.hour + t.minute / 60.0 + (t.second + t.millisecond / 1000.0) / 3600.0;
    truth.lmstDegrees = LMST(MJD(t.day, t.month, t.year, hour), s.longitude) * 15.0;
    truth.pointing = s.pointingSky ? *s.pointingSky
                                   : pointingFromAzAlt(s.pointingAzAlt->first, s.pointingAzAlt->second, s.latitude,
                                                       truth.lmstDegrees);
    truth.rollDegrees = s.rollDegrees;
    truth.mirrored = s.mirrored;
    truth.pixelsPerRadian = s.focalLength * s.frameScale;
    truth.radialDistortion = s.radialDistortion;
    truth.width = s.width, truth.height = s.height, truth.fields = s.fields;
    truth.fps = s.fps, truth.frameCount = s.frameCount;
    truth.weave = s.weave, truth.photonGain = s.photonGain, truth.jpegQuality = s.jpegQuality;
    truth.twinkle = s.twinkle, truth.lights = s.lights;
    const int rows = s.fields ? s.height / 2 : s.height;  // of the clip's frames

    const TSimCamera camera = cameraOf(truth);
    const Mat3 horizon = horizontalFromEquatorial(s.latitude, truth.lmstDegrees);

    // The sky does not move on the picture during a clip of a few seconds
    // (15"/s, a fraction of a pixel), so the stars are placed once, as at
    // frame 0, and rendered once unless they twinkle. Stars below the horizon
    // are left out, as the binding leaves them out of its catalog.
    struct Spot {
        double x, y, flux;
    };
    std::vector<Spot> twinkling;
    Canvas sky{s.width, s.height, std::vector<double>(static_cast<std::size_t>(s.width) * s.height, s.skyLevel)};
    if (!s.catalogPath.empty()) {
        const double margin = 4 * s.psfSigma + 1;  // spots outside whose wings reach the picture
        for (const CatalogStar& c : readCatalog(s.catalogPath, s.limitingMagnitude)) {
            if (timesVector(horizon, unitVector({c.ra, c.dec}))[2] <= 0) continue;
            const auto p = camera.project({c.ra, c.dec});
            if (!p) continue;
            const auto [x, y] = *p;
            if (x < -margin || y < -margin || x > s.width - 1 + margin || y > s.height - 1 + margin) continue;
            if (s.twinkle > 0)
                twinkling.push_back({x, y, fluxOf(c.magnitude, s.zeroPointFlux)});
            else
                sky.addSpot(x, y, fluxOf(c.magnitude, s.zeroPointFlux), s.psfSigma);
            const double row = clipRow(truth, y);
            if (x >= -0.5 && x < s.width - 0.5 && row >= -0.5 && row < rows - 0.5)
                truth.stars.push_back({c.ra, c.dec, c.magnitude, x, row});
        }
    }

    std::vector<MeteorPath> meteors;
    for (const TSimMeteor& m : s.meteors) {
        meteors.push_back(resolveMeteor(m, camera, truth, s.zeroPointFlux));
        truth.meteors.push_back(meteors.back().truth);
    }

    // Draws of the options each come from their own generator, so the read
    // noise of a clip without them is the one it always was.
    std::mt19937 hotRng(s.seed ^ 0x6a09e667u), twinkleRng(s.seed ^ 0xbb67ae85u), photonRng(s.seed ^ 0x3c6ef372u);
    std::vector<std::pair<std::pair<int, int>, uint8_t>> hot;
    for (int i = 0; i < s.hotPixels; ++i) {
        const int x = std::uniform_int_distribution<int>(0, s.width - 1)(hotRng);
        const int y = std::uniform_int_distribution<int>(0, rows - 1)(hotRng);
        hot.push_back({{x, y}, static_cast<uint8_t>(std::uniform_int_distribution<int>(120, 255)(hotRng))});
        truth.hotPixels.emplace_back(x, y);
    }

    const std::string nightDir = nightDirectory(stationDirectory, s.localStart);
    ensureDirectory(nightDir);
    truth.clipPath = eventClipPath(nightDir, s.localStart);

    TAviWriter writer(truth.clipPath, s.width, rows, 8, static_cast<uint32_t>(s.fps));
    std::mt19937 rng(s.seed);
    std::normal_distribution<double> noise(0.0, s.noiseSigma > 0 ? s.noiseSigma : 1.0);
    std::normal_distribution<double> standard(0.0, 1.0);
    // A woven frame is two exposures of half the frame time, one per field.
    const bool woven = s.weave != TSimWeave::None;
    std::vector<Canvas> exposures(woven ? 2 : 1, sky);
    std::vector<uint8_t> picture(static_cast<std::size_t>(s.width) * rows), bytes(picture.size());
    for (int f = 0; f < s.frameCount; ++f) {
        std::vector<double> twinkles;
        for (std::size_t i = 0; i < twinkling.size(); ++i)
            twinkles.push_back(std::max(0.0, 1 + s.twinkle * standard(twinkleRng)));
        for (std::size_t e = 0; e < exposures.size(); ++e) {
            Canvas& frame = exposures[e];
            const double from = woven ? 0.5 * static_cast<double>(e) : 0.0, to = woven ? from + 0.5 : 1.0;
            frame.pixels = sky.pixels;
            for (std::size_t i = 0; i < twinkling.size(); ++i)
                frame.addSpot(twinkling[i].x, twinkling[i].y, twinkling[i].flux * twinkles[i], s.psfSigma);
            for (const MeteorPath& m : meteors)
                if (f >= m.truth.firstFrame && f <= m.truth.lastFrame)
                    exposeMeteor(frame, m, f - m.truth.firstFrame, from, to, camera, s.psfSigma, s.zeroPointFlux);
            for (const TSimMovingLight& l : s.lights)
                exposeLight(frame, l, truth, f, from, to, s.psfSigma, s.zeroPointFlux);
        }
        for (int y = 0; y < rows; ++y) {
            const auto source = static_cast<std::size_t>(pictureRow(truth, y));
            // Which exposure the row shows: the first field's rows are the
            // even ones when the upper field comes first.
            const bool laterField = woven && ((source % 2 == 0) != (s.weave == TSimWeave::UpperFieldFirst));
            const double* src = &exposures[laterField ? 1 : 0].pixels[source * s.width];
            uint8_t* dst = &picture[static_cast<std::size_t>(y) * s.width];
            for (int x = 0; x < s.width; ++x) {
                double v = src[x];
                if (s.photonGain > 0) {
                    // Electrons counted; above a few dozen the count is
                    // Gaussian closely enough and much quicker to draw.
                    const double electrons = std::max(v, 0.0) * s.photonGain;
                    v = (electrons <= 0    ? 0.0
                         : electrons < 30 ? std::poisson_distribution<int>(electrons)(photonRng)
                                          : electrons + std::sqrt(electrons) * standard(photonRng)) /
                        s.photonGain;
                }
                v += s.noiseSigma > 0 ? noise(rng) : 0.0;
                dst[x] = static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
            }
        }
        for (const auto& [at, level] : hot) picture[static_cast<std::size_t>(at.second) * s.width + at.first] = level;
        if (s.jpegQuality > 0) jpegRoundTrip(picture, s.width, rows, s.jpegQuality);
        // Bottom row first, as the clip stores it.
        for (int y = 0; y < rows; ++y)
            std::copy_n(picture.begin() + static_cast<std::ptrdiff_t>(y) * s.width, s.width,
                        bytes.begin() + static_cast<std::ptrdiff_t>(rows - 1 - y) * s.width);
        writer.writeFrame(bytes);
    }
    writer.close();

    const std::string stem = truth.clipPath.substr(0, truth.clipPath.size() - 4);
    writeFileAtomically(stem + ".truth.json", truthToJson(truth));
    return truth;
}

std::string truthToJson(const TSimTruth& truth) {
    constexpr std::string_view kTimeFormat = "yyyy-mm-ddThh:nn:ss.zzz";
    std::string j = "{\n";
    j += "  \"clip\": " + jsonString(truth.clipPath) + ",\n";
    j += "  \"ut\": " + jsonString(formatDateTime(kTimeFormat, truth.ut)) + ",\n";
    j += "  \"utDateTime\": " + jsonNumber(truth.ut) + ",\n";
    j += "  \"localStart\": " + jsonString(formatDateTime(kTimeFormat, truth.localStart)) + ",\n";
    j += "  \"lmst\": " + jsonNumber(truth.lmstDegrees) + ",\n";
    j += "  \"pointing\": {\"ra\": " + jsonNumber(truth.pointing.ra) + ", \"dec\": " + jsonNumber(truth.pointing.dec) +
         "},\n";
    j += "  \"roll\": " + jsonNumber(truth.rollDegrees) + ", \"mirrored\": " + (truth.mirrored ? "true" : "false") +
         ", \"fields\": " + (truth.fields ? "true" : "false") + ",\n";
    j += "  \"width\": " + std::to_string(truth.width) + ", \"height\": " + std::to_string(truth.height) +
         ", \"fps\": " + std::to_string(truth.fps) + ", \"frameCount\": " + std::to_string(truth.frameCount) + ",\n";
    j += "  \"stars\": [";
    for (std::size_t i = 0; i < truth.stars.size(); ++i) {
        const TSimStar& s = truth.stars[i];
        j += i == 0 ? "\n" : ",\n";
        j += "    {\"ra\": " + jsonNumber(s.ra) + ", \"dec\": " + jsonNumber(s.dec) + ", \"mag\": " +
             jsonNumber(s.magnitude) + ", \"x\": " + jsonNumber(s.x) + ", \"y\": " + jsonNumber(s.y) + "}";
    }
    j += truth.stars.empty() ? "],\n" : "\n  ],\n";
    j += "  \"meteors\": [";
    for (std::size_t i = 0; i < truth.meteors.size(); ++i) {
        const TSimMeteorTruth& m = truth.meteors[i];
        j += i == 0 ? "\n" : ",\n";
        j += "    {\"start\": " + jsonSkyPixel(m.startSky, m.startX, m.startY) + ",\n";
        j += "     \"end\": " + jsonSkyPixel(m.endSky, m.endX, m.endY) + ",\n";
        j += "     \"firstFrame\": " + std::to_string(m.firstFrame) + ", \"lastFrame\": " + std::to_string(m.lastFrame) +
             ", \"peakMagnitude\": " + jsonNumber(m.peakMagnitude) + ",\n";
        j += "     \"startPhase\": " + jsonNumber(m.startPhase) + ", \"endPhase\": " + jsonNumber(m.endPhase) +
             ", \"lightCurve\": " + jsonString(lightCurveName(m.lightCurve)) + ",\n";
        j += "     \"frameMagnitudes\": [";
        for (std::size_t k = 0; k < m.frameMagnitudes.size(); ++k)
            j += (k == 0 ? "" : ", ") + jsonNumber(m.frameMagnitudes[k]);
        j += "],\n     \"frameHeads\": [";
        for (std::size_t k = 0; k < m.frameHeads.size(); ++k)
            j += std::string(k == 0 ? "" : ", ") + "{\"x\": " + jsonNumber(m.frameHeads[k].first) +
                 ", \"y\": " + jsonNumber(m.frameHeads[k].second) + "}";
        j += "]";
        // Only a meteor given by its path has one: other truths stay as they were.
        if (!m.skyPath.empty()) {
            j += ",\n     \"skyPath\": [";
            for (std::size_t k = 0; k < m.skyPath.size(); ++k)
                j += std::string(k == 0 ? "" : ", ") + "{\"ra\": " + jsonNumber(m.skyPath[k].ra) +
                     ", \"dec\": " + jsonNumber(m.skyPath[k].dec) + "}";
            j += "]";
        }
        j += "}";
    }
    j += truth.meteors.empty() ? "],\n" : "\n  ],\n";
    j += "  \"weave\": " + jsonString(weaveName(truth.weave)) + ", \"photonGain\": " + jsonNumber(truth.photonGain) +
         ", \"jpegQuality\": " + std::to_string(truth.jpegQuality) + ", \"twinkle\": " + jsonNumber(truth.twinkle) +
         ",\n";
    j += "  \"hotPixels\": [";
    for (std::size_t k = 0; k < truth.hotPixels.size(); ++k)
        j += std::string(k == 0 ? "" : ", ") + "{\"x\": " + std::to_string(truth.hotPixels[k].first) +
             ", \"y\": " + std::to_string(truth.hotPixels[k].second) + "}";
    j += "],\n  \"lights\": [";
    for (std::size_t k = 0; k < truth.lights.size(); ++k) {
        const TSimMovingLight& l = truth.lights[k];
        j += k == 0 ? "\n" : ",\n";
        j += "    {\"start\": {\"x\": " + jsonNumber(l.startPixel.first) + ", \"y\": " + jsonNumber(l.startPixel.second) +
             "}, \"end\": {\"x\": " + jsonNumber(l.endPixel.first) + ", \"y\": " + jsonNumber(l.endPixel.second) +
             "}, \"firstFrame\": " + std::to_string(l.firstFrame) +
             ", \"lastFrame\": " + std::to_string(l.firstFrame + l.frames - 1) + ", \"magnitude\": " +
             jsonNumber(l.magnitude) + ", \"blinkPeriod\": " + std::to_string(l.blinkPeriod) +
             ", \"blinkOnFrames\": " + std::to_string(l.blinkOnFrames) + ", \"blinkMagnitude\": " +
             jsonNumber(l.blinkMagnitude) + "}";
    }
    j += truth.lights.empty() ? "]\n" : "\n  ]\n";
    return j + "}\n";
}

}  // namespace orbis
