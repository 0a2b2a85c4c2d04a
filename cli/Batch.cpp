// vantrix-cli batch: one button per caption of a list, with the work's look,
// all of one size (imaging/ExportSet.h). Files written go to stdout, one a
// line; what went wrong with a caption goes to stderr with its line number.
// The exit status is 0 only when every caption was written.

#include <cstdio>
#include <stdexcept>

#include "Commands.h"
#include "imaging/ExportNames.h"
#include "imaging/ExportSet.h"
#include "scene/CaptionList.h"

namespace vantrix {

int RunBatch(const TCliOptions& o) {
  std::vector<TCaptionLine> captions = ReadCaptionList(o.Captions);
  TLoadedWork w;
  Load(w, o, o.Arguments[0]);
  TExportSet set(LookOfScene(w.Scene, w.Caption), std::move(captions), o.Jobs.value_or(0));

  // One bar for the whole set: measuring is a fifth of the work.
  TTerminalProgress& bar = w.Progress;
  const auto progress = [&bar](const TExportSetProgress& p) {
    const bool measuring = p.Stage == TExportSetProgress::Measuring;
    const int share = p.Total > 0 ? p.Done * (measuring ? 20 : 80) / p.Total : 0;
    bar.SetPosition(measuring ? share : 20 + share);
    bar.SetStatus((measuring ? " Measuring " : " Exporting ") + std::to_string(p.Done) + " of " +
                  std::to_string(p.Total) + " ...");
    return true;
  };
  const bool planned = set.Plan(progress);

  TExportSetResult result;
  if (planned) {
    // -o names the folder here, not a picture.
    TCliOptions exportOptions = o;
    exportOptions.Output.clear();
    const TExportSettings settings = ExportSettingsOf(exportOptions, set.SamplePicture());
    const std::string folder = o.Output.empty() ? ExportFolder(w.Scene.AppPath) : o.Output;
    result = set.Export(settings, folder, o.Html, progress);
  } else {
    result.Items = set.Items();
  }
  bar.Finish();

  for (const std::string& m : result.Messages) std::fprintf(stderr, "%s\n", m.c_str());
  int failed = 0;
  for (const TExportSetItem& item : result.Items) {
    const std::string where = o.Captions + ":" + std::to_string(item.Line) + ": ";
    for (const std::string& m : item.Messages) std::fprintf(stderr, "%s%s\n", where.c_str(), m.c_str());
    if (!item.Written()) {
      ++failed;
      std::fprintf(stderr, "%s%s\n", where.c_str(), item.Error.empty() ? "not exported" : item.Error.c_str());
      continue;
    }
    std::printf("%s\n", item.FirstFile.c_str());
    if (!item.SecondFile.empty()) std::printf("%s\n", item.SecondFile.c_str());
  }
  for (const std::string& page : result.PageFiles) std::printf("%s\n", page.c_str());
  if (failed > 0) std::fprintf(stderr, "%d of %zu captions not exported\n", failed, result.Items.size());
  return failed > 0 ? 1 : 0;
}

}  // namespace vantrix
