#include "config/uConfiguration.h"

// Encodings are handled here (Windows-1251 or UTF-8 in, Windows-1251 out),
// so the INI layer works on plain bytes.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION  // the INI layer is compiled into this unit, not linked
#include <SimpleIni.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

std::filesystem::path iniFilePath(const std::filesystem::path& programDirectory) {
    return programDirectory / kIniFileName;
}

namespace {

// A setting and the field it fills.
struct SettingKey {
    using Coefs = std::array<double, TConfiguration::kCoefCount>;
    using Field = std::variant<double TConfiguration::*, bool TConfiguration::*, int TConfiguration::*,
                               std::string TConfiguration::*, Coefs TConfiguration::*>;

    std::string_view section;
    std::string_view name;
    Field field;
    std::string_view defaultText;
    std::string_view pattern;
    std::optional<TSettingRange> range;  // none: no physical limit
    int coefIndex = -1;                  // for the coefficient arrays
};

constexpr TSettingRange within(double low, double high) { return {low, high, false}; }
constexpr TSettingRange above(double low, double high) { return {low, high, true}; }
constexpr std::nullopt_t none = std::nullopt;

// A distortion coefficient, in hundreds of pixels: a hundred already moves
// a pixel by ten thousand, beyond any frame. Whether the coefficients
// together map the frame like a lens is checked where the correction runs.
constexpr TSettingRange kCoefRange = within(-100, 100);

// What a field holds, from the member it is.
template <typename Field>
constexpr TSettingType settingType(const Field& field) {
    return std::visit(
        [](auto member) {
            using V = std::remove_cvref_t<decltype(std::declval<TConfiguration&>().*member)>;
            if constexpr (std::is_same_v<V, std::string>) return TSettingType::Text;
            else if constexpr (std::is_same_v<V, int>) return TSettingType::Integer;
            else if constexpr (std::is_same_v<V, bool>) return TSettingType::Flag;
            else return TSettingType::Real;
        },
        field);
}

}  // namespace

// A real of the settings file in either decimal separator: a file saved on
// a desktop with a comma for its separator must read the same on a station
// whose locale has a point, and the other way round.
double parseSettingReal(std::string_view text) {
    if (text.find('.') == std::string_view::npos && text.find(',') != std::string_view::npos) {
        std::string pointed(text);
        std::replace(pointed.begin(), pointed.end(), ',', '.');
        return parseFloat(pointed);
    }
    return parseFloat(text);
}

// The settings in the order the file is written, each with the field it
// fills. Latitude and longitude count from the equator and Greenwich, their
// sides come from the pole and hemisphere flags (a signed value, as older
// files may hold, is taken with its sign). A scan window may cross 0h
// (-10..10 or 350..370). The detector's ring holds 16384 frames. More than
// 200 stars per frame would make the triangle lists of the binding too large
// to hold. The distortion polynomials start as the identity of their own
// axis.
struct ConfigurationKeys {
    using T = TConfiguration;
    using Coefs = SettingKey::Coefs;
    using Field = SettingKey::Field;
    using Key = SettingKey;

