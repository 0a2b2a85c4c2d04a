#include "app/logic/DesignEdits.h"

#include <algorithm>
#include <array>

#include "scene/Textures.h"

namespace vantrix {

namespace {

constexpr TEditWork kDeferredRebuild{TPreviewWork::Rebuild, false, false};
constexpr TEditWork kDeferredRefresh{TPreviewWork::Refresh, false, false};
constexpr TEditWork kRebuildNow{TPreviewWork::Rebuild, true, false};
constexpr TEditWork kRefreshNow{TPreviewWork::Refresh, true, false};
constexpr TEditWork kPhases{TPreviewWork::None, false, true};

// The shadows' offsets follow the altitudes through the light.
void LightAgain(TScene& scene) {
  scene.SetLightAngles(scene.Params.ViewParams.LightA1, scene.Params.ViewParams.LightA2);
}

const std::array<TValueControl, 18> kControls{{
    {"TrackBar2", "Caption Extrusion", [](const TScene& s) { return s.Params.TxtY; },
     [](TScene& s, int32_t v) {
       s.Params.TxtY = v;
       return kDeferredRebuild;
     }},
    {"TrackBar1", "Caption Shadow", [](const TScene& s) { return s.Params.ViewParams.TextAltitude; },
     [](TScene& s, int32_t v) {
       s.Params.ViewParams.TextAltitude = v;
       LightAgain(s);
       return kDeferredRefresh;
     }},
    {"CheckBox4", "Caption Shadow", [](const TScene& s) { return s.Params.ViewParams.TextAltitude; },
     [](TScene& s, int32_t v) {
       s.Params.ViewParams.TextAltitude = v;
       LightAgain(s);
       return kRebuildNow;
     }},
    {"CheckBox12", "Kerning", [](const TScene& s) { return s.Params.Kerning ? 1 : 0; },
     [](TScene& s, int32_t v) {
       s.Params.Kerning = v != 0;
       return kRebuildNow;
     }},
    {"ProfileRow1", "Caption Profile", [](const TScene& s) { return s.Params.TxtProfile; },
     [](TScene& s, int32_t v) {
       s.Params.TxtProfile = v;
       return kRebuildNow;
     }},
    {"ProfileRow2", "Button Profile", [](const TScene& s) { return s.Params.ButProfile; },
     [](TScene& s, int32_t v) {
       s.Params.ButProfile = v;
       return kRebuildNow;
     }},
    // The highlight and the fill light change shading only: a render, no build.
    {"TrackBar10", "Highlight", [](const TScene& s) { return s.Params.ViewParams.Specular; },
     [](TScene& s, int32_t v) {
       s.Params.ViewParams.Specular = v;
       return kDeferredRefresh;
     }},
    {"TrackBar11", "Gloss", [](const TScene& s) { return s.Params.ViewParams.Gloss; },
     [](TScene& s, int32_t v) {
       s.Params.ViewParams.Gloss = v;
       return kDeferredRefresh;
     }},
    {"TrackBar12", "Fill Light", [](const TScene& s) { return s.Params.ViewParams.Fill; },
     [](TScene& s, int32_t v) {
       s.Params.ViewParams.Fill = v;
       return kDeferredRefresh;
     }},
    {"ComboBox1", "Curve Detail", [](const TScene& s) { return std::clamp(s.Params.SplPnt - 1, 0, 2); },
     [](TScene& s, int32_t v) {
       s.Params.SplPnt = v + 1;
       return kRebuildNow;
     }},
    {"TrackBar3", "Button Extrusion", [](const TScene& s) { return -s.Params.ButY; },
     [](TScene& s, int32_t v) {
       s.Params.ButY = -v;
       return kDeferredRebuild;
     }},
    {"TrackBar4", "Button Shadow", [](const TScene& s) { return s.Params.ViewParams.ButtonAltitude; },
     [](TScene& s, int32_t v) {
       s.Params.ViewParams.ButtonAltitude = v;
       LightAgain(s);
       return kDeferredRefresh;
     }},
    {"CheckBox5", "Button Shadow", [](const TScene& s) { return s.Params.ViewParams.ButtonAltitude; },
     [](TScene& s, int32_t v) {
       s.Params.ViewParams.ButtonAltitude = v;
       LightAgain(s);
       return kRebuildNow;
     }},
    {"CheckBox9", "Button Shape", [](const TScene& s) { return s.Params.ButType < 1 ? 1 : 0; },
     [](TScene& s, int32_t v) {
       // A built-in outline chosen before comes back as it was.
       if (v != 0 && s.Params.ButType > 0) s.HiddenButType = s.Params.ButType;
       s.Params.ButType = v != 0                       ? 0
                          : s.HiddenButType > 0        ? s.HiddenButType
                          : s.Params.ShapeName.empty() ? 2
                                                       : 16;
       return kRebuildNow;
     }},
    // Holding the size needs no picture; letting go fits the button again.
    {"CheckBox6", "Hold Button Size", [](const TScene& s) { return s.Params.HoldButtonSize ? 1 : 0; },
     [](TScene& s, int32_t v) {
       s.Params.HoldButtonSize = v != 0;
       return v != 0 ? TEditWork{} : kRebuildNow;
     }},
    // The slider runs from dark to bright; the ramps split at the brightness.
    {"TrackBar8", "Brightness", [](const TScene& s) { return 255 - s.Params.ViewParams.Brightness; },
     [](TScene& s, int32_t v) {
       TParams& p = s.Params;
       if (255 - v == p.ViewParams.Brightness) return TEditWork{};
       p.ViewParams.Brightness = 255 - v;
       p.TxtColors.ColSplit = p.ButColors.ColSplit = 255 - v;
       s.BuildRamp(false);
       s.BuildRamp(true);
       return kDeferredRebuild;
     }},
    {"TrackBar6", "Roll-over Depths", [](const TScene& s) { return s.Effect.TxtY; },
     [](TScene& s, int32_t v) {
       s.Effect.TxtY = v;
       return kPhases;
     }},
    {"TrackBar7", "Roll-over Depths", [](const TScene& s) { return -s.Effect.ButY; },
     [](TScene& s, int32_t v) {
       s.Effect.ButY = -v;
       return kPhases;
     }},
}};

}  // namespace

std::span<const TValueControl> ValueControls() {
  return kControls;
}

const TValueControl* FindValueControl(std::string_view widget) {
  for (const TValueControl& c : kControls)
    if (widget == c.Widget) return &c;
  return nullptr;
}

TEditWork SetBackground(TScene& scene, TColor color) {
  scene.Params.BkgColor = color;
  return kRefreshNow;
}

TEditWork SetMainColor(TScene& scene, bool button, TColor color) {
  (button ? scene.Params.ButColors : scene.Params.TxtColors).MColor = color;
  scene.BuildRamp(!button);
  return kRefreshNow;
}

TEditWork SetLightColor(TScene& scene, TColor color) {
  scene.Params.ViewParams.LightColor = color;
  scene.BuildRamp(false);
  scene.BuildRamp(true);
  return kRefreshNow;
}

TEditWork SetLightDirection(TScene& scene, float a1, float a2) {
  scene.SetLightAngles(a1, a2);
  return kRefreshNow;
}

TEditWork SetEffectColor(TScene& scene, int which, TColor color) {
  TPhase& e = scene.Effect;
  (which == 0 ? e.TColor : which == 1 ? e.BColor : e.LColor) = color;
  return {TPreviewWork::None, true, true};
}

TEditWork SetTexture(TScene& scene, bool button, const std::string& path) {
  (button ? scene.Params.ButTexFile : scene.Params.TxtTexFile) = path;
  if (button)
    LoadButtonTexture(scene);
  else
    LoadCaptionTexture(scene);
  return kRebuildNow;
}

TEditWork ClearTexture(TScene& scene, bool button) {
  bool& textured = button ? scene.View3D.ButtonTextured : scene.View3D.TextTextured;
  if (!textured) return {};
  (button ? scene.Params.ButTexFile : scene.Params.TxtTexFile).clear();
  textured = false;
  return kRefreshNow;
}

}  // namespace vantrix
