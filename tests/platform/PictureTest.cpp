#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

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

// RoundInt must be std::nearbyint, saturated: halves, values next to the int32
// limits, tiny and huge magnitudes of both signs.
TEST(RoundInt, AgreesWithNearbyintSaturated) {
  std::mt19937_64 rng(5);
  std::vector<double> values = {
      -0.0,          0.49999999999999994, -0.49999999999999994, 2147483646.5, 2147483646.4999,
      -2147483647.5, -2147483648.5,       2147483647.0,         1e-310,       4503599627370495.5};
  for (int i = 0; i < 200000; ++i) {
    const double scale = std::ldexp(1.0, static_cast<int>(rng() % 40) - 8);
    const double v = (static_cast<double>(rng() % 2000001) - 1000000.0) / 1000000.0 * scale;
    values.push_back(v);
    values.push_back(std::floor(v) + 0.5);  // an exact half
  }
  for (const double v : values) {
    const double r = std::nearbyint(v);
    const int32_t expected = r >= 2147483647.0    ? INT32_MAX
                             : r <= -2147483648.0 ? INT32_MIN
                                                  : static_cast<int32_t>(r);
    ASSERT_EQ(RoundInt(v), expected) << std::hexfloat << v;
  }
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