    static constexpr Key kKeys[] = {
        {"Observatory", "latitude", &T::latitude_, "52.43", "0.0000", within(-90, 90)},
        {"Observatory", "pole", &T::pole_, "0", "", none},
        {"Observatory", "longitude", &T::longitude_, "30.98", "0.0000", within(-180, 180)},
        {"Observatory", "hemisphere", &T::hemisphere_, "0", "", none},
        {"Observatory", "altitude", &T::altitude_, "0.0", "0.0000", within(-500, 9000)},
        {"Observatory", "timeZone", &T::timeZone_, "0", "0.##", within(-12, 14)},
        {"Observatory", "pathToCatalogs", &T::pathToCatalogs_, "catalog", "", none},
        {"Observatory", "observer", &T::observer_, "", "", none},
        {"Observatory", "catalogStar", &T::catalogStar_, "c40.dat", "", none},
        {"Observatory", "catalogRads", &T::catalogRads_, "ULE_J8.csv", "", none},
        {"Camera", "name", &T::name_, "", "", none},
        {"Camera", "heightCCD", &T::heightCCD_, "480", "", within(1, 16384)},
        {"Camera", "widthCCD", &T::widthCCD_, "640", "", within(1, 16384)},
        {"Camera", "focalLength", &T::focalLength_, "8", "", within(1, 10000)},
        {"Camera", "frameExposure", &T::frameExposure_, "0.04", "0.0000", above(0, 10)},
        {"Camera", "frameScale", &T::frameScale_, "100", "", within(1, 10000)},
        {"Camera", "levelNoiseMax", &T::levelNoiseMax_, "25", "", within(0, 255)},
        {"Camera", "darkFrame", &T::darkFrame_, "darkFrame.bmp", "", none},
        {"Camera", "maskFrame", &T::maskFrame_, "maskFrame.bmp", "", none},
        {"Capture", "nFramesBeforeEvent", &T::nFramesBeforeEvent_, "10", "", within(1, 16383)},
        {"Capture", "nFramesAfterEvent", &T::nFramesAfterEvent_, "24", "", within(0, 16383)},
        {"Capture", "nSignalFrames", &T::nSignalFrames_, "3", "", within(1, 16383)},
        {"Capture", "nNoisePixels", &T::nNoisePixels_, "100", "", within(0, 268435456)},
        {"Capture", "nSignalPixels", &T::nSignalPixels_, "3", "", within(1, 268435456)},
        {"Capture", "useLogFile", &T::useLogFile_, "0", "", none},
        {"Capture", "useAutoShutDown", &T::useAutoShutDown_, "0", "", none},
        {"Capture", "autoShutDownLevel", &T::autoShutDownLevel_, "180", "", within(0, 255)},
        {"Capture", "useMaskFile", &T::useMaskFile_, "0", "", none},
        {"Capture", "useDarkFile", &T::useDarkFile_, "0", "", none},
        {"Capture", "addTimeStamp", &T::addTimeStamp_, "0", "", none},
        {"Capture", "videoCompress", &T::videoCompress_, "0", "", none},
        {"Capture", "previewOnline", &T::previewOnline_, "1", "", none},
        {"Capture", "nameVideoCompress", &T::nameVideoCompress_, "", "", none},
        {"Capture", "settingsVideoCompress", &T::settingsVideoCompress_, "", "", none},
        {"Capture", "frameFontSize", &T::frameFontSize_, "12", "", within(1, 500)},
        {"Processing", "remDarkFrame", &T::remDarkFrame_, "1", "", none},
        {"Processing", "remGradFrame", &T::remGradFrame_, "1", "", none},
        {"Processing", "autoContrastFrame", &T::autoContrastFrame_, "1", "", none},
        {"Processing", "createReport", &T::createReport_, "1", "", none},
        {"Processing", "deleteTemp", &T::deleteTemp_, "1", "", none},
        {"Processing", "doubleFrameHeight", &T::doubleFrameHeight_, "1", "", none},
        {"Processing", "correctDistortion", &T::correctDistortion_, "1", "", none},
        {"Processing", "bindStars", &T::bindStars_, "1", "", none},
        {"Processing", "addStarMagn", &T::addStarMagn_, "1", "", none},
        {"Processing", "addStarSpec", &T::addStarSpec_, "1", "", none},
        {"Processing", "autoDetectTriangleEpsilon", &T::autoDetectTriangleEpsilon_, "0.74", "0.0000", above(0, 100)},
        {"Processing", "autoDetectNStar", &T::autoDetectNStar_, "18", "", within(3, 200)},
        {"Processing", "autoDetectCoefContrast", &T::autoDetectCoefContrast_, "3.0", "0.00", above(0, 100)},
        {"Processing", "autoDetectMinSide", &T::autoDetectMinSide_, "10", "", within(0, 16384)},
        {"Processing", "autoDetectScanDelta", &T::autoDetectScanDelta_, "2.0", "0.00", above(0, 180)},
        {"Processing", "autoDetectMinDEC", &T::autoDetectMinDEC_, "-90", "0.00", within(-90, 90)},
        {"Processing", "autoDetectMaxDEC", &T::autoDetectMaxDEC_, "90", "0.00", within(-90, 90)},
        {"Processing", "autoDetectMinRA", &T::autoDetectMinRA_, "0", "0.00", within(-360, 720)},
        {"Processing", "autoDetectMaxRA", &T::autoDetectMaxRA_, "360", "0.00", within(-360, 720)},
        {"Distortion", "addResultWidth", &T::addResultWidth_, "0", "", within(0, 16384)},
        {"Distortion", "addResultHeight", &T::addResultHeight_, "0", "", within(0, 16384)},
        // The coefficients go per index, X before Y.
        {"Distortion", "coefX0", &T::coefX_, "0", "0.00000000E+00", kCoefRange, 0},
        {"Distortion", "coefY0", &T::coefY_, "0", "0.00000000E+00", kCoefRange, 0},
        {"Distortion", "coefX1", &T::coefX_, "1", "0.00000000E+00", kCoefRange, 1},
        {"Distortion", "coefY1", &T::coefY_, "0", "0.00000000E+00", kCoefRange, 1},
        {"Distortion", "coefX2", &T::coefX_, "0", "0.00000000E+00", kCoefRange, 2},
        {"Distortion", "coefY2", &T::coefY_, "1", "0.00000000E+00", kCoefRange, 2},
        {"Distortion", "coefX3", &T::coefX_, "0", "0.00000000E+00", kCoefRange, 3},
        {"Distortion", "coefY3", &T::coefY_, "0", "0.00000000E+00", kCoefRange, 3},
        {"Distortion", "coefX4", &T::coefX_, "0", "0.00000000E+00", kCoefRange, 4},
        {"Distortion", "coefY4", &T::coefY_, "0", "0.00000000E+00", kCoefRange, 4},
        {"Distortion", "coefX5", &T::coefX_, "0", "0.00000000E+00", kCoefRange, 5},
        {"Distortion", "coefY5", &T::coefY_, "0", "0.00000000E+00", kCoefRange, 5},
        {"Distortion", "coefX6", &T::coefX_, "0", "0.00000000E+00", kCoefRange, 6},
        {"Distortion", "coefY6", &T::coefY_, "0", "0.00000000E+00", kCoefRange, 6},
        {"Distortion", "coefX7", &T::coefX_, "0", "0.00000000E+00", kCoefRange, 7},
        {"Distortion", "coefY7", &T::coefY_, "0", "0.00000000E+00", kCoefRange, 7},
        {"Distortion", "coefX8", &T::coefX_, "0", "0.00000000E+00", kCoefRange, 8},
        {"Distortion", "coefY8", &T::coefY_, "0", "0.00000000E+00", kCoefRange, 8},
        {"Distortion", "coefX9", &T::coefX_, "0", "0.00000000E+00", kCoefRange, 9},
        {"Distortion", "coefY9", &T::coefY_, "0", "0.00000000E+00", kCoefRange, 9},
        // The unattended station.
        {"Station", "sunAltitudeNight", &T::sunAltitudeNight_, "-10", "0.00", within(-30, 10)},
        {"Station", "minFreeSpaceMB", &T::minFreeSpaceMB_, "2048", "", within(0, 1048576)},
    };
    static constexpr std::size_t kCount = std::size(kKeys);

