#include "station/uNightProcessing.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <optional>
#include <mutex>
#include <thread>
#include <variant>

#include "config/uConfiguration.h"
#include "processing/uNaming.h"
#include "station/uStationDiagnostics.h"

namespace orbis {

namespace {

TEventRun runOne(const std::string& event, const TConfiguration& config, const std::string& programDirectory,
                 UserNotifier& notifier, TScanOptions scan) {
    TEventRun run{event, {}, {}};
    try {
        run.result = processEvent(event, config, programDirectory, notifier, scan);
    } catch (const std::exception& e) {
        run.error = diagnosticOf(e);
    }
    return run;
}

// What an event running beside others tells: its messages and notes are
// kept and told in the events' order when it is its turn, so the output
// reads as a run one after another; its stages and progress are not shown
// (several events' stages at once would say nothing). A question cannot
// wait for its turn: it goes at once, one at a time.
class TDeferredNotifier final : public UserNotifier {
public:
    TDeferredNotifier(UserNotifier& target, std::mutex& asking) : target_(target), asking_(asking) {}

    void report(const TDiagnostic& diagnostic) override { told_.push_back(Told{Told::Report, diagnostic}); }
    void record(const TDiagnostic& diagnostic) override { told_.push_back(Told{Told::Record, diagnostic}); }
    bool question(const TDiagnostic& diagnostic) override {
        const std::lock_guard lock(asking_);
        return target_.question(diagnostic);
    }
    void stage(const TDiagnostic&) override {}
    void stageEnd() override {}
    void message(const std::string& caption, const std::string& text, MessageIcon icon) override {
        told_.push_back(Message{caption, text, icon});
    }
    bool ask(const std::string& caption, const std::string& text) override {
        const std::lock_guard lock(asking_);
        return target_.ask(caption, text);
    }
    void status(const std::string&) override {}
    void note(const std::string& text) override { told_.push_back(text); }
    void progressShow(int) override {}
    void progressPosition(int) override {}
    void progressHide() override {}
    bool cancelRequested() override {
        const std::lock_guard lock(asking_);
        return target_.cancelRequested();
    }

    void tell() const {
        for (const auto& t : told_) {
            if (const auto* m = std::get_if<Message>(&t))
                target_.message(m->caption, m->text, m->icon);
            else if (const auto* d = std::get_if<Told>(&t))
                d->kind == Told::Report ? target_.report(d->diagnostic) : target_.record(d->diagnostic);
            else
                target_.note(std::get<std::string>(t));
        }
    }

private:
    struct Message {
        std::string caption, text;
        MessageIcon icon;
    };
    struct Told {
        enum Kind { Report, Record } kind;
        TDiagnostic diagnostic;
    };
    UserNotifier& target_;
    std::mutex& asking_;
    std::vector<std::variant<Message, Told, std::string>> told_;
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
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    if (threads == 0) threads = cores;
    const std::size_t workers = std::min<std::size_t>(threads, eventDirectories.size());
    std::vector<TEventRun> runs;
    if (workers <= 1) {
        for (const std::string& event : eventDirectories) {
            if (notifier.cancelRequested()) break;
            runs.push_back(runOne(event, config, programDirectory, notifier, {}));
            notifier.progressHide();
            if (onEvent) onEvent(runs.back());
        }
        return runs;
    }

    // Events at once times scan threads each share out the cores; the
    // results are told in the events' order as soon as all before are done.
    const TScanOptions scan{static_cast<int>(std::max<std::size_t>(1, cores / workers))};
    const std::size_t n = eventDirectories.size();
    std::vector<std::optional<TEventRun>> done(n);
    std::vector<std::unique_ptr<TDeferredNotifier>> deferred(n);
    std::mutex asking, telling;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> cancelled{false};
    std::size_t toldUpTo = 0;  // events before this one are told (guarded by telling)
    const auto work = [&] {
        for (;;) {
            {
                const std::lock_guard lock(asking);
                if (notifier.cancelRequested()) cancelled = true;
            }
            if (cancelled) return;
            const std::size_t i = next++;
            if (i >= n) return;
            auto own = std::make_unique<TDeferredNotifier>(notifier, asking);
            TEventRun run = runOne(eventDirectories[i], config, programDirectory, *own, scan);
            const std::lock_guard lock(telling);
            done[i] = std::move(run);
            deferred[i] = std::move(own);
            for (; toldUpTo < n && done[toldUpTo]; ++toldUpTo) {
                deferred[toldUpTo]->tell();
                deferred[toldUpTo].reset();
                runs.push_back(*done[toldUpTo]);
                if (onEvent) onEvent(runs.back());
            }
        }
    };
    {
        std::vector<std::jthread> pool;
        for (std::size_t t = 0; t < workers; ++t) pool.emplace_back(work);
    }
    // A cancel leaves a gap: the events after it are told too.
    for (std::size_t i = toldUpTo; i < n; ++i) {
        if (!done[i]) continue;
        deferred[i]->tell();
        runs.push_back(*done[i]);
        if (onEvent) onEvent(runs.back());
    }
    return runs;
}

}  // namespace orbis
