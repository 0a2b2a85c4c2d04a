#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "imaging/Palette.h"

namespace vantrix {
namespace {

bool Holds(const TPalette& p, TRgb c) {
  return std::find(p.begin(), p.end(), c) != p.end();
}

std::set<std::tuple<int, int, int>> Distinct(const TPalette& p) {
  std::set<std::tuple<int, int, int>> s;
  for (const TRgb& c : p) s.insert({c.R, c.G, c.B});
  return s;
}

TEST(FixedPalette, SizesByListIndex) {
  const size_t sizes[kPaletteKindCount] = {0, 216, 2, 256, 4, 20, 256, 0};
  for (int kind = 0; kind < kPaletteKindCount; ++kind) {
    const TPalette p = FixedPalette(kind);
    EXPECT_EQ(p.size(), sizes[kind]) << "palette " << kind;
    EXPECT_EQ(Distinct(p).size(), p.size()) << "palette " << kind << " repeats a colour";
  }
  EXPECT_TRUE(FixedPalette(-1).empty());
  EXPECT_TRUE(FixedPalette(8).empty());
}

TEST(FixedPalette, Colours) {
  const TPalette web = WebPalette();
  EXPECT_EQ(web[36 * 5 + 6 * 0 + 5], (TRgb{255, 0, 255}));
  EXPECT_EQ(web[36 * 1 + 6 * 2 + 3], (TRgb{51, 102, 153}));
  for (const TRgb& c : web) EXPECT_TRUE(c.R % 51 == 0 && c.G % 51 == 0 && c.B % 51 == 0);

  EXPECT_EQ(MonochromePalette(), (TPalette{{0, 0, 0}, {255, 255, 255}}));
  const TPalette grey = GrayscalePalette();
  for (int i = 0; i < 256; ++i) EXPECT_EQ(grey[i], (TRgb{uint8_t(i), uint8_t(i), uint8_t(i)}));
  EXPECT_EQ(WindowsGrayPalette(), (TPalette{{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}}));

  const TPalette sys = WindowsSystemPalette();
  const TPalette expected = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                             {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                             {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                             {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                             {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  EXPECT_EQ(sys, expected);

  // Halftone: the cube at the web indices, every static colour, and greys.
  const TPalette half = HalftonePalette();
  EXPECT_TRUE(std::equal(web.begin(), web.end(), half.begin()));
  for (const TRgb& c : sys) EXPECT_TRUE(Holds(half, c)) << int(c.R) << "," << int(c.G) << "," << int(c.B);
  int greys = 0;
  for (const TRgb& c : half) greys += c.R == c.G && c.G == c.B;
  EXPECT_GE(greys, 6 + 2 + 28);
}

}  // namespace
}  // namespace vantrix
