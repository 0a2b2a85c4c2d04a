#pragma once
// Single-byte Windows character sets and the text conversions built on them.
//
// A character set is the Windows number a font carries (0 Western, 204 Cyrillic,
// 2 Symbol, ...). Each one reads a byte through a Windows code page; the tables
// come from the C library's iconv and are built once per code page on first use.
// Unknown sets and the default set (1) read as Windows-1252.
//
// The symbol set (2) has no code page: its bytes stand for the private-use code
// points U+F000 + byte, the way symbol fonts are addressed by character.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

constexpr int kAnsiCharset = 0;
constexpr int kSymbolCharset = 2;
constexpr char32_t kSymbolBase = 0xF000;

// The Windows code page of a character set: 1252, 1251, ..., 437, 874, 10000 (Mac Roman),
// and 0 for the symbol set.
int CodePageOfCharset(int charset);

// The Unicode code point that `byte` stands for in `charset`; nullopt when the code page
// leaves the byte undefined (0x81 in 1252) or the code page is not available.
std::optional<char32_t> CharsetToUnicode(int charset, uint8_t byte);

// The byte that stands for `codePoint` in `charset` (the lowest one if several do);
// nullopt when the set cannot express it.
std::optional<uint8_t> UnicodeToCharset(int charset, char32_t codePoint);

// Windows-1252 text to UTF-8. The five bytes 1252 leaves undefined become the C1 control
// of the same number, so that every byte string survives the round trip.
std::string Cp1252ToUtf8(std::string_view text);

// UTF-8 text to Windows-1252. Characters 1252 cannot express and malformed UTF-8
// (each offending byte) become `replacement`.
std::string Utf8ToCp1252(std::string_view text, char replacement = '?');

}  // namespace vantrix
