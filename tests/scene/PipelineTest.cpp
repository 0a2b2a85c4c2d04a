#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Rounding.h"
#include "scene/Scene.h"

namespace vantrix {
namespace {

// Records what the pipeline reports; asks it to stop once a given number of
// reports have come, as a superseded preview's progress does.
class TRecorder : public TProgress {
 public:
  void SetStatus(const std::string& text) override { Steps.push_back(text); }
  void SetPosition(int position) override { Steps.push_back(std::to_string(position)); }
  bool Stopped() const override { return StopAfter >= 0 && static_cast<int>(Steps.size()) >= StopAfter; }
  std::vector<std::string> Steps;
  int StopAfter = -1;
};

TCaption Caption(const char* text) {
  TCaption c;
  c.SetText(text, TFontSpec{});
  return c;
}

TEST(Pipeline, StagesAndProgressInOrder) {
  TScene s;
  TRecorder r;
  const TCaption c = Caption("Go");
  ASSERT_TRUE(s.Build(c, &r));
  ASSERT_TRUE(s.Render({.WithMask = true, .ShowProgress = true}, &r));
  const std::vector<std::string> want = {" Reallocating memory ...",
                                         "2",
                                         " Getting font outline ...",
                                         " Normalizing coordinates ...",
                                         "15",
                                         " Transforming letters ...",
                                         "17",
                                         "20",
                                         " Making button ...",
                                         "23",
                                         " Resizing textures ...",
                                         "30",
                                         " Calculating viewport ...",
                                         "35",
                                         " Rendering scene ...",
                                         "75"};
  EXPECT_EQ(r.Steps, want);
  r.Steps.clear();
  s.Params.ButType = 0;
  ASSERT_TRUE(s.Build(c, &r));
  for (const std::string& step : r.Steps) EXPECT_NE(step, " Making button ...");
  EXPECT_EQ(r.Steps[r.Steps.size() - 3], "20");
  EXPECT_EQ(r.Steps.back(), "30");
}

// A stopped run says so, whatever stage it had reached, and the next one
// starts from nothing left over: the same picture as a run never stopped.
TEST(Pipeline, AStoppedRunEndsEarlyAndLeavesNothingBehind) {
  const TCaption c = Caption("Hi");
  TScene whole;
  ASSERT_TRUE(whole.Build(c));
  ASSERT_TRUE(whole.Render({}));
  for (int stopAfter : {0, 3, 8}) {
    TScene s;
    TRecorder r;
    r.StopAfter = stopAfter;
    EXPECT_FALSE(s.Build(c, &r) && s.Render({}, &r)) << stopAfter;
    ASSERT_TRUE(s.Build(c));
    ASSERT_TRUE(s.Render({}));
    EXPECT_EQ(s.LetterCount(), 2);
    EXPECT_TRUE(s.Image == whole.Image) << stopAfter;
  }
}

TEST(Pipeline, PictureLeavesRoomForTheShadow) {
  TScene s;
  ASSERT_TRUE(s.Build(Caption("Go")));
  s.Params.ViewParams.CentreX = s.Params.ViewParams.CentreY = 0;
  s.View3D.Params = s.Params.ViewParams;
  s.View3D.SetTransform(s.Params.View);
  const TRect r = s.View3D.ScreenBounds();
  ASSERT_TRUE(s.Render({}));
  // Start-up light and altitudes with a button: offsets (16, 28), both positive.
  EXPECT_EQ(s.Image.Width(), r.Right - r.Left + 2 + 16);
  EXPECT_EQ(s.Image.Height(), r.Bottom - r.Top + 2 + 28);
  EXPECT_EQ(s.Params.ViewParams.CentreX, -r.Left);
  EXPECT_EQ(s.Params.ViewParams.CentreY, -r.Top);
  EXPECT_EQ(s.Mask.Width(), s.Image.Width());
  EXPECT_EQ(s.Image.PixelAt(0, 0), ColorToPixel(s.Params.BkgColor));
  // A negative offset moves the centre and widens the picture as much.
  s.Params.ViewParams.ButtonShadowDX = -9;
  s.Params.ViewParams.ButtonShadowDY = 0;
  ASSERT_TRUE(s.Render({}));
  EXPECT_EQ(s.Params.ViewParams.CentreX, -r.Left + 9);
  EXPECT_EQ(s.Image.Width(), r.Right - r.Left + 2 + 9);
}

TEST(Pipeline, NothingToDrawGivesAnEmptyBackground) {
  TScene s;
  s.Params.ButType = 0;
  s.Params.BkgColor = MakeColor(1, 2, 3);
  ASSERT_TRUE(s.Build(Caption("   ")));
  ASSERT_TRUE(s.Render({.WithMask = true}));
  EXPECT_FALSE(s.Image.Empty());
  EXPECT_EQ(s.Image.PixelAt(s.Image.Width() - 1, s.Image.Height() - 1), MakePixel(1, 2, 3));
}

TEST(Pipeline, TexturesAreFittedToThePictureWithoutItsShadowMargin) {
  TScene s;
  TPicture tex(7, 5, 24);
  tex.Fill(MakePixel(10, 200, 30));
  s.View3D.SetButtonTexture(tex);
  s.View3D.SetTextTexture(tex);
  s.Params.TxtTexW = 2;
  s.Params.TxtTexH = 1.4f;  // rounded to 1
  ASSERT_TRUE(s.Build(Caption("Go")));
  s.View3D.Params = s.Params.ViewParams;
  const TRect r = s.View3D.ScreenBounds();
  const int w = r.Right - r.Left + 2, h = r.Bottom - r.Top + 2;
  EXPECT_EQ(s.View3D.ButtonTexture().Width(), w);
  EXPECT_EQ(s.View3D.ButtonTexture().Height(), h);
  EXPECT_EQ(s.View3D.TextTexture().Width(), RoundInt(w / 2.0));
  EXPECT_EQ(s.View3D.TextTexture().Height(), h);
  EXPECT_EQ(s.Params.TxtTexH, 1.0f);
  // Held proportions: the tile keeps the texture's aspect.
  s.Params.ButHoldRatio = true;
  s.Params.ButTexH = 2;
  s.View3D.SetButtonTexture(tex);
  ASSERT_TRUE(s.Build(Caption("Go")));
  const TPicture& held = s.View3D.ButtonTexture();
  EXPECT_NEAR(static_cast<double>(held.Width()) / held.Height(), 7.0 / 5.0, 0.02);
}

}  // namespace
}  // namespace vantrix
