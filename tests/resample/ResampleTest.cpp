#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "platform/Picture.h"
#include "resample/Resample.h"

namespace vantrix {
namespace {

const TKernelInfo& Kernel(std::string_view name) {
  for (const TKernelInfo& k : KernelTable)
    if (k.Name == name) return k;
  throw std::logic_error("no kernel " + std::string(name));
}

TPicture Resampled(const TPicture& source, int dw, int dh, std::string_view kernel) {
  TPicture dest(dw, dh, 24);
  ResampleBitmap(source, dest, Kernel(kernel).Kernel, Kernel(kernel).Support);
  return dest;
}

// --- Kernels -------------------------------------------------------------

TEST(ResampleKernels, SymmetricContinuousAndZeroOutsideSupport) {
  for (const TKernelInfo& k : KernelTable) {
    if (k.Name == "Box") continue;  // a step by design
    for (double x = 0; x < k.Support + 1; x += 0.0625) {
      EXPECT_EQ(k.Kernel(x), k.Kernel(-x)) << k.Name << " " << x;
      if (x >= k.Support) {
        EXPECT_EQ(k.Kernel(x), 0.0) << k.Name << " " << x;
      }
      // No jump where a formula hands over to the next.
      EXPECT_NEAR(k.Kernel(x), k.Kernel(x + 1e-9), 1e-7) << k.Name << " " << x;
    }
  }
  EXPECT_EQ(BoxFilter(-0.5), 0.0);
  EXPECT_EQ(BoxFilter(0.5), 1.0);
}

TEST(ResampleKernels, KnownValues) {
  EXPECT_DOUBLE_EQ(HermiteFilter(0.5), 0.5);
  EXPECT_DOUBLE_EQ(BellFilter(0.5), 0.5);
  EXPECT_DOUBLE_EQ(SplineFilter(0), 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(SplineFilter(1), 1.0 / 6.0);
  EXPECT_DOUBLE_EQ(Lanczos3Filter(0), 1.0);
  EXPECT_NEAR(Lanczos3Filter(1), 0.0, 1e-15);
  EXPECT_NEAR(Lanczos3Filter(0.5), (2 / M_PI) * (std::sin(M_PI / 6) / (M_PI / 6)), 1e-15);
  EXPECT_DOUBLE_EQ(MitchellFilter(0), 16.0 / 18.0);
  EXPECT_NEAR(MitchellFilter(1), 1.0 / 18.0, 1e-14);
}

// Box, Triangle, Bell and B-Spline sum to 1 over whole-pixel shifts, so flat
// areas keep their value.
TEST(ResampleKernels, PartitionOfUnity) {
  for (std::string_view name : {"Box", "Triangle", "Bell", "B-Spline"})
    for (double t = 0; t < 1; t += 0.125) {
      double sum = 0;
      for (int j = -4; j <= 4; ++j) sum += Kernel(name).Kernel(t - j);
      EXPECT_NEAR(sum, 1.0, 1e-12) << name << " " << t;
    }
}

// --- Weight lists --------------------------------------------------------

TEST(ResampleWeights, IndicesStayInsideEvenForWideKernelsOnTinyImages) {
  for (const TKernelInfo& k : KernelTable)
    for (int src : {1, 2, 3, 5})
      for (int dst : {1, 2, 7, 40}) {
        const TWeightTable t(src, dst, k.Kernel, k.Support);
        ASSERT_EQ(t.Size(), dst);
        for (int i = 0; i < dst; ++i) {
          const TWeightList l = t.List(i);
          EXPECT_GT(l.Count, 0) << k.Name << " " << src << "->" << dst;
          for (int e = 0; e < l.Count; ++e) {
            EXPECT_GE(l.Entries[e].Pixel, 0);
            EXPECT_LT(l.Entries[e].Pixel, src);
            EXPECT_NE(l.Entries[e].Weight, 0.0);
          }
        }
      }
}

TEST(ResampleWeights, BordersMirrorAboutFirstPixelAndLastEdge) {
  // Reducing 9 -> 3 with B-Spline (stretched by 4): column 0 reaches j = -7..7,
  // column 2 reaches j = 1..15.
  const TWeightTable t(9, 3, SplineFilter, 2.0);
  double towardPixel[9] = {};
  for (int side : {0, 2}) {
    std::fill(std::begin(towardPixel), std::end(towardPixel), 0.0);
    const TWeightList l = t.List(side);
    for (int e = 0; e < l.Count; ++e) towardPixel[l.Entries[e].Pixel] += l.Entries[e].Weight;
    if (side == 0) {
      // j = -1 folds onto 1, never onto 0: the mirror axis is pixel 0 itself.
      EXPECT_DOUBLE_EQ(towardPixel[1], 2 * SplineFilter(0.25) / 4);
      EXPECT_DOUBLE_EQ(towardPixel[0], SplineFilter(0) / 4);
    } else {
      // j = 9 folds onto 8: the last pixel is repeated beyond the edge.
      EXPECT_DOUBLE_EQ(towardPixel[8], (SplineFilter(0) + SplineFilter(0.25)) / 4);
    }
  }
}

// The single destination pixel stands for the whole source: with Box every
// source pixel counts once.
TEST(ResampleWeights, OnePixelDestinationAveragesTheWholeSource) {
  for (int src : {2, 3, 8, 101}) {
    const TWeightTable t(src, 1, BoxFilter, 0.5);
    const TWeightList l = t.List(0);
    ASSERT_EQ(l.Count, src);
    for (int e = 0; e < l.Count; ++e) {
      EXPECT_EQ(l.Entries[e].Pixel, e);
      EXPECT_DOUBLE_EQ(l.Entries[e].Weight, 1.0 / src);
    }
  }
}

// --- ResampleBitmap ------------------------------------------------------

TEST(ResampleBitmap, SameSizeTriangleIsExactAndConvertsFormats) {
  std::mt19937 rng(7);
  TPicture source(37, 23, 32);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) source.SetPixelAt(x, y, rng() & 0xFFFFFF);
  const TPicture unchanged = source;
  const TPicture original = source.Converted(24);
  TPicture dest(37, 23, 32);
  ResampleBitmap(source, dest, TriangleFilter, 1.0);
  EXPECT_TRUE(source == unchanged);  // the source is read, never converted in place
  EXPECT_TRUE(dest == original);
  // In place, source and destination being one picture, 24 bits and 32.
  ResampleBitmap(dest, dest, TriangleFilter, 1.0);
  EXPECT_TRUE(dest == original);
  ResampleBitmap(source, source, TriangleFilter, 1.0);
  EXPECT_TRUE(source == original);
}

// A B-spline at the same size is not the identity (it blurs), so reading
// pixels already overwritten would show.
TEST(ResampleBitmap, InPlaceEqualsResamplingIntoAnotherPicture) {
  std::mt19937 rng(11);
  for (const int bits : {24, 32}) {
    TPicture picture(41, 17, bits);
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < 41; ++x) picture.SetPixelAt(x, y, rng() & 0xFFFFFF);
    TPicture other(41, 17, 24);
    ResampleBitmap(picture, other, SplineFilter, 2);
    ResampleBitmap(picture, picture, SplineFilter, 2);
    EXPECT_TRUE(picture == other) << bits << " bits";
  }
}

TEST(ResizedPicture, IsResampleBitmapIntoANewPictureOfAtLeastOnePixel) {
  std::mt19937 rng(5);
  TPicture source(30, 20, 32);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) source.SetPixelAt(x, y, rng() & 0xFFFFFF);
  TPicture dest(12, 7, 24);
  ResampleBitmap(source, dest, Lanczos3Filter, 3);
  EXPECT_TRUE(ResizedPicture(source, 12, 7, Lanczos3Filter, 3) == dest);
  const TPicture dot = ResizedPicture(source, 0, -3, SplineFilter, 2);
  EXPECT_EQ(dot.Width(), 1);
  EXPECT_EQ(dot.Height(), 1);
  EXPECT_THROW(ResizedPicture(TPicture(), 5, 5, SplineFilter, 2), TResampleError);
}

