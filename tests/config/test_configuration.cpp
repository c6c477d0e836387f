#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "DiagnosticTesting.h"
#include "SeparatorScope.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "config/uConfiguration.h"

namespace orbis {
namespace {

using test::SeparatorScope;

// A warning or refusal of a setting: its code and where it is.
void expectSetting(const TDiagnostic& d, Code code, const std::string& file, std::string_view section,
                   std::string_view key) {
    EXPECT_EQ(d.code(), code) << d.plain();
    EXPECT_EQ(d.value("file"), file) << d.plain();
    EXPECT_EQ(d.value("section"), section) << d.plain();
    EXPECT_EQ(d.value("key"), key) << d.plain();
}

class ConfigurationFile : public ::testing::Test {
protected:
    test::TempDir dir;
    std::filesystem::path ini = iniFilePath(dir.path());

    void writeIni(const std::string& utf8Text) { writeFileAtomically(ini, utf8ToCp1251(utf8Text)); }
    TConfiguration loaded() {
        TConfiguration c;
        c.load(ini);
        return c;
    }
};

// The text a declared default reads back as, in the form the file holds it.
std::string declaredValueText(const TSettingDeclaration& d) {
    switch (d.type) {
        case TSettingType::Text: return std::string(d.defaultText);
        case TSettingType::Integer: return std::to_string(parseInt(d.defaultText));
        case TSettingType::Flag: return parseInt(d.defaultText) != 0 ? "1" : "0";
        case TSettingType::Real: return formatFloat(d.pattern, parseFloat(d.defaultText));
    }
    return {};
}

TEST(Configuration, DeclarationsAreWholeAndConsistent) {
    const auto all = settingDeclarations();
    ASSERT_EQ(all.size(), 78u);
    std::set<std::string_view> keys;
    for (const auto& d : all) {
        SCOPED_TRACE(std::string(d.key));
        EXPECT_TRUE(keys.insert(d.key).second) << "declared twice";
        EXPECT_EQ(findSettingDeclaration(d.key), &d);
        EXPECT_FALSE(d.section.empty());
        EXPECT_EQ(d.pattern.empty(), d.type != TSettingType::Real);
        // Every number has the values that make sense; a flag's are its type's.
        EXPECT_EQ(d.range.has_value(), d.type == TSettingType::Integer || d.type == TSettingType::Real);
    }
    EXPECT_EQ(findSettingDeclaration("Latitude"), nullptr);  // spelled exactly
    EXPECT_EQ(findSettingDeclaration("coefX1")->defaultText, "1");
    EXPECT_EQ(findSettingDeclaration("coefY2")->defaultText, "1");
}

TEST(Configuration, ConstructedWithTheDeclaredDefaults) {
    const TConfiguration c;
    EXPECT_DOUBLE_EQ(c.latitude(), 52.43);
    EXPECT_EQ(c.heightCCD(), 480);
    EXPECT_TRUE(c.previewOnline());
    EXPECT_EQ(c.catalogStar(), "c40.dat");
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(c.coefX(i), i == 1 ? 1.0 : 0.0);
        EXPECT_EQ(c.coefY(i), i == 2 ? 1.0 : 0.0);
    }
    EXPECT_THROW(c.coefX(10), std::out_of_range);
    EXPECT_TRUE(c.keysDifferentFrom(TConfiguration::defaults()).empty());
}

TEST(Configuration, ValueTextIsReadAsTheFileIs) {
    SeparatorScope comma(',');
    TConfiguration c;
    EXPECT_EQ(c.setValueText("frameExposure", "0,05"), std::nullopt);
    EXPECT_DOUBLE_EQ(c.frameExposure(), 0.05);
    EXPECT_EQ(c.valueText("frameExposure"), "0,0500");
    EXPECT_EQ(c.setValueText("coefY3", "-1.5E-04"), std::nullopt);
    EXPECT_DOUBLE_EQ(c.coefY(3), -1.5e-4);
    EXPECT_EQ(c.setValueText("useDarkFile", "1"), std::nullopt);
    EXPECT_EQ(c.valueText("useDarkFile"), "1");
    const std::optional<TDiagnostic> notFlag = c.setValueText("useDarkFile", "2");
    ASSERT_TRUE(notFlag);
    expectSetting(*notFlag, Code::SettingNotAFlag, "", "Capture", "useDarkFile");
    EXPECT_EQ(notFlag->severity(), Severity::Warning);
    EXPECT_EQ(notFlag->value("text"), "2");
    EXPECT_EQ(notFlag->value("default"), "0");
    EXPECT_EQ(c.valueText("useDarkFile"), "0");
    EXPECT_EQ(c.setValueText("observer", "Пётр"), std::nullopt);
    EXPECT_EQ(c.observer(), "Пётр");

    c.setHeightCCD(576);
    const std::optional<TDiagnostic> notInteger = c.setValueText("heightCCD", "abc");
    ASSERT_TRUE(notInteger);
    expectSetting(*notInteger, Code::SettingNotAnInteger, "", "Camera", "heightCCD");
    EXPECT_EQ(notInteger->value("default"), "480");
    EXPECT_EQ(c.heightCCD(), 480);
    c.setLatitude(10);
    try {
        c.setValueText("latitude", "north");
        ADD_FAILURE() << "accepted";
    } catch (const EConvertError& e) {
        expectSetting(e.diagnostic(), Code::SettingNotANumber, "", "Observatory", "latitude");
        EXPECT_EQ(e.diagnostic().value("text"), "north");
    }
    EXPECT_EQ(c.latitude(), 10.0);  // a real that does not convert changes nothing
    EXPECT_EQ(c.setValueText("frameExposure", "-1"), std::nullopt);  // ranges are checked where used
    EXPECT_THROW(c.valueText("lens"), std::invalid_argument);
    try {
        c.setValueText("lens", "1");
        ADD_FAILURE() << "accepted";
    } catch (const EInvalidArgument& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::SettingUnknown);
        EXPECT_EQ(e.diagnostic().value("key"), "lens");
    }
}

