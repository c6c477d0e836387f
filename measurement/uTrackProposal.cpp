#include "measurement/uTrackProposal.h"

#include <filesystem>

#include "processing/uNaming.h"

namespace orbis {

std::optional<TTrackProposal> proposeTrack(const std::string&, const TConfiguration&) { return std::nullopt; }

TrackProposalOutcome writeProposedTrack(const std::string& eventDirectory, const TConfiguration& config, bool force) {
    std::error_code ec;
    if (!force && std::filesystem::exists(std::filesystem::path(eventDirectory) / "MeteorTrack.txt", ec))
        return TrackProposalOutcome::KeptExisting;
    const auto proposal = proposeTrack(eventDirectory, config);
    if (!proposal) return TrackProposalOutcome::NoMeteor;
    saveTrackFile(eventDirectory, proposal->start, proposal->finish, proposal->brightness);
    return TrackProposalOutcome::Written;
}

}  // namespace orbis
