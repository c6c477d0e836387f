#pragma once
// The measurement of a processed event frame by frame, for M<event>.json:
// the head's pixel on every frame from START to FINISH, its sky position by
// the event's plate (the fit that gives the report its start and end), its
// horizontal position, the frame's UT and magnitude.
//
// Pixels: START and FINISH are the track file's; the frames between take
// the heads the track proposal left beside it (MeteorHeads.txt) where they
// end where the track does (the track is that proposal), and a head it only
// predicted, a frame it did not place, or every frame of another track is
// put on the straight line between the ends by its frame number
// (interpolated). The frames themselves are only read for the magnitudes.
//
// Time: the clip is named by the UT of the frame that declared the event,
// when that frame's exposure began; it is the clip's frame count less the
// nFramesAfterEvent frames written after it (the clip's first frame when the
// clip is shorter). A head is where the meteor was when its frame's exposure
// ended, or, on the earlier field of a woven interlaced frame, that field's.

#include <optional>
#include <string>

#include "astro/uDateTime.h"
#include "measurement/uEventReport.h"
#include "processing/uWorkFiles.h"
#include "reports/uEventMeasurement.h"

namespace orbis {

class TConfiguration;

// The event's magnitude scale (as the report's magnitude takes it); nothing
// when M.txt is missing or none of its stars has a usable magnitude.
std::optional<TMagnitudeScale> magnitudeScale(const std::string& mTxtPath);

// Azimuth (from north through east, 0..360) and altitude of a J2000
// direction seen at a UT from a place (degrees, north and east positive):
// precession and nutation to the date, the Earth's rotation; no refraction
// (the plate measured the meteor against stars refracted alike) and no
// aberration.
struct THorizontal {
    double azimuth = 0, altitude = 0;
};
THorizontal horizontalOf(double ra, double dec, double jdUt, double latitude, double eastLongitude);

// "YYYY-MM-DDTHH:MM:SS.mmmZ" of a UT.
std::string utcText(TDateTime ut);

// The event's frames measured after its report was written; nothing when
// the event has no plate (A.txt without its centre or with fewer than three
// reference stars), no marked track, or no START and FINISH in A.txt.
// `processed` is the size of P.bmp, for the distortion mapping.
std::optional<TEventMeasurement> measureEventFrames(const std::string& eventDirectory, const TConfiguration& config,
                                                    TWorkPicture processed);

}  // namespace orbis