TEST(Configuration, SignedCoordinatesFollowTheHemisphereFlags) {
    TConfiguration c;
    c.setLatitude(33.9);
    c.setPole(true);
    EXPECT_EQ(c.signedLatitude(), -33.9);
    c.setPole(false);
    EXPECT_EQ(c.signedLatitude(), 33.9);
    c.setLongitude(70);
    c.setHemisphere(true);
    EXPECT_EQ(c.signedLongitude(), 70.0);
    c.setHemisphere(false);
    EXPECT_EQ(c.signedLongitude(), -70.0);
}

TEST_F(ConfigurationFile, MissingFileGivesTheDefaults) {
    const TConfiguration c = loaded();
    EXPECT_DOUBLE_EQ(c.signedLatitude(), 52.43);
    EXPECT_DOUBLE_EQ(c.signedLongitude(), -30.98);
    EXPECT_EQ(c.catalogStar(), "c40.dat");
    EXPECT_EQ(c.catalogRads(), "ULE_J8.csv");
    EXPECT_EQ(c.pathToCatalogs(), "catalog");
    EXPECT_EQ(c.heightCCD(), 480);
    EXPECT_EQ(c.widthCCD(), 640);
    EXPECT_DOUBLE_EQ(c.frameExposure(), 0.04);
    EXPECT_EQ(c.nFramesAfterEvent(), 24);
    EXPECT_TRUE(c.previewOnline());
    EXPECT_TRUE(c.deleteTemp());
    EXPECT_FALSE(c.useLogFile());
    EXPECT_DOUBLE_EQ(c.autoDetectTriangleEpsilon(), 0.74);
    EXPECT_DOUBLE_EQ(c.autoDetectMinDEC(), -90.0);
    EXPECT_DOUBLE_EQ(c.autoDetectMaxRA(), 360.0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(c.coefX(i), i == 1 ? 1.0 : 0.0);
        EXPECT_EQ(c.coefY(i), i == 2 ? 1.0 : 0.0);
    }
    EXPECT_FALSE(std::filesystem::exists(ini));  // loading never creates the file
}

TEST_F(ConfigurationFile, EmptyFileGivesTheDeclaredDefaults) {
    writeIni("");
    const TConfiguration c = loaded();
    EXPECT_TRUE(c.warnings().empty());
    for (const auto& d : settingDeclarations()) EXPECT_EQ(c.valueText(d.key), declaredValueText(d)) << d.key;
    EXPECT_EQ(c.keysDifferentFrom(TConfiguration()), std::vector<std::string_view>{});
    std::filesystem::remove(ini);
    EXPECT_EQ(loaded().keysDifferentFrom(TConfiguration()), std::vector<std::string_view>{});
}

TEST_F(ConfigurationFile, EverySettingIsItsOwnFieldAndRoundTrips) {
    // A value of each key that differs from its default and from every
    // other key's, exact in the key's pattern.
    const auto all = settingDeclarations();
    const auto other = [&](std::size_t i) -> std::string {
        const auto& d = all[i];
        switch (d.type) {
            case TSettingType::Text: return "Ёж " + std::to_string(i);
            case TSettingType::Integer: return std::to_string(-1 - static_cast<int>(i));
            case TSettingType::Flag: return parseInt(d.defaultText) != 0 ? "0" : "1";
            case TSettingType::Real: return "-" + std::to_string(i) + ".25";
        }
        return {};
    };
    for (std::size_t i = 0; i < all.size(); ++i) {
        TConfiguration one;
        ASSERT_EQ(one.setValueText(all[i].key, other(i)), std::nullopt);
        EXPECT_EQ(one.keysDifferentFrom(TConfiguration()), std::vector<std::string_view>{all[i].key});
    }
    for (char sep : {'.', ','}) {
        SeparatorScope scope(sep);
        TConfiguration c;
        for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(c.setValueText(all[i].key, other(i)), std::nullopt);
        c.save(ini);
        const TConfiguration back = loaded();
        EXPECT_TRUE(back.warnings().empty());
        EXPECT_EQ(back.keysDifferentFrom(c), std::vector<std::string_view>{}) << sep;
        EXPECT_EQ(back.keysDifferentFrom(TConfiguration()).size(), all.size());
    }
}