TEST(ResampleBitmap, TooSmallSourceRaisesAndChangesNothing) {
  for (const auto& size : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
    TPicture source(size.first, size.second, 32);
    TPicture dest(4, 4, 32);
    dest.Fill(0x123456);
    try {
      ResampleBitmap(source, dest, SplineFilter, 2.0);
      FAIL() << "no exception";
    } catch (const TResampleError& e) {
      EXPECT_STREQ(e.what(), "Source bitmap too small");
    }
    EXPECT_EQ(source.BitsPerPixel(), 32);
    EXPECT_EQ(dest.BitsPerPixel(), 32);
    EXPECT_EQ(dest.PixelAt(3, 3), 0x123456u);
  }
}

TEST(ResampleBitmap, EmptyDestinationOrBadSupportLeavesBothAlone) {
  TPicture source(5, 5, 32);
  TPicture dest;
  ResampleBitmap(source, dest, SplineFilter, 2.0);
  EXPECT_TRUE(dest.Empty());
  EXPECT_EQ(source.BitsPerPixel(), 32);
  TPicture dest2(3, 3, 32);
  EXPECT_THROW(ResampleBitmap(source, dest2, SplineFilter, std::nan("")), std::invalid_argument);
  EXPECT_THROW(ResampleBitmap(source, dest2, SplineFilter, -1.0), std::invalid_argument);
  EXPECT_EQ(source.BitsPerPixel(), 32);
  EXPECT_EQ(dest2.BitsPerPixel(), 32);
}

TEST(ResampleBitmap, OnePixelHighPicturesResampleLikeAnyOther) {
  TPicture row(8, 1, 24);
  for (int x = 0; x < 8; ++x) row.SetPixelAt(x, 0, MakePixel(uint8_t(x * 30), 0, 0));
  const TPicture wide = Resampled(row, 15, 1, "Triangle");
  ASSERT_EQ(wide.Height(), 1);
  // 8 -> 15 with corners aligned: every other column is a source pixel, the
  // ones between are midpoints.
  for (int x = 0; x < 15; ++x) EXPECT_EQ(PixelRed(wide.PixelAt(x, 0)), x * 15) << x;
  const TPicture flat = Resampled(row, 8, 1, "B-Spline");
  const TPicture tall = Resampled(row, 8, 3, "B-Spline");
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(tall.PixelAt(x, y), flat.PixelAt(x, 0)) << x << " " << y;
}

