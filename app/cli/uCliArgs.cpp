#include "app/cli/uCliArgs.h"

namespace orbis {

CliArgs parseCliArgs(std::span<const std::string> args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions) {
    CliArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h") {
            parsed.flags.insert("--help");
        } else if (valueOptions.count(a) != 0) {
            if (i + 1 >= args.size()) throw CliUsageError(a + " needs a value");
            parsed.values[a] = args[++i];
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
