#pragma once
// Names of every folder and file of the station: the program directory, one
// directory per night ("yyyymmdd"), one clip and one event directory per
// event ("hhnnss_zzz"), the frame files and the work files of an event, the
// time of an event read back from them, and the sorted directory listings the
// browsers and the pipeline work from.
// Paths are texts with "/" between their parts; several work-file names are
// derived from others by cutting a fixed number of trailing characters, so
// they stay plain strings.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "astro/uDateTime.h"

namespace orbis {

// Suffixes of the work files of an event, appended to the work-file stem.
// Each is a one-letter tag and a four-character extension (the report has
// no tag), which is what the derived-name cuts below rely on.
namespace workSuffix {
inline constexpr std::string_view kProcessedBitmap = "P.bmp";  // background, processed
inline constexpr std::string_view kMagnitudeBitmap = "M.bmp";  // background for magnitudes
inline constexpr std::string_view kResultBitmap = "R.bmp";     // result with the meteor
inline constexpr std::string_view kResultJpeg = "R.jpg";
inline constexpr std::string_view kProcessedStars = "P.txt";   // stars found on P.bmp
inline constexpr std::string_view kMagnitudeStars = "M.txt";   // stars found on M.bmp
inline constexpr std::string_view kIdentifiedStars = "S.txt";  // stars identified in the catalog
inline constexpr std::string_view kAstrometry = "A.txt";       // reference stars, centre, meteor
inline constexpr std::string_view kReport = ".txt";            // the event report
}  // namespace workSuffix

inline constexpr std::string_view kTrackFileName = "MeteorTrack.txt";

// The directory that holds the running executable, without a trailing "/".
std::string executableDirectory();

// a + "/" + b (no doubled separator; an empty a gives b).
std::string joinPath(std::string_view a, std::string_view b);

// A file setting (dark frame, mask, catalog folder) as a path: absolute
// settings stay as they are, relative ones are taken inside the program
// directory.
std::string resolveInProgramDirectory(std::string_view programDirectory, std::string_view setting);

// "yyyymmdd" of a local date.
std::string nightName(TDateTime localDate);
// programDirectory + "/" + nightName(localDate).
std::string nightDirectory(std::string_view programDirectory, TDateTime localDate);

// "hhnnss_zzz" of a local time of day.
std::string clipName(TDateTime localTime);
// nightDirectory + "/" + clipName(localTime) + ".avi".
std::string eventClipPath(std::string_view nightDirectory, TDateTime localTime);

// The bare file name of a clip up to its first ".".
std::string eventNameOfClip(std::string_view clipFileName);
// clipsDirectory + "/" + eventNameOfClip(clip file name).
std::string eventDirectoryForClip(std::string_view clipsDirectory, std::string_view clipFileName);

// eventDirectory + "/F" + n with at least three digits + ".bmp".
std::string frameFileName(std::string_view eventDirectory, int n);
// A bare name that starts with "F" and is exactly 8 characters long: F001.bmp
// .. F999.bmp; F1000.bmp and beyond are not frames of the event.
bool isFrameFileName(std::string_view bareName);

// The event name: the event directory's path without the night directory's
// path and the separator after it (its last component when it does not lie
// in the night directory).
std::string eventNameOfDirectory(std::string_view nightDirectory, std::string_view eventDirectory);
// eventDirectory + "/M" + event name.
std::string workFileStem(std::string_view nightDirectory, std::string_view eventDirectory);
// eventDirectory + "/MeteorTrack.txt".
std::string trackFileName(std::string_view eventDirectory);

// The star list of a bitmap: its path with the last 3 characters replaced
// by "txt" (M213045_120P.bmp -> M213045_120P.txt).
std::string starListOfBitmap(std::string_view bitmapPath);
// Another work file of the same event: the path without its last 5
// characters plus a five-character suffix (…P.txt -> …S.txt).
std::string siblingWorkFile(std::string_view workFilePath, std::string_view suffix);

// The UT date-time of an event, read back from the night and event directory
// names inside a work-file path ".../yyyymmdd/hhnnss_zzz/Mhhnnss_zzzX.txt":
// the 17 trailing characters are dropped and the 19 before them read as
// "yyyymmdd?hhnnss_zzz" in local time, from which timeZone hours are taken.
// A short path, a non-digit group or an impossible date raises EConvertError.
TDateTime timeFromFileName(std::string_view path, double timeZone);
// The local start time a clip's name gives: ".../yyyymmdd/hhnnss_zzz.avi",
// the naming of event clips and plain recordings; nothing for another name.
std::optional<TDateTime> clipStartTime(std::string_view clipPath);

enum class ListKind { Files, Directories };

// The bare names in a directory that match a mask ("*" and "?" wildcards,
// letters in either case, "*.*" for everything), files only or directories
// only, never "." or "..", sorted case-insensitively in the user's locale.
// A directory that does not exist lists nothing.
std::vector<std::string> listDirectory(std::string_view directory, std::string_view mask, ListKind kind);

// True when a bare name matches a mask as listDirectory matches it.
bool matchesMask(std::string_view name, std::string_view mask);

// Sorts names case-insensitively in the user's locale (LC_COLLATE); names
// equal but for case keep a fixed order.
void sortNames(std::vector<std::string>& names);

// Creates a directory and its parents when missing. Raises EInOutError when
// that fails.
void ensureDirectory(std::string_view path);

}  // namespace orbis
