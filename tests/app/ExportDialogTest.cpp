#include <gtest/gtest.h>

#include "app/logic/ExportDialog.h"
#include "imaging/ExportNames.h"

namespace vantrix {
namespace {

TEST(ExportDialog, ProposedNameKeepsCodes65To126AndTakesTheTypesExtension) {
  struct Row {
    const char* caption;
    TExportType type;
    const char* name;
  };
  const Row rows[] = {
      {"Buy 2 Now!", kExportGif, "BuyNow.gif"},  // blanks, digits and '!' dropped
      {"2024", kExportGif, ".gif"},
      {"[a]^_`{|}~@", kExportJpeg, "[a]^_`{|}~.jpg"},  // '@' is 64
      {"Caf\xc3\xa9.x", kExportBmp, "Cafx.bmp"},       // no letters past 126, no dot
  };
  for (const Row& r : rows) {
    TCaption caption;
    caption.SetText(r.caption, TFontSpec{});
    EXPECT_EQ(ProposedExportName(caption, r.type), r.name) << r.caption;
  }
}

TEST(ExportDialog, TabsAndFiltersNameTheSameTypes) {
  for (int i = 0; i < 3; ++i) {
    const TExportType type = ExportTypeOfIndex(i);
    EXPECT_EQ(type, i + 1);
    EXPECT_EQ(ExportTypeOfFilter(kExportFilters[i]), type);
    EXPECT_NE(std::string(kExportFilters[i]).find(std::string("*.") + ExportSuffix(type)), std::string::npos);
  }
  EXPECT_EQ(ExportTypeOfFilter("All files (*)"), kExportBmp);
  EXPECT_EQ(ExportFolder("/opt/v"), "/opt/v/Images/");
  EXPECT_EQ(ExportFolder("/opt/v/"), "/opt/v/Images/");
  EXPECT_STREQ(AdvancedButtonCaption(false), "Advanced  >>");
  EXPECT_STREQ(AdvancedButtonCaption(true), "Simple  <<");
}

}  // namespace
}  // namespace vantrix
