#include "config/uConfiguration.h"

// Encodings are handled here (Windows-1251 or UTF-8 in, Windows-1251 out),
// so the INI layer works on plain bytes.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION  // the INI layer is compiled into this unit, not linked
#include <SimpleIni.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <variant>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

std::filesystem::path iniFilePath(const std::filesystem::path& programDirectory) {
    return programDirectory / kIniFileName;
}

// The INI keys in the order the file is written, with the field each one
// fills, its default text, for floats the pattern it is written with, and
// for numbers with a physical meaning the values an operation accepts.
// Latitude and longitude count from the equator and Greenwich, their sides
// come from the pole and hemisphere flags (a signed value, as older files
// may hold, is taken with its sign). A scan window may cross 0h
// (-10..10 or 350..370). The detector's ring holds 16384 frames. More than
// 200 stars per frame would make the triangle lists of the binding too large
// to hold.
struct ConfigurationKeys {
    using T = TConfiguration;
    using Field = std::variant<double T::*, bool T::*, int T::*, std::string T::*,
                               std::array<double, T::kCoefCount> T::*>;

    // The values that make physical sense; low itself is excluded when
    // aboveLow (an exposure, a scale or a step must be more than zero).
    struct Range {
        double low;
        double high;
        bool aboveLow = false;
        bool contains(double v) const { return (aboveLow ? v > low : v >= low) && v <= high; }
    };
    static Range within(double low, double high) { return {low, high, false}; }
    static Range above(double low, double high) { return {low, high, true}; }

    struct Key {
        std::string section;
        std::string name;
        Field field;
        std::string defaultText;
        std::string pattern;
        std::optional<Range> range = std::nullopt;  // none: no physical limit
        int coefIndex = -1;                           // for the coefficient arrays
    };

    static const std::vector<Key>& all() {
        static const std::vector<Key> keys = build();
        return keys;
    }

