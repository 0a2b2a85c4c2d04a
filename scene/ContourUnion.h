#pragma once
// Glyphs that touch (an Arabic word, a Devanagari headline, a letter and its
// marks) become one outline, so that no bevel runs along a joint: the union of
// their contours, cut into letters the engine can extrude.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/Letter.h"

namespace vantrix {

// A merged letter holds at most this many points, so that its bevel and wall
// faces (two per edge) and the cap plane stay within a body's 2048 faces.
inline constexpr size_t kMergedLetterPoints = 1000;

// Smallest and largest x and y of some points (y up: Top is the largest).
struct TBox {
  int32_t Left = 0, Bottom = 0, Right = -1, Top = -1;
  bool Touches(const TBox& o) const {
    return Left <= o.Right && o.Left <= Right && Bottom <= o.Top && o.Bottom <= Top;
  }
};
TBox BoxOf(const std::vector<TPoint>& points);
TBox BoxOf(const TLetter& letter);

// Groups of boxes that overlap or touch, directly or through others: one group
// number per box, numbered in the order of each group's first box.
std::vector<int> TouchingGroups(const std::vector<TBox>& boxes);

// How contours are united: exactly (scene/ExactUnion) where the input allows,
// else by the polygon clipper; or by the clipper alone, the reference the
// exact union is tested against. Both give the same outlines wherever the
// exact union applies, up to where each contour starts.
enum class TUnionMethod { Exact, Clipper };

// The union (non-zero fill) of every contour of `letters`, as letters of at most
// eight contours and kMergedLetterPoints points each. Only contours whose boxes
// reach another letter's go through the union; the others (an Arabic dot, a
// letter's own hole) are kept point for point. An outer contour keeps its holes
// in its own letter (beyond eight contours the further holes are dropped, as
// for a single glyph); separate outlines share a letter while it has room,
// taken from left to right. United outer contours run clockwise (y up), holes
// the other way, and each contour ends on its first point, as glyph outlines do.
// `used`, when given, tells which method united them.
std::vector<TLetter> UnionLetters(const std::vector<const TLetter*>& letters,
                                  TUnionMethod method = TUnionMethod::Exact, TUnionMethod* used = nullptr);

// The unions of one Build kept for the next: a rebuild of the same caption
// (every change of colour, light or depth rebuilds it) unites nothing again.
class TUnionCache {
 public:
  // UnionLetters(letters), taken from the previous Build when it united the
  // very same letters.
  std::vector<TLetter> Union(const std::vector<const TLetter*>& letters);
  // Ends a Build: unions it did not ask for are forgotten.
  void EndBuild();

  TUnionMethod Method = TUnionMethod::Exact;

 private:
  struct TEntry {
    std::vector<std::vector<std::vector<TPoint>>> In;  // each letter's contours
    std::vector<TLetter> Out;
    bool Used = true;
  };
  std::vector<TEntry> entries_;
};

}  // namespace vantrix
