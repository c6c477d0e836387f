#include "capture/uMemoryAVI.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "astro/uExceptions.h"
#include "capture/uAviFile.h"

namespace orbis {

namespace {

// The warning of a clip that was not saved whole: the file, the system's
// reason (the writer's own diagnostic's "detail") and what went wrong.
TDiagnostic clipSaveFailure(const std::string& file, const TDiagnostic& cause) {
    TDiagnostic d(Code::ClipSaveFailed, Severity::Warning);
    d.with("file", file).with("detail", cause.value("detail")).with("cause", std::string(codeName(cause.code())));
    return d;
}

std::vector<std::vector<uint8_t>> copiedFrames(std::span<const std::vector<uint8_t>> frames, std::size_t frameSize) {
    std::vector<std::vector<uint8_t>> copies;
    copies.reserve(frames.size());
    for (const auto& f : frames) {
        if (f.size() < frameSize) throw std::invalid_argument("clip frame shorter than the frame size");
        copies.emplace_back(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(frameSize));
    }
    return copies;
}

}  // namespace

TThreadMemAVI::TThreadMemAVI(std::string path, int firstValidFrame, int frameRate, std::size_t frameSize, int width,
                             std::span<const std::vector<uint8_t>> frames, bool ringNotWrapped, UserNotifier& notifier)
    : TThreadMemAVI(std::move(path), firstValidFrame, frameRate, frameSize, width, copiedFrames(frames, frameSize),
                    ringNotWrapped, notifier) {}

TThreadMemAVI::TThreadMemAVI(std::string path, int firstValidFrame, int frameRate, std::size_t frameSize, int width,
                             std::vector<std::vector<uint8_t>>&& frames, bool ringNotWrapped, UserNotifier& notifier)
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
    for (const auto& f : frames)
        if (f.size() < frameSize) throw std::invalid_argument("clip frame shorter than the frame size");
    buffers_ = std::move(frames);
    for (auto& f : buffers_) f.resize(frameSize);
    thread_ = std::thread(&TThreadMemAVI::Execute, this);
}

std::vector<std::vector<uint8_t>> TThreadMemAVI::takeBuffers() {
    wait();
    return std::move(buffers_);
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
    std::optional<TDiagnostic> failure;
    try {
        // A clip that cannot even be created is reported too: it is a lost
        // meteor.
        TAviWriter writer(fileName(), width_, height, 8, static_cast<uint32_t>(std::max(frameRate_, 1)));
        try {
            for (int i = start; i < frameCount_; ++i) {
                writer.writeFrame(buffers_[static_cast<std::size_t>(i)]);
                framesWritten_.store(writer.framesWritten(), std::memory_order_release);
            }
        } catch (const EInOutError& e) {
            failure = e.diagnostic();
        }
        if (failure && writer.framesWritten() == 0) {
            // Headers alone are no clip; on a full disk every later event
            // would leave one more of them.
            writer.discard();
            failure = clipSaveFailure(fileName(), *failure).with("written", 0).with("total", framesToWrite());
        } else {
            try {
                writer.close();
            } catch (const EInOutError& e) {
                if (!failure) failure = e.diagnostic();
            }
            if (failure) {
                failure = clipSaveFailure(fileName(), *failure)
                              .with("written", writer.framesWritten())
                              .with("total", framesToWrite());
            }
        }
    } catch (const Exception& e) {
        failure = clipSaveFailure(fileName(), e.diagnostic()).with("written", 0).with("total", framesToWrite());
    } catch (const std::exception& e) {
        failure = TDiagnostic(Code::ClipSaveFailed, Severity::Warning)
                      .with("file", fileName())
                      .with("detail", e.what())
                      .with("written", 0)
                      .with("total", framesToWrite());
    }
    if (failure) notifier_.report(*failure);
    succeeded_.store(!failure, std::memory_order_release);
    // The buffers stay for takeBuffers: the pool gives them to the next event.
    finished_.store(true, std::memory_order_release);
}

