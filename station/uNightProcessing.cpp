#include "station/uNightProcessing.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "config/uConfiguration.h"
#include "processing/uNaming.h"
#include "station/uEventScheduler.h"
#include "station/uStationDiagnostics.h"

namespace orbis {

namespace {

// What an event running beside others tells is kept, every call as it was
// made (messages, notes, stages, progress), and told when all events before
// it are told, so the output reads as a run one after another. A question
// cannot wait for its turn: it goes at once, one at a time.
class TDeferredNotifier final : public UserNotifier {
public:
    TDeferredNotifier(UserNotifier& target, std::mutex& toTarget) : target_(target), toTarget_(toTarget) {}

    void report(const TDiagnostic& d) override { keep([d](UserNotifier& n) { n.report(d); }); }
    void record(const TDiagnostic& d) override { keep([d](UserNotifier& n) { n.record(d); }); }
    bool question(const TDiagnostic& diagnostic) override {
        const std::lock_guard lock(toTarget_);
        return target_.question(diagnostic);
    }
    void stage(const TDiagnostic& d) override { keep([d](UserNotifier& n) { n.stage(d); }); }
    void stageEnd() override { keep([](UserNotifier& n) { n.stageEnd(); }); }
    void message(const std::string& caption, const std::string& text, MessageIcon icon) override {
        keep([caption, text, icon](UserNotifier& n) { n.message(caption, text, icon); });
    }
    bool ask(const std::string& caption, const std::string& text) override {
        const std::lock_guard lock(toTarget_);
        return target_.ask(caption, text);
    }
    void status(const std::string& text) override { keep([text](UserNotifier& n) { n.status(text); }); }
    void note(const std::string& text) override { keep([text](UserNotifier& n) { n.note(text); }); }
    void progressShow(int maximum) override { keep([maximum](UserNotifier& n) { n.progressShow(maximum); }); }
    void progressPosition(int position) override {
        keep([position](UserNotifier& n) { n.progressPosition(position); });
    }
    void progressHide() override { keep([](UserNotifier& n) { n.progressHide(); }); }
    bool cancelRequested() override {
        const std::lock_guard lock(toTarget_);
        return target_.cancelRequested();
    }

    // Under toTarget.
    void tell() const {
        for (const auto& call : kept_) call(target_);
    }

private:
    void keep(std::function<void(UserNotifier&)> call) { kept_.push_back(std::move(call)); }

    UserNotifier& target_;
    std::mutex& toTarget_;
    std::vector<std::function<void(UserNotifier&)>> kept_;
};

}  // namespace

std::vector<std::string> eventDirectoriesOfNight(const std::string& nightDirectory) {
    std::vector<std::string> events;
    for (const std::string& name : listDirectory(nightDirectory, "*.*", ListKind::Directories))
        events.push_back(joinPath(nightDirectory, name));
    return events;
}

std::vector<TEventRun> processEvents(const std::vector<std::string>& eventDirectories, const TConfiguration& config,
                                     const std::string& programDirectory, UserNotifier& notifier,
                                     const std::function<void(const TEventRun&)>& onEvent, unsigned threads) {
    requireProcessingSettings(config);
    const std::size_t n = eventDirectories.size();
    // One at a time the events talk to the notifier as they run; beside
    // others each keeps what it tells for its turn.
    const bool live = eventWorkers(n, threads, std::max(1u, std::thread::hardware_concurrency())) <= 1;
    std::vector<TProcessResult> results(n);
    std::vector<std::unique_ptr<TDeferredNotifier>> deferred(n);
    std::mutex toTarget;  // the workers' calls reach the notifier one at a time
    std::vector<TEventRun> runs;
    TEventSchedule schedule{threads, [&] {
                                const std::lock_guard lock(toTarget);
                                return notifier.cancelRequested();
                            }};
    scheduleEvents(
        n, schedule,
        [&](std::size_t i, TScanOptions scan) {
            if (live) {
                results[i] = processEvent(eventDirectories[i], config, programDirectory, notifier, scan);
                return;
            }
            deferred[i] = std::make_unique<TDeferredNotifier>(notifier, toTarget);
            results[i] = processEvent(eventDirectories[i], config, programDirectory, *deferred[i], scan);
        },
        [&](std::size_t i, std::exception_ptr error) {
            TEventRun run{eventDirectories[i], results[i], {}};
            if (error) run.error = diagnosticOf(error);
            {
                const std::lock_guard lock(toTarget);
                if (deferred[i]) deferred[i]->tell();
                deferred[i].reset();
                notifier.progressHide();
            }
            runs.push_back(std::move(run));
            if (onEvent) onEvent(runs.back());
        });
    return runs;
}

}  // namespace orbis
