#include <gtest/gtest.h>

#include <vector>

#include "app/logic/RenderSchedule.h"

namespace vantrix {
namespace {

// Ticks of a run in which the user changes something on the listed ticks;
// returns the ticks on which work of the given kind ran.
std::vector<int> RunTicks(int ticks, const std::vector<int>& changes, void (*request)(TRenderSchedule&),
                          TPreviewWork kind) {
  TRenderSchedule s;
  std::vector<int> ran;
  size_t next = 0;
  for (int t = 0; t < ticks; ++t) {
    while (next < changes.size() && changes[next] == t) {
      request(s);
      ++next;
    }
    if (s.Tick().Preview == kind) ran.push_back(t);
  }
  return ran;
}

TEST(RenderSchedule, BurstOfChangesGivesOneRunAfterTheDelay) {
  auto rebuild = [](TRenderSchedule& s) { s.RequestRebuild(3); };
  auto refresh = [](TRenderSchedule& s) { s.RequestRefresh(3); };
  auto now = [](TRenderSchedule& s) { s.RequestTextureRebuild(0); };
  // A key held for two seconds repeats on every tick 0..7: one rebuild, on the
  // fourth tick after the last repeat (about a second later).
  std::vector<int> held;
  for (int t = 0; t < 8; ++t) held.push_back(t);
  EXPECT_EQ(RunTicks(40, held, rebuild, TPreviewWork::Rebuild), std::vector<int>{10});
  EXPECT_EQ(RunTicks(40, {5}, refresh, TPreviewWork::Refresh), std::vector<int>{8});
  EXPECT_EQ(RunTicks(40, {5, 20}, rebuild, TPreviewWork::Rebuild), (std::vector<int>{8, 23}));
  EXPECT_EQ(RunTicks(40, {5}, now, TPreviewWork::TextureRebuild), std::vector<int>{5});
}

TEST(RenderSchedule, ARebuildTakesThePendingRefreshAlong) {
  struct Case {
    bool rebuild, texture, refresh;
    std::vector<TPreviewWork> expected;
  } cases[] = {
      {true, true, true, {TPreviewWork::Rebuild}},
      {false, true, true, {TPreviewWork::TextureRebuild, TPreviewWork::Refresh}},
      {false, false, true, {TPreviewWork::Refresh}},
      {false, false, false, {}},
  };
  for (const Case& c : cases) {
    TRenderSchedule s;
    if (c.refresh) s.RequestRefresh(0);
    if (c.texture) s.RequestTextureRebuild(0);
    if (c.rebuild) s.RequestRebuild(0);
    std::vector<TPreviewWork> ran;
    for (int t = 0; t < 5; ++t)
      if (TPreviewWork w = s.Tick().Preview; w != TPreviewWork::None) ran.push_back(w);
    EXPECT_EQ(ran, c.expected);
  }
  TRenderSchedule s;
  s.RequestRefresh(3);
  s.RebuildStarted();  // a rebuild run at once
  for (int t = 0; t < 5; ++t) EXPECT_EQ(s.Tick().Preview, TPreviewWork::None);
}

TEST(RenderSchedule, StatusAndPhasesRunOnTheirOwnCountdowns) {
  TRenderSchedule s;
  s.StatusDone(3);
  s.RequestPhases(2);
  std::vector<int> cleared, phases;
  for (int t = 0; t < 10; ++t) {
    const TTickWork w = s.Tick();
    if (w.ClearStatus) cleared.push_back(t);
    if (w.ShowPhases) phases.push_back(t);
    if (t == 1) s.RequestRebuild(3);  // preview work does not disturb them
  }
  EXPECT_EQ(cleared, std::vector<int>{4});
  EXPECT_EQ(phases, std::vector<int>{2});
  EXPECT_FALSE(s.StatusShown());
}

}  // namespace
}  // namespace vantrix
