#include "capture/uAviFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

#include "astro/uExceptions.h"

namespace orbis {

namespace {

constexpr uint32_t kAvifHasIndex = 0x10;
constexpr uint32_t kAviifKeyFrame = 0x10;
constexpr std::size_t kMaxFrameBytes = std::size_t{1} << 30;
constexpr int kMaxSide = 32768;

std::size_t paddedRow(std::size_t rowBytes) { return (rowBytes + 3) & ~std::size_t{3}; }


// Little-endian building of header bytes.
struct Bytes {
    std::string data;
    void fourcc(const char* f) { data.append(f, 4); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) data += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    void u16(uint16_t v) {
        data += static_cast<char>(v & 0xFF);
        data += static_cast<char>(v >> 8);
    }
};

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
bool isId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

std::string errnoText() { return std::strerror(errno); }

TDiagnostic writeFailure(const std::string& path) {
    return TDiagnostic(Code::ClipWriteFailed).with("file", path).with("detail", errnoText());
}

}  // namespace

// Reads size bytes at offset; false when they lie (partly) beyond fileSize,
// so nothing is ever read past what the file holds.
bool readFileAt(int fd, uint64_t fileSize, uint64_t offset, void* buffer, std::size_t size, const std::string& path) {
    if (offset > fileSize || size > fileSize - offset) return false;
    auto* p = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EInOutError(TDiagnostic(Code::ClipReadFailed).with("file", path).with("detail", errnoText()));
        if (n == 0) throw EInOutError(TDiagnostic(Code::ClipEndedEarly).with("file", path));
        p += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Writer

TAviWriter::TAviWriter(const std::string& path, int width, int height, int bitsPerPixel, uint32_t rate,
                       uint32_t scale, std::vector<TPaletteEntry> palette)
    : path_(path), width_(width), height_(height), bitsPerPixel_(bitsPerPixel) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
        throw std::invalid_argument("AVI frame size " + std::to_string(width) + "x" + std::to_string(height));
    }
    if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        throw std::invalid_argument("AVI frames of " + std::to_string(bitsPerPixel) + " bits per pixel");
    }
    if (rate == 0 || scale == 0) throw std::invalid_argument("AVI frame rate 0");
    rowBytes_ = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) / 8;
    stride_ = paddedRow(rowBytes_);
    const std::size_t imageSize = stride_ * static_cast<std::size_t>(height);
    if (imageSize > kMaxFrameBytes) throw std::invalid_argument("AVI frame too large");
    if (bitsPerPixel == 8 && palette.empty()) palette = greyPalette();
    if (bitsPerPixel != 8) palette.clear();
    if (palette.size() > 256) throw std::invalid_argument("AVI palette of more than 256 entries");
    padded_.assign(imageSize, 0);

    const uint32_t strfSize = static_cast<uint32_t>(40 + palette.size() * 4);
    const uint32_t strlSize = 4 + (8 + 56) + (8 + strfSize);
    const uint32_t hdrlSize = 4 + (8 + 56) + (8 + strlSize);
    const auto image = static_cast<uint32_t>(imageSize);

    Bytes h;
    h.fourcc("RIFF"); h.u32(0); h.fourcc("AVI ");
    h.fourcc("LIST"); h.u32(hdrlSize); h.fourcc("hdrl");
    h.fourcc("avih"); h.u32(56);
    h.u32(static_cast<uint32_t>(std::llround(1e6 * scale / rate)));  // microseconds per frame
    h.u32(static_cast<uint32_t>(std::min<uint64_t>(uint64_t{image} * rate / scale, 0xFFFFFFFFu)));
    h.u32(0);                 // padding granularity
    h.u32(kAvifHasIndex);     // flags
    h.u32(0);                 // total frames, set at close
    h.u32(0);                 // initial frames
    h.u32(1);                 // streams
    h.u32(image);             // suggested buffer size
    h.u32(static_cast<uint32_t>(width)); h.u32(static_cast<uint32_t>(height));
    for (int i = 0; i < 4; ++i) h.u32(0);
    h.fourcc("LIST"); h.u32(strlSize); h.fourcc("strl");
    h.fourcc("strh"); h.u32(56);
    h.fourcc("vids"); h.u32(0);  // no handler: uncompressed
    h.u32(0); h.u16(0); h.u16(0); h.u32(0);
    h.u32(scale); h.u32(rate);
    h.u32(0);                 // start
    h.u32(0);                 // length, set at close
    h.u32(image);             // suggested buffer size
    h.u32(0);                 // quality
    h.u32(0);                 // sample size: one frame per sample
    h.u16(0); h.u16(0); h.u16(static_cast<uint16_t>(width)); h.u16(static_cast<uint16_t>(height));
    h.fourcc("strf"); h.u32(strfSize);
    h.u32(40); h.u32(static_cast<uint32_t>(width)); h.u32(static_cast<uint32_t>(height));  // bottom-up
    h.u16(1); h.u16(static_cast<uint16_t>(bitsPerPixel));
    h.u32(0);                 // uncompressed
    h.u32(image);
    h.u32(0); h.u32(0);       // resolution
    h.u32(static_cast<uint32_t>(palette.size())); h.u32(0);
    for (const TPaletteEntry& e : palette) {
        h.data += static_cast<char>(e.blue);
        h.data += static_cast<char>(e.green);
        h.data += static_cast<char>(e.red);
        h.data += static_cast<char>(e.reserved);
    }
    moviListOffset_ = h.data.size();
    h.fourcc("LIST"); h.u32(4); h.fourcc("movi");

    // Exclusive creation: whatever name a caller picks, an older clip is
    // never cut to nothing.
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) throw EInOutError(TDiagnostic(Code::ClipCreateFailed).with("file", path).with("detail", errnoText()));
    try {
        writeAll(h.data.data(), h.data.size());
    } catch (...) {
        discard();
        throw;
    }
    end_ = h.data.size();
}

