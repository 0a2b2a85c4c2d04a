#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "imaging/ColorText.h"
#include "imaging/HTMLUnit.h"
#include "imaging/OptionsList.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;

TEST(OptionsList, NamesIgnoreCaseAndEmptyValuesRemove) {
  TOptionsList list;
  list.PutString("ImageWidth", "160");
  list.PutInteger("imagewidth", 200);  // same name: replaced, not added
  list.PutBoolean("IsAnimated", true);
  list.PutString("TargetURL", "http://example.org/");
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetString("IMAGEWIDTH"), "200");
  EXPECT_EQ(list.Line(0), "imagewidth=200");
  EXPECT_TRUE(list.GetBoolean("isanimated"));

  list.PutString("TargetURL", "");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.GetString("TargetURL"), "");
  list.PutString("Absent", "");  // removing what is not there is fine
  EXPECT_EQ(list.Count(), 2);

  list.PutString("Flag", "true");
  EXPECT_FALSE(list.GetBoolean("Flag"));  // only upper-case TRUE counts
  EXPECT_FALSE(list.GetBoolean("Missing"));
  // A value may itself hold '=': only the first one ends the name.
  list.PutString("Query", "a=b");
  EXPECT_EQ(list.GetString("query"), "a=b");
}

TEST(FillTemplate, ReplacesReferences) {
  TOptionsList vars;
  vars.PutString("ButtonText", "Go");
  vars.PutString("ImageWidth", "160");
  vars.PutString("Tick", "a`b");
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"<b>`ButtonText`</b>", "<b>Go</b>"},
      {"w=`imagewidth`", "w=160"},
      {"[`TargetURL`]", "[]"},                // undefined gives nothing
      {"a``b", "ab"},                         // two back-quotes in a row
      {"x`ButtonText`y`ImageWidth", "xGoy"},  // unclosed at the end: dropped
      {"`Button\nText`!", "!"},               // a line break is part of the name
      {"`Tick``ButtonText`", "a`bGo"},        // values are not scanned again
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FillTemplate(c.text, vars), c.expected) << c.text;
}

TEST(HtmlValues, KilobytesRoundToTenthsHalfToEven) {
  EXPECT_EQ(FormatKilobytes(3500), "3.4");
  EXPECT_EQ(FormatKilobytes(2048), "2");
  EXPECT_EQ(FormatKilobytes(0), "0");
  EXPECT_EQ(FormatKilobytes(1023), "1");   // 9.99 tenths
  EXPECT_EQ(FormatKilobytes(256), "0.2");  // 2.5 tenths
  EXPECT_EQ(FormatKilobytes(768), "0.8");  // 7.5 tenths
  EXPECT_EQ(FormatKilobytes(1536000), "1500");
}

TEST(HtmlValues, ColorHexIsRedGreenBlue) {
  EXPECT_EQ(ColorToHex(kColorWhite), "FFFFFF");
  EXPECT_EQ(ColorToHex(MakeColor(255, 128, 0)), "FF8000");
  EXPECT_EQ(ColorToHex(MakeColor(0x01, 0x23, 0xAB)), "0123AB");
}

// A program folder whose templates print the variables they are given.
class HtmlFolder : public ::testing::Test {
 protected:
  static constexpr const char* kAllVars =
      "`IsAnimated`|`ImageFileName`|`ImageFileSize`|`Phase2FileName`|`Phase2FileSize`|"
      "`ImageFilePath`|`ImageWidth`|`ImageHeight`|`ImageDiffusion`|`BgColor`|`TargetURL`|"
      "`NumberOfColors`|`ButtonText`\n";

  void SetUp() override {
    WriteFileBytes(folder_ / "html/preview.tml", std::string("still:") + kAllVars);
    WriteFileBytes(folder_ / "html/preview_ani.tml", std::string("ani:") + kAllVars + "`UIN`\n");
    WriteFileBytes(folder_ / "html/example.tml", "snippet `UIN` `ButtonText`\n");
    caption_.SetText("Go", TFontSpec{});
    settings_.Dither = 1;
    settings_.ColorIndex = 3;
    settings_.ExportWidth = 120;
    settings_.ExportHeight = 36;
    settings_.TargetURL = "http://example.org/a\\b";
    scene_.Params.BkgColor = MakeColor(255, 128, 0);
  }

  std::string Make(const std::string& first, const std::string& second) {
    return MakeHtml(folder_.Path(), first, second, settings_, scene_, caption_, 3500, 2048);
  }
  std::string Page() const { return ReadFileBytes(folder_ / "html/preview.html"); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }

