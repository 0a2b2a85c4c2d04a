#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace vantrix {
namespace {

TEST(CodePage, BytesReadThroughTheirCharacterSet) {
  const struct {
    int charset;
    uint8_t byte;
    char32_t code;
  } cases[] = {
      {0, 0x80, 0x20AC},   {1, 0xE9, 0x00E9},   {204, 0xC4, 0x0414}, {238, 0xA5, 0x0104},
      {161, 0xC4, 0x0394}, {162, 0xD0, 0x011E}, {177, 0xE0, 0x05D0}, {178, 0xC7, 0x0627},
      {186, 0xC0, 0x0104}, {163, 0xC3, 0x0102}, {222, 0xA1, 0x0E01}, {255, 0x01, 0x0001},
      {255, 0xDB, 0x2588}, {77, 0xA5, 0x2022},  {2, 0x61, 0xF061},   {128, 0x41, 0x41},
  };
  for (const auto& k : cases) {
    EXPECT_EQ(CharsetToUnicode(k.charset, k.byte), std::optional<char32_t>(k.code))
        << "charset " << k.charset << " byte " << int(k.byte);
    EXPECT_EQ(UnicodeToCharset(k.charset, k.code), std::optional<uint8_t>(k.byte))
        << "charset " << k.charset << " code " << uint32_t(k.code);
  }
  EXPECT_FALSE(CharsetToUnicode(0, 0x81));
  EXPECT_FALSE(UnicodeToCharset(0, 0x0414));
  EXPECT_FALSE(UnicodeToCharset(2, 0x41));
  EXPECT_FALSE(UnicodeToCharset(0, 0xFFFFFFFF));
}

TEST(CodePage, EveryDefinedByteRoundTrips) {
  for (int charset : {0, 238, 204, 161, 162, 177, 178, 186, 163, 222, 255, 77, 2}) {
    int defined = 0;
    for (int b = 0; b < 256; ++b) {
      const auto c = CharsetToUnicode(charset, static_cast<uint8_t>(b));
      if (!c) continue;
      ++defined;
      EXPECT_EQ(UnicodeToCharset(charset, *c), std::optional<uint8_t>(b)) << "charset " << charset;
    }
    EXPECT_GE(defined, 200) << "charset " << charset;
  }
}

TEST(CodePage, Utf8AndWindows1252) {
  EXPECT_EQ(Cp1252ToUtf8("Caf\xE9 \x80 \x81"), "Caf\xC3\xA9 \xE2\x82\xAC \xC2\x81");
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);

  // Not in 1252: Cyrillic, an emoji, the C1 control that 0x80 does not stand for.
  EXPECT_EQ(Utf8ToCp1252("\xD0\x94x\xF0\x9F\x98\x80y\xC2\x80"), "?x?y?");
  // Malformed: stray continuation, overlong slash, surrogate, cut-off sequence.
  EXPECT_EQ(Utf8ToCp1252("a\x80"
                         "b\xC0\xAF"
                         "c\xED\xA0\x80"
                         "d\xE2\x82",
                         '#'),
            "a#b##c###d##");
}

}  // namespace
}  // namespace vantrix
