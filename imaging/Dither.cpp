#include "imaging/Dither.h"

#include <algorithm>
#include <stdexcept>

#include "imaging/ColorMatcher.h"
#include "platform/Rounding.h"

namespace vantrix {
namespace {

// Published weights; Dx is for a left-to-right row.
const TDitherKernel& KernelOf(int dither) {
  static const TDitherKernel kernels[kDitherKindCount] = {
      {{}, 1},
      {{{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}, 16},
      {{{1, 0, 8},
        {2, 0, 4},
        {-2, 1, 2},
        {-1, 1, 4},
        {0, 1, 8},
        {1, 1, 4},
        {2, 1, 2},
        {-2, 2, 1},
        {-1, 2, 2},
        {0, 2, 4},
        {1, 2, 2},
        {2, 2, 1}},
       42},
      {{{1, 0, 5},
        {2, 0, 3},
        {-2, 1, 2},
        {-1, 1, 4},
        {0, 1, 5},
        {1, 1, 4},
        {2, 1, 2},
        {-1, 2, 2},
        {0, 2, 3},
        {1, 2, 2}},
       32},
      {{{1, 0, 7},
        {2, 0, 5},
        {-2, 1, 3},
        {-1, 1, 5},
        {0, 1, 7},
        {1, 1, 5},
        {2, 1, 3},
        {-2, 2, 1},
        {-1, 2, 3},
        {0, 2, 5},
        {1, 2, 3},
        {2, 2, 1}},
       48},
      {{{2, 0, 32},
        {-3, 1, 12},
        {-1, 1, 26},
        {1, 1, 30},
        {3, 1, 16},
        {-2, 2, 12},
        {0, 2, 26},
        {2, 2, 12},
        {-3, 3, 5},
        {-1, 3, 12},
        {1, 3, 12},
        {3, 3, 5}},
       200},
      {{{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}}, 32},
  };
  return kernels[dither];
}

constexpr int kErrRows = 4;  // deepest kernel: the current row and three below

int ToByte(int v) {
  return std::clamp(v, 0, 255);
}

}  // namespace

const TDitherKernel& DitherKernel(int dither) {
  if (dither < 0 || dither >= kDitherKindCount) throw std::invalid_argument("unknown dithering method");
  return KernelOf(dither);
}

TIndexedPicture MapPicture(const TPicture& picture, const std::vector<uint8_t>* mask, const TPalette& palette,
                           int transparentIndex, int dither) {
  if (palette.empty() || palette.size() > static_cast<size_t>(kMaxPaletteSize))
    throw std::invalid_argument("palette must have 1 to 256 entries");
  if (dither < 0 || dither >= kDitherKindCount) throw std::invalid_argument("unknown dithering method");
  if (transparentIndex >= static_cast<int>(palette.size()) || transparentIndex < -1)
    throw std::invalid_argument("transparent index outside the palette");

  TIndexedPicture out;
  out.Palette = palette;
  out.TransparentIndex = transparentIndex;
  if (picture.Empty()) return out;
  const int w = picture.Width(), h = picture.Height();
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  if (mask != nullptr && mask->size() != count)
    throw std::invalid_argument("transparency mask size does not match the picture");
  if (mask != nullptr && transparentIndex < 0 &&
      std::any_of(mask->begin(), mask->end(), [](uint8_t m) { return m != 0; }))
    throw std::invalid_argument("transparent pixels need a transparent index");
  out.Width = w;
  out.Height = h;
  out.Pixels.assign(count, 0);

  TColorMatcher matcher(palette, transparentIndex);
  const int bpp = picture.BytesPerPixel();
  const TDitherKernel& kernel = KernelOf(dither);
  auto transparentAt = [&](int x, int y) {
    return mask != nullptr && (*mask)[static_cast<size_t>(y) * w + x] != 0;
  };

  if (kernel.Taps.empty()) {
    // Runs of one colour are common in rendered pictures; remember the last match.
    int lastKey = -1, lastIdx = 0;
    for (int y = 0; y < h; ++y) {
      const uint8_t* p = picture.Row(y);
      uint8_t* dst = out.Pixels.data() + static_cast<size_t>(y) * w;
      for (int x = 0; x < w; ++x, p += bpp) {
        if (transparentAt(x, y)) {
          dst[x] = static_cast<uint8_t>(transparentIndex);
          continue;
        }
        const int key = p[2] << 16 | p[1] << 8 | p[0];
        if (key != lastKey) {
          lastKey = key;
          lastIdx = matcher.Nearest(p[2], p[1], p[0]);
        }
        dst[x] = static_cast<uint8_t>(lastIdx);
      }
    }
    return out;
  }

  // err[row % kErrRows][x * 3 + channel]: weight-times-error sums.
  const size_t rowLen = static_cast<size_t>(w) * 3;
  std::vector<int32_t> err(rowLen * kErrRows, 0);
  auto errRow = [&](int y) { return err.data() + static_cast<size_t>(y % kErrRows) * rowLen; };
  const double divisor = kernel.Divisor;

  for (int y = 0; y < h; ++y) {
    const bool forward = (y % 2) == 0;
    const int dir = forward ? 1 : -1;
    const uint8_t* row = picture.Row(y);
    uint8_t* dst = out.Pixels.data() + static_cast<size_t>(y) * w;
    int32_t* here = errRow(y);
    for (int i = 0; i < w; ++i) {
      const int x = forward ? i : w - 1 - i;
      if (transparentAt(x, y)) {
        dst[x] = static_cast<uint8_t>(transparentIndex);
        continue;
      }
      const uint8_t* p = row + static_cast<size_t>(x) * bpp;
      const int32_t* e = here + static_cast<size_t>(x) * 3;
      const int want[3] = {ToByte(p[2] + RoundInt(e[0] / divisor)), ToByte(p[1] + RoundInt(e[1] / divisor)),
                           ToByte(p[0] + RoundInt(e[2] / divisor))};
      const int idx = matcher.Nearest(want[0], want[1], want[2]);
      dst[x] = static_cast<uint8_t>(idx);
      const TRgb& got = palette[idx];
      const int diff[3] = {want[0] - got.R, want[1] - got.G, want[2] - got.B};
      if (diff[0] == 0 && diff[1] == 0 && diff[2] == 0) continue;
      for (const TDitherTap& t : kernel.Taps) {
        const int nx = x + t.Dx * dir, ny = y + t.Dy;
        if (nx < 0 || nx >= w || ny >= h || transparentAt(nx, ny)) continue;
        int32_t* target = errRow(ny) + static_cast<size_t>(nx) * 3;
        target[0] += diff[0] * t.Weight;
        target[1] += diff[1] * t.Weight;
        target[2] += diff[2] * t.Weight;
      }
    }
    std::fill(here, here + rowLen, 0);
  }
  return out;
}

}  // namespace vantrix
