#include <algorithm>
#include <bit>
#include <iterator>

#include "engine/ZBuffer_p.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Bits x1..x2 of a row of words set; true when one of them was set before.
[[gnu::always_inline]] inline bool SetBits(uint64_t* w, int x1, int x2) {
  const int a = x1 >> 6, b = x2 >> 6;
  const uint64_t lo = ~uint64_t{0} << (x1 & 63);
  const uint64_t hi = ~uint64_t{0} >> (63 - (x2 & 63));
  if (a == b) {
    const bool hit = (w[a] & lo & hi) != 0;
    w[a] |= lo & hi;
    return hit;
  }
  bool hit = (w[a] & lo) != 0;
  w[a] |= lo;
  for (int i = a + 1; i < b; ++i) {
    hit |= w[i] != 0;
    w[i] = ~uint64_t{0};
  }
  hit |= (w[b] & hi) != 0;
  w[b] |= hi;
  return hit;
}

// A row of bits moved dx columns to the right (left when negative) into out;
// bits from outside the row come in as zeros. Only the words at the ends can
// read outside it.
void ShiftRow(const uint64_t* w, int words, int dx, uint64_t* out) {
  const int64_t d = dx;
  const int64_t q = (d >= 0 ? d : -d) >> 6;
  const int b = static_cast<int>((d >= 0 ? d : -d) & 63);
  auto at = [&](int64_t k) { return k >= 0 && k < words ? w[k] : uint64_t{0}; };
  auto right = [&](int64_t i) { return b == 0 ? at(i - q) : (at(i - q) << b) | (at(i - q - 1) >> (64 - b)); };
  auto left = [&](int64_t i) { return b == 0 ? at(i + q) : (at(i + q) >> b) | (at(i + q + 1) << (64 - b)); };
  int64_t i = 0;
  if (d >= 0) {
    // Words q + 1 .. words - 1 read w[i - q - 1] and w[i - q], both inside.
    for (; i < std::min<int64_t>(q + 1, words); ++i) out[i] = right(i);
    if (b == 0)
      for (; i < words; ++i) out[i] = w[i - q];
    else
      for (; i < words; ++i) out[i] = (w[i - q] << b) | (w[i - q - 1] >> (64 - b));
  } else {
    // Words 0 .. words - q - 2 read w[i + q] and w[i + q + 1], both inside.
    const int64_t inside = std::max<int64_t>(words - q - 1, 0);
    if (b == 0)
      for (; i < inside; ++i) out[i] = w[i + q];
    else
      for (; i < inside; ++i) out[i] = (w[i + q] >> b) | (w[i + q + 1] << (64 - b));
    for (; i < words; ++i) out[i] = left(i);
  }
}

// Calls run(x1, x2) for each run of set bits in words 0..words-1, as given by
// word(i), left to right. A run starts or ends where a bit differs from the
// one below it.
template <class Word, class Run>
void ForEachRun(int words, Word word, Run run) {
  uint64_t carry = 0;
  int start = 0;
  for (int i = 0; i < words; ++i) {
    const uint64_t w = word(i);
    for (uint64_t t = w ^ ((w << 1) | carry); t != 0; t &= t - 1) {
      const int p = std::countr_zero(t);
      if ((w >> p) & 1)
        start = i * 64 + p;
      else
        run(start, i * 64 + p - 1);
    }
    carry = w >> 63;
  }
  if (carry) run(start, words * 64 - 1);
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
  Clear();
}

void TZBuffer::Clear() {
  for (TSpanRow& r : rows_) r.Count = 0;
  chunksUsed_ = 0;
  Textured = false;
}

TSpanChunk* TZBuffer::NewChunk() {
  const size_t slab = static_cast<size_t>(chunksUsed_ / kSlabChunks);
  if (slab == slabs_.size()) slabs_.push_back(std::make_unique_for_overwrite<TSpanChunk[]>(kSlabChunks));
  return &slabs_[slab][chunksUsed_++ % kSlabChunks];
}

void TZBuffer::AddSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth) {
  if (row < 0 || row >= RowCount() || x2 < x1) return;
  // Callers clip to 0..MaxX before storing, which keeps columns within 16 bits.
  Append(rows_[row], static_cast<int16_t>(ClampInt(x1, INT16_MIN, INT16_MAX)),
         static_cast<int16_t>(ClampInt(x2, INT16_MIN, INT16_MAX)), ClampShade(shadeL), ClampShade(shadeR),
         depth);
}

