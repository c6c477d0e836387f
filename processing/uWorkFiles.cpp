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

    [[noreturn]] void refuse(const std::string& why) const {
        throw EConvertError(path_ + ", line " + std::to_string(index_ + 1) + ": " + why);
    }
    [[noreturn]] void refuseField(int k, const std::string& why) const {
        throw EConvertError(path_ + ", line " + std::to_string(index_ + 1) + ", field " + std::to_string(k) + ": '" +
                            text(k) + "' " + why);
    }

    void requireFields(std::size_t count, const char* layout) const {
        if (fields_.size() != count) {
            refuse(std::to_string(fields_.size()) + " fields where the layout " + layout + " has " +
                   std::to_string(count));
        }
    }

    // A finite number within [low, high].
    double number(int k, double low, double high, const char* what) const {
        double value = 0;
        try {
            value = parseFloat(text(k));
        } catch (const EConvertError&) {
            refuseField(k, std::string("is not ") + what);
        }
        if (!(value >= low && value <= high)) {
            refuseField(k, std::string("is not ") + what + " (" + floatToText(low) + " to " + floatToText(high) + ")");
        }
        return value;
    }

    // A whole number within [low, high].
    int64_t whole(int k, double low, double high, const char* what) const {
        const double value = number(k, low, high, what);
        if (value != std::trunc(value)) refuseField(k, std::string("is not ") + what + " (a whole number)");
        return static_cast<int64_t>(value);
    }

    // A pixel position on the picture or within one picture's size of it.
    double pixel(int k, int size) const {
        return number(k, -static_cast<double>(size), 2.0 * size, "a pixel position of the picture");
    }

    double ra(int k) const { return number(k, 0, 360, "a right ascension in degrees"); }
    double dec(int k) const { return number(k, -90, 90, "a declination in degrees"); }
    double magnitude(int k) const {
        return number(k, -kWorkMagnitudeLimit, kWorkMagnitudeLimit, "a magnitude");
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
constexpr const char* kTrackLayout = "ra|dec|x|y|frame|value|START or FINISH|";
constexpr const char* kTrackFileLayout = "0|0|x|y|frame|value|START or FINISH";

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
        r.number(1, -1e9, 1e9, "a number");
        r.number(2, -1e9, 1e9, "a number");
        s.x = r.pixel(3, picture.width);
        s.y = r.pixel(4, picture.height);
        s.brightnessSum = r.whole(5, 0, kLargestBrightnessSum, "a brightness sum");
        s.pixelCount = r.whole(6, 0, static_cast<double>(kLargestWorkPictureSide) * kLargestWorkPictureSide,
                               "a pixel count");
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
            if (!r.text(8).empty()) r.refuseField(8, "follows the track's tag");
            e.kind = tag == "START" ? TAstrometryKind::Start : TAstrometryKind::Finish;
            e.star.line = i;
            e.star.ra = r.ra(1);
            e.star.dec = r.dec(2);
            e.star.x = r.pixel(3, picture->width);
            e.star.y = r.pixel(4, picture->height);
            e.frame = static_cast<int>(r.whole(5, 1, kLargestFrameNumber, "a frame number"));
            e.value = r.whole(6, 0, kLargestBrightnessSum, "a brightness sum or pixel count");
        } else {
            e.star = identifiedStar(r, i, *picture);
            if (tag == "CENTER") {
                if (r.text(6) != "CENTER") r.refuseField(6, "is not the centre line's tag CENTER");
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
        if (r.text(7) != "START" && r.text(7) != "FINISH") r.refuseField(7, "is neither START nor FINISH");
        TTrackFileLine t;
        t.line = i;
        t.start = r.text(7) == "START";
        r.number(1, -1e9, 1e9, "a number");
        r.number(2, -1e9, 1e9, "a number");
        t.x = r.pixel(3, picture.width);
        t.y = r.pixel(4, picture.height);
        t.frame = static_cast<int>(r.whole(5, 1, kLargestFrameNumber, "a frame number"));
        t.value = r.whole(6, 0, kLargestBrightnessSum, "a brightness sum or pixel count");
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
