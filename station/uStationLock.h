#pragma once
// One unattended station per program directory, and what a killed run
// leaves behind. Two stations on one directory would take the same clips
// into work and race for the same nights' markers; the lock is an exclusive
// flock the kernel drops when its holder dies, so it never goes stale. The
// file holds the holder's PID for the refusal to name.

#include <string>
#include <vector>

namespace orbis {

inline constexpr const char* kStationLockName = ".orbisight-station.lock";

class TStationLock {
public:
    // Takes the lock of the program directory; raises EInOutError naming
    // the running station's PID when another holds it, or the system's
    // reason when the lock file cannot be made.
    explicit TStationLock(const std::string& programDirectory);
    ~TStationLock();
    TStationLock(const TStationLock&) = delete;
    TStationLock& operator=(const TStationLock&) = delete;

private:
    std::string path_;
    int fd_ = -1;
};

// Removes the files a killed run left that provably nobody uses: the
// temporary files of atomic writes ("<name>.tmp<pid>_<n>_<r>") whose writer
// is gone (no such process, or one started after the file was last
// written), and event lock files nobody holds. Looks at the program
// directory, its night directories and their event directories, follows
// no link, and returns the paths removed.
std::vector<std::string> removeStaleFiles(const std::string& programDirectory);

// The PID of an atomic write's temporary file name, or 0 for another name.
int temporaryFileWriter(const std::string& fileName);

}  // namespace orbis
