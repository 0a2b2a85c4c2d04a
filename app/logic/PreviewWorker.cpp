#include "app/logic/PreviewWorker.h"

#include <malloc.h>

#include "resample/Resample.h"

namespace vantrix {

// Passes the pipeline's reports on with the run's generation, and tells it
// to stop once a newer request has come.
class TPreviewWorker::TRunProgress : public TProgress {
 public:
  TRunProgress(const TPreviewWorker& worker, uint64_t generation, bool drag)
      : worker_(worker), generation_(generation), drag_(drag) {}
  void SetStatus(const std::string& text) override {
    stage_ = text;
    Report();
  }
  void SetPosition(int position) override {
    position_ = position;
    Report();
  }
  bool Stopped() const override { return worker_.Superseded(generation_, drag_); }

 private:
  void Report() const {
    if (worker_.report_) worker_.report_(generation_, drag_, position_, stage_);
  }
  const TPreviewWorker& worker_;
  uint64_t generation_;
  bool drag_;
  int position_ = 0;
  std::string stage_;
};

TPreviewWorker::TPreviewWorker(std::string appPath, TReport report, TDone done)
    : appPath_(std::move(appPath)), report_(std::move(report)), done_(std::move(done)) {
  scene_.AppPath = appPath_;
  thread_ = std::thread([this] { Loop(); });
}

TPreviewWorker::~TPreviewWorker() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
    ++latest_;  // the run in flight stops at its next stage
  }
  wake_.notify_all();
  thread_.join();
}

uint64_t TPreviewWorker::Submit(TPreviewRequest request) {
  uint64_t generation;
  {
    const std::lock_guard lock(mutex_);
    generation = ++latest_;
    pending_ = std::move(request);
  }
  wake_.notify_all();
  return generation;
}

void TPreviewWorker::Cancel() {
  const std::lock_guard lock(mutex_);
  ++latest_;
  pending_.reset();
  if (!running_) idle_.notify_all();
}

uint64_t TPreviewWorker::Latest() const {
  const std::lock_guard lock(mutex_);
  return latest_;
}

void TPreviewWorker::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !pending_ && !running_; });
}

bool TPreviewWorker::Superseded(uint64_t generation, bool drag) const {
  const std::lock_guard lock(mutex_);
  return quit_ || (!drag && latest_ != generation);
}

void TPreviewWorker::Loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || pending_; });
    if (quit_) return;
    const TPreviewRequest request = std::move(*pending_);
    pending_.reset();
    const uint64_t generation = latest_;
    running_ = true;
    lock.unlock();
    TPreviewResult result = Draw(request, generation);
    const bool stopped = result.Work == TPreviewWork::None;
    if (!stopped && done_) done_(std::move(result));
    lock.lock();
    running_ = false;
    if (!pending_) idle_.notify_all();
  }
}

namespace {

// The picture shrunk into the preview with the B-spline filter. Drag frames
// too: a cheaper filter saved little and showed a grain while dragging.
TPicture ShrinkToPreview(const TPicture& image, TSize2 area, int32_t viewSize) {
  const TSize2 size = PreviewSize(area, viewSize, {image.Width(), image.Height()});
  if (size.Width < 1 || size.Height < 1 || image.Empty()) return {};
  TPicture out(size.Width, size.Height, 24);
  ResampleBitmap(image, out, SplineFilter, 2);
  return out;
}

}  // namespace

TPreviewResult TPreviewWorker::Draw(const TPreviewRequest& request, uint64_t generation) {
  TPreviewResult result;
  result.Generation = generation;
  result.Drag = request.Drag;
  TRunProgress progress(*this, generation, request.Drag);
  scene_.Messages = &result.Messages;
  scene_.Params = request.Params;
  scene_.Effect = request.Effect;
  scene_.ButtonRamp = request.ButtonRamp;
  scene_.TextRamp = request.TextRamp;
  // A new texture is fitted to the picture by the next Build.
  for (const bool button : {false, true}) {
    auto& held = button ? buttonTexture_ : textTexture_;
    const auto& given = button ? request.ButtonTexture : request.TextTexture;
    bool& textured = button ? scene_.View3D.ButtonTextured : scene_.View3D.TextTextured;
    if (given != held) {
      held = given;
      built_ = false;
      if (given && button) scene_.View3D.SetButtonTexture(*given);
      if (given && !button) scene_.View3D.SetTextTexture(*given);
    }
    textured = given != nullptr && textured;
  }

  const bool phases = request.PhaseArea.Width > 0 && request.PhaseArea.Height > 0;
  const bool rebuild = request.Work != TPreviewWork::Refresh || !built_ || phases;
  auto draw = [&] {
    if (rebuild && !scene_.Build(request.Caption, &progress)) return false;
    return scene_.Render({.ShowProgress = true}, &progress);
  };
  built_ = false;  // until this run is through
  if (phases) {
    const TPhase saved = scene_.SavePhase();
    scene_.ApplyPhase(scene_.Effect);
    if (!draw()) return result;
    result.PhasePreview = ShrinkToPreview(scene_.Image, request.PhaseArea, scene_.Params.ViewSize);
    scene_.ApplyPhase(saved);
    scene_.ButtonRamp = request.ButtonRamp;
    scene_.TextRamp = request.TextRamp;
  }
  if (!draw()) return result;
  built_ = true;
  progress.SetPosition(80);
  progress.SetStatus(" Stretching preview ...");
  result.Preview = ShrinkToPreview(scene_.Image, request.Area, scene_.Params.ViewSize);
  result.Work = rebuild ? TPreviewWork::Rebuild : TPreviewWork::Refresh;
  result.ImageWidth = scene_.Image.Width();
  result.ImageHeight = scene_.Image.Height();
  result.Vertices = scene_.View3D.VertexCount();
  result.Faces = scene_.View3D.FaceCount();
  result.MemoryInUse = mallinfo2().uordblks;
  result.TxtTexW = scene_.Params.TxtTexW;
  result.TxtTexH = scene_.Params.TxtTexH;
  result.ButTexW = scene_.Params.ButTexW;
  result.ButTexH = scene_.Params.ButTexH;
  scene_.Messages = nullptr;
  return result;
}

}  // namespace vantrix
