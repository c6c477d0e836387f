#include "capture/uMemoryAVI.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>

#include "astro/uExceptions.h"
#include "capture/uAviFile.h"

namespace orbis {

TThreadMemAVI::TThreadMemAVI(std::string path, int firstValidFrame, int frameRate, std::size_t frameSize, int width,
                             std::span<const std::vector<uint8_t>> frames, bool ringNotWrapped, UserNotifier& notifier)
    : path_(std::move(path)),
      ringNotWrapped_(ringNotWrapped),
      frameCount_(static_cast<int>(frames.size())),
      width_(width),
      frameSize_(frameSize),
      firstValidFrame_(firstValidFrame),
      frameRate_(frameRate),
      notifier_(notifier) {
    if (width < 1 || frameSize == 0 || frameSize % static_cast<std::size_t>(width) != 0) {
        throw std::invalid_argument("clip frames of " + std::to_string(frameSize) + " bytes for width " + std::to_string(width));
    }
    buffers_.reserve(frames.size());
    for (const auto& f : frames) {
        if (f.size() < frameSize) throw std::invalid_argument("clip frame shorter than the frame size");
        buffers_.emplace_back(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(frameSize));
    }
    thread_ = std::thread(&TThreadMemAVI::Execute, this);
}

TThreadMemAVI::~TThreadMemAVI() { wait(); }

void TThreadMemAVI::wait() {
    if (thread_.joinable()) thread_.join();
}

int TThreadMemAVI::framesToWrite() const {
    const int start = ringNotWrapped_ ? std::clamp(firstValidFrame_, 0, frameCount_) : 0;
    return frameCount_ - start;
}

void TThreadMemAVI::Execute() {
    const int height = static_cast<int>(frameSize_ / static_cast<std::size_t>(width_));
    const int start = frameCount_ - framesToWrite();
    bool reported = false;
    auto report = [&] {
        if (!reported) notifier_.message(kAviWriteErrorCaption, kAviWriteErrorMessage, MessageIcon::Warning);
        reported = true;
    };
    try {
        // Creating the file replaces an older clip of the same name. A clip
        // that cannot even be created is reported too: it is a lost meteor.
        TAviWriter writer(fileName(), width_, height, 8, static_cast<uint32_t>(std::max(frameRate_, 1)));
        try {
            for (int i = start; i < frameCount_; ++i) {
                writer.writeFrame(buffers_[static_cast<std::size_t>(i)]);
                framesWritten_.store(writer.framesWritten(), std::memory_order_release);
            }
        } catch (const EInOutError&) {
            report();
        }
        writer.close();
        succeeded_.store(!reported, std::memory_order_release);
    } catch (const std::exception&) {
        report();
    }
    buffers_.clear();
    buffers_.shrink_to_fit();
    finished_.store(true, std::memory_order_release);
}

// ---------------------------------------------------------------------------
// Pool

TClipWriterPool::TClipWriterPool(UserNotifier& notifier) : notifier_(notifier) {}

TClipWriterPool::~TClipWriterPool() { waitAll(); }

namespace {

// The n-th alternative of a clip path "…/hhnnss_zzz": the millisecond
// counted on while it stays below 1000, else a "_n" suffix.
std::string alternativePath(const std::string& path, int n) {
    const std::size_t len = path.size();
    if (len >= 4 && path[len - 4] == '_' && std::isdigit(static_cast<unsigned char>(path[len - 3])) &&
        std::isdigit(static_cast<unsigned char>(path[len - 2])) && std::isdigit(static_cast<unsigned char>(path[len - 1]))) {
        const int ms = std::stoi(path.substr(len - 3)) + n;
        if (ms <= 999) {
            std::string out = path.substr(0, len - 3);
            out += static_cast<char>('0' + ms / 100);
            out += static_cast<char>('0' + ms / 10 % 10);
            out += static_cast<char>('0' + ms % 10);
            return out;
        }
    }
    return path + "_" + std::to_string(n);
}

std::string canonicalPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path c = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : c.string();
}

}  // namespace

void TClipWriterPool::protect(const std::string& path) {
    std::lock_guard lock(mutex_);
    protected_.insert(canonicalPath(path));
}

std::string TClipWriterPool::claimPath(const std::string& path) {
    // A job's path has no extension; its writer adds ".avi".
    const auto taken = [this](const std::string& candidate) {
        return claimed_.count(candidate) != 0 ||
               (!protected_.empty() && protected_.count(canonicalPath(candidate + ".avi")) != 0);
    };
    std::string candidate = path;
    for (int n = 1; taken(candidate); ++n) candidate = alternativePath(path, n);
    claimed_.insert(candidate);
    return candidate;
}

void TClipWriterPool::reapFinished() {
    // Finished writers leave in hand-over order, so the record stays ordered.
    while (!writers_.empty() && writers_.front()->finished()) {
        auto& w = writers_.front();
        w->wait();
        finished_.push_back({w->fileName(), w->framesWritten(), w->succeeded()});
        writers_.erase(writers_.begin());
    }
}

void TClipWriterPool::writeClip(const TClipJob& job) {
    std::lock_guard lock(mutex_);
    reapFinished();
    writers_.push_back(std::make_unique<TThreadMemAVI>(claimPath(job.path), job.firstValidFrame, job.frameRate,
                                                       job.frameSize, job.width, job.frames, job.ringNotWrapped,
                                                       notifier_));
}

void TClipWriterPool::waitAll() {
    std::lock_guard lock(mutex_);
    for (auto& w : writers_) w->wait();
    reapFinished();
}

std::vector<TWrittenClip> TClipWriterPool::finishedClips() {
    std::lock_guard lock(mutex_);
    reapFinished();
    return finished_;
}

}  // namespace orbis