TEST_F(ConfigurationFile, SavedFileHasTheKeyOrderPatternsAndLocaleSeparator) {
    SeparatorScope comma(',');
    TConfiguration c = loaded();
    c.setObserver("Иванов И.");
    c.setCoefX(3, -0.000123);
    c.save(ini);

    const std::string bytes = readFileBytes(ini);
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);  // every line ends in CR LF
    EXPECT_NE(bytes.find(utf8ToCp1251("observer=Иванов И.")), std::string::npos);

    const auto lines = readTextLines(ini);
    std::vector<std::string> keys;
    for (const auto& line : lines) {
        if (line.empty() || line.front() == '[') continue;
        keys.push_back(line.substr(0, line.find('=')));
    }
    ASSERT_EQ(keys.size(), 78u);
    EXPECT_EQ(keys[0], "latitude");
    EXPECT_EQ(keys[9], "catalogRads");
    EXPECT_EQ(keys[10], "name");
    EXPECT_EQ(keys[33], "settingsVideoCompress");
    EXPECT_EQ(keys[56], "coefX0");
    EXPECT_EQ(keys[57], "coefY0");
    EXPECT_EQ(keys[75], "coefY9");
    EXPECT_EQ(keys[77], "minFreeSpaceMB");
    auto has = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
    EXPECT_TRUE(has("[Observatory]"));
    EXPECT_TRUE(has("latitude=52,4300"));
    EXPECT_TRUE(has("autoDetectCoefContrast=3,00"));
    EXPECT_TRUE(has("autoDetectMinDEC=-90,00"));
    EXPECT_TRUE(has("coefX1=1,00000000E+00"));
    EXPECT_TRUE(has("coefX3=-1,23000000E-04"));
    EXPECT_TRUE(has("pole=0"));
    EXPECT_TRUE(has("previewOnline=1"));

    const TConfiguration back = loaded();
    EXPECT_DOUBLE_EQ(back.latitude(), 52.43);
    EXPECT_EQ(back.observer(), "Иванов И.");
    EXPECT_DOUBLE_EQ(back.coefX(3), -0.000123);
}

TEST_F(ConfigurationFile, HandEditedValuesAndFallbacks) {
    SeparatorScope comma(',');
    writeIni(
        "[Observatory]\r\nlatitude=52.43\r\nlongitude=30,5\r\n"
        "[Camera]\r\nheightCCD=abc\r\nwidthCCD=720\r\n"
        "[Capture]\r\nuseLogFile=yes\r\npreviewOnline=maybe\r\nuseDarkFile=2\r\n"
        "[Processing]\r\nDELETETEMP=0\r\n");
    const TConfiguration c = loaded();
    EXPECT_DOUBLE_EQ(c.latitude(), 52.43);
    EXPECT_DOUBLE_EQ(c.longitude(), 30.5);
    EXPECT_EQ(c.heightCCD(), 480);
    EXPECT_EQ(c.widthCCD(), 720);
    EXPECT_FALSE(c.useLogFile());
    EXPECT_TRUE(c.previewOnline());
    EXPECT_FALSE(c.useDarkFile());  // 2 is no flag: the default, not "on"
    EXPECT_FALSE(c.deleteTemp());  // keys are matched in either case, as Windows does
    // Each fallback is told, naming file, section and key.
    ASSERT_EQ(c.warnings().size(), 4u);
    const struct {
        Code code;
        const char *section, *key, *text, *fallback;
    } told[] = {{Code::SettingNotAnInteger, "Camera", "heightCCD", "abc", "480"},
                {Code::SettingNotAFlag, "Capture", "useLogFile", "yes", "0"},
                {Code::SettingNotAFlag, "Capture", "useDarkFile", "2", "0"},
                {Code::SettingNotAFlag, "Capture", "previewOnline", "maybe", "1"}};
    for (std::size_t i = 0; i < std::size(told); ++i) {
        const TDiagnostic& w = c.warnings()[i];
        expectSetting(w, told[i].code, ini.string(), told[i].section, told[i].key);
        EXPECT_EQ(w.value("text"), told[i].text);
        EXPECT_EQ(w.value("default"), told[i].fallback);
    }

    writeIni("[Capture]\r\nframeFontSize=\r\n[Camera]\r\nwidthCCD=99999999999\r\n");
    TConfiguration again = loaded();
    EXPECT_EQ(again.frameFontSize(), 12);
    EXPECT_EQ(again.widthCCD(), 640);
    ASSERT_EQ(again.warnings().size(), 2u);
    expectSetting(again.warnings()[0], Code::SettingNotAnInteger, ini.string(), "Camera", "widthCCD");
    EXPECT_EQ(again.warnings()[0].value("text"), "99999999999");
    writeIni("[Camera]\r\nwidthCCD=720\r\n");
    again.load(ini);
    EXPECT_TRUE(again.warnings().empty());  // of the last load only
}

