#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/logic/ShapeList.h"
#include "platform/JpegCodec.h"
#include "platform/PictureError.h"
#include "scene/BShape.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;

const TShapeData kSquare{{-10, 10, 10, -10}, {{1, -20, 20}, {1, 20, 20}, {1, 20, -20}, {1, -20, -20}}};

TEST(ShapeList, ListsShapeFilesWithUpperCaseCaptions) {
  const testing::TTempFolder dir;
  const std::string& folder = dir.Path();
  for (const char* name :
       {"wave.vtxb", "Star.VTXB", ".hidden.vtxb", "notes.txt", "arrow.vtxb.bak", "pill.vtxb"})
    std::ofstream(folder + name) << "x";
  fs::create_directory(folder + "dir.vtxb");

  std::vector<std::string> sorted;
  for (const TShapeEntry& e : ListShapes(folder, true)) sorted.push_back(e.Caption);
  EXPECT_EQ(sorted, (std::vector<std::string>{"PILL", "STAR", "WAVE"}));

  // Unsorted is the folder's own order: the same files as it enumerates them.
  std::vector<std::string> enumerated;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string c = ShapeCaption(e.path().string());
    if (c == "PILL" || c == "STAR" || c == "WAVE") enumerated.push_back(c);
  }
  std::vector<std::string> unsorted;
  for (const TShapeEntry& e : ListShapes(folder, false)) unsorted.push_back(e.Caption);
  EXPECT_EQ(unsorted, enumerated);

  EXPECT_TRUE(ListShapes(folder + "missing/", true).empty());
  EXPECT_EQ(ShapeCaption("/s/my.shape.vtxb"), "MY.SHAPE");
  EXPECT_EQ(ChosenShapeFile("/app/BShapes/", "STAR"), "/app/BShapes/STAR.vtxb");
  fs::remove_all(folder);
}

TEST(ShapeList, PreviewIsTheEmbeddedJpegOrNothing) {
  const testing::TTempFolder dir;
  const std::string& folder = dir.Path();
  TPicture picture(120, 40, 24);
  const std::vector<uint8_t> jpeg = EncodeJpeg(picture, 90);
  const std::vector<uint8_t> garbage(64, 0x5a);

  SaveShapeFile(folder + "good.vtxb", kSquare, jpeg);
  const TPicture good = ReadShapePreview(folder + "good.vtxb");
  EXPECT_EQ(good.Width(), 120);
  EXPECT_EQ(good.Height(), 40);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"no preview", EncodeShapeFile(kSquare)},
      {"no signature",
       [&] {
         std::vector<uint8_t> b = EncodeShapeFile(kSquare, jpeg);
         b[2] = 0;
         return b;
       }()},
      {"offset past the end",
       [&] {
         std::vector<uint8_t> b = EncodeShapeFile(kSquare);
         b[40] = 0x7f;
         return b;
       }()},
      {"shorter than a header", {0, 0, 16, 0}},
  };
  for (const Case& c : cases) {
    std::ofstream(folder + "s.vtxb", std::ios::binary)
        .write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
    EXPECT_TRUE(ReadShapePreview(folder + "s.vtxb").Empty()) << c.name;
  }
  EXPECT_TRUE(ReadShapePreview(folder + "gone.vtxb").Empty());

  SaveShapeFile(folder + "bad.vtxb", kSquare, garbage);
  try {
    (void)ReadShapePreview(folder + "bad.vtxb");
    ADD_FAILURE() << "a damaged preview must throw";
  } catch (const TPictureError& e) {
    EXPECT_NE(std::string(e.what()).find("JPEG error #"), std::string::npos) << e.what();
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace vantrix
