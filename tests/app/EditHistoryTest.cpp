#include <gtest/gtest.h>

#include <functional>

#include "app/logic/EditHistory.h"

namespace vantrix {
namespace {

TDesign Start() {
  TDesign d;
  d.Caption.SetText("Sale", TFontSpec{});
  return d;
}

// One edit of each kind a control makes, and the words Undo gives it.
struct TEditCase {
  const char* name;
  std::function<void(TDesign&)> edit;
};

const TEditCase kEdits[] = {
    {"Typing", [](TDesign& d) { d.Caption.SetText("Sales", d.Caption.At(0).Font); }},
    {"Caption Font", [](TDesign& d) { d.Caption.At(1).Font.Bold = true; }},
    {"Caption Extrusion", [](TDesign& d) { d.Params.TxtY = 55; }},
    {"Button Extrusion", [](TDesign& d) { d.Params.ButY = -12; }},
    {"Caption Color", [](TDesign& d) { d.Params.TxtColors.MColor = MakeColor(1, 2, 3); }},
    {"Caption Texture", [](TDesign& d) { d.Params.TxtTexFile = "wood.jpg"; }},
    {"Button Texture Size", [](TDesign& d) { d.Params.ButTexW = 3; }},
    {"Button Shape", [](TDesign& d) { d.Params.ButType = 6; }},
    {"Background Color", [](TDesign& d) { d.Params.BkgColor = MakeColor(9, 9, 9); }},
    {"Light Direction", [](TDesign& d) { d.Params.ViewParams.LightX = 0.5f; }},
    {"Light Color", [](TDesign& d) { d.Params.ViewParams.LightColor = MakeColor(255, 0, 0); }},
    {"Optics", [](TDesign& d) { d.Params.ViewParams.CnX = 300; }},
    {"View", [](TDesign& d) { d.Params.View.OffsetZ = 10; }},
    {"Shading", [](TDesign& d) { d.Params.View.Smooth = 1; }},
    {"Roll-over Effect", [](TDesign& d) { d.Params.EffectType = 2; }},
    {"Roll-over Depths", [](TDesign& d) { d.Effect.TxtY = 80; }},
    {"Hold Button Size", [](TDesign& d) { d.Params.HoldButtonSize = true; }},
};

TEST(EditHistory, EveryEditIsNamedUndoneAndRedoneExactly) {
  for (const TEditCase& c : kEdits) {
    TEditHistory h;
    const TDesign start = Start();
    h.Reset(start);
    TDesign edited = start;
    c.edit(edited);
    EXPECT_EQ(DesignChanges(start, edited), std::vector<std::string>{c.name});
    ASSERT_TRUE(h.Record(edited, TPreviewWork::Refresh, 0)) << c.name;
    EXPECT_TRUE(h.Modified());
    EXPECT_EQ(h.UndoText(), std::string("Undo ") + c.name);
    TPreviewWork work = TPreviewWork::None;
    const TDesign undone = h.Undo(work);
    EXPECT_EQ(work, TPreviewWork::Refresh);
    EXPECT_TRUE(undone.Params == start.Params && undone.Effect == start.Effect &&
                undone.Caption == start.Caption)
        << c.name;
    EXPECT_FALSE(h.Modified()) << c.name;  // back at the saved design
    EXPECT_EQ(h.RedoText(), std::string("Redo ") + c.name);
    const TDesign redone = h.Redo(work);
    EXPECT_TRUE(redone.Params == edited.Params && redone.Effect == edited.Effect &&
                redone.Caption == edited.Caption)
        << c.name;
  }
}

// What the program works out on a rebuild is no edit, and comparing a NaN
// read from a damaged file does not make one either.
TEST(EditHistory, WorkedOutValuesAreNoEdits) {
  TEditHistory h;
  TDesign d = Start();
  d.Params.ViewParams.CnZ = std::numeric_limits<float>::quiet_NaN();
  h.Reset(d);
  d.Params.ViewParams.CentreX = 400;
  d.Params.ViewParams.TextShadowDX = 7;
  d.Params.ExpWidth = 321;
  d.Params.ButLeft = -900;  // the rectangle follows the caption while not held
  EXPECT_FALSE(h.Record(d, TPreviewWork::Rebuild, 0));
  EXPECT_FALSE(h.CanUndo());
  EXPECT_FALSE(h.Modified());
  d.Params.HoldButtonSize = true;
  d.Params.ButLeft = -800;
  EXPECT_EQ(DesignChanges(h.Current(), d), (std::vector<std::string>{"Hold Button Size", "Button Size"}));
}

TEST(EditHistory, ABurstOfOneThingIsOneStep) {
  TEditHistory h;
  TDesign d = Start();
  h.Reset(d);
  for (int i = 1; i <= 5; ++i) {  // a drag: a move every tick
    d.Params.TxtY = 30 + i;
    h.Record(d, i == 3 ? TPreviewWork::Rebuild : TPreviewWork::Refresh, i * 250);
  }
  d.Params.ViewParams.TextAltitude = 40;  // another control: a step of its own
  h.Record(d, TPreviewWork::Refresh, 1400);
  d.Params.ViewParams.TextAltitude = 45;  // the same control after a pause
  h.Record(d, TPreviewWork::Refresh, 1400 + TEditHistory::kBurstMs + 1);
  d.Params.ViewParams.TextAltitude = 50;  // ... and after the burst was ended
  h.EndBurst();
  h.Record(d, TPreviewWork::Refresh, 3000);

  TPreviewWork work = TPreviewWork::None;
  EXPECT_EQ(h.Undo(work).Params.ViewParams.TextAltitude, 45);
  EXPECT_EQ(h.Undo(work).Params.ViewParams.TextAltitude, 40);
  EXPECT_EQ(h.Undo(work).Params.ViewParams.TextAltitude, Start().Params.ViewParams.TextAltitude);
  EXPECT_EQ(h.UndoText(), "Undo Caption Extrusion");
  EXPECT_EQ(h.Undo(work).Params.TxtY, Start().Params.TxtY);  // the whole drag at once
  EXPECT_EQ(work, TPreviewWork::Rebuild);                    // the heaviest work the drag asked for
  EXPECT_FALSE(h.CanUndo());
  EXPECT_EQ(h.UndoText(), "Undo");
}

TEST(EditHistory, ModifiedFollowsTheSavedDesign) {
  TEditHistory h;
  TDesign d = Start();
  h.Reset(d);
  d.Params.TxtY = 40;
  h.Record(d, TPreviewWork::Rebuild, 0);
  h.MarkSaved(d);
  EXPECT_FALSE(h.Modified());
  d.Params.TxtY = 41;  // soon after: still a step of its own, so undo finds the saved design
  h.Record(d, TPreviewWork::Rebuild, 10);
  EXPECT_TRUE(h.Modified());
  TPreviewWork work;
  h.Undo(work);
  EXPECT_FALSE(h.Modified());
  h.Undo(work);
  EXPECT_TRUE(h.Modified());  // before the saved design
  // A new edit drops the redo branch.
  d = h.Current();
  d.Params.ButW = 3;
  h.Record(d, TPreviewWork::Rebuild, 5000);
  EXPECT_FALSE(h.CanRedo());
  // Editing back to the saved design by hand clears the flag too.
  d.Params.ButW = Start().Params.ButW;
  d.Params.TxtY = 40;
  h.Record(d, TPreviewWork::Rebuild, 9000);
  EXPECT_FALSE(h.Modified());
}

TEST(EditHistory, KeepsTheNewestStepsAndNothingToUndoIsHarmless) {
  TEditHistory h;
  TDesign d = Start();
  h.Reset(d);
  TPreviewWork work = TPreviewWork::Rebuild;
  EXPECT_EQ(h.Undo(work).Params.TxtY, d.Params.TxtY);
  EXPECT_EQ(work, TPreviewWork::None);
  for (int i = 0; i < static_cast<int>(TEditHistory::kMaxSteps) + 20; ++i) {
    d.Params.TxtY = 100 + i;
    h.EndBurst();
    h.Record(d, TPreviewWork::Rebuild, i);
  }
  int undone = 0;
  while (h.CanUndo()) {
    h.Undo(work);
    ++undone;
  }
  EXPECT_EQ(undone, static_cast<int>(TEditHistory::kMaxSteps));
  EXPECT_EQ(h.Current().Params.TxtY, 100 + 19);
  EXPECT_TRUE(h.Modified());  // the saved design fell off the end
}

}  // namespace
}  // namespace vantrix
