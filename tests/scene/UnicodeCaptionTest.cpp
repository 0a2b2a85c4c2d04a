// Caption characters outside their letter's character set: outlined by code
// point from the font, or from the face fontconfig finds for the character,
// never as '?'. Reads the fonts scripts/install-deps installs (Liberation,
// DejaVu, WenQuanYi Micro Hei).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/SceneProbe_p.h"

namespace vantrix {
namespace {

class TRecorder : public TMessageSink {
 public:
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void ShowNote(const std::string& text) override { Notes.push_back(text); }
  std::vector<std::string> Messages, Notes;
};

TFontSpec Arial(int charset = 0) {
  TFontSpec f;
  f.FaceName = "Arial";
  f.Charset = charset;
  return f;
}

// The letters of a caption, built without a button.
std::vector<TLetter> Letters(const std::u32string& text, const TFontSpec& font,
                             TRecorder* messages = nullptr) {
  TSceneProbe s;
  s.Messages = messages;
  s.Params.ButType = 0;
  TCaption caption;
  for (char32_t c : text) caption.Append(c, font);
  EXPECT_TRUE(s.Build(caption));
  std::vector<TLetter> letters;
  for (int i = 1; i <= s.LetterCount(); ++i) letters.push_back(s.Letter(i));
  return letters;
}

bool SameContours(const TLetter& a, const TLetter& b) {
  return a.Contours == b.Contours;
}

TEST(UnicodeCaption, CharactersOutsideTheSetAreOutlinedFromTheirOwnGlyphs) {
  // A charset-0 caption: the Greek and Cyrillic letters come from the font's
  // Unicode map, the ideograph from a CJK face; none is the '?' outline.
  const struct {
    char32_t Ch;
    int Contours;
  } cases[] = {{U'Ω', 1}, {U'Ф', 3}, {U'Д', 2}, {U'Ж', 1}, {U'中', 3}};
  const TLetter question = Letters(U"?", Arial()).at(0);
  ASSERT_EQ(question.ContourCount(), 2);
  for (const auto& c : cases) {
    const std::vector<TLetter> letters = Letters(std::u32string(1, c.Ch), Arial());
    ASSERT_EQ(letters.size(), 1u);
    EXPECT_EQ(letters[0].ContourCount(), c.Contours) << static_cast<uint32_t>(c.Ch);
    EXPECT_FALSE(SameContours(letters[0], question)) << static_cast<uint32_t>(c.Ch);
  }
}

TEST(UnicodeCaption, CodePointPathDrawsWhatTheCharacterSetPathDraws) {
  // The same face reached by byte in its own set and by code point from set 0.
  const struct {
    std::u32string Text;
    int Charset;
  } cases[] = {{U"ΩΣλ", 161}, {U"ЖДфы", 204}, {U"שלום", 177}};
  for (const auto& c : cases) {
    const std::vector<TLetter> bySet = Letters(c.Text, Arial(c.Charset));
    const std::vector<TLetter> byCode = Letters(c.Text, Arial(0));
    ASSERT_EQ(bySet.size(), byCode.size());
    for (size_t i = 0; i < bySet.size(); ++i) {
      EXPECT_GT(bySet[i].ContourCount(), 0) << c.Charset << " letter " << i;
      EXPECT_TRUE(SameContours(bySet[i], byCode[i])) << c.Charset << " letter " << i;
    }
  }
}

TEST(UnicodeCaption, FallbackFaceIsNamedOncePerCharacterAndMissingGlyphsAreErrors) {
  TRecorder r;
  Letters(U"Ω中中✓", Arial(), &r);
  // Ω is in the font itself; 中 comes from a CJK face, noted once; ✓ from a
  // symbol-bearing face.
  ASSERT_EQ(r.Notes.size(), 2u);
  EXPECT_NE(r.Notes[0].find("U+4E2D"), std::string::npos) << r.Notes[0];
  EXPECT_NE(r.Notes[0].find("drawn with WenQuanYi Micro Hei"), std::string::npos) << r.Notes[0];
  EXPECT_NE(r.Notes[1].find("U+2713"), std::string::npos) << r.Notes[1];
  EXPECT_TRUE(r.Messages.empty());

  // A private-use character no face has: a blank of the space's width, and an error.
  TRecorder missing;
  const std::vector<TLetter> letters = Letters(U"A\U0010FFFD", Arial(), &missing);
  ASSERT_EQ(letters.size(), 2u);
  EXPECT_EQ(letters[1].ContourCount(), 0);
  ASSERT_EQ(missing.Messages.size(), 1u);
  EXPECT_NE(missing.Messages[0].find("U+10FFFD"), std::string::npos) << missing.Messages[0];
}

}  // namespace
}  // namespace vantrix
