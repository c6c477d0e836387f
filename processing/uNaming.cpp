#include "processing/uNaming.h"

#include <locale.h>
#include <wchar.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

namespace fs = std::filesystem;

std::string executableDirectory() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path().string();
    return exe.parent_path().string();
}

std::string joinPath(std::string_view a, std::string_view b) {
    if (a.empty()) return std::string(b);
    std::string out(a);
    if (out.back() != '/') out += '/';
    out += b;
    return out;
}

std::string resolveInProgramDirectory(std::string_view programDirectory, std::string_view setting) {
    if (!setting.empty() && setting.front() == '/') return std::string(setting);
    return joinPath(programDirectory, setting);
}

std::string nightName(TDateTime localDate) { return formatDateTime("yyyymmdd", localDate); }

std::string nightDirectory(std::string_view programDirectory, TDateTime localDate) {
    return joinPath(programDirectory, nightName(localDate));
}

std::string clipName(TDateTime localTime) { return formatDateTime("hhnnss_zzz", localTime); }

std::string eventClipPath(std::string_view nightDirectory, TDateTime localTime) {
    return joinPath(nightDirectory, clipName(localTime) + ".avi");
}

std::string eventNameOfClip(std::string_view clipFileName) {
    const std::size_t slash = clipFileName.rfind('/');
    const std::string_view bare = slash == std::string_view::npos ? clipFileName : clipFileName.substr(slash + 1);
    return std::string(bare.substr(0, bare.find('.')));
}

std::string eventDirectoryForClip(std::string_view clipsDirectory, std::string_view clipFileName) {
    return joinPath(clipsDirectory, eventNameOfClip(clipFileName));
}

std::string frameFileName(std::string_view eventDirectory, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "F%03d.bmp", n);
    return joinPath(eventDirectory, name);
}

bool isFrameFileName(std::string_view bareName) { return bareName.size() == 8 && bareName.front() == 'F'; }

std::string eventNameOfDirectory(std::string_view nightDirectory, std::string_view eventDirectory) {
    std::string_view night = nightDirectory;
    while (night.size() > 1 && night.back() == '/') night.remove_suffix(1);
    std::string_view event = eventDirectory;
    while (event.size() > 1 && event.back() == '/') event.remove_suffix(1);
    if (!night.empty() && event.size() > night.size() + 1 && event.starts_with(night) && event[night.size()] == '/') {
        return std::string(event.substr(night.size() + 1));
    }
    const std::size_t slash = event.rfind('/');
    return std::string(slash == std::string_view::npos ? event : event.substr(slash + 1));
}

std::string workFileStem(std::string_view nightDirectory, std::string_view eventDirectory) {
    std::string stemName = "M";
    stemName += eventNameOfDirectory(nightDirectory, eventDirectory);
    return joinPath(eventDirectory, stemName);
}

std::string trackFileName(std::string_view eventDirectory) { return joinPath(eventDirectory, kTrackFileName); }

std::string starListOfBitmap(std::string_view bitmapPath) {
    const std::size_t keep = bitmapPath.size() >= 3 ? bitmapPath.size() - 3 : 0;
    return std::string(bitmapPath.substr(0, keep)) + "txt";
}

std::string siblingWorkFile(std::string_view workFilePath, std::string_view suffix) {
    const std::size_t keep = workFilePath.size() >= 5 ? workFilePath.size() - 5 : 0;
    return std::string(workFilePath.substr(0, keep)) + std::string(suffix);
}

namespace {

// The date and time groups of a night and event name "yyyymmdd/hhnnss_zzz"
// (the separators are not looked at); EConvertError for a group that is not
// digits.
DateTimeParts stampParts(std::string_view stamp) {
    // Digits only: parseInt alone would also take a sign or blanks.
    auto group = [&](std::size_t from, std::size_t length) {
        const std::string_view g = stamp.substr(from, length);
        for (char c : g) {
            if (c < '0' || c > '9') throw EConvertError(TDiagnostic(Code::NotAnInteger).with("text", std::string(g)));
        }
        return parseInt(g);
    };
    DateTimeParts p;
    p.year = group(0, 4);
    p.month = group(4, 2);
    p.day = group(6, 2);
    p.hour = group(9, 2);
    p.minute = group(11, 2);
    p.second = group(13, 2);
    p.millisecond = group(16, 3);
    return p;
}

}  // namespace

