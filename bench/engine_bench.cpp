// Renderer benchmarks: a typical caption frame and a stress frame, flat and
// smooth, on one thread and in bands on two, each beside the cost of filling the same picture once with a
// constant; and the building of bodies.

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/Render3D.h"

namespace vantrix {
namespace {

std::vector<TPoint> Ellipse(double cx, double cy, double rx, double ry, int n, bool clockwise) {
  std::vector<TPoint> pts;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n * (clockwise ? -1 : 1);
    pts.push_back({static_cast<int32_t>(std::lround(cx + rx * std::cos(a))),
                   static_cast<int32_t>(std::lround(cy + ry * std::sin(a)))});
  }
  return pts;
}

// A bevelled extrusion: for each contour a front ring inset by the bevel, a
// ring at the bevel's foot, and the back ring; three quads per outline edge.
void AddBevelled(TBody& body, const std::vector<std::vector<TPoint>>& fronts,
                 const std::vector<std::vector<TPoint>>& feet, int front, int bevel) {
  for (size_t c = 0; c < fronts.size(); ++c) {
    std::vector<TPoint> closed = fronts[c];
    closed.push_back(closed.front());
    body.AddContour(closed.data(), static_cast<int>(closed.size()), front);
  }
  for (size_t c = 0; c < fronts.size(); ++c) {
    const auto& f = fronts[c];
    const auto& m = feet[c];
    const size_t n = f.size();
    for (size_t i = 0; i < n; ++i) {
      const size_t j = (i + 1) % n;
      body.AddFace({f[i].X, -front, f[i].Y}, {f[j].X, -front, f[j].Y}, {m[j].X, -front + bevel, m[j].Y},
                   {m[i].X, -front + bevel, m[i].Y});
      body.AddFace({m[i].X, -front + bevel, m[i].Y}, {m[j].X, -front + bevel, m[j].Y},
                   {m[j].X, -front / 2, m[j].Y}, {m[i].X, -front / 2, m[i].Y});
      body.AddFace({m[i].X, -front / 2, m[i].Y}, {m[j].X, -front / 2, m[j].Y}, {m[j].X, 0, m[j].Y},
                   {m[i].X, 0, m[i].Y});
    }
  }
  const auto& o = fronts[0];
  body.AddFace({o[0].X, -front, o[0].Y}, {o[0].X, -front, o[0].Y - 1}, {o[0].X + 1, -front, o[0].Y - 1},
               {o[0].X + 1, -front, o[0].Y});
}

void AddLetter(TBody& body, double cx, double rx, double ry, int outerPts, int innerPts) {
  const int bevel = 12;
  AddBevelled(body,
              {Ellipse(cx, 0, rx - bevel, ry - bevel, outerPts, true),
               Ellipse(cx, 0, rx * 0.45 + bevel, ry * 0.45 + bevel, innerPts, false)},
              {Ellipse(cx, 0, rx, ry, outerPts, true), Ellipse(cx, 0, rx * 0.45, ry * 0.45, innerPts, false)},
              60, bevel);
}

void AddButton(TBody& body, double w, double h, int pts) {
  // A rounded plate: a superellipse, bevelled like the letters but behind them.
  auto plate = [&](double inset) {
    std::vector<TPoint> p;
    for (int i = 0; i < pts; ++i) {
      const double a = -2 * M_PI * i / pts;
      const double c = std::cos(a), s = std::sin(a);
      p.push_back(
          {static_cast<int32_t>(std::lround((w / 2 - inset) * std::copysign(std::pow(std::fabs(c), 0.3), c))),
           static_cast<int32_t>(
               std::lround((h / 2 - inset) * std::copysign(std::pow(std::fabs(s), 0.3), s)))});
    }
    return p;
  };
  AddBevelled(body, {plate(40)}, {plate(0)}, -40, 40);
}

struct TFrame {
  TView3D view;
  TPicture image, mask;
  TShadeRamp textRamp{}, buttonRamp{};

