// The optimised passes against a plain per-pixel resampler on seeded random
// pictures: the results must be identical to the byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "platform/Picture.h"
#include "platform/Rounding.h"
#include "resample/Resample.h"

namespace vantrix {
namespace {

struct RefEntry {
  int pixel;
  double weight;
};

// One list per destination pixel, written the slow obvious way.
std::vector<std::vector<RefEntry>> ReferenceLists(int src, int dst, TKernelFunc kernel, double support) {
  std::vector<std::vector<RefEntry>> lists(dst);
  const bool single = dst == 1 && src > 1;
  double scale = src == 1 ? double(dst) / src : double(dst - 1) / (src - 1);
  if (single) scale = 1.0 / src;
  for (int i = 0; i < dst; ++i) {
    const double center = single ? (src - 1) / 2.0 : i / scale;
    const double fs = single ? double(src) : 1.0 / scale;
    const double w = scale < 1.0 ? support * fs : support;
    for (long j = static_cast<long>(std::floor(center - w)); j <= static_cast<long>(std::ceil(center + w));
         ++j) {
      const double weight = scale < 1.0 ? kernel((center - j) / fs) / fs : kernel(center - j);
      if (weight == 0.0) continue;
      long k = j < 0 ? -j : j >= src ? 2L * src - 1 - j : j;
      k = std::clamp(k, 0L, static_cast<long>(src) - 1);
      lists[i].push_back({static_cast<int>(k), weight});
    }
  }
  return lists;
}

uint8_t ReferenceByte(double sum) {
  return static_cast<uint8_t>(sum > 255 ? 255 : sum < 0 ? 0 : RoundInt(sum));
}

TPicture ReferenceResample(const TPicture& source, int dw, int dh, TKernelFunc kernel, double support) {
  const int sw = source.Width(), sh = source.Height();
  const auto cols = ReferenceLists(sw, dw, kernel, support);
  const auto rows = ReferenceLists(sh, dh, kernel, support);
  TPicture mid(dw, sh, 24), out(dw, dh, 24);
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < dw; ++x) {
      double b = 0, g = 0, r = 0;
      for (const RefEntry& e : cols[x]) {
        const TPixel p = source.PixelAt(e.pixel, y);
        b += e.weight * PixelBlue(p);
        g += e.weight * PixelGreen(p);
        r += e.weight * PixelRed(p);
      }
      mid.SetPixelAt(x, y, MakePixel(ReferenceByte(r), ReferenceByte(g), ReferenceByte(b)));
    }
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x) {
      double b = 0, g = 0, r = 0;
      for (const RefEntry& e : rows[y]) {
        const TPixel p = mid.PixelAt(x, e.pixel);
        b += e.weight * PixelBlue(p);
        g += e.weight * PixelGreen(p);
        r += e.weight * PixelRed(p);
      }
      out.SetPixelAt(x, y, MakePixel(ReferenceByte(r), ReferenceByte(g), ReferenceByte(b)));
    }
  return out;
}

// Random pixels, sometimes with long runs of 0 and 255 so that the sums leave
// 0..255 and land on exact halves; a third of the pictures have 32 bits with
// a random fourth byte, which must not count.
TPicture RandomPicture(std::mt19937& rng, int w, int h) {
  const bool wide = rng() % 3 == 0;
  TPicture pic(w, h, wide ? 32 : 24);
  const bool harsh = rng() % 2 == 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t v = rng();
      const uint32_t fourth = wide ? rng() & 0xFF000000u : 0;
      pic.SetPixelAt(x, y, (harsh ? ((v & 1) ? 0xFFFFFF : 0) ^ (v & 0x010101) : v & 0xFFFFFF) | fourth);
    }
  return pic;
}

// With two-wide vectors and with the widest the processor has.
void ExpectSameAsReference(const TPicture& source, int dw, int dh, const TKernelInfo& k) {
  const TPicture want = ReferenceResample(source, dw, dh, k.Kernel, k.Support);
  for (const int width : {2, 0}) {
    ForceResampleVectorWidth(width);
    TPicture dst(dw, dh, 32);
    ResampleBitmap(source, dst, k.Kernel, k.Support);
    ForceResampleVectorWidth(0);
    ASSERT_EQ(dst.BitsPerPixel(), 24);
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x)
        ASSERT_EQ(dst.PixelAt(x, y), want.PixelAt(x, y))
            << k.Name << " " << source.Width() << "x" << source.Height() << " -> " << dw << "x" << dh
            << " at (" << x << ", " << y << "), vectors of " << (width ? width : ResampleVectorWidth());
  }
}

TEST(ResampleDifferential, TinyPicturesAndOnePixelDestinations) {
  std::mt19937 rng(1234);
  const int sizes[][2] = {{1, 1}, {2, 1}, {1, 5}, {2, 2}, {3, 1}, {5, 3}};
  const int dests[][2] = {{1, 1}, {1, 4}, {4, 1}, {2, 2}, {7, 3}, {3, 9}, {1, 30}};
  for (const auto& s : sizes) {
    const TPicture source = RandomPicture(rng, s[0], s[1]);
    for (const auto& d : dests)
      for (const TKernelInfo& k : KernelTable) ExpectSameAsReference(source, d[0], d[1], k);
  }
}

TEST(ResampleDifferential, RandomSizes) {
  std::mt19937 rng(98765);
  for (int round = 0; round < 60; ++round) {
    const int sw = 1 + static_cast<int>(rng() % 60), sh = 1 + static_cast<int>(rng() % 40);
    // Reductions, enlargements, and now and then one-pixel-wide or -high destinations.
    int dw = 1 + static_cast<int>(rng() % 70), dh = 1 + static_cast<int>(rng() % 50);
    if (round % 7 == 0) dw = 1;
    if (round % 11 == 0) dh = 1;
    const TPicture source = RandomPicture(rng, sw, sh);
    ExpectSameAsReference(source, dw, dh, KernelTable[round % 7]);
  }
}

TEST(ResampleDifferential, BenchmarkSizedReductions) {
  std::mt19937 rng(4242);
  const TPicture source = RandomPicture(rng, 350, 105);
  ExpectSameAsReference(source, 40, 10, KernelTable[5]);    // Lanczos3
  ExpectSameAsReference(source, 175, 53, KernelTable[4]);   // B-Spline
  ExpectSameAsReference(source, 351, 106, KernelTable[6]);  // Mitchell, just larger
}

}  // namespace
}  // namespace vantrix
