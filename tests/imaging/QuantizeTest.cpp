#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "imaging/ColorMatcher.h"
#include "imaging/ColorReduction.h"
#include "imaging/Quantize.h"
#include "tests/support/TestPictures.h"

namespace vantrix {
namespace {

using testing::GradientPicture;
using testing::NoisyPicture;
using testing::ShadedPicture;

double NearestMse(const TPicture& pic, const TPalette& palette) {
  return MeanSquaredError(pic, MapPicture(pic, nullptr, palette, -1, kDitherNone), nullptr);
}

TEST(ColorMatcher, AgreesWithFullSearch) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int size : {1, 2, 5, 64, 256}) {
    TPalette palette(size);
    for (TRgb& c : palette) c = {uint8_t(byte(rng)), uint8_t(byte(rng)), uint8_t(byte(rng))};
    if (size > 3) palette[3] = palette[1];  // a repeated entry: the lower index wins
    const int excluded = size > 1 ? 0 : -1;
    TColorMatcher matcher(palette, excluded);
    for (int q = 0; q < 20000; ++q) {
      const int r = byte(rng), g = byte(rng), b = byte(rng);
      int best = -1, bestDist = 1 << 30;
      for (int i = 0; i < size; ++i) {
        if (i == excluded) continue;
        const int d = (r - palette[i].R) * (r - palette[i].R) + (g - palette[i].G) * (g - palette[i].G) +
                      (b - palette[i].B) * (b - palette[i].B);
        if (d < bestDist) bestDist = d, best = i;
      }
      ASSERT_EQ(matcher.Nearest(r, g, b), best)
          << "palette of " << size << " at " << r << "," << g << "," << b;
    }
  }
}

TEST(ColorHistogram, CountsOpaquePixelsOnly) {
  TPicture pic(4, 2, 32);
  pic.Fill(MakePixel(10, 20, 30));
  pic.SetPixelAt(1, 0, MakePixel(255, 0, 0));
  pic.SetPixelAt(2, 1, MakePixel(255, 0, 0));
  pic.SetPixelAt(3, 1, MakePixel(0, 0, 1));
  std::vector<uint8_t> mask(8, 0);
  mask[0] = mask[7] = 1;
  const auto h = ColorHistogram(pic, &mask);
  ASSERT_EQ(h.size(), 2u);
  EXPECT_EQ(h[0].Rgb, 0x0A141Eu);
  EXPECT_EQ(h[0].Count, 4u);
  EXPECT_EQ(h[1].Rgb, 0xFF0000u);
  EXPECT_EQ(h[1].Count, 2u);
  std::vector<uint8_t> shortMask(7, 0);
  EXPECT_THROW(ColorHistogram(pic, &shortMask), std::invalid_argument);
}

// The point of the optimized quantizer: a lower error than median cut on
// gradients, rendered-looking pictures and noise, at small and large counts.
TEST(OptimizedPalette, BeatsMedianCut) {
  const TPicture pictures[] = {GradientPicture(160, 90), ShadedPicture(240, 80, 1), ShadedPicture(240, 80, 2),
                               NoisyPicture(120, 60, 3)};
  for (size_t p = 0; p < std::size(pictures); ++p) {
    const auto hist = ColorHistogram(pictures[p], nullptr);
    for (int colors : {16, 64, 256}) {
      const TPalette reference = MedianCutPalette(hist, colors);
      const TPalette optimized = OptimizedPalette(hist, colors);
      EXPECT_LE(reference.size(), size_t(colors));
      EXPECT_LE(optimized.size(), size_t(colors));
      const double ref = NearestMse(pictures[p], reference), opt = NearestMse(pictures[p], optimized);
      EXPECT_LT(opt, ref) << "picture " << p << ", " << colors << " colours";
      // Shaded pictures are clusters along colour ramps, where boxes cut by
      // pixel count waste entries; a uniform gradient leaves little to gain.
      if (p == 1 || p == 2) {
        EXPECT_LT(opt, 0.6 * ref) << "picture " << p << ", " << colors << " colours";
      }
      EXPECT_NEAR(HistogramError(hist, optimized) / (3.0 * pictures[p].Width() * pictures[p].Height()), opt,
                  1e-9);
    }
  }
}

