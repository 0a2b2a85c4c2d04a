#include <gif_lib.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/ColorReduction.h"
#include "platform/GifCodec.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPictures.h"

namespace vantrix {
namespace {

struct TMemoryReader {
  const std::vector<uint8_t>* Data;
  size_t Pos = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* buf, int n) {
  auto* r = static_cast<TMemoryReader*>(gif->UserData);
  const int left = static_cast<int>(r->Data->size() - r->Pos);
  n = std::min(n, left);
  std::copy_n(r->Data->data() + r->Pos, n, buf);
  r->Pos += n;
  return n;
}

struct TSlurpCloser {
  void operator()(GifFileType* gif) const {
    int e = 0;
    DGifCloseFile(gif, &e);
  }
};

TIndexedPicture Indexed(int w, int h, int colors, int transparent) {
  TIndexedPicture p;
  p.Width = w;
  p.Height = h;
  for (int i = 0; i < colors; ++i) p.Palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
  for (int i = 0; i < w * h; ++i) p.Pixels.push_back(uint8_t((i * 31 + i / w) % colors));
  p.TransparentIndex = transparent;
  return p;
}

// Decodes with giflib's own reader and checks everything the writer promises.
void ExpectDecodesTo(const std::vector<uint8_t>& bytes, const TIndexedPicture& p) {
  TMemoryReader reader{&bytes};
  int error = 0;
  std::unique_ptr<GifFileType, TSlurpCloser> gif(DGifOpen(&reader, ReadMemory, &error));
  ASSERT_TRUE(gif) << GifErrorString(error);
  ASSERT_EQ(DGifSlurp(gif.get()), GIF_OK) << GifErrorString(gif->Error);
  EXPECT_EQ(gif->SWidth, p.Width);
  EXPECT_EQ(gif->SHeight, p.Height);
  ASSERT_EQ(gif->ImageCount, 1);
  const SavedImage& image = gif->SavedImages[0];
  EXPECT_EQ(image.ImageDesc.Width, p.Width);
  EXPECT_EQ(image.ImageDesc.Height, p.Height);
  const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
  ASSERT_NE(map, nullptr);
  int size = 2;
  while (size < static_cast<int>(p.Palette.size())) size *= 2;
  ASSERT_EQ(map->ColorCount, size);
  for (size_t i = 0; i < p.Palette.size(); ++i) {
    EXPECT_EQ(map->Colors[i].Red, p.Palette[i].R);
    EXPECT_EQ(map->Colors[i].Green, p.Palette[i].G);
    EXPECT_EQ(map->Colors[i].Blue, p.Palette[i].B);
  }
  EXPECT_TRUE(std::equal(p.Pixels.begin(), p.Pixels.end(), image.RasterBits));
  GraphicsControlBlock gcb{};
  if (p.TransparentIndex >= 0) {
    ASSERT_EQ(DGifSavedExtensionToGCB(gif.get(), 0, &gcb), GIF_OK);
    EXPECT_EQ(gcb.TransparentColor, p.TransparentIndex);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
  } else {
    EXPECT_EQ(image.ExtensionBlockCount, 0);
  }
}

TEST(GifWriter, DecodesToTheSamePicture) {
  struct TCase {
    int w, h, colors, transparent;
  } cases[] = {{1, 1, 1, -1},   {7, 3, 2, 1},       {33, 17, 3, -1},
               {64, 9, 17, 16}, {300, 200, 256, 0}, {5, 70, 256, 255}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << " x " << c.h << ", " << c.colors << " colours");
    const TIndexedPicture p = Indexed(c.w, c.h, c.colors, c.transparent);
    ExpectDecodesTo(EncodeGif(p), p);
  }
}

TEST(GifWriter, ReducedPictureRoundTrip) {
  const TPicture pic = testing::ShadedPicture(160, 40, 5);
  std::vector<uint8_t> mask(160 * 40, 0);
  std::fill(mask.begin(), mask.begin() + 160 * 4, 1);
  TGifOptions o;
  o.Dither = kDitherFloydSteinberg;
  const TIndexedPicture p = ReduceColors(pic, &mask, o);
  ExpectDecodesTo(EncodeGif(p), p);
}

TEST(GifWriter, RefusesPicturesGifCannotHold) {
  TIndexedPicture p = Indexed(4, 4, 3, -1);
  TIndexedPicture bad = p;
  bad.Pixels[5] = 3;
  EXPECT_THROW(EncodeGif(bad), TPictureError);
  bad = p;
  bad.Pixels.pop_back();
  EXPECT_THROW(EncodeGif(bad), TPictureError);
  bad = p;
  bad.Palette.clear();
  EXPECT_THROW(EncodeGif(bad), TPictureError);
  bad = p;
  bad.TransparentIndex = 3;
  EXPECT_THROW(EncodeGif(bad), TPictureError);
  EXPECT_THROW(EncodeGif(TIndexedPicture{}), TPictureError);
  bad = Indexed(70000, 1, 2, -1);
  EXPECT_THROW(EncodeGif(bad), TPictureError);
}

TEST(GifWriter, FilesAndTheirErrors) {
  testing::TTempFolder dir;
  const TIndexedPicture p = Indexed(20, 10, 5, 4);
  const std::string good = dir / "button.gif";
  const size_t size = SaveGifFile(good, p);
  EXPECT_EQ(std::filesystem::file_size(good), size);

  const std::string missing = dir / "no-such-folder/button.gif";
  try {
    SaveGifFile(missing, p);
    FAIL() << "no error";
  } catch (const TPictureError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(missing + ": ", 0), 0u) << e.what();
  }

  TIndexedPicture bad = p;
  bad.Pixels[0] = 9;
  const std::string broken = dir / "broken.gif";
  try {
    SaveGifFile(broken, bad);
    FAIL() << "no error";
  } catch (const TPictureError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(broken + ": ", 0), 0u) << e.what();
  }
  EXPECT_FALSE(std::filesystem::exists(broken));
}

}  // namespace
}  // namespace vantrix
