// The desktop program's preview path as a user drives it, on the default work,
// on the offscreen platform (QT_SCALE_FACTOR=2 for a 2x screen):
// - a slider moved, then the timer's pending work run until the preview label
//   shows a new picture: one geometry slider (full rebuild) and one altitude
//   slider (render only);
// - a slider held and dragged: each move until its drag frame is shown;
// - a click on a check box while a 32-character caption renders: until the
//   window has answered it.
//
// The stages of that path (Build, Render, B-Spline reduction, the QImage and
// QPixmap conversions) are timed on their own to show where the time goes.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/forms/CaptionEdit.h"
#include "app/forms/FormWidgets.h"
#include "app/forms/Unit1.h"
#include "app/logic/PreviewGeometry.h"
#include "resample/Resample.h"

namespace vantrix {
namespace {

// The main window on a fresh copy of the build tree's program folder, with the
// default work opened and its first preview shown. The timer is stopped: the
// benchmark runs its ticks by hand, as the GUI tests do.
class TWindow {
 public:
  TWindow() {
    std::filesystem::copy(VANTRIX_BINARY_DIR "/data", folder_.path().toStdString(),
                          std::filesystem::copy_options::recursive);
    TForm1Options options;
    options.ProgramFolder = folder_.path().toStdString() + "/";
    options.InitialFile = options.ProgramFolder + "Default.dat";
    options.RecoveryFolder = options.ProgramFolder + "state/";
    form_ = std::make_unique<TForm1>(options);
    form_->findChild<QTimer*>("Timer1")->stop();
    form_->resize(1000, 700);
    form_->show();
    while (!form_->windowHandle() || !form_->windowHandle()->isExposed())
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    // The work is opened once the show's queued calls have run, which may take
    // more than a few event rounds; its first picture may wait for a tick.
    QElapsedTimer waited;
    waited.start();
    while (form_->RenderCount() == 0 && waited.elapsed() < 10000) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      Settle();
    }
    image2_ = form_->findChild<QLabel*>("Image2");
  }

  TForm1& Form() { return *form_; }
  QLabel& Image2() { return *image2_; }

  bool Pending() const {
    const TRenderSchedule& s = form_->Schedule();
    return s.RebuildPending() || s.TexturePending() || s.RefreshPending();
  }
  // What the timer would do until nothing is pending; false when the preview
  // was not replaced.
  bool Settle() {
    const qint64 before = image2_ ? image2_->pixmap().cacheKey() : 0;
    for (int i = 0; i < 1000 && Pending(); ++i) {
      form_->Timer1Timer();
      form_->WaitForPreview();
    }
    return !Pending() && (!image2_ || image2_->pixmap().cacheKey() != before);
  }

