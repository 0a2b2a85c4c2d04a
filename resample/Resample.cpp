// The two passes of the resampler.
//
// Every output byte is the plain sequential double sum of weight x byte over
// its list, in list order, clamped and rounded; the intermediate picture holds
// whole bytes. So the result does not depend on how the loops are arranged,
// nor on the width of the vectors, and the arrangement is for speed only:
//  - the horizontal pass widens four source rows at a time to doubles, laid
//    out so that each vector holds one channel of several rows: one weight
//    then feeds twelve independent sums (three channels, four rows) with no
//    lane wasted, instead of one long chain of dependent additions;
//  - the intermediate bytes are kept as doubles, and the vertical pass adds
//    whole rows times one weight, a register-sized block of columns at a time;
//  - the two passes take turns: intermediate rows are made just before the
//    first destination row that reads them and kept in a small ring, so they
//    are read back from the cache instead of from memory.
// Only additions and multiplications of doubles, never fused (the build uses
// -ffp-contract=off), so the differential test can demand identical bytes.

#include "resample/Resample.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace vantrix {
namespace {

// Vectors of W doubles: two are native on every x86-64 (SSE2) and on ARM64
// (NEON), four where the processor has AVX2 (chosen at run time).
template <int W>
struct TVec;
template <>
struct TVec<2> {
  typedef double T __attribute__((vector_size(16)));
};
template <>
struct TVec<4> {
  typedef double T __attribute__((vector_size(32)));
};

// The helpers take and give vectors by reference and are always inlined, so
// that the four-wide ones only ever exist inside the AVX2 entry point.
#define VANTRIX_INLINE inline __attribute__((always_inline))

// A byte from a sum: clamped to 0..255, then rounded to the nearest integer,
// halves to even: the result of RoundInt, done the same way for a whole vector.
// tests/resample checks the two agree.
static_assert(FLT_EVAL_METHOD == 0, "the 2^52 rounding needs plain double arithmetic");
template <class V>
VANTRIX_INLINE void SumsToBytes(V& v) {
  const V zero = V{}, top = zero + 255.0, magic = zero + 0x1p52;
  v = v > top ? top : v;
  v = v >= zero ? v : zero;  // also NaN, which RoundInt makes 0
  v = (v + magic) - magic;
}

// Byte values as doubles, so that widening a row is a table look-up.
struct TByteDoubles {
  double value[256];
  constexpr TByteDoubles() : value() {
    for (int i = 0; i < 256; ++i) value[i] = i;
  }
};
constexpr TByteDoubles kByte;

// The horizontal pass works on 2 W rows at once. A widened source pixel is six
// vectors: for each channel (blue, green, red) the values of the rows, W to a
// vector. Every lane is used, and the rows share one weight and give six
// independent chains of sums, enough to hide the latency of an addition.
template <int W>
constexpr int kRowBlock = 2 * W;
constexpr int kPixelVecs = 6;

template <class V>
VANTRIX_INLINE void Splat(V& v, double x) {
  for (size_t lane = 0; lane < sizeof(V) / sizeof(double); ++lane) v[lane] = x;
}

#if defined(__x86_64__) && defined(__GNUC__)
// Widening for four-wide vectors, eight rows of Bpp-byte pixels eight bytes
// of each row at a time: the bytes are interleaved so that each group of four
// holds one byte position of four rows, then converted to doubles together.
// Returns the first pixel left for the caller (a group must not read past the
// end of a row). Out of line, and only ever called on the AVX2 path.
__attribute__((target("avx2"), always_inline)) inline void StoreWidened(double* wide, size_t byte, int bpp,
                                                                        int h, __m256d v) {
  if (bpp == 4 && byte % 4 == 3) return;  // the fourth byte does not count
  const size_t j = bpp == 3 ? byte : 3 * (byte / 4) + byte % 4;
  _mm256_storeu_pd(wide + 4 * (2 * j + static_cast<size_t>(h)), v);
}

// q holds byte positions o .. o + 3 of rows 4h .. 4h + 3, four bytes each.
__attribute__((target("avx2"), always_inline)) inline void WidenGroup(double* wide, size_t o, int bpp, int h,
                                                                      __m128i q) {
  const __m256i lo = _mm256_cvtepu8_epi32(q);
  const __m256i hi = _mm256_cvtepu8_epi32(_mm_srli_si128(q, 8));
  StoreWidened(wide, o, bpp, h, _mm256_cvtepi32_pd(_mm256_castsi256_si128(lo)));
  StoreWidened(wide, o + 1, bpp, h, _mm256_cvtepi32_pd(_mm256_extracti128_si256(lo, 1)));
  StoreWidened(wide, o + 2, bpp, h, _mm256_cvtepi32_pd(_mm256_castsi256_si128(hi)));
  StoreWidened(wide, o + 3, bpp, h, _mm256_cvtepi32_pd(_mm256_extracti128_si256(hi, 1)));
}

__attribute__((target("avx2"))) int WidenEightRows(const uint8_t* const* in, int sw, int bpp, double* wide) {
  const size_t bytes = static_cast<size_t>(bpp) * static_cast<size_t>(sw);
  size_t o = 0;
  for (; o + 8 <= bytes; o += 8) {
    __m128i r[8];
    for (int i = 0; i < 8; ++i) r[i] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in[i] + o));
    const __m128i a01 = _mm_unpacklo_epi8(r[0], r[1]), a23 = _mm_unpacklo_epi8(r[2], r[3]);
    const __m128i a45 = _mm_unpacklo_epi8(r[4], r[5]), a67 = _mm_unpacklo_epi8(r[6], r[7]);
    WidenGroup(wide, o, bpp, 0, _mm_unpacklo_epi16(a01, a23));
    WidenGroup(wide, o, bpp, 1, _mm_unpacklo_epi16(a45, a67));
    WidenGroup(wide, o + 4, bpp, 0, _mm_unpackhi_epi16(a01, a23));
    WidenGroup(wide, o + 4, bpp, 1, _mm_unpackhi_epi16(a45, a67));
  }
  return static_cast<int>(o / static_cast<size_t>(bpp));
}
#endif