TEST(ResampleBitmap, HalfSumsRoundToEven) {
  // 2 -> 3 Triangle: the middle column is exactly (a + b) / 2.
  const struct {
    uint8_t a, b, mid;
  } cases[] = {{0, 1, 0}, {0, 3, 2}, {0, 5, 2}, {254, 255, 254}, {7, 10, 8}};
  for (const auto& c : cases) {
    TPicture src(2, 1, 24);
    src.SetPixelAt(0, 0, MakePixel(c.a, c.a, c.a));
    src.SetPixelAt(1, 0, MakePixel(c.b, c.b, c.b));
    EXPECT_EQ(PixelGreen(Resampled(src, 3, 1, "Triangle").PixelAt(1, 0)), c.mid)
        << int(c.a) << " " << int(c.b);
  }
}

TPicture Edge(int width, uint8_t dark, uint8_t bright) {
  TPicture pic(width, 2, 24);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t v = x < width / 2 ? dark : bright;
      pic.SetPixelAt(x, y, MakePixel(v, v, v));
    }
  return pic;
}

TEST(ResampleBitmap, EdgeEnlargementSplineRampsLanczosAndMitchellClamp) {
  const TPicture spline = Resampled(Edge(10, 0, 255), 46, 2, "B-Spline");
  for (int x = 1; x < 46; ++x) EXPECT_GE(spline.PixelAt(x, 0), spline.PixelAt(x - 1, 0)) << x;
  EXPECT_EQ(PixelRed(spline.PixelAt(0, 0)), 0);
  EXPECT_EQ(PixelRed(spline.PixelAt(45, 0)), 255);

  for (std::string_view k : {"Lanczos3", "Mitchell"}) {
    // Away from the extremes the ringing shows up as under- and overshoot ...
    const TPicture soft = Resampled(Edge(10, 40, 200), 46, 2, k);
    int lo = 255, hi = 0;
    for (int x = 0; x < 46; ++x) {
      lo = std::min(lo, int(PixelRed(soft.PixelAt(x, 0))));
      hi = std::max(hi, int(PixelRed(soft.PixelAt(x, 0))));
    }
    EXPECT_LT(lo, 40) << k;
    EXPECT_GT(hi, 200) << k;
    // ... and at 0 and 255 it is clamped, never wrapped to the other end.
    const TPicture hard = Resampled(Edge(10, 0, 255), 46, 2, k);
    for (int x = 0; x < 46; ++x) {
      const int v = PixelRed(hard.PixelAt(x, 0));
      if (x < 18) {
        EXPECT_LT(v, 128) << k << " " << x;
      } else if (x > 27) {
        EXPECT_GT(v, 128) << k << " " << x;
      }
    }
  }
}

TEST(ResampleBitmap, BoxReductionByFourAveragesFourByFour) {
  // 401 -> 101: scale 1/4 exactly, each destination pixel covers source
  // pixels 4i - 2 .. 4i + 1 (mirrored at the left border).
  std::mt19937 rng(11);
  TPicture src(401, 401, 24);
  for (int y = 0; y < 401; ++y)
    for (int x = 0; x < 401; ++x) src.SetPixelAt(x, y, rng() & 0xFFFFFF);
  const TPicture dst = Resampled(src, 101, 101, "Box");
  auto mirror = [](int j) { return j < 0 ? -j : j > 400 ? 801 - j : j; };
  for (int i = 0; i < 101; i += 7)
    for (int k = 0; k < 101; k += 5) {
      double sum = 0;
      for (int dy = -2; dy < 2; ++dy)
        for (int dx = -2; dx < 2; ++dx)
          sum += PixelGreen(src.PixelAt(mirror(4 * i + dx), mirror(4 * k + dy)));
      // The horizontal pass rounds before the vertical one: within one step.
      EXPECT_NEAR(PixelGreen(dst.PixelAt(i, k)), sum / 16, 1.0) << i << " " << k;
    }
}

TEST(ResampleBitmap, OnePixelDestinationOfAFlatPictureKeepsItsColour) {
  TPicture flat(9, 6, 24);
  flat.Fill(MakePixel(200, 100, 50));
  // Lanczos3 weights are not normalised and sum to about 0.995 per pass.
  for (const TKernelInfo& k : KernelTable) {
    const TPicture one = Resampled(flat, 1, 1, k.Name);
    EXPECT_NEAR(PixelRed(one.PixelAt(0, 0)), 200, 2) << k.Name;
    EXPECT_NEAR(PixelBlue(one.PixelAt(0, 0)), 50, 1) << k.Name;
  }
}

}  // namespace
}  // namespace vantrix
