#pragma once
// The window's language. Russian, the window's own, whatever the system
// locale: Qt's own texts (standard buttons, file dialogs, context menus)
// from Qt's Russian translation, and Russian as the default locale of every
// widget. English on request: the window's English translation
// (:/i18n/orbisight_en.qm, built in) and the English locale; Qt's own texts
// are English already.

#include <QLocale>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "app/i18n/uCatalogue.h"

class QCoreApplication;
class QTranslator;

namespace orbis {

// Installs Qt's Russian translation into the application and makes Russian
// the default locale. False when the translation is not installed (the
// Debian package qt6-translations-l10n): Qt's texts then stay English.
bool installRussianWindow(QCoreApplication& app);

// The window's language from the program's arguments: the value of
// "--lang ru|en" ("--lang=en" too), Russian without one; nothing for a
// language the window does not speak.
std::optional<Language> windowLanguage(std::span<const std::string> arguments);

// The window's language installed for as long as it lives, and undone when
// it goes (tests switch languages; the program keeps one to the end).
class TWindowLanguage {
public:
    explicit TWindowLanguage(Language language);
    ~TWindowLanguage();
    TWindowLanguage(const TWindowLanguage&) = delete;
    TWindowLanguage& operator=(const TWindowLanguage&) = delete;

    Language language() const { return language_; }
    // False when a translation it needs is not there (Qt's Russian one is
    // the package qt6-translations-l10n): those texts stay in English.
    bool complete() const { return complete_; }

private:
    Language language_;
    QLocale previousLocale_;
    std::unique_ptr<QTranslator> translator_;
    bool complete_ = false;
};

}  // namespace orbis
