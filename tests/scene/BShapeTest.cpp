#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Rounding.h"
#include "scene/BShape.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;

constexpr uint8_t kOn = 1;
constexpr uint8_t kCtrl = 0;

// With this inner rectangle and the same target, points inside map to
// themselves, so curve tests see the algorithm and not the mapping.
constexpr TRect kIdentity{-100000, 100000, 100000, -100000};

TButShape Loaded(const TShapeData& data) {
  TButShape shape;
  shape.LoadFromMemory(EncodeShapeFile(data), "mem");
  return shape;
}

std::vector<TPoint> Outline(const TButShape& shape, const TRect& target) {
  std::vector<TPoint> out(kMaxOutlinePoints);  // exactly the room the scene has
  int count = -7;
  shape.BuildOutline(target, out.data(), count);
  out.resize(static_cast<size_t>(count));
  return out;
}

class TempDir : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(PathOf(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return PathOf(name);
  }
  testing::TTempFolder tmp_;
  const fs::path dir_ = fs::path(tmp_.Path()).parent_path();  // without the final '/'
};

TEST(ButShapeMapping, InnerPartStretchesAboutOriginAndFrameKeepsItsSize) {
  const TButShape shape = Loaded({{-100, 100, 100, -100}, {{kOn, 0, 0}}});
  const TRect target{-300, 50, 300, -50};
  Outline(shape, target);  // sets the scales
  EXPECT_DOUBLE_EQ(shape.XScale(), 3.0);
  EXPECT_DOUBLE_EQ(shape.YScale(), 0.5);
  const struct {
    int32_t x, y;
    TPoint out;
  } cases[] = {
      {150, 150, {350, 100}}, {50, 20, {150, 10}},       {-150, -130, {-350, -80}},
      {100, 100, {300, 50}},  {-100, -100, {-300, -50}},  // the inner edges are the target edges
      {99, -99, {297, -50}},                              // -49.5 rounds to the even -50
      {-1, 1, {-3, 0}},                                   // 0.5 rounds to the even 0
  };
  for (const auto& c : cases) EXPECT_EQ(shape.MapPoint(c.x, c.y, target), c.out) << c.x << "," << c.y;
  // Off the origin the inner edges still land on the target's edges, not on a scaled copy.
  const TRect offCentre{-200, 90, 400, -10};
  Outline(shape, offCentre);
  EXPECT_EQ(shape.MapPoint(100, 100, offCentre), (TPoint{400, 90}));
  EXPECT_EQ(shape.MapPoint(-100, -100, offCentre), (TPoint{-200, -10}));
}

TEST(ButShapeMapping, HugeCoordinatesSaturateInsteadOfOverflowing) {
  const TButShape shape = Loaded({{-1, 1, 1, -1},
                                  {{kOn, INT32_MAX, INT32_MAX},
                                   {kCtrl, INT32_MIN, INT32_MAX},
                                   {kOn, INT32_MIN, INT32_MIN},
                                   {kCtrl, INT32_MAX, INT32_MIN}}});
  const TRect wide{INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN};
  EXPECT_EQ(shape.MapPoint(INT32_MAX, INT32_MIN, wide), (TPoint{INT32_MAX, INT32_MIN}));
  EXPECT_EQ(shape.MapPoint(INT32_MIN, INT32_MAX, TRect{INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX}),
            (TPoint{0, -2}));  // MAX + (MIN + 1) and MIN + (MAX - 1): exact in 64 bits
  const std::vector<TPoint> out = Outline(shape, wide);
  EXPECT_EQ(out.size(), static_cast<size_t>(kMaxOutlinePoints));
  EXPECT_EQ(out.front(), (TPoint{INT32_MAX, INT32_MAX}));
}

TEST(ButShapeOutline, OnCurvePointsAreMappedOneByOneAndClosed) {
  const TButShape shape =
      Loaded({{-10, 10, 10, -10}, {{kOn, -20, 20}, {kOn, 20, 20}, {kOn, 20, -20}, {kOn, 0, 5}}});
  const std::vector<TPoint> out = Outline(shape, {-50, 30, 50, -30});
  const std::vector<TPoint> expected{{-60, 40}, {60, 40}, {60, -40}, {0, 15}, {-60, 40}};
  EXPECT_EQ(out, expected);
}

