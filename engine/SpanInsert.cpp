// Storing spans: sizing and clearing the buffer, appending to a row, and
// clipping a new span against the live spans it overlaps.

#include <algorithm>
#include <bit>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/ZBuffer_p.h"
#include "platform/Rounding.h"

namespace vantrix {

namespace {

constexpr int kScanBlock = TSpanRow::kBlock;
static_assert(TSpanRow::kMaxSpans % kScanBlock == 0, "the scan reads whole blocks");

void SyncLive(TSpanChunk& c, int i) {
  const TSpan& s = c.Spans[i];
  c.Live.X1[i] = s.Active ? s.X1 : INT16_MAX;
  c.Live.X2[i] = s.Active ? s.X2 : INT16_MIN;
}

// Bit i set: span i of the chunk may overlap x1..x2 (it is live and not
// wholly left or right of it). Entries past the row's count are not masked
// out here.
uint32_t OverlapHits(const TSpanChunk& c, int x1, int x2) {
  const TSpanChunk::TLive& block = c.Live;
#if defined(__SSE2__)
  const __m128i lo = _mm_set1_epi16(static_cast<int16_t>(x1));
  const __m128i hi = _mm_set1_epi16(static_cast<int16_t>(x2));
  auto misses = [&](int at) {
    const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(block.X1 + at));
    const __m128i b = _mm_load_si128(reinterpret_cast<const __m128i*>(block.X2 + at));
    return _mm_or_si128(_mm_cmpgt_epi16(a, hi), _mm_cmpgt_epi16(lo, b));
  };
  const __m128i m = _mm_packs_epi16(misses(0), misses(8));
  return ~static_cast<uint32_t>(_mm_movemask_epi8(m)) & 0xFFFFu;
#else
  uint32_t hits = 0;
  for (int i = 0; i < kScanBlock; ++i)
    if (block.X1[i] <= x2 && block.X2[i] >= x1) hits |= 1u << i;
  return hits;
#endif
}

}  // namespace

void TZBuffer::SetSize(int height, int width) {
  if (height <= 0 || width <= 0) return;
  maxX_ = std::min(width, kMaxWidth) - 1;
  binShift_ = 0;
  while ((maxX_ >> binShift_) >= TSpanRow::kBins) ++binShift_;
  // Rows kept from a larger picture are reused as they are, since nothing
  // reads a row past its Count and Clear empties them all.
  rows_.resize(static_cast<size_t>(height));
  maxRow_ = height - 1;
  SetBands(Bands());
}

void TZBuffer::SetBands(int bands) {
  bands = ClampInt(bands, 1, std::max(RowCount(), 1));
  pools_.resize(static_cast<size_t>(bands));
  bandRows_ = std::max((RowCount() + bands - 1) / bands, 1);
  Clear();
}

void TZBuffer::BandRows(int b, int& first, int& last) const {
  first = std::min(b * bandRows_, RowCount());
  last = std::min(first + bandRows_, RowCount()) - 1;
}

void TZBuffer::Clear() {
  for (TSpanRow& r : rows_) r.Count = 0;
  for (TChunkPool& p : pools_) p.Used = 0;
  Textured = false;
}

TSpanChunk* TZBuffer::TChunkPool::New() {
  const size_t slab = static_cast<size_t>(Used / kSlabChunks);
  if (slab == Slabs.size()) Slabs.push_back(std::make_unique_for_overwrite<TSpanChunk[]>(kSlabChunks));
  return &Slabs[slab][Used++ % kSlabChunks];
}

// Only a row's band takes chunks from the band's pool, so bands filled at
// once never share one.
TSpanChunk* TZBuffer::NewChunk(const TSpanRow& r) {
  const auto row = static_cast<int>(&r - rows_.data());
  return pools_[static_cast<size_t>(row / bandRows_)].New();
}

void TZBuffer::AddSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth, int shineL, int shineR) {
  if (row < 0 || row >= RowCount() || x2 < x1) return;
  // Callers clip to 0..MaxX before storing, which keeps columns within 16 bits.
  Append(rows_[row], static_cast<int16_t>(ClampInt(x1, INT16_MIN, INT16_MAX)),
         static_cast<int16_t>(ClampInt(x2, INT16_MIN, INT16_MAX)), ClampShade(shadeL), ClampShade(shadeR),
         depth, ClampShine(shineL), ClampShine(shineR));
}

