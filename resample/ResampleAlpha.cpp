#include "resample/ResampleAlpha.h"

#include <algorithm>

#include "platform/Rounding.h"

namespace vantrix {
namespace {

// The filter is linear, so the unclamped sums composite exactly: over black
// to colour, over white to colour + 255 - alpha. The opaque resampler clamps
// each pass's bytes to 0..255, so a picture reduced on black and one reduced
// on white lose the ringing that leaves that range; ClipComposites does the
// same to the sums after the first pass. The sums may still say "darker over
// white than over black" (alpha above 1), which two opaque pictures can hold.
// Only the final pixel must be one picture with alpha: Project makes it the
// one nearest to the two clamped composites.
void ClipComposites(double* v) {
  double overBlack[3], through = 0;
  for (int c = 0; c < 3; ++c) {
    overBlack[c] = std::clamp(v[c], 0.0, 255.0);
    through += std::clamp(v[c] + 255.0 - v[3], 0.0, 255.0) - overBlack[c];
  }
  for (int c = 0; c < 3; ++c) v[c] = overBlack[c];
  v[3] = 255.0 - through / 3;
}

// The final pixel: composites rounded to whole levels, then the one picture
// with alpha that shows them (see ResampleAlpha.h).
void Project(double* v) {
  ClipComposites(v);
  double through = 0;
  for (int c = 0; c < 3; ++c) {
    const double overWhite = RoundInt(v[c] + 255.0 - v[3]);
    v[c] = RoundInt(v[c]);
    through += overWhite - v[c];
  }
  v[3] = 255.0 - through / 3;
  // Within a level of the bare background over both: the kernel's faint tail
  // beside a shape, not something drawn. It is left out, so that the empty
  // parts of the picture are exactly transparent.
  if (v[3] <= 1.0) {
    v[0] = v[1] = v[2] = v[3] = 0.0;
    return;
  }
  if (v[3] >= 255.0) {
    // No alpha can show that; the opaque colour halfway between the two
    // composites splits the error.
    for (int c = 0; c < 3; ++c) v[c] = std::clamp(v[c] + (255.0 - v[3]) / 2, 0.0, 255.0);
    v[3] = 255.0;
  } else {
    for (int c = 0; c < 3; ++c) v[c] = std::min(v[c], v[3]);
  }
}

// The sampled kernel's weights sum to a little under or over 1 (0.997 for
// Lanczos3 at most reductions); an opaque area must stay opaque, so the
// weights are scaled to sum to 1.
double Normalizer(TWeightList list) {
  double sum = 0;
  for (int e = 0; e < list.Count; ++e) sum += list.Entries[e].Weight;
  return sum > 0 ? 1.0 / sum : 1.0;
}

void StorePixel(double* v, uint8_t* out) {
  Project(v);
  const int a = RoundInt(v[3]);
  if (a <= 0) {
    out[0] = out[1] = out[2] = out[3] = 0;
    return;
  }
  for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(ClampInt(RoundInt(255.0 * v[c] / v[3]), 0, 255));
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
      const double norm = Normalizer(list);
      double sum[4] = {0, 0, 0, 0};
      for (int e = 0; e < list.Count; ++e) {
        const float* px = source.At(list.Entries[e].Pixel, y);
        const double w = list.Entries[e].Weight * norm;
        for (int c = 0; c < 4; ++c) sum[c] += w * px[c];
      }
      ClipComposites(sum);
      std::copy(sum, sum + 4, out);
    }
  }

  // Vertical pass, whole rows times one weight.
  TRgbaPicture result(width, height);
  std::vector<double> sums(midStride);
  for (int j = 0; j < height; ++j) {
    std::fill(sums.begin(), sums.end(), 0.0);
    const TWeightList list = rows.List(j);
    const double norm = Normalizer(list);
    for (int e = 0; e < list.Count; ++e) {
      const double* row = mid.data() + static_cast<size_t>(list.Entries[e].Pixel) * midStride;
      const double w = list.Entries[e].Weight * norm;
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
      double v[4] = {p[0], p[1], p[2], p[3]};
      StorePixel(v, result.At(x, y));
    }
  return result;
}

}  // namespace vantrix
