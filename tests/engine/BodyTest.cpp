#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/Render3D.h"

namespace vantrix {
namespace {

TVertex V(int x, int y, int z) {
  TVertex v;
  v.X = x;
  v.Y = y;
  v.Z = z;
  return v;
}

TEST(BodyBuilding, EqualPointsShareOneVertex) {
  TBody b;
  EXPECT_EQ(b.AddVertex(V(1, 2, 3)), 1);
  EXPECT_EQ(b.AddVertex(V(1, 2, 4)), 2);
  EXPECT_EQ(b.AddVertex(V(1, 2, 3)), 1);
  EXPECT_EQ(b.AddVertex(V(0, 2, 3)), 3);
  EXPECT_EQ(b.VertexCount(), 3);
}

// The indexed look-up must answer exactly like a scan of the table in index order.
TEST(BodyBuilding, IndexedLookupMatchesLinearSearch) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-6, 6);
  TBody b;
  std::vector<TVertex> reference;
  for (int n = 0; n < 6000; ++n) {
    const TVertex v = V(coord(rng), coord(rng) * 1000003, coord(rng));
    int expected = 0;
    if (static_cast<int>(reference.size()) < TBody::kMaxVertices) {
      auto it = std::find_if(reference.begin(), reference.end(),
                             [&](const TVertex& r) { return r.X == v.X && r.Y == v.Y && r.Z == v.Z; });
      if (it == reference.end()) {
        reference.push_back(v);
        expected = static_cast<int>(reference.size());
      } else {
        expected = static_cast<int>(it - reference.begin()) + 1;
      }
    }
    ASSERT_EQ(b.AddVertex(v), expected) << n;
  }
}

TEST(BodyBuilding, FullVertexTableRefusesEvenKnownPoints) {
  TBody b;
  for (int i = 0; i < TBody::kMaxVertices; ++i) ASSERT_EQ(b.AddVertex(V(i, 0, 0)), i + 1);
  EXPECT_EQ(b.AddVertex(V(0, 0, 0)), 0);
  EXPECT_EQ(b.AddVertex(V(-1, 0, 0)), 0);
  b.AddFace({0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0});
  EXPECT_EQ(b.FaceCount(), 0);
  const TPoint pts[2] = {{0, 0}, {5, 5}};
  b.AddContour(pts, 2, 0);
  ASSERT_EQ(b.ContourCount(), 1);
  EXPECT_EQ(b.Contour(1)[0], 0);  // (0, 0, 0) is known, but the table is full
}

TEST(BodyBuilding, FaceWithdrawnWhenAVertexFindsNoRoom) {
  TBody b;
  for (int i = 0; i < TBody::kMaxVertices - 2; ++i) b.AddVertex(V(i, 9, 9));
  b.AddFace({0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0});
  EXPECT_EQ(b.FaceCount(), 0);
  EXPECT_EQ(b.VertexCount(), TBody::kMaxVertices);  // the two that fitted stay
}

TEST(BodyBuilding, CapacitiesTruncateSilently) {
  TBody b;
  for (int i = 0; i < TBody::kMaxFaces + 1; ++i)
    b.AddFace({i % 7, 0, 0}, {i % 7, 1, 0}, {i % 7, 1, 1}, {i % 7, 0, 1});
  EXPECT_EQ(b.FaceCount(), TBody::kMaxFaces);
  const TPoint pts[1] = {{1, 1}};
  for (int i = 0; i < TBody::kMaxContours + 1; ++i) b.AddContour(pts, 1, i);
  EXPECT_EQ(b.ContourCount(), TBody::kMaxContours);
  b = TBody();
  b.AddContour(nullptr, 0, 0);
  ASSERT_EQ(b.ContourCount(), 1);
  EXPECT_TRUE(b.Contour(1).empty());
}

TEST(BodyBuilding, ContourPointsLieInTheFrontPlane) {
  TBody b;
  const TPoint pts[2] = {{3, 4}, {5, 6}};
  b.AddContour(pts, 2, 20);
  const TVertex& v = b.Vertex(b.Contour(1)[1]);
  EXPECT_EQ(v.X, 5);
  EXPECT_EQ(v.Y, -20);
  EXPECT_EQ(v.Z, 6);
}

TEST(RenderList, SortsByKeyAscending) {
  TRenderList l;
  l.Add(10, 3.0f);
  l.Add(20, 1.0f);
  l.Add(30, 2.0f);
  l.Sort();
  EXPECT_EQ(l.Item(1).Index, 20);
  EXPECT_EQ(l.Item(2).Index, 30);
  EXPECT_EQ(l.Item(3).Index, 10);
  TRenderList empty;
  empty.Sort();
  EXPECT_EQ(empty.Count(), 0);
}

TEST(RenderList, RandomKeysComeOutOrderedAndComplete) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> key(0, 50);  // many equal keys
  TRenderList l;
  for (int i = 1; i <= TRenderList::kMaxItems + 10; ++i) l.Add(i, static_cast<float>(key(rng)));
  ASSERT_EQ(l.Count(), TRenderList::kMaxItems);
  l.Sort();
  std::vector<int> seen;
  for (int i = 1; i <= l.Count(); ++i) {
    if (i > 1) {
      EXPECT_LE(l.Item(i - 1).Key, l.Item(i).Key);
    }
    seen.push_back(l.Item(i).Index);
  }
  std::sort(seen.begin(), seen.end());
  for (int i = 0; i < TRenderList::kMaxItems; ++i) ASSERT_EQ(seen[i], i + 1);
}

}  // namespace
}  // namespace vantrix