inline void TZBuffer::Append(TSpanRow& r, int16_t x1, int16_t x2, int16_t shadeL, int16_t shadeR, float depth,
                             uint8_t shineL, uint8_t shineR) {
  if (r.Count >= TSpanRow::kMaxSpans) return;
  const unsigned k = static_cast<unsigned>(r.Count++);
  const unsigned b = k / kScanBlock;
  const unsigned i = k % kScanBlock;
  if (i == 0) {
    r.Chunks[b] = NewChunk(r);
    // A row's bins are emptied when it stores its first span, so that Clear
    // need not touch rows that stay empty.
    if (b == 0) std::fill(std::begin(r.Bins), std::end(r.Bins), 0u);
  }
  // Columns outside the row (only AddSpan stores them) can never meet a
  // clipped new span; they are filed under the nearest bin.
  const int lastBin = ClampInt(x2, 0, maxX_) >> binShift_;
  for (int bin = ClampInt(x1, 0, maxX_) >> binShift_; bin <= lastBin; ++bin) r.Bins[bin] |= 1u << b;
  TSpanChunk& c = *r.Chunks[b];
  c.Spans[i] = TSpan{x1, x2, shadeL, shadeR, depth, 1, shineL, shineR};
  c.Live.X1[i] = x1;
  c.Live.X2[i] = x2;
}

// A new span is clipped against every older live span it overlaps, in the
// order they were stored; the order matters, because a split stores pieces at
// the end of the row and the 512 entries may run out. Most older spans do not
// overlap at all, so only the chunks filed under the new span's bins are
// looked at, their packed columns are tested sixteen at a time, and only the
// hits are visited. A hit is tested again when visited: the
// new span may have shrunk in the meantime. That is exact, because neither the
// new span nor the older ones ever grow, so a span that missed the first test
// misses later. Columns arrive clipped to the row and shades clamped.
void TZBuffer::Insert(TSpanRow& r, int x1, int x2, int16_t shadeL, int16_t shadeR, float depth,
                      uint8_t shineL, uint8_t shineR) {
  if (r.Count >= TSpanRow::kMaxSpans) return;
  const int n = r.Count;  // spans appended below are not visited
  // An empty row's bins still hold an earlier picture's bits.
  uint32_t blocks = 0;
  if (n > 0)
    for (int bin = x1 >> binShift_; bin <= x2 >> binShift_; ++bin) blocks |= r.Bins[bin];
  for (; blocks != 0; blocks &= blocks - 1) {
    const int base = std::countr_zero(blocks) * kScanBlock;
    TSpanChunk& c = *r.Chunks[base / kScanBlock];
    uint32_t hits = OverlapHits(c, x1, x2);
    if (n - base < kScanBlock) hits &= (1u << (n - base)) - 1;
    for (; hits != 0; hits &= hits - 1) {
      const int i = std::countr_zero(hits);
      TSpan& s = c.Spans[i];
      if (!s.Active || s.X2 < x1 || s.X1 > x2) continue;
      if (depth >= s.Depth) {
        // The new span is not nearer: it keeps only what the old one leaves free.
        if (s.X2 >= x2) {
          if (s.X1 <= x1) return;
          x2 = s.X1 - 1;
        } else if (s.X1 > x1) {
          Insert(r, s.X2 + 1, x2, shadeL, shadeR, depth, shineL, shineR);
          x2 = s.X1 - 1;
        } else {
          x1 = s.X2 + 1;
        }
      } else {
        // The new span is nearer: the old one gives way. A cut span keeps its
        // end shades, so its gradient is spread over what remains.
        if (s.X2 > x2 && s.X1 < x1) {
          Append(r, s.X1, static_cast<int16_t>(x1 - 1), s.ShadeL, s.ShadeR, s.Depth, s.ShineL, s.ShineR);
          s.X1 = static_cast<int16_t>(x2 + 1);
        } else if (s.X2 > x2) {
          s.X1 = static_cast<int16_t>(x2 + 1);
        } else if (s.X1 < x1) {
          s.X2 = static_cast<int16_t>(x1 - 1);
        } else {
          s.Active = 0;
        }
        if (s.X1 > s.X2) s.Active = 0;
        SyncLive(c, i);
      }
    }
  }
  Append(r, static_cast<int16_t>(x1), static_cast<int16_t>(x2), shadeL, shadeR, depth, shineL, shineR);
}

}  // namespace vantrix
