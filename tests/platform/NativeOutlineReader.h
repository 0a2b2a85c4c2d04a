#pragma once
// A small independent reader of native outline buffers for the tests and the fuzzer:
// checks the structure and hands back contours, signed areas and curve samples.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vantrix::testing {

struct TFix {
  int32_t X = 0, Y = 0;
  bool operator==(const TFix&) const = default;
};

struct TRecord {
  uint16_t Type = 0;
  std::vector<TFix> Points;
};

struct TContour {
  TFix Start;
  std::vector<TRecord> Records;
};

inline uint32_t ReadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline TFix ReadFix(const uint8_t* p) {
  return {static_cast<int32_t>(ReadU32(p)), static_cast<int32_t>(ReadU32(p + 4))};
}

// Walks the buffer; returns an empty string when every polygon and record fits exactly,
// otherwise what is wrong.
inline std::string ReadOutline(const uint8_t* data, size_t size, std::vector<TContour>& out) {
  out.clear();
  size_t pos = 0;
  while (pos < size) {
    if (size - pos < 16) return "polygon header cut off";
    const uint32_t cb = ReadU32(data + pos);
    if (ReadU32(data + pos + 4) != 24) return "polygon type is not 24";
    if (cb < 16 || cb > size - pos) return "polygon size out of range";
    TContour c;
    c.Start = ReadFix(data + pos + 8);
    size_t at = pos + 16;
    const size_t end = pos + cb;
    while (at < end) {
      if (end - at < 4) return "record header cut off";
      TRecord r;
      r.Type = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
      const size_t count = static_cast<size_t>(data[at + 2] | data[at + 3] << 8);
      if (r.Type != 1 && r.Type != 2) return "unknown record type";
      if (count == 0 || (r.Type == 2 && count < 2)) return "record too short";
      if ((end - at - 4) / 8 < count) return "record runs past its polygon";
      for (size_t k = 0; k < count; ++k) r.Points.push_back(ReadFix(data + at + 4 + 8 * k));
      at += 4 + 8 * count;
      c.Records.push_back(std::move(r));
    }
    if (c.Records.empty()) return "polygon without records";
    out.push_back(std::move(c));
    pos = end;
  }
  return {};
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
  return twice / 2 / 65536.0 / 65536.0;
}

struct TSample {
  double X, Y;  // pixels
};

// Points along the contour: line ends, and `steps` samples per quadratic piece with the
// implied midpoints between consecutive controls.
inline std::vector<TSample> Trace(const TContour& c, int steps = 8) {
  const auto px = [](TFix p) { return TSample{p.X / 65536.0, p.Y / 65536.0}; };
  std::vector<TSample> out{px(c.Start)};
  TFix cur = c.Start;
  for (const TRecord& r : c.Records) {
    if (r.Type == 1) {
      for (TFix p : r.Points) out.push_back(px(p));
      cur = r.Points.back();
      continue;
    }
    for (size_t k = 0; k + 1 < r.Points.size(); ++k) {
      const TFix b = r.Points[k];
      const TFix e = k + 2 == r.Points.size()
                         ? r.Points[k + 1]
                         : TFix{static_cast<int32_t>((int64_t(b.X) + r.Points[k + 1].X) / 2),
                                static_cast<int32_t>((int64_t(b.Y) + r.Points[k + 1].Y) / 2)};
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
