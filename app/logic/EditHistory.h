#pragma once
// The main window's undo history. The design is one value (TDesign: the
// parameters, the roll-over values and the caption with its fonts); every
// edit records the design it left behind, and undo and redo hand a recorded
// design back with the work that puts it on screen again.
//
// A burst of edits of the same thing (typing, one slider drag) is one step:
// an edit that changes what the last one changed, soon after it, joins that
// step. The modified flag is a comparison with the design last saved, so
// undoing back to it clears the flag. Nothing here knows about widgets; times
// are the caller's milliseconds.

#include <cstdint>
#include <string>
#include <vector>

#include "app/logic/RenderSchedule.h"
#include "scene/Caption.h"
#include "scene/Scene.h"

namespace vantrix {

struct TDesign {
  TParams Params;
  TPhase Effect;
  TCaption Caption;
};

// What differs between two designs, in the words of the window's controls
// ("Caption Extrusion", "Light Direction"), each once, in the order of the
// work file's keys; empty when both show the same design. Values the program
// works out itself (the picture's centre, the shadows' offsets, the export
// size, the button's rectangle while its size is not held) are no edits.
std::vector<std::string> DesignChanges(const TDesign& before, const TDesign& after);
bool SameDesign(const TDesign& a, const TDesign& b);

class TEditHistory {
 public:
  // Edits that come further apart than this start a step of their own.
  static constexpr int64_t kBurstMs = 1500;
  static constexpr size_t kMaxSteps = 200;

  // A fresh history whose start is the design just opened, saved as it is.
  void Reset(const TDesign& design);
  // The same for a design that was never saved as it is (a recovered copy).
  void ResetUnsaved(const TDesign& design);
  // After an edit: the design is now `design`, put on screen by `work`.
  // Returns false (and records nothing) when it shows the same design.
  bool Record(const TDesign& design, TPreviewWork work, int64_t nowMs);
  // The next edit starts a step of its own (a slider let go, a dialog closed).
  void EndBurst() { mergeable_ = false; }

  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }
  // "Undo Caption Extrusion"; "Undo" alone when there is nothing to undo.
  std::string UndoText() const;
  std::string RedoText() const;
  // The design to show and the work that shows it; the current one when
  // there is nothing to undo (or redo).
  const TDesign& Undo(TPreviewWork& work);
  const TDesign& Redo(TPreviewWork& work);

  const TDesign& Current() const { return current_; }
  void MarkSaved(const TDesign& design);
  bool Modified() const { return !savedKnown_ || !SameDesign(current_, saved_); }

 private:
  struct TStep {
    std::string What;
    TPreviewWork Work = TPreviewWork::Refresh;
    TDesign Before, After;
  };

  std::vector<TStep> steps_;
  size_t done_ = 0;  // steps_[0, done_) are applied
  TDesign current_;
  TDesign saved_;
  bool savedKnown_ = true;
  bool mergeable_ = false;
  int64_t lastEditMs_ = 0;
};

}  // namespace vantrix
