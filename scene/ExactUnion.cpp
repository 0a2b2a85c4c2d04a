// The outlines are cut where they meet (at whole points only), and every piece
// of edge between two cuts is kept when the area is filled on one side of it
// and not on the other: a piece's sides take their winding numbers from a ray
// cast along x, evaluated in doubled coordinates so that the piece's midpoint
// stays a whole point. Along a contour the answer can change only where the
// contour meets another, so one ray serves each stretch between two meetings.
// Shared strokes (collinear overlaps) come out once; kept pieces, directed with
// the filled side on their right, chain into the result's contours.

#include "scene/ExactUnion.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace vantrix {

namespace {

__extension__ using TWide = __int128;

// Coordinates beyond this are refused, so that products of doubled
// differences stay well inside 64 bits.
constexpr int32_t kLimit = 1 << 26;

struct TEdge {
  TPoint A, B;
  int32_t MinX, MaxX, MinY, MaxY;
  uint32_t Contour;
  bool EventA = false, EventB = false;  // an end lies on another contour
};

struct TContour {
  uint32_t First = 0, Count = 0;  // its edges
  int32_t MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
  bool Clockwise = false;  // its inside on the right
};

struct TActive {
  int32_t MaxY, MinX, MaxX;
  uint32_t Edge;
};

struct TSplit {
  uint32_t Edge;
  int64_t Along;  // distance from the edge's start, in steps of x plus y
  TPoint P;
};

// A kept piece of edge, directed. Its successor is the next (or, reversed,
// the previous) kept piece unless its end is a place where contours meet: then
// it is looked up among the pieces that start at such places.
struct TKept {
  TPoint From, To;
  bool Reversed = false;
  bool FromMeeting = false, ToMeeting = false;
};

int64_t Orient(TPoint a, TPoint b, TPoint c) {
  return (static_cast<int64_t>(b.X) - a.X) * (static_cast<int64_t>(c.Y) - a.Y) -
         (static_cast<int64_t>(b.Y) - a.Y) * (static_cast<int64_t>(c.X) - a.X);
}

bool Less(TPoint a, TPoint b) {
  return a.X < b.X || (a.X == b.X && a.Y < b.Y);
}

// Twice the signed area (positive counter-clockwise, y up): terms taken from
// the first point stay below 2^55, so 128 of them add up in 64 bits.
TWide Area2(const std::vector<TPoint>& c) {
  TWide sum = 0;
  int64_t part = 0;
  const TPoint o = c.front();
  for (size_t k = 1; k + 1 < c.size(); ++k) {
    part += Orient(o, c[k], c[k + 1]);
    if (k % 128 == 0) {
      sum += part;
      part = 0;
    }
  }
  return sum + part;
}

// Removes repeated points and the middle one of three on a line, until none
// is left, as the clipper tidies its paths: one pass keeping a stack, then
// the same across the seam where the contour closes.
void Tidy(std::vector<TPoint>& pts) {
  TPoint* const q = pts.data();
  const size_t size = pts.size();
  size_t n = 0;
  for (size_t i = 0; i < size; ++i) {
    const TPoint p = q[i];
    while (n >= 2 && !(q[n - 1] == p) && Orient(q[n - 2], q[n - 1], p) == 0) --n;
    if (n == 0 || !(q[n - 1] == p)) q[n++] = p;
  }
  size_t b = 0;
  while (n - b >= 3) {
    if (q[n - 1] == q[b] || Orient(q[n - 2], q[n - 1], q[b]) == 0)
      --n;
    else if (Orient(q[n - 1], q[b], q[b + 1]) == 0)
      ++b;
    else
      break;
  }
  if (n - b < 3) {
    pts.clear();
    return;
  }
  if (b != 0) std::copy(q + b, q + n, q);
  pts.resize(n - b);
}

class TUniter {
 public:
  bool Run(const std::vector<const std::vector<TPoint>*>& contours, std::vector<TUnitedPiece>& pieces);

