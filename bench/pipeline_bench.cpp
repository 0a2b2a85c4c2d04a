// The pipeline on real works: Build + Render of the default work and of a
// 32-character caption at " Complex" detail, Render alone on one thread and
// in bands on two, as made and with round bevels and light, the preview path after a caption
// edit (Build + Render + B-Spline reduction to half size), and the resampler
// on the pictures they produce.
//
// `pipeline_bench --write-pictures DIR` writes those two pictures as BMP so
// that bench/compare-pipeline can time Pillow on exactly the same pictures.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "platform/PictureFile.h"
#include "platform/ProgramFolder.h"
#include "resample/Resample.h"
#include "scene/Scene.h"
#include "scene/WorkDocument.h"
#include "scene/WorkFile.h"

namespace vantrix {
namespace {

const char* const kLong = "Quick brown foxes jump 0123456789";

struct TWork {
  TScene Scene;
  TCaption Caption;

  explicit TWork(bool longCaption) {
    Scene.AppPath = std::string(VANTRIX_SOURCE_DIR) + "/data/";
    LoadWork(Scene, Caption, Scene.AppPath + "Default.dat");
    PrepareLoadedWork(Scene);
    if (longCaption) {
      Caption.SetText(kLong, Caption.At(0).Font);
      Scene.Params.SplPnt = 3;
    }
  }
  void BuildRender() {
    benchmark::DoNotOptimize(Scene.Build(Caption));
    benchmark::DoNotOptimize(Scene.Render({}));
  }
};

void BM_BuildRender(benchmark::State& state) {
  TWork w(state.range(0) != 0);
  for (auto _ : state) {
    w.BuildRender();
    benchmark::DoNotOptimize(w.Scene.Image.Row(0));
  }
  state.SetLabel(state.range(0) ? "32 characters, Complex" : "default work");
  state.counters["width"] = w.Scene.Image.Width();
  state.counters["height"] = w.Scene.Image.Height();
}

// A render-only refresh (a light or colour change): on one thread and in two
// bands, of the work as it is and with round bevels, a highlight and a fill
// light.
void BM_Render(benchmark::State& state) {
  TWork w(state.range(0) != 0);
  w.Scene.RenderThreads = static_cast<int>(state.range(1));
  const bool look = state.range(2) != 0;
  if (look) {
    w.Scene.Params.TxtProfile = w.Scene.Params.ButProfile = 1;
    w.Scene.Params.ViewParams.Specular = 800;
    w.Scene.Params.ViewParams.Fill = 400;
  }
  benchmark::DoNotOptimize(w.Scene.Build(w.Caption));
  for (auto _ : state) benchmark::DoNotOptimize(w.Scene.Render({}));
  state.SetLabel(std::string(state.range(0) ? "32 characters" : "default work") +
                 (look ? ", round, lit" : "") + ", " + std::to_string(state.range(1)) +
                 (state.range(1) == 1 ? " band" : " bands"));
  state.counters["faces"] = w.Scene.View3D.FaceCount();
}

// What a slider drag or a caption edit costs until the preview can be shown.
void BM_DefaultWorkToHalfSizePreview(benchmark::State& state) {
  TWork w(false);
  for (auto _ : state) {
    w.BuildRender();
    const TPicture& image = w.Scene.Image;
    const TPicture preview = ResizedPicture(image, image.Width() / 2, image.Height() / 2, SplineFilter, 2);
    benchmark::DoNotOptimize(preview.Row(0));
  }
}

void BM_Resample(benchmark::State& state) {
  TWork w(state.range(0) != 0);
  w.BuildRender();
  const bool lanczos = state.range(1) != 0;
  const TPicture image = w.Scene.Image.Converted(24);
  const int dw = lanczos ? 160 : image.Width() / 2;
  const int dh = lanczos ? 40 : image.Height() / 2;
  for (auto _ : state) {
    const TPicture out =
        ResizedPicture(image, dw, dh, lanczos ? Lanczos3Filter : SplineFilter, lanczos ? 3 : 2);
    benchmark::DoNotOptimize(out.Row(0));
  }
  state.SetLabel(std::string(state.range(0) ? "caption32 " : "default ") + std::to_string(image.Width()) +
                 "x" + std::to_string(image.Height()) + "->" + std::to_string(dw) + "x" + std::to_string(dh) +
                 (lanczos ? " Lanczos3" : " B-Spline"));
}

BENCHMARK(BM_BuildRender)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
// CPU time of the whole process: what the bands cost beside one thread.
BENCHMARK(BM_Render)
    ->ArgsProduct({{0, 1}, {1, 2}, {0, 1}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DefaultWorkToHalfSizePreview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resample)->Args({0, 1})->Args({0, 0})->Args({1, 1})->Args({1, 0})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrix

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-pictures") == 0) {
    for (int longCaption = 0; longCaption < 2; ++longCaption) {
      vantrix::TWork w(longCaption != 0);
      w.BuildRender();
      vantrix::SaveBmpFile(std::string(argv[2]) + (longCaption ? "/caption32.bmp" : "/default.bmp"),
                           w.Scene.Image);
    }
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
