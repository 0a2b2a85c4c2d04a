#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/logic/DesignEdits.h"
#include "app/logic/EditHistory.h"

namespace vantrix {
namespace {

// Every control of one number, set to another value: it shows that value,
// the undo history names the edit as the control's step, and the work is
// what puts that kind of change on screen.
TEST(DesignEdits, EveryValueControlChangesOneNamedThingAndAsksForItsWork) {
  const TEditWork rebuildLater{TPreviewWork::Rebuild, false, false};
  const TEditWork rebuildNow{TPreviewWork::Rebuild, true, false};
  const TEditWork refreshLater{TPreviewWork::Refresh, false, false};
  const TEditWork phases{TPreviewWork::None, false, true};
  const std::map<std::string, TEditWork> expected{
      {"TrackBar2", rebuildLater},  {"TrackBar3", rebuildLater},  {"TrackBar8", rebuildLater},
      {"TrackBar1", refreshLater},  {"TrackBar4", refreshLater},  {"CheckBox4", rebuildNow},
      {"CheckBox5", rebuildNow},    {"ComboBox1", rebuildNow},    {"CheckBox9", rebuildNow},
      {"CheckBox6", TEditWork{}},   {"TrackBar6", phases},        {"TrackBar7", phases},
      {"CheckBox12", rebuildNow},   {"ProfileRow1", rebuildNow},  {"ProfileRow2", rebuildNow},
      {"TrackBar10", refreshLater}, {"TrackBar11", refreshLater}, {"TrackBar12", refreshLater},
  };
  ASSERT_EQ(ValueControls().size(), expected.size());
  for (const TValueControl& control : ValueControls()) {
    SCOPED_TRACE(control.Widget);
    TScene scene;
    const TDesign before{scene.Params, scene.Effect, {}};
    const int32_t was = control.Get(scene);
    const bool onOff = std::string(control.Widget).starts_with("CheckBox");
    const int32_t value = onOff ? (was != 0 ? 0 : 1) : was == 2 ? 1 : 2;
    const TEditWork work = control.Set(scene, value);
    EXPECT_EQ(control.Get(scene), value);
    EXPECT_EQ(DesignChanges(before, {scene.Params, scene.Effect, {}}),
              std::vector<std::string>{control.Step});
    EXPECT_EQ(work, expected.at(control.Widget));
    EXPECT_EQ(FindValueControl(control.Widget), &control);
  }
}

// A drop shadow's altitude moves the shadow through the light; its ramp
// split follows the brightness, and a texture cleared is off and unnamed.
TEST(DesignEdits, SideEffectsTheWindowReliesOn) {
  TScene scene;
  scene.Params.ViewParams.TextAltitude = 0;
  FindValueControl("CheckBox4")->Set(scene, 30);
  EXPECT_NE(scene.Params.ViewParams.TextShadowDX, 0);
  FindValueControl("TrackBar8")->Set(scene, 55);
  EXPECT_EQ(scene.Params.TxtColors.ColSplit, 200);
  EXPECT_EQ(scene.Params.ButColors.ColSplit, 200);
  EXPECT_EQ(FindValueControl("TrackBar8")->Set(scene, 55), TEditWork{});  // no change, no picture
  const TShadeRamp before = scene.TextRamp;
  SetMainColor(scene, false, MakeColor(200, 10, 10));
  EXPECT_NE(scene.TextRamp, before);
  scene.Params.TxtTexFile = "wood.jpg";
  scene.View3D.TextTextured = true;
  EXPECT_EQ(ClearTexture(scene, false).Work, TPreviewWork::Refresh);
  EXPECT_FALSE(scene.View3D.TextTextured);
  EXPECT_TRUE(scene.Params.TxtTexFile.empty());
  EXPECT_EQ(ClearTexture(scene, false), TEditWork{});
}

}  // namespace
}  // namespace vantrix
