// The event scheduler on its own: events released in the list's order
// whatever order they end in, never more at once than asked, a failing
// event keeping its place, a stop that waits for the running events, and
// the cores shared between the events and their scans.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <numeric>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "astro/uExceptions.h"
#include "station/uEventScheduler.h"
#include "station/uStationDiagnostics.h"

namespace orbis {
namespace {

using namespace std::chrono_literals;

std::vector<std::size_t> upTo(std::size_t n) {
    std::vector<std::size_t> v(n);
    std::iota(v.begin(), v.end(), 0);
    return v;
}

// Counts the events running at once, the most seen, and the releases that
// overlapped.
struct Overlap {
    std::atomic<int> running{0}, most{0}, releasing{0};
    std::atomic<bool> releasesOverlapped{false};

    void enter() {
        const int now = ++running;
        for (int m = most.load(); now > m && !most.compare_exchange_weak(m, now);) {
        }
    }
    void leave() { --running; }
    void enterRelease() {
        if (++releasing != 1) releasesOverlapped = true;
    }
    void leaveRelease() { --releasing; }
};

// Waits (at most 20 s) until the flag is set.
void waitFor(const std::atomic<bool>& flag) {
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (!flag && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(flag) << "never set";
}

// Lists of random lengths, events of random lengths, on random counts of
// workers (0: one per core). With several workers the first event waits
// until two others have ended, so it ends after them and is still released
// first. Each event runs once, the releases come one at a time in order, and
// no more events run at once than workers were asked for.
TEST(EventScheduler, ReleasesInTheListsOrderWhateverOrderTheEventsEndIn) {
    std::mt19937 random(17);
    for (int round = 0; round < 16; ++round) {
        const std::size_t count = std::uniform_int_distribution<std::size_t>(0, 30)(random);
        const unsigned threads = round < 2 ? 1 + 2 * round : std::uniform_int_distribution<unsigned>(0, 5)(random);
        const std::size_t workers = eventWorkers(count, threads, std::thread::hardware_concurrency());
        SCOPED_TRACE(testing::Message() << count << " events, " << threads << " threads");
        std::vector<int> pause(count);
        for (int& p : pause) p = std::uniform_int_distribution<int>(0, 800)(random);
        Overlap o;
        std::mutex mutex;
        std::vector<std::size_t> ended, released;
        std::atomic<bool> twoEnded{false};
        std::vector<std::atomic<int>> ranTimes(count);
        const bool firstWaits = workers > 1 && count >= 3;
        const std::size_t ran = scheduleEvents(
            count, {threads, {}},
            [&](std::size_t i, TScanOptions scan) {
                o.enter();
                EXPECT_EQ(scan.threads == 0, workers == 1);  // one at a time: every core for the scan
                ++ranTimes[i];
                if (i == 0 && firstWaits) waitFor(twoEnded);
                std::this_thread::sleep_for(std::chrono::microseconds(pause[i]));
                const std::lock_guard lock(mutex);
                ended.push_back(i);
                if (ended.size() == 2) twoEnded = true;
                o.leave();
            },
            [&](std::size_t i, std::exception_ptr error) {
                o.enterRelease();
                EXPECT_FALSE(error);
                released.push_back(i);
                o.leaveRelease();
            });
        EXPECT_EQ(ran, count);
        EXPECT_EQ(released, upTo(count));
        for (const auto& times : ranTimes) EXPECT_EQ(times.load(), 1);
        EXPECT_FALSE(o.releasesOverlapped);
        EXPECT_LE(o.most.load(), static_cast<int>(workers));
        if (firstWaits) {
            EXPECT_GE(o.most.load(), 2);  // the first waited while others ran
            EXPECT_NE(ended.front(), 0u);
        }
    }
}

TEST(EventScheduler, AFailingEventKeepsItsPlaceAndCostsNoOtherItsRun) {
    for (const unsigned threads : {1u, 2u, 4u}) {
        SCOPED_TRACE(threads);
        std::vector<std::size_t> released;
        std::vector<Code> failures(6, Code::Unworded);
        const std::size_t ran = scheduleEvents(
            6, {threads, {}},
            [&](std::size_t i, TScanOptions) {
                if (i == 3) throw EInOutError(TDiagnostic(Code::ClipNotAvi).with("file", "c.avi"));
                if (i == 1) throw 42;  // not even a std::exception
                std::this_thread::sleep_for(2ms);
            },
            [&](std::size_t i, std::exception_ptr error) {
                released.push_back(i);
                if (error) failures[i] = diagnosticOf(error).code();
            });
        EXPECT_EQ(ran, 6u);
        EXPECT_EQ(released, upTo(6));
        EXPECT_EQ(failures, (std::vector<Code>{Code::Unworded, Code::WorkFailedUnexpectedly, Code::Unworded,
                                               Code::ClipNotAvi, Code::Unworded, Code::Unworded}));
    }
}

TEST(EventScheduler, AStopHandsOutNoFurtherEventAndReleasesThoseRunning) {
    for (const unsigned threads : {1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        std::atomic<bool> stop{false};
        std::atomic<int> running{0};
        std::mutex mutex;
        std::set<std::size_t> started;
        std::vector<std::size_t> released;
        const std::size_t ran = scheduleEvents(
            40, {threads, [&] { return stop.load(); }},
            [&](std::size_t i, TScanOptions) {
                {
                    const std::lock_guard lock(mutex);
                    started.insert(i);
                }
                ++running;
                // The later events wait for the stop: they are the ones
                // running when it comes.
                if (i >= 3) waitFor(stop);
                --running;
            },
            [&](std::size_t i, std::exception_ptr) {
                released.push_back(i);
                if (i == 2) stop = true;  // the user presses Stop
            });
        EXPECT_EQ(running.load(), 0);  // nothing left running
        EXPECT_EQ(released, upTo(ran));
        EXPECT_EQ(started.size(), ran);  // every event handed out was released
        EXPECT_GE(ran, 3u);
        // Only the events already running when the stop came: one per other worker.
        EXPECT_LE(ran, 3u + threads);
        if (threads == 1) {
            EXPECT_EQ(ran, 3u);
        }
    }
    // A stop before the first event.
    int runs = 0;
    EXPECT_EQ(scheduleEvents(5, {2, [] { return true; }}, [&](std::size_t, TScanOptions) { ++runs; },
                             [](std::size_t, std::exception_ptr) {}),
              0u);
    EXPECT_EQ(runs, 0);
}

// The receiver of the results fails (a log that cannot be written): no
// further event starts, those running end, and its error comes out.
TEST(EventScheduler, WhatTheReleaseRaisesStopsTheRunAfterTheRunningEventsEnd) {
    // So many events that a run that went on handing them out would reach
    // the end; the workers that see the failure before the scheduler does
    // may take a few more.
    constexpr std::size_t kEvents = 1'000'000;
    for (const unsigned threads : {1u, 2u, 4u}) {
        SCOPED_TRACE(threads);
        std::atomic<int> started{0}, ended{0}, releases{0};
        std::atomic<bool> failed{false};
        EXPECT_THROW(scheduleEvents(
                         kEvents, {threads, {}},
                         [&](std::size_t i, TScanOptions) {
                             ++started;
                             if (i >= 2) waitFor(failed);  // running when the failure comes
                             ++ended;
                         },
                         [&](std::size_t i, std::exception_ptr) {
                             ++releases;
                             if (i != 1) return;
                             failed = true;
                             throw EInOutError(TDiagnostic(Code::Unworded).with("text", "log"));
                         }),
                     EInOutError);
        EXPECT_EQ(started.load(), ended.load());
        EXPECT_LT(started.load(), static_cast<int>(kEvents));
        if (threads == 1) {
            EXPECT_EQ(started.load(), 2);
        }
        EXPECT_EQ(releases.load(), 2);  // nothing is released after the failure
    }
}

TEST(EventScheduler, TheCoresAreSharedOutBetweenTheEventsAndTheirScans) {
    EXPECT_EQ(eventWorkers(0, 0, 2), 0u);
    EXPECT_EQ(eventWorkers(10, 0, 2), 2u);  // one per core by default
    EXPECT_EQ(eventWorkers(1, 4, 2), 1u);   // no more workers than events
    EXPECT_EQ(eventWorkers(10, 3, 2), 3u);  // as many as asked for
    EXPECT_EQ(eventWorkers(10, 0, 0), 1u);  // a machine that does not say
    // One worker scans on every core; several share the cores, the
    // remainder to the first, and never scan on fewer than one thread.
    EXPECT_EQ(scanOfWorker(0, 1, 8).threads, 0);
    const auto shares = [](std::size_t workers, unsigned cores) {
        std::vector<int> s;
        for (std::size_t w = 0; w < workers; ++w) s.push_back(scanOfWorker(w, workers, cores).threads);
        return s;
    };
    EXPECT_EQ(shares(2, 2), (std::vector<int>{1, 1}));
    EXPECT_EQ(shares(3, 8), (std::vector<int>{3, 3, 2}));
    EXPECT_EQ(shares(4, 2), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(shares(2, 5), (std::vector<int>{3, 2}));
}

}  // namespace
}  // namespace orbis
