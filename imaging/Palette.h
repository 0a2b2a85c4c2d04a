#pragma once
// The fixed palettes of the GIF export, by their place in the palette list.
//
// Entry orders are part of the contract (tests and files depend on them):
//  - web: the 6 x 6 x 6 cube of the levels 0, 51, ..., 255, index
//    36 * r + 6 * g + b with r, g, b the level numbers 0..5;
//  - monochrome: black, white;
//  - grayscale: grey level i at index i;
//  - Windows greys: black, grey 128, silver 192, white;
//  - Windows system: the 20 static colours in system palette order (the ten
//    low ones from black to sky blue, then the ten high ones from cream to white);
//  - halftone: the web cube (same indices), then the 12 static colours that
//    the cube lacks, in system order, then 28 evenly spaced greys that neither
//    the cube nor the static colours hold (RoundInt(255 * i / 29), i = 1..28).
//    256 entries, all different.

#include "platform/IndexedPicture.h"

namespace vantrix {

// Palette list indices.
enum TPaletteKind : int {
  kPaletteOptimized = 0,
  kPaletteWeb = 1,
  kPaletteMonochrome = 2,
  kPaletteGrayscale = 3,
  kPaletteWindowsGray = 4,
  kPaletteWindowsSystem = 5,
  kPaletteHalftone = 6,
  kPaletteOptimizedWindows = 7,
};
constexpr int kPaletteKindCount = 8;

TPalette WebPalette();
TPalette MonochromePalette();
TPalette GrayscalePalette();
TPalette WindowsGrayPalette();
TPalette WindowsSystemPalette();
TPalette HalftonePalette();

// The fixed palette of a list index; empty for the two optimized kinds and
// for an index outside 0..7.
TPalette FixedPalette(int kind);

}  // namespace vantrix
