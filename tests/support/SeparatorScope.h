#pragma once
// Sets the program's decimal separator for one test and puts the old one
// back, so a test can play a comma-decimal locale.

#include "astro/uUniUtils.h"

namespace orbis::test {

class SeparatorScope {
public:
    explicit SeparatorScope(char sep) : old_(formatSettings().decimalSeparator) {
        formatSettings().decimalSeparator = sep;
    }
    ~SeparatorScope() { formatSettings().decimalSeparator = old_; }
    SeparatorScope(const SeparatorScope&) = delete;
    SeparatorScope& operator=(const SeparatorScope&) = delete;

private:
    char old_;
};

}  // namespace orbis::test
