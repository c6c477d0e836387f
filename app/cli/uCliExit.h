#pragma once
// The command line's exit statuses, one table for every command (printed by
// `orbisight-cli --help`, kept in the README): a script tells a mistyped path
// from a failed night by the status alone.

#include <exception>

#include "astro/uExceptions.h"

namespace orbis {

enum CliExit : int {
    kExitDone = 0,           // the work is done (also: nothing to do)
    kExitFailed = 1,         // the work failed, or part of it (a lost event, a stage's problem)
    kExitUsage = 2,          // bad arguments, or a directory, clip or file given that is not there
    kExitConfiguration = 3,  // the station's settings are missing or unusable; `check`: suspicious set-up
    // 128 + the signal's number: stopped by Ctrl+C (130), SIGTERM (143) or SIGHUP (129)
};

// Input the user named that is not there (a directory, a clip, a file): a
// usage mistake rather than a failure of the work.
class CliMissingInput : public Exception {
public:
    using Exception::Exception;
};

// The station's settings cannot be used as they are (no Orbisight.ini where
// one is required, a settings path that is no file).
class CliConfigurationError : public Exception {
public:
    using Exception::Exception;
};

// The status a command ends with when `failure` stopped it.
int exitStatusFor(const std::exception& failure);

}  // namespace orbis
