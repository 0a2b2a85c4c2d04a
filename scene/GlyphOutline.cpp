// Caption characters from glyph outlines in the native record form: polygon
// headers (cb, dwType 24, start point) followed by line and quadratic spline
// records, all coordinates 16.16 fixed point, little-endian, y up. Curves are
// cut into SplPnt straight pieces; every point is shifted by the pen.
//
// Two roundings meet here: a coordinate given by the buffer rounds half up
// (its integer part, plus one when the fraction is 1/2 or more), a coordinate
// computed on a curve rounds to nearest with halves to even.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Rounding.h"
#include "scene/Scene.h"

namespace vantrix {

namespace {

constexpr uint32_t kPolygonType = 24;
constexpr uint16_t kPrimLine = 1;
constexpr uint16_t kPrimQSpline = 2;
constexpr size_t kHeaderSize = 16;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t ReadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
int32_t ReadFixed(const uint8_t* p) {
  return static_cast<int32_t>(ReadU32(p));
}

int32_t RoundFixedHalfUp(int32_t f) {
  return (f >> 16) + ((f & 0xFFFF) >= 0x8000 ? 1 : 0);
}

// Midpoint of two control points as 16.16 numbers, truncated toward zero.
int32_t MidFixed(int32_t a, int32_t b) {
  return static_cast<int32_t>((static_cast<int64_t>(a) + static_cast<int64_t>(b)) / 2);
}

}  // namespace

void TScene::NewLetter() {
  if (LetterCount() > 32) return;
  Letters.push_back(std::make_unique<TLetter>());
}

void TScene::AddPoint(int32_t x, int32_t y) {
  if (PointCount >= kMaxPoints) return;
  const int32_t px = ClampToInt32(static_cast<int64_t>(x) + PenX);
  Points[PointCount++] = TPoint{px, y};
  CaptionExtent.MinX = std::min(CaptionExtent.MinX, px);
  CaptionExtent.MaxX = std::max(CaptionExtent.MaxX, px);
  CaptionExtent.MinY = std::min(CaptionExtent.MinY, y);
  CaptionExtent.MaxY = std::max(CaptionExtent.MaxY, y);
}

void TScene::AddFixedPoint(int32_t fx, int32_t fy) {
  AddPoint(RoundFixedHalfUp(fx), RoundFixedHalfUp(fy));
}

void TScene::AddSplinePiece(int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t cx, int32_t cy) {
  const int n = Params.SplPnt;
  const double Ax = ax / 65536.0, Ay = ay / 65536.0, Bx = bx / 65536.0, By = by / 65536.0, Cx = cx / 65536.0,
               Cy = cy / 65536.0;
  // Points past the 1024th are dropped anyway; stopping there keeps a huge
  // SplPnt from a damaged work file from spinning.
  for (int i = 1; i <= n && PointCount < kMaxPoints; ++i) {
    const double t = static_cast<double>(i) / n;
    const double x = Ax + 2 * t * (Bx - Ax) + t * t * (Ax - 2 * Bx + Cx);
    const double y = Ay + 2 * t * (By - Ay) + t * t * (Ay - 2 * By + Cy);
    AddPoint(RoundInt(x), RoundInt(y));
  }
}

void TScene::AddGlyph(uint8_t code) {
  TGlyphMetrics gm;
  const uint32_t size = Glyphs.GetGlyphOutline(code, gm, nullptr, 0);
  if (size == kGlyphError) {
    Message("ERROR: Cannot obtain Size of the Glyph");
    return;
  }
  std::vector<uint8_t> block(size, 0);
  const uint32_t got = Glyphs.GetGlyphOutline(code, gm, block.data(), size);
  if (got != size) {
    Message("ERROR: Cannot get Glyph");
    return;
  }
  NewLetter();
  ParseOutline(block.data(), block.size());
  PenX = ClampToInt32(static_cast<int64_t>(PenX) + gm.CellIncX + 2 * static_cast<int64_t>(Params.TxtW));
}

// Records that claim more bytes than the buffer holds end the parse; what was
// complete before stays.
void TScene::ParseOutline(const uint8_t* buffer, size_t size) {
  size_t pos = 0;
  while (pos < size) {
    if (size - pos < kHeaderSize) return;
    const uint32_t cb = ReadU32(buffer + pos);
    const uint32_t type = ReadU32(buffer + pos + 4);
    if (type != kPolygonType) {
      Message("ERROR: Unknown Polygon");
      return;
    }
    if (cb < kHeaderSize || cb > size - pos) return;
    const size_t end = pos + cb;
    const int32_t startX = ReadFixed(buffer + pos + 8);
    const int32_t startY = ReadFixed(buffer + pos + 12);
    PointCount = 0;
    AddFixedPoint(startX, startY);
    int32_t lastX = startX, lastY = startY;  // the point stored just before a record
    size_t rec = pos + kHeaderSize;
    while (rec < end) {
      if (end - rec < 4) return;
      const uint16_t kind = ReadU16(buffer + rec);
      const uint16_t count = ReadU16(buffer + rec + 2);
      const size_t bytes = 4 + 8 * static_cast<size_t>(count);
      if (bytes > end - rec) return;
      const uint8_t* pts = buffer + rec + 4;
      auto px = [pts](int k) { return ReadFixed(pts + 8 * k); };
      auto py = [pts](int k) { return ReadFixed(pts + 8 * k + 4); };
      if (kind == kPrimLine) {
        for (int k = 0; k < count; ++k) AddFixedPoint(px(k), py(k));
      } else if (kind == kPrimQSpline && count >= 2) {
        int32_t ax = lastX, ay = lastY;
        for (int k = 0; k <= count - 2; ++k) {
          const bool last = k == count - 2;
          const int32_t cx = last ? px(k + 1) : MidFixed(px(k), px(k + 1));
          const int32_t cy = last ? py(k + 1) : MidFixed(py(k), py(k + 1));
          AddSplinePiece(ax, ay, px(k), py(k), cx, cy);
          ax = cx;
          ay = cy;
        }
      }
      if (count > 0) {
        lastX = px(count - 1);
        lastY = py(count - 1);
      }
      rec += bytes;
    }
    AddFixedPoint(startX, startY);
    if (!Letters.empty()) Letters.back()->AppendContour(Points.data(), PointCount);
    pos = end;
  }
}

}  // namespace vantrix
