#pragma once
// The meteor's track found on an event's frame files without an observer:
// the head of the meteor on the first frame that shows it (START) and on the
// last (FINISH), and the brightness measurement on the frame where it is
// brightest, in the form the observer's marking gives MeteorTrack.txt.

#include <optional>
#include <string>

#include "config/uConfiguration.h"
#include "measurement/uTrack.h"

namespace orbis {

struct TTrackProposal {
    TTrackPoint start;
    TTrackPoint finish;
    TTrackBrightness brightness;
    int brightestFrame = 0;  // the frame the brightness was measured on
};

// The proposal for the frame files F001.bmp ... of eventDirectory; nothing
// when no meteor is found there (no guess is ever made). Raises what the
// bitmap reader raises for a frame file that cannot be read.
std::optional<TTrackProposal> proposeTrack(const std::string& eventDirectory, const TConfiguration& config);

enum class TrackProposalOutcome { Written, KeptExisting, NoMeteor };

// Proposes the track and saves it as the event's MeteorTrack.txt. A track
// file that exists (the observer's marking) is kept unless force is set.
TrackProposalOutcome writeProposedTrack(const std::string& eventDirectory, const TConfiguration& config, bool force);

}  // namespace orbis
