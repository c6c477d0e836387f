#pragma once
// The comment (COM, FF FE) segment of a JPEG file: reading it, inserting a
// new one, and annotateJpeg, which embeds the station, the event report and
// the reference-star file into the result picture of an event.
//
// The class works on a complete in-memory copy of the file. Markers are
// found by walking the segments from FF D8 up to the scan; a file that does
// not start with FF D8, or whose segments before the scan have a length
// below 2 or run past its end, is refused as unreadable.

#include <sys/stat.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "astro/uExceptions.h"
#include "config/uConfiguration.h"

namespace orbis {

// Validation and reading failures.
class EJPEGCommentReadException : public Exception {
public:
    using Exception::Exception;
};

// Writing the file or its times failed.
class EJPEGCommentWriteException : public Exception {
public:
    using Exception::Exception;
};

enum TJPEGCommentSetting : unsigned {
    tjCheckFile,       // validate a file name before accepting it
    tjEXIFCompatible,  // insert a new comment after the EXIF segment, not after FF D8
    tjKeepFileTimes,   // the written file keeps the access and modification times it had
    tjReadOnly,        // never write
    tjSilent,          // record errors in lastError() without raising them
};

// A set of settings, one bit per member in member order (1, 2, 4, 8, 16).
class TJPEGCommentSettings {
public:
    constexpr TJPEGCommentSettings() = default;
    constexpr TJPEGCommentSettings(std::initializer_list<TJPEGCommentSetting> settings) {
        for (TJPEGCommentSetting s : settings) bits_ |= bit(s);
    }
    constexpr bool contains(TJPEGCommentSetting s) const { return (bits_ & bit(s)) != 0; }
    constexpr TJPEGCommentSettings without(TJPEGCommentSetting s) const {
        TJPEGCommentSettings out = *this;
        out.bits_ &= ~bit(s);
        return out;
    }
    constexpr unsigned bits() const { return bits_; }
    friend constexpr bool operator==(TJPEGCommentSettings, TJPEGCommentSettings) = default;

private:
    static constexpr unsigned bit(TJPEGCommentSetting s) { return 1u << static_cast<unsigned>(s); }
    unsigned bits_ = 0;
};

class TJPEGCommentInfo {
public:
    // Empty state, settings [tjCheckFile].
    TJPEGCommentInfo();
    TJPEGCommentInfo(const TJPEGCommentInfo&) = delete;
    TJPEGCommentInfo& operator=(const TJPEGCommentInfo&) = delete;

    // Resets this object and gives it the source's file name (validated and
    // loaded under this object's own settings).
    void assign(const TJPEGCommentInfo& source);

    // Offset of the first EXIF (FF E1) segment, -1 when there is none.
    int32_t exifOffset() const { return exifOffset_; }
    // Payload length of that segment: its length field minus 2.
    uint16_t exifLength() const { return exifLength_; }

    const std::string& fileName() const { return fileName_; }
    // Resets, then takes the name (after validation under tjCheckFile) and
    // loads the file. A name that fails validation is not taken; the
    // previous file is loaded again and lastError() tells why. An empty
    // name clears the file name.
    void setFileName(const std::string& name);

    // The comment text, one UTF-8 entry per line. Lines added here go into
    // the file with writeComment().
    const std::vector<std::string>& jpegComment() const { return comment_; }
    std::vector<std::string>& jpegComment() { return comment_; }
    // Payload length of the first comment segment, 0 when there is none.
    uint16_t jpegCommentLength() const { return commentLength_; }
    // Offset of the first comment (FF FE) segment, -1 when there is none.
    int32_t jpegCommentOffset() const { return commentOffset_; }

    TJPEGCommentSettings jpegCommentSettings() const { return settings_; }
    // Stores the settings without tjReadOnly.
    void setJPEGCommentSettings(TJPEGCommentSettings settings);

    // The last validation, read or write failure; nothing when none.
    const std::optional<TDiagnostic>& lastError() const { return lastError_; }

    // Inserts jpegComment() (every line ended by CR LF, in Windows-1251) as a
    // new comment segment: after FF D8, or after the EXIF segment with
    // tjEXIFCompatible. An older comment segment stays where it is. The file
    // is replaced whole and loaded again. Nothing is written under
    // tjReadOnly or when the text is empty or longer than 65533 bytes.
    // Returns true when the file was written.
    bool writeComment();

private:
    void reset();
    bool validate(const std::string& name);
    void load();
    // Records the error and raises E unless tjSilent is set.
    template <class E>
    void fail(TDiagnostic diagnostic);

    std::string fileName_;
    std::string content_;  // the file's bytes
    int32_t exifOffset_ = -1;
    uint16_t exifLength_ = 0;
    std::vector<std::string> comment_;
    uint16_t commentLength_ = 0;
    int32_t commentOffset_ = -1;
    TJPEGCommentSettings settings_{tjCheckFile};
    std::optional<TDiagnostic> lastError_;
    // Access and modification times of the file as loaded, taken before
    // reading it (reading may move the access time); tjKeepFileTimes puts
    // them back after a write.
    struct timespec accessTime_ {};
    struct timespec modifyTime_ {};
    bool haveTimes_ = false;
};

// Appends to the JPEG's comment the station's place, observer and camera,
// the event report and the reference-star file, framed by lines of 35
// asterisks, as one new comment segment; the file keeps its times. A JPEG
// that fails validation or whose segments are broken, a missing report or
// star file, or a failed write raises EInOutError, and the picture is left
// as it was.
void annotateJpeg(const std::string& jpegPath, const std::string& reportPath, const std::string& aTxtPath,
                  const TConfiguration& config);

}  // namespace orbis
