#pragma once
// The fuzz targets' one assertion: a broken promise stops the run at once,
// in every build type, so that the fuzzer keeps the input.

namespace vantrix::fuzz {

inline void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace vantrix::fuzz
