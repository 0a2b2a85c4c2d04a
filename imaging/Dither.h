#pragma once
// Mapping a picture onto a palette, with or without error diffusion.
//
// Error diffusion runs in a serpentine scan: even rows left to right, odd
// rows right to left with the kernel mirrored, which avoids the diagonal
// "worms" a one-way scan draws in flat areas. The wanted colour of a pixel is
// its own plus the error it received, clamped to 0..255; the difference
// between that and the chosen entry is spread with the kernel's published
// weights. Errors are summed as integers (weight x error) and divided by the
// kernel's divisor once, rounding half to even, so results do not depend on
// floating-point evaluation order.
//
// Transparent pixels take the transparent index and stay out of the
// diffusion: they neither receive error nor spread any; error aimed at them is
// dropped. No opaque pixel ever takes the transparent index.

#include <cstdint>
#include <vector>

#include "platform/IndexedPicture.h"
#include "platform/Picture.h"

namespace vantrix {

// Dithering list indices.
enum TDitherKind : int {
  kDitherNone = 0,
  kDitherFloydSteinberg = 1,
  kDitherStucki = 2,
  kDitherSierra = 3,  // the three-row kernel
  kDitherJarvisJudiceNinke = 4,
  kDitherStevensonArce = 5,
  kDitherBurkes = 6,
};
constexpr int kDitherKindCount = 7;

// One kernel: where the error goes (Dx for a left-to-right row) and its
// weight; the weights of a kernel sum to Divisor. None has no taps.
struct TDitherTap {
  int Dx, Dy, Weight;
};
struct TDitherKernel {
  std::vector<TDitherTap> Taps;
  int Divisor;
};
// Throws std::invalid_argument for a kind outside 0..6.
const TDitherKernel& DitherKernel(int dither);

// picture: 24 or 32 bits. mask: nullptr or Width * Height bytes, non-zero for
// a transparent pixel. transparentIndex: the palette entry of transparent
// pixels, or -1; it is never chosen for an opaque pixel. The result carries
// the palette and transparentIndex.
// Throws std::invalid_argument for an empty or oversized palette, a dither
// kind outside 0..6, a mask of the wrong size, or a mask with transparent
// pixels but no valid transparent index.
TIndexedPicture MapPicture(const TPicture& picture, const std::vector<uint8_t>* mask, const TPalette& palette,
                           int transparentIndex, int dither);

}  // namespace vantrix
