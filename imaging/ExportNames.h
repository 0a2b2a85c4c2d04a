#pragma once
// How exported pictures are named and sized when the user says nothing else:
// the folder, the file names (from the caption, with roll-over and density
// suffixes), the names of a set, and the export size that follows a rendered
// picture. The command line and the desktop program both ask here, so the
// two never disagree.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "imaging/ExportSettings.h"
#include "scene/Caption.h"
#include "scene/CaptionList.h"

namespace vantrix {

// The program folder's Images/, where pictures go when no place is named.
std::string ExportFolder(const std::string& programFolder);
// ExportFolder, created when missing. Throws std::runtime_error naming the
// folder when it cannot be made.
std::string MakeExportFolder(const std::string& programFolder);

// The export size of a rendered picture: 160 wide for a picture four times as
// wide as high or wider, else 40 high; the other side in proportion, at least 1.
std::pair<int32_t, int32_t> DefaultExportSize(int32_t width, int32_t height);

// The caption's characters with codes 65..126, in order; all others dropped.
std::string DefaultExportName(const TCaption& caption);
// name with its extension (the last dot after the last separator) replaced
// by the type's; none is added when it has none.
std::string SetExportExt(const std::string& name, TExportType type);
// suffix inserted before the extension: "Nav.gif" + "_1" gives "Nav_1.gif".
std::string AddNameSuffix(const std::string& name, const std::string& suffix);
// The name of the picture at a pixel density: "@2x" before the extension for
// 2, the name itself for 1.
std::string ScaledExportName(const std::string& name, int scale);

// The file name (without folder and extension) of each caption of a set:
// DefaultExportName; when that is empty, the caption's letters in any script
// (composed, UTF-8; pages percent-encode them), and "Button_<line>" for a
// caption without letters; made unique by
// "_2", "_3", ... without regard to case, since web servers and some file
// systems do not tell case apart. A line with an error gets "".
std::vector<std::string> UniqueExportNames(const std::vector<TCaptionLine>& captions, const TFontSpec& font);

}  // namespace vantrix