TAviWriter::~TAviWriter() {
    try {
        close();
    } catch (const std::exception&) {
        // The destructor must not throw; close() has released the file.
    }
}

void TAviWriter::discard() noexcept {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    // The file is this writer's own: it was created exclusively.
    ::unlink(path_.c_str());
}

void TAviWriter::writeAll(const void* data, std::size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EInOutError(writeFailure(path_));
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

void TAviWriter::writeAt(uint64_t offset, uint32_t value) {
    uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                    static_cast<uint8_t>(value >> 24)};
    if (::pwrite(fd_, b, 4, static_cast<off_t>(offset)) != 4) {
        throw EInOutError(writeFailure(path_));
    }
}

void TAviWriter::writeFrame(std::span<const uint8_t> frame) {
    if (fd_ < 0) throw EInOutError(TDiagnostic(Code::ClipWriteFailed).with("file", path_));
    if (frame.size() != rowBytes_ * static_cast<std::size_t>(height_)) {
        throw std::invalid_argument("AVI frame of " + std::to_string(frame.size()) + " bytes for " +
                                    std::to_string(width_) + "x" + std::to_string(height_));
    }
    for (int r = 0; r < height_; ++r) {
        std::memcpy(padded_.data() + static_cast<std::size_t>(r) * stride_, frame.data() + static_cast<std::size_t>(r) * rowBytes_, rowBytes_);
    }
    Bytes chunk;
    chunk.fourcc("00db");
    chunk.u32(static_cast<uint32_t>(padded_.size()));
    // A failed write leaves end_ at the last complete frame; close() cuts
    // the partial chunk off.
    if (::lseek(fd_, static_cast<off_t>(end_), SEEK_SET) < 0) {
        throw EInOutError(writeFailure(path_));
    }
    writeAll(chunk.data.data(), chunk.data.size());
    writeAll(padded_.data(), padded_.size());
    end_ += chunk.data.size() + padded_.size();
    ++frames_;
}

