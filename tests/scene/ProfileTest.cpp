// Bevel profiles: the rings of the letters' bevels and of the button's skirt,
// the normals smooth shading takes across them, and room for every face.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "scene/LetterGeometry.h"
#include "scene/SceneProbe_p.h"

namespace vantrix {
namespace {

TLetter LetterOf(std::vector<TPoint> contour) {
  TLetter l;
  contour.push_back(contour.front());
  l.AppendContour(contour.data(), static_cast<int>(contour.size()));
  l.UpdateBounds();
  return l;
}

TCaption Caption(const char* text) {
  TCaption c;
  c.SetText(text, TFontSpec{});
  return c;
}

// Ring by ring along the left edge of a square (running up, so pushed out to
// the left by twice the offset): where each ring lies and how far back.
TEST(BevelProfile, RingOffsetsAndDepthsOnASquare) {
  struct TCase {
    int32_t Profile;
    std::vector<int32_t> Offsets, Depths;
  } cases[] = {
      {kProfileStraight, {40}, {40}},
      {kProfileRound,
       {8, 15, 22, 28, 33, 37, 39, 40},
       {1, 3, 7, 12, 18, 25, 32, 40}},  // 40 sin, 40 (1 - cos)
      {kProfileCove, {1, 3, 7, 12, 18, 25, 32, 40}, {8, 15, 22, 28, 33, 37, 39, 40}},
      {kProfileSteps, {4, 20, 24, 40}, {20, 20, 40, 40}},
  };
  for (const TCase& c : cases) {
    TSceneProbe s;
    s.Letters.push_back(std::make_unique<TLetter>(LetterOf({{-50, -50}, {-50, 50}, {50, 50}, {50, -50}})));
    s.Params.TxtW = 40;
    s.Params.TxtY = 60;  // caps at -60, the bevel's end at -20, the wall down to 0
    s.Params.TxtProfile = c.Profile;
    s.BuildLetters();
    const TBody& b = s.View3D.Body(1);
    const int rings = static_cast<int>(c.Offsets.size());
    ASSERT_EQ(BevelRings(c.Profile), rings);
    ASSERT_EQ(b.FaceCount(), 4 * (rings + 1) + 1) << c.Profile;
    const TPoint p{50, -50}, a{-50, -50}, bb{-50, 50}, q{50, 50};
    for (int k = 1; k <= rings; ++k) {
      const TFace& f = b.Face(k);
      const TVertex& outerA = b.Vertex(f.V4);
      const TVertex& outerB = b.Vertex(f.V3);
      const TPoint wantA = OffsetCorner(p, a, bb, c.Offsets[k - 1]);
      const TPoint wantB = OffsetCorner(a, bb, q, c.Offsets[k - 1]);
      EXPECT_EQ((TPoint{outerA.X, outerA.Z}), wantA) << c.Profile << " ring " << k;
      EXPECT_EQ((TPoint{outerB.X, outerB.Z}), wantB) << c.Profile << " ring " << k;
      EXPECT_EQ(outerA.Y, -60 + c.Depths[k - 1]) << c.Profile << " ring " << k;
      // Each ring starts where the one before it ended.
      if (k > 1) {
        EXPECT_TRUE(f.V1 == b.Face(k - 1).V4 && f.V2 == b.Face(k - 1).V3) << k;
      }
    }
    const TFace& wall = b.Face(rings + 1);
    EXPECT_TRUE(wall.V1 == b.Face(rings).V4 && wall.V2 == b.Face(rings).V3);
    EXPECT_EQ(b.Vertex(wall.V3).Y, 0);
  }
}

// On real glyphs every profile keeps the caps, ends its last ring on the
// straight bevel's outer ring and keeps the walls as they were.
TEST(BevelProfile, GlyphRingsEndOnTheStraightBevel) {
  TScene straight;
  ASSERT_TRUE(straight.Build(Caption("Sg&")));
  for (int32_t profile : {kProfileRound, kProfileCove, kProfileSteps}) {
    TScene s;
    s.Params.TxtProfile = profile;
    ASSERT_TRUE(s.Build(Caption("Sg&")));
    const int rings = BevelRings(profile);
    ASSERT_EQ(s.View3D.BodyCount(), straight.View3D.BodyCount());
    for (int i = 1; i <= s.LetterCount(); ++i) {
      const TBody& was = straight.View3D.Body(i);
      const TBody& b = s.View3D.Body(i);
      const int edges = (was.FaceCount() - 1) / 2;
      ASSERT_EQ(b.FaceCount(), edges * (rings + 1) + 1) << profile << " letter " << i;
      auto same = [&](int32_t v, int32_t w) {
        return b.Vertex(v).X == was.Vertex(w).X && b.Vertex(v).Y == was.Vertex(w).Y &&
               b.Vertex(v).Z == was.Vertex(w).Z;
      };
      for (int e = 0; e < edges; ++e) {
        const TFace& first = b.Face(e * (rings + 1) + 1);
        const TFace& bevel = was.Face(2 * e + 1);
        ASSERT_TRUE(same(first.V1, bevel.V1) && same(first.V2, bevel.V2)) << profile << " edge " << e;
        const TFace& last = b.Face(e * (rings + 1) + rings);
        ASSERT_TRUE(same(last.V3, bevel.V3) && same(last.V4, bevel.V4)) << profile << " edge " << e;
        const TFace& wall = b.Face(e * (rings + 1) + rings + 1);
        const TFace& wasWall = was.Face(2 * e + 2);
        ASSERT_TRUE(same(wall.V1, wasWall.V1) && same(wall.V2, wasWall.V2) && same(wall.V3, wasWall.V3) &&
                    same(wall.V4, wasWall.V4))
            << profile << " edge " << e;
        for (int k = 2; k <= rings; ++k)
          ASSERT_GE(b.Vertex(b.Face(e * (rings + 1) + k).V3).Y, b.Vertex(b.Face(e * (rings + 1) + k).V2).Y);
      }
      EXPECT_EQ(b.ContourCount(), was.ContourCount());
      EXPECT_EQ(b.Vertex(b.Face(b.FaceCount()).V1).Y, was.Vertex(was.Face(was.FaceCount()).V1).Y);
    }
  }
}

// Along the middle of a letter's top edge, the smooth normals of a round
// bevel turn ring by ring from facing the eye, like the cap, to facing up,
// like the wall; a straight bevel's meet the cap at its one slope.
TEST(BevelProfile, SmoothNormalsTurnRingByRingFromTheCapToTheWall) {
  for (int32_t profile : {kProfileRound, kProfileStraight}) {
    TSceneProbe s;
    // Below the eye, so that the top bevel and wall face it; the top edge
    // has a point in its middle that no side edge shares.
    s.Letters.push_back(std::make_unique<TLetter>(
        LetterOf({{-100, -400}, {-100, -300}, {0, -300}, {100, -300}, {100, -400}})));
    s.Params.TxtW = 40;
    s.Params.TxtY = 80;
    s.Params.TxtProfile = profile;
    s.BuildLetters();
    TBody& b = s.View3D.Body(1);
    b.Transform.OffsetY = 1500;
    b.Transform.Smooth = 1;
    b.Prepare(s.Params.ViewParams);
    std::vector<const TVertex*> column;  // the vertices above the middle point, cap edge first
    for (int i = 1; i <= b.VertexCount(); ++i)
      if (b.Vertex(i).X == 0 && b.Vertex(i).Y < 0) column.push_back(&b.Vertex(i));
    std::sort(column.begin(), column.end(), [](const TVertex* u, const TVertex* v) { return u->Y < v->Y; });
    ASSERT_EQ(static_cast<int>(column.size()), BevelRings(profile) + 1);
    std::vector<double> tilt;  // from facing the eye (+Y, into the body) toward facing up (-Z)
    for (const TVertex* v : column) tilt.push_back(std::atan2(-v->NZ, v->NY) * 180 / M_PI);
    if (profile == kProfileStraight) {
      EXPECT_NEAR(tilt.front(), 45, 1);  // at the cap's edge already the bevel's slope
      continue;
    }
    for (size_t k = 1; k < tilt.size(); ++k) EXPECT_GT(tilt[k], tilt[k - 1] + 2) << k;
    EXPECT_LT(tilt.front(), 15);
    EXPECT_GT(tilt.back(), 75);
  }
}

// The longest caption, of glyphs with many points at a fine curve detail,
// with round bevels on letters and button: every face finds room, the cap
// plane stays each body's last face, and the button's skirt has all its rings.
TEST(BevelProfile, NoFaceDroppedForA32CharacterCaption) {
  TScene s;
  s.Params.SplPnt = 8;
  s.Params.TxtProfile = kProfileRound;
  s.Params.ButProfile = kProfileRound;
  s.Params.ButType = 3;
  const TCaption caption = Caption("@&%$#QRSBWgjmwy0836@&%$#QRSBWgjm");
  ASSERT_EQ(caption.Length(), 32);
  ASSERT_TRUE(s.Build(caption));
  ASSERT_EQ(s.View3D.BodyCount(), 33);
  const int rings = BevelRings(kProfileRound);
  int over = 0;
  for (int i = 1; i <= 32; ++i) {
    const TLetter& l = std::as_const(s).Letter(i);
    int edges = 0;
    for (int j = 1; j <= l.ContourCount(); ++j) edges += static_cast<int>(l.Contour(j).size()) - 1;
    const TBody& b = s.View3D.Body(i);
    ASSERT_EQ(b.FaceCount(), edges * (rings + 1) + 1) << "letter " << i;
    EXPECT_EQ(b.Vertex(b.Face(b.FaceCount()).V1).Y, -s.Params.TxtY) << "letter " << i;
    over += b.FaceCount() > TBody::kMaxFaces;
  }
  EXPECT_GT(over, 0) << "no letter needed more than the straight bevel's room";
  const TBody& button = s.View3D.Body(33);
  int outline = 0;
  for (int i = 1; i <= button.ContourCount(); ++i) outline += static_cast<int>(button.Contour(i).size()) - 1;
  EXPECT_EQ(button.FaceCount(), outline * (3 + rings) + 1);
  ASSERT_TRUE(s.Render({}));
}

// The skirt of a round rim: from the flat ring at 2 ButW out to 8 ButW and
// back to 4 ButW, level where it leaves the ring and upright at its edge.
TEST(BevelProfile, ButtonSkirtFollowsTheProfile) {
  TScene s;
  s.Params.ButType = 1;
  s.Params.ButW = 20;
  s.Params.ButProfile = kProfileRound;
  ASSERT_TRUE(s.Build(Caption("I")));
  const TBody& b = s.View3D.Body(s.View3D.BodyCount());
  const int rings = BevelRings(kProfileRound);
  std::vector<int32_t> depths;
  for (int k = 1; k <= rings; ++k) depths.push_back(b.Vertex(b.Face(3 + k).V3).Y);
  EXPECT_EQ(depths, (std::vector<int32_t>{2, 6, 13, 23, 36, 49, 64, 80}));  // 80 (1 - cos)
  EXPECT_EQ(b.Vertex(b.Face(4).V1).Y, 0);
}

}  // namespace
}  // namespace vantrix
