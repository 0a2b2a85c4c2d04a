// The sweep that paints several passes together, row by row of the picture,
// from bit covers of each row's live spans.

#include <algorithm>
#include <bit>
#include <vector>

#include "engine/Bands_p.h"
#include "engine/ZBuffer_p.h"

namespace vantrix {

namespace {

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
  CoverRows(width, 0, RowCount() - 1);
}

void TZBuffer::CoverRows(int width, int first, int last) {
  for (int r = first; r <= last; ++r) CoverRow(r, width, nullptr, nullptr, false);
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

// What one sweep paints into and works in: the pictures with the rows each
// can take, the width the covers are made for, the mask row's bits and one
// shifted cover. Its row helpers are inline, since each is called from one
// place once per row and pass and belongs in the sweep's loop.
struct TZBuffer::TSweep {
  // Banded, the covers are left to the caller, who builds every row's
  // before any band paints.
  TSweep(TPicture& image, TPicture* mask, const TPassPaint* passes, int count, bool banded);

  // Row y of one pass: its shadow and spans into the picture and the mask.
  void PassRow(TZBuffer& zb, const TPassPaint& pass, int y);
  // Row y of the mask from the bits every pass has left in MaskBits.
  void FillMaskRow(int y);

  int CleanSource(const TZBuffer& zb, const TPassShadow& shadow, int y, int height, int& from, int& to) const;
  int ImageShadow(const TZBuffer& zb, const TPassShadow& shadow, int y);
  void HalveFallenShadow(const TZBuffer& zb, int source, int dx, const uint64_t* own, int y);
  void MaskBySpans(const TZBuffer& zb, const TPassShadow& shadow, int y);
  void MaskByCover(const TZBuffer& zb, const TPassShadow& shadow, int y, const uint64_t* own);
  void HullBits(const TZBuffer& zb, const TPassShadow& shadow, int y);
  const uint64_t* ShiftedCover(const TZBuffer& zb, int source, int dx);

  TPicture& Image;
  TPicture* Mask;
  int ImageHeight = 0;
  int MaskHeight = 0;
  // The covers are in image columns; a mask of another width gets the
  // span-by-span painting.
  int Width = 0;
  bool MaskCovers = false;
  // When every shadow falls downward, a row's cover is built as its spans are
  // painted, since its shadow is only needed further down; otherwise all
  // covers are built first.
  bool Downward = true;
  int Words = 0;
  int LastX = 0;
  uint64_t LastMask = 0;  // the columns of the last word inside the picture
  std::vector<uint64_t> MaskBits;
  std::vector<uint64_t> Shifted;
  int ShiftedFrom = -1;  // the source row Shifted holds for the current pass and row
};

TZBuffer::TSweep::TSweep(TPicture& image, TPicture* mask, const TPassPaint* passes, int count, bool banded)
    : Image(image), Mask(mask) {
  const bool imageOk = !image.Empty() && image.BitsPerPixel() == 32;
  const bool maskOk = mask != nullptr && !mask->Empty() && mask->BitsPerPixel() == 32;
  ImageHeight = imageOk ? image.Height() : 0;
  MaskHeight = maskOk ? mask->Height() : 0;
  Width = imageOk ? image.Width() : maskOk ? mask->Width() : 0;
  MaskCovers = maskOk && mask->Width() == Width;
  for (int p = 0; p < count; ++p) Downward &= !passes[p].Shadow.On || passes[p].Shadow.DY > 0;
  Downward &= !banded;
  for (int p = 0; p < count && !banded; ++p) {
    if (Downward)
      passes[p].Buffer->SizeCover(Width);
    else
      passes[p].Buffer->BuildCover(Width);
  }
  Words = (Width + 63) / 64;
  LastMask = Width % 64 == 0 ? ~uint64_t{0} : (uint64_t{1} << (Width % 64)) - 1;
  LastX = Width - 1;
  MaskBits.resize(static_cast<size_t>(Words));
  Shifted.resize(static_cast<size_t>(Words));
}

// The one source row of row y's shadow in a picture of the given height, or
// -1 when there is none or it is not a plain shift of its cover; from and to
// get every source row, as ShadowSources gives them.
inline int TZBuffer::TSweep::CleanSource(const TZBuffer& zb, const TPassShadow& shadow, int y, int height,
                                         int& from, int& to) const {
  zb.ShadowSources(y, height, shadow.DY, from, to);
  if (from != to) return -1;
  return zb.ShiftsCleanly(from, shadow.DX, LastX) ? from : -1;
}

// The shifted cover of a source row, made once for the picture and the mask.
inline const uint64_t* TZBuffer::TSweep::ShiftedCover(const TZBuffer& zb, int source, int dx) {
  if (ShiftedFrom != source) {
    ShiftRow(zb.CoverBits(source), Words, dx, Shifted.data());
    Shifted[Words - 1] &= LastMask;
    ShiftedFrom = source;
  }
  return Shifted.data();
}

// The pass's shadow on picture row y when it is not a plain shift: halved
// whole, before the spans paint over it. Returns the clean source row, whose
// shadow is left to HalveFallenShadow, or -1.
inline int TZBuffer::TSweep::ImageShadow(const TZBuffer& zb, const TPassShadow& shadow, int y) {
  if (!shadow.On) return -1;
  int from, to;
  const int source = CleanSource(zb, shadow, y, ImageHeight, from, to);
  if (source < 0)
    for (int r = from; r <= to; ++r) zb.ShadowRow(r, Image, shadow.DX, shadow.DY, false);
  return source;
}

// The clean shadow of a source row on picture row y, halved only where the
// pass's own spans (own, null when there are none) have not painted.
inline void TZBuffer::TSweep::HalveFallenShadow(const TZBuffer& zb, int source, int dx, const uint64_t* own,
                                                int y) {
  TPixel* px = Image.Row32(y);
  const uint64_t* fallen = ShiftedCover(zb, source, dx);
  auto halve = [px](int x1, int x2) { HalveSpan(x1, x2, px); };
  if (own)
    ForEachRun(
        Words, [&](int i) { return fallen[i] & ~own[i]; }, halve);
  else
    ForEachRun(
        Words, [&](int i) { return fallen[i]; }, halve);
}

// Mask row y of a pass, span by span, for a mask the covers do not fit.
inline void TZBuffer::TSweep::MaskBySpans(const TZBuffer& zb, const TPassShadow& shadow, int y) {
  if (shadow.On && shadow.Hull) {
    const int64_t s = static_cast<int64_t>(y) - shadow.DY;
    if (s >= 0 && s < zb.RowCount()) zb.HullRow(static_cast<int>(s), *Mask, shadow.DX, shadow.DY, true);
  } else if (shadow.On) {
    int from, to;
    zb.ShadowSources(y, MaskHeight, shadow.DY, from, to);
    for (int r = from; r <= to; ++r) zb.ShadowRow(r, *Mask, shadow.DX, shadow.DY, true);
  }
  if (y < zb.RowCount()) zb.FillRow(y, Mask->Row32(y), Mask->Width() - 1);
}

// The hull shadow on mask row y into MaskBits, as HullRow finds it from the
// spans.
inline void TZBuffer::TSweep::HullBits(const TZBuffer& zb, const TPassShadow& shadow, int y) {
  const int64_t s = static_cast<int64_t>(y) - shadow.DY;
  if (s < 0 || s >= zb.RowCount() || !zb.rowCover_[s].Any) return;
  const TRowCover& c = zb.rowCover_[s];
  const int64_t dx = shadow.DX;
  const int64_t x1 = std::max<int64_t>(std::min(zb.maxX_, c.MinX1) + dx, 0);
  const int64_t x2 = std::min<int64_t>(std::max(0, c.MaxX2) + dx, LastX);
  if (x1 <= x2) SetBits(MaskBits.data(), static_cast<int>(x1), static_cast<int>(x2));
}

// Mask row y of a pass into MaskBits: its shadow, then its own spans (own,
// null when there are none). A shadow that is not a plain shift goes into the
// mask span by span.
inline void TZBuffer::TSweep::MaskByCover(const TZBuffer& zb, const TPassShadow& shadow, int y,
                                          const uint64_t* own) {
  uint64_t* bits = MaskBits.data();
  if (shadow.On && shadow.Hull) {
    HullBits(zb, shadow, y);
  } else if (shadow.On) {
    int from, to;
    const int clean = CleanSource(zb, shadow, y, MaskHeight, from, to);
    if (clean >= 0) {
      if (zb.rowCover_[clean].Any) {
        const uint64_t* fallen = ShiftedCover(zb, clean, shadow.DX);
        for (int i = 0; i < Words; ++i) bits[i] |= fallen[i];
      }
    } else {
      for (int r = from; r <= to; ++r) zb.ShadowRow(r, *Mask, shadow.DX, shadow.DY, true);
    }
  }
  if (own)
    for (int i = 0; i < Words; ++i) bits[i] |= own[i];
}

inline void TZBuffer::TSweep::PassRow(TZBuffer& zb, const TPassPaint& pass, int y) {
  ShiftedFrom = -1;
  const bool hasRow = y < zb.RowCount();
  int source = -1;
  if (y < ImageHeight) {
    TPixel* px = Image.Row32(y);
    source = ImageShadow(zb, pass.Shadow, y);
    const bool textured = zb.IsTextured();
    if (Downward && hasRow)
      zb.CoverRow(y, Width, px, pass.Ramp, textured);
    else if (hasRow && zb.rowCover_[y].Any)
      zb.PaintRow(y, px, LastX, *pass.Ramp, textured);
  } else if (Downward && hasRow) {
    zb.CoverRow(y, Width, nullptr, nullptr, false);
  }
  const uint64_t* own = hasRow && zb.rowCover_[y].Any ? zb.CoverBits(y) : nullptr;
  if (source >= 0 && zb.rowCover_[source].Any) HalveFallenShadow(zb, source, pass.Shadow.DX, own, y);
  if (y >= MaskHeight) return;
  if (MaskCovers)
    MaskByCover(zb, pass.Shadow, y, own);
  else
    MaskBySpans(zb, pass.Shadow, y);
}

inline void TZBuffer::TSweep::FillMaskRow(int y) {
  TPixel* px = Mask->Row32(y);
  uint64_t* bits = MaskBits.data();
  ForEachRun(
      Words, [&](int i) { return bits[i]; }, [&](int x1, int x2) { FillSpan(x1, x2, px, kPixelWhite); });
  std::fill(bits, bits + Words, uint64_t{0});
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
// Since a row's pixels come from the covers and spans alone, bands of rows
// can be painted at once, once every cover is built; each band sweeps with
// working rows of its own.
void TZBuffer::DrawPasses(TPicture& image, TPicture* mask, const TPassPaint* passes, int count, int threads) {
  const int rows = std::max(image.Height(), mask ? mask->Height() : 0);
  const int bands = BandCount(threads, rows);
  auto sweepRows = [&](TSweep& sweep, int first, int last) {
    for (int y = first; y <= last; ++y) {
      for (int p = 0; p < count; ++p) sweep.PassRow(*passes[p].Buffer, passes[p], y);
      if (sweep.MaskCovers && y < sweep.MaskHeight) sweep.FillMaskRow(y);
    }
  };
  if (bands == 1) {
    TSweep sweep(image, mask, passes, count, false);
    sweepRows(sweep, 0, std::max(sweep.ImageHeight, sweep.MaskHeight) - 1);
    return;
  }
  TSweep first(image, mask, passes, count, true);
  for (int p = 0; p < count; ++p) passes[p].Buffer->SizeCover(first.Width);
  RunBands(bands, threads, [&](int b) {
    for (int p = 0; p < count; ++p) {
      TZBuffer& zb = *passes[p].Buffer;
      const int64_t n = zb.RowCount();
      zb.CoverRows(first.Width, static_cast<int>(n * b / bands), static_cast<int>(n * (b + 1) / bands) - 1);
    }
  });
  const int height = std::max(first.ImageHeight, first.MaskHeight);
  RunBands(bands, threads, [&](int b) {
    TSweep own(image, mask, passes, count, true);
    sweepRows(own, static_cast<int>(int64_t{height} * b / bands),
              static_cast<int>(int64_t{height} * (b + 1) / bands) - 1);
  });
}

void TZBuffer::DrawPass(TPicture& image, TPicture* mask, const TShadeRamp& ramp, const TPassShadow& shadow) {
  const TPassPaint pass{this, &ramp, shadow};
  DrawPasses(image, mask, &pass, 1);
}

}  // namespace vantrix
