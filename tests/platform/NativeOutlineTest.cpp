#include <gtest/gtest.h>

#include <cmath>

#include "platform/NativeOutline.h"
#include "tests/support/NativeOutlineReader.h"

namespace vantrix {
namespace {

using testing::TContour;
using testing::TFix;

constexpr char kOn = FT_CURVE_TAG_ON, kConic = FT_CURVE_TAG_CONIC, kCubic = FT_CURVE_TAG_CUBIC;

struct TPointIn {
  double X, Y;  // pixels
  char Tag;
};

// Builds FreeType outlines by hand, in pixels.
class TOutline {
 public:
  TOutline& Contour(std::initializer_list<TPointIn> points) {
    for (const TPointIn& p : points) {
      pts_.push_back({std::lround(p.X * 64), std::lround(p.Y * 64)});
      tags_.push_back(p.Tag);
    }
    ends_.push_back(static_cast<short>(pts_.size() - 1));
    return *this;
  }
  FT_Outline& Get() {
    o_.n_points = static_cast<short>(pts_.size());
    o_.n_contours = static_cast<short>(ends_.size());
    o_.points = pts_.data();
    o_.tags = tags_.data();
    o_.contours = ends_.data();
    return o_;
  }
  std::vector<short>& Ends() { return ends_; }

 private:
  std::vector<FT_Vector> pts_;
  std::vector<char> tags_;
  std::vector<short> ends_;
  FT_Outline o_{};
};

TFix Px(double x, double y) {
  return {static_cast<int32_t>(x * 65536), static_cast<int32_t>(y * 65536)};
}

std::vector<TContour> Encode(TOutline& o, bool reverse = false) {
  const std::vector<uint8_t> buf = NativeOutlineFromFt(o.Get(), reverse);
  std::vector<TContour> contours;
  const std::string problem = testing::ReadOutline(buf.data(), buf.size(), contours);
  EXPECT_EQ(problem, "");
  return contours;
}

TEST(NativeOutline, StraightContourIsOneLineRecordWithImpliedClose) {
  TOutline o;
  o.Contour({{0, 0, kOn}, {0, 10, kOn}, {10, 10, kOn}, {10, 0, kOn}});
  const std::vector<uint8_t> buf = NativeOutlineFromFt(o.Get(), false);
  ASSERT_EQ(buf.size(), 16u + 4u + 3u * 8u);
  EXPECT_EQ(ReadOutlineU32(buf.data()), buf.size());
  std::vector<TContour> c;
  ASSERT_EQ(testing::ReadOutline(buf.data(), buf.size(), c), "");
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].Start, Px(0, 0));
  ASSERT_EQ(c[0].Records.size(), 1u);
  EXPECT_EQ(c[0].Records[0].Type, kLineRecord);
  EXPECT_EQ(c[0].Records[0].Points, (std::vector<TFix>{Px(0, 10), Px(10, 10), Px(10, 0)}));
  EXPECT_LT(testing::SignedArea(c[0]), 0);  // clockwise with y up
}

TEST(NativeOutline, ControlRunsStayTogetherAndACurveClosesOnTheStart) {
  // Starts on a control point, so the contour must be turned to start at B.
  TOutline o;
  o.Contour({{-4, 5, kConic},
             {0, 0, kOn},
             {5, -3, kConic},
             {10, -3, kConic},
             {15, 0, kOn},
             {15, 8, kOn},
             {9, 12, kOn}});
  const auto c = Encode(o);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].Start, Px(0, 0));
  ASSERT_EQ(c[0].Records.size(), 3u);
  EXPECT_EQ(c[0].Records[0].Type, kSplineRecord);
  EXPECT_EQ(c[0].Records[0].Points, (std::vector<TFix>{Px(5, -3), Px(10, -3), Px(15, 0)}));
  EXPECT_EQ(c[0].Records[1].Type, kLineRecord);
  EXPECT_EQ(c[0].Records[1].Points, (std::vector<TFix>{Px(15, 8), Px(9, 12)}));
  EXPECT_EQ(c[0].Records[2].Type, kSplineRecord);
  EXPECT_EQ(c[0].Records[2].Points, (std::vector<TFix>{Px(-4, 5), Px(0, 0)}));
}

TEST(NativeOutline, ContourOfControlsOnlyStartsOnTheirImpliedMidpoint) {
  TOutline o;
  o.Contour({{-1.0 / 64, -3, kConic}, {-10, 0, kConic}, {0, 6, kConic}, {-2.0 / 64, 0, kConic}});
  const auto c = Encode(o);
  ASSERT_EQ(c.size(), 1u);
  const TFix start{(-2048 - 1024) / 2, (0 - 3 * 65536) / 2};
  EXPECT_EQ(c[0].Start, start);
  ASSERT_EQ(c[0].Records.size(), 1u);
  EXPECT_EQ(c[0].Records[0].Points.size(), 5u);
  EXPECT_EQ(c[0].Records[0].Points.front(), Px(-1.0 / 64, -3));
  EXPECT_EQ(c[0].Records[0].Points.back(), start);
}