    static constexpr std::array<TSettingDeclaration, kCount> kDeclarations = [] {
        std::array<TSettingDeclaration, kCount> out{};
        for (std::size_t i = 0; i < kCount; ++i) {
            const Key& k = kKeys[i];
            out[i] = {k.section, k.name, settingType(k.field), k.defaultText, k.pattern, k.range};
        }
        return out;
    }();

    // The key of that name; std::invalid_argument for none.
    static const Key& key(std::string_view name) {
        for (const Key& k : kKeys) {
            if (k.name == name) return k;
        }
        throw EInvalidArgument(TDiagnostic(Code::SettingUnknown).with("key", std::string(name)));
    }

    // The real a key names, in a configuration or a constant one.
    template <typename Config>
    static auto& real(Config& config, const Key& key) {
        if (const auto* d = std::get_if<double T::*>(&key.field)) return config.**d;
        return (config.*std::get<Coefs T::*>(key.field))[static_cast<std::size_t>(key.coefIndex)];
    }

    // Fills the key's field from its text, or from its default when text is
    // null; returns the warning (without the file) of an integer or flag that
    // fell back to its default, or nothing. A real that does not convert
    // raises EConvertError naming file (the given one), section and key.
    static std::optional<TDiagnostic> read(T& config, const Key& key, std::optional<std::string_view> text,
                                           const std::string& file) {
        std::optional<TDiagnostic> fallback;
        const auto fellBack = [&](Code code) {
            fallback = located(TDiagnostic(code, Severity::Warning), file, key)
                           .with("text", std::string(*text))
                           .with("default", std::string(key.defaultText));
        };
        const auto integer = [&] {
            if (!text) return parseInt(key.defaultText);
            try {
                return parseInt(*text);
            } catch (const EConvertError&) {
                fellBack(Code::SettingNotAnInteger);
                return parseInt(key.defaultText);
            }
        };
        // Only 0 and 1: any other number is a slip of the hand (pole=-640
        // would move the station to the other hemisphere), not a choice.
        const auto flag = [&] {
            const bool fallbackValue = parseInt(key.defaultText) != 0;
            if (!text) return fallbackValue;
            try {
                const int value = parseInt(*text);
                if (value == 0 || value == 1) return value == 1;
            } catch (const EConvertError&) {
            }
            fellBack(Code::SettingNotAFlag);
            return fallbackValue;
        };
        std::visit(
            [&](auto member) {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, std::string T::*>) {
                    config.*member = text.value_or(key.defaultText);
                } else if constexpr (std::is_same_v<M, int T::*>) {
                    config.*member = integer();
                } else if constexpr (std::is_same_v<M, bool T::*>) {
                    config.*member = flag();
                } else {
                    try {
                        real(config, key) = parseSettingReal(text.value_or(key.defaultText));
                    } catch (const EConvertError& e) {
                        throw EConvertError(located(TDiagnostic(Code::SettingNotANumber), file, key)
                                                .with("text", e.diagnostic().value("text")));
                    }
                }
            },
            key.field);
        return fallback;
    }

    // The number a ranged key holds (ranges are given to numbers only).
    static double number(const T& config, const Key& key) {
        if (const auto* i = std::get_if<int T::*>(&key.field)) return config.**i;
        return real(config, key);
    }

    static std::string numberText(const T& config, const Key& key) {
        if (const auto* i = std::get_if<int T::*>(&key.field)) return std::to_string(config.**i);
        return floatToText(number(config, key));
    }

    static std::string write(const T& config, const Key& key) {
        return std::visit(
            [&](auto member) -> std::string {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, std::string T::*>) {
                    return config.*member;
                } else if constexpr (std::is_same_v<M, int T::*>) {
                    return std::to_string(config.*member);
                } else if constexpr (std::is_same_v<M, bool T::*>) {
                    return config.*member ? "1" : "0";
                } else {
                    return formatFloat(key.pattern, real(config, key));
                }
            },
            key.field);
    }

    static bool same(const T& a, const T& b, const Key& key) {
        return std::visit(
            [&](auto member) {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, Coefs T::*> || std::is_same_v<M, double T::*>) {
                    const double x = real(a, key), y = real(b, key);
                    return x == y || (std::isnan(x) && std::isnan(y));
                } else {
                    return a.*member == b.*member;
                }
            },
            key.field);
    }

    // File, section and key, which the observer needs to find the line.
    static TDiagnostic located(TDiagnostic diagnostic, const std::string& file, const Key& key) {
        return std::move(diagnostic)
            .with("file", file)
            .with("section", std::string(key.section))
            .with("key", std::string(key.name));
    }
};

