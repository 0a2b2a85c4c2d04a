#include "engine/FontView.h"

#include <algorithm>
#include <utility>

#include "platform/Rounding.h"

namespace vantrix {

TFontView::TFontView(int firstRow, int rowCount)
    : firstRow_(firstRow),
      rowCount_(std::max(rowCount, 0)),
      rows_(std::make_unique_for_overwrite<TScanRow[]>(static_cast<size_t>(rowCount_))) {
  Clear();
}

void TFontView::Clear() {
  for (int i = 0; i < rowCount_; ++i) {
    rows_[i].SpanCount = 0;
    rows_[i].CrossCount = 0;
  }
}

// The left end of a horizontal edge counts as an upward crossing and its right
// end as a downward one, so that a flat top or bottom pairs up with the
// neighbouring slanted edges instead of opening a run of its own.
void TFontView::AddEdge(TPoint from, TPoint to) {
  if (to.Y == from.Y) {
    if (to.X == from.X) return;
    if (to.X > from.X) {
      AddCrossing(from.X, from.Y, 1, 0);
      AddCrossing(to.X, to.Y, 0, 0);
    } else {
      AddCrossing(to.X, to.Y, 1, 1);
      AddCrossing(from.X, from.Y, 0, 1);
    }
    return;
  }
  const double dx = static_cast<double>(to.X) - from.X;
  const double dy = static_cast<double>(to.Y) - from.Y;
  const uint8_t lean = dx > 0 ? 1 : 0;
  if (dy > 0) {
    // Rows outside the converter produce crossings that AddCrossing would drop;
    // starting at its first row gives the same result without walking them.
    const int64_t first = std::max<int64_t>(from.Y, firstRow_);
    const int64_t last = std::min<int64_t>(to.Y, static_cast<int64_t>(firstRow_) + rowCount_ - 1);
    for (int64_t y = first; y <= last; ++y)
      AddCrossing(RoundInt(static_cast<double>(y - from.Y) * dx / dy + from.X), static_cast<int32_t>(y), 0,
                  lean);
  } else {
    const int64_t first = std::min<int64_t>(from.Y, static_cast<int64_t>(firstRow_) + rowCount_ - 1);
    const int64_t last = std::max<int64_t>(to.Y, firstRow_);
    for (int64_t y = first; y >= last; --y)
      AddCrossing(RoundInt(from.X + static_cast<double>(y - from.Y) * dx / dy), static_cast<int32_t>(y), 1,
                  lean);
  }
}

void TFontView::AddCrossing(int32_t x, int32_t row, uint8_t up, uint8_t lean) {
  if (!Holds(row)) return;
  TScanRow& r = At(row);
  if (r.CrossCount >= kMaxCrossings) return;
  // A vertex shared by two edges running the same way is one crossing; a local
  // top or bottom (one edge up, one down) stays two.
  for (int i = 0; i < r.CrossCount; ++i)
    if (r.Crossings[i].X == x && r.Crossings[i].Up == up) return;
  r.Crossings[r.CrossCount++] = TCrossing{x, up};
  // One pass from the end keeps the list sorted by X.
  for (int i = r.CrossCount - 2; i >= 0; --i) {
    TCrossing& a = r.Crossings[i];
    TCrossing& b = r.Crossings[i + 1];
    if (b.X < a.X || (b.X == a.X && lean == 0)) std::swap(a, b);
  }
}

void TFontView::BuildSpans() {
  for (int k = 0; k < rowCount_; ++k) {
    const int32_t row = firstRow_ + k;
    const TScanRow& r = rows_[k];
    if (r.CrossCount % 2 != 0) continue;
    for (int i = 0; i + 1 < r.CrossCount; i += 2) AddSpan(r.Crossings[i].X, r.Crossings[i + 1].X, row);
  }
}

void TFontView::AddSpan(int32_t x1, int32_t x2, int32_t row) {
  if (!Holds(row)) return;
  TScanRow& r = At(row);
  if (r.SpanCount >= kMaxSpans || x1 >= x2) return;
  r.Spans[r.SpanCount++] = TRun{x1, x2};
}

}  // namespace vantrix