void TAviWriter::close() {
    if (fd_ < 0) return;
    std::optional<TDiagnostic> failure;
    try {
        if (::ftruncate(fd_, static_cast<off_t>(end_)) != 0) throw EInOutError(writeFailure(path_));
        const uint64_t moviEnd = end_;
        // The index; when even that does not fit, the clip stays readable
        // without it.
        Bytes idx;
        idx.fourcc("idx1");
        idx.u32(static_cast<uint32_t>(16 * frames_));
        const uint64_t sampleBytes = 8 + padded_.size();
        for (int k = 0; k < frames_; ++k) {
            idx.fourcc("00db");
            idx.u32(kAviifKeyFrame);
            idx.u32(static_cast<uint32_t>(4 + k * sampleBytes));  // from the "movi" tag
            idx.u32(static_cast<uint32_t>(padded_.size()));
        }
        bool indexed = true;
        try {
            if (::lseek(fd_, static_cast<off_t>(moviEnd), SEEK_SET) < 0) throw EInOutError(writeFailure(path_));
            writeAll(idx.data.data(), idx.data.size());
            end_ = moviEnd + idx.data.size();
        } catch (const EInOutError&) {
            indexed = false;
            if (::ftruncate(fd_, static_cast<off_t>(moviEnd)) != 0) throw EInOutError(writeFailure(path_));
            end_ = moviEnd;
        }
        writeAt(4, static_cast<uint32_t>(end_ - 8));                                    // RIFF size
        writeAt(44, indexed ? kAvifHasIndex : 0);                                      // avih flags
        writeAt(48, static_cast<uint32_t>(frames_));                                    // avih total frames
        writeAt(140, static_cast<uint32_t>(frames_));                                   // strh length
        writeAt(moviListOffset_ + 4, static_cast<uint32_t>(moviEnd - moviListOffset_ - 8));  // movi size
        if (::fsync(fd_) != 0) throw EInOutError(writeFailure(path_));
    } catch (const EInOutError& e) {
        failure = e.diagnostic();
    }
    if (::close(fd_) != 0 && !failure) failure = writeFailure(path_);
    fd_ = -1;
    if (failure) throw EInOutError(*failure);
}

// ---------------------------------------------------------------------------
// Reader

int TAviInfo::framesPerSecond() const {
    if (scale == 0 || rate == 0) return 1;
    return std::max(1, static_cast<int>(std::lround(static_cast<double>(rate) / scale)));
}

namespace {

// An id a chunk of the movie data can have: "##db", "##dc", "##wb", "ix##",
// lists and padding. Anything else is pixels or garbage the walk ran into.
bool plausibleMoviId(const uint8_t* id) {
    const auto digit = [](uint8_t c) { return c >= '0' && c <= '9'; };
    const auto lower = [](uint8_t c) { return c >= 'a' && c <= 'z'; };
    if (digit(id[0]) && digit(id[1]) && lower(id[2]) && lower(id[3])) return true;
    if (id[0] == 'i' && id[1] == 'x' && digit(id[2]) && digit(id[3])) return true;
    return isId(id, "LIST") || isId(id, "JUNK") || isId(id, "idx1") || isId(id, "RIFF");
}

}  // namespace

struct AviParser {
    explicit AviParser(TAviReader& reader) : r(reader) {}

    struct Movi {
        uint64_t tag;  // offset of the "movi" list type; index offsets count from here
        uint64_t end;  // end of the RIFF that holds it
    };
    struct Index {
        uint64_t data;
        uint64_t size;
    };

    TAviReader& r;
    uint64_t fileSize = 0;
    bool haveVideo = false;
    int streamCount = 0;
    int videoStream = -1;
    uint8_t tens = 0, ones = 0;  // the video stream's number in its chunk ids
    uint32_t compression = 0;
    int32_t rawHeight = 0;
    uint16_t bitCount = 0;
    uint32_t headerFrames = 0;  // avih total frames
    uint32_t streamLength = 0;  // strh length of the video stream
    std::vector<Movi> movis;
    std::optional<Index> index;
    uint64_t indexedFrames = 0;
    std::size_t frameBytes = 0;
    std::set<uint64_t> frames;             // data offsets of whole frames
    std::map<uint64_t, uint32_t> misfits;  // frame chunks of another size than the header's
    std::set<uint64_t> damaged;            // frame chunks that do not end where their size says

    [[noreturn]] void invalid(TDiagnostic why) const { throw EInvalidVideo(std::move(why.with("file", r.path_))); }
    [[noreturn]] void invalid(Code code) const { invalid(TDiagnostic(code)); }