// A file saved on a desktop with a comma for the separator reads the same on
// a station whose locale has a point; zones of half and three quarters of
// an hour are zones, written as they were read.
TEST_F(ConfigurationFile, EitherDecimalSeparatorInAnyLocaleAndFractionalTimeZones) {
    for (const char separator : {'.', ','}) {
        SeparatorScope locale(separator);
        writeIni("[Observatory]\r\nlatitude=52,4300\r\nlongitude=30.5000\r\ntimeZone=5,75\r\n");
        const TConfiguration c = loaded();
        EXPECT_DOUBLE_EQ(c.latitude(), 52.43);
        EXPECT_DOUBLE_EQ(c.longitude(), 30.5);
        EXPECT_DOUBLE_EQ(c.timeZone(), 5.75);
        EXPECT_TRUE(c.warnings().empty());
    }
    SeparatorScope point('.');
    TConfiguration c;
    for (const double zone : {3.0, -3.5, 5.5, 5.75, 0.0}) {
        c.setTimeZone(zone);
        c.save(ini);
        EXPECT_DOUBLE_EQ(loaded().timeZone(), zone);
    }
    c.setTimeZone(3);
    c.save(ini);
    EXPECT_NE(readFileBytes(ini).find("timeZone=3\r\n"), std::string::npos);  // a whole zone as files have it
    c.setTimeZone(5.5);
    c.save(ini);
    EXPECT_NE(readFileBytes(ini).find("timeZone=5.5\r\n"), std::string::npos);
}

TEST_F(ConfigurationFile, FlagsAreZeroOrOneAndNothingElseTurnsThemOn) {
    writeIni("[Observatory]\r\nlatitude=-33.9\r\npole=-640\r\nhemisphere=1\r\n"
             "[Processing]\r\ncorrectDistortion=00\r\nbindStars= 1\r\ndeleteTemp=1.0\r\ncreateReport=\r\n");
    const TConfiguration c = loaded();
    EXPECT_FALSE(c.pole());  // not moved to the other hemisphere by a slip
    EXPECT_DOUBLE_EQ(c.signedLatitude(), -33.9);  // a signed latitude still counts
    EXPECT_TRUE(c.hemisphere());
    EXPECT_FALSE(c.correctDistortion());  // the integer 0, however written
    EXPECT_TRUE(c.bindStars());
    EXPECT_TRUE(c.deleteTemp());    // default on
    EXPECT_TRUE(c.createReport());  // empty: the default, with a warning
    ASSERT_EQ(c.warnings().size(), 3u);
    expectSetting(c.warnings()[0], Code::SettingNotAFlag, ini.string(), "Observatory", "pole");
    EXPECT_EQ(c.warnings()[0].value("text"), "-640");
    expectSetting(c.warnings()[1], Code::SettingNotAFlag, ini.string(), "Processing", "createReport");
    EXPECT_EQ(c.warnings()[1].value("text"), "");
    expectSetting(c.warnings()[2], Code::SettingNotAFlag, ini.string(), "Processing", "deleteTemp");
    EXPECT_EQ(c.warnings()[2].value("text"), "1.0");
}

