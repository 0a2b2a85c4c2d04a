// Letters become bodies: the contours as caps at the front, a bevel band that
// widens the outline by TxtW while it steps back, a wall down to the button's
// panel, and last the cap plane that gives the caps their depth and shade.
// Every quad runs (a, b, b', a'): a -> b follows the contour and b', a' are the
// matching points of the next ring, so face normals come out the same way for
// every contour.

#include "scene/LetterGeometry.h"

#include <algorithm>
#include <cmath>

#include "platform/Rounding.h"
#include "scene/Scene.h"

namespace vantrix {

namespace {

int WrapOnce(int v, int period, int count) {
  if (v > count) v -= period;
  if (v <= 0) v += period;
  // Only a contour of pathological duplicates gets here from the walks below.
  if (v < 1 || v > count) v = ((v - 1) % period + period) % period + 1;
  return v;
}

}  // namespace

TPoint PointAt(const TLetter& letter, int j, int c) {
  const int contours = letter.ContourCount();
  if (contours == 0) return TPoint{};
  j = WrapOnce(j, contours, contours);
  const auto& pts = letter.Contour(j);
  const int n = static_cast<int>(pts.size());
  if (n == 0) return TPoint{};
  if (n == 1) return pts[0];
  return pts[WrapOnce(c, n - 1, n) - 1];
}

bool HasDistinctPoints(const TLetter& letter, int j) {
  if (j < 1 || j > letter.ContourCount()) return false;
  const auto& pts = letter.Contour(j);
  return std::any_of(pts.begin(), pts.end(), [&](const TPoint& p) { return !(p == pts.front()); });
}

TPoint NextDistinct(const TLetter& letter, int j, int& c) {
  const TPoint start = PointAt(letter, j, c);
  const int limit =
      c + static_cast<int>(j >= 1 && j <= letter.ContourCount() ? letter.Contour(j).size() : 0) + 1;
  TPoint p = start;
  while (p == start && c < limit) p = PointAt(letter, j, ++c);
  return p;
}

TPoint PrevDistinct(const TLetter& letter, int j, int& c) {
  const TPoint start = PointAt(letter, j, c);
  const int limit =
      c - static_cast<int>(j >= 1 && j <= letter.ContourCount() ? letter.Contour(j).size() : 0) - 1;
  TPoint p = start;
  while (p == start && c > limit) p = PointAt(letter, j, --c);
  return p;
}

// Single precision for the named values, as the geometry has always been
// computed; the expressions themselves are evaluated in double.
TPoint OffsetCorner(TPoint a, TPoint b, TPoint c, int32_t d) {
  const float dx1 = static_cast<float>(static_cast<double>(a.X) - b.X);
  const float dy1 = static_cast<float>(static_cast<double>(a.Y) - b.Y);
  const float dx2 = static_cast<float>(static_cast<double>(b.X) - c.X);
  const float dy2 = static_cast<float>(static_cast<double>(b.Y) - c.Y);
  const float l1 =
      static_cast<float>(std::sqrt(static_cast<double>(dx1) * dx1 + static_cast<double>(dy1) * dy1));
  const float l2 =
      static_cast<float>(std::sqrt(static_cast<double>(dx2) * dx2 + static_cast<double>(dy2) * dy2));
  if (!(l1 > 0) || !(l2 > 0)) return b;  // an edge without length has no side to push
  const double dd = d;
  const float p1x = static_cast<float>(a.X + 2 * dd * dy1 / l1);
  const float p1y = static_cast<float>(a.Y - dd * dx1 / l1);
  const float p2x = static_cast<float>(c.X + 2 * dd * dy2 / l2);
  const float p2y = static_cast<float>(c.Y - dd * dx2 / l2);
  const float det = static_cast<float>(static_cast<double>(dy2) * dx1 - static_cast<double>(dy1) * dx2);
  if (det == 0) {
    return TPoint{RoundInt((static_cast<double>(p1x) + p2x) / 2),
                  RoundInt((static_cast<double>(p1y) + p2y) / 2)};
  }
  const double x = ((static_cast<double>(p1y) - p2y) * dx1 * dx2 - static_cast<double>(p1x) * dy1 * dx2 +
                    static_cast<double>(p2x) * dy2 * dx1) /
                   det;
  const double y = ((static_cast<double>(p2x) - p1x) * dy1 * dy2 - static_cast<double>(p2y) * dy1 * dx2 +
                    static_cast<double>(p1y) * dy2 * dx1) /
                   det;
  return TPoint{RoundInt(x), RoundInt(y)};
}

// Eight rings cut a quarter circle into steps of 11.25 degrees: on the
// bevels of exported buttons, a few pixels wide even at three times the size,
// smooth shading across them shows no facets.
constexpr int kRoundRings = 8;

int BevelRings(int32_t profile) {
  switch (profile) {
    case kProfileRound:
    case kProfileCove:
      return kRoundRings;
    case kProfileSteps:
      return 4;
    default:
      return 1;
  }
}

TBevelRing BevelRing(int32_t profile, int k) {
  const int rings = BevelRings(profile);
  k = std::clamp(k, 0, rings);
  const double angle = M_PI / 2 * k / rings;
  switch (profile) {
    case kProfileRound:  // leaves the cap level and meets the wall upright
      return {std::sin(angle), 1 - std::cos(angle)};
    case kProfileCove:  // leaves the cap upright and meets the outer ring level
      return {1 - std::cos(angle), std::sin(angle)};
    case kProfileSteps: {
      // A steep riser, a level tread, twice.
      static constexpr TBevelRing kSteps[] = {{0, 0}, {0.1, 0.5}, {0.5, 0.5}, {0.6, 1}, {1, 1}};
      return kSteps[k];
    }
    default:
      return k == 0 ? TBevelRing{} : TBevelRing{1, 1};
  }
}

void RingPlace(int32_t profile, int k, int32_t width, int32_t depth, int32_t& offset, int32_t& back) {
  if (k >= BevelRings(profile)) {
    offset = width;
    back = depth;
    return;
  }
  const TBevelRing r = BevelRing(profile, k);
  offset = RoundInt(width * r.Width);
  back = RoundInt(depth * r.Depth);
}

void TScene::Normalize() {
  const TCaptionExtent& e = CaptionExtent;
  const int64_t w = static_cast<int64_t>(e.MaxX) - e.MinX + 1;
  const int64_t h = static_cast<int64_t>(e.MaxY) - e.MinY + 1;
  const int64_t halfW = w / 2, halfH = h / 2;
  for (auto& letter : Letters) {
    for (auto& contour : letter->Contours)
      for (TPoint& p : contour) {
        p.X = ClampToInt32(p.X - static_cast<int64_t>(e.MinX) - halfW);
        p.Y = ClampToInt32(p.Y - static_cast<int64_t>(e.MaxY) - 1 + halfH);
      }
    letter->UpdateBounds();
  }
}

void TScene::BuildLetters() {
  View3D.Clear();
  const int32_t txtW = Params.TxtW;
  const int32_t front = ClampToInt32(-(static_cast<int64_t>(Params.ButY) + Params.TxtY));  // e
  const int32_t bevelEnd = ClampToInt32(static_cast<int64_t>(front) + txtW);
  const int32_t base = ClampToInt32(-static_cast<int64_t>(Params.ButY));
  const bool walls = Params.TxtY > 10;
  const int32_t profile = Params.TxtProfile;
  const int rings = BevelRings(profile);
  auto at = [](TPoint p, int32_t depth) { return TPoint3{p.X, depth, p.Y}; };
  for (int i = 1; i <= LetterCount(); ++i) {
    const int index = View3D.AddBody();
    if (index == 0) break;
    TBody& body = View3D.Body(index);
    const TLetter& letter = Letter(i);
    if (profile != kProfileStraight) {
      // Room for every ring of every edge: faces beyond a body's room would be
      // dropped, the cap plane with them.
      int64_t edges = 0;
      for (int j = 1; j <= letter.ContourCount(); ++j)
        edges += std::max<int64_t>(static_cast<int64_t>(letter.Contour(j).size()) - 1, 0);
      const int64_t faces = edges * (rings + (walls ? 1 : 0)) + 1;
      const int64_t vertices = edges * (rings + 2) + 4;
      body.SetLimits(static_cast<int>(std::clamp<int64_t>(faces, TBody::kMaxFaces, INT32_MAX)),
                     static_cast<int>(std::clamp<int64_t>(vertices, TBody::kMaxVertices, INT32_MAX)));
    }
    for (int j = 1; j <= letter.ContourCount(); ++j) {
      // A contour whose points all coincide has no edge to bevel.
      if (!HasDistinctPoints(letter, j)) continue;
      const auto& pts = letter.Contour(j);
      const int n = static_cast<int>(pts.size());
      body.AddContour(pts.data(), n, -front);
      for (int c = 1; c <= n - 1; ++c) {
        const TPoint a = PointAt(letter, j, c);
        int cp = c, cb = c;
        const TPoint p = PrevDistinct(letter, j, cp);
        const TPoint b = NextDistinct(letter, j, cb);
        const TPoint q = NextDistinct(letter, j, cb);
        // Ring by ring from the cap's edge; the last ring is the straight
        // bevel's end, whatever the profile.
        TPoint a0 = a, b0 = b;
        int32_t d0 = front;
        for (int k = 1; k <= rings; ++k) {
          int32_t offset = txtW, depth = bevelEnd;
          if (k < rings) {
            int32_t back;
            RingPlace(profile, k, txtW, txtW, offset, back);
            depth = ClampToInt32(static_cast<int64_t>(front) + back);
          }
          const TPoint a1 = OffsetCorner(p, a, b, offset);
          const TPoint b1 = OffsetCorner(a, b, q, offset);
          body.AddFace(at(a0, d0), at(b0, d0), at(b1, depth), at(a1, depth));
          a0 = a1, b0 = b1, d0 = depth;
        }
        if (walls) body.AddFace(at(a0, bevelEnd), at(b0, bevelEnd), at(b0, base), at(a0, base));
      }
    }
    AddCapPlane(body, letter);
  }
}

void TScene::AddCapPlane(TBody& body, const TLetter& letter) {
  const int32_t y = ClampToInt32(-static_cast<int64_t>(Params.TxtY));
  body.AddFace({letter.Left, y, letter.Top}, {letter.Left, y, letter.Bottom},
               {letter.Right, y, letter.Bottom}, {letter.Right, y, letter.Top});
}

}  // namespace vantrix