template <class V>
VANTRIX_INLINE void LoadVec(V& v, const double* p) {
  std::memcpy(&v, p, sizeof v);
}

// The weighted sums of a list's entries, N vectors each: acc[k] is the sum
// over the entries, in their order, of the entry's weight times source(e)[k].
// Both passes add up this way; source(e) gives the entry's first double.
template <class V, size_t N, class TSource>
VANTRIX_INLINE void WeightedSums(V (&acc)[N], TWeightList list, TSource source) {
#pragma GCC unroll 8
  for (size_t k = 0; k < N; ++k) acc[k] = V{};
  for (int e = 0; e < list.Count; ++e) {
    V weight;
    Splat(weight, list.Entries[e].Weight);
    const double* from = source(e);
#pragma GCC unroll 8
    for (size_t k = 0; k < N; ++k) {
      V v;
      LoadVec(v, from + sizeof(V) / sizeof(double) * k);
      acc[k] += weight * v;
    }
  }
}

// Rows y .. y + 3 into the intermediate rows (row j at slot j % slots); rows
// past the end repeat the last one and are not stored.
template <int W>
VANTRIX_INLINE void HorizontalRows(const TPicture& src, int y, const TWeightTable& lists,
                                   typename TVec<W>::T* wide, double* mid, size_t midStride, int slots) {
  using V = typename TVec<W>::T;
  constexpr int kRows = kRowBlock<W>;
  constexpr int kHalves = kRows / W;  // vectors per channel
  const int sw = src.Width();
  const int rows = src.Height() - y < kRows ? src.Height() - y : kRows;
  const uint8_t* in[kRows];
  for (int r = 0; r < kRows; ++r) in[r] = src.Row(y + (r < rows ? r : rows - 1));
  int x = 0;
#if defined(__x86_64__) && defined(__GNUC__)
  if constexpr (W == 4) x = WidenEightRows(in, sw, src.BytesPerPixel(), reinterpret_cast<double*>(wide));
#endif
  for (; x < sw; ++x) {
    V* w = wide + static_cast<size_t>(x) * kPixelVecs;
    const size_t b = static_cast<size_t>(src.BytesPerPixel()) * static_cast<size_t>(x);
    for (int c = 0; c < 3; ++c)
      for (int h = 0; h < kHalves; ++h)
        for (int lane = 0; lane < W; ++lane) w[c * kHalves + h][lane] = kByte.value[in[h * W + lane][b + c]];
  }
  double* out[kRows];
  for (int r = 0; r < kRows; ++r) out[r] = mid + static_cast<size_t>((y + r) % slots) * midStride;
  const int dw = lists.Size();
  for (int i = 0; i < dw; ++i) {
    const TWeightList list = lists.List(i);
    V acc[kPixelVecs];
    WeightedSums(acc, list, [&](int e) {
      return reinterpret_cast<const double*>(wide + static_cast<size_t>(list.Entries[e].Pixel) * kPixelVecs);
    });
    const size_t o = 3 * static_cast<size_t>(i);
    for (int c = 0; c < 3; ++c) {
      for (int h = 0; h < kHalves; ++h) {
        V v = acc[c * kHalves + h];
        SumsToBytes(v);
        for (int lane = 0; lane < W; ++lane)
          if (h * W + lane < rows) out[h * W + lane][o + c] = v[lane];
      }
    }
  }
}

