#include "station/uRetention.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "processing/uNaming.h"
#include "station/uMorningProcessing.h"

namespace orbis {

namespace {

bool isRealDirectory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::directory;
}

// A plain file (no link) on the station's own disk: removing anything else
// frees nothing there.
bool onStationDisk(const std::string& path, dev_t stationDisk) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == stationDisk;
}

// What a done night may give up, the frames and bitmaps before the clips:
// only of events with a report (an event kept for marking, or one whose
// work failed, keeps everything), and only clips the marker lists (a clip
// recorded after its morning still waits for the next one).
std::vector<std::vector<std::string>> removableOf(const std::string& night, dev_t stationDisk) {
    std::vector<std::string> bitmaps, clips;
    const auto reported = [&](const std::string& eventDirectory) {
        std::error_code ec;
        return std::filesystem::is_regular_file(workFileStem(night, eventDirectory) + ".txt", ec);
    };
    for (const std::string& event : listDirectory(night, "*", ListKind::Directories)) {
        const std::string dir = joinPath(night, event);
        if (!isRealDirectory(dir) || !reported(dir)) continue;
        // The result picture with its labels stays with the report.
        for (const std::string& file : listDirectory(dir, "*.bmp", ListKind::Files))
            if (!file.ends_with(workSuffix::kResultBitmap) && onStationDisk(joinPath(dir, file), stationDisk))
                bitmaps.push_back(joinPath(dir, file));
    }
    for (const std::string& clip : listDirectory(night, "*.avi", ListKind::Files)) {
        const std::string event = eventDirectoryForClip(night, clip);
        if (clipProcessed(night, clip) && isRealDirectory(event) && reported(event) &&
            onStationDisk(joinPath(night, clip), stationDisk))
            clips.push_back(joinPath(night, clip));
    }
    return {bitmaps, clips};
}

}  // namespace

std::uintmax_t systemFreeSpace(const std::string& path) { return std::filesystem::space(path).available; }

TRetentionRun makeRoom(const std::string& programDirectory, std::uintmax_t minimumFree, const FreeSpaceQuery& freeSpace) {
    TRetentionRun run;
    run.freeBefore = run.freeAfter = freeSpace(programDirectory);
    if (run.freeAfter >= minimumFree) return run;

    struct stat station {};
    if (::stat(programDirectory.c_str(), &station) != 0) {
        run.enough = false;
        return run;
    }
    // A night directory that is a link leads elsewhere: not the station's.
    std::vector<std::string> nights;
    for (const std::string& name : listDirectory(programDirectory, "*", ListKind::Directories))
        if (isNightDirectoryName(name) && isRealDirectory(joinPath(programDirectory, name))) nights.push_back(name);
    std::sort(nights.begin(), nights.end());

    for (const std::string& name : nights) {
        const std::string night = joinPath(programDirectory, name);
        // A night still waiting for its morning keeps everything.
        if (!clipsAwaitingProcessing(night).empty()) continue;
        for (const std::vector<std::string>& group : removableOf(night, station.st_dev)) {
            for (const std::string& file : group) {
                std::error_code ec;
                if (std::filesystem::remove(file, ec)) run.removed.push_back(file);
            }
            run.freeAfter = freeSpace(programDirectory);
            if (run.freeAfter >= minimumFree) return run;
        }
    }
    run.enough = false;
    return run;
}

}  // namespace orbis
