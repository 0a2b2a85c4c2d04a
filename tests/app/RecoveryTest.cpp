#include <gtest/gtest.h>

#include <filesystem>

#include "app/logic/Recovery.h"
#include "platform/GlyphSource.h"
#include "scene/WorkFile.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;

size_t FilesIn(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
  return n;
}

// A run that crashes leaves its copy; the next start finds it (and only it:
// a program still running keeps its own), opens the design and drops it. A
// clean end leaves nothing behind.
TEST(Recovery, ACrashedRunsCopyIsFoundByTheNextStartOnly) {
  testing::TTempFolder dir;
  const std::string state = dir / "state/";
  TScene scene;
  TCaption caption;
  caption.SetText("Sale", TFontSpec{});
  scene.Params.TxtY = 77;

  auto crashed = std::make_unique<TRecovery>(state);
  ASSERT_TRUE(crashed->Enabled());
  crashed->Write(scene, caption, "/home/zoë/Works/Sale.vtxs");
  TRecovery running(state);
  running.Write(scene, caption, "");
  EXPECT_TRUE(running.Orphans().empty());  // the other program still runs
  crashed.reset();                         // ended without discarding: the crash

  TRecovery next(state);
  const std::vector<TRecovered> found = next.Orphans();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].WorkFile, "/home/zoë/Works/Sale.vtxs");
  TScene loaded;
  TCaption loadedCaption;
  LoadWork(loaded, loadedCaption, found[0].Copy);
  EXPECT_EQ(loaded.Params.TxtY, 77);
  EXPECT_EQ(loadedCaption.TextUtf8(), "Sale");
  TRecovery another(state);
  EXPECT_TRUE(another.Orphans().empty());  // taken by `next` while it decides
  next.Drop(found[0]);
  EXPECT_FALSE(fs::exists(found[0].Copy));

  running.Discard();
}

TEST(Recovery, ACleanEndLeavesNothingAndAnUnusableFolderTurnsItOff) {
  testing::TTempFolder dir;
  const std::string state = dir / "state/";
  {
    TRecovery r(state);
    TScene scene;
    r.Write(scene, TCaption{}, "");
    EXPECT_TRUE(fs::exists(r.CopyPath()));
    r.Discard();
  }
  EXPECT_EQ(FilesIn(state), 0u);

  testing::WriteFileBytes(dir / "file", "x");
  TRecovery off(dir / "file/state/");
  EXPECT_FALSE(off.Enabled());
  TScene scene;
  off.Write(scene, TCaption{}, "");  // nothing, and no error
  EXPECT_TRUE(off.Orphans().empty());
}

}  // namespace
}  // namespace vantrix
