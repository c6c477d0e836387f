#pragma once
// The station's settings and their INI file "Orbisight.ini" beside the
// executable. A plain object: one field, getter and setter per INI key, the
// signed geographic coordinates every astronomical consumer uses, and load
// and save. The file is the only channel between the configuration dialog
// and the rest of the program.

#include <array>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace orbis {

inline constexpr const char* kIniFileName = "Orbisight.ini";

// The INI file of a program directory.
std::filesystem::path iniFilePath(const std::filesystem::path& programDirectory);

class TConfiguration {
public:
    static constexpr int kCoefCount = 10;

    // Every number zero, every flag false, every string empty; the two
    // distortion polynomials start as the identity of their own axis.
    TConfiguration();

    // Replaces every field by its key's value in the file, or by the key's
    // default when the key (or the whole file) is absent. Integers and flags
    // that are not integers (text, empty, too large) fall back to their
    // defaults, each with a line in warnings(); a float whose text does not
    // convert raises EConvertError (fields before it are already replaced).
    // An unreadable file raises EInOutError. The file may be Windows-1251 or
    // UTF-8. Values outside their physical range are loaded as they are.
    void load(const std::filesystem::path& iniFile);

    // Why keys of the last load fell back to their defaults, one line each
    // naming file, section and key.
    const std::vector<std::string>& warnings() const { return warnings_; }

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

    // North positive.
    double signedLatitude() const { return pole_ ? -latitude_ : latitude_; }
    // West positive, east negative.
    double signedLongitude() const { return hemisphere_ ? longitude_ : -longitude_; }

    // Distortion polynomial coefficients, i in 0..9.
    double coefX(int i) const { return coefX_.at(static_cast<std::size_t>(i)); }
    double coefY(int i) const { return coefY_.at(static_cast<std::size_t>(i)); }
    void setCoefX(int i, double value) { coefX_.at(static_cast<std::size_t>(i)) = value; }
    void setCoefY(int i, double value) { coefY_.at(static_cast<std::size_t>(i)) = value; }

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
    int timeZone() const { return timeZone_; }
    void setTimeZone(int value) { timeZone_ = value; }
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
    int frameFontSize() const { return frameFontSize_; }
    void setFrameFontSize(int value) { frameFontSize_ = value; }
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

    std::string observer_;
    double latitude_ = 0.0;
    bool pole_ = false;
    double longitude_ = 0.0;
    bool hemisphere_ = false;
    double altitude_ = 0.0;
    int timeZone_ = 0;
    std::string pathToCatalogs_;
    std::string catalogStar_;
    std::string catalogRads_;
    std::string name_;
    int heightCCD_ = 0;
    int widthCCD_ = 0;
    int focalLength_ = 0;
    double frameExposure_ = 0.0;
    int frameScale_ = 0;
    int levelNoiseMax_ = 0;
    std::string darkFrame_;
    std::string maskFrame_;
    int nFramesBeforeEvent_ = 0;
    int nFramesAfterEvent_ = 0;
    int nSignalFrames_ = 0;
    int nNoisePixels_ = 0;
    int nSignalPixels_ = 0;
    bool useLogFile_ = false;
    bool useAutoShutDown_ = false;
    int autoShutDownLevel_ = 0;
    bool useMaskFile_ = false;
    bool useDarkFile_ = false;
    bool addTimeStamp_ = false;
    bool videoCompress_ = false;
    bool previewOnline_ = false;
    std::string nameVideoCompress_;
    int frameFontSize_ = 0;
    bool remDarkFrame_ = false;
    bool remGradFrame_ = false;
    bool autoContrastFrame_ = false;
    bool doubleFrameHeight_ = false;
    bool correctDistortion_ = false;
    bool bindStars_ = false;
    bool addStarMagn_ = false;
    bool addStarSpec_ = false;
    bool createReport_ = false;
    bool deleteTemp_ = false;
    double autoDetectTriangleEpsilon_ = 0.0;
    int autoDetectNStar_ = 0;
    double autoDetectCoefContrast_ = 0.0;
    int autoDetectMinSide_ = 0;
    double autoDetectScanDelta_ = 0.0;
    double autoDetectMinDEC_ = 0.0;
    double autoDetectMaxDEC_ = 0.0;
    double autoDetectMinRA_ = 0.0;
    double autoDetectMaxRA_ = 0.0;
    int addResultWidth_ = 0;
    int addResultHeight_ = 0;
    std::array<double, kCoefCount> coefX_{};
    std::array<double, kCoefCount> coefY_{};

    std::filesystem::path iniFile_;  // of the last load; empty before
    std::vector<std::string> warnings_;
};

}  // namespace orbis
