// The span buffer against a plain copy of its first form: every span scanned
// on every insert, each row painted in storage order, the whole shadow halved
// before the spans are painted over it. Seeded random faces, drawn as a view
// draws them, must leave the same spans in the same slots and byte-identical
// pictures and masks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "engine/Bands_p.h"
#include "engine/ZBuffer_p.h"
#include "platform/Rounding.h"

namespace vantrix {
namespace {

struct TRefRow {
  int Count = 0;
  TSpan Spans[TSpanRow::kMaxSpans];
};

struct TRefBuffer {
  int MaxX = 0;
  std::vector<TRefRow> Rows;

  TRefBuffer(int height, int width) : MaxX(std::min(width, TZBuffer::kMaxWidth) - 1), Rows(height) {}

  void Add(int row, int x1, int x2, int shadeL, int shadeR, float depth) {
    if (row < 0 || row >= static_cast<int>(Rows.size()) || x2 < x1) return;
    TRefRow& r = Rows[row];
    if (r.Count >= TSpanRow::kMaxSpans) return;
    r.Spans[r.Count++] = TSpan{static_cast<int16_t>(x1),
                               static_cast<int16_t>(x2),
                               static_cast<int16_t>(ClampInt(shadeL, 0, 255)),
                               static_cast<int16_t>(ClampInt(shadeR, 0, 255)),
                               depth,
                               1};
  }

  void Insert(int row, int x1, int x2, int shadeL, int shadeR, float depth) {
    if (row < 0 || row >= static_cast<int>(Rows.size()) || x2 < x1 || x2 < 0 || x1 > MaxX) return;
    TRefRow& r = Rows[row];
    if (r.Count >= TSpanRow::kMaxSpans) return;
    x2 = std::min(x2, MaxX);
    x1 = std::max(x1, 0);
    const int n = r.Count;
    for (int k = 0; k < n; ++k) {
      TSpan& s = r.Spans[k];
      if (!s.Active || s.X2 < x1 || s.X1 > x2) continue;
      if (depth >= s.Depth) {
        if (s.X2 >= x2) {
          if (s.X1 <= x1) return;
          x2 = s.X1 - 1;
        } else if (s.X1 > x1) {
          Insert(row, s.X2 + 1, x2, shadeL, shadeR, depth);
          x2 = s.X1 - 1;
        } else {
          x1 = s.X2 + 1;
        }
      } else {
        if (s.X2 > x2 && s.X1 < x1) {
          Add(row, s.X1, x1 - 1, s.ShadeL, s.ShadeR, s.Depth);
          s.X1 = static_cast<int16_t>(x2 + 1);
        } else if (s.X2 > x2) {
          s.X1 = static_cast<int16_t>(x2 + 1);
        } else if (s.X1 < x1) {
          s.X2 = static_cast<int16_t>(x1 - 1);
        } else {
          s.Active = 0;
        }
        if (s.X1 > s.X2) s.Active = 0;
      }
    }
    Add(row, x1, x2, shadeL, shadeR, depth);
  }

  // The painters of TZBuffer, one span at a time in storage order.
  void Paint(TZBuffer& painter, TPicture& pic, const TShadeRamp& ramp, bool mask, bool textured) const {
    const int rows = std::min(static_cast<int>(Rows.size()), pic.Height());
    for (int r = 0; r < rows; ++r)
      for (int k = 0; k < Rows[r].Count; ++k) {
        const TSpan& s = Rows[r].Spans[k];
        const int x1 = std::max<int>(s.X1, 0), x2 = std::min<int>(s.X2, pic.Width() - 1);
        if (!s.Active || x1 > x2) continue;
        if (mask)
          TZBuffer::FillSpan(x1, x2, pic.Row32(r), kPixelWhite);
        else if (textured)
          painter.DrawTexturedSpan(r, x1, x2, pic.Row32(r), s.ShadeL, s.ShadeR);
        else if (s.ShadeL == s.ShadeR)
          TZBuffer::FillSpan(x1, x2, pic.Row32(r), ramp[s.ShadeL]);
        else
          TZBuffer::DrawGradient(x1, x2, pic.Row32(r), s.ShadeL, s.ShadeR, ramp);
      }
  }