inline void TZBuffer::Append(TSpanRow& r, int16_t x1, int16_t x2, int16_t shadeL, int16_t shadeR,
                             float depth) {
  if (r.Count >= TSpanRow::kMaxSpans) return;
  const unsigned k = static_cast<unsigned>(r.Count++);
  const unsigned b = k / kScanBlock;
  const unsigned i = k % kScanBlock;
  if (i == 0) {
    r.Chunks[b] = NewChunk();
    // A row's bins are emptied when it stores its first span, so that Clear
    // need not touch rows that stay empty.
    if (b == 0) std::fill(std::begin(r.Bins), std::end(r.Bins), 0u);
  }
  // Columns outside the row (only AddSpan stores them) can never meet a
  // clipped new span; they are filed under the nearest bin.
  const int lastBin = ClampInt(x2, 0, maxX_) >> binShift_;
  for (int bin = ClampInt(x1, 0, maxX_) >> binShift_; bin <= lastBin; ++bin) r.Bins[bin] |= 1u << b;
  TSpanChunk& c = *r.Chunks[b];
  c.Spans[i] = TSpan{x1, x2, shadeL, shadeR, depth, 1};
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
void TZBuffer::Insert(TSpanRow& r, int x1, int x2, int16_t shadeL, int16_t shadeR, float depth) {
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
          Insert(r, s.X2 + 1, x2, shadeL, shadeR, depth);
          x2 = s.X1 - 1;
        } else {
          x1 = s.X2 + 1;
        }
      } else {
        // The new span is nearer: the old one gives way. A cut span keeps its
        // end shades, so its gradient is spread over what remains.
        if (s.X2 > x2 && s.X1 < x1) {
          Append(r, s.X1, static_cast<int16_t>(x1 - 1), s.ShadeL, s.ShadeR, s.Depth);
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
  Append(r, static_cast<int16_t>(x1), static_cast<int16_t>(x2), shadeL, shadeR, depth);
}

// Most spans are a few pixels long, so the painters store four pixels at a
// time without a library call's set-up; a fill ends with one store that may
// overlap the one before it.
void TZBuffer::FillSpan(int x1, int x2, TPixel* row, TPixel value) {
  TPixel* p = row + x1;
  const int n = x2 - x1 + 1;
#if defined(__SSE2__)
  if (n >= 4) {
    const __m128i v = _mm_set1_epi32(static_cast<int>(value));
    for (int i = 0; i + 4 <= n; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + n - 4), v);
    return;
  }
#endif
  for (int i = 0; i < n; ++i) p[i] = value;
}

void TZBuffer::HalveSpan(int x1, int x2, TPixel* row) {
  int x = x1;
#if defined(__SSE2__)
  const __m128i low = _mm_set1_epi32(0x007F7F7F);
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; x + 3 <= x2; x += 4) {
    __m128i* q = reinterpret_cast<__m128i*>(row + x);
    const __m128i v = _mm_loadu_si128(q);
    _mm_storeu_si128(q, _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 1), low), _mm_and_si128(v, alpha)));
  }
#endif
  for (; x <= x2; ++x) row[x] = ((row[x] >> 1) & 0x007F7F7Fu) | (row[x] & 0xFF000000u);
}

// 22.10 fixed point; the step truncates toward zero, so a rising gradient may
// end one entry short of its right shade.
void TZBuffer::DrawGradient(int x1, int x2, TPixel* row, int shadeL, int shadeR, const TShadeRamp& ramp) {
  if (x1 == x2) {
    row[x1] = ramp[ClampInt(shadeL, 0, 255)];
    return;
  }
  int32_t pos = shadeL * 1024;
  const int32_t step = ((shadeR - shadeL) * 1024) / (x2 - x1);
  if (shadeL >= 0 && shadeL <= 255 && shadeR >= 0 && shadeR <= 255) {
    // The step truncates toward zero, so pos never passes either end shade
    // and no entry needs clamping; spans always carry shades like these.
    for (int x = x1; x <= x2; ++x, pos += step) row[x] = ramp[pos >> 10];
    return;
  }
  for (int x = x1; x <= x2; ++x, pos += step) row[x] = ramp[ClampInt(pos >> 10, 0, 255)];
}

