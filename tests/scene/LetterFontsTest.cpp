// Letters from installed fonts: the contours, their orientation, the size
// the letters are outlined at, and characters of other character sets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "scene/LetterGeometry.h"
#include "scene/SceneProbe_p.h"

namespace vantrix {
namespace {

bool Filled(const TLetter& l, TPoint p) {
  bool inside = false;
  for (const auto& c : l.Contours)
    for (size_t i = 0; i + 1 < c.size(); ++i) {
      const TPoint a = c[i], b = c[i + 1];
      if ((a.Y > p.Y) != (b.Y > p.Y)) {
        const double x = a.X + static_cast<double>(p.Y - a.Y) * (b.X - a.X) / (b.Y - a.Y);
        if (p.X < x) inside = !inside;
      }
    }
  return inside;
}

// One letter of `face` in `charset`, centred as the pipeline does.
const TLetter& Letter(TSceneProbe& s, const std::string& face, char32_t ch, int charset = 0) {
  TCaption caption;
  TFontSpec f;
  f.FaceName = face;
  f.Charset = charset;
  caption.Append(ch, f);
  s.Params.ButType = 0;
  EXPECT_TRUE(s.Build(caption));
  EXPECT_EQ(s.LetterCount(), 1);
  return s.Letter(1);
}

TEST(LetterFonts, ContourCountsOfCommonLetters) {
  const struct {
    char32_t ch;
    int contours;
  } cases[] = {{U'A', 2}, {U'B', 3}, {U'o', 2}, {U'l', 1}};
  for (const std::string face : {"Arial", "FreeSans"}) {  // a TrueType and a CFF font
    for (const auto& c : cases) {
      TSceneProbe s;
      EXPECT_EQ(Letter(s, face, c.ch).ContourCount(), c.contours) << face << " " << static_cast<char>(c.ch);
    }
  }
}

// The bevel of every contour must move away from the filled area: outer
// contours grow and holes shrink, whichever way the font draws them.
TEST(LetterFonts, BevelsMoveAwayFromTheFilledArea) {
  for (const std::string face : {"Arial", "FreeSans", "Times New Roman"}) {
    for (char32_t ch : {U'A', U'B', U'o', U'8', U'g'}) {
      TSceneProbe s;
      const TLetter& l = Letter(s, face, ch);
      for (int j = 1; j <= l.ContourCount(); ++j) {
        const int n = static_cast<int>(l.Contour(j).size());
        int outside = 0, total = 0;
        for (int c = 1; c <= n - 1; ++c) {
          int cp = c, cn = c;
          const TPoint a = PointAt(l, j, c);
          const TPoint p = PrevDistinct(l, j, cp);
          const TPoint b = NextDistinct(l, j, cn);
          outside += !Filled(l, OffsetCorner(p, a, b, s.Params.TxtW));
          ++total;
        }
        // Sharp corners of small holes may overshoot into a stroke; an inverted
        // contour would put nearly every point inside.
        EXPECT_GE(outside * 4, total * 3) << face << " " << static_cast<char>(ch) << " contour " << j;
      }
    }
  }
}

TEST(LetterFonts, TwelvePointLettersAreOutlinedAt341Points) {
  TSceneProbe s;
  TFontSpec twelve;
  twelve.Size = 12;
  ASSERT_TRUE(s.SelectLetterFont(twelve));
  TGlyphMetrics viaScene, direct;
  const uint32_t n1 = s.Glyphs.GetGlyphOutline('M', viaScene, nullptr, 0);
  TGlyphSource g;
  TFontSpec f341;
  f341.Size = 341;
  ASSERT_TRUE(g.SelectFont(f341));
  const uint32_t n2 = g.GetGlyphOutline('M', direct, nullptr, 0);
  EXPECT_EQ(n1, n2);
  EXPECT_EQ(viaScene.CellIncX, direct.CellIncX);
  EXPECT_NEAR(direct.CellIncX, 0.833 * TGlyphSource::EmPixels(341), 1.5);
}

TEST(LetterFonts, OtherCharacterSetsAndSymbolFonts) {
  TSceneProbe s;
  const TLetter& de = Letter(s, "Arial", U'Д', 204);
  EXPECT_EQ(de.ContourCount(), 2);
  TSceneProbe t;
  const TLetter& alpha = Letter(t, "Symbol", kSymbolBase + 'a', kSymbolCharset);
  EXPECT_GE(alpha.ContourCount(), 1);
  TSceneProbe u;  // a character the set cannot express is drawn by code point, not as '?'
  const TLetter& zhe = Letter(u, "Arial", U'Ж', 0);
  EXPECT_EQ(zhe.ContourCount(), 1);
}

TEST(LetterFonts, LongCaptionsBuildTheirFirst32Letters) {
  TSceneProbe s;
  TCaption caption;
  caption.SetText("0123456789012345678901234567890123456789", TFontSpec{});
  EXPECT_EQ(caption.Length(), 32);
  ASSERT_TRUE(s.Build(caption));
  EXPECT_EQ(s.LetterCount(), 32);
  EXPECT_EQ(s.View3D.BodyCount(), 33);  // and the button
}

}  // namespace
}  // namespace vantrix
