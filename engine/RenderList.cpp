#include "engine/RenderList.h"

#include <utility>

namespace vantrix {

void TRenderList::Add(int32_t index, float key) {
  if (Count() >= kMaxItems) return;
  if (items_.capacity() == 0) items_.reserve(64);
  items_.push_back(TRenderItem{key, index});
}

void TRenderList::Sort() {
  if (!items_.empty()) QuickSort(0, Count() - 1);
}

void TRenderList::QuickSort(int lo, int hi) {
  int i = lo;
  int j = hi;
  const float pivot = items_[(lo + hi) / 2].Key;
  do {
    while (items_[i].Key < pivot) ++i;
    while (pivot < items_[j].Key) --j;
    if (i <= j) {
      std::swap(items_[i], items_[j]);
      ++i;
      --j;
    }
  } while (i <= j);
  if (lo < j) QuickSort(lo, j);
  if (i < hi) QuickSort(i, hi);
}

}  // namespace vantrix