std::span<const TSettingDeclaration> settingDeclarations() { return ConfigurationKeys::kDeclarations; }

const TSettingDeclaration* findSettingDeclaration(std::string_view key) {
    const auto& all = ConfigurationKeys::kDeclarations;
    const auto found = std::find_if(all.begin(), all.end(), [&](const auto& d) { return d.key == key; });
    return found == all.end() ? nullptr : &*found;
}

namespace {

constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";

// The INI file's bytes as UTF-8 text: bytes that are valid UTF-8 are taken
// as they are (files written by UTF-8 tools), anything else is
// Windows-1251.
std::string textOfBytes(std::string text) {
    if (text.starts_with(kUtf8Signature)) text.erase(0, kUtf8Signature.size());
    if (!isValidUtf8(text)) text = cp1251ToUtf8(text);
    // The INI layer drops a signature at the start of what it parses too: one
    // there is never part of the text.
    while (text.starts_with(kUtf8Signature)) text.erase(0, kUtf8Signature.size());
    // A NUL byte would end the parser's view of the text early.
    for (char& c : text) {
        if (c == '\0') c = ' ';
    }
    return text;
}

std::string iniText(const std::filesystem::path& iniFile) { return textOfBytes(readFileBytes(iniFile)); }

// The bytes save writes for the file's text: Windows-1251, as the station
// has always written it, when those bytes read back as the same text.
// Otherwise UTF-8, so that no value changes on the next load: Windows-1251
// lacks the character, or its bytes happen to form UTF-8 ("Р†" is D0 86,
// which reads back as "І"). Text that neither carries (not UTF-8 itself, or
// opening with a signature) is written in Windows-1251 as before.
std::string bytesOfText(const std::string& text) {
    std::string cp1251 = utf8ToCp1251(text);
    if (textOfBytes(cp1251) == text || textOfBytes(text) != text) return cp1251;
    return text;
}

// The INI layer skips a "[" line without its "]" but still takes the text
// after the "[" as the name of the section of the keys that follow: a name
// spanning lines, which every save writes out longer. Such a line is cut
// out here, up to where the INI layer ends it (its name may start on a
// later line), so the keys after it stay in the section before, as the
// INI layer means to. CR alone ends a line there too.
std::string withoutBrokenSectionNames(std::string text) {
    const auto newLine = [](char c) { return c == '\n' || c == '\r'; };
    const auto space = [&](char c) { return c == ' ' || c == '\t' || newLine(c); };
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i < text.size() && text[i] == '[') {
            std::size_t end = i + 1;
            while (end < text.size() && space(text[end])) ++end;
            while (end < text.size() && text[end] != ']' && !newLine(text[end])) ++end;
            if (end < text.size() && text[end] == ']') {
                i = end;
            } else {
                text.erase(i, end - i);
            }
        }
        while (i < text.size() && !newLine(text[i])) ++i;
        while (i < text.size() && newLine(text[i])) ++i;
    }
    return text;
}

