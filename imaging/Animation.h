#pragma once
// Animated buttons: the button drawn moving through one loop and written as
// an animated WebP, an animated PNG or a GIF, with a still frame beside it
// for readers who ask for less motion.
//
// Frame i of N stands at t = i / N of the loop, so the last frame leads back
// into the first and frame 0 is the button at rest:
//   swing  turns the button about the vertical axis through its middle by
//          kSwingDegrees * sin(2 pi t): left, back, right, back. The letters
//          have no back faces, so the turn stays small;
//   light  moves the light's first angle by kLightSweep * sin(2 pi t);
//   pulse  deepens the letters' extrusion by up to kPulseDepth times,
//          easing out and back: (1 - cos(2 pi t)) / 2.
// Every frame starts from the look of the scene given (as a set's buttons
// do), so frames do not depend on which worker drew them or in what order.
// Frames are drawn on every core, one scene per worker thread.
//
// The frames' pictures differ in size as the button moves; they are put on
// one canvas with the optical axis (the point straight ahead of the eye) at
// one place, so the button stays where it is and only moves as asked.

#include <string>
#include <vector>

#include "imaging/Export.h"
#include "imaging/ExportSettings.h"
#include "platform/Picture.h"
#include "scene/Caption.h"
#include "scene/Scene.h"

namespace vantrix {

constexpr double kSwingDegrees = 8;
constexpr double kLightSweep = 0.6;  // radians
constexpr double kPulseDepth = 1;    // the extrusion grows to twice its depth

// "swing", "light", "pulse" (TAnimation::None gives "").
const char* AnimationName(TAnimation kind);
// The kind a name gives; TAnimation::None for any other.
TAnimation AnimationOfName(const std::string& name);

// The frames at full size, all of one canvas, 24 bits per pixel: on black and
// on white when withAlpha (Image and Mask empty), else on the background
// colour with the mask of drawn pixels (Black and White empty).
struct TAnimationFrames {
  std::vector<TPicture> Image, Mask, Black, White;
  int Width() const;
  int Height() const;
  size_t Count() const { return std::max(Image.size(), Black.size()); }
};

// Draws settings.AnimationFrames frames of settings.Animate from the look of
// `look` (left untouched) on `jobs` worker threads (0: one per core). Throws
// TExportError for an empty caption, no animation asked, or a frame that
// could not be drawn.
TAnimationFrames RenderAnimation(const TScene& look, const TCaption& caption, const TExportSettings& settings,
                                 bool withAlpha, int jobs = 0);

// Writes the animation for the chosen name (its extension replaced by the
// type's: GIF, PNG as APNG, WebP) at the export size, looping at
// settings.AnimationFps, and frame 0 as its still picture, "_still" before
// the extension. FirstFile is the animation, SecondFile the still picture
// (Scales {1}). Other types throw TExportError.
TExportResult SaveAnimation(const TScene& look, const TAnimationFrames& frames,
                            const TExportSettings& settings, const std::string& chosenName);

// The still picture's name beside an animation's.
std::string StillFrameName(const std::string& animationName);

}  // namespace vantrix
