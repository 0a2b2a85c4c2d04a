#pragma once
// Colour reduction of an export picture for a GIF file: palette choice,
// transparency and dithering in one call, plus the settings of the export page.
//
// Pictures are 24 or 32 bits (bytes blue, green, red). A transparency mask
// holds Width * Height bytes, row by row from the top, non-zero where the
// pixel is transparent.
//
// Transparency is on when the options ask for it and a mask is given. The
// palette then always holds magenta at TransparentIndex, an entry no opaque
// pixel takes, so an opaque magenta pixel stays opaque:
//  - optimized palettes quantize one colour fewer and put magenta last;
//  - fixed palettes under 256 entries get magenta appended;
//  - the 256-entry fixed palettes (grayscale, halftone) give up the entry that
//    the fewest opaque pixels are nearest to (the last such on a tie), and
//    magenta takes its place.
// Transparent pixels are left out of the optimized palette and of dithering.
// When transparency is off the mask is ignored and every pixel is coloured.

#include <cstdint>
#include <vector>

#include "imaging/Dither.h"
#include "imaging/Palette.h"
#include "platform/IndexedPicture.h"
#include "platform/Picture.h"

namespace vantrix {

struct TGifOptions {
  int Palette = kPaletteOptimized;  // palette list index, TPaletteKind
  int Colors = 256;                 // entries of the " Optimized" palette, 2..256
  int Dither = kDitherNone;         // dithering list index, TDitherKind
  bool Transparent = true;
};

// " 8" ... " 256" of the colour list (index 0..5) as a count: 1 << (index + 3).
// Indices outside the list are clamped into it.
int GifColorsOfListIndex(int index);

// The " Simple Options " presets 0..2 (fast download, medium, high quality):
// 16, 64 or 256 colours, no dithering, optimized palette; transparency is
// left as it was. Other indices change nothing.
void ApplyGifPreset(TGifOptions& options, int preset);

// The transparency mask of an export picture from its mask picture scaled to
// the same size: transparent where the mask pixel is exactly black.
std::vector<uint8_t> TransparencyFromMask(const TPicture& scaledMask);

// The reduction itself. The " Optimized Windows (256)" palette always has 256
// entries (the 20 static colours, then quantized ones); Colors counts only for
// " Optimized". Throws std::invalid_argument for a palette or dithering index
// outside its list and for a mask of the wrong size.
TIndexedPicture ReduceColors(const TPicture& picture, const std::vector<uint8_t>* transparentMask,
                             const TGifOptions& options);

// Mean over the opaque pixels and the three channels of the squared
// difference between the mapped colour and the true one (0 when no pixel
// counts). mask as above; nullptr compares every pixel. Throws
// std::invalid_argument when sizes differ or an index lies outside the palette.
double MeanSquaredError(const TPicture& truth, const TIndexedPicture& mapped,
                        const std::vector<uint8_t>* mask);

}  // namespace vantrix
