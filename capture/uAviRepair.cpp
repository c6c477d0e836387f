#include "capture/uAviRepair.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "astro/uExceptions.h"
#include "capture/uAviFile.h"

namespace orbis {

namespace {

constexpr uint32_t kAvifHasIndex = 0x10;
constexpr uint32_t kAviifKeyFrame = 0x10;

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
bool isId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }
bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool isLower(uint8_t c) { return c >= 'a' && c <= 'z'; }

std::string errnoText() { return std::strerror(errno); }

// The file being mended, read only.
class Source {
public:
    explicit Source(const std::string& path) : path_(path) {
        // Not blocking: a pipe named like a clip is refused, not waited on.
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) throw EInOutError(TDiagnostic(Code::RepairOpenFailed).with("file", path).with("detail", errnoText()));
        if (::fstat(fd_, &stat_) != 0 || !S_ISREG(stat_.st_mode)) {
            ::close(fd_);
            throw EInOutError(TDiagnostic(Code::RepairNotAFile).with("file", path));
        }
    }
    ~Source() { ::close(fd_); }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    uint64_t size() const { return static_cast<uint64_t>(stat_.st_size); }
    mode_t mode() const { return stat_.st_mode & 07777; }

    // False when the bytes lie (partly) beyond the end.
    bool read(uint64_t offset, void* buffer, std::size_t n) const { return readFileAt(fd_, size(), offset, buffer, n, path_); }

private:
    std::string path_;
    int fd_ = -1;
    struct stat stat_ {};
};

struct Stream {
    uint64_t strh = 0;  // data offset of its strh chunk, 0 when it has none
    bool video = false;
    bool allKeyFrames = true;  // every frame stands alone: uncompressed or JPEG
    uint64_t frameBytes = 0;   // of an uncompressed video stream, 0 for another
};

struct Chunk {
    uint8_t id[4];
    uint64_t pos;
    uint32_t size;
};

// Bytes of the movie data left out of the mended file: a damaged chunk
// and whatever lies between it and the next whole chunk.
struct Cut {
    uint64_t from, to;
    int frames;  // frames lost with them
};

struct Layout {
    uint64_t avih = 0;  // data offsets, 0 when absent
    uint64_t dmlh = 0;
    std::vector<Stream> streams;
    uint64_t moviList = 0;  // offset of the movi LIST chunk, 0 when not found
    std::vector<Chunk> chunks;
    uint64_t moviEnd = 0;  // end of the last whole chunk with its padding (may be the file's end + 1)
    std::optional<uint64_t> index;  // an idx1 chunk right after the chunks
    uint64_t dropped = 0;
    std::vector<Cut> cuts;             // in file order
    bool standardIndexChunks = false;  // ix## chunks, whose offsets a cut would falsify
};

// Compressions whose frames are all key frames; for others only a
// stream's first frame is marked, the one a decoder surely can start at.
bool intraOnly(uint32_t compression) {
    if (compression == 0) return true;
    const char* const kinds[] = {"DIB ", "RGB ", "raw ", "MJPG", "mjpg", "JPEG", "jpeg", "Y800", "GREY", "Y8  ", "YUY2", "UYVY"};
    for (const char* k : kinds) {
        if (le32(reinterpret_cast<const uint8_t*>(k)) == compression) return true;
    }
    return false;
}

