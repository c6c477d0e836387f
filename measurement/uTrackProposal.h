#pragma once
// The meteor's track found on an event's frame files without an observer:
// the head of the meteor on the first frame that shows it (START) and on the
// last (FINISH), and the brightness measurement on the frame where it is
// brightest, in the form the observer's marking gives MeteorTrack.txt.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/uConfiguration.h"
#include "measurement/uTrack.h"

namespace orbis {

// How a track end was placed on its frame: the fit of the blurred stretch,
// or, where the frame shows too little for a fit to settle, a plainer
// estimate of the head.
enum class TTrackEstimate {
    StreakFit,     // the head of the stretch fitted to the frame's pixels
    LeadingEdge,   // where the streak's leading end falls to half its brightness
    SpotCentroid,  // the centre of light of a spot too short to show a stretch
    Predicted,     // where the motion seen on the other frames puts the head
};

// The head on one frame of the meteor, as the proposal placed it.
struct TTrackHead {
    TTrackPoint point;
    // When the head was there, as a share of the frame's time: 1 at the end
    // of the frame's exposure, 0.5 at the end of the earlier field of a
    // woven interlaced frame.
    double exposureEnd = 1;
    TTrackEstimate estimate = TTrackEstimate::StreakFit;
};

struct TTrackProposal {
    TTrackPoint start;
    TTrackPoint finish;
    TTrackBrightness brightness;
    int brightestFrame = 0;  // the frame the brightness was measured on
    TTrackEstimate startEstimate = TTrackEstimate::StreakFit, finishEstimate = TTrackEstimate::StreakFit;
    // Every frame from START's to FINISH's, in order; the first and last are
    // START and FINISH.
    std::vector<TTrackHead> heads;
    // Woven interlaced frames: whether the upper field (rows 0, 2, ...) was
    // exposed first. Nothing for frames exposed whole.
    std::optional<bool> upperFieldFirst;
};

// "streak fit", "leading edge", "spot centroid", "predicted".
std::string estimateName(TTrackEstimate estimate);

// One line saying how both ends were placed, e.g.
// "estimate: START streak fit, FINISH spot centroid".
std::string estimateNote(const TTrackProposal& proposal);

// How the detections on the frames are compared with each other: through
// an index of their places, each only with those near enough to matter,
// with a chain's motion kept up as it grows; or every one with every other
// and each chain's motion fitted anew at every step, the plain way the
// indexed search is checked against (its cost grows with the square of the
// number of frames, and faster for a light on every frame). Both give the
// same proposal.
enum class TBlobSearch { Indexed, AllPairs };

// The proposal for the frame files F001.bmp ... of eventDirectory; nothing
// when no meteor is found there (no guess is ever made). Raises what the
// bitmap reader raises for a frame file that cannot be read.
std::optional<TTrackProposal> proposeTrack(const std::string& eventDirectory, const TConfiguration& config,
                                           TBlobSearch search = TBlobSearch::Indexed);

// The proposal's heads beside the track it wrote, so that the frames
// between its ends can be measured later without proposing again:
// eventDirectory/MeteorHeads.txt, a line "FIELDS|upper" (or lower, or
// none), then "frame|x|y|exposureEnd|estimate" per head, estimate being
// the TTrackEstimate's number.
inline constexpr std::string_view kTrackHeadsFileName = "MeteorHeads.txt";

struct TTrackHeads {
    std::vector<TTrackHead> heads;
    std::optional<bool> upperFieldFirst;
};

void saveTrackHeads(const std::string& eventDirectory, const TTrackHeads& heads);
void saveTrackHeads(const std::string& eventDirectory, const TTrackProposal& proposal);
// The heads file of the event; nothing when there is none. A line out of
// its layout or range, or frames out of order, raise EConvertError with the
// diagnostic TrackHeadsDamaged naming the file and the line.
std::optional<TTrackHeads> readTrackHeads(const std::string& eventDirectory);

enum class TrackProposalOutcome { Written, KeptExisting, NoMeteor };

// Proposes the track and saves it as the event's MeteorTrack.txt, with its
// heads (saveTrackHeads). A track
// file that exists (the observer's marking) is kept unless force is set.
// The proposal written is left in *written when that is given.
TrackProposalOutcome writeProposedTrack(const std::string& eventDirectory, const TConfiguration& config, bool force,
                                        TTrackProposal* written = nullptr);

}  // namespace orbis
