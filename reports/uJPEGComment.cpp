#include "reports/uJPEGComment.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <string_view>

#include "astro/uUniUtils.h"
#include "reports/uReportText.h"

namespace orbis {

namespace {

constexpr std::string_view kCommentMarker = "\xFF\xFE";
constexpr std::size_t kMaxCommentBytes = 65533;  // n + 2 must fit the 16-bit length field

// Attribute bits in the values the station has always reported them with.
constexpr unsigned kAttrReadOnly = 1;
constexpr unsigned kAttrHidden = 2;
constexpr unsigned kAttrSystem = 4;
constexpr unsigned kAttrDirectory = 16;
constexpr unsigned kAttrTemporary = 256;
constexpr unsigned kAttrCompressed = 2048;
constexpr unsigned kAttrOffline = 4096;
constexpr unsigned kRefusedAttributes =
    kAttrDirectory | kAttrHidden | kAttrSystem | kAttrTemporary | kAttrCompressed | kAttrOffline;

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view bareName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The extension with its dot, "" when the bare name has none.
std::string_view extensionOf(std::string_view path) {
    const std::string_view name = bareName(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

uint16_t bigEndian16(std::string_view bytes, std::size_t at) {
    return static_cast<uint16_t>((static_cast<uint8_t>(bytes[at]) << 8) | static_cast<uint8_t>(bytes[at + 1]));
}

struct MarkerPositions {
    std::size_t exif = std::string_view::npos;
    std::size_t comment = std::string_view::npos;
    const char* fault = nullptr;  // why the segments cannot be walked; null when they can
};

// The first EXIF (APP1) and comment segments. A JPEG is walked segment by
// segment up to its scan, so marker bytes inside another segment are never
// taken for a segment of their own: a comment naming "Зябликов" holds FF E1
// in Windows-1251, and a second annotation would otherwise be inserted
// inside the first. A file that does not start with FF D8, or a segment
// whose length is below 2 or runs past the end before the scan, is a fault:
// an insertion there would land inside a segment, or in something that is
// no JPEG, and the new segment would never be found again.
MarkerPositions findMarkers(std::string_view c) {
    MarkerPositions m;
    const auto faulty = [&m](const char* why) {
        m.fault = why;
        return m;
    };
    if (c.size() < 2 || c[0] != '\xFF' || c[1] != '\xD8') return faulty("the file does not start like a JPEG");
    std::size_t p = 2;
    while (p < c.size() && c[p] == '\xFF') {
        if (p + 2 > c.size()) return faulty("a marker is cut short");
        const auto type = static_cast<uint8_t>(c[p + 1]);
        if (type == 0xFF) {  // fill byte before a marker
            ++p;
            continue;
        }
        if (type == 0xDA || type == 0xD9) break;  // scan data or the end: the header is over
        if (p + 4 > c.size()) return faulty("a segment is cut short");
        const uint16_t length = bigEndian16(c, p + 2);
        if (length < 2) return faulty("a segment has an invalid length");
        if (p + 2u + length > c.size()) return faulty("a segment is cut short");
        if (type == 0xE1 && m.exif == std::string_view::npos) m.exif = p;
        if (type == 0xFE && m.comment == std::string_view::npos) m.comment = p;
        p += 2u + length;
    }
    return m;
}

}  // namespace

TJPEGCommentInfo::TJPEGCommentInfo() { reset(); }

void TJPEGCommentInfo::reset() {
    content_.clear();
    exifOffset_ = -1;
    exifLength_ = 0;
    comment_.clear();
    commentLength_ = 0;
    commentOffset_ = -1;
    lastError_.clear();
    haveTimes_ = false;
}

template <class E>
void TJPEGCommentInfo::fail(std::string message) {
    lastError_ = std::move(message);
    if (!settings_.contains(tjSilent)) throw E(lastError_);
}

void TJPEGCommentInfo::assign(const TJPEGCommentInfo& source) {
    const std::string name = source.fileName_;  // source may be this object
    fileName_.clear();
    setFileName(name);
}

void TJPEGCommentInfo::setJPEGCommentSettings(TJPEGCommentSettings settings) {
    settings_ = settings.without(tjReadOnly);
}

void TJPEGCommentInfo::setFileName(const std::string& name) {
    reset();
    if (name.empty()) {
        fileName_.clear();
        return;
    }
    // The current name again is loaded again, so the properties never stay
    // reset while a file name is set.
    if (!settings_.contains(tjCheckFile) || validate(name)) fileName_ = name;
    if (!fileName_.empty()) load();
}

bool TJPEGCommentInfo::validate(const std::string& name) {
    const std::string ext = asciiLower(extensionOf(name));
    if (ext != ".jpg" && ext != ".jpeg") {
        fail<EJPEGCommentReadException>("FileType " + name + " is invalid");
        return false;
    }
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        const int err = errno;
        std::string message = "File " + name + " does not exist";
        if (err != ENOENT) message += std::string("\n") + std::strerror(err);
        fail<EJPEGCommentReadException>(std::move(message));
        return false;
    }
    if (S_ISREG(st.st_mode) && st.st_size == 0) {
        fail<EJPEGCommentReadException>("File " + name + " is Empty");
        return false;
    }
    unsigned attributes = 0;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    if (bareName(name).starts_with('.')) attributes |= kAttrHidden;
    if (S_ISDIR(st.st_mode)) attributes |= kAttrDirectory;
    else if (!S_ISREG(st.st_mode)) attributes |= kAttrSystem;  // devices, pipes, sockets
    if ((attributes & kRefusedAttributes) != 0) {
        fail<EJPEGCommentReadException>("FileAttributes (" + std::to_string(attributes) + ") of File " + name +
                                        " are invalid");
        return false;
    }
    return true;
}

void TJPEGCommentInfo::load() {
    const auto readError = [this](std::string_view why) {
        fail<EJPEGCommentReadException>("File " + fileName_ + " Stream Reading Error\n" + std::string(why));
    };
    struct stat st {};
    haveTimes_ = ::stat(fileName_.c_str(), &st) == 0;
    if (haveTimes_) {
        accessTime_ = st.st_atim;
        modifyTime_ = st.st_mtim;
    }
    try {
        content_ = readFileBytes(fileName_);
    } catch (const EInOutError& e) {
        content_.clear();
        readError(e.what());
        return;
    }
    if (content_.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        content_.clear();
        readError("the file is too large for a JPEG");
        return;
    }
    const MarkerPositions markers = findMarkers(content_);
    if (markers.fault != nullptr) return readError(markers.fault);
    // Both segments lie whole inside the file: the walk checked them.
    if (markers.exif != std::string::npos) {
        exifOffset_ = static_cast<int32_t>(markers.exif);
        exifLength_ = static_cast<uint16_t>(bigEndian16(content_, markers.exif + 2) - 2u);
    }
    if (markers.comment != std::string::npos) {
        const std::size_t n = bigEndian16(content_, markers.comment + 2) - 2u;
        commentOffset_ = static_cast<int32_t>(markers.comment);
        commentLength_ = static_cast<uint16_t>(n);
        comment_ = splitLines(cp1251ToUtf8(std::string_view(content_).substr(markers.comment + 4, n)));
    }
}

bool TJPEGCommentInfo::writeComment() {
    if (settings_.contains(tjReadOnly)) return false;
    std::string text;
    for (const std::string& line : comment_) {
        text += line;
        text += "\r\n";
    }
    text = utf8ToCp1251(text);
    if (text.empty() || text.size() > kMaxCommentBytes) return false;

    const std::string name = fileName_;
    if (name.empty()) {
        fail<EJPEGCommentWriteException>("Could not write into File: no file is loaded");
        return false;
    }
    // A picture whose load was refused (under tjSilent) is refused here too.
    if (const char* fault = findMarkers(content_).fault) {
        fail<EJPEGCommentWriteException>("Could not write into File " + name + "\n" + fault);
        return false;
    }
    std::size_t offset = 2;
    if (exifOffset_ > 1 && settings_.contains(tjEXIFCompatible)) {
        offset = static_cast<std::size_t>(exifOffset_) + exifLength_ + 4;
    }
    if (offset > content_.size()) {
        fail<EJPEGCommentWriteException>("Could not write into File " + name +
                                         "\nthe insertion point lies beyond the end of the file");
        return false;
    }
    const std::size_t segmentLength = text.size() + 2;
    std::string updated;
    updated.reserve(content_.size() + 4 + text.size());
    updated.append(content_, 0, offset);
    updated += kCommentMarker;
    updated += static_cast<char>(segmentLength >> 8);
    updated += static_cast<char>(segmentLength & 0xFF);
    updated += text;
    updated.append(content_, offset);

    // Writing (a new file renamed over the old one) gives the file new
    // times; keep the ones it had when it was loaded.
    const bool haveTimes = haveTimes_;
    const struct timespec times[2] = {accessTime_, modifyTime_};
    // The new file is renamed over the old one, which a folder allows even
    // for a read-only file: honour the read-only mark as a write in place
    // would have to.
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
        fail<EJPEGCommentWriteException>("Could not write into File " + name + "\nthe file is read-only");
        return false;
    }
    try {
        writeFileAtomically(name, updated);
    } catch (const EInOutError& e) {
        fail<EJPEGCommentWriteException>("Could not write into File " + name + "\n" + e.what());
        return false;
    }

