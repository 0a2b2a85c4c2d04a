// The two passes of the resampler.
//
// Every output byte is the plain sequential double sum of weight x byte over
// its list, in list order, clamped and rounded; the intermediate picture holds
// whole bytes. So the result does not depend on how the loops are arranged,
// and the arrangement is for speed only:
//  - the horizontal pass widens four source rows at a time to doubles, laid
//    out so that each vector holds one channel of two rows: one weight then
//    feeds twelve independent sums (three channels, four rows) with no lane
//    wasted, instead of one long chain of dependent additions;
//  - the intermediate bytes are kept as doubles, and the vertical pass adds
//    whole rows times one weight, a register-sized block of columns at a time.
// Only additions and multiplications of doubles, never fused (the build uses
// -ffp-contract=off), so the differential test can demand identical bytes.

#include "resample/Resample.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <memory>
#include <vector>

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
inline V2d SumsToBytes(V2d v) {
  const V2d zero{0.0, 0.0}, top{255.0, 255.0}, magic{0x1p52, 0x1p52};
  v = v > top ? top : v;
  v = v >= zero ? v : zero;  // also NaN, which RoundInt makes 0
  return (v + magic) - magic;
}

// Byte values as doubles, so that widening a row is a table look-up.
struct TByteDoubles {
  double value[256];
  constexpr TByteDoubles() : value() {
    for (int i = 0; i < 256; ++i) value[i] = i;
  }
};
constexpr TByteDoubles kByte;

// The horizontal pass works on four rows at once. A widened source pixel is
// six vectors: for each channel (blue, green, red), the values of rows 0 and 1,
// then of rows 2 and 3. Every lane is used, and the four rows share one weight
// and give independent sums instead of one long chain of dependent additions.
constexpr int kRowBlock = 4;
constexpr int kPixelVecs = 6;

// Rows y .. y + 3 into the intermediate rows; rows past the end repeat the
// last one and are not stored.
void HorizontalRows(const TPicture& src, int y, const TWeightTable& lists, V2d* wide, double* out,
                    size_t outStride) {
  const int sw = src.Width();
  const int rows = src.Height() - y < kRowBlock ? src.Height() - y : kRowBlock;
  const uint8_t* in[kRowBlock];
  for (int r = 0; r < kRowBlock; ++r) in[r] = src.Row(y + (r < rows ? r : rows - 1));
  for (int x = 0; x < sw; ++x) {
    V2d* w = wide + static_cast<size_t>(x) * kPixelVecs;
    const size_t b = 3 * static_cast<size_t>(x);
    for (int c = 0; c < 3; ++c) {
      w[2 * c] = V2d{kByte.value[in[0][b + c]], kByte.value[in[1][b + c]]};
      w[2 * c + 1] = V2d{kByte.value[in[2][b + c]], kByte.value[in[3][b + c]]};
    }
  }
  const int dw = lists.Size();
  for (int i = 0; i < dw; ++i) {
    const TWeightList list = lists.List(i);
    V2d acc[kPixelVecs];
#pragma GCC unroll 6
    for (int k = 0; k < kPixelVecs; ++k) acc[k] = V2d{};
    for (int e = 0; e < list.Count; ++e) {
      const V2d weight = V2d{1.0, 1.0} * list.Entries[e].Weight;
      const V2d* px = wide + static_cast<size_t>(list.Entries[e].Pixel) * kPixelVecs;
#pragma GCC unroll 6
      for (int k = 0; k < kPixelVecs; ++k) acc[k] += weight * px[k];
    }
    double* o = out + static_cast<size_t>(y) * outStride + 3 * static_cast<size_t>(i);
    for (int c = 0; c < 3; ++c) {
      for (int half = 0; half < 2; ++half) {
        const V2d v = SumsToBytes(acc[2 * c + half]);
        const int r = 2 * half;
        if (r < rows) o[static_cast<size_t>(r) * outStride + c] = v[0];
        if (r + 1 < rows) o[static_cast<size_t>(r + 1) * outStride + c] = v[1];
      }
    }
  }
}

