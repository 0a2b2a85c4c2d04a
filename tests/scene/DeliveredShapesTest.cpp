// The shape files delivered in data/BShapes must load, carry a preview the
// chooser can show, and give outlines the scene can extrude for any caption.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/JpegCodec.h"
#include "scene/BShape.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> DeliveredShapes() {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(fs::path(VANTRIX_SOURCE_DIR) / "data" / "BShapes"))
    if (e.path().extension() == ".vtxb") files.push_back(e.path());
  return files;
}

TEST(DeliveredShapes, LoadWithPreviewAndGiveCleanClockwiseOutlines) {
  const std::vector<fs::path> files = DeliveredShapes();
  EXPECT_GE(files.size(), 8u);
  // From a one-letter button to a 32-character caption.
  const TRect targets[] = {{-250, 300, 250, -300}, {-1100, 320, 1100, -320}, {-9000, 350, 9000, -350}};
  for (const fs::path& file : files) {
    const std::string name = file.filename().string();
    for (char c : file.stem().string()) EXPECT_FALSE(c >= 'a' && c <= 'z') << name;

    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    TButShape shape;
    ASSERT_NO_THROW(shape.LoadFromMemory(bytes, name));
    ASSERT_GE(bytes.size(), 48u);
    EXPECT_EQ(bytes[2], 0x10) << name << ": signature";
    const size_t previewAt = bytes[40] | (bytes[41] << 8) | (bytes[42] << 16) | (size_t{bytes[43]} << 24);
    ASSERT_GT(previewAt, 0u) << name;
    ASSERT_LT(previewAt, bytes.size()) << name;
    const TPicture preview = DecodeJpeg(std::span<const uint8_t>(bytes).subspan(previewAt));
    EXPECT_EQ(preview.Width(), 120) << name;
    EXPECT_EQ(preview.Height(), 40) << name;

    bool hasCurve = false;
    for (int i = 1; i <= shape.PointCount(); ++i) hasCurve |= shape.Point(i).OnCurve == 0;
    EXPECT_TRUE(hasCurve || name == "STAR.vtxb") << name << ": rounded parts need control points";

    for (const TRect& target : targets) {
      std::vector<TPoint> out(kMaxOutlinePoints);
      int count = 0;
      shape.BuildOutline(target, out.data(), count);
      ASSERT_GE(count, 4) << name;
      ASSERT_LT(count, kMaxOutlinePoints) << name;
      EXPECT_EQ(out[0], out[static_cast<size_t>(count - 1)]) << name;
      double twiceArea = 0;
      for (int i = 0; i + 1 < count; ++i) {
        EXPECT_NE(out[static_cast<size_t>(i)], out[static_cast<size_t>(i + 1)]) << name << " point " << i;
        twiceArea +=
            static_cast<double>(out[i].X) * out[i + 1].Y - static_cast<double>(out[i + 1].X) * out[i].Y;
      }
      EXPECT_LT(twiceArea, 0) << name << ": outlines run clockwise with y up";
    }
  }
}

}  // namespace
}  // namespace vantrix
