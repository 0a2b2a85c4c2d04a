#include "imaging/ExportSet.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "imaging/Export.h"
#include "imaging/HTMLUnit.h"
#include "imaging/Workers_p.h"
#include "platform/Color.h"
#include "platform/FileIO.h"
#include "platform/PathText.h"
#include "scene/WorkDocument.h"

namespace vantrix {

namespace {

// Collects what one scene reports while it draws one caption.
class TCollectingSink : public TMessageSink {
 public:
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void ShowNote(const std::string& text) override { Messages.push_back(text); }
  std::vector<std::string> Messages;
};

void PadPicture(TPicture& picture, int dw, int dh, TPixel fill) {
  if ((dw <= 0 && dh <= 0) || picture.Empty()) return;
  TPicture out(picture.Width() + dw, picture.Height() + dh, picture.BitsPerPixel());
  out.Fill(fill);
  out.CopyFrom(picture, 0, 0, dw / 2, dh / 2, picture.Width(), picture.Height());
  picture = std::move(out);
}

// The written captions, each linked to its own link, else the export's target.
std::vector<TNavButton> NavButtons(const std::vector<TExportSetItem>& items,
                                   const std::vector<TCaptionLine>& captions,
                                   const TExportSettings& settings) {
  std::vector<TNavButton> buttons;
  for (size_t i = 0; i < items.size() && i < captions.size(); ++i) {
    const TExportSetItem& item = items[i];
    if (!item.Written()) continue;
    const std::string& link = !captions[i].Link.empty()     ? captions[i].Link
                              : !settings.TargetURL.empty() ? settings.TargetURL
                                                            : std::string("#");
    buttons.push_back({link, FileNameOf(item.FirstFile),
                       item.SecondFile.empty() ? std::string() : FileNameOf(item.SecondFile), item.Caption});
  }
  return buttons;
}

}  // namespace

TExportSetLook LookOfScene(const TScene& scene, const TCaption& caption) {
  TExportSetLook look;
  look.Params = scene.Params;
  look.Effect = scene.Effect;
  look.AppPath = scene.AppPath;
  if (!caption.Empty()) look.Font = caption.At(0).Font;
  return look;
}

bool TExportSetResult::AllWritten() const {
  return std::all_of(Items.begin(), Items.end(), [](const TExportSetItem& i) { return i.Written(); });
}

// One worker's scene and what it reports for the caption in hand.
struct TExportSet::TWorker {
  TScene Scene;
  TCollectingSink Sink;
  bool Prepared = false;
};

TExportSet::TExportSet(TExportSetLook look, std::vector<TCaptionLine> captions, int jobs)
    : look_(std::move(look)), captions_(std::move(captions)) {
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  jobs_ = std::clamp(jobs > 0 ? jobs : cores, 1, std::max(1, static_cast<int>(captions_.size())));
  for (const TCaptionLine& line : captions_) {
    TExportSetItem item;
    item.Line = line.Line;
    item.Caption = line.Text;
    item.Error = line.Error;
    items_.push_back(std::move(item));
  }
  names_ = UniqueExportNames(captions_, look_.Font);
  measured_.resize(captions_.size());
  pictures_.resize(captions_.size());

  // The work opened once: its textures as loaded, and what that reported.
  look3D_ = std::make_unique<TScene>();
  TCollectingSink sink;
  look3D_->Messages = &sink;
  look3D_->Params = look_.Params;
  look3D_->Effect = look_.Effect;
  look3D_->AppPath = look_.AppPath;
  PrepareLoadedWork(*look3D_);
  look3D_->Messages = nullptr;
  setMessages_ = std::move(sink.Messages);
}

TExportSet::~TExportSet() = default;

// Every caption starts from the opened work: parameters, ramps, the light and
// the textures before any resizing, so that what a worker drew before leaves
// no trace.
void TExportSet::PrepareScene(TScene& scene) const {
  scene.Params = look3D_->Params;
  scene.Effect = look3D_->Effect;
  scene.AppPath = look3D_->AppPath;
  scene.SetLightAngles(scene.Params.ViewParams.LightA1, scene.Params.ViewParams.LightA2);
  scene.BuildRamp(false);
  scene.BuildRamp(true);
  const TView3D& v = look3D_->View3D;
  if (v.ButtonTextured) scene.View3D.SetButtonTexture(v.ButtonTexture());
  if (v.TextTextured) scene.View3D.SetTextTexture(v.TextTexture());
}

template <class TStep>
void TExportSet::RunParallel(TExportSetProgress::TStage stage, const TExportSetProgressFunc& progress,
                             TStep step) {
  std::vector<size_t> todo;
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].Error.empty()) todo.push_back(i);
  std::atomic<size_t> next{0};
  std::atomic<bool> stopped{false};
  std::mutex report;
  int done = 0;
  const int threads = std::min<int>(jobs_, static_cast<int>(todo.size()));
  // The workers share the cores: each draws its frames in as many bands as
  // leave none of them waiting for a core.
  const int bands = std::max(1, TView3D::DefaultThreads() / std::max(threads, 1));
  auto work = [&] {
    TWorker worker;
    worker.Scene.Messages = &worker.Sink;
    worker.Scene.RenderThreads = bands;
    for (size_t k; !stopped && (k = next++) < todo.size();) {
      TExportSetItem& item = items_[todo[k]];
      worker.Sink.Messages.clear();
      try {
        PrepareScene(worker.Scene);
        TCaption caption;
        caption.SetText(captions_[todo[k]].Text, look_.Font);
        step(worker.Scene, caption, todo[k]);
      } catch (const std::exception& e) {
        item.Error = e.what();
      }
      // Each item is touched by its own worker alone; only the report is shared.
      // Measuring and each phase build the caption again and report the same.
      for (std::string& m : worker.Sink.Messages)
        if (std::find(item.Messages.begin(), item.Messages.end(), m) == item.Messages.end())
          item.Messages.push_back(std::move(m));
      const std::lock_guard<std::mutex> lock(report);
      ++done;
      if (progress && !progress({stage, done, static_cast<int>(todo.size())})) stopped = true;
    }
  };
  RunOnThreads(threads, work);
  if (stopped) {
    for (size_t k = next < todo.size() ? next.load() : todo.size(); k < todo.size(); ++k)
      if (items_[todo[k]].Error.empty()) items_[todo[k]].Error = "not exported: the set was stopped";
  }
}

