#pragma once
// The renderer's public face: bodies and their render list, and the view that
// projects, shades and draws them. ZBuffer.h holds the span depth buffer and
// FontView.h the outline scan converter that the drawing uses.

#include "engine/Body.h"
#include "engine/RenderList.h"
#include "engine/View3D.h"
