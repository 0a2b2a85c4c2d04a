#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/Rounding.h"
#include "resample/ResampleAlpha.h"

namespace vantrix {
namespace {

TPremultipliedPicture Flat(int w, int h, float r, float g, float b, float a) {
  TPremultipliedPicture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float* q = p.At(x, y);
      q[0] = r * a / 255, q[1] = g * a / 255, q[2] = b * a / 255, q[3] = a;
    }
  return p;
}

// A flat picture keeps its straight colour and alpha exactly at every size,
// whatever the weights' sum: opaque stays opaque, and a transparent one is
// 0 0 0 0.
TEST(ResampleAlpha, FlatPicturesKeepColourAndAlpha) {
  struct Case {
    float r, g, b, a;
    std::array<uint8_t, 4> expected;
  } cases[] = {
      {200, 40, 10, 255, {200, 40, 10, 255}},
      {0, 0, 0, 128, {0, 0, 0, 128}},  // a shadow
      {255, 255, 255, 2, {255, 255, 255, 2}},
      {255, 255, 255, 1, {0, 0, 0, 0}},  // a level from the background: the kernel's tail
      {90, 160, 30, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases)
    for (auto [w, h] : {std::pair{7, 5}, {1, 1}, {31, 9}}) {
      const TRgbaPicture out = ResizedRgba(Flat(23, 11, c.r, c.g, c.b, c.a), w, h, Lanczos3Filter, 3);
      ASSERT_EQ(out.Width, w);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(
              (std::array<uint8_t, 4>{out.At(x, y)[0], out.At(x, y)[1], out.At(x, y)[2], out.At(x, y)[3]}),
              c.expected)
              << c.r << " " << c.a << " at " << x << "," << y << " of " << w << "x" << h;
    }
}

// Differential: on random pictures with hard alpha edges, the result
// composited over black and over white matches the opaque resampler run on
// the picture composited first, within rounding, wherever the two opaque
// results do not contradict each other (ringing that makes the one on white
// darker than the one on black cannot be shown with alpha).
TEST(ResampleAlpha, CompositesMatchTheOpaqueResampler) {
  std::mt19937 random(7);
  for (int round = 0; round < 6; ++round) {
    const int sw = 20 + static_cast<int>(random() % 60), sh = 10 + static_cast<int>(random() % 40);
    const int dw = 3 + static_cast<int>(random() % sw), dh = 3 + static_cast<int>(random() % sh);
    TPremultipliedPicture src(sw, sh);
    TPicture onBlack(sw, sh, 24), onWhite(sw, sh, 24);
    for (int y = 0; y < sh; ++y)
      for (int x = 0; x < sw; ++x) {
        if (x % 4 != 0 || y % 4 != 0) {  // blocks of 4 x 4, as shapes rather than noise
          const float* from = src.At(x - x % 4, y - y % 4);
          std::copy_n(from, 4, src.At(x, y));
          onBlack.SetPixelAt(x, y, onBlack.PixelAt(x - x % 4, y - y % 4));
          onWhite.SetPixelAt(x, y, onWhite.PixelAt(x - x % 4, y - y % 4));
          continue;
        }
        const int alphas[4] = {0, 128, 255, static_cast<int>(random() % 256)};
        const int a = alphas[random() % 4];
        int pre[3];
        // Grey, so that the channels clip alike and one alpha can serve them.
        pre[0] = pre[1] = pre[2] = static_cast<int>(random() % (a + 1));
        float* p = src.At(x, y);
        for (int c = 0; c < 3; ++c) p[c] = static_cast<float>(pre[c]);
        p[3] = static_cast<float>(a);
        onBlack.SetPixelAt(x, y, MakePixel(pre[0], pre[1], pre[2]));
        onWhite.SetPixelAt(x, y, MakePixel(pre[0] + 255 - a, pre[1] + 255 - a, pre[2] + 255 - a));
      }
    const TRgbaPicture out = ResizedRgba(src, dw, dh, Lanczos3Filter, 3);
    const TPicture black = ResizedPicture(onBlack, dw, dh, Lanczos3Filter, 3);
    const TPicture white = ResizedPicture(onWhite, dw, dh, Lanczos3Filter, 3);
    int checked = 0;
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) {
        const uint8_t* q = out.At(x, y);
        const TPixel b = black.PixelAt(x, y), w = white.PixelAt(x, y);
        const int refB[3] = {PixelRed(b), PixelGreen(b), PixelBlue(b)};
        const int refW[3] = {PixelRed(w), PixelGreen(w), PixelBlue(w)};
        bool consistent = true;
        for (int c = 0; c < 3; ++c) consistent &= refW[c] >= refB[c];
        if (!consistent) continue;
        ++checked;
        for (int c = 0; c < 3; ++c) {
          const double overBlack = q[c] * q[3] / 255.0, overWhite = overBlack + 255 - q[3];
          // The opaque resampler's weights sum to a little under 1: 2 levels at most.
          const double worst = std::max(std::abs(overBlack - refB[c]), std::abs(overWhite - refW[c]));
          EXPECT_LE(worst, 3.5) << round << " at " << x << "," << y;
        }
      }
    EXPECT_GT(checked, dw * dh / 2);
  }
}

}  // namespace
}  // namespace vantrix
