#include "platform/CodePage.h"

#include <iconv.h>

#include <array>
#include <map>
#include <memory>
#include <mutex>

namespace vantrix {
namespace {

constexpr char32_t kUndefined = 0xFFFFFFFFu;
using TByteTable = std::array<char32_t, 256>;

const char* IconvName(int codePage) {
  switch (codePage) {
    case 1250:
      return "CP1250";
    case 1251:
      return "CP1251";
    case 1252:
      return "CP1252";
    case 1253:
      return "CP1253";
    case 1254:
      return "CP1254";
    case 1255:
      return "CP1255";
    case 1256:
      return "CP1256";
    case 1257:
      return "CP1257";
    case 1258:
      return "CP1258";
    case 874:
      return "CP874";
    case 437:
      return "CP437";
    case 10000:
      return "MACINTOSH";
    default:
      return nullptr;
  }
}

// Converts each byte on its own. The state is reset and flushed around every byte
// because the 1255 and 1258 converters hold a base letter back until they know
// whether a combining mark follows.
TByteTable BuildTable(int codePage) {
  TByteTable table;
  table.fill(kUndefined);
  const char* name = IconvName(codePage);
  if (name == nullptr) return table;
  iconv_t cd = iconv_open("UTF-32LE", name);
  // iconv's own failure value; NOLINTNEXTLINE(performance-no-int-to-ptr)
  if (cd == reinterpret_cast<iconv_t>(-1)) return table;
  for (int b = 0; b < 256; ++b) {
    char in[1] = {static_cast<char>(b)};
    unsigned char out[16] = {};
    char* inPtr = in;
    size_t inLeft = 1;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) continue;
    if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) continue;
    if (sizeof out - outLeft != 4) continue;  // nothing, or more than one character
    table[b] = static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
               static_cast<char32_t>(out[2]) << 16 | static_cast<char32_t>(out[3]) << 24;
  }
  iconv_close(cd);
  return table;
}

const TByteTable& TableOf(int codePage) {
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<TByteTable>> tables;
  std::lock_guard<std::mutex> lock(mutex);
  auto& slot = tables[codePage];
  if (!slot) slot = std::make_unique<TByteTable>(BuildTable(codePage));
  return *slot;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 character at text[pos]; returns its length, or 0 when the bytes
// there are not a well-formed character (overlong forms and surrogates included).
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& c) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  size_t len;
  char32_t min;
  if (lead < 0x80) {
    c = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    len = 2, min = 0x80, c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    len = 3, min = 0x800, c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    len = 4, min = 0x10000, c = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() - pos < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(pos + i) & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

int CodePageOfCharset(int charset) {
  switch (charset) {
    case kSymbolCharset:
      return 0;
    case 238:
      return 1250;
    case 204:
      return 1251;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 163:
      return 1258;
    case 222:
      return 874;
    case 255:
      return 437;
    case 77:
      return 10000;
    default:
      return 1252;
  }
}

std::optional<char32_t> CharsetToUnicode(int charset, uint8_t byte) {
  const int codePage = CodePageOfCharset(charset);
  if (codePage == 0) return kSymbolBase + byte;
  const char32_t c = TableOf(codePage)[byte];
  if (c == kUndefined) return std::nullopt;
  return c;
}

std::optional<uint8_t> UnicodeToCharset(int charset, char32_t codePoint) {
  const int codePage = CodePageOfCharset(charset);
  if (codePage == 0) {
    if (codePoint >= kSymbolBase && codePoint <= kSymbolBase + 0xFF) {
      return static_cast<uint8_t>(codePoint - kSymbolBase);
    }
    return std::nullopt;
  }
  if (codePoint == kUndefined) return std::nullopt;
  const TByteTable& table = TableOf(codePage);
  for (int b = 0; b < 256; ++b) {
    if (table[b] == codePoint) return static_cast<uint8_t>(b);
  }
  return std::nullopt;
}

std::string Cp1252ToUtf8(std::string_view text) {
  const TByteTable& table = TableOf(1252);
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    AppendUtf8(out, table[b] == kUndefined ? static_cast<char32_t>(b) : table[b]);
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text, char replacement) {
  const TByteTable& table = TableOf(1252);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t c = 0;
    const size_t len = DecodeUtf8(text, pos, c);
    if (len == 0) {
      out += replacement;
      ++pos;
      continue;
    }
    pos += len;
    // ASCII, and the C1 controls Cp1252ToUtf8 makes of undefined bytes, stay as they are.
    if (c < 0x80 || (c <= 0xFF && table[c] == kUndefined)) {
      out += static_cast<char>(c);
    } else if (auto b = UnicodeToCharset(kAnsiCharset, c)) {
      out += static_cast<char>(*b);
    } else {
      out += replacement;
    }
  }
  return out;
}

}  // namespace vantrix
