#pragma once
// A diagnostic: what the libraries tell the user, as a value — a code, a
// severity and named values (a file, a frame number, a count). The libraries
// never build the sentence; the front ends word it from their catalogue
// (i18n/), in the user's language.

#include <concepts>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "astro/uDiagnosticCodes.h"

namespace orbis {

enum class Code {
#define ORBIS_CODE_ENUM(name) name,
    ORBIS_DIAGNOSTIC_CODES(ORBIS_CODE_ENUM)
#undef ORBIS_CODE_ENUM
};

enum class Severity { Notice, Warning, Error };

// The code's name as the catalogues key it ("ClipUnreadable").
std::string_view codeName(Code code);
std::optional<Code> codeFromName(std::string_view name);
std::span<const Code> allCodes();

class TDiagnostic {
public:
    TDiagnostic() = default;
    explicit TDiagnostic(Code code, Severity severity = Severity::Error) : code_(code), severity_(severity) {}

    Code code() const { return code_; }
    Severity severity() const { return severity_; }

    // Named values, in the order given; a name given again replaces its value.
    TDiagnostic& with(std::string_view name, std::string value) &;
    TDiagnostic&& with(std::string_view name, std::string value) && { return std::move(with(name, std::move(value))); }
    TDiagnostic& with(std::string_view name, const char* value) & { return with(name, std::string(value)); }
    TDiagnostic&& with(std::string_view name, const char* value) && { return std::move(with(name, std::string(value))); }
    template <std::integral T>
    TDiagnostic& with(std::string_view name, T value) & {
        return with(name, std::to_string(value));
    }
    template <std::integral T>
    TDiagnostic&& with(std::string_view name, T value) && {
        return std::move(with(name, std::to_string(value)));
    }
    // A real with the given decimals and a point, whatever the locale.
    TDiagnostic& with(std::string_view name, double value, int decimals) &;
    TDiagnostic&& with(std::string_view name, double value, int decimals) && {
        return std::move(with(name, value, decimals));
    }

    const std::vector<std::pair<std::string, std::string>>& values() const { return values_; }
    // The value of a name, empty when it was not given.
    std::string value(std::string_view name) const;
    bool has(std::string_view name) const;

    // "Code name=value, name=value": for developers, logs of tests and
    // exceptions that reach no front end; never shown as a sentence.
    std::string plain() const;

    friend bool operator==(const TDiagnostic&, const TDiagnostic&) = default;

private:
    Code code_ = Code::Unworded;
    Severity severity_ = Severity::Error;
    std::vector<std::pair<std::string, std::string>> values_;
};

}  // namespace orbis
