#pragma once
// Filtered resampling of pictures with a separable kernel.
//
// ResampleBitmap resizes a picture to the size of another in two passes: a
// horizontal pass into an intermediate picture (destination width, source
// height), then a vertical pass into the destination. Each pass reads
// precomputed weight lists, one per destination column or row.
//
// Conventions:
//  - Pixels are 24-bit (bytes blue, green, red); sums are doubles, each byte is
//    clamped to 0..255 and rounded with RoundInt (nearest, halves to even) at the
//    end of each pass, so the intermediate picture holds whole bytes.
//  - Corner pixels of source and destination coincide: the scale is
//    (dst - 1) / (src - 1), or dst / src when the source is one pixel.
//    A destination one pixel wide (high) from a larger source has no second
//    corner: its pixel sits on the source centre with the kernel stretched
//    over the whole source width (height).
//  - Kernels take a distance in source pixels (stretched by 1 / scale when
//    reducing) and are 0 beyond their support.
//  - Source indices past a border are mirrored (left about the first pixel,
//    right about the edge); what is still outside after one mirror is clamped.

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/Picture.h"

namespace vantrix {

using TKernelFunc = double (*)(double x);

double BoxFilter(double x);       // support 0.5
double TriangleFilter(double x);  // support 1
double HermiteFilter(double x);   // support 1
double BellFilter(double x);      // support 1.5
double SplineFilter(double x);    // B-Spline, support 2
double Lanczos3Filter(double x);  // support 3
double MitchellFilter(double x);  // support 2

struct TKernelInfo {
  std::string_view Name;
  TKernelFunc Kernel;
  double Support;
};

// The catalogue of kernels, in this order: Box, Triangle, Hermite, Bell,
// B-Spline, Lanczos3, Mitchell.
extern const TKernelInfo KernelTable[7];

// Raised with "Source bitmap too small" for a source less than 1 pixel wide or high.
class TResampleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces the destination's pixels with the source resized to the
// destination's width and height. The source, 24 or 32 bits per pixel, is left
// as it is (of a 32-bit one only the first three bytes count); the destination becomes
// 24 bits at its own size. An empty destination is left untouched. support must
// be finite and >= 0 (else std::invalid_argument). source and destination may
// be the same picture.
void ResampleBitmap(const TPicture& source, TPicture& destination, TKernelFunc kernel, double support);

// The width of the vectors the passes use: 4 doubles where the processor has
// AVX2, else 2. Forcing 2 or 4 (0 chooses again) lets tests run both; the
// pictures never depend on it. Without AVX2, 4 gives 2.
int ResampleVectorWidth();
void ForceResampleVectorWidth(int width);

// The source resized to width x height (each at least 1) as a new 24-bit
// picture, with ResampleBitmap's rules.
[[nodiscard]] TPicture ResizedPicture(const TPicture& source, int width, int height, TKernelFunc kernel,
                                      double support);

// One source pixel and its weight.
struct TWeightEntry {
  int32_t Pixel;
  double Weight;
};

// The weights of one destination column or row: Count entries from Entries.
struct TWeightList {
  int Count;
  const TWeightEntry* Entries;
};

// The weight lists of one pass, packed in one array in destination order.
// Zero weights are left out; every Pixel lies in 0..sourceSize - 1.
class TWeightTable {
 public:
  TWeightTable() = default;
  TWeightTable(int sourceSize, int destSize, TKernelFunc kernel, double support);

  int Size() const { return static_cast<int>(start_.empty() ? 0 : start_.size() - 1); }
  TWeightList List(int i) const { return {start_[i + 1] - start_[i], entries_.data() + start_[i]}; }

 private:
  std::vector<int32_t> start_;
  std::vector<TWeightEntry> entries_;
};

}  // namespace vantrix
