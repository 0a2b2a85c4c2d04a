#pragma once
// TZBuffer: the span depth buffer. Private to the engine: the view holds its
// buffers through pointers, so that nothing outside engine/ depends on this
// layout.
//
// Instead of one depth per pixel, each picture row keeps a list of horizontal
// spans with one depth (smaller is nearer), two end shades and a live flag. A
// new span is clipped against the spans already in its row; the survivors are
// painted at the end of a pass, from a shade ramp or a tiled texture. The same
// spans give the drop shadows and the transparency mask.
//
// The passes of a frame (button, letters) are painted together in one sweep
// over the picture rows: each row gets every pass's shadow and spans while it
// is in the cache.
//
// Span fields are 16-bit, so the buffer never covers more than 32767 columns:
// a wider picture is drawn in its first 32767 columns only. Shades are indices
// 0..255 into a ramp; AddSpan clamps them there so that no ramp is ever read
// out of bounds. Pixels are 32-bit TPixel words (blue in the low byte).

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/ShadeRamp.h"
#include "platform/Color.h"
#include "platform/Picture.h"
#include "platform/Rounding.h"

namespace vantrix {

struct TSpan {
  int16_t X1 = 0;
  int16_t X2 = 0;
  int16_t ShadeL = 0;
  int16_t ShadeR = 0;
  float Depth = 0;
  int16_t Active = 0;
  // The highlight at X1 and X2, 0..255 of the light colour added on top of
  // the ramp; in what was padding, so spans keep their size.
  uint8_t ShineL = 0;
  uint8_t ShineR = 0;
};
static_assert(sizeof(TSpan) == 16, "spans are packed sixteen to a chunk");

// Sixteen spans of one row, with their columns packed a cache line to the
// chunk so that InsertSpan tests them for overlap with one read; a dead span
// reads INT16_MAX..INT16_MIN there, which overlaps nothing. A buffer hands out
// its chunks in the order rows fill up, so the spans that one face stores on
// neighbouring rows lie near each other in memory.
struct TSpanChunk {
  static constexpr int kSpans = 16;
  struct alignas(64) TLive {
    int16_t X1[kSpans];
    int16_t X2[kSpans];
  };
  TLive Live;
  TSpan Spans[kSpans];
};

struct TSpanRow {
  static constexpr int kMaxSpans = 512;
  static constexpr int kBlock = TSpanChunk::kSpans;
  static constexpr int kBins = 64;
  int32_t Count = 0;
  // Beside the count, so that most rows find both in one cache line.
  TSpanChunk* Chunks[kMaxSpans / kBlock] = {};  // the first (Count + 15) / 16 are in use
  // The row is cut into 64 bins of columns; per bin, a bit for each chunk
  // that has stored a span reaching into it. Spans only ever shrink, so a
  // chunk without a bit in a new span's bins holds no span overlapping it and
  // is not looked at. They are emptied when the row stores its first span, so
  // an empty row's bins are an earlier picture's and mean nothing.
  uint32_t Bins[kBins] = {};

  const TSpan& Span(int k) const { return Chunks[k / kBlock]->Spans[k % kBlock]; }  // k < Count
  TSpan& Span(int k) { return Chunks[k / kBlock]->Spans[k % kBlock]; }
};

// The drop shadow of one pass: the silhouette shifted by DX, DY. In the mask it
// is either the shifted spans or, with Hull, one run per row from the leftmost
// to the rightmost span.
struct TPassShadow {
  bool On = false;
  int DX = 0;
  int DY = 0;
  bool Hull = false;
};

class TZBuffer {
 public:
  static constexpr int kMaxWidth = 32767;

  TZBuffer() = default;

  // Does nothing if either size is <= 0; otherwise sizes the rows and clears.
  void SetSize(int height, int width);
  void Clear();
  // Cuts the rows into this many bands of equal height (the last may be
  // shorter), each storing its spans in chunks of its own, so that the bands
  // can be filled on threads of their own at once. A row's spans are the same
  // however it is banded. Takes effect now; Clear keeps it.
  void SetBands(int bands);
  int Bands() const { return static_cast<int>(pools_.size()); }
  // The rows of band b: [first, last], empty when first > last.
  void BandRows(int b, int& first, int& last) const;
  void SetTexture(const TPicture* texture) {
    Textured = true;
    Texture = texture;
  }

