#include <gif_lib.h>
#include <gtest/gtest.h>

#include "platform/GifCodec.h"

namespace vantrix {
namespace {

struct TGifFrame {
  int width = 0;
  int height = 0;
  bool interlace = false;
  std::vector<TPixel> localMap;  // empty: use the global one
  std::vector<uint8_t> indices;  // display order, row by row
};

int AppendOutput(GifFileType* gif, const GifByteType* bytes, int n) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), bytes, bytes + n);
  return n;
}

ColorMapObject* MakeMap(const std::vector<TPixel>& colours) {
  if (colours.empty()) return nullptr;
  std::vector<GifColorType> c;
  for (TPixel p : colours) c.push_back({PixelRed(p), PixelGreen(p), PixelBlue(p)});
  return GifMakeMapObject(static_cast<int>(c.size()), c.data());
}

// Writes a GIF with giflib's own encoder; interlaced frames are handed over in
// their stored row order, which is the decoder's job to undo.
std::vector<uint8_t> MakeGif(int screenW, int screenH, const std::vector<TPixel>& globalMap,
                             const std::vector<TGifFrame>& frames, bool comment = false) {
  std::vector<uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendOutput, &error);
  ColorMapObject* global = MakeMap(globalMap);
  EXPECT_EQ(EGifPutScreenDesc(gif, screenW, screenH, 8, 0, global), GIF_OK);
  if (comment) {
    EXPECT_EQ(EGifPutComment(gif, "made by the test"), GIF_OK);
  }
  for (const TGifFrame& f : frames) {
    ColorMapObject* local = MakeMap(f.localMap);
    EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, f.width, f.height, f.interlace, local), GIF_OK);
    std::vector<int> order;
    if (f.interlace) {
      for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < f.height; y += step) order.push_back(y);
    } else {
      for (int y = 0; y < f.height; ++y) order.push_back(y);
    }
    for (int y : order) {
      std::vector<GifPixelType> line(f.indices.begin() + y * f.width, f.indices.begin() + (y + 1) * f.width);
      EXPECT_EQ(EGifPutLine(gif, line.data(), f.width), GIF_OK);
    }
    GifFreeMapObject(local);
  }
  EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
  GifFreeMapObject(global);
  return out;
}

const std::vector<TPixel> kFourColours = {MakePixel(255, 0, 0), MakePixel(0, 255, 0), MakePixel(0, 0, 255),
                                          MakePixel(10, 20, 30)};

TGifFrame Frame(int w, int h, bool interlace = false) {
  TGifFrame f{w, h, interlace, {}, {}};
  for (int i = 0; i < w * h; ++i) f.indices.push_back(static_cast<uint8_t>((i * 7 + i / w) % 4));
  return f;
}

void ExpectFrame(const TPicture& p, const TGifFrame& f, const std::vector<TPixel>& map) {
  ASSERT_EQ(p.Width(), f.width);
  ASSERT_EQ(p.Height(), f.height);
  EXPECT_EQ(p.BitsPerPixel(), 24);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x)
      ASSERT_EQ(p.PixelAt(x, y), map[f.indices[y * f.width + x]]) << x << "," << y;
}

TEST(GifDecode, PlainAndInterlacedFramesComeOutInDisplayOrder) {
  // 11 rows reach every interlace pass, including the short last ones.
  for (int height : {1, 3, 11}) {
    for (bool interlace : {false, true}) {
      const TGifFrame f = Frame(5, height, interlace);
      ExpectFrame(DecodeGif(MakeGif(5, height, kFourColours, {f}, /*comment=*/true)), f, kFourColours);
    }
  }
}

TEST(GifDecode, LocalMapWinsAndOnlyTheFirstFrameIsRead) {
  const std::vector<TPixel> local = {MakePixel(1, 1, 1), MakePixel(2, 2, 2), MakePixel(3, 3, 3),
                                     MakePixel(4, 4, 4)};
  TGifFrame first = Frame(3, 2);
  first.localMap = local;
  TGifFrame second = Frame(6, 6);
  // (giflib's writer leaks a frame's map when the next frame has none.)
  second.localMap = kFourColours;
  // The logical screen is larger than the first frame; the frame alone is kept.
  ExpectFrame(DecodeGif(MakeGif(8, 8, kFourColours, {first, second})), first, local);
  // Without a global map the local one is enough.
  ExpectFrame(DecodeGif(MakeGif(3, 2, {}, {first})), first, local);
}

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  try {
    (void)DecodeGif(bytes);
  } catch (const TPictureError& e) {
    return e.what();
  }
  return "no error";
}

TEST(GifDecode, DamagedFilesAreRefused) {
  const std::vector<uint8_t> good = MakeGif(4, 3, kFourColours, {Frame(4, 3)});
  for (size_t n = 0; n + 1 < good.size(); ++n)  // the trailer byte is not needed
    EXPECT_THROW(DecodeGif(std::vector<uint8_t>(good.begin(), good.begin() + n)), TPictureError) << n;
  EXPECT_EQ(ErrorOf({'B', 'M', 0, 0, 0, 0, 0}), "not a GIF picture");
  EXPECT_EQ(ErrorOf(MakeGif(4, 3, kFourColours, {})), "GIF holds no image");
  std::vector<uint8_t> mapless = good;  // giflib's writer insists on a map, so remove it afterwards
  mapless[10] &= 0x7F;
  mapless.erase(mapless.begin() + 13, mapless.begin() + 13 + 12);
  EXPECT_EQ(ErrorOf(mapless), "GIF has no colour map");

  // Shrink the global map from four colours to two while index 3 stays in use.
  std::vector<uint8_t> small = good;
  small[10] &= ~7;
  small.erase(small.begin() + 13 + 6, small.begin() + 13 + 12);
  EXPECT_EQ(ErrorOf(small), "GIF colour index out of range");

  // The image descriptor follows the 13-byte screen and the 12-byte map.
  std::vector<uint8_t> wide = good;
  ASSERT_EQ(wide[25], ',');
  wide[30] = 0;  // width 0
  wide[31] = 0;
  EXPECT_EQ(ErrorOf(wide), "GIF picture has no pixels (0 x 3)");
  wide[30] = 0xFF;  // 65535 x 65535
  wide[31] = 0xFF;
  wide[32] = 0xFF;
  wide[33] = 0xFF;
  EXPECT_EQ(ErrorOf(wide), "GIF picture too large (65535 x 65535)");
}

}  // namespace
}  // namespace vantrix
