#pragma once
// The command line's argument reader: options with a value ("--station DIR"
// or "--station=DIR"), flags ("--help") and positional words, in any order;
// after "--" every word is positional.

#include <map>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/i18n/uCatalogue.h"

namespace orbis {

// An argument error: one of the command line's sentences (uCliWords.h)
// and the values of its places; what() is its English text.
class CliUsageError : public std::runtime_error {
public:
    explicit CliUsageError(const char* sentence, std::vector<std::pair<std::string, std::string>> values = {});

    const char* sentence() const { return sentence_; }
    const std::vector<std::pair<std::string, std::string>>& values() const { return values_; }

private:
    const char* sentence_;
    std::vector<std::pair<std::string, std::string>> values_;
};

struct CliArgs {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> positional;

    bool has(const std::string& option) const { return values.count(option) != 0 || flags.count(option) != 0; }
    std::string value(const std::string& option, const std::string& fallback = "") const {
        const auto it = values.find(option);
        return it == values.end() ? fallback : it->second;
    }
};

// True for a non-empty text of decimal digits only (dates and names such
// as "20240812" or "202408").
bool allDigits(std::string_view text);

// Raises CliUsageError for an unknown option, an option without its value
// (also when the next word is another option) and an option given twice.
CliArgs parseCliArgs(std::span<const std::string> args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions);

// Takes the global "--lang ru|en" ("--lang=ru") out of the words, before or
// after the command (not after "--"), and gives the language it names, or
// the system's when none is given. Raises CliUsageError for another value,
// a missing one or the option given twice.
Language takeLanguageOption(std::vector<std::string>& args);

}  // namespace orbis