  void Shadow(TPicture& pic, int dx, int dy, bool mask, bool hull) const {
    for (int r = 0; r < static_cast<int>(Rows.size()); ++r) {
      int lo = MaxX, hi = 0;
      bool any = false;
      for (int k = 0; k < Rows[r].Count; ++k) {
        const TSpan& s = Rows[r].Spans[k];
        if (!s.Active) continue;
        any = true;
        lo = std::min<int>(lo, s.X1);
        hi = std::max<int>(hi, s.X2);
        if (hull) continue;
        const int y = ClampInt(r + dy, 0, pic.Height() - 1);
        const int x1 = ClampInt(s.X1 + dx, 0, pic.Width() - 1), x2 = ClampInt(s.X2 + dx, 0, pic.Width() - 1);
        if (mask)
          TZBuffer::FillSpan(x1, x2, pic.Row32(y), kPixelWhite);
        else
          TZBuffer::HalveSpan(x1, x2, pic.Row32(y));
      }
      const int y = r + dy, x1 = std::max(lo + dx, 0), x2 = std::min(hi + dx, pic.Width() - 1);
      if (hull && any && y >= 0 && y < pic.Height() && x1 <= x2)
        TZBuffer::FillSpan(x1, x2, pic.Row32(y), kPixelWhite);
    }
  }
};

void ExpectSameRows(const TZBuffer& zb, const TRefBuffer& ref, int seed) {
  for (int r = 0; r < zb.RowCount(); ++r) {
    const TSpanRow& a = zb.Row(r);
    const TRefRow& b = ref.Rows[r];
    ASSERT_EQ(a.Count, b.Count) << "seed " << seed << " row " << r;
    for (int k = 0; k < a.Count; ++k) {
      const TSpan &s = a.Span(k), &t = b.Spans[k];
      ASSERT_TRUE(s.Active == t.Active && s.X1 == t.X1 && s.X2 == t.X2 && s.ShadeL == t.ShadeL &&
                  s.ShadeR == t.ShadeR && s.Depth == t.Depth)
          << "seed " << seed << " row " << r << " slot " << k;
    }
  }
}

void ExpectSamePicture(const TPicture& a, const TPicture& b, int seed, const char* what) {
  for (int y = 0; y < a.Height(); ++y)
    ASSERT_TRUE(std::equal(a.Row32(y), a.Row32(y) + a.Width(), b.Row32(y)))
        << what << " seed " << seed << " row " << y;
}

// A random face as a view draws it: a band of rows whose ends move linearly,
// overhanging the picture at times, with one depth (coarse, so that ties are
// common) and end shades that may be equal (flat) or not (smooth).
struct TScene {
  int Width, Height;
  std::mt19937 Rng;

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(Rng); }

  template <class Buffer, class Ref>
  void DrawFaces(Buffer& zb, Ref& ref, int faces, bool tiny) {
    for (int f = 0; f < faces; ++f) {
      const int top = tiny ? Pick(-1, 3) : Pick(-5, Height), rows = tiny ? Pick(1, 3) : Pick(1, Height / 2);
      const int left = Pick(-20, Width + 5), right = left + (tiny ? Pick(0, 2) : Pick(-3, Width / 3));
      const int slopeL = Pick(-3, 3), slopeR = Pick(-3, 3);
      // Tiny faces come nearer in pairs of equal depth, so that the row's
      // entries run out.
      const float depth = static_cast<float>(tiny ? 100000 - f / 2 : Pick(1, 12));
      const int shadeL = Pick(-10, 265), shadeR = Pick(0, 3) == 0 ? shadeL : Pick(0, 255);
      if (!tiny && Pick(0, 15) == 0) {
        // Now and then a span stored as it is, reaching past the row's ends,
        // for the inserts after it to cut.
        const int y = Pick(0, Height - 1), x1 = Pick(-40, Width + 10), x2 = x1 + Pick(0, 60);
        zb.AddSpan(y, x1, x2, shadeL, shadeR, depth);
        ref.Add(y, x1, x2, shadeL, shadeR, depth);
        continue;
      }
      for (int i = 0; i < rows; ++i) {
        const int y = top + i, x1 = left + slopeL * i, x2 = right + slopeR * i;
        zb.InsertSpan(y, x1, x2, shadeL, shadeR, depth);
        ref.Insert(y, x1, x2, shadeL, shadeR, depth);
      }
    }
  }
};

TEST(SpanBufferDifferential, SameSpansPicturesAndMasksAsThePlainBuffer) {
  TPicture texture(7, 5, 32);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) texture.SetPixelAt(x, y, MakePixel(x * 37, y * 50, (x + y) * 20));
  TShadeRamp ramp;
  for (int i = 0; i < 256; ++i) ramp[i] = MakePixel(i, 255 - i, i / 2) | 0x01000000u * (i % 3);

