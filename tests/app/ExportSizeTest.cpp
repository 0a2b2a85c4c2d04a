#include <gtest/gtest.h>

#include <numbers>

#include "app/logic/ExportSize.h"
#include "app/logic/PreviewGeometry.h"

namespace vantrix {
namespace {

TEST(ExportSize, FollowsThePictureAfterARebuild) {
  struct Case {
    int w, h, ew, eh;
  } cases[] = {
      {400, 80, 160, 32},   // ratio 5: 160 wide
      {400, 100, 160, 40},  // ratio 4 exactly
      {300, 100, 120, 40},  // else 40 high
      {100, 300, 13, 40},   // 13.33
      {50, 16, 125, 40},
  };
  for (const Case& c : cases) {
    TExportSize s;
    s.Start(64, 16);
    EXPECT_TRUE(s.FollowPicture(c.w, c.h));
    EXPECT_EQ(s.ExportWidth, c.ew) << c.w << "x" << c.h;
    EXPECT_EQ(s.ExportHeight, c.eh) << c.w << "x" << c.h;
    s.ExportWidth = 77;  // edited by the user; the same picture again keeps it
    EXPECT_FALSE(s.FollowPicture(c.w, c.h));
    EXPECT_EQ(s.ExportWidth, 77);
  }
}

TEST(ExportSize, EditsAreClampedAndKeptInProportion) {
  struct Case {
    bool width, constrain;
    int typed, ew, eh;
  } cases[] = {
      {true, true, 1200, 800, 200}, {true, true, 250, 250, 62},  {false, true, 700, 2400, 600},
      {true, false, 1200, 800, 50}, {false, false, 30, 160, 30}, {true, true, 2, 2, 0},
  };
  for (const Case& c : cases) {
    TExportSize s;
    s.Start(400, 100);
    s.ExportWidth = 160;
    s.ExportHeight = 50;
    (c.width ? s.ExportWidth : s.ExportHeight) = c.typed;
    s.Apply(c.width, c.constrain);
    EXPECT_EQ(s.ExportWidth, c.ew) << c.typed;
    EXPECT_EQ(s.ExportHeight, c.eh) << c.typed;
  }
}

TEST(ExportSize, RulersShowTheNearestEnd) {
  TExportSize s;
  s.Start(800, 600);
  EXPECT_EQ(s.WidthRuler(), 300);
  EXPECT_EQ(s.HeightRuler(), -145);
  s.Start(2, 0);
  EXPECT_EQ(s.WidthRuler(), 5);
  EXPECT_EQ(s.HeightRuler(), 0);
  EXPECT_EQ(HeightOfRuler(0), 5);  // the bottom of the ruler is 5, not 0
  EXPECT_EQ(HeightOfRuler(-145), 145);
}

TEST(ExportSize, ASetShrinksAsTheWindowsPicture) {
  TExportSize window;
  window.FollowPicture(600, 150);  // 160 x 40: a quarter of each side
  const struct {
    int32_t width, height;
    std::pair<int32_t, int32_t> expected;
  } rows[] = {
      {600, 150, {160, 40}},    // the window's own picture
      {900, 150, {240, 40}},    // a wider caption: wider, same height
      {10000, 150, {800, 40}},  // clamped
      {0, 0, {1, 1}},           // nothing drawn still gives a picture
  };
  for (const auto& r : rows) EXPECT_EQ(SetExportSize(window, r.width, r.height), r.expected) << r.width;
  window.ExportHeight = 80;  // stretched by the user: the set is stretched alike
  EXPECT_EQ(SetExportSize(window, 900, 150), (std::pair<int32_t, int32_t>{240, 80}));
  EXPECT_EQ(SetExportSize(TExportSize{}, 900, 150),
            (std::pair<int32_t, int32_t>{160, 27}));  // no picture yet
}

TEST(PreviewGeometry, PreviewFitsTheLongerSide) {
  EXPECT_EQ(PreviewSize({800, 400}, 50, {400, 100}), (TSize2{400, 100}));
  EXPECT_EQ(PreviewSize({800, 400}, 50, {100, 400}), (TSize2{50, 200}));
  // A square picture in a wide target is sized by the height, not cut off.
  EXPECT_EQ(PreviewSize({1600, 800}, 90, {300, 300}), (TSize2{720, 720}));
  EXPECT_EQ(PreviewSize({400, 800}, 50, {300, 290}), (TSize2{200, 193}));
  EXPECT_EQ(PreviewSize({800, 400}, 50, {0, 10}), (TSize2{}));
}

TEST(PreviewGeometry, MarkerAndLightAgree) {
  const TSize2 client{640, 300};
  float a1 = 0, a2 = 0;
  LightFromPoint({320, 150}, client, a1, a2);  // released at the centre
  EXPECT_FLOAT_EQ(a1, float(std::numbers::pi / 2));
  EXPECT_FLOAT_EQ(a2, float(std::numbers::pi / 2));
  EXPECT_EQ(MarkerFromLight(client, a1, a2), (TPoint{304, 134}));
  for (int x = 0; x <= 640; x += 40) {
    LightFromPoint({x, 300 - x / 4}, client, a1, a2);
    const TPoint m = MarkerFromLight(client, a1, a2);
    EXPECT_EQ(m, (TPoint{x - 16, 300 - x / 4 - 16}));
  }
}

TEST(PreviewGeometry, DragKeepsTheMarkerInside) {
  const TSize2 client{200, 100};
  EXPECT_EQ(DragMarker({50, 30}, {26, 6}, client), (TPoint{60, 20}));
  EXPECT_EQ(DragMarker({50, 30}, {-50, 16}, client), (TPoint{50, 30}));  // left would be -16
  EXPECT_EQ(DragMarker({50, 30}, {16, 70}, client), (TPoint{50, 30}));   // top 84 > 100 - 32
  EXPECT_EQ(DragMarker({1, 1}, {15, 15}, client), (TPoint{1, 1}));       // 0 is not inside
}

}  // namespace
}  // namespace vantrix
