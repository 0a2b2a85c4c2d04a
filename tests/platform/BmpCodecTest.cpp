#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "platform/BmpCodec.h"

namespace vantrix {
namespace {

// A bitmap assembled field by field, so that every variant and every damage
// can be made on purpose.
struct TBmpSketch {
  uint32_t headerSize = 40;
  int32_t width = 0;
  int32_t height = 0;  // negative: top-down
  uint16_t bpp = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<TPixel> palette;             // written as B, G, R (, 0)
  std::vector<uint32_t> masks;             // red, green, blue
  std::vector<std::vector<uint8_t>> rows;  // in file order, unpadded
  bool padLastRow = true;
};

void Put(std::vector<uint8_t>& out, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> Build(const TBmpSketch& s) {
  std::vector<uint8_t> out(14 + s.headerSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put(out, 14, s.headerSize, 4);
  if (s.headerSize == 12) {
    Put(out, 18, static_cast<uint32_t>(s.width), 2);
    Put(out, 20, static_cast<uint32_t>(s.height), 2);
    Put(out, 22, 1, 2);
    Put(out, 24, s.bpp, 2);
  } else {
    Put(out, 18, static_cast<uint32_t>(s.width), 4);
    Put(out, 22, static_cast<uint32_t>(s.height), 4);
    Put(out, 26, 1, 2);
    Put(out, 28, s.bpp, 2);
    Put(out, 30, s.compression, 4);
    Put(out, 46, s.colorsUsed, 4);
  }
  for (size_t i = 0; i < s.masks.size(); ++i) {
    if (54 + 4 * i + 4 > out.size()) out.resize(54 + 4 * i + 4);
    Put(out, 54 + 4 * i, s.masks[i], 4);
  }
  for (TPixel p : s.palette) {
    out.insert(out.end(), {PixelBlue(p), PixelGreen(p), PixelRed(p)});
    if (s.headerSize != 12) out.push_back(0);
  }
  Put(out, 10, static_cast<uint32_t>(out.size()), 4);
  for (size_t r = 0; r < s.rows.size(); ++r) {
    out.insert(out.end(), s.rows[r].begin(), s.rows[r].end());
    if (s.padLastRow || r + 1 < s.rows.size()) out.resize(out.size() + (4 - s.rows[r].size() % 4) % 4, 0);
  }
  return out;
}

const TPixel kRed = MakePixel(255, 0, 0), kGreen = MakePixel(0, 255, 0), kBlue = MakePixel(0, 0, 255),
             kWhite = MakePixel(255, 255, 255);

// Two rows of five pixels with palette indices {0,1,2,3,0} on top and {3,2,1,0,3} below.
TEST(BmpDecode, PalettedDepthsHeadersAndRowOrder) {
  const std::vector<int> top = {0, 1, 2, 3, 0}, bottom = {3, 2, 1, 0, 3};
  const auto pack = [](const std::vector<int>& idx, int bpp) {
    std::vector<uint8_t> row((idx.size() * bpp + 7) / 8, 0);
    for (size_t x = 0; x < idx.size(); ++x) row[x * bpp / 8] |= idx[x] << (8 - bpp - (x * bpp) % 8);
    return row;
  };
  for (int bpp : {1, 4, 8}) {
    for (uint32_t header : {12u, 40u, 124u}) {
      for (bool topDown : {false, true}) {
        if (header == 12 && topDown) continue;  // core headers cannot say top-down
        SCOPED_TRACE(testing::Message()
                     << bpp << " bits, header " << header << (topDown ? ", top-down" : ""));
        // One bit cannot hold index 2 or 3; fold them onto 0 and 1.
        const auto fold = [&](std::vector<int> v) {
          for (int& i : v) i = bpp == 1 ? i % 2 : i;
          return v;
        };
        TBmpSketch s;
        s.headerSize = header;
        s.width = 5;
        s.height = topDown ? -2 : 2;
        s.bpp = static_cast<uint16_t>(bpp);
        s.palette = {kRed, kGreen, kBlue, kWhite};
        if (bpp == 1) s.palette.resize(2);
        s.colorsUsed = header == 12 ? 0 : static_cast<uint32_t>(s.palette.size());
        // A core header has no colour count; its palette is the full 2^bpp.
        if (header == 12) s.palette.resize(size_t{1} << bpp, 0);
        s.rows = topDown ? std::vector{pack(fold(top), bpp), pack(fold(bottom), bpp)}
                         : std::vector{pack(fold(bottom), bpp), pack(fold(top), bpp)};
        const TPicture p = DecodeBmp(Build(s));
        ASSERT_EQ(p.Width(), 5);
        ASSERT_EQ(p.Height(), 2);
        EXPECT_EQ(p.BitsPerPixel(), 24);
        const TPixel colours[] = {kRed, kGreen, kBlue, kWhite};
        for (int x = 0; x < 5; ++x) {
          EXPECT_EQ(p.PixelAt(x, 0), colours[fold(top)[x]]) << x;
          EXPECT_EQ(p.PixelAt(x, 1), colours[fold(bottom)[x]]) << x;
        }
      }
    }
  }
}

TEST(BmpDecode, DirectColourDepthsAndMasks) {
  struct TCase {
    const char* name;
    uint16_t bpp;
    uint32_t compression;
    std::vector<uint32_t> masks;
    std::vector<uint8_t> pixel;  // one pixel meaning red 255, green 0x80-ish, blue 0
    TPixel expected;
  } cases[] = {
      {"24", 24, 0, {}, {0x00, 0x80, 0xFF}, MakePixel(255, 128, 0)},
      {"32 plain", 32, 0, {}, {0x00, 0x80, 0xFF, 0x7F}, MakePixel(255, 128, 0)},
      {"32 fields RGBA order",
       32,
       3,
       {0x000000FF, 0x0000FF00, 0x00FF0000},
       {0xFF, 0x80, 0x00, 0x00},
       MakePixel(255, 128, 0)},
      {"16 plain 5-5-5", 16, 0, {}, {0x00, 0x7E}, MakePixel(255, 255 * 16 / 31 + 1, 0)},  // green 16 of 31
      {"16 fields 5-6-5", 16, 3, {0xF800, 0x07E0, 0x001F}, {0x00, 0xFC}, MakePixel(255, 130, 0)},  // green
                                                                                                   // 32/63
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (uint32_t header : {40u, 56u, 108u}) {
      TBmpSketch s;
      s.headerSize = header;
      s.width = 3;
      s.height = 1;
      s.bpp = c.bpp;
      s.compression = c.compression;
      s.masks = c.masks;
      for (int i = 0; i < 3; ++i)
        s.rows.resize(1), s.rows[0].insert(s.rows[0].end(), c.pixel.begin(), c.pixel.end());
      const TPicture p = DecodeBmp(Build(s));
      for (int x = 0; x < 3; ++x) EXPECT_EQ(p.PixelAt(x, 0), c.expected) << "header " << header;
    }
  }
}

TEST(BmpDecode, LastRowMayLackItsPadding) {
  TBmpSketch s;
  s.width = 1;
  s.height = 2;
  s.rows = {{1, 2, 3}, {4, 5, 6}};
  s.padLastRow = false;
  EXPECT_EQ(DecodeBmp(Build(s)).PixelAt(0, 0), MakePixel(6, 5, 4));
}

TBmpSketch SmallPaletted() {
  TBmpSketch s;
  s.width = 3;
  s.height = 2;
  s.bpp = 8;
  s.colorsUsed = 2;
  s.palette = {kRed, kBlue};
  s.rows = {{0, 1, 0}, {1, 0, 1}};
  return s;
}

TEST(BmpDecode, DamagedHeadersAreRefusedWithAReason) {
  const struct {
    void (*damage)(TBmpSketch&);
    const char* message;
  } cases[] = {
      {[](TBmpSketch& s) { s.width = 0; }, "BMP picture has no pixels (0 x 2)"},
      {[](TBmpSketch& s) { s.width = 1 << 30; }, "BMP picture too large (1073741824 x 2)"},
      {[](TBmpSketch& s) { s.width = s.height = 9000; }, "BMP picture too large (9000 x 9000)"},  // area only
      {[](TBmpSketch& s) { s.height = INT_MIN; }, "BMP picture too large (3 x 2147483648)"},
      {[](TBmpSketch& s) { s.rows[1][2] = 2; }, "BMP palette index out of range"},  // two colours only
      {[](TBmpSketch& s) { s.palette.clear(); }, "BMP palette is missing"},
      {[](TBmpSketch& s) { s.compression = 1; }, "unsupported BMP compression (1)"},  // run-length
      {[](TBmpSketch& s) { s.compression = 3; }, "damaged BMP header (bit fields need 16 or 32 bits)"},
      {[](TBmpSketch& s) { s.bpp = 7; }, "unsupported BMP depth (7 bits per pixel)"},
      {[](TBmpSketch& s) { s.headerSize = 64; }, "unsupported BMP header (64 bytes)"},
  };
  for (const auto& c : cases) {
    TBmpSketch s = SmallPaletted();
    c.damage(s);
    try {
      (void)DecodeBmp(Build(s));
      ADD_FAILURE() << "accepted; expected " << c.message;
    } catch (const TPictureError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  std::vector<uint8_t> bytes = Build(SmallPaletted());
  Put(bytes, 10, 0xFFFFFFF0u, 4);  // pixel data far beyond the end
  EXPECT_THROW(DecodeBmp(bytes), TPictureError);
  Put(bytes, 10, 20, 4);  // pixel data inside the header
  EXPECT_THROW(DecodeBmp(bytes), TPictureError);
  EXPECT_THROW(DecodeBmp(std::vector<uint8_t>{'G', 'I', 'F'}), TPictureError);
}

TEST(BmpDecode, EveryTruncationIsRefused) {
  for (const std::vector<uint8_t>& whole : {Build(SmallPaletted()), EncodeBmp24(TPicture(3, 3, 24))}) {
    // The last row's padding may be missing, so stop short of it.
    for (size_t n = 0; n + 3 < whole.size(); ++n) {
      const std::vector<uint8_t> part(whole.begin(), whole.begin() + n);
      EXPECT_THROW(DecodeBmp(part), TPictureError) << n << " of " << whole.size();
    }
  }
}

TEST(BmpEncode, RoundTripIsExactForEveryPadding) {
  std::mt19937 rng(7);
  for (int width = 1; width <= 5; ++width) {
    for (int bpp : {24, 32}) {
      TPicture p(width, 3, bpp);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < width; ++x) p.SetPixelAt(x, y, rng() & 0xFFFFFF);
      const std::vector<uint8_t> file = EncodeBmp24(p);
      EXPECT_EQ(file.size(), 54u + 3 * ((3 * width + 3) / 4 * 4));
      // Bottom-up: the first stored pixel is the bottom-left one.
      EXPECT_EQ(MakePixel(file[56], file[55], file[54]), p.PixelAt(0, 2));
      EXPECT_EQ(DecodeBmp(file), p.Converted(24)) << width << " wide, " << bpp << " bits";
    }
  }
  EXPECT_THROW(EncodeBmp24(TPicture()), TPictureError);
}

}  // namespace
}  // namespace vantrix