TDateTime timeFromFileName(std::string_view path, double timeZone) {
    constexpr std::size_t kTail = 17;   // "/M" + event name + one-letter tag + extension
    constexpr std::size_t kStamp = 19;  // "yyyymmdd/hhnnss_zzz"
    if (path.size() < kTail + kStamp) {
        throw EConvertError(TDiagnostic(Code::FileNameWithoutTime).with("file", std::string(path)));
    }
    return encodeDateTime(stampParts(path.substr(path.size() - kTail - kStamp, kStamp))) - timeZone / 24.0;
}

std::optional<TDateTime> clipStartTime(std::string_view clipPath) {
    const std::filesystem::path p{std::string(clipPath)};
    const std::string stem = p.stem().string();
    const std::string night = p.parent_path().filename().string();
    if (night.size() != 8 || stem.size() != 10 || stem[6] != '_') return std::nullopt;
    try {
        const DateTimeParts parts = stampParts(night + "/" + stem);
        if (!isValidDateTime(parts)) return std::nullopt;  // 20241345/… is no time at all
        return encodeDateTime(parts);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

namespace {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool wildcardMatch(std::string_view name, std::string_view mask) {
    // Iterative matcher with one backtrack point for the last "*".
    std::size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || asciiLower(mask[m]) == asciiLower(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

// Decodes UTF-8 into wide characters; a byte that is not part of valid
// UTF-8 keeps its own value in the private range so that such names stay
// distinct and ordered.
std::wstring widen(std::string_view s) {
    std::wstring out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
        bool ok = len > 0 && i + len <= s.size();
        for (std::size_t k = 1; ok && k < len; ++k) ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (!ok) {
            out += static_cast<wchar_t>(0xF700 + c);
            ++i;
            continue;
        }
        wchar_t w = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k < len; ++k) w = static_cast<wchar_t>((w << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F));
        out += w;
        i += len;
    }
    return out;
}

// The user's collation; the plain "C" order when the environment names no
// usable locale.
class Collation {
public:
    Collation() {
        locale_ = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
        if (locale_ == static_cast<locale_t>(nullptr)) {
            locale_ = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
        }
    }
    ~Collation() {
        if (locale_ != static_cast<locale_t>(nullptr)) freelocale(locale_);
    }
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    std::wstring foldCase(std::string_view s) const {
        std::wstring w = widen(s);
        for (wchar_t& c : w) {
            // Cyrillic capitals fold even where the locale knows only ASCII.
            if (c >= 0x0410 && c <= 0x042F) c = static_cast<wchar_t>(c + 0x20);
            else if (c >= 0x0400 && c <= 0x040F) c = static_cast<wchar_t>(c + 0x50);
            else c = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), locale_));
        }
        return w;
    }

    int compare(const std::wstring& a, const std::wstring& b) const { return wcscoll_l(a.c_str(), b.c_str(), locale_); }

private:
    locale_t locale_;
};

}  // namespace

bool matchesMask(std::string_view name, std::string_view mask) {
    if (mask.empty() || mask == "*" || mask == "*.*") return true;
    return wildcardMatch(name, mask);
}

void sortNames(std::vector<std::string>& names) {
    static const Collation collation;
    struct Keyed {
        std::wstring key;
        std::string name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (auto& n : names) keyed.push_back({collation.foldCase(n), std::move(n)});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        const int c = collation.compare(a.key, b.key);
        if (c != 0) return c < 0;
        if (a.key != b.key) return a.key < b.key;
        return a.name < b.name;
    });
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].name);
}

std::vector<std::string> listDirectory(std::string_view directory, std::string_view mask, ListKind kind) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(fs::path(std::string(directory)), ec);
    if (ec) return names;
    // Stepping reports its errors through ec too: a folder that vanishes
    // while it is read ends the list instead of raising.
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const fs::directory_entry& entry = *it;
        std::error_code typeError;
        const bool isDir = entry.is_directory(typeError);
        if (typeError) continue;
        if ((kind == ListKind::Directories) != isDir) continue;
        if (kind == ListKind::Files && !entry.is_regular_file(typeError)) continue;
        std::string name = entry.path().filename().string();
        if (name == "." || name == "..") continue;
        if (matchesMask(name, mask)) names.push_back(std::move(name));
    }
    sortNames(names);
    return names;
}

void ensureDirectory(std::string_view path) {
    std::error_code ec;
    const fs::path p{std::string(path)};
    fs::create_directories(p, ec);
    if (ec || !fs::is_directory(p)) {
        throw EInOutError(TDiagnostic(Code::DirectoryNotCreated)
                              .with("directory", std::string(path))
                              .with("reason", ec ? ec.message() : std::strerror(ENOTDIR)));
    }
}

}  // namespace orbis
