#include "processing/uWorkFiles.h"

#include <algorithm>
#include <cmath>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

namespace {

// The brightness sum of a spot cannot pass 255 in every pixel of the
// largest picture.
constexpr double kLargestBrightnessSum = 255.0 * kLargestWorkPictureSide * kLargestWorkPictureSide;

// One record of a work file, its fields checked one by one; every refusal
// names the file, the line (from 1) and the field.
class TRecord {
public:
    TRecord(const std::string& line, const std::string& path, std::size_t index)
        : fields_(splitAll(line)), path_(path), index_(index) {}

    std::size_t fieldCount() const { return fields_.size(); }
    const std::string& text(int k) const { return fields_[static_cast<std::size_t>(k - 1)]; }

    // The record's place: file and line (from 1).
    TDiagnostic located(Code code) const { return TDiagnostic(code).with("file", path_).with("line", index_ + 1); }
    // Field k of the record and its text, with the kind of value it should
    // hold ("rightAscension", "frameNumber") for the refusals that need it.
    [[noreturn]] void refuseField(int k, Code code, const char* kind = nullptr) const {
        TDiagnostic d = located(code).with("field", k).with("text", text(k));
        if (kind) d.with("kind", kind);
        throw EConvertError(std::move(d));
    }

    void requireFields(std::size_t count, const char* layout) const {
        if (fields_.size() != count) {
            throw EConvertError(
                located(Code::WorkFieldCount).with("count", fields_.size()).with("expected", count).with("layout", layout));
        }
    }

    // A finite number within [low, high].
    double number(int k, double low, double high, const char* kind) const {
        double value = 0;
        try {
            value = parseFloat(text(k));
        } catch (const EConvertError&) {
            refuseField(k, Code::WorkFieldNotANumber, kind);
        }
        if (!(value >= low && value <= high)) {
            throw EConvertError(located(Code::WorkFieldOutOfRange)
                                    .with("field", k)
                                    .with("text", text(k))
                                    .with("kind", kind)
                                    .with("low", floatToText(low))
                                    .with("high", floatToText(high)));
        }
        return value;
    }

    // A whole number within [low, high].
    int64_t whole(int k, double low, double high, const char* kind) const {
        const double value = number(k, low, high, kind);
        if (value != std::trunc(value)) refuseField(k, Code::WorkFieldNotWhole, kind);
        return static_cast<int64_t>(value);
    }

    // A pixel position on the picture or within one picture's size of it.
    double pixel(int k, int size) const {
        return number(k, -static_cast<double>(size), 2.0 * size, "pixel");
    }

    double ra(int k) const { return number(k, 0, 360, "rightAscension"); }
    double dec(int k) const { return number(k, -90, 90, "declination"); }
    double magnitude(int k) const {
        return number(k, -kWorkMagnitudeLimit, kWorkMagnitudeLimit, "magnitude");
    }

private:
    // Every field, whole: splitFields cuts long fields, which would hide
    // the damage from the message.
    static std::vector<std::string> splitAll(const std::string& line) {
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (;;) {
            const std::size_t bar = line.find('|', from);
            fields.push_back(line.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
            if (bar == std::string::npos) return fields;
            from = bar + 1;
        }
    }

    std::vector<std::string> fields_;
    const std::string& path_;
    std::size_t index_;
};

constexpr const char* kStarListLayout = "0|0|x|y|sum|count";
constexpr const char* kMagnitudeListLayout = "0|0|x|y|sum|count|magnitude";
constexpr const char* kIdentifiedLayout = "ra|dec|x|y|magnitude|name|spectrum";
constexpr const char* kTrackLayout = "ra|dec|x|y|frame|value|START/FINISH|";
constexpr const char* kTrackFileLayout = "0|0|x|y|frame|value|START/FINISH";

TIdentifiedStar identifiedStar(const TRecord& r, std::size_t index, TWorkPicture picture) {
    r.requireFields(7, kIdentifiedLayout);
    TIdentifiedStar s;
    s.line = index;
    s.ra = r.ra(1);
    s.dec = r.dec(2);
    s.x = r.pixel(3, picture.width);
    s.y = r.pixel(4, picture.height);
    s.magnitude = r.magnitude(5);
    s.magnitudeText = r.text(5);
    s.name = r.text(6);
    s.spectrum = r.text(7);
    return s;
}

// The picture whose middle a centre line's pixel is.
TWorkPicture pictureAroundCentre(const TIdentifiedStar& centre) {
    return {std::max(1, 2 * static_cast<int>(centre.x) + 1), std::max(1, 2 * static_cast<int>(centre.y) + 1)};
}

}  // namespace

bool isBlankWorkLine(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

const TAstrometryEntry* TAstrometryFile::last(TAstrometryKind kind) const {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->kind == kind) return &*it;
    return nullptr;
}

std::vector<TListedStar> parseStarList(const std::vector<std::string>& lines, const std::string& path,
                                       TWorkPicture picture, bool withMagnitudes) {
    std::vector<TListedStar> stars;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (isBlankWorkLine(lines[i])) continue;
        const TRecord r(lines[i], path, i);
        if (!(r.fieldCount() == 6 || (withMagnitudes && r.fieldCount() == 7))) {
            r.requireFields(withMagnitudes ? 7 : 6, withMagnitudes ? kMagnitudeListLayout : kStarListLayout);
        }
        TListedStar s;
        s.line = i;
        r.number(1, -1e9, 1e9, "number");
        r.number(2, -1e9, 1e9, "number");
        s.x = r.pixel(3, picture.width);
        s.y = r.pixel(4, picture.height);
        s.brightnessSum = r.whole(5, 0, kLargestBrightnessSum, "brightness");
        s.pixelCount = r.whole(6, 0, static_cast<double>(kLargestWorkPictureSide) * kLargestWorkPictureSide,
                               "pixelCount");
        if (r.fieldCount() == 7 && !r.text(7).empty()) {
            s.magnitude = r.magnitude(7);
            s.magnitudeText = r.text(7);
        }
        stars.push_back(std::move(s));
    }
    return stars;
}