 private:
  QTemporaryDir folder_;
  std::unique_ptr<TForm1> form_;
  QLabel* image2_ = nullptr;
};

// Moves a slider one step back and forth, each move a change.
void BM_SliderToPreview(benchmark::State& state, const char* slider) {
  TWindow w;
  auto* bar = w.Form().findChild<QSlider*>(slider);
  const int builds = w.Form().RebuildCount(), renders = w.Form().RenderCount();
  const int start = bar->value();
  const int other = start + (start + 10 <= bar->maximum() ? 10 : -10);
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    bar->setValue(flip ? other : start);
    if (!w.Settle()) {
      state.SkipWithError("the preview was not replaced");
      break;
    }
  }
  state.counters["rebuilds"] =
      benchmark::Counter(w.Form().RebuildCount() - builds, benchmark::Counter::kAvgIterations);
  state.counters["renders"] =
      benchmark::Counter(w.Form().RenderCount() - renders, benchmark::Counter::kAvgIterations);
  const QPixmap shown = w.Image2().pixmap();
  state.SetLabel("shown as " + std::to_string(shown.width()) + "x" + std::to_string(shown.height()));
}
BENCHMARK_CAPTURE(BM_SliderToPreview, geometry_TrackBar2, "TrackBar2")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SliderToPreview, render_only_TrackBar1, "TrackBar1")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A held slider: every move until the window shows its drag frame.
void BM_SliderDragToPreview(benchmark::State& state, const char* slider) {
  TWindow w;
  auto* bar = w.Form().findChild<QSlider*>(slider);
  const int start = bar->value();
  const int other = start + (start + 10 <= bar->maximum() ? 10 : -10);
  bool flip = false, shown = false;
  QObject::connect(&w.Form(), &TForm1::PreviewShown, [&shown] { shown = true; });
  bar->setSliderDown(true);
  for (auto _ : state) {
    flip = !flip;
    shown = false;
    bar->setValue(flip ? other : start);
    QElapsedTimer waited;
    waited.start();
    while (!shown && waited.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 1);
    if (!shown) {
      state.SkipWithError("no drag frame was shown");
      break;
    }
  }
  bar->setSliderDown(false);
  w.Form().WaitForPreview();
  state.SetLabel(w.Form().LiveDrag() ? "live drag" : "live drag off in the settings");
}
BENCHMARK_CAPTURE(BM_SliderDragToPreview, geometry_TrackBar2, "TrackBar2")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SliderDragToPreview, render_only_TrackBar1, "TrackBar1")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A click while a 32-character caption renders on the worker: the time until
// the check box has toggled. "in_flight" is the share of clicks that came
// while the render was still running.
void BM_ClickDuringLongRender(benchmark::State& state) {
  TWindow w;
  auto* edit = w.Form().findChild<TCaptionEdit*>("Edit1");
  TCaption caption = edit->Caption();
  while (caption.Length() < TCaption::kMaxChars) caption.Append(U'W', caption.At(0).Font);
  edit->SetCaption(caption);
  auto* box = w.Form().findChild<QCheckBox*>("CheckBox4");
  bool shown = false;
  QObject::connect(&w.Form(), &TForm1::PreviewShown, [&shown] { shown = true; });
  int inFlight = 0;
  for (auto _ : state) {
    state.PauseTiming();
    w.Form().WaitForPreview();
    shown = false;
    w.Form().RebuildPreview();
    const bool before = box->isChecked();
    state.ResumeTiming();
    // Posted like a user's click: it waits its turn in the window's event queue.
    const QPointF at = box->rect().center();
    QApplication::postEvent(box, new QMouseEvent(QEvent::MouseButtonPress, at, box->mapToGlobal(at),
                                                 Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QApplication::postEvent(box, new QMouseEvent(QEvent::MouseButtonRelease, at, box->mapToGlobal(at),
                                                 Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    while (box->isChecked() == before) QApplication::processEvents(QEventLoop::AllEvents, 1);
    state.PauseTiming();
    inFlight += shown ? 0 : 1;
    state.ResumeTiming();
  }
  w.Form().WaitForPreview();
  state.counters["in_flight"] = benchmark::Counter(inFlight, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ClickDuringLongRender)->Unit(benchmark::kMillisecond)->UseRealTime();

enum TStage { Build, Render, Reduce, ToImage, ToPixmap };

// One stage of the same path on the window's own scene, at the window's sizes.
void BM_PreviewStage(benchmark::State& state) {
  TWindow w;
  TScene scene;  // the window's design, drawn here as its worker draws it
  CopySceneLook(w.Form().Scene(), scene);
  const TCaption caption = w.Form().findChild<TCaptionEdit*>("Edit1")->Caption();
  if (!scene.Build(caption) || !scene.Render({})) state.SkipWithError("the scene was not drawn");
  QLabel& label = w.Image2();
  const qreal dpr = label.devicePixelRatioF();
  const TSize2 size = PreviewSize({qRound(label.width() * dpr), qRound(label.height() * dpr)},
                                  scene.Params.ViewSize, {scene.Image.Width(), scene.Image.Height()});
  TPicture reduced(size.Width, size.Height, 24);
  ResampleBitmap(scene.Image, reduced, SplineFilter, 2);
  const QImage image = ImageOfPicture(reduced);
  for (auto _ : state) {
    switch (static_cast<TStage>(state.range(0))) {
      case Build:
        benchmark::DoNotOptimize(scene.Build(caption));
        break;
      case Render:
        benchmark::DoNotOptimize(scene.Render({}));
        break;
      case Reduce:
        ResampleBitmap(scene.Image, reduced, SplineFilter, 2);
        break;
      case ToImage:
        benchmark::DoNotOptimize(ImageOfPicture(reduced).constBits());
        break;
      case ToPixmap:
        benchmark::DoNotOptimize(QPixmap::fromImage(image).cacheKey());
        break;
    }
  }
  static const char* const kNames[] = {"Build", "Render", "B-Spline reduction", "TPicture to QImage",
                                       "QImage to QPixmap"};
  state.SetLabel(std::string(kNames[state.range(0)]) + ", " + std::to_string(scene.Image.Width()) + "x" +
                 std::to_string(scene.Image.Height()) + " -> " + std::to_string(size.Width) + "x" +
                 std::to_string(size.Height));
}
BENCHMARK(BM_PreviewStage)->DenseRange(Build, ToPixmap)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vantrix

int main(int argc, char** argv) {
  // No display is needed: the window is drawn off screen unless told otherwise.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
