#pragma once
// The renderer's public face: bodies and their render list, and the view that
// projects, shades and draws them. The span depth buffer and the edge walk
// behind the drawing are the engine's own (*_p.h, included only inside
// engine/); FontView.h, the outline scan converter, is public, since the
// shape tools use it too.

#include "engine/Body.h"
#include "engine/Lighting.h"
#include "engine/RenderList.h"
#include "engine/View3D.h"
