#pragma once
// TZBuffer: the span depth buffer.
//
// Instead of one depth per pixel, each picture row keeps a list of horizontal
// spans with one depth (smaller is nearer), two end shades and a live flag. A
// new span is clipped against the spans already in its row; the survivors are
// painted at the end of a pass, from a shade ramp or a tiled texture. The same
// spans give the drop shadows and the transparency mask.
//
// Span fields are 16-bit, so the buffer never covers more than 32767 columns:
// a wider picture is drawn in its first 32767 columns only. Shades are indices
// 0..255 into a ramp; AddSpan clamps them there so that no ramp is ever read
// out of bounds. Pixels are 32-bit TPixel words (blue in the low byte).

#include <array>
#include <cstdint>
#include <vector>

#include "platform/Color.h"
#include "platform/Picture.h"

namespace vantrix {

using TShadeRamp = std::array<TPixel, 256>;

struct TSpan {
  int16_t X1 = 0;
  int16_t X2 = 0;
  int16_t ShadeL = 0;
  int16_t ShadeR = 0;
  float Depth = 0;
  int16_t Active = 0;
};

struct TSpanRow {
  static constexpr int kMaxSpans = 512;
  int32_t Count = 0;
  TSpan Spans[kMaxSpans];
};

class TZBuffer {
 public:
  static constexpr int kMaxWidth = 32767;

  TZBuffer() = default;

  // Does nothing if either size is <= 0; otherwise sizes the rows and clears.
  void SetSize(int height, int width);
  void Clear();
  void SetTexture(const TPicture* texture) {
    Textured = true;
    Texture = texture;
  }

  void AddSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth);
  void InsertSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth);

  void DrawSpans(TPicture& bitmap, const TShadeRamp& ramp, bool maskMode) const;
  void DrawShadow(TPicture& bitmap, int dx, int dy, bool maskMode) const;
  void DrawShadowHull(TPicture& bitmap, int dx, int dy, bool maskMode) const;

  // Pixel painters on one picture row; the caller keeps x1..x2 inside the row.
  static void FillSpan(int x1, int x2, TPixel* row, TPixel value);
  static void HalveSpan(int x1, int x2, TPixel* row);
  static void DrawGradient(int x1, int x2, TPixel* row, int shadeL, int shadeR, const TShadeRamp& ramp);
  void DrawTexturedSpan(int row, int x1, int x2, TPixel* pixels, int shadeL, int shadeR) const;

  int MaxRow() const { return maxRow_; }
  int MaxX() const { return maxX_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const TSpanRow& Row(int row) const { return rows_[row]; }

  bool Textured = false;
  const TPicture* Texture = nullptr;  // owned by the view
  TColor LightColor = kColorWhite;
  int MidBright = 204;  // shade at which a texel shows its own colour

 private:
  int maxRow_ = 0;
  int maxX_ = 0;
  std::vector<TSpanRow> rows_;
};

}  // namespace vantrix
