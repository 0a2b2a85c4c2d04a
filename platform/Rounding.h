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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantrix {

// Inside the int32 range one conversion rounds in the processor's default mode
// (nearest, halves to even; the program never leaves it). That is std::nearbyint
// without its library call, which the edge walks and the painters pay once per
// row or pixel; outside the range, and for NaN, one branch picks the limit.
// Without SSE2, adding and taking away 1.5 * 2^52 rounds the same way: between
// 2^52 and 2^53 a double has no fraction bits.
static_assert(FLT_EVAL_METHOD == 0, "rounding needs plain double arithmetic");
inline int32_t RoundInt(double v) {
  if (v > -2147483648.0 && v < 2147483647.0) {
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(v));
#else
    constexpr double kShift = 0x1.8p52;
    return static_cast<int32_t>((v + kShift) - kShift);
#endif
  }
  if (!(v == v)) return 0;
  return v > 0 ? INT32_MAX : INT32_MIN;
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
