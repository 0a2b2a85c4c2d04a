#include <gtest/gtest.h>

#include <random>
#include <set>

#include "imaging/Dither.h"
#include "imaging/QuantizeAlpha.h"

namespace vantrix {
namespace {

// A button on nothing: opaque body, a translucent shadow, transparent
// background, a soft edge and a gradient that needs more than the palette.
TRgbaPicture Button(int w, int h) {
  TRgbaPicture p(w, h);
  std::mt19937 random(3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* q = p.At(x, y);
      if (x < w / 4) continue;  // transparent, 0 0 0 0
      if (x < w / 2) {
        q[3] = 128;  // shadow
      } else if (x < w / 2 + 3) {
        q[0] = 200, q[1] = 30, q[2] = 30, q[3] = static_cast<uint8_t>(60 + 60 * (x - w / 2));
      } else {
        q[0] = static_cast<uint8_t>(x * 255 / w), q[1] = static_cast<uint8_t>(y * 255 / h);
        q[2] = static_cast<uint8_t>(random() % 8), q[3] = 255;
      }
    }
  return p;
}

// Every dithering kind and palette size: transparent pixels take the one
// transparent entry and nothing else takes it; nothing opaque goes
// transparent; the palette stays within its size.
TEST(QuantizeAlpha, TransparentPixelsStayTransparentAndAloneInEveryMode) {
  const TRgbaPicture picture = Button(64, 24);
  for (int colors : {2, 16, 256})
    for (int dither = 0; dither < kDitherKindCount; ++dither) {
      SCOPED_TRACE(::testing::Message() << colors << " colours, dither " << dither);
      const TAlphaIndexedPicture out = ReduceColorsAlpha(picture, colors, dither);
      ASSERT_LE(out.Palette.size(), static_cast<size_t>(colors));
      ASSERT_EQ(out.Alpha.size(), out.Palette.size());
      for (size_t i = 0; i < out.Pixels.size(); ++i) {
        const uint8_t a = picture.Pixels[4 * i + 3];
        const uint8_t got = out.Alpha[out.Pixels[i]];
        ASSERT_EQ(a == 0, got == 0) << "pixel " << i << " alpha " << int(a) << " became " << int(got);
      }
    }
}

TEST(QuantizeAlpha, FewColoursAreKeptExactly) {
  TRgbaPicture picture(5, 3);
  const uint8_t colours[4][4] = {{0, 0, 0, 0}, {10, 20, 30, 255}, {0, 0, 0, 128}, {250, 5, 5, 60}};
  for (size_t i = 0; i < 15; ++i) std::copy_n(colours[i % 4], 4, picture.Pixels.data() + 4 * i);
  const TAlphaIndexedPicture out = ReduceColorsAlpha(picture, 8, kDitherFloydSteinberg);
  EXPECT_EQ(out.Palette.size(), 4u);
  EXPECT_EQ(MeanSquaredErrorAlpha(picture, out), 0.0);
}

TEST(QuantizeAlpha, ErrorFallsWithPaletteSize) {
  const TRgbaPicture button = Button(160, 40);
  double last = 1e300;
  for (int colors : {4, 16, 64, 256}) {
    const double mse = MeanSquaredErrorAlpha(button, ReduceColorsAlpha(button, colors, kDitherNone));
    EXPECT_LT(mse, last) << colors;
    last = mse;
  }
}

}  // namespace
}  // namespace vantrix
