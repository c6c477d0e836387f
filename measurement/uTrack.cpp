#include "measurement/uTrack.h"

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

}  // namespace orbis