    // Reload so every property describes the file as written. The times are
    // set after it, so reading cannot touch them and their error is kept.
    reset();
    load();
    if (settings_.contains(tjKeepFileTimes)) {
        if (!haveTimes || ::utimensat(AT_FDCWD, name.c_str(), times, 0) != 0) {
            fail<EJPEGCommentWriteException>("Could not write filedate of File " + name);
        }
    }
    return true;
}

void annotateJpeg(const std::string& jpegPath, const std::string& reportPath, const std::string& aTxtPath,
                  const TConfiguration& config) {
    config.requireInRange({"latitude", "longitude", "altitude"});
    TJPEGCommentInfo info;
    info.setJPEGCommentSettings({tjCheckFile, tjEXIFCompatible, tjKeepFileTimes, tjSilent});
    info.setFileName(jpegPath);
    if (!info.lastError().empty()) throw EInOutError(info.lastError());

    // Both texts are read before anything is written.
    const std::vector<std::string> report = readTextLines(reportPath);
    const std::vector<std::string> stars = readTextLines(aTxtPath);

    const std::string frame(35, '*');
    std::vector<std::string>& lines = info.jpegComment();
    lines.push_back("Lat = " + latitudeText(config.signedLatitude()) +
                    ", Lon = " + longitudeText(config.signedLongitude()) +
                    ", Alt = " + generalNumberText(config.altitude()));
    lines.push_back("Observer: " + config.observer());
    lines.push_back("Camera  : " + config.name());
    lines.push_back(frame);
    lines.insert(lines.end(), report.begin(), report.end());
    lines.push_back(frame);
    lines.insert(lines.end(), stars.begin(), stars.end());

    info.writeComment();
    if (!info.lastError().empty()) throw EInOutError(info.lastError());
}

}  // namespace orbis