  TFrame(int letters, int outerPts, int innerPts, int buttonPts, int width, int height, bool smooth) {
    const double pitch = 420;
    for (int i = 0; i < letters; ++i)
      AddLetter(view.Body(view.AddBody()), (i - (letters - 1) / 2.0) * pitch, 180, 420, outerPts, innerPts);
    AddButton(view.Body(view.AddBody()), letters * pitch + 500, 1400, buttonPts);
    TBodyTransform t;
    t.OffsetY = 1500;
    t.Smooth = smooth ? 1 : 0;
    view.SetTransform(t);
    view.Params.LightX = 0.4f;
    view.Params.LightY = 0.8f;
    view.Params.LightZ = -0.45f;
    view.Params.ButtonShadowDX = view.Params.ButtonShadowDY = 8;
    view.Params.TextShadowDX = view.Params.TextShadowDY = 4;
    // Scale the projection so that the drawing fills the picture.
    TRect r = view.ScreenBounds();
    const double k = std::min((width - 20.0) / (r.Right - r.Left), (height - 20.0) / (r.Bottom - r.Top));
    view.Params.CnX = view.Params.CnZ = static_cast<float>(450 * k);
    r = view.ScreenBounds();
    view.Params.CentreX = -r.Left + 5;
    view.Params.CentreY = -r.Top + 5;
    for (int i = 0; i < 256; ++i) {
      textRamp[i] = MakePixel(static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3 / 4), 40);
      buttonRamp[i] = MakePixel(30, static_cast<uint8_t>(i / 2), static_cast<uint8_t>(i));
    }
    image.SetSize(width, height, 32);
    mask.SetSize(width, height, 32);
  }
};

// The second argument is the number of bands drawn at once: 1, the single
// thread, beside one per core.
void RenderFrame(benchmark::State& state, int letters, int outer, int inner, int button, int w, int h) {
  TFrame f(letters, outer, inner, button, w, h, state.range(0) != 0);
  const int threads = static_cast<int>(state.range(1));
  for (auto _ : state) {
    f.image.Fill(0x00FFFFFF);
    f.mask.Fill(0);
    f.view.Render(f.image, f.mask, f.buttonRamp, f.textRamp, 1, true, threads);
    benchmark::DoNotOptimize(f.image.Row(0));
  }
  state.counters["faces"] = f.view.FaceCount();
  state.SetLabel(std::string(state.range(0) ? "smooth" : "flat") + ", " + std::to_string(threads) +
                 (threads == 1 ? " band" : " bands"));
}

// Typical: 11 letters of about 250 faces and a button of about 400, 1400 x 420.
void BM_TypicalFrame(benchmark::State& s) {
  RenderFrame(s, 11, 56, 28, 100, 1400, 420);
}
// Stress: 32 letters of about 1000 faces and a button of about 1000, 2000 x 600.
void BM_StressFrame(benchmark::State& s) {
  RenderFrame(s, 32, 220, 110, 250, 2000, 600);
}

void BM_FillPicture(benchmark::State& state) {
  TPicture p(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 32);
  for (auto _ : state) {
    p.Fill(0x00FFFFFF);
    benchmark::DoNotOptimize(p.Row(0));
  }
}

void BM_BuildTypicalBodies(benchmark::State& state) {
  for (auto _ : state) {
    TView3D view;
    for (int i = 0; i < 11; ++i) AddLetter(view.Body(view.AddBody()), i * 420.0, 180, 420, 56, 28);
    AddButton(view.Body(view.AddBody()), 5000, 1400, 100);
    benchmark::DoNotOptimize(view.FaceCount());
  }
}

void BM_BuildFullBody(benchmark::State& state) {
  // 4096 distinct vertices: the case a linear search would make quadratic.
  for (auto _ : state) {
    TBody b;
    for (int i = 0; i < 1024; ++i) b.AddFace({i, 0, 0}, {i, 1, 0}, {i, 1, 1}, {i, 0, 1});
    benchmark::DoNotOptimize(b.VertexCount());
  }
}

BENCHMARK(BM_FillPicture)->Args({1400, 420})->Args({2000, 600})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypicalFrame)
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StressFrame)
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildTypicalBodies)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildFullBody)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrix
