#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/CaptionList.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

TEST(CaptionList, LinesBecomeCaptionsOrCarryTheirError) {
  const struct {
    std::string Text;
    // line:caption|link or line!error-fragment, one per caption kept
    std::vector<std::string> Expected;
  } cases[] = {
      {"Home\nNews", {"1:Home|", "2:News|"}},
      {"\xEF\xBB\xBFHome\r\n\r\n  News  \r\rAbout\n", {"1:Home|", "3:News|", "5:About|"}},
      {"Shop\t https://example.org/shop \nA\tB\tC\n \thttps://example.org/",
       {"1:Shop|https://example.org/shop", "2!the link holds a control", "3!a link without a caption"}},
      {"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE4\xB8\xAD\xE2\x9C\x93",
       {"1:\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE4\xB8\xAD\xE2\x9C\x93|"}},
      {"ok\nbad \xC3\n\xED\xA0\x80 surrogate\nover\xC0\xAFlong",
       {"1:ok|", "2!not valid UTF-8", "3!not valid UTF-8", "4!not valid UTF-8"}},
      {"nul\0here\nbell\a\nA\t\x01link"s,
       {"1!control character", "2!control character", "3!the link holds a control"}},
      {std::string(32, 'x') + "\n" + std::string(33, 'x'),
       {"1:" + std::string(32, 'x') + "|", "2!33 characters"}},
      {std::string(16, '\xE2') + "\n" + std::string(5000, 'y') + "\nend",
       {"1!not valid UTF-8", "2!longer than 4096 bytes", "3:end|"}},
  };
  for (const auto& c : cases) {
    const std::vector<TCaptionLine> lines = ParseCaptionList(c.Text, "list");
    std::vector<std::string> got;
    for (const TCaptionLine& l : lines) {
      if (l.Error.empty()) {
        got.push_back(std::to_string(l.Line) + ":" + l.Text + "|" + l.Link);
      } else {
        EXPECT_TRUE(l.Text.empty() && l.Link.empty()) << l.Error;
        got.push_back(std::to_string(l.Line) + "!" + l.Error);
      }
    }
    ASSERT_EQ(got.size(), c.Expected.size()) << c.Text.substr(0, 40);
    for (size_t i = 0; i < got.size(); ++i) {
      if (c.Expected[i].find('!') != std::string::npos) {
        EXPECT_EQ(got[i].substr(0, got[i].find('!') + 1),
                  c.Expected[i].substr(0, c.Expected[i].find('!') + 1));
        EXPECT_NE(got[i].find(c.Expected[i].substr(c.Expected[i].find('!') + 1)), std::string::npos)
            << got[i];
      } else {
        EXPECT_EQ(got[i], c.Expected[i]);
      }
    }
  }
}

TEST(CaptionList, ListsThatAreNoListAreRefusedNamingTheSource) {
  const struct {
    std::string Text;
    const char* Error;
  } cases[] = {
      {"", "list: holds no caption"},
      {"\n \t \r\n", "list: holds no caption"},
      {std::string(kMaxCaptionListBytes + 1, 'a'), "list: larger than 1 MiB, not a list of captions"},
      {[] {
         std::string s;
         for (size_t i = 0; i <= kMaxCaptionLines; ++i) s += "b\n";
         return s;
       }(),
       "list: more than 1000 captions"},
  };
  for (const auto& c : cases) {
    try {
      ParseCaptionList(c.Text, "list");
      ADD_FAILURE() << "accepted: " << c.Error;
    } catch (const TCaptionListError& e) {
      EXPECT_STREQ(e.what(), c.Error);
    }
  }
  EXPECT_THROW(ReadCaptionList("/nonexistent/captions.txt"), TCaptionListError);
}

}  // namespace
}  // namespace vantrix
