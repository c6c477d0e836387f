#pragma once
// Room on the station's disk for the coming nights. When the free space
// falls below the setting minFreeSpaceMB, the oldest nights whose morning's
// work is done give up first the frame files and intermediate bitmaps of
// their reported events (every *.bmp but the result picture), then those
// events' clips, night by night until there is room again. Reports, the
// result pictures (R.bmp and the annotated JPEG), the track files and the
// exports are never removed, nor anything of an event without a report
// (kept for marking, or its work failed), nor anything of a night that
// still waits for its morning. Only plain files on the station's own disk
// go: links are not followed.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orbis {

// Free bytes on the disk holding a path (injectable: a test fills a disk of
// its own making).
using FreeSpaceQuery = std::function<std::uintmax_t(const std::string& path)>;

// std::filesystem::space's available bytes.
std::uintmax_t systemFreeSpace(const std::string& path);

struct TRetentionRun {
    std::uintmax_t freeBefore = 0;
    std::uintmax_t freeAfter = 0;
    std::vector<std::string> removed;  // files removed, oldest night first
    bool enough = true;                // free space at or above the minimum at the end
};

// Frees space as described above; does nothing while there is enough.
TRetentionRun makeRoom(const std::string& programDirectory, std::uintmax_t minimumFree, const FreeSpaceQuery& freeSpace);

}  // namespace orbis
