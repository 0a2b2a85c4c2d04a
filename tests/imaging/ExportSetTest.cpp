// The set export's own rules: the held rectangle against the captions built
// one by one, and stopping from the progress callback. Files, names, sizes
// and roll-overs are checked end to end in tests/cli/BatchTest.cpp.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/ExportSet.h"

namespace vantrix {
namespace {

std::vector<TCaptionLine> Lines(const std::vector<std::string>& texts) {
  std::vector<TCaptionLine> lines;
  int n = 0;
  for (const std::string& t : texts) lines.push_back({++n, t, {}, {}});
  return lines;
}

TExportSetLook Look() {
  TExportSetLook look;
  look.Params.ButType = 2;
  look.Font.FaceName = "Arial";
  return look;
}

TEST(ExportSet, HeldRectangleIsTheUnionOfTheCaptionsOwnRectangles) {
  const std::vector<std::string> texts = {"Hi", "A much longer caption", "gyp", "\xC3\x89t\xC3\xA9",
                                          "\xE4\xB8\xAD"};
  TExportSet set(Look(), Lines(texts), 2);
  ASSERT_TRUE(set.Plan());
  TRect expected{};
  for (size_t i = 0; i < texts.size(); ++i) {
    TExportSet one(Look(), Lines({texts[i]}), 1);
    ASSERT_TRUE(one.Plan());
    const TRect r = one.HeldButton();
    EXPECT_LT(r.Left, r.Right);
    EXPECT_GT(r.Top, r.Bottom);
    expected = i == 0 ? r
                      : TRect{std::min(expected.Left, r.Left), std::max(expected.Top, r.Top),
                              std::max(expected.Right, r.Right), std::min(expected.Bottom, r.Bottom)};
  }
  EXPECT_EQ(set.HeldButton(), expected);
  // The sample is the longest caption on the held button, as tall as the
  // tallest caption needs.
  TExportSet longest(Look(), Lines({"A much longer caption"}), 1);
  ASSERT_TRUE(longest.Plan());
  EXPECT_EQ(set.SamplePicture().Width(), longest.SamplePicture().Width());
  const TRect own = longest.HeldButton();
  if (expected.Top - expected.Bottom > own.Top - own.Bottom)
    EXPECT_GT(set.SamplePicture().Height(), longest.SamplePicture().Height());
  else
    EXPECT_EQ(set.SamplePicture().Height(), longest.SamplePicture().Height());
}

TEST(ExportSet, StoppingLeavesTheCaptionsNotStartedUnexported) {
  TExportSet set(Look(), Lines({"One", "Two", "Three", "Four"}), 1);
  int calls = 0;
  EXPECT_TRUE(set.Plan([&](const TExportSetProgress& p) {
    ++calls;
    EXPECT_EQ(p.Stage, TExportSetProgress::Measuring);
    EXPECT_EQ(p.Total, 4);
    return p.Done < 2;
  }));
  EXPECT_EQ(calls, 2);
  const std::vector<TExportSetItem>& items = set.Items();
  EXPECT_TRUE(items[0].Error.empty() && items[1].Error.empty());
  EXPECT_EQ(items[2].Error, "not exported: the set was stopped");
  EXPECT_EQ(items[3].Error, "not exported: the set was stopped");
}

}  // namespace
}  // namespace vantrix
