#pragma once
// Mending a clip or recording whose writer never closed it (killed, power
// cut): its chunks are all there, but the sizes and counts of its headers
// are those written at the start and it has no index. The repair rebuilds
// the RIFF and movi sizes, the frame counts of avih, of every video stream's
// strh (and of dmlh) and the idx1 index from the chunks themselves. A
// damaged chunk in the middle (bytes cut out of it or added to it, a size
// that leads elsewhere, or a frame of an uncompressed stream of another size
// than its frames) is left out with the bytes up to the next whole chunk, so
// the mended clip holds the frames that are good and nothing else.

#include <cstdint>
#include <string>

namespace orbis {

struct TAviRepair {
    bool changed = false;     // false: the file was whole and is untouched
    int frames = 0;           // frames of the first video stream
    int chunks = 0;           // chunks the index lists
    uint64_t droppedBytes = 0;  // a last chunk or header cut short, left out
    int damagedFrames = 0;      // frames left out as damaged (as many as their bytes held, for uncompressed frames)
    uint64_t damagedBytes = 0;  // the bytes left out with them
};

// Repairs the AVI file at path in place: the mended file is written beside
// it and renamed over it, so the old one stays as it was when anything
// fails. A last chunk cut short or a tail of zeros is left out, and so are
// damaged chunks that a whole chunk follows; damage with no whole chunk
// after it raises EInvalidVideo and nothing is changed. Raises
// EInvalidVideo for a file that is not a RIFF AVI file (or one of several
// RIFF parts), EInOutError when reading or writing fails.
TAviRepair repairAviFile(const std::string& path);

}  // namespace orbis
