#include "station/uNightProcessing.h"

#include <exception>

#include "config/uConfiguration.h"
#include "processing/uNaming.h"

namespace orbis {

std::vector<std::string> eventDirectoriesOfNight(const std::string& nightDirectory) {
    std::vector<std::string> events;
    for (const std::string& name : listDirectory(nightDirectory, "*.*", ListKind::Directories))
        events.push_back(joinPath(nightDirectory, name));
    return events;
}

std::vector<TEventRun> processEvents(const std::vector<std::string>& eventDirectories, const TConfiguration& config,
                                     const std::string& programDirectory, UserNotifier& notifier,
                                     const std::function<void(const TEventRun&)>& onEvent) {
    requireProcessingSettings(config);
    std::vector<TEventRun> runs;
    for (const std::string& event : eventDirectories) {
        if (notifier.cancelRequested()) break;
        TEventRun run{event, {}, {}};
        try {
            run.result = processEvent(event, config, programDirectory, notifier);
        } catch (const std::exception& e) {
            run.error = e.what();
        }
        notifier.progressHide();
        runs.push_back(run);
        if (onEvent) onEvent(runs.back());
    }
    return runs;
}

}  // namespace orbis
