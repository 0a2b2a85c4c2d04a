#pragma once
// Colour values as the six hexadecimal digits web pages and the colour edit
// use: red, green, blue, upper case. A TColor holds red in its low byte
// ($00BBGGRR), so the digits come out in the reverse of the value's own hex
// order: ColorToHex(0x000080FF) is "FF8000", white is "FFFFFF".

#include <string>

#include "platform/Color.h"

namespace vantrix {

inline std::string ColorToHex(TColor c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const uint8_t parts[3] = {ColorRed(c), ColorGreen(c), ColorBlue(c)};
  std::string text;
  for (uint8_t p : parts) {
    text += kDigits[p >> 4];
    text += kDigits[p & 15];
  }
  return text;
}

}  // namespace vantrix
