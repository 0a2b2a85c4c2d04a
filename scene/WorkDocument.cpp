#include "scene/WorkDocument.h"

#include "scene/Textures.h"

namespace vantrix {

void PrepareLoadedWork(TScene& scene) {
  scene.Params.View.OffsetY = static_cast<float>(scene.Params.Distance);
  scene.SetLightAngles(scene.Params.ViewParams.LightA1, scene.Params.ViewParams.LightA2);
  scene.BuildRamp(false);
  scene.BuildRamp(true);
  LoadButtonTexture(scene);
  LoadCaptionTexture(scene);
}

}  // namespace vantrix
