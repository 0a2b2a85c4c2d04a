#pragma once
// The shape chooser's rules that need no widget: which files of the shapes
// folder it lists and in what order, the caption of each, the file a chosen
// caption names, and the preview picture a shape file carries.

#include <string>
#include <vector>

#include "platform/Picture.h"

namespace vantrix {

inline constexpr const char* kShapesFolderName = "BShapes/";
inline constexpr const char* kShapeExtension = ".vtxb";

struct TShapeEntry {
  std::string File;     // full path as found on disk
  std::string Caption;  // base name in upper case, the name the scene stores
};

// Base name of path without its extension, upper-cased ("/s/Star.vtxb" gives
// "STAR"). Only ASCII letters change case.
std::string ShapeCaption(const std::string& path);

// Plain, not hidden files of folder ending in .vtxb (any case). Sorted by
// caption, or in the order the folder enumerates them.
std::vector<TShapeEntry> ListShapes(const std::string& folder, bool sorted);

// The file a chosen caption names: folder, caption, ".vtxb". The scene finds
// it whatever the case of the file on disk.
std::string ChosenShapeFile(const std::string& shapesFolder, const std::string& caption);

// The decoded preview of a shape file; empty when the file has no signature
// or no preview, or cannot be read. A preview that is not a JPEG throws the
// decoder's TPictureError.
TPicture ReadShapePreview(const std::string& path);

}  // namespace vantrix
