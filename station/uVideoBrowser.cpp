#include "station/uVideoBrowser.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "processing/uNaming.h"
#include "reports/uReportText.h"

namespace orbis {

namespace fs = std::filesystem;

void TVideoBrowser::open(const std::string& clipsDirectory) {
    directory_ = clipsDirectory;
    clips_ = listDirectory(clipsDirectory, "*.avi", ListKind::Files);
    index_ = 0;
}

std::string TVideoBrowser::clipPath() const {
    return clips_.empty() ? std::string() : joinPath(directory_, clips_[static_cast<std::size_t>(index_)]);
}

bool TVideoBrowser::step(int delta) {
    const int last = std::max(0, static_cast<int>(clips_.size()) - 1);
    const int wanted = index_ + delta;
    index_ = std::clamp(wanted, 0, last);
    return index_ == wanted && !clips_.empty();
}

bool TVideoBrowser::removeCurrent() {
    if (clips_.empty()) return false;
    const std::string path = clipPath();
    std::error_code ec;
    const auto refused = [&](Code why) { return EInOutError(TDiagnostic(why).with("file", path)); };
    if (!fs::exists(path, ec)) throw refused(Code::ClipDeleteGone);
    // Only a clip file: whatever else took its name is left alone.
    if (!fs::is_regular_file(path, ec)) throw refused(Code::ClipDeleteNotFile);
    if (!fs::remove(path, ec) || ec) {
        if (!ec) throw refused(Code::ClipDeleteGone);
        throw EInOutError(TDiagnostic(Code::ClipDeleteFailed).with("file", path).with("detail", ec.message()));
    }
    clips_.erase(clips_.begin() + index_);
    return step(-1);
}

namespace {

std::string userNumber(double value) {
    std::string text = generalNumberText(value);
    std::replace(text.begin(), text.end(), '.', formatSettings().decimalSeparator);
    return text;
}

}  // namespace

std::string clipVideoText(const TAviInfo& info) {
    return "Video: " + std::to_string(info.width) + "x" + std::to_string(info.height) + ", " +
           std::to_string(info.frameCount) + " frames";
}

std::string clipTimingText(const TAviInfo& info) {
    const double period = info.framePeriod();
    return "Samples Per Second: " + userNumber(period > 0 ? 1.0 / period : 0.0) +
           " Time Length: " + userNumber(period * info.frameCount) + " s";
}

}  // namespace orbis