  TTempFolder folder_;
  TExportSettings settings_;
  TScene scene_;
  TCaption caption_;
};

TEST_F(HtmlFolder, RollOverPageAndSnippet) {
  scene_.Params.EffectType = 2;
  const std::string written = Make("C:\\Site\\img\\Go.gif", "C:\\Site\\img\\Go_2.gif");
  EXPECT_EQ(written, folder_ / "html/preview.html");
  const std::string page = Page();
  // Backslashes become slashes everywhere, the URL included.
  const std::string expected =
      "ani:TRUE|Go.gif|3.4|Go_2.gif|2|C:/Site/img/|120|36| Floyd Steinberg|#FF8000|"
      "http://example.org/a/b| 64|Go\n";
  ASSERT_EQ(page.substr(0, expected.size()), expected);
  EXPECT_TRUE(std::regex_match(page.substr(expected.size()), std::regex("bt_[0-9]{6}\n")));
  const std::string uin = page.substr(expected.size(), 9);
  EXPECT_EQ(ReadFileBytes(folder_ / "html/example.txt"), "snippet " + uin + " Go\n");

  // Every export draws its own UIN (three tries make a clash practically impossible).
  std::set<std::string> uins{uin};
  for (int i = 0; i < 2; ++i) {
    Make("C:\\Site\\img\\Go.gif", "C:\\Site\\img\\Go_2.gif");
    uins.insert(Page().substr(expected.size(), 9));
  }
  EXPECT_GT(uins.size(), 1u);
}

TEST_F(HtmlFolder, WithoutRollOverTheSnippetIsLeftAlone) {
  WriteFileBytes(folder_ / "html/example.txt", "kept");
  settings_.TargetURL.clear();
  Make("/srv/site/Go.gif", "/srv/site/Go.gif");
  EXPECT_EQ(Page(),
            "still:FALSE|Go.gif|3.4|Go.gif|2|/srv/site/|120|36| Floyd Steinberg|#FF8000||"
            " 64|Go\n");
  EXPECT_EQ(ReadFileBytes(folder_ / "html/example.txt"), "kept");
}

TEST_F(HtmlFolder, ValuesAreEscapedAndRelativePathsMadeAbsolute) {
  caption_.SetText("Fish & <Chips>", TFontSpec{});
  WriteFileBytes(folder_ / "html/preview.tml", "`ButtonText`\n`ImageFilePath`\n");
  Make("out/Go.gif", "");
  const std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(Page(), "Fish &amp; &lt;Chips&gt;\n" + cwd + "/out/\n");
}

TEST_F(HtmlFolder, FolderAndTemplateNamesIgnoreCase) {
  std::filesystem::rename(folder_ / "html", folder_ / "HTML");
  std::filesystem::rename(folder_ / "HTML/preview.tml", folder_ / "HTML/Preview.TML");
  EXPECT_EQ(Make("/a/Go.gif", ""), folder_ / "HTML/preview.html");
  EXPECT_EQ(FindHtmlFile(folder_.Path(), "preview.tml"), folder_ / "HTML/Preview.TML");
  EXPECT_EQ(ReadFileBytes(folder_ / "HTML/preview.html").substr(0, 12), "still:FALSE|");
}

TEST_F(HtmlFolder, LineBreaksAreNormalised) {
  WriteFileBytes(folder_ / "html/preview.tml", "\xEF\xBB\xBFone\r\ntwo\rthree\n\nfour");
  Make("/a/Go.gif", "");
  EXPECT_EQ(Page(), "one\ntwo\nthree\n\nfour\n");
}

