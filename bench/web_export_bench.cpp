// Export benchmarks of the formats with alpha on the default work at 800 x 200:
// the alpha picture (solve from the renders on black and white, premultiplied
// Lanczos3 reduction) and each encoder: RGBA PNG, indexed PNG (256 colours,
// Floyd-Steinberg), lossless WebP, lossy WebP at quality 90 and AVIF at
// qualities 50..90 (its colour error meets lossy WebP's in that range).
//
// Mode for bench/compare-web-export:
//   web_export_bench --write DIR [RUNS]
// writes DIR/rgba.png (the picture Pillow saves too), ours.png, ours8.png,
// ours.webp, ours-q*.webp, ours-q*.avif, ours.gif (the GIF export of the same size) and
// truth.bmp (the export on the page colour), then prints one line per format:
// its name, the best time of RUNS encodes into memory in ms, and the size.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "imaging/ColorReduction.h"
#include "imaging/Export.h"
#include "imaging/QuantizeAlpha.h"
#include "platform/AvifCodec.h"
#include "platform/PictureFile.h"
#include "platform/PngCodec.h"
#include "platform/WebpCodec.h"
#include "resample/Resample.h"
#include "scene/WorkDocument.h"
#include "scene/WorkFile.h"

namespace vantrix {
namespace {

const std::string kData = std::string(VANTRIX_SOURCE_DIR) + "/data/";
constexpr int kWidth = 800, kHeight = 200;

struct TRendered {
  TScene Scene;
  TCaption Caption;
  TExportPhases Phases;
  TRgbaPicture Rgba;
  TRendered() {
    Scene.AppPath = kData;
    LoadWork(Scene, Caption, kData + "Default.dat");
    PrepareLoadedWork(Scene);
    Phases = ExportButton(Scene, Caption, nullptr, true);
    Rgba = ExportAlphaPicture(Phases.Black1, Phases.White1, kWidth, kHeight);
  }
};

TRendered& DefaultWork() {
  static TRendered r;
  return r;
}

void BM_AlphaPicture(benchmark::State& state) {
  TRendered& r = DefaultWork();
  for (auto _ : state)
    benchmark::DoNotOptimize(
        ExportAlphaPicture(r.Phases.Black1, r.Phases.White1, kWidth, kHeight).Pixels.data());
}

void BM_EncodePngRgba(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(EncodePng(DefaultWork().Rgba).size());
}

void BM_EncodePngIndexed(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(
        EncodePng(ReduceColorsAlpha(DefaultWork().Rgba, 256, kDitherFloydSteinberg)).size());
}

void BM_EncodeWebp(benchmark::State& state) {
  const int quality = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(EncodeWebp(DefaultWork().Rgba, quality).size());
}

void BM_EncodeAvif(benchmark::State& state) {
  const int quality = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(EncodeAvif(DefaultWork().Rgba, quality).size());
}

BENCHMARK(BM_AlphaPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePngRgba)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePngIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeWebp)->Arg(0)->Arg(90)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeAvif)->Arg(60)->Arg(80)->Unit(benchmark::kMillisecond);

double BestMs(int runs, const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    work();
    best = std::min(best,
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

// Times the encoding into memory, as Pillow's saving into a buffer is timed;
// the files are then written once.
int Write(const std::string& dir, int runs) {
  TRendered& r = DefaultWork();
  SavePngFile(dir + "/rgba.png", r.Rgba);
  std::vector<uint8_t> bytes;
  struct TCase {
    const char* Name;
    const char* File;
    std::function<std::vector<uint8_t>()> Encode;
  } cases[] = {
      {"png", "ours.png", [&] { return EncodePng(r.Rgba); }},
      {"png8", "ours8.png", [&] { return EncodePng(ReduceColorsAlpha(r.Rgba, 256, kDitherFloydSteinberg)); }},
      {"webp", "ours.webp", [&] { return EncodeWebp(r.Rgba, 0); }},
      {"webp-q90", "ours-q90.webp", [&] { return EncodeWebp(r.Rgba, 90); }},
      {"webp-q75", "ours-q75.webp", [&] { return EncodeWebp(r.Rgba, 75); }},
      {"webp-q100", "ours-q100.webp", [&] { return EncodeWebp(r.Rgba, 100); }},
      {"avif-q50", "ours-q50.avif", [&] { return EncodeAvif(r.Rgba, 50); }},
      {"avif-q60", "ours-q60.avif", [&] { return EncodeAvif(r.Rgba, 60); }},
      {"avif-q70", "ours-q70.avif", [&] { return EncodeAvif(r.Rgba, 70); }},
      {"avif-q80", "ours-q80.avif", [&] { return EncodeAvif(r.Rgba, 80); }},
      {"avif-q90", "ours-q90.avif", [&] { return EncodeAvif(r.Rgba, 90); }},
  };
  for (const TCase& c : cases) {
    const double ms = BestMs(runs, [&] { bytes = c.Encode(); });
    WritePictureFileBytes(dir + "/" + c.File, bytes);
    std::printf("%s %.3f %zu\n", c.Name, ms, bytes.size());
  }
  // The GIF export of the same size (reduction, dithering, encoding), and
  // the truth it is measured against.
  const TPicture truth = ResizedPicture(r.Phases.Image1, kWidth, kHeight, Lanczos3Filter, 3);
  SaveBmpFile(dir + "/truth.bmp", truth);
  TExportSettings gif;
  gif.Dither = 1;
  const double ms = BestMs(runs, [&] {
    TPicture marked = truth;
    const std::vector<uint8_t> transparent =
        MarkTransparent(marked, r.Phases.Mask1, ExportMaskFiltered(r.Scene));
    bytes = EncodeGif(ReduceColors(marked, &transparent, gif.GifOptions()));
  });
  WritePictureFileBytes(dir + "/ours.gif", bytes);
  std::printf("gif %.3f %zu\n", ms, bytes.size());
  return 0;
}

}  // namespace
}  // namespace vantrix

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--write") == 0)
    return vantrix::Write(argv[2], argc >= 4 ? std::max(1, std::atoi(argv[3])) : 10);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
