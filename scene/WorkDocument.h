#pragma once
// What opening a work does beyond reading its keys: the light vector and the
// shadow offsets follow the stored angles and altitudes, both colour ramps are
// rebuilt, and the textures the work names are loaded. The desktop program
// and the command line open works the same way.

#include "scene/Scene.h"

namespace vantrix {

void PrepareLoadedWork(TScene& scene);

}  // namespace vantrix
