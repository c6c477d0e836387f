#include "app/cli/uCliArgs.h"

#include <optional>

#include "app/cli/uCliWords.h"
#include "app/i18n/uCatalogue.h"

namespace orbis {

namespace {

std::string englishText(const char* sentence, const std::vector<std::pair<std::string, std::string>>& values) {
    TDiagnostic places;
    for (const auto& [name, value] : values) places.with(name, value);
    return fillPlaces(sentence, places);
}

}  // namespace

CliUsageError::CliUsageError(const char* sentence, std::vector<std::pair<std::string, std::string>> values)
    : std::runtime_error(englishText(sentence, values)), sentence_(sentence), values_(std::move(values)) {}

bool allDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return !text.empty();
}

CliArgs parseCliArgs(std::span<const std::string> args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions) {
    CliArgs parsed;
    const auto isOption = [&](const std::string& word) {
        return valueOptions.count(word) != 0 || flagOptions.count(word) != 0 || word == "-h";
    };
    const auto setValue = [&](const std::string& option, std::string value) {
        // A second value would silently replace the first (two nights, two stations).
        if (!parsed.values.emplace(option, std::move(value)).second) throw CliUsageError(cli::kGivenTwice, {{"option", option}});
    };
    bool onlyPositional = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const std::size_t eq = a.find('=');
        if (onlyPositional) {
            parsed.positional.push_back(a);
        } else if (a == "--") {
            onlyPositional = true;  // what follows is never an option
        } else if (a == "-h") {
            parsed.flags.insert("--help");
        } else if (valueOptions.count(a) != 0) {
            // The next word is the value, unless it is an option itself: a
            // forgotten value must not swallow the next option.
            if (i + 1 >= args.size() || isOption(args[i + 1])) throw CliUsageError(cli::kNeedsValue, {{"option", a}});
            setValue(a, args[++i]);
        } else if (a.starts_with("--") && eq != std::string::npos && valueOptions.count(a.substr(0, eq)) != 0) {
            setValue(a.substr(0, eq), a.substr(eq + 1));
        } else if (flagOptions.count(a) != 0) {
            parsed.flags.insert(a);
        } else if (a.starts_with("--")) {
            throw CliUsageError(cli::kUnknownArgument, {{"argument", a}});
        } else {
            parsed.positional.push_back(a);
        }
    }
    return parsed;
}

Language takeLanguageOption(std::vector<std::string>& args) {
    std::optional<std::string> named;
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            kept.insert(kept.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        std::optional<std::string> value;
        if (a == "--lang") {
            if (i + 1 >= args.size() || args[i + 1].starts_with("-")) throw CliUsageError(cli::kNeedsValue, {{"option", "--lang"}});
            value = args[++i];
        } else if (a.starts_with("--lang=")) {
            value = a.substr(7);
        } else {
            kept.push_back(a);
            continue;
        }
        if (named) throw CliUsageError(cli::kGivenTwice, {{"option", "--lang"}});
        named = *value;
    }
    Language language = systemLanguage();
    if (named) {
        // Only the languages' own codes: a locale name here is a mistake.
        if (*named == "ru") language = Language::Russian;
        else if (*named == "en") language = Language::English;
        else throw CliUsageError(cli::kUnknownLanguage, {{"option", "--lang"}});
    }
    args = std::move(kept);
    return language;
}

}  // namespace orbis