// ---------------------------------------------------------------------------
// Pool

TClipWriterPool::TClipWriterPool(UserNotifier& notifier) : notifier_(notifier) {}

TClipWriterPool::~TClipWriterPool() { waitAll(); }

namespace {

// The n-th alternative of a clip path "…/hhnnss_zzz": n milliseconds
// later, carried into the seconds, minutes and hours, so the name still
// gives the event's time; other names, and times past the end of the day,
// get a "_n" suffix.
std::string alternativePath(const std::string& path, int n) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    const auto digits = [&](std::size_t from, std::size_t len) {
        int v = 0;
        for (std::size_t i = from; i < from + len; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
            v = v * 10 + (name[i] - '0');
        }
        return v;
    };
    if (name.size() == 10 && name[6] == '_') {
        const int hh = digits(0, 2), nn = digits(2, 2), ss = digits(4, 2), zzz = digits(7, 3);
        if (hh >= 0 && hh < 24 && nn >= 0 && nn < 60 && ss >= 0 && ss < 60 && zzz >= 0) {
            const long ms = ((hh * 60L + nn) * 60L + ss) * 1000L + zzz + n;
            if (ms < 86400000L) {
                char text[16];
                std::snprintf(text, sizeof text, "%02ld%02ld%02ld_%03ld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                              ms % 1000);
                return path.substr(0, path.size() - name.size()) + text;
            }
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

std::string unusedClipPath(const std::string& aviPath) {
    const std::string stem = aviPath.ends_with(".avi") ? aviPath.substr(0, aviPath.size() - 4) : aviPath;
    struct stat st {};
    std::string candidate = stem;
    for (int n = 1; ::lstat((candidate + ".avi").c_str(), &st) == 0; ++n) candidate = alternativePath(stem, n);
    return candidate + ".avi";
}

void TClipWriterPool::protect(const std::string& path) {
    std::lock_guard lock(mutex_);
    protected_.insert(canonicalPath(path));
}

std::string TClipWriterPool::claimPath(const std::string& path) {
    // A job's path has no extension; its writer adds ".avi".
    const auto taken = [this](const std::string& candidate) {
        struct stat st {};
        return claimed_.count(candidate) != 0 || ::lstat((candidate + ".avi").c_str(), &st) == 0 ||
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
        for (auto& buffer : w->takeBuffers())
            if (spare_.size() < sparesKept_) spare_.push_back(std::move(buffer));
        writers_.erase(writers_.begin());
    }
}

void TClipWriterPool::writeClip(const TClipJob& job) {
    std::lock_guard lock(mutex_);
    reapFinished();
    const std::string path = claimPath(job.path);
    if (job.handOver == nullptr || job.handOver->size() != job.frames.size()) {
        writers_.push_back(std::make_unique<TThreadMemAVI>(path, job.firstValidFrame, job.frameRate, job.frameSize,
                                                           job.width, job.frames, job.ringNotWrapped, notifier_));
        return;
    }
    // The event's buffers go to the writer as they are; the detector gets
    // finished clips' buffers in their place (new ones while there are none).
    sparesKept_ = std::max(sparesKept_, job.handOver->size());
    std::vector<std::vector<uint8_t>> replacement;
    replacement.reserve(job.handOver->size());
    while (replacement.size() < job.handOver->size()) {
        if (spare_.empty()) {
            replacement.emplace_back(job.frameSize);
        } else {
            replacement.push_back(std::move(spare_.back()));
            spare_.pop_back();
            replacement.back().resize(job.frameSize);
        }
    }
    std::vector<std::vector<uint8_t>> frames = std::move(*job.handOver);
    *job.handOver = std::move(replacement);
    writers_.push_back(std::make_unique<TThreadMemAVI>(path, job.firstValidFrame, job.frameRate, job.frameSize,
                                                       job.width, std::move(frames), job.ringNotWrapped, notifier_));
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
