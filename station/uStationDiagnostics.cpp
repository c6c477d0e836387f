#include "station/uStationDiagnostics.h"

#include "astro/uExceptions.h"

namespace orbis {

TDiagnostic diagnosticOf(const std::exception& e) {
    if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->diagnostic();
    return TDiagnostic(Code::WorkFailedUnexpectedly).with("detail", e.what());
}

std::string plainLogText(const TDiagnostic& diagnostic) {
    if (diagnostic.code() == Code::Unworded) return diagnostic.value("text");
    return diagnostic.plain();
}

}  // namespace orbis
