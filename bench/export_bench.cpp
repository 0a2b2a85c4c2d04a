// Export benchmarks on the default work: its picture reduced to 160 x 40 and
// 800 x 200 and written as GIF (optimized 256 colours, Floyd-Steinberg,
// transparent background) and as JPEG; and the palette searches alone, for
// the GIF (from the colour histogram) and for the indexed PNG (RGBA, without
// dithering, so that the search and not the diffusion is timed).
//
// Modes for bench/compare-export:
//   export_bench --write-bmp DIR      the default work at 800 x 200 as DIR/default-800x200.bmp
//   export_bench --gif IN.bmp OUT.gif  our reduction, dithering and encoding of one picture
//   export_bench --mse-report         mean squared error of the optimized palette beside a
//                                     plain median cut, for the default work and every
//                                     template at 16, 64 and 256 colours

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "imaging/ColorReduction.h"
#include "imaging/Dither.h"
#include "imaging/Export.h"
#include "imaging/Quantize.h"
#include "imaging/QuantizeAlpha.h"
#include "platform/GifCodec.h"
#include "platform/PictureFile.h"
#include "resample/Resample.h"
#include "scene/WorkDocument.h"
#include "scene/WorkFile.h"

namespace vantrix {
namespace {

const std::string kData = std::string(VANTRIX_SOURCE_DIR) + "/data/";

struct TRendered {
  TScene Scene;
  TCaption Caption;
  TExportPhases Phases;
  explicit TRendered(const std::string& work, bool alpha = false) {
    Scene.AppPath = kData;
    LoadWork(Scene, Caption, work);
    PrepareLoadedWork(Scene);
    Phases = ExportButton(Scene, Caption, nullptr, alpha);
  }
};

TRendered& DefaultWork() {
  static TRendered r(kData + "Default.dat");
  return r;
}

// With the renders on black and white that the pictures with alpha need.
TRendered& DefaultWorkWithAlpha() {
  static TRendered r(kData + "Default.dat", true);
  return r;
}

void BM_ExportGif(benchmark::State& state) {
  TRendered& r = DefaultWork();
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const TPicture picture = ResizedPicture(r.Phases.Image1, w, h, Lanczos3Filter, 3);
  TExportSettings s;
  s.Dither = 1;  // Floyd-Steinberg
  const std::string path = std::filesystem::temp_directory_path() / "vantrix-export-bench.gif";
  for (auto _ : state) benchmark::DoNotOptimize(WriteExportPicture(path, picture, r.Phases.Mask1, s, true));
  std::filesystem::remove(path);
}

void BM_ExportJpeg(benchmark::State& state) {
  TRendered& r = DefaultWork();
  const TPicture picture = ResizedPicture(r.Phases.Image1, static_cast<int>(state.range(0)),
                                          static_cast<int>(state.range(1)), Lanczos3Filter, 3);
  TExportSettings s;
  s.Type = kExportJpeg;
  const std::string path = std::filesystem::temp_directory_path() / "vantrix-export-bench.jpg";
  for (auto _ : state) benchmark::DoNotOptimize(WriteExportPicture(path, picture, r.Phases.Mask1, s, true));
  std::filesystem::remove(path);
}

void BM_ReduceToExportSize(benchmark::State& state) {
  TRendered& r = DefaultWork();
  for (auto _ : state) {
    TPicture p = ResizedPicture(r.Phases.Image1, static_cast<int>(state.range(0)),
                                static_cast<int>(state.range(1)), Lanczos3Filter, 3);
    benchmark::DoNotOptimize(p.Row(0));
  }
}

void BM_OptimizedPalette(benchmark::State& state) {
  TRendered& r = DefaultWork();
  const TPicture picture = ResizedPicture(r.Phases.Image1, static_cast<int>(state.range(0)),
                                          static_cast<int>(state.range(1)), Lanczos3Filter, 3);
  const std::vector<TColorCount> histogram = ColorHistogram(picture, nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(OptimizedPalette(histogram, 256).data());
}

void BM_ReduceColorsAlpha(benchmark::State& state) {
  TRendered& r = DefaultWorkWithAlpha();
  const TRgbaPicture picture = ExportAlphaPicture(
      r.Phases.Black1, r.Phases.White1, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) benchmark::DoNotOptimize(ReduceColorsAlpha(picture, 256, kDitherNone).Pixels.data());
}

void BM_FillPicture(benchmark::State& state) {
  TPicture p(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 24);
  for (auto _ : state) {
    p.Fill(0xFFFFFF);
    benchmark::DoNotOptimize(p.Row(0));
  }
}

BENCHMARK(BM_FillPicture)->Args({160, 40})->Args({800, 200})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReduceToExportSize)->Args({160, 40})->Args({800, 200})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportGif)->Args({160, 40})->Args({800, 200})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportJpeg)->Args({160, 40})->Args({800, 200})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimizedPalette)->Args({160, 40})->Args({800, 200})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReduceColorsAlpha)->Args({160, 40})->Args({800, 200})->Unit(benchmark::kMillisecond);

int MseReport() {
  std::vector<std::string> works = {kData + "Default.dat"};
  for (const auto& e : std::filesystem::directory_iterator(kData + "Templates")) works.push_back(e.path());
  std::sort(works.begin() + 1, works.end());
  std::printf("%-22s %6s %14s %14s %7s\n", "work (160 x 40)", "colors", "MSE median cut", "MSE optimized",
              "ratio");
  for (const std::string& work : works) {
    TRendered r(work);
    const TPicture picture = ResizedPicture(r.Phases.Image1, 160, 40, Lanczos3Filter, 3);
    const auto histogram = ColorHistogram(picture, nullptr);
    for (int colors : {16, 64, 256}) {
      // Mean over pixels and channels of the squared error of the nearest entry.
      const double n = 3.0 * picture.Width() * picture.Height();
      const double median = HistogramError(histogram, MedianCutPalette(histogram, colors)) / n;
      const double optimized = HistogramError(histogram, OptimizedPalette(histogram, colors)) / n;
      std::printf("%-22s %6d %14.3f %14.3f %7.2f\n", std::filesystem::path(work).stem().c_str(), colors,
                  median, optimized, median > 0 ? optimized / median : 0.0);
    }
  }
  return 0;
}

}  // namespace
}  // namespace vantrix

int main(int argc, char** argv) {
  using namespace vantrix;
  if (argc == 3 && std::strcmp(argv[1], "--write-bmp") == 0) {
    TRendered& r = DefaultWork();
    SaveBmpFile(std::string(argv[2]) + "/default-800x200.bmp",
                ResizedPicture(r.Phases.Image1, 800, 200, Lanczos3Filter, 3));
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "--gif") == 0) {
    // The same work as the convert program's: colour reduction with
    // Floyd-Steinberg at 256 colours, and encoding; no transparency.
    TGifOptions o;
    o.Dither = 1;
    o.Transparent = false;
    SaveGifFile(argv[3], ReduceColors(LoadPictureFile(argv[2]), nullptr, o));
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--mse-report") == 0) return MseReport();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
