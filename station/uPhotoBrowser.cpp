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

TDiagnostic TPhotoBrowser::positionCaption() const {
    TDiagnostic caption(Code::PhotoPosition, Severity::Notice);
    if (files_.empty()) return caption.with("event", 0).with("events", 0).with("frame", 0).with("frames", 0);
    return caption.with("event", event_ + 1)
        .with("events", events_.size())
        .with("frame", file_ + 1)
        .with("frames", files_.size());
}

bool isMarkableFile(std::string_view bareName) {
    return bareName.size() == 8 && bareName.front() == 'F' && bareName.substr(4) == ".bmp";
}

TDiagnostic trackPointLabel(const TTrackPoint& point) {
    return TDiagnostic(Code::TrackPointLabel, Severity::Notice)
        .with("x", point.x)
        .with("y", point.y)
        .with("frame", point.frame);
}

std::string trackBrightnessLabel(const TTrackBrightness& brightness) {
    return std::to_string(brightness.pixelCount) + " " + std::to_string(brightness.brightnessSum);
}

std::optional<TDiagnostic> missingTrackPoint(const TTrackMarks& marks) {
    if (!marks.start && !marks.finish) return TDiagnostic(Code::TrackStartAndFinishUnmarked, Severity::Warning);
    if (!marks.start) return TDiagnostic(Code::TrackStartUnmarked, Severity::Warning);
    if (!marks.finish) return TDiagnostic(Code::TrackFinishUnmarked, Severity::Warning);
    return std::nullopt;
}

bool saveTrackMarks(const std::string& eventDirectory, const TTrackMarks& marks) {
    if (missingTrackPoint(marks)) return false;
    saveTrackFile(eventDirectory, *marks.start, *marks.finish, marks.brightness);
    const auto same = [](const TTrackPoint& a, const TTrackPoint& b) {
        return a.x == b.x && a.y == b.y && a.frame == b.frame;
    };
    // Heads whose ends the observer has moved belong to another track.
    if (marks.heads && !marks.heads->heads.empty() && same(marks.heads->heads.front().point, *marks.start) &&
        same(marks.heads->heads.back().point, *marks.finish))
        saveTrackHeads(eventDirectory, *marks.heads);
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
    return TTrackMarks{proposal->start,
                       proposal->finish,
                       proposal->brightness,
                       proposal->startEstimate,
                       proposal->finishEstimate,
                       TTrackHeads{proposal->heads, proposal->upperFieldFirst}};
}

Code trackEstimateCode(TTrackEstimate estimate) {
    switch (estimate) {
        case TTrackEstimate::StreakFit: return Code::TrackEstimateStreakFit;
        case TTrackEstimate::LeadingEdge: return Code::TrackEstimateLeadingEdge;
        case TTrackEstimate::SpotCentroid: return Code::TrackEstimateSpotCentroid;
        case TTrackEstimate::Predicted: return Code::TrackEstimatePredicted;
    }
    return Code::TrackEstimatePredicted;
}

std::optional<TDiagnostic> proposalEstimateLabel(const TTrackMarks& marks) {
    if (!marks.startEstimate || !marks.finishEstimate) return std::nullopt;
    return TDiagnostic(Code::TrackProposed, Severity::Notice)
        .with("start", std::string(codeName(trackEstimateCode(*marks.startEstimate))))
        .with("finish", std::string(codeName(trackEstimateCode(*marks.finishEstimate))));
}

}  // namespace orbis
