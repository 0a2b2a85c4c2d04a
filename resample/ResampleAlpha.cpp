#include "resample/ResampleAlpha.h"

#include <algorithm>

#include "platform/Rounding.h"

namespace vantrix {
namespace {

void StorePixel(const double* v, uint8_t* out) {
  const double alpha = std::clamp(v[3], 0.0, 255.0);
  const int a = RoundInt(alpha);
  if (a == 0) {
    out[0] = out[1] = out[2] = out[3] = 0;
    return;
  }
  for (int c = 0; c < 3; ++c) {
    const double colour = std::clamp(v[c], 0.0, alpha);
    out[c] = static_cast<uint8_t>(ClampInt(RoundInt(255.0 * colour / alpha), 0, 255));
  }
  out[3] = static_cast<uint8_t>(a);
}

}  // namespace

TRgbaPicture ResizedRgba(const TPremultipliedPicture& source, int width, int height, TKernelFunc kernel,
                         double support) {
  if (source.Width < 1 || source.Height < 1) throw TResampleError("Source bitmap too small");
  width = std::max(width, 1);
  height = std::max(height, 1);
  const TWeightTable columns(source.Width, width, kernel, support);
  const TWeightTable rows(source.Height, height, kernel, support);

  // Horizontal pass into width x source height, kept as doubles.
  const size_t midStride = static_cast<size_t>(width) * 4;
  std::vector<double> mid(midStride * static_cast<size_t>(source.Height));
  for (int y = 0; y < source.Height; ++y) {
    double* out = mid.data() + static_cast<size_t>(y) * midStride;
    for (int i = 0; i < width; ++i, out += 4) {
      const TWeightList list = columns.List(i);
      double sum[4] = {0, 0, 0, 0};
      for (int e = 0; e < list.Count; ++e) {
        const float* px = source.At(list.Entries[e].Pixel, y);
        const double w = list.Entries[e].Weight;
        for (int c = 0; c < 4; ++c) sum[c] += w * px[c];
      }
      std::copy(sum, sum + 4, out);
    }
  }

  // Vertical pass, whole rows times one weight.
  TRgbaPicture result(width, height);
  std::vector<double> sums(midStride);
  for (int j = 0; j < height; ++j) {
    std::fill(sums.begin(), sums.end(), 0.0);
    const TWeightList list = rows.List(j);
    for (int e = 0; e < list.Count; ++e) {
      const double* row = mid.data() + static_cast<size_t>(list.Entries[e].Pixel) * midStride;
      const double w = list.Entries[e].Weight;
      for (size_t k = 0; k < midStride; ++k) sums[k] += w * row[k];
    }
    for (int x = 0; x < width; ++x) StorePixel(sums.data() + 4 * static_cast<size_t>(x), result.At(x, j));
  }
  return result;
}

TRgbaPicture UnpremultipliedRgba(const TPremultipliedPicture& source) {
  TRgbaPicture result(source.Width, source.Height);
  for (int y = 0; y < source.Height; ++y)
    for (int x = 0; x < source.Width; ++x) {
      const float* p = source.At(x, y);
      const double v[4] = {p[0], p[1], p[2], p[3]};
      StorePixel(v, result.At(x, y));
    }
  return result;
}

}  // namespace vantrix
