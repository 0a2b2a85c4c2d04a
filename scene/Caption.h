#pragma once
// TCaption: the caption the scene builds its letters from, up to 32 characters,
// each a Unicode character with its own font. The desktop program adapts its
// rich-text editor to this model; the command line and work files fill it
// directly. A character its font's character set holds is fetched by its
// single-byte code in that set (ByteCode), as it always was; any other one by
// its Unicode code point, from the font or a fallback face that has it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GlyphSource.h"

namespace vantrix {

struct TCaptionChar {
  char32_t Char = U' ';
  TFontSpec Font;
  friend bool operator==(const TCaptionChar&, const TCaptionChar&) = default;
};

class TCaption {
 public:
  static constexpr int kMaxChars = 32;

  int Length() const { return static_cast<int>(chars_.size()); }
  bool Empty() const { return chars_.empty(); }
  const TCaptionChar& At(int i) const { return chars_[i]; }  // 0-based
  TCaptionChar& At(int i) { return chars_[i]; }
  const std::vector<TCaptionChar>& Chars() const { return chars_; }

  void Clear() { chars_.clear(); }
  friend bool operator==(const TCaption&, const TCaption&) = default;
  // False (and nothing added) once 32 characters are held.
  bool Append(char32_t ch, const TFontSpec& font);
  // Replaces the text, every character taking `font`; cut to 32 characters.
  // Malformed UTF-8 bytes become '?'. The font is taken by value, so it may
  // be one of this caption's own letters.
  void SetText(std::string_view utf8, TFontSpec font);
  std::string TextUtf8() const;

  // The byte that stands for the character in its font's character set; '?'
  // when the set cannot express it.
  static uint8_t ByteCode(const TCaptionChar& c);
  // Whether ByteCode stands for the character itself rather than for '?'.
  static bool InCharset(const TCaptionChar& c);

 private:
  std::vector<TCaptionChar> chars_;
};

// UTF-8 <-> code points, the one place that decodes caption text.
std::u32string DecodeUtf8(std::string_view text, char32_t replacement = U'?');
std::string EncodeUtf8(std::u32string_view text);

}  // namespace vantrix
