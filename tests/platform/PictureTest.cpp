#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/Picture.h"
#include "platform/Rounding.h"

namespace vantrix {
namespace {

TEST(RoundInt, HalvesGoToTheEvenNeighbour) {
  const struct {
    double in;
    int32_t out;
  } cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},      {-0.5, 0}, {-1.5, -2},
               {-2.5, -2}, {2.4999, 2}, {-2.5001, -3}, {7.0, 7}};
  for (const auto& c : cases) EXPECT_EQ(RoundInt(c.in), c.out) << c.in;
}

TEST(RoundInt, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(RoundInt(1e300), INT32_MAX);
  EXPECT_EQ(RoundInt(-1e300), INT32_MIN);
  EXPECT_EQ(RoundInt(std::nan("")), 0);
  EXPECT_EQ(RoundInt(HUGE_VAL), INT32_MAX);
}

TEST(Color, ConversionsSwapRedAndBlue) {
  const TColor orange = MakeColor(255, 128, 0);
  EXPECT_EQ(ColorValue(orange), 0x000080FFu);
  EXPECT_EQ(ColorToPixel(orange), 0x00FF8000u);
  EXPECT_EQ(PixelToColor(ColorToPixel(orange)), orange);
}

TEST(Picture, DefaultIsEmptyAndHarmless) {
  TPicture p;
  EXPECT_TRUE(p.Empty());
  p.Fill(0x123456);
  p.FillRect(-10, -10, 10, 10, 1);
  EXPECT_EQ(p.PixelAt(0, 0), 0u);
  TPicture q(4, 4, 32);
  q.CopyFrom(p, 0, 0, 0, 0, 4, 4);
  EXPECT_EQ(q.PixelAt(1, 1), 0u);
}

TEST(Picture, RowsArePaddedToFourBytes) {
  TPicture p(5, 2, 24);
  EXPECT_EQ(p.Stride(), 16u);
  p.SetPixelAt(4, 1, MakePixel(1, 2, 3));
  const uint8_t* row = p.Row(1);
  EXPECT_EQ(row[12], 3);  // blue first
  EXPECT_EQ(row[13], 2);
  EXPECT_EQ(row[14], 1);
  EXPECT_EQ(row[15], 0);  // padding untouched
}

TEST(Picture, FillRectClipsToThePicture) {
  TPicture p(4, 3, 32);
  p.FillRect(-5, 1, 2, 99, 0xAA);
  EXPECT_EQ(p.PixelAt(0, 0), 0u);
  EXPECT_EQ(p.PixelAt(0, 1), 0xAAu);
  EXPECT_EQ(p.PixelAt(1, 2), 0xAAu);
  EXPECT_EQ(p.PixelAt(2, 2), 0u);
}

TEST(Picture, CopyClipsAndConvertsFormats) {
  TPicture src(3, 3, 24);
  src.Fill(MakePixel(10, 20, 30));
  src.SetPixelAt(2, 2, MakePixel(1, 1, 1));
  TPicture dst(4, 4, 32);
  dst.Fill(0xFF000000);
  dst.CopyFrom(src, -1, 0, 2, 2, 5, 5);       // starts left of the source, runs past both
  EXPECT_EQ(dst.PixelAt(2, 2), 0xFF000000u);  // source column -1 does not exist
  EXPECT_EQ(dst.PixelAt(3, 2), MakePixel(10, 20, 30));
  EXPECT_EQ(dst.PixelAt(3, 3), MakePixel(10, 20, 30));
  EXPECT_EQ(dst.PixelAt(1, 1), 0xFF000000u);
  const TPicture back = dst.Converted(24);
  EXPECT_EQ(back.PixelAt(3, 3), MakePixel(10, 20, 30));
}

TEST(Picture, RefusesAbsurdSizes) {
  TPicture p;
  EXPECT_THROW(p.SetSize(TPicture::kMaxDimension + 1, 1, 32), std::length_error);
  EXPECT_THROW(p.SetSize(1, 1, 16), std::invalid_argument);
  p.SetSize(-3, 7, 32);
  EXPECT_TRUE(p.Empty());
}

}  // namespace
}  // namespace vantrix
