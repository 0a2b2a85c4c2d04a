#include "imaging/ColorMatcher.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace vantrix {

TColorMatcher::TColorMatcher(const TPalette& palette, int excluded)
    : colors_(palette), cellStart_(size_t{1} << (3 * kCellBits), -1) {
  const size_t n = std::min(palette.size(), static_cast<size_t>(kMaxPaletteSize));
  for (size_t i = 0; i < n; ++i)
    if (static_cast<int>(i) != excluded) eligible_.push_back(static_cast<uint16_t>(i));
  if (colors_.empty()) colors_.push_back({});
  if (eligible_.empty()) eligible_.push_back(0);
}

int TColorMatcher::BuildCell(int cell) {
  const int mask = (1 << kCellBits) - 1;
  const int lo[3] = {((cell >> (2 * kCellBits)) & mask) << kShift, ((cell >> kCellBits) & mask) << kShift,
                     (cell & mask) << kShift};
  const int side = (1 << kShift) - 1;

  // Least and greatest squared distance from each entry to the cell box.
  std::vector<int> least(eligible_.size());
  int bound = INT_MAX;
  for (size_t i = 0; i < eligible_.size(); ++i) {
    const TRgb& c = colors_[eligible_[i]];
    const int v[3] = {c.R, c.G, c.B};
    int dmin = 0, dmax = 0;
    for (int a = 0; a < 3; ++a) {
      const int l = lo[a], h = lo[a] + side;
      const int near = v[a] < l ? l - v[a] : (v[a] > h ? v[a] - h : 0);
      const int far = std::max(std::abs(v[a] - l), std::abs(v[a] - h));
      dmin += near * near;
      dmax += far * far;
    }
    least[i] = dmin;
    bound = std::min(bound, dmax);
  }

  const int start = static_cast<int>(pool_.size());
  pool_.push_back(0);
  for (size_t i = 0; i < eligible_.size(); ++i)
    if (least[i] <= bound) pool_.push_back(eligible_[i]);
  pool_[start] = static_cast<uint16_t>(pool_.size() - start - 1);
  cellStart_[cell] = start;
  return start;
}

}  // namespace vantrix
