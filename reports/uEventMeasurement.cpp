#include "reports/uEventMeasurement.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

namespace {

using nlohmann::json;

constexpr const char* kFormat = "orbisight-event-measurement";
constexpr int kVersion = 1;
// A clip holds at most F999; a file of more frames, or larger than the
// frames and plate of such a clip could make it, is no event file.
constexpr std::size_t kMostFrames = 999;
constexpr std::size_t kLargestFile = 4 << 20;
// Julian dates from 1900 to 2200.
constexpr double kEarliestJd = 2415020.5, kLatestJd = 2524593.5;

json optionalNumber(const std::optional<double>& v) { return v ? json(*v) : json(nullptr); }

// The reader: every member it knows must be there with its type and within
// its range; members it does not know are left for newer readers.
class Reader {
public:
    explicit Reader(std::filesystem::path file) : file_(std::move(file)) {}

    [[noreturn]] void fail(const std::string& field) const {
        throw EConvertError(
            TDiagnostic(Code::EventMeasurementDamaged).with("file", file_.string()).with("field", field));
    }

    const json& member(const json& object, const char* key, const std::string& where) const {
        const std::string field = where.empty() ? key : where + "." + key;
        if (!object.is_object()) fail(where);
        const auto it = object.find(key);
        if (it == object.end()) fail(field);
        return *it;
    }

    double number(const json& object, const char* key, const std::string& where, double low, double high) const {
        const json& v = member(object, key, where);
        if (!v.is_number()) fail(where.empty() ? key : where + "." + key);
        const double d = v.get<double>();
        if (!(std::isfinite(d) && d >= low && d <= high)) fail(where.empty() ? key : where + "." + key);
        return d;
    }

    std::optional<double> optionalNumber(const json& object, const char* key, const std::string& where, double low,
                                         double high) const {
        if (member(object, key, where).is_null()) return std::nullopt;
        return number(object, key, where, low, high);
    }

    int64_t integer(const json& object, const char* key, const std::string& where, int64_t low, int64_t high) const {
        const json& v = member(object, key, where);
        if (!v.is_number_integer()) fail(where.empty() ? key : where + "." + key);
        const int64_t i = v.is_number_unsigned() && v.get<uint64_t>() > static_cast<uint64_t>(high)
                              ? high + 1
                              : v.get<int64_t>();
        if (i < low || i > high) fail(where.empty() ? key : where + "." + key);
        return i;
    }

    bool boolean(const json& object, const char* key, const std::string& where) const {
        const json& v = member(object, key, where);
        if (!v.is_boolean()) fail(where.empty() ? key : where + "." + key);
        return v.get<bool>();
    }

    std::string text(const json& object, const char* key, const std::string& where) const {
        const json& v = member(object, key, where);
        if (!v.is_string()) fail(where.empty() ? key : where + "." + key);
        return v.get<std::string>();
    }

    // "YYYY-MM-DDTHH:MM:SS.mmmZ", a real date and time.
    std::string utc(const json& object, const char* key, const std::string& where) const {
        const std::string t = text(object, key, where);
        static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd.dddZ";
        bool ok = t.size() == kShape.size();
        for (std::size_t i = 0; ok && i < t.size(); ++i)
            ok = kShape[i] == 'd' ? (t[i] >= '0' && t[i] <= '9') : t[i] == kShape[i];
        if (ok) {
            const auto n = [&](std::size_t at, std::size_t len) { return std::stoi(t.substr(at, len)); };
            ok = isValidDateTime({n(0, 4), n(5, 2), n(8, 2), n(11, 2), n(14, 2), n(17, 2), n(20, 3)});
        }
        if (!ok) fail(where.empty() ? key : where + "." + key);
        return t;
    }

private:
    std::filesystem::path file_;
};

}  // namespace

void writeEventMeasurement(const std::filesystem::path& file, const TEventMeasurement& m) {
    json frames = json::array();
    for (const TFrameMeasurement& f : m.frames) {
        frames.push_back({{"frame", f.frame},
                          {"x", f.x},
                          {"y", f.y},
                          {"interpolated", f.interpolated},
                          {"ra", f.ra},
                          {"dec", f.dec},
                          {"azimuth", f.azimuth},
                          {"altitude", f.altitude},
                          {"jdUt", f.jdUt},
                          {"utc", f.utc},
                          {"time", f.time},
                          {"magnitude", optionalNumber(f.magnitude)},
                          {"brightness", f.brightness}});
    }
    const json doc = {
        {"format", kFormat},
        {"version", kVersion},
        {"event", m.event},
        {"station",
         {{"camera", m.camera}, {"latitude", m.latitude}, {"longitude", m.longitude}, {"height", m.height}}},
        {"clip",
         {{"framesPerSecond", m.framesPerSecond},
          {"interlaced", m.interlaced},
          {"startUtc", m.clipStartUtc},
          {"startJdUt", m.clipStartJdUt}}},
        {"plate",
         {{"ra", m.plateRa},
          {"dec", m.plateDec},
          {"scale", m.plateScale},
          {"residualRms", m.residualRms},
          {"referenceStars", m.referenceStars},
          {"residuals", m.starResiduals}}},
        {"frames", std::move(frames)},
    };
    // A camera name that is no UTF-8 must not stop the file: its bad bytes
    // become U+FFFD.
    writeFileAtomically(file, doc.dump(1, '\t', false, json::error_handler_t::replace) + "\n");
}

