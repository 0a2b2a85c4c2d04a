#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scene/LetterGeometry.h"
#include "scene/SceneProbe_p.h"

namespace vantrix {
namespace {

TLetter LetterOf(std::vector<std::vector<TPoint>> contours) {
  TLetter l;
  for (auto& c : contours) {
    c.push_back(c.front());
    l.AppendContour(c.data(), static_cast<int>(c.size()));
  }
  l.UpdateBounds();
  return l;
}

double Area(const std::vector<TPoint>& p) {
  double a = 0;
  for (size_t i = 0; i + 1 < p.size(); ++i)
    a += static_cast<double>(p[i].X) * p[i + 1].Y - static_cast<double>(p[i + 1].X) * p[i].Y;
  return a / 2;  // y up: clockwise is negative
}

TEST(OffsetCorner, PushesEdgesToTheLeftWithDoubleStepInX) {
  EXPECT_EQ(OffsetCorner({0, 0}, {100, 0}, {100, -100}, 10), (TPoint{120, 10}));
  EXPECT_EQ(OffsetCorner({0, 0}, {10, 0}, {20, 0}, 5), (TPoint{10, 5}));  // parallel: midpoint
  EXPECT_EQ(OffsetCorner({0, 0}, {0, 0}, {5, 5}, 5), (TPoint{0, 0}));     // no edge, no push
}

TEST(ContourWalk, WrapsAndSkipsRepeatedPoints) {
  // Square with its first point repeated in the middle of the walk.
  const TLetter l = LetterOf({{{0, 0}, {0, 10}, {0, 10}, {10, 10}, {10, 0}}});
  EXPECT_EQ(PointAt(l, 1, 6), PointAt(l, 1, 1));  // 6 points, period 5
  EXPECT_EQ(PointAt(l, 1, 0), PointAt(l, 1, 5));
  EXPECT_EQ(PointAt(l, 2, 1), PointAt(l, 1, 1));  // contours wrap too
  int c = 2;
  EXPECT_EQ(NextDistinct(l, 1, c), (TPoint{10, 10}));
  EXPECT_EQ(c, 4);
  c = 1;
  EXPECT_EQ(PrevDistinct(l, 1, c), (TPoint{10, 0}));
  EXPECT_EQ(c, 0);
  // All points equal: the walk gives up after one round instead of spinning.
  const TLetter dot = LetterOf({{{5, 5}, {5, 5}, {5, 5}}});
  c = 1;
  EXPECT_EQ(NextDistinct(dot, 1, c), (TPoint{5, 5}));
  EXPECT_FALSE(HasDistinctPoints(dot, 1));
}

TEST(Normalize, CentresTheCaptionOnTheOrigin) {
  TSceneProbe s;
  s.NewLetter();
  std::vector<TPoint> c = {{0, -20}, {99, -20}, {99, 79}, {0, -20}};
  s.Letter(1).AppendContour(c.data(), 4);
  s.CaptionExtent = TCaptionExtent{0, 99, -20, 79};
  s.Normalize();
  EXPECT_EQ(s.Letter(1).Contour(1)[0], (TPoint{-50, -50}));
  EXPECT_EQ(s.Letter(1).Contour(1)[2], (TPoint{49, 49}));
  EXPECT_EQ(s.Letter(1).Left, -50);
  EXPECT_EQ(s.Letter(1).Top, 49);
}

TEST(BuildLetters, BevelAndWallDepthsAndTheCapPlane) {
  TSceneProbe s;
  s.Letters.push_back(std::make_unique<TLetter>(LetterOf({{{-50, -50}, {-50, 50}, {50, 50}, {50, -50}}})));
  s.Params.ButY = -5;
  s.Params.TxtY = 30;
  s.BuildLetters();
  ASSERT_EQ(s.View3D.BodyCount(), 1);
  const TBody& b = s.View3D.Body(1);
  EXPECT_EQ(b.FaceCount(), 4 * 2 + 1);
  const TVertex& capPoint = b.Vertex(b.Contour(1)[0]);
  EXPECT_EQ(capPoint.Y, -25);  // -(ButY + TxtY)
  const TFace& cap = b.Face(b.FaceCount());
  EXPECT_EQ(b.Vertex(cap.V1).Y, -30);  // -TxtY, whatever ButY
  EXPECT_EQ(b.Vertex(cap.V1).X, -50);
  EXPECT_EQ(b.Vertex(cap.V1).Z, 50);
  // The bevel's far ring lies TxtW behind the caps, pushed out by 2 * TxtW
  // sideways on the vertical edges; the wall ends at the panel (-ButY).
  const TFace& bevel = b.Face(1);
  EXPECT_EQ(b.Vertex(bevel.V3).Y, -15);
  EXPECT_EQ(b.Vertex(bevel.V1).X, -50);
  EXPECT_EQ(b.Vertex(bevel.V4).X, -70);
  EXPECT_EQ(b.Vertex(bevel.V4).Z, -60);
  EXPECT_EQ(b.Vertex(b.Face(2).V3).Y, 5);
  s.Params.TxtY = 10;  // the bevel alone reaches the panel
  s.BuildLetters();
  EXPECT_EQ(s.View3D.Body(1).FaceCount(), 4 + 1);
}

TEST(BuildLetters, BlanksAndDegenerateContoursGiveOnlyACapPlane) {
  TSceneProbe s;
  s.Letters.push_back(std::make_unique<TLetter>());
  s.Letters.push_back(std::make_unique<TLetter>(LetterOf({{{7, 7}, {7, 7}}})));
  s.BuildLetters();
  for (int i = 1; i <= 2; ++i) {
    const TBody& b = s.View3D.Body(i);
    ASSERT_EQ(b.FaceCount(), 1) << i;
    EXPECT_EQ(b.ContourCount(), 0);
  }
  const TBody& blank = s.View3D.Body(1);
  EXPECT_EQ(blank.Vertex(blank.Face(1).V1).Y, -30);
  EXPECT_EQ(blank.VertexCount(), 1);  // four equal corners
}

class ButtonOutline : public ::testing::Test {
 protected:
  // A letter body whose bounds, with the margins, give the rectangle
  // (-100, 50, 100, -50) that the outlines are built around.
  void SetUp() override {
    s.Params.GutLeft = s.Params.GutRight = 0;
    s.Params.GutTop = s.Params.GutBottom = 0;
    TBody& b = s.View3D.Body(s.View3D.AddBody());
    b.AddFace({-99, 0, 49}, {-99, 0, -49}, {99, 0, -49}, {99, 0, 49});
  }
  std::vector<TPoint> Outline() { return {s.Points.begin(), s.Points.begin() + s.PointCount}; }
  TSceneProbe s;
};

TEST_F(ButtonOutline, RoundedRectangle) {
  s.Params.ButType = 2;
  s.Params.SplPnt = 2;
  s.MakeOutline();
  const auto p = Outline();
  ASSERT_EQ(p.size(), 29u);
  EXPECT_EQ(p[0], (TPoint{-75, 60}));
  EXPECT_EQ(p[1], (TPoint{75, 60}));
  EXPECT_EQ(p[7].X, 110);
  EXPECT_EQ(p[15].Y, -60);
  EXPECT_EQ(p.back(), p.front());
  EXPECT_LT(Area(p), 0);  // clockwise with y up
  EXPECT_EQ(s.Params.ButLeft, -100);
  EXPECT_EQ(s.Params.ButTop, 50);
}

TEST_F(ButtonOutline, ChamferedRectangle) {
  s.Params.ButType = 4;
  s.MakeOutline();
  const std::vector<TPoint> want = {{-112, 38}, {-88, 62},  {88, 62},    {112, 38}, {112, -38},
                                    {88, -62},  {-88, -62}, {-112, -38}, {-112, 38}};
  EXPECT_EQ(Outline(), want);
}

TEST_F(ButtonOutline, EllipseCircleRectangleAndUnknownKinds) {
  for (int type : {6, 7}) {
    s.Params.ButType = type;
    s.MakeOutline();
    EXPECT_EQ(s.PointCount, 41) << type;
    EXPECT_LT(Area(Outline()), 0);
  }
  s.Params.ButType = 1;
  s.MakeOutline();
  EXPECT_EQ(Outline(), (std::vector<TPoint>{{-100, 50}, {100, 50}, {100, -50}, {-100, -50}, {-100, 50}}));
  for (int type : {0, 9, -3, 16}) {  // 16 without a shape name: no outline
    s.Params.ButType = type;
    s.MakeOutline();
    EXPECT_EQ(s.PointCount, 0) << type;
  }
  s.Params.ButType = 6;
  s.Params.SplPnt = 1000000000;  // a damaged work: capped by the point buffer
  s.MakeOutline();
  EXPECT_EQ(s.PointCount, TScene::kMaxPoints);
  s.Params.SplPnt = -10;
  s.MakeOutline();
  EXPECT_EQ(s.PointCount, 0);
}

TEST_F(ButtonOutline, HeldRectangleKeepsTheOutlineButNotThePanel) {
  s.Params.ButType = 1;
  s.Params.HoldButtonSize = true;
  s.Params.ButLeft = -300;
  s.Params.ButTop = 10;
  s.Params.ButRight = 300;
  s.Params.ButBottom = -10;
  s.MakeOutline();
  EXPECT_EQ(s.Points[0], (TPoint{-300, 10}));
  s.BuildButton();
  const TBody& b = s.View3D.Body(2);
  const TFace& panel = b.Face(b.FaceCount());
  EXPECT_EQ(b.Vertex(panel.V1).X, -99);  // the caption's extent, not the held rectangle
  EXPECT_EQ(b.Vertex(panel.V1).Z, 49);
}

TEST_F(ButtonOutline, SunkenPanelWallBevelRingAndSkirt) {
  s.Params.ButType = 1;
  s.Params.ButY = -100;
  s.Params.ButW = 20;
  s.MakeOutline();
  s.BuildButton();
  const TBody& b = s.View3D.Body(2);
  ASSERT_EQ(b.FaceCount(), 4 * 4 + 1);
  auto y = [&](int face, int corner) {
    const TFace& f = b.Face(face);
    const int ids[4] = {f.V1, f.V2, f.V3, f.V4};
    return b.Vertex(ids[corner]);
  };
  EXPECT_EQ(y(1, 0).Y, 100);   // wall from the panel...
  EXPECT_EQ(y(1, 2).Y, 20);    // ...to w = -(20 * -100) div 100
  EXPECT_EQ(y(2, 2).Y, 0);     // bevel to the rim top
  EXPECT_EQ(y(2, 3).X, -140);  // the first corner pushed out by 2 * 20 sideways
  EXPECT_EQ(y(2, 3).Z, 70);
  EXPECT_EQ(y(3, 2).Y, 0);   // ring
  EXPECT_EQ(y(4, 2).Y, 80);  // skirt to 4 * ButW
  EXPECT_EQ(y(4, 3).X, -100 - 2 * 160);
  EXPECT_EQ(b.Vertex(b.Contour(1)[0]).Y, 100);
}

TEST_F(ButtonOutline, EmptyShapeOutlineGivesOnlyThePanelPlane) {
  s.Params.ButType = 16;
  s.MakeOutline();
  s.BuildButton();
  const TBody& b = s.View3D.Body(2);
  EXPECT_EQ(b.FaceCount(), 1);
  ASSERT_EQ(b.ContourCount(), 1);
  EXPECT_TRUE(b.Contour(1).empty());
}

TEST_F(ButtonOutline, DeliveredShapeFileIsFoundWhateverItsCase) {
  s.AppPath = std::string(VANTRIX_SOURCE_DIR) + "/data/";
  s.Params.ButType = 16;
  s.Params.ShapeName = "pill.VTXB";
  s.MakeOutline();
  EXPECT_GT(s.PointCount, 8);
  s.Params.ShapeName = "NOSUCH.VTXB";
  s.MakeOutline();
  EXPECT_EQ(s.PointCount, 0);
}

}  // namespace
}  // namespace vantrix
