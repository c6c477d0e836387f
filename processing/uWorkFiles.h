#pragma once
// The layouts of an event's work text files and their strict readers. Each
// stage reads what an earlier stage wrote, so a line that does not have the
// layout its writer gives it is damage (a hand edit, a cut-off copy, a
// shifted column), and a damaged number would move the meteor without any
// sign. Every reader therefore refuses a line with the wrong number of
// fields, a field that is not a number, or a value outside its physical
// range, with EConvertError naming the file, the line and the field.
//
// What the writers produce stays readable: CR LF (readTextLines), blank
// lines, and the decimal separators parseFloat takes ("." always, the
// locale's separator in a number without ".").
//
// Layouts, fields separated by "|", pixel positions x from the left and y
// from the top of the picture:
//   star list (P.txt, M.txt)     0|0|x|y|sum|count
//   M.txt with magnitudes        0|0|x|y|sum|count|magnitude   (empty when none)
//   identified star (S.txt)      ra|dec|x|y|magnitude|name|spectrum
//   A.txt: the reference stars as S.txt, then
//     frame centre               ra|dec|x|y|0.00|CENTER|CENTER
//     meteor's ends              ra|dec|x|y|frame|value|START|  (…|FINISH|)
//                                (ra and dec 0 until they are computed)
//   the marked track (MeteorTrack.txt)  0|0|x|y|frame|value|START (…|FINISH)

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orbis {

// The picture whose pixels a file's positions name. A position may lie up
// to one picture's size outside it: the distortion mapping carries marked
// points a little beyond the frame, never that far.
struct TWorkPicture {
    int width = 0;
    int height = 0;
};

// The largest processed picture the settings allow (a side of 16384 pixels
// and a margin of 16384 on either side): the bound for a reader that does
// not know its picture.
inline constexpr int kLargestWorkPictureSide = 3 * 16384;
inline constexpr TWorkPicture kAnyWorkPicture{kLargestWorkPictureSide, kLargestWorkPictureSide};

// Frame files are F001.bmp … F999.bmp.
inline constexpr int kLargestFrameNumber = 999;
// Magnitudes of catalog stars and meteors.
inline constexpr double kWorkMagnitudeLimit = 30;

// One line of a star list.
struct TListedStar {
    std::size_t line = 0;  // index in the file's lines
    double x = 0, y = 0;
    int64_t brightnessSum = 0;
    int64_t pixelCount = 0;
    std::optional<double> magnitude;  // M.txt once the catalog magnitudes are attached
    std::string magnitudeText;        // as written, empty when none
};

// One identified (catalog) star.
struct TIdentifiedStar {
    std::size_t line = 0;
    double ra = 0, dec = 0;  // degrees
    double x = 0, y = 0;
    double magnitude = 0;
    std::string magnitudeText;  // as written
    std::string name, spectrum;
};

enum class TAstrometryKind { ReferenceStar, Centre, Start, Finish };

// One line of A.txt. Reference stars and the centre fill `star`; the
// meteor's ends fill its place and frame and value.
struct TAstrometryEntry {
    TAstrometryKind kind = TAstrometryKind::ReferenceStar;
    TIdentifiedStar star;  // line, ra, dec, x, y always
    int frame = 0;
    int64_t value = 0;  // START: the brightness sum, FINISH: the pixel count
};

// A.txt as read: its lines, and an entry for every line that is not blank.
struct TAstrometryFile {
    std::vector<std::string> lines;
    std::vector<TAstrometryEntry> entries;

    // The last entry of a kind, or nothing.
    const TAstrometryEntry* last(TAstrometryKind kind) const;
};

// True for a line of spaces and tabs only: no record.
bool isBlankWorkLine(const std::string& line);

// The lines of a star list. Lines with magnitudes (seven fields) are taken
// only where withMagnitudes is true. Raises EInOutError when the file cannot
// be read.
std::vector<TListedStar> parseStarList(const std::vector<std::string>& lines, const std::string& path,
                                       TWorkPicture picture, bool withMagnitudes);
std::vector<TListedStar> readStarList(const std::string& path, TWorkPicture picture, bool withMagnitudes);

// The lines of S.txt (in memory too: the scan judges its candidates' lines
// before writing them).
std::vector<TIdentifiedStar> parseIdentifiedStars(const std::vector<std::string>& lines, const std::string& path,
                                                  TWorkPicture picture);
std::vector<TIdentifiedStar> readIdentifiedStars(const std::string& path, TWorkPicture picture);

// A.txt. Without a picture its positions are bounded by the frame its centre
// line places in the middle (the centre pixel is half the processed
// picture), and without a centre line by kAnyWorkPicture.
TAstrometryFile parseAstrometry(std::vector<std::string> lines, const std::string& path,
                                std::optional<TWorkPicture> picture = std::nullopt);
TAstrometryFile readAstrometry(const std::string& path, std::optional<TWorkPicture> picture = std::nullopt);

// One line of the marked track file, x and y on the unprocessed frame.
struct TTrackFileLine {
    std::size_t line = 0;
    bool start = true;  // START, else FINISH
    double x = 0, y = 0;
    int frame = 0;
    int64_t value = 0;  // START: the brightness sum, FINISH: the pixel count
};

std::vector<TTrackFileLine> parseTrackFile(const std::vector<std::string>& lines, const std::string& path,
                                           TWorkPicture picture);
std::vector<TTrackFileLine> readTrackFile(const std::string& path, TWorkPicture picture);

}  // namespace orbis
