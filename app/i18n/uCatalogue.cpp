#include "app/i18n/uCatalogue.h"

#include <QString>
#include <QTranslator>
#include <cstdlib>
#include <stdexcept>

namespace orbis {

std::optional<Language> languageNamed(std::string_view name) {
    if (name.size() >= 2) {
        const std::string_view two = name.substr(0, 2);
        const bool whole = name.size() == 2 || name[2] == '_' || name[2] == '-' || name[2] == '.';
        if (whole && two == "ru") return Language::Russian;
        if (whole && two == "en") return Language::English;
    }
    return std::nullopt;
}

Language systemLanguage() {
    // The first of these that is set decides, as for every program.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return languageNamed(value).value_or(Language::English);
    }
    return Language::English;
}

std::string_view languageCode(Language language) { return language == Language::Russian ? "ru" : "en"; }

TCatalogue::TCatalogue(Language language) : language_(language), translator_(std::make_unique<QTranslator>()) {
    const QString file = QString(":/i18n/orbisight_%1.qm").arg(QString::fromLatin1(languageCode(language).data(), 2));
    if (!translator_->load(file)) throw std::runtime_error("the catalogue " + file.toStdString() + " is not built in");
}

TCatalogue::~TCatalogue() = default;
TCatalogue::TCatalogue(TCatalogue&&) noexcept = default;
TCatalogue& TCatalogue::operator=(TCatalogue&&) noexcept = default;

std::string TCatalogue::translate(const char* context, const char* source) const {
    const QString text = translator_->translate(context, source);
    return text.isEmpty() ? std::string(source) : text.toStdString();
}

bool TCatalogue::words(Code code) const {
    const std::string name(codeName(code));
    return !translator_->translate("Diagnostic", name.c_str()).isEmpty();
}

std::string TCatalogue::text(const TDiagnostic& diagnostic) const {
    const std::string name(codeName(diagnostic.code()));
    const QString pattern = translator_->translate("Diagnostic", name.c_str());
    // A code the catalogue lacks still tells everything it carries.
    if (pattern.isEmpty()) return diagnostic.plain();
    return fillPlaces(pattern.toStdString(), diagnostic);
}

std::string TCatalogue::caption(const TDiagnostic& diagnostic) const {
    const std::string name(codeName(diagnostic.code()));
    const QString own = translator_->translate("DiagnosticCaption", name.c_str());
    return own.isEmpty() ? std::string("Orbisight") : own.toStdString();
}

std::string fillPlaces(std::string_view pattern, const TDiagnostic& diagnostic) {
    std::string out;
    out.reserve(pattern.size() + 32);
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] == '{') {
            const std::size_t close = pattern.find('}', i + 1);
            if (close != std::string_view::npos) {
                const std::string_view name = pattern.substr(i + 1, close - i - 1);
                if (diagnostic.has(name)) {
                    out += diagnostic.value(name);
                    i = close + 1;
                    continue;
                }
            }
        }
        out += pattern[i++];
    }
    return out;
}

}  // namespace orbis
