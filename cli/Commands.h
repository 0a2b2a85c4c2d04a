#pragma once
// The commands of vantrix-cli. Errors are exceptions: TUsageError for the
// command line (exit 2), anything else for the work (exit 1).

#include <string>

#include "Options.h"
#include "TerminalProgress.h"
#include "imaging/ExportSettings.h"
#include "platform/Picture.h"
#include "scene/Caption.h"
#include "scene/Scene.h"

namespace vantrix {

int RunCommand(const TCliOptions& options);

// The work as the program would hold it after opening the file: parameters,
// caption, light, ramps and textures.
struct TLoadedWork {
  TScene Scene;
  TCaption Caption;
  TTerminalProgress Progress;
  TStderrMessages Messages{&Progress};
};
// Opens the work with the command line's --set, --caption and --program-folder.
void Load(TLoadedWork& w, const TCliOptions& o, const std::string& file);
// The export settings of the command line for a button whose full-size
// picture is `image`; the export and batch commands share them.
TExportSettings ExportSettingsOf(const TCliOptions& o, const TPicture& image);

// vantrix-cli batch (Batch.cpp).
int RunBatch(const TCliOptions& options);

}  // namespace vantrix
