#pragma once
// The station nobody sits at: detection from dusk to dawn by the Sun's
// altitude, the morning's work on every night that waits for it, room on
// the disk, and a log of all of it. Everything it knows between runs is in
// the files (clips, event directories, the night markers), so a restart at
// any moment resumes recording at night and never does a night's morning
// twice. The front end gives the source, the clock and the stop request and
// prints the lines.

#include <functional>
#include <string>

#include "astro/uNotifier.h"
#include "capture/media/uCaptureGraph.h"
#include "station/uRetention.h"
#include "station/uStationDiagnostics.h"
#include "station/uStationClock.h"
#include "station/uStationJournal.h"
#include "station/uStationStatus.h"

namespace orbis {

class TConfiguration;

struct TUnattendedOptions {
    TCaptureSource source;
    // What powering off does at a bright sky when the settings ask for it
    // (useAutoShutDown); systemctl poweroff unless replaced.
    std::function<void()> powerOff;
    // Looked at between frames polls, between events and while waiting.
    std::function<bool()> stopRequested;
    FreeSpaceQuery freeSpace = systemFreeSpace;
    // Whether the system clock is synchronised: looked at when the station
    // starts and every night.
    std::function<TClockState()> clockState = systemClockState;
    unsigned threads = 0;  // events processed at a time; 0: one per core
    // Ends after this many mornings (0: runs until stopped).
    int mornings = 0;
    // Every line of the log, as it is written (the front end prints it).
    std::function<void(const std::string&)> onLine;
    // The words of the problems and notices the log's lines carry (the
    // front end's catalogue); their plain form without one.
    TWording wording = plainLogText;
};

struct TUnattendedEnd {
    int nights = 0;        // detection sessions run
    int mornings = 0;      // nights whose morning's work finished
    int failedEvents = 0;  // events whose processing failed (their files are kept)
    bool lostClips = false;  // a clip was not finished or frames were lost
};

// Runs until stopped or until options.mornings mornings are done. Raises
// for settings outside their range before anything runs; a source that
// fails is tried again, a disk that is full is logged and detection goes on.
TUnattendedEnd runUnattendedStation(const TConfiguration& config, const std::string& programDirectory,
                                    TStationClock& clock, const TUnattendedOptions& options, UserNotifier& notifier);

}  // namespace orbis