    bool readAt(uint64_t offset, void* buffer, std::size_t size) const {
        return readFileAt(r.fd_, fileSize, offset, buffer, size, r.path_);
    }

    bool isFrameId(const uint8_t* id) const {
        return id[0] == tens && id[1] == ones && id[2] == 'd' && (id[3] == 'b' || id[3] == 'c');
    }

    // Where a RIFF chunk at pos really ends. Its size is believed only when
    // another RIFF follows it; otherwise (a recording never closed, a size
    // damaged either way) the data runs to the end of the file.
    uint64_t riffEnd(uint64_t pos, uint64_t size) const {
        const uint64_t declared = pos + 8 + size;
        if (size < 4 || declared >= fileSize) return fileSize;
        uint8_t h[12];
        if (readAt(declared + (size & 1), h, 12) && isId(h, "RIFF") && isId(h + 8, "AVIX")) return declared;
        return fileSize;
    }

    void parseStreamList(uint64_t from, uint64_t to) {
        const int stream = streamCount++;
        bool video = false;
        uint64_t pos = from;
        while (pos + 8 <= to) {
            uint8_t h[8];
            if (!readAt(pos, h, 8)) return;
            const uint64_t data = pos + 8;
            const uint64_t size = le32(h + 4);
            if (isId(h, "strh") && size >= 36) {
                uint8_t s[36];
                if (!readAt(data, s, sizeof s)) invalid(TDiagnostic(Code::ClipHeaderCutShort).with("chunk", "strh"));
                video = isId(s, "vids") && !haveVideo;
                if (video) {
                    r.info_.scale = le32(s + 20);
                    r.info_.rate = le32(s + 24);
                    streamLength = le32(s + 32);
                }
            } else if (isId(h, "strf") && video && size >= 40) {
                uint8_t b[40];
                if (!readAt(data, b, sizeof b)) invalid(TDiagnostic(Code::ClipHeaderCutShort).with("chunk", "strf"));
                const uint32_t headerSize = le32(b);
                const auto width = static_cast<int32_t>(le32(b + 4));
                rawHeight = static_cast<int32_t>(le32(b + 8));
                bitCount = le16(b + 14);
                compression = le32(b + 16);
                const uint32_t used = le32(b + 32);
                if (width < 1 || width > kMaxSide) invalid(TDiagnostic(Code::ClipFrameSizeInvalid).with("width", width).with("height", rawHeight));
                if (rawHeight == 0 || rawHeight < -kMaxSide || rawHeight > kMaxSide) invalid(TDiagnostic(Code::ClipFrameSizeInvalid).with("width", width).with("height", rawHeight));
                if (stream > 99) invalid(Code::ClipTooManyStreams);
                r.info_.width = width;
                r.info_.height = rawHeight < 0 ? -rawHeight : rawHeight;
                r.info_.bitsPerPixel = bitCount;
                if (bitCount == 8 && headerSize >= 40 && headerSize <= size) {
                    const uint64_t room = (size - headerSize) / 4;
                    const uint64_t entries = std::min<uint64_t>({used == 0 ? 256 : used, room, 256});
                    std::vector<uint8_t> table(entries * 4);
                    if (!table.empty() && !readAt(data + headerSize, table.data(), table.size())) invalid(TDiagnostic(Code::ClipHeaderCutShort).with("chunk", "strf"));
                    for (uint64_t i = 0; i < entries; ++i) {
                        r.info_.palette.push_back({table[i * 4], table[i * 4 + 1], table[i * 4 + 2], table[i * 4 + 3]});
                    }
                }
                haveVideo = true;
                videoStream = stream;
                tens = static_cast<uint8_t>('0' + stream / 10);
                ones = static_cast<uint8_t>('0' + stream % 10);
            }
            pos = data + size + (size & 1);
        }
    }

