#include "gui/uRussianWindow.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace orbis {

bool installRussianWindow(QCoreApplication& app) {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    // qtbase_ru holds the texts of the widgets and dialogs Qt draws itself.
    auto* translator = new QTranslator(&app);
    if (!translator->load(russian, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

std::optional<Language> windowLanguage(std::span<const std::string> arguments) {
    std::optional<std::string> asked;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--lang" && i + 1 < arguments.size()) asked = arguments[++i];
        else if (arguments[i].starts_with("--lang=")) asked = arguments[i].substr(7);
        else if (arguments[i] == "--lang") asked = std::string();  // given without a value
    }
    if (!asked) return Language::Russian;
    // Only a bare language name: a locale name is the system's business.
    if (*asked == "ru") return Language::Russian;
    if (*asked == "en") return Language::English;
    return std::nullopt;
}

TWindowLanguage::TWindowLanguage(Language language)
    : language_(language), previousLocale_(QLocale()), translator_(std::make_unique<QTranslator>()) {
    if (language == Language::Russian) {
        const QLocale russian(QLocale::Russian, QLocale::Russia);
        QLocale::setDefault(russian);
        // The window's sources are Russian; only Qt's own texts need words.
        complete_ = translator_->load(russian, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    } else {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        complete_ = translator_->load(":/i18n/orbisight_en.qm");
    }
    if (complete_) QCoreApplication::installTranslator(translator_.get());
}

TWindowLanguage::~TWindowLanguage() {
    if (complete_) QCoreApplication::removeTranslator(translator_.get());
    QLocale::setDefault(previousLocale_);
}

}  // namespace orbis
