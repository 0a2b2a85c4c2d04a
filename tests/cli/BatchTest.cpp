// vantrix-cli batch and Unicode captions end to end: sets of buttons of one
// size with unique names, roll-over pairs and the navigation page, the same
// files whatever the number of workers, failing captions reported by line,
// and captions in any script through resave and info.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/PictureFile.h"
#include "tests/support/CliRun.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

const char* const kFiveCaptions =
    "Home\r\n\xC3\x9C"
    "ber "
    "uns\thttps://example.org/about\n\nHOME\n123\n\xD0\x9A\xD0\xBE\xD0\xBD\xD1\x82\xD0\xB0\xD0\xBA\xD1\x82\n";

TEST(CliBatch, FiveCaptionsGiveOneSizeUniqueNamesRollOverPairsAndANavPage) {
  testing::TTempFolder tmp;
  WriteText(tmp / "c.txt", kFiveCaptions);
  const std::string work = Quote(Data() + "Templates/Green Pill.vtxm");  // with a roll-over effect
  const TRun r = Cli("batch " + work + " --captions " + Quote(tmp / "c.txt") + " -o " + Quote(tmp / "one") +
                     " --jobs 1 --html");
  ASSERT_EQ(r.Status, 0) << r.Output;
  // Ü is not a name character beside ASCII letters, HOME is Home in another
  // case, digits give no name at all, Cyrillic alone names the picture in its letters.
  const std::set<std::string> expected = {
      "Home_1.gif",     "Home_2.gif",     "beruns_1.gif",  "beruns_2.gif",  "HOME_2_1.gif", "HOME_2_2.gif",
      "Button_5_1.gif", "Button_5_2.gif", "Контакт_1.gif", "Контакт_2.gif", "nav.html",     "nav.txt"};
  EXPECT_EQ(FilesIn(tmp / "one"), expected);

  int width = -1, height = -1;
  for (const std::string& f : expected) {
    if (!f.ends_with(".gif")) continue;
    const TPicture p = LoadPictureFile(tmp / ("one/" + f));
    if (width < 0) width = p.Width(), height = p.Height();
    EXPECT_EQ(p.Width(), width) << f;
    EXPECT_EQ(p.Height(), height) << f;
  }
  EXPECT_NE(ReadFile(tmp / "one/Home_1.gif"), ReadFile(tmp / "one/Home_2.gif"));
  EXPECT_NE(ReadFile(tmp / "one/Home_1.gif"), ReadFile(tmp / "one/HOME_2_1.gif"));

  const std::string nav = ReadFile(tmp / "one/nav.txt");
  EXPECT_NE(nav.find("src=\"%D0%9A%D0%BE%D0%BD%D1%82%D0%B0%D0%BA%D1%82_1.gif\""), std::string::npos) << nav;
  EXPECT_NE(nav.find("<a href=\"https://example.org/about\"><img src=\"beruns_1.gif\" "
                     "data-over=\"beruns_2.gif\" width=\"" +
                     std::to_string(width) + "\" height=\"" + std::to_string(height) +
                     "\" alt=\"\xC3\x9C"
                     "ber uns\">"),
            std::string::npos)
      << nav;
  EXPECT_NE(ReadFile(tmp / "one/nav.html").find(nav), std::string::npos);

  // The same set from standard input on several workers: the same bytes.
  const TRun again = Cli("batch " + work + " --captions - -o " + Quote(tmp / "three") +
                         " --jobs 3 --html < " + Quote(tmp / "c.txt"));
  ASSERT_EQ(again.Status, 0) << again.Output;
  ASSERT_EQ(FilesIn(tmp / "three"), expected);
  for (const std::string& f : expected) {
    if (!f.ends_with(".gif")) continue;
    EXPECT_EQ(ReadFile(tmp / ("three/" + f)), ReadFile(tmp / ("one/" + f))) << f;
  }
}

