// The exact union against the polygon clipper it stands in for: on seeded
// random outlines that overlap along shared lines, touch at vertices and cross,
// and on real joined captions, both must give the same letters, contour for
// contour, up to where each contour starts and their order within a letter.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "scene/ContourUnion.h"
#include "scene/SceneProbe_p.h"

namespace vantrix {
namespace {

using TCanonLetter = std::vector<std::vector<TPoint>>;

// Each contour from its smallest point, the contours of a letter sorted.
std::vector<TCanonLetter> Canon(const std::vector<TLetter>& letters) {
  std::vector<TCanonLetter> out;
  const auto less = [](TPoint a, TPoint b) { return a.X < b.X || (a.X == b.X && a.Y < b.Y); };
  for (const TLetter& l : letters) {
    TCanonLetter c;
    for (std::vector<TPoint> pts : l.Contours) {
      EXPECT_TRUE(pts.size() >= 4 && pts.front() == pts.back());
      if (!pts.empty()) pts.pop_back();
      std::rotate(pts.begin(), std::min_element(pts.begin(), pts.end(), less), pts.end());
      c.push_back(pts);
    }
    std::sort(c.begin(), c.end(), [&](const auto& a, const auto& b) {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), less);
    });
    out.push_back(c);
  }
  return out;
}

// A closed contour through `pts`, clockwise when `pts` is (y up).
std::vector<TPoint> Closed(std::vector<TPoint> pts) {
  pts.push_back(pts.front());
  return pts;
}

TLetter RandomShape(std::mt19937& rng) {
  std::uniform_int_distribution<int32_t> at(0, 24), kind(0, 4), size(1, 8);
  TLetter l;
  const int32_t x = at(rng), y = at(rng) / 3 * 3, w = size(rng), h = size(rng);
  switch (kind(rng)) {
    case 0:  // a bar, often on the same lines as the others (a shared stroke)
      l.Contours.push_back(Closed({{x, y}, {x, y + 3}, {x + w, y + 3}, {x + w, y}}));
      break;
    case 1:  // a frame: a hole the other way round
      l.Contours.push_back(Closed({{x, y}, {x, y + h + 4}, {x + w + 4, y + h + 4}, {x + w + 4, y}}));
      l.Contours.push_back(
          Closed({{x + 2, y + 2}, {x + w + 2, y + 2}, {x + w + 2, y + h + 2}, {x + 2, y + h + 2}}));
      break;
    case 2:  // a step with a slanted side
      l.Contours.push_back(
          Closed({{x, y}, {x, y + h}, {x + w, y + h + w}, {x + 2 * w, y + h}, {x + 2 * w, y}}));
      break;
    case 3:  // a triangle whose crossings mostly fall between whole points
      l.Contours.push_back(Closed({{x, y}, {x + w, y + 2 * h}, {x + 2 * w + 1, y}}));
      break;
    default: {  // a star-shaped outline, clockwise, its points on a coarse grid
      static constexpr TPoint kRays[8] = {{0, 1},  {1, 1},   {1, 0},  {1, -1},
                                          {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};
      std::vector<TPoint> pts;
      for (const TPoint& r : kRays) {
        const int32_t reach = size(rng);
        pts.push_back(TPoint{x + 8 + r.X * reach, y + 8 + r.Y * reach});
      }
      l.Contours.push_back(Closed(pts));
      break;
    }
  }
  return l;
}

TEST(ContourUnion, ExactUnionGivesTheClippersOutlinesOnRandomShapes) {
  std::mt19937 rng(2207);
  int exact = 0, clipper = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<TLetter> shapes(2 + round % 4);
    for (TLetter& s : shapes) s = RandomShape(rng);
    std::vector<const TLetter*> parts;
    for (const TLetter& s : shapes) parts.push_back(&s);
    TUnionMethod used{};
    const std::vector<TLetter> fast = UnionLetters(parts, TUnionMethod::Exact, &used);
    const std::vector<TLetter> reference = UnionLetters(parts, TUnionMethod::Clipper);
    ++(used == TUnionMethod::Exact ? exact : clipper);
    ASSERT_EQ(Canon(fast), Canon(reference)) << "round " << round;
    for (size_t i = 0; i < fast.size(); ++i) {
      EXPECT_EQ(fast[i].Left, reference[i].Left);
      EXPECT_EQ(fast[i].Top, reference[i].Top);
    }
  }
  // Both ways are exercised: most shapes take the exact union.
  EXPECT_GT(exact, 1000);
  EXPECT_GT(clipper, 100);
}

TEST(ContourUnion, JoinedCaptionsGiveTheSameLettersEitherWay) {
  const struct {
    std::u32string Text;
    const char* Font;
  } cases[] = {
      {U"\u0645\u0631\u062D\u0628\u0627 \u0628\u0643\u0645 \u0641\u064A \u0645\u062A\u062C\u0631\u0646\u0627",
       "DejaVu Sans"},
      {U"\u062A\u062E\u0641\u064A\u0636 \u0643\u0628\u064A\u0631 \u0633\u0644\u0627\u0645", "FreeSerif"},
      {U"\u0627\u0644\u062C\u062F\u064A\u062F \u0627\u0644\u064A\u0648\u0645", "Liberation Sans"},
      {U"\u0928\u092E\u0938\u094D\u0924\u0947 \u0926\u0941\u0928\u093F\u092F\u093E", "FreeSans"},
  };
  for (const auto& c : cases) {
    for (int32_t size : {18, 40}) {
      SCOPED_TRACE(std::string(c.Font) + " " + std::to_string(size));
      std::vector<TLetter> letters[2];
      for (int m = 0; m < 2; ++m) {
        TSceneProbe s;
        s.Params.TxtW = 4;
        s.Unions.Method = m == 0 ? TUnionMethod::Exact : TUnionMethod::Clipper;
        TFontSpec face;
        face.FaceName = c.Font;
        face.Size = size;
        TCaption caption;
        for (char32_t ch : c.Text) caption.Append(ch, face);
        ASSERT_TRUE(s.Build(caption));
        for (int i = 1; i <= s.LetterCount(); ++i) letters[m].push_back(s.Letter(i));
      }
      EXPECT_EQ(Canon(letters[0]), Canon(letters[1]));
    }
  }
}

}  // namespace
}  // namespace vantrix