void loadIni(CSimpleIniA& ini, const std::string& text, const std::filesystem::path& iniFile) {
    if (ini.LoadData(withoutBrokenSectionNames(text)) < 0) {
        throw EInOutError(TDiagnostic(Code::SettingsNotRead).with("file", iniFile.string()));
    }
}

void loadIni(CSimpleIniA& ini, const std::filesystem::path& iniFile) { loadIni(ini, iniText(iniFile), iniFile); }

// The lines of the text as the INI layer ends them: at CR LF, LF or CR.
std::vector<std::string> iniLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1));
    }
    return lines;
}

// Comment lines after the file's last key: the INI layer keeps a comment
// only with the section or key that follows it, so these are carried over
// by hand. Empty when the file ends with a key.
std::vector<std::string> trailingComments(const std::string& text) {
    const std::vector<std::string> lines = iniLines(text);
    std::size_t first = lines.size();
    bool anyComment = false;
    while (first > 0) {
        std::string_view line = lines[first - 1];
        const std::size_t start = line.find_first_not_of(" \t");
        if (start != std::string_view::npos && line[start] != ';' && line[start] != '#') break;
        anyComment = anyComment || start != std::string_view::npos;
        --first;
    }
    if (!anyComment) return {};
    return {lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end()};
}

void prepare(CSimpleIniA& ini) {
    ini.SetUnicode(true);
    // A key written twice keeps both lines, and its first value counts, as
    // with the Windows INI functions the station's files come from.
    ini.SetMultiKey(true);
    ini.SetSpaces(false);
}

