#include "station/uUnattendedStation.h"

#include <unistd.h>

#include <algorithm>
#include <optional>
#include <thread>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "capture/uRecordingSession.h"
#include "config/uConfiguration.h"
#include "processing/uNaming.h"
#include "station/uEventProcessing.h"
#include "station/uLiveStation.h"
#include "station/uMorningProcessing.h"
#include "station/uNightSchedule.h"
#include "station/uSetupCheck.h"
#include "station/uStationLock.h"

namespace orbis {

namespace {

// How a night's detection ended.
enum class NightEnd { Dawn, Stopped, BrightSky, SourceEnded, SourceFailed };

constexpr double kMinute = 1.0 / 1440.0;
// A source that failed is tried again after this long; the disk is looked
// at this often while detecting.
constexpr double kSourceRetry = 1.0 * kMinute;
constexpr double kDiskCheck = 10.0 * kMinute;
// Real time between two looks at the stop request and the clock.
constexpr std::chrono::milliseconds kPoll{100};

std::string megabytes(std::uintmax_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MB"; }

class TStation {
public:
    TStation(const TConfiguration& config, const std::string& programDirectory, TStationClock& clock,
             const TUnattendedOptions& options, UserNotifier& notifier)
        : config_(config),
          programDirectory_(programDirectory),
          lock_(programDirectory),
          clock_(clock),
          options_(options),
          notifier_(notifier),
          place_(TStationPlace::fromConfiguration(config)),
          minimumFree_(static_cast<std::uintmax_t>(std::max(config.minFreeSpaceMB(), 0)) * 1024 * 1024) {
        config.requireInRange({"minFreeSpaceMB"});
        requireProcessingSettings(config);
        log_.open(joinPath(programDirectory_, kStationLogName));
    }

    TUnattendedEnd run();

private:
    void say(const std::string& line);
    bool stopRequested() const { return options_.stopRequested && options_.stopRequested(); }
    // Waits on the station's clock; false when a stop was asked for first.
    bool waitUntil(TDateTime t);
    void makeRoomOnDisk();
    void checkClock(bool tell = true);
    // status.json and status.html, after each change of what the station does.
    void updateStatus(bool stopping = false);
    NightEnd detect();
    // The morning's work on every night waiting for it; false when stopped.
    bool doMornings();

    const TConfiguration& config_;
    std::string programDirectory_;
    TStationLock lock_;
    TStationClock& clock_;
    const TUnattendedOptions& options_;
    UserNotifier& notifier_;
    TStationPlace place_;
    std::uintmax_t minimumFree_;
    TStationJournal log_;
    TUnattendedEnd end_;
    bool diskFullSaid_ = false;
    bool statusFailureSaid_ = false;
    TClockState clockState_;
    std::string lastStartFailure_;
};

void TStation::say(const std::string& line) {
    try {
        log_.write(clock_.localNow(), config_.timeZone(), line);
    } catch (const std::exception& e) {
        // A full disk must not silence the station: the journal still gets it.
        if (options_.onLine)
            options_.onLine(std::string("the station's log cannot be written: ") + options_.wording(diagnosticOf(e)));
    }
    if (options_.onLine) options_.onLine(line);
}

bool TStation::waitUntil(TDateTime t) {
    while (!stopRequested()) {
        const TDateTime now = clock_.localNow();
        if (now >= t) return true;
        std::this_thread::sleep_for(std::min(kPoll, std::max(clock_.realDuration(t - now), std::chrono::milliseconds(1))));
    }
    return false;
}

void TStation::makeRoomOnDisk() {
    try {
        const TRetentionRun r = makeRoom(programDirectory_, minimumFree_, options_.freeSpace);
        if (!r.removed.empty())
            say("disk: " + std::to_string(r.removed.size()) + " frame files and clips of old nights removed, " +
                megabytes(r.freeAfter) + " free");
        if (!r.enough) {
            if (!diskFullSaid_)
                say("disk full: " + megabytes(r.freeAfter) + " free, less than minFreeSpaceMB = " +
                    std::to_string(config_.minFreeSpaceMB()) +
                    "; nothing more may be removed; detection goes on while clips can be written");
            diskFullSaid_ = true;
        } else {
            diskFullSaid_ = false;
        }
    } catch (const std::exception& e) {
        say(std::string("disk: the free space could not be made: ") + options_.wording(diagnosticOf(e)));
    }
}

void TStation::checkClock(bool tell) {
    clockState_ = options_.clockState ? options_.clockState() : TClockState{};
    if (tell) say(options_.wording(clockStateText(clockState_)));
}

void TStation::updateStatus(bool stopping) {
    try {
        std::uintmax_t free = 0;
        try {
            free = options_.freeSpace(programDirectory_);
        } catch (const std::exception&) {
        }
        TStationStatus status = stationStatus(programDirectory_, config_, clock_.localNow(), clockState_, free);
        status.runningPid = stopping ? std::nullopt : std::optional<int>(::getpid());
        if (stopping && status.camera.starts_with("detecting")) status.camera = "stopped";
        writeStationStatus(programDirectory_, status);
        statusFailureSaid_ = false;
    } catch (const std::exception& e) {
        if (!statusFailureSaid_)
            say(std::string("the status files cannot be written: ") + options_.wording(diagnosticOf(e)));
        statusFailureSaid_ = true;
    }
}

NightEnd TStation::detect() {
    makeRoomOnDisk();
    bool bright = false;
    TLiveStationOptions liveOptions;
    liveOptions.source = options_.source;
    liveOptions.mode = LiveMode::Detect;
    // The power-off waits for the morning's work; the session only says so.
    liveOptions.powerOff = [&bright] { bright = true; };
    // A session log that cannot be written (a full disk, a broken file)
    // must not keep the detector from the sky: the second try goes without.
    TConfiguration withoutLog = config_;
    withoutLog.setUseLogFile(false);
    std::optional<TLiveStation> started;
    std::string failure;
    for (const TConfiguration* settings : {&config_, static_cast<const TConfiguration*>(&withoutLog)}) {
        started.emplace(*settings, programDirectory_, programDirectory_, notifier_, &clock_);
        try {
            const TCaptureFormat format = started->probe(liveOptions);
            started->start(liveOptions, format);
            if (settings == &withoutLog) say("the session's log cannot be written (" + failure + "); detecting without it");
            say("detection started: " + captureFormatText(format));
            checkClock();
            updateStatus();
            failure.clear();
            break;
        } catch (const EInOutError& e) {
            if (failure.empty()) failure = options_.wording(e.diagnostic());
            if (!config_.useLogFile()) break;
        } catch (const std::exception& e) {
            if (failure.empty()) failure = options_.wording(diagnosticOf(e));
            break;
        }
    }
    if (!failure.empty()) {
        started.reset();
        // A camera that stays away is said once, not every minute all night.
        if (lastStartFailure_ != failure) {
            say("detection could not start: " + failure + "; trying again every minute");
            updateStatus();
        }
        lastStartFailure_ = failure;
        return NightEnd::SourceFailed;
    }
    TLiveStation& station = *started;
    lastStartFailure_.clear();
    ++end_.nights;
    std::size_t reported = 0;
    TDateTime nextDiskCheck = clock_.localNow() + kDiskCheck;
    NightEnd why = NightEnd::Dawn;
    for (;;) {
        const bool running = station.poll(kPoll);
        for (const std::vector<TWrittenClip> clips = station.finishedClips(); reported < clips.size(); ++reported)
            say("clip " + clips[reported].fileName + " (" + std::to_string(clips[reported].frames) + " frames)");
        if (stopRequested()) {
            why = NightEnd::Stopped;
            break;
        }
        if (bright || !running) {
            why = NightEnd::BrightSky;
            break;
        }
        if (station.sourceEnded()) {
            why = NightEnd::SourceEnded;
            break;
        }
        const TDateTime now = clock_.localNow();
        if (!isNight(now, place_)) break;
        if (now >= nextDiskCheck) {
            makeRoomOnDisk();
            nextDiskCheck = now + kDiskCheck;
        }
    }
    TLiveStationEnd end;
    try {
        end = station.stop();
    } catch (const std::exception& e) {
        // The session's log could not take its last line (a full disk): the
        // clips are still finished by the second stop.
        say(std::string("stopping detection: ") + options_.wording(diagnosticOf(e)));
        end = station.stop();
    }
    for (; reported < end.clips.size(); ++reported)
        say("clip " + end.clips[reported].fileName + " (" + std::to_string(end.clips[reported].frames) + " frames)");
    for (const TWrittenClip& c : end.clips) {
        if (!c.complete) {
            say("clip " + c.fileName + " is not complete: the disk may be full");
            end_.lostClips = true;
        }
    }
    if (end.failedFrames > 0) {
        say(std::to_string(end.failedFrames) + " frame(s) could not be handled as part of an event; an event may have been lost");
        end_.lostClips = true;
    }
    const std::string clips = std::to_string(end.clips.size()) + " clip(s)";
    switch (why) {
        case NightEnd::Dawn: say("dawn: detection stopped, " + clips); break;
        case NightEnd::Stopped: say("stop requested: detection stopped, every clip finished, " + clips); break;
        case NightEnd::BrightSky: say("the sky is bright: detection stopped, " + clips); break;
        case NightEnd::SourceEnded:
            if (end.graphError) {
                say("the source failed: " + options_.wording(*end.graphError) +
                    "; trying again in a minute, " + clips);
                return NightEnd::SourceFailed;
            }
            say("the source has ended: detection stopped until the next dusk, " + clips);
            break;
        case NightEnd::SourceFailed: break;
    }
    updateStatus();
    return why;
}

bool TStation::doMornings() {
    for (const std::string& night : nightsAwaitingProcessing(programDirectory_)) {
        if (stopRequested()) return false;
        say("morning's work on " + night);
        TMorningResult r;
        int failed = 0;
        try {
            // Each event's line as soon as it and those before it are done,
            // in clip order: a kill loses no record of the events told.
            r = processNightMorning(
                night, config_, programDirectory_, options_.threads, [this] { return stopRequested(); },
                [&](const TMorningEvent& e) {
                    say(morningEventLine(e, options_.wording));
                    if (!morningEventDone(e)) ++failed;
                });
        } catch (const std::exception& e) {
            // The marker or an export could not be written: the night stays
            // waiting, and the next morning tries again.
            say("the morning's work on " + night + " failed: " + options_.wording(diagnosticOf(e)));
            end_.failedEvents += failed;
            continue;
        }
        end_.failedEvents += failed;
        for (const TDiagnostic& p : r.exportProblems) say("exports: " + options_.wording(p));
        if (!r.finished) {
            if (stopRequested()) {
                say("stopped before the night was done; the next run continues it");
                return false;
            }
            say("the night could not be marked done; the next morning continues it");
            continue;
        }
        if (!r.summaryFile.empty()) say("summary " + r.summaryFile);
        if (!r.r90File.empty()) say("R90 " + r.r90File);
        int reports = 0, toMark = 0;
        const TMorningEvent* firstFailure = nullptr;
        for (const TMorningEvent& e : r.events) {
            reports += e.outcome == MorningOutcome::Report;
            toMark += e.outcome == MorningOutcome::NoTrack;
            if (!firstFailure && !morningEventDone(e)) firstFailure = &e;
        }
        std::string counts = "morning's work on " + night + ": " + std::to_string(r.events.size()) + " event(s), " +
                             std::to_string(reports) + " report(s), " + std::to_string(toMark) + " to mark, " +
                             std::to_string(failed) + " failed";
        if (firstFailure)
            counts += " (first: " + eventNameOfClip(firstFailure->clip) + ": " +
                      morningFailureReason(*firstFailure, options_.wording) + ")";
        say(counts);
        if (!r.nightDone)
            say("the night " + night + " is not done: the clips whose work failed are kept and tried again next morning");
        updateStatus();
    }
    return true;
}

TUnattendedEnd TStation::run() {
    say("station started: latitude " + floatToText(place_.latitude) + ", longitude (west positive) " +
        floatToText(place_.longitudeWestPositive) + ", detecting while the Sun is below " +
        floatToText(place_.nightSunAltitude) + "°");
    try {
        const std::vector<std::string> stale = removeStaleFiles(programDirectory_);
        if (!stale.empty())
            say(std::to_string(stale.size()) + " temporary or lock file(s) a stopped run left were removed");
    } catch (const std::exception& e) {
        say(std::string("stale files could not be looked at: ") + options_.wording(diagnosticOf(e)));
    }
    // The set-up, as `orbisight-cli check` sees it (the clock's state among it).
    checkClock(/*tell=*/false);
    try {
        TSetupCheckInput check{programDirectory_, std::nullopt, std::nullopt, clockState_, 0, systemUtcOffsetHours()};
        if (options_.source.isDevice && options_.source.text.starts_with("/dev/")) check.deviceNode = options_.source.text;
        try {
            check.freeBytes = options_.freeSpace(programDirectory_);
        } catch (const std::exception&) {
        }
        for (const TCheckFinding& f : checkStationSetup(check, config_)) say("set-up " + checkFindingLine(f, options_.wording));
    } catch (const std::exception& e) {
        say(std::string("the set-up could not be checked: ") + options_.wording(diagnosticOf(e)));
    }
    updateStatus();
    // A night ended early (bright sky, a source that ended) waits for the
    // day before detection starts again.
    bool nightOver = false;
    bool detected = false;
    while (!stopRequested()) {
        const TDateTime now = clock_.localNow();
        const bool night = isNight(now, place_);
        if (night && !nightOver) {
            const NightEnd why = detect();
            if (why == NightEnd::Stopped) break;
            detected = true;
            if (why == NightEnd::SourceFailed) {
                if (!waitUntil(clock_.localNow() + kSourceRetry)) break;
                continue;
            }
            // A night ended early (bright sky, a source that ended) gets its
            // morning at once.
            nightOver = why != NightEnd::Dawn;
            continue;
        }
        if (!night || nightOver) {
            if (!doMornings()) break;
            makeRoomOnDisk();
            if (detected) {
                detected = false;
                ++end_.mornings;
                say("the night is done");
                if (nightOver && config_.useAutoShutDown()) {
                    say("powering off");
                    (options_.powerOff ? options_.powerOff : systemPowerOff)();
                }
                if (options_.mornings > 0 && end_.mornings >= options_.mornings) break;
            }
        }
        const std::optional<TDateTime> change = nextScheduleChange(clock_.localNow(), place_);
        if (!change) {
            // Polar day or night: look again in an hour.
            if (!waitUntil(clock_.localNow() + 60 * kMinute)) break;
            continue;
        }
        if (isNight(clock_.localNow(), place_) && !nightOver) continue;  // the night began meanwhile
        say(std::string(isNight(clock_.localNow(), place_) ? "waiting for the day: " : "waiting for the night: ") +
            formatDateTime("yyyy-mm-dd hh:nn:ss", *change));
        if (!waitUntil(*change)) break;
        if (!isNight(clock_.localNow(), place_)) nightOver = false;
    }
    say("station stopped");
    updateStatus(/*stopping=*/true);
    return end_;
}

}  // namespace

TUnattendedEnd runUnattendedStation(const TConfiguration& config, const std::string& programDirectory,
                                    TStationClock& clock, const TUnattendedOptions& options, UserNotifier& notifier) {
    TStation station(config, programDirectory, clock, options, notifier);
    return station.run();
}

}  // namespace orbis
