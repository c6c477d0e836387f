#pragma once
// The front ends' wording: one catalogue per language (orbisight_<lang>.ts,
// Qt's translation format, built into the programs) turns a diagnostic's
// code and values into a sentence. The window and the command line use the
// same catalogues; files the system writes never go through them.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "astro/uDiagnostic.h"

class QTranslator;

namespace orbis {

enum class Language { Russian, English };

// "ru", "en", or a locale name such as "ru_RU.UTF-8"; nothing for others.
std::optional<Language> languageNamed(std::string_view name);
// The language of the system locale (LC_ALL, LC_MESSAGES, LANG): Russian
// under a ru_* locale, English otherwise.
Language systemLanguage();
// "ru" or "en".
std::string_view languageCode(Language language);

class TCatalogue {
public:
    explicit TCatalogue(Language language);
    ~TCatalogue();
    TCatalogue(TCatalogue&&) noexcept;
    TCatalogue& operator=(TCatalogue&&) noexcept;

    Language language() const { return language_; }

    // The sentence of a diagnostic, its {name} places filled with its values.
    std::string text(const TDiagnostic& diagnostic) const;
    // The window caption of a message: the catalogue's own for the code, or
    // "Orbisight".
    std::string caption(const TDiagnostic& diagnostic) const;
    // Whether the catalogue has a sentence for the code.
    bool words(Code code) const;
    // A text of another context of the catalogue (the command line's own
    // words), or the source itself when the catalogue has none.
    std::string translate(const char* context, const char* source) const;

private:
    Language language_;
    std::unique_ptr<QTranslator> translator_;
};

// Fills {name} places of a pattern with a diagnostic's values; a place with
// no value stays as it is.
std::string fillPlaces(std::string_view pattern, const TDiagnostic& diagnostic);

}  // namespace orbis