// The texture repeats over the picture in picture coordinates. A shade above
// MidBright blends the texel toward white, below it toward black; the light
// colour then tints each channel.
void TZBuffer::DrawTexturedSpan(int row, int x1, int x2, TPixel* pixels, int shadeL, int shadeR) const {
  const TPicture& tex = *Texture;
  const int tw = tex.Width();
  const int th = tex.Height();
  // MidBright 0 or 255 can only come from a damaged work file; keep both
  // divisions defined.
  const int mid = ClampInt(MidBright, 1, 254);
  const int lightB = ColorBlue(LightColor);
  const int lightG = ColorGreen(LightColor);
  const int lightR = ColorRed(LightColor);
  const float step = x2 == x1 ? 0.0f : static_cast<float>(static_cast<double>(shadeR - shadeL) / (x2 - x1));
  float g1 = static_cast<float>(shadeL);
  const int texRow = row % th;
  const uint8_t* texels = tex.Row(texRow);
  const int bytes = tex.BytesPerPixel();
  auto shadeByte = [mid](int t, int g) {
    return g > mid ? t + ((255 - t) * (g - mid)) / (255 - mid) : (t * g) / mid;
  };
  for (int x = x1; x <= x2; ++x) {
    const int g = RoundInt(g1);
    g1 = static_cast<float>(static_cast<double>(g1) + step);
    const uint8_t* t = texels + static_cast<size_t>(x % tw) * bytes;
    const int b = (shadeByte(t[0], g) * lightB) / 255;
    const int gr = (shadeByte(t[1], g) * lightG) / 255;
    const int r = (shadeByte(t[2], g) * lightR) / 255;
    pixels[x] = (pixels[x] & 0xFF000000u) | static_cast<TPixel>(b) | (static_cast<TPixel>(gr) << 8) |
                (static_cast<TPixel>(r) << 16);
  }
}

bool TZBuffer::IsTextured() const {
  return Textured && Texture != nullptr && Texture->Width() > 0 && Texture->Height() > 0;
}

// The live spans of a row never overlap, so their storage order is as good
// as any for painting.
void TZBuffer::PaintRow(int r, TPixel* px, int lastX, const TShadeRamp& ramp, bool textured) const {
  const TSpanRow& sr = rows_[r];
  for (int k = 0; k < sr.Count; ++k) {
    const TSpan& s = sr.Span(k);
    const int x1 = std::max<int>(s.X1, 0);
    const int x2 = std::min<int>(s.X2, lastX);
    if (s.Active && x1 <= x2) PaintSpan(r, s, x1, x2, px, ramp, textured);
  }
}

// Span s of row r over columns x1..x2 of the picture row px.
inline void TZBuffer::PaintSpan(int r, const TSpan& s, int x1, int x2, TPixel* px, const TShadeRamp& ramp,
                                bool textured) const {
  if (textured)
    DrawTexturedSpan(r, x1, x2, px, s.ShadeL, s.ShadeR);
  else if (s.ShadeL == s.ShadeR)
    FillSpan(x1, x2, px, ramp[s.ShadeL]);
  else
    DrawGradient(x1, x2, px, s.ShadeL, s.ShadeR, ramp);
}

void TZBuffer::FillRow(int r, TPixel* px, int lastX) const {
  const TSpanRow& sr = rows_[r];
  for (int k = 0; k < sr.Count; ++k) {
    const TSpan& s = sr.Span(k);
    const int x1 = std::max<int>(s.X1, 0);
    const int x2 = std::min<int>(s.X2, lastX);
    if (s.Active && x1 <= x2) FillSpan(x1, x2, px, kPixelWhite);
  }
}

// Row r's spans shifted and pressed into the picture, halved, or in the mask
// filled white.
void TZBuffer::ShadowRow(int r, TPicture& bitmap, int dx, int dy, bool maskMode) const {
  const int lastX = bitmap.Width() - 1;
  TPixel* px = bitmap.Row32(ClampInt(r + dy, 0, bitmap.Height() - 1));
  const TSpanRow& sr = rows_[r];
  for (int k = 0; k < sr.Count; ++k) {
    const TSpan& s = sr.Span(k);
    if (!s.Active) continue;
    const int x1 = ClampInt(s.X1 + dx, 0, lastX);
    const int x2 = ClampInt(s.X2 + dx, 0, lastX);
    if (x2 < x1) continue;
    if (maskMode)
      FillSpan(x1, x2, px, kPixelWhite);
    else
      HalveSpan(x1, x2, px);
  }
}