    static std::vector<Key> build() {
        std::vector<Key> keys = {
        {"Observatory", "latitude", &TConfiguration::latitude_, "52.43", "0.0000", within(-90, 90)},
        {"Observatory", "pole", &TConfiguration::pole_, "0", ""},
        {"Observatory", "longitude", &TConfiguration::longitude_, "30.98", "0.0000", within(-180, 180)},
        {"Observatory", "hemisphere", &TConfiguration::hemisphere_, "0", ""},
        {"Observatory", "altitude", &TConfiguration::altitude_, "0.0", "0.0000", within(-500, 9000)},
        {"Observatory", "timeZone", &TConfiguration::timeZone_, "0", "", within(-12, 14)},
        {"Observatory", "pathToCatalogs", &TConfiguration::pathToCatalogs_, "catalog", ""},
        {"Observatory", "observer", &TConfiguration::observer_, "", ""},
        {"Observatory", "catalogStar", &TConfiguration::catalogStar_, "c40.dat", ""},
        {"Observatory", "catalogRads", &TConfiguration::catalogRads_, "ULE_J8.csv", ""},
        {"Camera", "name", &TConfiguration::name_, "", ""},
        {"Camera", "heightCCD", &TConfiguration::heightCCD_, "480", "", within(1, 16384)},
        {"Camera", "widthCCD", &TConfiguration::widthCCD_, "640", "", within(1, 16384)},
        {"Camera", "focalLength", &TConfiguration::focalLength_, "8", "", within(1, 10000)},
        {"Camera", "frameExposure", &TConfiguration::frameExposure_, "0.04", "0.0000", above(0, 10)},
        {"Camera", "frameScale", &TConfiguration::frameScale_, "100", "", within(1, 10000)},
        {"Camera", "levelNoiseMax", &TConfiguration::levelNoiseMax_, "25", "", within(0, 255)},
        {"Camera", "darkFrame", &TConfiguration::darkFrame_, "darkFrame.bmp", ""},
        {"Camera", "maskFrame", &TConfiguration::maskFrame_, "maskFrame.bmp", ""},
        {"Capture", "nFramesBeforeEvent", &TConfiguration::nFramesBeforeEvent_, "10", "", within(1, 16383)},
        {"Capture", "nFramesAfterEvent", &TConfiguration::nFramesAfterEvent_, "24", "", within(0, 16383)},
        {"Capture", "nSignalFrames", &TConfiguration::nSignalFrames_, "3", "", within(1, 16383)},
        {"Capture", "nNoisePixels", &TConfiguration::nNoisePixels_, "100", "", within(0, 268435456)},
        {"Capture", "nSignalPixels", &TConfiguration::nSignalPixels_, "3", "", within(1, 268435456)},
        {"Capture", "useLogFile", &TConfiguration::useLogFile_, "0", ""},
        {"Capture", "useAutoShutDown", &TConfiguration::useAutoShutDown_, "0", ""},
        {"Capture", "autoShutDownLevel", &TConfiguration::autoShutDownLevel_, "180", "", within(0, 255)},
        {"Capture", "useMaskFile", &TConfiguration::useMaskFile_, "0", ""},
        {"Capture", "useDarkFile", &TConfiguration::useDarkFile_, "0", ""},
        {"Capture", "addTimeStamp", &TConfiguration::addTimeStamp_, "0", ""},
        {"Capture", "videoCompress", &TConfiguration::videoCompress_, "0", ""},
        {"Capture", "previewOnline", &TConfiguration::previewOnline_, "1", ""},
        {"Capture", "nameVideoCompress", &TConfiguration::nameVideoCompress_, "", ""},
        {"Capture", "frameFontSize", &TConfiguration::frameFontSize_, "12", "", within(1, 500)},
        {"Processing", "remDarkFrame", &TConfiguration::remDarkFrame_, "1", ""},
        {"Processing", "remGradFrame", &TConfiguration::remGradFrame_, "1", ""},
        {"Processing", "autoContrastFrame", &TConfiguration::autoContrastFrame_, "1", ""},
        {"Processing", "createReport", &TConfiguration::createReport_, "1", ""},
        {"Processing", "deleteTemp", &TConfiguration::deleteTemp_, "1", ""},
        {"Processing", "doubleFrameHeight", &TConfiguration::doubleFrameHeight_, "1", ""},
        {"Processing", "correctDistortion", &TConfiguration::correctDistortion_, "1", ""},
        {"Processing", "bindStars", &TConfiguration::bindStars_, "1", ""},
        {"Processing", "addStarMagn", &TConfiguration::addStarMagn_, "1", ""},
        {"Processing", "addStarSpec", &TConfiguration::addStarSpec_, "1", ""},
        {"Processing", "autoDetectTriangleEpsilon", &TConfiguration::autoDetectTriangleEpsilon_, "0.74", "0.0000", above(0, 100)},
        {"Processing", "autoDetectNStar", &TConfiguration::autoDetectNStar_, "18", "", within(3, 200)},
        {"Processing", "autoDetectCoefContrast", &TConfiguration::autoDetectCoefContrast_, "3.0", "0.00", above(0, 100)},
        {"Processing", "autoDetectMinSide", &TConfiguration::autoDetectMinSide_, "10", "", within(0, 16384)},
        {"Processing", "autoDetectScanDelta", &TConfiguration::autoDetectScanDelta_, "2.0", "0.00", above(0, 180)},
        {"Processing", "autoDetectMinDEC", &TConfiguration::autoDetectMinDEC_, "-90", "0.00", within(-90, 90)},
        {"Processing", "autoDetectMaxDEC", &TConfiguration::autoDetectMaxDEC_, "90", "0.00", within(-90, 90)},
        {"Processing", "autoDetectMinRA", &TConfiguration::autoDetectMinRA_, "0", "0.00", within(-360, 720)},
        {"Processing", "autoDetectMaxRA", &TConfiguration::autoDetectMaxRA_, "360", "0.00", within(-360, 720)},
        {"Distortion", "addResultWidth", &TConfiguration::addResultWidth_, "0", "", within(0, 16384)},
        {"Distortion", "addResultHeight", &TConfiguration::addResultHeight_, "0", "", within(0, 16384)},
        };
        // The coefficients go per index, X before Y.
        for (int i = 0; i < T::kCoefCount; ++i) {
            const std::string index = std::to_string(i);
            keys.push_back({"Distortion", "coefX" + index, &T::coefX_, i == 1 ? "1" : "0", "0.00000000E+00", std::nullopt, i});
            keys.push_back({"Distortion", "coefY" + index, &T::coefY_, i == 2 ? "1" : "0", "0.00000000E+00", std::nullopt, i});
        }
        return keys;
    }

    // Fills the key's field; returns why an integer or flag fell back to
    // its default, or nothing.
    static std::optional<std::string> read(T& config, const CSimpleIniA& ini, const Key& key) {
        const char* text = ini.GetValue(key.section.c_str(), key.name.c_str(), nullptr);
        std::optional<std::string> fallbackReason;
        const auto integer = [&] {
            if (!text) return parseInt(key.defaultText);
            try {
                return parseInt(text);
            } catch (const EConvertError& e) {
                fallbackReason = std::string(e.what()) + "; the default " + key.defaultText + " is used";
                return parseInt(key.defaultText);
            }
        };
        std::visit(
            [&](auto member) {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, std::string T::*>) {
                    config.*member = text ? text : key.defaultText;
                } else if constexpr (std::is_same_v<M, int T::*>) {
                    config.*member = integer();
                } else if constexpr (std::is_same_v<M, bool T::*>) {
                    config.*member = integer() != 0;
                } else if constexpr (std::is_same_v<M, double T::*>) {
                    config.*member = parseFloat(text ? text : key.defaultText.c_str());
                } else {
                    (config.*member)[static_cast<std::size_t>(key.coefIndex)] =
                        parseFloat(text ? text : key.defaultText.c_str());
                }
            },
            key.field);
        return fallbackReason;
    }

    // The number a ranged key holds (ranges are given to numbers only).
    static double number(const T& config, const Key& key) {
        if (const auto* d = std::get_if<double T::*>(&key.field)) return config.**d;
        return config.*std::get<int T::*>(key.field);
    }

    static std::string numberText(const T& config, const Key& key) {
        if (std::holds_alternative<int T::*>(key.field)) return std::to_string(config.*std::get<int T::*>(key.field));
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
                } else if constexpr (std::is_same_v<M, double T::*>) {
                    return formatFloat(key.pattern, config.*member);
                } else {
                    return formatFloat(key.pattern, (config.*member)[static_cast<std::size_t>(key.coefIndex)]);
                }
            },
            key.field);
    }
};

namespace {

// Reads the INI file as UTF-8 text: bytes that are valid UTF-8 are taken as
// they are (files written by UTF-8 tools), anything else is Windows-1251.
// The file's text in UTF-8, whichever of the two encodings it was written in.
std::string iniText(const std::filesystem::path& iniFile) {
    std::string text = readFileBytes(iniFile);
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    if (!isValidUtf8(text)) text = cp1251ToUtf8(text);
    // A NUL byte would end the parser's view of the text early.
    for (char& c : text) {
        if (c == '\0') c = ' ';
    }
    return text;
}

void loadIni(CSimpleIniA& ini, const std::string& text, const std::filesystem::path& iniFile) {
    if (ini.LoadData(text) < 0) throw EInOutError("Cannot read the settings file \"" + iniFile.string() + "\"");
}

void loadIni(CSimpleIniA& ini, const std::filesystem::path& iniFile) { loadIni(ini, iniText(iniFile), iniFile); }

// Comment lines after the file's last key: the INI layer keeps a comment
// only with the section or key that follows it, so these are carried over
// by hand. Empty when the file ends with a key.
std::vector<std::string> trailingComments(const std::string& text) {
    const std::vector<std::string> lines = splitLines(text);
    std::size_t first = lines.size();
    bool anyComment = false;
    while (first > 0) {
        std::string_view line = lines[first - 1];
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        const std::size_t start = line.find_first_not_of(" \t");
        if (start != std::string_view::npos && line[start] != ';' && line[start] != '#') break;
        anyComment = anyComment || start != std::string_view::npos;
        --first;
    }
    if (!anyComment) return {};
    std::vector<std::string> block(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end());
    for (std::string& l : block) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
    }
    return block;
}

void prepare(CSimpleIniA& ini) {
    ini.SetUnicode(true);
    // A key written twice keeps both lines, and its first value counts, as
    // with the Windows INI functions the station's files come from.
    ini.SetMultiKey(true);
    ini.SetSpaces(false);
}

}  // namespace

TConfiguration::TConfiguration() {
    coefX_[1] = 1.0;
    coefY_[2] = 1.0;
}

void TConfiguration::load(const std::filesystem::path& iniFile) {
    CSimpleIniA ini;
    prepare(ini);
    std::error_code ec;
    if (std::filesystem::exists(iniFile, ec)) loadIni(ini, iniFile);
    iniFile_ = iniFile;
    warnings_.clear();
    for (const auto& key : ConfigurationKeys::all()) {
        // Which file and which key: the observer has to find the line.
        const std::string where = iniFile.string() + ", [" + key.section + "] " + key.name + ": ";
        try {
            if (const auto reason = ConfigurationKeys::read(*this, ini, key)) warnings_.push_back(where + *reason);
        } catch (const EConvertError& e) {
            throw EConvertError(where + e.what());
        }
    }
}

void TConfiguration::requireInRange(std::initializer_list<std::string_view> keys) const {
    const auto& all = ConfigurationKeys::all();
    for (const std::string_view name : keys) {
        const auto key = std::find_if(all.begin(), all.end(), [&](const auto& k) { return k.name == name; });
        if (key == all.end() || !key->range) throw std::invalid_argument("no ranged setting " + std::string(name));
        const auto& range = *key->range;
        if (range.contains(ConfigurationKeys::number(*this, *key))) continue;
        throw EConvertError("Недопустимое значение ключа [" + key->section + "] " + key->name +
                            (iniFile_.empty() ? std::string() : " в " + iniFile_.string()) + ": " +
                            ConfigurationKeys::numberText(*this, *key) + " (допустимо " +
                            (range.aboveLow ? "больше " : "от ") + floatToText(range.low) +
                            (range.aboveLow ? " и не больше " : " до ") + floatToText(range.high) + ").");
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
    for (const auto& key : ConfigurationKeys::all()) {
        const std::string value = ConfigurationKeys::write(*this, key);
        // A setting written twice is saved once, where its first line was.
        if (ini.SetValue(key.section.c_str(), key.name.c_str(), value.c_str(), nullptr, true) < 0) {
            throw EInOutError("Cannot write the settings file \"" + iniFile.string() + "\"");
        }
    }
    std::string text;
    if (ini.Save(text) < 0) throw EInOutError("Cannot write the settings file \"" + iniFile.string() + "\"");
    // CR LF line ends; the INI layer puts two empty lines before every
    // section, one is enough.
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    int emptyRun = 0;
    for (const std::string& line : splitLines(text)) {
        emptyRun = line.empty() ? emptyRun + 1 : 0;
        if (emptyRun > 1) continue;
        crlf += line;
        crlf += "\r\n";
    }
    for (const std::string& line : tail) {
        crlf += line;
        crlf += "\r\n";
    }
    writeFileAtomically(iniFile, utf8ToCp1251(crlf));
}

}  // namespace orbis
