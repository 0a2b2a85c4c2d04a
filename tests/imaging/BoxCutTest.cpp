// The variance splitting shared by both quantizers, in three and four
// channels: each best cut against every possible cut tried by brute force,
// the boxes a split makes, and both quantizers run on several threads at once.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "imaging/BoxCut_p.h"
#include "imaging/Dither.h"
#include "imaging/Quantize.h"
#include "imaging/QuantizeAlpha.h"
#include "tests/support/TestPictures.h"

namespace vantrix {
namespace {

// Integer values and counts keep every sum exact, so the brute force gets
// the very same doubles whatever order it adds in.
template <int N>
struct TPoint {
  std::array<uint8_t, N> V{};
  double Count = 1;
  int Index = 0;  // place in the list before any split
};

template <int N>
struct TPoints {
  using TItem = TPoint<N>;
  static constexpr bool kStablePartition = true;
  static int Bin(const TItem& p, int axis) { return p.V[axis]; }
  static void Add(boxcut::TMoments<N>& m, const TItem& p) {
    m.W += p.Count;
    for (int c = 0; c < N; ++c) {
      m.S[c] += p.Count * p.V[c];
      m.Q += p.Count * p.V[c] * p.V[c];
    }
  }
  static double Error(const boxcut::TMoments<N>& m) {
    if (m.W <= 0) return 0;
    double e = m.Q;
    for (int c = 0; c < N; ++c) e -= m.S[c] * m.S[c] / m.W;
    return e;
  }
};

// Clustered values (few levels per channel, so cuts tie and bins are shared)
// or spread over the whole range.
template <int N>
std::vector<TPoint<N>> RandomPoints(size_t count, int levels, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> level(0, levels - 1), weight(1, 500);
  std::vector<TPoint<N>> points(count);
  for (size_t i = 0; i < count; ++i) {
    for (int c = 0; c < N; ++c)
      points[i].V[c] = static_cast<uint8_t>(level(rng) * 255 / std::max(1, levels - 1));
    points[i].Count = weight(rng);
    points[i].Index = static_cast<int>(i);
  }
  return points;
}

// Every channel and every value tried in turn; the first best wins.
template <int N>
boxcut::TBox BruteForceCut(const std::vector<TPoint<N>>& points, size_t begin, size_t end) {
  using TSums = boxcut::TMoments<N>;
  TSums all;
  for (size_t i = begin; i < end; ++i) TPoints<N>::Add(all, points[i]);
  boxcut::TBox best{begin, end};
  for (int a = 0; a < N; ++a)
    for (int v = 0; v < 255; ++v) {
      TSums low, high;
      for (size_t i = begin; i < end; ++i) TPoints<N>::Add(points[i].V[a] <= v ? low : high, points[i]);
      if (low.W == 0 || high.W == 0) continue;
      const double gain = TPoints<N>::Error(all) - TPoints<N>::Error(low) - TPoints<N>::Error(high);
      if (gain > best.Gain) {
        best.Gain = gain;
        best.Axis = a;
        best.Cut = v;
      }
    }
  return best;
}

template <int N>
void ExpectBestCutsAgreeWithBruteForce() {
  // One set of bins for every box, as a split uses them: any value left
  // behind by one box would show in a later one.
  auto bins = std::make_unique<boxcut::TBins<N>>();
  std::mt19937 rng(N);
  for (int levels : {2, 5, 256}) {
    const std::vector<TPoint<N>> points = RandomPoints<N>(60, levels, 11u * levels + N);
    for (int trial = 0; trial < 40; ++trial) {
      const size_t begin = rng() % points.size(), end = begin + rng() % (points.size() - begin + 1);
      SCOPED_TRACE(::testing::Message()
                   << N << " channels, " << levels << " levels, box " << begin << ".." << end);
      boxcut::TBox box{begin, end};
      boxcut::FindBestCut<N, TPoints<N>>(points, box, *bins);
      const boxcut::TBox expected = BruteForceCut<N>(points, begin, end);
      EXPECT_EQ(std::tie(box.Gain, box.Axis, box.Cut), std::tie(expected.Gain, expected.Axis, expected.Cut));
    }
  }
  for (const auto& channel : *bins)
    for (const boxcut::TMoments<N>& m : channel) ASSERT_TRUE(m.W == 0 && m.Q == 0) << "bins left dirty";
}

TEST(BoxCut, BestCutIsTheBestOfEveryCutInThreeAndFourChannels) {
  ExpectBestCutsAgreeWithBruteForce<3>();
  ExpectBestCutsAgreeWithBruteForce<4>();
}

template <int N>
std::vector<std::array<uint8_t, N>> DistinctColours(const std::vector<TPoint<N>>& points, size_t begin,
                                                    size_t end) {
  std::vector<std::array<uint8_t, N>> colours;
  for (size_t i = begin; i < end; ++i) colours.push_back(points[i].V);
  std::sort(colours.begin(), colours.end());
  colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
  return colours;
}

// The boxes tile the reordered list, in the list's own order (a stable
// split), and no colour is in two of them; with room for every colour, each
// gets a box of its own.
template <int N>
void ExpectSplitsTileTheList() {
  struct TCase {
    size_t Points;
    int Levels, Boxes;
  };
  for (const TCase& t : {TCase{1, 256, 8}, TCase{200, 3, 256}, TCase{200, 256, 16}, TCase{300, 4, 1}}) {
    SCOPED_TRACE(::testing::Message()
                 << N << " channels, " << t.Points << " points, " << t.Boxes << " boxes");
    std::vector<TPoint<N>> points = RandomPoints<N>(t.Points, t.Levels, 5u * t.Boxes + N);
    const auto distinct = DistinctColours<N>(points, 0, points.size());
    std::vector<boxcut::TBox> boxes = boxcut::SplitBoxes<N, TPoints<N>>(points, t.Boxes);
    EXPECT_EQ(boxes.size(), std::min<size_t>(distinct.size(), t.Boxes));
    std::sort(boxes.begin(), boxes.end(), [](const auto& a, const auto& b) { return a.Begin < b.Begin; });
    size_t next = 0;
    std::vector<std::array<uint8_t, N>> owned;
    for (const boxcut::TBox& b : boxes) {
      ASSERT_EQ(b.Begin, next);
      ASSERT_LT(b.Begin, b.End);
      next = b.End;
      for (size_t i = b.Begin + 1; i < b.End; ++i) EXPECT_LT(points[i - 1].Index, points[i].Index);
      const auto mine = DistinctColours<N>(points, b.Begin, b.End);
      EXPECT_TRUE(boxes.size() < distinct.size() || mine.size() == 1) << "two colours share a box";
      owned.insert(owned.end(), mine.begin(), mine.end());
    }
    EXPECT_EQ(next, points.size());
    std::sort(owned.begin(), owned.end());
    EXPECT_EQ(owned, distinct) << "a colour in two boxes, or lost";
  }
}

TEST(BoxCut, SplitsTileTheListAndStopWhenEveryColourHasABox) {
  ExpectSplitsTileTheList<3>();
  ExpectSplitsTileTheList<4>();
}

// Sets of buttons are exported on several threads: no quantizer may keep
// state between calls.
TEST(BoxCut, QuantizersGiveTheSameResultsOnSeveralThreadsAtOnce) {
  const auto histogram = ColorHistogram(testing::ShadedPicture(200, 60, 4), nullptr);
  TRgbaPicture rgba(160, 48);
  std::mt19937 rng(9);
  for (uint8_t& b : rgba.Pixels) b = static_cast<uint8_t>(rng() % 64 * 4);
  const TPalette palette = OptimizedPalette(histogram, 64);
  const TAlphaIndexedPicture indexed = ReduceColorsAlpha(rgba, 64, kDitherNone);

  constexpr int kThreads = 4;
  std::vector<TPalette> palettes(kThreads);
  std::vector<TAlphaIndexedPicture> pictures(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 3; ++round) {
        palettes[t] = OptimizedPalette(histogram, 64);
        pictures[t] = ReduceColorsAlpha(rgba, 64, kDitherNone);
      }
    });
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(palettes[t], palette) << "thread " << t;
    EXPECT_EQ(pictures[t].Pixels, indexed.Pixels) << "thread " << t;
    EXPECT_EQ(pictures[t].Palette, indexed.Palette) << "thread " << t;
    EXPECT_EQ(pictures[t].Alpha, indexed.Alpha) << "thread " << t;
  }
}

}  // namespace
}  // namespace vantrix