// One run from the leftmost to the rightmost span, covering the holes between
// spans. Rows and columns outside the picture are clipped.
void TZBuffer::HullRow(int r, TPicture& bitmap, int dx, int dy, bool maskMode) const {
  const int y = r + dy;
  if (y < 0 || y >= bitmap.Height()) return;
  const TSpanRow& sr = rows_[r];
  int lo = maxX_;
  int hi = 0;
  bool any = false;
  for (int k = 0; k < sr.Count; ++k) {
    const TSpan& s = sr.Span(k);
    if (!s.Active) continue;
    any = true;
    lo = std::min<int>(lo, s.X1);
    hi = std::max<int>(hi, s.X2);
  }
  const int x1 = std::max(lo + dx, 0);
  const int x2 = std::min(hi + dx, bitmap.Width() - 1);
  if (!any || x1 > x2) return;
  if (maskMode)
    FillSpan(x1, x2, bitmap.Row32(y), kPixelWhite);
  else
    HalveSpan(x1, x2, bitmap.Row32(y));
}

// The source rows whose shifted spans land on row y of a picture of the given
// height, pressed ones included: [from, to], empty when from > to.
void TZBuffer::ShadowSources(int y, int height, int dy, int& from, int& to) const {
  const int64_t source = static_cast<int64_t>(y) - dy;
  from = static_cast<int>(std::clamp<int64_t>(y == 0 ? 0 : source, 0, RowCount()));
  to = static_cast<int>(std::clamp<int64_t>(y == height - 1 ? RowCount() - 1 : source, -1, RowCount() - 1));
}

// The live spans of every row as bits over a picture of the given width, for
// the sweep: a row's shadow and mask are then a few runs of whole words
// instead of one short fill per span.
void TZBuffer::BuildCover(int width) {
  SizeCover(width);
  for (int r = 0; r < RowCount(); ++r) CoverRow(r, width, nullptr, nullptr, false);
}

// Room for the covers of every row; a row's cover means nothing until
// CoverRow has built it.
void TZBuffer::SizeCover(int width) {
  coverWords_ = (width + 63) / 64;
  cover_.resize(static_cast<size_t>(RowCount()) * coverWords_);
  rowCover_.assign(rows_.size(), TRowCover{});
}

// Row r's cover; with px, its spans are painted into that picture row on the
// way, since the sweep would otherwise read them twice.
void TZBuffer::CoverRow(int r, int width, TPixel* px, const TShadeRamp* ramp, bool textured) {
  const TSpanRow& sr = rows_[r];
  TRowCover c;
  uint64_t* bits = cover_.data() + static_cast<size_t>(r) * coverWords_;
  std::fill(bits, bits + coverWords_, uint64_t{0});
  c.MinX1 = c.MinX2 = INT32_MAX;
  c.MaxX1 = c.MaxX2 = INT32_MIN;
  for (int base = 0; base < sr.Count; base += TSpanRow::kBlock) {
    const TSpanChunk& chunk = *sr.Chunks[base / TSpanRow::kBlock];
    const int used = std::min(TSpanRow::kBlock, sr.Count - base);
    for (int i = 0; i < used; ++i) {
      const TSpan& s = chunk.Spans[i];
      if (!s.Active) continue;
      c.Any = true;
      c.MinX1 = std::min<int>(c.MinX1, s.X1);
      c.MaxX1 = std::max<int>(c.MaxX1, s.X1);
      c.MinX2 = std::min<int>(c.MinX2, s.X2);
      c.MaxX2 = std::max<int>(c.MaxX2, s.X2);
      const int x1 = std::max<int>(s.X1, 0);
      const int x2 = std::min<int>(s.X2, width - 1);
      if (x1 > x2) continue;
      if (SetBits(bits, x1, x2)) c.Overlap = true;
      if (px) PaintSpan(r, s, x1, x2, px, *ramp, textured);
    }
  }
  rowCover_[r] = c;
}

// Whether row r's shadow, moved dx columns, is exactly its cover moved: no two
// spans halve a pixel twice, and none is pressed against a border, where the
// per-span painters would halve or whiten a border pixel once per span.
bool TZBuffer::ShiftsCleanly(int r, int dx, int lastX) const {
  const TRowCover& c = rowCover_[r];
  if (!c.Any) return true;  // no shadow at all
  const int64_t d = dx;
  return !c.Overlap && c.MinX1 >= 0 && c.MaxX2 <= lastX && c.MinX2 + d >= 0 && c.MaxX1 + d <= lastX;
}

