#pragma once
// The station's settings and their INI file "Orbisight.ini" beside the
// executable. Every setting is declared once (section, key, type, default,
// how it is written, its physical range and its caption); the declarations
// drive loading, saving, range checks and the configuration dialog. A plain
// object: one field, getter and setter per INI key, the signed geographic
// coordinates every astronomical consumer uses, and load and save. The file
// is the only channel between the configuration dialog and the rest of the
// program.

#include <array>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "astro/uDiagnostic.h"

namespace orbis {

inline constexpr const char* kIniFileName = "Orbisight.ini";

// The INI file of a program directory.
std::filesystem::path iniFilePath(const std::filesystem::path& programDirectory);

// What a setting holds, and so how its text is read and written.
enum class TSettingType {
    Text,     // as it stands
    Integer,  // decimal, 32 bits
    Flag,     // 0 for off, 1 for on; loading falls back to the default on any other text
    Real,     // written with the setting's pattern
};

// The values of a numeric setting that make physical sense; low itself is
// excluded when aboveLow (an exposure, a scale or a step must be more than
// zero).
struct TSettingRange {
    double low = 0.0;
    double high = 0.0;
    bool aboveLow = false;

    constexpr bool contains(double v) const { return (aboveLow ? v > low : v >= low) && v <= high; }
};

// One setting of the INI file.
struct TSettingDeclaration {
    std::string_view section;
    std::string_view key;
    TSettingType type = TSettingType::Text;
    std::string_view defaultText;         // read as a value of the file is
    std::string_view pattern;             // a real's picture in the file (formatFloat); empty otherwise
    std::optional<TSettingRange> range;   // numbers with a physical meaning only
};

// Every setting, in the order the file is written.
std::span<const TSettingDeclaration> settingDeclarations();

// The setting of an INI key (spelled exactly), or nullptr.
const TSettingDeclaration* findSettingDeclaration(std::string_view key);

class TConfiguration {
public:
    static constexpr int kCoefCount = 10;

    // Every setting at its declared default: the values loading a missing
    // or empty file gives.
    TConfiguration();

    // The declared defaults, built once; the structures that copy settings
    // from a configuration (detector, distortion) take their defaults here.
    static const TConfiguration& defaults();

    // Replaces every field by its key's value in the file, or by the key's
    // default when the key (or the whole file) is absent. Integers that are
    // not integers (text, empty, too large) and flags that are not 0 or 1
    // (a flag is never taken as on by accident) fall back to their
    // defaults, each with a diagnostic in warnings(); a float whose text does not
    // convert raises EConvertError (fields before it are already replaced).
    // Sections and keys of the file that are no setting (a misspelt name
    // leaves its setting at the default) are told in warnings() too, and
    // kept by save. An unreadable file raises EInOutError. The file may be
    // Windows-1251 or UTF-8. Values outside their physical range are loaded
    // as they are.
    void load(const std::filesystem::path& iniFile);

    // What the last load did not take from the file, one warning each
    // naming file, section and key: keys that fell back to their defaults,
    // then the file's lines that are no setting, in file order.
    const std::vector<TDiagnostic>& warnings() const { return warnings_; }

    // The file of the last load; empty before one.
    const std::filesystem::path& iniFile() const { return iniFile_; }

    // For an operation about to use these numeric settings (INI key names,
    // e.g. {"frameExposure", "latitude"}): raises EConvertError naming the
    // section, key, INI file and value of the first one outside the range of
    // values that make physical sense. A name without a declared range is a
    // programming error (std::invalid_argument).
    void requireInRange(std::initializer_list<std::string_view> keys) const;

    // Writes every key, floats with their key's pattern and the locale's
    // decimal separator, into the file (Windows-1251, CR LF). Keys and
    // comments of the file that are not settings are kept. The file is
    // replaced whole: a failed save raises EInOutError and leaves the old
    // file as it was.
    void save(const std::filesystem::path& iniFile) const;

    // A setting's value as save writes it (a real with its pattern and the
    // locale's decimal separator), by INI key.
    std::string valueText(std::string_view key) const;

