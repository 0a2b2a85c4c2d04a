#include "engine/ZBuffer.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/Rounding.h"

namespace vantrix {

namespace {

int16_t ClampShade(int s) {
  return static_cast<int16_t>(ClampInt(s, 0, 255));
}

constexpr int kScanBlock = TSpanRow::kBlock;
static_assert(TSpanRow::kMaxSpans % kScanBlock == 0, "the scan reads whole blocks");

void SyncLive(TSpanRow& r, int k) {
  const TSpan& s = r.Spans[k];
  r.LiveX1[k] = s.Active ? s.X1 : INT16_MAX;
  r.LiveX2[k] = s.Active ? s.X2 : INT16_MIN;
}

// Bit i set: span base + i may overlap x1..x2 (it is live and not wholly left
// or right of it). Spans past the row's count are not masked out here.
uint32_t OverlapHits(const TSpanRow& r, int base, int x1, int x2) {
#if defined(__SSE2__)
  const __m128i lo = _mm_set1_epi16(static_cast<int16_t>(x1));
  const __m128i hi = _mm_set1_epi16(static_cast<int16_t>(x2));
  auto misses = [&](int at) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r.LiveX1 + at));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r.LiveX2 + at));
    return _mm_or_si128(_mm_cmpgt_epi16(a, hi), _mm_cmpgt_epi16(lo, b));
  };
  const __m128i m = _mm_packs_epi16(misses(base), misses(base + 8));
  return ~static_cast<uint32_t>(_mm_movemask_epi8(m)) & 0xFFFFu;
#else
  uint32_t hits = 0;
  for (int i = 0; i < kScanBlock; ++i)
    if (r.LiveX1[base + i] <= x2 && r.LiveX2[base + i] >= x1) hits |= 1u << i;
  return hits;
#endif
}

}  // namespace

void TZBuffer::SetSize(int height, int width) {
  if (height <= 0 || width <= 0) return;
  maxX_ = std::min(width, kMaxWidth) - 1;
  // A row is 12 KB; rows kept from a larger picture are reused as they are,
  // since nothing reads a row past its Count and Clear empties them all.
  rows_.resize(static_cast<size_t>(height));
  maxRow_ = height - 1;
  Clear();
}

void TZBuffer::Clear() {
  for (TSpanRow& r : rows_) r.Count = 0;
  Textured = false;
}

void TZBuffer::AddSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth) {
  if (row < 0 || row >= RowCount() || x2 < x1) return;
  TSpanRow& r = rows_[row];
  if (r.Count >= TSpanRow::kMaxSpans) return;
  // Callers clip to 0..MaxX before storing, which keeps columns within 16 bits.
  const int k = r.Count++;
  TSpan& s = r.Spans[k];
  s.X1 = static_cast<int16_t>(ClampInt(x1, INT16_MIN, INT16_MAX));
  s.X2 = static_cast<int16_t>(ClampInt(x2, INT16_MIN, INT16_MAX));
  s.ShadeL = ClampShade(shadeL);
  s.ShadeR = ClampShade(shadeR);
  s.Depth = depth;
  s.Active = 1;
  SyncLive(r, k);
  const int b = k / kScanBlock;
  if (k % kScanBlock == 0) {
    r.BlockX1[b] = s.X1;
    r.BlockX2[b] = s.X2;
  } else {
    r.BlockX1[b] = std::min(r.BlockX1[b], s.X1);
    r.BlockX2[b] = std::max(r.BlockX2[b], s.X2);
  }
}

// A new span is clipped against every older live span it overlaps, in the
// order they were stored; the order matters, because a split stores pieces at
// the end of the row and the 512 entries may run out. Most older spans do not
// overlap at all, so a block of sixteen whose stored range misses the new span
// is skipped whole, the packed columns of the others are tested sixteen at a
// time, and only the hits are visited. A hit is tested again when visited: the new span may
// have shrunk in the meantime. That is exact, because neither the new span nor
// the older ones ever grow, so a span that missed the first test misses later.
void TZBuffer::InsertSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth) {
  if (row < 0 || row > maxRow_ || row >= RowCount() || x2 < x1 || x2 < 0 || x1 > maxX_) return;
  TSpanRow& r = rows_[row];
  if (r.Count >= TSpanRow::kMaxSpans) return;
  if (x2 > maxX_) x2 = maxX_;
  if (x1 < 0) x1 = 0;

  const int n = r.Count;  // spans appended below are not visited
  for (int base = 0; base < n; base += kScanBlock) {
    if (r.BlockX1[base / kScanBlock] > x2 || r.BlockX2[base / kScanBlock] < x1) continue;
    uint32_t hits = OverlapHits(r, base, x1, x2);
    if (n - base < kScanBlock) hits &= (1u << (n - base)) - 1;
    for (; hits != 0; hits &= hits - 1) {
      const int k = base + std::countr_zero(hits);
      TSpan& s = r.Spans[k];
      if (!s.Active || s.X2 < x1 || s.X1 > x2) continue;
      if (depth >= s.Depth) {
        // The new span is not nearer: it keeps only what the old one leaves free.
        if (s.X2 >= x2) {
          if (s.X1 <= x1) return;
          x2 = s.X1 - 1;
        } else if (s.X1 > x1) {
          InsertSpan(row, s.X2 + 1, x2, shadeL, shadeR, depth);
          x2 = s.X1 - 1;
        } else {
          x1 = s.X2 + 1;
        }
      } else {
        // The new span is nearer: the old one gives way. A cut span keeps its
        // end shades, so its gradient is spread over what remains.
        if (s.X2 > x2 && s.X1 < x1) {
          AddSpan(row, s.X1, x1 - 1, s.ShadeL, s.ShadeR, s.Depth);
          s.X1 = static_cast<int16_t>(x2 + 1);
        } else if (s.X2 > x2) {
          s.X1 = static_cast<int16_t>(x2 + 1);
        } else if (s.X1 < x1) {
          s.X2 = static_cast<int16_t>(x1 - 1);
        } else {
          s.Active = 0;
        }
        if (s.X1 > s.X2) s.Active = 0;
        SyncLive(r, k);
      }
    }
  }
  AddSpan(row, x1, x2, shadeL, shadeR, depth);
}