// The navigation page comes from the program folder's templates: a user's
// edit shows in the next set, and a missing template stops the set, naming
// the file, before any picture is written.
TEST(CliBatch, NavigationPageFollowsTheProgramFoldersTemplates) {
  testing::TTempFolder tmp;
  fs::copy(Data(), tmp / "prog", fs::copy_options::recursive);
  WriteText(tmp / "c.txt", "Home\nFish & Chips\thttps://example.org/?a=1&b=2\n");
  const std::string batch = "batch " + Quote(tmp / "prog/Templates/Green Pill.vtxm") + " --captions " +
                            Quote(tmp / "c.txt") + " --html --jobs 1 --program-folder " +
                            Quote(tmp / "prog") + " -o ";
  WriteText(tmp / "prog/html/nav.tml",
            "<title>Our shop</title>\r\n<body style=\"color: `BgColor`\">\n`NavSnippet`</body>");
  WriteText(tmp / "prog/html/navbutton_ani.tml",
            "<li>`ButtonText`: `LinkURL` `ImageFileName`/`Phase2FileName`</li>\n");
  const TRun r = Cli(batch + Quote(tmp / "edited"));
  ASSERT_EQ(r.Status, 0) << r.Output;
  const std::string snippet = ReadFile(tmp / "edited/nav.txt");
  const std::string buttons =
      "<li>Home: # Home_1.gif/Home_2.gif</li>\n"
      "<li>Fish &amp; Chips: https://example.org/?a=1&amp;b=2 FishChips_1.gif/FishChips_2.gif</li>\n";
  EXPECT_NE(snippet.find("<nav class=\"buttons\">\n" + buttons + "</nav>\n"), std::string::npos) << snippet;
  EXPECT_EQ(ReadFile(tmp / "edited/nav.html"),
            "<title>Our shop</title>\n<body style=\"color: #FFFFFF\">\n" + snippet + "</body>\n");

  fs::remove(tmp / "prog/html/navsnippet.tml");
  const TRun missing = Cli(batch + Quote(tmp / "missing"));
  EXPECT_NE(missing.Status, 0);
  EXPECT_NE(missing.Output.find(tmp / "prog/html/navsnippet.tml"), std::string::npos) << missing.Output;
  EXPECT_FALSE(fs::exists(tmp / "missing"));
}

TEST(CliBatch, SingleCaptionIsTheExportOfThatCaptionByteForByte) {
  // A set of one holds the rectangle the caption gets anyway.
  for (const std::string work : {"Default.dat", "Templates/Green Pill.vtxm", "Templates/Wood Sign.vtxm"}) {
    testing::TTempFolder tmp;
    WriteText(tmp / "c.txt", "Shop\n");
    fs::create_directory(tmp / "export");
    ASSERT_EQ(Cli("batch " + Quote(Data() + work) + " --captions " + Quote(tmp / "c.txt") + " -o " +
                  Quote(tmp / "batch") + " --format jpg --quality 70")
                  .Status,
              0);
    ASSERT_EQ(Cli("export " + Quote(Data() + work) + " --caption Shop -o " + Quote(tmp / "export/Shop.jpg") +
                  " --quality 70")
                  .Status,
              0);
    const std::set<std::string> files = FilesIn(tmp / "batch");
    EXPECT_EQ(files, FilesIn(tmp / "export")) << work;
    for (const std::string& f : files)
      EXPECT_EQ(ReadFile(tmp / ("batch/" + f)), ReadFile(tmp / ("export/" + f))) << work;
  }
}

