#include <gtest/gtest.h>

#include "platform/PictureFile.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

using testing::TTempFolder;

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const TPictureError& e) {
    return e.what();
  }
  return "no error";
}

TPicture Sample() {
  TPicture p(6, 4, 24);
  p.FillRect(0, 0, 3, 4, MakePixel(200, 40, 10));
  p.FillRect(3, 0, 6, 4, MakePixel(10, 40, 200));
  return p;
}

TEST(PictureFile, FormatComesFromTheContentNotTheName) {
  TTempFolder dir;
  const TPicture p = Sample();
  // Written under each other's extension on purpose.
  SaveBmpFile(dir / "looks-like.jpg", p);
  SaveJpegFile(dir / "looks-like.bmp", p, 95);
  EXPECT_EQ(LoadPictureFile(dir / "looks-like.jpg"), p);
  const TPicture j = LoadPictureFile(dir / "looks-like.bmp");
  EXPECT_EQ(j.Width(), 6);
  EXPECT_NEAR(PixelRed(j.PixelAt(0, 0)), 200, 12);

  EXPECT_EQ(DetectPictureFormat(EncodeBmp24(p)), TPictureFormat::Bmp);
  EXPECT_EQ(DetectPictureFormat(EncodeJpeg(p, 50)), TPictureFormat::Jpeg);
  const std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
  EXPECT_EQ(DetectPictureFormat(gif), TPictureFormat::Gif);
  EXPECT_EQ(DetectPictureFormat(std::vector<uint8_t>{'B'}), TPictureFormat::Unknown);

  // A decoder chosen by the caller is used as chosen.
  EXPECT_EQ(ErrorOf([&] { (void)DecodePicture(EncodeBmp24(p), TPictureFormat::Gif); }), "not a GIF picture");
}

TEST(PictureFile, ErrorsNameTheFile) {
  TTempFolder dir;
  const std::string text = dir / "notes.bmp", missing = dir / "missing.gif", bad = dir / "bad.bmp";
  testing::WriteFileBytes(text, "hello, world");
  std::vector<uint8_t> damaged = EncodeBmp24(Sample());
  damaged.resize(60);
  WritePictureFileBytes(bad, damaged);

  EXPECT_EQ(ErrorOf([&] { (void)LoadPictureFile(text); }),
            text + ": not a GIF, JPEG, BMP, PNG or WebP picture");
  EXPECT_EQ(ErrorOf([&] { (void)LoadPictureFile(missing); }), missing + ": cannot open file");
  EXPECT_EQ(ErrorOf([&] { (void)LoadPictureFile(dir.Path()); }), dir.Path() + ": cannot open file");
  EXPECT_EQ(ErrorOf([&] { (void)LoadPictureFile(bad); }), bad + ": truncated BMP data");
  EXPECT_EQ(
      ErrorOf([&] { (void)LoadPictureFile(text, TPictureFormat::Jpeg); }).rfind(text + ": JPEG error #", 0),
      0u);

  const std::string nowhere = dir / "no-such-folder/out.bmp";
  EXPECT_EQ(ErrorOf([&] { SaveBmpFile(nowhere, Sample()); }), nowhere + ": cannot write file");
  EXPECT_EQ(ErrorOf([&] { SaveJpegFile(dir / "empty.jpg", TPicture(), 90); }),
            dir / "empty.jpg" + ": cannot write an empty picture");
}

// The PNG and WebP files the program itself writes come back as textures:
// opaque pixels exact, transparent ones laid over white, by signature alone.
TEST(PictureFile, PngAndWebpTexturesReadBackOverWhite) {
  TRgbaPicture rgba;
  rgba.Width = 3;
  rgba.Height = 2;
  // RGBA bytes: opaque red, half-transparent blue, clear black; then opaque grey ones.
  rgba.Pixels = {255, 0,  0,  255, 0,  0,  255, 128, 0,  0,  0,  0,
                 90,  90, 90, 255, 90, 90, 90,  255, 90, 90, 90, 255};
  const TPixel expected[] = {MakePixel(255, 0, 0), MakePixel(127, 127, 255), MakePixel(255, 255, 255)};
  for (const std::vector<uint8_t>& file : {EncodePng(rgba), EncodeWebp(rgba, 0)}) {
    const TPicture p = DecodePicture(file);
    ASSERT_EQ(p.Width(), 3);
    ASSERT_EQ(p.BitsPerPixel(), 24);
    for (int x = 0; x < 3; ++x) {
      EXPECT_NEAR(PixelRed(p.PixelAt(x, 0)), PixelRed(expected[x]), 1) << x;
      EXPECT_NEAR(PixelBlue(p.PixelAt(x, 0)), PixelBlue(expected[x]), 1) << x;
      EXPECT_EQ(p.PixelAt(x, 1), MakePixel(90, 90, 90)) << x;
    }
  }
  std::vector<uint8_t> cut = EncodePng(rgba);
  cut.resize(cut.size() / 2);
  EXPECT_EQ(ErrorOf([&] { (void)DecodePicture(cut); }).rfind("PNG error: ", 0), 0u);
  cut = EncodeWebp(rgba, 0);
  cut.resize(cut.size() - 8);
  EXPECT_NE(ErrorOf([&] { (void)DecodePicture(cut); }), "no error");
}

// Work files name textures in lower case, so those compare exactly; names
// typed on the command line may be in any case.
TEST(PictureFile, ExtensionsNameFormatsExactlyOrFoldingCase) {
  using enum TPictureFormat;
  const struct {
    const char* ext;
    TPictureFormat exact, folded;
  } cases[] = {{".gif", Gif, Gif},         {".jpg", Jpeg, Jpeg},      {".jpeg", Jpeg, Jpeg},
               {".bmp", Bmp, Bmp},         {".BMP", Unknown, Bmp},    {".JpEg", Unknown, Jpeg},
               {".png", Png, Png},         {".WebP", Unknown, Webp},  {".webp", Webp, Webp},
               {".tif", Unknown, Unknown}, {"jpg", Unknown, Unknown}, {"", Unknown, Unknown}};
  for (const auto& c : cases) {
    EXPECT_EQ(PictureFormatFromExtension(c.ext, TExtensionCase::Exact), c.exact) << c.ext;
    EXPECT_EQ(PictureFormatFromExtension(c.ext, TExtensionCase::IgnoreAscii), c.folded) << c.ext;
  }
}

}  // namespace
}  // namespace vantrix