    // Sets a setting from text, read as load reads the file's value: an
    // integer that is not an integer, or a flag that is not 0 or 1, falls
    // back to the default and the warning, naming section and key, is
    // returned; a real that does not convert raises EConvertError and the
    // value stays. Values outside the range are taken as they are
    // (requireInRange refuses them where used).
    // A key that is no setting is a programming error (std::invalid_argument).
    std::optional<TDiagnostic> setValueText(std::string_view key, std::string_view text);

    // The keys whose values differ from those of the other configuration,
    // in file order (which file each was loaded from does not count).
    std::vector<std::string_view> keysDifferentFrom(const TConfiguration& other) const;

    // North positive.
    double signedLatitude() const { return pole_ ? -latitude_ : latitude_; }
    // West positive, east negative.
    double signedLongitude() const { return hemisphere_ ? longitude_ : -longitude_; }

    // Distortion polynomial coefficients, i in 0..9.
    double coefX(int i) const { return coefX_.at(static_cast<std::size_t>(i)); }
    double coefY(int i) const { return coefY_.at(static_cast<std::size_t>(i)); }
    void setCoefX(int i, double value) { coefX_.at(static_cast<std::size_t>(i)) = value; }
    void setCoefY(int i, double value) { coefY_.at(static_cast<std::size_t>(i)) = value; }
    const std::array<double, kCoefCount>& coefsX() const { return coefX_; }
    const std::array<double, kCoefCount>& coefsY() const { return coefY_; }

