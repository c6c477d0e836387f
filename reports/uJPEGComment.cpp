#include "reports/uJPEGComment.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
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

// A failure of the file layer told as this class's own: the system's reason
// ("detail") and the code it came with ("cause").
TDiagnostic causedBy(Code code, const TDiagnostic& cause) {
    TDiagnostic d(code);
    d.with("detail", cause.value("detail")).with("cause", std::string(codeName(cause.code())));
    return d;
}

struct MarkerPositions {
    std::size_t exif = std::string_view::npos;
    std::size_t comment = std::string_view::npos;
    std::optional<Code> fault;  // why the segments cannot be walked; nothing when they can
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
    const auto faulty = [&m](Code why) {
        m.fault = why;
        return m;
    };
    if (c.size() < 2 || c[0] != '\xFF' || c[1] != '\xD8') return faulty(Code::JpegNotJpeg);
    std::size_t p = 2;
    while (p < c.size() && c[p] == '\xFF') {
        if (p + 2 > c.size()) return faulty(Code::JpegMarkerCutShort);
        const auto type = static_cast<uint8_t>(c[p + 1]);
        if (type == 0xFF) {  // fill byte before a marker
            ++p;
            continue;
        }
        if (type == 0xDA || type == 0xD9) break;  // scan data or the end: the header is over
        if (p + 4 > c.size()) return faulty(Code::JpegSegmentCutShort);
        const uint16_t length = bigEndian16(c, p + 2);
        if (length < 2) return faulty(Code::JpegSegmentLengthInvalid);
        if (p + 2u + length > c.size()) return faulty(Code::JpegSegmentCutShort);
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
    lastError_.reset();
    haveTimes_ = false;
}

template <class E>
void TJPEGCommentInfo::fail(TDiagnostic diagnostic) {
    lastError_ = std::move(diagnostic);
    if (!settings_.contains(tjSilent)) throw E(*lastError_);
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
        fail<EJPEGCommentReadException>(TDiagnostic(Code::JpegTypeInvalid).with("file", name));
        return false;
    }
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        const int err = errno;
        TDiagnostic missing(Code::JpegMissing);
        missing.with("file", name);
        if (err != ENOENT) missing.with("detail", std::strerror(err));
        fail<EJPEGCommentReadException>(std::move(missing));
        return false;
    }
    if (S_ISREG(st.st_mode) && st.st_size == 0) {
        fail<EJPEGCommentReadException>(TDiagnostic(Code::JpegEmpty).with("file", name));
        return false;
    }
    unsigned attributes = 0;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    if (bareName(name).starts_with('.')) attributes |= kAttrHidden;
    if (S_ISDIR(st.st_mode)) attributes |= kAttrDirectory;
    else if (!S_ISREG(st.st_mode)) attributes |= kAttrSystem;  // devices, pipes, sockets
    if ((attributes & kRefusedAttributes) != 0) {
        fail<EJPEGCommentReadException>(
            TDiagnostic(Code::JpegAttributesInvalid).with("file", name).with("attributes", attributes));
        return false;
    }
    return true;
}

void TJPEGCommentInfo::load() {
    const auto readError = [this](TDiagnostic why) { fail<EJPEGCommentReadException>(std::move(why.with("file", fileName_))); };
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
        readError(causedBy(Code::JpegReadFailed, e.diagnostic()));
        return;
    }
    if (content_.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        content_.clear();
        readError(TDiagnostic(Code::JpegTooLarge));
        return;
    }
    const MarkerPositions markers = findMarkers(content_);
    if (markers.fault) return readError(TDiagnostic(*markers.fault));
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
        fail<EJPEGCommentWriteException>(TDiagnostic(Code::JpegNoFileLoaded));
        return false;
    }
    // A picture whose load was refused (under tjSilent) is refused here too.
    if (const std::optional<Code> fault = findMarkers(content_).fault) {
        fail<EJPEGCommentWriteException>(TDiagnostic(*fault).with("file", name));
        return false;
    }
    std::size_t offset = 2;
    if (exifOffset_ > 1 && settings_.contains(tjEXIFCompatible)) {
        offset = static_cast<std::size_t>(exifOffset_) + exifLength_ + 4;
    }
    if (offset > content_.size()) {
        fail<EJPEGCommentWriteException>(TDiagnostic(Code::JpegInsertionBeyondEnd).with("file", name));
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
        fail<EJPEGCommentWriteException>(TDiagnostic(Code::JpegReadOnly).with("file", name));
        return false;
    }
    try {
        writeFileAtomically(name, updated);
    } catch (const EInOutError& e) {
        fail<EJPEGCommentWriteException>(causedBy(Code::JpegWriteFailed, e.diagnostic()).with("file", name));
        return false;
    }

    // Reload so every property describes the file as written. The times are
    // set after it, so reading cannot touch them and their error is kept.
    reset();
    load();
    if (settings_.contains(tjKeepFileTimes)) {
        if (!haveTimes || ::utimensat(AT_FDCWD, name.c_str(), times, 0) != 0) {
            fail<EJPEGCommentWriteException>(TDiagnostic(Code::JpegTimesNotWritten).with("file", name));
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
    if (info.lastError()) throw EInOutError(*info.lastError());

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
    if (info.lastError()) throw EInOutError(*info.lastError());
}

}  // namespace orbis
