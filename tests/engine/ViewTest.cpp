#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/Render3D.h"
#include "platform/Rounding.h"
#include "tests/support/BodyTestUtil.h"

namespace vantrix {
namespace {

using testing::BuildPrism;
using testing::RectCCW;
using testing::RectCW;

TViewParams Params(float lx, float ly, float lz) {
  TViewParams p;
  p.LightX = lx;
  p.LightY = ly;
  p.LightZ = lz;
  p.CentreX = 200;
  p.CentreY = 100;
  p.TextAltitude = 0;
  p.ButtonAltitude = 0;
  return p;
}

// The view's bodies 1500 in front of the eye, lit from it, with the optical
// axis at picture column x, row y.
void PlaceInFront(TView3D& view, int x, int y) {
  TBodyTransform t;
  t.OffsetY = 1500;
  view.SetTransform(t);
  view.Params = Params(0, 1, 0);
  view.Params.CentreX = x;
  view.Params.CentreY = y;
}

// One square facing the eye, with its corners in the winding that makes it
// visible: top-left, bottom-left, bottom-right, top-right on the screen.
void AddFacingSquare(TBody& b) {
  b.AddFace({-10, 0, 10}, {-10, 0, -10}, {10, 0, -10}, {10, 0, 10});
}

TEST(Shading, LambertShadeFollowsTheLight) {
  const struct {
    float lx, ly, lz;
    int shade;
  } cases[] = {{0, 1, 0, 254}, {0, -1, 0, 0}, {1, 0, 0, 127}, {0, 0, 1, 127}};
  for (const auto& c : cases) {
    TBody b;
    AddFacingSquare(b);
    b.Transform.OffsetY = 1500;
    b.Prepare(Params(c.lx, c.ly, c.lz));
    EXPECT_EQ(b.Face(1).Visible, 1);
    EXPECT_EQ(b.Face(1).Shade, c.shade) << c.lx << c.ly << c.lz;
    EXPECT_EQ(b.Vertex(1).Shade, c.shade);  // smooth and flat shading share the formula
  }
}

TEST(Shading, LimitsClampEveryShade) {
  for (float ly : {1.0f, -1.0f, 0.3f}) {
    TBody b;
    AddFacingSquare(b);
    b.Transform.OffsetY = 1500;
    TViewParams p = Params(0, ly, 0);
    p.LoBright = 60;
    p.HiBright = 200;
    b.Prepare(p);
    EXPECT_GE(b.Face(1).Shade, 60);
    EXPECT_LE(b.Face(1).Shade, 200);
  }
  // Limits from a damaged file cannot push a shade outside the ramp.
  TBody b;
  AddFacingSquare(b);
  b.Transform.OffsetY = 1500;
  TViewParams p = Params(0, 1, 0);
  p.LoBright = 900;
  p.HiBright = 1000;
  b.Prepare(p);
  EXPECT_EQ(b.Face(1).Shade, 255);
}

TEST(Visibility, ScreenWindingDecidesAndHiddenVerticesGetHiBright) {
  TBody b;
  AddFacingSquare(b);
  b.AddFace({10, 0, 10}, {10, 0, -10}, {30, 0, -10}, {30, 0, 10});
  b.AddFace({-30, 0, 10}, {-30, 5, 10}, {-30, 5, -10}, {-30, 0, -10});  // reversed: turned away
  b.AddFace({50, 0, 10}, {50, 0, -10}, {60, 0, -10}, {60, 0, 10});      // the cap face
  b.Transform.OffsetY = 1500;
  TViewParams p = Params(0, 1, 0);
  p.HiBright = 222;
  b.Prepare(p);
  EXPECT_EQ(b.Face(1).Visible, 1);
  EXPECT_EQ(b.Face(3).Visible, 0);
  EXPECT_EQ(b.Face(4).Key, 0.0f);
  EXPECT_GT(b.Face(1).Key, 0.0f);
  // (-30, 5, 10) belongs only to the turned-away face.
  for (int i = 1; i <= b.VertexCount(); ++i)
    if (b.Vertex(i).X == -30 && b.Vertex(i).Y == 5) {
      EXPECT_EQ(b.Vertex(i).Shade, 222);
    }
}

TEST(Projection, PerspectiveWithRoundingToEven) {
  TBody b;
  b.AddFace({0, 0, 0}, {3, 0, 0}, {3, 0, 1}, {0, 0, 1});
  b.Transform.OffsetY = 900;
  TViewParams p = Params(0, 1, 0);
  p.CnX = 150;  // 3 * 150 / 900 = 0.5 -> 0 (even)
  p.CentreX = 0;
  p.CentreY = 0;
  b.Project(p);
  EXPECT_EQ(b.ScreenPoint(2).X, 0);
  EXPECT_FLOAT_EQ(b.Vertex(2).Dist2, 900.0f * 900.0f + 9.0f);
  EXPECT_EQ(b.TopRow(), 0);  // z = 1 -> row -0.5 -> 0 (even)
  EXPECT_EQ(b.RowCount(), 1);
}

// Every vertex as the formulas give it, one at a time, whatever the others
// are: near and far from the picture, next to the eye, behind it, beyond the
// 2^24 limit of screen points, with and without a body left out.
TEST(Projection, EveryVertexAsTheFormulasGiveIt) {
  std::mt19937 rng(17);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 40; ++round) {
    TBody b;
    const int scale = round % 4 == 0 ? 40000000 : round % 4 == 1 ? 5000 : 300;
    for (int n = 0; n < 1001 + round; ++n) {
      TVertex v;
      v.X = pick(-scale, scale);
      v.Y = round % 5 == 0 ? pick(-2000, 2000) : pick(-1400, scale);
      v.Z = pick(-scale, scale);
      b.AddVertex(v);
    }
    b.Transform.OffsetX = static_cast<float>(pick(-500, 500)) / 3;
    b.Transform.OffsetY = round % 7 == 0 ? 1e-30f : static_cast<float>(pick(1401, 3000));
    b.Transform.OffsetZ = static_cast<float>(pick(-500, 500)) / 7;
    TViewParams p = Params(0, 1, 0);
    p.CnX = static_cast<float>(pick(1, 100000)) / 9;
    p.CnZ = static_cast<float>(pick(1, 100000)) / 9;
    p.CentreX = pick(-20000000, 20000000) / (round % 3 == 0 ? 1 : 1000);
    p.CentreY = pick(-20000000, 20000000) / (round % 3 == 1 ? 1 : 1000);
    b.Project(p);
    int32_t top = 65536, bottom = -65536;
    for (int k = 1; k <= b.VertexCount(); ++k) {
      const TVertex& v = b.Vertex(k);
      const float tx = static_cast<float>(v.X + static_cast<double>(b.Transform.OffsetX));
      const float ty = static_cast<float>(v.Y + static_cast<double>(b.Transform.OffsetY));
      const float tz = static_cast<float>(v.Z + static_cast<double>(b.Transform.OffsetZ));
      const float dist = static_cast<float>(static_cast<double>(ty) * ty + static_cast<double>(tx) * tx +
                                            static_cast<double>(tz) * tz);
      TPoint s{p.CentreX, p.CentreY};
      if (ty > 0 && std::isfinite(tx) && std::isfinite(tz)) {
        s.X = ClampInt(RoundInt(p.CnX * static_cast<double>(tx) / ty + p.CentreX), -(1 << 24), 1 << 24);
        s.Y = ClampInt(RoundInt(p.CentreY - p.CnZ * static_cast<double>(tz) / ty), -(1 << 24), 1 << 24);
      }
      ASSERT_EQ(v.TX, tx) << round << " " << k;
      ASSERT_EQ(v.TY, ty) << round << " " << k;
      ASSERT_EQ(v.TZ, tz) << round << " " << k;
      ASSERT_EQ(v.Dist2, dist) << round << " " << k;
      ASSERT_EQ(v.NX + v.NY + v.NZ, 0.0f);
      ASSERT_EQ(b.ScreenPoint(k).X, s.X) << round << " " << k;
      ASSERT_EQ(b.ScreenPoint(k).Y, s.Y) << round << " " << k;
      top = std::min(top, s.Y);
      bottom = std::max(bottom, s.Y);
    }
    EXPECT_EQ(b.TopRow(), top);
    EXPECT_EQ(b.RowCount(), std::max(bottom - top + 1, 0));
  }
}

TEST(Projection, BodyAtOrBehindTheEyeIsLeftOut) {
  TView3D view;
  const int i = view.AddBody();
  BuildPrism(view.Body(i), {RectCW(-50, -50, 50, 50)}, 20, 0);
  TBodyTransform t;
  t.OffsetY = 0;  // front plane at Y = -20: behind the eye
  view.SetTransform(t);
  view.Params = Params(0, 1, 0);
  const TRect r = view.ScreenBounds();
  EXPECT_EQ(r.Left, 65535);  // nothing took room
  TPicture image(100, 100, 32), mask(100, 100, 32);
  image.Fill(0x00123456);
  TShadeRamp ramp{};
  view.Render(image, mask, ramp, ramp, 0, true);
  EXPECT_EQ(image.PixelAt(50, 50), 0x00123456u);
}

TEST(View, BodiesTexturesAndBounds) {
  TView3D view;
  for (int i = 1; i <= TView3D::kMaxBodies; ++i) ASSERT_EQ(view.AddBody(), i);
  EXPECT_EQ(view.AddBody(), 0);
  view.Clear();
  const int i = view.AddBody();
  BuildPrism(view.Body(i), {RectCW(-40, -10, 30, 20)}, 15, 0);
  EXPECT_EQ(view.ModelBounds(), (TRect{-40, 20, 30, -10}));
  EXPECT_EQ(view.FaceCount(), 5);
  EXPECT_EQ(view.VertexCount(), 8);

  TPicture tiny(1, 5, 24);
  view.SetTextTexture(tiny);
  EXPECT_FALSE(view.TextTextured);
  TPicture ok(2, 2, 24);
  view.SetButtonTexture(ok);
  EXPECT_TRUE(view.ButtonTextured);
  EXPECT_EQ(view.ButtonTexture().BitsPerPixel(), 32);
  view.SetButtonTexture(TPicture());
  EXPECT_FALSE(view.ButtonTextured);
}

TEST(View, DegenerateFramesDrawNothingAndDoNotCrash) {
  TView3D view;
  TPicture empty, mask;
  TShadeRamp ramp{};
  view.Render(empty, mask, ramp, ramp, 1, true);  // 0 x 0 picture, button type without bodies
  TPicture image(10, 10, 32);
  view.Render(image, mask, ramp, ramp, 1, true);  // no bodies at all
  view.AddBody();                                 // a body without faces
  view.Render(image, mask, ramp, ramp, 1, true);
  EXPECT_EQ(image.PixelAt(5, 5), 0u);
}

TEST(View, ContourEntriesWithoutAVertexAreSkipped) {
  TView3D view;
  TBody& b = view.Body(view.AddBody());
  for (int i = 0; i < TBody::kMaxVertices - 3; ++i) {
    TVertex v;
    v.X = i;
    v.Y = 5000;
    b.AddVertex(v);
  }
  // Only three of these five points find room: the contour holds entries 0.
  const TPoint square[5] = {{-20, -20}, {-20, 20}, {20, 20}, {20, -20}, {-20, -20}};
  b.AddContour(square, 5, 0);
  ASSERT_EQ(b.Contour(1)[3], 0);
  b.AddFace({-20, 0, 20}, {-20, 0, -20}, {-20, 0, 20}, {-20, 0, -20});  // the cap face, all known points
  TBodyTransform t;
  t.OffsetY = 1500;
  view.SetTransform(t);
  view.Params = Params(0, 1, 0);
  TPicture image(40000, 60, 32), mask(40000, 60, 32);  // wider than 16-bit span columns
  view.Params.CentreX = 39980;
  view.Params.CentreY = 30;
  TShadeRamp ramp;
  ramp.fill(0x00ABCDEF);
  view.Render(image, mask, ramp, ramp, 0, true);
  EXPECT_EQ(image.PixelAt(39990, 30), 0u);  // past column 32766 nothing is drawn
}

// Faces wholly above the picture draw nothing: neither a stray pixel in the
// corner nor a copy of a row another face left in the edge table, so the first
// render of a view is the same as every later one.
TEST(View, FacesAboveThePictureDrawNothing) {
  TView3D view;
  TBody& b = view.Body(view.AddBody());
  b.AddFace({-10, 0, 60}, {-10, 0, 40}, {10, 0, 40}, {10, 0, 60});  // rows -18..-12, nearest: drawn first
  b.AddFace({-10, 100, 10}, {-10, 100, -10}, {10, 100, -10}, {10, 100, 10});  // rows -3..3
  b.AddFace({-10, 100, 10}, {-10, 100, -10}, {10, 100, -10}, {10, 100, 10});  // the cap, never a quad
  PlaceInFront(view, 40, 0);
  TShadeRamp ramp;
  for (int i = 0; i < 256; ++i) ramp[i] = MakePixel(static_cast<uint8_t>(i), 0, 3);
  constexpr TPixel kBackground = 0x00C0A080;
  TPicture first(80, 10, 32), again(80, 10, 32), mask(80, 10, 32);
  first.Fill(kBackground);
  view.Render(first, mask, ramp, ramp, 0, false);
  again.Fill(kBackground);
  view.Render(again, mask, ramp, ramp, 0, false);
  EXPECT_EQ(first.PixelAt(0, 0), kBackground);  // the faces lie in columns 37..43
  EXPECT_TRUE(first == again);
}

// The end-to-end frame: a button plate with a letter-like ring in front.
class Frame : public ::testing::Test {
 protected:
  static constexpr TPixel kBackground = 0x00C0A080;

