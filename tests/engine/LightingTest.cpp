// The highlight and the fill light, the highlight painted over spans, and
// whole frames drawn in bands against the same frames drawn on one thread.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/Lighting.h"
#include "engine/Render3D.h"
#include "engine/ZBuffer_p.h"
#include "platform/Rounding.h"
#include "support/BodyTestUtil.h"

namespace vantrix {
namespace {

TVec3 Unit(TVec3 v) {
  const double l = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
  return {v.X / l, v.Y / l, v.Z / l};
}
TVec3 Cross(TVec3 a, TVec3 b) {
  return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
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
// strongest highlight, Specular per mille of full, and tilting it away in any
// direction only dims it.
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
  for (const TCase& c : cases) {
    const TViewParams p = Light(c.Light, c.Specular, c.Gloss);
    const TVec3 l = Unit(c.Light), s = Unit(c.At);
    const TVec3 half = Unit({l.X + s.X, l.Y + s.Y, l.Z + s.Z});
    const int peak = HighlightOf(p, {half.X * 7, half.Y * 7, half.Z * 7}, c.At);
    EXPECT_EQ(peak, RoundInt(c.Specular / 1000.0 * 255)) << c.Gloss;
    const TVec3 u = Unit(Cross(half, {0.3, 0.1, 1})), w = Cross(half, u);
    for (int turn = 0; turn < 8; ++turn) {
      const double a = turn * M_PI / 4;
      const TVec3 axis{u.X * std::cos(a) + w.X * std::sin(a), u.Y * std::cos(a) + w.Y * std::sin(a),
                       u.Z * std::cos(a) + w.Z * std::sin(a)};
      int last = peak;
      for (double tilt : {0.05, 0.15, 0.3, 0.6}) {
        const TVec3 n{half.X * std::cos(tilt) + axis.X * std::sin(tilt),
                      half.Y * std::cos(tilt) + axis.Y * std::sin(tilt),
                      half.Z * std::cos(tilt) + axis.Z * std::sin(tilt)};
        const int v = HighlightOf(p, n, c.At);
        EXPECT_LE(v, last) << "gloss " << c.Gloss << " tilt " << tilt;
        last = v;
      }
      EXPECT_LT(last, peak);
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

// The fill light comes from the mirrored side: it lights the faces the light
// leaves dark, by its share of its own Lambert term, and leaves a face it
// does not reach as it was; without it the cosine is the plain one, bit for
// bit, which keeps every old picture.
TEST(FillLight, MirroredDirectionAddsToTheFarSideOnly) {
  const TVec3 lights[] = {{0.26, 0.14, -0.955}, {-0.6, 0.5, 0.62}, {0, 1, 0}};
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> any(-1, 1);
  for (const TVec3& l : lights) {
    const TVec3 f = FillDirection(Light(l, 0, 20, 500));
    EXPECT_DOUBLE_EQ(f.X, -static_cast<float>(l.X));
    EXPECT_DOUBLE_EQ(f.Y, static_cast<float>(l.Y));
    EXPECT_DOUBLE_EQ(f.Z, -static_cast<float>(l.Z));
    const TViewParams plain = Light(l, 0, 20, 0), filled = Light(l, 0, 20, 500);
    for (int i = 0; i < 200; ++i) {
      const double nx = any(rng), ny = any(rng), nz = any(rng);
      const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
      const double cosine = (plain.LightX * nx + static_cast<double>(plain.LightY) * ny +
                             static_cast<double>(plain.LightZ) * nz) /
                            len;
      ASSERT_EQ(LightCosine(plain, nx, ny, nz), cosine);
      const double towardFill = (f.X * nx + f.Y * ny + f.Z * nz) / len;
      const double expected = towardFill > 0 ? std::min(cosine + 0.5 * towardFill, 1.0) : cosine;
      ASSERT_NEAR(LightCosine(filled, nx, ny, nz), expected, 1e-12);
    }
  }
  // The far side of a letter lit from the upper right: black before, lit by
  // the fill after.
  const TViewParams p = Light({0.6, 0.3, -0.74}, 0, 20, 400);
  TViewParams noFill = p;
  noFill.Fill = 0;
  const TVec3 farSide{-0.6, -0.3, 0.74};
  EXPECT_LT(LightCosine(noFill, farSide.X, farSide.Y, farSide.Z), -0.99);
  EXPECT_GT(LightCosine(p, farSide.X, farSide.Y, farSide.Z), -0.7);
}

// The highlight goes over the painted span in the light's colour, held at
// full, stepped like a gradient, and a span cut by a nearer one keeps its
// end values for what remains.
TEST(Highlight, PaintedOverTheSpanInTheLightColour) {
  TZBuffer zb;
  zb.SetSize(2, 300);
  zb.LightColor = MakeColor(255, 128, 0);
  TPicture pic(300, 2, 32);
  pic.Fill(0xFF101010u);
  zb.AddHighlight(0, 255, pic.Row32(0), 0, 255);
  for (int x = 0; x < 256; ++x) {
    const TPixel px = pic.Row32(0)[x];
    ASSERT_EQ(PixelRed(px), std::min(16 + x, 255)) << x;
    ASSERT_EQ(PixelGreen(px), 16 + x * 128 / 255) << x;
    ASSERT_EQ(PixelBlue(px), 16) << x;
    ASSERT_EQ(px >> 24, 0xFFu);
  }
  zb.InsertSpan(1, 10, 109, 40, 40, 5.0f, 200, 0);
  zb.InsertSpan(1, 50, 59, 90, 90, 1.0f);  // nearer, inside: the left part is a new entry
  ASSERT_EQ(zb.Row(1).Count, 3);
  for (int k = 0; k < 3; ++k) {
    const TSpan& s = zb.Row(1).Span(k);
    EXPECT_EQ(s.SpecL, s.Depth == 5.0f ? 200 : 0) << k;
    EXPECT_EQ(s.SpecR, 0) << k;
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
