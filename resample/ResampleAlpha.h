#pragma once
// Filtered resampling of pictures with alpha.
//
// A picture with alpha must be filtered premultiplied: a transparent pixel
// has no colour, and averaging straight colours would pull every edge toward
// whatever colour its transparent neighbours happen to hold. So the source is
// a TPremultipliedPicture and the result is straight RGBA.
//
// Conventions (as ResampleBitmap, see Resample.h, with the same weight
// tables, here scaled to sum to 1 so that an opaque area stays opaque):
// values are on the byte scale 0..255 as floats, four per pixel: red, green,
// blue premultiplied by alpha, then alpha. Sums are doubles.
//
// Ringing leaves the representable range (alpha 0..255, colour 0..alpha).
// The sums are taken as what they composite to: over black the colour, over
// white colour + 255 - alpha. After each pass both composites are clamped to
// 0..255, as the opaque resampler clamps a picture on black and one on
// white; at the end they are rounded to whole levels and the pixel becomes
// the one with exactly those composites. Where no alpha can give them (over
// white darker than over black) it is opaque, halfway between the two; where
// both are within a level of the bare background it is 0 0 0 0. Colour is
// then un-premultiplied: RoundInt(255 x colour / alpha). Without ringing this
// is the plain clamp and un-premultiply.

#include <cstddef>
#include <vector>

#include "platform/RgbaPicture.h"
#include "resample/Resample.h"

namespace vantrix {

struct TPremultipliedPicture {
  int Width = 0;
  int Height = 0;
  std::vector<float> Values;  // Width x Height x 4, row by row from the top

  TPremultipliedPicture() = default;
  TPremultipliedPicture(int width, int height)
      : Width(width), Height(height), Values(static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {}
  float* At(int x, int y) { return Values.data() + (static_cast<size_t>(y) * Width + x) * 4; }
  const float* At(int x, int y) const { return Values.data() + (static_cast<size_t>(y) * Width + x) * 4; }
};

// The source resized to width x height (each at least 1) with the kernel.
// Throws TResampleError for an empty source and std::invalid_argument for a
// bad support, as ResampleBitmap does.
[[nodiscard]] TRgbaPicture ResizedRgba(const TPremultipliedPicture& source, int width, int height,
                                       TKernelFunc kernel, double support);

// Straight 8-bit RGBA from premultiplied values with the final rule above,
// without resizing.
[[nodiscard]] TRgbaPicture UnpremultipliedRgba(const TPremultipliedPicture& source);

}  // namespace vantrix
