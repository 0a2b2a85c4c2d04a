#pragma once
// Colour reduction of a picture with alpha, for the indexed PNG.
//
// Everything is measured as it shows: the distance between two RGBA colours
// is the distance between them composited over black plus the distance
// between them composited over white. Two nearly transparent pixels are then
// close whatever their straight colours, an error in a pixel counts as much
// as it shows, and an error in alpha counts in every channel, as it does over
// a light page.
//
// Fully transparent pixels (alpha 0) take an entry of their own, 0 0 0 0,
// which no other pixel takes; they are left out of the palette search and of
// dithering. The other pixels are quantized like the GIF palette
// (Quantize.h): greedy variance splits over the six composite values, then a
// few Lloyd passes, deterministic. A picture with no more distinct colours than asked
// for keeps them exactly.

#include <vector>

#include "platform/RgbaPicture.h"

namespace vantrix {

// colors: 2..256 entries in all (clamped), the transparent one included.
// dither: a dithering list index (Dither.h), diffusing the premultiplied error.
// Throws std::invalid_argument for a dithering index outside the list.
TAlphaIndexedPicture ReduceColorsAlpha(const TRgbaPicture& picture, int colors, int dither);

// Mean over the pixels and four channels of the squared premultiplied
// difference between the mapped picture and the true one.
double MeanSquaredErrorAlpha(const TRgbaPicture& truth, const TAlphaIndexedPicture& mapped);

}  // namespace vantrix
