#pragma once
// Processing several events in a row (the events named by the user, or every
// event of a night), each as processEvent does, one after the other. An
// error that ends one event's run does not end the others'. The user may stop
// between events.

#include <functional>
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
    std::string error;  // what ended the run of this event, or empty
};

// Processes the events in order, after requireProcessingSettings (which
// raises for every event alike). onEvent is called after each event. Before
// each event the notifier's cancelRequested() is looked at; the runs done
// until then are returned.
std::vector<TEventRun> processEvents(const std::vector<std::string>& eventDirectories, const TConfiguration& config,
                                     const std::string& programDirectory, UserNotifier& notifier,
                                     const std::function<void(const TEventRun&)>& onEvent = {});

}  // namespace orbis
