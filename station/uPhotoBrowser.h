#pragma once
// What the photo page browses and marks, without a window: the events of a
// night (its subdirectories) and the bitmaps of the current event with the
// stepping rules of the page's buttons, and the track marks the observer
// sets on the frames until they are saved as the event's MeteorTrack.txt.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "astro/uDiagnostic.h"
#include "measurement/uTrack.h"
#include "measurement/uTrackProposal.h"

namespace orbis {

class TConfiguration;

class TPhotoBrowser {
public:
    // Empties both lists and lists the night's events and the first event's
    // bitmaps. False when the night directory does not exist.
    bool openNight(const std::string& nightDirectory);

    const std::string& nightDirectory() const { return night_; }
    const std::vector<std::string>& events() const { return events_; }
    const std::vector<std::string>& files() const { return files_; }
    int eventIndex() const { return event_; }
    int fileIndex() const { return file_; }

    // One step through the bitmaps or the events, kept inside the list.
    // False when the step ran past an end (the page disables that button).
    // An event step starts at the new event's first bitmap.
    bool stepFile(int delta);
    bool stepEvent(int delta);
    // Chooses a row of the list; a file index beyond the new event's list
    // is taken to its last bitmap.
    void selectFile(int index);
    void selectEvent(int index);
    // Lists the current event's bitmaps again (after processing) and makes
    // the first one whose name contains `part` current; the index stays when
    // none does.
    void relistFiles(std::string_view part = {});

    // "" when the night has no events / the event no bitmaps.
    std::string eventDirectory() const;
    std::string currentFile() const;
    std::string currentFileName() const;
    // PhotoPosition: the event and frame (from 1) of how many; all 0 with
    // no bitmap.
    TDiagnostic positionCaption() const;

private:
    void listFiles();
    static int clamp(int index, std::size_t count);

    std::string night_;
    std::vector<std::string> events_;
    std::vector<std::string> files_;
    int event_ = 0;
    int file_ = 0;
};

// A frame file of the browser: F + three characters + ".bmp".
bool isMarkableFile(std::string_view bareName);

// The marks of one marking: start, end and the last brightness measurement;
// for marks the proposal gave, how it placed each end.
struct TTrackMarks {
    std::optional<TTrackPoint> start;
    std::optional<TTrackPoint> finish;
    std::optional<TTrackBrightness> brightness;
    std::optional<TTrackEstimate> startEstimate, finishEstimate;
    // The proposal's head on every frame between its ends; saved with the
    // marks while the ends are still the proposal's.
    std::optional<TTrackHeads> heads;
};

// The code that words how the proposal placed an end (TrackEstimate…).
Code trackEstimateCode(TTrackEstimate estimate);
// How the proposal placed the ends: TrackProposed, its "start" and "finish"
// the names of their TrackEstimate… codes, for the front end to word too;
// nothing for marks the proposal did not give.
std::optional<TDiagnostic> proposalEstimateLabel(const TTrackMarks& marks);

// TrackPointLabel: the point's x, y and frame.
TDiagnostic trackPointLabel(const TTrackPoint& point);
// "pixelCount brightnessSum".
std::string trackBrightnessLabel(const TTrackBrightness& brightness);
// Which point a save still lacks, as the observer is told it; nothing when
// both are set.
std::optional<TDiagnostic> missingTrackPoint(const TTrackMarks& marks);
// Writes the event's track file from complete marks, and the proposal's
// heads beside it when the marks' ends are still the proposal's; false
// (nothing written) when a point is missing.
bool saveTrackMarks(const std::string& eventDirectory, const TTrackMarks& marks);

// The event directory of a clip (its folder and its name without the
// extension, where taking it into work from frame 1 puts its frames) when
// that directory exists; "" when it does not, so the clip has nothing to
// mark yet.
std::string markableEventOfClip(const std::string& clipPath);

// Whether the event has a saved track file (an observer's marking).
bool hasTrackFile(const std::string& eventDirectory);
// The marks the automatic track proposal gives the event, for the observer
// to check and save; nothing when it finds no meteor. Saves nothing. Raises
// what reading the frame files raises.
std::optional<TTrackMarks> proposedTrackMarks(const std::string& eventDirectory, const TConfiguration& config);
// The observer is told NoMeteorProposed when the proposal finds no meteor,
// and asked ReplaceTrackQuestion before it replaces the marks of an event
// that has a track file.

}  // namespace orbis