void walkHeaders(const Source& f, uint64_t from, uint64_t to, Layout& l, int depth, int stream) {
    uint64_t pos = from;
    while (pos + 8 <= to && l.moviList == 0) {
        uint8_t h[12];
        if (!f.read(pos, h, 8)) return;
        const uint64_t size = le32(h + 4);
        const uint64_t data = pos + 8;
        const uint64_t end = std::min(data + size, to);
        if (isId(h, "LIST")) {
            if (size < 4 || !f.read(data, h + 8, 4)) return;
            if (isId(h + 8, "movi") && depth == 0) {
                l.moviList = pos;
                return;
            }
            if (isId(h + 8, "strl") && depth < 2) {
                l.streams.emplace_back();
                walkHeaders(f, data + 4, end, l, depth + 1, static_cast<int>(l.streams.size()) - 1);
            } else if ((isId(h + 8, "hdrl") || isId(h + 8, "odml")) && depth < 2) {
                walkHeaders(f, data + 4, end, l, depth + 1, -1);
            }
        } else if (isId(h, "avih") && size >= 56) {
            l.avih = data;
        } else if (isId(h, "dmlh") && size >= 4) {
            l.dmlh = data;
        } else if (isId(h, "strh") && size >= 36 && stream >= 0) {
            uint8_t type[4];
            if (f.read(data, type, 4)) {
                l.streams[static_cast<std::size_t>(stream)].strh = data;
                l.streams[static_cast<std::size_t>(stream)].video = isId(type, "vids");
            }
        } else if (isId(h, "strf") && size >= 20 && stream >= 0) {
            uint8_t b[20];
            if (f.read(data, b, sizeof b)) {
                Stream& s = l.streams[static_cast<std::size_t>(stream)];
                const uint32_t compression = le32(b + 16);
                s.allKeyFrames = intraOnly(compression);
                // Uncompressed frames all have one size: rows of whole
                // 4-byte words, as a bitmap stores them.
                const auto width = static_cast<int32_t>(le32(b + 4));
                const auto height = static_cast<int32_t>(le32(b + 8));
                const uint64_t bits = b[14] | (b[15] << 8);
                if ((compression == 0 || compression == 0x20424944u /* 'DIB ' */) && width > 0 && height != 0 && bits > 0) {
                    const uint64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
                    s.frameBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4 * rows;
                }
            }
        }
        pos = data + size + (size & 1);
    }
}

bool plausibleId(const uint8_t* id) {
    return (isDigit(id[0]) && isDigit(id[1]) && isLower(id[2]) && isLower(id[3])) ||
           (id[0] == 'i' && id[1] == 'x' && isDigit(id[2]) && isDigit(id[3])) || isId(id, "JUNK");
}

// True when bytes [from, end of file) hold the 8 bytes of needle, or
// (zeros) anything but zero bytes.
bool tailHolds(const Source& f, uint64_t from, const uint8_t* needle) {
    constexpr std::size_t kBlock = std::size_t{1} << 16;
    std::vector<uint8_t> buffer(kBlock + 8);
    for (uint64_t at = from; at < f.size(); at += kBlock) {
        const auto n = static_cast<std::size_t>(std::min<uint64_t>(buffer.size(), f.size() - at));
        f.read(at, buffer.data(), n);
        if (needle == nullptr) {
            if (std::any_of(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n), [](uint8_t b) { return b != 0; }))
                return true;
        } else if (std::search(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n), needle, needle + 8) !=
                   buffer.begin() + static_cast<std::ptrdiff_t>(n)) {
            return true;
        }
    }
    return false;
}

// The stream a chunk id names ("00db" -> 0), -1 for none.
int streamOf(const uint8_t* id) { return isDigit(id[0]) && isDigit(id[1]) ? (id[0] - '0') * 10 + (id[1] - '0') : -1; }
bool isFrameId(const uint8_t* id) { return id[2] == 'd' && (id[3] == 'b' || id[3] == 'c'); }

// A chunk ending at next (its padding included) is followed by another
// chunk, the index, the end of the file, or the zeros a power cut leaves.
bool endsWhereItSays(const Source& f, uint64_t next) {
    uint8_t id[4];
    if (next >= f.size()) return next <= f.size() + 1;
    if (f.read(next, id, 4) && (plausibleId(id) || isId(id, "idx1") || isId(id, "LIST") || isId(id, "RIFF"))) return true;
    return !tailHolds(f, next, nullptr);
}

