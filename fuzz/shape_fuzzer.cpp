// Loads arbitrary bytes as a button shape file and, when they are accepted,
// builds outlines from them for an ordinary and an extreme target.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/FuzzCheck.h"
#include "scene/BShape.h"

using vantrix::fuzz::Check;
using namespace vantrix;

namespace {

void CheckOutline(const TButShape& shape, const TRect& target) {
  TPoint out[kMaxOutlinePoints];
  int count = -1;
  shape.BuildOutline(target, out, count);
  Check(count >= 0 && count <= kMaxOutlinePoints);
  Check(count == 0 || out[0] == shape.MapPoint(shape.Point(1).X, shape.Point(1).Y, target));
  if (count > 0 && count < kMaxOutlinePoints) Check(out[count - 1] == out[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;  // only the header and 256 records are ever read
  static const uint8_t kKnown[] = {0, 0,   16,  0,   1,   0, 0, 0, 255, 255, 255, 255, 1, 0, 0, 0, 1, 0, 0,
                                   0, 255, 255, 255, 255, 0, 0, 0, 0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0,
                                   0, 0,   0,   0,   0,   0, 0, 0, 0,   0,   1,   7,   0, 0, 0, 9, 0, 0, 0};
  TButShape shape;
  shape.LoadFromMemory(kKnown, "known");
  try {
    shape.LoadFromMemory(std::span<const uint8_t>(data, size), "fuzz");
  } catch (const TShapeError&) {
    // A refused file leaves the shape loaded before.
    Check(shape.PointCount() == 1 && shape.Point(1).X == 7 && shape.Point(1).Y == 9);
    return 0;
  }
  Check(shape.PointCount() >= 0 && shape.PointCount() <= kMaxShapePoints);
  Check(shape.Inner().Right > shape.Inner().Left && shape.Inner().Top > shape.Inner().Bottom);
  CheckOutline(shape, TRect{-1100, 320, 1100, -320});
  CheckOutline(shape, TRect{INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN});
  return 0;
}
