#include "app/logic/TypedValues.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace vantrix {

namespace {

std::string IntegerError(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

}  // namespace

std::string DigitsOnly(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (c >= '0' && c <= '9') digits += c;
  return digits;
}

int32_t MakeInt(std::string_view text) {
  const std::string digits = DigitsOnly(text);
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
    throw TConversionError(IntegerError(digits));
  return value;
}

int32_t ParseInt(std::string_view text) {
  std::string_view t = text;
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  if (t.size() > 1 && t.front() == '+' && t[1] >= '0' && t[1] <= '9') t.remove_prefix(1);
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size())
    throw TConversionError(IntegerError(text));
  return value;
}

TColor HexToColor(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
  size_t first = digits.find_first_not_of('0');
  if (digits.empty() || (first != std::string::npos && digits.size() - first > 8))
    throw TConversionError(IntegerError("$" + digits));
  uint32_t n = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), n, 16);
  return MakeColor((n >> 16) & 255, (n >> 8) & 255, n & 255);
}

std::string FormatReal(float value) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

float ParseReal(std::string_view text) {
  std::string_view t = text;
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  float value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::general);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value))
    throw TConversionError("'" + std::string(text) + "' is not a valid floating point value");
  return value;
}

std::optional<char32_t> ParseCharacterEntry(std::u32string_view text) {
  const auto usable = [](char32_t c) -> std::optional<char32_t> {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
      return std::nullopt;
    return c;
  };
  if (text.size() == 1) return usable(text[0]);
  while (!text.empty() && text.front() == U' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == U' ') text.remove_suffix(1);
  if (text.size() < 3 || text.size() > 8 || (text[0] != U'U' && text[0] != U'u') || text[1] != U'+')
    return std::nullopt;
  char32_t code = 0;
  for (char32_t c : text.substr(2)) {
    int digit = -1;
    if (c >= U'0' && c <= U'9') digit = static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f') digit = static_cast<int>(c - U'a') + 10;
    if (c >= U'A' && c <= U'F') digit = static_cast<int>(c - U'A') + 10;
    if (digit < 0) return std::nullopt;
    code = code * 16 + static_cast<char32_t>(digit);
  }
  return usable(code);
}

}  // namespace vantrix