  void SetUp() override {
    for (int i = 0; i < 256; ++i) {
      textRamp[i] = MakePixel(static_cast<uint8_t>(i), 0, 3);
      buttonRamp[i] = MakePixel(0, static_cast<uint8_t>(i), 5);
    }
    letter = view.AddBody();
    BuildPrism(view.Body(letter), {RectCW(-60, -60, 60, 60), RectCCW(-25, -25, 25, 25)}, 40, 0);
    button = view.AddBody();
    BuildPrism(view.Body(button), {RectCW(-150, -100, 150, 100)}, 0, -30);
    TBodyTransform t;
    t.OffsetY = 1500;
    t.Smooth = 1;
    view.SetTransform(t);
    view.Params = Params(0.3f, 0.9f, 0.3f);
    view.Params.TextAltitude = 10;
    view.Params.ButtonAltitude = 30;
    view.Params.TextShadowDX = 4;
    view.Params.TextShadowDY = 5;
    view.Params.ButtonShadowDX = 6;
    view.Params.ButtonShadowDY = 8;
    Draw(true);
  }

  // Sizes the picture to the bodies with room for the button's shadow, and draws.
  void Draw(bool withMask) {
    view.Params.CentreX = 0;
    view.Params.CentreY = 0;
    const TRect r = view.ScreenBounds();
    view.Params.CentreX = -r.Left;
    view.Params.CentreY = -r.Top;
    width = r.Right - r.Left + 2 + 6;
    height = r.Bottom - r.Top + 2 + 8;
    image.SetSize(width, height, 32);
    mask.SetSize(width, height, 32);
    image.Fill(kBackground);
    view.Render(image, mask, buttonRamp, textRamp, 1, withMask);
  }

