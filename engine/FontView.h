#pragma once
// TFontView: the outline scan converter. It fills polygons given as edges in
// image coordinates (integer pixels, rows growing downward) under the even-odd
// rule and hands back, per row, the horizontal runs inside them. The renderer
// uses it for the flat front faces (caps) of letters and buttons, whose
// outlines keep their holes as separate contours instead of being triangulated.
//
// Each row is a fixed-size record (32 crossings, 16 spans) so that a converter
// for a whole picture is one allocation. What does not fit is dropped silently:
// a crossing beyond 32 can leave a row with an odd count, which then stays empty.

#include <cstdint>
#include <vector>

#include "platform/Geometry.h"

namespace vantrix {

class TFontView {
 public:
  static constexpr int kMaxCrossings = 32;
  static constexpr int kMaxSpans = 16;

  struct TRun {
    int32_t X1 = 0;
    int32_t X2 = 0;
  };
  struct TCrossing {
    int32_t X = 0;
    uint8_t Up = 0;  // 1: edge runs up the image; 0: down
  };
  struct TScanRow {
    int32_t SpanCount = 0;
    int32_t CrossCount = 0;
    TRun Spans[kMaxSpans];
    TCrossing Crossings[kMaxCrossings];
  };

  // Rows 0..rowCount-1; a negative count gives an empty converter.
  explicit TFontView(int rowCount);

  void Clear();
  void AddEdge(TPoint from, TPoint to);
  void AddCrossing(int32_t x, int32_t row, uint8_t up, uint8_t lean);
  void BuildSpans();
  void AddSpan(int32_t x1, int32_t x2, int32_t row);

  int RowCount() const { return rowCount_; }
  int SpanCount(int row) const { return rows_[row].SpanCount; }
  const TRun& Span(int row, int i) const { return rows_[row].Spans[i]; }  // i is 0-based
  const TScanRow& Row(int row) const { return rows_[row]; }

 private:
  int rowCount_ = 0;
  std::vector<TScanRow> rows_;
};

}  // namespace vantrix
