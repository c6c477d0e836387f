#include "measurement/uLabels.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uNotifier.h"
#include "astro/uUniUtils.h"
#include "measurement/uTextDrawing.h"
#include "processing/uBitmap.h"
#include "processing/uNaming.h"

namespace orbis {

namespace {

enum class LabelKind { Magnitude, Spectrum };

struct TLabel {
    int left = 0, top = 0;
    std::string text;
};

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// Lines that describe the frame centre or the meteor, not a reference star.
bool isReferenceStar(std::string_view line) {
    for (std::string_view mark : {"CENTER", "START", "FINISH"}) {
        if (line.find(mark) != std::string_view::npos) return false;
    }
    return true;
}

// A pixel coordinate of A.txt. Written as an integer, but read as a real and
// truncated so that a fractional position still places its label. Values far
// outside any picture are held at a bound that keeps the label arithmetic
// inside int; such labels fall outside the picture either way.
int coordinateField(const std::string& line, int k, const std::string& path, std::size_t lineIndex) {
    constexpr double kBound = 1e7;
    try {
        return static_cast<int>(std::clamp(parseFloat(extractField(line, "|", k)), -kBound, kBound));
    } catch (const EConvertError& e) {
        throw EConvertError(path + ", line " + std::to_string(lineIndex + 1) + ", field " + std::to_string(k) + ": " +
                            e.what());
    }
}

// RAII for the progress bar, so it is hidden even when saving fails.
class ProgressScope {
public:
    ProgressScope(UserNotifier& notifier, int maximum) : notifier_(notifier) { notifier_.progressShow(maximum); }
    ~ProgressScope() { notifier_.progressHide(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    UserNotifier& notifier_;
};

bool drawLabels(const std::string& rBmpPath, UserNotifier& notifier, LabelKind kind) {
    const std::string aTxtPath = siblingWorkFile(rBmpPath, workSuffix::kAstrometry);
    if (!fileExists(aTxtPath) || !fileExists(rBmpPath)) {
        notifier.message("Orbisight",
                         "Отсутствуют необходимые файлы " + aTxtPath + " и/или " + rBmpPath +
                             " для прорисовки звёздных величин.",
                         MessageIcon::Error);
        return false;
    }

    // Every line is read before the picture is touched, so a bad line
    // leaves R.bmp as it was.
    const std::vector<std::string> lines = readTextLines(aTxtPath);
    std::vector<std::optional<TLabel>> labels(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        // A blank line (a hand-edited file) is no star.
        if (line.find_first_not_of(" \t") == std::string::npos || !isReferenceStar(line)) continue;
        const int x = coordinateField(line, 3, aTxtPath, i);
        const int y = coordinateField(line, 4, aTxtPath, i);
        if (kind == LabelKind::Magnitude) {
            labels[i] = TLabel{x + 5, y - 3, extractField(line, "|", 5) + " " + extractField(line, "|", 6)};
        } else {
            labels[i] = TLabel{x + 5, y + 8, extractField(line, "|", 7)};
        }
    }

    TGreyFrame picture = loadGreyFrame(rBmpPath);
    // Labels only decorate the picture: a station without a usable font
    // gets a warning and goes on to its report.
    std::optional<TTextRenderer> renderer;
    try {
        renderer.emplace();
    } catch (const Exception& e) {
        notifier.message("Orbisight", std::string("Надписи не нанесены: ") + e.what(), MessageIcon::Warning);
        return false;
    }
    ProgressScope progress(notifier, static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (labels[i]) renderer->drawText(picture, labels[i]->left, labels[i]->top, labels[i]->text);
        notifier.progressPosition(static_cast<int>(i + 1));
        notifier.pump();
    }
    saveGreyBitmap(picture.pixels, picture.width, picture.height, rBmpPath);
    return true;
}

}  // namespace

bool drawMagnitudeLabels(const std::string& rBmpPath, UserNotifier& notifier) {
    return drawLabels(rBmpPath, notifier, LabelKind::Magnitude);
}

bool drawSpectrumLabels(const std::string& rBmpPath, UserNotifier& notifier) {
    return drawLabels(rBmpPath, notifier, LabelKind::Spectrum);
}

}  // namespace orbis
