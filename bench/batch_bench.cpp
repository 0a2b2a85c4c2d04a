// A set of 32 buttons of the default work exported as GIF by TExportSet, on
// one worker and on every core: measuring, the sample and the export of all
// 32, wall-clock time. The counter per_button is the wall time of one button
// in the set; bench/compare-batch sets it beside one vantrix-cli export
// process per caption.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "imaging/ExportSet.h"
#include "scene/WorkDocument.h"
#include "scene/WorkFile.h"

namespace vantrix {
namespace {

const std::string kData = std::string(VANTRIX_SOURCE_DIR) + "/data/";

std::vector<TCaptionLine> Captions() {
  static const char* const kWords[] = {
      "Home",    "News",    "About",   "Contact", "Shop",     "Blog",    "Help",   "Login",
      "Sign up", "Gallery", "Events",  "FAQ",     "Support",  "Jobs",    "Press",  "Team",
      "Prices",  "Offers",  "Sale",    "Forum",   "Download", "Docs",    "Search", "Map",
      "Careers", "Partner", "Privacy", "Terms",   "Cart",     "Account", "Store",  "Links"};
  std::vector<TCaptionLine> lines;
  int n = 0;
  for (const char* w : kWords) lines.push_back({++n, w, {}, {}});
  return lines;
}

void BM_BatchSet(benchmark::State& state) {
  TScene scene;
  TCaption caption;
  scene.AppPath = kData;
  LoadWork(scene, caption, kData + "Default.dat");
  const TExportSetLook look = LookOfScene(scene, caption);
  const std::vector<TCaptionLine> captions = Captions();
  const int jobs = static_cast<int>(state.range(0));
  const std::string folder = std::filesystem::temp_directory_path() / "vantrix-batch-bench";
  TExportSettings settings;
  for (auto _ : state) {
    TExportSet set(look, captions, jobs);
    if (!set.Plan()) state.SkipWithError("nothing to plan");
    settings.ExportWidth = 160;
    settings.ExportHeight = 40;
    const TExportSetResult r = set.Export(settings, folder, false);
    if (!r.AllWritten()) state.SkipWithError("a button was not written");
  }
  std::filesystem::remove_all(folder);
  state.counters["per_button"] =
      benchmark::Counter(static_cast<double>(captions.size()),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BatchSet)
    ->Arg(1)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->ArgName("jobs")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace vantrix
