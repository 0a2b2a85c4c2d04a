#include "engine/ZBuffer.h"

#include <algorithm>

#include "platform/Rounding.h"

namespace vantrix {

namespace {

int16_t ClampShade(int s) {
  return static_cast<int16_t>(ClampInt(s, 0, 255));
}

}  // namespace

void TZBuffer::SetSize(int height, int width) {
  if (height <= 0 || width <= 0) return;
  maxX_ = std::min(width, kMaxWidth) - 1;
  if (rows_.size() != static_cast<size_t>(height)) rows_.assign(static_cast<size_t>(height), TSpanRow{});
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
  TSpan& s = r.Spans[r.Count++];
  s.X1 = static_cast<int16_t>(ClampInt(x1, INT16_MIN, INT16_MAX));
  s.X2 = static_cast<int16_t>(ClampInt(x2, INT16_MIN, INT16_MAX));
  s.ShadeL = ClampShade(shadeL);
  s.ShadeR = ClampShade(shadeR);
  s.Depth = depth;
  s.Active = 1;
}

void TZBuffer::InsertSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth) {
  if (row < 0 || row > maxRow_ || row >= RowCount() || x2 < x1 || x2 < 0 || x1 > maxX_) return;
  TSpanRow& r = rows_[row];
  if (r.Count >= TSpanRow::kMaxSpans) return;
  if (x2 > maxX_) x2 = maxX_;
  if (x1 < 0) x1 = 0;

  const int n = r.Count;  // spans appended below are not visited
  for (int k = 0; k < n; ++k) {
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

void TZBuffer::DrawSpans(TPicture& bitmap, const TShadeRamp& ramp, bool maskMode) const {
  if (bitmap.BitsPerPixel() != 32) return;
  const bool textured = Textured && Texture != nullptr && Texture->Width() > 0 && Texture->Height() > 0;
  const int rows = std::min(RowCount(), bitmap.Height());
  const int lastX = bitmap.Width() - 1;
  for (int r = 0; r < rows; ++r) {
    const TSpanRow& sr = rows_[r];
    TPixel* px = bitmap.Row32(r);
    for (int k = 0; k < sr.Count; ++k) {
      const TSpan& s = sr.Spans[k];
      if (!s.Active) continue;
      const int x1 = std::max<int>(s.X1, 0);
      const int x2 = std::min<int>(s.X2, lastX);
      if (x1 > x2) continue;
      if (maskMode)
        FillSpan(x1, x2, px, kPixelWhite);
      else if (textured)
        DrawTexturedSpan(r, x1, x2, px, s.ShadeL, s.ShadeR);
      else if (s.ShadeL == s.ShadeR)
        FillSpan(x1, x2, px, ramp[s.ShadeL]);
      else
        DrawGradient(x1, x2, px, s.ShadeL, s.ShadeR, ramp);
    }
  }
}

// Shifted spans that leave the picture are pressed against its border rather
// than dropped, so a shadow falling off the bottom darkens the last row.
void TZBuffer::DrawShadow(TPicture& bitmap, int dx, int dy, bool maskMode) const {
  if (bitmap.Empty() || bitmap.BitsPerPixel() != 32) return;
  const int height = bitmap.Height();
  const int width = bitmap.Width();
  for (int r = 0; r < RowCount(); ++r) {
    const TSpanRow& sr = rows_[r];
    for (int k = 0; k < sr.Count; ++k) {
      const TSpan& s = sr.Spans[k];
      if (!s.Active) continue;
      const int y = ClampInt(r + dy, 0, height - 1);
      const int x1 = ClampInt(s.X1 + dx, 0, width - 1);
      const int x2 = ClampInt(s.X2 + dx, 0, width - 1);
      if (x2 < x1) continue;
      if (maskMode)
        FillSpan(x1, x2, bitmap.Row32(y), kPixelWhite);
      else
        HalveSpan(x1, x2, bitmap.Row32(y));
    }
  }
}

// One run per row from the leftmost to the rightmost span, covering the holes
// between spans. Rows and columns outside the picture are clipped.
void TZBuffer::DrawShadowHull(TPicture& bitmap, int dx, int dy, bool maskMode) const {
  if (bitmap.Empty() || bitmap.BitsPerPixel() != 32) return;
  for (int r = 0; r < RowCount(); ++r) {
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
    const int y = r + dy;
    if (!any || y < 0 || y >= bitmap.Height()) continue;
    const int x1 = std::max(lo + dx, 0);
    const int x2 = std::min(hi + dx, bitmap.Width() - 1);
    if (x1 > x2) continue;
    if (maskMode)
      FillSpan(x1, x2, bitmap.Row32(y), kPixelWhite);
    else
      HalveSpan(x1, x2, bitmap.Row32(y));
  }
}

}  // namespace vantrix