// Names of the INI file match in either case, as the INI layer and the
// Windows INI functions match them.
bool sameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

// One warning per key of the file that is no setting, naming file, section
// and key: a misspelt section or key would otherwise leave its setting at the
// default without a word. Such lines are kept on save, so only told.
std::vector<TDiagnostic> lineWarnings(const CSimpleIniA& ini, const std::string& file) {
    const auto& keys = ConfigurationKeys::kKeys;
    std::vector<TDiagnostic> warnings;
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& section : sections) {
        const std::string_view name = section.pItem;
        const bool knownSection = std::ranges::any_of(keys, [&](const auto& k) { return sameName(k.section, name); });
        const auto warning = [&](Code code) {
            TDiagnostic d(code, Severity::Warning);
            d.with("file", file);
            d.with("section", std::string(name));
            return d;
        };
        CSimpleIniA::TNamesDepend names;
        ini.GetAllKeys(section.pItem, names);
        names.sort(CSimpleIniA::Entry::LoadOrder());
        if (names.empty() && !knownSection && !name.empty()) warnings.push_back(warning(Code::SettingSectionUnknown));
        for (const auto& entry : names) {
            const std::string_view keyName = entry.pItem;
            const auto declared = std::ranges::find_if(keys, [&](const auto& k) { return sameName(k.name, keyName); });
            const bool found = declared != std::ranges::end(keys);
            if (found && sameName(declared->section, name)) continue;
            const Code code = found          ? Code::SettingKeyMisplaced
                              : knownSection ? Code::SettingKeyUnknown
                              : name.empty() ? Code::SettingKeyOutsideSection
                                             : Code::SettingKeyInUnknownSection;
            TDiagnostic d = warning(code).with("key", std::string(keyName));
            if (found) d.with("setting", std::string(declared->name)).with("belongs", std::string(declared->section));
            warnings.push_back(std::move(d));
        }
    }
    return warnings;
}

}  // namespace

TConfiguration::TConfiguration() {
    for (const auto& key : ConfigurationKeys::kKeys) ConfigurationKeys::read(*this, key, std::nullopt, {});
}

const TConfiguration& TConfiguration::defaults() {
    static const TConfiguration declared;
    return declared;
}

void TConfiguration::load(const std::filesystem::path& iniFile) {
    CSimpleIniA ini;
    prepare(ini);
    std::error_code ec;
    if (std::filesystem::exists(iniFile, ec)) loadIni(ini, iniFile);
    iniFile_ = iniFile;
    warnings_.clear();
    for (const auto& key : ConfigurationKeys::kKeys) {
        const char* text = ini.GetValue(std::string(key.section).c_str(), std::string(key.name).c_str(), nullptr);
        if (auto warning = ConfigurationKeys::read(*this, key, text ? std::optional<std::string_view>(text) : std::nullopt,
                                                   iniFile.string())) {
            warnings_.push_back(std::move(*warning));
        }
    }
    for (TDiagnostic& warning : lineWarnings(ini, iniFile.string())) warnings_.push_back(std::move(warning));
}

std::string TConfiguration::valueText(std::string_view key) const {
    return ConfigurationKeys::write(*this, ConfigurationKeys::key(key));
}

