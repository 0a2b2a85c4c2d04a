#pragma once
// Filtered resampling of pictures with alpha.
//
// A picture with alpha must be filtered premultiplied: a transparent pixel
// has no colour, and averaging straight colours would pull every edge toward
// whatever colour its transparent neighbours happen to hold. So the source is
// a TPremultipliedPicture and the result is straight RGBA.
//
// Conventions (as ResampleBitmap, see Resample.h, with the same weight
// tables): values are on the byte scale 0..255 as floats, four per pixel:
// red, green, blue premultiplied by alpha, then alpha. Sums are doubles and
// are not rounded between the two passes. At the end alpha is clamped to
// 0..255 and each colour to 0..alpha (ringing of the kernel can leave both
// ranges), alpha is rounded with RoundInt, and a pixel whose alpha rounds to
// 0 becomes 0 0 0 0; otherwise colour = RoundInt(255 x colour / alpha).

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

// Straight 8-bit RGBA from premultiplied values with the clamping and the
// rule for alpha 0 above, without resizing.
[[nodiscard]] TRgbaPicture UnpremultipliedRgba(const TPremultipliedPicture& source);

}  // namespace vantrix
