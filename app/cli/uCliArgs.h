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
#include <vector>

namespace orbis {

struct CliUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
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

}  // namespace orbis
