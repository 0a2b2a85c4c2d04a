#pragma once
// Numbers and colours the user types into the window's edit fields, and the
// errors a field that holds none shows. Real numbers use the decimal point
// both ways, whatever the locale, so that showing a value and taking it back
// never disagree.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/Color.h"

namespace vantrix {

// A typed value that is not a number; the text is the one the user is shown:
// "'abc' is not a valid floating point value", "'' is not a valid integer value".
class TConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Only the characters 0-9, in their order.
std::string DigitsOnly(std::string_view text);

// The digits of text as a number (1,500 gives 1500, -20 gives 20). Throws
// when text holds no digit or more than fit an int32.
int32_t MakeInt(std::string_view text);

// A whole decimal number as typed: blanks around it and a sign allowed,
// nothing else. Throws with the whole text ("'12pt' is not a valid integer
// value") when that is not a number within int32.
int32_t ParseInt(std::string_view text);

// The hexadecimal digits of text as red, green, blue (ff8000 and #FF 80 00
// both give red 255, green 128, blue 0). Throws when there is no hexadecimal
// digit or more than eight.
TColor HexToColor(std::string_view text);

// Shortest text that reads back as the same float ("450", "0.125").
std::string FormatReal(float value);
// Blanks around the number are allowed; anything else that is not part of a
// finite decimal number throws with the whole text.
float ParseReal(std::string_view text);

// Whether a character typed into a size field passes: control keys 1..30
// (Backspace) and the digits.
constexpr bool AcceptSizeKey(char32_t code) {
  return (code >= 1 && code <= 30) || (code >= U'0' && code <= U'9');
}

// A character typed into the Character Map's entry: the one character itself,
// or its code as U+ and 1 to 6 hex digits ("U+2713"); blanks around a code
// are allowed. Nothing for control characters, surrogates, codes past
// U+10FFFF and anything else.
std::optional<char32_t> ParseCharacterEntry(std::u32string_view text);

}  // namespace vantrix
