#pragma once
// TPreviewWorker: draws the main window's preview on a thread of its own,
// from a scene of its own, so that the window answers while a long caption
// renders. The window hands it requests (the design as it stands); a newer
// request replaces one still waiting and stops the one in flight at its next
// stage, except a drag frame, which is finished so that a drag shows motion.
// Reports and results come back through callbacks run on the worker's
// thread: the window posts them to its own.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/logic/PreviewGeometry.h"
#include "app/logic/RenderSchedule.h"
#include "scene/Messages.h"
#include "scene/Scene.h"

namespace vantrix {

struct TPreviewRequest {
  TPreviewWork Work = TPreviewWork::Rebuild;  // Rebuild, or Refresh: render the last geometry
  TParams Params;
  TPhase Effect;
  TShadeRamp ButtonRamp{};
  TShadeRamp TextRamp{};
  TCaption Caption;
  // The textures as loaded, not yet fitted to the picture; null when off. A
  // new pointer hands over a new texture.
  std::shared_ptr<const TPicture> ButtonTexture;
  std::shared_ptr<const TPicture> TextTexture;
  TSize2 Area;        // the preview's device pixels
  TSize2 PhaseArea;   // the second roll-over picture's, or empty for none
  bool Drag = false;  // a frame of a drag: never stopped
};

struct TPreviewResult {
  uint64_t Generation = 0;
  TPreviewWork Work = TPreviewWork::None;
  bool Drag = false;
  TPicture Preview;       // 24-bit, at the preview's size; empty when it has none
  TPicture PhasePreview;  // the second roll-over picture, when asked for
  int32_t ImageWidth = 0;
  int32_t ImageHeight = 0;
  int32_t Vertices = 0;
  int32_t Faces = 0;
  size_t MemoryInUse = 0;
  // Build fits the texture repetitions to the picture (held ratios).
  float TxtTexW = 0, TxtTexH = 0, ButTexW = 0, ButTexH = 0;
  TMessageLog Messages;
};

class TPreviewWorker {
 public:
  using TReport = std::function<void(uint64_t generation, bool drag, int position, const std::string& stage)>;
  using TDone = std::function<void(TPreviewResult result)>;

  TPreviewWorker(std::string appPath, TReport report, TDone done);
  ~TPreviewWorker();  // stops the run in flight and waits for it
  TPreviewWorker(const TPreviewWorker&) = delete;
  TPreviewWorker& operator=(const TPreviewWorker&) = delete;

  // Returns the request's generation; every later one supersedes it.
  uint64_t Submit(TPreviewRequest request);
  // Supersedes whatever is waiting or in flight without asking for more.
  void Cancel();
  uint64_t Latest() const;
  // Blocks until nothing waits and nothing runs: every result is handed over.
  void WaitIdle();

 private:
  class TRunProgress;
  void Loop();
  TPreviewResult Draw(const TPreviewRequest& request, uint64_t generation);
  bool Superseded(uint64_t generation, bool drag) const;

  std::string appPath_;
  TReport report_;
  TDone done_;
  TScene scene_;  // the worker's own: only its thread touches it
  std::shared_ptr<const TPicture> buttonTexture_, textTexture_;
  bool built_ = false;  // the scene holds the geometry of the last request

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<TPreviewRequest> pending_;
  uint64_t latest_ = 0;
  bool running_ = false;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace vantrix