// Row by row of the target, every pass in turn: the shadows falling on the
// row, then its spans, in the picture and then in the mask. Every operation
// on a pixel keeps its order (a pass's halvings, then its painting, then the
// next pass), and operations on different rows do not interact.
//
// A pass's own spans paint over its shadow, so only the shadow pixels outside
// them are halved, which may then happen after the painting. The mask is
// white wherever any pass's shadow or spans fall, whatever the order, so each
// row is filled once per run of their union. Rows where that would differ
// from the span-by-span painting (spans overlapping, a shadow pressed against
// a border or fed by several rows) are painted span by span.
//
// When every shadow falls downward, a row's cover is built as its spans are
// painted, since its shadow is only needed further down; otherwise all covers
// are built first.
void TZBuffer::DrawPasses(TPicture& image, TPicture* mask, const TPassPaint* passes, int count) {
  const bool imageOk = !image.Empty() && image.BitsPerPixel() == 32;
  const bool maskOk = mask != nullptr && !mask->Empty() && mask->BitsPerPixel() == 32;
  const int imageHeight = imageOk ? image.Height() : 0;
  const int maskHeight = maskOk ? mask->Height() : 0;
  // The covers are in image columns; a mask of another width gets the
  // span-by-span painting.
  const int width = imageOk ? image.Width() : maskOk ? mask->Width() : 0;
  const bool maskCovers = maskOk && mask->Width() == width;
  bool downward = true;
  for (int p = 0; p < count; ++p) downward &= !passes[p].Shadow.On || passes[p].Shadow.DY > 0;
  for (int p = 0; p < count; ++p) {
    if (downward)
      passes[p].Buffer->SizeCover(width);
    else
      passes[p].Buffer->BuildCover(width);
  }
  const int words = (width + 63) / 64;
  const uint64_t lastMask = width % 64 == 0 ? ~uint64_t{0} : (uint64_t{1} << (width % 64)) - 1;
  const int lastX = width - 1;
  std::vector<uint64_t> maskBits(static_cast<size_t>(words)), shifted(static_cast<size_t>(words));

  for (int y = 0; y < std::max(imageHeight, maskHeight); ++y) {
    if (maskCovers) std::fill(maskBits.begin(), maskBits.end(), uint64_t{0});
    for (int p = 0; p < count; ++p) {
      TZBuffer& zb = *passes[p].Buffer;
      const TPassShadow& shadow = passes[p].Shadow;
      const bool hasRow = y < zb.RowCount();
      // The one source row of this row's shadow, or -1 when there is none or
      // it is not a plain shift of its cover.
      auto cleanSource = [&](int height, int& from, int& to) {
        zb.ShadowSources(y, height, shadow.DY, from, to);
        if (from != to) return -1;
        return zb.ShiftsCleanly(from, shadow.DX, lastX) ? from : -1;
      };
      // The shifted cover of a source row, made once for the picture and the mask.
      int shiftedFrom = -1;
      auto shadowBits = [&](int source) {
        if (shiftedFrom != source) {
          ShiftRow(zb.CoverBits(source), words, shadow.DX, shifted.data());
          shifted[words - 1] &= lastMask;
          shiftedFrom = source;
        }
        return shifted.data();
      };

      int source = -1;
      if (y < imageHeight) {
        TPixel* px = image.Row32(y);
        if (shadow.On) {
          int from, to;
          source = cleanSource(imageHeight, from, to);
          // A shadow that is not a plain shift is halved whole, before the
          // spans paint over it.
          if (source < 0)
            for (int r = from; r <= to; ++r) zb.ShadowRow(r, image, shadow.DX, shadow.DY, false);
        }
        const bool textured = zb.IsTextured();
        if (downward && hasRow)
          zb.CoverRow(y, width, px, passes[p].Ramp, textured);
        else if (hasRow && zb.rowCover_[y].Any)
          zb.PaintRow(y, px, lastX, *passes[p].Ramp, textured);
      } else if (downward && hasRow) {
        zb.CoverRow(y, width, nullptr, nullptr, false);
      }
      const bool own = hasRow && zb.rowCover_[y].Any;
      const uint64_t* ownBits = own ? zb.CoverBits(y) : nullptr;
      if (source >= 0 && zb.rowCover_[source].Any) {
        TPixel* px = image.Row32(y);
        const uint64_t* fallen = shadowBits(source);
        ForEachRun(
            words, [&](int i) { return fallen[i] & (own ? ~ownBits[i] : ~uint64_t{0}); },
            [&](int x1, int x2) { HalveSpan(x1, x2, px); });
      }

      if (y < maskHeight && !maskCovers) {
        if (shadow.On && shadow.Hull) {
          const int64_t s = static_cast<int64_t>(y) - shadow.DY;
          if (s >= 0 && s < zb.RowCount()) zb.HullRow(static_cast<int>(s), *mask, shadow.DX, shadow.DY, true);
        } else if (shadow.On) {
          int from, to;
          zb.ShadowSources(y, maskHeight, shadow.DY, from, to);
          for (int r = from; r <= to; ++r) zb.ShadowRow(r, *mask, shadow.DX, shadow.DY, true);
        }
        if (hasRow) zb.FillRow(y, mask->Row32(y), mask->Width() - 1);
      } else if (y < maskHeight) {
        uint64_t* bits = maskBits.data();
        if (shadow.On && shadow.Hull) {
          const int64_t s = static_cast<int64_t>(y) - shadow.DY;
          if (s >= 0 && s < zb.RowCount() && zb.rowCover_[s].Any) {
            // As HullRow finds it from the spans.
            const TRowCover& c = zb.rowCover_[s];
            const int64_t dx = shadow.DX;
            const int64_t x1 = std::max<int64_t>(std::min(zb.maxX_, c.MinX1) + dx, 0);
            const int64_t x2 = std::min<int64_t>(std::max(0, c.MaxX2) + dx, lastX);
            if (x1 <= x2) SetBits(bits, static_cast<int>(x1), static_cast<int>(x2));
          }
        } else if (shadow.On) {
          int from, to;
          const int clean = cleanSource(maskHeight, from, to);
          if (clean >= 0) {
            if (zb.rowCover_[clean].Any) {
              const uint64_t* fallen = shadowBits(clean);
              for (int i = 0; i < words; ++i) bits[i] |= fallen[i];
            }
          } else {
            for (int r = from; r <= to; ++r) zb.ShadowRow(r, *mask, shadow.DX, shadow.DY, true);
          }
        }
        if (own)
          for (int i = 0; i < words; ++i) bits[i] |= ownBits[i];
      }
    }
    if (maskCovers && y < maskHeight) {
      TPixel* px = mask->Row32(y);
      ForEachRun(
          words, [&](int i) { return maskBits[i]; },
          [&](int x1, int x2) { FillSpan(x1, x2, px, kPixelWhite); });
    }
  }
}

