#include "scene/ContourUnion.h"

#include <algorithm>
#include <clipper.hpp>

namespace vantrix {

namespace {

// An outer contour and its holes.
struct TPiece {
  std::vector<std::vector<TPoint>> Contours;
  size_t Points = 0;
  int32_t Left = 0;
};

std::vector<TPoint> Closed(const ClipperLib::Path& path) {
  std::vector<TPoint> out;
  out.reserve(path.size() + 1);
  for (const ClipperLib::IntPoint& p : path)
    out.push_back(TPoint{static_cast<int32_t>(p.X), static_cast<int32_t>(p.Y)});
  if (!out.empty()) out.push_back(out.front());
  return out;
}

void CollectPieces(const ClipperLib::PolyNode& node, std::vector<TPiece>& pieces) {
  for (const ClipperLib::PolyNode* outer : node.Childs) {
    TPiece piece;
    piece.Contours.push_back(Closed(outer->Contour));
    for (const ClipperLib::PolyNode* hole : outer->Childs) {
      if (piece.Contours.size() < static_cast<size_t>(TLetter::kMaxContours))
        piece.Contours.push_back(Closed(hole->Contour));
      CollectPieces(*hole, pieces);  // islands inside the hole
    }
    for (const auto& c : piece.Contours) piece.Points += c.size();
    piece.Left = piece.Contours.front().empty() ? 0 : piece.Contours.front().front().X;
    for (const TPoint& p : piece.Contours.front()) piece.Left = std::min(piece.Left, p.X);
    pieces.push_back(std::move(piece));
  }
}

}  // namespace

std::vector<TLetter> UnionLetters(const std::vector<const TLetter*>& letters) {
  ClipperLib::Paths paths;
  for (const TLetter* letter : letters) {
    for (const auto& contour : letter->Contours) {
      ClipperLib::Path path;
      path.reserve(contour.size());
      for (const TPoint& p : contour) path.emplace_back(p.X, p.Y);
      if (path.size() >= 3) paths.push_back(std::move(path));
    }
  }
  ClipperLib::Clipper clipper;
  // Clipper's outer contours run counter-clockwise with y up; glyphs' the other way.
  clipper.ReverseSolution(true);
  clipper.AddPaths(paths, ClipperLib::ptSubject, true);
  ClipperLib::PolyTree tree;
  clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);

  std::vector<TPiece> pieces;
  CollectPieces(tree, pieces);
  std::stable_sort(pieces.begin(), pieces.end(),
                   [](const TPiece& a, const TPiece& b) { return a.Left < b.Left; });

  std::vector<TLetter> out;
  size_t points = 0;
  for (const TPiece& piece : pieces) {
    const bool fits =
        !out.empty() &&
        out.back().ContourCount() + piece.Contours.size() <= static_cast<size_t>(TLetter::kMaxContours) &&
        points + piece.Points <= kMergedLetterPoints;
    if (!fits) {
      out.emplace_back();
      points = 0;
    }
    for (const auto& c : piece.Contours) out.back().AppendContour(c.data(), static_cast<int>(c.size()));
    points += piece.Points;
  }
  for (TLetter& l : out) l.UpdateBounds();
  return out;
}

}  // namespace vantrix
