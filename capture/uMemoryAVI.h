#pragma once
// Event clip writers. Each event gets a TThreadMemAVI: its constructor takes
// or copies the event's frames on the capture thread, then a thread of its
// own writes them as an 8-bit grey AVI clip while capture goes on. The pool
// takes the detector's own buffers, giving it those of finished clips in
// their place, so an event costs no copy. TClipWriterPool owns
// the running writers, gives every clip a file name neither another writer
// of the program nor an existing file uses, and waits for all of them before
// the program ends, so no clip is ever cut off or replaced.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "astro/uNotifier.h"
#include "capture/uDetector.h"

namespace orbis {

class TThreadMemAVI {
public:
    // Copies frameSize bytes of every frame and starts writing path + ".avi",
    // which must not exist yet. Frames are width pixels wide, bottom row
    // first. When ringNotWrapped is set, the frames before firstValidFrame
    // were never filled and are left out. A write that fails is told to the
    // notifier (from the writer thread) as ClipSaveFailed with the file, the
    // system's reason ("detail") and the frames "written" of "total"; a
    // clip that got no frame is removed, one with frames is kept and closed.
    TThreadMemAVI(std::string path, int firstValidFrame, int frameRate, std::size_t frameSize, int width,
                  std::span<const std::vector<uint8_t>> frames, bool ringNotWrapped, UserNotifier& notifier);
    // The same, writing the buffers given instead of copies.
    TThreadMemAVI(std::string path, int firstValidFrame, int frameRate, std::size_t frameSize, int width,
                  std::vector<std::vector<uint8_t>>&& frames, bool ringNotWrapped, UserNotifier& notifier);
    // Waits for the file to be finished.
    ~TThreadMemAVI();
    TThreadMemAVI(const TThreadMemAVI&) = delete;
    TThreadMemAVI& operator=(const TThreadMemAVI&) = delete;

    void wait();
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    std::string fileName() const { return path_ + ".avi"; }
    // Frames the clip is to hold, and (once finished) frames it holds.
    int framesToWrite() const;
    int framesWritten() const { return framesWritten_.load(std::memory_order_acquire); }
    // True when the whole clip was written and closed.
    bool succeeded() const { return succeeded_.load(std::memory_order_acquire); }
    // The frame buffers, for another clip, once the file is finished.
    std::vector<std::vector<uint8_t>> takeBuffers();

private:
    void Execute();

    std::string path_;
    bool ringNotWrapped_;
    int frameCount_;
    int width_;
    std::size_t frameSize_;
    int firstValidFrame_;
    int frameRate_;
    std::vector<std::vector<uint8_t>> buffers_;
    UserNotifier& notifier_;
    std::atomic<int> framesWritten_{0};
    std::atomic<bool> succeeded_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;  // last: starts once everything above exists
};

// A clip the pool has handed to a writer.
struct TWrittenClip {
    std::string fileName;
    int frames = 0;         // frames written
    bool complete = false;  // every frame written and the file closed
};

class TClipWriterPool final : public ClipSink {
public:
    explicit TClipWriterPool(UserNotifier& notifier);
    // Waits for every writer.
    ~TClipWriterPool() override;

    // Starts a writer for the event, with the job's buffers when it hands
    // them over (see TClipJob), else with copies. A path another writer of this pool has
    // already used, a protected one or one whose file exists gets the next
    // free millisecond of its "hhnnss_zzz" name (a "_n" suffix for other
    // names, and past the end of the day): no clip is ever replaced.
    void writeClip(const TClipJob& job) override;

    // A file no clip may replace, however its path is written (the video
    // the detector is reading).
    void protect(const std::string& path);

    // Waits until every clip handed over so far is written.
    void waitAll();
    // The clips finished so far, in the order they were handed over.
    std::vector<TWrittenClip> finishedClips();

private:
    std::string claimPath(const std::string& path);
    void reapFinished();

    UserNotifier& notifier_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<TThreadMemAVI>> writers_;
    std::vector<std::vector<uint8_t>> spare_;  // finished clips' frame buffers, for the next hand-over
    std::size_t sparesKept_ = 0;               // at most one hand-over's worth
    std::vector<TWrittenClip> finished_;
    std::set<std::string> claimed_;
    std::set<std::string> protected_;  // canonical paths
};

// The clip path "…/hhnnss_zzz.avi" itself when no file has it, else the
// first of the next milliseconds (carried into the seconds …) that is free:
// a file that exists is never replaced.
std::string unusedClipPath(const std::string& aviPath);

}  // namespace orbis