void TZBuffer::DrawPass(TPicture& image, TPicture* mask, const TShadeRamp& ramp, const TPassShadow& shadow) {
  const TPassPaint pass{this, &ramp, shadow};
  DrawPasses(image, mask, &pass, 1);
}

void TZBuffer::DrawSpans(TPicture& bitmap, const TShadeRamp& ramp, bool maskMode) const {
  if (bitmap.BitsPerPixel() != 32) return;
  const bool textured = IsTextured();
  const int rows = std::min(RowCount(), bitmap.Height());
  for (int r = 0; r < rows; ++r) {
    if (maskMode)
      FillRow(r, bitmap.Row32(r), bitmap.Width() - 1);
    else
      PaintRow(r, bitmap.Row32(r), bitmap.Width() - 1, ramp, textured);
  }
}

// Shifted spans that leave the picture are pressed against its border rather
// than dropped, so a shadow falling off the bottom darkens the last row.
void TZBuffer::DrawShadow(TPicture& bitmap, int dx, int dy, bool maskMode) const {
  if (bitmap.Empty() || bitmap.BitsPerPixel() != 32) return;
  for (int r = 0; r < RowCount(); ++r) ShadowRow(r, bitmap, dx, dy, maskMode);
}

void TZBuffer::DrawShadowHull(TPicture& bitmap, int dx, int dy, bool maskMode) const {
  if (bitmap.Empty() || bitmap.BitsPerPixel() != 32) return;
  for (int r = 0; r < RowCount(); ++r) HullRow(r, bitmap, dx, dy, maskMode);
}

}  // namespace vantrix