    std::string observer() const { return observer_; }
    void setObserver(const std::string& value) { observer_ = value; }
    double latitude() const { return latitude_; }
    void setLatitude(double value) { latitude_ = value; }
    bool pole() const { return pole_; }
    void setPole(bool value) { pole_ = value; }
    double longitude() const { return longitude_; }
    void setLongitude(double value) { longitude_ = value; }
    bool hemisphere() const { return hemisphere_; }
    void setHemisphere(bool value) { hemisphere_ = value; }
    double altitude() const { return altitude_; }
    void setAltitude(double value) { altitude_ = value; }
    // Hours east of Greenwich: the station's local time is UT + timeZone
    // (half and three-quarter hours included).
    double timeZone() const { return timeZone_; }
    void setTimeZone(double value) { timeZone_ = value; }
    std::string pathToCatalogs() const { return pathToCatalogs_; }
    void setPathToCatalogs(const std::string& value) { pathToCatalogs_ = value; }
    std::string catalogStar() const { return catalogStar_; }
    void setCatalogStar(const std::string& value) { catalogStar_ = value; }
    std::string catalogRads() const { return catalogRads_; }
    void setCatalogRads(const std::string& value) { catalogRads_ = value; }
    std::string name() const { return name_; }
    void setName(const std::string& value) { name_ = value; }
    int heightCCD() const { return heightCCD_; }
    void setHeightCCD(int value) { heightCCD_ = value; }
    int widthCCD() const { return widthCCD_; }
    void setWidthCCD(int value) { widthCCD_ = value; }
    int focalLength() const { return focalLength_; }
    void setFocalLength(int value) { focalLength_ = value; }
    double frameExposure() const { return frameExposure_; }
    void setFrameExposure(double value) { frameExposure_ = value; }
    int frameScale() const { return frameScale_; }
    void setFrameScale(int value) { frameScale_ = value; }
    int levelNoiseMax() const { return levelNoiseMax_; }
    void setLevelNoiseMax(int value) { levelNoiseMax_ = value; }
    std::string darkFrame() const { return darkFrame_; }
    void setDarkFrame(const std::string& value) { darkFrame_ = value; }
    std::string maskFrame() const { return maskFrame_; }
    void setMaskFrame(const std::string& value) { maskFrame_ = value; }
    int nFramesBeforeEvent() const { return nFramesBeforeEvent_; }
    void setNFramesBeforeEvent(int value) { nFramesBeforeEvent_ = value; }
    int nFramesAfterEvent() const { return nFramesAfterEvent_; }
    void setNFramesAfterEvent(int value) { nFramesAfterEvent_ = value; }
    int nSignalFrames() const { return nSignalFrames_; }
    void setNSignalFrames(int value) { nSignalFrames_ = value; }
    int nNoisePixels() const { return nNoisePixels_; }
    void setNNoisePixels(int value) { nNoisePixels_ = value; }
    int nSignalPixels() const { return nSignalPixels_; }
    void setNSignalPixels(int value) { nSignalPixels_ = value; }
    bool useLogFile() const { return useLogFile_; }
    void setUseLogFile(bool value) { useLogFile_ = value; }
    bool useAutoShutDown() const { return useAutoShutDown_; }
    void setUseAutoShutDown(bool value) { useAutoShutDown_ = value; }
    int autoShutDownLevel() const { return autoShutDownLevel_; }
    void setAutoShutDownLevel(int value) { autoShutDownLevel_ = value; }
    bool useMaskFile() const { return useMaskFile_; }
    void setUseMaskFile(bool value) { useMaskFile_ = value; }
    bool useDarkFile() const { return useDarkFile_; }
    void setUseDarkFile(bool value) { useDarkFile_ = value; }
    bool addTimeStamp() const { return addTimeStamp_; }
    void setAddTimeStamp(bool value) { addTimeStamp_ = value; }
    bool videoCompress() const { return videoCompress_; }
    void setVideoCompress(bool value) { videoCompress_ = value; }
    bool previewOnline() const { return previewOnline_; }
    void setPreviewOnline(bool value) { previewOnline_ = value; }
    std::string nameVideoCompress() const { return nameVideoCompress_; }
    void setNameVideoCompress(const std::string& value) { nameVideoCompress_ = value; }
    // The chosen codec's settings, "property=value" words (parseEncoderSettings).
    std::string settingsVideoCompress() const { return settingsVideoCompress_; }
    void setSettingsVideoCompress(const std::string& value) { settingsVideoCompress_ = value; }
    int frameFontSize() const { return frameFontSize_; }
    void setFrameFontSize(int value) { frameFontSize_ = value; }
    // The unattended station detects while the Sun stands below this
    // altitude, in degrees.
    double sunAltitudeNight() const { return sunAltitudeNight_; }
    void setSunAltitudeNight(double value) { sunAltitudeNight_ = value; }
    // Below this free space on the station's disk the oldest processed
    // nights give up their frames and clips.
    int minFreeSpaceMB() const { return minFreeSpaceMB_; }
    void setMinFreeSpaceMB(int value) { minFreeSpaceMB_ = value; }
    bool remDarkFrame() const { return remDarkFrame_; }
    void setRemDarkFrame(bool value) { remDarkFrame_ = value; }
    bool remGradFrame() const { return remGradFrame_; }
    void setRemGradFrame(bool value) { remGradFrame_ = value; }
    bool autoContrastFrame() const { return autoContrastFrame_; }
    void setAutoContrastFrame(bool value) { autoContrastFrame_ = value; }
    bool doubleFrameHeight() const { return doubleFrameHeight_; }
    void setDoubleFrameHeight(bool value) { doubleFrameHeight_ = value; }
    bool correctDistortion() const { return correctDistortion_; }
    void setCorrectDistortion(bool value) { correctDistortion_ = value; }
    bool bindStars() const { return bindStars_; }
    void setBindStars(bool value) { bindStars_ = value; }
    bool addStarMagn() const { return addStarMagn_; }
    void setAddStarMagn(bool value) { addStarMagn_ = value; }
    bool addStarSpec() const { return addStarSpec_; }
    void setAddStarSpec(bool value) { addStarSpec_ = value; }
    bool createReport() const { return createReport_; }
    void setCreateReport(bool value) { createReport_ = value; }
    bool deleteTemp() const { return deleteTemp_; }
    void setDeleteTemp(bool value) { deleteTemp_ = value; }
    double autoDetectTriangleEpsilon() const { return autoDetectTriangleEpsilon_; }
    void setAutoDetectTriangleEpsilon(double value) { autoDetectTriangleEpsilon_ = value; }
    int autoDetectNStar() const { return autoDetectNStar_; }
    void setAutoDetectNStar(int value) { autoDetectNStar_ = value; }
    double autoDetectCoefContrast() const { return autoDetectCoefContrast_; }
    void setAutoDetectCoefContrast(double value) { autoDetectCoefContrast_ = value; }
    int autoDetectMinSide() const { return autoDetectMinSide_; }
    void setAutoDetectMinSide(int value) { autoDetectMinSide_ = value; }
    double autoDetectScanDelta() const { return autoDetectScanDelta_; }
    void setAutoDetectScanDelta(double value) { autoDetectScanDelta_ = value; }
    double autoDetectMinDEC() const { return autoDetectMinDEC_; }
    void setAutoDetectMinDEC(double value) { autoDetectMinDEC_ = value; }
    double autoDetectMaxDEC() const { return autoDetectMaxDEC_; }
    void setAutoDetectMaxDEC(double value) { autoDetectMaxDEC_ = value; }
    double autoDetectMinRA() const { return autoDetectMinRA_; }
    void setAutoDetectMinRA(double value) { autoDetectMinRA_ = value; }
    double autoDetectMaxRA() const { return autoDetectMaxRA_; }
    void setAutoDetectMaxRA(double value) { autoDetectMaxRA_ = value; }
    int addResultWidth() const { return addResultWidth_; }
    void setAddResultWidth(int value) { addResultWidth_ = value; }
    int addResultHeight() const { return addResultHeight_; }
    void setAddResultHeight(int value) { addResultHeight_ = value; }

private:
    friend struct ConfigurationKeys;

