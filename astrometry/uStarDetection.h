#pragma once
// Star detection: finds the stars of a processed frame by a run-based flood
// fill above a threshold derived from the frame's mean level, and writes them,
// brightest by mean pixel value first, as the star list file beside the bitmap
// (P.txt for plate binding, M.txt for photometry). The same fill measures the
// brightness of a point marked on the meteor track.
//
// Star list file: one line per star, no header, "0|0|x|y|sum|count", x the
// column and y the row counted from the top of the picture.
//
// Pixel positions are buffer indices (row * width + column) with rows
// bottom-up, as the bitmap holds them.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orbis {

class TConfiguration;
class UserNotifier;

// One star as the fill leaves it.
struct TStarPhotoDescription {
    // Every index starts at the seed, the counts at 0.
    explicit TStarPhotoDescription(int seed);

    int startIndex;      // the seed pixel
    int minIndex;        // smallest index: the star's lowest row
    int leftIndex;       // a pixel of the smallest column (the first met)
    int rightIndex;      // a pixel of the largest column (the first met)
    int maxIndex;        // largest index: the star's highest row
    int brightestIndex;  // the brightest pixel (the first met among equals)
    int pixelCount = 0;
    // A bright extended area (the Moon, a lit cloud) of millions of pixels
    // overflows 32 bits.
    int64_t brightnessSum = 0;

    // Centre of the bounding box, integer halves.
    int centreColumn(int width) const;
    int centreRow(int width) const;
    int brightestColumn(int width) const;
    int brightestRow(int width) const;
};

// Adds to d every pixel connected (8 neighbours) to the seed at or above the
// threshold, and marks it in visited. Pixels are taken in horizontal runs; the
// run's neighbours are the plain index ranges one pixel wider on each side in
// the row below and the row above, so a run at the left or right edge of the
// picture also tries pixels at the other end of the buffer (its own row, and
// the row two below or above).
// The visiting order is that of the depth-first fill over runs (the first
// qualifying neighbour below is filled completely before the next is tried,
// then those above), which decides leftIndex, rightIndex and brightestIndex.
// A seed below the threshold has an empty run: only the pixels directly below
// and above it are tried. No recursion, so an area of any size is safe.
// Requires width > 0, 0 <= seed < n, image and visited of exactly n bytes
// (std::invalid_argument otherwise).
void fillStar(int threshold, int seed, int width, int n, TStarPhotoDescription& d, std::span<const uint8_t> image,
              std::vector<uint8_t>& visited);

// Selection sort by descending brightnessSum / pixelCount (a real division; a
// description without pixels counts as 0). Among equal means the earlier one
// is taken first at each position, but the exchanges do not keep the order of
// the rest.
void sortByMeanBrightness(std::vector<TStarPhotoDescription>& list);

// Where a star's line puts it: P.txt uses the bounding-box centre, M.txt the
// brightest pixel.
enum class StarPosition { BoundingBoxCentre, BrightestPixel };

// Detects the stars of an 8-bit bitmap (threshold = mean level +
// levelNoiseMax) and writes the star list file starListOfBitmap(bitmapPath),
// replacing an existing one: at most autoDetectNStar stars with
// minimumSize < pixelCount < 150, brightest by mean first; an empty list
// writes an empty file. A missing bitmap is reported through the notifier and
// gives false with no file written. An unreadable file raises EInOutError, one
// that is not an 8-bit bitmap EInvalidGraphic.
bool generateListBrightPixels(const std::string& bitmapPath, int minimumSize, StarPosition position,
                              const TConfiguration& config, UserNotifier& notifier);

struct TBrightness {
    int pixelCount = 0;
    int64_t brightnessSum = 0;
};

// The spot at picture position (x, y), y counted from the top: the fill from
// that pixel with the detection threshold. A pixel below the threshold
// measures the stars directly above and below it; a position outside the
// picture measures nothing. Load errors as generateListBrightPixels.
TBrightness measureBrightness(const std::string& bitmapPath, int x, int y, const TConfiguration& config);

}  // namespace orbis
