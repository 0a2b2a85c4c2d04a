#pragma once
// Palette colours and pictures of palette indices, the form in which a
// colour-reduced picture travels from the reduction to the GIF writer.
//
// A TRgb is one palette entry with 8 bits per channel. A TIndexedPicture holds
// Width x Height indices, row by row from the top, each < Palette.size(); at
// most 256 entries. TransparentIndex names the entry that stands for "no
// pixel" (always magenta, 255 0 255), or is -1 for an opaque picture.

#include <cstdint>
#include <vector>

namespace vantrix {

struct TRgb {
  uint8_t R = 0;
  uint8_t G = 0;
  uint8_t B = 0;
  friend bool operator==(const TRgb&, const TRgb&) = default;
};

using TPalette = std::vector<TRgb>;

// The colour of transparent pixels in the palette.
constexpr TRgb kTransparentRgb{255, 0, 255};

// The most entries a palette can have: a GIF index is one byte.
constexpr int kMaxPaletteSize = 256;

struct TIndexedPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;
  TPalette Palette;
  int TransparentIndex = -1;
};

}  // namespace vantrix
