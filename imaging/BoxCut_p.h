#pragma once
// Greedy variance splitting, shared by the GIF palette (three channels,
// Quantize.cpp) and the indexed PNG's (four, premultiplied, QuantizeAlpha.cpp).
// Private to imaging/.
//
// The distinct colours sit in one working list; a box is a range of it. A
// box's best cut is the channel and value whose split lowers the summed
// squared error the most, found from per-value sums (bins), so no sorting is
// needed. The box to split next is the one whose best cut gains the most.
// Ties go to the lower box, channel and value.
//
// How a colour adds to the sums and how error is measured are the caller's
// (TItems below): each quantizer keeps the order of its floating-point
// operations, since another order rounds differently and can move a cut.

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <vector>

namespace vantrix::boxcut {

// Count-weighted sums of a set of colours in N channels: the weight, the
// sum of the squared values and the sum of each channel. The order of the
// fields is for speed alone: with the channel sums last, four channels
// run some 6% faster.
template <int N>
struct TMoments {
  double W = 0;
  double Q = 0;
  std::array<double, N> S{};

  TMoments& operator+=(const TMoments& o) {
    W += o.W;
    Q += o.Q;
    for (int c = 0; c < N; ++c) S[c] += o.S[c];
    return *this;
  }
  TMoments operator-(const TMoments& o) const {
    TMoments m = *this;
    m.W -= o.W;
    m.Q -= o.Q;
    for (int c = 0; c < N; ++c) m.S[c] -= o.S[c];
    return m;
  }
};

struct TBox {
  size_t Begin = 0;
  size_t End = 0;
  double Gain = -1.0;  // error saved by the best cut; negative: cannot be cut
  int Axis = 0;
  int Cut = 0;  // colours whose value on Axis is <= Cut go to the first half
};

// Per-value sums of one box on each channel; all zero between cuts.
template <int N>
using TBins = std::array<std::array<TMoments<N>, 256>, N>;

// TItems describes the working list:
//   TItems::TItem                                  one distinct colour
//   static int Bin(const TItem&, int axis)         its value 0..255 on a channel
//   static void Add(TMoments<N>&, const TItem&)    adds it to sums
//   static double Error(const TMoments<N>&)        summed squared distance to the mean
//   static constexpr bool kStablePartition         whether a split keeps the list's order
//                                                  (which fixes the order of each box's sums)

// Sets box.Gain, Axis and Cut. Only the values the box spans are scanned,
// and only they are cleared after.
template <int N, class TItems>
void FindBestCut(const std::vector<typename TItems::TItem>& items, TBox& box, TBins<N>& bins) {
  TMoments<N> total;
  std::array<int, N> lo, hi;
  lo.fill(255);
  hi.fill(0);
  for (size_t i = box.Begin; i < box.End; ++i) {
    const auto& item = items[i];
    TItems::Add(total, item);
    for (int a = 0; a < N; ++a) {
      const int v = TItems::Bin(item, a);
      TItems::Add(bins[a][v], item);
      lo[a] = std::min(lo[a], v);
      hi[a] = std::max(hi[a], v);
    }
  }
  const double whole = TItems::Error(total);
  box.Gain = -1.0;
  for (int a = 0; a < N; ++a) {
    TMoments<N> left;
    for (int v = lo[a]; v < hi[a]; ++v) {
      if (bins[a][v].W == 0) continue;
      left += bins[a][v];
      const double gain = whole - TItems::Error(left) - TItems::Error(total - left);
      if (gain > box.Gain) {
        box.Gain = gain;
        box.Axis = a;
        box.Cut = v;
      }
    }
    if (box.End > box.Begin) std::fill(bins[a].begin() + lo[a], bins[a].begin() + hi[a] + 1, TMoments<N>{});
  }
}

// Splits the list into at most `count` boxes, reordering it so that each box
// is a range; stops early when no box can be cut with a gain. The boxes come
// in the order they were made: a split box keeps its place with its lower
// half, the upper half goes last.
template <int N, class TItems>
std::vector<TBox> SplitBoxes(std::vector<typename TItems::TItem>& items, int count) {
  // One call's bins, on the heap: sets of buttons are exported on several threads.
  const auto bins = std::make_unique<TBins<N>>();
  std::vector<TBox> boxes(1);
  boxes[0].End = items.size();
  FindBestCut<N, TItems>(items, boxes[0], *bins);
  while (static_cast<int>(boxes.size()) < count) {
    size_t pick = 0;
    for (size_t i = 1; i < boxes.size(); ++i)
      if (boxes[i].Gain > boxes[pick].Gain) pick = i;
    const TBox box = boxes[pick];
    if (box.Gain <= 0) break;
    const auto first = items.begin() + static_cast<ptrdiff_t>(box.Begin);
    const auto last = items.begin() + static_cast<ptrdiff_t>(box.End);
    const auto low = [&](const typename TItems::TItem& item) {
      return TItems::Bin(item, box.Axis) <= box.Cut;
    };
    size_t split;
    if constexpr (TItems::kStablePartition)
      split = static_cast<size_t>(std::stable_partition(first, last, low) - items.begin());
    else
      split = static_cast<size_t>(std::partition(first, last, low) - items.begin());
    TBox lower{box.Begin, split}, upper{split, box.End};
    FindBestCut<N, TItems>(items, lower, *bins);
    FindBestCut<N, TItems>(items, upper, *bins);
    boxes[pick] = lower;
    boxes.push_back(upper);
  }
  return boxes;
}

}  // namespace vantrix::boxcut
