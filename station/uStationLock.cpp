#include "station/uStationLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "station/uEventProcessing.h"
#include "station/uMorningProcessing.h"

namespace orbis {

namespace fs = std::filesystem;

namespace {

std::string readPid(int fd) {
    char buffer[32] = {};
    const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    std::string text = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// When a process started, in seconds since the epoch (from /proc), or -1.
double processStart(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return -1;
    // The command name in parentheses may hold spaces: count after its end.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    // Field 22 (starttime) is the 20th after the name.
    for (int i = 0; i < 20 && fields >> field; ++i) {
    }
    if (!fields) return -1;
    std::ifstream procStat("/proc/stat");
    double boot = -1;
    for (std::string key; procStat >> key;) {
        if (key == "btime") {
            procStat >> boot;
            break;
        }
    }
    const long ticks = ::sysconf(_SC_CLK_TCK);
    if (boot < 0 || ticks <= 0) return -1;
    try {
        return boot + std::stod(field) / static_cast<double>(ticks);
    } catch (const std::exception&) {
        return -1;
    }
}

// The writer of a file last written at `written` (seconds since the epoch)
// is gone: no process has its PID, or the one that has started later (a
// PID used again after a reboot or a long run).
bool writerGone(int pid, double written) {
    if (pid == ::getpid()) return false;
    if (::kill(pid, 0) != 0 && errno == ESRCH) return true;
    const double started = processStart(pid);
    // A second of slack: btime and the tick count are rounded.
    return started >= 0 && started > written + 1.0;
}

double modificationTime(const struct stat& st) {
    return static_cast<double>(st.st_mtim.tv_sec) + static_cast<double>(st.st_mtim.tv_nsec) * 1e-9;
}

void removeStaleIn(const fs::path& directory, bool eventDirectory, std::vector<std::string>& removed) {
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const int pid = temporaryFileWriter(path.filename().string());
        if (pid > 0 && writerGone(pid, modificationTime(st))) {
            if (fs::remove(path, ec)) removed.push_back(path.string());
            ec.clear();
        }
    }
    if (eventDirectory && fs::is_regular_file(directory / kEventLockName, ec) &&
        removeStaleEventLock(directory.string()))
        removed.push_back((directory / kEventLockName).string());
}

bool isRealDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() == fs::file_type::directory;
}

}  // namespace

TStationLock::TStationLock(const std::string& programDirectory)
    : path_((fs::path(programDirectory) / kStationLockName).string()) {
    for (;;) {
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0)
            throw EInOutError(TDiagnostic(Code::StationLockCreateFailed).with("file", path_).with("detail", std::strerror(errno)));
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            std::string pid = readPid(fd_);
            // The holder writes its PID just after taking the lock.
            for (int i = 0; i < 20 && pid.empty() && err == EWOULDBLOCK; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                pid = readPid(fd_);
            }
            ::close(fd_);
            fd_ = -1;
            if (err != EWOULDBLOCK)
                throw EInOutError(TDiagnostic(Code::StationLockFailed).with("file", path_).with("detail", std::strerror(err)));
            throw EInOutError(TDiagnostic(Code::StationAlreadyRunning)
                                  .with("directory", programDirectory)
                                  .with("pid", pid.empty() ? std::string("?") : pid));
        }
        // A holder that ended between our open and our flock removed the
        // file: a lock on it would guard nothing.
        struct stat held {}, named {};
        if (::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
            break;
        ::close(fd_);
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
        // The lock holds without the PID; a refusal then says "unknown".
    }
}

TStationLock::~TStationLock() {
    if (fd_ < 0) return;
    ::unlink(path_.c_str());
    ::close(fd_);
}

int temporaryFileWriter(const std::string& fileName) {
    const std::size_t at = fileName.rfind(".tmp");
    if (at == std::string::npos || at == 0) return 0;
    // ".tmp" PID "_" counter "_" random, digits only.
    const std::string rest = fileName.substr(at + 4);
    const std::size_t a = rest.find('_');
    const std::size_t b = a == std::string::npos ? a : rest.find('_', a + 1);
    if (b == std::string::npos || a == 0 || b == a + 1 || b + 1 == rest.size()) return 0;
    if (rest.find_first_not_of("0123456789_") != std::string::npos || rest.find('_', b + 1) != std::string::npos)
        return 0;
    if (a > 9) return 0;
    return std::stoi(rest.substr(0, a));
}

std::vector<std::string> removeStaleFiles(const std::string& programDirectory) {
    std::vector<std::string> removed;
    removeStaleIn(programDirectory, false, removed);
    std::error_code ec;
    for (fs::directory_iterator night(programDirectory, ec), end; !ec && night != end; night.increment(ec)) {
        if (!isNightDirectoryName(night->path().filename().string()) || !isRealDirectory(night->path())) continue;
        removeStaleIn(night->path(), false, removed);
        std::error_code ec2;
        for (fs::directory_iterator event(night->path(), ec2); !ec2 && event != end; event.increment(ec2))
            if (isRealDirectory(event->path())) removeStaleIn(event->path(), true, removed);
    }
    return removed;
}

}  // namespace orbis
