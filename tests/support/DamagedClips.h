#pragma once
// Event clips as the station writes them and the damage a disk or a copy
// does to them: bytes cut out of a frame's data or repeated inside it, a
// chunk size overwritten, a frame rate field overwritten.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/uUniUtils.h"
#include "capture/uAviFile.h"

namespace orbis::test {

// Frames of kClipWidth x kClipHeight, 8-bit; every byte of frame k is
// k + 1, so a frame read from the wrong place shows it.
inline constexpr int kClipWidth = 160;
inline constexpr int kClipHeight = 120;
inline constexpr std::size_t kClipFrameBytes = 160 * 120;
// Where the writer puts frame k's chunk (headers of an 8-bit clip: 1248
// bytes), the strh scale and rate fields and the idx1 chunk.
inline std::size_t frameChunkAt(int k) { return 1248 + (8 + kClipFrameBytes) * static_cast<std::size_t>(k); }
inline constexpr std::size_t kScaleAt = 128;
inline constexpr std::size_t kRateAt = 132;

inline std::vector<uint8_t> numberedFrame(int k) { return std::vector<uint8_t>(kClipFrameBytes, static_cast<uint8_t>(k + 1)); }

// The bytes of a clip of the given frames, written at 25 frames per second.
inline std::string numberedClip(const std::filesystem::path& path, const std::vector<int>& frames) {
    {
        TAviWriter writer(path.string(), kClipWidth, kClipHeight, 8, 25);
        for (const int k : frames) writer.writeFrame(numberedFrame(k));
    }
    const std::string bytes = readFileBytes(path);
    std::filesystem::remove(path);
    return bytes;
}

inline std::vector<int> framesUpTo(int count, int except = -1) {
    std::vector<int> frames;
    for (int k = 0; k < count; ++k)
        if (k != except) frames.push_back(k);
    return frames;
}

inline void put32(std::string& bytes, std::size_t at, uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string withoutIndex(const std::string& bytes) { return bytes.substr(0, bytes.rfind("idx1")); }

// 5000 bytes of frame k's data cut out; with resize, its chunk size is
// made to agree.
inline std::string cutInFrame(std::string bytes, int k, bool resize = false) {
    bytes.erase(frameChunkAt(k) + 8 + 1000, 5000);
    if (resize) put32(bytes, frameChunkAt(k) + 4, kClipFrameBytes - 5000);
    return bytes;
}

// 5000 bytes of frame k's data repeated right after themselves.
inline std::string duplicatedInFrame(std::string bytes, int k) {
    const std::size_t at = frameChunkAt(k) + 8 + 1000;
    bytes.insert(at + 5000, bytes.substr(at, 5000));
    return bytes;
}

}  // namespace orbis::test
