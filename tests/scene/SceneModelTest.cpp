#include <gtest/gtest.h>

#include <cmath>

#include "scene/Scene.h"

namespace vantrix {
namespace {

TEST(SceneModel, StartUpRampsRunFromDarkThroughMainToBright) {
  TScene s;
  EXPECT_EQ(s.TextRamp[0], 0u);
  EXPECT_EQ(s.TextRamp[204], 0xFFFF80u);  // RGB(255, 255, 128) as a pixel
  EXPECT_EQ(s.TextRamp[255], 0xFFFFFFu);
  EXPECT_EQ(s.ButtonRamp[204], 0xFF8080u);
  // Halfway up the first segment: round(128 * 102 / 204) = 64 in blue.
  EXPECT_EQ(PixelBlue(s.TextRamp[102]), 64);
  EXPECT_EQ(s.Image.Width(), 64);
  EXPECT_EQ(s.Image.Height(), 16);
  EXPECT_EQ(s.Params.View.OffsetY, 1500.0f);
  EXPECT_EQ(s.Params.View.Smooth, 1);
}

TEST(SceneModel, LightColourMultipliesEveryChannelWithIntegerDivision) {
  TScene s;
  s.Params.ViewParams.LightColor = MakeColor(128, 128, 128);
  s.BuildRamp(true);
  EXPECT_EQ(s.TextRamp[255], MakePixel(128, 128, 128));
  s.SetColors(MakeColor(1, 1, 1), MakeColor(1, 1, 1), MakeColor(1, 1, 1), 100, true);
  EXPECT_EQ(s.TextRamp[50], 0u);  // 128 * 1 div 255
}

TEST(SceneModel, SplitOutsideTheRampIsClampedNotFollowed) {
  TScene s;
  for (int split : {0, -5, 255, 256, 100000}) {
    s.SetColors(MakeColor(0, 0, 0), MakeColor(255, 0, 0), kColorWhite, split, false);
    EXPECT_EQ(s.ButtonRamp[0], 0u) << split;
    EXPECT_EQ(PixelRed(s.ButtonRamp[255]), 255) << split;
  }
  s.SetColors(MakeColor(0, 0, 0), MakeColor(255, 0, 0), kColorWhite, 255, false);
  EXPECT_EQ(s.ButtonRamp[255], MakePixel(255, 0, 0));  // with 255 the second segment is empty
}

TEST(SceneModel, LightAnglesSetTheVectorAndTheShadowOffsets) {
  TScene s;
  const TViewParams& v = s.Params.ViewParams;
  EXPECT_EQ(v.ButtonShadowDX, 16);
  EXPECT_EQ(v.ButtonShadowDY, 28);
  EXPECT_EQ(v.TextShadowDX, 5);
  EXPECT_EQ(v.TextShadowDY, 9);
  s.SetLightAngles(0, 0);
  EXPECT_EQ(v.LightA1, 0.0f);
  EXPECT_FLOAT_EQ(v.LightZ, -1.0f);
  EXPECT_FLOAT_EQ(v.LightX, 0.0f);
  EXPECT_FLOAT_EQ(v.LightLen, 1.0f);
  EXPECT_EQ(v.ButtonShadowDX, 28);  // angles clamped to pi/10 for the shadows
  EXPECT_EQ(v.TextShadowDX, 9);
  s.SetLightAngles(NAN, 100.0f);  // not comparable: the low bound; too large: the high one
  EXPECT_EQ(v.ButtonShadowDX, 28);
  EXPECT_EQ(v.ButtonShadowDY, -28);
}

TEST(SceneModel, ShadowOffsetsVanishWithAltitudeOrDistance) {
  TScene s;
  s.Params.ViewParams.ButtonAltitude = 0;
  s.Params.ViewParams.TextAltitude = 0;
  s.SetLightAngles(1.0f, 2.0f);
  EXPECT_EQ(s.Params.ViewParams.ButtonShadowDX, 0);
  EXPECT_EQ(s.Params.ViewParams.TextShadowDY, 0);
  TScene t;
  t.Params.View.OffsetY = 0;  // a damaged work: no division by zero
  t.SetLightAngles(0.5f, 0.3f);
  EXPECT_EQ(t.Params.ViewParams.ButtonShadowDX, 0);
}

TEST(SceneModel, PhasesRoundTripAndResetTheSchemes) {
  TScene s;
  s.SetColors(MakeColor(10, 10, 10), MakeColor(1, 2, 3), MakeColor(200, 200, 200), 99, true);
  s.Params.ButY = -40;
  const TPhase saved = s.SavePhase();
  TPhase other = saved;
  other.TColor = MakeColor(9, 9, 9);
  other.TxtY = 77;
  s.ApplyPhase(other);
  EXPECT_EQ(s.Params.TxtY, 77);
  s.ApplyPhase(saved);
  const TPhase again = s.SavePhase();
  EXPECT_EQ(again.TColor, saved.TColor);
  EXPECT_EQ(again.ButY, -40);
  EXPECT_EQ(again.TxtY, saved.TxtY);
  EXPECT_EQ(s.Params.TxtColors.DColor, MakeColor(0, 0, 0));
  EXPECT_EQ(s.Params.TxtColors.BColor, kColorWhite);
  EXPECT_EQ(s.Params.TxtColors.ColSplit, s.Params.ViewParams.Brightness);
}

TEST(SceneModel, CountNonBlankCountsCharactersNotBytes) {
  EXPECT_EQ(TScene::CountNonBlank(""), 0);
  EXPECT_EQ(TScene::CountNonBlank("  a b "), 2);
  EXPECT_EQ(TScene::CountNonBlank("\xD0\x94\xC3\xA9 "), 2);  // two letters of two bytes each
}

}  // namespace
}  // namespace vantrix
