#pragma once
// Where things go in the preview area: the size of the shrunken picture, and
// the light marker, whose place over the preview stands for the two light
// angles (0..pi across the width and down the height). Preview sizes are in
// device pixels of the target; marker places in the widget's own units. The
// marker is 32 x 32 and placed by its top-left corner.

#include <cstdint>

#include "platform/Geometry.h"

namespace vantrix {

inline constexpr int32_t kMarkerSize = 32;

struct TSize2 {
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const TSize2&, const TSize2&) = default;
};

// The picture shrunk to viewSize percent of the target's longer fitting side,
// keeping its proportions: a tall picture by the target's height, else by its
// width, unless that would run past the target's other side.
TSize2 PreviewSize(TSize2 target, int32_t viewSize, TSize2 picture);

// Top-left corner of the marker for the light angles.
TPoint MarkerFromLight(TSize2 client, float a1, float a2);
// Light angles of a point of the preview.
void LightFromPoint(TPoint point, TSize2 client, float& a1, float& a2);

// One step of a drag: the marker's corner moved by the mouse point (x, y
// relative to the marker) less half the marker, each coordinate only while it
// stays strictly inside the preview.
TPoint DragMarker(TPoint corner, TPoint mouse, TSize2 client);

}  // namespace vantrix
