// GIF export timings on a seeded smooth-shaded picture of an export's size
// (800 x 200) and of a small button (160 x 40): optimized 256-colour palette,
// Floyd-Steinberg dithering and giflib encoding, each stage on its own and
// all together, beside the time to fill the picture once.
//
// Two extra modes serve bench/compare-gif, which holds us against another
// program on the same pixels:
//   gif_bench --write-bmp WIDTH HEIGHT OUT.bmp   the synthetic picture as BMP
//   gif_bench --convert IN.bmp OUT.gif           reduce and write, as the export does

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "imaging/ColorReduction.h"
#include "imaging/Quantize.h"
#include "platform/GifCodec.h"
#include "platform/PictureFile.h"
#include "tests/support/TestPictures.h"

namespace {

using namespace vantrix;

constexpr uint32_t kSeed = 11;

TGifOptions ExportOptions() {
  TGifOptions o;
  o.Palette = kPaletteOptimized;
  o.Colors = 256;
  o.Dither = kDitherFloydSteinberg;
  o.Transparent = false;
  return o;
}

TPicture BenchPicture(const benchmark::State& state) {
  return testing::ShadedPicture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), kSeed);
}

void BM_Fill(benchmark::State& state) {
  TPicture pic(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 24);
  for (auto _ : state) {
    pic.Fill(0x808080);
    benchmark::DoNotOptimize(pic.Row(0));
  }
}

void BM_Palette(benchmark::State& state) {
  const TPicture pic = BenchPicture(state);
  for (auto _ : state) benchmark::DoNotOptimize(OptimizedPalette(ColorHistogram(pic, nullptr), 256));
}

void BM_Dither(benchmark::State& state) {
  const TPicture pic = BenchPicture(state);
  const TPalette palette = OptimizedPalette(ColorHistogram(pic, nullptr), 256);
  for (auto _ : state) benchmark::DoNotOptimize(MapPicture(pic, nullptr, palette, -1, kDitherFloydSteinberg));
}

void BM_Encode(benchmark::State& state) {
  const TIndexedPicture mapped = ReduceColors(BenchPicture(state), nullptr, ExportOptions());
  for (auto _ : state) benchmark::DoNotOptimize(EncodeGif(mapped));
}

void BM_ReduceEncode(benchmark::State& state) {
  const TPicture pic = BenchPicture(state);
  for (auto _ : state) benchmark::DoNotOptimize(EncodeGif(ReduceColors(pic, nullptr, ExportOptions())));
}

BENCHMARK(BM_Fill)->Args({800, 200})->Args({160, 40})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Palette)->Args({800, 200})->Args({160, 40})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Dither)->Args({800, 200})->Args({160, 40})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)->Args({800, 200})->Args({160, 40})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReduceEncode)->Args({800, 200})->Args({160, 40})->Unit(benchmark::kMillisecond);

int Usage() {
  std::fprintf(
      stderr,
      "usage: gif_bench [--write-bmp WIDTH HEIGHT OUT.bmp | --convert IN.bmp OUT.gif | benchmark flags]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc > 1 && std::strcmp(argv[1], "--write-bmp") == 0) {
      if (argc != 5) return Usage();
      SaveBmpFile(argv[4], testing::ShadedPicture(std::atoi(argv[2]), std::atoi(argv[3]), kSeed));
      return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--convert") == 0) {
      if (argc != 4) return Usage();
      SaveGifFile(argv[3], ReduceColors(LoadPictureFile(argv[2]), nullptr, ExportOptions()));
      return 0;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gif_bench: %s\n", e.what());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return Usage();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
