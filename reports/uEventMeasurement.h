#pragma once
// An event's measurement frame by frame, as M<event>.json holds it beside
// the report: the station, the plate, and for every frame from the start to
// the end the head's pixel, its sky and horizontal coordinates, the frame's
// UT and magnitude. The trajectory of a meteor seen from several stations is
// solved from these files (docs/event-json.md describes the layout).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orbis {

struct TFrameMeasurement {
    int frame = 0;               // the frame's number in the clip (as in MeteorTrack.txt)
    double x = 0, y = 0;         // the head's pixel
    bool interpolated = false;   // placed along the track between marked ends, not measured
    double ra = 0, dec = 0;      // degrees, J2000
    double azimuth = 0;          // degrees, from north through east
    double altitude = 0;         // degrees
    double jdUt = 0;             // Julian date (UT) of the frame, field-accurate
    std::string utc;             // the same as "YYYY-MM-DDTHH:MM:SS.mmmZ"
    std::optional<double> magnitude;
    double time = 0;             // seconds after clipStartUtc, as exact as the frame rate (jdUt is to ~50 µs)
    int64_t brightness = 0;      // the brightness sum the magnitude was measured from, 0 when none
};

struct TEventMeasurement {
    std::string event;           // the event directory's name ("231000_000")
    std::string camera;          // the station's camera name
    double latitude = 0;         // degrees, north positive
    double longitude = 0;        // degrees, east positive
    double height = 0;           // metres above the ellipsoid (the `altitude` setting)
    double framesPerSecond = 0;
    bool interlaced = false;
    // The plate: its centre, scale and the residuals of its reference stars.
    double plateRa = 0, plateDec = 0;  // degrees, J2000
    double plateScale = 0;             // arcseconds per pixel
    double residualRms = 0;            // arcseconds
    int referenceStars = 0;
    std::vector<TFrameMeasurement> frames;
    // When the exposure of the clip's first frame (F001) began, to the
    // millisecond; the frames' `time` counts from it.
    std::string clipStartUtc;
    double clipStartJdUt = 0;
    std::vector<double> starResiduals;  // arcseconds, one per reference star in A.txt's order
};

// Writes the file whole or not at all (a temporary file renamed).
void writeEventMeasurement(const std::filesystem::path& file, const TEventMeasurement& measurement);
// Reads a file written by writeEventMeasurement; a damaged or foreign file
// raises an exception carrying a diagnostic.
TEventMeasurement readEventMeasurement(const std::filesystem::path& file);

}  // namespace orbis
