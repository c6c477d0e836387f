#include "station/uStationDiagnostics.h"

#include "astro/uExceptions.h"

namespace orbis {

TDiagnostic diagnosticOf(const std::exception& e) {
    if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->diagnostic();
    return TDiagnostic(Code::WorkFailedUnexpectedly).with("detail", e.what());
}

TDiagnostic diagnosticOf(const std::exception_ptr& raised) {
    try {
        std::rethrow_exception(raised);
    } catch (const std::exception& e) {
        return diagnosticOf(e);
    } catch (...) {
        return TDiagnostic(Code::WorkFailedUnexpectedly).with("detail", "");
    }
}

std::string plainLogText(const TDiagnostic& diagnostic) {
    if (diagnostic.code() == Code::Unworded) return diagnostic.value("text");
    return diagnostic.plain();
}

}  // namespace orbis
