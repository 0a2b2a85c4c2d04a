#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "engine/EdgeWalk_p.h"

namespace vantrix {
namespace {

struct TRow {
  int32_t X, Shade;
  float Depth;
};

// The expressions the walk stands for, evaluated as they read, one row at a time.
std::vector<TRow> Reference(const TEdgeEnd& from, const TEdgeEnd& to, int64_t yMin, int64_t yMax) {
  const float dx = static_cast<float>(to.P.X - from.P.X);
  const float dy = static_cast<float>(to.P.Y - from.P.Y);
  const float dShade = static_cast<float>(to.Shade - from.Shade);
  const float dDepth = static_cast<float>(static_cast<double>(to.Dist2) - from.Dist2);
  std::vector<TRow> rows;
  for (int64_t y = yMin; y <= yMax; ++y) {
    const double t = static_cast<double>(y - from.P.Y);
    rows.push_back(TRow{RoundInt(t * dx / dy + from.P.X), RoundInt(t * dShade / dy + from.Shade),
                        static_cast<float>(from.Dist2 + t * dDepth / dy)});
  }
  return rows;
}

// Random edges of every kind the renderer can meet and some it cannot: short
// and very long, steep and flat, dx zero or negative, ends near the 2^24 limit
// of screen points and beyond it, slopes of a power of two over odd runs (exact
// halves to round), shades outside 0..255, depths of any size, and windows of
// rows starting anywhere along the edge, as the picture's top and bottom clip it.
TEST(EdgeWalk, StoresWhatTheExpressionsGive) {
  std::mt19937_64 rng(99);
  auto pick = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
  const int64_t scales[] = {4, 300, 5000, 1 << 23, 1 << 24, 1 << 26, 1 << 30};
  const float depths[] = {0.0f, 1.0f, 2.5e6f, 3.4e38f, 1e-40f, std::numeric_limits<float>::infinity()};
  int64_t rowsCompared = 0;
  for (int n = 0; n < 40000; ++n) {
    const int64_t s = scales[pick(0, 6)];
    TEdgeEnd from{{static_cast<int32_t>(pick(-s, s)), static_cast<int32_t>(pick(-s, s))}, 0, 0};
    TEdgeEnd to{{static_cast<int32_t>(pick(-s, s)), static_cast<int32_t>(pick(-s, s))}, 0, 0};
    switch (n % 4) {
      case 0:  // exact halves: dy a power of two
        to.P.Y = from.P.Y + static_cast<int32_t>((pick(0, 1) ? 1 : -1) << pick(0, 12));
        to.P.X = from.P.X + static_cast<int32_t>(pick(-9, 9));
        break;
      case 1:  // vertical or nearly
        to.P.X = from.P.X + static_cast<int32_t>(pick(-1, 0));
        break;
      default:
        break;
    }
    if (from.P.Y == to.P.Y) continue;
    const int64_t shadeScale = n % 5 == 0 ? (1 << 24) : n % 7 == 0 ? (1 << 29) : 255;
    from.Shade = static_cast<int32_t>(pick(n % 3 == 0 ? -shadeScale : 0, shadeScale));
    to.Shade = static_cast<int32_t>(pick(n % 3 == 0 ? -shadeScale : 0, shadeScale));
    from.Dist2 = n % 9 == 0 ? depths[pick(0, 5)] : static_cast<float>(pick(1, 1 << 30)) / 64;
    to.Dist2 = n % 11 == 0 ? depths[pick(0, 5)] : static_cast<float>(pick(1, 1 << 30)) / 64;

    const int64_t top = std::min(from.P.Y, to.P.Y), bottom = std::max(from.P.Y, to.P.Y);
    const int64_t length = pick(1, 400);
    int64_t yMin = top, yMax = bottom;
    switch (pick(0, 3)) {
      case 0:
        yMax = std::min(bottom, top + length);
        break;
      case 1:
        yMin = std::max(top, bottom - length);
        break;
      case 2:
        yMin = pick(top, bottom);
        yMax = std::min(bottom, yMin + length);
        break;
      default:  // the whole edge when it is short enough
        if (bottom - top > 2000) yMax = top + length;
    }
    const std::vector<TRow> expected = Reference(from, to, yMin, yMax);
    std::vector<TRow> got(expected.size(), TRow{-7, -7, -7});
    WalkEdge(from, to, yMin, yMax, [&](int64_t y, int32_t x, int32_t shade, float depth) {
      ASSERT_GE(y, yMin);
      ASSERT_LE(y, yMax);
      got[y - yMin] = TRow{x, shade, depth};
    });
    // Without shades the same columns and depths, and shade 0.
    std::vector<TRow> flat(expected.size(), TRow{-7, -7, -7});
    WalkEdge<false>(from, to, yMin, yMax, [&](int64_t y, int32_t x, int32_t shade, float depth) {
      flat[y - yMin] = TRow{x, shade, depth};
    });
    for (size_t k = 0; k < expected.size(); ++k) {
      ASSERT_EQ(got[k].X, expected[k].X) << n << " row " << yMin + static_cast<int64_t>(k);
      ASSERT_EQ(got[k].Shade, expected[k].Shade) << n << " row " << yMin + static_cast<int64_t>(k);
      ASSERT_EQ(std::memcmp(&got[k].Depth, &expected[k].Depth, sizeof(float)), 0) << n;
      ASSERT_EQ(flat[k].X, expected[k].X) << n;
      ASSERT_EQ(flat[k].Shade, 0) << n;
      ASSERT_EQ(std::memcmp(&flat[k].Depth, &expected[k].Depth, sizeof(float)), 0) << n;
    }
    rowsCompared += static_cast<int64_t>(expected.size());
  }
  EXPECT_GT(rowsCompared, 1000000);
}

}  // namespace
}  // namespace vantrix
