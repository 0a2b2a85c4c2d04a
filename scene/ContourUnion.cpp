#include "scene/ContourUnion.h"

#include <algorithm>
#include <clipper.hpp>
#include <numeric>

#include "scene/ExactUnion.h"

namespace vantrix {

namespace {

// An outer contour and its holes, or contours kept as they were.
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
    piece.Contours.reserve(1 + outer->Childs.size());
    piece.Contours.push_back(Closed(outer->Contour));
    for (const ClipperLib::PolyNode* hole : outer->Childs) {
      if (piece.Contours.size() < static_cast<size_t>(TLetter::kMaxContours))
        piece.Contours.push_back(Closed(hole->Contour));
      CollectPieces(*hole, pieces);  // islands inside the hole
    }
    for (const auto& c : piece.Contours) piece.Points += c.size();
    piece.Left = BoxOf(piece.Contours.front()).Left;
    pieces.push_back(std::move(piece));
  }
}

// The exact union's pieces appended to `pieces`, or false (and `pieces` as it
// was) where it does not apply, or where its pieces could come out in another
// order than the clipper's and so land in other letters: two that start at the
// same x, or more holes than a letter keeps.
bool AppendExactUnion(const std::vector<const std::vector<TPoint>*>& shared, std::vector<TPiece>& pieces) {
  thread_local std::vector<TUnitedPiece> united;
  if (!UniteExactly(shared, united)) return false;
  const size_t before = pieces.size();
  for (TUnitedPiece& u : united) {
    if (u.size() > static_cast<size_t>(TLetter::kMaxContours)) break;
    TPiece piece;
    piece.Left = BoxOf(u.front()).Left;
    for (const auto& c : u) piece.Points += c.size();
    piece.Contours = std::move(u);
    pieces.push_back(std::move(piece));
  }
  bool tie = pieces.size() - before != united.size();
  for (size_t i = before; i < pieces.size() && !tie; ++i)
    for (size_t j = before; j < i && !tie; ++j) tie = pieces[j].Left == pieces[i].Left;
  if (tie) pieces.resize(before);
  return !tie;
}

int Root(std::vector<int>& parent, int i) {
  while (parent[static_cast<size_t>(i)] != i) {
    parent[static_cast<size_t>(i)] = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
    i = parent[static_cast<size_t>(i)];
  }
  return i;
}

}  // namespace

TBox BoxOf(const std::vector<TPoint>& points) {
  if (points.empty()) return TBox{};
  TBox b{points.front().X, points.front().Y, points.front().X, points.front().Y};
  for (const TPoint& p : points) {
    b.Left = std::min(b.Left, p.X);
    b.Right = std::max(b.Right, p.X);
    b.Bottom = std::min(b.Bottom, p.Y);
    b.Top = std::max(b.Top, p.Y);
  }
  return b;
}

TBox BoxOf(const TLetter& letter) {
  TBox box;
  bool any = false;
  for (const auto& c : letter.Contours) {
    if (c.empty()) continue;
    const TBox b = BoxOf(c);
    box = any ? TBox{std::min(box.Left, b.Left), std::min(box.Bottom, b.Bottom), std::max(box.Right, b.Right),
                     std::max(box.Top, b.Top)}
              : b;
    any = true;
  }
  return box;
}

std::vector<int> TouchingGroups(const std::vector<TBox>& boxes) {
  const size_t n = boxes.size();
  std::vector<int> parent(n);
  std::iota(parent.begin(), parent.end(), 0);
  // Swept from left to right, a box meets only those that start before it ends.
  std::vector<size_t> byLeft(n);
  std::iota(byLeft.begin(), byLeft.end(), size_t{0});
  std::sort(byLeft.begin(), byLeft.end(), [&](size_t a, size_t b) { return boxes[a].Left < boxes[b].Left; });
  for (size_t i = 0; i < n; ++i) {
    const TBox& a = boxes[byLeft[i]];
    for (size_t j = i + 1; j < n && boxes[byLeft[j]].Left <= a.Right; ++j) {
      if (!a.Touches(boxes[byLeft[j]])) continue;
      const int ra = Root(parent, static_cast<int>(byLeft[i]));
      const int rb = Root(parent, static_cast<int>(byLeft[j]));
      parent[static_cast<size_t>(std::max(ra, rb))] = std::min(ra, rb);
    }
  }
  std::vector<int> group(n), number(n, -1);
  int groups = 0;
  for (size_t i = 0; i < n; ++i) {
    int& g = number[static_cast<size_t>(Root(parent, static_cast<int>(i)))];
    if (g < 0) g = groups++;
    group[i] = g;
  }
  return group;
}

