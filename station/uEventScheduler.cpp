#include "station/uEventScheduler.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace orbis {

namespace {

unsigned machineCores() { return std::max(1u, std::thread::hardware_concurrency()); }

// The state the workers share, guarded by mutex.
struct TSchedulerState {
    std::mutex mutex;
    std::size_t next = 0;      // the first event not handed out
    std::size_t released = 0;  // the events before this one are released
    bool stopped = false;
    bool releasing = false;    // a worker is releasing: the others leave it to it
    std::vector<char> ended;
    std::vector<std::exception_ptr> errors;
    std::exception_ptr failure;  // what release or stopRequested raised
};

}  // namespace

std::size_t eventWorkers(std::size_t events, unsigned threads, unsigned cores) {
    return std::min<std::size_t>(threads == 0 ? std::max(1u, cores) : threads, events);
}

TScanOptions scanOfWorker(std::size_t worker, std::size_t workers, unsigned cores) {
    if (workers <= 1) return {};
    const std::size_t share = cores / workers, extra = cores % workers;
    return TScanOptions{static_cast<int>(std::max<std::size_t>(1, share + (worker < extra ? 1 : 0)))};
}

std::size_t scheduleEvents(std::size_t count, const TEventSchedule& schedule,
                           const std::function<void(std::size_t, TScanOptions)>& run,
                           const std::function<void(std::size_t, std::exception_ptr)>& release) {
    const unsigned cores = machineCores();
    const std::size_t workers = eventWorkers(count, schedule.threads, cores);
    const auto stopRequested = [&] { return schedule.stopRequested && schedule.stopRequested(); };
    if (workers <= 1) {
        std::size_t i = 0;
        for (; i < count && !stopRequested(); ++i) {
            std::exception_ptr error;
            try {
                run(i, scanOfWorker(0, 1, cores));
            } catch (...) {
                error = std::current_exception();
            }
            release(i, error);
        }
        return i;
    }

    TSchedulerState s;
    s.ended.assign(count, 0);
    s.errors.resize(count);
    const auto work = [&](std::size_t worker) {
        const TScanOptions scan = scanOfWorker(worker, workers, cores);
        for (;;) {
            std::size_t i = 0;
            {
                const std::lock_guard lock(s.mutex);
                if (s.stopped || s.next >= count) return;
                // Under the lock: one look at a time, and none hands out an
                // event after another saw the stop.
                try {
                    s.stopped = stopRequested();
                } catch (...) {
                    s.failure = std::current_exception();
                    s.stopped = true;
                }
                if (s.stopped) return;
                i = s.next++;
            }
            std::exception_ptr error;
            try {
                run(i, scan);
            } catch (...) {
                error = std::current_exception();
            }
            std::unique_lock lock(s.mutex);
            s.ended[i] = 1;
            s.errors[i] = error;
            // One worker releases at a time; the others go on with their
            // next event, and it releases theirs too once it reaches them.
            if (s.releasing) continue;
            s.releasing = true;
            while (s.released < count && s.ended[s.released] && !s.failure) {
                const std::size_t r = s.released;
                lock.unlock();
                std::exception_ptr failure;
                try {
                    release(r, s.errors[r]);
                } catch (...) {
                    failure = std::current_exception();
                }
                lock.lock();
                ++s.released;
                if (failure) {
                    s.failure = failure;
                    s.stopped = true;
                }
            }
            s.releasing = false;
        }
    };
    {
        std::vector<std::jthread> pool;
        for (std::size_t w = 1; w < workers; ++w) pool.emplace_back(work, w);
        work(0);
    }
    if (s.failure) std::rethrow_exception(s.failure);
    return s.released;
}

}  // namespace orbis
