#pragma once
// Builders of simple extruded bodies for the engine tests.

#include <vector>

#include "engine/Render3D.h"

namespace vantrix::testing {

// Extrudes closed contours (clockwise outer, counter-clockwise holes, y up) from
// the front plane Y = -front to the back plane Y = -back, the way the scene
// builds letters: contours on the front plane, wall quads, and last a cap face
// on the front plane whose first point lies on the cap.
inline void BuildPrism(TBody& body, const std::vector<std::vector<TPoint>>& contours, int front, int back) {
  int minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30);
  for (const auto& c : contours) {
    std::vector<TPoint> closed = c;
    closed.push_back(c.front());
    body.AddContour(closed.data(), static_cast<int>(closed.size()), front);
    for (size_t i = 0; i + 1 < closed.size(); ++i) {
      const TPoint p = closed[i], q = closed[i + 1];
      body.AddFace({p.X, -front, p.Y}, {q.X, -front, q.Y}, {q.X, -back, q.Y}, {p.X, -back, p.Y});
      minX = std::min(minX, p.X);
      maxX = std::max(maxX, p.X);
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
  }
  body.AddFace({minX, -front, maxY}, {minX, -front, minY}, {maxX, -front, minY}, {maxX, -front, maxY});
}

// A clockwise (y up) axis-aligned rectangle.
inline std::vector<TPoint> RectCW(int x1, int y1, int x2, int y2) {
  return {{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}};
}
inline std::vector<TPoint> RectCCW(int x1, int y1, int x2, int y2) {
  return {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
}

}  // namespace vantrix::testing