TEST(OptimizedPalette, FewColoursAreKeptExactly) {
  for (int distinct : {1, 7, 16, 256}) {
    TPicture pic(64, 32, 24);
    std::mt19937 rng(distinct);
    std::vector<TPixel> colours;
    for (int i = 0; i < distinct; ++i)
      colours.push_back(MakePixel(uint8_t(rng()), uint8_t(rng()), uint8_t(i)));
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 64; ++x) pic.SetPixelAt(x, y, colours[(x * 7 + y * 3) % distinct]);
    for (int dither : {kDitherNone, kDitherFloydSteinberg}) {
      TGifOptions o;
      o.Colors = std::max(8, distinct);
      o.Dither = dither;
      o.Transparent = false;
      EXPECT_EQ(MeanSquaredError(pic, ReduceColors(pic, nullptr, o), nullptr), 0.0) << distinct << " colours";
      o.Palette = kPaletteOptimizedWindows;
      if (distinct <= 236) {
        EXPECT_EQ(MeanSquaredError(pic, ReduceColors(pic, nullptr, o), nullptr), 0.0);
      }
    }
  }
  // Colours of a fixed palette come through a fixed palette unchanged.
  TPicture pic(20, 1, 24);
  const TPalette sys = WindowsSystemPalette();
  for (int x = 0; x < 20; ++x) pic.SetPixelAt(x, 0, MakePixel(sys[x].R, sys[x].G, sys[x].B));
  TGifOptions o;
  o.Palette = kPaletteWindowsSystem;
  o.Dither = kDitherStucki;
  EXPECT_EQ(MeanSquaredError(pic, ReduceColors(pic, nullptr, o), nullptr), 0.0);
}

TEST(OptimizedPalette, WindowsKindKeepsStaticColoursFirstAndHelps) {
  const TPicture pic = ShadedPicture(200, 60, 4);
  TGifOptions o;
  o.Palette = kPaletteOptimizedWindows;
  o.Transparent = false;
  const TIndexedPicture mapped = ReduceColors(pic, nullptr, o);
  ASSERT_EQ(mapped.Palette.size(), 256u);
  const TPalette sys = WindowsSystemPalette();
  EXPECT_TRUE(std::equal(sys.begin(), sys.end(), mapped.Palette.begin()));
  EXPECT_LT(MeanSquaredError(pic, mapped, nullptr), 0.5 * NearestMse(pic, HalftonePalette()));
  // Same input, same output: nothing depends on addresses or unseeded state.
  EXPECT_EQ(ReduceColors(pic, nullptr, o).Pixels, mapped.Pixels);
}

TEST(GifOptions, PresetsAndColourList) {
  TGifOptions o;
  o.Palette = kPaletteWeb;
  o.Dither = kDitherBurkes;
  o.Transparent = false;
  ApplyGifPreset(o, 1);
  EXPECT_EQ(o.Colors, 64);
  EXPECT_EQ(o.Dither, kDitherNone);
  EXPECT_EQ(o.Palette, kPaletteOptimized);
  EXPECT_FALSE(o.Transparent);
  ApplyGifPreset(o, 0);
  EXPECT_EQ(o.Colors, 16);
  ApplyGifPreset(o, 3);
  EXPECT_EQ(o.Colors, 16);
  EXPECT_EQ(GifColorsOfListIndex(0), 8);
  EXPECT_EQ(GifColorsOfListIndex(3), 64);
  EXPECT_EQ(GifColorsOfListIndex(5), 256);
}

}  // namespace
}  // namespace vantrix