TEST(NativeOutline, ReversingKeepsStructureAndFlipsEveryContour) {
  TOutline o;
  o.Contour({{0, 0, kOn}, {0, 10, kOn}, {10, 10, kOn}, {10, 0, kOn}})
      .Contour({{2, 2, kConic}, {5, 2, kOn}, {8, 2, kOn}, {8, 8, kOn}, {2, 8, kOn}});
  const auto forward = Encode(o);
  const auto reversed = Encode(o, true);
  ASSERT_EQ(forward.size(), 2u);
  ASSERT_EQ(reversed.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_NEAR(testing::SignedArea(reversed[i]), -testing::SignedArea(forward[i]), 1e-9);
  }
  // The second contour reversed: 2,2(control) 2,8 8,8 8,2 5,2 -> starts on 2,8.
  EXPECT_EQ(reversed[1].Start, Px(2, 8));
  ASSERT_EQ(reversed[1].Records.size(), 2u);
  EXPECT_EQ(reversed[1].Records[0].Points, (std::vector<TFix>{Px(8, 8), Px(8, 2), Px(5, 2)}));
  EXPECT_EQ(reversed[1].Records[1].Points, (std::vector<TFix>{Px(2, 2), Px(2, 8)}));
}

// Distance from point p to the polyline through `line`.
double DistanceToPolyline(testing::TSample p, const std::vector<testing::TSample>& line) {
  double best = 1e300;
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    const auto a = line[i], b = line[i + 1];
    const double dx = b.X - a.X, dy = b.Y - a.Y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    best = std::min(best, std::hypot(a.X + t * dx - p.X, a.Y + t * dy - p.Y));
  }
  return best;
}

TEST(NativeOutline, CubicsBecomeCloseQuadraticPieces) {
  // A large S-shaped cubic, a nearly circular quarter and a tiny arc.
  const struct {
    TPointIn c1, c2, end;
  } cases[] = {
      {{-300, 400, kCubic}, {900, -300, kCubic}, {600, 200, kOn}},
      {{0, 276, kCubic}, {224, 500, kCubic}, {500, 500, kOn}},
      {{0.5, 0.4, kCubic}, {1, 0.5, kCubic}, {1.5, 0, kOn}},
  };
  for (const auto& k : cases) {
    TOutline o;
    o.Contour({{0, 0, kOn}, k.c1, k.c2, k.end});
    const auto c = Encode(o);
    ASSERT_EQ(c.size(), 1u);
    for (const auto& r : c[0].Records) {
      EXPECT_EQ(r.Type, kSplineRecord);
      EXPECT_EQ(r.Points.size(), 2u);  // each piece has its own explicit on-curve end
    }
    EXPECT_EQ(c[0].Records.back().Points.back(), Px(k.end.X, k.end.Y));
    const auto traced = testing::Trace(c[0], 32);
    for (int i = 0; i <= 400; ++i) {
      const double t = i / 400.0, s = 1 - t;
      const testing::TSample p{3 * s * s * t * k.c1.X + 3 * s * t * t * k.c2.X + t * t * t * k.end.X,
                               3 * s * s * t * k.c1.Y + 3 * s * t * t * k.c2.Y + t * t * t * k.end.Y};
      ASSERT_LT(DistanceToPolyline(p, traced), 1.0 / 16 + 0.01) << "t=" << t;
    }
  }
  // A small arc needs no cutting.
  TOutline tiny;
  tiny.Contour({{0, 0, kOn}, cases[2].c1, cases[2].c2, cases[2].end});
  EXPECT_EQ(Encode(tiny)[0].Records.size(), 1u);
}

TEST(NativeOutline, CubicClosingTheContourEndsOnTheStart) {
  TOutline o;
  o.Contour({{0, 0, kOn}, {10, 0, kOn}, {10, 10, kCubic}, {0, 10, kCubic}});
  const auto c = Encode(o);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].Records.front().Type, kLineRecord);
  EXPECT_EQ(c[0].Records.back().Points.back(), c[0].Start);
}

TEST(NativeOutline, DamagedAndDegenerateOutlinesStayWellFormed) {
  {  // zero-length pieces and a last point repeating the start are dropped
    TOutline o;
    o.Contour({{0, 0, kOn}, {0, 0, kOn}, {0, 5, kOn}, {5, 5, kOn}, {5, 5, kOn}, {0, 0, kOn}});
    const auto c = Encode(o);
    ASSERT_EQ(c.size(), 1u);
    ASSERT_EQ(c[0].Records.size(), 1u);
    EXPECT_EQ(c[0].Records[0].Points, (std::vector<TFix>{Px(0, 5), Px(5, 5)}));
  }
  {  // single points and collapsed contours enclose nothing and are left out
    TOutline o;
    o.Contour({{3, 3, kOn}})
        .Contour({{1, 1, kOn}, {1, 1, kOn}})
        .Contour({{0, 0, kOn}, {4, 0, kOn}, {4, 4, kOn}});
    EXPECT_EQ(Encode(o).size(), 1u);
  }
  {  // a contour end past the points, or running backwards, ends the outline
    TOutline o;
    o.Contour({{0, 0, kOn}, {4, 0, kOn}, {4, 4, kOn}}).Contour({{0, 0, kOn}, {1, 0, kOn}, {1, 1, kOn}});
    o.Ends()[1] = 50;
    EXPECT_EQ(Encode(o).size(), 1u);
    o.Ends()[1] = 1;
    EXPECT_EQ(Encode(o).size(), 1u);
    o.Ends()[0] = -3;
    EXPECT_TRUE(NativeOutlineFromFt(o.Get(), false).empty());
  }
  {  // a lone cubic control reads as a quadratic one; huge coordinates saturate
    TOutline o;
    o.Contour({{0, 0, kOn}, {5, 9, kCubic}, {10, 0, kOn}, {40000, 0, kOn}});
    const auto c = Encode(o);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].Records[0].Points, (std::vector<TFix>{Px(5, 9), Px(10, 0)}));
    EXPECT_EQ(c[0].Records[1].Points.back().X, INT32_MAX);
  }
  FT_Outline empty{};
  EXPECT_TRUE(NativeOutlineFromFt(empty, false).empty());
}

}  // namespace
}  // namespace vantrix