// The first chunk at or after from that ends where its size says, for a
// walk that has lost its way; none when only a cut-off end is left.
std::optional<uint64_t> nextWholeChunk(const Source& f, uint64_t from) {
    constexpr std::size_t kBlock = std::size_t{1} << 16;
    std::vector<uint8_t> buffer(kBlock + 8);
    for (uint64_t at = from; at + 8 <= f.size(); at += kBlock) {
        const auto n = static_cast<std::size_t>(std::min<uint64_t>(buffer.size(), f.size() - at));
        f.read(at, buffer.data(), n);
        for (std::size_t i = 0; i + 8 <= n; ++i) {
            const uint8_t* p = &buffer[i];
            if (isId(p, "idx1")) return at + i;
            if (!plausibleId(p)) continue;
            const uint64_t size = le32(p + 4);
            const uint64_t next = at + i + 8 + size + (size & 1);
            if (next <= f.size() + 1 && endsWhereItSays(f, next)) return at + i;
        }
    }
    return std::nullopt;
}

void walkMovi(const Source& f, const std::string& path, Layout& l) {
    const auto damaged = [&](uint64_t at, Code code) {
        return EInvalidVideo(TDiagnostic(code).with("file", path).with("byte", at));
    };
    // Frames of an uncompressed stream, the bytes from pos on hold about.
    const auto framesIn = [&](const uint8_t* id, uint64_t bytes) {
        const int s = plausibleId(id) ? streamOf(id) : -1;
        if (s >= 0 && (static_cast<std::size_t>(s) >= l.streams.size() || !isFrameId(id))) return 0;
        for (const Stream& stream : l.streams) {
            if (stream.video && stream.frameBytes > 0) {
                const uint64_t step = 8 + stream.frameBytes + (stream.frameBytes & 1);
                return std::max(1, static_cast<int>((bytes + step / 2) / step));
            }
        }
        return 1;
    };
    // A damaged chunk at pos: the bytes up to the next whole chunk are
    // left out, and the walk takes up there.
    const auto skipDamaged = [&](uint64_t pos, uint64_t searchFrom, const uint8_t* id) {
        const std::optional<uint64_t> found = nextWholeChunk(f, searchFrom);
        if (!found) throw damaged(pos, Code::RepairNoWholeChunkAfterDamage);
        l.cuts.push_back({pos, *found, framesIn(id, *found - pos)});
        return *found;
    };
    uint64_t pos = l.moviList + 12;
    for (;;) {
        l.moviEnd = pos;
        if (pos >= f.size()) return;
        uint8_t h[8];
        if (!f.read(pos, h, 8)) {
            l.dropped = f.size() - pos;  // a header cut short
            return;
        }
        if (isId(h, "idx1")) {
            l.index = pos;
            return;
        }
        if (isId(h, "RIFF")) {
            throw EInvalidVideo(TDiagnostic(Code::RepairOpenDml).with("file", path));
        }
        if (isId(h, "LIST")) throw damaged(pos, Code::RepairListInMovie);
        if (!plausibleId(h)) {
            // A power cut can leave blocks of zeros after the last data written.
            if (tailHolds(f, pos, nullptr)) {
                pos = skipDamaged(pos, pos + 1, h);
                continue;
            }
            l.dropped = f.size() - pos;
            return;
        }
        const uint32_t size = le32(h + 4);
        const uint64_t data = pos + 8;
        if (data + size > f.size()) {
            // The last chunk, cut short: unless one like the chunk before
            // it follows, its size is damaged rather than its end missing.
            const auto previous = std::find_if(l.chunks.rbegin(), l.chunks.rend(),
                                               [&](const Chunk& c) { return std::memcmp(c.id, h, 4) == 0; });
            if (previous != l.chunks.rend()) {
                uint8_t header[8];
                std::memcpy(header, previous->id, 4);
                put32(header + 4, previous->size);
                if (tailHolds(f, data, header)) {
                    pos = skipDamaged(pos, data, h);
                    continue;
                }
            }
            l.dropped = f.size() - pos;
            return;
        }
        // Bytes cut out of a chunk or added to it: its size leads into the
        // middle of other data. With no whole chunk after it, the chunk may
        // be whole and what follows it damaged: that is judged there.
        if (!endsWhereItSays(f, data + size + (size & 1))) {
            if (const std::optional<uint64_t> found = nextWholeChunk(f, data)) {
                l.cuts.push_back({pos, *found, framesIn(h, *found - pos)});
                pos = *found;
                continue;
            }
        }
        if (h[0] == 'i' && h[1] == 'x') l.standardIndexChunks = true;
        if (!isId(h, "JUNK") && !(h[0] == 'i' && h[1] == 'x')) {
            Chunk c{};
            std::memcpy(c.id, h, 4);
            c.pos = pos;
            c.size = size;
            l.chunks.push_back(c);
        }
        pos = data + size + (size & 1);
    }
}