// Without a button body a picture follows its caption. The set puts each on
// the canvas of the largest, centred, so that all have one size and the
// export's reduction scales them alike; the roll-over picture gets the same
// margins as the first.
std::pair<int, int> TExportSet::CanvasMargins(size_t i) const {
  if (look3D_->Params.ButType > 0) return {0, 0};
  return {canvas_.first - pictures_[i].first, canvas_.second - pictures_[i].second};
}

bool TExportSet::Plan(const TExportSetProgressFunc& progress) {
  RunParallel(
      TExportSetProgress::Measuring, progress, [this](TScene& scene, const TCaption& caption, size_t i) {
        scene.Params.HoldButtonSize = false;
        if (caption.Empty()) throw TExportError("Sorry, there is nothing to export");
        if (!scene.Build(caption)) throw TExportError("the drawing was stopped and made no picture");
        const TParams& p = scene.Params;
        measured_[i] =
            p.ButType > 0 ? TRect{p.ButLeft, p.ButTop, p.ButRight, p.ButBottom} : scene.View3D.ModelBounds();
        if (p.ButType < 1) {
          if (!scene.Render({})) throw TExportError("the drawing was stopped and made no picture");
          pictures_[i] = {scene.Image.Width(), scene.Image.Height()};
        }
      });

  // The union of the rectangles, y up; the widest caption draws the sample.
  bool any = false;
  size_t widest = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (!items_[i].Error.empty()) continue;
    const TRect& r = measured_[i];
    if (!any) {
      held_ = r;
      canvas_ = pictures_[i];
      widest = i;
      any = true;
      continue;
    }
    held_ = {std::min(held_.Left, r.Left), std::max(held_.Top, r.Top), std::max(held_.Right, r.Right),
             std::min(held_.Bottom, r.Bottom)};
    canvas_ = {std::max(canvas_.first, pictures_[i].first), std::max(canvas_.second, pictures_[i].second)};
    const TRect& w = measured_[widest];
    const int64_t rw = int64_t{r.Right} - r.Left, ww = int64_t{w.Right} - w.Left;
    if (rw > ww || (rw == ww && int64_t{r.Top} - r.Bottom > int64_t{w.Top} - w.Bottom)) widest = i;
  }
  planned_ = true;
  if (!any) return false;

  TWorker worker;
  worker.Scene.Messages = &worker.Sink;
  PrepareScene(worker.Scene);
  TParams& p = worker.Scene.Params;
  p.HoldButtonSize = true;
  p.ButLeft = held_.Left, p.ButTop = held_.Top, p.ButRight = held_.Right, p.ButBottom = held_.Bottom;
  TCaption caption;
  caption.SetText(captions_[widest].Text, look_.Font);
  if (!worker.Scene.Build(caption) || !worker.Scene.Render({}))
    throw TExportError("the drawing was stopped and made no picture");
  sample_ = worker.Scene.Image.Converted(24);
  const auto [dw, dh] = CanvasMargins(widest);
  PadPicture(sample_, dw, dh, ColorToPixel(worker.Scene.Params.BkgColor));
  return true;
}

