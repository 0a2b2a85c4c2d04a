#include "scene/Letter.h"

#include <algorithm>

namespace vantrix {

void TLetter::AppendContour(const TPoint* points, int count) {
  if (ContourCount() >= kMaxContours) return;
  Contours.emplace_back(points, points + std::max(count, 0));
}

void TLetter::UpdateBounds() {
  if (Contours.empty() || Contours.back().empty()) return;
  // Start from the first point there is (the first contour may be empty).
  const TPoint* first = nullptr;
  for (const auto& c : Contours)
    if (!c.empty()) {
      first = &c.front();
      break;
    }
  Left = Right = first->X;
  Top = Bottom = first->Y;
  for (const auto& c : Contours)
    for (const TPoint& p : c) {
      Left = std::min(Left, p.X);
      Right = std::max(Right, p.X);
      Top = std::max(Top, p.Y);
      Bottom = std::min(Bottom, p.Y);
    }
}

}  // namespace vantrix
