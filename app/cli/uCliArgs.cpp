#include "app/cli/uCliArgs.h"

namespace orbis {

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
        if (!parsed.values.emplace(option, std::move(value)).second) throw CliUsageError(option + " given twice");
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
            if (i + 1 >= args.size() || isOption(args[i + 1])) throw CliUsageError(a + " needs a value");
            setValue(a, args[++i]);
        } else if (a.starts_with("--") && eq != std::string::npos && valueOptions.count(a.substr(0, eq)) != 0) {
            setValue(a.substr(0, eq), a.substr(eq + 1));
        } else if (flagOptions.count(a) != 0) {
            parsed.flags.insert(a);
        } else if (a.starts_with("--")) {
            throw CliUsageError("unknown argument '" + a + "'");
        } else {
            parsed.positional.push_back(a);
        }
    }
    return parsed;
}

}  // namespace orbis
