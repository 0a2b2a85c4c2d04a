#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "app/logic/PreviewWorker.h"
#include "resample/Resample.h"

namespace vantrix {
namespace {

constexpr TSize2 kArea{400, 160};

TPreviewRequest RequestOf(const TScene& scene, const TCaption& caption, TPreviewWork work) {
  TPreviewRequest r;
  r.Work = work;
  r.Params = scene.Params;
  r.Effect = scene.Effect;
  r.ButtonRamp = scene.ButtonRamp;
  r.TextRamp = scene.TextRamp;
  r.Caption = caption;
  r.Area = kArea;
  return r;
}

// The preview as the window drew it on its own thread before there was a worker.
TPicture DrawnDirectly(TScene& scene, const TCaption& caption) {
  EXPECT_TRUE(scene.Build(caption));
  EXPECT_TRUE(scene.Render({}));
  const TSize2 size = PreviewSize(kArea, scene.Params.ViewSize, {scene.Image.Width(), scene.Image.Height()});
  TPicture out(size.Width, size.Height, 24);
  ResampleBitmap(scene.Image, out, SplineFilter, 2);
  return out;
}

// Collects the worker's results; its first report of generation `hold` waits
// until the test lets it go, so that a newer request can come meanwhile.
struct TProbe {
  std::mutex Mutex;
  std::condition_variable Released;
  bool Release = false;
  std::atomic<bool> Holding{false};
  uint64_t Hold = 0;
  std::vector<TPreviewResult> Results;

  TPreviewWorker::TReport Report() {
    return [this](uint64_t generation, bool, int, const std::string&) {
      if (generation != Hold || Holding.exchange(true)) return;
      std::unique_lock lock(Mutex);
      Released.wait(lock, [this] { return Release; });
    };
  }
  TPreviewWorker::TDone Done() {
    return [this](TPreviewResult r) {
      const std::lock_guard lock(Mutex);
      Results.push_back(std::move(r));
    };
  }
  void WaitUntilHeld() const {
    while (!Holding) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void Let() {
    {
      const std::lock_guard lock(Mutex);
      Release = true;
    }
    Released.notify_all();
  }
};

// The worker's picture is the one the window's own thread made, for a
// rebuild and for a render-only refresh after a change of light.
TEST(PreviewWorker, DrawsWhatTheSceneDrawsDirectly) {
  TProbe probe;
  TPreviewWorker worker("", probe.Report(), probe.Done());
  TScene design;
  TCaption caption;
  caption.SetText("Vantrix", TFontSpec{});
  worker.Submit(RequestOf(design, caption, TPreviewWork::Rebuild));
  worker.WaitIdle();
  design.SetLightAngles(1.1f, 0.7f);
  design.BuildRamp(true);
  design.BuildRamp(false);
  worker.Submit(RequestOf(design, caption, TPreviewWork::Refresh));
  worker.WaitIdle();

  ASSERT_EQ(probe.Results.size(), 2u);
  EXPECT_EQ(probe.Results[0].Work, TPreviewWork::Rebuild);
  EXPECT_EQ(probe.Results[1].Work, TPreviewWork::Refresh);
  TScene direct;
  direct.SetLightAngles(1.1f, 0.7f);
  direct.BuildRamp(true);
  direct.BuildRamp(false);
  const TPicture expected = DrawnDirectly(direct, caption);
  EXPECT_TRUE(probe.Results[1].Preview == expected);
  EXPECT_FALSE(probe.Results[0].Preview == expected);  // the light did change the picture
  EXPECT_EQ(probe.Results[1].ImageWidth, direct.Image.Width());
  EXPECT_EQ(probe.Results[1].Faces, direct.View3D.FaceCount());
}

// A request that comes while another is drawing stops it: only the newer
// picture is handed over. A drag frame is drawn to the end, so that a drag
// shows motion, and the newer request follows it.
TEST(PreviewWorker, ANewerRequestSupersedesTheRunInFlightButNotADragFrame) {
  for (const bool drag : {false, true}) {
    TProbe probe;
    probe.Hold = 1;
    TPreviewWorker worker("", probe.Report(), probe.Done());
    TScene design;
    TCaption caption;
    caption.SetText("Superseded", TFontSpec{});
    TPreviewRequest first = RequestOf(design, caption, TPreviewWork::Rebuild);
    first.Drag = drag;
    EXPECT_EQ(worker.Submit(first), 1u);
    probe.WaitUntilHeld();
    design.SetLightAngles(2.0f, 1.2f);
    EXPECT_EQ(worker.Submit(RequestOf(design, caption, TPreviewWork::Refresh)), 2u);
    EXPECT_EQ(worker.Latest(), 2u);
    probe.Let();
    worker.WaitIdle();

    std::vector<uint64_t> shown;
    for (const TPreviewResult& r : probe.Results) shown.push_back(r.Generation);
    const std::vector<uint64_t> expected = drag ? std::vector<uint64_t>{1, 2} : std::vector<uint64_t>{2};
    EXPECT_EQ(shown, expected) << drag;
    // A refresh after a stopped build draws the geometry anew.
    EXPECT_EQ(probe.Results.back().Work, drag ? TPreviewWork::Refresh : TPreviewWork::Rebuild);
    TScene direct;
    direct.SetLightAngles(2.0f, 1.2f);
    EXPECT_TRUE(probe.Results.back().Preview == DrawnDirectly(direct, caption)) << drag;
  }
}

}  // namespace
}  // namespace vantrix
