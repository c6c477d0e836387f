#pragma once
// Long work (processing a night, a sky scan, detection over a file) on a
// worker thread while the front end's thread stays free. The work talks to a
// TQueuedNotifier; every call is queued and carried out on the owner's
// notifier when the owner's thread calls deliver() (a window from a timer,
// the command line in its wait loop), so a notifier that belongs to one
// thread is only ever used there. A question waits on the worker until the
// owner's thread has answered it. Cancelling is a request the work sees as
// cancelRequested() and honours where stopping leaves nothing half done.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "astro/uNotifier.h"

namespace orbis {

class TQueuedNotifier final : public UserNotifier {
public:
    explicit TQueuedNotifier(UserNotifier& owner) : owner_(owner) {}

    // Called by the work, on any thread.
    void report(const TDiagnostic& diagnostic) override;
    // Waits for the owner's answer; no once cancelled or closed.
    bool question(const TDiagnostic& diagnostic) override;
    void stage(const TDiagnostic& diagnostic) override;
    void stageEnd() override;
    void record(const TDiagnostic& diagnostic) override;
    void message(const std::string& caption, const std::string& text, MessageIcon icon) override;
    bool ask(const std::string& caption, const std::string& text) override;
    void status(const std::string& text) override;
    void note(const std::string& text) override;
    void progressShow(int maximum) override;
    void progressPosition(int position) override;
    void progressHide() override;
    bool cancelRequested() override { return cancelled_.load(); }

    // Called on the owner's thread: carries out what was queued, in order,
    // and returns how many calls that were.
    std::size_t deliver();
    void requestCancel();
    // No more deliveries: questions still waiting are answered no.
    void close();

private:
    void post(std::function<void(UserNotifier&)> call);
    // Queues a question and waits for its answer on the owner's thread.
    bool answer(std::function<bool(UserNotifier&)> asking);

    UserNotifier& owner_;
    std::mutex mutex_;
    std::condition_variable answered_;
    std::deque<std::function<void(UserNotifier&)>> queue_;
    std::atomic<bool> cancelled_{false};
    bool closed_ = false;
};

// Runs work(notifier) on a worker thread with a queued notifier over owner.
// The destructor cancels and waits for the work.
class TBackgroundWork {
public:
    TBackgroundWork(UserNotifier& owner, std::function<void(UserNotifier&)> work);
    ~TBackgroundWork();
    TBackgroundWork(const TBackgroundWork&) = delete;
    TBackgroundWork& operator=(const TBackgroundWork&) = delete;

    bool finished() const { return finished_.load(); }
    // On the owner's thread: carries out the queued notifier calls.
    std::size_t deliver() { return notifier_.deliver(); }
    void cancel() { notifier_.requestCancel(); }
    // Delivers until the work has ended, then rethrows what it raised.
    void wait();

private:
    TQueuedNotifier notifier_;
    std::atomic<bool> finished_{false};
    std::exception_ptr error_;
    std::jthread thread_;
};

}  // namespace orbis
