#pragma once
// Pictures with an alpha channel, as the PNG and WebP writers take them.
//
// TRgbaPicture holds Width x Height pixels row by row from the top, four bytes
// each: red, green, blue, alpha, the colour not premultiplied (the order and
// meaning libpng and libwebp expect). Alpha 0 is fully transparent; such a
// pixel's colour is 0 0 0 by convention, so that equal pictures compare equal.
//
// TAlphaIndexedPicture is an indexed picture whose palette entries each carry
// an alpha: Alpha has one byte per Palette entry.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/IndexedPicture.h"

namespace vantrix {

struct TRgbaPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;

  TRgbaPicture() = default;
  TRgbaPicture(int width, int height)
      : Width(width), Height(height), Pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {}
  bool Empty() const { return Width <= 0 || Height <= 0; }
  uint8_t* At(int x, int y) { return Pixels.data() + (static_cast<size_t>(y) * Width + x) * 4; }
  const uint8_t* At(int x, int y) const { return Pixels.data() + (static_cast<size_t>(y) * Width + x) * 4; }
  friend bool operator==(const TRgbaPicture&, const TRgbaPicture&) = default;
};

struct TAlphaIndexedPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;
  TPalette Palette;
  std::vector<uint8_t> Alpha;
};

}  // namespace vantrix
