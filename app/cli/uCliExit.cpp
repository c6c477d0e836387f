#include "app/cli/uCliExit.h"

#include "app/cli/uCliArgs.h"

namespace orbis {

int exitStatusFor(const std::exception& failure) {
    if (dynamic_cast<const CliUsageError*>(&failure) || dynamic_cast<const CliMissingInput*>(&failure))
        return kExitUsage;
    if (dynamic_cast<const CliConfigurationError*>(&failure)) return kExitConfiguration;
    return kExitFailed;
}

}  // namespace orbis
