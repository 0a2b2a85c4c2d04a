#pragma once
// TFontView: the outline scan converter. It fills polygons given as edges in
// image coordinates (integer pixels, rows growing downward) under the even-odd
// rule and hands back, per row, the horizontal runs inside them. The renderer
// uses it for the flat front faces (caps) of letters and buttons, whose
// outlines keep their holes as separate contours instead of being triangulated.
//
// Each row is a fixed-size record (32 crossings, 16 spans) so that a converter
// is one allocation. What does not fit is dropped silently: a crossing beyond
// 32 can leave a row with an odd count, which then stays empty. A converter
// covers a band of rows (a body's, not the picture's) and only the counts of
// its records are cleared, since nothing past a count is ever read.

#include <cstdint>
#include <memory>

#include "platform/Geometry.h"

namespace vantrix {

class TFontView {
 public:
  static constexpr int kMaxCrossings = 32;
  static constexpr int kMaxSpans = 16;

  struct TRun {
    int32_t X1;
    int32_t X2;
  };
  struct TCrossing {
    int32_t X;
    uint8_t Up;  // 1: edge runs up the image; 0: down
  };
  struct TScanRow {
    int32_t SpanCount;
    int32_t CrossCount;
    TRun Spans[kMaxSpans];
    TCrossing Crossings[kMaxCrossings];
  };

  // Rows 0..rowCount-1, or firstRow..firstRow+rowCount-1; a negative count
  // gives an empty converter. Rows outside are dropped.
  explicit TFontView(int rowCount) : TFontView(0, rowCount) {}
  TFontView(int firstRow, int rowCount);

  void Clear();
  void AddEdge(TPoint from, TPoint to);
  void AddCrossing(int32_t x, int32_t row, uint8_t up, uint8_t lean);
  void BuildSpans();
  void AddSpan(int32_t x1, int32_t x2, int32_t row);

  int FirstRow() const { return firstRow_; }
  int RowCount() const { return rowCount_; }
  // Rows are picture rows, FirstRow() .. FirstRow() + RowCount() - 1.
  int SpanCount(int row) const { return Row(row).SpanCount; }
  const TRun& Span(int row, int i) const { return Row(row).Spans[i]; }  // i is 0-based
  const TScanRow& Row(int row) const { return rows_[row - firstRow_]; }

 private:
  bool Holds(int64_t row) const { return row >= firstRow_ && row - firstRow_ < rowCount_; }
  TScanRow& At(int32_t row) { return rows_[row - firstRow_]; }

  int firstRow_ = 0;
  int rowCount_ = 0;
  std::unique_ptr<TScanRow[]> rows_;
};

}  // namespace vantrix