 private:
  bool AddContours(const std::vector<const std::vector<TPoint>*>& contours);
  bool Meet(uint32_t ei, uint32_t fi);
  void Touch(uint32_t ei, TPoint p);
  bool CutAndKeep();
  // +1: the piece a -> b of contour `self` is kept as it runs, -1: reversed,
  // 0: not kept, 2: refused; `copy` when a contour before it has the same piece.
  int Keep(TPoint a, TPoint b, uint32_t self, bool& copy) const;
  bool Chain(std::vector<TUnitedPiece>& pieces);
  // order_: the edges by their lowest y.
  void SortByLowestPoint();

  std::vector<TPoint> pts_;
  std::vector<uint32_t> next_;
  std::vector<TEdge> edges_;
  std::vector<TContour> contours_;
  std::vector<uint32_t> order_;
  std::vector<TActive> active_;
  std::vector<TSplit> splits_;
  std::vector<TKept> kept_;
  std::vector<std::pair<TPoint, uint32_t>> meetings_;
  std::vector<std::vector<TPoint>> holes_;
  std::vector<TWide> areas_;
};

bool TUniter::AddContours(const std::vector<const std::vector<TPoint>*>& contours) {
  edges_.clear();
  contours_.clear();
  for (const std::vector<TPoint>* c : contours) {
    // A closed contour's last point repeats its first.
    pts_.assign(c->begin(), c->end() - (c->size() > 1 && c->front() == c->back() ? 1 : 0));
    for (const TPoint& p : pts_)
      if (p.X <= -kLimit || p.X >= kLimit || p.Y <= -kLimit || p.Y >= kLimit) return false;
    Tidy(pts_);
    if (pts_.empty()) continue;
    TContour k;
    k.First = static_cast<uint32_t>(edges_.size());
    k.Count = static_cast<uint32_t>(pts_.size());
    k.MinX = k.MaxX = pts_[0].X;
    k.MinY = k.MaxY = pts_[0].Y;
    k.Clockwise = Area2(pts_) < 0;
    for (size_t i = 0; i < pts_.size(); ++i) {
      const TPoint a = pts_[i], b = pts_[i + 1 == pts_.size() ? 0 : i + 1];
      edges_.push_back(TEdge{a, b, std::min(a.X, b.X), std::max(a.X, b.X), std::min(a.Y, b.Y),
                             std::max(a.Y, b.Y), static_cast<uint32_t>(contours_.size())});
      k.MinX = std::min(k.MinX, a.X);
      k.MaxX = std::max(k.MaxX, a.X);
      k.MinY = std::min(k.MinY, a.Y);
      k.MaxY = std::max(k.MaxY, a.Y);
    }
    contours_.push_back(k);
  }
  return true;
}

// p lies on edge ei: the edge is cut there, or, at one of its ends, that end
// is marked as a place where the contour meets another.
void TUniter::Touch(uint32_t ei, TPoint p) {
  TEdge& e = edges_[ei];
  if (p == e.A) {
    e.EventA = true;
  } else if (p == e.B) {
    e.EventB = true;
  } else {
    splits_.push_back(TSplit{
        ei, std::abs(static_cast<int64_t>(p.X) - e.A.X) + std::abs(static_cast<int64_t>(p.Y) - e.A.Y), p});
  }
}

// The clipper places each edge on every row of vertices it spans, rounded,
// and takes two edges as meeting where those places change order or meet.
// Two edges that meet and part by a unit or less per row may look level on a
// row near their meeting and meet there instead: such meetings are refused.
bool Level(const TEdge& e, const TEdge& f) {
  const int64_t ex = static_cast<int64_t>(e.B.X) - e.A.X, ey = static_cast<int64_t>(e.B.Y) - e.A.Y;
  const int64_t fx = static_cast<int64_t>(f.B.X) - f.A.X, fy = static_cast<int64_t>(f.B.Y) - f.A.Y;
  return ey != 0 && fy != 0 && std::abs(ex * fy - fx * ey) <= std::abs(ey * fy);
}

bool TUniter::Meet(uint32_t ei, uint32_t fi) {
  const TEdge& e = edges_[ei];
  const TEdge& f = edges_[fi];
  const bool same = e.Contour == f.Contour;
  if (same) {
    const TContour& c = contours_[e.Contour];
    const uint32_t i = ei - c.First, j = fi - c.First;
    if (i + 1 == j || j + 1 == i || (i == 0 && j + 1 == c.Count) || (j == 0 && i + 1 == c.Count)) return true;
  }
  const int64_t d1 = Orient(e.A, e.B, f.A), d2 = Orient(e.A, e.B, f.B);
  const int64_t d3 = Orient(f.A, f.B, e.A), d4 = Orient(f.A, f.B, e.B);
  const bool crossE = (d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0);
  const bool crossF = (d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0);
  if (crossE && crossF) {
    if (same) return false;  // a contour crossing itself
    // The clipper rounds where edges cross: a crossing is taken only on a
    // whole point, and only between edges that part quickly (see below).
    if (Level(e, f)) return false;
    const int64_t ex = static_cast<int64_t>(e.B.X) - e.A.X, ey = static_cast<int64_t>(e.B.Y) - e.A.Y;
    // e.A + (e.B - e.A) * d3 / (d3 - d4)
    const TWide den = static_cast<TWide>(d3) - d4;
    const TWide nx = static_cast<TWide>(e.A.X) * den + static_cast<TWide>(ex) * d3;
    const TWide ny = static_cast<TWide>(e.A.Y) * den + static_cast<TWide>(ey) * d3;
    if (nx % den != 0 || ny % den != 0) return false;
    const TPoint p{static_cast<int32_t>(nx / den), static_cast<int32_t>(ny / den)};
    Touch(ei, p);
    Touch(fi, p);
    return true;
  }
  // Nor where a vertex passes within a unit of another edge without lying on
  // it: there the clipper's rounding of the edge to the vertex's row may make
  // them meet.
  const auto near = [](const TEdge& g, TPoint v, int64_t o) {
    return o != 0 && v.Y > g.MinY && v.Y < g.MaxY && std::abs(o) < static_cast<int64_t>(g.MaxY) - g.MinY;
  };
  if (near(e, f.A, d1) || near(e, f.B, d2) || near(f, e.A, d3) || near(f, e.B, d4)) return false;
  const auto on = [](const TEdge& g, TPoint p) {
    return p.X >= g.MinX && p.X <= g.MaxX && p.Y >= g.MinY && p.Y <= g.MaxY;
  };
  const bool fa = d1 == 0 && on(e, f.A), fb = d2 == 0 && on(e, f.B);
  const bool ea = d3 == 0 && on(f, e.A), eb = d4 == 0 && on(f, e.B);
  if (!(fa || fb || ea || eb)) return true;
  if (same) return false;  // a contour touching itself
  if (!(d1 == 0 && d2 == 0) && Level(e, f)) return false;
  // Outlines that abut along a stroke (a shared edge run both ways) are left
  // to the clipper, which may keep such an edge as a seam between two holes.
  if (d1 == 0 && d2 == 0 &&
      (static_cast<int64_t>(e.B.X) - e.A.X) * (static_cast<int64_t>(f.B.X) - f.A.X) +
              (static_cast<int64_t>(e.B.Y) - e.A.Y) * (static_cast<int64_t>(f.B.Y) - f.A.Y) <
          0) {
    const bool alongX = e.MaxX - e.MinX >= e.MaxY - e.MinY;
    const int32_t lo = alongX ? std::max(e.MinX, f.MinX) : std::max(e.MinY, f.MinY);
    const int32_t hi = alongX ? std::min(e.MaxX, f.MaxX) : std::min(e.MaxY, f.MaxY);
    if (lo < hi) return false;
  }
  if (fa) Touch(ei, f.A), Touch(fi, f.A);
  if (fb) Touch(ei, f.B), Touch(fi, f.B);
  if (ea) Touch(fi, e.A), Touch(ei, e.A);
  if (eb) Touch(fi, e.B), Touch(ei, e.B);
  return true;
}

// A contour whose box does not hold the doubled point m winds zero times
// around it and around every point near it: its crossings of the ray cancel.
bool Holds(const TContour& c, TPoint m) {
  return 2 * static_cast<int64_t>(c.MinX) <= m.X && 2 * static_cast<int64_t>(c.MaxX) >= m.X &&
         2 * static_cast<int64_t>(c.MinY) <= m.Y && 2 * static_cast<int64_t>(c.MaxY) >= m.Y;
}

int TUniter::Keep(TPoint a, TPoint b, uint32_t self, bool& copy) const {
  copy = false;
  // Doubled coordinates: m is the midpoint of a and b.
  const TPoint m{a.X + b.X, a.Y + b.Y};
  const auto twice = [](TPoint p) { return TPoint{2 * p.X, 2 * p.Y}; };
  bool right = false, left = false;
  if (a.Y != b.Y) {
    // Just beside m in +x and in -x; edges through m lie along a -> b and
    // count only for the point on their -x side.
    int plus = 0, along = 0;
    for (const TContour& c : contours_) {
      if (!Holds(c, m)) continue;
      for (uint32_t k = c.First; k < c.First + c.Count; ++k) {
        const TEdge& g = edges_[k];
        if (g.A.Y == g.B.Y || 2 * static_cast<int64_t>(g.MinY) > m.Y ||
            2 * static_cast<int64_t>(g.MaxY) <= m.Y || 2 * static_cast<int64_t>(g.MaxX) < m.X)
          continue;
        const bool up = g.B.Y > g.A.Y;
        const int64_t o = Orient(twice(g.A), twice(g.B), m);
        if (o == 0) {
          along += up ? 1 : -1;
          copy = copy || g.Contour < self;
        } else if ((o > 0) == up)
          plus += up ? 1 : -1;
      }
    }
    const int minus = plus + along;
    right = (b.Y > a.Y ? plus : minus) != 0;
    left = (b.Y > a.Y ? minus : plus) != 0;
  } else {
    // Just above m and just below: the half-open rule of the ray taken from
    // either side of the line.
    int above = 0, below = 0;
    for (const TContour& c : contours_) {
      if (!Holds(c, m)) continue;
      for (uint32_t k = c.First; k < c.First + c.Count; ++k) {
        const TEdge& g = edges_[k];
        const int64_t lo = 2 * static_cast<int64_t>(g.MinY), hi = 2 * static_cast<int64_t>(g.MaxY);
        if (g.A.Y == g.B.Y) {
          copy = copy || (g.Contour < self && lo == m.Y && 2 * static_cast<int64_t>(g.MinX) < m.X &&
                          2 * static_cast<int64_t>(g.MaxX) > m.X);
          continue;
        }
        if (lo > m.Y || hi < m.Y || 2 * static_cast<int64_t>(g.MaxX) < m.X) continue;
        const bool up = g.B.Y > g.A.Y;
        const int64_t o = Orient(twice(g.A), twice(g.B), m);
        if (o == 0) return 2;  // cannot happen once every meeting is cut
        if ((o > 0) != up) continue;
        const int d = up ? 1 : -1;
        if (lo <= m.Y && m.Y < hi) above += d;
        if (lo < m.Y && m.Y <= hi) below += d;
      }
    }
    right = (b.X > a.X ? below : above) != 0;
    left = (b.X > a.X ? above : below) != 0;
  }
  if (right == left) return 0;
  return right ? 1 : -1;
}

bool TUniter::CutAndKeep() {
  std::sort(splits_.begin(), splits_.end(), [](const TSplit& x, const TSplit& y) {
    return x.Edge < y.Edge || (x.Edge == y.Edge && x.Along < y.Along);
  });
  kept_.clear();
  meetings_.clear();
  size_t s = 0;
  for (uint32_t ci = 0; ci < contours_.size(); ++ci) {
    const TContour& c = contours_[ci];
    int keep = 0;
    bool copy = false, first = true;
    size_t lastKept = SIZE_MAX;  // kept_ index of the previous piece, when kept
    // The previous piece ends where this one starts, a meeting when it is fresh.
    const auto meetingBehind = [&] {
      if (lastKept == SIZE_MAX) return;
      TKept& k = kept_[lastKept];
      (k.Reversed ? k.FromMeeting : k.ToMeeting) = true;
    };
    for (uint32_t k = c.First; k < c.First + c.Count; ++k) {
      const TEdge& e = edges_[k];
      const TEdge& before = edges_[k == c.First ? c.First + c.Count - 1 : k - 1];
      bool fresh = first || e.EventA || before.EventB;
      first = false;
      TPoint from = e.A;
      while (true) {
        while (s < splits_.size() && splits_[s].Edge == k && splits_[s].P == from) ++s;
        const bool last = s == splits_.size() || splits_[s].Edge != k;
        const TPoint to = last ? e.B : splits_[s].P;
        if (fresh) {
          meetingBehind();
          // Away from every other contour's box only the contour itself counts.
          const int32_t minX = std::min(from.X, to.X), maxX = std::max(from.X, to.X);
          const int32_t minY = std::min(from.Y, to.Y), maxY = std::max(from.Y, to.Y);
          bool alone = true;
          for (uint32_t o = 0; o < contours_.size() && alone; ++o) {
            const TContour& d = contours_[o];
            alone = o == ci || d.MinX > maxX || d.MaxX < minX || d.MinY > maxY || d.MaxY < minY;
          }
          if (alone) {
            keep = c.Clockwise ? 1 : -1;
            copy = false;
          } else {
            keep = Keep(from, to, ci, copy);
            if (keep == 2) return false;
          }
        }
        lastKept = SIZE_MAX;
        if (keep != 0 && !copy) {
          TKept piece;
          piece.Reversed = keep < 0;
          piece.From = piece.Reversed ? to : from;
          piece.To = piece.Reversed ? from : to;
          (piece.Reversed ? piece.ToMeeting : piece.FromMeeting) = fresh;
          lastKept = kept_.size();
          kept_.push_back(piece);
        }
        if (last) break;
        from = to;
        fresh = true;
      }
    }
    meetingBehind();  // the contour's first piece is always fresh
  }
  return true;
}

bool TUniter::Chain(std::vector<TUnitedPiece>& pieces) {
  // Only pieces starting at meetings are looked up; one place where the
  // outline touches itself (two ways on) is left to the clipper.
  meetings_.clear();
  for (uint32_t i = 0; i < kept_.size(); ++i)
    if (kept_[i].FromMeeting) meetings_.emplace_back(kept_[i].From, i);
  std::sort(meetings_.begin(), meetings_.end(),
            [](const auto& x, const auto& y) { return Less(x.first, y.first); });
  for (size_t i = 1; i < meetings_.size(); ++i)
    if (meetings_[i].first == meetings_[i - 1].first) return false;
  next_.assign(kept_.size(), 0);
  for (size_t i = 0; i < kept_.size(); ++i) {
    const TKept& k = kept_[i];
    if (!k.ToMeeting) {
      next_[i] = static_cast<uint32_t>(k.Reversed ? i - 1 : i + 1);
      continue;
    }
    const auto it = std::lower_bound(meetings_.begin(), meetings_.end(), k.To,
                                     [](const auto& m, TPoint q) { return Less(m.first, q); });
    if (it == meetings_.end() || !(it->first == k.To)) return false;  // not closed: not foreseen
    next_[i] = it->second;
  }
  // Every kept piece is used once; its place in next_ is marked when taken.
  constexpr uint32_t kTaken = UINT32_MAX;
  pieces.clear();
  holes_.clear();
  std::vector<TPoint> cycle;
  for (size_t i = 0; i < kept_.size(); ++i) {
    if (next_[i] == kTaken) continue;
    size_t length = 1;
    for (size_t k = next_[i]; k != i && length <= kept_.size(); k = next_[k]) ++length;
    cycle.clear();
    cycle.reserve(length + 1);
    for (size_t k = i; next_[k] != kTaken;) {
      cycle.push_back(kept_[k].From);
      const size_t n = next_[k];
      next_[k] = kTaken;
      k = n;
    }
    Tidy(cycle);
    if (cycle.empty()) continue;
    // Outer contours run clockwise (negative area, y up), holes the other way.
    const TWide area = Area2(cycle);
    if (area == 0) return false;
    if (area < 0) {
      pieces.emplace_back();
      pieces.back().push_back(std::move(cycle));
      areas_.resize(pieces.size());
      areas_.back() = area;
    } else {
      holes_.push_back(std::move(cycle));
    }
    cycle = std::vector<TPoint>();
  }
  // A hole belongs to the smallest outer contour around it.
  const auto inside = [](const std::vector<TPoint>& c, TPoint p) {
    int w = 0;
    for (size_t k = 0; k < c.size(); ++k) {
      const TPoint a = c[k], b = c[k + 1 == c.size() ? 0 : k + 1];
      if (a.Y <= p.Y) {
        if (b.Y > p.Y && Orient(a, b, p) > 0) ++w;
      } else if (b.Y <= p.Y && Orient(a, b, p) < 0) {
        --w;
      }
    }
    return w != 0;
  };
  for (std::vector<TPoint>& hole : holes_) {
    size_t parent = SIZE_MAX;
    for (size_t o = 0; o < pieces.size(); ++o) {
      if (parent != SIZE_MAX && -areas_[o] >= -areas_[parent]) continue;
      if (inside(pieces[o].front(), hole.front())) parent = o;
    }
    if (parent == SIZE_MAX) return false;
    pieces[parent].push_back(std::move(hole));
  }
  for (TUnitedPiece& piece : pieces)
    for (std::vector<TPoint>& c : piece) c.push_back(c.front());
  return true;
}

void TUniter::SortByLowestPoint() {
  // Counted into at most 64 bands of y, then put in order within them.
  int32_t low = INT32_MAX, high = INT32_MIN;
  for (const TEdge& e : edges_) {
    low = std::min(low, e.MinY);
    high = std::max(high, e.MinY);
  }
  const size_t n = edges_.size();
  order_.resize(n);
  if (n == 0) return;
  uint32_t shift = 0;
  while ((static_cast<uint32_t>(high - low) >> shift) >= 64) ++shift;
  uint32_t count[65] = {};
  for (const TEdge& e : edges_) ++count[(static_cast<uint32_t>(e.MinY - low) >> shift) + 1];
  for (size_t k = 1; k < 65; ++k) count[k] += count[k - 1];
  for (uint32_t i = 0; i < n; ++i) order_[count[static_cast<uint32_t>(edges_[i].MinY - low) >> shift]++] = i;
  for (size_t i = 1; i < n; ++i) {
    const uint32_t e = order_[i];
    const int32_t y = edges_[e].MinY;
    size_t j = i;
    for (; j > 0 && edges_[order_[j - 1]].MinY > y; --j) order_[j] = order_[j - 1];
    order_[j] = e;
  }
}

bool TUniter::Run(const std::vector<const std::vector<TPoint>*>& contours,
                  std::vector<TUnitedPiece>& pieces) {
  if (!AddContours(contours)) return false;
  // Edges swept upwards by their lowest point: each meets only those still
  // active whose x range reaches it.
  SortByLowestPoint();
  active_.clear();
  splits_.clear();
  for (uint32_t e : order_) {
    const TEdge& edge = edges_[e];
    const int32_t minX = edge.MinX - 1, maxX = edge.MaxX + 1;
    for (size_t k = 0; k < active_.size();) {
      const TActive& f = active_[k];
      if (f.MaxY < edge.MinY) {
        active_[k] = active_.back();
        active_.pop_back();
        continue;
      }
      if (f.MinX <= maxX && minX <= f.MaxX && !Meet(e, f.Edge)) return false;
      ++k;
    }
    active_.push_back(TActive{edge.MaxY, edge.MinX, edge.MaxX, e});
  }
  return CutAndKeep() && Chain(pieces);
}

}  // namespace

bool UniteExactly(const std::vector<const std::vector<TPoint>*>& contours,
                  std::vector<TUnitedPiece>& pieces) {
  thread_local TUniter uniter;
  return uniter.Run(contours, pieces);
}

}  // namespace vantrix