TEST_F(ConfigurationFile, UnknownSectionsAndKeysAreToldAndKept) {
    // A misspelt section header: its keys are no settings, and the place
    // stays at the defaults, so the observer must be told.
    writeIni("; roof\r\n[Observatry]\r\nlatitude=-33.9\r\nlongitude=18.4\r\n"
             "[Observatory]\r\nlatitud=10\r\naltitude=50\r\nframeExposure=0.02\r\n"
             "[camera]\r\nWIDTHCCD=720\r\n[Empty]\r\n");
    TConfiguration c = loaded();
    EXPECT_DOUBLE_EQ(c.latitude(), 52.43);
    EXPECT_DOUBLE_EQ(c.altitude(), 50.0);
    EXPECT_EQ(c.widthCCD(), 720);  // names match in either case
    EXPECT_DOUBLE_EQ(c.frameExposure(), 0.04);
    const std::string f = ini.string();
    ASSERT_EQ(c.warnings().size(), 5u);
    expectSetting(c.warnings()[0], Code::SettingKeyMisplaced, f, "Observatry", "latitude");
    EXPECT_EQ(c.warnings()[0].value("belongs"), "Observatory");
    expectSetting(c.warnings()[1], Code::SettingKeyMisplaced, f, "Observatry", "longitude");
    expectSetting(c.warnings()[2], Code::SettingKeyUnknown, f, "Observatory", "latitud");
    expectSetting(c.warnings()[3], Code::SettingKeyMisplaced, f, "Observatory", "frameExposure");
    EXPECT_EQ(c.warnings()[3].value("setting"), "frameExposure");
    EXPECT_EQ(c.warnings()[3].value("belongs"), "Camera");
    expectSetting(c.warnings()[4], Code::SettingSectionUnknown, f, "Empty", "");
    for (const TDiagnostic& w : c.warnings()) EXPECT_EQ(w.severity(), Severity::Warning);
    c.save(ini);
    const auto lines = readTextLines(ini);
    for (const char* kept : {"[Observatry]", "latitude=-33.9", "latitud=10", "[Empty]"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), kept), lines.end()) << kept;
    }
    EXPECT_EQ(loaded().warnings().size(), 5u);  // still told after a save

    writeIni("stray=1\r\n[Camera]\r\nwidthCCD=720\r\n");
    ASSERT_EQ(loaded().warnings().size(), 1u);
    expectSetting(loaded().warnings()[0], Code::SettingKeyOutsideSection, f, "", "stray");
    writeIni("[Misc]\r\nstray=1\r\n");
    ASSERT_EQ(loaded().warnings().size(), 1u);
    expectSetting(loaded().warnings()[0], Code::SettingKeyInUnknownSection, f, "Misc", "stray");
    std::filesystem::remove(ini);
    TConfiguration().save(ini);
    EXPECT_TRUE(loaded().warnings().empty());  // a file of its own settings only
}

TEST_F(ConfigurationFile, ValuesOutsideTheirRangeLoadAndSaveButAreRefusedWhereUsed) {
    writeIni("[Observatory]\r\nlatitude=1e308\r\nlongitude=-777\r\n[Camera]\r\nframeExposure=0\r\nwidthCCD=16384\r\n");
    TConfiguration c = loaded();
    c.save(ini);  // the dialog keeps what was typed
    EXPECT_DOUBLE_EQ(loaded().longitude(), -777.0);
    const auto refusal = [&](std::initializer_list<std::string_view> keys) -> std::optional<TDiagnostic> {
        try {
            c.requireInRange(keys);
        } catch (const EConvertError& e) {
            return e.diagnostic();
        }
        return std::nullopt;
    };
    const std::optional<TDiagnostic> exposure = refusal({"widthCCD", "frameExposure"});
    ASSERT_TRUE(exposure);
    expectSetting(*exposure, Code::SettingOutOfOpenRange, ini.string(), "Camera", "frameExposure");
    EXPECT_EQ(exposure->value("value"), "0");
    EXPECT_EQ(exposure->value("low"), "0");
    EXPECT_EQ(exposure->value("high"), "10");
    EXPECT_EQ(refusal({"latitude"})->value("value"), "1e+308");
    const std::optional<TDiagnostic> longitude = refusal({"longitude"});
    ASSERT_TRUE(longitude);
    expectSetting(*longitude, Code::SettingOutOfRange, ini.string(), "Observatory", "longitude");
    EXPECT_EQ(longitude->value("value"), "-777");
    EXPECT_EQ(longitude->value("low"), "-180");
    c.setFrameExposure(10);
    c.setLatitude(90);
    c.setLongitude(0);
    EXPECT_EQ(refusal({"frameExposure", "latitude", "longitude"}), std::nullopt);
    c.setTimeZone(15);
    EXPECT_NE(refusal({"timeZone"}), std::nullopt);
    c.setCoefX(0, -640);
    const std::optional<TDiagnostic> coefficient = refusal({"coefY0", "coefX0"});
    ASSERT_TRUE(coefficient);
    expectSetting(*coefficient, Code::SettingOutOfRange, ini.string(), "Distortion", "coefX0");
    EXPECT_EQ(coefficient->value("value"), "-640");
    try {
        c.requireInRange({"observer"});  // no range: a slip of the caller
        ADD_FAILURE() << "accepted";
    } catch (const EInvalidArgument& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::SettingWithoutRange);
    }

    try {
        TConfiguration unloaded;  // from no file
        unloaded.setFrameExposure(0);
        unloaded.requireInRange({"frameExposure"});
        ADD_FAILURE() << "accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.diagnostic().code(), Code::UnsavedSettingOutOfOpenRange);
        EXPECT_FALSE(e.diagnostic().has("file"));
        EXPECT_EQ(e.diagnostic().value("key"), "frameExposure");
    }

    // Every default lies inside its range.
    writeIni("");
    const TConfiguration defaults = loaded();
    for (const auto& d : settingDeclarations()) {
        if (d.range) {
            EXPECT_NO_THROW(defaults.requireInRange({d.key})) << d.key;
        }
    }
}

