#include "scene/Caption.h"

#include "platform/CodePage.h"

namespace vantrix {

bool TCaption::Append(char32_t ch, const TFontSpec& font) {
  if (Length() >= kMaxChars) return false;
  chars_.push_back(TCaptionChar{ch, font});
  return true;
}

// By value: the font may be one of this caption's own letters, which the text replaces.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
void TCaption::SetText(std::string_view utf8, TFontSpec font) {
  chars_.clear();
  for (char32_t c : DecodeUtf8(utf8))
    if (!Append(c, font)) break;
}

std::string TCaption::TextUtf8() const {
  std::u32string s;
  for (const TCaptionChar& c : chars_) s.push_back(c.Char);
  return EncodeUtf8(s);
}

uint8_t TCaption::ByteCode(const TCaptionChar& c) {
  if (c.Font.Charset == kSymbolCharset) {
    // Symbol fonts are addressed either by their private-use code points or,
    // as typed, by the byte itself.
    if (c.Char >= kSymbolBase && c.Char <= kSymbolBase + 0xFF)
      return static_cast<uint8_t>(c.Char - kSymbolBase);
    return c.Char <= 0xFF ? static_cast<uint8_t>(c.Char) : '?';
  }
  return UnicodeToCharset(c.Font.Charset, c.Char).value_or('?');
}

bool TCaption::InCharset(const TCaptionChar& c) {
  if (c.Font.Charset == kSymbolCharset)
    return c.Char <= 0xFF || (c.Char >= kSymbolBase && c.Char <= kSymbolBase + 0xFF);
  return UnicodeToCharset(c.Font.Charset, c.Char).has_value();
}

std::u32string DecodeUtf8(std::string_view text, char32_t replacement) {
  std::u32string out;
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    int len = 0;
    char32_t cp = 0;
    if (b < 0x80) {
      len = 1;
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2;
      cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3;
      cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4;
      cp = b & 0x07;
    }
    bool ok = len > 0 && i + len <= text.size();
    for (int k = 1; ok && k < len; ++k) {
      const uint8_t cb = static_cast<uint8_t>(text[i + k]);
      if ((cb & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (cb & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (ok && (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      out.push_back(replacement);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += len;
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace vantrix
