#pragma once
// Text pieces shared by the night exports and the JPEG comment: numbers in
// the general form, the station's place with hemisphere letters, and the
// value of a report line.

#include <string>
#include <string_view>

namespace orbis {

// A number with up to 15 significant digits, no trailing zeros, "." as
// decimal separator whatever the locale, and no exponent for ordinary
// magnitudes (52.43, 0, 150.5, 100000). Zero never shows a sign.
std::string generalNumberText(double value);

// |latitude| and "N" (north positive, 0 included) or "S": 52.43N.
std::string latitudeText(double signedLatitude);
// |longitude| and "W" (west positive, 0 included) or "E": 30.98E.
std::string longitudeText(double signedLongitude);

// The value of a "KEY=value" report line: the text after its first "=", or
// the whole line when it holds none.
std::string reportLineValue(std::string_view line);

}  // namespace orbis
