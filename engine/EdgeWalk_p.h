#pragma once
// The walk along one edge of a face: for each row y of yMin..yMax, rows the
// edge spans (from.Y != to.Y), store(y, x, shade, depth) with the values
//   x     = RoundInt(t * dx / dy + x0)
//   shade = RoundInt(t * dShade / dy + shade0)
//   depth = float(dist0 + t * dDepth / dy)
// in double, t = y - from.Y and the differences taken in float, which is what
// pictures have always been made of. A row may be stored twice; the last
// values stored for it are the right ones.

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>

#include "platform/Geometry.h"
#include "platform/Rounding.h"

namespace vantrix {

struct TEdgeEnd {
  TPoint P;
  float Dist2;
  int32_t Shade;
};

// Without shades (kShades false), shade is passed as 0 and costs nothing: flat
// faces take their shade from the face.
template <bool kShades = true, class Store>
void WalkEdge(const TEdgeEnd& from, const TEdgeEnd& to, int64_t yMin, int64_t yMax, Store store) {
  const float dx = static_cast<float>(to.P.X - from.P.X);
  const float dy = static_cast<float>(to.P.Y - from.P.Y);
  const float dShade = static_cast<float>(to.Shade - from.Shade);
  const float dDepth = static_cast<float>(static_cast<double>(to.Dist2) - from.Dist2);
  if (yMin > yMax) return;
  // Two rows at a time: a pair of divisions costs about as much as one. Each
  // lane does exactly the scalar arithmetic.
  typedef double V2d __attribute__((vector_size(16)));
  auto both = [](double v) { return V2d{v, v}; };
  const V2d vdy = both(dy), vDepth = both(dDepth), dist0 = both(from.Dist2);

  const V2d vdx = both(dx), vShade = both(dShade);
  const V2d x0 = both(from.P.X), shade0 = both(from.Shade);
  // The second row of a pair is stored first, at yMax when it lies past the
  // end, where the first then overwrites it: no branch on the parity of the
  // length.
  auto walk = [&](auto round) {
    for (int64_t y = yMin; y <= yMax; y += 2) {
      const V2d t = {static_cast<double>(y - from.P.Y), static_cast<double>(y + 1 - from.P.Y)};
      const V2d x = t * vdx / vdy + x0;
      const V2d dist = dist0 + t * vDepth / vdy;
      alignas(16) int32_t xi[4], shadei[4] = {};
      round(x, xi);
      if constexpr (kShades) round(t * vShade / vdy + shade0, shadei);
      store(std::min(y + 1, yMax), xi[1], shadei[1], static_cast<float>(dist[1]));
      store(y, xi[0], shadei[0], static_cast<float>(dist[0]));
    }
  };

  constexpr int32_t kLimit = 1 << 24;
  auto near = [](int32_t v) { return v >= -kLimit && v <= kLimit; };
  if (near(from.P.X) && near(to.P.X) && near(from.P.Y) && near(to.P.Y) && near(from.Shade) &&
      near(to.Shade)) {
    // In range the values convert with one instruction, rounding as RoundInt
    // does (nearest, halves to even; neither saturation nor NaN can occur).
    walk([](V2d v, int32_t* out) {
      _mm_store_si128(reinterpret_cast<__m128i*>(out), _mm_cvtpd_epi32(reinterpret_cast<__m128d>(v)));
    });
  } else {
    // Far outside the picture: RoundInt saturates.
    walk([](V2d v, int32_t* out) {
      out[0] = RoundInt(v[0]);
      out[1] = RoundInt(v[1]);
    });
  }
}

}  // namespace vantrix
