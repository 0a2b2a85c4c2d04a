#pragma once
// The edits the main window's pages make to the design, without widgets.
// Each changes the scene's parameters as its control says and answers the
// work that puts the change on screen; the window carries that out and the
// undo history records the design the edit left. A control that holds one
// number (a slider, a list, a check box) is found by its object name in
// ValueControls(), so that the window binds all of them the same way.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/logic/RenderSchedule.h"
#include "scene/Scene.h"

namespace vantrix {

struct TEditWork {
  TPreviewWork Work = TPreviewWork::None;
  bool Now = false;     // at once, not after the render delay
  bool Phases = false;  // the two roll-over pictures again
  friend bool operator==(const TEditWork&, const TEditWork&) = default;
};

struct TValueControl {
  const char* Widget;  // the control's object name
  const char* Step;    // how the undo history names the edit
  int32_t (*Get)(const TScene& scene);
  TEditWork (*Set)(TScene& scene, int32_t value);
};

// Sliders and lists show their value; a drop-shadow check box shows whether
// its altitude is above 0 and sets the altitude its slider holds (0 for off);
// the other check boxes are 0 or 1.
std::span<const TValueControl> ValueControls();
const TValueControl* FindValueControl(std::string_view widget);

// Edits made through buttons and dialogs.
TEditWork SetBackground(TScene& scene, TColor color);
TEditWork SetMainColor(TScene& scene, bool button, TColor color);
TEditWork SetLightColor(TScene& scene, TColor color);
TEditWork SetLightDirection(TScene& scene, float a1, float a2);
// which: 0 the caption's, 1 the button's, 2 the light's colour of the second picture.
TEditWork SetEffectColor(TScene& scene, int which, TColor color);
// Loads the named texture (switched off when it cannot be used).
TEditWork SetTexture(TScene& scene, bool button, const std::string& path);
TEditWork ClearTexture(TScene& scene, bool button);

}  // namespace vantrix
