#pragma once
// Photometry and the sky coordinates of the track: the catalog magnitudes of
// the stars measured on M.bmp, the track lines carried into A.txt, and their
// right ascension and declination from the plate solution. Every work file
// is read strictly (processing/uWorkFiles): a line without its layout or
// with a value out of its range raises EConvertError naming the file and the
// line before anything is written.

#include <functional>
#include <string>
#include <vector>

namespace orbis {

// Carries a pixel position of an unprocessed frame into the processed frame.
using PointMapping = std::function<void(int& x, int& y)>;

// Gives every star of M.txt, at its position mapped into the processed
// frame, the catalog magnitude of the last S.txt star within 5 pixels
// (empty when none): "0|0|X|Y|sum|count|magnitude". A missing S.txt gives
// every star an empty magnitude.
void attachCatalogMagnitudes(const std::string& mTxtPath, const std::string& sTxtPath, const PointMapping& map);

// The track file's lines mapped into the processed frame, as they go into
// A.txt: "0|0|X|Y|frame|value|START|".
std::vector<std::string> mappedTrackLines(const std::string& trackFilePath, const PointMapping& map);

// Rewrites the START and FINISH lines of A.txt with the sky position of their
// pixels: "ra|dec|x|y|…" (ra and dec "0.000"), from the plate fitted to the
// reference stars about the frame centre. Without a centre line or with
// fewer than three reference stars the lines keep their placeholders.
// Returns false in that case.
bool computeTrackCoordinates(const std::string& aTxtPath);

}  // namespace orbis