constexpr size_t kColumnBlock = 8;  // vectors of sums kept in registers

// N vectors of sums of the vertical pass, from vector q0 of the intermediate
// rows of the list (rows[e] for entry e).
template <int W, size_t N>
VANTRIX_INLINE void VerticalBlock(const double* const* rows, TWeightList list, size_t q0, uint8_t* dst,
                                  size_t bytes) {
  using V = typename TVec<W>::T;
  V acc[N];
  WeightedSums(acc, list, [&](int e) { return rows[e] + W * q0; });
#pragma GCC unroll 8
  for (size_t k = 0; k < N; ++k) {
    SumsToBytes(acc[k]);
    const size_t x = W * (q0 + k);
    for (int lane = 0; lane < W; ++lane)
      if (x + lane < bytes) dst[x + lane] = static_cast<uint8_t>(acc[k][lane]);  // not the row padding
  }
}

// One destination row: whole intermediate rows times one weight, a block of
// columns at a time so that the sums stay in registers. rows has room for
// the list's entries.
template <int W>
VANTRIX_INLINE void VerticalRow(const double* mid, size_t midStride, int slots, TWeightList list,
                                const double** rows, uint8_t* dst, size_t bytes) {
  for (int e = 0; e < list.Count; ++e)
    rows[e] = mid + static_cast<size_t>(list.Entries[e].Pixel % slots) * midStride;
  const size_t vecs = midStride / W;
  size_t q = 0;
  for (; q + kColumnBlock <= vecs; q += kColumnBlock)
    VerticalBlock<W, kColumnBlock>(rows, list, q, dst, bytes);
  for (; q < vecs; ++q) VerticalBlock<W, 1>(rows, list, q, dst, bytes);
}

// What the passes share: the weight lists, the source as 24 bits, the size of
// an intermediate row and how many of them are kept.
struct TPassPlan {
  const TWeightTable* Columns;
  const TWeightTable* Rows;
  const TPicture* Source;
  int Slots;
};

