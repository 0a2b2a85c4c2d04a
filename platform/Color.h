#pragma once
// Two colour layouts meet in this program:
//  - TColor, the colour value the user picks and work files store:
//    red in bits 0-7, green in bits 8-15, blue in bits 16-23, upper byte 0
//    (white is 16777215).
//  - A pixel of a 32-bit picture or an entry of a shade ramp: blue in bits 0-7,
//    green in bits 8-15, red in bits 16-23 (bytes blue, green, red, fourth in memory).
// These helpers are the one place where the two are converted. TColor is a
// type of its own, so that passing a pixel for a colour (or the reverse) does
// not compile; its number is reached only through ColorValue/ColorFromValue.

#include <cstdint>

namespace vantrix {

enum class TColor : uint32_t {};
using TPixel = uint32_t;

constexpr uint32_t ColorValue(TColor c) {
  return static_cast<uint32_t>(c);
}
constexpr TColor ColorFromValue(uint32_t v) {
  return static_cast<TColor>(v);
}

constexpr TColor kColorWhite = ColorFromValue(0x00FFFFFF);
constexpr TPixel kPixelWhite = 0x00FFFFFF;  // the mask colour: B, G, R 255, fourth byte 0

constexpr uint8_t ColorRed(TColor c) {
  return static_cast<uint8_t>(ColorValue(c) & 0xFF);
}
constexpr uint8_t ColorGreen(TColor c) {
  return static_cast<uint8_t>((ColorValue(c) >> 8) & 0xFF);
}
constexpr uint8_t ColorBlue(TColor c) {
  return static_cast<uint8_t>((ColorValue(c) >> 16) & 0xFF);
}
constexpr TColor MakeColor(uint8_t r, uint8_t g, uint8_t b) {
  return ColorFromValue(static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
                        (static_cast<uint32_t>(b) << 16));
}

constexpr uint8_t PixelBlue(TPixel p) {
  return static_cast<uint8_t>(p & 0xFF);
}
constexpr uint8_t PixelGreen(TPixel p) {
  return static_cast<uint8_t>((p >> 8) & 0xFF);
}
constexpr uint8_t PixelRed(TPixel p) {
  return static_cast<uint8_t>((p >> 16) & 0xFF);
}
constexpr TPixel MakePixel(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TPixel>(b) | (static_cast<TPixel>(g) << 8) | (static_cast<TPixel>(r) << 16);
}

constexpr TPixel ColorToPixel(TColor c) {
  return MakePixel(ColorRed(c), ColorGreen(c), ColorBlue(c));
}
constexpr TColor PixelToColor(TPixel p) {
  return MakeColor(PixelRed(p), PixelGreen(p), PixelBlue(p));
}

}  // namespace vantrix
