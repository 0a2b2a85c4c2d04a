#include "app/logic/PreviewGeometry.h"

#include <numbers>

#include "platform/Rounding.h"

namespace vantrix {

TSize2 PreviewSize(TSize2 target, int32_t viewSize, TSize2 picture) {
  const double s = viewSize / 100.0;
  if (picture.Width <= 0 || picture.Height <= 0) return {};
  const TSize2 byHeight{RoundInt(target.Height * s * picture.Width / picture.Height),
                        RoundInt(target.Height * s)};
  const TSize2 byWidth{RoundInt(target.Width * s),
                       RoundInt(target.Width * s * picture.Height / picture.Width)};
  const bool tall = picture.Width < picture.Height;
  const TSize2 chosen = tall ? byHeight : byWidth;
  // A picture of about the target's own shape would run past its other side
  // and be cut off; then the other side decides.
  if (chosen.Width > byWidth.Width || chosen.Height > byHeight.Height) return tall ? byWidth : byHeight;
  return chosen;
}

TPoint MarkerFromLight(TSize2 client, float a1, float a2) {
  const int32_t x = RoundInt(client.Width * double(a1) / std::numbers::pi);
  const int32_t y = RoundInt(client.Height * double(a2) / std::numbers::pi);
  return {x - kMarkerSize / 2, y - kMarkerSize / 2};
}

void LightFromPoint(TPoint point, TSize2 client, float& a1, float& a2) {
  if (client.Width <= 0 || client.Height <= 0) return;
  a1 = static_cast<float>(point.X * std::numbers::pi / client.Width);
  a2 = static_cast<float>(point.Y * std::numbers::pi / client.Height);
}

TPoint DragMarker(TPoint corner, TPoint mouse, TSize2 client) {
  const int32_t left = corner.X + mouse.X - kMarkerSize / 2;
  const int32_t top = corner.Y + mouse.Y - kMarkerSize / 2;
  if (left > 0 && left < client.Width - kMarkerSize) corner.X = left;
  if (top > 0 && top < client.Height - kMarkerSize) corner.Y = top;
  return corner;
}

}  // namespace vantrix
