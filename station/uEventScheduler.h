#pragma once
// Runs the events of a list (a night's, a morning's clips) on up to N worker
// threads and hands each one's outcome back in the list's order, so whoever
// tells or logs the outcomes writes what a run one after another writes.
//
// Sharing the cores: the events are the outer, coarse work (image stages,
// detection, photometry and the report are one thread each); only the sky
// scan inside an event runs on several threads. Events at once take the
// cores first, and each running event's scan gets an equal part of them
// (the remainder to the first workers), so no more scan threads than cores
// run at any time. One event at a time keeps the whole machine for its scan.
// The last events of a list keep their part while the other workers idle: a
// scan's threads are fixed when it starts.

#include <cstddef>
#include <exception>
#include <functional>

#include "astrometry/uPlateSolution.h"

namespace orbis {

struct TEventSchedule {
    unsigned threads = 0;                 // events at a time; 0: one per core
    std::function<bool()> stopRequested;  // looked at before each event is handed out
};

// Events run at once for a list of `events` (at least one when there are any).
std::size_t eventWorkers(std::size_t events, unsigned threads, unsigned cores);

// The sky scan of the event that worker `worker` of `workers` runs, on a
// machine of `cores`: every core for a single worker.
TScanOptions scanOfWorker(std::size_t worker, std::size_t workers, unsigned cores);

// Calls run(i, scan) for i = 0, 1, ... of count events, up to
// eventWorkers(count, schedule.threads) at once (one at a time on the calling
// thread), and release(i, error) for each event in index order, one call at
// a time, as soon as it and every event before it have ended; error is what
// run(i) raised, or null: a failing event costs no other its run or its
// place. A stop hands out no further event, waits for those running and
// releases them. Returns how many events ran: the first ones of the list,
// each released. What release or stopRequested raises also stops the
// handing out; it is raised once the running events have ended, and no
// event is released after it.
std::size_t scheduleEvents(std::size_t count, const TEventSchedule& schedule,
                           const std::function<void(std::size_t, TScanOptions)>& run,
                           const std::function<void(std::size_t, std::exception_ptr)>& release);

}  // namespace orbis
