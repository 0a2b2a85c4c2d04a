// Scene benchmarks: turning a caption into letters and bodies (glyph outlines,
// centring, bevelled letters, button), and the whole build and render.

#include <benchmark/benchmark.h>

#include "scene/Scene.h"

namespace vantrix {
namespace {

TCaption MakeCaption(const char* text) {
  TCaption c;
  c.SetText(text, TFontSpec{});
  return c;
}

const char* const kLong = "Quick brown foxes jump 0123456789";  // cut to 32 characters

void BM_BuildCaption32Complex(benchmark::State& state) {
  TScene scene;
  scene.Params.SplPnt = 3;  // " Complex"
  const TCaption caption = MakeCaption(kLong);
  for (auto _ : state) {
    benchmark::DoNotOptimize(scene.Build(caption));
    benchmark::DoNotOptimize(scene.View3D.FaceCount());
  }
  state.counters["faces"] = scene.View3D.FaceCount();
  state.counters["vertices"] = scene.View3D.VertexCount();
}

void BM_BuildAndRender(benchmark::State& state, const char* text, int splPnt) {
  TScene scene;
  scene.Params.SplPnt = splPnt;
  const TCaption caption = MakeCaption(text);
  for (auto _ : state) {
    benchmark::DoNotOptimize(scene.Build(caption));
    benchmark::DoNotOptimize(scene.Render({}));
    benchmark::DoNotOptimize(scene.Image.Row(0));
  }
  state.counters["width"] = scene.Image.Width();
  state.counters["height"] = scene.Image.Height();
}

void BM_BuildRenderShort(benchmark::State& s) {
  BM_BuildAndRender(s, "Vantrix", 2);
}
void BM_BuildRenderCaption32Complex(benchmark::State& s) {
  BM_BuildAndRender(s, kLong, 3);
}

BENCHMARK(BM_BuildCaption32Complex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildRenderShort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildRenderCaption32Complex)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrix
