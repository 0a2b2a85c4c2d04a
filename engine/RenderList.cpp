#include "engine/RenderList.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace vantrix {

void TRenderList::Add(int32_t index, float key) {
  if (Count() >= kMaxItems) return;
  if (items_.capacity() == 0) items_.reserve(64);
  items_.push_back(TRenderItem{key, index});
}

// The order of equal keys is whatever the quicksort below (a Hoare scan with
// the middle key as pivot, both halves sorted the same way) makes of them, and
// pictures depend on it; ties are the rule in bodies, whose faces share their
// nearest vertex. The work is the same as that recursion, only cheaper:
//
// One scan of a range swaps the k-th item from the left that is not below the
// pivot with the k-th item from the right that is not above it, as long as the
// first lies left of the second. Those positions depend on the items as they
// were before the scan, since a scan never reads back what it swapped except
// where the two sides meet, where a swapped item stops it like a new one would.
// So the positions can be collected in blocks with no branch per item, and
// paired afterwards; that is where the quicksort spent its time, mispredicting
// about every second comparison. Short ranges keep the plain loop.
//
// The halves of a range are disjoint, so the order in which they are sorted
// changes nothing: the smaller is sorted first and the larger waits on a stack,
// which stays shallow.
namespace {

constexpr int kBlock = 64;
constexpr int kShortRange = 8;

struct TScanEnd {
  int I, J;
};

// The final i and j of the scan over a[lo..hi].
TScanEnd ScanShort(TRenderItem* a, int lo, int hi) {
  int i = lo;
  int j = hi;
  const float pivot = a[lo + (hi - lo) / 2].Key;
  do {
    while (a[i].Key < pivot) ++i;
    while (pivot < a[j].Key) --j;
    if (i <= j) {
      std::swap(a[i], a[j]);
      ++i;
      --j;
    }
  } while (i <= j);
  return {i, j};
}

TScanEnd ScanBlocks(TRenderItem* a, int lo, int hi) {
  const float pivot = a[lo + (hi - lo) / 2].Key;
  int left[kBlock], right[kBlock];
  int leftCount = 0, leftNext = 0, rightCount = 0, rightNext = 0;
  int leftScan = lo, rightScan = hi;  // the next positions to look at
  // The last pair swapped; everything from lastRight on has been moved, so the
  // left side never needs to look there, and likewise on the right.
  int lastLeft = lo - 1, lastRight = hi + 1;
  for (;;) {
    while (leftNext == leftCount && leftScan < lastRight) {
      const int end = std::min(leftScan + kBlock, lastRight);
      leftCount = leftNext = 0;
      for (int p = leftScan; p < end; ++p) {
        left[leftCount] = p;
        leftCount += !(a[p].Key < pivot);
      }
      leftScan = end;
    }
    while (rightNext == rightCount && rightScan > lastLeft) {
      const int end = std::max(rightScan - kBlock, lastLeft);
      rightCount = rightNext = 0;
      for (int p = rightScan; p > end; --p) {
        right[rightCount] = p;
        rightCount += !(pivot < a[p].Key);
      }
      rightScan = end;
    }
    // Where the scans stop: at the next collected item, or at the other side's
    // last swapped one.
    const int i = std::min(leftNext < leftCount ? left[leftNext] : INT_MAX, lastRight);
    const int j = std::max(rightNext < rightCount ? right[rightNext] : INT_MIN, lastLeft);
    if (i > j) return {i, j};
    // Both are collected items here: lastLeft < j and i < lastRight.
    std::swap(a[i], a[j]);
    ++leftNext;
    ++rightNext;
    lastLeft = i;
    lastRight = j;
    if (j - i <= 1) return {i + 1, j - 1};
  }
}

}  // namespace

void TRenderList::Sort() {
  if (items_.size() < 2) return;
  TRenderItem* a = items_.data();
  // Each range waiting is at least as long as the one being sorted, so there
  // are never more than log2(kMaxItems) of them.
  struct TRange {
    int Lo, Hi;
  };
  TRange waiting[32];
  int waitingCount = 0;
  int lo = 0, hi = Count() - 1;
  for (;;) {
    if (hi - lo + 1 == 2) {
      // What the scan does with two items.
      if (!(a[lo].Key < a[hi].Key)) std::swap(a[lo], a[hi]);
    } else if (lo < hi) {
      const TScanEnd e = hi - lo + 1 <= kShortRange ? ScanShort(a, lo, hi) : ScanBlocks(a, lo, hi);
      TRange first{lo, e.J}, second{e.I, hi};
      if (first.Hi - first.Lo > second.Hi - second.Lo) std::swap(first, second);
      if (second.Lo < second.Hi) waiting[waitingCount++] = second;
      lo = first.Lo;
      hi = first.Hi;
      continue;
    }
    if (waitingCount == 0) return;
    --waitingCount;
    lo = waiting[waitingCount].Lo;
    hi = waiting[waitingCount].Hi;
  }
}

}  // namespace vantrix
