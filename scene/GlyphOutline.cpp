// Caption characters from glyph outlines in the native record form
// (platform/NativeOutlineFormat.h): polygons of line and quadratic spline
// records, all coordinates 16.16 fixed point, y up. Curves are cut into SplPnt
// straight pieces; every point is shifted by the pen.
//
// Two roundings meet here: a coordinate given by the buffer rounds half up
// (its integer part, plus one when the fraction is 1/2 or more), a coordinate
// computed on a curve rounds to nearest with halves to even.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/NativeOutlineFormat.h"
#include "platform/Rounding.h"
#include "scene/Scene.h"

namespace vantrix {

namespace {

int32_t RoundFixedHalfUp(int32_t f) {
  return (f >> 16) + ((f & 0xFFFF) >= 0x8000 ? 1 : 0);
}

}  // namespace

void TScene::NewLetter() {
  if (LetterCount() > 32) return;
  Letters.push_back(std::make_unique<TLetter>());
}

void TScene::AddPoint(int32_t x, int32_t y) {
  if (PointCount >= kMaxPoints) return;
  const int32_t px = ClampToInt32(static_cast<int64_t>(x) + PenX);
  const int32_t py = ClampToInt32(static_cast<int64_t>(y) + PenY);
  Points[PointCount++] = TPoint{px, py};
  CaptionExtent.MinX = std::min(CaptionExtent.MinX, px);
  CaptionExtent.MaxX = std::max(CaptionExtent.MaxX, px);
  CaptionExtent.MinY = std::min(CaptionExtent.MinY, py);
  CaptionExtent.MaxY = std::max(CaptionExtent.MaxY, py);
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

template <class TFetch>
bool TScene::AddFetchedGlyph(TFetch fetch) {
  TGlyphMetrics gm;
  const uint32_t size = fetch(gm, nullptr, 0);
  if (size == kGlyphError) {
    Message("ERROR: Cannot obtain Size of the Glyph");
    return false;
  }
  std::vector<uint8_t> block(size, 0);
  const uint32_t got = fetch(gm, block.data(), size);
  if (got != size) {
    Message("ERROR: Cannot get Glyph");
    return false;
  }
  NewLetter();
  ParseOutline(block.data(), block.size());
  PenX = ClampToInt32(static_cast<int64_t>(PenX) + gm.CellIncX + 2 * static_cast<int64_t>(Params.TxtW));
  return true;
}

void TScene::AddGlyph(uint8_t code) {
  AddFetchedGlyph([&](TGlyphMetrics& gm, uint8_t* buffer, uint32_t size) {
    return Glyphs.GetGlyphOutline(code, gm, buffer, size);
  });
}

bool TScene::AddCharGlyph(char32_t ch) {
  return AddFetchedGlyph([&](TGlyphMetrics& gm, uint8_t* buffer, uint32_t size) {
    return Glyphs.GetCharOutline(ch, gm, buffer, size);
  });
}

namespace {

std::string CharName(char32_t ch) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(ch));
  return "'" + EncodeUtf8(std::u32string(1, ch)) + "' (" + code + ")";
}

}  // namespace

void TScene::NoteCharFace(char32_t ch, const TFontSpec& font, bool missing, const TUsedFace* fallback) {
  if (missing) {
    Message("ERROR: No installed font has a glyph for " + CharName(ch) + "; drawn as a blank");
  } else if (fallback != nullptr) {
    std::string face = fallback->Family;
    if (!fallback->Style.empty() && fallback->Style != "Regular") face += " " + fallback->Style;
    Note("Glyph " + CharName(ch) + " is not in " + font.FaceName + ": drawn with " + face);
  }
}

// Records that claim more bytes than the buffer holds end the parse; what was
// complete before stays. Records of an unknown type, and splines of fewer than
// two points, draw nothing but still end where the next record starts.
void TScene::ParseOutline(const uint8_t* buffer, size_t size) {
  TOutlineWalker walker(buffer, size);
  TOutlinePoint start;
  while (walker.NextPolygon(start)) {
    PointCount = 0;
    AddFixedPoint(start.X, start.Y);
    TOutlinePoint last = start;  // the point stored just before a record
    TOutlineRecord rec;
    while (walker.NextRecord(rec)) {
      const int count = rec.Count;
      if (rec.Type == kLineRecord) {
        for (int k = 0; k < count; ++k) {
          const TOutlinePoint p = rec.Point(k);
          AddFixedPoint(p.X, p.Y);
        }
      } else if (rec.Type == kSplineRecord && count >= 2) {
        TOutlinePoint a = last;
        for (int k = 0; k <= count - 2; ++k) {
          const TOutlinePoint b = rec.Point(k);
          const TOutlinePoint c = k == count - 2 ? rec.Point(k + 1) : ImpliedMidpoint(b, rec.Point(k + 1));
          AddSplinePiece(a.X, a.Y, b.X, b.Y, c.X, c.Y);
          a = c;
        }
      }
      if (count > 0) last = rec.Point(count - 1);
    }
    if (walker.Damage() != TOutlineDamage::None) return;
    AddFixedPoint(start.X, start.Y);
    if (!Letters.empty()) Letters.back()->AppendContour(Points.data(), PointCount);
  }
  if (walker.Damage() == TOutlineDamage::PolygonType) Message("ERROR: Unknown Polygon");
}

}  // namespace vantrix