TEventMeasurement readEventMeasurement(const std::filesystem::path& file) {
    const Reader r(file);
    const std::string bytes = readFileBytes(file);
    if (bytes.size() > kLargestFile) r.fail("");
    json doc;
    try {
        doc = json::parse(bytes);
    } catch (const json::exception&) {
        r.fail("");
    }
    if (!doc.is_object()) r.fail("");
    if (r.text(doc, "format", "") != kFormat) r.fail("format");
    if (r.integer(doc, "version", "", kVersion, kVersion) != kVersion) r.fail("version");

    TEventMeasurement m;
    m.event = r.text(doc, "event", "");
    const json& station = r.member(doc, "station", "");
    m.camera = r.text(station, "camera", "station");
    m.latitude = r.number(station, "latitude", "station", -90, 90);
    m.longitude = r.number(station, "longitude", "station", -180, 180);
    m.height = r.number(station, "height", "station", -1000, 10000);
    const json& clip = r.member(doc, "clip", "");
    m.framesPerSecond = r.number(clip, "framesPerSecond", "clip", 0.1, 1000);
    m.interlaced = r.boolean(clip, "interlaced", "clip");
    m.clipStartUtc = r.utc(clip, "startUtc", "clip");
    m.clipStartJdUt = r.number(clip, "startJdUt", "clip", kEarliestJd, kLatestJd);
    const json& plate = r.member(doc, "plate", "");
    m.plateRa = r.number(plate, "ra", "plate", 0, 360);
    m.plateDec = r.number(plate, "dec", "plate", -90, 90);
    m.plateScale = r.number(plate, "scale", "plate", 0, 36000);
    m.residualRms = r.number(plate, "residualRms", "plate", 0, 36000);
    m.referenceStars = static_cast<int>(r.integer(plate, "referenceStars", "plate", 3, 100000));
    const json& residuals = r.member(plate, "residuals", "plate");
    if (!residuals.is_array() || residuals.size() != static_cast<std::size_t>(m.referenceStars)) r.fail("plate.residuals");
    for (std::size_t i = 0; i < residuals.size(); ++i) {
        const json& v = residuals[i];
        if (!v.is_number() || !(v.get<double>() >= 0 && v.get<double>() <= 36000)) r.fail("plate.residuals");
        m.starResiduals.push_back(v.get<double>());
    }

    const json& frames = r.member(doc, "frames", "");
    if (!frames.is_array() || frames.empty() || frames.size() > kMostFrames) r.fail("frames");
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const json& f = frames[i];
        const std::string at = "frames[" + std::to_string(i) + "]";
        TFrameMeasurement fm;
        fm.frame = static_cast<int>(r.integer(f, "frame", at, 1, 999));
        // Frames in order, none twice: the times and the speed come from them.
        if (!m.frames.empty() && fm.frame <= m.frames.back().frame) r.fail(at + ".frame");
        fm.x = r.number(f, "x", at, -65536, 65536);
        fm.y = r.number(f, "y", at, -65536, 65536);
        fm.interpolated = r.boolean(f, "interpolated", at);
        fm.ra = r.number(f, "ra", at, 0, 360);
        fm.dec = r.number(f, "dec", at, -90, 90);
        fm.azimuth = r.number(f, "azimuth", at, 0, 360);
        fm.altitude = r.number(f, "altitude", at, -90, 90);
        fm.jdUt = r.number(f, "jdUt", at, kEarliestJd, kLatestJd);
        fm.utc = r.utc(f, "utc", at);
        fm.time = r.number(f, "time", at, 0, 3600);
        if (!m.frames.empty() && !(fm.time > m.frames.back().time)) r.fail(at + ".time");
        fm.magnitude = r.optionalNumber(f, "magnitude", at, -30, 30);
        fm.brightness = r.integer(f, "brightness", at, 0, std::numeric_limits<int64_t>::max());
        m.frames.push_back(std::move(fm));
    }
    return m;
}

}  // namespace orbis
