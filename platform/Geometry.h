#pragma once
// Small integer geometry records shared by every layer.

#include <cstdint>

namespace vantrix {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left, Top, Right, Bottom as the caller defines them (model rectangles have
// Top above Bottom in y-up units; image rectangles have rows growing downward).
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

}  // namespace vantrix
