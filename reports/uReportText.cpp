#include "reports/uReportText.h"

#include <charconv>
#include <cmath>

namespace orbis {

std::string generalNumberText(double value) {
    if (value == 0.0) return "0";  // also turns -0 into 0
    // The %.15g form: fixed notation up to 15 integer digits, no trailing
    // zeros; to_chars ignores the locale.
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    (void)ec;  // 64 characters hold every double at 15 digits
    return std::string(buf, end);
}

std::string latitudeText(double signedLatitude) {
    return generalNumberText(std::fabs(signedLatitude)) + (signedLatitude >= 0.0 ? "N" : "S");
}

std::string longitudeText(double signedLongitude) {
    return generalNumberText(std::fabs(signedLongitude)) + (signedLongitude >= 0.0 ? "W" : "E");
}

std::string reportLineValue(std::string_view line) {
    const std::size_t eq = line.find('=');
    return std::string(eq == std::string_view::npos ? line : line.substr(eq + 1));
}

}  // namespace orbis
