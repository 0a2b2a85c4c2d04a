#include "platform/NativeOutline.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/Rounding.h"

namespace vantrix {
namespace {

enum class TKind : uint8_t { On, Conic, Cubic };

constexpr size_t kMaxRecordPoints = 0xFFFF;
constexpr size_t kNone = std::numeric_limits<size_t>::max();
// A cubic is never cut into more pieces than this, whatever its size.
constexpr int kMaxCubicPieces = 64;

int32_t FixedFrom26Dot6(FT_Pos v) {
  const int64_t f = static_cast<int64_t>(v) * 1024;
  return static_cast<int32_t>(std::clamp<int64_t>(f, INT32_MIN, INT32_MAX));
}

TKind KindOf(char tag) {
  switch (FT_CURVE_TAG(tag)) {
    case FT_CURVE_TAG_CONIC:
      return TKind::Conic;
    case FT_CURVE_TAG_CUBIC:
      return TKind::Cubic;
    default:
      return TKind::On;
  }
}

// Appends polygons and records to a byte vector, patching counts and sizes as it goes.
class TRecordWriter {
 public:
  explicit TRecordWriter(std::vector<uint8_t>& out) : out_(out) {}

  void BeginPolygon(TOutlinePoint start) {
    polygon_ = out_.size();
    record_ = kNone;
    PutOutlineU32(out_, 0);
    PutOutlineU32(out_, kPolygonType);
    PutOutlinePoint(out_, start);
  }

  void LineTo(TOutlinePoint p) {
    if (record_ == kNone || type_ != kLineRecord || count_ == kMaxRecordPoints) OpenRecord(kLineRecord);
    AddPoint(p);
  }

  // One quadratic run: controls[0..n) then the on-curve end. A run too long for one
  // record is cut at an implied midpoint, written out as an explicit end.
  void Spline(const TOutlinePoint* controls, size_t n, TOutlinePoint end) {
    while (n + 1 > kMaxRecordPoints) {
      const size_t take = kMaxRecordPoints - 1;
      OpenRecord(kSplineRecord);
      for (size_t i = 0; i < take; ++i) AddPoint(controls[i]);
      AddPoint(ImpliedMidpoint(controls[take - 1], controls[take]));
      controls += take;
      n -= take;
    }
    OpenRecord(kSplineRecord);
    for (size_t i = 0; i < n; ++i) AddPoint(controls[i]);
    AddPoint(end);
  }

  // A polygon without records encloses nothing and is taken back out.
  void EndPolygon() {
    if (out_.size() == polygon_ + kPolygonHeaderSize) {
      out_.resize(polygon_);
      return;
    }
    PatchOutlineU32(out_, polygon_, static_cast<uint32_t>(out_.size() - polygon_));
  }

 private:
  void OpenRecord(uint16_t type) {
    record_ = out_.size();
    type_ = type;
    count_ = 0;
    PutOutlineU16(out_, type);
    PutOutlineU16(out_, 0);
  }
  void AddPoint(TOutlinePoint p) {
    PutOutlinePoint(out_, p);
    ++count_;
    out_[record_ + 2] = static_cast<uint8_t>(count_);
    out_[record_ + 3] = static_cast<uint8_t>(count_ >> 8);
  }

