#pragma once
// A night's meteors frame by frame in the per-night text layout that meteor
// networks' trajectory software reads ("FTPdetectinfo"), made from the
// events' M<event>.json: a header of eleven lines, then per meteor a
// separator, the name of the clip it came from in that layout's naming
// (FF_<station>_<yyyymmdd>_<hhnnss>_<mmm>_0000000.fits, the UT when the
// exposure of the clip's first frame began, which dates its frames), a
// calibration line, a line of the camera, meteor number, frame count, frame
// rate and speed, and a line per frame: frame (from the clip's start, in
// frames, a fraction for a field), column, row, RA and Dec (J2000), azimuth
// (from north through east) and elevation, brightness sum and magnitude
// ("inf" when none). README.md says which fields cannot be filled.

#include <string>
#include <vector>

#include "astro/uNotifier.h"
#include "reports/uEventMeasurement.h"

namespace orbis {

class TConfiguration;

// The station's code in the layout: the camera name's Latin letters and
// digits ("ORBIS" when it has none), as the layout's names and columns are
// split at "_" and spaces.
std::string networkStationCode(const std::string& cameraName);

// The file's lines for these events, in their order; folder names the
// clips' folder in the header (writeFtpDetectInfo gives the night's name).
std::vector<std::string> ftpDetectInfoLines(const std::vector<TEventMeasurement>& events, const std::string& stationCode,
                                            const std::string& folder);

// Writes nightDirectory/FTPdetectinfo_<station>_<yyyymmdd>_<hhnnss>.txt
// (the UT when the night directory's local date began) from every event
// directory's M<event>.json, in name order, replacing an older file whole;
// returns its path. An event without the file is left out; one whose file
// is damaged too, with a warning through the notifier. Raises EInOutError
// when the file cannot be written.
std::string writeFtpDetectInfo(const std::string& nightDirectory, const TConfiguration& config, UserNotifier& notifier);

}  // namespace orbis
