#include <gtest/gtest.h>

#include <cstdlib>

#include "app/i18n/uCatalogue.h"

namespace orbis {
namespace {

// Every code the libraries can raise has its words in every language, and
// every {place} of a sentence is spelled as a value name (letters only).
TEST(Catalogue, EveryCodeIsWordedInEveryLanguage) {
    for (Language language : {Language::Russian, Language::English}) {
        const TCatalogue catalogue(language);
        for (Code code : allCodes()) {
            EXPECT_TRUE(catalogue.words(code)) << codeName(code) << " has no text in " << languageCode(language);
            const std::string text = catalogue.text(TDiagnostic(code));
            EXPECT_EQ(text.find("{}"), std::string::npos) << codeName(code);
        }
    }
}

TEST(Catalogue, FillsPlacesWithValuesAndLeavesUnknownOnes) {
    const TDiagnostic d = TDiagnostic(Code::Unworded).with("file", "/a/b.avi").with("frame", 12);
    EXPECT_EQ(fillPlaces("{file}: frame {frame} of {count}", d), "/a/b.avi: frame 12 of {count}");
    EXPECT_EQ(fillPlaces("{unclosed", d), "{unclosed");
    // A text that reaches no catalogue is shown as it was raised.
    EXPECT_EQ(TCatalogue(Language::English).text(TDiagnostic(Code::Unworded).with("text", "x {y}")), "x {y}");
}

// The window's messages of the libraries read exactly as the station has
// always shown them (a Latin "e" in "имеeт" included), with their own
// window caption where they have one; English has words of its own.
TEST(Catalogue, TheWindowsRussianSentencesOfTheLibraries) {
    const TCatalogue ru(Language::Russian);
    const TDiagnostic format(Code::FrameFormatRefused, Severity::Warning);
    EXPECT_EQ(ru.text(format), "Файл ч/б или имеeт недопустимый формат!");
    EXPECT_EQ(ru.caption(format), "Orbisight 2.0");
    const TDiagnostic catalog = TDiagnostic(Code::StarCatalogMissing).with("file", "/st/catalog/c40.dat");
    EXPECT_EQ(ru.text(catalog), "Файл /st/catalog/c40.dat отсутствует. Расчёт невозможен!");
    EXPECT_EQ(ru.caption(catalog), "Orbisight");
    EXPECT_EQ(ru.text(TDiagnostic(Code::StarBitmapMissing).with("file", "P.bmp")),
              "Отсутствует необходимый файл P.bmp для детектирования опорных звёзд.");
    EXPECT_EQ(ru.text(TDiagnostic(Code::ScanStepInvalid).with("step", "0")), "Недопустимый шаг сканирования 0.");
    EXPECT_EQ(ru.text(TDiagnostic(Code::StageCorrectingDistortion)), "Корррекция дисторсии");
    EXPECT_EQ(ru.text(TDiagnostic(Code::SettingOutOfOpenRange)
                          .with("file", "/st/Orbisight.ini")
                          .with("section", "Camera")
                          .with("key", "frameExposure")
                          .with("value", "0")
                          .with("low", "0")
                          .with("high", "10")),
              "Недопустимое значение ключа [Camera] frameExposure в /st/Orbisight.ini: 0 (допустимо больше 0 и не больше 10).");

    const TCatalogue en(Language::English);
    EXPECT_EQ(en.caption(format), "Orbisight 2.0");
    EXPECT_EQ(en.text(catalog), "The file /st/catalog/c40.dat is missing. Nothing can be computed.");
}

TEST(Catalogue, LanguageFollowsTheLocaleAndNames) {
    EXPECT_EQ(languageNamed("ru_RU.UTF-8"), Language::Russian);
    EXPECT_EQ(languageNamed("en"), Language::English);
    EXPECT_EQ(languageNamed("rus"), std::nullopt);
    EXPECT_EQ(languageNamed("C"), std::nullopt);
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_MESSAGES", "ru_RU.UTF-8", 1);
    EXPECT_EQ(systemLanguage(), Language::Russian);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(systemLanguage(), Language::English);
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
}

TEST(Diagnostic, CarriesItsCodeAndNamedValues) {
    TDiagnostic d(Code::Unworded, Severity::Warning);
    d.with("count", std::size_t{3}).with("ratio", 0.126, 2).with("count", 4);
    EXPECT_EQ(d.value("count"), "4");
    EXPECT_EQ(d.value("ratio"), "0.13");
    EXPECT_EQ(d.value("none"), "");
    EXPECT_EQ(d.plain(), "Unworded count=4, ratio=0.13");
    EXPECT_EQ(codeFromName("Unworded"), Code::Unworded);
    EXPECT_EQ(codeFromName("NoSuchCode"), std::nullopt);
}

}  // namespace
}  // namespace orbis
