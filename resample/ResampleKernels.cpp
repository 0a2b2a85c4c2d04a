// The filter kernels and the weight lists built from them.

#include <cmath>
#include <cstdint>
#include <numbers>

#include "resample/Resample.h"

namespace vantrix {

double BoxFilter(double x) {
  return (x > -0.5 && x <= 0.5) ? 1.0 : 0.0;
}

double TriangleFilter(double x) {
  const double a = std::fabs(x);
  return a < 1.0 ? 1.0 - a : 0.0;
}

double HermiteFilter(double x) {
  const double a = std::fabs(x);
  return a < 1.0 ? (2.0 * a - 3.0) * a * a + 1.0 : 0.0;
}

double BellFilter(double x) {
  const double a = std::fabs(x);
  if (a < 0.5) return 0.75 - a * a;
  if (a < 1.5) {
    const double t = a - 1.5;
    return 0.5 * t * t;
  }
  return 0.0;
}

double SplineFilter(double x) {
  const double a = std::fabs(x);
  if (a < 1.0) return 0.5 * a * a * a - a * a + 2.0 / 3.0;
  if (a < 2.0) {
    const double t = 2.0 - a;
    return t * t * t / 6.0;
  }
  return 0.0;
}

namespace {
double Sinc(double t) {
  if (t == 0.0) return 1.0;
  const double pt = std::numbers::pi * t;
  return std::sin(pt) / pt;
}
}  // namespace

double Lanczos3Filter(double x) {
  const double a = std::fabs(x);
  return a < 3.0 ? Sinc(a) * Sinc(a / 3.0) : 0.0;
}

double MitchellFilter(double x) {
  const double a = std::fabs(x);
  const double a2 = a * a;
  const double a3 = a2 * a;
  if (a < 1.0) return (7.0 * a3 - 12.0 * a2 + 16.0 / 3.0) / 6.0;
  if (a < 2.0) return (-(7.0 / 3.0) * a3 + 12.0 * a2 - 20.0 * a + 32.0 / 3.0) / 6.0;
  return 0.0;
}

const TKernelInfo KernelTable[7] = {
    {"Box", BoxFilter, 0.5},           {"Triangle", TriangleFilter, 1.0}, {"Hermite", HermiteFilter, 1.0},
    {"Bell", BellFilter, 1.5},         {"B-Spline", SplineFilter, 2.0},   {"Lanczos3", Lanczos3Filter, 3.0},
    {"Mitchell", MitchellFilter, 2.0},
};

namespace {

// Far wider than any kernel of the catalogue; it bounds the list lengths.
constexpr double kMaxSupport = 16.0;

// Mirrors an index past a border back into the picture; a kernel reaching
// further than the picture is wide can still land outside, and is clamped.
int32_t ReflectIndex(int64_t j, int64_t size) {
  if (j < 0)
    j = -j;
  else if (j >= size)
    j = 2 * size - 1 - j;
  if (j < 0) j = 0;
  if (j > size - 1) j = size - 1;
  return static_cast<int32_t>(j);
}

}  // namespace

TWeightTable::TWeightTable(int sourceSize, int destSize, TKernelFunc kernel, double support) {
  if (!(support >= 0.0 && support <= kMaxSupport))
    throw std::invalid_argument("resampling kernel support out of range");
  if (sourceSize < 1 || destSize < 1) return;

  // One destination pixel from several source pixels has no second corner to
  // align: the corner rule would give the scale 0. That pixel stands for the
  // whole source, so it sits on the source centre and the kernel is stretched
  // over the source width (the pixel ratio, as for a one-pixel source). The
  // result is the average of the picture with Box, and a smooth weighted mean
  // with the other kernels, instead of just the first column.
  const bool single = destSize == 1 && sourceSize > 1;
  const double scale = single            ? 1.0 / sourceSize
                       : sourceSize == 1 ? static_cast<double>(destSize) / sourceSize
                                         : static_cast<double>(destSize - 1) / (sourceSize - 1);
  const bool reduce = scale < 1.0;
  const double fs = single ? static_cast<double>(sourceSize) : 1.0 / scale;
  const double reach = single ? support * sourceSize : reduce ? support / scale : support;

  start_.reserve(static_cast<size_t>(destSize) + 1);
  entries_.reserve(static_cast<size_t>(destSize) * static_cast<size_t>(2.0 * reach + 3.0));
  start_.push_back(0);
  for (int i = 0; i < destSize; ++i) {
    const double center = single ? (sourceSize - 1) / 2.0 : i / scale;
    const auto left = static_cast<int64_t>(std::floor(center - reach));
    const auto right = static_cast<int64_t>(std::ceil(center + reach));
    for (int64_t j = left; j <= right; ++j) {
      const double d = center - static_cast<double>(j);
      const double weight = reduce ? kernel(d / fs) / fs : kernel(d);
      if (weight == 0.0) continue;
      entries_.push_back({ReflectIndex(j, sourceSize), weight});
    }
    start_.push_back(static_cast<int32_t>(entries_.size()));
  }
}

}  // namespace vantrix
