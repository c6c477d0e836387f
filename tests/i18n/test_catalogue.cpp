#include <gtest/gtest.h>

#include <cstdlib>

#include "i18n/uCatalogue.h"

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
