// The two passes of the resampler.
//
// Every output byte is the plain sequential double sum of weight x byte over
// its list, in list order, so the result does not depend on how the loops are
// arranged. The arrangement is for speed only:
//  - the source rows are widened once to four doubles per pixel (blue, green,
//    red, 0), so that one vector multiply-add handles the three channels;
//  - the horizontal pass runs over four rows at once with the same weight
//    list, which gives four independent sums instead of one long chain of
//    dependent additions;
//  - the intermediate picture holds whole bytes stored as floats, and the
//    vertical pass adds whole rows times one weight, which vectorises.
// GCC vector extensions keep this portable; on plain SSE2 a four-double vector
// becomes two instructions.

#include <cfloat>
#include <cstring>
#include <memory>
#include <vector>

#include "imaging/Resample.h"

namespace vantrix {
namespace {

// Two-double vectors: native on every x86-64 (SSE2) and on ARM64 (NEON), so
// the accumulators stay in registers.
typedef double V2d __attribute__((vector_size(16)));

// A byte from a sum: clamped to 0..255, then rounded to the nearest integer,
// halves to even: the result of RoundInt. Adding and taking away 2^52 rounds in
// the FPU's default mode, which is the same rule; RoundInt's library call was a
// sixth of the whole time. tests/resample checks the two agree.
static_assert(FLT_EVAL_METHOD == 0, "the 2^52 rounding needs plain double arithmetic");
inline double SumToByte(double v) {
  if (v > 255.0) return 255.0;
  if (!(v >= 0.0)) return 0.0;  // also NaN, which RoundInt makes 0
  return (v + 0x1p52) - 0x1p52;
}

constexpr int kRowBlock = 4;

// The horizontal pass for rows y .. y + R - 1 into the intermediate rows. A
// widened pixel is two vectors: (blue, green) and (red, 0).
template <int R>
void HorizontalRows(const TPicture& src, int y, const TWeightTable& lists, V2d* wide, double* out,
                    size_t outStride) {
  const int sw = src.Width();
  const size_t rowVecs = 2 * static_cast<size_t>(sw);
  for (int r = 0; r < R; ++r) {
    const uint8_t* p = src.Row(y + r);
    V2d* w = wide + r * rowVecs;
    for (int x = 0; x < sw; ++x, p += 3) {
      w[2 * x] = V2d{double(p[0]), double(p[1])};
      w[2 * x + 1] = V2d{double(p[2]), 0.0};
    }
  }
  const int dw = lists.Size();
  for (int i = 0; i < dw; ++i) {
    const TWeightList list = lists.List(i);
    V2d bg[R], r0[R];
#pragma GCC unroll 4
    for (int r = 0; r < R; ++r) bg[r] = r0[r] = V2d{};
    for (int e = 0; e < list.Count; ++e) {
      const V2d weight = V2d{1.0, 1.0} * list.Entries[e].Weight;
      const V2d* px = wide + 2 * static_cast<size_t>(list.Entries[e].Pixel);
#pragma GCC unroll 4
      for (int r = 0; r < R; ++r) {
        bg[r] += weight * px[r * rowVecs];
        r0[r] += weight * px[r * rowVecs + 1];
      }
    }
    for (int r = 0; r < R; ++r) {
      double* o = out + static_cast<size_t>(y + r) * outStride + 3 * static_cast<size_t>(i);
      o[0] = SumToByte(bg[r][0]);
      o[1] = SumToByte(bg[r][1]);
      o[2] = SumToByte(r0[r][0]);
    }
  }
}

inline V2d LoadPair(const double* p) {
  V2d v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

constexpr size_t kColumnBlock = 8;  // vectors of accumulators kept in registers

// The vertical pass for one destination row: whole intermediate rows times one
// weight, a block of columns at a time so that the sums stay in registers.
void VerticalRow(const double* mid, size_t midVecs, TWeightList list, uint8_t* dst, int bytes) {
  for (size_t q0 = 0; q0 < midVecs; q0 += kColumnBlock) {
    V2d acc[kColumnBlock];
#pragma GCC unroll 8
    for (size_t k = 0; k < kColumnBlock; ++k) acc[k] = V2d{};
    const size_t n = midVecs - q0 < kColumnBlock ? midVecs - q0 : kColumnBlock;
    for (int e = 0; e < list.Count; ++e) {
      const V2d weight = V2d{1.0, 1.0} * list.Entries[e].Weight;
      const double* row = mid + (static_cast<size_t>(list.Entries[e].Pixel) * midVecs + q0) * 2;
      if (n == kColumnBlock) {
#pragma GCC unroll 8
        for (size_t k = 0; k < kColumnBlock; ++k) acc[k] += weight * LoadPair(row + 2 * k);
      } else {
        for (size_t k = 0; k < n; ++k) acc[k] += weight * LoadPair(row + 2 * k);
      }
    }
    const size_t first = 2 * q0;
    const size_t last = first + 2 * n < static_cast<size_t>(bytes) ? first + 2 * n : static_cast<size_t>(bytes);
    for (size_t x = first; x < last; ++x) dst[x] = static_cast<uint8_t>(SumToByte(acc[(x - first) >> 1][x & 1]));
  }
}

}  // namespace

void ResampleBitmap(TPicture& source, TPicture& destination, TKernelFunc kernel, double support) {
  if (source.Width() < 1 || source.Height() < 1) throw TResampleError("Source bitmap too small");
  const int dw = destination.Width();
  const int dh = destination.Height();
  if (dw < 1 || dh < 1) return;

  const int sw = source.Width();
  const int sh = source.Height();
  // Built before anything changes, so a bad support leaves both pictures alone.
  const TWeightTable columns(sw, dw, kernel, support);
  const TWeightTable rows(sh, dh, kernel, support);
  if (source.BitsPerPixel() != 24) source = source.Converted(24);

  // Intermediate picture: dw x sh bytes held as doubles, each row padded with
  // zeros to whole vectors.
  const size_t midVecs = (3 * static_cast<size_t>(dw) + 1) / 2;
  const size_t midStride = 2 * midVecs;
  // Not zero-filled: the horizontal pass writes every byte but the padding.
  const auto mid = std::make_unique_for_overwrite<double[]>(midStride * static_cast<size_t>(sh));
  if (midStride > 3 * static_cast<size_t>(dw))
    for (int y = 0; y < sh; ++y) mid[static_cast<size_t>(y) * midStride + midStride - 1] = 0.0;
  {
    std::vector<V2d> wide(2 * static_cast<size_t>(kRowBlock) * sw);
    double* out = mid.get();
    int y = 0;
    for (; y + kRowBlock <= sh; y += kRowBlock) HorizontalRows<kRowBlock>(source, y, columns, wide.data(), out, midStride);
    for (; y < sh; ++y) HorizontalRows<1>(source, y, columns, wide.data(), out, midStride);
  }

  // Only now: the source may be the destination itself.
  destination.SetSize(dw, dh, 24);
  for (int i = 0; i < dh; ++i) VerticalRow(mid.get(), midVecs, rows.List(i), destination.Row(i), 3 * dw);
}

}  // namespace vantrix