    // The header chunks in [from, to) of the RIFF that ends at end. Lists are
    // entered wherever they are: a header list whose size is too large holds
    // the movie data and the index as far as the walk can tell.
    void parseHeaders(uint64_t from, uint64_t to, uint64_t end, int depth) {
        uint64_t pos = from;
        while (pos + 8 <= to) {
            uint8_t h[12];
            if (!readAt(pos, h, 8)) return;
            const uint64_t size = le32(h + 4);
            const uint64_t data = pos + 8;
            const uint64_t next = data + size + (size & 1);
            if (isId(h, "LIST")) {
                if (size < 4 || !readAt(data, h + 8, 4)) return;
                if (isId(h + 8, "movi")) {
                    // The frames run to the end of the RIFF whatever the list's
                    // size says (4 in a recording that was never closed); the
                    // chunk walk stops at the index.
                    movis.push_back({data, end});
                    if (size == 4 || next > to) return;
                } else if (isId(h + 8, "strl")) {
                    parseStreamList(data + 4, std::min(data + size, to));
                } else if (depth < 2) {
                    parseHeaders(data + 4, std::min(data + size, to), end, depth + 1);
                }
            } else if (isId(h, "avih") && size >= 20) {
                uint8_t a[20];
                if (readAt(data, a, sizeof a)) headerFrames = le32(a + 16);
            } else if (isId(h, "idx1") && !index) {
                index = Index{data, std::min(size, fileSize - std::min(fileSize, data))};
            }
            pos = next;
        }
    }

    // The first "LIST....movi" in [from, to), for headers whose sizes lead
    // the walk past it.
    void findMovi(uint64_t from, uint64_t to) {
        constexpr std::size_t kBlock = std::size_t{1} << 16;
        std::vector<uint8_t> buffer(kBlock + 12);
        for (uint64_t at = from; at + 12 <= to; at += kBlock) {
            const auto n = static_cast<std::size_t>(std::min<uint64_t>(buffer.size(), to - at));
            if (!readAt(at, buffer.data(), n)) return;
            for (std::size_t i = 0; i + 12 <= n; ++i) {
                if (isId(&buffer[i], "LIST") && isId(&buffer[i + 8], "movi")) {
                    movis.push_back({at + i + 8, to});
                    return;
                }
            }
        }
    }

    // The next frame chunk of the header's frame size, or the index, at or
    // after from: where a walk that lost its way takes up again.
    std::optional<uint64_t> resync(uint64_t from, uint64_t to) const {
        constexpr std::size_t kBlock = std::size_t{1} << 16;
        std::vector<uint8_t> buffer(kBlock + 8);
        for (uint64_t at = from; at + 8 <= to; at += kBlock) {
            const auto n = static_cast<std::size_t>(std::min<uint64_t>(buffer.size(), to - at));
            if (!readAt(at, buffer.data(), n)) return std::nullopt;
            for (std::size_t i = 0; i + 8 <= n; ++i) {
                const uint8_t* p = &buffer[i];
                const uint64_t size = le32(p + 4);
                const uint64_t data = at + i + 8;
                if (isFrameId(p) && size == frameBytes && data + size <= to) return at + i;
                if (isId(p, "idx1") && size % 16 == 0 && data + size <= fileSize) return at + i;
            }
        }
        return std::nullopt;
    }

