#pragma once
// Processing several events (the events named by the user, or every event
// of a night), each as processEvent does, one after the other or several
// at a time. An error that ends one event's run does not end the others'.
// The user may stop between events.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "astro/uNotifier.h"
#include "station/uEventProcessing.h"

namespace orbis {

class TConfiguration;

// The event directories of a night directory, in listing order.
std::vector<std::string> eventDirectoriesOfNight(const std::string& nightDirectory);

struct TEventRun {
    std::string eventDirectory;
    TProcessResult result;
    std::optional<TDiagnostic> error;  // what ended the run of this event, or nothing
};

// Processes the events, after requireProcessingSettings (which raises for
// every event alike), up to `threads` at a time (0: one per core). One at a
// time, every stage and progress is shown as it happens; several at a time,
// each event's messages and notes are told when all events before it are
// done, and stages and progress are not shown, so what is told and the runs
// returned are in the events' order either way. onEvent is called after
// each event, in that order. Before each event the notifier's
// cancelRequested() is looked at; the runs done until then are returned.
std::vector<TEventRun> processEvents(const std::vector<std::string>& eventDirectories, const TConfiguration& config,
                                     const std::string& programDirectory, UserNotifier& notifier,
                                     const std::function<void(const TEventRun&)>& onEvent = {}, unsigned threads = 1);

}  // namespace orbis