TEST_F(ConfigurationFile, Utf8AndWindows1251FilesBothLoad) {
    writeFileAtomically(ini, "[Observatory]\nobserver=Пётр\n[Camera]\nname=Камера 1\n");
    EXPECT_EQ(loaded().observer(), "Пётр");
    writeIni("[Observatory]\r\nobserver=Пётр\r\n");
    EXPECT_EQ(loaded().observer(), "Пётр");
    writeFileAtomically(ini, "\xEF\xBB\xBF[Camera]\nname=Камера\n");
    EXPECT_EQ(loaded().name(), "Камера");
}

TEST_F(ConfigurationFile, LoadingItsOwnSaveAndSavingAgainChangesNothing) {
    const std::string texts[] = {
        "[A\nk=1\n", "[A\rk=1\r",                    // a section name without its "]"
        "[Observatory]\nobserver=\xD0\x86\nfoo\xFF\n",  // Windows-1251 only through the line that is dropped
        "[Observatory]\nobserver=Р†\n",              // Windows-1251 bytes that would read as UTF-8
        "[Observatory]\nobserver=日\n",              // no Windows-1251 character
        "x\n; c\n[S]\n",                              // a section comment that comes to open the file
        "[]\r\nlatitude=1\r\n",                        // a section without name and keys
        "; a\r; b\r[S]\rk=1\r; end\r",                  // CR alone before closing comments
    };
    for (const std::string& text : texts) {
        writeFileAtomically(ini, text);
        const TConfiguration first = loaded();
        first.save(ini);
        const std::string saved = readFileBytes(ini);
        const TConfiguration second = loaded();
        EXPECT_EQ(second.observer(), first.observer()) << text;
        second.save(ini);
        EXPECT_EQ(readFileBytes(ini), saved) << text;
    }
    writeFileAtomically(ini, texts[2]);
    EXPECT_EQ(loaded().observer(), "Р†");
}

TEST_F(ConfigurationFile, BadFloatRaisesAfterTheKeysBeforeIt) {
    writeIni("[Observatory]\r\nlatitude=10.5\r\naltitude=high\r\ntimeZone=5\r\n");
    TConfiguration c;
    c.setTimeZone(-3);
    try {
        c.load(ini);
        ADD_FAILURE() << "loaded";
    } catch (const EConvertError& e) {
        // The diagnostic leads to the line: file, section and key.
        expectSetting(e.diagnostic(), Code::SettingNotANumber, ini.string(), "Observatory", "altitude");
        EXPECT_EQ(e.diagnostic().value("text"), "high");
    }
    EXPECT_DOUBLE_EQ(c.latitude(), 10.5);  // read before the bad key
    EXPECT_EQ(c.timeZone(), -3);           // after it: the previous value
    writeIni("[Observatory]\r\nlatitude=\r\n");
    EXPECT_THROW(c.load(ini), EConvertError);
}

TEST_F(ConfigurationFile, GarbageAndBinaryFilesGiveDefaults) {
    writeIni("this is not an ini file\r\n=\r\n[[[\r\n]\r\nkey without section\r\n[Camera\r\nheightCCD\r\n");
    EXPECT_EQ(loaded().heightCCD(), 480);

    std::mt19937 rng(5);
    std::string binary;
    for (int i = 0; i < 20000; ++i) binary += static_cast<char>(rng() & 0xFF);
    writeFileAtomically(ini, binary);
    TConfiguration c;
    EXPECT_NO_THROW(c.load(ini));
    EXPECT_EQ(c.catalogStar(), "c40.dat");
    EXPECT_EQ(c.frameFontSize(), 12);
}

TEST_F(ConfigurationFile, SaveKeepsForeignKeysCommentsAndExistingOrder) {
    writeIni("; station of the roof\r\n[Camera]\r\nwidthCCD=720\r\nlens=Computar\r\n[Extra]\r\nmine=1\r\n"
             "\r\n; last words of the file\r\n# and more\r\n");
    TConfiguration c = loaded();
    c.save(ini);
    c.save(ini);  // saved twice: the closing comments stay once
    const auto lines = readTextLines(ini);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "; last words of the file");
    EXPECT_EQ(lines.back(), "# and more");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "# and more"), 1);
    auto find = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) - lines.begin(); };
    EXPECT_LT(find("; station of the roof"), static_cast<long>(lines.size()));
    EXPECT_LT(find("lens=Computar"), static_cast<long>(lines.size()));
    EXPECT_LT(find("mine=1"), static_cast<long>(lines.size()));
    EXPECT_LT(find("widthCCD=720"), find("lens=Computar"));
    EXPECT_EQ(loaded().widthCCD(), 720);
}

