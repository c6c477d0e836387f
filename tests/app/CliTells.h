#pragma once
// Whether a command's output tells a diagnostic: worded by the English
// catalogue (the command line under a C locale), or in its plain form.

#include <string>

#include "app/i18n/uCatalogue.h"

namespace orbis::test {

inline bool tells(const std::string& output, const TDiagnostic& diagnostic) {
    return output.find(TCatalogue(Language::English).text(diagnostic)) != std::string::npos ||
           output.find(diagnostic.plain()) != std::string::npos;
}

}  // namespace orbis::test
