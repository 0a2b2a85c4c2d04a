#include <gtest/gtest.h>
#include <jerror.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>

#include "platform/JpegCodec.h"

namespace vantrix {
namespace {

// A smooth picture, which JPEG keeps well.
TPicture Gradient(int w, int h, int bpp) {
  TPicture p(w, h, bpp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.SetPixelAt(x, y,
                   MakePixel(static_cast<uint8_t>(x * 255 / w), static_cast<uint8_t>(y * 255 / h), 128));
  return p;
}

// Compresses raw samples straight through libjpeg, for colour spaces our own
// encoder never writes.
std::vector<uint8_t> RawJpeg(int w, int h, int components, J_COLOR_SPACE space, uint8_t value) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = w;
  c.image_height = h;
  c.input_components = components;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(w) * components, value);
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  try {
    (void)DecodeJpeg(bytes);
  } catch (const TPictureError& e) {
    return e.what();
  }
  return "no error";
}

TEST(JpegCodec, RoundTripStaysCloseAndIgnoresTheFourthByte) {
  const TPicture source = Gradient(37, 21, 24);  // not a multiple of the 8 x 8 blocks
  const std::vector<uint8_t> file = EncodeJpeg(source, 90);
  const TPicture back = DecodeJpeg(file);
  ASSERT_EQ(back.Width(), 37);
  ASSERT_EQ(back.Height(), 21);
  EXPECT_EQ(back.BitsPerPixel(), 24);
  int worst = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 37; ++x)
      for (int shift : {0, 8, 16}) {
        const int a = (source.PixelAt(x, y) >> shift) & 0xFF, b = (back.PixelAt(x, y) >> shift) & 0xFF;
        worst = std::max(worst, std::abs(a - b));
      }
  EXPECT_LE(worst, 12);

  TPicture wide = source.Converted(32);
  for (int y = 0; y < 21; ++y) wide.Row32(y)[3] |= 0xAB000000;  // junk in the fourth byte
  EXPECT_EQ(EncodeJpeg(wide, 90), file);
}

TEST(JpegCodec, QualityIsBaselineAndClamped) {
  const TPicture p = Gradient(64, 64, 24);
  const std::vector<uint8_t> low = EncodeJpeg(p, 5), high = EncodeJpeg(p, 95);
  EXPECT_LT(low.size(), high.size());
  EXPECT_EQ(EncodeJpeg(p, -20), EncodeJpeg(p, 1));
  EXPECT_EQ(EncodeJpeg(p, 400), EncodeJpeg(p, 100));
  // A baseline frame header (FF C0) and no progressive one (FF C2).
  const auto has = [&](uint8_t marker) {
    for (size_t i = 0; i + 1 < high.size(); ++i)
      if (high[i] == 0xFF && high[i + 1] == marker) return true;
    return false;
  };
  EXPECT_TRUE(has(0xC0));
  EXPECT_FALSE(has(0xC2));
  EXPECT_THROW(EncodeJpeg(TPicture(), 90), TPictureError);
}

TEST(JpegCodec, GreyscaleBecomesColourAndCmykIsRefused) {
  const TPicture grey = DecodeJpeg(RawJpeg(9, 4, 1, JCS_GRAYSCALE, 200));
  ASSERT_EQ(grey.Width(), 9);
  EXPECT_EQ(grey.BitsPerPixel(), 24);
  EXPECT_EQ(grey.PixelAt(8, 3), MakePixel(200, 200, 200));
  EXPECT_EQ(ErrorOf(RawJpeg(8, 8, 4, JCS_CMYK, 50)), "CMYK JPEG pictures are not supported");
}

TEST(JpegCodec, DamagedDataIsRefused) {
  EXPECT_EQ(ErrorOf({}), "JPEG error #" + std::to_string(JERR_INPUT_EMPTY));
  EXPECT_EQ(ErrorOf({'B', 'M', 1, 2}), "JPEG error #" + std::to_string(JERR_NO_SOI));

  const std::vector<uint8_t> good = EncodeJpeg(Gradient(16, 16, 24), 50);
  for (size_t n = 2; n < good.size(); n += 7) {
    const std::string e = ErrorOf(std::vector<uint8_t>(good.begin(), good.begin() + n));
    EXPECT_TRUE(e == "truncated JPEG data" || e.rfind("JPEG error #", 0) == 0) << n << ": " << e;
  }

  // Rewrite the frame header's height and width (after FF C0, length and precision).
  std::vector<uint8_t> huge = good;
  size_t sof = 0;
  while (!(huge[sof] == 0xFF && huge[sof + 1] == 0xC0)) ++sof;
  huge[sof + 5] = 0x4E;  // 20000 rows
  huge[sof + 6] = 0x20;
  EXPECT_EQ(ErrorOf(huge), "JPEG picture too large (16 x 20000)");
  huge[sof + 5] = huge[sof + 6] = 0;
  EXPECT_EQ(ErrorOf(huge).rfind("JPEG error #", 0), 0u);  // zero height is the library's complaint
}

}  // namespace
}  // namespace vantrix