// Replaces path by the mended copy: written beside it, then renamed over it.
class Replacement {
public:
    Replacement(const std::string& path, mode_t mode) : path_(path) {
        const std::filesystem::path p(path);
        std::string name = p.filename().string();
        name.insert(0, 1, '.');
        name.append(".repair-XXXXXX");
        temp_ = (p.parent_path() / name).string();
        fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
        if (fd_ < 0) throw EInOutError(TDiagnostic(Code::RepairCopyFailed).with("file", path).with("detail", errnoText()));
        if (::fchmod(fd_, mode) != 0) fail();
    }
    ~Replacement() {
        if (fd_ >= 0) {
            ::close(fd_);
            ::unlink(temp_.c_str());
        }
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    void append(const void* data, std::size_t n) {
        const auto* p = static_cast<const char*>(data);
        while (n > 0) {
            const ssize_t put = ::write(fd_, p, n);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) fail();
            p += put;
            n -= static_cast<std::size_t>(put);
        }
    }
    // Appends bytes [from, to) of the source.
    void copy(const Source& f, uint64_t from, uint64_t to) {
        std::vector<uint8_t> buffer(static_cast<std::size_t>(std::min<uint64_t>(to - from, std::size_t{1} << 20)));
        for (uint64_t done = from; done < to;) {
            const auto n = static_cast<std::size_t>(std::min<uint64_t>(buffer.size(), to - done));
            f.read(done, buffer.data(), n);
            append(buffer.data(), n);
            done += n;
        }
    }
    void put(uint64_t offset, uint32_t value) {
        uint8_t b[4];
        put32(b, value);
        if (::pwrite(fd_, b, 4, static_cast<off_t>(offset)) != 4) fail();
    }
    void commit() {
        if (::fsync(fd_) != 0) fail();
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 || ::rename(temp_.c_str(), path_.c_str()) != 0) {
            const std::string reason = errnoText();
            ::unlink(temp_.c_str());
            throw EInOutError(TDiagnostic(Code::RepairReplaceFailed).with("file", path_).with("detail", reason));
        }
        // The rename itself must reach the disk too.
        const int dir = ::open(std::filesystem::path(path_).parent_path().empty()
                                   ? "."
                                   : std::filesystem::path(path_).parent_path().c_str(),
                               O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

private:
    [[noreturn]] void fail() {
        throw EInOutError(TDiagnostic(Code::RepairCopyFailed).with("file", path_).with("detail", errnoText()));
    }

    std::string path_;
    std::string temp_;
    int fd_ = -1;
};

// Frames of an uncompressed stream that are whole chunks but not of its
// frame size are left out like damaged ones, as no reader can show them;
// unless they are as many as the others, when the header rather than the
// frames is wrong and leaving them out would leave next to nothing.
void leaveOutMisfits(Layout& l) {
    for (std::size_t s = 0; s < l.streams.size(); ++s) {
        const uint64_t frameBytes = l.streams[s].frameBytes;
        if (!l.streams[s].video || frameBytes == 0) continue;
        const auto ofStream = [&](const Chunk& c) { return streamOf(c.id) == static_cast<int>(s) && isFrameId(c.id); };
        const auto misfit = [&](const Chunk& c) { return ofStream(c) && c.size != frameBytes; };
        const auto misfits = std::count_if(l.chunks.begin(), l.chunks.end(), misfit);
        const auto fitting = std::count_if(l.chunks.begin(), l.chunks.end(), [&](const Chunk& c) { return ofStream(c) && c.size == frameBytes; });
        if (misfits == 0 || misfits >= fitting) continue;
        for (const Chunk& c : l.chunks)
            if (misfit(c)) l.cuts.push_back({c.pos, c.pos + 8 + c.size + (c.size & 1), 1});
        std::erase_if(l.chunks, misfit);
    }
    std::sort(l.cuts.begin(), l.cuts.end(), [](const Cut& a, const Cut& b) { return a.from < b.from; });
}

}  // namespace

