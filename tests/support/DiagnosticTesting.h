#pragma once
// Diagnostics in test output: a failed expectation shows a diagnostic in
// its plain form, and lists of them as their codes.

#include <ostream>
#include <vector>

#include "astro/uDiagnostic.h"

namespace orbis {

inline void PrintTo(const TDiagnostic& diagnostic, std::ostream* os) { *os << diagnostic.plain(); }
inline void PrintTo(Code code, std::ostream* os) { *os << codeName(code); }

namespace test {

inline std::vector<Code> codesOf(const std::vector<TDiagnostic>& diagnostics) {
    std::vector<Code> codes;
    for (const TDiagnostic& d : diagnostics) codes.push_back(d.code());
    return codes;
}

}  // namespace test
}  // namespace orbis
