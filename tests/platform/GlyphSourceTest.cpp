// These tests read the fonts that scripts/install-deps installs (Liberation, DejaVu,
// FreeFont, URW base 35).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/GlyphSource.h"
#include "tests/support/NativeOutlineReader.h"

namespace vantrix {
namespace {

using testing::TContour;

struct TGlyph {
  uint32_t Size = 0;
  int32_t Advance = 0;
  std::vector<TContour> Contours;
  double MinX = 1e9, MaxX = -1e9, MaxY = -1e9;  // pixels, over all record points
};

// Runs both calls of the protocol and checks that they agree and that the buffer is
// filled exactly, by records that fit.
TGlyph Fetch(TGlyphSource& source, uint8_t code) {
  TGlyph g;
  TGlyphMetrics sized, filled;
  g.Size = source.GetGlyphOutline(code, sized, nullptr, 0);
  EXPECT_NE(g.Size, kGlyphError) << "code " << int(code);
  if (g.Size == kGlyphError) return g;
  std::vector<uint8_t> buf(g.Size + 8, 0xCD);
  EXPECT_EQ(source.GetGlyphOutline(code, filled, buf.data(), static_cast<uint32_t>(buf.size())), g.Size);
  EXPECT_EQ(filled.CellIncX, sized.CellIncX);
  for (size_t i = g.Size; i < buf.size(); ++i) EXPECT_EQ(buf[i], 0xCD) << "written past the outline";
  EXPECT_EQ(testing::ReadOutline(buf.data(), g.Size, g.Contours), "") << "code " << int(code);
  g.Advance = sized.CellIncX;
  for (const TContour& c : g.Contours) {
    for (const auto& p : testing::Trace(c, 1)) {
      g.MinX = std::min(g.MinX, p.X);
      g.MaxX = std::max(g.MaxX, p.X);
      g.MaxY = std::max(g.MaxY, p.Y);
    }
  }
  return g;
}

TFontSpec Font(const std::string& face, int charset = 0, bool bold = false, bool italic = false) {
  TFontSpec f;
  f.FaceName = face;
  f.Size = 512;
  f.Charset = charset;
  f.Bold = bold;
  f.Italic = italic;
  return f;
}

// Outer contour clockwise with y up (negative area), every hole counter-clockwise.
void ExpectOuterClockwiseHolesCounter(const TGlyph& g, char letter) {
  ASSERT_FALSE(g.Contours.empty()) << letter;
  std::vector<double> areas;
  for (const TContour& c : g.Contours) areas.push_back(testing::SignedArea(c));
  const size_t outer = std::max_element(areas.begin(), areas.end(),
                                        [](double a, double b) { return std::fabs(a) < std::fabs(b); }) -
                       areas.begin();
  for (size_t i = 0; i < areas.size(); ++i) {
    if (i == outer) {
      EXPECT_LT(areas[i], 0) << letter << " outer contour";
    } else {
      EXPECT_GT(areas[i], 0) << letter << " hole " << i;
    }
  }
}

TEST(GlyphSource, TrueTypeAndCffLettersHaveTheirContoursTheSameWayRound) {
  const struct {
    const char* face;
    const char* fileEnd;
  } fonts[] = {{"Arial", "LiberationSans-Regular.ttf"}, {"FreeSans", "FreeSans.otf"}};
  for (const auto& f : fonts) {
    TGlyphSource source;
    ASSERT_TRUE(source.SelectFont(Font(f.face)));
    const std::string file = source.UsedFaceFile();
    ASSERT_GE(file.size(), std::string(f.fileEnd).size());
    EXPECT_EQ(file.substr(file.size() - std::string(f.fileEnd).size()), f.fileEnd);
    for (auto [letter, contours] : {std::pair{'A', 2u}, {'B', 3u}, {'o', 2u}}) {
      const TGlyph g = Fetch(source, static_cast<uint8_t>(letter));
      EXPECT_EQ(g.Contours.size(), contours) << f.face << " " << letter;
      ExpectOuterClockwiseHolesCounter(g, letter);
    }
  }
}

TEST(GlyphSource, CffCubicsArriveAsQuadraticPiecesWithExplicitEnds) {
  TGlyphSource source;
  ASSERT_TRUE(source.SelectFont(Font("FreeSans")));
  const TGlyph g = Fetch(source, 'S');
  size_t splines = 0;
  for (const TContour& c : g.Contours) {
    for (const auto& r : c.Records) {
      if (r.Type == 2) {
        ++splines;
        EXPECT_EQ(r.Points.size(), 2u);
      }
    }
  }
  EXPECT_GT(splines, 4u);
}

TEST(GlyphSource, SizesAreDevicePixelsAt96DotsPerInch) {
  EXPECT_EQ(TGlyphSource::EmPixels(512), 683);
  EXPECT_EQ(TGlyphSource::EmPixels(18), 24);
  EXPECT_EQ(TGlyphSource::EmPixels(-18), 24);
  EXPECT_EQ(TGlyphSource::EmPixels(0), 1);
  EXPECT_EQ(TGlyphSource::EmPixels(INT32_MIN), TGlyphSource::kMaxEmPixels);

  TGlyphSource source;
  ASSERT_TRUE(source.SelectFont(Font("Arial")));
  // Liberation Sans: 'M' advances 1706 and 'H' stands 1409 units high on an em of 2048.
  EXPECT_EQ(Fetch(source, 'M').Advance, 569);
  EXPECT_NEAR(Fetch(source, 'H').MaxY, 1409.0 * 683 / 2048, 0.02);
  TFontSpec small = Font("Arial");
  small.Size = 18;
  ASSERT_TRUE(source.SelectFont(small));
  EXPECT_EQ(Fetch(source, 'M').Advance, 20);
  EXPECT_NEAR(Fetch(source, 'H').MaxY, 1409.0 * 24 / 2048, 0.02);
}

TEST(GlyphSource, CharacterSetChoosesTheLetter) {
  const struct {
    const char* face;
    int charset;
    uint8_t code;
    size_t contours;
  } cases[] = {
      {"Arial", 0, 0xC4, 4},                // A with diaeresis: the A, its hole, two dots
      {"Arial", 204, 0xC4, 2},              // Cyrillic De
      {"Arial", 161, 0xC4, 2},              // Greek Delta
      {"Arial", 238, 0xA5, 3},              // A with ogonek
      {"Standard Symbols PS", 2, 0xA5, 3},  // infinity in the symbol encoding
      {"Standard Symbols PS", 2, 'a', 2},   // alpha
  };
  for (const auto& k : cases) {
    TGlyphSource source;
    ASSERT_TRUE(source.SelectFont(Font(k.face, k.charset)));
    const TGlyph g = Fetch(source, k.code);
    EXPECT_EQ(g.Contours.size(), k.contours) << k.face << " charset " << k.charset << " code " << int(k.code);
  }
}

TEST(GlyphSource, CodeWithoutGlyphIsABlankWithTheSpaceWidth) {
  TGlyphSource source;
  // 0x81 is undefined in Windows-1252; the symbol font has no Cyrillic De (0xC4 in 1251).
  const struct {
    const char* face;
    int charset;
    uint8_t code;
  } cases[] = {{"Arial", 0, 0x81}, {"Standard Symbols PS", 204, 0xC4}};
  for (auto [face, charset, code] : cases) {
    ASSERT_TRUE(source.SelectFont(Font(face, charset)));
    const TGlyph space = Fetch(source, ' ');
    const TGlyph missing = Fetch(source, code);
    EXPECT_EQ(space.Size, 0u);
    EXPECT_EQ(missing.Size, 0u) << face;
    EXPECT_GT(missing.Advance, 0);
    EXPECT_EQ(missing.Advance, space.Advance) << face;
  }
}

TEST(GlyphSource, ProtocolRefusesTooSmallBuffersAndMissingFonts) {
  TGlyphSource source;
  TGlyphMetrics m;
  uint8_t buf[64];
  EXPECT_EQ(source.GetGlyphOutline('A', m, nullptr, 0), kGlyphError);
  ASSERT_TRUE(source.SelectFont(Font("Arial")));
  const uint32_t size = source.GetGlyphOutline('A', m, nullptr, 0);
  ASSERT_GT(size, sizeof buf);
  EXPECT_EQ(source.GetGlyphOutline('A', m, buf, sizeof buf), kGlyphError);
  // Another letter between the calls must not leave a stale outline behind.
  EXPECT_EQ(Fetch(source, 'B').Contours.size(), 3u);
  EXPECT_EQ(Fetch(source, 'A').Contours.size(), 2u);
}

TEST(GlyphSource, StylesUseRealFacesOrSynthesizeThem) {
  TGlyphSource source;
  ASSERT_TRUE(source.SelectFont(Font("Arial", 0, true)));
  EXPECT_EQ(source.UsedFaceName(), "Liberation Sans Bold");
  EXPECT_TRUE(source.UsedFace().Substituted);
  EXPECT_FALSE(source.UsedFace().SyntheticBold);

  // This family has a regular face only.
  const char* family = "DejaVu Math TeX Gyre";
  ASSERT_TRUE(source.SelectFont(Font(family)));
  const TGlyph regular = Fetch(source, 'n');
  ASSERT_TRUE(source.SelectFont(Font(family, 0, true)));
  EXPECT_TRUE(source.UsedFace().SyntheticBold);
  EXPECT_FALSE(source.UsedFace().Substituted);
  EXPECT_EQ(source.UsedFaceName(), "DejaVu Math TeX Gyre (synthetic bold)");
  const TGlyph bold = Fetch(source, 'n');
  const double strength = 683.0 / 24;
  EXPECT_NEAR(bold.Advance - regular.Advance, strength, 1.0);
  EXPECT_NEAR((bold.MaxX - bold.MinX) - (regular.MaxX - regular.MinX), strength, 1.0);
  EXPECT_NEAR(bold.MinX, regular.MinX, 0.1);
  ExpectOuterClockwiseHolesCounter(bold, 'n');

  ASSERT_TRUE(source.SelectFont(Font(family, 0, false, true)));
  EXPECT_TRUE(source.UsedFace().SyntheticItalic);
  const TGlyph slanted = Fetch(source, 'n');
  EXPECT_EQ(slanted.Advance, regular.Advance);
  // Sheared about the baseline: each point moves right by 0.2 of its height.
  ASSERT_EQ(slanted.Contours.size(), regular.Contours.size());
  for (size_t c = 0; c < regular.Contours.size(); ++c) {
    const auto a = testing::Trace(regular.Contours[c], 1), b = testing::Trace(slanted.Contours[c], 1);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_NEAR(b[i].X, a[i].X + 0.2 * a[i].Y, 0.05);
      EXPECT_NEAR(b[i].Y, a[i].Y, 0.05);
    }
  }
}

TEST(GlyphSource, FaceThatIsNotInstalledFallsBackToTheBestMatch) {
  TGlyphSource source;
  ASSERT_TRUE(source.SelectFont(Font("No Such Face Anywhere")));
  EXPECT_TRUE(source.UsedFace().Substituted);
  EXPECT_FALSE(source.UsedFaceFile().empty());
  EXPECT_FALSE(source.UsedFaceName().empty());
  EXPECT_EQ(Fetch(source, 'B').Contours.size(), 3u);
}

}  // namespace
}  // namespace vantrix
