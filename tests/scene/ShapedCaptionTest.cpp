// Shaped captions against hb-shape (Debian's libharfbuzz-bin), run on the very
// face file the scene drew from with the same features: glyph indices and
// visual order must agree exactly, positions up to the whole-pixel rounding of
// each advance. Reads the fonts scripts/install-deps installs (DejaVu,
// FreeFont, Liberation).

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "platform/BidiLevels.h"
#include "platform/Rounding.h"
#include "scene/SceneProbe_p.h"

namespace vantrix {
namespace {

class TRecorder : public TMessageSink {
 public:
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void ShowNote(const std::string& text) override { Notes.push_back(text); }
  std::vector<std::string> Messages, Notes;
};

TFontSpec Face(const std::string& name) {
  TFontSpec f;
  f.FaceName = name;
  return f;
}

struct THbGlyph {
  uint32_t Glyph = 0;
  int32_t Advance = 0, XOffset = 0, YOffset = 0;
};

// hb-shape's glyphs for `text` in the face file, with kerning and ligatures
// off as the scene has them by default.
std::vector<THbGlyph> HbShape(const std::string& file, const std::string& text, bool kerning = false) {
  const std::string cmd = "hb-shape --no-glyph-names --output-format=json " +
                          std::string(kerning ? "" : "--features=-kern,-liga ") + "'" + file + "' '" + text +
                          "'";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  std::vector<THbGlyph> glyphs;
  for (size_t at = out.find("{\"g\":"); at != std::string::npos; at = out.find("{\"g\":", at + 1)) {
    THbGlyph g;
    unsigned cluster = 0;
    if (std::sscanf(out.c_str() + at, "{\"g\":%u,\"cl\":%u,\"dx\":%d,\"dy\":%d,\"ax\":%d", &g.Glyph, &cluster,
                    &g.XOffset, &g.YOffset, &g.Advance) == 5)
      glyphs.push_back(g);
  }
  return glyphs;
}

struct TBuilt {
  std::vector<TPlacedGlyph> Glyphs;
  std::vector<TLetter> Letters;
  std::string File;  // the face file of the first character
  double Scale = 0;  // glyph units per design unit
  TRecorder Sink;
};

// Builds `text` without a button and with no gap between letters, so that
// positions are the shaper's alone; `fonts` gives a face per character (the
// last one repeats).
void Build(TBuilt& b, const std::u32string& text, const std::vector<std::string>& fonts, bool kerning = false,
           int32_t txtW = 0) {
  TSceneProbe s;
  s.Messages = &b.Sink;
  s.Params.ButType = 0;
  s.Params.TxtW = txtW;
  s.Params.Kerning = kerning;
  TCaption caption;
  for (size_t i = 0; i < text.size(); ++i)
    caption.Append(text[i], Face(fonts[std::min(i, fonts.size() - 1)]));
  ASSERT_TRUE(s.Build(caption));
  b.Glyphs = s.PlacedGlyphs();
  for (int i = 1; i <= s.LetterCount(); ++i) b.Letters.push_back(s.Letter(i));
  ASSERT_TRUE(s.SelectLetterFont(caption.At(0).Font));
  const TGlyphSource::TResolved r = s.Glyphs.ResolveChar(text[0]);
  b.File = s.Glyphs.FaceInfo(r.Face).File;
  b.Scale = TGlyphSource::EmPixels(512) /
            static_cast<double>(TTextShaper::UnitsPerEm(s.Glyphs.FreeTypeFace(r.Face)));
}

// The placed glyphs from `first` on agree with hb-shape's run: same glyphs in
// the same order, each x within one pixel per glyph before it of the shaper's
// pen, y exactly the shaper's raise.
void ExpectRun(const TBuilt& b, size_t first, const std::vector<THbGlyph>& hb) {
  ASSERT_FALSE(hb.empty()) << "hb-shape gave nothing; is libharfbuzz-bin installed?";
  ASSERT_LE(first + hb.size(), b.Glyphs.size());
  const int32_t x0 = b.Glyphs[first].X - RoundInt(hb[0].XOffset * b.Scale);
  int64_t pen = 0;
  for (size_t k = 0; k < hb.size(); ++k) {
    const TPlacedGlyph& g = b.Glyphs[first + k];
    SCOPED_TRACE("glyph " + std::to_string(k));
    EXPECT_EQ(g.Glyph, hb[k].Glyph);
    EXPECT_NEAR(g.X - x0, (pen + hb[k].XOffset) * b.Scale, 1.0 + static_cast<double>(k));
    EXPECT_EQ(g.Y, RoundInt(hb[k].YOffset * b.Scale));
    pen += hb[k].Advance;
  }
}

TEST(ShapedCaption, SingleDirectionRunsAgreeWithHbShape) {
  const struct {
    std::u32string Text;
    std::string Utf8, Font;
  } cases[] = {
      {U"مرحبا", "مرحبا", "DejaVu Sans"},                      // joining forms, right to left
      {U"שלום", "שלום", "DejaVu Sans"},                        // right to left
      {U"नमस्ते", "नमस्ते", "FreeSans"},                           // conjunct, vowel sign
      {U"สวัสดี", "สวัสดี", "FreeSerif"},                          // marks above
      {U"e\u0301te\u0301", "e\u0301te\u0301", "DejaVu Sans"},  // combining accents
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Utf8);
    TBuilt b;
    Build(b, c.Text, {c.Font});
    ExpectRun(b, 0, HbShape(b.File, c.Utf8));
    EXPECT_EQ(b.Glyphs.size(), HbShape(b.File, c.Utf8).size());
    EXPECT_TRUE(b.Sink.Messages.empty());
  }
}

TEST(ShapedCaption, MixedCaptionRunsInBidiOrder) {
  // A left-to-right paragraph: the Latin run, number and blank included, then
  // the Arabic word, itself right to left.
  TBuilt b;
  Build(b, U"Sale 50% تخفيض", {"DejaVu Sans"});
  const std::vector<THbGlyph> latin = HbShape(b.File, "Sale 50% ");
  ExpectRun(b, 0, latin);
  ExpectRun(b, latin.size(), HbShape(b.File, "تخفيض"));
  // Typed the other way round the paragraph is right to left: the Arabic word
  // takes the right, the Latin run still reads left to right.
  TBuilt r;
  Build(r, U"تخفيض Sale", {"DejaVu Sans"});
  const std::vector<THbGlyph> sale = HbShape(r.File, "Sale");
  ExpectRun(r, 0, sale);
  ExpectRun(r, sale.size() + 1, HbShape(r.File, "تخفيض"));
}

TEST(ShapedCaption, AFontChangeInsideAWordSplitsItsJoining) {
  // The first three letters in one face, the last two in another: each part is
  // shaped on its own (its ends take the unjoined forms), the later part on the left.
  TBuilt b;
  Build(b, U"مرحبا", {"DejaVu Sans", "DejaVu Sans", "DejaVu Sans", "FreeSerif"});
  ASSERT_GE(b.Glyphs.size(), 2u);
  TBuilt serif;
  Build(serif, U"با", {"FreeSerif"});
  const std::vector<THbGlyph> left = HbShape(serif.File, "با");
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(b.Glyphs[0].Glyph, left[0].Glyph);
  EXPECT_EQ(b.Glyphs[1].Glyph, left[1].Glyph);
  EXPECT_EQ(b.Glyphs[0].Face, serif.Glyphs[0].Face);
  const std::vector<THbGlyph> right = HbShape(b.File, "مرح");
  ASSERT_EQ(b.Glyphs.size(), 2 + right.size());
  for (size_t k = 0; k < right.size(); ++k) EXPECT_EQ(b.Glyphs[2 + k].Glyph, right[k].Glyph);
  EXPECT_NE(b.Glyphs[2].Face, b.Glyphs[0].Face);
}

int SignedArea2(const std::vector<TPoint>& c) {
  int64_t a = 0;
  for (size_t i = 0; i + 1 < c.size(); ++i)
    a += static_cast<int64_t>(c[i].X) * c[i + 1].Y - static_cast<int64_t>(c[i + 1].X) * c[i].Y;
  return a > 0 ? 1 : a < 0 ? -1 : 0;
}

TEST(ShapedCaption, TouchingGlyphsBecomeOneOutline) {
  // The headline joins every letter of the word: one outer contour (clockwise,
  // y up, like a glyph's), so no bevel runs between the letters.
  TBuilt b;
  Build(b, U"नमस्ते", {"FreeSans"}, false, 10);
  ASSERT_EQ(b.Letters.size(), 1u);
  int outer = 0;
  for (const auto& c : b.Letters[0].Contours) {
    EXPECT_EQ(c.front(), c.back());
    outer += SignedArea2(c) < 0 ? 1 : 0;
  }
  EXPECT_EQ(outer, 1);
  // Hebrew letters do not touch: one letter each, as before.
  TBuilt h;
  Build(h, U"שלום", {"DejaVu Sans"}, false, 10);
  EXPECT_EQ(h.Letters.size(), 4u);
}

TEST(ShapedCaption, KerningTightensAvatarAndChangesNothingWithoutPairs) {
  const auto width = [](const TBuilt& b) {
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    for (const TLetter& l : b.Letters) {
      lo = std::min(lo, l.Left);
      hi = std::max(hi, l.Right);
    }
    return hi - lo;
  };
  TBuilt off, on;
  Build(off, U"AVATAR", {"Arial"}, false, 10);
  Build(on, U"AVATAR", {"Arial"}, true, 10);
  EXPECT_TRUE(off.Glyphs.empty());  // placed letter by letter, as always
  EXPECT_LT(width(on), width(off) - 20);
  // Without kerning pairs the shaped placement is the letter-by-letter one, point for point.
  TBuilt plain, shaped;
  Build(plain, U"HIH", {"Arial"}, false, 10);
  Build(shaped, U"HIH", {"Arial"}, true, 10);
  ASSERT_EQ(plain.Letters.size(), shaped.Letters.size());
  for (size_t i = 0; i < plain.Letters.size(); ++i)
    EXPECT_EQ(plain.Letters[i].Contours, shaped.Letters[i].Contours);
}

TEST(ShapedCaption, BeyondTheLetterBodiesTheCharactersTypedFirstAreKept) {
  // Thai SARA AM shapes into two glyphs beside its consonant's: 16 syllables
  // make 48 letters. In the mixed caption the paragraph runs right to left, so
  // the Thai typed last stands in the middle of the line, not at an end.
  std::u32string thai;
  for (int i = 0; i < 16; ++i) thai += U"\u0E01\u0E33";
  const std::u32string mixed = U"\u0645\u0631\u062D\u0628\u0627 " + thai.substr(0, 26);
  const struct {
    std::u32string Text;
    std::vector<std::string> Fonts;
  } cases[] = {
      {thai, {"FreeSerif"}},
      {mixed,
       {"DejaVu Sans", "DejaVu Sans", "DejaVu Sans", "DejaVu Sans", "DejaVu Sans", "DejaVu Sans",
        "FreeSerif"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Text.size()) + " characters");
    TBuilt b;
    Build(b, c.Text, c.Fonts, false, 10);
    ASSERT_EQ(b.Sink.Notes.size(), 1u);
    int kept = -1;
    ASSERT_EQ(std::sscanf(b.Sink.Notes[0].c_str(),
                          "The caption makes %*d letters, more than the 32 there are: only "
                          "those of its first %d characters are drawn",
                          &kept),
              1)
        << b.Sink.Notes[0];
    EXPECT_GT(kept, 6);
    EXPECT_LE(b.Letters.size(), 32u);
    // Drawn are exactly the glyphs of the characters typed first, wherever they stand.
    for (const TPlacedGlyph& g : b.Glyphs)
      EXPECT_EQ(g.Drawn, g.FirstChar < kept) << "glyph of " << g.FirstChar;
    // What is drawn is the caption cut there, point for point: in the mixed
    // caption the Arabic word closes up to the Thai that is drawn.
    TBuilt cut;
    Build(cut, c.Text.substr(0, static_cast<size_t>(kept)), c.Fonts, false, 10);
    EXPECT_TRUE(cut.Sink.Notes.empty());
    ASSERT_EQ(cut.Letters.size(), b.Letters.size());
    for (size_t i = 0; i < b.Letters.size(); ++i) EXPECT_EQ(cut.Letters[i].Contours, b.Letters[i].Contours);
  }
}

TEST(BidiOrder, RunsReverseFromTheHighestLevelDown) {
  const struct {
    std::vector<uint8_t> Levels;
    std::vector<size_t> Order;
  } cases[] = {
      {{0, 1, 0}, {0, 1, 2}},
      {{1, 2, 1}, {2, 1, 0}},  // a left-to-right run inside right-to-left text
      {{0, 1, 2, 1, 0}, {0, 3, 2, 1, 4}},
      {{1, 1}, {1, 0}},
      {{}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(VisualRunOrder(c.Levels), c.Order);
  EXPECT_EQ(BidiLevels(U"ab אב 12"), (std::vector<uint8_t>{0, 0, 0, 1, 1, 1, 2, 2}));  // numbers after Hebrew
  EXPECT_EQ(BidiLevels(U"אב ab"), (std::vector<uint8_t>{1, 1, 1, 2, 2}));
}

}  // namespace
}  // namespace vantrix
