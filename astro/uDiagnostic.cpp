#include "astro/uDiagnostic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace orbis {
namespace {

constexpr std::array kNames{
#define ORBIS_CODE_NAME(name) std::string_view(#name),
    ORBIS_DIAGNOSTIC_CODES(ORBIS_CODE_NAME)
#undef ORBIS_CODE_NAME
};

constexpr std::array kCodes{
#define ORBIS_CODE_VALUE(name) Code::name,
    ORBIS_DIAGNOSTIC_CODES(ORBIS_CODE_VALUE)
#undef ORBIS_CODE_VALUE
};

}  // namespace

std::string_view codeName(Code code) {
    const auto i = static_cast<std::size_t>(code);
    return i < kNames.size() ? kNames[i] : std::string_view("?");
}

std::optional<Code> codeFromName(std::string_view name) {
    const auto found = std::find(kNames.begin(), kNames.end(), name);
    if (found == kNames.end()) return std::nullopt;
    return kCodes[static_cast<std::size_t>(found - kNames.begin())];
}

std::span<const Code> allCodes() { return kCodes; }

TDiagnostic& TDiagnostic::with(std::string_view name, std::string value) & {
    const auto same = std::find_if(values_.begin(), values_.end(), [&](const auto& v) { return v.first == name; });
    if (same != values_.end())
        same->second = std::move(value);
    else
        values_.emplace_back(std::string(name), std::move(value));
    return *this;
}

TDiagnostic& TDiagnostic::with(std::string_view name, double value, int decimals) & {
    if (!std::isfinite(value)) return with(name, std::string(std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf"));
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 12), value);
    return with(name, std::string(text));
}

std::string TDiagnostic::value(std::string_view name) const {
    for (const auto& [n, v] : values_)
        if (n == name) return v;
    return {};
}

bool TDiagnostic::has(std::string_view name) const {
    return std::any_of(values_.begin(), values_.end(), [&](const auto& v) { return v.first == name; });
}

std::string TDiagnostic::plain() const {
    std::string text(codeName(code_));
    const char* separator = " ";
    for (const auto& [n, v] : values_) {
        text += separator + n + "=" + v;
        separator = ", ";
    }
    return text;
}

}  // namespace orbis
