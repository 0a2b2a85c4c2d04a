#include <gtest/gtest.h>

#include <random>

#include "app/logic/TypedValues.h"
#include "imaging/ColorText.h"
#include "scene/Caption.h"

namespace vantrix {
namespace {

TEST(TypedValues, HexToColorKeepsOnlyHexDigits) {
  struct Case {
    const char* text;
    TColor color;
  } cases[] = {
      {"ff8000", MakeColor(255, 128, 0)},  {"FF8000", MakeColor(255, 128, 0)},
      {"12-34-56", MakeColor(18, 52, 86)}, {"# 12 34 56", MakeColor(18, 52, 86)},
      {"80", MakeColor(0, 0, 128)},        {"00000000FFFFFF", kColorWhite},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HexToColor(c.text), c.color) << c.text;
    EXPECT_EQ(HexToColor(ColorToHex(c.color)), c.color) << c.text;
  }
  for (const char* bad : {"", "xyz", "#", "123456789"})
    EXPECT_THROW(HexToColor(bad), TConversionError) << bad;
  try {
    HexToColor("zz");
  } catch (const TConversionError& e) {
    EXPECT_STREQ(e.what(), "'$' is not a valid integer value");
  }
}

TEST(TypedValues, MakeIntDropsEverythingButDigits) {
  EXPECT_EQ(MakeInt("1,500"), 1500);
  EXPECT_EQ(MakeInt("1 500"), 1500);
  EXPECT_EQ(MakeInt("-20"), 20);
  EXPECT_EQ(MakeInt("007"), 7);
  for (const char* bad : {"", "abc", "-", "99999999999"}) EXPECT_THROW(MakeInt(bad), TConversionError) << bad;
  try {
    MakeInt("abc");
  } catch (const TConversionError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
}

// Whatever a factor field shows reads back as the same float.
TEST(TypedValues, ParseIntTakesWholeNumbersOnly) {
  struct Case {
    const char* text;
    int value;
  } good[] = {{"18", 18}, {" 24 ", 24}, {"-5", -5}, {"+7", 7}, {"2147483647", 2147483647}};
  for (const Case& c : good) EXPECT_EQ(ParseInt(c.text), c.value) << c.text;
  for (const char* bad : {"", " ", "12pt", "1 500", "1,5", "+", "+-3", "2147483648"}) {
    try {
      ParseInt(bad);
      ADD_FAILURE() << bad;
    } catch (const TConversionError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
}

TEST(TypedValues, RealsReadBackAsShown) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> any(-5000.f, 5000.f);
  for (int i = 0; i < 2000; ++i) {
    const float v = i < 1000 ? any(rng) : std::ldexp(any(rng), -20 + i % 40);
    EXPECT_EQ(ParseReal(FormatReal(v)), v) << FormatReal(v);
  }
  EXPECT_EQ(FormatReal(450), "450");
  EXPECT_EQ(ParseReal(" 1.5e2 "), 150.f);
  EXPECT_EQ(ParseReal("+2"), 2.f);
  for (const char* bad : {"", "abc", "1,5", "1.5x", "inf", "nan", "1e99"})
    EXPECT_THROW(ParseReal(bad), TConversionError) << bad;
}

TEST(TypedValues, SizeFieldsPassControlKeysAndDigits) {
  for (char32_t c = 0; c < 128; ++c)
    EXPECT_EQ(AcceptSizeKey(c), (c >= 1 && c <= 30) || (c >= '0' && c <= '9')) << int(c);
  EXPECT_FALSE(AcceptSizeKey(U'\u0661'));  // a digit of another script
}

TEST(TypedValues, CharacterEntryTakesOneCharacterOrItsCode) {
  const struct {
    std::u32string text;
    std::optional<char32_t> expected;
  } rows[] = {
      {U"\u03a9", U'\u03a9'},
      {U"U+2713", U'\u2713'},
      {U" u+1f600 ", U'\U0001F600'},
      {U" ", U' '},
      {U"U+10FFFF", U'\U0010FFFF'},
      {U"U+110000", {}},
      {U"U+D800", {}},
      {U"U+1F", {}},
      {U"\t", {}},
      {U"ab", {}},
      {U"U+", {}},
      {U"U+12G4", {}},
      {U"U+0000041", {}},
      {U"", {}},
  };
  for (const auto& r : rows) EXPECT_EQ(ParseCharacterEntry(r.text), r.expected) << EncodeUtf8(r.text);
}

}  // namespace
}  // namespace vantrix
