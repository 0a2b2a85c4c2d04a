#pragma once
// The loaded work as JSON: every scene parameter under its own name, the
// roll-over values and the letters with their fonts; for a caption the last
// Build laid out by shaping, its glyphs as placed, left to right.

#include <string>

#include "scene/Caption.h"
#include "scene/Scene.h"

namespace vantrix {

std::string WorkToJson(const TScene& scene, const TCaption& caption);

}  // namespace vantrix
