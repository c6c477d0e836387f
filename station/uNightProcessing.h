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
// every event alike), up to `threads` at a time (0: one per core) on the
// event scheduler (station/uEventScheduler). One at a time, every stage and
// progress is shown as it happens; several at a time, everything an event
// tells (messages, notes, stages, progress) is kept and told when all events
// before it are told, so the notifier hears what a run one after another
// tells, in that order; only questions go at once. onEvent is called after
// each event, in the events' order. Before each event is handed out the
// notifier's cancelRequested() is looked at; the events running then end,
// and the runs done are returned.
std::vector<TEventRun> processEvents(const std::vector<std::string>& eventDirectories, const TConfiguration& config,
                                     const std::string& programDirectory, UserNotifier& notifier,
                                     const std::function<void(const TEventRun&)>& onEvent = {}, unsigned threads = 1);

}  // namespace orbis