TEST_F(HtmlFolder, MissingTemplateNamesItAndWritesNothing) {
  scene_.Params.EffectType = 1;
  WriteFileBytes(folder_ / "html/preview.html", "old page");
  std::filesystem::remove(folder_ / "html/example.tml");
  try {
    Make("/a/Go.gif", "/a/Go_2.gif");
    FAIL() << "no error";
  } catch (const THtmlError& e) {
    EXPECT_NE(std::string(e.what()).find(folder_ / "html/example.tml"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Page(), "old page");
  EXPECT_FALSE(Exists("html/example.txt"));

  // No html folder at all: the lower-case path is named.
  std::filesystem::remove_all(folder_ / "html");
  scene_.Params.EffectType = 0;
  EXPECT_THROW(
      {
        try {
          Make("/a/Go.gif", "");
        } catch (const THtmlError& e) {
          EXPECT_NE(std::string(e.what()).find(folder_ / "html/preview.tml"), std::string::npos);
          throw;
        }
      },
      THtmlError);
}

TEST_F(HtmlFolder, FailedWriteLeavesNoTempFile) {
  // A folder where the page should go makes the final rename fail, even for root.
  WriteFileBytes(folder_ / "html/preview.html/keep", "x");
  EXPECT_THROW(Make("/a/Go.gif", ""), THtmlError);
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(folder_ / "html")) entries += !e.path().empty();
  EXPECT_EQ(entries, 4);  // three templates and the folder
}

// The delivered templates only name variables the program sets, close every
// reference and declare UTF-8.
TEST(DeliveredTemplates, UseKnownVariablesOnly) {
  // Every variable set: a roll-over, a link, two densities, an offered format
  // (empty values are left out).
  TExportSettings settings;
  settings.TargetURL = "https://example.org/";
  settings.Scales = {1, 2};
  settings.AlsoOffer = {kExportAvif};
  TScene scene;
  scene.Params.EffectType = 1;
  TCaption caption;
  caption.SetText("Go", TFontSpec{});
  const TOptionsList variables = HtmlVariables("/x/Go_1.png", "/x/Go_2.png", settings, scene, caption, 1, 1);
  // The set's navigation page adds a button's own and the two it fills in itself.
  const TOptionsList button = NavButtonVariables({"#", "Go_1.png", "Go_2.png", "Go"}, 1, 1, settings);
  std::set<std::string> known = {"uin", "buttons", "navsnippet", "swapscript"};
  for (const TOptionsList* list : {&variables, &button})
    for (int i = 0; i < list->Count(); ++i) {
      std::string var(TOptionsList::LineName(list->Line(i)));
      for (char& c : var) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      known.insert(var);
    }
  const std::string dir = std::string(VANTRIX_SOURCE_DIR) + "/data/html/";
  for (const char* name :
       {"preview.tml", "preview_ani.tml", "example.tml", "preview_css.tml", "example_css.tml", "nav.tml",
        "navsnippet.tml", "navbutton.tml", "navbutton_ani.tml", "navsnippet_css.tml", "navbutton_css.tml"}) {
    const std::string text = ReadFileBytes(dir + name);
    ASSERT_FALSE(text.empty()) << name;
    size_t pos = 0, refs = 0;
    while ((pos = text.find('`', pos)) != std::string::npos) {
      const size_t end = text.find('`', pos + 1);
      ASSERT_NE(end, std::string::npos) << name << ": unclosed reference";
      std::string var = text.substr(pos + 1, end - pos - 1);
      for (char& c : var) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      EXPECT_TRUE(known.count(var)) << name << ": unknown variable " << var;
      pos = end + 1;
      ++refs;
    }
    EXPECT_GT(refs, 0u) << name;
    if (std::string(name).starts_with("preview") || std::string(name) == "nav.tml") {  // whole pages
      EXPECT_NE(text.find("<meta charset=\"utf-8\">"), std::string::npos) << name;
      EXPECT_NE(text.find("<html lang=\""), std::string::npos) << name;
    }
  }
  EXPECT_NE(ReadFileBytes(dir + "About.html").find("<meta charset=\"utf-8\">"), std::string::npos);
}

}  // namespace
}  // namespace vantrix

