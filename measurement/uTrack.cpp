#include "measurement/uTrack.h"

#include <cmath>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "processing/uNaming.h"

namespace orbis {

int frameNumberOfFile(std::string_view bareName) {
    if (!isFrameFileName(bareName)) return 0;
    return parseIntDefault(bareName.substr(1, 3), 0);
}

std::vector<std::string> trackFileLines(const TTrackPoint& start, const TTrackPoint& finish,
                                        std::optional<TTrackBrightness> brightness) {
    const TTrackBrightness b = brightness.value_or(TTrackBrightness{});
    auto line = [](const TTrackPoint& p, const std::string& value, const char* tag) {
        return "0|0|" + std::to_string(p.x) + "|" + std::to_string(p.y) + "|" + std::to_string(p.frame) + "|" + value +
               "|" + tag;
    };
    return {line(start, std::to_string(b.brightnessSum), "START"), line(finish, std::to_string(b.pixelCount), "FINISH")};
}

void saveTrackFile(const std::string& eventDirectory, const TTrackPoint& start, const TTrackPoint& finish,
                   std::optional<TTrackBrightness> brightness) {
    writeTextLines(trackFileName(eventDirectory), trackFileLines(start, finish, brightness));
}

namespace {

// Field k as a number, or nothing when it is none.
std::optional<double> numberField(const std::string& line, int k) {
    try {
        return parseFloat(extractField(line, "|", k));
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<TDiagnostic> trackProblem(const std::string& trackFilePath, int frameCount, int frameWidth,
                                        int frameHeight) {
    const std::vector<std::string> lines = readTextLines(trackFilePath);
    std::optional<TTrackPoint> start, finish;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Every problem names the file and the line.
        const auto at = [&](Code code) { return TDiagnostic(code).with("file", trackFilePath).with("line", i + 1); };
        const std::string tag = extractField(lines[i], "|", 7);
        if (tag != "START" && tag != "FINISH") return at(Code::TrackLineNotStartOrFinish);
        std::optional<TTrackPoint>& point = tag == "START" ? start : finish;
        if (point) return at(Code::TrackLineRepeated).with("tag", tag);
        if (splitFields(lines[i], "|").size() != 7) return at(Code::TrackLineFieldCount).with("tag", tag);
        const std::optional<double> x = numberField(lines[i], 3), y = numberField(lines[i], 4),
                                    frame = numberField(lines[i], 5);
        if (!x || !y || !frame) return at(Code::TrackLineNotNumbers);
        // The two leading placeholders, as A.txt's readers take them.
        for (int k : {1, 2}) {
            if (const std::optional<double> v = numberField(lines[i], k); !v || !(std::fabs(*v) <= 1e9)) {
                return at(Code::TrackFieldNotNumber).with("field", k).with("value", extractField(lines[i], "|", k));
            }
        }
        // The brightness sum (START) or pixel count (FINISH): a whole number,
        // never negative, at most 255 in every pixel of the frame.
        if (const std::optional<double> value = numberField(lines[i], 6);
            !value || !(*value >= 0 && *value <= 255.0 * frameWidth * frameHeight && *value == std::trunc(*value))) {
            return at(Code::TrackBrightnessInvalid).with("value", extractField(lines[i], "|", 6));
        }
        // Positions are pixels of the frame file and truncate as the
        // measurement does; frames are counted F001.bmp = 1.
        if (!(*frame >= 1 && *frame <= frameCount && *frame == std::trunc(*frame))) {
            return at(Code::TrackFrameOutside).with("frame", extractField(lines[i], "|", 5)).with("count", frameCount);
        }
        if (!(*x >= 0 && *x < frameWidth && *y >= 0 && *y < frameHeight)) {
            return at(Code::TrackPointOutside)
                .with("x", extractField(lines[i], "|", 3))
                .with("y", extractField(lines[i], "|", 4))
                .with("width", frameWidth)
                .with("height", frameHeight);
        }
        point = TTrackPoint{static_cast<int>(*x), static_cast<int>(*y), static_cast<int>(*frame)};
        if (!start || !finish) continue;
        if (finish->frame < start->frame) {
            return at(Code::TrackEndsBeforeStart).with("finish", finish->frame).with("start", start->frame);
        }
        if (finish->x == start->x && finish->y == start->y) {
            return at(Code::TrackWithoutLength).with("x", start->x).with("y", start->y);
        }
    }
    return std::nullopt;
}

}  // namespace orbis
