#include "imaging/Palette.h"

#include "platform/Rounding.h"

namespace vantrix {
namespace {

// The static colours of the system palette, low ten then high ten.
constexpr TRgb kSystemColors[20] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

bool IsCubeLevel(uint8_t v) {
  return v % 51 == 0;
}

}  // namespace

TPalette WebPalette() {
  TPalette p;
  p.reserve(216);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p.push_back(
            {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)});
  return p;
}

TPalette MonochromePalette() {
  return {{0, 0, 0}, {255, 255, 255}};
}

TPalette GrayscalePalette() {
  TPalette p(256);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(i);
    p[i] = {v, v, v};
  }
  return p;
}

TPalette WindowsGrayPalette() {
  return {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
}

TPalette WindowsSystemPalette() {
  return TPalette(std::begin(kSystemColors), std::end(kSystemColors));
}

TPalette HalftonePalette() {
  TPalette p = WebPalette();
  for (const TRgb& c : kSystemColors)
    if (!(IsCubeLevel(c.R) && IsCubeLevel(c.G) && IsCubeLevel(c.B))) p.push_back(c);
  // The cube has only six greys; a finer grey ramp serves shaded metal and
  // shadows, which buttons are full of.
  for (int i = 1; i <= 28; ++i) {
    const auto v = static_cast<uint8_t>(RoundInt(255.0 * i / 29.0));
    p.push_back({v, v, v});
  }
  return p;
}

TPalette FixedPalette(int kind) {
  // Indexed by palette kind; the optimized kinds are made from the picture.
  static constexpr TPalette (*kMakers[kPaletteKindCount])() = {
      nullptr,
      WebPalette,
      MonochromePalette,
      GrayscalePalette,
      WindowsGrayPalette,
      WindowsSystemPalette,
      HalftonePalette,
      nullptr,
  };
  static_assert(kPaletteWeb == 1 && kPaletteHalftone == 6 && kPaletteOptimizedWindows == 7);
  if (kind < 0 || kind >= kPaletteKindCount || !kMakers[kind]) return {};
  return kMakers[kind]();
}

}  // namespace vantrix