  bool filledARow = false;
  TZBuffer zb[2];
  for (int seed = 0; seed < 60; ++seed) {
    TScene scene{40 + seed % 7 * 23, 8 + seed % 5 * 9, std::mt19937(seed)};
    const int w = scene.Width, h = scene.Height;
    // Masks of the picture's size take the covers; one of another width is
    // painted span by span, and one taller than the buffer has rows that
    // only shadows reach.
    const int maskW = seed % 3 == 1 ? w + 9 : w, maskH = seed % 3 == 1 ? h - 3 : seed % 3 == 2 ? h + 5 : h;
    TPicture image(w, h, 32), mask(maskW, maskH, 32), refImage(w, h, 32), refMask(maskW, maskH, 32);
    image.Fill(0x80C0A060u);
    refImage.Fill(0x80C0A060u);
    // Two passes like a frame: a button with its hull shadow, then letters.
    // The buffers are kept from seed to seed, as a view keeps its own, so
    // nothing of an earlier picture may show through.
    TZBuffer::TPassPaint passes[2];
    for (int pass = 0; pass < 2; ++pass) {
      zb[pass].SetSize(h, w);
      TRefBuffer ref(h, w);
      // Some seeds crowd a few rows with tiny faces until the 512 entries run out.
      const bool crowded = seed % 4 == 3;
      scene.DrawFaces(zb[pass], ref, crowded ? 2500 : scene.Pick(1, 60), crowded);
      ASSERT_NO_FATAL_FAILURE(ExpectSameRows(zb[pass], ref, seed));
      for (int r = 0; r < h; ++r) filledARow |= zb[pass].Row(r).Count == TSpanRow::kMaxSpans;
      // Now and then a shift of more than a 64-column word of the cover.
      const int reach = scene.Pick(0, 3) == 0 ? 90 : 12;
      const TPassShadow shadow{scene.Pick(0, 3) != 0, scene.Pick(-reach, reach), scene.Pick(-12, 12),
                               pass == 0};
      const bool textured = scene.Pick(0, 2) == 0;
      if (textured) zb[pass].SetTexture(&texture);
      zb[pass].MidBright = scene.Pick(1, 254);
      passes[pass] = {&zb[pass], &ramp, shadow};
      // Odd seeds paint pass by pass, even ones both in one sweep below.
      if (seed % 2) zb[pass].DrawPass(image, &mask, ramp, shadow);
      if (shadow.On) {
        ref.Shadow(refImage, shadow.DX, shadow.DY, false, false);
        ref.Shadow(refMask, shadow.DX, shadow.DY, true, shadow.Hull);
      }
      ref.Paint(zb[pass], refImage, ramp, false, textured);
      ref.Paint(zb[pass], refMask, ramp, true, false);
    }
    if (seed % 2 == 0) TZBuffer::DrawPasses(image, &mask, passes, 2);
    ASSERT_NO_FATAL_FAILURE(ExpectSamePicture(image, refImage, seed, "image"));
    ASSERT_NO_FATAL_FAILURE(ExpectSamePicture(mask, refMask, seed, "mask"));
  }
  EXPECT_TRUE(filledARow) << "no row reached the entry limit";
}

