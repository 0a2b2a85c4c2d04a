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

// Shaped captions beside a Latin one of the same length and face: the Latin one
// placed letter by letter, the same one through the shaper (kerning on), and
// Arabic, whose joined words are also merged into single outlines. A rebuild
// of the same caption reuses the previous Build's unions; the "Changing" runs
// alternate two sizes, so every Build outlines and unites afresh.
void BM_Build32(benchmark::State& state, const char* text, bool kerning, bool changing = false) {
  TScene scene;
  scene.Params.Kerning = kerning;
  TCaption captions[2];
  for (int i = 0; i < 2; ++i) {
    TFontSpec face;
    face.FaceName = "DejaVu Sans";
    face.Size += i;
    captions[i].SetText(text, face);
  }
  int next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(scene.Build(captions[next]));
    benchmark::DoNotOptimize(scene.View3D.FaceCount());
    if (changing) next = 1 - next;
  }
  state.counters["letters"] = scene.LetterCount();
  state.counters["faces"] = scene.View3D.FaceCount();
}
const char* const kLatin32 = "Welcome to our brand new shop!!!";
const char* const kArabic32 =
    "\u0645\u0631\u062D\u0628\u0627 \u0628\u0643\u0645 \u0641\u064A \u0645\u062A\u062C\u0631\u0646\u0627 "
    "\u0627\u0644\u062C\u062F\u064A\u062F \u0627\u0644\u064A\u0648\u0645";
void BM_BuildLatin32(benchmark::State& s) {
  BM_Build32(s, kLatin32, false);
}
void BM_BuildLatin32Shaped(benchmark::State& s) {
  BM_Build32(s, kLatin32, true);
}
void BM_BuildArabic32(benchmark::State& s) {
  BM_Build32(s, kArabic32, false);
}
void BM_BuildLatin32Changing(benchmark::State& s) {
  BM_Build32(s, kLatin32, false, true);
}
void BM_BuildArabic32Changing(benchmark::State& s) {
  BM_Build32(s, kArabic32, false, true);
}

BENCHMARK(BM_BuildCaption32Complex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildLatin32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildLatin32Shaped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildArabic32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildLatin32Changing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildArabic32Changing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildRenderShort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildRenderCaption32Complex)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrix
