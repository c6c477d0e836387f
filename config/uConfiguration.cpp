#include "config/uConfiguration.h"

// Encodings are handled here (Windows-1251 or UTF-8 in, Windows-1251 out),
// so the INI layer works on plain bytes.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION  // the INI layer is compiled into this unit, not linked
#include <SimpleIni.h>

#include <variant>
#include <vector>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

std::filesystem::path iniFilePath(const std::filesystem::path& programDirectory) {
    return programDirectory / kIniFileName;
}

// The INI keys in the order the file is written, with the field each one
// fills, its default text and, for floats, the pattern it is written with.
struct ConfigurationKeys {
    using T = TConfiguration;
    using Field = std::variant<double T::*, bool T::*, int T::*, std::string T::*,
                               std::array<double, T::kCoefCount> T::*>;

    struct Key {
        std::string section;
        std::string name;
        Field field;
        std::string defaultText;
        std::string pattern;
        int coefIndex = -1;  // for the coefficient arrays
    };

    static const std::vector<Key>& all() {
        static const std::vector<Key> keys = build();
        return keys;
    }

    static std::vector<Key> build() {
        std::vector<Key> keys = {
        {"Observatory", "latitude", &TConfiguration::latitude_, "52.43", "0.0000"},
        {"Observatory", "pole", &TConfiguration::pole_, "0", ""},
        {"Observatory", "longitude", &TConfiguration::longitude_, "30.98", "0.0000"},
        {"Observatory", "hemisphere", &TConfiguration::hemisphere_, "0", ""},
        {"Observatory", "altitude", &TConfiguration::altitude_, "0.0", "0.0000"},
        {"Observatory", "timeZone", &TConfiguration::timeZone_, "0", ""},
        {"Observatory", "pathToCatalogs", &TConfiguration::pathToCatalogs_, "catalog", ""},
        {"Observatory", "observer", &TConfiguration::observer_, "", ""},
        {"Observatory", "catalogStar", &TConfiguration::catalogStar_, "c40.dat", ""},
        {"Observatory", "catalogRads", &TConfiguration::catalogRads_, "ULE_J8.csv", ""},
        {"Camera", "name", &TConfiguration::name_, "", ""},
        {"Camera", "heightCCD", &TConfiguration::heightCCD_, "480", ""},
        {"Camera", "widthCCD", &TConfiguration::widthCCD_, "640", ""},
        {"Camera", "focalLength", &TConfiguration::focalLength_, "8", ""},
        {"Camera", "frameExposure", &TConfiguration::frameExposure_, "0.04", "0.0000"},
        {"Camera", "frameScale", &TConfiguration::frameScale_, "100", ""},
        {"Camera", "levelNoiseMax", &TConfiguration::levelNoiseMax_, "25", ""},
        {"Camera", "darkFrame", &TConfiguration::darkFrame_, "darkFrame.bmp", ""},
        {"Camera", "maskFrame", &TConfiguration::maskFrame_, "maskFrame.bmp", ""},
        {"Capture", "nFramesBeforeEvent", &TConfiguration::nFramesBeforeEvent_, "10", ""},
        {"Capture", "nFramesAfterEvent", &TConfiguration::nFramesAfterEvent_, "24", ""},
        {"Capture", "nSignalFrames", &TConfiguration::nSignalFrames_, "3", ""},
        {"Capture", "nNoisePixels", &TConfiguration::nNoisePixels_, "100", ""},
        {"Capture", "nSignalPixels", &TConfiguration::nSignalPixels_, "3", ""},
        {"Capture", "useLogFile", &TConfiguration::useLogFile_, "0", ""},
        {"Capture", "useAutoShutDown", &TConfiguration::useAutoShutDown_, "0", ""},
        {"Capture", "autoShutDownLevel", &TConfiguration::autoShutDownLevel_, "180", ""},
        {"Capture", "useMaskFile", &TConfiguration::useMaskFile_, "0", ""},
        {"Capture", "useDarkFile", &TConfiguration::useDarkFile_, "0", ""},
        {"Capture", "addTimeStamp", &TConfiguration::addTimeStamp_, "0", ""},
        {"Capture", "videoCompress", &TConfiguration::videoCompress_, "0", ""},
        {"Capture", "previewOnline", &TConfiguration::previewOnline_, "1", ""},
        {"Capture", "nameVideoCompress", &TConfiguration::nameVideoCompress_, "", ""},
        {"Capture", "frameFontSize", &TConfiguration::frameFontSize_, "12", ""},
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
        {"Processing", "autoDetectTriangleEpsilon", &TConfiguration::autoDetectTriangleEpsilon_, "0.74", "0.0000"},
        {"Processing", "autoDetectNStar", &TConfiguration::autoDetectNStar_, "18", ""},
        {"Processing", "autoDetectCoefContrast", &TConfiguration::autoDetectCoefContrast_, "3.0", "0.00"},
        {"Processing", "autoDetectMinSide", &TConfiguration::autoDetectMinSide_, "10", ""},
        {"Processing", "autoDetectScanDelta", &TConfiguration::autoDetectScanDelta_, "2.0", "0.00"},
        {"Processing", "autoDetectMinDEC", &TConfiguration::autoDetectMinDEC_, "-90", "0.00"},
        {"Processing", "autoDetectMaxDEC", &TConfiguration::autoDetectMaxDEC_, "90", "0.00"},
        {"Processing", "autoDetectMinRA", &TConfiguration::autoDetectMinRA_, "0", "0.00"},
        {"Processing", "autoDetectMaxRA", &TConfiguration::autoDetectMaxRA_, "360", "0.00"},
        {"Distortion", "addResultWidth", &TConfiguration::addResultWidth_, "0", ""},
        {"Distortion", "addResultHeight", &TConfiguration::addResultHeight_, "0", ""},
        };
        // The coefficients go per index, X before Y.
        for (int i = 0; i < T::kCoefCount; ++i) {
            const std::string index = std::to_string(i);
            keys.push_back({"Distortion", "coefX" + index, &T::coefX_, i == 1 ? "1" : "0", "0.00000000E+00", i});
            keys.push_back({"Distortion", "coefY" + index, &T::coefY_, i == 2 ? "1" : "0", "0.00000000E+00", i});
        }
        return keys;
    }

    static void read(T& config, const CSimpleIniA& ini, const Key& key) {
        const char* text = ini.GetValue(key.section.c_str(), key.name.c_str(), nullptr);
        std::visit(
            [&](auto member) {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, std::string T::*>) {
                    config.*member = text ? text : key.defaultText;
                } else if constexpr (std::is_same_v<M, int T::*>) {
                    const int fallback = parseInt(key.defaultText);
                    config.*member = text ? parseIntDefault(text, fallback) : fallback;
                } else if constexpr (std::is_same_v<M, bool T::*>) {
                    const int fallback = parseInt(key.defaultText);
                    config.*member = (text ? parseIntDefault(text, fallback) : fallback) != 0;
                } else if constexpr (std::is_same_v<M, double T::*>) {
                    config.*member = parseFloat(text ? text : key.defaultText.c_str());
                } else {
                    (config.*member)[static_cast<std::size_t>(key.coefIndex)] =
                        parseFloat(text ? text : key.defaultText.c_str());
                }
            },
            key.field);
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
    for (const auto& key : ConfigurationKeys::all()) {
        try {
            ConfigurationKeys::read(*this, ini, key);
        } catch (const EConvertError& e) {
            // Which file and which key: the observer has to find the line.
            throw EConvertError(iniFile.string() + ", [" + key.section + "] " + key.name + ": " + e.what());
        }
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