// The intermediate rows are made four at a time just before the first
// destination row that needs them, so that they are read back while they are
// still in the cache; only the last Slots rows are kept, in a ring.
template <int W>
VANTRIX_INLINE void RunPasses(const TPassPlan& plan, TPicture& destination) {
  using V = typename TVec<W>::T;
  const TPicture& src = *plan.Source;
  const int dw = plan.Columns->Size();
  const int dh = plan.Rows->Size();
  // Each row padded with zeros to whole vectors.
  const size_t midStride = (3 * static_cast<size_t>(dw) + W - 1) / W * W;
  // Not zero-filled: the horizontal pass writes every byte but the padding.
  const auto mid = std::make_unique_for_overwrite<double[]>(midStride * static_cast<size_t>(plan.Slots));
  for (int slot = 0; slot < plan.Slots; ++slot)
    for (size_t x = 3 * static_cast<size_t>(dw); x < midStride; ++x)
      mid[static_cast<size_t>(slot) * midStride + x] = 0.0;
  // Raw doubles rather than a container of vectors: a library function
  // instantiated for four-wide vectors outside this AVX2 code would not agree
  // with it on how to pass them.
  const size_t wideVecs = static_cast<size_t>(kPixelVecs) * src.Width();
  const auto wideRoom = std::make_unique_for_overwrite<double[]>(wideVecs * W + W);
  void* wideStart = wideRoom.get();
  size_t wideBytes = (wideVecs * W + W) * sizeof(double);
  V* wide = static_cast<V*>(std::align(sizeof(V), wideVecs * sizeof(V), wideStart, wideBytes));
  // The destination may be the source itself: then its rows go to a picture
  // of their own until every source row has been read.
  TPicture separate;
  TPicture& result = &src == &destination ? separate : destination;
  result.SetSize(dw, dh, 24);
  int longest = 0;
  for (int i = 0; i < dh; ++i) longest = std::max(longest, plan.Rows->List(i).Count);
  std::vector<const double*> rowStarts(static_cast<size_t>(longest) + 1);
  int made = 0;  // intermediate rows 0 .. made - 1 exist (the last Slots of them)
  for (int i = 0; i < dh; ++i) {
    const TWeightList list = plan.Rows->List(i);
    int need = 0;
    for (int e = 0; e < list.Count; ++e) need = std::max(need, list.Entries[e].Pixel + 1);
    for (; made < need; made += kRowBlock<W>)
      HorizontalRows<W>(src, made, *plan.Columns, wide, mid.get(), midStride, plan.Slots);
    VerticalRow<W>(mid.get(), midStride, plan.Slots, list, rowStarts.data(), result.Row(i),
                   3 * static_cast<size_t>(dw));
  }
  if (&result == &separate) destination = std::move(separate);
}

void RunPasses2(const TPassPlan& plan, TPicture& destination) {
  RunPasses<2>(plan, destination);
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) void RunPasses4(const TPassPlan& plan, TPicture& destination) {
  RunPasses<4>(plan, destination);
}
#endif

std::atomic<int> forcedWidth{0};

bool HasAvx2() {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
#else
  return false;
#endif
}

int ChosenWidth() {
  const int forced = forcedWidth.load(std::memory_order_relaxed);
  if (forced == 2) return 2;
  return HasAvx2() ? 4 : 2;
}

// How many intermediate rows the ring must hold: every destination row's
// list must find its rows among the last ones made, made four at a time in
// order. Mirrored borders and kernels wider than the picture can reach back
// further; then the ring simply holds every row.
int RingSlots(const TWeightTable& rows, int sourceHeight, int block) {
  int made = 0, slots = block;
  for (int i = 0; i < rows.Size(); ++i) {
    const TWeightList list = rows.List(i);
    int lo = sourceHeight, hi = -1;
    for (int e = 0; e < list.Count; ++e) {
      lo = std::min(lo, list.Entries[e].Pixel);
      hi = std::max(hi, list.Entries[e].Pixel);
    }
    if (hi < 0) continue;
    while (made < hi + 1) made += block;
    slots = std::max(slots, made - lo);
  }
  // made - lo rows back from the newest keeps lo; whole blocks need no more.
  return std::min(slots, sourceHeight + block);
}

}  // namespace

int ResampleVectorWidth() {
  return ChosenWidth();
}

void ForceResampleVectorWidth(int width) {
  forcedWidth.store(width, std::memory_order_relaxed);
}

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
  // A 32-bit source is read in place: its first three bytes are what a 24-bit
  // copy would hold.
  const TPicture& src = source;

  const int width = ChosenWidth();
  const TPassPlan plan{&columns, &rows, &src, RingSlots(rows, sh, width == 4 ? kRowBlock<4> : kRowBlock<2>)};
#if defined(__x86_64__) && defined(__GNUC__)
  if (width == 4) {
    RunPasses4(plan, destination);
    return;
  }
#endif
  RunPasses2(plan, destination);
}

TPicture ResizedPicture(const TPicture& source, int width, int height, TKernelFunc kernel, double support) {
  TPicture out(std::max(width, 1), std::max(height, 1), 24);
  ResampleBitmap(source, out, kernel, support);
  return out;
}

}  // namespace vantrix
