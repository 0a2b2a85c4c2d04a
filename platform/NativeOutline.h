#pragma once
// The native outline buffer: a glyph's contours as polygon and curve records.
//
// Layout, little-endian, the records filling the buffer exactly:
//   polygon header, 16 bytes: uint32 cb (bytes of the polygon, header included),
//     uint32 type (kPolygonType), start point;
//   then curve records up to cb: uint16 type (kLineRecord or kSplineRecord),
//     uint16 count, count points.
// A point is two 16.16 fixed-point numbers, x then y, each read as one int32 in units
// of 1/65536 pixel; y grows upwards and the origin is the pen on the baseline.
//
// How contours are written, which the reader relies on:
//  - a polygon starts on an on-curve point;
//  - a line record holds consecutive straight pieces, one end point each;
//  - a spline record holds a run of quadratic control points and ends on the on-curve
//    end point; the on-curve midpoints between consecutive controls are implied, not
//    written (the reader makes them by halving the sum, truncating toward zero);
//  - the closing straight edge back to the start is implied, while a contour closed by
//    a curve ends with that curve's record, whose last point is the start again.
// Cubic arcs become quadratic pieces, each its own two-point spline record, that stay
// within kCubicTolerance of the cubic.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <vector>

namespace vantrix {

constexpr uint32_t kPolygonType = 24;
constexpr uint16_t kLineRecord = 1;
constexpr uint16_t kSplineRecord = 2;
constexpr uint32_t kPolygonHeaderSize = 16;
constexpr int32_t kFixedOne = 65536;
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