    // True when the chunk whose data runs to next (with its padding) is
    // followed by another chunk, the end of the data, or the zeros a
    // recording stopped by a power cut may end with. Bytes cut out of a
    // chunk or added to it move the chunk after it: its size then leads into
    // pixels.
    bool endsWhereItSays(uint64_t next, uint64_t to) const {
        if (next + 8 > to) return true;
        // Pixels that happen to look like a chunk id rarely have a size
        // after them that the file could hold. The next frame's own size is
        // judged when the walk gets there.
        uint8_t h[8];
        if (readAt(next, h, sizeof h) && plausibleMoviId(h) &&
            (isFrameId(h) || isId(h, "idx1") || le32(h + 4) <= fileSize))
            return true;
        constexpr std::size_t kBlock = std::size_t{1} << 16;
        std::vector<uint8_t> buffer(kBlock);
        for (uint64_t at = next; at < to; at += kBlock) {
            const auto n = static_cast<std::size_t>(std::min<uint64_t>(kBlock, to - at));
            if (!readAt(at, buffer.data(), n)) return false;
            if (std::any_of(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n), [](uint8_t b) { return b != 0; }))
                return false;
        }
        return true;
    }

    // Walks the chunks of [from, to). A size that runs past the data, or
    // that leads into bytes which are no chunk, is damaged: the walk goes on
    // at the next frame chunk after the data the damaged chunk began. A
    // frame chunk so damaged is a damaged frame, unless it is the last of a
    // file cut off in its middle.
    void scanMovi(uint64_t from, uint64_t to, int depth) {
        uint64_t pos = from;
        uint64_t lastData = from;  // data of the last chunk taken
        while (pos + 8 <= to) {
            uint8_t h[12];
            if (!readAt(pos, h, 8)) return;
            uint64_t resumeFrom = 0;  // set when the walk has lost its way
            bool cutOff = false;      // a frame chunk that runs past the data
            const uint64_t size = le32(h + 4);
            const uint64_t data = pos + 8;
            const uint64_t next = data + size + (size & 1);
            if (!plausibleMoviId(h)) {
                resumeFrom = lastData;
            } else if (isId(h, "idx1") || isId(h, "RIFF")) {
                if (isId(h, "idx1") && !index) index = Index{data, std::min(size, fileSize - data)};
                if (depth == 0) return;
            } else if (isFrameId(h)) {
                cutOff = data + size > to;
                if (!cutOff && endsWhereItSays(next, to)) {
                    if (size == frameBytes) frames.insert(data);
                    else misfits.emplace(data, static_cast<uint32_t>(size));
                } else {
                    damaged.insert(data);
                    resumeFrom = data;
                }
            } else if (data + size > to) {
                resumeFrom = data;
            } else if (isId(h, "LIST") && size >= 4 && depth < 2) {
                uint8_t type[4];
                if (readAt(data, type, sizeof type) && isId(type, "rec ")) scanMovi(data + 4, data + size, depth + 1);
            }
            if (resumeFrom == 0) {
                lastData = data;
                pos = next;
                continue;
            }
            // Every chunk taken moves lastData on, so the walk always ends.
            const std::optional<uint64_t> found = resync(resumeFrom, to);
            if (!found) {
                // Nothing after it: the recording ends in this frame.
                if (cutOff) damaged.erase(data);
                return;
            }
            pos = *found;
            lastData = pos;
        }
    }

    // The frames idx1 points to, each checked against the chunk header it
    // names; an index that matches nothing is not this file's.
    void readIndex() {
        if (!index || movis.empty()) return;
        struct Entry {
            uint64_t offset;
            uint32_t size;
        };
        std::vector<Entry> entries;
        constexpr std::size_t kBlock = 16 * 4096;
        std::vector<uint8_t> buffer(kBlock);
        const uint64_t bytes = index->size / 16 * 16;
        for (uint64_t done = 0; done < bytes; done += kBlock) {
            const auto n = static_cast<std::size_t>(std::min<uint64_t>(kBlock, bytes - done));
            if (!readAt(index->data + done, buffer.data(), n)) return;
            for (std::size_t i = 0; i < n; i += 16) {
                if (isFrameId(&buffer[i])) entries.push_back({le32(&buffer[i + 8]), le32(&buffer[i + 12])});
            }
        }
        indexedFrames = entries.size();
        const auto matches = [&](uint64_t base, const Entry& e) {
            uint8_t h[8];
            return readAt(base + e.offset, h, sizeof h) && isFrameId(h) && le32(h + 4) == e.size &&
                   base + e.offset + 8 + e.size <= fileSize;
        };
        // Offsets count from the "movi" tag, with some writers from the
        // start of the file.
        uint64_t base = 0;
        int bestMatches = 0;
        for (const uint64_t candidate : {movis.front().tag, uint64_t{0}}) {
            int n = 0;
            for (std::size_t k = 0; k < std::min<std::size_t>(entries.size(), 16); ++k) n += matches(candidate, entries[k]);
            if (n > bestMatches) {
                bestMatches = n;
                base = candidate;
            }
        }
        if (bestMatches == 0) return;
        // An entry is believed as far as the chunk it names: that chunk must
        // end where the next begins, as in the walk.
        for (const Entry& e : entries) {
            if (!matches(base, e)) continue;
            const uint64_t data = base + e.offset + 8;
            if (!endsWhereItSays(data + e.size + (e.size & 1), fileSize)) damaged.insert(data);
            else if (e.size == frameBytes) frames.insert(data);
            else misfits.emplace(data, e.size);
        }
    }

    // Every time the station derives from a clip is its start plus frame
    // number times scale / rate: the start of a recording from its end, the
    // time of each frame in detection, the name and night of each event
    // clip. A period outside 1 ms (1000 frames per second, beyond any video
    // camera a station uses) to 10 s (the slowest long exposure) is a
    // damaged or foreign header, and would put frames into another night or
    // century. Raised as an input error, not as an unreadable format, so
    // that no decoder is tried on the same header instead.
    void refuseImplausibleRate() const {
        const uint64_t rate = r.info_.rate;
        const uint64_t scale = r.info_.scale;
        if (rate != 0 && scale != 0 && rate <= 1000 * scale && scale <= 10 * rate) return;
        throw EInOutError(
            TDiagnostic(Code::ClipFrameRateImplausible).with("file", r.path_).with("rate", rate).with("scale", scale));
    }

    // A frame chunk of another size than the stream's frames, or one that
    // does not end where its size says, holds no frame: read, it would be
    // pixels of the wrong place, and left out, every later frame would be
    // taken one frame period too early. The clip is refused, naming the
    // frames by their number (from 1, as the frame files are).
    void refuseDamagedFrames() const {
        std::set<uint64_t> bad = damaged;
        for (const auto& [data, size] : misfits) bad.insert(data);
        if (bad.empty()) return;
        std::set<uint64_t> all = frames;
        all.insert(bad.begin(), bad.end());
        // The first five by number; the count tells how many there are.
        std::string numbers;
        int listed = 0;
        for (const uint64_t data : bad) {
            if (++listed > 5) break;
            const auto number = std::distance(all.begin(), all.find(data)) + 1;
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(number);
        }
        throw EInOutError(TDiagnostic(Code::ClipFramesDamaged)
                              .with("file", r.path_)
                              .with("frames", numbers)
                              .with("count", bad.size())
                              .with("total", all.size())
                              .with("bytes", frameBytes)
                              .with("width", r.info_.width)
                              .with("height", r.info_.height)
                              .with("bits", bitCount));
    }

    // With headersOnly, only what the headers say, of any AVI video
    // (compressed too): no frame is looked for.
    void parse(bool headersOnly = false) {
        struct stat st {};
        if (::fstat(r.fd_, &st) != 0)
            throw EInOutError(TDiagnostic(Code::ClipReadFailed).with("file", r.path_).with("detail", errnoText()));
        fileSize = static_cast<uint64_t>(st.st_size);
        r.fileSize_ = fileSize;

        uint8_t h[12];
        if (!readAt(0, h, 12) || !isId(h, "RIFF") || !isId(h + 8, "AVI ")) invalid(Code::ClipNotAvi);
        uint64_t end = riffEnd(0, le32(h + 4));
        parseHeaders(12, end, end, 0);
        if (movis.empty()) findMovi(12, end);
        // Large recordings continue in further RIFF 'AVIX' chunks.
        uint64_t pos = end + (end < fileSize ? (le32(h + 4) & 1) : 0);
        while (readAt(pos, h, 12) && isId(h, "RIFF") && isId(h + 8, "AVIX")) {
            const uint64_t size = le32(h + 4);
            const uint64_t next = riffEnd(pos, size);
            parseHeaders(pos + 12, next, next, 0);
            if (next >= fileSize) break;
            pos = next + (size & 1);
        }

        if (!haveVideo) invalid(Code::ClipNoVideoStream);
        refuseImplausibleRate();
        if (headersOnly) {
            const uint64_t declared = std::max<uint64_t>(headerFrames, streamLength);
            r.info_.declaredFrames = static_cast<int>(std::min<uint64_t>(declared, std::numeric_limits<int>::max()));
            return;
        }
        if (compression != 0 && compression != 0x20424944u /* 'DIB ' */) {
            std::string fourcc;
            for (int i = 0; i < 4; ++i) {
                const char c = static_cast<char>((compression >> (8 * i)) & 0xFF);
                fourcc += (c >= 32 && c < 127) ? c : '?';
            }
            invalid(TDiagnostic(Code::ClipCompressed).with("fourcc", fourcc));
        }
        if (bitCount != 8 && bitCount != 24 && bitCount != 32) invalid(TDiagnostic(Code::ClipBitDepthUnsupported).with("bits", bitCount));
        if (bitCount == 8 && r.info_.palette.empty()) r.info_.palette = greyPalette();
        const std::size_t rowBytes = static_cast<std::size_t>(r.info_.width) * bitCount / 8;
        frameBytes = paddedRow(rowBytes) * static_cast<std::size_t>(r.info_.height);
        if (frameBytes > kMaxFrameBytes) invalid(Code::ClipFramesTooLarge);
        r.topDown_ = rawHeight < 0;

        for (const Movi& m : movis) scanMovi(m.tag + 4, m.end, 0);
        readIndex();
        // Frames that disagree with the header as often as they agree mean a
        // header that does not describe them: reading them with its sizes
        // would make pictures of the wrong shape.
        if (!misfits.empty() && misfits.size() >= frames.size()) {
            throw EInOutError(TDiagnostic(Code::ClipFramesMismatchHeader)
                                  .with("file", r.path_)
                                  .with("found", misfits.begin()->second)
                                  .with("bytes", frameBytes)
                                  .with("width", r.info_.width)
                                  .with("height", r.info_.height)
                                  .with("bits", bitCount));
        }
        refuseDamagedFrames();
        for (const uint64_t offset : frames) r.frames_.push_back({offset, static_cast<uint32_t>(frameBytes)});
        r.info_.frameCount = static_cast<int>(r.frames_.size());
        const uint64_t declared = std::max<uint64_t>({headerFrames, streamLength, indexedFrames});
        r.info_.declaredFrames = static_cast<int>(std::min<uint64_t>(declared, std::numeric_limits<int>::max()));
    }
};

