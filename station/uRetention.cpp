#include "station/uRetention.h"

#include <algorithm>
#include <filesystem>

#include "processing/uNaming.h"
#include "station/uMorningProcessing.h"

namespace orbis {

namespace {

// What a done night may give up, the frames and bitmaps before the clips;
// only clips its marker lists (a clip recorded after its morning still
// waits for the next one).
std::vector<std::vector<std::string>> removableOf(const std::string& night) {
    std::vector<std::string> bitmaps, clips;
    for (const std::string& event : listDirectory(night, "*", ListKind::Directories)) {
        const std::string dir = joinPath(night, event);
        // The result picture with its labels stays with the report.
        for (const std::string& file : listDirectory(dir, "*.bmp", ListKind::Files))
            if (!file.ends_with(workSuffix::kResultBitmap)) bitmaps.push_back(joinPath(dir, file));
    }
    for (const std::string& clip : listDirectory(night, "*.avi", ListKind::Files))
        if (clipProcessed(night, clip)) clips.push_back(joinPath(night, clip));
    return {bitmaps, clips};
}

}  // namespace

std::uintmax_t systemFreeSpace(const std::string& path) { return std::filesystem::space(path).available; }

TRetentionRun makeRoom(const std::string& programDirectory, std::uintmax_t minimumFree, const FreeSpaceQuery& freeSpace) {
    TRetentionRun run;
    run.freeBefore = run.freeAfter = freeSpace(programDirectory);
    if (run.freeAfter >= minimumFree) return run;

    std::vector<std::string> nights;
    for (const std::string& name : listDirectory(programDirectory, "*", ListKind::Directories))
        if (isNightDirectoryName(name)) nights.push_back(name);
    std::sort(nights.begin(), nights.end());

    for (const std::string& name : nights) {
        const std::string night = joinPath(programDirectory, name);
        // A night still waiting for its morning keeps everything.
        if (!clipsAwaitingProcessing(night).empty()) continue;
        for (const std::vector<std::string>& group : removableOf(night)) {
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
