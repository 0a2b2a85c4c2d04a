#include "imaging/ColorReduction.h"

#include <algorithm>
#include <stdexcept>

#include "imaging/ColorMatcher.h"
#include "imaging/Quantize.h"

namespace vantrix {
namespace {

size_t PixelCount(const TPicture& picture) {
  return picture.Empty() ? 0 : static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height());
}

// The entry that the fewest opaque pixels are nearest to; the last one on a tie.
int LeastUsedEntry(const TPicture& picture, const std::vector<uint8_t>* mask, const TPalette& palette) {
  std::vector<size_t> uses(palette.size(), 0);
  TColorMatcher matcher(palette);
  const int w = picture.Width(), bpp = picture.BytesPerPixel();
  int lastKey = -1, lastIdx = 0;
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* p = picture.Row(y);
    const uint8_t* m = mask != nullptr ? mask->data() + static_cast<size_t>(y) * w : nullptr;
    for (int x = 0; x < w; ++x, p += bpp) {
      if (m != nullptr && m[x] != 0) continue;
      const int key = p[2] << 16 | p[1] << 8 | p[0];
      if (key != lastKey) {
        lastKey = key;
        lastIdx = matcher.Nearest(p[2], p[1], p[0]);
      }
      ++uses[lastIdx];
    }
  }
  int least = 0;
  for (size_t i = 1; i < uses.size(); ++i)
    if (uses[i] <= uses[least]) least = static_cast<int>(i);
  return least;
}

}  // namespace

int GifColorsOfListIndex(int index) {
  return 1 << (std::clamp(index, 0, 5) + 3);
}

void ApplyGifPreset(TGifOptions& options, int preset) {
  static constexpr int kColors[3] = {16, 64, 256};
  if (preset < 0 || preset > 2) return;
  options.Colors = kColors[preset];
  options.Dither = kDitherNone;
  options.Palette = kPaletteOptimized;
}

std::vector<uint8_t> TransparencyFromMask(const TPicture& scaledMask) {
  std::vector<uint8_t> out(PixelCount(scaledMask), 0);
  const int w = scaledMask.Width(), bpp = scaledMask.BytesPerPixel();
  for (int y = 0; y < scaledMask.Height() && w > 0; ++y) {
    const uint8_t* p = scaledMask.Row(y);
    for (int x = 0; x < w; ++x, p += bpp)
      out[static_cast<size_t>(y) * w + x] = (p[0] | p[1] | p[2]) == 0 ? 1 : 0;
  }
  return out;
}

TIndexedPicture ReduceColors(const TPicture& picture, const std::vector<uint8_t>* transparentMask,
                             const TGifOptions& options) {
  if (options.Palette < 0 || options.Palette >= kPaletteKindCount)
    throw std::invalid_argument("unknown palette");
  if (options.Dither < 0 || options.Dither >= kDitherKindCount)
    throw std::invalid_argument("unknown dithering method");
  const std::vector<uint8_t>* mask = options.Transparent ? transparentMask : nullptr;
  if (mask != nullptr && mask->size() != PixelCount(picture))
    throw std::invalid_argument("transparency mask size does not match the picture");
  const bool transparent = mask != nullptr;
  const int reserved = transparent ? 1 : 0;

  TPalette palette;
  switch (options.Palette) {
    case kPaletteOptimized:
      palette = OptimizedPalette(ColorHistogram(picture, mask),
                                 std::clamp(options.Colors, 2, kMaxPaletteSize) - reserved);
      break;
    case kPaletteOptimizedWindows: {
      const TPalette fixed = WindowsSystemPalette();
      palette = OptimizedPalette(ColorHistogram(picture, mask),
                                 kMaxPaletteSize - static_cast<int>(fixed.size()) - reserved, fixed);
      break;
    }
    default:
      palette = FixedPalette(options.Palette);
      break;
  }

  int transparentIndex = -1;
  if (transparent) {
    if (palette.size() < static_cast<size_t>(kMaxPaletteSize)) {
      transparentIndex = static_cast<int>(palette.size());
      palette.push_back(kTransparentRgb);
    } else {
      transparentIndex = LeastUsedEntry(picture, mask, palette);
      palette[transparentIndex] = kTransparentRgb;
    }
  }
  // A picture with no opaque pixel and no transparency still needs one colour.
  if (palette.empty()) palette.push_back({0, 0, 0});
  return MapPicture(picture, mask, palette, transparentIndex, options.Dither);
}

double MeanSquaredError(const TPicture& truth, const TIndexedPicture& mapped,
                        const std::vector<uint8_t>* mask) {
  const size_t count = PixelCount(truth);
  if (mapped.Width != (truth.Empty() ? 0 : truth.Width()) ||
      mapped.Height != (truth.Empty() ? 0 : truth.Height()) || mapped.Pixels.size() != count)
    throw std::invalid_argument("mapped picture size does not match the picture");
  if (mask != nullptr && mask->size() != count)
    throw std::invalid_argument("transparency mask size does not match the picture");
  const int w = mapped.Width, bpp = truth.BytesPerPixel();
  double sum = 0;
  size_t counted = 0;
  for (int y = 0; y < mapped.Height; ++y) {
    const uint8_t* p = truth.Row(y);
    for (int x = 0; x < w; ++x, p += bpp) {
      const size_t i = static_cast<size_t>(y) * w + x;
      if (mask != nullptr && (*mask)[i] != 0) continue;
      const uint8_t idx = mapped.Pixels[i];
      if (idx >= mapped.Palette.size()) throw std::invalid_argument("palette index outside the palette");
      const TRgb& c = mapped.Palette[idx];
      const double dr = p[2] - c.R, dg = p[1] - c.G, db = p[0] - c.B;
      sum += dr * dr + dg * dg + db * db;
      ++counted;
    }
  }
  return counted == 0 ? 0.0 : sum / (3.0 * static_cast<double>(counted));
}

}  // namespace vantrix