// The spans of a scene as a list of calls, to be stored again band by band.
struct TSpanCalls {
  struct TCall {
    bool Insert;
    int Row, X1, X2, ShadeL, ShadeR;
    float Depth;
    int ShineL, ShineR;
  };
  std::vector<TCall> Calls;
  int Shine = 0;  // a highlight on every other span, when not 0
  void AddSpan(int row, int x1, int x2, int sl, int sr, float d) { Add(false, row, x1, x2, sl, sr, d); }
  void InsertSpan(int row, int x1, int x2, int sl, int sr, float d) { Add(true, row, x1, x2, sl, sr, d); }
  void Add(bool insert, int row, int x1, int x2, int sl, int sr, float d) {
    const bool lit = Shine != 0 && Calls.size() % 2 == 0;
    Calls.push_back({insert, row, x1, x2, sl, sr, d, lit ? Shine : 0, lit ? 255 - Shine : 0});
  }
  void Replay(TZBuffer& zb, int first, int last) const {
    for (const TCall& c : Calls) {
      if (c.Row < first || c.Row > last) continue;
      if (c.Insert)
        zb.InsertSpan(c.Row, c.X1, c.X2, c.ShadeL, c.ShadeR, c.Depth, c.ShineL, c.ShineR);
      else
        zb.AddSpan(c.Row, c.X1, c.X2, c.ShadeL, c.ShadeR, c.Depth, c.ShineL, c.ShineR);
    }
  }
};

struct TNoReference {
  void Add(int, int, int, int, int, float) {}
  void Insert(int, int, int, int, int, float) {}
};

// A row's spans depend only on the spans stored in it, in order, so the same
// random scenes stored and painted in bands on threads of their own must give
// the same rows, pictures and masks as on one.
TEST(SpanBufferDifferential, BandsOnThreadsGiveTheSingleThreadedFrame) {
  TShadeRamp ramp;
  for (int i = 0; i < 256; ++i) ramp[i] = MakePixel(i, 255 - i, i / 2);
  TPicture texture(5, 3, 32);
  texture.Fill(0x00406080u);
  for (int seed = 0; seed < 24; ++seed) {
    TScene scene{40 + seed % 7 * 23, 8 + seed % 5 * 9, std::mt19937(seed)};
    const int w = scene.Width, h = scene.Height, bands = 2 + seed % 4;
    TZBuffer one[2], banded[2];
    TZBuffer::TPassPaint onePasses[2], bandedPasses[2];
    for (int pass = 0; pass < 2; ++pass) {
      TSpanCalls calls;
      TNoReference none;
      calls.Shine = seed % 3 == 0 ? 0 : scene.Pick(1, 254);
      scene.DrawFaces(calls, none, seed % 4 == 3 ? 2500 : scene.Pick(1, 60), seed % 4 == 3);
      const TPassShadow shadow{scene.Pick(0, 3) != 0, scene.Pick(-12, 12), scene.Pick(-12, 12), pass == 0};
      const bool textured = scene.Pick(0, 2) == 0;
      for (TZBuffer* zb : {&one[pass], &banded[pass]}) {
        zb->SetSize(h, w);
        zb->LightColor = MakeColor(255, 200, 90);
      }
      calls.Replay(one[pass], 0, h - 1);
      banded[pass].SetBands(bands);
      RunBands(banded[pass].Bands(), 2, [&](int b) {
        int first, last;
        banded[pass].BandRows(b, first, last);
        calls.Replay(banded[pass], first, last);
      });
      for (int r = 0; r < h; ++r) {
        ASSERT_EQ(one[pass].Row(r).Count, banded[pass].Row(r).Count) << "seed " << seed << " row " << r;
        for (int k = 0; k < one[pass].Row(r).Count; ++k)
          ASSERT_EQ(std::memcmp(&one[pass].Row(r).Span(k), &banded[pass].Row(r).Span(k), sizeof(TSpan)), 0)
              << "seed " << seed << " row " << r << " slot " << k;
      }
      if (textured) {
        one[pass].SetTexture(&texture);
        banded[pass].SetTexture(&texture);
      }
      onePasses[pass] = {&one[pass], &ramp, shadow};
      bandedPasses[pass] = {&banded[pass], &ramp, shadow};
    }
    TPicture image(w, h, 32), mask(w, h + seed % 2 * 4, 32), bandedImage(w, h, 32),
        bandedMask(w, h + seed % 2 * 4, 32);
    image.Fill(0x80C0A060u);
    bandedImage.Fill(0x80C0A060u);
    TZBuffer::DrawPasses(image, &mask, onePasses, 2, 1);
    TZBuffer::DrawPasses(bandedImage, &bandedMask, bandedPasses, 2, bands);
    ASSERT_NO_FATAL_FAILURE(ExpectSamePicture(image, bandedImage, seed, "image"));
    ASSERT_NO_FATAL_FAILURE(ExpectSamePicture(mask, bandedMask, seed, "mask"));
  }
}

}  // namespace
}  // namespace vantrix
