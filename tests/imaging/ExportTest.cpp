#include <gif_lib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "imaging/Export.h"
#include "platform/PictureFile.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

TCaption Caption(const char* text) {
  TCaption c;
  c.SetText(text, TFontSpec{});
  return c;
}

struct TGifCloser {
  void operator()(GifFileType* gif) const {
    int e = 0;
    DGifCloseFile(gif, &e);
  }
};

// Reads a GIF with giflib's own reader.
struct TGifRead {
  explicit TGifRead(const std::string& path) {
    int error = 0;
    gif.reset(DGifOpenFileName(path.c_str(), &error));
    if (gif && DGifSlurp(gif.get()) != GIF_OK) gif.reset();
    if (!gif) return;
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(gif.get(), 0, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
  }
  std::unique_ptr<GifFileType, TGifCloser> gif;
  int transparent = NO_TRANSPARENT_COLOR;
  const GifColorType& Color(int index) const {
    const ColorMapObject* map =
        gif->SavedImages[0].ImageDesc.ColorMap ? gif->SavedImages[0].ImageDesc.ColorMap : gif->SColorMap;
    return map->Colors[index];
  }
  int At(int x, int y) const { return gif->SavedImages[0].RasterBits[y * gif->SWidth + x]; }
};

TEST(ExportNames, ExtensionsSuffixesAndTheProposedName) {
  EXPECT_EQ(SetExportExt("Button.jpg", kExportGif), "Button.gif");
  EXPECT_EQ(SetExportExt("/a.b/Button", kExportJpeg), "/a.b/Button.jpg");
  EXPECT_EQ(SetExportExt("x.gif", static_cast<TExportType>(7)), "x.bmp");
  EXPECT_EQ(AddNameSuffix("/img/Nav.gif", "_1"), "/img/Nav_1.gif");
  EXPECT_EQ(AddNameSuffix("Nav", "_2"), "Nav_2");
  EXPECT_EQ(DefaultExportName(Caption("Buy 2 Now!")), "BuyNow");
  EXPECT_EQ(SetExportExt(DefaultExportName(Caption("2024")), kExportGif), ".gif");
  EXPECT_EQ(DefaultExportName(Caption("a[b]`c{~}")), "a[b]`c{~}");
}

TEST(ExportSettingsRecord, PresetsAndThePaletteRule) {
  TExportSettings s;
  s.Dither = 3;
  s.Palette = 1;
  EXPECT_FALSE(s.ColorListEnabled());
  s.ApplyGifPreset(1);  // medium quality
  EXPECT_EQ(s.GifOptions().Colors, 64);
  EXPECT_EQ(s.Dither, 0);
  EXPECT_TRUE(s.ColorListEnabled());
  s.ApplyJpegPreset(0);
  EXPECT_EQ(s.JpegQuality, 30);
}

TEST(Export, EmptyCaptionHasNothingToExport) {
  TScene scene;
  try {
    ExportButton(scene, TCaption());
    FAIL();
  } catch (const TExportError& e) {
    EXPECT_STREQ(e.what(), "Sorry, there is nothing to export");
  }
}

class ExportFiles : public ::testing::Test {
 protected:
  testing::TTempFolder tmp;
  TScene scene;
  TExportSettings settings;
};

TEST_F(ExportFiles, RollOverWritesTwoTransparentGifsOfTheExportSize) {
  scene.Params.EffectType = 1;
  scene.Effect.BColor = MakeColor(0, 200, 0);
  settings.ExportWidth = 120;
  settings.ExportHeight = 40;
  const TCaption caption = Caption("Nav");
  const TExportPhases phases = ExportButton(scene, caption);
  ASSERT_TRUE(phases.HasSecond());
  const TExportResult r = SaveExport(scene, phases, settings, tmp.Path() + "/Nav.gif");
  EXPECT_EQ(r.FirstFile, tmp.Path() + "/Nav_1.gif");
  EXPECT_EQ(r.SecondFile, tmp.Path() + "/Nav_2.gif");
  EXPECT_EQ(r.ImageFileSize, std::filesystem::file_size(r.FirstFile));
  for (const std::string& f : {r.FirstFile, r.SecondFile}) {
    TGifRead g(f);
    ASSERT_TRUE(g.gif) << f;
    EXPECT_EQ(g.gif->SWidth, 120);
    EXPECT_EQ(g.gif->SHeight, 40);
    ASSERT_NE(g.transparent, NO_TRANSPARENT_COLOR);
    const GifColorType& c = g.Color(g.transparent);
    EXPECT_EQ(c.Red, 255);
    EXPECT_EQ(c.Green, 0);
    EXPECT_EQ(c.Blue, 255);
    // The corners lie outside the button and its shadow: transparent.
    EXPECT_EQ(g.At(0, 0), g.transparent);
    EXPECT_EQ(g.At(119, 0), g.transparent);
    EXPECT_NE(g.At(60, 20), g.transparent);  // the middle of the button
  }
  // The scene shows the first picture again.
  EXPECT_EQ(scene.Params.ButColors.MColor, MakeColor(255, 128, 128));
  // The two pictures differ in the button colour.
  TGifRead a(r.FirstFile), b(r.SecondFile);
  const GifColorType& ca = a.Color(a.At(12, 20));
  const GifColorType& cb = b.Color(b.At(12, 20));
  EXPECT_GT(ca.Red, cb.Red);
  EXPECT_GT(cb.Green, ca.Green);
}

TEST_F(ExportFiles, EveryPixelOutsideTheMaskIsTransparent) {
  const TExportPhases phases = ExportButton(scene, Caption("Go"));
  settings.ExportWidth = phases.Image1.Width();  // no reduction: the mask maps one to one
  settings.ExportHeight = phases.Image1.Height();
  scene.Params.ViewParams.ButtonAltitude = 0;  // plain mask scaling
  const TExportResult r = SaveExport(scene, phases, settings, tmp.Path() + "/Go");
  TGifRead g(r.FirstFile);
  ASSERT_TRUE(g.gif);
  int transparent = 0;
  for (int y = 0; y < settings.ExportHeight; ++y)
    for (int x = 0; x < settings.ExportWidth; ++x) {
      const bool outside = phases.Mask1.PixelAt(x, y) == 0;
      ASSERT_EQ(g.At(x, y) == g.transparent, outside) << x << "," << y;
      transparent += outside;
    }
  EXPECT_GT(transparent, 0);
}

TEST_F(ExportFiles, WithoutTransparencyTheBackgroundStaysAndNoExtensionIsWritten) {
  settings.Transparency = false;
  const TExportPhases phases = ExportButton(scene, Caption("Hello"));
  const TExportResult r = SaveExport(scene, phases, settings, tmp.Path() + "/Button.jpg");
  EXPECT_EQ(r.FirstFile, tmp.Path() + "/Button.gif");
  TGifRead g(r.FirstFile);
  ASSERT_TRUE(g.gif);
  EXPECT_EQ(g.transparent, NO_TRANSPARENT_COLOR);
  const GifColorType& corner = g.Color(g.At(0, 0));
  EXPECT_GE(corner.Red, 250);  // white background
  EXPECT_GE(corner.Blue, 250);
}

TEST_F(ExportFiles, JpegAndBmpDecodeAtTheExportSize) {
  const TExportPhases phases = ExportButton(scene, Caption("Hi"));
  settings.ExportWidth = 90;
  settings.ExportHeight = 30;
  for (TExportType type : {kExportJpeg, kExportBmp}) {
    settings.Type = type;
    const TExportResult r = SaveExport(scene, phases, settings, tmp.Path() + "/hi");
    const TPicture p = LoadPictureFile(r.FirstFile);
    EXPECT_EQ(p.Width(), 90);
    EXPECT_EQ(p.Height(), 30);
  }
}

TEST_F(ExportFiles, AFileThatCannotBeWrittenIsNamedAndEarlierFilesStay) {
  scene.Params.EffectType = 2;
  const TExportPhases phases = ExportButton(scene, Caption("Nav"));
  std::filesystem::create_directory(tmp.Path() + "/Nav_2.gif");  // in the way of the second file
  try {
    SaveExport(scene, phases, settings, tmp.Path() + "/Nav.gif");
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find("Nav_2.gif"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(tmp.Path() + "/Nav_1.gif"));
}

}  // namespace
}  // namespace vantrix
