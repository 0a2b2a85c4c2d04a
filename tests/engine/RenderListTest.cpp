#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "engine/RenderList.h"

namespace vantrix {
namespace {

// The quicksort whose order of equal keys pictures depend on, in its plain form.
void ReferenceSort(std::vector<TRenderItem>& a, int lo, int hi) {
  int i = lo;
  int j = hi;
  const float pivot = a[(lo + hi) / 2].Key;
  do {
    while (a[i].Key < pivot) ++i;
    while (pivot < a[j].Key) --j;
    if (i <= j) {
      std::swap(a[i], a[j]);
      ++i;
      --j;
    }
  } while (i <= j);
  if (lo < j) ReferenceSort(a, lo, j);
  if (i < hi) ReferenceSort(a, i, hi);
}

// Keys drawn from a handful of values (ties everywhere), from many values, in
// runs that are already ordered or reversed, and with NaN and infinities mixed in.
std::vector<float> Keys(std::mt19937& rng, int n, int kind) {
  std::vector<float> keys(n);
  const int distinct = 1 + static_cast<int>(rng() % 6);
  for (int k = 0; k < n; ++k) {
    switch (kind) {
      case 0:
        keys[k] = static_cast<float>(rng() % distinct);
        break;
      case 1:
        keys[k] = static_cast<float>(rng() % 1000) * 0.25f;
        break;
      case 2:
        keys[k] = static_cast<float>(k / (1 + distinct) + static_cast<int>(rng() % 2));
        break;
      case 3:
        keys[k] = static_cast<float>((n - k) / distinct);
        break;
      default: {
        const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             -0.0f,
                             0.0f,
                             1.0f};
        keys[k] = odd[rng() % 6];
      }
    }
  }
  return keys;
}

TEST(RenderList, SortLeavesEqualKeysWhereTheQuicksortDoes) {
  std::mt19937 rng(2024);
  std::vector<int> sizes;
  for (int n = 0; n <= 80; ++n) sizes.push_back(n);
  // Random sizes the size of a letter's faces, and once the largest list.
  for (int n = 0; n < 150; ++n) sizes.push_back(81 + static_cast<int>(rng() % (4096 - 80)));
  sizes.push_back(TRenderList::kMaxItems);
  for (int n : sizes) {
    for (int kind = 0; kind < 5; ++kind) {
      const std::vector<float> keys = Keys(rng, n, kind);
      TRenderList list;
      std::vector<TRenderItem> expected;
      for (int k = 0; k < n; ++k) {
        list.Add(k + 1, keys[k]);
        expected.push_back(TRenderItem{keys[k], k + 1});
      }
      list.Sort();
      if (n > 0) ReferenceSort(expected, 0, n - 1);
      ASSERT_EQ(list.Count(), n);
      for (int p = 1; p <= n; ++p) {
        ASSERT_EQ(list.Item(p).Index, expected[p - 1].Index)
            << "size " << n << " kind " << kind << " at " << p;
        ASSERT_EQ(std::memcmp(&list.Item(p).Key, &expected[p - 1].Key, sizeof(float)), 0);
      }
    }
  }
}

}  // namespace
}  // namespace vantrix
