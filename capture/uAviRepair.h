#pragma once
// Mending a clip or recording whose writer never closed it (killed, power
// cut): its chunks are all there, but the sizes and counts of its headers
// are those written at the start and it has no index. The repair rebuilds
// the RIFF and movi sizes, the frame counts of avih, of every video stream's
// strh (and of dmlh) and the idx1 index from the chunks themselves.

#include <cstdint>
#include <string>

namespace orbis {

struct TAviRepair {
    bool changed = false;     // false: the file was whole and is untouched
    int frames = 0;           // frames of the first video stream
    int chunks = 0;           // chunks the index lists
    uint64_t droppedBytes = 0;  // a last chunk or header cut short, left out
};

// Repairs the AVI file at path in place: the mended file is written beside
// it and renamed over it, so the old one stays as it was when anything
// fails. Only what a stopped writer leaves is mended: a last chunk cut short
// or a tail of zeros is left out; bytes that are neither raise
// EInvalidVideo and nothing is changed. Raises EInvalidVideo for a file that
// is not a RIFF AVI file (or one of several RIFF parts), EInOutError when
// reading or writing fails.
TAviRepair repairAviFile(const std::string& path);

}  // namespace orbis
