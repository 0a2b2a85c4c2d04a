#pragma once
// Walking the closed contours of a letter and pushing their corners outward:
// the pieces the bevelled letters and the button rim are made of.

#include <cstdint>

#include "platform/Geometry.h"
#include "scene/Letter.h"

namespace vantrix {

// The point at position c of contour j (both 1-based). A contour of n stored
// points repeats with period n - 1 (its last point is its first), and contour
// numbers wrap over the letter's contours.
TPoint PointAt(const TLetter& letter, int j, int c);
// Step c forward (backward) until the point differs from the one at c, and
// return it; c is left at its position. The contour must hold two distinct
// points (HasDistinctPoints), or the walk stops after one round where it began.
TPoint NextDistinct(const TLetter& letter, int j, int& c);
TPoint PrevDistinct(const TLetter& letter, int j, int& c);
bool HasDistinctPoints(const TLetter& letter, int j);

// The corner at B of the path A -> B -> C with both edges pushed d to their
// left (y up), which for clockwise outer contours is away from the filled
// area. The step counts twice in x: a vertical edge moves 2d, a horizontal d.
TPoint OffsetCorner(TPoint a, TPoint b, TPoint c, int32_t d);

}  // namespace vantrix
