#include "station/uPhotoBrowser.h"

#include <algorithm>
#include <filesystem>

#include "measurement/uTrackProposal.h"
#include "processing/uNaming.h"

namespace orbis {

int TPhotoBrowser::clamp(int index, std::size_t count) {
    return std::clamp(index, 0, std::max(0, static_cast<int>(count) - 1));
}

bool TPhotoBrowser::openNight(const std::string& nightDirectory) {
    night_ = nightDirectory;
    events_.clear();
    files_.clear();
    event_ = file_ = 0;
    std::error_code ec;
    if (!std::filesystem::is_directory(night_, ec)) return false;
    events_ = listDirectory(night_, "*", ListKind::Directories);
    listFiles();
    return true;
}

void TPhotoBrowser::listFiles() {
    files_ = events_.empty() ? std::vector<std::string>{} : listDirectory(eventDirectory(), "*.bmp", ListKind::Files);
}

bool TPhotoBrowser::stepFile(int delta) {
    const int wanted = file_ + delta;
    file_ = clamp(wanted, files_.size());
    return wanted == file_;
}

bool TPhotoBrowser::stepEvent(int delta) {
    const int wanted = event_ + delta;
    event_ = clamp(wanted, events_.size());
    file_ = 0;
    listFiles();
    return wanted == event_;
}

void TPhotoBrowser::selectFile(int index) { file_ = clamp(index, files_.size()); }

void TPhotoBrowser::selectEvent(int index) {
    event_ = clamp(index, events_.size());
    listFiles();
    file_ = clamp(file_, files_.size());
}

void TPhotoBrowser::relistFiles(std::string_view part) {
    listFiles();
    if (!part.empty()) {
        const auto it = std::find_if(files_.begin(), files_.end(),
                                     [&](const std::string& name) { return name.find(part) != std::string::npos; });
        if (it != files_.end()) file_ = static_cast<int>(it - files_.begin());
    }
    file_ = clamp(file_, files_.size());
}

std::string TPhotoBrowser::eventDirectory() const {
    return events_.empty() ? std::string() : joinPath(night_, events_[event_]);
}

std::string TPhotoBrowser::currentFileName() const { return files_.empty() ? std::string() : files_[file_]; }

std::string TPhotoBrowser::currentFile() const {
    return files_.empty() ? std::string() : joinPath(eventDirectory(), files_[file_]);
}

std::string TPhotoBrowser::positionCaption() const {
    if (files_.empty()) return "Метеор 0(0), Кадр 0(0)";
    return "Метеор " + std::to_string(event_ + 1) + "(" + std::to_string(events_.size()) + "), Кадр " +
           std::to_string(file_ + 1) + "(" + std::to_string(files_.size()) + ")";
}

bool isMarkableFile(std::string_view bareName) {
    return bareName.size() == 8 && bareName.front() == 'F' && bareName.substr(4) == ".bmp";
}

std::string trackPointLabel(const TTrackPoint& point) {
    return "X = " + std::to_string(point.x) + " Y = " + std::to_string(point.y) +
           "   Кадр: " + std::to_string(point.frame);
}

std::string trackBrightnessLabel(const TTrackBrightness& brightness) {
    return std::to_string(brightness.pixelCount) + " " + std::to_string(brightness.brightnessSum);
}

std::optional<std::string> missingTrackPoint(const TTrackMarks& marks) {
    if (!marks.start && !marks.finish) return "Не отмечены начало и конец метеора.";
    if (!marks.start) return "Не отмечено начало метеора.";
    if (!marks.finish) return "Не отмечен конец метеора.";
    return std::nullopt;
}

bool saveTrackMarks(const std::string& eventDirectory, const TTrackMarks& marks) {
    if (missingTrackPoint(marks)) return false;
    saveTrackFile(eventDirectory, *marks.start, *marks.finish, marks.brightness);
    return true;
}

std::string markableEventOfClip(const std::string& clipPath) {
    if (clipPath.empty()) return {};
    const std::filesystem::path clip(clipPath);
    const std::string event = eventDirectoryForClip(clip.parent_path().string(), clip.filename().string());
    std::error_code ec;
    return event != clip.parent_path().string() && std::filesystem::is_directory(event, ec) ? event : std::string();
}

bool hasTrackFile(const std::string& eventDirectory) {
    std::error_code ec;
    return std::filesystem::exists(trackFileName(eventDirectory), ec);
}

std::optional<TTrackMarks> proposedTrackMarks(const std::string& eventDirectory, const TConfiguration& config) {
    const auto proposal = proposeTrack(eventDirectory, config);
    if (!proposal) return std::nullopt;
    return TTrackMarks{proposal->start, proposal->finish, proposal->brightness, proposal->startEstimate,
                       proposal->finishEstimate};
}

std::string proposalEstimateLabel(const TTrackMarks& marks) {
    if (!marks.startEstimate || !marks.finishEstimate) return {};
    const auto placed = [](TTrackEstimate e) -> std::string {
        switch (e) {
            case TTrackEstimate::StreakFit: return "по следу";
            case TTrackEstimate::LeadingEdge: return "по переднему краю";
            case TTrackEstimate::SpotCentroid: return "по центру пятна";
            case TTrackEstimate::Predicted: return "по движению";
        }
        return {};
    };
    return "Трек предложен: начало — " + placed(*marks.startEstimate) + ", конец — " + placed(*marks.finishEstimate);
}

}  // namespace orbis