TExportSetResult TExportSet::Export(const TExportSettings& settings, const std::string& folder, bool page,
                                    const TExportSetProgressFunc& progress) {
  if (!planned_) Plan();
  // Every caption of a set shares the work's effect, and so has a roll-over or not.
  const TNavTemplates navTemplates =
      page ? ReadNavTemplates(look_.AppPath, look3D_->Params.EffectType > 0, settings.Rollover)
           : TNavTemplates{};
  std::string dir = folder.empty() ? std::string(".") : folder;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) throw TExportError(dir + ": cannot create the folder (" + ec.message() + ")");
  if (dir.back() != '/') dir += '/';

  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const bool coreToSpare = jobs_ < cores;
  RunParallel(TExportSetProgress::Exporting, progress, [&](TScene& scene, const TCaption& caption, size_t i) {
    TParams& p = scene.Params;
    p.HoldButtonSize = true;
    p.ButLeft = held_.Left, p.ButTop = held_.Top, p.ButRight = held_.Right, p.ButBottom = held_.Bottom;
    // The renders on white take a thread of their own only while the workers leave a core idle.
    TExportPhases phases = RenderExportPhases(scene, caption, nullptr, settings.RendersAlpha(), !coreToSpare);
    const auto [dw, dh] = CanvasMargins(i);
    const TPixel background = ColorToPixel(scene.Params.BkgColor), clear = MakePixel(0, 0, 0);
    PadPicture(phases.Image1, dw, dh, background);
    PadPicture(phases.Mask1, dw, dh, clear);
    PadPicture(phases.Image2, dw, dh, background);
    PadPicture(phases.Mask2, dw, dh, clear);
    // The renders for alpha keep their backdrop in the margin: there the button is see-through.
    const TPixel white = MakePixel(255, 255, 255);
    PadPicture(phases.Black1, dw, dh, clear);
    PadPicture(phases.White1, dw, dh, white);
    PadPicture(phases.Black2, dw, dh, clear);
    PadPicture(phases.White2, dw, dh, white);
    const TExportResult r = SaveExport(scene, phases, settings, dir + names_[i]);
    items_[i].FirstFile = r.FirstFile;
    items_[i].SecondFile = scene.Params.EffectType > 0 ? r.SecondFile : std::string();
  });

  TExportSetResult result;
  result.Items = items_;
  result.Messages = setMessages_;
  if (page)
    result.PageFiles =
        WriteNavigation(navTemplates, dir, NavButtons(items_, captions_, settings), settings.ExportWidth,
                        settings.ExportHeight, look3D_->Params.BkgColor, settings);
  return result;
}

}  // namespace vantrix
