// Resampler timings on seeded synthetic pictures, the sizes of an export
// (Lanczos3, support 3, down to a button) and of a preview (B-Spline, support 2,
// half size). Each resize has a twin that only fills the same destination with
// a constant, the floor any resize pays for touching its output.
//
// The picture content is the formula of bench/pillow_resize.py, so that both
// programs work on the same pixels.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "platform/Picture.h"
#include "resample/Resample.h"

namespace {

using vantrix::TPicture;

// Smooth gradients plus hashed noise: a picture that is neither flat nor pure noise.
TPicture SyntheticPicture(int width, int height) {
  TPicture pic(width, height, 24);
  for (int y = 0; y < height; ++y) {
    uint8_t* p = pic.Row(y);
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) {
        uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
                     static_cast<uint32_t>(c) * 83492791u;
        h = (h ^ (h >> 13)) * 2654435761u;
        const uint32_t gradient =
            (static_cast<uint32_t>(x) * 255u / width + static_cast<uint32_t>(y) * 255u / height) / 2;
        *p++ = static_cast<uint8_t>((gradient * 3 + (h >> 24)) / 4);
      }
    }
  }
  return pic;
}

void BM_Resize(benchmark::State& state, vantrix::TKernelFunc kernel, double support) {
  const TPicture source =
      SyntheticPicture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  TPicture dest(static_cast<int>(state.range(2)), static_cast<int>(state.range(3)), 24);
  for (auto _ : state) {
    vantrix::ResampleBitmap(source, dest, kernel, support);
    benchmark::DoNotOptimize(dest.Row(0));
  }
}

void BM_Fill(benchmark::State& state) {
  TPicture dest(static_cast<int>(state.range(2)), static_cast<int>(state.range(3)), 24);
  for (auto _ : state) {
    dest.Fill(0x808080);
    benchmark::DoNotOptimize(dest.Row(0));
  }
}

// Arguments: source width, height, destination width, height.
BENCHMARK_CAPTURE(BM_Resize, Lanczos3, vantrix::Lanczos3Filter, 3.0)
    ->Args({1400, 420, 160, 40})
    ->Args({2000, 600, 160, 40})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Resize, BSpline, vantrix::SplineFilter, 2.0)
    ->Args({1400, 420, 700, 210})
    ->Args({2000, 600, 1000, 300})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fill)
    ->Args({1400, 420, 160, 40})
    ->Args({2000, 600, 160, 40})
    ->Args({1400, 420, 700, 210})
    ->Args({2000, 600, 1000, 300})
    ->Unit(benchmark::kMillisecond);

}  // namespace