std::optional<TDiagnostic> TConfiguration::setValueText(std::string_view key, std::string_view text) {
    return ConfigurationKeys::read(*this, ConfigurationKeys::key(key), text, iniFile_.string());
}

std::vector<std::string_view> TConfiguration::keysDifferentFrom(const TConfiguration& other) const {
    std::vector<std::string_view> keys;
    for (const auto& key : ConfigurationKeys::kKeys) {
        if (!ConfigurationKeys::same(*this, other, key)) keys.push_back(key.name);
    }
    return keys;
}

void TConfiguration::requireInRange(std::initializer_list<std::string_view> keys) const {
    for (const std::string_view name : keys) {
        const auto& key = ConfigurationKeys::key(name);
        if (!key.range) throw EInvalidArgument(TDiagnostic(Code::SettingWithoutRange).with("key", std::string(name)));
        const auto& range = *key.range;
        if (range.contains(ConfigurationKeys::number(*this, key))) continue;
        // Settings that were never loaded (typed in, or the defaults) have no
        // file to name.
        const bool loaded = !iniFile_.empty();
        const Code code = range.aboveLow ? (loaded ? Code::SettingOutOfOpenRange : Code::UnsavedSettingOutOfOpenRange)
                                         : (loaded ? Code::SettingOutOfRange : Code::UnsavedSettingOutOfRange);
        TDiagnostic d(code);
        if (loaded) d.with("file", iniFile_.string());
        throw EConvertError(std::move(d)
                                .with("section", std::string(key.section))
                                .with("key", std::string(key.name))
                                .with("value", ConfigurationKeys::numberText(*this, key))
                                .with("low", floatToText(range.low))
                                .with("high", floatToText(range.high)));
    }
}

void TConfiguration::save(const std::filesystem::path& iniFile) const {
    CSimpleIniA ini;
    prepare(ini);
    std::error_code ec;
    std::vector<std::string> tail;
    if (std::filesystem::exists(iniFile, ec)) {
        const std::string old = iniText(iniFile);
        loadIni(ini, old, iniFile);
        tail = trailingComments(old);
    }
    for (const auto& key : ConfigurationKeys::kKeys) {
        const std::string value = ConfigurationKeys::write(*this, key);
        // A setting written twice is saved once, where its first line was.
        if (ini.SetValue(std::string(key.section).c_str(), std::string(key.name).c_str(), value.c_str(), nullptr,
                         true) < 0) {
            throw EInOutError(TDiagnostic(Code::SettingsNotWritten).with("file", iniFile.string()));
        }
    }
    std::string text;
    if (ini.Save(text) < 0) throw EInOutError(TDiagnostic(Code::SettingsNotWritten).with("file", iniFile.string()));
    std::vector<std::string> lines = splitLines(text);
    // Empty lines that open the text stand for a section without a name and
    // without keys, which is gone on the next load.
    const auto firstText = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return !l.empty(); });
    lines.erase(lines.begin(), firstText);
    // Comment lines that open the file are its own comment on the next
    // load, which the INI layer writes with an empty line after it: a
    // section's comment that came to open the file gets that line now, so
    // the next save writes the same.
    const auto isComment = [](const std::string& line) { return line.starts_with(';') || line.starts_with('#'); };
    const auto opening = std::find_if_not(lines.begin(), lines.end(), isComment);
    if (opening != lines.begin() && opening != lines.end() && !opening->empty()) lines.insert(opening, std::string());
    // CR LF line ends; the INI layer puts two empty lines before every
    // section, one is enough.
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    int emptyRun = 0;
    for (const std::string& line : lines) {
        emptyRun = line.empty() ? emptyRun + 1 : 0;
        if (emptyRun > 1) continue;
        crlf += line;
        crlf += "\r\n";
    }
    for (const std::string& line : tail) {
        crlf += line;
        crlf += "\r\n";
    }
    writeFileAtomically(iniFile, bytesOfText(crlf));
}

}  // namespace orbis
