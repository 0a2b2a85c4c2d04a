// Painting spans: the pixel painters, and whole rows painted, shadowed or
// masked span by span.

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/ZBuffer_p.h"
#include "platform/Rounding.h"

namespace vantrix {

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

// On top of whatever the span painted, so that a highlight reads the same on
// the ramp's colours and on a texture. Stepped in 22.10 fixed point like the
// shades, so a cut span spreads it again over what remains.
void TZBuffer::AddHighlight(int x1, int x2, TPixel* row, int shineL, int shineR) const {
  const int lightB = ColorBlue(LightColor);
  const int lightG = ColorGreen(LightColor);
  const int lightR = ColorRed(LightColor);
  int32_t pos = shineL * 1024;
  const int32_t step = x2 == x1 ? 0 : ((shineR - shineL) * 1024) / (x2 - x1);
  for (int x = x1; x <= x2; ++x, pos += step) {
    const int s = ClampInt(pos >> 10, 0, 255);
    const TPixel p = row[x];
    const int b = std::min<int>(static_cast<int>(p & 0xFF) + s * lightB / 255, 255);
    const int g = std::min<int>(static_cast<int>((p >> 8) & 0xFF) + s * lightG / 255, 255);
    const int r = std::min<int>(static_cast<int>((p >> 16) & 0xFF) + s * lightR / 255, 255);
    row[x] = (p & 0xFF000000u) | static_cast<TPixel>(b) | (static_cast<TPixel>(g) << 8) |
             (static_cast<TPixel>(r) << 16);
  }
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