void TZBuffer::FillSpan(int x1, int x2, TPixel* row, TPixel value) {
  std::fill(row + x1, row + x2 + 1, value);
}

void TZBuffer::HalveSpan(int x1, int x2, TPixel* row) {
  for (int x = x1; x <= x2; ++x) row[x] = ((row[x] >> 1) & 0x007F7F7Fu) | (row[x] & 0xFF000000u);
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
    const TSpan& s = sr.Spans[k];
    const int x1 = std::max<int>(s.X1, 0);
    const int x2 = std::min<int>(s.X2, lastX);
    if (!s.Active || x1 > x2) continue;
    if (textured)
      DrawTexturedSpan(r, x1, x2, px, s.ShadeL, s.ShadeR);
    else if (s.ShadeL == s.ShadeR)
      FillSpan(x1, x2, px, ramp[s.ShadeL]);
    else
      DrawGradient(x1, x2, px, s.ShadeL, s.ShadeR, ramp);
  }
}

void TZBuffer::FillRow(int r, TPixel* px, int lastX) const {
  const TSpanRow& sr = rows_[r];
  for (int k = 0; k < sr.Count; ++k) {
    const TSpan& s = sr.Spans[k];
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
    const TSpan& s = sr.Spans[k];
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
    const TSpan& s = sr.Spans[k];
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

// Row by row of the target, every pass in turn: the shadows falling on the
// row, then its spans, in the picture and then in the mask. A pass used to be
// painted whole, then its shadow, each sweeping the picture; now each row is
// brought into the cache once, so halving the shadow under the spans that
// then paint over it costs next to nothing, and the many short fills of the
// mask land on a row already in the cache. Every operation on a pixel keeps
// its order (a pass's halvings, then its painting, then the next pass), and
// operations on different rows do not interact.
void TZBuffer::DrawPasses(TPicture& image, TPicture* mask, const TPassPaint* passes, int count) {
  const bool imageOk = !image.Empty() && image.BitsPerPixel() == 32;
  const bool maskOk = mask != nullptr && !mask->Empty() && mask->BitsPerPixel() == 32;
  const int imageHeight = imageOk ? image.Height() : 0;
  const int maskHeight = maskOk ? mask->Height() : 0;
  for (int y = 0; y < std::max(imageHeight, maskHeight); ++y) {
    for (int p = 0; p < count; ++p) {
      const TZBuffer& zb = *passes[p].Buffer;
      const TPassShadow& shadow = passes[p].Shadow;
      if (y < imageHeight) {
        if (shadow.On) {
          int from, to;
          zb.ShadowSources(y, imageHeight, shadow.DY, from, to);
          for (int r = from; r <= to; ++r) zb.ShadowRow(r, image, shadow.DX, shadow.DY, false);
        }
        if (y < zb.RowCount())
          zb.PaintRow(y, image.Row32(y), image.Width() - 1, *passes[p].Ramp, zb.IsTextured());
      }
      if (y < maskHeight) {
        if (shadow.On && shadow.Hull) {
          const int64_t source = static_cast<int64_t>(y) - shadow.DY;
          if (source >= 0 && source < zb.RowCount())
            zb.HullRow(static_cast<int>(source), *mask, shadow.DX, shadow.DY, true);
        } else if (shadow.On) {
          int from, to;
          zb.ShadowSources(y, maskHeight, shadow.DY, from, to);
          for (int r = from; r <= to; ++r) zb.ShadowRow(r, *mask, shadow.DX, shadow.DY, true);
        }
        if (y < zb.RowCount()) zb.FillRow(y, mask->Row32(y), mask->Width() - 1);
      }
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
