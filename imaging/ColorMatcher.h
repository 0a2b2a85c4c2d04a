#pragma once
// Exact nearest-colour search in a palette of up to 256 entries.
//
// Distance is the plain squared RGB distance, the measure the mean squared
// error of an export is judged by; ties go to the lowest index. One entry
// can be excluded (the transparent one, which no opaque pixel may take).
//
// RGB space is cut into 32 x 32 x 32 cells of 8 levels per side. The first
// query in a cell lists the entries that can be nearest to any point of it
// (those whose least distance to the cell is within the smallest greatest
// distance of any entry); later queries in the cell search only that short
// list. Cells are built on demand, so a picture that touches few cells pays
// for few.

#include <cstdint>
#include <vector>

#include "platform/IndexedPicture.h"

namespace vantrix {

class TColorMatcher {
 public:
  // excluded: an index no query returns, or -1.
  explicit TColorMatcher(const TPalette& palette, int excluded = -1);

  // Index of the entry nearest to (r, g, b), each 0..255. With no eligible
  // entry at all the result is 0.
  int Nearest(int r, int g, int b) {
    const int cell = ((r >> kShift) << (2 * kCellBits)) | ((g >> kShift) << kCellBits) | (b >> kShift);
    int start = cellStart_[cell];
    if (start < 0) start = BuildCell(cell);
    const uint16_t count = pool_[start];
    int best = pool_[start + 1];
    int bestDist = Distance(best, r, g, b);
    for (int i = 2; i <= count; ++i) {
      const int idx = pool_[start + i];
      const int d = Distance(idx, r, g, b);
      if (d < bestDist) {
        bestDist = d;
        best = idx;
      }
    }
    return best;
  }

 private:
  static constexpr int kCellBits = 5;
  static constexpr int kShift = 8 - kCellBits;

  int Distance(int idx, int r, int g, int b) const {
    const TRgb& c = colors_[idx];
    const int dr = r - c.R, dg = g - c.G, db = b - c.B;
    return dr * dr + dg * dg + db * db;
  }
  int BuildCell(int cell);

  TPalette colors_;
  std::vector<uint16_t> eligible_;
  std::vector<int32_t> cellStart_;  // -1 until built; else offset in pool_
  std::vector<uint16_t> pool_;      // per built cell: count, then the indices
};

}  // namespace vantrix