std::vector<TListedStar> readStarList(const std::string& path, TWorkPicture picture, bool withMagnitudes) {
    return parseStarList(readTextLines(path), path, picture, withMagnitudes);
}

std::vector<TIdentifiedStar> parseIdentifiedStars(const std::vector<std::string>& lines, const std::string& path,
                                                  TWorkPicture picture) {
    std::vector<TIdentifiedStar> stars;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (isBlankWorkLine(lines[i])) continue;
        stars.push_back(identifiedStar(TRecord(lines[i], path, i), i, picture));
    }
    return stars;
}

std::vector<TIdentifiedStar> readIdentifiedStars(const std::string& path, TWorkPicture picture) {
    return parseIdentifiedStars(readTextLines(path), path, picture);
}

TAstrometryFile parseAstrometry(std::vector<std::string> lines, const std::string& path,
                                std::optional<TWorkPicture> picture) {
    TAstrometryFile a;
    a.lines = std::move(lines);
    // The centre line first: without a given picture it bounds the others.
    if (!picture) {
        picture = kAnyWorkPicture;
        for (std::size_t i = 0; i < a.lines.size(); ++i) {
            const TRecord r(a.lines[i], path, i);
            if (r.fieldCount() == 7 && r.text(7) == "CENTER") {
                picture = pictureAroundCentre(identifiedStar(r, i, kAnyWorkPicture));
            }
        }
    }
    for (std::size_t i = 0; i < a.lines.size(); ++i) {
        if (isBlankWorkLine(a.lines[i])) continue;
        const TRecord r(a.lines[i], path, i);
        TAstrometryEntry e;
        const std::string tag = r.fieldCount() >= 7 ? r.text(7) : std::string();
        if (tag == "START" || tag == "FINISH") {
            r.requireFields(8, kTrackLayout);
            if (!r.text(8).empty()) r.refuseField(8, Code::WorkFieldAfterTrackTag);
            e.kind = tag == "START" ? TAstrometryKind::Start : TAstrometryKind::Finish;
            e.star.line = i;
            e.star.ra = r.ra(1);
            e.star.dec = r.dec(2);
            e.star.x = r.pixel(3, picture->width);
            e.star.y = r.pixel(4, picture->height);
            e.frame = static_cast<int>(r.whole(5, 1, kLargestFrameNumber, "frameNumber"));
            e.value = r.whole(6, 0, kLargestBrightnessSum, "brightness");
        } else {
            e.star = identifiedStar(r, i, *picture);
            if (tag == "CENTER") {
                if (r.text(6) != "CENTER") r.refuseField(6, Code::WorkFieldNotCentreTag);
                e.kind = TAstrometryKind::Centre;
            }
        }
        a.entries.push_back(std::move(e));
    }
    return a;
}

std::vector<TTrackFileLine> parseTrackFile(const std::vector<std::string>& lines, const std::string& path,
                                           TWorkPicture picture) {
    std::vector<TTrackFileLine> track;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (isBlankWorkLine(lines[i])) continue;
        const TRecord r(lines[i], path, i);
        r.requireFields(7, kTrackFileLayout);
        if (r.text(7) != "START" && r.text(7) != "FINISH") r.refuseField(7, Code::WorkFieldNotTrackTag);
        TTrackFileLine t;
        t.line = i;
        t.start = r.text(7) == "START";
        r.number(1, -1e9, 1e9, "number");
        r.number(2, -1e9, 1e9, "number");
        t.x = r.pixel(3, picture.width);
        t.y = r.pixel(4, picture.height);
        t.frame = static_cast<int>(r.whole(5, 1, kLargestFrameNumber, "frameNumber"));
        t.value = r.whole(6, 0, kLargestBrightnessSum, "brightness");
        track.push_back(t);
    }
    return track;
}

std::vector<TTrackFileLine> readTrackFile(const std::string& path, TWorkPicture picture) {
    return parseTrackFile(readTextLines(path), path, picture);
}

TAstrometryFile readAstrometry(const std::string& path, std::optional<TWorkPicture> picture) {
    return parseAstrometry(readTextLines(path), path, picture);
}

}  // namespace orbis
