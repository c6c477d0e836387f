#pragma once
// Diagnostics as the station's workflows keep them: what ended a piece of
// work, and the text of a diagnostic for the unattended station's own files
// (Station.log, the failure list) until a front end words it.

#include <exception>
#include <functional>
#include <string>

#include "astro/uDiagnostic.h"

namespace orbis {

// The diagnostic of what ended a piece of work: an Exception's own, or
// WorkFailedUnexpectedly with the library's text as "detail" for anything
// else (a full memory, a failure of the standard library).
TDiagnostic diagnosticOf(const std::exception& e);
// The same for a raised exception that was kept (of any type; one that is no
// std::exception gives WorkFailedUnexpectedly without its text).
TDiagnostic diagnosticOf(const std::exception_ptr& raised);

// Turns a diagnostic into the text of a log line.
using TWording = std::function<std::string(const TDiagnostic&)>;

// The text a log line carries without a catalogue: a transitional text as
// it was raised, any other diagnostic in its plain form.
std::string plainLogText(const TDiagnostic& diagnostic);

}  // namespace orbis
