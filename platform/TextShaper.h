#pragma once
// Shaping one run of text (one face, one script, one direction) with HarfBuzz,
// and the character classes a caption's layout splits its runs by.
//
// Positions are in the face's design units (the font's em as HarfBuzz reads it
// unscaled), so that they can be checked against any other shaper of the same
// face; the caller scales them to its own pixels.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct FT_FaceRec_;
struct hb_font_t;

namespace vantrix {

struct TShapedGlyph {
  uint32_t Glyph = 0;
  uint32_t Cluster = 0;  // index of the first character of its cluster in the whole text
  int32_t Advance = 0;   // x advance as shaped
  int32_t Nominal = 0;   // the glyph's own advance, unshaped
  int32_t XOffset = 0, YOffset = 0;
};

class TTextShaper {
 public:
  TTextShaper() = default;
  ~TTextShaper();
  TTextShaper(const TTextShaper&) = delete;
  TTextShaper& operator=(const TTextShaper&) = delete;

  // Shapes text[start, start + count) with the rest of `text` as context. The glyphs
  // come in visual order, left to right. Without `kerning` the font's kerning and
  // standard ligatures are off; the shaping a script needs stays on.
  std::vector<TShapedGlyph> Shape(FT_FaceRec_* face, std::u32string_view text, size_t start, size_t count,
                                  bool rightToLeft, bool kerning);
  static int UnitsPerEm(FT_FaceRec_* face);

 private:
  std::map<FT_FaceRec_*, hb_font_t*> fonts_;
};

// The script of a character as an ISO 15924 tag; 0 for characters every script
// shares (spaces, digits, punctuation) and for combining marks, which take the
// script of the text around them.
uint32_t CharScript(char32_t ch);
// Scripts whose letters touch inside a word (cursive joins, a headline).
bool IsJoiningScript(uint32_t script);
// Whether a character may be drawn as it always was, one glyph at its nominal
// advance: it is no mark, is not written right to left and its script needs no
// shaping.
bool NeedsNoShaping(char32_t ch);
bool IsSpaceChar(char32_t ch);
// The letters of a text (marks included) in canonically composed form, so that
// "e" followed by a combining acute and a typed "é" give one name; everything
// else is dropped.
std::u32string ComposedLetters(std::u32string_view text);

}  // namespace vantrix