TAviReader::TAviReader(const std::string& path) : TAviReader(path, false) {}

TAviReader::TAviReader(const std::string& path, bool headersOnly) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw EInOutError(TDiagnostic(Code::ClipOpenFailed).with("file", path).with("detail", errnoText()));
    try {
        AviParser(*this).parse(headersOnly);
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

TAviReader::~TAviReader() {
    if (fd_ >= 0) ::close(fd_);
}

std::vector<uint8_t> TAviReader::readFrame(int index) const {
    if (index < 0 || index >= info_.frameCount) {
        throw std::out_of_range("AVI frame " + std::to_string(index) + " of " + std::to_string(info_.frameCount));
    }
    const std::size_t rowBytes = static_cast<std::size_t>(info_.width) * static_cast<std::size_t>(info_.bitsPerPixel) / 8;
    const std::size_t stride = paddedRow(rowBytes);
    const auto height = static_cast<std::size_t>(info_.height);
    std::vector<uint8_t> raw(stride * height);
    if (!readFileAt(fd_, fileSize_, frames_[static_cast<std::size_t>(index)].offset, raw.data(), raw.size(), path_)) {
        throw EInvalidVideo(TDiagnostic(Code::ClipFrameCutShort).with("file", path_).with("frame", index + 1));
    }
    std::vector<uint8_t> frame(rowBytes * height);
    for (std::size_t r = 0; r < height; ++r) {
        const std::size_t from = topDown_ ? height - 1 - r : r;
        std::memcpy(frame.data() + r * rowBytes, raw.data() + from * stride, rowBytes);
    }
    return frame;
}

TAviInfo readAviHeaders(const std::string& path) { return TAviReader(path, true).info(); }

TAviInfo readClipInfo(const std::string& path) {
    try {
        return TAviReader(path).info();
    } catch (const std::exception&) {
    }
    try {
        TAviInfo info = readAviHeaders(path);
        info.frameCount = info.declaredFrames;
        return info;
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace orbis
