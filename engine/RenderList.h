#pragma once
// TRenderList: a small list of (key, index) pairs sorted by key, used to order
// the bodies of a frame and the faces of a body, nearest first. The sort is a
// fixed quicksort (middle pivot) so that equal keys always come out in the
// same order, which keeps pictures reproducible; any faster way of sorting
// must leave equal keys exactly where that quicksort does.

#include <cstdint>
#include <vector>

namespace vantrix {

struct TRenderItem {
  float Key = 0;
  int32_t Index = 0;
};

class TRenderList {
 public:
  // Room for the faces of the largest body (rounded bevels of many rings).
  static constexpr int kMaxItems = 1 << 17;

  void Clear() { items_.clear(); }
  void Add(int32_t index, float key);  // ignored when full
  void Sort();

  int Count() const { return static_cast<int>(items_.size()); }
  // Entries by position 1..Count.
  const TRenderItem& Item(int position) const { return items_[position - 1]; }

 private:
  std::vector<TRenderItem> items_;
};

}  // namespace vantrix
