#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/NativeOutlineFormat.h"
#include "scene/SceneProbe_p.h"

namespace vantrix {
namespace {

// Builds native outline buffers by hand: polygons of line and spline records.
class TOutlineBuffer {
 public:
  static int32_t Fix(double v) { return static_cast<int32_t>(std::lround(v * kFixedOne)); }
  void Polygon(int32_t sx, int32_t sy, uint32_t type = kPolygonType) {
    start_ = bytes_.size();
    PutOutlineU32(bytes_, 0);
    PutOutlineU32(bytes_, type);
    PutOutlinePoint(bytes_, {sx, sy});
  }
  void Record(uint16_t type, const std::vector<std::pair<int32_t, int32_t>>& pts) {
    PutOutlineU16(bytes_, type);
    PutOutlineU16(bytes_, static_cast<uint16_t>(pts.size()));
    for (auto [x, y] : pts) PutOutlinePoint(bytes_, {x, y});
  }
  void End() { Patch(start_, static_cast<uint32_t>(bytes_.size() - start_)); }
  void Patch(size_t at, uint32_t v) { PatchOutlineU32(bytes_, at, v); }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t start_ = 0;
};

class TCollect : public TMessageSink {
 public:
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  std::vector<std::string> Messages;
};

using F = TOutlineBuffer;

class GlyphParse : public ::testing::Test {
 protected:
  void SetUp() override {
    scene.Messages = &sink;
    scene.NewLetter();
  }
  void Parse(TOutlineBuffer& b) { scene.ParseOutline(b.Bytes().data(), b.Bytes().size()); }
  const std::vector<TPoint>& Contour(int j) { return scene.Letter(1).Contour(j); }
  TSceneProbe scene;
  TCollect sink;
};

TEST_F(GlyphParse, GivenCoordinatesRoundHalfUpComputedOnesHalfToEven) {
  TOutlineBuffer b;
  b.Polygon(F::Fix(7.5), F::Fix(-7.5));  // FIXED 7 + 1/2 -> 8; -8 + 1/2 -> -7
  b.Record(1, {{F::Fix(0), F::Fix(0)}});
  // Spline from (0,0) via (13,0) to (0,0): its middle is at x = 6.5 -> 6.
  b.Record(2, {{F::Fix(13), F::Fix(0)}, {F::Fix(0), F::Fix(0)}});
  b.End();
  scene.Params.SplPnt = 2;
  Parse(b);
  const auto& c = Contour(1);
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(c[0], (TPoint{8, -7}));
  EXPECT_EQ(c[2], (TPoint{6, 0}));
  EXPECT_EQ(c.back(), c.front());  // the start point closes the contour
  TOutlineBuffer b2;
  b2.Polygon(0, 0);
  b2.Record(2, {{F::Fix(15), F::Fix(0)}, {F::Fix(0), F::Fix(0)}});  // middle at 7.5 -> 8
  b2.End();
  Parse(b2);
  EXPECT_EQ(Contour(2)[1], (TPoint{8, 0}));
}

TEST_F(GlyphParse, SplineRecordsUseImpliedMidpointsAndSplPntSteps) {
  // A = (0, 0); P0 = (40, 0), P1 = (40, 40), E = (0, 40): pieces (A, P0, M)
  // and (M, P1, E) with M = (40, 20).
  for (int spl : {1, 2, 3}) {
    TSceneProbe s;
    s.Params.SplPnt = spl;
    s.NewLetter();
    TOutlineBuffer b;
    b.Polygon(0, 0);
    b.Record(2, {{F::Fix(40), 0}, {F::Fix(40), F::Fix(40)}, {0, F::Fix(40)}});
    b.End();
    s.ParseOutline(b.Bytes().data(), b.Bytes().size());
    const auto& c = s.Letter(1).Contour(1);
    ASSERT_EQ(c.size(), 1u + 2 * spl + 1) << spl;
    EXPECT_EQ(c[spl], (TPoint{40, 20})) << spl;  // M ends the first piece
    EXPECT_EQ(c[2 * spl], (TPoint{0, 40}));
    if (spl == 2) {
      EXPECT_EQ(c[1], (TPoint{30, 5}));  // t = 1/2 of (A, P0, M)
    }
  }
}

TEST_F(GlyphParse, MidpointsTruncateTowardZeroForNegativeCoordinates) {
  TOutlineBuffer b;
  b.Polygon(0, 0);
  // Midpoint x of -1 and -2 (in 1/65536) is -1.5 -> -1 in 16.16, well below
  // one pixel; what matters is that nothing shifts by a whole unit.
  b.Record(2, {{-1, 0}, {-2, 0}, {F::Fix(-10), 0}});
  b.End();
  scene.Params.SplPnt = 1;
  Parse(b);
  EXPECT_EQ(Contour(1)[1], (TPoint{0, 0}));
  EXPECT_EQ(Contour(1)[2], (TPoint{-10, 0}));
}

TEST_F(GlyphParse, LimitsDropContoursAndPoints) {
  TOutlineBuffer b;
  for (int k = 0; k < 9; ++k) {
    b.Polygon(F::Fix(k), 0);
    b.Record(1, {{F::Fix(k), F::Fix(5)}});
    b.End();
  }
  Parse(b);
  EXPECT_EQ(scene.Letter(1).ContourCount(), 8);
  TSceneProbe s;
  s.NewLetter();
  TOutlineBuffer big;
  big.Polygon(0, 0);
  std::vector<std::pair<int32_t, int32_t>> pts;
  for (int i = 1; i <= 1100; ++i) pts.emplace_back(F::Fix(i), 0);
  big.Record(1, pts);
  big.End();
  s.ParseOutline(big.Bytes().data(), big.Bytes().size());
  const auto& c = s.Letter(1).Contour(1);
  ASSERT_EQ(c.size(), 1024u);
  EXPECT_EQ(c.back(), (TPoint{1023, 0}));  // the closing start point was dropped too
}

TEST_F(GlyphParse, UnknownPolygonStopsButKeepsWhatCameBefore) {
  TOutlineBuffer b;
  b.Polygon(0, 0);
  b.Record(1, {{F::Fix(1), F::Fix(1)}});
  b.End();
  b.Polygon(0, 0, 25);
  b.End();
  Parse(b);
  EXPECT_EQ(scene.Letter(1).ContourCount(), 1);
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(sink.Messages[0], "ERROR: Unknown Polygon");
}

TEST_F(GlyphParse, RecordsClaimingMoreThanTheBufferEndTheParseCleanly) {
  TOutlineBuffer good;
  good.Polygon(0, 0);
  good.Record(1, {{F::Fix(3), F::Fix(3)}});
  good.End();
  const std::vector<uint8_t> whole = good.Bytes();
  // Every cut-short prefix, and the whole buffer with a lying size field.
  for (size_t n = 0; n < whole.size(); ++n) {
    TSceneProbe s;
    s.NewLetter();
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + n);
    s.ParseOutline(cut.data(), cut.size());
    EXPECT_EQ(s.Letter(1).ContourCount(), 0) << n;
  }
  for (uint32_t cb : {0u, 8u, 1000u}) {
    TOutlineBuffer b = good;
    b.Patch(0, cb);
    TSceneProbe s;
    s.NewLetter();
    s.ParseOutline(b.Bytes().data(), b.Bytes().size());
    EXPECT_EQ(s.Letter(1).ContourCount(), 0) << cb;
  }
  TOutlineBuffer lying = good;
  lying.Bytes()[18] = 200;  // the line record claims 200 points
  TSceneProbe s;
  s.NewLetter();
  s.ParseOutline(lying.Bytes().data(), lying.Bytes().size());
  EXPECT_EQ(s.Letter(1).ContourCount(), 0);
}

TEST(Glyphs, BlanksAdvanceThePenAndLettersFollowIt) {
  TSceneProbe s;
  TFontSpec font;  // Arial, found as its metric-compatible substitute
  font.Size = 512;
  ASSERT_TRUE(s.Glyphs.SelectFont(font));
  s.AddGlyph('A');
  const int penAfterA = s.PenX;
  s.AddGlyph(' ');
  ASSERT_EQ(s.LetterCount(), 2);
  EXPECT_EQ(s.Letter(2).ContourCount(), 0);
  EXPECT_GT(s.PenX, penAfterA + 20);
  // "AB": B's points are shifted by A's advance + 2 * TxtW.
  TSceneProbe t;
  ASSERT_TRUE(t.Glyphs.SelectFont(font));
  t.AddGlyph('B');
  const int minXAlone = t.CaptionExtent.MinX;
  TSceneProbe u;
  ASSERT_TRUE(u.Glyphs.SelectFont(font));
  u.AddGlyph('A');
  TGlyphMetrics gm;
  u.Glyphs.GetGlyphOutline('A', gm, nullptr, 0);
  u.ClearLetters();
  u.AddGlyph('B');
  EXPECT_EQ(u.PenX - t.PenX, gm.CellIncX + 20);
  EXPECT_EQ(u.CaptionExtent.MinX, minXAlone + gm.CellIncX + 20);
}

}  // namespace
}  // namespace vantrix