  TPoint Screen(int x, int z) const {
    return {RoundInt(view.Params.CnX * x / 1500.0 + view.Params.CentreX),
            RoundInt(view.Params.CentreY - view.Params.CnZ * z / 1500.0)};
  }

  TView3D view;
  TShadeRamp textRamp{}, buttonRamp{};
  TPicture image, mask;
  int letter = 0, button = 0, width = 0, height = 0;
};

TEST_F(Frame, CapsTakeTheRampEntryOfTheCapFaceShade) {
  const TBody& l = view.Body(letter);
  const TPoint onRing = Screen(-45, 0);  // inside the ring, well away from its walls
  EXPECT_EQ(image.PixelAt(onRing.X, onRing.Y), textRamp[l.Face(l.FaceCount()).Shade]);
  const TBody& b = view.Body(button);
  const TPoint onPlate = Screen(120, 80);
  EXPECT_EQ(image.PixelAt(onPlate.X, onPlate.Y), buttonRamp[b.Face(b.FaceCount()).Shade]);
}

TEST_F(Frame, LettersArePaintedOverTheButtonAndTheHoleShowsIt) {
  const TPoint hole = Screen(0, 0);
  const TPixel p = image.PixelAt(hole.X, hole.Y);
  EXPECT_EQ(PixelBlue(p) == 5 || PixelBlue(p) == 2, true) << std::hex << p;  // button, maybe in shadow
  const TPoint ring = Screen(-45, 30);
  EXPECT_EQ(PixelBlue(image.PixelAt(ring.X, ring.Y)), 3);
}

TEST_F(Frame, ShadowHalvesTheBackgroundBesideTheButton) {
  const TPoint corner = Screen(150, -100);  // bottom-right corner of the plate
  const TPixel halved = (kBackground >> 1) & 0x007F7F7F;
  EXPECT_EQ(image.PixelAt(corner.X + 4, corner.Y + 4), halved);
  EXPECT_EQ(image.PixelAt(2, height - 2), kBackground);
}

TEST_F(Frame, MaskIsWhiteExactlyWhereSomethingWasDrawn) {
  int drawn = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool changed = image.PixelAt(x, y) != kBackground;
      drawn += changed;
      ASSERT_EQ(mask.PixelAt(x, y) == kPixelWhite, changed) << x << "," << y;
      if (!changed) {
        ASSERT_EQ(mask.PixelAt(x, y), 0u);
      }
    }
  EXPECT_GT(drawn, width * height / 2);
}

