#pragma once
// Labels on the result frame (R.bmp) from the reference stars of A.txt
// ("RA|Dec|x|y|magnitude|name|spectrum", x and y counted from the top):
// each star's magnitude and name beside it, its spectral class below that.
// The centre and meteor lines of A.txt get no label. The labels are drawn
// into R.bmp itself in white, so a second run draws the same pixels again.

#include <string>

namespace orbis {

class UserNotifier;

// Writes "magnitude name" with its top-left corner at (x + 5, y - 3) of each
// reference star and saves R.bmp. A missing A.txt or R.bmp is reported and
// gives false. A line of A.txt without its layout, or with a value out of
// its range (a position more than a picture's size off R.bmp), raises
// EConvertError naming A.txt and the line before anything is drawn: R.bmp
// stays as it was.
bool drawMagnitudeLabels(const std::string& rBmpPath, UserNotifier& notifier);

// The same with the spectral class at (x + 5, y + 8).
bool drawSpectrumLabels(const std::string& rBmpPath, UserNotifier& notifier);

}  // namespace orbis