TEST(CliBatch, WithoutAButtonBodyEachPictureIsCentredOnTheLargestOnesCanvas) {
  testing::TTempFolder tmp;
  WriteText(tmp / "c.txt", "Hi\nTypography\n");
  fs::create_directory(tmp / "export");
  const std::string work = Quote(Data() + "Default.dat") + " --set Button.Type=0";
  ASSERT_EQ(Cli("batch " + work + " --captions " + Quote(tmp / "c.txt") + " -o " + Quote(tmp / "set") +
                " --format bmp")
                .Status,
            0);
  ASSERT_EQ(Cli("export " + work + " --caption Typography -o " + Quote(tmp / "export/Typography.bmp")).Status,
            0);
  // The largest is its own export; the small one has its size, not stretched
  // but set on a background margin.
  EXPECT_EQ(ReadFile(tmp / "set/Typography.bmp"), ReadFile(tmp / "export/Typography.bmp"));
  const TPicture hi = LoadPictureFile(tmp / "set/Hi.bmp"), wide = LoadPictureFile(tmp / "set/Typography.bmp");
  ASSERT_EQ(hi.Width(), wide.Width());
  ASSERT_EQ(hi.Height(), wide.Height());
  int drawn = 0;  // pixels other than the background in the left quarter
  for (int y = 0; y < hi.Height(); ++y)
    for (int x = 0; x < hi.Width() / 4; ++x) drawn += hi.PixelAt(x, y) != hi.PixelAt(0, 0);
  EXPECT_EQ(drawn, 0);
}

TEST(CliBatch, FailingCaptionsAreReportedByLineAndTheOthersWritten) {
  testing::TTempFolder tmp;
  WriteText(tmp / "c.txt", "Home\nbad \xFF byte\n" + std::string(33, 'x') + "\nContact\nNews\n");
  fs::create_directories(tmp / "out/Contact.gif");  // a folder where a picture should go
  const TRun r = Cli("batch " + Quote(Data() + "Default.dat") + " --captions " + Quote(tmp / "c.txt") +
                     " -o " + Quote(tmp / "out"));
  EXPECT_EQ(r.Status, 1) << r.Output;
  const std::string list = tmp / "c.txt";
  const std::vector<std::string> lines = Lines(r.Output);
  auto has = [&](const std::string& start, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.starts_with(start) && l.find(part) != std::string::npos;
    });
  };
  EXPECT_TRUE(has(list + ":2: ", "not valid UTF-8")) << r.Output;
  EXPECT_TRUE(has(list + ":3: ", "33 characters")) << r.Output;
  EXPECT_TRUE(has(list + ":4: ", "Contact.gif")) << r.Output;
  EXPECT_TRUE(has("3 of 5 captions", "not exported")) << r.Output;
  EXPECT_EQ(FilesIn(tmp / "out"), (std::set<std::string>{"Home.gif", "News.gif", "Contact.gif"}));
  EXPECT_FALSE(LoadPictureFile(tmp / "out/News.gif").Empty());

  EXPECT_EQ(Cli("batch " + Quote(Data() + "Default.dat")).Status, 2);  // no list
}

TEST(CliUnicode, CaptionInAnyScriptSurvivesResaveAndInfo) {
  testing::TTempFolder tmp;
  const std::string caption =
      "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xD0\x96\xD1\x83\xD0\xBA \xE4\xB8\xAD \xE2\x9C\x93";
  const TRun saved = Cli("resave " + Quote(Data() + "Default.dat") + " " + Quote(tmp / "u.vtxs") +
                         " --caption " + Quote(caption));
  ASSERT_EQ(saved.Status, 0) << saved.Output;
  EXPECT_NE(saved.Output.find("(U+4E2D) is not in Arial: drawn with WenQuanYi Micro Hei"), std::string::npos)
      << saved.Output;
  const TRun info = Cli("info " + Quote(tmp / "u.vtxs"));
  ASSERT_EQ(info.Status, 0);
  EXPECT_NE(info.Output.find("\"Caption\": \"" + caption + "\""), std::string::npos) << info.Output;
  EXPECT_NE(info.Output.find("\"Char\": \"\xE4\xB8\xAD\""), std::string::npos);
  // Older readers see '?' for what Windows-1252 lacks.
  const std::string file = ReadFile(tmp / "u.vtxs");
  EXPECT_NE(file.find("[Letter 1]\r\nChar=?\r\nUnicode=937\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vantrix
