#include "app/logic/RenderSchedule.h"

namespace vantrix {

void TRenderSchedule::RequestPhases(int32_t delay) {
  phase_ = true;
  phaseCountdown_ = delay;
}

void TRenderSchedule::StatusDone(int32_t rDelay) {
  statusShown_ = true;
  statusCountdown_ = rDelay + 1;
}

TTickWork TRenderSchedule::Tick() {
  TTickWork work;
  if (renderCountdown_ > 0) {
    --renderCountdown_;
  } else if (rebuild_) {
    work.Preview = TPreviewWork::Rebuild;
    RebuildStarted();
  } else if (texture_) {
    // Without a texture to reload no rebuild runs, and a pending refresh
    // stays for the next tick.
    work.Preview = TPreviewWork::TextureRebuild;
    rebuild_ = texture_ = false;
  } else if (refresh_) {
    work.Preview = TPreviewWork::Refresh;
    RefreshStarted();
  }

  if (statusShown_) {
    if (statusCountdown_ > 0) {
      --statusCountdown_;
    } else {
      work.ClearStatus = true;
      statusShown_ = false;
    }
  }

  if (phaseCountdown_ > 0) {
    --phaseCountdown_;
  } else if (phase_) {
    work.ShowPhases = true;
    phase_ = false;
  }
  return work;
}

}  // namespace vantrix
