#pragma once
// The one rounding rule of the program: a floating value becomes the nearest
// integer, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Every conversion from floating point to integer in the engine, the scene and
// the resampler goes through RoundInt.
//
// The result saturates at the int32 range and NaN gives 0, so that a wild value
// (a vertex next to the eye, a damaged file) can never become undefined behaviour.

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace vantrix {

// Adding and taking away 1.5 * 2^52 rounds in the FPU's default mode (nearest,
// halves to even; the program never leaves it): between 2^52 and 2^53 a double
// has no fraction bits. That is std::nearbyint without its library call, which
// the edge walks and the painters pay once per row or pixel. The range check
// comes first, so the sum never leaves that band.
static_assert(FLT_EVAL_METHOD == 0, "the 2^52 rounding needs plain double arithmetic");
inline int32_t RoundInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  constexpr double kShift = 0x1.8p52;
  return static_cast<int32_t>((v + kShift) - kShift);
}

// A 64-bit intermediate narrowed to int32, saturating: sums of values read
// from files are formed in 64 bits and stored with this.
inline int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

// Clamps v into [lo, hi]; hi wins if lo > hi.
inline int32_t ClampInt(int32_t v, int32_t lo, int32_t hi) {
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return v;
}

}  // namespace vantrix