  void AddSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth, int shineL = 0, int shineR = 0);
  void InsertSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth, int shineL = 0,
                  int shineR = 0);

  // A whole pass: the shadow into the picture and the mask (when given), then
  // the spans into both. The same pixels as DrawShadow, DrawShadowHull and
  // DrawSpans called one after the other.
  void DrawPass(TPicture& image, TPicture* mask, const TShadeRamp& ramp, const TPassShadow& shadow);
  // Several passes, each over the ones before, as DrawPass one after the
  // other would paint them, in one sweep over the rows. Each pass paints from
  // its own buffer's texture settings.
  struct TPassPaint {
    TZBuffer* Buffer;
    const TShadeRamp* Ramp;
    TPassShadow Shadow;
  };
  // With threads > 1 the rows are painted in bands on that many threads at
  // once, with the same pixels.
  static void DrawPasses(TPicture& image, TPicture* mask, const TPassPaint* passes, int count,
                         int threads = 1);
  void DrawSpans(TPicture& bitmap, const TShadeRamp& ramp, bool maskMode) const;
  void DrawShadow(TPicture& bitmap, int dx, int dy, bool maskMode) const;
  void DrawShadowHull(TPicture& bitmap, int dx, int dy, bool maskMode) const;

  // Pixel painters on one picture row; the caller keeps x1..x2 inside the row.
  static void FillSpan(int x1, int x2, TPixel* row, TPixel value);
  static void HalveSpan(int x1, int x2, TPixel* row);
  static void DrawGradient(int x1, int x2, TPixel* row, int shadeL, int shadeR, const TShadeRamp& ramp);
  void DrawTexturedSpan(int row, int x1, int x2, TPixel* pixels, int shadeL, int shadeR) const;
  // Adds the light colour times a highlight running from shineL to shineR
  // (0..255, stepped as DrawGradient steps shades), each channel held at 255.
  void AddHighlight(int x1, int x2, TPixel* row, int shineL, int shineR) const;

  int MaxRow() const { return maxRow_; }
  int MaxX() const { return maxX_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const TSpanRow& Row(int row) const { return rows_[row]; }

  bool Textured = false;
  const TPicture* Texture = nullptr;  // owned by the view
  TColor LightColor = kColorWhite;
  int MidBright = 204;  // shade at which a texel shows its own colour

 private:
  // Storing spans (SpanInsert.cpp). Chunks in slabs that stay put, so that
  // rows can point into them; Clear hands them out again from the first.
  struct TChunkPool {
    static constexpr int kSlabChunks = 256;
    std::vector<std::unique_ptr<TSpanChunk[]>> Slabs;
    int Used = 0;
    TSpanChunk* New();
  };
  TSpanChunk* NewChunk(const TSpanRow& r);
  void Append(TSpanRow& r, int16_t x1, int16_t x2, int16_t shadeL, int16_t shadeR, float depth,
              uint8_t shineL, uint8_t shineR);
  void Insert(TSpanRow& r, int x1, int x2, int16_t shadeL, int16_t shadeR, float depth, uint8_t shineL,
              uint8_t shineR);
  static int16_t ClampShade(int s) { return static_cast<int16_t>(ClampInt(s, 0, 255)); }
  static uint8_t ClampShine(int s) { return static_cast<uint8_t>(ClampInt(s, 0, 255)); }

  // Painting one row span by span (SpanPaint.cpp).
  bool IsTextured() const {
    return Textured && Texture != nullptr && Texture->Width() > 0 && Texture->Height() > 0;
  }
  void PaintRow(int r, TPixel* px, int lastX, const TShadeRamp& ramp, bool textured) const;
  void PaintSpan(int r, const TSpan& s, int x1, int x2, TPixel* px, const TShadeRamp& ramp,
                 bool textured) const;
  void FillRow(int r, TPixel* px, int lastX) const;
  void ShadowRow(int r, TPicture& bitmap, int dx, int dy, bool maskMode) const;
  void HullRow(int r, TPicture& bitmap, int dx, int dy, bool maskMode) const;

  // The sweep of DrawPasses (SpanSweep.cpp). What it knows of a row's live
  // spans, clipped to the picture: a bit per pixel they cover, and their
  // extremes.
  struct TRowCover {
    int MinX1 = 0, MaxX1 = 0, MinX2 = 0, MaxX2 = 0;
    bool Any = false;
    bool Overlap = false;  // two live spans share a pixel
  };
  struct TSweep;  // the pictures and working rows of one sweep
  void BuildCover(int width);
  void CoverRows(int width, int first, int last);
  void SizeCover(int width);
  void CoverRow(int r, int width, TPixel* px, const TShadeRamp* ramp, bool textured);
  const uint64_t* CoverBits(int r) const { return cover_.data() + static_cast<size_t>(r) * coverWords_; }
  bool ShiftsCleanly(int r, int dx, int lastX) const;
  void ShadowSources(int y, int height, int dy, int& from, int& to) const;

  int maxRow_ = 0;
  int maxX_ = 0;
  int binShift_ = 0;  // column >> binShift_ is its bin
  std::vector<TSpanRow> rows_;
  std::vector<TChunkPool> pools_ = std::vector<TChunkPool>(1);  // one per band
  int bandRows_ = 1;                                            // rows per band
  int coverWords_ = 0;
  std::vector<uint64_t> cover_;
  std::vector<TRowCover> rowCover_;
};

// Inline, since a frame stores tens of thousands of spans and the call cost
// as much as these checks.
inline void TZBuffer::InsertSpan(int row, int x1, int x2, int shadeL, int shadeR, float depth, int shineL,
                                 int shineR) {
  // Unsigned, row < 0 fails too; rows are never more than RowCount.
  if (static_cast<unsigned>(row) >= static_cast<unsigned>(RowCount()) || x2 < x1 || x2 < 0 || x1 > maxX_)
    return;
  Insert(rows_[row], std::max(x1, 0), std::min(x2, maxX_), ClampShade(shadeL), ClampShade(shadeR), depth,
         ClampShine(shineL), ClampShine(shineR));
}

// Span s of row r over columns x1..x2 of the picture row px. Inline, since
// both the row painter and the sweep call it once a span.
inline void TZBuffer::PaintSpan(int r, const TSpan& s, int x1, int x2, TPixel* px, const TShadeRamp& ramp,
                                bool textured) const {
  if (textured)
    DrawTexturedSpan(r, x1, x2, px, s.ShadeL, s.ShadeR);
  else if (s.ShadeL == s.ShadeR)
    FillSpan(x1, x2, px, ramp[s.ShadeL]);
  else
    DrawGradient(x1, x2, px, s.ShadeL, s.ShadeR, ramp);
  if ((s.ShineL | s.ShineR) != 0) AddHighlight(x1, x2, px, s.ShineL, s.ShineR);
}

}  // namespace vantrix
