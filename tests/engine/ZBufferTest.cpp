#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/ZBuffer_p.h"

namespace vantrix {
namespace {

std::vector<TSpan> Live(const TZBuffer& zb, int row) {
  std::vector<TSpan> out;
  for (int k = 0; k < zb.Row(row).Count; ++k)
    if (zb.Row(row).Span(k).Active) out.push_back(zb.Row(row).Span(k));
  return out;
}

TShadeRamp IdentityRamp() {
  TShadeRamp r;
  for (int i = 0; i < 256; ++i) r[i] = static_cast<TPixel>(i);
  return r;
}

TEST(SpanDepth, FartherOrEqualSpanBehindAWiderOneDisappears) {
  TZBuffer zb;
  zb.SetSize(2, 100);
  zb.InsertSpan(0, 10, 50, 1, 1, 5.0f);
  zb.InsertSpan(0, 20, 30, 2, 2, 6.0f);
  zb.InsertSpan(0, 10, 50, 3, 3, 5.0f);  // equal depth keeps the old span
  ASSERT_EQ(Live(zb, 0).size(), 1u);
  EXPECT_EQ(Live(zb, 0)[0].ShadeL, 1);
}

TEST(SpanDepth, NearerSpanInsideSplitsTheOlderOne) {
  TZBuffer zb;
  zb.SetSize(1, 100);
  zb.InsertSpan(0, 10, 50, 1, 9, 5.0f);
  zb.InsertSpan(0, 20, 30, 2, 2, 4.0f);
  const auto spans = Live(zb, 0);
  ASSERT_EQ(spans.size(), 3u);
  // The older span's right part keeps its slot and its end shades.
  EXPECT_EQ(spans[0].X1, 31);
  EXPECT_EQ(spans[0].X2, 50);
  EXPECT_EQ(spans[0].ShadeL, 1);
  EXPECT_EQ(spans[0].ShadeR, 9);
  EXPECT_EQ(spans[1].X1, 10);  // its left part, a new entry
  EXPECT_EQ(spans[1].X2, 19);
  EXPECT_EQ(spans[2].X1, 20);
  EXPECT_EQ(spans[2].X2, 30);
}

TEST(SpanDepth, FartherSpanAroundANearerOneIsStoredInTwoParts) {
  TZBuffer zb;
  zb.SetSize(1, 100);
  zb.InsertSpan(0, 20, 30, 1, 1, 4.0f);
  zb.InsertSpan(0, 10, 50, 2, 2, 5.0f);
  const auto spans = Live(zb, 0);
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_EQ(spans[1].X1, 31);
  EXPECT_EQ(spans[1].X2, 50);
  EXPECT_EQ(spans[2].X1, 10);
  EXPECT_EQ(spans[2].X2, 19);
}

TEST(SpanDepth, RowHoldsAtMost512EntriesDeadOnesIncluded) {
  TZBuffer zb;
  zb.SetSize(1, 2000);
  for (int i = 0; i < 300; ++i) zb.InsertSpan(0, i, i, 1, 1, 10.0f);
  zb.InsertSpan(0, 0, 299, 1, 1, 1.0f);  // kills all 300
  EXPECT_EQ(zb.Row(0).Count, 301);
  for (int i = 0; i < 300; ++i) zb.InsertSpan(0, 1000 + i, 1000 + i, 1, 1, 1.0f);
  EXPECT_EQ(zb.Row(0).Count, TSpanRow::kMaxSpans);
  EXPECT_EQ(Live(zb, 0).size(), 1u + 211u);
}

TEST(SpanDepth, ClipsColumnsAndDropsRowsOutside) {
  TZBuffer zb;
  zb.SetSize(3, 10);
  zb.InsertSpan(0, -5, 3, 1, 1, 1.0f);
  ASSERT_EQ(Live(zb, 0).size(), 1u);
  EXPECT_EQ(Live(zb, 0)[0].X1, 0);
  EXPECT_EQ(Live(zb, 0)[0].X2, 3);
  zb.InsertSpan(1, 10, 20, 1, 1, 1.0f);
  zb.InsertSpan(1, 5, 40000, 1, 1, 1.0f);
  ASSERT_EQ(Live(zb, 1).size(), 1u);
  EXPECT_EQ(Live(zb, 1)[0].X2, 9);
  zb.InsertSpan(-1, 0, 5, 1, 1, 1.0f);
  zb.InsertSpan(3, 0, 5, 1, 1, 1.0f);
  EXPECT_EQ(zb.Row(2).Count, 0);
}

TEST(SpanDepth, DegenerateSizesAreHarmless) {
  TZBuffer zb;
  zb.InsertSpan(0, 0, 5, 1, 1, 1.0f);  // never sized
  zb.SetSize(0, 0);
  EXPECT_EQ(zb.RowCount(), 0);
  zb.SetSize(1, 100000);  // wider than 16-bit columns: drawn in the first 32767
  EXPECT_EQ(zb.MaxX(), 32766);
  zb.InsertSpan(0, 30000, 99999, 1, 1, 1.0f);
  EXPECT_EQ(Live(zb, 0)[0].X2, 32766);
  zb.AddSpan(0, 1, 2, 999, -5, 1.0f);  // shades stay inside the ramp
  EXPECT_EQ(zb.Row(0).Span(1).ShadeL, 255);
  EXPECT_EQ(zb.Row(0).Span(1).ShadeR, 0);
}

// The span buffer must show, pixel for pixel, what a plain per-pixel depth
// buffer shows for the same spans (ties going to the span drawn first).
TEST(SpanDepth, AgreesWithAPerPixelDepthBuffer) {
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    const int width = 64;
    TZBuffer zb;
    zb.SetSize(1, width);
    std::vector<float> depth(width, 1e30f);
    std::vector<int> owner(width, 0);
    std::uniform_int_distribution<int> col(-10, width + 10);
    std::uniform_int_distribution<int> dep(1, 40);  // coarse: equal depths happen
    const int n = 1 + static_cast<int>(rng() % 40);
    for (int id = 1; id <= n; ++id) {
      int a = col(rng), b = col(rng);
      if (a > b) std::swap(a, b);
      const float d = static_cast<float>(dep(rng));
      zb.InsertSpan(0, a, b, id, id, d);
      for (int x = std::max(a, 0); x <= std::min(b, width - 1); ++x)
        if (d < depth[x]) {
          depth[x] = d;
          owner[x] = id;
        }
    }
    TPicture pic(width, 1, 32);
    zb.DrawSpans(pic, IdentityRamp(), false);
    for (int x = 0; x < width; ++x)
      ASSERT_EQ(static_cast<int>(pic.PixelAt(x, 0)), owner[x]) << round << " " << x;
  }
}

TEST(SpanPainting, GradientSteps22Point10) {
  TPixel row[256];
  TZBuffer::DrawGradient(0, 255, row, 0, 255, IdentityRamp());
  // step = 255*1024/255 = 1024: exactly one entry per pixel here.
  for (int x = 0; x < 256; ++x) ASSERT_EQ(row[x], static_cast<TPixel>(x));
  TPixel short_row[4];
  TZBuffer::DrawGradient(0, 3, short_row, 0, 10, IdentityRamp());
  // step = 10240/3 = 3413 truncated: the last pixel lands on 9, not 10.
  EXPECT_EQ(short_row[3], 9u);
  TZBuffer::DrawGradient(2, 2, short_row, 7, 200, IdentityRamp());
  EXPECT_EQ(short_row[2], 7u);

  // Every pixel is the clamped 22.10 position, for shades inside the ramp and
  // outside it, rising and falling, over short and long spans.
  std::vector<TPixel> got(2000);
  for (const int shadeL : {0, 1, 37, 128, 254, 255, -300, 900})
    for (const int shadeR : {0, 3, 100, 255, -1, 256})
      for (const int length : {2, 3, 7, 255, 256, 1999}) {
        TZBuffer::DrawGradient(0, length - 1, got.data(), shadeL, shadeR, IdentityRamp());
        const int32_t step = ((shadeR - shadeL) * 1024) / (length - 1);
        for (int x = 0; x < length; ++x)
          ASSERT_EQ(got[x], static_cast<TPixel>(ClampInt((shadeL * 1024 + x * step) >> 10, 0, 255)))
              << shadeL << ".." << shadeR << " over " << length << " at " << x;
      }
}

TEST(SpanPainting, TexelsBlendTowardWhiteOrBlackAndTakeTheLightTint) {
  TPicture tex(2, 2, 32);
  tex.Fill(MakePixel(255, 255, 255));
  TZBuffer zb;
  zb.SetSize(1, 8);
  zb.SetTexture(&tex);
  zb.MidBright = 204;
  TPixel px[8] = {};
  zb.DrawTexturedSpan(0, 0, 0, px, 254, 254);
  EXPECT_EQ(px[0], MakePixel(255, 255, 255));
  zb.DrawTexturedSpan(0, 1, 1, px, 102, 0);  // one pixel: the left shade
  EXPECT_EQ(px[1], MakePixel(127, 127, 127));
  zb.LightColor = MakeColor(255, 0, 128);  // red full, green off, blue half
  zb.DrawTexturedSpan(0, 2, 2, px, 204, 204);
  EXPECT_EQ(px[2], MakePixel(255, 0, 128));
  // The fourth byte of the picture is left alone.
  px[3] = 0xAB000000u;
  zb.DrawTexturedSpan(0, 3, 3, px, 204, 204);
  EXPECT_EQ(px[3] >> 24, 0xABu);
}

TEST(SpanPainting, ExtremeMidBrightDoesNotDivideByZero) {
  TPicture tex(2, 2, 32);
  tex.Fill(MakePixel(100, 100, 100));
  TZBuffer zb;
  zb.SetSize(1, 4);
  zb.SetTexture(&tex);
  for (int mid : {0, 255, -7, 1000}) {
    zb.MidBright = mid;
    TPixel px[4] = {};
    zb.DrawTexturedSpan(0, 0, 3, px, 0, 255);
    // Whatever the mid brightness, a shade ramp from black to white stays in range.
    EXPECT_EQ(px[0], 0u) << mid;
    EXPECT_EQ(px[3], MakePixel(255, 255, 255)) << mid;
  }
}

TEST(SpanPainting, TextureRepeatsInPictureCoordinates) {
  TPicture tex(2, 3, 32);
  tex.SetPixelAt(1, 2, MakePixel(10, 20, 30));
  TZBuffer zb;
  zb.SetSize(6, 6);
  zb.MidBright = 204;
  zb.SetTexture(&tex);
  zb.InsertSpan(5, 0, 5, 204, 204, 1.0f);  // row 5 -> texture row 2
  TPicture pic(6, 6, 32);
  zb.DrawSpans(pic, IdentityRamp(), false);
  EXPECT_EQ(pic.PixelAt(3, 5), MakePixel(10, 20, 30));
  EXPECT_EQ(pic.PixelAt(4, 5), 0u);
  // An empty texture falls back to the ramp.
  TPicture none;
  zb.SetTexture(&none);
  zb.DrawSpans(pic, IdentityRamp(), false);
  EXPECT_EQ(pic.PixelAt(3, 5), 204u);
}

TEST(Shadows, ShiftedSilhouetteIsHalvedAndPressedIntoThePicture) {
  TZBuffer zb;
  zb.SetSize(10, 10);
  zb.InsertSpan(2, 1, 2, 0, 0, 1.0f);
  zb.InsertSpan(8, 1, 2, 0, 0, 1.0f);  // shifted below the picture
  TPicture pic(10, 10, 32);
  pic.Fill(0xFF808080u);
  zb.DrawShadow(pic, 3, 4, false);
  EXPECT_EQ(pic.PixelAt(4, 6), 0xFF404040u);
  EXPECT_EQ(pic.PixelAt(5, 6), 0xFF404040u);
  EXPECT_EQ(pic.PixelAt(6, 6), 0xFF808080u);
  EXPECT_EQ(pic.PixelAt(4, 9), 0xFF404040u);  // row 12 lands on the last row
  TPicture mask(10, 10, 32);
  zb.DrawShadow(mask, 3, 4, true);
  EXPECT_EQ(mask.PixelAt(5, 6), kPixelWhite);
}

TEST(Shadows, HullCoversTheGapsBetweenSpansAndClips) {
  TZBuffer zb;
  zb.SetSize(4, 10);
  zb.InsertSpan(1, 1, 2, 0, 0, 1.0f);
  zb.InsertSpan(1, 6, 7, 0, 0, 1.0f);
  zb.InsertSpan(3, 0, 9, 0, 0, 1.0f);
  TPicture mask(10, 4, 32);
  zb.DrawShadowHull(mask, 1, 1, true);
  for (int x = 2; x <= 8; ++x) EXPECT_EQ(mask.PixelAt(x, 2), kPixelWhite) << x;
  EXPECT_EQ(mask.PixelAt(1, 2), 0u);
  EXPECT_EQ(mask.PixelAt(9, 2), 0u);
  // Row 3 shifted to row 4 lies outside and is clipped.
  for (int x = 0; x < 10; ++x) EXPECT_EQ(mask.PixelAt(x, 3), 0u);
}

}  // namespace
}  // namespace vantrix