  std::vector<uint8_t>& out_;
  size_t polygon_ = 0;
  size_t record_ = kNone;
  uint16_t type_ = 0;
  size_t count_ = 0;
};

struct TVec {
  double X, Y;
};

// Cubic arc to quadratic records. The quadratic whose control is
// (3 (P1 + P2) - P0 - P3) / 4 strays from the cubic by at most
// sqrt(3) / 36 * |P3 - 3 P2 + 3 P1 - P0|, and that third difference shrinks with the
// cube of the parameter step; so the arc is cut into n equal steps with n just large
// enough to bring the bound under the tolerance.
void CubicTo(TRecordWriter& w, TOutlinePoint p0, TOutlinePoint p1, TOutlinePoint p2, TOutlinePoint p3) {
  const TVec a{double(p0.X), double(p0.Y)}, b{double(p1.X), double(p1.Y)};
  const TVec c{double(p2.X), double(p2.Y)}, d{double(p3.X), double(p3.Y)};
  const double tx = d.X - 3.0 * c.X + 3.0 * b.X - a.X;
  const double ty = d.Y - 3.0 * c.Y + 3.0 * b.Y - a.Y;
  const double bound = std::sqrt(3.0) / 36.0 * std::hypot(tx, ty);
  int n = 1;
  while (n < kMaxCubicPieces && bound > kCubicTolerance * double(n) * n * n) ++n;

  const auto at = [&](double t) {
    const double s = 1.0 - t;
    const double k0 = s * s * s, k1 = 3.0 * s * s * t, k2 = 3.0 * s * t * t, k3 = t * t * t;
    return TVec{k0 * a.X + k1 * b.X + k2 * c.X + k3 * d.X, k0 * a.Y + k1 * b.Y + k2 * c.Y + k3 * d.Y};
  };
  const auto slope = [&](double t) {
    const double s = 1.0 - t;
    const double k0 = 3.0 * s * s, k1 = 6.0 * s * t, k2 = 3.0 * t * t;
    return TVec{k0 * (b.X - a.X) + k1 * (c.X - b.X) + k2 * (d.X - c.X),
                k0 * (b.Y - a.Y) + k1 * (c.Y - b.Y) + k2 * (d.Y - c.Y)};
  };
  for (int i = 0; i < n; ++i) {
    const double t0 = double(i) / n, t1 = double(i + 1) / n, h = (t1 - t0) / 3.0;
    const TVec s0 = at(t0), s3 = at(t1), d0 = slope(t0), d3 = slope(t1);
    const TVec s1{s0.X + h * d0.X, s0.Y + h * d0.Y}, s2{s3.X - h * d3.X, s3.Y - h * d3.Y};
    const TOutlinePoint control{RoundInt((3.0 * (s1.X + s2.X) - s0.X - s3.X) / 4.0),
                                RoundInt((3.0 * (s1.Y + s2.Y) - s0.Y - s3.Y) / 4.0)};
    const TOutlinePoint end = i + 1 == n ? p3 : TOutlinePoint{RoundInt(s3.X), RoundInt(s3.Y)};
    w.Spline(&control, 1, end);
  }
}

// One closed contour, points[0..n) with their kinds, already in the wanted direction.
void EncodeContour(TRecordWriter& w, std::vector<TOutlinePoint>& pts, std::vector<TKind>& kinds) {
  const size_t n = pts.size();
  if (n < 2) return;
  // Start on the first on-curve point; a contour of control points only starts on the
  // implied midpoint of its last and first controls, which then closes it.
  TOutlinePoint start;
  std::vector<TOutlinePoint> rest;
  std::vector<TKind> restKinds;
  const size_t first = std::find(kinds.begin(), kinds.end(), TKind::On) - kinds.begin();
  if (first == n) {
    start = ImpliedMidpoint(pts[n - 1], pts[0]);
    rest = pts;
    restKinds.assign(n, TKind::Conic);
  } else {
    start = pts[first];
    for (size_t k = 1; k < n; ++k) {
      rest.push_back(pts[(first + k) % n]);
      restKinds.push_back(kinds[(first + k) % n]);
    }
  }
  // On-curve points at the end that repeat the start would only make zero-length
  // closing edges.
  size_t r = rest.size();
  while (r > 0 && restKinds[r - 1] == TKind::On && rest[r - 1] == start) --r;
  const auto pointAt = [&](size_t i) { return i < r ? rest[i] : start; };
  const auto kindAt = [&](size_t i) { return i < r ? restKinds[i] : TKind::On; };

  w.BeginPolygon(start);
  TOutlinePoint cur = start;
  size_t i = 0;
  while (i < r) {
    if (kindAt(i) == TKind::On) {
      if (!(rest[i] == cur)) w.LineTo(rest[i]);  // zero-length pieces are dropped
      cur = rest[i];
      ++i;
    } else if (kindAt(i) == TKind::Cubic && i + 1 < r && kindAt(i + 1) == TKind::Cubic) {
      const TOutlinePoint end = pointAt(i + 2);
      CubicTo(w, cur, rest[i], rest[i + 1], end);
      cur = end;
      i += 3;
    } else {
      size_t j = i;
      while (j < r && kindAt(j) != TKind::On) ++j;
      const TOutlinePoint end = pointAt(j);
      w.Spline(rest.data() + i, j - i, end);
      cur = end;
      i = j + 1;
    }
  }
  w.EndPolygon();
}

}  // namespace

std::vector<uint8_t> NativeOutlineFromFt(const FT_Outline& outline, bool reverse) {
  std::vector<uint8_t> out;
  const long nPoints = outline.n_points;
  const long nContours = outline.n_contours;
  if (nPoints <= 0 || nContours <= 0 || !outline.points || !outline.tags || !outline.contours) return out;
  TRecordWriter writer(out);
  std::vector<TOutlinePoint> pts;
  std::vector<TKind> kinds;
  long begin = 0;
  for (long c = 0; c < nContours; ++c) {
    const long end = outline.contours[c];
    if (end < begin || end >= nPoints) break;
    pts.clear();
    kinds.clear();
    for (long k = begin; k <= end; ++k) {
      // Reversed, the contour keeps its first point and runs through the others backwards.
      const long p = !reverse || k == begin ? k : begin + end + 1 - k;
      pts.push_back({FixedFrom26Dot6(outline.points[p].x), FixedFrom26Dot6(outline.points[p].y)});
      kinds.push_back(KindOf(outline.tags[p]));
    }
    EncodeContour(writer, pts, kinds);
    begin = end + 1;
  }
  return out;
}

}  // namespace vantrix