inline V2d LoadPair(const double* p) {
  V2d v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

constexpr size_t kColumnBlock = 8;  // vectors of sums kept in registers

// N vectors of sums of the vertical pass, from vector q0 of the intermediate rows.
template <size_t N>
inline void VerticalBlock(const double* mid, size_t midStride, TWeightList list, size_t q0, uint8_t* dst,
                          size_t bytes) {
  V2d acc[N];
#pragma GCC unroll 8
  for (size_t k = 0; k < N; ++k) acc[k] = V2d{};
  for (int e = 0; e < list.Count; ++e) {
    const V2d weight = V2d{1.0, 1.0} * list.Entries[e].Weight;
    const double* row = mid + static_cast<size_t>(list.Entries[e].Pixel) * midStride + 2 * q0;
#pragma GCC unroll 8
    for (size_t k = 0; k < N; ++k) acc[k] += weight * LoadPair(row + 2 * k);
  }
#pragma GCC unroll 8
  for (size_t k = 0; k < N; ++k) {
    const V2d b = SumsToBytes(acc[k]);
    const size_t x = 2 * (q0 + k);
    dst[x] = static_cast<uint8_t>(b[0]);
    if (x + 1 < bytes) dst[x + 1] = static_cast<uint8_t>(b[1]);  // the row padding is not stored
  }
}

// One destination row: whole intermediate rows times one weight, a block of
// columns at a time so that the sums stay in registers.
void VerticalRow(const double* mid, size_t midStride, TWeightList list, uint8_t* dst, size_t bytes) {
  const size_t vecs = midStride / 2;
  size_t q = 0;
  for (; q + kColumnBlock <= vecs; q += kColumnBlock)
    VerticalBlock<kColumnBlock>(mid, midStride, list, q, dst, bytes);
  for (; q < vecs; ++q) VerticalBlock<1>(mid, midStride, list, q, dst, bytes);
}

}  // namespace

void ResampleBitmap(const TPicture& source, TPicture& destination, TKernelFunc kernel, double support) {
  if (source.Width() < 1 || source.Height() < 1) throw TResampleError("Source bitmap too small");
  const int dw = destination.Width();
  const int dh = destination.Height();
  if (dw < 1 || dh < 1) return;

  const int sw = source.Width();
  const int sh = source.Height();
  // Built before anything changes, so a bad support leaves both pictures alone.
  const TWeightTable columns(sw, dw, kernel, support);
  const TWeightTable rows(sh, dh, kernel, support);
  // Read as 24 bits: the source itself when it is, else a converted copy.
  TPicture converted;
  if (source.BitsPerPixel() != 24) converted = source.Converted(24);
  const TPicture& src = source.BitsPerPixel() == 24 ? source : converted;

  // Intermediate picture: dw x sh bytes held as doubles, each row padded with
  // zeros to whole vectors.
  const size_t midVecs = (3 * static_cast<size_t>(dw) + 1) / 2;
  const size_t midStride = 2 * midVecs;
  // Not zero-filled: the horizontal pass writes every byte but the padding.
  const auto mid = std::make_unique_for_overwrite<double[]>(midStride * static_cast<size_t>(sh));
  if (midStride > 3 * static_cast<size_t>(dw))
    for (int y = 0; y < sh; ++y) mid[static_cast<size_t>(y) * midStride + midStride - 1] = 0.0;
  {
    std::vector<V2d> wide(static_cast<size_t>(kPixelVecs) * sw);
    for (int y = 0; y < sh; y += kRowBlock)
      HorizontalRows(src, y, columns, wide.data(), mid.get(), midStride);
  }

  // Only now, the source having been read: it may be the destination itself.
  destination.SetSize(dw, dh, 24);
  for (int i = 0; i < dh; ++i)
    VerticalRow(mid.get(), midStride, rows.List(i), destination.Row(i), 3 * static_cast<size_t>(dw));
}

TPicture ResizedPicture(const TPicture& source, int width, int height, TKernelFunc kernel, double support) {
  TPicture out(std::max(width, 1), std::max(height, 1), 24);
  ResampleBitmap(source, out, kernel, support);
  return out;
}

}  // namespace vantrix
