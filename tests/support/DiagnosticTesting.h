#pragma once
// Diagnostics in tests: a failed expectation shows a diagnostic in its
// plain form, and a raised exception is caught for its diagnostic.

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "astro/uDiagnostic.h"

namespace orbis {

inline void PrintTo(const TDiagnostic& diagnostic, std::ostream* os) { *os << diagnostic.plain(); }
inline void PrintTo(Code code, std::ostream* os) { *os << codeName(code); }

namespace test {

// The diagnostic of the exception E that f raises; a failure, and an
// Unworded diagnostic, when it raises none.
template <class E, class F>
TDiagnostic raised(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.diagnostic();
    }
    ADD_FAILURE() << "nothing raised";
    return {};
}

inline std::vector<Code> codesOf(const std::vector<TDiagnostic>& diagnostics) {
    std::vector<Code> codes;
    for (const TDiagnostic& d : diagnostics) codes.push_back(d.code());
    return codes;
}

}  // namespace test
}  // namespace orbis
