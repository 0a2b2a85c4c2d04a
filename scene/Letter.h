#pragma once
// TLetter: one caption character (or, while the button is built, the button
// outline) as up to eight closed integer contours in glyph units, y up. A
// contour's last point repeats its first, so n stored points make n - 1 edges.

#include <cstdint>
#include <vector>

#include "platform/Geometry.h"

namespace vantrix {

class TLetter {
 public:
  static constexpr int kMaxContours = 8;

  // Ignored once the letter holds 8 contours.
  void AppendContour(const TPoint* points, int count);
  // Smallest and largest x and y over all points; unchanged for a letter
  // without points.
  void UpdateBounds();

  int ContourCount() const { return static_cast<int>(Contours.size()); }
  // Contour j, 1-based.
  const std::vector<TPoint>& Contour(int j) const { return Contours[j - 1]; }

  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  std::vector<std::vector<TPoint>> Contours;
};

}  // namespace vantrix
