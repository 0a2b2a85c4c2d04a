#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/PictureFile.h"
#include "scene/Ico2Ini.h"
#include "scene/Textures.h"
#include "scene/WorkFile.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

using testing::TTempFolder;
using testing::WriteFileBytes;

// Left half red, right half blue: survives JPEG and resampling recognisably.
TPicture TwoColourPicture(int w, int h) {
  TPicture p(w, h, 32);
  p.FillRect(0, 0, w / 2, h, MakePixel(255, 0, 0));
  p.FillRect(w / 2, 0, w, h, MakePixel(0, 0, 255));
  return p;
}

void ExpectNear(TPixel got, TPixel want, int tolerance) {
  EXPECT_NEAR(PixelRed(got), PixelRed(want), tolerance);
  EXPECT_NEAR(PixelGreen(got), PixelGreen(want), tolerance);
  EXPECT_NEAR(PixelBlue(got), PixelBlue(want), tolerance);
}

TEST(WorkIcon, StoredIconReadsBackAtItsSizeWithItsColours) {
  const TPicture icon = MakeWorkIcon(TwoColourPicture(600, 200));
  ASSERT_EQ(icon.Width(), 120);
  ASSERT_EQ(icon.Height(), 40);
  EXPECT_TRUE(MakeWorkIcon(TPicture(1, 50, 32)).Empty());

  TIniFile ini;
  ini.WriteString("Icon", "999", "stale");  // an older, longer icon is erased whole
  IconToIni(ini, "Icon", icon);
  const int lines = ini.ReadInteger("IconInfo", "Lines", 0);
  ASSERT_GT(lines, 1);
  EXPECT_FALSE(ini.ValueExists("Icon", "999"));
  EXPECT_EQ(ini.ReadString("Icon", "1", "").substr(0, 6), "FFD8FF");
  for (int k = 1; k < lines; ++k) EXPECT_EQ(ini.ReadString("Icon", std::to_string(k), "").size(), 200u);
  EXPECT_LE(ini.ReadString("Icon", std::to_string(lines), "").size(), 200u);

  TPicture back;
  ASSERT_TRUE(IniToIcon(ini, "Icon", back));
  ASSERT_EQ(back.Width(), 120);
  ASSERT_EQ(back.Height(), 40);
  ExpectNear(back.PixelAt(20, 20), MakePixel(255, 0, 0), 12);
  ExpectNear(back.PixelAt(100, 20), MakePixel(0, 0, 255), 12);

  // Lower-case digits read too.
  std::string first = ini.ReadString("Icon", "1", "");
  for (char& ch : first) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  ini.WriteString("Icon", "1", first);
  EXPECT_TRUE(IniToIcon(ini, "Icon", back));
}

TEST(WorkIcon, NoCountMeansNoIconAndBadPiecesAreErrors) {
  TPicture pic;
  for (const char* text : {"", "[IconInfo]\nLines=0\n", "[IconInfo]\nLines=-3\n", "[IconInfo]\nLines=x\n"})
    EXPECT_FALSE(IniToIcon(TIniFile::FromText(text), "Icon", pic)) << text;

  const std::pair<const char*, const char*> bad[] = {
      {"[IconInfo]\nLines=1\n[Icon]\n1=FFD8G0\n", "'$G0' is not a valid integer value"},
      {"[IconInfo]\nLines=2147483647\n[Icon]\n1=00112233\n", "JPEG error"},
      {"[IconInfo]\nLines=1\n", "JPEG"},  // no data at all
  };
  for (const auto& [text, message] : bad) {
    try {
      IniToIcon(TIniFile::FromText(text), "Icon", pic);
      ADD_FAILURE() << text;
    } catch (const TWorkFileError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
}

TEST(WorkIcon, SaveWorkStoresTheIconOnlyWithACaption) {
  TTempFolder dir;
  TScene s;
  const TPicture icon = MakeWorkIcon(TwoColourPicture(60, 20));
  TCaption empty, word;
  word.SetText("Go", TFontSpec{});
  SaveWork(s, empty, dir / "e.vtxs", &icon);
  EXPECT_FALSE(TIniFile(dir / "e.vtxs").SectionExists("Icon"));
  SaveWork(s, word, dir / "w.vtxs", &icon);
  TPicture back;
  EXPECT_TRUE(IniToIcon(dir / "w.vtxs", "Icon", back));
  SaveWork(s, empty, dir / "w.vtxs", &icon);  // saving over keeps the icon it had
  EXPECT_TRUE(IniToIcon(dir / "w.vtxs", "Icon", back));
}

class TRecordedMessages : public TMessageSink {
 public:
  void ShowMessage(const std::string& text) override { Texts.push_back(text); }
  std::vector<std::string> Texts;
};

class Textures : public ::testing::Test {
 protected:
  void SetUp() override {
    scene.AppPath = dir.Path();
    scene.Messages = &messages;
    std::filesystem::create_directories(dir / "Textures");
  }
  TTempFolder dir;
  TScene scene;
  TRecordedMessages messages;
};

TEST_F(Textures, MissingFileIsFoundByNameInTheTexturesFolder) {
  SaveJpegFile(dir / "Textures/wood.jpg", TwoColourPicture(8, 4), 90);
  scene.Params.ButTexFile = "C:\\Old\\Textures\\Wood.jpg";
  LoadButtonTexture(scene);
  EXPECT_TRUE(scene.View3D.ButtonTextured);
  EXPECT_EQ(scene.Params.ButTexFile, dir / "Textures/wood.jpg");
  EXPECT_EQ(scene.View3D.ButtonTexture().Width(), 8);
  EXPECT_EQ(scene.View3D.ButtonTexture().BitsPerPixel(), 32);

  scene.Params.TxtTexFile = dir / "elsewhere/none.gif";  // nowhere: off, and nothing said
  scene.View3D.TextTextured = true;
  LoadCaptionTexture(scene);
  EXPECT_FALSE(scene.View3D.TextTextured);
  scene.Params.ButTexFile.clear();
  LoadButtonTexture(scene);
  EXPECT_FALSE(scene.View3D.ButtonTextured);
  EXPECT_TRUE(messages.Texts.empty());
}

TEST_F(Textures, UnusableFileIsReportedAndLeavesTheTextureOff) {
  SaveBmpFile(dir / "tiny.bmp", TwoColourPicture(1, 5));
  SaveJpegFile(dir / "upper.JPG", TwoColourPicture(8, 4), 90);
  SaveJpegFile(dir / "wrong.gif", TwoColourPicture(8, 4), 90);  // decoded by its name
  WriteFileBytes(dir / "junk.jpg", "not a picture");
  for (const char* name : {"tiny.bmp", "upper.JPG", "wrong.gif", "junk.jpg"}) {
    messages.Texts.clear();
    scene.Params.TxtTexFile = dir / name;
    scene.View3D.TextTextured = true;
    LoadCaptionTexture(scene);
    EXPECT_FALSE(scene.View3D.TextTextured) << name;
    EXPECT_EQ(messages.Texts, std::vector<std::string>{"Error loading file: " + dir / name});
  }
}

}  // namespace
}  // namespace vantrix
