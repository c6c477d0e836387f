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

std::optional<std::string> trackProblem(const std::string& trackFilePath, int frameCount, int frameWidth,
                                        int frameHeight) {
    const std::vector<std::string> lines = readTextLines(trackFilePath);
    std::optional<TTrackPoint> start, finish;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string at = "в файле " + trackFilePath + ", строка " + std::to_string(i + 1) + ": ";
        const std::string tag = extractField(lines[i], "|", 7);
        if (tag != "START" && tag != "FINISH") return at + "строка не START и не FINISH";
        std::optional<TTrackPoint>& point = tag == "START" ? start : finish;
        if (point) return at + "вторая строка " + tag;
        if (splitFields(lines[i], "|").size() != 7) return at + "строка не из семи полей 0|0|x|y|кадр|яркость|" + tag;
        const std::optional<double> x = numberField(lines[i], 3), y = numberField(lines[i], 4),
                                    frame = numberField(lines[i], 5);
        if (!x || !y || !frame) return at + "координаты и номер кадра должны быть числами";
        // The two leading placeholders, as A.txt's readers take them.
        for (int k : {1, 2}) {
            if (const std::optional<double> v = numberField(lines[i], k); !v || !(std::fabs(*v) <= 1e9)) {
                return at + "поле " + std::to_string(k) + " (" + extractField(lines[i], "|", k) + ") не число";
            }
        }
        // The brightness sum (START) or pixel count (FINISH): a whole number,
        // never negative, at most 255 in every pixel of the frame.
        if (const std::optional<double> value = numberField(lines[i], 6);
            !value || !(*value >= 0 && *value <= 255.0 * frameWidth * frameHeight && *value == std::trunc(*value))) {
            return at + "яркость " + extractField(lines[i], "|", 6) + " не целое неотрицательное число";
        }
        // Positions are pixels of the frame file and truncate as the
        // measurement does; frames are counted F001.bmp = 1.
        if (!(*frame >= 1 && *frame <= frameCount && *frame == std::trunc(*frame))) {
            return at + "кадр " + extractField(lines[i], "|", 5) + " вне кадров события (1–" +
                   std::to_string(frameCount) + ")";
        }
        if (!(*x >= 0 && *x < frameWidth && *y >= 0 && *y < frameHeight)) {
            return at + "точка (" + extractField(lines[i], "|", 3) + ", " + extractField(lines[i], "|", 4) +
                   ") вне кадра " + std::to_string(frameWidth) + "×" + std::to_string(frameHeight);
        }
        point = TTrackPoint{static_cast<int>(*x), static_cast<int>(*y), static_cast<int>(*frame)};
        if (!start || !finish) continue;
        if (finish->frame < start->frame) {
            return at + "конец трека отмечен на кадре " + std::to_string(finish->frame) + ", раньше начала (кадр " +
                   std::to_string(start->frame) + ")";
        }
        if (finish->x == start->x && finish->y == start->y) {
            return at + "начало и конец трека в одной точке (" + std::to_string(start->x) + ", " +
                   std::to_string(start->y) + "): у трека нет длины";
        }
    }
    return std::nullopt;
}

}  // namespace orbis