TEST_F(Frame, FlatAndSmoothShadingDifferOnlyOnTheWalls) {
  // Moved off the axis, so that perspective shows two outer walls; seen
  // straight on they hide behind the caps.
  TBodyTransform t = view.Body(1).Transform;
  t.OffsetX = 500;
  t.OffsetZ = 300;
  view.SetTransform(t);
  Draw(false);
  const TPicture smooth = image;
  t.Smooth = 0;
  view.SetTransform(t);
  Draw(false);
  const TBody& l = view.Body(letter);
  const TBody& b = view.Body(button);
  const TPixel letterCap = textRamp[l.Face(l.FaceCount()).Shade];
  const TPixel plate = buttonRamp[b.Face(b.FaceCount()).Shade];
  int walls = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TPixel flat = image.PixelAt(x, y), round = smooth.PixelAt(x, y);
      if (flat == round) continue;
      ++walls;
      // A cap is one plane with one shade: only the walls may change.
      ASSERT_NE(round, letterCap) << x << "," << y;
      ASSERT_NE(round, plate) << x << "," << y;
      ASSERT_NE(flat, letterCap) << x << "," << y;
      ASSERT_NE(flat, plate) << x << "," << y;
    }
  EXPECT_GT(walls, 0) << "smooth shading changed no wall";
}

TEST(View, ButtonTypeZeroDrawsEveryBodyAsALetter) {
  TView3D view;
  BuildPrism(view.Body(view.AddBody()), {RectCW(-20, -20, 20, 20)}, 10, 0);
  PlaceInFront(view, 20, 20);
  TPicture image(40, 40, 32), mask(40, 40, 32);
  TShadeRamp text{}, btn{};
  text.fill(0x111111);
  btn.fill(0x222222);
  view.Render(image, mask, btn, text, 0, false);
  EXPECT_EQ(image.PixelAt(20, 20), 0x111111u);
  view.Render(image, mask, btn, text, 1, false);
  EXPECT_EQ(image.PixelAt(20, 20), 0x222222u);
  EXPECT_EQ(mask.PixelAt(20, 20), 0u);  // no mask asked for
}

}  // namespace
}  // namespace vantrix
