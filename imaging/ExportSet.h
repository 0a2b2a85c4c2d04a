#pragma once
// A set of similar buttons: one work's look, one button per caption, all of
// one size, written into one folder, optionally with a navigation page.
//
// The set holds the button rectangle that fits every caption (the union of
// the rectangles each caption alone would get), as "Hold button size" does,
// so every picture has the same size before the export's reduction, and one
// export size serves all; without a button body, each picture is centred on
// the canvas of the largest. Every caption's letters take one font.
//
// Work is spread over worker threads, each with a scene of its own; a
// caption starts from the work's parameters and textures as loaded, whatever
// the worker drew before, so the files do not depend on the number of
// workers. A caption that fails (its line is not a caption, a glyph cannot
// be fetched at all, a file cannot be written) is reported in its result and
// the others go on.
//
// Two steps, so that the caller can choose the export settings from the
// set's picture the way it does for one button: Plan measures every caption
// and draws the widest one (SamplePicture); Export renders and writes them.
// Both block until done, so a window calls them off its own thread; the
// progress callback runs on a worker thread (one call at a time).

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "imaging/ExportSettings.h"
#include "platform/Geometry.h"
#include "platform/Picture.h"
#include "scene/CaptionList.h"
#include "scene/Scene.h"

namespace vantrix {

// The work a set is made from.
struct TExportSetLook {
  TParams Params;
  TPhase Effect;
  std::string AppPath;  // program folder, for the textures, the shape file and the page templates
  TFontSpec Font;       // every caption's letters take it
};
// The look of a loaded work, with the caption's first letter's font.
TExportSetLook LookOfScene(const TScene& scene, const TCaption& caption);

struct TExportSetProgress {
  enum TStage { Measuring, Exporting } Stage = Measuring;
  int Done = 0;   // captions finished in this stage
  int Total = 0;  // captions of the stage
};
// Called by one worker at a time. Returning false stops the set: captions
// not started yet are reported as not exported.
using TExportSetProgressFunc = std::function<bool(const TExportSetProgress&)>;

struct TExportSetItem {
  int Line = 0;  // of the caption list
  std::string Caption;
  std::string FirstFile, SecondFile;  // as TExportResult's; empty until written
  std::vector<std::string> Messages;  // the scene's messages and notes for this caption
  std::string Error;                  // empty when its files were written
  bool Written() const { return Error.empty() && !FirstFile.empty(); }
};

struct TExportSetResult {
  std::vector<TExportSetItem> Items;   // in the order of the list
  std::vector<std::string> Messages;   // about the whole set (a texture that cannot be loaded)
  std::vector<std::string> PageFiles;  // nav.html and nav.txt when asked for
  bool AllWritten() const;
};

class TExportSet {
 public:
  // jobs: worker threads; 0 for one per core.
  TExportSet(TExportSetLook look, std::vector<TCaptionLine> captions, int jobs = 0);
  ~TExportSet();
  TExportSet(const TExportSet&) = delete;
  TExportSet& operator=(const TExportSet&) = delete;

  // Measures every caption and draws the widest one. Returns false when no
  // caption can be drawn (every line failed or was stopped); the results say why.
  bool Plan(const TExportSetProgressFunc& progress = {});
  // The first picture of the widest caption at full size, 24 bits per pixel;
  // the set's export size is derived from it.
  const TPicture& SamplePicture() const { return sample_; }
  // ButLeft, ButTop, ButRight, ButBottom held for every button (y up).
  TRect HeldButton() const { return held_; }
  // The file name (without folder and extension) each caption will get:
  // DefaultExportName, or "Button_<line>" when that is empty, made unique
  // without regard to case by "_2", "_3", ...
  const std::vector<std::string>& Names() const { return names_; }

  // Renders and writes every planned caption into `folder` (created when
  // missing) with the settings, as the export of one button does. With
  // `page`, also nav.html (the whole set as a navigation bar with its
  // roll-overs) and nav.txt (the bar to paste into a page), from the
  // templates of the program folder (HTMLUnit.h): a missing one throws
  // THtmlError before anything is written. Plan first.
  TExportSetResult Export(const TExportSettings& settings, const std::string& folder, bool page,
                          const TExportSetProgressFunc& progress = {});

  // Plan and Export's results so far.
  const std::vector<TExportSetItem>& Items() const { return items_; }
  int Jobs() const { return jobs_; }

 private:
  struct TWorker;
  template <class TStep>
  void RunParallel(TExportSetProgress::TStage stage, const TExportSetProgressFunc& progress, TStep step);
  void PrepareScene(TScene& scene) const;

  TExportSetLook look_;
  std::vector<TCaptionLine> captions_;
  int jobs_ = 1;
  std::vector<TExportSetItem> items_;
  std::vector<std::string> names_;
  std::vector<std::string> setMessages_;
  std::pair<int, int> CanvasMargins(size_t i) const;

  std::vector<TRect> measured_;
  std::vector<std::pair<int, int>> pictures_;  // without a button body: each caption's picture
  TRect held_{};
  std::pair<int, int> canvas_{};
  TPicture sample_;
  std::unique_ptr<TScene> look3D_;  // textures as loaded, copied into every worker's scene
  bool planned_ = false;
};

}  // namespace vantrix
