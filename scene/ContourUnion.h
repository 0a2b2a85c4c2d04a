#pragma once
// Glyphs that touch (an Arabic word, a Devanagari headline, a letter and its
// marks) become one outline, so that no bevel runs along a joint: the union of
// their contours, cut into letters the engine can extrude.

#include <cstddef>
#include <vector>

#include "scene/Letter.h"

namespace vantrix {

// A merged letter holds at most this many points, so that its bevel and wall
// faces (two per edge) and the cap plane stay within a body's 2048 faces.
inline constexpr size_t kMergedLetterPoints = 1000;

// The union (non-zero fill) of every contour of `letters`, as letters of at most
// eight contours and kMergedLetterPoints points each. An outer contour keeps its
// holes in its own letter (beyond eight contours the further holes are dropped,
// as for a single glyph); separate outlines share a letter while it has room,
// taken from left to right. Outer contours run clockwise (y up), holes the
// other way, and each contour ends on its first point, as glyph outlines do.
std::vector<TLetter> UnionLetters(const std::vector<const TLetter*>& letters);

}  // namespace vantrix