TEST_F(ConfigurationFile, AKeyWrittenTwiceCountsByItsFirstValueAndIsSavedOnce) {
    writeIni("[Camera]\r\nwidthCCD=720\r\nwidthCCD=640\r\n[Extra]\r\nmine=1\r\nmine=2\r\n");
    TConfiguration c = loaded();
    EXPECT_EQ(c.widthCCD(), 720);
    c.save(ini);
    const auto lines = readTextLines(ini);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("widthCCD="); }), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "mine=1"), 1);  // keys of others stay as they were
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "mine=2"), 1);
    EXPECT_EQ(loaded().widthCCD(), 720);
}

TEST_F(ConfigurationFile, FailedSaveRaisesAndLeavesNoFile) {
    TConfiguration c = loaded();
    EXPECT_THROW(c.save(dir / "missing-folder" / "Orbisight.ini"), EInOutError);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing-folder"));
}

TEST_F(ConfigurationFile, RandomRoundTripsRestoreEveryFieldToItsPattern) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> real(-400.0, 400.0);
    auto integer = [&] { return static_cast<int>(rng() % 20001) - 10000; };
    auto flag = [&] { return (rng() & 1) != 0; };
    auto text = [&] { return std::string("name ") + std::to_string(rng() % 1000) + " Жёлтый"; };
    auto round4 = [](double v) { return std::round(v * 1e4) / 1e4; };
    auto round2 = [](double v) { return std::round(v * 1e2) / 1e2; };
    for (char sep : {'.', ','}) {
        SeparatorScope scope(sep);
        for (int trial = 0; trial < 25; ++trial) {
            TConfiguration c;
            c.setObserver(text()); c.setLatitude(real(rng)); c.setPole(flag()); c.setLongitude(real(rng));
            c.setHemisphere(flag()); c.setAltitude(real(rng)); c.setTimeZone(integer());
            c.setPathToCatalogs("/data/cat " + text()); c.setCatalogStar(text()); c.setCatalogRads(text());
            c.setName(text()); c.setHeightCCD(integer()); c.setWidthCCD(integer()); c.setFocalLength(integer());
            c.setFrameExposure(real(rng)); c.setFrameScale(integer()); c.setLevelNoiseMax(integer());
            c.setDarkFrame(text()); c.setMaskFrame(text()); c.setNFramesBeforeEvent(integer());
            c.setNFramesAfterEvent(integer()); c.setNSignalFrames(integer()); c.setNNoisePixels(integer());
            c.setNSignalPixels(integer()); c.setUseLogFile(flag()); c.setUseAutoShutDown(flag());
            c.setAutoShutDownLevel(integer()); c.setUseMaskFile(flag()); c.setUseDarkFile(flag());
            c.setAddTimeStamp(flag()); c.setVideoCompress(flag()); c.setPreviewOnline(flag());
            c.setNameVideoCompress(text()); c.setFrameFontSize(integer()); c.setRemDarkFrame(flag());
            c.setRemGradFrame(flag()); c.setAutoContrastFrame(flag()); c.setDoubleFrameHeight(flag());
            c.setCorrectDistortion(flag()); c.setBindStars(flag()); c.setAddStarMagn(flag());
            c.setAddStarSpec(flag()); c.setCreateReport(flag()); c.setDeleteTemp(flag());
            c.setAutoDetectTriangleEpsilon(real(rng)); c.setAutoDetectNStar(integer());
            c.setAutoDetectCoefContrast(real(rng)); c.setAutoDetectMinSide(integer());
            c.setAutoDetectScanDelta(real(rng)); c.setAutoDetectMinDEC(real(rng)); c.setAutoDetectMaxDEC(real(rng));
            c.setAutoDetectMinRA(real(rng)); c.setAutoDetectMaxRA(real(rng)); c.setAddResultWidth(integer());
            c.setAddResultHeight(integer());
            for (int i = 0; i < 10; ++i) {
                c.setCoefX(i, real(rng) * 1e-5);
                c.setCoefY(i, real(rng) * 1e3);
            }
            c.save(ini);
            TConfiguration b;
            b.load(ini);

            EXPECT_EQ(b.observer(), c.observer()); EXPECT_EQ(b.pathToCatalogs(), c.pathToCatalogs());
            EXPECT_EQ(b.catalogStar(), c.catalogStar()); EXPECT_EQ(b.catalogRads(), c.catalogRads());
            EXPECT_EQ(b.name(), c.name()); EXPECT_EQ(b.darkFrame(), c.darkFrame());
            EXPECT_EQ(b.maskFrame(), c.maskFrame()); EXPECT_EQ(b.nameVideoCompress(), c.nameVideoCompress());
            EXPECT_NEAR(b.latitude(), round4(c.latitude()), 1e-9); EXPECT_NEAR(b.longitude(), round4(c.longitude()), 1e-9);
            EXPECT_NEAR(b.altitude(), round4(c.altitude()), 1e-9);
            EXPECT_NEAR(b.frameExposure(), round4(c.frameExposure()), 1e-9);
            EXPECT_NEAR(b.autoDetectTriangleEpsilon(), round4(c.autoDetectTriangleEpsilon()), 1e-9);
            EXPECT_NEAR(b.autoDetectCoefContrast(), round2(c.autoDetectCoefContrast()), 1e-9);
            EXPECT_NEAR(b.autoDetectScanDelta(), round2(c.autoDetectScanDelta()), 1e-9);
            EXPECT_NEAR(b.autoDetectMinDEC(), round2(c.autoDetectMinDEC()), 1e-9);
            EXPECT_NEAR(b.autoDetectMaxDEC(), round2(c.autoDetectMaxDEC()), 1e-9);
            EXPECT_NEAR(b.autoDetectMinRA(), round2(c.autoDetectMinRA()), 1e-9);
            EXPECT_NEAR(b.autoDetectMaxRA(), round2(c.autoDetectMaxRA()), 1e-9);
            for (int i = 0; i < 10; ++i) {
                EXPECT_NEAR(b.coefX(i), c.coefX(i), std::fabs(c.coefX(i)) * 5e-9);
                EXPECT_NEAR(b.coefY(i), c.coefY(i), std::fabs(c.coefY(i)) * 5e-9);
            }
            EXPECT_EQ(b.pole(), c.pole()); EXPECT_EQ(b.hemisphere(), c.hemisphere());
            EXPECT_EQ(b.timeZone(), c.timeZone()); EXPECT_EQ(b.heightCCD(), c.heightCCD());
            EXPECT_EQ(b.widthCCD(), c.widthCCD()); EXPECT_EQ(b.focalLength(), c.focalLength());
            EXPECT_EQ(b.frameScale(), c.frameScale()); EXPECT_EQ(b.levelNoiseMax(), c.levelNoiseMax());
            EXPECT_EQ(b.nFramesBeforeEvent(), c.nFramesBeforeEvent()); EXPECT_EQ(b.nFramesAfterEvent(), c.nFramesAfterEvent());
            EXPECT_EQ(b.nSignalFrames(), c.nSignalFrames()); EXPECT_EQ(b.nNoisePixels(), c.nNoisePixels());
            EXPECT_EQ(b.nSignalPixels(), c.nSignalPixels()); EXPECT_EQ(b.useLogFile(), c.useLogFile());
            EXPECT_EQ(b.useAutoShutDown(), c.useAutoShutDown()); EXPECT_EQ(b.autoShutDownLevel(), c.autoShutDownLevel());
            EXPECT_EQ(b.useMaskFile(), c.useMaskFile()); EXPECT_EQ(b.useDarkFile(), c.useDarkFile());
            EXPECT_EQ(b.addTimeStamp(), c.addTimeStamp()); EXPECT_EQ(b.videoCompress(), c.videoCompress());
            EXPECT_EQ(b.previewOnline(), c.previewOnline()); EXPECT_EQ(b.frameFontSize(), c.frameFontSize());
            EXPECT_EQ(b.remDarkFrame(), c.remDarkFrame()); EXPECT_EQ(b.remGradFrame(), c.remGradFrame());
            EXPECT_EQ(b.autoContrastFrame(), c.autoContrastFrame()); EXPECT_EQ(b.doubleFrameHeight(), c.doubleFrameHeight());
            EXPECT_EQ(b.correctDistortion(), c.correctDistortion()); EXPECT_EQ(b.bindStars(), c.bindStars());
            EXPECT_EQ(b.addStarMagn(), c.addStarMagn()); EXPECT_EQ(b.addStarSpec(), c.addStarSpec());
            EXPECT_EQ(b.createReport(), c.createReport()); EXPECT_EQ(b.deleteTemp(), c.deleteTemp());
            EXPECT_EQ(b.autoDetectNStar(), c.autoDetectNStar()); EXPECT_EQ(b.autoDetectMinSide(), c.autoDetectMinSide());
            EXPECT_EQ(b.addResultWidth(), c.addResultWidth()); EXPECT_EQ(b.addResultHeight(), c.addResultHeight());
        }
    }
}

}  // namespace
}  // namespace orbis
