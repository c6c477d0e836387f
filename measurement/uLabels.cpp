#include "measurement/uLabels.h"

#include <algorithm>
#include <cmath>
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
#include "processing/uWorkFiles.h"

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

// A pixel position as the label places it: truncated towards zero. The
// reader holds it within a picture's size of R.bmp.
int labelCoordinate(double position) { return static_cast<int>(std::trunc(position)); }

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
        notifier.report(TDiagnostic(Code::LabelFilesMissing).with("astrometry", aTxtPath).with("picture", rBmpPath));
        return false;
    }

    // Every line is read before the picture is touched, so a bad line
    // leaves R.bmp as it was. Positions lie on R.bmp.
    TGreyFrame picture = loadGreyFrame(rBmpPath);
    const TAstrometryFile a = readAstrometry(aTxtPath, TWorkPicture{picture.width, picture.height});
    // A label for each line of a reference star.
    std::vector<std::optional<TLabel>> labels(a.lines.size());
    for (const TAstrometryEntry& e : a.entries) {
        if (e.kind != TAstrometryKind::ReferenceStar) continue;
        const int x = labelCoordinate(e.star.x), y = labelCoordinate(e.star.y);
        if (kind == LabelKind::Magnitude) {
            labels[e.star.line] = TLabel{x + 5, y - 3, e.star.magnitudeText + " " + e.star.name};
        } else {
            labels[e.star.line] = TLabel{x + 5, y + 8, e.star.spectrum};
        }
    }

    // Labels only decorate the picture: a station without a usable font
    // gets a warning and goes on to its report.
    std::optional<TTextRenderer> renderer;
    try {
        renderer.emplace();
    } catch (const Exception& e) {
        // The font's own problem travels along: its values and its code.
        TDiagnostic notDrawn(Code::LabelsNotDrawn, Severity::Warning);
        for (const auto& [name, value] : e.diagnostic().values()) notDrawn.with(name, value);
        notDrawn.with("cause", std::string(codeName(e.diagnostic().code())));
        notifier.report(notDrawn);
        return false;
    }
    ProgressScope progress(notifier, static_cast<int>(labels.size()));
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
