#include <gtest/gtest.h>

#include "imaging/ColorReduction.h"
#include "imaging/Dither.h"
#include "tests/support/TestPictures.h"

namespace vantrix {
namespace {

// Error diffusion exists to keep local averages: a flat grey rendered in
// black and white must come out with (nearly) the same mean brightness.
TEST(Dither, EveryKernelKeepsTheMeanOfAFlatGrey) {
  for (int dither = kDitherFloydSteinberg; dither < kDitherKindCount; ++dither)
    for (int grey : {23, 100, 128, 191, 240}) {
      TPicture pic(90, 70, 24);
      pic.Fill(MakePixel(uint8_t(grey), uint8_t(grey), uint8_t(grey)));
      const TIndexedPicture out = MapPicture(pic, nullptr, MonochromePalette(), -1, dither);
      // Error leaves through the borders; judge the inside.
      double sum = 0;
      int n = 0;
      for (int y = 10; y < 60; ++y)
        for (int x = 10; x < 80; ++x, ++n) sum += out.Pixels[y * 90 + x] * 255.0;
      EXPECT_NEAR(sum / n, grey, 1.5) << "dither " << dither << ", grey " << grey;
    }
}

struct TMaskedPicture {
  TPicture Picture;
  std::vector<uint8_t> Mask;
};

// A shaded picture with a transparent frame and hole, and an opaque magenta
// patch that must stay opaque.
TMaskedPicture MaskedPicture() {
  TMaskedPicture m{testing::ShadedPicture(120, 40, 9), {}};
  m.Picture.FillRect(60, 5, 70, 15, MakePixel(255, 0, 255));
  m.Mask.assign(120 * 40, 0);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x)
      m.Mask[y * 120 + x] =
          (x < 4 || y < 3 || x >= 115 || y >= 37 || (x >= 30 && x < 40 && y >= 10 && y < 30));
  return m;
}

TEST(Transparency, HeldForEveryPaletteAndDither) {
  const TMaskedPicture m = MaskedPicture();
  for (int palette = 0; palette < kPaletteKindCount; ++palette)
    for (int dither : {kDitherNone, kDitherFloydSteinberg, kDitherStevensonArce}) {
      SCOPED_TRACE(::testing::Message() << "palette " << palette << ", dither " << dither);
      TGifOptions o;
      o.Palette = palette;
      o.Colors = 32;
      o.Dither = dither;
      const TIndexedPicture out = ReduceColors(m.Picture, &m.Mask, o);
      ASSERT_GE(out.TransparentIndex, 0);
      ASSERT_LE(out.Palette.size(), 256u);
      EXPECT_EQ(out.Palette[out.TransparentIndex], kTransparentRgb);
      const size_t fixed = FixedPalette(palette).size();
      const size_t want = fixed == 256 ? 256 : fixed + 1;  // appended unless full
      if (fixed > 0) {
        EXPECT_EQ(out.Palette.size(), want);
      } else if (palette == kPaletteOptimized) {
        EXPECT_LE(out.Palette.size(), 32u);
      }
      for (size_t i = 0; i < out.Pixels.size(); ++i)
        ASSERT_EQ(out.Pixels[i] == out.TransparentIndex, m.Mask[i] != 0) << "pixel " << i;
    }
}

TEST(Transparency, OffIgnoresTheMask) {
  const TMaskedPicture m = MaskedPicture();
  TGifOptions o;
  o.Transparent = false;
  o.Palette = kPaletteWeb;
  const TIndexedPicture out = ReduceColors(m.Picture, &m.Mask, o);
  EXPECT_EQ(out.TransparentIndex, -1);
  EXPECT_EQ(out.Palette.size(), 216u);
  EXPECT_EQ(out.Pixels, ReduceColors(m.Picture, nullptr, o).Pixels);
}

// Whatever lies under transparent pixels must not leak into the opaque ones,
// neither through the optimized palette nor through diffused error.
TEST(Transparency, HiddenColoursDoNotMatter) {
  TMaskedPicture a = MaskedPicture();
  TPicture b = a.Picture;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x)
      if (a.Mask[y * 120 + x]) b.SetPixelAt(x, y, MakePixel(uint8_t(x * 2), 255, uint8_t(y * 6)));
  for (int palette : {kPaletteOptimized, kPaletteGrayscale, kPaletteHalftone})
    for (int dither = 0; dither < kDitherKindCount; ++dither) {
      TGifOptions o;
      o.Palette = palette;
      o.Colors = 16;
      o.Dither = dither;
      const TIndexedPicture ra = ReduceColors(a.Picture, &a.Mask, o), rb = ReduceColors(b, &a.Mask, o);
      EXPECT_EQ(ra.Palette, rb.Palette) << "palette " << palette << ", dither " << dither;
      EXPECT_EQ(ra.Pixels, rb.Pixels) << "palette " << palette << ", dither " << dither;
    }
}

TEST(Dither, RefusesBadArguments) {
  TPicture pic(4, 4, 24);
  const std::vector<uint8_t> mask(16, 1), shortMask(15, 0);
  EXPECT_THROW(MapPicture(pic, nullptr, {}, -1, kDitherNone), std::invalid_argument);
  EXPECT_THROW(MapPicture(pic, nullptr, MonochromePalette(), -1, kDitherKindCount), std::invalid_argument);
  EXPECT_THROW(MapPicture(pic, nullptr, MonochromePalette(), 2, kDitherNone), std::invalid_argument);
  EXPECT_THROW(MapPicture(pic, &mask, MonochromePalette(), -1, kDitherNone), std::invalid_argument);
  EXPECT_THROW(MapPicture(pic, &shortMask, MonochromePalette(), 0, kDitherNone), std::invalid_argument);
  TGifOptions o;
  o.Palette = kPaletteKindCount;
  EXPECT_THROW(ReduceColors(pic, nullptr, o), std::invalid_argument);
  o.Palette = kPaletteWeb;
  EXPECT_THROW(ReduceColors(pic, &shortMask, o), std::invalid_argument);
  // All transparent, or nothing at all: still a valid picture with a palette.
  const TIndexedPicture all = ReduceColors(pic, &mask, TGifOptions{});
  EXPECT_EQ(all.Palette, TPalette{kTransparentRgb});
  EXPECT_EQ(all.Pixels, std::vector<uint8_t>(16, 0));
  const TIndexedPicture none = ReduceColors(TPicture(), nullptr, TGifOptions{});
  EXPECT_EQ(none.Width, 0);
  EXPECT_FALSE(none.Palette.empty());
}

TEST(TransparencyFromMask, OnlyExactBlackIsTransparent) {
  TPicture mask(3, 1, 24);
  mask.SetPixelAt(1, 0, MakePixel(0, 0, 1));
  mask.SetPixelAt(2, 0, kPixelWhite);
  EXPECT_EQ(TransparencyFromMask(mask), (std::vector<uint8_t>{1, 0, 0}));
}

}  // namespace
}  // namespace vantrix
