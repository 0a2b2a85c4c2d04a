#pragma once
// TShadeRamp: the colour of each shade 0..255, in which the view paints a
// pass. The scene builds one for the button and one for the letters.

#include <array>

#include "platform/Color.h"

namespace vantrix {

using TShadeRamp = std::array<TPixel, 256>;

}  // namespace vantrix