TAviRepair repairAviFile(const std::string& path) {
    const Source f(path);
    uint8_t h[12];
    if (!f.read(0, h, 12) || !isId(h, "RIFF") || !isId(h + 8, "AVI ")) {
        throw EInvalidVideo(TDiagnostic(Code::ClipNotAvi).with("file", path));
    }
    Layout l;
    // The RIFF size of a recording never closed is that of its headers, or 0.
    walkHeaders(f, 12, f.size(), l, 0, -1);
    if (l.moviList == 0) throw EInvalidVideo(TDiagnostic(Code::RepairNoMovieData).with("file", path));
    walkMovi(f, path, l);
    if (l.index) {
        uint8_t after[12];
        uint8_t ih[8];
        f.read(*l.index, ih, 8);
        const uint64_t indexEnd = *l.index + 8 + le32(ih + 4);
        if (f.read(indexEnd + (indexEnd & 1), after, 12) && isId(after, "RIFF")) {
            throw EInvalidVideo(TDiagnostic(Code::RepairOpenDml).with("file", path));
        }
    }

    leaveOutMisfits(l);
    if (!l.cuts.empty() && l.standardIndexChunks) {
        throw EInvalidVideo(TDiagnostic(Code::RepairDamagedWithOpenDmlIndex).with("file", path));
    }

    std::vector<uint32_t> lengths(l.streams.size(), 0);
    for (const Chunk& c : l.chunks) {
        const int s = streamOf(c.id);
        if (s >= 0 && static_cast<std::size_t>(s) < lengths.size() && isFrameId(c.id)) ++lengths[static_cast<std::size_t>(s)];
    }
    int firstVideo = -1;
    for (std::size_t s = 0; s < l.streams.size() && firstVideo < 0; ++s)
        if (l.streams[s].video) firstVideo = static_cast<int>(s);
    if (firstVideo < 0) throw EInvalidVideo(TDiagnostic(Code::ClipNoVideoStream).with("file", path));
    const uint32_t frames = lengths[static_cast<std::size_t>(firstVideo)];
    const uint64_t moviData = l.moviList + 8;
    // Only header fields that lie before the movie data are rewritten.
    const auto inHeaders = [&](uint64_t at, uint64_t bytes) { return at != 0 && at + bytes <= l.moviList; };
    const auto field = [&](uint64_t at) {
        uint8_t b[4];
        return f.read(at, b, 4) ? le32(b) : 0u;
    };

    TAviRepair result;
    result.frames = static_cast<int>(frames);
    result.chunks = static_cast<int>(l.chunks.size());
    result.droppedBytes = l.dropped;
    for (const Cut& c : l.cuts) {
        result.damagedFrames += c.frames;
        result.damagedBytes += c.to - c.from;
    }

    // Whole already: an index where the chunks end, listing as many of
    // them, and sizes and counts that agree with them.
    if (l.index && l.dropped == 0 && l.cuts.empty() && l.moviEnd <= f.size()) {
        const uint32_t indexSize = field(*l.index + 4);
        const uint64_t riffEnd = 8 + uint64_t{field(4)};
        bool whole = indexSize / 16 == l.chunks.size() && *l.index + 8 + indexSize <= f.size() &&
                     riffEnd >= *l.index + 8 + indexSize && riffEnd <= f.size() + 1 &&
                     field(l.moviList + 4) == l.moviEnd - moviData && (!inHeaders(l.avih, 56) || field(l.avih + 16) == frames);
        for (std::size_t s = 0; s < l.streams.size(); ++s) {
            if (l.streams[s].video && inHeaders(l.streams[s].strh, 36)) whole = whole && field(l.streams[s].strh + 32) == lengths[s];
        }
        if (whole) return result;
    }

    // Chunks after a cut move forward by the bytes left out before them.
    const auto cutBefore = [&](uint64_t pos) {
        uint64_t bytes = 0;
        for (const Cut& c : l.cuts)
            if (c.to <= pos) bytes += c.to - c.from;
        return bytes;
    };
    std::vector<uint8_t> index(8 + 16 * l.chunks.size());
    std::memcpy(index.data(), "idx1", 4);
    std::vector<bool> started(l.streams.size(), false);
    for (std::size_t k = 0; k < l.chunks.size(); ++k) {
        const Chunk& c = l.chunks[k];
        const int s = streamOf(c.id);
        bool key = true;
        if (s >= 0 && static_cast<std::size_t>(s) < l.streams.size() && l.streams[static_cast<std::size_t>(s)].video) {
            key = l.streams[static_cast<std::size_t>(s)].allKeyFrames || !started[static_cast<std::size_t>(s)];
            started[static_cast<std::size_t>(s)] = true;
        }
        uint8_t* e = index.data() + 8 + 16 * k;
        std::memcpy(e, c.id, 4);
        put32(e + 4, key ? kAviifKeyFrame : 0);
        put32(e + 8, static_cast<uint32_t>(c.pos - cutBefore(c.pos) - moviData));  // from the "movi" tag
        put32(e + 12, c.size);
    }
    put32(index.data() + 4, static_cast<uint32_t>(16 * l.chunks.size()));
    const uint64_t moviEnd = l.moviEnd - result.damagedBytes;
    const uint64_t newSize = moviEnd + index.size();
    if (newSize - 8 > 0xFFFFFFFFu || moviEnd - moviData > 0xFFFFFFFFu) {
        throw EInvalidVideo(TDiagnostic(Code::RepairTooLarge).with("file", path));
    }

    Replacement out(path, f.mode());
    const uint64_t kept = std::min(l.moviEnd, f.size());
    uint64_t from = 0;
    for (const Cut& c : l.cuts) {
        out.copy(f, from, c.from);
        from = c.to;
    }
    out.copy(f, from, kept);
    if (l.moviEnd > kept) out.append("", 1);  // the padding byte of a last odd-sized chunk
    out.append(index.data(), index.size());
    out.put(4, static_cast<uint32_t>(newSize - 8));
    out.put(l.moviList + 4, static_cast<uint32_t>(moviEnd - moviData));
    if (inHeaders(l.avih, 56)) {
        out.put(l.avih + 12, field(l.avih + 12) | kAvifHasIndex);
        out.put(l.avih + 16, frames);
    }
    if (inHeaders(l.dmlh, 4)) out.put(l.dmlh, frames);
    for (std::size_t s = 0; s < l.streams.size(); ++s) {
        if (l.streams[s].video && inHeaders(l.streams[s].strh, 36)) out.put(l.streams[s].strh + 32, lengths[s]);
    }
    out.commit();
    result.changed = true;
    return result;
}

}  // namespace orbis
