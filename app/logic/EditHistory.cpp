#include "app/logic/EditHistory.h"

#include <algorithm>
#include <bit>
#include <string_view>
#include <utility>
#include <variant>

#include "scene/WorkKeys.h"

namespace vantrix {

namespace {

struct TEditName {
  std::string_view Key;  // "Section.Key" of a work-file row
  std::string_view Name;
};

// The controls' words for the stored values. A row missing here is named by
// its key, which only a newly added key can be.
constexpr TEditName kEditNames[] = {
    {"Message.SplPnt", "Curve Detail"},
    {"Message.TxtW", "Caption Bevel"},
    {"Message.Kerning", "Kerning"},
    {"Message.Profile", "Caption Profile"},
    {"Button.Profile", "Button Profile"},
    {"Light.Specular", "Highlight"},
    {"Light.Gloss", "Gloss"},
    {"Light.Fill", "Fill Light"},
    {"Message.TxtY", "Caption Extrusion"},
    {"Message.TexW", "Caption Texture Size"},
    {"Message.TexH", "Caption Texture Size"},
    {"Message.HoldRatio", "Caption Texture Ratio"},
    {"Message.TexFile", "Caption Texture"},
    {"Message.GutLeft", "Text Margins"},
    {"Message.GutRight", "Text Margins"},
    {"Message.GutTop", "Text Margins"},
    {"Message.GutBottom", "Text Margins"},
    {"Message.DColor", "Caption Color"},
    {"Message.BColor", "Caption Color"},
    {"Message.MColor", "Caption Color"},
    {"Message.ColSplit", "Brightness"},  // the ramps split where the brightness slider says
    {"Message.Altitude", "Caption Shadow"},
    {"Button.Type", "Button Shape"},
    {"Button.ButW", "Button Bevel"},
    {"Button.ButY", "Button Extrusion"},
    {"Button.TexW", "Button Texture Size"},
    {"Button.TexH", "Button Texture Size"},
    {"Button.HoldRatio", "Button Texture Ratio"},
    {"Button.TexFile", "Button Texture"},
    {"Button.BkgColor", "Background Color"},
    {"Button.DColor", "Button Color"},
    {"Button.BColor", "Button Color"},
    {"Button.MColor", "Button Color"},
    {"Button.ColSplit", "Brightness"},
    {"Button.Altitude", "Button Shadow"},
    {"Button.HoldButtonSize", "Hold Button Size"},
    {"Button.ButTop", "Button Size"},
    {"Button.ButLeft", "Button Size"},
    {"Button.ButRight", "Button Size"},
    {"Button.ButBottom", "Button Size"},
    {"Button.ShapeName", "Button Shape"},
    {"Render.Distance", "Distance"},
    {"Render.Bright", "Brightness"},
    {"Render.Brightness", "Brightness"},
    {"Render.Contrast", "Contrast"},
    {"Render.ShadType", "Shading"},
    {"Render.RDelay", "Rendering Delay"},
    {"Render.ViewSize", "Preview Size"},
    {"Render.CnX", "Optics"},
    {"Render.CnZ", "Optics"},
    {"Light.LoBright", "Light Range"},
    {"Light.HiBright", "Light Range"},
    {"Light.Color", "Light Color"},
    {"Effect.Type", "Roll-over Effect"},
    {"Effect.BColor", "Roll-over Colors"},
    {"Effect.TColor", "Roll-over Colors"},
    {"Effect.LColor", "Roll-over Colors"},
    {"Effect.ButY", "Roll-over Depths"},
    {"Effect.TxtY", "Roll-over Depths"},
};

std::string EditName(std::string_view section, std::string_view key) {
  const std::string full = std::string(section) + "." + std::string(key);
  for (const TEditName& n : kEditNames)
    if (n.Key == full) return std::string(n.Name);
  // The view's offsets and angles and the light's direction come in groups.
  if (section == kRenderSection) return "View";
  if (section == kLightSection) return "Light Direction";
  return full;
}

bool IsButtonRectangle(std::string_view key) {
  return key == "ButLeft" || key == "ButTop" || key == "ButRight" || key == "ButBottom";
}

// Equal as stored: a float compares by its bits, so a NaN read from a
// damaged file does not count as an edit on every comparison.
struct TSameValue {
  template <class T>
  bool operator()(const T* a, const T* b) const {
    if constexpr (std::is_same_v<T, float>)
      return std::bit_cast<uint32_t>(*a) == std::bit_cast<uint32_t>(*b);
    else
      return *a == *b;
  }
  template <class T, class U>
  bool operator()(const T*, const U*) const {
    return false;
  }
};

template <class Root>
void AddChanges(std::span<const TWorkKey<Root>> rows, const Root& a, const Root& b, bool buttonHeld,
                std::vector<std::string>& names) {
  for (const TWorkKey<Root>& row : rows) {
    if (row.Key.empty() || row.Section == kGeneralSection) continue;  // worked out, or the window's
    if (!buttonHeld && row.Section == kButtonSection && IsButtonRectangle(row.Key))
      continue;  // the rectangle follows the caption until the user holds it
    if (std::visit(TSameValue{}, row.Field.At(a), row.Field.At(b))) continue;
    std::string name = EditName(row.Section, row.Key);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
  }
}

}  // namespace

std::vector<std::string> DesignChanges(const TDesign& before, const TDesign& after) {
  std::vector<std::string> names;
  const auto& a = before.Caption.Chars();
  const auto& b = after.Caption.Chars();
  const bool sameText =
      std::equal(a.begin(), a.end(), b.begin(), b.end(),
                 [](const TCaptionChar& x, const TCaptionChar& y) { return x.Char == y.Char; });
  if (!sameText)
    names.emplace_back("Typing");
  else if (before.Caption != after.Caption)
    names.emplace_back("Caption Font");
  const bool held = before.Params.HoldButtonSize || after.Params.HoldButtonSize;
  AddChanges(ParamKeys(), before.Params, after.Params, held, names);
  AddChanges(EffectKeys(), before.Effect, after.Effect, held, names);
  return names;
}

bool SameDesign(const TDesign& a, const TDesign& b) {
  return DesignChanges(a, b).empty();
}

void TEditHistory::Reset(const TDesign& design) {
  steps_.clear();
  done_ = 0;
  current_ = saved_ = design;
  savedKnown_ = true;
  mergeable_ = false;
}

void TEditHistory::ResetUnsaved(const TDesign& design) {
  Reset(design);
  savedKnown_ = false;
}

bool TEditHistory::Record(const TDesign& design, TPreviewWork work, int64_t nowMs) {
  const std::vector<std::string> changes = DesignChanges(current_, design);
  if (changes.empty()) {
    current_ = design;  // values the program works out follow along
    return false;
  }
  // A burst goes on while the same thing changes: the step keeps the design
  // before the burst, and the heaviest work any of its edits asked for.
  const bool burst = mergeable_ && done_ > 0 && done_ == steps_.size() && nowMs - lastEditMs_ <= kBurstMs &&
                     steps_.back().What == changes.front();
  if (burst) {
    TStep& step = steps_.back();
    step.After = design;
    if (work == TPreviewWork::Rebuild ||
        (work == TPreviewWork::TextureRebuild && step.Work != TPreviewWork::Rebuild))
      step.Work = work;
  } else {
    steps_.resize(done_);  // a new edit drops what could have been redone
    steps_.push_back({changes.front(), work, current_, design});
    if (steps_.size() > kMaxSteps) steps_.erase(steps_.begin());
    done_ = steps_.size();
  }
  current_ = design;
  mergeable_ = true;
  lastEditMs_ = nowMs;
  return true;
}

std::string TEditHistory::UndoText() const {
  return CanUndo() ? "Undo " + steps_[done_ - 1].What : "Undo";
}

std::string TEditHistory::RedoText() const {
  return CanRedo() ? "Redo " + steps_[done_].What : "Redo";
}

const TDesign& TEditHistory::Undo(TPreviewWork& work) {
  mergeable_ = false;
  if (!CanUndo()) {
    work = TPreviewWork::None;
    return current_;
  }
  const TStep& step = steps_[--done_];
  work = step.Work;
  current_ = step.Before;
  return current_;
}

const TDesign& TEditHistory::Redo(TPreviewWork& work) {
  mergeable_ = false;
  if (!CanRedo()) {
    work = TPreviewWork::None;
    return current_;
  }
  const TStep& step = steps_[done_++];
  work = step.Work;
  current_ = step.After;
  return current_;
}

void TEditHistory::MarkSaved(const TDesign& design) {
  current_ = saved_ = design;
  savedKnown_ = true;
  mergeable_ = false;  // an edit after saving is a step of its own, so undo finds the saved design
}

}  // namespace vantrix
