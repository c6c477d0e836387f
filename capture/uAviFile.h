#pragma once
// The station's own RIFF AVI writer and reader for uncompressed clips.
//
// The writer makes exactly the files the station has always stored: one
// 'vids' stream without handler, a 40-byte bitmap information header (with
// a palette for 8-bit frames), rate = frames per second and scale 1, one
// '00db' key-frame sample per frame, bottom row first, rows padded to 4
// bytes, and an 'idx1' index. The reader takes uncompressed 8-, 24- and
// 32-bit clips from any writer, with or without an index, and checks every
// size against the file before it reads. It takes the frames the index
// points to and walks the chunks, finding its way again after a chunk whose
// size is wrong; a frame chunk that does not hold exactly one frame, or
// does not end where its size says, makes the clip unreadable (its frame
// numbers and times would be wrong from there on). Only a last frame cut off
// by the end of the file is left out and counted as missing.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "processing/uBitmap.h"

namespace orbis {

class TAviWriter {
public:
    // Creates the file and writes its headers. 8-bit clips get the given
    // palette, the grey one when it is empty. A file that exists is never
    // replaced. Raises EInOutError when the file exists or cannot be created
    // (a file it created is removed again), std::invalid_argument for a
    // size, depth or rate that cannot be written.
    TAviWriter(const std::string& path, int width, int height, int bitsPerPixel, uint32_t rate, uint32_t scale = 1,
               std::vector<TPaletteEntry> palette = {});
    // Closes the file as close() does, swallowing errors.
    ~TAviWriter();
    TAviWriter(const TAviWriter&) = delete;
    TAviWriter& operator=(const TAviWriter&) = delete;

    // Appends one frame: height rows of width * bitsPerPixel / 8 bytes,
    // bottom row first, tightly packed. Raises EInOutError when the write
    // fails; the frames written before stay in the file.
    void writeFrame(std::span<const uint8_t> frame);

    // Writes the index and the final sizes and closes the file: the result
    // is a readable clip of the frames written so far, also after a failed
    // frame write. Raises EInOutError when that fails. Safe to call twice.
    void close();

    // Closes and removes the file, for a clip that holds nothing worth
    // keeping. Raises nothing.
    void discard() noexcept;

    int framesWritten() const { return frames_; }
    const std::string& path() const { return path_; }

private:
    void writeAll(const void* data, std::size_t size);
    void writeAt(uint64_t offset, uint32_t value);

    std::string path_;
    int fd_ = -1;
    int width_, height_, bitsPerPixel_;
    std::size_t rowBytes_, stride_;
    uint64_t moviListOffset_ = 0;  // offset of the movi LIST chunk
    uint64_t end_ = 0;             // bytes in the file that are complete
    int frames_ = 0;
    std::vector<uint8_t> padded_;  // one frame with padded rows
};

// What a clip's headers and chunks say.
struct TAviInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int frameCount = 0;     // frames present in the file
    int declaredFrames = 0; // frames the headers and the index announce
    uint32_t scale = 0;     // frame period = scale / rate seconds
    uint32_t rate = 0;
    std::vector<TPaletteEntry> palette;  // 8-bit clips

    double framePeriod() const { return rate == 0 ? 0.0 : static_cast<double>(scale) / rate; }
    double duration() const { return framePeriod() * frameCount; }
    // Whole frames per second (at least 1).
    int framesPerSecond() const;
    // Announced frames that could not be found: damaged or cut off.
    int missingFrames() const { return declaredFrames > frameCount ? declaredFrames - frameCount : 0; }
};

class TAviReader {
public:
    // Opens and parses the clip. Raises EInOutError when the file cannot be
    // read, its frames do not have the size its header gives them, a frame
    // is damaged (the message names the file and the frame's number from 1)
    // or the frame period is outside 1 ms to 10 s, and EInvalidVideo when it
    // is not an uncompressed 8-, 24- or 32-bit AVI clip.
    explicit TAviReader(const std::string& path);
    ~TAviReader();
    TAviReader(const TAviReader&) = delete;
    TAviReader& operator=(const TAviReader&) = delete;

    const TAviInfo& info() const { return info_; }

    // Frame index (0-based): height rows of width * bitsPerPixel / 8 bytes,
    // bottom row first, tightly packed — also for clips stored top-down.
    std::vector<uint8_t> readFrame(int index) const;

private:
    TAviReader(const std::string& path, bool headersOnly);
    friend TAviInfo readAviHeaders(const std::string& path);

    struct FrameChunk {
        uint64_t offset;
        uint32_t size;
    };
    std::string path_;
    int fd_ = -1;
    uint64_t fileSize_ = 0;
    TAviInfo info_;
    bool topDown_ = false;
    std::vector<FrameChunk> frames_;

    friend struct AviParser;
};

// What the headers of any AVI video say (compressed too): size, depth (the
// compressed depth for a compressed clip), rate and scale, and the frames
// announced (declaredFrames; frameCount stays 0, no frame is looked for).
// Raises as TAviReader for a file that is not an AVI video or whose frame
// period is implausible.
TAviInfo readAviHeaders(const std::string& path);

// The clip's information for the video browser: its frames as TAviReader
// finds them, or for a clip it cannot read (compressed) what the headers
// announce; all zero when the file is no AVI video.
TAviInfo readClipInfo(const std::string& path);

// Reads size bytes at offset of an open file of fileSize bytes; false when
// they lie (partly) beyond its end, so nothing past what the file holds is
// ever read. EInOutError naming path when the system refuses the read.
bool readFileAt(int fd, uint64_t fileSize, uint64_t offset, void* buffer, std::size_t size, const std::string& path);

}  // namespace orbis
