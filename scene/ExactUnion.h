#pragma once
// The union (non-zero fill) of integer contours for the common case of joined
// glyphs: outlines that overlap along shared strokes, meet at vertices and
// cross on whole points. No point is rounded, so the result is exactly the
// boundary of the united area, which is what the general polygon clipper gives
// for such input, contour for contour; any input outside that case (edges that
// cross between whole points or nearly in parallel, a vertex within a unit of
// an edge it is not on, a contour touching itself, outlines that abut or meet
// in a single point, very large coordinates) is refused and left to the
// clipper.
//
// Conventions as for glyph outlines: y up, outer contours clockwise, holes the
// other way, and each contour ending on its first point. Collinear and repeated
// points are removed, as the clipper removes them.

#include <vector>

#include "platform/Geometry.h"

namespace vantrix {

// One outer contour and its holes, the outer one first.
using TUnitedPiece = std::vector<std::vector<TPoint>>;

// The union of `contours` (each closed or not; fewer than three distinct
// points make no area) as pieces, or false (and `pieces` unspecified) when the
// input is outside the case described above. Pieces come in no particular
// order, and a contour may start at any of its points.
bool UniteExactly(const std::vector<const std::vector<TPoint>*>& contours, std::vector<TUnitedPiece>& pieces);

}  // namespace vantrix