    // Set from the declarations by the constructor.
    std::string observer_;
    double latitude_{};
    bool pole_{};
    double longitude_{};
    bool hemisphere_{};
    double altitude_{};
    double timeZone_{};
    std::string pathToCatalogs_;
    std::string catalogStar_;
    std::string catalogRads_;
    std::string name_;
    int heightCCD_{};
    int widthCCD_{};
    int focalLength_{};
    double frameExposure_{};
    int frameScale_{};
    int levelNoiseMax_{};
    std::string darkFrame_;
    std::string maskFrame_;
    int nFramesBeforeEvent_{};
    int nFramesAfterEvent_{};
    int nSignalFrames_{};
    int nNoisePixels_{};
    int nSignalPixels_{};
    bool useLogFile_{};
    bool useAutoShutDown_{};
    int autoShutDownLevel_{};
    bool useMaskFile_{};
    bool useDarkFile_{};
    bool addTimeStamp_{};
    bool videoCompress_{};
    bool previewOnline_{};
    std::string nameVideoCompress_;
    std::string settingsVideoCompress_;
    int frameFontSize_{};
    double sunAltitudeNight_{};
    int minFreeSpaceMB_{};
    bool remDarkFrame_{};
    bool remGradFrame_{};
    bool autoContrastFrame_{};
    bool doubleFrameHeight_{};
    bool correctDistortion_{};
    bool bindStars_{};
    bool addStarMagn_{};
    bool addStarSpec_{};
    bool createReport_{};
    bool deleteTemp_{};
    double autoDetectTriangleEpsilon_{};
    int autoDetectNStar_{};
    double autoDetectCoefContrast_{};
    int autoDetectMinSide_{};
    double autoDetectScanDelta_{};
    double autoDetectMinDEC_{};
    double autoDetectMaxDEC_{};
    double autoDetectMinRA_{};
    double autoDetectMaxRA_{};
    int addResultWidth_{};
    int addResultHeight_{};
    std::array<double, kCoefCount> coefX_{};
    std::array<double, kCoefCount> coefY_{};

    std::filesystem::path iniFile_;  // of the last load; empty before
    std::vector<TDiagnostic> warnings_;
};

}  // namespace orbis