std::vector<TLetter> UnionLetters(const std::vector<const TLetter*>& letters, TUnionMethod method,
                                  TUnionMethod* used) {
  struct TContourRef {
    const std::vector<TPoint>* Points;
    size_t Letter;
  };
  std::vector<TContourRef> refs;
  std::vector<TBox> boxes;
  for (size_t i = 0; i < letters.size(); ++i)
    for (const auto& contour : letters[i]->Contours) {
      if (contour.size() < 3) continue;
      refs.push_back(TContourRef{&contour, i});
      boxes.push_back(BoxOf(contour));
    }
  const std::vector<int> group = TouchingGroups(boxes);
  const size_t groups =
      group.empty() ? 0 : static_cast<size_t>(*std::max_element(group.begin(), group.end())) + 1;
  // A group whose contours all come from one letter touches no other letter:
  // it is kept as it is, and only the others go through the union.
  constexpr size_t kNone = SIZE_MAX, kShared = SIZE_MAX - 1;
  std::vector<size_t> owner(groups, kNone);
  for (size_t k = 0; k < refs.size(); ++k) {
    size_t& o = owner[static_cast<size_t>(group[k])];
    o = o == kNone || o == refs[k].Letter ? refs[k].Letter : kShared;
  }

  std::vector<TPiece> pieces(groups);
  std::vector<const std::vector<TPoint>*> shared;
  for (size_t k = 0; k < refs.size(); ++k) {
    const size_t g = static_cast<size_t>(group[k]);
    const std::vector<TPoint>& contour = *refs[k].Points;
    if (owner[g] == kShared) {
      shared.push_back(&contour);
      continue;
    }
    TPiece& piece = pieces[g];
    piece.Left = piece.Contours.empty() ? boxes[k].Left : std::min(piece.Left, boxes[k].Left);
    piece.Contours.push_back(contour);
    piece.Points += contour.size();
  }
  std::erase_if(pieces, [](const TPiece& p) { return p.Contours.empty(); });
  if (used) *used = method;
  if (!shared.empty() && !(method == TUnionMethod::Exact && AppendExactUnion(shared, pieces))) {
    if (used) *used = TUnionMethod::Clipper;
    ClipperLib::Clipper clipper;
    ClipperLib::Path path;
    for (const std::vector<TPoint>* contour : shared) {
      path.clear();
      path.reserve(contour->size());
      for (const TPoint& p : *contour) path.emplace_back(p.X, p.Y);
      clipper.AddPath(path, ClipperLib::ptSubject, true);
    }
    // Clipper's outer contours run counter-clockwise with y up; glyphs' the other way.
    clipper.ReverseSolution(true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    CollectPieces(tree, pieces);
  }
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

std::vector<TLetter> TUnionCache::Union(const std::vector<const TLetter*>& letters) {
  const auto same = [&](const TEntry& e) {
    if (e.In.size() != letters.size()) return false;
    for (size_t i = 0; i < letters.size(); ++i)
      if (e.In[i] != letters[i]->Contours) return false;
    return true;
  };
  for (TEntry& e : entries_)
    if (same(e)) {
      e.Used = true;
      return e.Out;
    }
  TEntry& e = entries_.emplace_back();
  e.In.reserve(letters.size());
  for (const TLetter* l : letters) e.In.push_back(l->Contours);
  e.Out = UnionLetters(letters, Method);
  return e.Out;
}

void TUnionCache::EndBuild() {
  std::erase_if(entries_, [](const TEntry& e) { return !e.Used; });
  for (TEntry& e : entries_) e.Used = false;
}

}  // namespace vantrix
