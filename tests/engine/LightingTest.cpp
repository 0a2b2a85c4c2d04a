// The highlight and the fill light, and whole frames drawn in bands against
// the same frames drawn on one thread.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/Lighting.h"
#include "engine/Render3D.h"
#include "platform/Rounding.h"
#include "support/BodyTestUtil.h"

namespace vantrix {
namespace {

TVec3 Unit(TVec3 v) {
  const double l = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
  return {v.X / l, v.Y / l, v.Z / l};
}

TViewParams Light(TVec3 l, int specular, int gloss, int fill = 0) {
  TViewParams p;
  p.LightX = static_cast<float>(l.X);
  p.LightY = static_cast<float>(l.Y);
  p.LightZ = static_cast<float>(l.Z);
  p.Specular = specular;
  p.Gloss = gloss;
  p.Fill = fill;
  return p;
}

// Lights from several sides on points ahead of the eye and off to the side:
// the normal halfway between the light and the line of sight takes the
// strongest highlight, Specular per mille of full, and every normal turned
// away from it a weaker one.
TEST(Highlight, PeaksWhereTheHalfVectorMeetsTheNormal) {
  struct TCase {
    TVec3 Light, At;
    int Specular, Gloss;
  } cases[] = {
      {{0, 1, 0}, {0, 1500, 0}, 1000, 20},            // from the eye, straight ahead: the cap facing the eye
      {{0.26, 0.14, -0.955}, {0, 1500, 0}, 800, 30},  // the start-up light
      {{-0.5, 0.5, 0.7}, {400, 1500, -200}, 600, 5},
      {{0.3, 0.9, 0.3}, {-600, 1400, 300}, 1000, 200},
  };
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> any(-1, 1);
  for (const TCase& c : cases) {
    const TViewParams p = Light(c.Light, c.Specular, c.Gloss);
    const TVec3 l = Unit(c.Light), s = Unit(c.At), half = Unit({l.X + s.X, l.Y + s.Y, l.Z + s.Z});
    const int peak = HighlightOf(p, {half.X * 7, half.Y * 7, half.Z * 7}, c.At);
    EXPECT_EQ(peak, RoundInt(c.Specular / 1000.0 * 255)) << c.Gloss;
    for (int i = 0; i < 500; ++i) {
      const TVec3 n = Unit({half.X + any(rng) / 2, half.Y + any(rng) / 2, half.Z + any(rng) / 2});
      const double off = std::acos(std::min(n.X * half.X + n.Y * half.Y + n.Z * half.Z, 1.0));
      const int v = HighlightOf(p, n, c.At);
      ASSERT_LE(v, peak);
      if (off > 0.2 && c.Gloss >= 20) {
        ASSERT_LT(v, peak) << off;
      }
    }
    // No strength, no highlight; nor on a surface the light does not reach.
    EXPECT_EQ(HighlightOf(Light(c.Light, 0, c.Gloss), half, c.At), 0);
    EXPECT_EQ(HighlightOf(p, {-l.X, -l.Y, -l.Z}, c.At), 0);
  }
  // A broad sheen keeps more of the peak off the mirror direction than a spark.
  const TVec3 tilted = Unit({0.2, 1, 0});
  EXPECT_GT(HighlightOf(Light({0, 1, 0}, 1000, 5), tilted, {0, 1500, 0}),
            HighlightOf(Light({0, 1, 0}, 1000, 100), tilted, {0, 1500, 0}));
}

// The fill light comes from the mirrored side and adds its share of its own
// Lambert term where it reaches; without it the cosine is the plain one, bit
// for bit, which keeps every old picture.
TEST(FillLight, MirroredDirectionAddsToTheFarSideOnly) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> any(-1, 1);
  for (const TVec3& l : {TVec3{0.26, 0.14, -0.955}, TVec3{-0.6, 0.5, 0.62}}) {
    const TViewParams plain = Light(l, 0, 20, 0), filled = Light(l, 0, 20, 500);
    const TVec3 f = FillDirection(filled);
    EXPECT_TRUE(f.X == -plain.LightX && f.Y == plain.LightY && f.Z == -plain.LightZ);
    for (int i = 0; i < 200; ++i) {
      const double nx = any(rng), ny = any(rng), nz = any(rng), len = std::sqrt(nx * nx + ny * ny + nz * nz);
      const double cosine = (plain.LightX * nx + static_cast<double>(plain.LightY) * ny +
                             static_cast<double>(plain.LightZ) * nz) /
                            len;
      const double toFill = (f.X * nx + f.Y * ny + f.Z * nz) / len;
      ASSERT_EQ(LightCosine(plain, nx, ny, nz), cosine);
      ASSERT_NEAR(LightCosine(filled, nx, ny, nz), toFill > 0 ? std::min(cosine + 0.5 * toFill, 1.0) : cosine,
                  1e-12);
    }
  }
}

// Random scenes of extruded letters and a button under random lights, flat
// and smooth, with and without highlight, fill light, textures and shadows:
// drawn in 2 to 7 bands at once they must be the frame drawn on one thread.
TEST(BandedFrame, ByteIdenticalToTheSingleThreadedFrame) {
  std::mt19937 rng(24);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  TPicture texture(9, 7, 32);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) texture.SetPixelAt(x, y, MakePixel(x * 28, y * 36, 90));
  TShadeRamp textRamp, buttonRamp;
  for (int i = 0; i < 256; ++i) {
    textRamp[i] = MakePixel(i, i * 3 / 4, 40);
    buttonRamp[i] = MakePixel(30, i / 2, i);
  }
  for (int round = 0; round < 30; ++round) {
    TView3D view;
    const int letters = pick(1, 12);
    for (int i = 0; i < letters; ++i) {
      const int x = pick(-900, 800), z = pick(-250, 150), w = pick(20, 160), h = pick(30, 200);
      std::vector<std::vector<TPoint>> contours{testing::RectCW(x, z, x + w, z + h)};
      if (w > 60 && h > 60) contours.push_back(testing::RectCCW(x + 20, z + 20, x + w - 20, z + h - 20));
      testing::BuildPrism(view.Body(view.AddBody()), contours, pick(20, 60), 0);
    }
    const bool button = pick(0, 1) == 1;
    if (button)
      testing::BuildPrism(view.Body(view.AddBody()), {testing::RectCW(-1000, -330, 1000, 330)}, 0, 80);
    TBodyTransform t;
    t.OffsetY = 1500;
    t.Smooth = pick(0, 1);
    view.SetTransform(t);
    const TVec3 l = Unit({pick(-10, 10) / 10.0, pick(1, 10) / 10.0, pick(-10, 10) / 10.0});
    view.Params = Light(l, pick(0, 1) ? pick(1, 1000) : 0, pick(1, 200), pick(0, 1) ? pick(1, 1000) : 0);
    view.Params.LightColor = MakeColor(255, static_cast<uint8_t>(pick(0, 255)), 200);
    view.Params.CnX = view.Params.CnZ = static_cast<float>(pick(200, 700));
    const TRect r = view.ScreenBounds();
    view.Params.CentreX = -r.Left + pick(-30, 30);
    view.Params.CentreY = -r.Top + pick(-30, 30);
    view.Params.ButtonShadowDX = pick(-20, 20), view.Params.ButtonShadowDY = pick(-20, 20);
    view.Params.TextShadowDX = pick(-9, 9), view.Params.TextShadowDY = pick(-9, 9);
    view.Params.ButtonAltitude = pick(0, 1) * 30, view.Params.TextAltitude = pick(0, 1) * 10;
    if (pick(0, 2) == 0) view.SetTextTexture(texture);
    if (pick(0, 2) == 0) view.SetButtonTexture(texture);
    const int w = r.Right - r.Left + pick(-40, 40), h = r.Bottom - r.Top + pick(-20, 20);
    TPicture image[2], mask[2];
    for (int k = 0; k < 2; ++k) {
      image[k].SetSize(w, h, 32);
      image[k].Fill(0x00E0E0E0u);
      mask[k].SetSize(w, h, 32);
      view.Render(image[k], mask[k], buttonRamp, textRamp, button ? 2 : 0, true, k == 0 ? 1 : 2 + round % 6);
    }
    for (int y = 0; y < h; ++y) {
      ASSERT_TRUE(std::equal(image[0].Row32(y), image[0].Row32(y) + w, image[1].Row32(y)))
          << "round " << round << " row " << y;
      ASSERT_TRUE(std::equal(mask[0].Row32(y), mask[0].Row32(y) + w, mask[1].Row32(y)))
          << "round " << round << " row " << y;
    }
  }
}

}  // namespace
}  // namespace vantrix