TEST(ButShapeOutline, UnloadedOrEmptyShapeGivesNoOutline) {
  TButShape fresh;
  EXPECT_TRUE(Outline(fresh, {-5, 5, 5, -5}).empty());
  EXPECT_DOUBLE_EQ(fresh.XScale(), 1.0);
  EXPECT_TRUE(Outline(Loaded({{-1, 1, 1, -1}, {}}), {-5, 5, 5, -5}).empty());
}

TEST(ButShapeOutline, CurvePointCountFollowsTheControlPolygon) {
  // Polygon 20: n = round(0.3) = 0, the curve and its end point vanish.
  EXPECT_EQ(
      Outline(Loaded({kIdentity, {{kOn, 0, 0}, {kCtrl, 10, 0}, {kOn, 20, 0}, {kOn, 20, 100}}}), kIdentity),
      (std::vector<TPoint>{{0, 0}, {20, 100}, {0, 0}}));
  // Polygon 50 + 50: n = round(1.5) = 2; the midpoint is (30, 40 - 20).
  EXPECT_EQ(Outline(Loaded({kIdentity, {{kOn, 0, 0}, {kCtrl, 30, 40}, {kOn, 60, 0}}}), kIdentity),
            (std::vector<TPoint>{{0, 0}, {30, 20}, {60, 0}, {0, 0}}));
  // Polygon 2 x 250: n = round(7.5) = 8 and the points follow the parabola.
  const std::vector<TPoint> out =
      Outline(Loaded({kIdentity, {{kOn, 0, 0}, {kCtrl, 150, 200}, {kOn, 300, 0}}}), kIdentity);
  ASSERT_EQ(out.size(), 10u);
  for (int k = 1; k <= 8; ++k) {
    const double w = k / 8.0;
    EXPECT_EQ(out[k], (TPoint{RoundInt(300 * w), RoundInt(400 * w - 400 * w * w)})) << k;
  }
}

TEST(ButShapeOutline, ControlPointTakesItsNeighboursWhateverTheirKind) {
  // Controls at 2 and 4: the second curve starts at the first curve's end (3)
  // and the last control curves back to point 1, which the closing step repeats.
  const std::vector<TPoint> out = Outline(
      Loaded({kIdentity, {{kOn, 0, 0}, {kCtrl, 50, 0}, {kOn, 100, 0}, {kCtrl, 50, -150}}}), kIdentity);
  ASSERT_GE(out.size(), 4u);
  EXPECT_EQ(out[0], (TPoint{0, 0}));
  EXPECT_EQ(out[2], (TPoint{100, 0}));  // n = round(1.5) = 2 for the first curve
  EXPECT_EQ(out[out.size() - 2], (TPoint{0, 0}));
  EXPECT_EQ(out.back(), (TPoint{0, 0}));
  // Control after control: the second control serves as the end point and is
  // not visited again. Polygon 40 + 60 gives two points.
  EXPECT_EQ(
      Outline(Loaded({kIdentity, {{kOn, 0, 0}, {kCtrl, 0, 40}, {kCtrl, 60, 40}, {kOn, 60, 0}}}), kIdentity),
      (std::vector<TPoint>{{0, 0}, {15, 30}, {60, 40}, {60, 0}, {0, 0}}));
}

TEST(ButShapeOutline, KeepsTheFirst1024Points) {
  // One curve of some 2100 points, then the closing point which no longer fits.
  const TButShape shape = Loaded({kIdentity, {{kOn, 0, 0}, {kCtrl, 50000, 50000}, {kOn, 100000, 0}}});
  const std::vector<TPoint> out = Outline(shape, kIdentity);
  ASSERT_EQ(out.size(), static_cast<size_t>(kMaxOutlinePoints));
  EXPECT_EQ(out[0], (TPoint{0, 0}));
  EXPECT_NE(out.back(), (TPoint{0, 0}));
  EXPECT_LT(out.back().X, 50000);  // still on the first third of the curve
}

