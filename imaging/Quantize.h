#pragma once
// Optimized palettes: the colours that best stand for a picture's own.
//
// Both quantizers work on the exact colour histogram of the opaque pixels
// (no precision is dropped), so a picture with no more distinct colours than
// asked for keeps every colour exactly.
//
// MedianCutPalette is the textbook method, kept as the yardstick: split the
// box with the widest channel range at the pixel median of that channel.
//
// OptimizedPalette does better in two steps. It splits greedily by variance:
// the next box to split is the one whose best cut lowers the summed squared
// error the most, cut on the channel and at the value that lower it most
// (found from per-value sums, so no sorting is needed). Then a few Lloyd
// (k-means) passes over the histogram move each entry to the mean of the
// colours nearest to it, keeping the best palette seen. Everything is
// deterministic; ties resolve to the lower index or value.

#include <cstdint>
#include <vector>

#include "platform/IndexedPicture.h"
#include "platform/Picture.h"

namespace vantrix {

// One distinct colour, packed as red << 16 | green << 8 | blue, and the
// number of pixels that have it.
struct TColorCount {
  uint32_t Rgb = 0;
  uint32_t Count = 0;
};

// Distinct colours of a 24- or 32-bit picture in ascending Rgb order, leaving
// out the pixels whose mask byte is non-zero (mask: Width * Height bytes, row
// by row; nullptr counts every pixel). Throws std::invalid_argument when the
// mask has the wrong size.
std::vector<TColorCount> ColorHistogram(const TPicture& picture, const std::vector<uint8_t>* mask);

// At most `colors` entries (fewer when the histogram has fewer colours); each
// is the count-weighted mean of its box, rounded half to even.
TPalette MedianCutPalette(const std::vector<TColorCount>& histogram, int colors);

// `fixed` followed by at most `colors` quantized entries. The fixed entries
// take part in the matching of the refinement passes but do not move, so the
// free ones settle where the fixed ones serve badly.
TPalette OptimizedPalette(const std::vector<TColorCount>& histogram, int colors, const TPalette& fixed = {});

// Sum over the histogram of count x squared distance to the nearest entry.
double HistogramError(const std::vector<TColorCount>& histogram, const TPalette& palette);

}  // namespace vantrix
