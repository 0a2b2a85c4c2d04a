#pragma once
// The native outline buffer: a glyph's contours as polygon and curve records, in
// the layout of NativeOutlineFormat.h.
//
// How contours are written, which the reader relies on:
//  - a polygon starts on an on-curve point;
//  - a line record holds consecutive straight pieces, one end point each;
//  - a spline record holds a run of quadratic control points and ends on the on-curve
//    end point; the on-curve midpoints between consecutive controls are implied, not
//    written (ImpliedMidpoint makes them);
//  - the closing straight edge back to the start is implied, while a contour closed by
//    a curve ends with that curve's record, whose last point is the start again.
// Cubic arcs become quadratic pieces, each its own two-point spline record, that stay
// within kCubicTolerance of the cubic.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <vector>

#include "platform/NativeOutlineFormat.h"

namespace vantrix {

// 1/16 pixel in 16.16: well below what the letters' integer glyph units can show.
constexpr int32_t kCubicTolerance = kFixedOne / 16;

// Encodes a FreeType outline (26.6 pixel coordinates, y up) as the native buffer.
// `reverse` turns every contour around, for fonts whose outer contours run the other way.
// Damaged outlines do not fail: a contour that runs past the points or backwards ends
// the outline, contours that enclose nothing (fewer than two distinct points) are
// left out, and tag sequences FreeType itself would reject are read leniently
// (control points that do not form a cubic pair count as quadratic controls).
// Coordinates beyond the 16.16 range saturate.
std::vector<uint8_t> NativeOutlineFromFt(const FT_Outline& outline, bool reverse);

}  // namespace vantrix
