#include <gtest/gtest.h>

#include "scene/Caption.h"

namespace vantrix {
namespace {

TEST(Caption, TextIsCutTo32CharactersNotBytes) {
  TCaption c;
  std::string text;
  for (int i = 0; i < 40; ++i) text += "\xC3\xA9";  // é, two bytes each
  c.SetText(text, TFontSpec{});
  EXPECT_EQ(c.Length(), 32);
  EXPECT_EQ(c.At(31).Char, U'é');
  EXPECT_FALSE(c.Append(U'x', TFontSpec{}));
}

TEST(Caption, SetTextMayTakeTheFontOfItsOwnFirstLetter) {
  TCaption c;
  TFontSpec f;
  f.FaceName = "Times New Roman";
  f.Size = 30;
  c.SetText("ab", f);
  c.SetText("a much longer caption than before", c.At(0).Font);
  EXPECT_EQ(c.At(20).Font.FaceName, "Times New Roman");
  EXPECT_EQ(c.At(20).Font.Size, 30);
}

TEST(Caption, MalformedUtf8BecomesQuestionMarks) {
  EXPECT_EQ(DecodeUtf8("a\xFF"
                       "b\xC3"),
            U"a?b?");
  EXPECT_EQ(DecodeUtf8("\xC0\xAF"), U"??");       // overlong slash
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"???");  // a surrogate
  EXPECT_EQ(EncodeUtf8(DecodeUtf8("Д€𝄞")), "Д€𝄞");
}

TEST(Caption, ByteCodesFollowTheCharacterSet) {
  TCaptionChar c;
  c.Char = U'Д';
  c.Font.Charset = 204;
  EXPECT_EQ(TCaption::ByteCode(c), 0xC4);
  c.Font.Charset = 0;
  EXPECT_EQ(TCaption::ByteCode(c), '?');
  c.Char = U'€';
  EXPECT_EQ(TCaption::ByteCode(c), 0x80);
  c.Font.Charset = 2;  // symbol fonts: private-use code points or the byte itself
  c.Char = 0xF061;
  EXPECT_EQ(TCaption::ByteCode(c), 0x61);
  c.Char = U'a';
  EXPECT_EQ(TCaption::ByteCode(c), 0x61);
}

}  // namespace
}  // namespace vantrix
