#pragma once
// The detector's per-frame pass: one walk over the delivered rows that makes
// the luma, the difference from the previous frame with that frame's bright
// spots blotted out, and the noise level, without a full histogram.
//
// Only the bins 0..50 of the difference's histogram decide anything (the
// noise level is the first bin 0..49 holding fewer than a limit of pixels,
// else 50), and a bin's count is needed exactly only for the bin that turns
// out to be the noise level: every bin below it merely has to reach the
// limit. So each row counts a small window of bins with byte-wide vector
// counters; a bin that has reached the limit on the rows seen so far is
// settled and the window moves past it. A bin that entered the window late
// and has not reached the limit is counted again over the rows it missed.

#include <cstddef>
#include <cstdint>

namespace orbis {

// What a delivered frame is read as: its luma byte's place in a pixel, rows
// reversed (top row first as delivered, bottom row first as stored), and
// the dark frame to subtract and the mask to apply (either may be null).
struct TLumaSource {
    const uint8_t* pixels = nullptr;
    int step = 1, offset = 0;
    bool reverseRows = false;
    const uint8_t* dark = nullptr;
    const uint8_t* mask = nullptr;
};

// The previous frame, as the pass reads it: its luma, an upper bound of
// every row's luma (the row maxima the pass before wrote), and the threshold
// above which its pixels blot the difference (as MarkBright marks them).
struct TPreviousLuma {
    const uint8_t* luma = nullptr;
    const uint8_t* rowMax = nullptr;
    int blotThreshold = 255;
};

// Where the pass writes: the luma (after dark and mask) with its row maxima,
// and the blotted difference with an upper bound of every row's values.
// Every buffer is width * height bytes, the row maxima height bytes; none
// may overlap the previous frame's.
struct TDifferenceOutput {
    uint8_t* luma = nullptr;
    uint8_t* lumaRowMax = nullptr;
    uint8_t* difference = nullptr;
    uint8_t* differenceRowMax = nullptr;
};

struct TDifferenceSummary {
    uint64_t lumaSum = 0;      // the luma bytes as delivered, before dark and mask
    int noise = 50;            // the first bin 0..49 below the limit, else 50
    uint32_t noisePixels = 0;  // the histogram's count at the noise level
};

// luma = the delivered luma less the dark frame (clamped at 0), ANDed with
// the mask; difference = max(luma - previous, 0), then 0 around every
// interior pixel of the previous frame above its threshold, exactly as
// DiffHistogram against MarkBright's reference gives it; and that
// difference's noise level for noiseLimit.
TDifferenceSummary DifferenceFrame(const TLumaSource& source, std::size_t width, std::size_t height,
                                   const TPreviousLuma& previous, uint32_t noiseLimit,
                                   const TDifferenceOutput& output);

}  // namespace orbis
