#pragma once
// The tests' and the fuzzer's strict view of native outline buffers: the records
// of every polygon, checked against what the writer promises, with signed areas
// and curve samples. The layout and its walk are platform/NativeOutlineFormat.h.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/NativeOutlineFormat.h"

namespace vantrix::testing {

using TFix = TOutlinePoint;

struct TRecord {
  uint16_t Type = 0;
  std::vector<TFix> Points;
};

struct TContour {
  TFix Start;
  std::vector<TRecord> Records;
};

// Walks the buffer; returns an empty string when every polygon and record fits exactly
// and is one the writer makes (a known type, points enough, no empty polygon),
// otherwise what is wrong.
inline std::string ReadOutline(const uint8_t* data, size_t size, std::vector<TContour>& out) {
  out.clear();
  TOutlineWalker walker(data, size);
  TContour c;
  while (walker.NextPolygon(c.Start)) {
    c.Records.clear();
    TOutlineRecord rec;
    while (walker.NextRecord(rec)) {
      if (rec.Type != kLineRecord && rec.Type != kSplineRecord) return "unknown record type";
      if (rec.Count == 0 || (rec.Type == kSplineRecord && rec.Count < 2)) return "record too short";
      TRecord r{rec.Type, {}};
      for (size_t k = 0; k < rec.Count; ++k) r.Points.push_back(rec.Point(k));
      c.Records.push_back(std::move(r));
    }
    if (walker.Damage() != TOutlineDamage::None) break;
    if (c.Records.empty()) return "polygon without records";
    out.push_back(c);
  }
  return OutlineDamageText(walker.Damage());
}

// Shoelace area of the polygon through the start, every record point and back, in
// square pixels; positive for counter-clockwise with y up.
inline double SignedArea(const TContour& c) {
  std::vector<TFix> poly{c.Start};
  for (const TRecord& r : c.Records) poly.insert(poly.end(), r.Points.begin(), r.Points.end());
  double twice = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const TFix& a = poly[i];
    const TFix& b = poly[(i + 1) % poly.size()];
    twice += double(a.X) * b.Y - double(b.X) * a.Y;
  }
  return twice / 2 / double(kFixedOne) / double(kFixedOne);
}

struct TSample {
  double X, Y;  // pixels
};

// Points along the contour: line ends, and `steps` samples per quadratic piece with the
// implied midpoints between consecutive controls.
inline std::vector<TSample> Trace(const TContour& c, int steps = 8) {
  const auto px = [](TFix p) { return TSample{p.X / double(kFixedOne), p.Y / double(kFixedOne)}; };
  std::vector<TSample> out{px(c.Start)};
  TFix cur = c.Start;
  for (const TRecord& r : c.Records) {
    if (r.Type == kLineRecord) {
      for (TFix p : r.Points) out.push_back(px(p));
      cur = r.Points.back();
      continue;
    }
    for (size_t k = 0; k + 1 < r.Points.size(); ++k) {
      const TFix b = r.Points[k];
      const TFix e = k + 2 == r.Points.size() ? r.Points[k + 1] : ImpliedMidpoint(b, r.Points[k + 1]);
      const TSample a = px(cur), m = px(b), z = px(e);
      for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps, s = 1 - t;
        out.push_back(
            {s * s * a.X + 2 * s * t * m.X + t * t * z.X, s * s * a.Y + 2 * s * t * m.Y + t * t * z.Y});
      }
      cur = e;
    }
  }
  return out;
}

}  // namespace vantrix::testing
