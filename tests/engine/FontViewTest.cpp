#include <gtest/gtest.h>

#include <vector>

#include "engine/FontView.h"

namespace vantrix {
namespace {

void AddPolygon(TFontView& fv, const std::vector<TPoint>& pts) {
  for (size_t i = 0; i < pts.size(); ++i) fv.AddEdge(pts[i], pts[(i + 1) % pts.size()]);
}

std::vector<std::pair<int, int>> Spans(const TFontView& fv, int row) {
  std::vector<std::pair<int, int>> out;
  for (int i = 0; i < fv.SpanCount(row); ++i) out.emplace_back(fv.Span(row, i).X1, fv.Span(row, i).X2);
  return out;
}

using SpanList = std::vector<std::pair<int, int>>;

TEST(FontView, RectangleFillsEveryRowIncludingItsEdges) {
  TFontView fv(8);
  AddPolygon(fv, {{0, 0}, {10, 0}, {10, 5}, {0, 5}});
  fv.BuildSpans();
  for (int r = 0; r <= 5; ++r) EXPECT_EQ(Spans(fv, r), (SpanList{{0, 10}})) << r;
  EXPECT_TRUE(Spans(fv, 6).empty());
}

TEST(FontView, HoleSplitsRowsUnderTheEvenOddRule) {
  TFontView fv(12);
  AddPolygon(fv, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  AddPolygon(fv, {{3, 3}, {3, 7}, {7, 7}, {7, 3}});  // other orientation; the rule does not care
  fv.BuildSpans();
  EXPECT_EQ(Spans(fv, 1), (SpanList{{0, 10}}));
  EXPECT_EQ(Spans(fv, 5), (SpanList{{0, 3}, {7, 10}}));
  EXPECT_EQ(Spans(fv, 9), (SpanList{{0, 10}}));
}

TEST(FontView, PointedBottomLeavesItsLastRowEmpty) {
  TFontView fv(10);
  AddPolygon(fv, {{0, 0}, {8, 0}, {4, 4}});  // triangle pointing down
  fv.BuildSpans();
  EXPECT_EQ(Spans(fv, 0), (SpanList{{0, 8}}));
  EXPECT_EQ(Spans(fv, 2), (SpanList{{2, 6}}));
  EXPECT_TRUE(Spans(fv, 4).empty());  // both crossings at x = 4: a single column is not kept
}

TEST(FontView, EdgesOutsideTheRowsContributeOnlyTheirInsideRows) {
  TFontView fv(5);
  AddPolygon(fv, {{0, -100}, {20, -100}, {20, 100}, {0, 100}});
  fv.BuildSpans();
  for (int r = 0; r < 5; ++r) EXPECT_EQ(Spans(fv, r), (SpanList{{0, 20}}));
  TFontView none(0);  // no rows at all: nothing to do, nothing to crash
  AddPolygon(none, {{0, 0}, {5, 0}, {5, 5}});
  none.BuildSpans();
  EXPECT_EQ(none.RowCount(), 0);
}

TEST(FontView, RowLimitsKeepSixteenRunsAndThirtyTwoCrossings) {
  TFontView fv(3);
  for (int i = 0; i < 17; ++i) {
    const int x = i * 10;
    AddPolygon(fv, {{x, 0}, {x + 5, 0}, {x + 5, 2}, {x, 2}});
  }
  fv.BuildSpans();
  // 34 crossings offered per row, the first 32 in arrival order are kept and paired.
  EXPECT_EQ(fv.Row(1).CrossCount, 32);
  ASSERT_EQ(fv.SpanCount(1), 16);
  EXPECT_EQ(fv.Span(1, 15).X1, 150);
  EXPECT_EQ(fv.Span(1, 15).X2, 155);
}

TEST(FontView, VertexBetweenEdgesRunningTheSameWayCountsOnce) {
  TFontView fv(6);
  // A diamond: the left and right vertices join an upward and a downward edge
  // of the same side, the top and bottom join two edges running opposite ways.
  AddPolygon(fv, {{5, 0}, {0, 2}, {5, 4}, {10, 2}});
  fv.BuildSpans();
  EXPECT_EQ(Spans(fv, 2), (SpanList{{0, 10}}));
  EXPECT_TRUE(Spans(fv, 0).empty());
  EXPECT_TRUE(Spans(fv, 4).empty());
}

}  // namespace
}  // namespace vantrix
