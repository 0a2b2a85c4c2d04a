// The button: an outline around the caption's extent plus the margins (one of
// the built-in kinds, or a shape file), extruded into the last body with its
// panel at the letters' base and a stepped rim around it: wall, bevel, ring
// and a skirt sloping back to 4 * ButW along the button's bevel profile.
//
// The built-in outlines start at the left or top-left and run clockwise with y
// up, the orientation of outer glyph contours, so the rim is pushed outward.

#include <algorithm>
#include <cmath>

#include "platform/Rounding.h"
#include "scene/LetterGeometry.h"
#include "scene/Scene.h"

namespace vantrix {

void TScene::MakeOutline() {
  TRect r = View3D.ModelBounds();
  r.Left = ClampToInt32(static_cast<int64_t>(r.Left) - Params.GutLeft - 1);
  r.Top = ClampToInt32(static_cast<int64_t>(r.Top) + Params.GutTop + 1);
  r.Right = ClampToInt32(static_cast<int64_t>(r.Right) + Params.GutRight + 1);
  r.Bottom = ClampToInt32(static_cast<int64_t>(r.Bottom) - Params.GutBottom - 1);
  if (Params.HoldButtonSize) {
    r = TRect{Params.ButLeft, Params.ButTop, Params.ButRight, Params.ButBottom};
  } else {
    Params.ButLeft = r.Left;
    Params.ButTop = r.Top;
    Params.ButRight = r.Right;
    Params.ButBottom = r.Bottom;
  }
  PointCount = 0;
  const double L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  const double H = T - B + 1, W = R - L + 1;
  auto add = [this](double x, double y) {
    if (PointCount < kMaxPoints) Points[PointCount++] = TPoint{RoundInt(x), RoundInt(y)};
  };
  const int64_t splPnt = Params.SplPnt;

  switch (Params.ButType) {
    case 1:
      add(L, T), add(R, T), add(R, B), add(L, B), add(L, T);
      break;
    case 2:
    case 3: {
      const int k = Params.ButType == 2 ? 4 : 8;
      const float rho = static_cast<float>(std::sqrt(2.0) * H / k);
      const float s = static_cast<float>(rho / std::sqrt(2.0));
      const int64_t m = std::max<int64_t>(2 * splPnt + 1, 0);
      const int64_t arc = std::min<int64_t>(m, kMaxPoints);  // the rest would be dropped anyway
      auto theta = [m](int64_t i) { return i * M_PI / (2.0 * (m + 1)); };
      add(L + s, T - s + rho), add(R - s, T - s + rho);
      for (int64_t i = 1; i <= arc; ++i)
        add(R - s + rho * std::sin(theta(i)), T - s + rho * std::cos(theta(i)));
      add(R - s + rho, T - s), add(R - s + rho, B + s);
      for (int64_t i = 1; i <= arc; ++i)
        add(R - s + rho * std::cos(theta(i)), B + s - rho * std::sin(theta(i)));
      add(R - s, B + s - rho), add(L + s, B + s - rho);
      for (int64_t i = 1; i <= arc; ++i)
        add(L + s - rho * std::sin(theta(i)), B + s - rho * std::cos(theta(i)));
      add(L + s - rho, B + s), add(L + s - rho, T - s);
      for (int64_t i = 1; i <= arc; ++i)
        add(L + s - rho * std::cos(theta(i)), T - s + rho * std::sin(theta(i)));
      add(L + s, T - s + rho);
      break;
    }
    case 4:
    case 5: {
      const int k = Params.ButType == 4 ? 8 : 16;
      const double a = static_cast<double>(static_cast<int64_t>(H) / k);
      add(L - a, T - a), add(L + a, T + a), add(R - a, T + a), add(R + a, T - a), add(R + a, B + a);
      add(R - a, B - a), add(L + a, B - a), add(L - a, B + a), add(L - a, T - a);
      break;
    }
    case 6:
    case 7: {
      if (Params.ButType == 6 && H == 0) break;
      const int64_t n = 8 * splPnt + 24;
      if (n <= 0) break;  // only a damaged work has a detail this low
      const double cx = static_cast<double>((static_cast<int64_t>(r.Left) + r.Right) / 2);
      const double cy = static_cast<double>((static_cast<int64_t>(r.Top) + r.Bottom) / 2);
      const double rx = Params.ButType == 6 ? 1.3 * W / 2 : std::sqrt(H * H + W * W) / 2;
      const double ry = Params.ButType == 6 ? 1.3 * H / 2 : rx;
      for (int64_t i = 0; i <= n && PointCount < kMaxPoints; ++i) {
        const double theta = 2.0 * i * M_PI / n;
        add(cx - rx * std::cos(theta), cy + ry * std::sin(theta));
      }
      break;
    }
    case 8:
    case 16:
      if (!Params.ShapeName.empty()) {
        const std::string file = FindShapeFile(AppPath + "BShapes/", Params.ShapeName);
        try {
          if (!file.empty() && Shape.LoadFromFile(file)) Shape.BuildOutline(r, Points.data(), PointCount);
        } catch (const TShapeError& e) {
          Message(e.what());  // a damaged shape file: the button has no outline
        }
      }
      break;
    default:
      break;
  }
}

void TScene::BuildButton() {
  TRect r = View3D.ModelBounds();
  r.Left = ClampToInt32(static_cast<int64_t>(r.Left) - Params.GutLeft);
  r.Top = ClampToInt32(static_cast<int64_t>(r.Top) + Params.GutTop);
  r.Right = ClampToInt32(static_cast<int64_t>(r.Right) + Params.GutRight);
  r.Bottom = ClampToInt32(static_cast<int64_t>(r.Bottom) - Params.GutBottom);

  TLetter outline;
  outline.AppendContour(Points.data(), PointCount);
  const int index = View3D.AddBody();
  if (index == 0) return;
  TBody& body = View3D.Body(index);
  const int32_t butW = Params.ButW;
  const int32_t panel = ClampToInt32(-static_cast<int64_t>(Params.ButY));
  const int32_t w = ClampToInt32(-(static_cast<int64_t>(butW) * Params.ButY) / 100);
  const int32_t skirt = ClampToInt32(4 * static_cast<int64_t>(butW));
  const int32_t d2 = ClampToInt32(2 * static_cast<int64_t>(butW));
  const int32_t d8 = ClampToInt32(8 * static_cast<int64_t>(butW));
  auto at = [](TPoint p, int32_t depth) { return TPoint3{p.X, depth, p.Y}; };

  const int32_t profile = Params.ButProfile;
  const int rings = BevelRings(profile);
  const int n = PointCount;
  if (profile != kProfileStraight) {
    const int64_t edges = std::max(n - 1, 0);
    body.SetLimits(std::max<int>(static_cast<int>(edges * (3 + rings) + 1), TBody::kMaxFaces),
                   std::max<int>(static_cast<int>(edges * (rings + 4) + n + 4), TBody::kMaxVertices));
  }
  body.AddContour(Points.data(), PointCount, Params.ButY);
  if (HasDistinctPoints(outline, 1)) {
    for (int c = 1; c <= n - 1; ++c) {
      const TPoint a = PointAt(outline, 1, c);
      int cp = c, cb = c;
      const TPoint p = PrevDistinct(outline, 1, cp);
      const TPoint b = NextDistinct(outline, 1, cb);
      const TPoint q = NextDistinct(outline, 1, cb);
      const TPoint a1 = OffsetCorner(p, a, b, butW), b1 = OffsetCorner(a, b, q, butW);
      const TPoint a2 = OffsetCorner(p, a, b, d2), b2 = OffsetCorner(a, b, q, d2);
      const TPoint a3 = OffsetCorner(p, a, b, d8), b3 = OffsetCorner(a, b, q, d8);
      body.AddFace(at(a, panel), at(b, panel), at(b, w), at(a, w));  // wall
      body.AddFace(at(a, w), at(b, w), at(b1, 0), at(a1, 0));        // bevel
      body.AddFace(at(a1, 0), at(b1, 0), at(b2, 0), at(a2, 0));      // ring
      // The skirt, ring by ring along the profile; its last ring is the
      // straight skirt's outer edge.
      TPoint ra = a2, rb = b2;
      int32_t rd = 0;
      for (int k = 1; k <= rings; ++k) {
        TPoint ka = a3, kb = b3;
        int32_t kd = skirt;
        if (k < rings) {
          int32_t offset;
          RingPlace(profile, k, ClampToInt32(static_cast<int64_t>(d8) - d2), skirt, offset, kd);
          const int32_t d = ClampToInt32(static_cast<int64_t>(d2) + offset);
          ka = OffsetCorner(p, a, b, d), kb = OffsetCorner(a, b, q, d);
        }
        body.AddFace(at(ra, rd), at(rb, rd), at(kb, kd), at(ka, kd));
        ra = ka, rb = kb, rd = kd;
      }
    }
  }
  body.AddFace({r.Left, panel, r.Top}, {r.Left, panel, r.Bottom}, {r.Right, panel, r.Bottom},
               {r.Right, panel, r.Top});
}

}  // namespace vantrix