TEST_F(TempDir, SavedShapeReadsBack) {
  const TShapeData data{{-200, 70, 200, -70}, {{kOn, -250, 90}, {kCtrl, 300, 90}, {kOn, 300, -90}}};
  const std::vector<uint8_t> preview{0xFF, 0xD8, 1, 2, 3};
  SaveShapeFile(PathOf("A.vtxb"), data, preview);

  std::ifstream in(PathOf("A.vtxb"), std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_EQ(bytes.size(), 48u + 27u + preview.size());
  EXPECT_EQ((std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4)), (std::vector<uint8_t>{0, 0, 0x10, 0}));
  EXPECT_EQ(bytes[40], 75);  // preview offset, right after the points
  EXPECT_EQ(bytes[75], 0xFF);

  TButShape shape;
  ASSERT_TRUE(shape.LoadFromFile(PathOf("A.vtxb")));
  EXPECT_EQ(shape.PointCount(), 3);
  EXPECT_EQ(shape.Inner(), data.Inner);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(shape.Point(i), data.Points[static_cast<size_t>(i - 1)]);
  EXPECT_EQ(shape.Point(0), TShapePoint{});
  EXPECT_EQ(shape.Point(4), TShapePoint{});
}

TEST_F(TempDir, MissingFileChangesNothing) {
  TButShape shape;
  SaveShapeFile(PathOf("OK.vtxb"), {{-1, 1, 1, -1}, {{kOn, 5, 6}}});
  ASSERT_TRUE(shape.LoadFromFile(PathOf("OK.vtxb")));
  EXPECT_FALSE(shape.LoadFromFile(PathOf("NONE.vtxb")));
  EXPECT_FALSE(shape.LoadFromFile(dir_.string()));  // a folder is not a shape file
  EXPECT_EQ(shape.PointCount(), 1);
  EXPECT_EQ(shape.Point(1), (TShapePoint{kOn, 5, 6}));
}

TEST_F(TempDir, DamagedFilesAreRefusedAndTheOldShapeStays) {
  const TShapeData good{{-10, 10, 10, -10}, {{kOn, 1, 2}, {kCtrl, 3, 4}, {kOn, 5, 6}}};
  auto patched = [&](size_t offset, int32_t v) {
    std::vector<uint8_t> b = EncodeShapeFile(good);
    for (size_t k = 0; k < 4; ++k) b[offset + k] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
    return b;
  };
  std::vector<uint8_t> shortPoints = EncodeShapeFile(good);
  shortPoints.resize(shortPoints.size() - 1);
  std::vector<uint8_t> controlFirst = EncodeShapeFile(good);
  controlFirst[48] = 0;

  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* error;
  } cases[] = {
      {"empty", {}, "Read beyond end of file"},
      {"half-header", std::vector<uint8_t>(shortPoints.begin(), shortPoints.begin() + 30),
       "Read beyond end of file"},
      {"short-points", shortPoints, "Read beyond end of file"},
      {"count-300", patched(4, 300), "invalid shape file (point count 300)"},
      {"count-minus-1", patched(4, -1), "invalid shape file (point count -1)"},
      {"control-first", controlFirst, "invalid shape file (first point is a control point)"},
      {"zero-width", patched(16, -10), "invalid shape file (inner rectangle without width or height)"},
      {"upside-down", patched(12, -20), "invalid shape file (inner rectangle without width or height)"},
  };
  for (const auto& c : cases) {
    TButShape shape;
    shape.LoadFromMemory(EncodeShapeFile({{-1, 1, 1, -1}, {{kOn, 7, 8}}}), "old");
    const std::string path = Write(std::string(c.name) + ".vtxb", c.bytes);
    try {
      (void)shape.LoadFromFile(path);
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const TShapeError& e) {
      EXPECT_EQ(std::string(e.what()), path + ": " + c.error) << c.name;
    }
    EXPECT_EQ(shape.PointCount(), 1) << c.name;
    EXPECT_EQ(shape.Point(1), (TShapePoint{kOn, 7, 8})) << c.name;
    EXPECT_EQ(shape.Inner(), (TRect{-1, 1, 1, -1})) << c.name;
  }
}

TEST_F(TempDir, ShapeIsFoundWhateverTheCaseOnDisk) {
  SaveShapeFile(PathOf("Pill.VtXb"), {{-1, 1, 1, -1}, {{kOn, 0, 0}}});
  EXPECT_EQ(FindShapeFile(dir_.string(), "PILL.vtxb"), PathOf("Pill.VtXb"));
  EXPECT_EQ(FindShapeFile(dir_.string() + "/", "C:\\Shapes\\PILL.VTXB"), PathOf("Pill.VtXb"));
  EXPECT_EQ(FindShapeFile(dir_.string(), "STAR.vtxb"), "");
  EXPECT_EQ(FindShapeFile(dir_.string(), ""), "");
}

}  // namespace
}  // namespace vantrix