namespace vantrix {
namespace {

// Percent-decoding as a browser does it, to check the encoding round-trips.
std::string UrlDecode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

TEST(HtmlValues, PicturePathsBecomeUrlsThatDecodeBack) {
  for (const std::string path :
       {"/srv/My Site/#1?/100%/Grüße/Go@2x.png", "/a/b.png", "/x/a,b;c&d'e\"f.gif"}) {
    const std::string url = UrlEncodePath(path);
    EXPECT_EQ(UrlDecode(url), path);
    EXPECT_EQ(url.find_first_of(" #?,;&'\"\x80\xFF"), std::string::npos) << url;
  }
  EXPECT_EQ(UrlEncodePath("/a b/c#d"), "/a%20b/c%23d");
  EXPECT_EQ(UrlEncodePath("C:\\img\\x.gif"), "C%3A/img/x.gif");
}

// The real templates: a folder name a browser would misread, two densities,
// the CSS roll-over.
TEST(DeliveredTemplates, CssRollOverWithDensitiesAndAwkwardNames) {
  TTempFolder folder;
  const std::filesystem::path html = std::filesystem::path(VANTRIX_SOURCE_DIR) / "data/html";
  std::filesystem::create_directories(folder / "html");
  for (const char* name :
       {"preview.tml", "preview_ani.tml", "example.tml", "preview_css.tml", "example_css.tml"})
    std::filesystem::copy_file(html / name, folder / ("html/" + std::string(name)));
  TExportSettings settings;
  settings.Scales = {1, 2};
  settings.Rollover = TRollover::Css;
  TScene scene;
  scene.Params.EffectType = 1;
  TCaption caption;
  caption.SetText("Fish & Chips", TFontSpec{});
  const std::string pics = "/srv/Web #1?/Grün%/";
  MakeHtml(folder.Path(), pics + "Go_1.png", pics + "Go_2.png", settings, scene, caption, 1, 1);
  const std::string page = ReadFileBytes(folder / "html/preview.html");
  const std::string snippet = ReadFileBytes(folder / "html/example.txt");
  const std::string base = "file:///srv/Web%20%231%3F/Gr%C3%BCn%25/";
  EXPECT_NE(page.find("src=\"" + base + "Go_1.png\" srcset=\"" + base + "Go_1.png 1x, " + base +
                      "Go_1@2x.png 2x\""),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("src=\"" + base + "Go_2.png\""), std::string::npos);
  EXPECT_NE(snippet.find("src=\"Go_2.png\" srcset=\"Go_2.png 1x, Go_2@2x.png 2x\""), std::string::npos)
      << snippet;
  for (const std::string& text : {page, snippet}) {
    EXPECT_EQ(text.find("<script"), std::string::npos);
    EXPECT_NE(text.find(":focus-visible"), std::string::npos);
    EXPECT_NE(text.find("alt=\"Fish &amp; Chips\""), std::string::npos);
    EXPECT_NE(text.find("href=\"#\""), std::string::npos);  // a link even without a target
  }
}

// Offered formats: every picture becomes a <picture> whose sources (in the
// order offered, each with its densities) come before the <img>; the script
// page's sources also name the roll-over pictures, the CSS page has a
// <picture> per phase.
TEST(DeliveredTemplates, OfferedFormatsBecomePictureSources) {
  TTempFolder folder;
  const std::filesystem::path html = std::filesystem::path(VANTRIX_SOURCE_DIR) / "data/html";
  std::filesystem::create_directories(folder / "html");
  for (const char* name :
       {"preview.tml", "preview_ani.tml", "example.tml", "preview_css.tml", "example_css.tml"})
    std::filesystem::copy_file(html / name, folder / ("html/" + std::string(name)));
  TScene scene;
  scene.Params.EffectType = 1;
  TCaption caption;
  caption.SetText("Go", TFontSpec{});
  struct TCase {
    TRollover Rollover;
    size_t Pictures;   // per page and per snippet
    size_t OverLists;  // data-over-srcset lists per page (the <img>'s and each source's)
  };
  for (const TCase& c : {TCase{TRollover::Script, 1, 3}, TCase{TRollover::Css, 2, 0}}) {
    TExportSettings settings;
    settings.Type = kExportPng;
    settings.AlsoOffer = {kExportAvif, kExportPng, kExportWebp, kExportAvif};  // png and the repeat drop out
    settings.Scales = {1, 2};
    settings.Rollover = c.Rollover;
    MakeHtml(folder.Path(), "/p/Go 1_1.png", "/p/Go 1_2.png", settings, scene, caption, 1, 1);
    for (const char* file : {"html/preview.html", "html/example.txt"}) {
      const std::string text = ReadFileBytes(folder / file);
      auto count = [&](const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
      };
      SCOPED_TRACE(std::string(file) + (c.Rollover == TRollover::Css ? " (css)" : " (script)"));
      EXPECT_EQ(count("<picture>"), c.Pictures);
      EXPECT_EQ(count("</picture>"), c.Pictures);
      EXPECT_EQ(count("<source type=\"image/avif\""), c.Pictures);
      EXPECT_EQ(count("<source type=\"image/webp\""), c.Pictures);
      EXPECT_EQ(count("<source"), 2 * c.Pictures);
      const size_t avif = text.find("image/avif"), webp = text.find("image/webp"), img = text.find("<img");
      EXPECT_TRUE(avif < webp && webp < img) << text;
      EXPECT_NE(text.find("Go%201_1.avif 1x, "), std::string::npos) << text;
      EXPECT_NE(text.find("Go%201_1@2x.webp 2x\""), std::string::npos) << text;
      if (std::string(file) == "html/preview.html") {
        EXPECT_EQ(count("data-over-srcset=\""), c.OverLists);
      }
    }
  }
}

}  // namespace
}  // namespace vantrix
