#pragma once
// TRenderSchedule: when the main window redoes its preview. Controls ask for a
// rebuild (geometry), a texture rebuild (reload the texture files, then
// rebuild) or a render-only refresh, each after a countdown of timer ticks
// that every new request restarts, so a burst of slider moves gives one
// picture. The status text of a finished run is cleared, and the two-phase
// roll-over preview redone, on countdowns of their own.
//
// The window feeds Tick() from its 250 ms timer and carries out what it
// answers; nothing here knows about widgets or the scene.

#include <cstdint>

namespace vantrix {

enum class TPreviewWork { None, Rebuild, TextureRebuild, Refresh };

struct TTickWork {
  TPreviewWork Preview = TPreviewWork::None;
  bool ClearStatus = false;  // progress bar to 0, stage text emptied
  bool ShowPhases = false;
};

class TRenderSchedule {
 public:
  void RequestRebuild(int32_t delay) { Request(rebuild_, delay); }
  void RequestTextureRebuild(int32_t delay) { Request(texture_, delay); }
  void RequestRefresh(int32_t delay) { Request(refresh_, delay); }
  void RequestPhases(int32_t delay);

  // A rebuild run now, not from a tick, settles what was pending: its own
  // render includes any refresh.
  void RebuildStarted() { rebuild_ = texture_ = refresh_ = false; }
  void RefreshStarted() { refresh_ = false; }
  void PhasesShown() { phase_ = false; }
  // A finished run stays on show for rDelay + 1 ticks.
  void StatusDone(int32_t rDelay);
  void StatusCleared() { statusShown_ = false; }

  // One timer tick: at most one piece of preview work.
  TTickWork Tick();

  bool RebuildPending() const { return rebuild_; }
  bool TexturePending() const { return texture_; }
  bool RefreshPending() const { return refresh_; }
  bool PhasePending() const { return phase_; }
  bool StatusShown() const { return statusShown_; }
  int32_t RenderCountdown() const { return renderCountdown_; }

 private:
  void Request(bool& flag, int32_t delay) {
    flag = true;
    renderCountdown_ = delay;
  }

  int32_t renderCountdown_ = 0;
  int32_t statusCountdown_ = 0;
  int32_t phaseCountdown_ = 0;
  bool rebuild_ = false;
  bool texture_ = false;
  bool refresh_ = false;
  bool phase_ = false;
  bool statusShown_ = false;
};

}  // namespace vantrix
