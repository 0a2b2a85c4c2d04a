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

// Bevel profiles (Message.Profile for the letters, Button.Profile for the
// button's skirt): the band between a cap's edge and its outer ring is cut
// into rings, ring k (1..BevelRings) at a share of the band's width and of
// its depth, from (0, 0) at the edge to (1, 1) at the outer ring, where a
// straight bevel ends. Smooth shading blends the normals across the rings.
enum TBevelProfile : int32_t { kProfileStraight = 0, kProfileRound = 1, kProfileCove = 2, kProfileSteps = 3 };
struct TBevelRing {
  double Width = 0;  // 0..1
  double Depth = 0;  // 0..1
};
int BevelRings(int32_t profile);
TBevelRing BevelRing(int32_t profile, int k);
// Ring k's offset and depth over a band `width` wide and `depth` deep, in
// whole units; the last ring exactly (width, depth).
void RingPlace(int32_t profile, int k, int32_t width, int32_t depth, int32_t& offset, int32_t& back);

}  // namespace vantrix
